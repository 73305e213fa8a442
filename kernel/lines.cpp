// Pen moves, lines, thick lines and arcs.
#include <algorithm>
#include <cmath>

#include "kernel/kernel.h"
#include "kernel/markel_records.h"
#include "kernel/recording.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::plot {
namespace {

using markel::rounded;

// The shell's drawing operations, with y scaled by the vertical scale factor.
void shell_move(float x, float y) { shell::GI_MOVE(x, y * kernel_state().vertical_scale); }
void shell_draw(float x, float y) { shell::GI_DRAW(x, y * kernel_state().vertical_scale); }

// A thick line never needs more strokes than the 16-bit page can show.
constexpr std::int32_t kMaxHalfWidth = 32767;

// Arcs are drawn in at most this many chords (the step is at least 0.1 rad).
constexpr int kMaxArcSteps = 100;

}  // namespace

void TEKMOVE(float x, float y) {
  KernelState& k = kernel_state();
  k.current_x = x;
  k.current_y = y;
  shell_move(x, y);
}

void TEKWHERE(float& x, float& y) {
  shell::GI_WHERE(x, y);
  y /= kernel_state().vertical_scale;
}

void TEKDRAW(float x, float y) {
  KernelState& k = kernel_state();
  if (recording()) {
    const std::int32_t x1 = rounded(k.current_x), y1 = rounded(k.current_y);
    const std::int32_t x2 = rounded(x), y2 = rounded(y);
    // A line shorter than half a unit leaves no record.
    if (x1 != x2 || y1 != y2) write_record(markel::line_record(x1, y1, x2, y2));
  }
  k.current_x = x;
  k.current_y = y;
  shell_draw(x, y);
}

void TEKWIDE(float x, float y, float w) {
  KernelState& k = kernel_state();
  const std::int32_t W = rounded(w);
  const float x1 = k.current_x, y1 = k.current_y;
  if (recording()) {
    const std::int32_t ix1 = rounded(x1), iy1 = rounded(y1);
    const std::int32_t ix2 = rounded(x), iy2 = rounded(y);
    if (ix1 != ix2 || iy1 != iy2) write_record(markel::wide_line_record(ix1, iy1, ix2, iy2, W));
  }
  k.current_x = x;
  k.current_y = y;
  if (W < 2) {
    shell_draw(x, y);
    return;
  }
  if (x == x1 && y == y1) return;
  // 2W + 1 parallel strokes one page unit apart, the centre stroke last.
  const float dx = x - x1, dy = y - y1;
  const float length = std::sqrt(dx * dx + dy * dy);
  const float ux = dx / length, uy = dy / length;
  const float nx = -uy, ny = ux;
  const std::int32_t half = std::min(W, kMaxHalfWidth);
  for (std::int32_t i = -half; i <= half; ++i) {
    if (i == 0) continue;
    const float off_x = static_cast<float>(i) * nx, off_y = static_cast<float>(i) * ny;
    shell_move(x1 + off_x, y1 + off_y);
    shell_draw(x + off_x, y + off_y);
  }
  shell_move(x1, y1);
  shell_draw(x, y);
}

void TEKARC(float xc, float yc, float x1, float y1, float x2, float y2) {
  const std::int32_t ixc = rounded(xc), iyc = rounded(yc);
  const std::int32_t ix1 = rounded(x1), iy1 = rounded(y1);
  // A radius under half a unit draws nothing.
  if (ixc == ix1 && iyc == iy1) return;
  std::int32_t ix2 = rounded(x2), iy2 = rounded(y2);
  if (ix2 == ix1 && iy2 == iy1) {
    // An end on the start: take the end one unit lower, which makes an
    // (almost) full circle.
    y2 -= 1.0f;
    ix2 = rounded(x2);
    iy2 = rounded(y2);
  }
  if (recording()) write_record(markel::arc_record(ixc, iyc, ix1, iy1, ix2, iy2));

  const float px = x1 - xc, py = y1 - yc;
  const float r = std::sqrt(px * px + py * py);
  const float ux = px / r, uy = py / r;
  const float vx = -uy, vy = ux;
  const float qx = x2 - xc, qy = y2 - yc;
  const float q = std::sqrt(qx * qx + qy * qy);
  const float ex = qx / q, ey = qy / q;
  const float c = ux * ex + uy * ey;
  const float d = vx * ex + vy * ey;
  const float pi = 3.14159265f;
  const float a = c == 0.0f ? pi / 2.0f : std::atan(std::fabs(d / c));
  float theta;
  if (c > 0.0f)
    theta = d < 0.0f ? 2.0f * pi - a : a;
  else
    theta = d < 0.0f ? pi + a : pi - a;
  if (std::fabs(theta) < 0.0314f) theta = 2.0f * pi;
  // Chords of about 5 units on small arcs, growing by a tenth of the excess
  // radius, never wider than 10 degrees.
  const float step = std::min(((r - 5.0f) * 0.1f + 5.0f) / r, 0.1745329f);

  shell_move(x1, y1);
  for (int i = 1; i <= kMaxArcSteps; ++i) {
    const float t = std::min(static_cast<float>(i) * step, theta);
    shell_draw(xc + r * std::cos(t) * ux + r * std::sin(t) * vx, yc + r * std::cos(t) * uy + r * std::sin(t) * vy);
    if (t >= theta) break;
  }
}

}  // namespace kesto::plot
