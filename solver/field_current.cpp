#include "solver/field_current.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "common/fortran_format.h"
#include "plot/kernel/kernel.h"
#include "solver/grid.h"
#include "solver/range_checks.h"
#include "textui/messages.h"

namespace kesto::solver {

using textui::set_message;

void FIND_CURRENT() {
  Grid& g = grid();
  if (g.CURRENT_SET != 1) return;
  float sum = 0.0f;
  if (g.ICE == g.ICS) {  // vertical: current across it flows along I
    const std::int32_t I = g.ICS;
    if (g.JCS == 1) g.JCS = 2;
    if (g.JCE == g.NY) g.JCE = g.NY - 1;
    for (std::int32_t J = g.JCS; J <= g.JCE; ++J)
      sum = sum + 0.5f * (g.GX[I][J] * (g.V[I + 1][J] - g.V[I][J]) + g.GX[I - 1][J] * (g.V[I][J] - g.V[I - 1][J]));
  } else {  // horizontal: current across it flows along J
    const std::int32_t J = g.JCS;
    if (g.ICS == 1) g.ICS = 2;
    if (g.ICE == g.NX) g.ICE = g.NX - 1;
    for (std::int32_t I = g.ICS; I <= g.ICE; ++I)
      sum = sum + 0.5f * (g.GY[I][J] * (g.V[I][J + 1] - g.V[I][J]) + g.GY[I][J - 1] * (g.V[I][J] - g.V[I][J - 1]));
  }
  g.CURRENT_AMPS = -g.THICK * sum;
  // The one check of the current: neither this page nor the potential table
  // may show a number that is not finite.
  if (!std::isfinite(g.CURRENT_AMPS))
    out_of_range_page("Fatal error: the current through the CURRENT line overflows", "",
                      "Lower THICK or the potentials, or raise the resistivities.");
  set_message("The current flow is " + common::format_E(g.CURRENT_AMPS, 15, 7) + " amps.");
  textui::NOTICE_PAGE();
}

void FIND_EFIELD() {
  Grid& g = grid();
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) g.EMAG[I][J] = 0.0f;
  const float c = 1.0f / (g.DX * 2.0f);
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) {
      if (g.FIXED[I][J] == 1) continue;
      if (I == 1 || I == g.NX || J == 1 || J == g.NY) {
        // A free edge cell lacks a neighbour on one side.
        plot::TEKFLUSH(0);
        set_message(common::FreeFormat().text("NX,NY ").integer(g.NX).integer(g.NY).str());
        textui::MSG_PAGE();
        set_message(common::FreeFormat().text("I,J ").integer(I).integer(J).str());
        textui::MSG_NEXT();
        set_message("FATAL ERROR IN FIND_EFIELD");
        textui::MSG_NEXT();
        set_message("CANNOT FIND E FOR AN EDGE CELL!");
        textui::MSG_PAUSE();
        textui::FATAL_STOP();
      }
      const float dv_x = g.V[I + 1][J] - g.V[I - 1][J];
      const float dv_y = g.V[I][J + 1] - g.V[I][J - 1];
      g.EMAG[I][J] = std::sqrt(dv_x * dv_x + dv_y * dv_y) * c;
      // The one check of the field, before any table is written.
      if (!std::isfinite(g.EMAG[I][J]))
        out_of_range_page("Fatal error: the electric field overflows", cell_line(I, J),
                          "Lower the potentials or raise the cell size (SI line).");
    }
}

}  // namespace kesto::solver
