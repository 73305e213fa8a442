// The whole potential picture and the whole field-strength picture.
#include "common/fixed_text.h"
#include "kernel/kernel.h"
#include "plot/result_maps.h"
#include "plot/sheet.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::plot {

void POTENTIAL_MAP() {
  MapState& m = map_state();
  const sheet::Grid& g = sheet();
  LCMODE(5);
  shell::GI_COLOUR(7);  // the frame's colour is not recorded
  TEKBOX(m.frame_x1, m.frame_y1, m.frame_x2, m.frame_y2);
  TEKLA(3, 1.0f, 0.0f, 0.0f);
  m.title = common::pad("Scalar Potential (volts)", 40);
  COLOUR_BAR(g.VMIN, g.VMAX);
  for (std::int32_t i = 1; i <= g.NX; ++i) {
    for (std::int32_t j = 1; j <= g.NY; ++j) {
      CELL_COLOUR(i, j);
      if (g.FIXED[i][j] == 1 && g.V[i][j] == 0.0f) LCBAR(7);
      float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
      CELL_RECT(i, j, x1, x2, y1, y2);
      TEKFILL(x1, y1, x2, y2, 0);
    }
  }
}

void FIELD_MAP() {
  MapState& m = map_state();
  const sheet::Grid& g = sheet();
  float emax = 0.0f;
  for (std::int32_t i = 1; i <= g.NX; ++i)
    for (std::int32_t j = 1; j <= g.NY; ++j)
      if (g.EMAG[i][j] > emax) emax = g.EMAG[i][j];
  m.title = common::pad("Electric FIeld Strength (volts/m)", 40);
  TEKLA(3, 1.0f, 0.0f, 0.0f);
  COLOUR_BAR(0.0f, emax);
  // Stretched cells that fill the whole frame.
  for (std::int32_t i = 1; i <= g.NX; ++i) {
    for (std::int32_t j = 1; j <= g.NY; ++j) {
      VALUE_COLOUR(g.EMAG[i][j]);
      const float x1 = -1650.0f + static_cast<float>(i - 1) * m.column_width;
      const float x2 = x1 + m.column_width;
      const float y1 = -925.0f + static_cast<float>(j - 1) * m.row_height;
      const float y2 = y1 + m.row_height;
      TEKFILL(x1, y1, x2, y2, 0);
      if (g.FIXED[i][j] == 1) {
        shell::GI_COLOUR(7);
        TEKMOVE(x1, y1);
        TEKDRAW(x2, y1);
        TEKDRAW(x2, y2);
        TEKDRAW(x1, y2);
        TEKDRAW(x1, y1);
      }
    }
  }
}

}  // namespace kesto::plot
