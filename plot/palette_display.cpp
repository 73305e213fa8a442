#include "plot/palette_display.h"

#include <string>

#include "common/fortran_format.h"
#include "kernel/kernel.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::plot {

void PALETTE_SHOW() {
  TEKPAGE(0);
  LCMODE(1);
  TEKMOVE(-600.0f, 1000.0f);
  LCBAR(7);
  TEKTEXT(12, 0, "COLOUR PALETTE", 14);
  // Colour 0 (black) has no swatch. The swatches go straight to the shell:
  // a reader of the MARKEL file sees each colour and its label, no rectangle.
  for (std::int32_t k = 1; k <= 15; ++k) {
    const float y = static_cast<float>(900 - 130 * k);
    const std::string label = "COLOUR NUMBER " + common::format_I(k, 2);
    LCBAR(k);
    shell::GI_FILL_RECT(-1000.0f, y, -600.0f, y + 90.0f, 0);
    TEKMOVE(-500.0f, y);
    TEKTEXT(12, 0, label, 16);
  }
  TEKFLUSH(0);
}

}  // namespace kesto::plot
