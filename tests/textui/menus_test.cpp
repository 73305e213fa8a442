// Line menus, function-key waits and pick lists, driven by scripted keys and
// clicks.
#include <gtest/gtest.h>

#include "common/fixed_text.h"
#include "shell/window/text_grid.h"
#include "shell/window/window_state.h"
#include "support/run_capture.h"
#include "textui/actions.h"
#include "textui/menu_choice.h"
#include "textui/menu_input.h"
#include "textui/messages.h"
#include "textui/pick_list.h"

using namespace kesto;
using namespace kesto::textui;

namespace {

std::int16_t choice(void (*wait)(std::int16_t&), const std::string& script) {
  std::int16_t action = -99;
  const auto c = kesto::testing::run_captured([&] { wait(action); }, script);
  EXPECT_FALSE(c.ended) << script;
  return action;
}

}  // namespace

TEST(ListMenu, WritesTheNonBlankLinesAndTakesKeysOrClicksOnThem) {
  ListMenuState& s = list_menu_state();
  s = ListMenuState{};
  s.first_row = 5;
  s.row_step = 2;
  s.lines[0] = common::pad("   F1 = FIRST", 80);
  s.lines[2] = common::pad("   F3 = THIRD", 80);
  struct Case {
    const char* script;
    std::int16_t action;
  };
  const Case cases[] = {
      {"click left cell 7 40\n", 3},                // the row of line 3, anywhere along it
      {"click left cell 6 3\nkey x\nkey F2\n", 2},  // a row without a line and a key are ignored
      {"close\n", ACTION_QUIT},
      {"", ACTION_F10},  // the automatic user
  };
  for (const Case& c : cases) {
    shell::text_grid() = shell::TextGrid{};
    EXPECT_EQ(choice(LIST_MENU, c.script), c.action) << c.script;
    EXPECT_EQ(shell::text_row(5).substr(0, 13), "   F1 = FIRST");
    EXPECT_EQ(shell::text_row(7).substr(0, 13), "   F3 = THIRD");
    EXPECT_EQ(menu_row_table(), (MenuRowTable{5, 0, 7, 0, 0, 0, 0, 0, 0, 0}));
  }
}

TEST(ListMenu, ItsThreeErrorsEndTheRunWithTheirPage) {
  struct Case {
    std::int32_t first_row, step;
    int lines;
    const char* message;
  };
  const Case cases[] = {
      {-1, 1, 1, "ERROR #3 IN LIST_MENU"},
      {26, 1, 1, "ERROR #3 IN LIST_MENU"},
      {20, 3, 3, "FATAL ERROR #1 IN SUB. LIST_MENU"},  // rows 20, 23, 26
      {5, 2, 0, "FATAL ERROR #2 IN SUB. LIST_MENU"},
  };
  for (const Case& c : cases) {
    ListMenuState& s = list_menu_state();
    s = ListMenuState{};
    s.first_row = c.first_row;
    s.row_step = c.step;
    for (int k = 0; k < c.lines; ++k) s.lines[static_cast<std::size_t>(k)] = common::pad("LINE", 80);
    std::int16_t action = 0;
    const auto run = kesto::testing::run_captured([&] { LIST_MENU(action); });
    EXPECT_TRUE(run.ended) << c.message;
    EXPECT_EQ(run.how, common::RunEnded::Kind::fatal) << c.message;
    EXPECT_NE(run.pages.find(std::string("\n\n\n\n") + c.message + "\n\n\n\nPress any key to continue..."),
              std::string::npos)
        << run.pages;
  }
}

TEST(KeyBarChoice, ClicksOnTheBarBecomeTheKeysOfTheirSlots) {
  menu_row_table() = MenuRowTable{3, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // cleared by the key bar
  struct Case {
    const char* script;
    std::int16_t action;
  };
  const Case cases[] = {
      {"click left cell 24 17\n", 3},
      {"click left cell 23 1\n", 1},
      {"click right cell 25 80\n", 10},
      {"click left cell 24 8\n", 1},
      {"click left cell 24 9\n", 2},
      {"click left cell 22 17\n", ACTION_CLICK},
      {"click left cell 3 1\n", ACTION_CLICK},
      {"key F5\n", 5},
      {"key a\nkey F1\n", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(choice(KEY_BAR_CHOICE, c.script), c.action) << c.script;
  EXPECT_EQ(menu_row_table(), MenuRowTable{});
}

TEST(RowToKey, AClickBecomesTheKeyOfItsRow) {
  const MenuRowTable table{0, 0, 9, 0, 0, 0, 0, 0, 0, 11};
  struct Case {
    std::int16_t action, row, result;
  };
  const Case cases[] = {
      {ACTION_CLICK, 9, 3}, {ACTION_CLICK, 11, 10}, {ACTION_CLICK, 10, 0}, {5, 9, 5}, {1001, 9, 1001},
  };
  for (const Case& c : cases) {
    last_click() = ClickedCell{c.row, 20};
    std::int16_t action = c.action;
    ROW_TO_KEY(action, table);
    EXPECT_EQ(action, c.result) << c.action << " at row " << c.row;
  }
}

TEST(PickList, CaretKeysClicksAndReleasesEndTheWaitAsStated) {
  const std::vector<std::string> items = {"ONE", "TWO", "THREE"};
  struct Case {
    const char* script;
    std::int16_t start, action, current;
  };
  const Case cases[] = {
      {"key Down\nkey Down\nkey Down\nkey Enter\n", 1, 13, 1},  // wraps from the last to the first
      {"key Up\nkey Q\n", 1, 'q', 3},                           // wraps back; letters come lower-case
      {"click left cell 5 12\n", 1, -1, 2},                     // on item 2 (rows 4 to 6, columns 10 to 16)
      {"click right cell 5 30\n", 3, -2, -3},                   // outside: the current item negated
      {"click left cell 5 17\n", 2, -1, -2},                    // one column past the items
      {"click left cell 7 12\n", 1, -1, -1},                    // one row below them
      {"release left cell 5 12\n", 2, 0, 2},
      {"close\n", 2, ACTION_QUIT, 2},
      {"", -2, shell::KEY_ESCAPE, 2},  // made positive; the automatic user presses Escape
  };
  for (const Case& c : cases) {
    std::int16_t current = c.start, action = 0;
    shell::window_state().text_cursor_mode = true;
    kesto::testing::run_captured([&] { PICK_LIST(PICK_DRAW | PICK_WAIT, 4, 10, items, 7, current, 2, action); },
                                 c.script);
    EXPECT_EQ(action, c.action) << c.script;
    EXPECT_EQ(current, c.current) << c.script;
    EXPECT_FALSE(shell::window_state().text_cursor_mode) << "the arrow is back";
    EXPECT_EQ(shell::text_grid().caret_row, 3 + std::abs(c.current) - 1) << c.script;
    EXPECT_EQ(shell::text_grid().caret_column, 9);
  }
  EXPECT_EQ(shell::text_row(5).substr(9, 7), "TWO    ");
  EXPECT_EQ(shell::text_grid().attrs[4][9], 112);  // the marked item
  EXPECT_EQ(shell::text_grid().attrs[3][9], 7);
  EXPECT_EQ(shell::text_grid().attrs[5][15], 7);
}
