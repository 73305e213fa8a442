// The cell grid that the displays draw. The grid belongs to the solver; it
// is handed to the displays (use_sheet) before the first picture. Until then
// the displays see an empty sheet and draw no cells.
#pragma once

#include "solver/grid.h"

namespace kesto::plot {

// The displays draw this grid from now on.
void use_sheet(const solver::Grid& grid);
// The grid the displays draw.
const solver::Grid& sheet();

}  // namespace kesto::plot
