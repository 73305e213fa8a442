// Drawing primitives in page units. Each draws at once on the targets that
// are switched on (window surface, backing bitmap, output device) and, while
// recording, appends its record to the plot buffer. The colour state and the
// rules that show one recorded colour on a black or white window, in colour
// or grey, and on paper live here too.
#pragma once

#include <cstdint>

class QPainter;

namespace kesto::shell {

struct DrawTargets {
  bool window = true;
  bool bitmap = true;
  bool device = false;
  bool recording = true;
  bool device_colour = true;   // the output device shows colour
  QPainter* device_painter = nullptr;
};

struct ColourState {
  std::int16_t red = 0, green = 0, blue = 0;
  std::int16_t grey = 0;
  std::int16_t index_on_black = 0, index_on_white = 0, grey_on_black = 0, darkness_on_white = 0;
  std::int32_t pen_width = 1;
};

DrawTargets& draw_targets();
ColourState& colour_state();

void DRAW_LINE(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);
void DRAW_RECT(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);
void FILL_RECT(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2, std::int16_t inset_left,
               std::int16_t inset_right, std::int16_t inset_top, std::int16_t inset_bottom);
void FILL_POLYGON(const std::int16_t* x, const std::int16_t* y, std::int16_t n);
void SET_RGB(std::int16_t red, std::int16_t green, std::int16_t blue);
void SET_RGB_GREY(std::int16_t red, std::int16_t green, std::int16_t blue, std::int16_t grey);
void SET_INDEXED(std::int16_t index_on_black, std::int16_t index_on_white, std::int16_t grey_on_black,
                 std::int16_t darkness_on_white);
void PLOT_PIXEL(std::int16_t x, std::int16_t y);
void CLEAR_PICTURE();
// Replays the plot buffer onto the window (and the bitmap when it is not
// valid), or onto the output device while its flag is on.
void REPLAY();

}  // namespace kesto::shell
