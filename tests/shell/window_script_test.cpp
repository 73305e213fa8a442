// Whole runs driven by a script through an offscreen window: text pages, a
// picture, text again and the picture once more, with menu commands and
// message boxes answered on the way; the process entry around a run; the
// file dialog, the trace file and the selection tools under a script.
#include <QCloseEvent>
#include <QImage>
#include <QMainWindow>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/settings/file_dialog.h"
#include "shell/graphics/graphics_interface.h"
#include "shell/window/menu_commands.h"
#include "shell/window/picture.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/drawing/primitives.h"
#include "shell/window/process_entry.h"
#include "shell/window/surfaces.h"
#include "shell/settings/trace.h"
#include "window_fixture.h"

namespace kesto::shell {
namespace {

void load_script(const std::string& text) {
  std::string error;
  ASSERT_TRUE(parse_script(text, script(), error)) << error;
}

int count(const QImage& image, const QColor& c) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == c) ++n;
  return n;
}

// What the run saw at each of its stops.
struct Observed {
  std::vector<std::string> pages;
  std::vector<int> red_pixels;  // red pixels the window showed at each picture stop
  std::vector<int> keys;
  bool bitmap_valid_after_resize = false;
};
Observed& observed() {
  static Observed o;
  return o;
}

void show_page(const char* text) {
  TEXT_CLEAR();
  TEXT_AT(1, 1);
  TEXT_OUT(text, static_cast<std::int16_t>(std::strlen(text)), 7);
  testing::settle();
  observed().pages.push_back(text_page());
  observed().keys.push_back(GI_GET_KEY());
}

void look_at_picture() {
  testing::settle();
  observed().red_pixels.push_back(count(client_area()->grab().toImage(), QColor(252, 0, 0)));
}

// A run that shows two text pages around a picture and then the picture again.
void pages_and_picture() {
  GI_OPEN();
  testing::set_client_size(700, 500);
  show_page("PAGE ONE");
  GI_SET_FRAME(-1.0f, 1.0f, -1250.0f / 1750.0f, 1250.0f / 1750.0f);
  GI_SET_VIEWPORT(-1.0f, 1.0f, -1250.0f / 1750.0f, 1250.0f / 1750.0f);
  GI_SET_WINDOW(-1750.0f, 1750.0f, -1250.0f, 1250.0f);
  GI_CLEAR();
  GI_BEGIN(0);
  GI_COLOUR(1);
  GI_FILL_RECT(-1750.0f, 1250.0f, 0.0f, 0.0f, 15);
  look_at_picture();
  GI_END(0);  // waits for a command key
  show_page("PAGE TWO");
  GI_BEGIN(0);  // the same picture again
  look_at_picture();
  testing::set_client_size(1400, 1000);
  look_at_picture();
  observed().bitmap_valid_after_resize = window_state().bitmap_valid;
  GI_END(0);  // the Color command runs inside this wait
  GI_BEGIN(0);
  look_at_picture();
  GI_END(0);
  show_page("LAST PAGE");
  throw common::RunEnded{common::RunEnded::Kind::normal};
}

class ScriptedRun : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::application();
    testing::reset_shell();
    testing::remove_settings_file();
    graphics_state() = GraphicsState{};
    observed() = Observed{};
  }
  void TearDown() override { testing::reset_shell(); }
};

TEST_F(ScriptedRun, TextPagesAPictureAndBack) {
  load_script(
      "key a\n"    // page one
      "menu 10\n"  // About, inside the picture's wait
      "answer ok\n"
      "key x\n"   // ends the picture
      "key b\n"   // page two
      "menu 7\n"  // Color off while the picture shows again
      "key y\n"
      "key z\n"        // the grey picture
      "key Enter\n");  // last page
  int argc = 1;
  char name[] = "kesto";
  char* argv[] = {name, nullptr};
  const auto kind = PROCESS_ENTRY(argc, argv, pages_and_picture, false);
  EXPECT_EQ(kind, common::RunEnded::Kind::normal);

  const Observed& o = observed();
  ASSERT_EQ(o.pages.size(), 3u);
  EXPECT_EQ(o.pages[0], "PAGE ONE\n");
  EXPECT_EQ(o.pages[1], "PAGE TWO\n");
  EXPECT_EQ(o.pages[2], "LAST PAGE\n");
  EXPECT_EQ(o.keys, (std::vector<int>{'a', 'b', 13}));
  ASSERT_EQ(o.red_pixels.size(), 4u);
  EXPECT_NEAR(o.red_pixels[0], 350 * 250, 1500);  // a quarter of the page
  EXPECT_NEAR(o.red_pixels[1], 350 * 250, 1500);  // shown again
  EXPECT_NEAR(o.red_pixels[2], 700 * 500, 3000);  // replayed at the new size
  EXPECT_TRUE(o.bitmap_valid_after_resize);
  EXPECT_EQ(o.red_pixels[3], 0);  // greys after the Color command
  ASSERT_EQ(message_log().size(), 1u);
  EXPECT_EQ(message_log()[0].text, "The \"About\" box is not implemented");
  EXPECT_EQ(message_log()[0].answer, "ok");
  // The process entry shut the shell down: window gone, settings written.
  EXPECT_EQ(main_window(), nullptr);
  EXPECT_NE(testing::read_settings_file().find("ColorWindow=0\n"), std::string::npos);
}

