#include "shell/window/page_mapping.h"

#include <algorithm>

#include "shell/drawing/primitives.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

// Results far outside the page are held at the ends of the 16-bit range
// instead of wrapping round to the other side.
std::int16_t clamp16(std::int64_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, INT16_MIN, INT16_MAX));
}

}  // namespace

PageMapping& page_mapping() {
  static PageMapping m;
  return m;
}

DeviceMapping& device_mapping() {
  static DeviceMapping m;
  return m;
}

std::int64_t round_div(std::int64_t numerator, std::int64_t denominator) {
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  const std::int64_t half = denominator / 2;
  return (numerator + (numerator < 0 ? -half : half)) / denominator;
}

void update_page_mapping() {
  const WindowState& w = window_state();
  PageMapping& m = page_mapping();
  const std::int32_t bw = std::max<std::int32_t>(w.bitmap_width, 1);
  const std::int32_t bh = std::max<std::int32_t>(w.bitmap_height, 1);
  if (bh * 3500 < bw * 2500) {
    m.extent = bh;
    m.unit = 2500;
  } else {
    m.extent = bw;
    m.unit = 3500;
  }
  // A pixel remembered under the old size names a different page point now.
  m.have_last = false;
}

void TO_DEVICE(std::int16_t x, std::int16_t y, std::int16_t& px, std::int16_t& py) {
  if (draw_targets().device) {
    const DeviceMapping& d = device_mapping();
    const std::int64_t h = d.landscape ? -static_cast<std::int64_t>(d.height) : d.height;
    const std::int64_t dx = static_cast<std::int64_t>(x) * d.width / 3500 + d.cx;
    const std::int64_t dy = static_cast<std::int64_t>(y) * h / -2500 + d.cy;
    px = clamp16(d.landscape ? dy : dx);
    py = clamp16(d.landscape ? dx : dy);
    return;
  }
  page_to_pixel(x, y, px, py);
  PageMapping& m = page_mapping();
  m.have_last = true;
  m.last_page_x = x;
  m.last_page_y = y;
  m.last_pixel_x = px;
  m.last_pixel_y = py;
}

namespace {

// R(v x extent / unit) for a page coordinate. The page's unit is one of two
// constants, so the division is by a constant the compiler turns into a
// multiplication: this runs twice for every primitive drawn.
std::int32_t scaled(std::int16_t v, std::int32_t extent, std::int32_t unit) {
  const std::int32_t n = static_cast<std::int32_t>(v) * extent;  // |n| < 2^31: extent is a 16-bit size
  if (unit == 2500) return (n + (n < 0 ? -1250 : 1250)) / 2500;
  if (unit == 3500) return (n + (n < 0 ? -1750 : 1750)) / 3500;
  return static_cast<std::int32_t>(round_div(n, unit));
}

}  // namespace

void page_to_pixel(std::int16_t x, std::int16_t y, std::int16_t& px, std::int16_t& py) {
  const WindowState& w = window_state();
  const PageMapping& m = page_mapping();
  px = clamp16(w.bitmap_width / 2 + scaled(x, m.extent, m.unit));
  py = clamp16(w.bitmap_height / 2 - scaled(y, m.extent, m.unit));
}

void FROM_DEVICE(std::int16_t px, std::int16_t py, std::int16_t& x, std::int16_t& y) {
  const PageMapping& m = page_mapping();
  if (m.have_last && px == m.last_pixel_x && py == m.last_pixel_y) {
    x = m.last_page_x;
    y = m.last_page_y;
    return;
  }
  const WindowState& w = window_state();
  const std::int64_t extent = std::max<std::int32_t>(m.extent, 1);
  x = clamp16(round_div((static_cast<std::int64_t>(px) - w.bitmap_width / 2) * m.unit, extent));
  y = clamp16(round_div((static_cast<std::int64_t>(w.bitmap_height / 2) - py) * m.unit, extent));
}

}  // namespace kesto::shell
