// The settings file: read when the window opens, written at shutdown in a
// fixed order, tolerant of missing, non-numeric and absurd values, never
// overwritten by a run that did not read it, and written atomically.
#include <QAction>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cstdio>
#include <filesystem>

#include "common/file_replacing.h"
#include "shell/window/menu_commands.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/window/surfaces.h"
#include "window_fixture.h"

namespace kesto::shell {
namespace {

using testing::read_settings_file;
using testing::write_settings_file;

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::application();
    testing::reset_shell();
    testing::remove_settings_file();
  }
  void TearDown() override { testing::reset_shell(); }
};

const char kAllKeys[] =
    "[Printer]\n"
    "PageLeftMargin=100\n"
    "PageTopMargin=100\n"
    "PageWidth=650\n"
    "PenWidthPrinter=2\n"
    "LandscapePrinter=0\n"
    "[PostScript]\n"
    "PenWidthEPS=2\n"
    "[Metafile]\n"
    "PenWidthEMF=2\n"
    "[Window]\n"
    "ColorWindow=1\n"
    "BlackBG=0\n";

TEST_F(SettingsFile, PathIsInTheConfigDirectory) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  ASSERT_NE(xdg, nullptr);
  EXPECT_EQ(settings_path(), (std::filesystem::path(xdg) / "verudo.ini").string());
}

TEST_F(SettingsFile, MissingFileGivesDefaultsAndShutdownWritesThemInOrder) {
  OPEN_WINDOW();
  EXPECT_EQ(settings().PageWidth, 650);
  EXPECT_EQ(settings().BlackBG, 0);
  SHELL_SHUTDOWN();
  EXPECT_EQ(read_settings_file(), kAllKeys);
}

TEST_F(SettingsFile, RoundTripOfEveryKey) {
  write_settings_file(
      "[Window]\nBlackBG=1\nColorWindow=0\n[Printer]\nPageLeftMargin=-25\nPageTopMargin=75\nPageWidth=700\n"
      "PenWidthPrinter=4\nLandscapePrinter=1\n[Metafile]\nPenWidthEMF=5\n[PostScript]\nPenWidthEPS=6\n");
  OPEN_WINDOW();
  Settings& s = settings();
  EXPECT_EQ(s.PageLeftMargin, -25);  // used as it is
  EXPECT_EQ(s.PageTopMargin, 75);
  EXPECT_EQ(s.PageWidth, 700);
  EXPECT_EQ(s.PenWidthPrinter, 4);
  EXPECT_EQ(s.LandscapePrinter, 1);
  EXPECT_EQ(s.PenWidthEMF, 5);
  EXPECT_EQ(s.PenWidthEPS, 6);
  EXPECT_EQ(s.ColorWindow, 0);
  EXPECT_EQ(s.BlackBG, 1);
  s.PageWidth = 710;
  SHELL_SHUTDOWN();
  // Written back in place: the file's own order stays.
  EXPECT_EQ(read_settings_file(),
            "[Window]\nBlackBG=1\nColorWindow=0\n[Printer]\nPageLeftMargin=-25\nPageTopMargin=75\nPageWidth=710\n"
            "PenWidthPrinter=4\nLandscapePrinter=1\n[Metafile]\nPenWidthEMF=5\n[PostScript]\nPenWidthEPS=6\n");
}

TEST_F(SettingsFile, BlackBackgroundFromTheFileAndToggledBack) {
  write_settings_file("[Window]\nBlackBG=1\n");
  OPEN_WINDOW();
  testing::settle();
  EXPECT_TRUE(menu_action(CMD_BLACK_BACKGROUND)->isChecked());
  EXPECT_TRUE(menu_action(CMD_COLOR)->isChecked());
  EXPECT_EQ(surfaces().backing.pixelColor(0, 0), QColor(0, 0, 0));
  EXPECT_EQ(client_area()->grab().toImage().pixelColor(1, 1), QColor(0, 0, 0));
  menu_action(CMD_BLACK_BACKGROUND)->trigger();
  SHELL_SHUTDOWN();
  EXPECT_NE(read_settings_file().find("BlackBG=0\n"), std::string::npos);
}