void closes_during_sweeps() {
  GI_OPEN();
  for (int sweep = 0; sweep < 100000; ++sweep) {
    if (sweep == 10) QCoreApplication::postEvent(main_window(), new QCloseEvent);
    if (GI_CHECK_KEY() == KEY_QUIT) {
      observed().keys.push_back(sweep);
      throw common::RunEnded{common::RunEnded::Kind::fatal};
    }
  }
}

TEST_F(ScriptedRun, ClosingTheWindowIsNoticedBetweenSweeps) {
  int argc = 1;
  char name[] = "kesto";
  char* argv[] = {name, nullptr};
  EXPECT_EQ(PROCESS_ENTRY(argc, argv, closes_during_sweeps, false), common::RunEnded::Kind::fatal);
  EXPECT_EQ(observed().keys, std::vector<int>{10});
  EXPECT_EQ(main_window(), nullptr);
}

// A long computation with the relaxation's key poll after every step; the
// window has something new to paint at every poll. Notes the poll that saw
// the close.
void polls_until_closed() {
  GI_OPEN();
  BEGIN_PICTURE(0);
  for (int poll = 1; poll <= 400; ++poll) {
    window_surface_changed();
    if (GI_CHECK_KEY() == KEY_QUIT) {
      observed().keys.push_back(poll);
      throw common::RunEnded{common::RunEnded::Kind::fatal};
    }
  }
}

// A close ends the run at the poll it arrives at, every time, whatever waits
// with it: menu commands held for the next wait (which never comes), a
// resize, pointer moves and clicks, a close picked from the menu.
TEST_F(ScriptedRun, ACloseEndsTheRunAtThePollItArrivesAtWhateverIsQueued) {
  const struct {
    const char* script;
    int poll;  // the poll that must see the close
  } cases[] = {
      {"busy 1 close\n", 1},
      {"busy 2 close\n", 2},
      {"busy 37 close\n", 37},
      {"busy 1 menu 7\nbusy 1 close\n", 2},
      {"busy 3 menu 1\nbusy 5 menu 9\nbusy 1 close\n", 9},
      {"busy 4 resize 500 400\nbusy 1 close\n", 5},
      {"busy 6 resize 900 700\nbusy 1 menu 8\nbusy 1 move pixel 20 30\nbusy 1 close\n", 9},
      {"busy 2 press left pixel 5 5\nbusy 1 release left pixel 5 5\nbusy 250 close\n", 253},
      {"busy 11 menu 4\n", 11},  // File > Exit
      {"busy 11 menu 5\nbusy 1 menu 4\n", 12},
  };
  for (const auto& c : cases) {
    testing::reset_shell();
    graphics_state() = GraphicsState{};
    observed() = Observed{};
    load_script(c.script);
    int argc = 1;
    char name[] = "kesto";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(PROCESS_ENTRY(argc, argv, polls_until_closed, false), common::RunEnded::Kind::fatal) << c.script;
    EXPECT_EQ(observed().keys, std::vector<int>{c.poll}) << c.script;
    EXPECT_TRUE(message_log().empty()) << c.script;  // no held command ran
    EXPECT_EQ(main_window(), nullptr) << c.script;
  }
  // The window's own close event, posted after a resize and a paint.
  testing::reset_shell();
  graphics_state() = GraphicsState{};
  observed() = Observed{};
  int argc = 1;
  char name[] = "kesto";
  char* argv[] = {name, nullptr};
  EXPECT_EQ(PROCESS_ENTRY(
                argc, argv,
                [] {
                  GI_OPEN();
                  BEGIN_PICTURE(0);
                  for (int poll = 1; poll <= 400; ++poll) {
                    if (poll == 30) {
                      resize_client_area(640, 480);
                      QCoreApplication::postEvent(main_window(), new QCloseEvent);
                      window_surface_changed();
                    }
                    if (GI_CHECK_KEY() == KEY_QUIT) {
                      observed().keys.push_back(poll);
                      throw common::RunEnded{common::RunEnded::Kind::fatal};
                    }
                  }
                },
                false),
            common::RunEnded::Kind::fatal);
  EXPECT_EQ(observed().keys, std::vector<int>{30});
}

