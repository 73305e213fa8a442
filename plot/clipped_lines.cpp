#include "plot/clipped_lines.h"

#include <algorithm>
#include <cmath>

#include "common/fortran_format.h"
#include "kernel/kernel.h"
#include "shell/settings/message_box.h"
#include "textui/messages.h"

namespace kesto::plot {
namespace {

ClipState& cs() { return clip_state(); }

bool inside(float x, float y) {
  const ClipState& c = cs();
  return c.xmin <= x && x <= c.xmax && c.ymin <= y && y <= c.ymax;
}

// An impossible case of the cutting: a message box, then the run ends.
[[noreturn]] void fatal(const char* text) {
  shell::SHOW_MESSAGE(text);
  textui::FATAL_STOP();
}

// Sets the line through (x1, y1) and (x2, y2), which is not vertical.
void set_line(float x1, float y1, float x2, float y2) {
  ClipState& c = cs();
  c.m = (y2 - y1) / (x2 - x1);
  c.b = y2 - c.m * x2;
}

// Where the segment from (x1, y1) to (x2, y2), one end inside the window,
// crosses the window's edge; (ox, oy) is the end that lies outside. The line
// is set from the segment in its own order, which the rounding depends on.
// A vertical segment leaves through the top edge when its outside end lies
// above, through the bottom edge when below. (Comparing with the window
// rather than with y = 0 gives the same points for every window that holds
// y = 0, and the right ones for the others.)
void window_exit(float x1, float y1, float x2, float y2, float ox, float oy, float& ex, float& ey) {
  if (x1 == x2) {
    ex = ox;
    ey = oy < cs().ymin ? cs().ymin : cs().ymax;
  } else {
    set_line(x1, y1, x2, y2);
    RCEDGE(ox, oy, ex, ey);
  }
}

// Intersection with `first`, or with `second` when the first's free
// coordinate lies beyond the window along that edge.
void corner_edge(std::int32_t first, std::int32_t second, float& x, float& y) {
  const ClipState& c = cs();
  ROFLO(first, x, y);
  const bool along_x = first == 2 || first == 4;
  const bool within = along_x ? (c.xmin <= x && x <= c.xmax) : (c.ymin <= y && y <= c.ymax);
  if (!within) ROFLO(second, x, y);
}

void draw_visible(float x1, float y1, float x2, float y2) {
  TEKMOVE(x1, y1);
  TEKDRAW(x2, y2);
}

// No half width beyond this: farther strokes lie far off any page.
constexpr std::int32_t kMaxHalfWidth = 32767;

}  // namespace

ClipState& clip_state() {
  static ClipState c;
  return c;
}

void CLIP_WINDOW(float xmin, float ymin, float xmax, float ymax) {
  ClipState& c = cs();
  c.xmin = xmin;
  c.ymin = ymin;
  c.xmax = xmax;
  c.ymax = ymax;
}

void CLIP_MOVE(float x, float y) {
  cs().cx = x;
  cs().cy = y;
}

void CLIP_DRAW(float x, float y) {
  ClipState& c = cs();
  const float px = c.cx, py = c.cy;
  c.cx = x;
  c.cy = y;
  const bool p_in = inside(px, py), q_in = inside(x, y);
  float ex = 0.0f, ey = 0.0f;
  if (p_in && q_in) {
    draw_visible(px, py, x, y);
  } else if (p_in) {
    window_exit(px, py, x, y, x, y, ex, ey);
    draw_visible(px, py, ex, ey);
  } else if (q_in) {
    window_exit(px, py, x, y, px, py, ex, ey);
    draw_visible(ex, ey, x, y);
  } else {
    if ((px > c.xmax && x > c.xmax) || (px < c.xmin && x < c.xmin) || (py > c.ymax && y > c.ymax) ||
        (py < c.ymin && y < c.ymin))
      return;
    if (px == x) {
      draw_visible(px, std::clamp(py, c.ymin, c.ymax), x, std::clamp(y, c.ymin, c.ymax));
    } else if (py == y) {
      draw_visible(std::clamp(px, c.xmin, c.xmax), py, std::clamp(x, c.xmin, c.xmax), y);
    } else {
      set_line(px, py, x, y);
      float ax = 0.0f, ay = 0.0f, bx = 0.0f, by = 0.0f;
      RCEDGE(px, py, ax, ay);
      RCEDGE(x, y, bx, by);
      // The line passes beside the window.
      if (!inside(ax, ay)) return;
      draw_visible(ax, ay, bx, by);
    }
  }
}

void CLIP_WIDE(float x, float y, float w) {
  const ClipState& c = cs();
  const float x1 = c.cx, y1 = c.cy;
  if (x1 == x && y1 == y) return;
  const float dx = x - x1, dy = y - y1;
  const float length = std::sqrt(dx * dx + dy * dy);
  const float nx = -dy / length, ny = dx / length;
  const std::int32_t W = common::NINT(w);
  const std::int32_t half = std::min(W, kMaxHalfWidth);
  for (std::int32_t k = -half; k <= half; ++k) {
    const float ox = static_cast<float>(k) * nx, oy = static_cast<float>(k) * ny;
    CLIP_MOVE(x1 + ox, y1 + oy);
    CLIP_DRAW(x + ox, y + oy);
  }
  CLIP_MOVE(x + static_cast<float>(W) * nx, y + static_cast<float>(W) * ny);
}

void CLIP_TEXT(std::int32_t s, std::int32_t orientation, std::string_view text, std::int32_t n) {
  const ClipState& c = cs();
  if (std::fabs(c.cx) > 1650.0f || std::fabs(c.cy) > 1250.0f) return;
  TEKMOVE(c.cx, c.cy);
  TEKTEXT(s, orientation, text, n);
}

void ROFLO(std::int32_t k, float& x, float& y) {
  const ClipState& c = cs();
  switch (k) {
    case 1:
      x = c.xmax;
      y = c.m * x + c.b;
      break;
    case 2:
      y = c.ymax;
      x = (y - c.b) / c.m;
      break;
    case 3:
      x = c.xmin;
      y = c.m * x + c.b;
      break;
    case 4:
      y = c.ymin;
      x = (y - c.b) / c.m;
      break;
    default: fatal("FATAL ERROR IN ROFLO");
  }
}

void RCEDGE(float px, float py, float& x, float& y) {
  const ClipState& c = cs();
  const bool right = px >= c.xmax, left = px <= c.xmin;
  const bool above = py >= c.ymax, below = py <= c.ymin;
  const bool within_x = c.xmin <= px && px <= c.xmax;
  const bool within_y = c.ymin <= py && py <= c.ymax;
  if (right && within_y)
    ROFLO(1, x, y);
  else if (right && above)
    corner_edge(1, 2, x, y);
  else if (above && within_x)
    ROFLO(2, x, y);
  else if (left && above)
    corner_edge(2, 3, x, y);
  else if (left && within_y)
    ROFLO(3, x, y);
  else if (left && below)
    corner_edge(3, 4, x, y);
  else if (below && within_x)
    ROFLO(4, x, y);
  else if (right && below)
    corner_edge(4, 1, x, y);
  else
    fatal("FATAL ERROR IN RCEDGE");
}

float ANGLE_DEG(std::int32_t dx, std::int32_t dy) {
  if (dx == 0) return dy < 0 ? 270.0f : 90.0f;
  double degrees = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 57.29578;
  if (degrees < 0.0) degrees += 360.0;
  // A direction just below +x must not round up to 360 itself.
  return std::min(static_cast<float>(degrees), std::nextafter(360.0f, 0.0f));
}

}  // namespace kesto::plot
