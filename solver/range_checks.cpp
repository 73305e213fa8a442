#include "solver/range_checks.h"

#include <cmath>
#include <limits>

#include "common/fortran_format.h"
#include "kernel/kernel.h"
#include "solver/grid.h"
#include "textui/messages.h"

namespace kesto::solver {
namespace {

bool finite_positive(float g) { return std::isfinite(g) && g > 0.0f; }

// The largest weighted sum a sweep may form, Vmax x (sum of a cell's four
// conductances), computed exactly in double: half the single-precision range,
// which leaves room for the rounding of the four products and their sums.
constexpr double kLargestSum = std::numeric_limits<float>::max() / 2.0;

std::string cell_and_resistivity(std::int32_t I, std::int32_t J) {
  return cell_line(I, J) + " RHO=" + common::format_E(grid().RHO[I][J], 15, 7);
}

}  // namespace

std::string cell_line(std::int32_t I, std::int32_t J) {
  return common::FreeFormat().text("I=").integer(I).text(" J=").integer(J).str();
}

void out_of_range_page(std::string_view heading, const std::string& where, std::string_view advice) {
  textui::set_message(heading);
  textui::MSG_PAGE();
  if (!where.empty()) {
    textui::set_message(where);
    textui::MSG_NEXT();
  }
  textui::set_message(advice);
  textui::MSG_PAUSE();
  textui::FATAL_STOP();
}

void check_conductances() {
  const Grid& g = grid();
  // The sweeps only ever form weighted means, so no potential grows beyond
  // the largest one now.
  const double vmax = largest_potential();
  for (std::int32_t I = 2; I <= g.NX - 1; ++I)
    for (std::int32_t J = 2; J <= g.NY - 1; ++J) {
      if (g.FIXED[I][J] != 0) continue;
      const float left = g.GX[I - 1][J], right = g.GX[I][J], below = g.GY[I][J - 1], above = g.GY[I][J];
      if (!finite_positive(left) || !finite_positive(right) || !finite_positive(below) || !finite_positive(above) ||
          !finite_positive(g.SINV[I][J]))
        out_of_range_page("Fatal error: a resistivity makes a link conductance infinite or zero",
                          cell_and_resistivity(I, J),
                          "Use resistivities from 1.0E-37 to 1.0E+37 ohm-metres (RESIS_L, RESIS_B).");
      const double sum = static_cast<double>(left) + right + below + above;
      if (vmax * sum > kLargestSum)
        out_of_range_page("Fatal error: the potentials are too large for the link conductances",
                          cell_and_resistivity(I, J),
                          "Lower the potentials or raise the resistivities (RESIS_L, RESIS_B).");
    }
}

void check_potentials() {
  const Grid& g = grid();
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J)
      if (!std::isfinite(g.V[I][J])) {
        plot::TEKFLUSH(1);
        out_of_range_page("Fatal error: the relaxation gave a potential that is not finite", cell_line(I, J),
                          "Lower the potentials or raise the resistivities (RESIS_L, RESIS_B).");
      }
}

}  // namespace kesto::solver
