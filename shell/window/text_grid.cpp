#include "shell/window/text_grid.h"

#include "shell/script/batch.h"
#include "shell/window/main_window.h"
#include "shell/window/window_state.h"

namespace kesto::shell {

void TextGrid::clear() {
  for (auto& row : chars) row.fill(' ');
  for (auto& row : attrs) row.fill(7);
  ++clears;
}

TextGrid& text_grid() {
  static TextGrid g;
  return g;
}

TextLayout& text_layout() {
  static TextLayout l;
  return l;
}

void TEXT_AT(std::int16_t row, std::int16_t column) {
  TextGrid& g = text_grid();
  g.caret_row = static_cast<std::int16_t>(row - 1);
  g.caret_column = static_cast<std::int16_t>(column - 1);
  if (!window_state().graphics_mode) update_client_area();
}

void TEXT_OUT(const char* chars, std::int16_t count, std::int16_t attribute) {
  TextGrid& g = text_grid();
  for (int i = 0; i < count; ++i) {
    const int r = g.caret_row;
    const int c = g.caret_column + i;
    if (r >= 0 && r < TEXT_ROWS && c >= 0 && c < TEXT_COLUMNS) {
      g.chars[r][c] = chars[i];
      g.attrs[r][c] = static_cast<std::uint8_t>(attribute);
    }
  }
  if (count > 0) g.caret_column = static_cast<std::int16_t>(g.caret_column + count);
  // The window shows the grid as it now is at its next repaint (characters
  // outside the grid are not drawn).
  if (!window_state().graphics_mode) update_client_area();
}

void TEXT_METRICS(std::int16_t& cell_width, std::int16_t& line_height, std::int16_t& x_origin, std::int16_t& y_origin) {
  const TextLayout& l = text_layout();
  cell_width = l.cell_width;
  line_height = l.line_height;
  x_origin = l.x_origin;
  y_origin = l.y_origin;
}

void TEXT_CLEAR() {
  batch_page_leaving();  // a batch run prints the page it waited on before it goes
  text_grid().clear();
  update_client_area();
}

std::string text_row(int row) {
  const auto& r = text_grid().chars[static_cast<std::size_t>(row - 1)];
  return std::string(r.begin(), r.end());
}

std::string text_page() {
  std::string page;
  int last = 0;
  for (int r = 1; r <= TEXT_ROWS; ++r)
    if (text_row(r).find_first_not_of(' ') != std::string::npos) last = r;
  for (int r = 1; r <= last; ++r) {
    std::string line = text_row(r);
    line.erase(line.find_last_not_of(' ') + 1);
    page += line;
    page += '\n';
  }
  return page;
}

}  // namespace kesto::shell
