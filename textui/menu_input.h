// What the forms, pick lists and menus share about input: the text cell
// under the pointer, the last clicked cell (read by the pages that turn a
// click into a function key), and the key that the automatic user of a
// batch run presses while one of them waits.
#pragma once

#include <cstdint>

namespace kesto::textui {

struct ClickedCell {
  std::int16_t row = 0;  // 1-based cell of the last button press
  std::int16_t column = 0;
};

ClickedCell& last_click();

// The text cell (1-based) under the client pixel (x, y), through the shell's
// text metrics: column = (x - x0) / w + 1, row = (y - y0) / h + 1.
void cell_at(std::int16_t x, std::int16_t y, std::int16_t& row, std::int16_t& column);

// Remembers the cell under a button press at (x, y) as the last click.
void remember_click(std::int16_t x, std::int16_t y);

// While one of these lives, the automatic user of a batch run answers the
// waits with `key` (F10 on forms and menus: go on; Escape in the chooser:
// take the name under the caret).
class AutomaticAnswer {
 public:
  explicit AutomaticAnswer(std::int16_t key);
  ~AutomaticAnswer();
  AutomaticAnswer(const AutomaticAnswer&) = delete;
  AutomaticAnswer& operator=(const AutomaticAnswer&) = delete;

 private:
  std::int16_t previous_;
};

}  // namespace kesto::textui
