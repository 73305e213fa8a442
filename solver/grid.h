// The solver's view of the cell grid: the sheet model itself lives below the
// solver and the displays; here are the routines that give it its defaults.
#pragma once

#include "sheet/cell_grid.h"

namespace kesto::solver {

using sheet::Grid;
using sheet::grid;
using sheet::INSULATOR_RHO;
using sheet::MAXNX;
using sheet::MAXNY;

// NX := 250, NY := 110, NSTEP := 1000, NUPD := 100, DX := 1.0.
void SET_DEFAULTS();
// FIXED := 0 and V := 0.0 over the whole capacity.
void CLEAR_GRID();
// The largest |V| of any cell of the NX x NY grid (0 for none; a NaN is
// passed over).
float largest_potential();

}  // namespace kesto::solver
