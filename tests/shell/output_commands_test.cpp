// The picture output commands of the menu, driven end to end by scripted
// input as a user drives them: what each writes, what a cancelled or
// failing command leaves on disk and shows, the kept printer choice, the
// printed page's geometry, and the clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPrinterInfo>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <set>

#include "shell/drawing/primitives.h"
#include "shell/graphics/graphics_interface.h"
#include "shell/output/printing.h"
#include "shell/output/tiff_writer.h"
#include "shell/window/picture.h"
#include "support/external_tool.h"
#include "window_fixture.h"

namespace kesto::shell {
namespace {

namespace fs = std::filesystem;

class OutputCommands : public testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    fs::remove_all("work");
    fs::create_directories("work");
    fs::current_path("work");
  }
  void TearDown() override {
    fs::current_path("..");
    WindowTest::TearDown();
  }

  // A picture on the window: the top left quarter of the page in red, and a
  // blue line in the bottom right quarter.
  void show_picture() {
    BEGIN_PICTURE(0);
    SET_RGB(255, 0, 0);
    FILL_RECT(-1750, 1250, 0, 0, 0, 0, 0, 0);
    SET_RGB(0, 0, 255);
    DRAW_LINE(100, -100, 1000, -1000);
    testing::settle();
  }

  // Plays the script's steps inside a key wait, as they would arrive while
  // the program waits for a key.
  void play(const std::string& steps) {
    std::string error;
    ASSERT_TRUE(parse_script(steps + "\nkey Enter\n", script(), error)) << error;
    EXPECT_EQ(GI_GET_KEY(), 13);
  }

  static std::set<std::string> files_here() {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(".")) names.insert(e.path().lexically_normal().string());
    return names;
  }

  static std::string head(const std::string& path, std::size_t n) { return testing::file_text(path).substr(0, n); }
};

TEST_F(OutputCommands, EachExportWritesItsFile) {
  show_picture();
  const struct {
    const char* steps;
    const char* file;
    std::string start;
  } cases[] = {
      {"menu 11\nfile out", "out.eps", "\xC5\xD0\xD3\xC6"},
      {"menu 12\nfile out", "out.tif", std::string("II*\0", 4)},
      {"menu 13", "dizari.wmf", "\xD7\xCD\xC6\x9A"},
      {"menu 14\nfile out", "out.emf", std::string("\x01\0\0\0", 4)},
      {"menu 3\nfile out.pdf", "out.pdf", "%PDF"},
  };
  for (const auto& c : cases) {
    play(c.steps);
    EXPECT_EQ(head(c.file, c.start.size()), c.start) << c.steps;
  }
  EXPECT_EQ(files_here(), (std::set<std::string>{"dizari.wmf", "out.emf", "out.eps", "out.pdf", "out.tif"}));
  EXPECT_TRUE(message_log().empty());
}

bool holds(const std::string& file, const std::vector<std::uint8_t>& bytes) {
  const std::string text = testing::file_text(file);
  return text.find(std::string(bytes.begin(), bytes.end())) != std::string::npos;
}

TEST_F(OutputCommands, ExportsFollowTheSettings) {
  settings().ColorWindow = 0;
  settings().PenWidthEPS = 5;
  settings().PenWidthEMF = 3;
  show_picture();
  play("menu 12\nfile grey\nmenu 11\nfile grey\nmenu 14\nfile grey\nmenu 13");
  // The page on the 800 x 600 window: 800 x 571 pixels, one byte each.
  EXPECT_EQ(fs::file_size("grey.tif"), 180u + 800u * 571u);
  const std::string eps = testing::file_text("grey.eps");
  EXPECT_NE(eps.find("\r\n5 W\r\n"), std::string::npos);
  EXPECT_NE(eps.find("\r\n0.784314 0.784314 0.784314 C\r\n"), std::string::npos);  // red as grey 200
  // The enhanced metafile follows the colour option (the line in grey 200,
  // 3 units wide); the Windows metafile keeps colours (blue, the window's width).
  EXPECT_TRUE(holds("grey.emf", testing::hex("00 00 00 00 03 00 00 00 00 00 00 00 C8 C8 C8 00")));
  EXPECT_TRUE(holds("dizari.wmf", testing::hex("FA 02 00 00 01 00 00 00 00 00 FF 00")));
  settings().ColorWindow = 1;
  play("menu 12\nfile colour");
  EXPECT_EQ(fs::file_size("colour.tif"), 180u + 800u * 571u * 3u);
}

