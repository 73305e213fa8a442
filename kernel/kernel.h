// The plotting kernel: every drawing of the solver, the result displays and
// the library's other drawing modules goes through these routines in page
// units (3500 x 2500, origin at the centre, y up). Each passes the operation
// to the shell's graphics call interface and, while a MARKEL file is open and
// recording, appends one text record describing it.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace kesto::plot {

struct KernelState {
  std::int32_t recording = 0;                    // 1 while a MARKEL file records
  std::ofstream markel;                          // the open MARKEL file (unit 15)
  int markel_error = 0;                          // errno of the first record that could not be written
  std::string markel_name = "MARKEL.MKL      ";  // 16 characters
  float current_x = 0.0f, current_y = 0.0f;      // last pen position given by the caller
  float vertical_scale = 1.0f;
};

KernelState& kernel_state();

// Opens the graphics window with its caption and makes world coordinates page units.
void TEKOPEN(std::string_view caption, std::int16_t length);
// Begins a picture: I = 0 a new, erased one; any other I continues the last.
void TEKPAGE(std::int32_t I);
// Moves the pen to (x, y) without drawing.
void TEKMOVE(float x, float y);
// The shell's pen position.
void TEKWHERE(float& x, float& y);
// Draws a line from the pen to (x, y).
void TEKDRAW(float x, float y);
// Draws a line of width w (page units) from the current point to (x, y).
void TEKWIDE(float x, float y, float w);
// Draws an arc about (xc, yc) from (x1, y1) anticlockwise to the direction of (x2, y2).
void TEKARC(float xc, float yc, float x1, float y1, float x2, float y2);
// Draws the first n characters of the text at the pen in size s and orientation 0-3.
void TEKTEXT(std::int32_t s, std::int32_t orientation, std::string_view text, std::int32_t n);
// Places the pen so that the same TEKTEXT is centred on (ix, iy) ("M") or ends there ("L").
void TEKJUST(char mode, std::int32_t ix, std::int32_t iy, std::int32_t s, std::int32_t orientation,
             std::string_view text, std::int32_t n);
// Rectangle outline in the current colour.
void TEKBOX(float x1, float y1, float x2, float y2);
// Filled rectangle in the current colour; m is its side-flag mask.
void TEKFILL(float x1, float y1, float x2, float y2, std::int32_t m);
// Filled quadrilateral through four corners in order.
void TEKQUAD(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
// Selects colour mode 1 to 7 (its palette); other modes report an error and go on.
void LCMODE(std::int32_t IMODE);
// Colour number c (0-15) of the current palette.
void LCBAR(std::int32_t c);
// Colour from red, green and blue given as whole numbers 0-255 each: the
// "SC RGB" record carries them as written, and the screen shows exactly those
// bytes (values beyond 0-255 are held at the ends of that range on screen).
void LCRGB(std::int32_t r, std::int32_t g, std::int32_t b);
// Grey step g (0-15).
void LCGREY(std::int32_t g);
// Colour of the bipolar scale for f from -1 to 1.
void LCCIRCL(float f);
// Colour of the HOT scale for f from 0 to 1.
void LCHOT(float f);
// Colour of the IRON scale for f from 0 to 1.
void LCIRON(float f);
// Writes an LA record for the reader of the MARKEL file (no screen effect).
void TEKLA(std::int32_t k, float a, float b, float c);
// Writes a comment record of the text up to its "$" (no screen effect).
void TEKCOMMENT(std::string_view text, std::int32_t length);
// Ends the picture: 0 waits for a key first, 1 leaves at once; any other I stops the program.
void TEKFLUSH(std::int32_t I);
// Closes the graphics: the shell saves its settings and releases the window.
void TEKCLOSE();

}  // namespace kesto::plot
