// Result maps: the cell grid shown as colour maps in the HOT colour scale,
// under a colour bar with ticks, labels and a title. The relaxation display
// and the geometry view place and colour single cells with the same layout.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::plot {

struct MapState {
  // Map frame and bar area, page units.
  float frame_x1 = 0, frame_x2 = 0, frame_y1 = 0, frame_y2 = 0;
  float bar_left = 0, bar_right = 0, bar_bottom = 0, bar_top = 0;
  float column_width = 0, row_height = 0;  // stretched cells of the field map
  float h = 0, x0 = 0, y0 = 0;             // square cells of the potential map
  float low = 0, high = 0;                 // colour range set by COLOUR_BAR
  std::string title = std::string(40, ' ');
  float tick_start = 0, tick_step = 0;
  std::int32_t decimals = 0, minor_count = 0;
};

MapState& map_state();

void MAP_LAYOUT();
void CELL_RECT(std::int32_t I, std::int32_t J, float& x1, float& x2, float& y1, float& y2);
void VALUE_COLOUR(float v);
void CELL_COLOUR(std::int32_t I, std::int32_t J);
void COLOUR_BAR(float low, float high);
void POTENTIAL_MAP();
void FIELD_MAP();

}  // namespace kesto::plot
