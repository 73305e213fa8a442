// The kesto window on a real X server (a virtual one of the test's own):
// keys typed and clicks made through the server's test extension, a close
// asked for as a window manager asks, a resize, and the clipboard read by
// another client. What the window shows is read back from the server.
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <chrono>
#include <thread>

#include "program_run.h"
#include "support/real_x.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

// The sweeps end before the first redraw, so the potential map is drawn
// once, after the last sweep: its colours show that the run waits at the
// final map.
const std::string kDeck = plate_deck("20", "1000", false);

// The screen: 1040 pixels wide, so that the text grid's cells are 13 wide
// (78 of 14 would not fit) and 26 high.
constexpr int kScreenWidth = 1040;
constexpr int kScreenHeight = 900;
constexpr int kCellWidth = 13;
constexpr int kLineHeight = 26;

int count_colour(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
  return n;
}

// Colours only one picture has: the geometry view's resistive cells, and the
// potential map's coldest colour (the 0 V side of the plate).
const QRgb kGeometryResistive = qRgb(192, 252, 0);
const QRgb kMapCold = qRgb(0, 0, 252);
bool shows_geometry(const QImage& image) { return count_colour(image, kGeometryResistive) > 1000; }
bool shows_final_map(const QImage& image) { return count_colour(image, kMapCold) > 1000; }

// The first page: the file-name menu with its two fields shown as black bars.
bool shows_first_page(const QImage& image) { return count_colour(image, qRgb(0, 0, 0)) > 20000; }

// The height of the menu bar: the rows above the client area, whose white
// background starts below it.
int menu_bar_height(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    if ((image.pixel(image.width() / 2, y) & 0xFFFFFF) == 0xFFFFFF) return y;
  return 0;
}

// The smallest rectangle holding every pixel of the client area that is not
// the white background.
QRect picture_extent(const QImage& image) {
  const int top = menu_bar_height(image);
  QRect r;
  for (int y = top; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) r |= QRect(x, y, 1, 1);
  return r.translated(0, -top);
}

