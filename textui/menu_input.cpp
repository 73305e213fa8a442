#include "textui/menu_input.h"

#include "shell/window/events.h"
#include "shell/window/text_grid.h"

namespace kesto::textui {

ClickedCell& last_click() {
  static ClickedCell c;
  return c;
}

void cell_at(std::int16_t x, std::int16_t y, std::int16_t& row, std::int16_t& column) {
  std::int16_t w = 0, h = 0, x0 = 0, y0 = 0;
  shell::TEXT_METRICS(w, h, x0, y0);
  if (w <= 0) w = 1;
  if (h <= 0) h = 1;
  column = static_cast<std::int16_t>((x - x0) / w + 1);
  row = static_cast<std::int16_t>((y - y0) / h + 1);
}

void remember_click(std::int16_t x, std::int16_t y) {
  ClickedCell& c = last_click();
  cell_at(x, y, c.row, c.column);
}

AutomaticAnswer::AutomaticAnswer(std::int16_t key) : previous_(shell::set_batch_answer_key(key)) {}
AutomaticAnswer::~AutomaticAnswer() { shell::set_batch_answer_key(previous_); }

}  // namespace kesto::textui
