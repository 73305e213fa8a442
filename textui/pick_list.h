// Pick lists: a column of fixed-width items on the text screen, one of which
// the user points at with the caret (cursor up and down) or the mouse. The
// list reports the key or button that ended the wait and leaves the caret on
// the current item.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kesto::textui {

// Mode bits of PICK_LIST.
constexpr std::int16_t PICK_DRAW = 1;   // draw every item first
constexpr std::int16_t PICK_WAIT = 2;   // wait for a choice
constexpr std::int16_t PICK_ERASE = 4;  // erase request: the caller redraws its page

// Item k (1-based) is drawn at row top + k - 1 from column `left`, `width`
// characters, in reverse video when it is the marked item (0: none).
// Waiting: cursor up/down move the current item (wrapping round); any other
// key ends the call with its code (letters A-Z as a-z); a button press ends
// it with -1 (left) or -2 (right), the clicked item becoming current, or the
// current item negated when the click missed the list; a button release
// ends it with 0 and a closed window with -11.
void PICK_LIST(std::int16_t mode, std::int16_t top, std::int16_t left, const std::vector<std::string>& items,
               std::int16_t width, std::int16_t& current, std::int16_t marked, std::int16_t& action);

}  // namespace kesto::textui
