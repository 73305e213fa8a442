// The two result tables, "VOLTS.TBL" (the potential) and "EFIELD.TBL" (the
// field magnitude in megavolts per metre), written to the current directory
// for the contour-plotting program. Each is a header block (name, comments,
// the plot settings, axis titles, "END  ") followed by one block per grid
// column: the column's x, then y and the value of each of its cells, in
// centimetres, E11.4. Lines end with CR LF.
//
// A table is written to a temporary file beside it and renamed into place,
// so a failed write leaves an earlier table untouched; the failure shows its
// page and ends the run. A run writes the two as a pair under the folder's
// lock (a second run there waits), renaming them only when both are
// complete.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sheet/cell_grid.h"

namespace kesto::solver {

// One value per cell of the grid's capacity, indexed [I][J] like its arrays.
using CellValues = float[sheet::MAXNX + 1][sheet::MAXNY + 1];

// The text of VOLTS.TBL for the potential `V` of the NX x NY cells of `g`
// (its deck's name and cell size; with the current line's `amps` when
// `with_current`), and of EFIELD.TBL for the field `EMAG` (volts per metre;
// written in megavolts per metre). A `note` that is not empty ("CM ...")
// takes the place of the comment line after the content line, so the header
// keeps its length. They read nothing else, so a copy of the grid may be
// written on a thread of its own.
std::string volts_table_text(const sheet::Grid& g, const CellValues& V, bool with_current, float amps,
                             std::string_view note);
std::string efield_table_text(const sheet::Grid& g, const CellValues& EMAG, std::string_view note);

// Writes "VOLTS.TBL" from V (with the current when a current line was given).
void WRITE_VOLTS();
// Writes "EFIELD.TBL" from EMAG.
void WRITE_EFIELD();
// Writes both tables into `folder` ("." the current directory) as one pair.
void write_tables(const std::string& folder = ".");

// Centre of cell `index` along x or y in centimetres, as the tables write it:
// (2 index - 1) x HALFDX rounded to single precision, then times 100.
float cell_centre_cm(std::int32_t index, float halfdx);

// Appends the value in the tables' number form, E11.4 (" 0.5000E+02"): the
// same text as common::format_E(value, 11, 4), made quickly for the many
// values of a table.
void append_E11_4(std::string& out, float value);

}  // namespace kesto::solver
