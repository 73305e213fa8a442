// Result maps: the cell grid shown as colour maps in the HOT colour scale,
// under a colour bar with ticks, labels and a title. The relaxation display
// and the geometry view place and colour single cells with the same layout.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::plot {

struct MapState {
  // Map frame and bar area, page units (fixed; MAP_LAYOUT sets them again).
  float frame_x1 = -1650, frame_x2 = 1650, frame_y1 = -925, frame_y2 = 1225;
  float bar_left = -1650, bar_right = 1650, bar_bottom = -1250, bar_top = 1225;
  float column_width = 0, row_height = 0;  // stretched cells of the field map
  float h = 0, x0 = 0, y0 = 0;             // square cells of the potential map
  float low = 0, high = 0;                 // colour range set by COLOUR_BAR
  std::string title = std::string(40, ' ');
  float tick_start = 0, tick_step = 0;
  std::int32_t decimals = 0, minor_count = 0;
};

MapState& map_state();

// Places the maps: frame, bar area, stretched and square cells from NX and NY.
void MAP_LAYOUT();
// The page rectangle of the square cell (I, J).
void CELL_RECT(std::int32_t I, std::int32_t J, float& x1, float& x2, float& y1, float& y2);
// Selects the colour of v in the colour range: HOT inside, 0 below, 7 above.
void VALUE_COLOUR(float v);
// Selects the colour of cell (I, J): its potential's, or 7 for a grounded cell.
void CELL_COLOUR(std::int32_t I, std::int32_t J);
// Sets the colour range to low .. just above high and draws the colour bar
// with its ticks, labels and the current map title.
void COLOUR_BAR(float low, float high);
// The tick step COLOUR_BAR settles on for the values low..high; 0 for an
// empty range, on which the bar ends the run with the "ZDELTA,ZLOW " page.
float colour_bar_step(float low, float high);
// The message line of that page, for the step and the range's low end.
std::string empty_range_message(float step, float low);
// Draws the whole potential picture (frame, bar, every cell).
void POTENTIAL_MAP();
// Draws the whole field-strength picture (bar and stretched cells).
void FIELD_MAP();

}  // namespace kesto::plot
