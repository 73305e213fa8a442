// The vector kernels' own copy of the sheet: the potentials and everything a
// sweep reads, skewed so that the cells one sweep may update together lie
// side by side in memory.
//
// The in-order sweep (I outer, J inner) lets cell (I, J) go as soon as
// (I-1, J) and (I, J-1) are done, so every cell with the same I + J can be
// updated at once. Cell (I, J) is therefore stored in address row
// tau = (I-1) + (J-1), at position c = I-1 of that row. A run of L positions
// of one row is a band of L neighbouring columns, lane k one row behind lane
// k-1, and the next band (further right) is L steps behind this one, exactly
// the order in which the in-order loop meets them. The neighbours of the
// cells of a row lie in the rows just below and above, whole vectors or
// vectors shifted by one lane:
//   left  (I-1, J) at (tau-1, c-1)     below (I, J-1) at (tau-1, c)
//   right (I+1, J) at (tau+1, c+1)     above (I, J+1) at (tau+1, c)
// The rows below hold this sweep's values and the rows above the last
// sweep's, as in the in-order loop. So do the link conductances: the left
// link of (tau, c) is the right link of (tau-1, c-1), the link below it the
// link above (tau-1, c).
//
// The copy belongs to the solver; the cell grid stays the plain sheet model
// that the displays and the later phases read.
#pragma once

#include <cstdint>

#include "solver/grid.h"

namespace kesto::solver {

struct WavefrontLayout {
  // Widest vector in floats: positions start at kPad so that a vector that
  // starts at a multiple of its width is aligned, and (tau, -1) exists.
  static constexpr std::int32_t kPad = 16;
  // Floats per address row: the pad, MAXNX positions and room for the last
  // vector of the widest kind and its right neighbour.
  static constexpr std::int32_t kStride = 288;
  static constexpr std::int32_t kRows = MAXNX + MAXNY - 1;
  static constexpr std::int32_t kSize = kRows * kStride;

  // Offset of cell (I, J) in every array below.
  static constexpr std::int32_t offset(std::int32_t I, std::int32_t J) {
    return (I - 1 + J - 1) * kStride + kPad + (I - 1);
  }

  std::int32_t NX = 0, NY = 0;    // the grid this layout was prepared for
  bool holds_potentials = false;  // V below is newer than the grid's

  // Each array is zero outside the interior cells (V: outside the grid), so
  // lanes that fall outside the grid compute with zeros and are discarded.
  alignas(64) float V[kSize];     // potential
  alignas(64) float GX[kSize];    // GX(I, J): link to the right neighbour
  alignas(64) float GY[kSize];    // GY(I, J): link to the neighbour above
  alignas(64) float SINV[kSize];  // 1 / sum of the four links
  // 0xFF for a free interior cell, zero for every other position: fixed and
  // edge-ring cells keep their potential.
  alignas(64) std::uint8_t FREE[kSize];
};

// The solver's one layout.
WavefrontLayout& wavefront_layout();

// The conductances and the free-cell mask of the grid, in the layout; after
// SET_CONDUCTANCES has filled GX, GY and SINV.
void prepare_wavefront_layout();
// The grid's potentials into the layout.
void load_wavefront_potentials();
// The layout's potentials back into the grid.
void store_wavefront_potentials();

}  // namespace kesto::solver
