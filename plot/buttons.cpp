#include "plot/buttons.h"

#include "common/fixed_text.h"
#include "kernel/kernel.h"
#include "shell/graphics/graphics_interface.h"
#include "shell/window/events.h"
#include "textui/messages.h"

namespace kesto::plot {
namespace {

// Labels are written in character size 8: 5.5 units of width per character
// and size unit, 9 of height.
constexpr std::int32_t kLabelSize = 8;
constexpr float kCharWidth = 8.0f * 5.5f;
constexpr float kLabelHeight = 8.0f * 9.0f;

void add_button(float x, float y, std::int32_t colour) {
  ButtonState& b = button_state();
  const std::string& label = textui::message_area().message_line;
  std::int32_t n = static_cast<std::int32_t>(common::trimmed_length(label));
  const bool blank = n == 0;
  if (blank) n = 1;
  if (b.count + 1 > MAX_BUTTONS) {
    textui::set_message("FATAL ERROR: TOO MANY BUTTONS...");
    textui::ERROR_PAGE();
    textui::FATAL_STOP();
  }
  const std::size_t i = static_cast<std::size_t>(b.count);
  ++b.count;
  b.x1[i] = x;
  b.y1[i] = y;
  b.x2[i] = x + kCharWidth * static_cast<float>(n);
  b.y2[i] = y + kLabelHeight;
  LCBAR(colour);
  TEKMOVE(x, y);
  // An all-blank label keeps a one-character rectangle but writes nothing.
  TEKTEXT(kLabelSize, 0, label, blank ? 0 : n);
}

// The first button (in order of definition) whose closed rectangle holds the
// point; 0 for none.
std::int32_t button_at(float x, float y) {
  const ButtonState& b = button_state();
  for (std::int32_t k = 0; k < b.count; ++k)
    if (b.x1[k] <= x && x <= b.x2[k] && b.y1[k] <= y && y <= b.y2[k]) return k + 1;
  return 0;
}

}  // namespace

ButtonState& button_state() {
  static ButtonState b;
  return b;
}

void BUTTON_ADD(float x, float y) { add_button(x, y, 7); }

void BUTTON_ADD_COLOUR(float x, float y, std::int32_t c) { add_button(x, y, c); }

void PICK_POINT(float& x, float& y, std::int32_t& code) {
  ButtonState& b = button_state();
  const float scale = kernel_state().vertical_scale;
  shell::GI_COLOUR(7);
  float px = 0.0f, py = 0.0f;
  std::int16_t c = 0;
  shell::GI_LOCATE(b.last_x, b.last_y * scale, -1650.0f, -1250.0f, 1650.0f, 1250.0f, px, py, c);
  if (c == shell::KEY_QUIT) {
    TEKFLUSH(1);
    textui::FATAL_STOP();
  }
  x = px;
  y = py / scale;
  code = c;
  b.last_x = x;
  b.last_y = y;
}

void BUTTON_WAIT(std::int32_t& k) {
  for (;;) {
    float x = 0.0f, y = 0.0f;
    std::int32_t code = 0;
    PICK_POINT(x, y, code);
    if (button_state().count == 1) {
      k = 1;
      return;
    }
    k = button_at(x, y);
    if (k != 0) return;
  }
}

void BUTTON_HIT(std::int32_t& k, float& x, float& y) {
  std::int32_t code = 0;
  PICK_POINT(x, y, code);
  k = button_at(x, y);
}

}  // namespace kesto::plot
