#include "solver/field_current.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "common/fortran_format.h"
#include "kernel/kernel.h"
#include "solver/grid.h"
#include "solver/range_checks.h"
#include "textui/messages.h"

namespace kesto::solver {

using textui::set_message;

CurrentLine clamped_current_line(const Grid& g) {
  CurrentLine l{g.ICS, g.JCS, g.ICE, g.JCE};
  if (l.ICE == l.ICS) {
    if (l.JCS == 1) l.JCS = 2;
    if (l.JCE == g.NY) l.JCE = g.NY - 1;
  } else {
    if (l.ICS == 1) l.ICS = 2;
    if (l.ICE == g.NX) l.ICE = g.NX - 1;
  }
  return l;
}

namespace {

// -THICK x the sum over the line's cells of the mean of the currents per unit
// thickness in the links on either side, across the line; `V(I, J)` gives a
// cell's potential and Real is the precision of the sum.
template <typename Real, typename Potential>
Real current_across(const Grid& g, const CurrentLine& l, Potential V) {
  Real sum = 0;
  const Real half = static_cast<Real>(0.5);
  if (l.ICE == l.ICS) {  // vertical: current across it flows along I
    const std::int32_t I = l.ICS;
    for (std::int32_t J = l.JCS; J <= l.JCE; ++J)
      sum = sum + half * (static_cast<Real>(g.GX[I][J]) * (V(I + 1, J) - V(I, J)) +
                          static_cast<Real>(g.GX[I - 1][J]) * (V(I, J) - V(I - 1, J)));
  } else {  // horizontal: current across it flows along J
    const std::int32_t J = l.JCS;
    for (std::int32_t I = l.ICS; I <= l.ICE; ++I)
      sum = sum + half * (static_cast<Real>(g.GY[I][J]) * (V(I, J + 1) - V(I, J)) +
                          static_cast<Real>(g.GY[I][J - 1]) * (V(I, J) - V(I, J - 1)));
  }
  return -static_cast<Real>(g.THICK) * sum;
}

}  // namespace

float line_current(const Grid& g, const CurrentLine& l) {
  return current_across<float>(g, l, [&g](std::int32_t I, std::int32_t J) { return g.V[I][J]; });
}

double line_current(const Grid& g, const CurrentLine& l, const std::vector<double>& v) {
  return current_across<double>(g, l, [&v](std::int32_t I, std::int32_t J) {
    return v[static_cast<std::size_t>(I) * (sheet::MAXNY + 1) + static_cast<std::size_t>(J)];
  });
}

void FIND_CURRENT() {
  Grid& g = grid();
  if (g.CURRENT_SET != 1) return;
  const CurrentLine l = clamped_current_line(g);
  g.ICS = l.ICS, g.JCS = l.JCS, g.ICE = l.ICE, g.JCE = l.JCE;
  g.CURRENT_AMPS = line_current(g, l);
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