void ends_abruptly() {
  GI_OPEN();
  throw common::RunEnded{common::RunEnded::Kind::abrupt};
}

TEST_F(ScriptedRun, AnAbruptEndSkipsTheShutdown) {
  int argc = 1;
  char name[] = "kesto";
  char* argv[] = {name, nullptr};
  EXPECT_EQ(PROCESS_ENTRY(argc, argv, ends_abruptly, false), common::RunEnded::Kind::abrupt);
  EXPECT_EQ(main_window(), nullptr);
  EXPECT_EQ(testing::read_settings_file(), "");  // nothing written
}

TEST_F(ScriptedRun, MessageBoxesAreRecordedAndAnswered) {
  OPEN_WINDOW();
  load_script("answer cancel\n");
  SHOW_MESSAGE("first");
  SHOW_MESSAGE_NUMBER("Received an event of type ", 9);
  SHOW_MESSAGE_LONG("big ", 100000);
  SHOW_MESSAGE(std::string("cut\0here", 8));
  ASSERT_EQ(message_log().size(), 4u);
  EXPECT_EQ(message_log()[0].answer, "cancel");
  EXPECT_EQ(message_log()[1].text, "Received an event of type 9");
  EXPECT_EQ(message_log()[1].answer, "ok");
  EXPECT_EQ(message_log()[2].text, "big 100000");
  EXPECT_EQ(message_log()[3].text, "cut");
  EXPECT_EQ(message_log()[3].caption, "ORV Zud");
}

TEST_F(ScriptedRun, FileDialogAnsweredByTheScript) {
  OPEN_WINDOW();
  std::filesystem::create_directories("data");
  const std::string cwd = std::filesystem::current_path().string();
  load_script("file data/deck\nfile cancel\n");
  std::string dir, name, full;
  EXPECT_EQ(
      OPEN_FILE_DIALOG("old.txt   ", 10, cwd, static_cast<std::int16_t>(cwd.size()), 2, 0, dir, 66, name, 14, full, 80),
      0);
  EXPECT_EQ(dir.size(), 66u);
  EXPECT_EQ(name, "deck.txt      ");
  EXPECT_EQ(full.substr(0, full.find_last_not_of(' ') + 1), (cwd + "/data/deck.txt").substr(0, 80));
  EXPECT_EQ(dir.substr(0, dir.find_last_not_of(' ') + 1), (cwd + "/data/").substr(0, 66));
  EXPECT_EQ(OPEN_FILE_DIALOG("", 0, "", 0, 1, 2, dir, 66, name, 14, full, 80), 1);
  EXPECT_EQ(OPEN_FILE_DIALOG("", 0, "", 0, 1, 2, dir, 66, name, 14, full, 80), 1);  // no step left
}

