#include "shell/drawing/colour_rules.h"

#include <array>

namespace kesto::shell {
namespace {

constexpr std::array<Rgb, 16> kStandard = {{
    {0, 0, 0},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
    {127, 127, 127},
    {255, 127, 0},
    {127, 0, 0},
    {0, 127, 0},
    {127, 127, 0},
    {0, 0, 127},
    {127, 0, 127},
    {0, 127, 127},
}};

// The grey that stands for a colour without colour: grey levels for code 9,
// a fixed light grey for code 8.
Rgb grey_for(int code, int level) { return code == 9 ? grey(level) : grey(200); }

}  // namespace

Rgb standard_colour(int index) { return kStandard[index >= 0 && index < 16 ? index : 8]; }

bool is_black(const Rgb& c) { return c.red == 0 && c.green == 0 && c.blue == 0; }

bool is_white(const Rgb& c) { return c.red >= 252 && c.green >= 252 && c.blue >= 252; }

Rgb grey(int level) {
  const auto g = static_cast<std::uint8_t>(level < 0 ? 0 : level > 255 ? 255 : level);
  return {g, g, g};
}

Rgb rule_window(const Rgb& c, int code, int grey_level, bool black_background, bool colour_window) {
  if (is_black(c)) return black_background ? grey(0) : grey(255);
  if (is_white(c)) return black_background ? grey(255) : grey(0);
  if (colour_window) return c;
  if (code == 9) return grey(black_background ? grey_level : 255 - grey_level);
  return grey(200);
}

Rgb rule_paper(const Rgb& c, int code, int grey_level, bool colour_device) {
  if (is_black(c)) return grey(255);
  if (is_white(c)) return grey(0);
  if (colour_device) return c;
  return grey_for(code, 255 - grey_level);
}

Rgb rule_eps(const Rgb& c, int code, int grey_level, bool colour_window) {
  return rule_paper(c, code, grey_level, colour_window);
}

Rgb rule_indexed(const IndexedColour& c, bool window, bool device, bool colour_device, bool colour_window,
                 bool black_background) {
  if ((!device || colour_device) && (!window || colour_window))
    return standard_colour(window && black_background ? c.index_on_black : c.index_on_white);
  if (!device && black_background) return grey(c.grey_on_black);
  return grey(255 - c.darkness_on_white);
}

}  // namespace kesto::shell
