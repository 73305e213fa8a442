#include "textui/text_screen.h"

#include <algorithm>
#include <string>

#include "shell/window/text_grid.h"

namespace kesto::textui {

Cursor& cursor() {
  static Cursor c;
  return c;
}

void TEXT_BEGIN() {
  cursor().attribute = ATTR_NORMAL;
  HOME_CURSOR();
}

void TEXT_END() {}

void CLEAR_SCREEN() {
  shell::TEXT_CLEAR();
  HOME_CURSOR();
}

void HOME_CURSOR() { SET_CURSOR(1, 1); }

void SET_CURSOR(std::int16_t row, std::int16_t column) {
  Cursor& c = cursor();
  c.row = row;
  c.column = std::min<std::int16_t>(column, 80);
  shell::TEXT_AT(c.row, c.column);
}

void GET_CURSOR(std::int16_t& row, std::int16_t& column) {
  row = cursor().row;
  column = cursor().column;
}

void CURSOR_UP() {
  if (cursor().row > 1) SET_CURSOR(static_cast<std::int16_t>(cursor().row - 1), cursor().column);
}

void CURSOR_DOWN() {
  if (cursor().row < 24) SET_CURSOR(static_cast<std::int16_t>(cursor().row + 1), cursor().column);
}

void CURSOR_LEFT() {
  if (cursor().column > 1) SET_CURSOR(cursor().row, static_cast<std::int16_t>(cursor().column - 1));
}

void CURSOR_RIGHT() {
  if (cursor().column < 80) SET_CURSOR(cursor().row, static_cast<std::int16_t>(cursor().column + 1));
}

void SKIP_COLUMNS(std::int16_t n) {
  const int k = std::min<int>(n, 81 - cursor().column);
  SET_CURSOR(cursor().row, static_cast<std::int16_t>(cursor().column + k));
}

void PUT_TEXT(std::string_view text, std::int16_t n, std::int16_t attribute) {
  const int k = std::max(0, std::min<int>({n, 81 - cursor().column, static_cast<int>(text.size())}));
  if (k > 0) shell::TEXT_OUT(text.data(), static_cast<std::int16_t>(k), attribute);
  SET_CURSOR(cursor().row, static_cast<std::int16_t>(cursor().column + k));
}

namespace {
// The first n characters of the text, through an 80-character staging line.
void write_staged(std::string_view text, std::int16_t n, std::int16_t attribute) {
  std::string staging(80, ' ');
  const std::size_t count = std::min<std::size_t>({static_cast<std::size_t>(std::max<int>(n, 0)), 80, text.size()});
  staging.replace(0, count, text.substr(0, count));
  PUT_TEXT(staging, std::min<std::int16_t>(std::max<std::int16_t>(n, 0), 80), attribute);
}
}  // namespace

void WRITE_NORMAL(std::string_view text, std::int16_t n) { write_staged(text, n, ATTR_NORMAL); }
void WRITE_REVERSE(std::string_view text, std::int16_t n) { write_staged(text, n, ATTR_REVERSE); }
void WRITE_BRIGHT(std::string_view text, std::int16_t n) { write_staged(text, n, ATTR_BRIGHT); }

void WRITE_BLANKS(std::int16_t n) { PUT_TEXT(std::string(80, ' '), std::min<std::int16_t>(n, 80), ATTR_NORMAL); }

void BLANK_ROW(std::int16_t row) {
  std::int16_t r = 0, c = 0;
  GET_CURSOR(r, c);
  SET_CURSOR(row == 0 ? r : row, 1);
  WRITE_BLANKS(80);
  SET_CURSOR(r, c);
}

}  // namespace kesto::textui
