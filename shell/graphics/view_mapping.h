// The view mapping of the graphics call interface: world coordinates
// (reals) to page units (16-bit), built from a frame rectangle, a viewport
// and a world window, fitted into the page with its aspect kept.
#pragma once

#include <cstdint>

namespace kesto::shell {

// A rectangle as x0, x1, y0, y1.
struct ViewRect {
  float x0 = -1.0f, x1 = 1.0f, y0 = -1.0f, y1 = 1.0f;
};

struct PageExtent {
  std::int16_t x0 = -1750, x1 = 1750, y0 = -1250, y1 = 1250;
};

// page x = trunc(sx x world x) + ox, page y = trunc(sy x world y) + oy.
struct ViewMapping {
  float sx = 1.0f, sy = 1.0f;
  std::int16_t ox = 0, oy = 0;
};

// Builds the mapping: the viewport/world pair normalises world coordinates,
// the frame is fitted into the page extent, and the aspect (page height over
// width) is kept by shrinking the longer scale.
ViewMapping build_view_mapping(const ViewRect& frame, const ViewRect& viewport, const ViewRect& world,
                               const PageExtent& page, float page_aspect);

// A real value as a page unit: truncated toward zero, clamped into the
// 16-bit range (never wrapped); NaN gives 0.
std::int16_t to_page_unit(double v);

// World to page, each result clamped into the 16-bit range; a NaN coordinate maps as 0.
std::int16_t map_x(const ViewMapping& m, float x);
std::int16_t map_y(const ViewMapping& m, float y);
// Page back to world: (page - offset) / scale; 0 when the scale is 0.
float unmap_x(const ViewMapping& m, std::int16_t px);
float unmap_y(const ViewMapping& m, std::int16_t py);

}  // namespace kesto::shell
