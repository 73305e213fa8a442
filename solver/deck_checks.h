// The deck's checks of commands against the grid: each returns only when the
// check passes and otherwise shows its fatal page and ends the run.
#pragma once

#include <cstdint>

namespace kesto::solver {

// The ends of an INSUL, RESIS_L or RESIS_B line must lie on interior cells
// (columns 2..NX-1, rows 2..NY-1).
void CHECK_INTERIOR(std::int32_t IS, std::int32_t JS, std::int32_t IE, std::int32_t JE);
// The stored current line must be vertical or horizontal and at least three
// cells from the edge across its direction; its ends along the line are
// clamped to the grid (the clamped values are kept).
void CHECK_CURRENT_LINE();

}  // namespace kesto::solver
