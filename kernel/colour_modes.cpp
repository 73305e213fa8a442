// Colour modes and the colour routines of each mode. A mode realises a
// palette of the shell; the routines pick a colour in it.
#include <iostream>

#include "common/fortran_format.h"
#include "kernel/kernel.h"
#include "kernel/markel_records.h"
#include "kernel/recording.h"
#include "kernel/short_int.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::plot {

void LCMODE(std::int32_t IMODE) {
  // Modes 1-5 realise the palette of their own number, 6 shares HOT's
  // palette 5, 7 realises palette 6.
  if (IMODE <= 5)
    shell::GI_PALETTE(to_short(IMODE));
  else if (IMODE == 6)
    shell::GI_PALETTE(5);
  else if (IMODE == 7)
    shell::GI_PALETTE(6);
  if (!recording()) return;
  const std::string record = markel::mode_record(IMODE);
  if (!record.empty()) {
    write_record(record);
    return;
  }
  // An illegal mode is reported on standard output and the run goes on.
  std::cout << '\n'
            << " ERROR>>>\n"
            << " ILLEGAL LCMODE CALL\n"
            << common::FreeFormat().text("IMODE = ").integer(IMODE).str() << '\n'
            << " IMODE MUST BE 0<IMODE<6\n"
            << '\n'
            << std::flush;
}

void LCBAR(std::int32_t c) {
  if (recording()) write_record(markel::bar_colour_record(c));
  shell::GI_COLOUR(to_short(c));
}

void LCRGB(std::int32_t r, std::int32_t g, std::int32_t b) {
  if (recording()) write_record(markel::rgb_record(r, g, b));
  // 0-255 become the middles of the shell's 256 steps from 0 to 1.
  auto fraction = [](std::int32_t v) { return (static_cast<float>(v) + 0.5f) / 256.0f; };
  shell::GI_COLOUR_RGB(fraction(r), fraction(g), fraction(b));
}

void LCGREY(std::int32_t g) {
  if (recording()) write_record(markel::grey_record(g));
  shell::GI_COLOUR_INDEX(to_short(g));
}

void LCCIRCL(float f) {
  if (recording()) write_record(markel::circl_record(f));
  shell::GI_SCALE_BIPOLAR(f);
}

void LCHOT(float f) {
  if (recording()) write_record(markel::hot_record(f));
  shell::GI_SCALE_UNIPOLAR(f);
}

void LCIRON(float f) {
  if (recording()) write_record(markel::iron_record(f));
  shell::GI_SCALE_THERMAL(f);
}

}  // namespace kesto::plot
