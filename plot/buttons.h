// Labelled buttons on a picture and point picking: each button is a text
// label whose surrounding rectangle is kept in the button table; a pick waits
// for a click (or a key) through the shell's locate operation and reports the
// button under the point. Buttons accumulate over the whole run.
#pragma once

#include <cstdint>

namespace kesto::plot {

constexpr std::int32_t MAX_BUTTONS = 30;

struct ButtonState {
  std::int32_t count = 0;  // buttons defined so far
  // Rectangle of button k (index k - 1): lower left (x1, y1), upper right (x2, y2).
  float x1[MAX_BUTTONS] = {}, y1[MAX_BUTTONS] = {}, x2[MAX_BUTTONS] = {}, y2[MAX_BUTTONS] = {};
  float last_x = 0.0f, last_y = 0.0f;  // the last pick; the next one starts there
};

ButtonState& button_state();

// Adds a button at (x, y) labelled with the message line, in colour 7; the
// thirty-first button of a run ends it with "FATAL ERROR: TOO MANY BUTTONS...".
void BUTTON_ADD(float x, float y);
// The same in colour number c.
void BUTTON_ADD_COLOUR(float x, float y, std::int32_t c);
// One pick: the point and the event code (-1 left click, -2 right click, a
// key's code). A closed window ends the picture and the run.
void PICK_POINT(float& x, float& y, std::int32_t& code);
// Picks until a button is hit and returns its number (1 whatever is picked
// when only one button exists; the first defined where buttons overlap).
void BUTTON_WAIT(std::int32_t& k);
// One pick: the button hit (0 for none) and the point.
void BUTTON_HIT(std::int32_t& k, float& x, float& y);

}  // namespace kesto::plot
