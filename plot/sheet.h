// The cell grid that the displays draw. The solver fills the grid; it
// is handed to the displays (use_sheet) before the first picture. Until then
// the displays see an empty sheet and draw no cells.
#pragma once

#include "sheet/cell_grid.h"

namespace kesto::plot {

// The displays draw this grid from now on.
void use_sheet(const sheet::Grid& grid);
// The grid the displays draw.
const sheet::Grid& sheet();

}  // namespace kesto::plot
