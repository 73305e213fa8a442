// The sheet as read from the deck, before the relaxation: each cell in the
// colour of its kind, a legend of the kinds, and the current line.
#include "plot/geometry_view.h"

#include "kernel/kernel.h"
#include "plot/result_maps.h"
#include "plot/sheet.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::plot {
namespace {

// Selects the colour of a cell's kind.
void class_colour(const sheet::Grid& g, std::int32_t i, std::int32_t j) {
  if (g.FIXED[i][j] == 0)
    LCHOT(g.RHO[i][j] == sheet::INSULATOR_RHO ? 0.1f : 0.7f);  // insulator : resistive
  else if (g.V[i][j] == 0.0f)
    LCBAR(7);  // grounded
  else
    LCHOT(1.0f);  // fixed potential
}

void cell_centre(std::int32_t i, std::int32_t j, float& x, float& y) {
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  CELL_RECT(i, j, x1, x2, y1, y2);
  x = (x1 + x2) * 0.5f;
  y = (y1 + y2) * 0.5f;
}

}  // namespace

void GEOMETRY_VIEW() {
  const MapState& m = map_state();
  const sheet::Grid& g = sheet();
  TEKPAGE(0);
  LCMODE(5);
  shell::GI_COLOUR(7);
  TEKBOX(m.frame_x1, m.frame_y1, m.frame_x2, m.frame_y2);
  TEKLA(3, 1.0f, 0.0f, 0.0f);

  // Legend along the bottom: a box of each kind's colour and its name.
  struct Entry {
    float x;
    int colour;  // 0: LCHOT(0.7), 1: LCHOT(0.1), 2: LCBAR(7), 3: LCHOT(1.0)
    const char* text;
    std::int32_t n;
  };
  static constexpr Entry legend[] = {
      {-1550.0f, 0, "Resistive", 9},
      {-950.0f, 1, "Insulator", 9},
      {-350.0f, 2, "Grounded", 8},
      {250.0f, 3, "Fixed potential", 15},
  };
  for (const Entry& e : legend) {
    switch (e.colour) {
      case 0: LCHOT(0.7f); break;
      case 1: LCHOT(0.1f); break;
      case 2: LCBAR(7); break;
      default: LCHOT(1.0f); break;
    }
    TEKFILL(e.x, -1230.0f, e.x + 100.0f, -1150.0f, 0);
    shell::GI_COLOUR(7);
    TEKMOVE(e.x + 120.0f, -1230.0f);
    TEKTEXT(10, 0, e.text, e.n);
  }

  for (std::int32_t i = 1; i <= g.NX; ++i) {
    for (std::int32_t j = 1; j <= g.NY; ++j) {
      class_colour(g, i, j);
      float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
      CELL_RECT(i, j, x1, x2, y1, y2);
      TEKFILL(x1, y1, x2, y2, 0);
    }
  }

  if (g.CURRENT_SET == 1) {
    shell::GI_COLOUR(7);
    float xs = 0, ys = 0, xe = 0, ye = 0;
    cell_centre(g.ICS, g.JCS, xs, ys);
    cell_centre(g.ICE, g.JCE, xe, ye);
    TEKMOVE(xs, ys);
    TEKDRAW(xe, ye);
  }
  TEKFLUSH(0);
}

}  // namespace kesto::plot
