// The relaxation: exactly NSTEP Gauss-Seidel sweeps over the interior cells
// while the potential map is redrawn every NUPD sweeps with a sweep counter,
// a key check at every redraw and after at most about a millisecond of
// sweeping (a key ends the run), a cell-by-cell mode that waits at every
// cell, and the final map; and the cell routines those displays draw with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kesto::solver {

struct RelaxationState {
  std::int32_t counter = 0;                      // sweeps done
  std::int32_t limit = 0;                        // NSTEP at the start
  std::string old_label = std::string(13, ' ');  // the iteration label last drawn
  std::string new_label = std::string(13, ' ');  // the one being drawn
  // Cell rectangle of the last single-step cross; -10000: none drawn yet.
  float cross_x1 = -10000.0f, cross_y1 = -10000.0f, cross_x2 = -10000.0f, cross_y2 = -10000.0f;
  // Length of the relaxation's picture before any progress display: with
  // PAUSE_EACH each display is recorded from there, in place of the last.
  std::size_t picture_base = 0;
};

RelaxationState& relaxation_state();

// Runs the sweeps with their displays; a key (or a closed window) during the
// sweeps ends the run, as does "S" in single-step mode.
void RELAX();
// Fills cell (I, J) in its colour.
void FILL_CELL(std::int32_t I, std::int32_t J);
// Fills cell (I, J) in its colour and outlines it in colour 7.
void DRAW_CELL(std::int32_t I, std::int32_t J);
// Outlines every fixed cell.
void OUTLINE_FIXED();
// Outlines every insulating cell.
void OUTLINE_INSULATORS();

// The progress display after a sweep: every interior cell recoloured, the
// counter, the outlines, drawn on the window only; with PAUSE_EACH a wait,
// and then the display is part of the picture (kept and recorded, in place
// of the previous one), so that whatever repaints, copies, prints or exports
// the picture at the wait shows what the window shows.
void progress_display();

// The sweep counter "   100/  1000": counter and limit in six columns each,
// or both in as many as the limit's digits need when it has more.
std::string iteration_label(std::int32_t counter, std::int32_t limit);

}  // namespace kesto::solver
