// The relaxation arithmetic: the link conductances of the resistor network
// between cell centres, and the Gauss-Seidel sweep over the interior cells.
// A sweep visits I = 2..NX-1 (outer) and J = 2..NY-1 (inner) and gives every
// free cell, in place, the conductance-weighted mean of its four neighbours:
//   V(I,J) := SINV(I,J) * (GX(I-1,J)*V(I-1,J) + GX(I,J)*V(I+1,J)
//                          + GY(I,J-1)*V(I,J-1) + GY(I,J)*V(I,J+1))
// summed left to right in single precision. Fixed cells keep their value.
#pragma once

#include <cstdint>

#include "solver/grid.h"

namespace kesto::solver {

// GX, GY (2 / sum of the two cells' resistivities) and SINV (1 / sum of a
// cell's four link conductances) from RHO; once, before the first sweep,
// after FIXED is set. Also lays them out for the vector kernels.
void SET_CONDUCTANCES();
// The link conductances GX, GY and the cells' SINV of grid g, as
// SET_CONDUCTANCES sets them (without the sweeps' own layout).
void set_link_conductances(Grid& g);
// One whole sweep of the grid's potentials with the kernel in use
// (sweep_kernels.h): the same potentials, bit for bit, as sweep_plain().
void SWEEP();
// One whole sweep for a run of sweeps. A vector kernel sweeps its own copy of
// the potentials, taken from the grid at the first such sweep and held until
// sync_potentials(); the grid's V is stale meanwhile.
void sweep_held();
// The same sweep, which also finds the largest change |new - old| of any free
// cell in the same pass (zero when no cell moved); the potentials come out
// bit for bit as from sweep_held(), and the change is the same whichever
// kernel sweeps.
float sweep_held_change();
// The grid's potentials up to date with every sweep made so far.
void sync_potentials();
// One whole sweep as the plain in-order loop; the reference for SWEEP().
void sweep_plain();
// One whole sweep in bands of six columns, one cell at a time: the kernel of
// processors without vector kernels.
void sweep_scalar_wavefront();
// The update of the single cell (I, J) (nothing for a fixed cell), for
// callers that sweep cell by cell in the same order; returns the size of the
// cell's change.
float update_cell(std::int32_t I, std::int32_t J);

}  // namespace kesto::solver
