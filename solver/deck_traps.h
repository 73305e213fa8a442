// The traps of the deck format: lines that a run reads faithfully but that
// most likely do not say what their writer meant. Each finder looks at what
// the reader did with one line (or with the whole deck) and returns a short
// reason, or nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "solver/deck_recorder.h"

namespace kesto::solver {

// A command line: a number written left of the command's column (cut or
// lost), a first word that is not the command's own, a value far outside the
// physical range, a disc, ring or ellipse that the grid cuts or that reaches
// the grounded edge ring, a current line that sums no cell (written from its
// upper end to its lower end, or right to left).
std::vector<std::string> command_traps(const RecordedCommand& c);

// What the reader made of the whole deck, for the lines it passed over.
struct DeckOutline {
  std::int32_t space_line = 0;  // the SPACE line the grid comes from
  std::int32_t end_line = 0;    // the EN line (0: none)
  std::int32_t NX = 0, NY = 0;
};

// A line the reader passed over: a second SPACE line, a command after EN, a
// command word in lower or mixed case (a comment).
std::optional<std::string> passed_over_trap(const std::string& text, std::int32_t number, bool after_end,
                                            const DeckOutline& deck);

// Sweeps the slowest error of an empty NX x NY grid takes to shrink by a
// factor e under the relaxation, and to fall below 1 % of its start.
double sweeps_per_e_fold(std::int32_t NX, std::int32_t NY);
std::int64_t sweeps_to_settle(std::int32_t NX, std::int32_t NY);

// NSTEP below the sweeps the grid needs to settle (an estimate from its size).
std::optional<std::string> sweeps_trap(std::int32_t NX, std::int32_t NY, std::int32_t NSTEP, bool from_the_deck);

}  // namespace kesto::solver