TEST_F(SettingsFile, NamesMatchWithoutCaseAndTheFirstKeyCounts) {
  write_settings_file("; a comment\n[printer]\n  pagewidth = 800 \nPageWidth=900\n[WINDOW]\ncolorwindow=0\n");
  OPEN_WINDOW();
  EXPECT_EQ(settings().PageWidth, 800);
  EXPECT_EQ(settings().ColorWindow, 0);
}

TEST_F(SettingsFile, MissingNonNumericAndAbsurdValues) {
  write_settings_file(
      "[Printer]\nPageLeftMargin=abc\nPageTopMargin=+-5\nPageWidth=99999999999\nPenWidthPrinter=2000000\n"
      "LandscapePrinter=7\n[Metafile]\nPenWidthEMF=-3\n[PostScript]\nPenWidthEPS=\n[Window]\nColorWindow=-1\n"
      "BlackBG=255\ngarbage line without equals\n[unclosed\n");
  OPEN_WINDOW();
  const Settings& s = settings();
  EXPECT_EQ(s.PageLeftMargin, 100);  // not a number: default
  EXPECT_EQ(s.PageTopMargin, 100);
  EXPECT_EQ(s.PageWidth, 650);  // beyond 32 bits: default
  EXPECT_EQ(s.PenWidthPrinter, MAX_PEN_WIDTH);
  EXPECT_EQ(s.LandscapePrinter, 1);  // switches are 0 or 1
  EXPECT_EQ(s.PenWidthEMF, -3);      // used as it is
  EXPECT_EQ(s.PenWidthEPS, 2);
  EXPECT_EQ(s.ColorWindow, 1);
  EXPECT_EQ(s.BlackBG, 1);
  EXPECT_TRUE(menu_action(CMD_BLACK_BACKGROUND)->isChecked());
  SHELL_SHUTDOWN();
  EXPECT_NE(read_settings_file().find("BlackBG=1\n"), std::string::npos);
}

TEST_F(SettingsFile, BinaryGarbageDoesNotHurt) {
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk.push_back(static_cast<char>((i * 37) % 256));
  write_settings_file(junk.substr(0, junk.find('\0')) + "\n[Window]\nBlackBG=1\n");
  OPEN_WINDOW();
  EXPECT_EQ(settings().BlackBG, 1);
}

TEST_F(SettingsFile, NotWrittenWhenTheRunNeverReadIt) {
  write_settings_file("[Window]\nBlackBG=1\n");
  SHELL_SHUTDOWN();
  EXPECT_EQ(read_settings_file(), "[Window]\nBlackBG=1\n");
}

TEST_F(SettingsFile, FailedWriteKeepsTheOldFile) {
  write_settings_file("[Window]\nBlackBG=1\n");
  OPEN_WINDOW();
  settings().BlackBG = 0;
  // A file-size limit below the new text's size makes the write fail midway.
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 40;
  setrlimit(RLIMIT_FSIZE, &small);
  SHELL_SHUTDOWN();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_EQ(read_settings_file(), "[Window]\nBlackBG=1\n");
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(settings_path()).parent_path()))
    EXPECT_NE(e.path().extension(), ".tmp") << e.path();
}

