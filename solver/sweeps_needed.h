// How many sweeps a deck's network needs: the sheet as the deck sets it up
// is swept, as a run sweeps it, until its potential comes within the
// tolerance of the converged one (the network solved directly), so the count
// is exact rather than an estimate from the grid size.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::solver {

// Sweeps counted for one check at most, in cell updates (about a quarter of a
// second of sweeps): a network that needs more is reported as needing more.
constexpr std::int64_t kCheckedCellUpdates = 300'000'000;

struct SweepsNeeded {
  enum class Kind {
    counted,       // `sweeps` sweeps bring the potential within `tolerance`
    more_than,     // more than `sweeps` (the check sweeps no further)
    not_solved,    // the direct solve failed: `failure` says why
    not_sound,     // a link conductance is not a finite positive number
  };
  Kind kind = Kind::not_sound;
  std::int64_t sweeps = 0;
  double tolerance = 0.0;  // volts: 1 mV, or 0.1 % of the range where that is larger
  double range = 0.0;      // of the converged potential (V)
  std::string failure;
};

// For the grid as READ_DECK left it (its potentials are restored afterwards;
// its conductances are set). `largest_updates` bounds the sweeps.
SweepsNeeded count_sweeps_needed(std::int64_t largest_updates = kCheckedCellUpdates);

// The deck check's line for it, with NSTEP beside the count and, where
// nothing could be counted, the estimate from the grid size.
std::string sweeps_needed_line(const SweepsNeeded& n);

}  // namespace kesto::solver
