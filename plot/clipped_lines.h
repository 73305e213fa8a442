// Lines, thick lines and text cut to a clip window of their own (page units),
// independent of the shell's clipping. A clip pen is moved and drawn from;
// the visible part of each segment goes to the plotting kernel as a move and
// a line, so it is recorded in the MARKEL file like any kernel line.
#pragma once

#include <cstdint>
#include <string_view>

namespace kesto::plot {

struct ClipState {
  // The clip window, closed: a point with xmin <= x <= xmax and
  // ymin <= y <= ymax is inside.
  float xmin = -1880.0f, ymin = -1248.0f, xmax = 1870.0f, ymax = 1245.0f;
  float cx = 0.0f, cy = 0.0f;  // the clip pen, as the caller last gave it
  float m = 0.0f, b = 0.0f;    // the segment being cut: y = m x + b
};

ClipState& clip_state();

// Sets the clip window.
void CLIP_WINDOW(float xmin, float ymin, float xmax, float ymax);
// Moves the clip pen to (x, y); nothing is drawn.
void CLIP_MOVE(float x, float y);
// Draws the visible part of the segment from the clip pen to (x, y), which
// becomes the clip pen.
void CLIP_DRAW(float x, float y);
// A segment w units wide from the clip pen to (x, y): 2 NINT(w) + 1 clipped
// strokes one unit apart, from the right-hand side of the direction to the
// left-hand side; the clip pen ends at the end of the last stroke.
void CLIP_WIDE(float x, float y, float w);
// Text at the clip pen when the pen lies within |x| <= 1650, |y| <= 1250.
void CLIP_TEXT(std::int32_t s, std::int32_t orientation, std::string_view text, std::int32_t n);
// Intersection of the current line with edge k of the clip window (1 right,
// 2 top, 3 left, 4 bottom); any other k ends the run with a message box.
void ROFLO(std::int32_t k, float& x, float& y);
// Intersection of the current line with the window edge on the side of the
// point (px, py), which lies outside the window; a point inside ends the run
// with a message box.
void RCEDGE(float px, float py, float& x, float& y);
// Direction of the vector (dx, dy) in degrees anticlockwise from +x, from 0
// up to but excluding 360; (0, dy) gives 90, or 270 when dy < 0.
float ANGLE_DEG(std::int32_t dx, std::int32_t dy);

}  // namespace kesto::plot
