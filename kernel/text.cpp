// Text in the shell's stroke font: size, orientation and justification.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "kernel/kernel.h"
#include "kernel/markel_records.h"
#include "kernel/recording.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::plot {
namespace {

// Character cell of size 1: 30/7 units wide, 45/7 high; the glyph grid is
// 6 x 9 of these, so one grid unit is s/1.4.
constexpr float kCellWidth = 4.285714f;
constexpr float kCellHeight = 6.4285717f;

// Writing direction of an orientation (0 +x, 1 +y, 2 -x, any other -y) and
// the sine and cosine that turn the glyphs to it.
struct Turn {
  float dx, dy, sine, cosine;
};

Turn turn_of(std::int32_t orientation) {
  switch (orientation) {
    case 0: return {1.0f, 0.0f, 0.0f, 1.0f};
    case 1: return {0.0f, 1.0f, -1.0f, 0.0f};
    case 2: return {-1.0f, 0.0f, 0.0f, -1.0f};
    default: return {0.0f, -1.0f, 1.0f, 0.0f};
  }
}

}  // namespace

void TEKTEXT(std::int32_t s, std::int32_t orientation, std::string_view text, std::int32_t n) {
  KernelState& k = kernel_state();
  if (recording())
    write_record(
        markel::text_record(markel::rounded(k.current_x), markel::rounded(k.current_y), s, orientation, text, n));
  const float size = static_cast<float>(s);
  const float h = size * kCellHeight;
  shell::GI_TEXT_SIZE(size * kCellWidth, h);
  float x = 0.0f, y = 0.0f;
  TEKWHERE(x, y);
  const Turn t = turn_of(orientation);
  // Advance h along the writing direction, glyphs turned to it.
  shell::GI_TEXT_STEP(h * t.dx, h * t.dy, 0.0f);
  shell::GI_TEXT_ANGLE(t.sine, t.cosine, 0.0f);
  // Start one glyph-grid unit along the writing direction.
  x += t.dx * (size / 1.4f);
  y += t.dy * (size / 1.4f);
  shell::GI_MOVE(x, y * k.vertical_scale);

  // The shell reads exactly |n| characters (a negative count only advances);
  // blanks stand in for any the caller's text lacks.
  const std::int32_t count = std::min<std::int32_t>(std::abs(n), 32767);
  std::string chars(text.substr(0, static_cast<std::size_t>(count)));
  chars.resize(static_cast<std::size_t>(count), ' ');
  shell::GI_TEXT(static_cast<std::int16_t>(n < 0 ? -count : count), chars.c_str());
}

void TEKJUST(char mode, std::int32_t ix, std::int32_t iy, std::int32_t s, std::int32_t orientation,
             std::string_view text, std::int32_t n) {
  const float x = static_cast<float>(ix), y = static_cast<float>(iy);
  TEKMOVE(x, y);
  // Advance over the text without drawing it, to find where it would end.
  TEKTEXT(s, orientation, text, -n);
  float xe = 0.0f, ye = 0.0f;
  TEKWHERE(xe, ye);
  float sx = x, sy = y;
  if (mode == 'M' || mode == 'm') {
    sx = x - (xe - x) / 2.0f;
    sy = y - (ye - y) / 2.0f;
  } else if (mode == 'L' || mode == 'l') {
    // The text ends at the point, shifted by half a character width.
    // (Orientations outside 0-3 write downwards, as TEKTEXT draws them.)
    const Turn t = turn_of(orientation);
    const float half = static_cast<float>(s) * 2.142857f;
    sx = 2.0f * x - xe + half * t.dx;
    sy = 2.0f * y - ye + half * t.dy;
  }
  TEKMOVE(sx, sy);
}

}  // namespace kesto::plot
