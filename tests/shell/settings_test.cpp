// The settings file: read when the window opens, written at shutdown in a
// fixed order, tolerant of missing, non-numeric and absurd values, never
// overwritten by a run that did not read it, and written atomically.
#include <QAction>
#include <filesystem>

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
  const Settings& s = settings();
  EXPECT_EQ(s.PageLeftMargin, -25);  // used as it is
  EXPECT_EQ(s.PageTopMargin, 75);
  EXPECT_EQ(s.PageWidth, 700);
  EXPECT_EQ(s.PenWidthPrinter, 4);
  EXPECT_EQ(s.LandscapePrinter, 1);
  EXPECT_EQ(s.PenWidthEMF, 5);
  EXPECT_EQ(s.PenWidthEPS, 6);
  EXPECT_EQ(s.ColorWindow, 0);
  EXPECT_EQ(s.BlackBG, 1);
  SHELL_SHUTDOWN();
  EXPECT_EQ(read_settings_file(),
            "[Printer]\nPageLeftMargin=-25\nPageTopMargin=75\nPageWidth=700\nPenWidthPrinter=4\n"
            "LandscapePrinter=1\n[PostScript]\nPenWidthEPS=6\n[Metafile]\nPenWidthEMF=5\n[Window]\n"
            "ColorWindow=0\nBlackBG=1\n");
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
      "[Printer]\nPageLeftMargin=abc\nPageTopMargin=12x\nPageWidth=99999999999\nPenWidthPrinter=2000000\n"
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
  // The temporary file cannot be created: a directory stands in its way.
  const std::string blocker = settings_path() + ".new";
  std::filesystem::create_directories(blocker);
  SHELL_SHUTDOWN();
  std::filesystem::remove_all(blocker);
  EXPECT_EQ(read_settings_file(), "[Window]\nBlackBG=1\n");
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
