// The text screen: an 80 x 25 grid of character cells drawn by the shell,
// with a cursor and colour attributes (7 normal, 112 reverse, 15 bright).
// Rows and columns are 1-based. Text that would run past column 80 is cut.
#pragma once

#include <cstdint>
#include <string_view>

namespace kesto::textui {

constexpr std::int16_t ATTR_NORMAL = 7;
constexpr std::int16_t ATTR_REVERSE = 112;
constexpr std::int16_t ATTR_BRIGHT = 15;

struct Cursor {
  std::int16_t row = 1;
  std::int16_t column = 1;
  std::int16_t attribute = ATTR_NORMAL;
};

Cursor& cursor();

void TEXT_BEGIN();    // attribute 7, cursor home
void TEXT_END();      // counterpart of TEXT_BEGIN; no effect
void CLEAR_SCREEN();  // clears the window's text area, cursor home
void HOME_CURSOR();
void SET_CURSOR(std::int16_t row, std::int16_t column);  // column clamped to 80
void GET_CURSOR(std::int16_t& row, std::int16_t& column);
void CURSOR_UP();     // nothing at row 1
void CURSOR_DOWN();   // nothing at row 24
void CURSOR_LEFT();   // nothing at column 1
void CURSOR_RIGHT();  // nothing at column 80
void SKIP_COLUMNS(std::int16_t n);
// Writes min(n, 81 - column) characters in the attribute and moves the cursor on.
void PUT_TEXT(std::string_view text, std::int16_t n, std::int16_t attribute);
void WRITE_NORMAL(std::string_view text, std::int16_t n);
void WRITE_REVERSE(std::string_view text, std::int16_t n);
void WRITE_BRIGHT(std::string_view text, std::int16_t n);
void WRITE_BLANKS(std::int16_t n);
// 80 blanks from column 1 of the row (0 = the cursor's row); the cursor stays.
void BLANK_ROW(std::int16_t row);

}  // namespace kesto::textui
