// The text screen's primitives on the shell's grid: cursor rules, cutting
// at column 80, attributes.
#include <gtest/gtest.h>

#include "shell/window/text_grid.h"
#include "textui/text_screen.h"

using namespace kesto;
using namespace kesto::textui;

namespace {
void fresh() {
  shell::text_grid() = shell::TextGrid{};
  cursor() = Cursor{};
  TEXT_BEGIN();
}
}  // namespace

TEST(TextScreen, PutTextIsCutAtColumn80AndLeavesTheCursorThere) {
  fresh();
  SET_CURSOR(2, 75);
  PUT_TEXT("ABCDEFGHIJ", 10, ATTR_NORMAL);
  EXPECT_EQ(shell::text_row(2).substr(74), "ABCDEF");
  std::int16_t r = 0, c = 0;
  GET_CURSOR(r, c);
  EXPECT_EQ(r, 2);
  EXPECT_EQ(c, 80);
}

TEST(TextScreen, CursorMovesStopAtTheirLimits) {
  fresh();
  SET_CURSOR(24, 5);
  CURSOR_DOWN();
  EXPECT_EQ(cursor().row, 24);
  SET_CURSOR(1, 1);
  CURSOR_UP();
  CURSOR_LEFT();
  EXPECT_EQ(cursor().row, 1);
  EXPECT_EQ(cursor().column, 1);
  SET_CURSOR(3, 95);
  EXPECT_EQ(cursor().column, 80);
  CURSOR_RIGHT();
  EXPECT_EQ(cursor().column, 80);
  SET_CURSOR(3, 70);
  SKIP_COLUMNS(30);
  EXPECT_EQ(cursor().column, 80);
  EXPECT_EQ(shell::text_grid().caret_column, 79);
}

TEST(TextScreen, WritesCarryTheirAttributes) {
  fresh();
  SET_CURSOR(5, 1);
  WRITE_NORMAL("ab", 2);
  WRITE_REVERSE("cd", 2);
  WRITE_BRIGHT("ef", 2);
  const auto& attrs = shell::text_grid().attrs[4];
  EXPECT_EQ(attrs[0], 7);
  EXPECT_EQ(attrs[2], 112);
  EXPECT_EQ(attrs[4], 15);
  EXPECT_EQ(shell::text_row(5).substr(0, 6), "abcdef");
}

TEST(TextScreen, WriteNormalPadsAShortTextToTheCount) {
  fresh();
  SET_CURSOR(1, 1);
  WRITE_NORMAL("XXXXXXXXXX", 10);
  SET_CURSOR(1, 1);
  WRITE_NORMAL("ab", 6);
  EXPECT_EQ(shell::text_row(1).substr(0, 10), "ab    XXXX");
}

TEST(TextScreen, BlankRowKeepsTheCursor) {
  fresh();
  SET_CURSOR(7, 1);
  WRITE_NORMAL("something", 9);
  SET_CURSOR(3, 12);
  BLANK_ROW(7);
  EXPECT_EQ(shell::text_row(7), std::string(80, ' '));
  EXPECT_EQ(cursor().row, 3);
  EXPECT_EQ(cursor().column, 12);
}

TEST(TextScreen, ClearScreenHomesTheCursor) {
  fresh();
  SET_CURSOR(9, 9);
  WRITE_NORMAL("x", 1);
  CLEAR_SCREEN();
  EXPECT_EQ(shell::text_row(9), std::string(80, ' '));
  EXPECT_EQ(cursor().row, 1);
  EXPECT_EQ(cursor().column, 1);
}
