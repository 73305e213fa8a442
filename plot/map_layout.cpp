// Where the maps go on the page: the map frame, the bar area, the stretched
// cells of the field map and the square cells of the potential map.
#include "plot/result_maps.h"
#include "plot/sheet.h"

namespace kesto::plot {

void MAP_LAYOUT() {
  MapState& m = map_state();
  const sheet::Grid& g = sheet();
  m.frame_x1 = -1650.0f;
  m.frame_x2 = 1650.0f;
  m.frame_y1 = -1250.0f + 325.0f;
  m.frame_y2 = 1225.0f;
  m.bar_left = -1650.0f;
  m.bar_right = 1650.0f;
  m.bar_bottom = -1250.0f;
  m.bar_top = 1225.0f;
  if (g.NX <= 0 || g.NY <= 0) return;  // no sheet yet: nothing to place
  const float nx = static_cast<float>(g.NX), ny = static_cast<float>(g.NY);
  m.column_width = 3300.0f / nx;
  m.row_height = 2150.0f / ny;
  if (m.row_height > m.column_width) {
    // The width limits: the columns fill the frame's width, the rows are
    // centred.
    m.h = m.column_width;
    m.x0 = -1650.0f - m.h;
    m.y0 = -(ny * m.h) / 2.0f;
  } else {
    // The height limits (ties included): the rows fill the frame's height.
    m.h = m.row_height;
    m.y0 = -925.0f - m.h;
    m.x0 = -((nx + 1.0f) * m.h) / 2.0f;
  }
}

void CELL_RECT(std::int32_t I, std::int32_t J, float& x1, float& x2, float& y1, float& y2) {
  const MapState& m = map_state();
  const float i = static_cast<float>(I), j = static_cast<float>(J);
  x1 = m.x0 + i * m.h;
  x2 = m.x0 + (i + 1.0f) * m.h;
  y1 = m.y0 + j * m.h;
  y2 = m.y0 + (j + 1.0f) * m.h;
}

}  // namespace kesto::plot
