// Interactive selection on the picture: a rectangle (SELECT_BOX) or a line
// (SELECT_LINE) shown inverted over the window surface, moved by keys and
// the pointer. The overlay is never drawn into the backing bitmap or
// recorded in the plot buffer.
#pragma once

#include <cstdint>

namespace kesto::shell {

struct SelectionOverlay {
  enum class Kind { none, box, line };
  Kind kind = Kind::none;
  std::int16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // page units
  bool second_active = false;                   // the second corner or point moves
  bool drawn = false;                           // currently inverted on the window surface
};

SelectionOverlay& selection_overlay();

// Lets the user move a rectangle. Keys: arrows move the active corner by the
// step within the limits, "c" switches corners, "s"/"m"/"f" set the step to
// 1/6/20; a left press at or left of xmax drags edges; a right press or a
// press right of xmax ends with 13, a closed window with -11, any other key
// with its code. Returns the rectangle sorted (smaller x, smaller y, larger
// x, larger y) in the four corner arguments.
void SELECT_BOX(std::int16_t& x1, std::int16_t& y1, std::int16_t& x2, std::int16_t& y2, std::int16_t xmin,
                std::int16_t ymin, std::int16_t xmax, std::int16_t ymax, std::int16_t& code);

// Lets the user move the ends of a line: the active end follows the pointer
// and the arrow keys (step 3, 10 or 30 after "s", "m", "f"); "c" or a left
// click switches ends when mode is positive; the first end starts active
// when |mode| is 1. A right click ends with 13, a closed window with -11,
// any other key with its code.
void SELECT_LINE(std::int16_t& x1, std::int16_t& y1, std::int16_t& x2, std::int16_t& y2, std::int16_t xmin,
                 std::int16_t ymin, std::int16_t xmax, std::int16_t ymax, std::int16_t mode, std::int16_t& code);

// Draws the overlay again after the window surface was refreshed from the
// backing bitmap (which does not hold it).
void redraw_selection_overlay();

}  // namespace kesto::shell
