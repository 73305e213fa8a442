// Input while the program computes: menu commands chosen during the key poll
// are held (Exit alone acts at once) and carried out when the program next
// waits with nothing queued; scripts reach the working program with busy
// steps, and resize the window.
#include <QCoreApplication>
#include <vector>

#include "shell/window/menu_commands.h"
#include "window_fixture.h"

namespace kesto::shell {
namespace {

using testing::WindowTest;

using BusyCommands = WindowTest;

std::vector<int>& carried_out() {
  static std::vector<int> ids;
  return ids;
}

template <int id>
void record() {
  carried_out().push_back(id);
}

// Every command of the menu, recorded instead of carried out.
void record_every_command() {
  carried_out().clear();
  static const MenuCommandHandler handlers[] = {record<1>,  record<2>,  record<3>,  record<4>, record<5>,
                                                record<6>,  record<7>,  record<8>,  record<9>, record<10>,
                                                record<11>, record<12>, record<13>, record<14>};
  for (int id = 1; id <= 14; ++id) set_menu_command_handler(id, handlers[id - 1]);
}

void load_script(const std::string& text) {
  std::string error;
  ASSERT_TRUE(parse_script(text, script(), error)) << error;
}

TEST_F(BusyCommands, EveryCommandButExitIsHeldWhileComputingAndRunsInOrderLater) {
  record_every_command();
  {
    const HoldMenuCommands hold;
    for (int id = 1; id <= 14; ++id) run_menu_command(id);
  }
  EXPECT_EQ(carried_out(), std::vector<int>{4});
  EXPECT_EQ(held_menu_commands(), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
  run_menu_command(7);  // not computing: at once
  EXPECT_TRUE(run_held_menu_commands());
  EXPECT_EQ(carried_out(), (std::vector<int>{4, 7, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
  EXPECT_FALSE(run_held_menu_commands());
  for (int id = 1; id <= 14; ++id) set_menu_command_handler(id, nullptr);
}

TEST_F(BusyCommands, HeldCommandsWaitForAWaitWithNothingQueued) {
  load_script("busy 1 menu 7\nkey a\n");
  EXPECT_EQ(POLL_KEY(), 0);  // the colour toggle arrives and is held
  EXPECT_EQ(settings().ColorWindow, 1);
  EXPECT_EQ(held_menu_commands(), std::vector<int>{7});
  // A key typed meanwhile (the one that would stop the run) comes first.
  EventRecord key;
  key.type = EVENT_KEY;
  key.key = 'x';
  push_input(key);
  EXPECT_EQ(GI_GET_KEY(), 'x');
  EXPECT_EQ(settings().ColorWindow, 1);
  // The next wait carries the command out before it takes the script's key.
  EXPECT_EQ(GI_GET_KEY(), 'a');
  EXPECT_EQ(settings().ColorWindow, 0);
  EXPECT_TRUE(held_menu_commands().empty());
}

TEST_F(BusyCommands, ExitDuringTheSweepsIsNoticedByTheSamePoll) {
  load_script("busy 2 menu 4\n");
  EXPECT_EQ(POLL_KEY(), 0);
  EXPECT_EQ(POLL_KEY(), 13);
  EXPECT_EQ(GI_CHECK_KEY(), KEY_QUIT);
}

TEST_F(BusyCommands, AResizeActsAtOnceAtAWaitOrWhileComputing) {
  load_script("resize 700 500\nkey a\nbusy 1 resize 640 400\n");
  EXPECT_EQ(GI_GET_KEY(), 'a');
  EXPECT_EQ(client().size(), QSize(700, 500));
  EXPECT_EQ(POLL_KEY(), 0);
  EXPECT_EQ(client().size(), QSize(640, 400));
  EXPECT_EQ(window_state().bitmap_width, 640);
}

TEST(BusyScript, StepsAndTheirPollCounts) {
  const struct {
    const char* line;
    ScriptStep::Kind kind;
    bool busy;
    int after_polls;
    double x, y;
  } accepted[] = {
      {"busy 3 menu 7", ScriptStep::Kind::menu, true, 3, 0, 0},
      {"busy 2 resize 800 600", ScriptStep::Kind::resize, true, 2, 800, 600},
      {"busy 1 press left pixel 5 6", ScriptStep::Kind::press, true, 1, 5, 6},
      {"busy 4 close", ScriptStep::Kind::close, true, 4, 0, 0},
      {"busy-key a", ScriptStep::Kind::key, true, 1, 0, 0},
      {"busy-key a 9", ScriptStep::Kind::key, true, 9, 0, 0},
      {"resize 1 10000", ScriptStep::Kind::resize, false, 1, 1, 10000},
  };
  for (const auto& a : accepted) {
    Script s;
    std::string error;
    ASSERT_TRUE(parse_script(a.line, s, error)) << a.line << ": " << error;
    ASSERT_EQ(s.steps.size(), 1u) << a.line;
    EXPECT_EQ(s.steps[0].kind, a.kind) << a.line;
    EXPECT_EQ(s.steps[0].busy, a.busy) << a.line;
    EXPECT_EQ(s.steps[0].after_polls, a.after_polls) << a.line;
    EXPECT_EQ(s.steps[0].x, a.x) << a.line;
    EXPECT_EQ(s.steps[0].y, a.y) << a.line;
  }
  const std::string busy_error = "script line 1: busy takes one key, press, release, move, close, menu or resize step";
  const std::string resize_error = "script line 1: resize needs a width and a height of 1 to 10000 pixels";
  const std::pair<const char*, std::string> rejected[] = {
      {"busy 0 key a", "script line 1: busy needs a positive poll count and a step"},
      {"busy x menu 7", "script line 1: busy needs a positive poll count and a step"},
      {"busy 3", "script line 1: busy needs a positive poll count and a step"},
      {"busy 2 answer ok", busy_error},
      {"busy 2 text ab", busy_error},
      {"busy 2 click left pixel 1 1", busy_error},
      {"resize 0 10", resize_error},
      {"resize 10 10001", resize_error},
      {"resize 10", resize_error},
      {"busy-key a 0", "script line 1: the poll count must be a positive integer"},
  };
  for (const auto& [line, message] : rejected) {
    Script s;
    std::string error;
    EXPECT_FALSE(parse_script(line, s, error)) << line;
    EXPECT_EQ(error, message) << line;
  }
}

}  // namespace
}  // namespace kesto::shell