TEST_F(OutputCommands, CancelledOrUncreatableWritesNothing) {
  show_picture();
  const struct {
    const char* steps;
    const char* message;  // the box shown, if any
  } cases[] = {
      {"menu 11\nfile cancel", ""},
      {"menu 12\nfile cancel", ""},
      {"menu 14\nfile cancel", ""},
      {"menu 3\nfile cancel", ""},
      {"menu 2\nfile cancel", ""},
      {"menu 11\nfile missing/out.eps", "Unable to write the EPS file\nNo such file or directory"},
      {"menu 12\nfile missing/out.tif", "Unable to write the TIFF file\nNo such file or directory"},
      {"menu 14\nfile missing/out.emf", "Unable to create enhanced metafile\nNo such file or directory"},
      {"menu 3\nfile missing/out.pdf", "Error accessing printer"},
  };
  for (const auto& c : cases) {
    message_log().clear();
    play(c.steps);
    EXPECT_EQ(message_log().empty() ? "" : message_log().back().text, c.message) << c.steps;
  }
  EXPECT_EQ(message_log().back().caption, "Error");
  EXPECT_TRUE(files_here().empty());
}

TEST_F(OutputCommands, FailedWriteKeepsTheEarlierFileAndAWriteReplacesIt) {
  show_picture();
  testing::write_bytes("keep.tif", {'o', 'l', 'd'});
  testing::write_bytes("replace.eps", {'o', 'l', 'd'});
  // Files may grow to 100 bytes only: both writes fail part way.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 100;
  setrlimit(RLIMIT_FSIZE, &small);
  play("menu 12\nfile keep.tif\nmenu 14\nfile keep.emf\nmenu 13");
  setrlimit(RLIMIT_FSIZE, &saved);
  play("menu 11\nfile replace.eps");
  EXPECT_EQ(testing::file_text("keep.tif"), "old");
  ASSERT_EQ(message_log().size(), 3u);
  EXPECT_EQ(message_log()[0].text, "Unable to write the TIFF file\nFile too large");
  EXPECT_EQ(message_log()[1].text, "Unable to create enhanced metafile\nFile too large");
  EXPECT_EQ(message_log()[2].text, "Unable to write the metafile dizari.wmf\nFile too large");
  EXPECT_EQ(head("replace.eps", 4), "\xC5\xD0\xD3\xC6");
  EXPECT_EQ(files_here(), (std::set<std::string>{"keep.tif", "replace.eps"}));  // no temporary file left
}

TEST_F(OutputCommands, PrintWithoutAPrinterSaysSo) {
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a printer";
  show_picture();
  play("menu 6\nmenu 3\nanswer ok");
  ASSERT_EQ(message_log().size(), 2u);
  for (const ShownMessage& m : message_log()) {
    EXPECT_EQ(m.caption, "Error");
    EXPECT_EQ(m.text, "Error accessing printer");
  }
}

TEST_F(OutputCommands, GreyedForGoodCommandsAreReachedByTheirIds) {
  // Text mode: Write TIF is greyed for now and does nothing; Write WMF, greyed
  // for good, is sent by its id.
  play("menu 12\nmenu 13");
  EXPECT_EQ(files_here(), (std::set<std::string>{"dizari.wmf"}));
  EXPECT_FALSE(menu_action(13)->isEnabled());
}

TEST_F(OutputCommands, EmfDialogStartsInTheDataFileDirectory) {
  show_picture();
  fs::create_directories("decks");
  SET_DATA_FILE("decks/    ", 10, "plate.txt");
  play("menu 14\nfile picture");
  EXPECT_EQ(files_here(), (std::set<std::string>{"decks", "decks/picture.emf"}));
}

// The TIFF writer called with a fixed-length name: the name ends at its
// first blank, NUL or the length; without a name nothing is written.
TEST_F(OutputCommands, TiffFileNameEndsAtBlankNulOrLength) {
  show_picture();
  const struct {
    const char* name;
    std::int16_t length;
    bool written;
  } cases[] = {
      {"blank.tif rest.tif", 18, true},
      {"length.tifXYZ", 10, true},
      {"nul.tif\0rest.tif", 16, true},
      {" lead.tif", 9, false},
      {"", 0, false},
      {nullptr, 5, false},
  };
  for (const auto& c : cases) EXPECT_EQ(WRITE_TIFF_FILE(c.name, c.length), c.written) << c.length;
  EXPECT_EQ(files_here(), (std::set<std::string>{"blank.tif", "length.tif", "nul.tif"}));
  EXPECT_EQ(fs::file_size("length.tif"), 180u + 800u * 571u * 3u);
}

