// Drawing primitives in page units. Each draws at once on the targets that
// are switched on (window surface, backing bitmap, output device) and, while
// recording, appends its record to the plot buffer. The colour state, the
// pen and brush caches and the replay of the plot buffer live here too.
#pragma once

#include <cstdint>

#include "shell/drawing/colour_rules.h"
#include "shell/graphics/palettes.h"
#include "shell/drawing/plot_buffer.h"

namespace kesto::shell {

class OutputDevice;

struct DrawTargets {
  bool window = true;
  bool bitmap = true;
  bool device = false;
  bool recording = true;
  bool transient = false;                 // SET_TRANSIENT(1) is in force: window only, nothing recorded
  bool device_colour = true;              // the output device shows colour
  OutputDevice* device_output = nullptr;  // the output device while `device` is on
};

struct ColourState {
  // The colour as last set, as the plot buffer records it.
  std::uint8_t kind = OP_RGB;  // OP_RGB, OP_RGB_GREY or OP_INDEXED
  std::int16_t set_red = 0, set_green = 0, set_blue = 0;
  std::int16_t grey = 0;  // grey level of OP_RGB_GREY
  IndexedColour indexed;  // the values of the last OP_INDEXED
  // The current colour after the colour rules: what pens and brushes use.
  std::int16_t red = 0, green = 0, blue = 0;
  // Current pen width in device pixels: the window pen width, or the
  // device's own while a replay goes to an output device.
  std::int32_t pen_width = 1;
  // The logical palette last realised.
  LogicalPalette palette;
  bool palette_set = false;
};

DrawTargets& draw_targets();
ColourState& colour_state();

// Line from (x1, y1) to (x2, y2); the end pixel is not drawn.
void DRAW_LINE(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);
// Outline through the inclusive pixel rectangle of the two corners (smaller x
// and larger y first).
void DRAW_RECT(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);
// Filled rectangle; each inset (0 or 1) moves that side in by one pixel.
void FILL_RECT(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2, std::int16_t inset_left,
               std::int16_t inset_right, std::int16_t inset_top, std::int16_t inset_bottom);
// Filled polygon of n points (at most 10).
void FILL_POLYGON(const std::int16_t* x, const std::int16_t* y, std::int16_t n);
// Colour by red, green, blue (0-255 each).
void SET_RGB(std::int16_t red, std::int16_t green, std::int16_t blue);
// Colour with the grey level that stands for it without colour.
void SET_RGB_GREY(std::int16_t red, std::int16_t green, std::int16_t blue, std::int16_t grey);
// Colour by standard colour index for each background, or grey (rule I).
void SET_INDEXED(std::int16_t index_on_black, std::int16_t index_on_white, std::int16_t grey_on_black,
                 std::int16_t darkness_on_white);
// Keeps the palette for repaints, replays and screen dumps.
void SET_PALETTE(const LogicalPalette& palette);
// One window pixel in the current colour (never recorded, not on the bitmap).
void PLOT_PIXEL(std::int16_t x, std::int16_t y);
// Fills window surface and backing bitmap with the background.
void CLEAR_PICTURE();
// Replays the plot buffer onto the window (and the bitmap when it is not
// valid), or onto the output device while its flag is on.
void REPLAY();

// Forgets the cached pen and brush, so the next primitive makes new ones.
void forget_pen_and_brush();

// Groups the primitives drawn while it lives (a replay, a line of text): the
// changed area of the window surface is reported once, at its end.
class DrawingSession {
 public:
  DrawingSession();
  ~DrawingSession();
  DrawingSession(const DrawingSession&) = delete;
  DrawingSession& operator=(const DrawingSession&) = delete;
};

// Ends the painters kept open on the window surface and the backing bitmap
// (they reopen when next needed). Registered as the surfaces' release hook,
// so the window calls it before it shows, fills, resizes or replaces them.
void suspend_painters();

}  // namespace kesto::shell