// A run rewrites the file only when a setting changed or a key is missing;
// a link is written through only to what reads as a settings file (or is
// empty); a file of several names is rewritten where it is, for all of them.
TEST_F(SettingsFile, WrittenOnlyWhenNeededAndOnlyThroughLinksToSettings) {
  namespace fs = std::filesystem;
  const fs::path file = settings_path();
  const fs::path dir = file.parent_path();
  const auto inode = [](const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  struct Case {
    const char* what;
    std::string text;  // what the settings file (or the file a link points to) holds
    int link;          // 0 none, 1 a symbolic link to other.txt, 2 a hard link other.txt
    bool change;       // the run changes PageWidth to 777
    bool written;      // the text changes
    bool same_file;    // the settings file is still the same inode (not replaced by a rename)
  };
  const std::string all = kAllKeys;
  const std::string passwd = "root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1::/:/bin/false\n";
  const Case cases[] = {
      {"every key, nothing changed", all, 0, false, false, true},
      {"a key missing", "[Printer]\nPageWidth=650\n", 0, false, true, false},
      {"a setting changed", all, 0, true, true, false},
      {"a link to some other file", passwd, 1, true, false, true},
      {"a link to an empty file", "", 1, true, true, false},
      {"a link to settings", all, 1, true, true, false},
      {"a hard link", all, 2, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::reset_shell();
    fs::remove(file);
    fs::remove(dir / "other.txt");
    const fs::path real = c.link == 0 ? file : dir / "other.txt";
    if (c.link == 0) {
      write_settings_file(c.text);
    } else {
      std::FILE* f = std::fopen(real.c_str(), "wb");
      std::fputs(c.text.c_str(), f);
      std::fclose(f);
    }
    if (c.link == 1) fs::create_symlink(real, file);
    if (c.link == 2) fs::create_hard_link(real, file);
    const auto before = inode(real);
    OPEN_WINDOW();
    if (c.change) settings().PageWidth = 777;
    SHELL_SHUTDOWN();
    const std::string after = read_settings_file();
    EXPECT_EQ(after != c.text, c.written) << after;
    EXPECT_EQ(inode(real) == before, c.same_file);
    if (c.written) {
      EXPECT_NE(after.find(c.change ? "PageWidth=777\n" : "PageWidth=650\n"), std::string::npos) << after;
      EXPECT_NE(after.find("BlackBG=0\n"), std::string::npos) << after;
    }
    if (c.link == 1) {
      EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file)));
    }
    if (c.link == 2) {
      std::FILE* f = std::fopen((dir / "other.txt").c_str(), "rb");
      char buffer[4096] = {};
      const std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
      std::fclose(f);
      EXPECT_EQ(std::string(buffer, n), after);  // both names see the new settings
    }
  }
}

TEST_F(SettingsFile, ALinkIsUpdatedWhereItPointsAndThePermissionsStay) {
  namespace fs = std::filesystem;
  const fs::path link = settings_path();
  const fs::path real = link.parent_path() / "kept" / "real.ini";
  fs::create_directories(real.parent_path());
  std::FILE* f = std::fopen(real.c_str(), "wb");
  std::fputs("; mine\n[Printer]\nPageWidth=650\n", f);
  std::fclose(f);
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(real, link);
  OPEN_WINDOW();
  settings().PageWidth = 777;
  SHELL_SHUTDOWN();
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
  EXPECT_EQ(read_settings_file().rfind("; mine\n[Printer]\nPageWidth=777\nPageLeftMargin=100\n", 0), 0u);
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(SettingsFile, AFifoInItsPlaceIsNeitherReadNorReplaced) {
  namespace fs = std::filesystem;
  ASSERT_EQ(mkfifo(settings_path().c_str(), 0600), 0);
  OPEN_WINDOW();  // would block on opening the FIFO for reading
  EXPECT_EQ(settings().PageWidth, 650);
  SHELL_SHUTDOWN();
  EXPECT_TRUE(fs::is_fifo(settings_path()));
}

TEST_F(SettingsFile, CreatesTheDirectory) {
  const std::string old = std::getenv("XDG_CONFIG_HOME");
  const std::string fresh = old + "/new/deeper";
  std::filesystem::remove_all(old + "/new");
  setenv("XDG_CONFIG_HOME", fresh.c_str(), 1);
  OPEN_WINDOW();
  SHELL_SHUTDOWN();
  const bool written = std::filesystem::exists(fresh + "/verudo.ini");
  setenv("XDG_CONFIG_HOME", old.c_str(), 1);
  EXPECT_TRUE(written);
}

TEST_F(SettingsFile, ShutdownReleasesOnceAndTheWindowCanOpenAgain) {
  OPEN_WINDOW();
  ASSERT_NE(main_window(), nullptr);
  EXPECT_FALSE(plot_buffer().block.empty());
  SHELL_SHUTDOWN();
  EXPECT_EQ(main_window(), nullptr);
  EXPECT_TRUE(plot_buffer().block.empty());
  EXPECT_TRUE(window_state().shut_down);
  // A second call writes the settings again and releases nothing twice.
  settings().PageWidth = 123;
  SHELL_SHUTDOWN();
  EXPECT_NE(read_settings_file().find("PageWidth=123\n"), std::string::npos);
  // A new window in the same process.
  OPEN_WINDOW();
  ASSERT_NE(main_window(), nullptr);
  EXPECT_FALSE(window_state().shut_down);
  EXPECT_FALSE(plot_buffer().block.empty());
  EXPECT_EQ(settings().PageWidth, 123);
  SHELL_SHUTDOWN();
}

}  // namespace
}  // namespace kesto::shell

