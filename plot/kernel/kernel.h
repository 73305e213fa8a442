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
  std::int32_t recording = 0;                       // 1 while a MARKEL file records
  std::ofstream markel;                             // the open MARKEL file (unit 15)
  std::string markel_name = "MARKEL.MKL      ";     // 16 characters
  float current_x = 0.0f, current_y = 0.0f;         // last pen position given by the caller
  float vertical_scale = 1.0f;
};

KernelState& kernel_state();

void TEKOPEN(std::string_view caption, std::int16_t length);
void TEKPAGE(std::int32_t I);
void TEKMOVE(float x, float y);
void TEKWHERE(float& x, float& y);
void TEKDRAW(float x, float y);
void TEKWIDE(float x, float y, float w);
void TEKARC(float xc, float yc, float x1, float y1, float x2, float y2);
void TEKTEXT(std::int32_t s, std::int32_t orientation, std::string_view text, std::int32_t n);
void TEKJUST(char mode, std::int32_t ix, std::int32_t iy, std::int32_t s, std::int32_t orientation,
             std::string_view text, std::int32_t n);
void TEKBOX(float x1, float y1, float x2, float y2);
void TEKFILL(float x1, float y1, float x2, float y2, std::int32_t m);
void TEKQUAD(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
void LCMODE(std::int32_t IMODE);
void LCBAR(std::int32_t c);
void LCRGB(std::int32_t r, std::int32_t g, std::int32_t b);  // 0-255 each
void LCGREY(std::int32_t g);
void LCCIRCL(float f);
void LCHOT(float f);
void LCIRON(float f);
void TEKLA(std::int32_t k, float a, float b, float c);
void TEKCOMMENT(std::string_view text, std::int32_t length);
void TEKFLUSH(std::int32_t I);
void TEKCLOSE();

}  // namespace kesto::plot
