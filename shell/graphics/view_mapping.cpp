#include "shell/graphics/view_mapping.h"

#include <cmath>

namespace kesto::shell {

ViewMapping build_view_mapping(const ViewRect& f, const ViewRect& v, const ViewRect& w, const PageExtent& p,
                               float page_aspect) {
  // Normalise: world window onto the viewport.
  const float kx = (v.x1 - v.x0) / (w.x1 - w.x0);
  const float nx = (v.x0 + v.x1) / 2.0f - (w.x0 + w.x1) / 2.0f * kx;
  const float ky = (v.y1 - v.y0) / (w.y1 - w.y0);
  const float ny = (v.y0 + v.y1) / 2.0f - (w.y0 + w.y1) / 2.0f * ky;
  // Fit the frame into the page.
  const float X0 = p.x0, X1 = p.x1, Y0 = p.y0, Y1 = p.y1;
  float ux = (X1 - X0) / (f.x1 - f.x0);
  const float mx = ((X0 + X1) - (f.x0 + f.x1)) / 2.0f;
  float uy = (Y1 - Y0) / (f.y1 - f.y0);
  const float my = ((Y0 + Y1) - (f.y0 + f.y1)) / 2.0f;
  // Keep the aspect.
  const float r = ((f.y1 - f.y0) / (f.x1 - f.x0)) / page_aspect;
  if (r > 1.0f)
    ux = ux / r;
  else
    uy = uy * r;
  ViewMapping m;
  m.sx = ux * kx;
  m.ox = to_page_unit(ux * nx + mx);
  m.sy = uy * ky;
  m.oy = to_page_unit(uy * ny + my);
  return m;
}

std::int16_t to_page_unit(double v) {
  if (!(v > -32768.0)) return v != v ? 0 : -32768;  // NaN, or at the low end
  if (v >= 32767.0) return 32767;
  return static_cast<std::int16_t>(static_cast<int>(v));  // the cast truncates toward zero
}

namespace {

// trunc(product) + offset, clamped; a NaN product counts as 0.
std::int16_t mapped(float product, std::int16_t offset) {
  if (product != product) return offset;
  const double whole = product >= 1.0e9f    ? 1.0e9
                       : product <= -1.0e9f ? -1.0e9
                                            : static_cast<double>(static_cast<std::int64_t>(product));
  return to_page_unit(whole + offset);
}

}  // namespace

std::int16_t map_x(const ViewMapping& m, float x) { return mapped(m.sx * x, m.ox); }

std::int16_t map_y(const ViewMapping& m, float y) { return mapped(m.sy * y, m.oy); }

float unmap_x(const ViewMapping& m, std::int16_t px) {
  return m.sx == 0.0f ? 0.0f : static_cast<float>(px - m.ox) / m.sx;
}

float unmap_y(const ViewMapping& m, std::int16_t py) {
  return m.sy == 0.0f ? 0.0f : static_cast<float>(py - m.oy) / m.sy;
}

}  // namespace kesto::shell