namespace kesto::shell {
namespace {

// Numbers as a hand-edited file may hold them: one optional sign and
// digits count; anything else keeps the value the key had.
TEST(SettingsValues, OnlyWholeNumbersWithOneSignCount) {
  const struct {
    const char* text;
    std::int32_t read;
  } cases[] = {
      {"+5", 5},    {"-5", -5},          {" 7 ", 7},   {"-2147483648", -2147483648},
      {"+-5", 100}, {"-+5", 100},        {"++5", 100}, {"--5", 100},
      {"+", 100},   {"-", 100},          {"5-", 100},  {"0x10", 100},
      {"1e3", 100}, {"2147483648", 100}, {"4.0", 100}, {"+ 5", 100},
      {"5 6", 100}, {"5,6", 100},        {"5/", 100},
  };
  for (const auto& c : cases) {
    Settings s;
    settings_from_text(std::string("[Printer]\nPageLeftMargin=") + c.text + "\n", s);
    EXPECT_EQ(s.PageLeftMargin, c.read) << '"' << c.text << '"';
  }
}

// A byte-order mark is passed over only at the start of the file; a line
// ends at LF, CR LF or CR alone.
TEST(SettingsValues, ByteOrderMarkAndEveryLineEnd) {
  const struct {
    const char* text;
    std::int32_t left, width;
  } cases[] = {
      {"\xEF\xBB\xBF[Printer]\nPageLeftMargin=5\nPageWidth=6\n", 5, 6},
      {"\xEF\xBB\xBF[Printer]\r\nPageLeftMargin=5\r\nPageWidth=6", 5, 6},
      {"[Printer]\rPageLeftMargin=5\rPageWidth=6\r", 5, 6},
      {"[Printer]\r\rPageLeftMargin=5\n\rPageWidth=6\r\n", 5, 6},
      {"\xEF\xBB\xBF[Printer]\rPageLeftMargin=5\r[Window]\rPageWidth=6\r", 5, 650},
      {"; comment\n\xEF\xBB\xBF[Printer]\nPageLeftMargin=5\n", 100, 650},  // a mark inside is not passed over
      {"\xEF\xBB[Printer]\nPageLeftMargin=5\n", 100, 650},                   // nor half a mark
  };
  for (const auto& c : cases) {
    Settings s;
    settings_from_text(c.text, s);
    EXPECT_EQ(s.PageLeftMargin, c.left) << c.text;
    EXPECT_EQ(s.PageWidth, c.width) << c.text;
  }
}

// The file is rewritten in place: each of our keys keeps its line, its
// spelling and its blanks, and only its value changes; every other line, the
// order and the line ends stay; missing keys join their section, missing
// sections come at the end.
TEST(SettingsValues, RewrittenInPlace) {
  Settings changed;
  changed.PageWidth = 700;
  changed.BlackBG = 1;
  const struct {
    const char* what;
    std::string old_text, expected;
  } cases[] = {
      {"foreign lines, comments and odd spellings stay; CRLF throughout",
       "; written by hand\r\n[Other]\r\nPageWidth=1\r\n\r\n[printer]\r\n  pagewidth = 800 ; old\r\n"
       "PageLeftMargin=100\r\nPageWidth=900\r\n# end of printer\r\n[Window]\r\nBlackBG=0\r\nColorWindow=1\r\n",
       "; written by hand\r\n[Other]\r\nPageWidth=1\r\n\r\n[printer]\r\n  pagewidth = 700\r\n"
       "PageLeftMargin=100\r\nPageWidth=900\r\nPageTopMargin=100\r\nPenWidthPrinter=2\r\nLandscapePrinter=0\r\n"
       "# end of printer\r\n[Window]\r\nBlackBG=1\r\nColorWindow=1\r\n"
       "[PostScript]\r\nPenWidthEPS=2\r\n[Metafile]\r\nPenWidthEMF=2\r\n"},
      {"a last line without its line end gets one before the new lines", "[Window]\nColorWindow=1",
       "[Window]\nColorWindow=1\nBlackBG=1\n[Printer]\nPageLeftMargin=100\nPageTopMargin=100\nPageWidth=700\n"
       "PenWidthPrinter=2\nLandscapePrinter=0\n[PostScript]\nPenWidthEPS=2\n[Metafile]\nPenWidthEMF=2\n"},
      {"a carriage return alone ends a line, also the last one",
       "[Window]\nColorWindow=1\nBlackBG=0\n[Printer]\nPageLeftMargin=100\nPageTopMargin=100\nPageWidth=700\n"
       "PenWidthPrinter=2\nLandscapePrinter=0\n[PostScript]\nPenWidthEPS=2\n[Metafile]\nx=\r",
       "[Window]\nColorWindow=1\nBlackBG=1\n[Printer]\nPageLeftMargin=100\nPageTopMargin=100\nPageWidth=700\n"
       "PenWidthPrinter=2\nLandscapePrinter=0\n[PostScript]\nPenWidthEPS=2\n[Metafile]\nx=\rPenWidthEMF=2\n"},
      {"a byte-order mark stays first; lines ending in CR alone get new lines that end so too",
       "\xEF\xBB\xBF[Printer]\rPageWidth=650\r\r[Window]\rBlackBG=0\r",
       "\xEF\xBB\xBF[Printer]\rPageWidth=700\rPageLeftMargin=100\rPageTopMargin=100\rPenWidthPrinter=2\r"
       "LandscapePrinter=0\r\r[Window]\rBlackBG=1\rColorWindow=1\r[PostScript]\rPenWidthEPS=2\r[Metafile]\r"
       "PenWidthEMF=2\r"},
      {"a byte-order mark alone",
       "\xEF\xBB\xBF",
       "\xEF\xBB\xBF[Printer]\nPageLeftMargin=100\nPageTopMargin=100\nPageWidth=700\nPenWidthPrinter=2\n"
       "LandscapePrinter=0\n[PostScript]\nPenWidthEPS=2\n[Metafile]\nPenWidthEMF=2\n[Window]\nColorWindow=1\n"
       "BlackBG=1\n"},
      {"a section given twice: the first key found is updated, a missing one joins the first block",
       "[Window]\nx=1\n[Printer]\n[Window]\nBlackBG=0\n[Printer]\nPageWidth=\n[Metafile]\nPenWidthEMF=2\n"
       "[PostScript]\nPenWidthEPS=2\n",
       "[Window]\nx=1\nColorWindow=1\n[Printer]\nPageLeftMargin=100\nPageTopMargin=100\nPenWidthPrinter=2\n"
       "LandscapePrinter=0\n[Window]\nBlackBG=1\n[Printer]\nPageWidth=700\n[Metafile]\nPenWidthEMF=2\n"
       "[PostScript]\nPenWidthEPS=2\n"},
  };
  for (const auto& c : cases) {
    const std::string text = settings_to_text(c.old_text, changed);
    EXPECT_EQ(text, c.expected) << c.what;
    Settings again;
    settings_from_text(text, again);
    EXPECT_EQ(again.PageWidth, 700) << c.what;
    EXPECT_EQ(again.BlackBG, 1) << c.what;
    EXPECT_EQ(settings_to_text(text, changed), text) << c.what << ": a second write changes nothing";
  }
}

}  // namespace
}  // namespace kesto::shell
