// The action codes with which a form, a pick list or a menu tells its page
// how it ended, so that a function key, a click on its label and a click on
// a protected field can be treated alike.
#pragma once

#include <cstdint>

namespace kesto::textui {

enum Action : std::int16_t {
  ACTION_ENTER = 0,  // Enter pressed in a field; 1..10 are F1..F10 (or a click on their menu row)
  ACTION_F3 = 3,
  ACTION_F10 = 10,
  ACTION_UP = 11,       // cursor up
  ACTION_DOWN = 12,     // cursor down
  ACTION_RIGHT = 13,    // cursor right past the end of a field
  ACTION_LEFT = 14,     // cursor left past the start of a field
  ACTION_NEXT = 15,     // next field (Tab; Enter inside FORM_LOOP)
  ACTION_BAR = 16,      // the vertical bar typed in a field
  ACTION_CLICK = 1000,  // a button press outside every field or row; 1000 + i: on field i
  ACTION_QUIT = -11,    // the window was closed
};

}  // namespace kesto::textui
