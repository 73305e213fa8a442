// The window's 80 x 25 text screen: the grid of characters and attributes
// that the shell keeps for repainting, the caret, and the text layout in
// pixels. The grid exists with or without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kesto::shell {

constexpr int TEXT_ROWS = 25;
constexpr int TEXT_COLUMNS = 80;

struct TextGrid {
  std::array<std::array<char, TEXT_COLUMNS>, TEXT_ROWS> chars;
  std::array<std::array<std::uint8_t, TEXT_COLUMNS>, TEXT_ROWS> attrs;
  std::int16_t caret_row = 0;  // 0-based position of the next character
  std::int16_t caret_column = 0;
  std::uint64_t clears = 0;  // how many times the grid was cleared
  TextGrid() { clear(); }
  void clear();
};

// Pixel layout of the grid in the window (set by the window's size handling).
struct TextLayout {
  std::int16_t font_index = 4;
  std::int16_t cell_width = 8;
  std::int16_t line_height = 16;
  std::int16_t x_origin = 0;
  std::int16_t y_origin = 0;
  std::int16_t font_height = 17;
};

TextGrid& text_grid();
TextLayout& text_layout();

// Caret to (row, column), both 1-based.
void TEXT_AT(std::int16_t row, std::int16_t column);
// Writes `count` characters at the caret in the attribute and advances the
// caret; characters outside the 25 x 80 grid are not stored.
void TEXT_OUT(const char* chars, std::int16_t count, std::int16_t attribute);
// The current layout, for turning pointer pixels into rows and columns.
void TEXT_METRICS(std::int16_t& cell_width, std::int16_t& line_height, std::int16_t& x_origin, std::int16_t& y_origin);
// Clears the client area and the grid.
void TEXT_CLEAR();
// 1: the pointer shows the text cursor (an I-beam) over the window, unless
// the crosshair is on; 0: the arrow.
void SET_TEXT_CURSOR(std::int16_t flag);

// Row r (1-based) of the grid as 80 characters.
std::string text_row(int row);
// The page as plain text: each row without its trailing blanks, trailing
// empty rows dropped, each line ended by a newline.
std::string text_page();

}  // namespace kesto::shell
