// The stroke font: 84 glyphs drawn as runs of line segments on a grid 6
// units wide and 9 high, baseline at y = 0 (descenders reach down to -4).
// Glyph 85 is the empty glyph that every other character code shows.
#pragma once

#include <cstdint>
#include <vector>

namespace kesto::shell {

constexpr int EMPTY_GLYPH = 85;

// One point of a glyph on its grid; pen_up marks the first point of a stroke.
struct GlyphPoint {
  int x = 0, y = 0;
  bool pen_up = false;
};

struct Glyph {
  int code = 0;                    // the character it draws (0 for the empty glyph)
  int spare_width = 0;             // grid units left free at the right, for proportional spacing
  std::vector<GlyphPoint> points;  // in drawing order
};

// Glyph number (1-85) of a character code: 33-47 give 1-15, 58-64 give 16-22,
// 48-57 give 23-32, 65-90 give 33-58, 97-122 give 59-84, others 85.
int glyph_number(int code);
// Glyph 1-85 (any other number gives the empty glyph).
const Glyph& glyph(int number);

}  // namespace kesto::shell