// Where the printed quarter lands on a US Letter page rendered at 10 dots to
// the inch: the picture is 6.5 inches wide and 4.64 high, 1 inch from the
// top and left edges.
TEST_F(OutputCommands, PrintedPageFollowsPageSetup) {
  show_picture();
  const struct {
    int landscape;
    QPoint red, white;
  } cases[] = {
      {0, QPoint(20, 15), QPoint(60, 15)},  // the quarter at the top left of the picture
      {1, QPoint(45, 25), QPoint(20, 25)},  // turned a quarter: at the top right
  };
  for (const auto& c : cases) {
    settings().LandscapePrinter = c.landscape;
    play("menu 2\nfile page.pdf\nmenu 6");  // chosen in the set-up, kept for Print
    const testing::ToolRun info = testing::run_tool("pdfinfo page.pdf | tr -s ' '");
    EXPECT_NE(info.output.find("Pages: 1\n"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("612 x 792 pts (letter)"), std::string::npos) << info.output;
    ASSERT_EQ(testing::run_tool("pdftoppm -r 10 -png page.pdf page").status, 0);
    const QImage page("page-1.png");
    ASSERT_EQ(page.size(), QSize(85, 110));
    EXPECT_EQ(page.pixelColor(c.red), QColor(255, 0, 0)) << c.landscape;
    EXPECT_EQ(page.pixelColor(c.white), QColor(255, 255, 255)) << c.landscape;
  }
}

TEST(PrintMapping, MarginsWidthScaleAndHeight) {
  const struct {
    int dpi, left, top, width, scale;
    DeviceMapping expected;
  } cases[] = {
      {600, 100, 100, 650, 100, {3900, 2785, 600 + 1950, 600 + 1392, false}},
      {600, 100, 100, 650, 50, {1950, 1392, 600 + 975, 600 + 696, false}},
      {600, 100, 100, 650, 0, {3900, 2785, 2550, 1992, false}},  // no scale given
      {300, 0, 50, 700, 101, {2100, 1500, 1050, 150 + 750, false}},
  };
  for (const auto& c : cases) {
    const DeviceMapping m = print_mapping(c.dpi, c.dpi, c.left, c.top, c.width, c.scale, false);
    EXPECT_EQ(m.width, c.expected.width) << c.scale;
    EXPECT_EQ(m.height, c.expected.height) << c.scale;
    EXPECT_EQ(m.cx, c.expected.cx) << c.scale;
    EXPECT_EQ(m.cy, c.expected.cy) << c.scale;
  }
  EXPECT_TRUE(print_mapping(600, 600, 100, 100, 650, 100, true).landscape);
}

TEST_F(OutputCommands, CopyPutsWhatTheWindowShowsOnTheClipboard) {
  show_picture();
  play("menu 5");
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  const QImage copied = qvariant_cast<QImage>(data->imageData());
  EXPECT_EQ(copied.size(), client().size());
  EXPECT_EQ(copied.pixelColor(100, 100), QColor(255, 0, 0));  // in the picture's red quarter
  EXPECT_EQ(data->data("image/x-emf").mid(40, 4), QByteArray(" EMF"));
  EXPECT_FALSE(data->hasText());  // a picture has no text
  END_PICTURE(0);
  // A text page: an image and its 25 lines as text, trailing blanks dropped.
  TEXT_AT(1, 1);
  TEXT_OUT("The current flow is   0.3126614E-04 amps.   ", 44, 7);
  TEXT_AT(3, 78);
  TEXT_OUT("\xe9 x", 3, 112);
  TEXT_AT(25, 1);
  TEXT_OUT("last", 4, 7);
  play("menu 5");
  data = QGuiApplication::clipboard()->mimeData();
  EXPECT_FALSE(data->hasFormat("image/x-emf"));
  EXPECT_TRUE(data->hasImage());
  EXPECT_EQ(data->text(), QString::fromUtf8("The current flow is   0.3126614E-04 amps.\n\n") +
                              QString(77, ' ') + QString::fromUtf8("\u00e9 x") + QString(22, '\n') + "last\n");
}

}  // namespace
}  // namespace kesto::shell
