// The colour rules: how one recorded colour is shown on a black or white
// window, in colour or in grey, on paper and in EPS output. Black is red,
// green and blue all 0; white is all three at least 252 (palette entries
// given in 6-bit steps reach 252 at most).
#pragma once

#include <cstdint>

namespace kesto::shell {

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Entry `index` of the 16 standard colours; an index outside 0-15 gives entry 8.
Rgb standard_colour(int index);

bool is_black(const Rgb& c);
bool is_white(const Rgb& c);
Rgb grey(int level);

// Rule W (window): `code` is the record kind, 8 (RGB) or 9 (RGB with grey level).
Rgb rule_window(const Rgb& c, int code, int grey_level, bool black_background, bool colour_window);
// Rule P (paper and other output devices).
Rgb rule_paper(const Rgb& c, int code, int grey_level, bool colour_device);
// Rule E (colour lines of EPS output).
Rgb rule_eps(const Rgb& c, int code, int grey_level, bool colour_window);

// The four values of an indexed colour.
struct IndexedColour {
  std::uint8_t index_on_black = 0, index_on_white = 0, grey_on_black = 0, darkness_on_white = 0;
};

// Rule I: the colour an indexed colour shows with the given targets and options.
Rgb rule_indexed(const IndexedColour& c, bool window, bool device, bool colour_device, bool colour_window,
                 bool black_background);

}  // namespace kesto::shell