TEST(FileDialogPaths, SplitAndPad) {
  std::string dir, name, full;
  split_chosen_path("/a/bb/c.txt", dir, 6, name, 8, full, 9);
  EXPECT_EQ(dir, "/a/bb/");
  EXPECT_EQ(name, "c.txt   ");
  EXPECT_EQ(full, "/a/bb/c.t");
  split_chosen_path("plain", dir, 3, name, 6, full, 6);
  EXPECT_EQ(dir, "   ");
  EXPECT_EQ(name, "plain ");
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(TraceFile, FirstCallOfARunEmptiesIt) {
  trace_state() = TraceState{};
  TRACE("first");
  TRACE_NUMBER("n=", -5);
  TRACE_LONG("l=", 70000);
  TRACE(std::string("x\0y", 3));
  EXPECT_EQ(read_file("dizari.trc"), "first\nn=-5\nl=70000\nx\n");
  trace_state() = TraceState{};
  TRACE("again");
  EXPECT_EQ(read_file("dizari.trc"), "again\n");
}

using Selection = testing::WindowTest;

TEST_F(Selection, BoxMovedByKeysAndEndedByAKey) {
  testing::set_client_size(700, 500);
  BEGIN_PICTURE(0);
  testing::settle();
  const std::size_t recorded = plot_buffer().used;
  load_script("key Up\nkey c\nkey Right\nkey s\nkey Right\nkey q\n");
  std::int16_t x1 = -100, y1 = -100, x2 = 100, y2 = 100, code = 0;
  SELECT_BOX(x1, y1, x2, y2, -1000, -1000, 1000, 1000, code);
  EXPECT_EQ(code, 'q');
  EXPECT_EQ(x1, -100);
  EXPECT_EQ(y1, -80);
  EXPECT_EQ(x2, 121);
  EXPECT_EQ(y2, 100);
  EXPECT_EQ(plot_buffer().used, recorded);           // never recorded
  EXPECT_EQ(surfaces().window, surfaces().backing);  // erased again
}

int g_inverted_pixels = -1;

TEST_F(Selection, BoxShowsInvertedWhileActive) {
  testing::set_client_size(700, 500);
  BEGIN_PICTURE(0);
  testing::settle();
  // The Copy command runs inside the selection's wait and looks at the window.
  set_menu_command_handler(5, [] {
    testing::settle();
    g_inverted_pixels = count(client_area()->grab().toImage(), QColor(0, 0, 0));
  });
  load_script("menu 5\nkey q\n");
  std::int16_t x1 = -100, y1 = -100, x2 = 100, y2 = 100, code = 0;
  SELECT_BOX(x1, y1, x2, y2, -1000, -1000, 1000, 1000, code);
  set_menu_command_handler(5, nullptr);
  EXPECT_EQ(code, 'q');
  // 200 x 200 page units are 40 x 40 pixels: the outline and two ticks of 5.
  EXPECT_NEAR(g_inverted_pixels, 4 * 40 + 2 * 5, 6);
  testing::settle();
  EXPECT_EQ(count(client_area()->grab().toImage(), QColor(0, 0, 0)), 0);
}

TEST_F(Selection, BoxEdgesDraggedWithThePointerAndLimited) {
  testing::set_client_size(700, 500);
  BEGIN_PICTURE(0);
  load_script(
      "press left page 100 0\nmove page 300 0 1\nrelease left page 300 0\n"               // second x edge to 300
      "press left page -100 -100\nmove page -2000 -900 1\nrelease left page -900 -900\n"  // the corner, limited
      "click right page 0 0\n");
  std::int16_t x1 = -100, y1 = -100, x2 = 100, y2 = 100, code = 0;
  SELECT_BOX(x1, y1, x2, y2, -1000, -500, 1000, 1000, code);
  EXPECT_EQ(code, 13);
  EXPECT_EQ(x1, -1000);
  EXPECT_EQ(y1, -500);
  EXPECT_EQ(x2, 300);
  EXPECT_EQ(y2, 100);
}

TEST_F(Selection, BoxEdgeTakenWhenThePointerCrossesIt) {
  testing::set_client_size(700, 500);
  BEGIN_PICTURE(0);
  // A drag that starts inside takes no edge until it leaves across the
  // second x edge, which then follows the pointer.
  load_script("press left page 0 0\nmove page 150 0 1\nmove page 250 0 1\nrelease left page 250 0\nkey Esc\n");
  std::int16_t x1 = -100, y1 = -100, x2 = 100, y2 = 100, code = 0;
  SELECT_BOX(x1, y1, x2, y2, -1000, -1000, 1000, 1000, code);
  EXPECT_EQ(code, 27);
  EXPECT_EQ(x2, 250);
  EXPECT_EQ(x1, -100);
  EXPECT_EQ(y1, -100);
  EXPECT_EQ(y2, 100);
}

TEST_F(Selection, LineFollowsPointerAndKeys) {
  testing::set_client_size(700, 500);
  BEGIN_PICTURE(0);
  testing::settle();
  load_script("move page 50 60 0\nkey Up\nkey s\nkey Right\nkey c\nkey Left\nclick right page 0 0\n");
  std::int16_t x1 = 0, y1 = 0, x2 = 500, y2 = 500, code = 0;
  SELECT_LINE(x1, y1, x2, y2, -1000, -1000, 1000, 1000, 1, code);
  EXPECT_EQ(code, 13);
  EXPECT_EQ(x1, 53);
  EXPECT_EQ(y1, 90);
  EXPECT_EQ(x2, 497);
  EXPECT_EQ(y2, 500);
  EXPECT_FALSE(window_state().crosshair_mode);
  EXPECT_EQ(surfaces().window, surfaces().backing);
}

TEST_F(Selection, LineWithoutSwitchingEndsOnC) {
  testing::set_client_size(700, 500);
  BEGIN_PICTURE(0);
  load_script("move page 2000 0 0\nkey c\n");
  std::int16_t x1 = 0, y1 = 0, x2 = 500, y2 = 500, code = 0;
  SELECT_LINE(x1, y1, x2, y2, -1000, -1000, 1000, 1000, -2, code);  // the second end is active
  EXPECT_EQ(code, 'c');
  EXPECT_EQ(x2, 1000);
  EXPECT_EQ(y2, 0);
  EXPECT_EQ(x1, 0);
}

}  // namespace
}  // namespace kesto::shell
