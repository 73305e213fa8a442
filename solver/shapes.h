// The shape routines of the deck: they mark cells of the grid as fixed at a
// potential (electrodes) or give them a resistivity. Cells of a shape that
// fall outside 1..NX x 1..NY are skipped; nothing is ever written outside
// the grid.
#pragma once

#include <cstdint>

namespace kesto::solver {

// What a disc, ring or ellipse did at the border of the grid: the cells of
// the shape that fall outside the grid and were left out, and the cells of it
// that lie on the grid's edge ring; each cell counted once.
struct ShapeTally {
  std::int64_t outside = 0;
  std::int64_t on_edge = 0;
};

// Fixes the cells along the straight line between the centres of cells
// (IS, JS) and (IE, JE) at potential V: in every column (or row, for a steep
// line) the cells where the line enters and leaves it.
void MARK_LINE(std::int32_t IS, std::int32_t JS, std::int32_t IE, std::int32_t JE, float V);
// Fixes a filled disc of radius R cells about cell (I0, J0) at V.
ShapeTally MARK_DISC(std::int32_t I0, std::int32_t J0, std::int32_t R, float V);
// Fixes the outline of a circle of radius R about (I0, J0) at V.
ShapeTally MARK_RING(std::int32_t I0, std::int32_t J0, std::int32_t R, float V);
// Fixes the outline of an ellipse with half-axes A (x) and B (y) centred on cell (I0, J0) at V.
ShapeTally MARK_ELLIPSE(std::int32_t I0, std::int32_t J0, std::int32_t A, std::int32_t B, float V);
// Gives the cells of the line (IS, JS)-(IE, JE), as MARK_LINE visits them, the resistivity R.
void RHO_LINE(std::int32_t IS, std::int32_t JS, std::int32_t IE, std::int32_t JE, float R);
// Gives every cell of the rectangle IS..IE x JS..JE the resistivity R.
void RHO_BOX(std::int32_t IS, std::int32_t JS, std::int32_t IE, std::int32_t JE, float R);

}  // namespace kesto::solver