class RealX : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!screen_.start(kScreenWidth, kScreenHeight, why)) GTEST_SKIP() << "no X server of the test's own: " << why;
  }

  fs::path deck_dir(const std::string& name) {
    const fs::path dir = fresh_dir(name);
    write_file(dir / "plate.txt", kDeck);
    return dir;
  }

  void key(RunningKesto& k, const std::string& names) {
    k.focus();
    screen_.run("xdotool key " + names);
  }
  void type(RunningKesto& k, const std::string& text) {
    k.focus();
    screen_.run("xdotool type " + shell_quote(text));
  }
  // A left click at the middle of text cell (row, column) of the page shown
  // on the full-width screen.
  void click_cell(RunningKesto& k, int row, int column) {
    const QImage shown = k.shown();
    const int top = menu_bar_height(shown);
    const int y_origin = (shown.height() - top - 25 * kLineHeight) / 2;
    const int x = (column - 1) * kCellWidth + kCellWidth / 2;
    const int y = top + y_origin + (row - 1) * kLineHeight + kLineHeight / 2;
    k.focus();
    screen_.run("xdotool mousemove --window " + std::to_string(k.window()) + " " + std::to_string(x) + " " +
                std::to_string(y) + " click 1");
  }
  // Opens a menu with Alt and its letter and waits until it is shown.
  bool open_menu(RunningKesto& k, char letter) {
    key(k, std::string("alt+") + letter);
    for (int i = 0; i < 400; ++i) {
      if (x_count_windows(screen_.display()) > 1) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  // Waits for the window and its first page.
  void wait_for_first_page(RunningKesto& k) {
    ASSERT_NE(k.window(), 0u) << "no window: " << k.finish().err;
    ASSERT_TRUE(k.wait_until_shown(shows_first_page)) << "no first page";
  }
  // Types the deck's name on the first page and goes on to the final map.
  void reach_final_map(RunningKesto& k) {
    wait_for_first_page(k);
    type(k, "plate");
    key(k, "F10");
    ASSERT_TRUE(k.wait_until_shown(shows_geometry)) << "no geometry view";
    key(k, "Return");
    ASSERT_TRUE(k.wait_until_shown(shows_final_map)) << "no final map";
  }

  VirtualScreen screen_;
};

TEST_F(RealX, KeysTypedOnTheFirstPageRunTheDeckToItsEnd) {
  const fs::path dir = deck_dir("typed");
  RunningKesto k(screen_, dir, {});
  ASSERT_NO_FATAL_FAILURE(reach_final_map(k));
  key(k, "F1");  // the final map; the current page follows
  ASSERT_TRUE(k.wait_until_shown([](const QImage& i) { return !shows_final_map(i); }));
  key(k, "x");  // the tables are written before the closing page
  for (int i = 0; i < 400 && !fs::exists(dir / "EFIELD.TBL"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  key(k, "Return");
  const ProgramRun r = k.finish();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(read_file(dir / "VOLTS.TBL").find("plate.txt"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "EFIELD.TBL"));
}

// Alt+F opens the File menu and its item's letter (E&xit) takes it: the run
// ends on the first page, with no table and the settings written.
TEST_F(RealX, AltLetterOpensAMenuWhoseItemTakesItsLetter) {
  const fs::path dir = deck_dir("menu");
  RunningKesto k(screen_, dir, {});
  ASSERT_NO_FATAL_FAILURE(wait_for_first_page(k));
  ASSERT_TRUE(open_menu(k, 'f'));
  key(k, "x");
  const ProgramRun r = k.finish();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(dir / "VOLTS.TBL"));
  EXPECT_TRUE(fs::exists(dir / "config" / "verudo.ini"));
}

// The caret starts in the file name field: only a click moves it to the
// directory field, and only a click brings it back, so the deck in decks/
// opens (and its sheet is shown) only when both clicks land in their fields.
TEST_F(RealX, ClickOnAFieldPutsTheTypingThere) {
  const fs::path dir = fresh_dir("click");
  write_file(dir / "decks" / "plate.txt", kDeck);
  RunningKesto k(screen_, dir, {});
  ASSERT_NO_FATAL_FAILURE(wait_for_first_page(k));
  click_cell(k, 5, 14);
  type(k, "decks");
  click_cell(k, 7, 14);
  type(k, "plate");
  key(k, "F10");
  EXPECT_TRUE(k.wait_until_shown(shows_geometry)) << "the deck in decks/ was not opened";
  x_close_window(screen_.display(), k.window());
  EXPECT_EQ(k.finish().status, 0);
}

// A close asked for at the final map, as a window manager asks, ends the run
// there: exit status 0, no table, the settings file written.
TEST_F(RealX, CloseAtTheFinalMapEndsTheRunWithTheSettingsWritten) {
  const fs::path dir = deck_dir("close");
  RunningKesto k(screen_, dir, {});
  ASSERT_NO_FATAL_FAILURE(reach_final_map(k));
  ASSERT_TRUE(x_close_window(screen_.display(), k.window()));
  const ProgramRun r = k.finish();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(dir / "VOLTS.TBL"));
  EXPECT_FALSE(fs::exists(dir / "EFIELD.TBL"));
  EXPECT_NE(read_file(dir / "config" / "verudo.ini").find("PageWidth=650"), std::string::npos);
}

// A tool that looks the window up by name finds the program's hidden
// windows too (the client leader, the clipboard's owner), and may send its
// close there: every one of them ends the sweeps at once, with no table
// written. The sweeps would otherwise go on for many seconds and the run
// then wait at the final map until it is killed.
TEST_F(RealX, CloseSentToAHiddenWindowOfTheProgramEndsTheSweeps) {
  std::string long_deck = kDeck;
  long_deck.replace(long_deck.find("NST  20"), 7, "NST  40000000");
  long_deck.replace(long_deck.find("NUP    1000"), 11, "NUP    40000000");
  for (int hidden = 0; hidden < 2; ++hidden) {
    const fs::path dir = fresh_dir("hidden" + std::to_string(hidden));
    write_file(dir / "plate.txt", long_deck);
    RunningKesto k(screen_, dir, {});
    ASSERT_NO_FATAL_FAILURE(wait_for_first_page(k));
    std::vector<unsigned long> others;
    for (const unsigned long w : x_windows_named(screen_.display(), "kesto"))
      if (w != k.window()) others.push_back(w);
    ASSERT_EQ(others.size(), 2u) << "the client leader and the clipboard's owner";
    type(k, "plate");
    key(k, "F10");
    ASSERT_TRUE(k.wait_until_shown(shows_geometry)) << "no geometry view";
    key(k, "Return");
    ASSERT_TRUE(k.wait_until_shown([](const QImage& i) { return !shows_geometry(i); })) << "no sweeps";
    ASSERT_TRUE(x_close_window(screen_.display(), others[static_cast<std::size_t>(hidden)]));
    const ProgramRun r = k.finish();
    EXPECT_EQ(r.status, 0) << "hidden window " << hidden << ": " << r.err;
    EXPECT_FALSE(fs::exists(dir / "VOLTS.TBL")) << "hidden window " << hidden;
  }
}

// The page is fitted into the client area by its width at both sizes, so a
// window narrowed from 1040 to 700 pixels shows the picture scaled by
// 700 / 1040 about the new centre.
TEST_F(RealX, ResizeRepaintsThePictureInProportion) {
  const fs::path dir = deck_dir("resize");
  RunningKesto k(screen_, dir, {});
  ASSERT_NO_FATAL_FAILURE(reach_final_map(k));
  const QRect before = picture_extent(k.shown());
  screen_.run("xdotool windowsize " + std::to_string(k.window()) + " 700 " + std::to_string(kScreenHeight));
  ASSERT_TRUE(k.wait_until_shown([](const QImage& i) {
    return i.width() == 700 && shows_final_map(i) && picture_extent(i).right() < 700 - 1;
  }));
  const QRect after = picture_extent(k.shown());
  EXPECT_NEAR(before.center().x(), 520, 2) << before.left() << ".." << before.right();
  EXPECT_NEAR(after.center().x(), 350, 2) << after.left() << ".." << after.right();
  EXPECT_NEAR(after.width(), before.width() * 700.0 / 1040.0, 3) << before.width();
  EXPECT_NEAR(after.height(), before.height() * 700.0 / 1040.0, 3) << before.height();
  EXPECT_NEAR(after.center().y(), before.center().y(), 2);
}

// Edit > Copy at the final map, read by another client: the clipboard
// offers a PNG image, which is the window's client area as shown.
TEST_F(RealX, CopiedPictureIsReadBackByAnotherClient) {
  const fs::path dir = deck_dir("copy");
  RunningKesto k(screen_, dir, {});
  ASSERT_NO_FATAL_FAILURE(reach_final_map(k));
  ASSERT_TRUE(open_menu(k, 'e'));
  key(k, "c");
  ASSERT_TRUE(k.wait_until_shown([&](const QImage&) { return x_count_windows(screen_.display()) == 1; }));
  const ToolRun targets = screen_.run("timeout 10 xclip -selection clipboard -t TARGETS -o");
  EXPECT_NE(targets.output.find("image/png\n"), std::string::npos) << targets.output;
  const ToolRun png = screen_.run("timeout 10 xclip -selection clipboard -t image/png -o > " +
                                  shell_quote((dir / "copy.png").string()));
  ASSERT_EQ(png.status, 0) << png.output;
  const QImage copied = QImage((dir / "copy.png").c_str()).convertToFormat(QImage::Format_RGB32);
  const QImage shown = k.shown();
  const int top = menu_bar_height(shown);
  ASSERT_EQ(copied.size(), QSize(kScreenWidth, kScreenHeight - top));
  EXPECT_EQ(copied, shown.copy(0, top, kScreenWidth, kScreenHeight - top));
  EXPECT_GT(count_colour(copied, kMapCold), 1000);
  x_close_window(screen_.display(), k.window());
  EXPECT_EQ(k.finish().status, 0);
}

}  // namespace
