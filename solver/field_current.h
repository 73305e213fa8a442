// The results derived from the relaxed potential: the current through the
// deck's current line and the magnitude of the electric field in every cell.
#pragma once

#include <cstdint>
#include <vector>

#include "sheet/cell_grid.h"

namespace kesto::solver {

// The current line's ends, those on the edge ring moved one cell inward.
struct CurrentLine {
  std::int32_t ICS = 0, JCS = 0, ICE = 0, JCE = 0;
};
CurrentLine clamped_current_line(const sheet::Grid& g);
// The current through the line in amperes from the grid's potentials, in
// single precision: the value FIND_CURRENT shows.
float line_current(const sheet::Grid& g, const CurrentLine& line);
// The same current from the potential `v` (indexed I x (MAXNY + 1) + J), in
// double precision.
double line_current(const sheet::Grid& g, const CurrentLine& line, const std::vector<double>& v);

// When a current line was given: CURRENT_AMPS from the link currents on
// either side of the line's cells (positive towards larger I for a vertical
// line, larger J for a horizontal one), shown on a notice page. The line's
// ends on the edge ring move one cell inward. A current that overflows ends
// the run with its own page instead.
void FIND_CURRENT();
// EMAG for every cell: the central-difference field over two cell widths for
// free cells, 0.0 for fixed cells. A free cell on the edge ring ends the run,
// as does a field that overflows.
void FIND_EFIELD();

}  // namespace kesto::solver
