// How far a run's sweeps are from the converged potential. Each sweep's
// largest change of any cell, delta, is recorded; once the decay ratio
// rho = delta(k) / delta(k-1) has settled, the error of the potential left
// by the sweeps is about delta * rho / (1 - rho) in the largest cell (the
// standard estimate for a linear stationary iteration, whose error shrinks by
// rho per sweep), and about log(tolerance / distance) / log(rho) more sweeps
// would bring it below the tolerance. Where the ratio has not settled, or
// cannot be judged, the report says so in words instead of a number.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::solver {

// The tolerance the report counts further sweeps for: 1 mV.
constexpr double kConvergenceTolerance = 1.0E-3;

// The changes of a run's sweeps that its estimate is judged from: those of
// the last sweep and of every `spacing`-th sweep before it (in long runs
// only some sweeps measure their change, which keeps the measure's cost a
// few per cent of the sweeps'), the last kSamples of them.
struct ConvergenceRecord {
  static constexpr std::int32_t kSamples = 4096;
  std::int32_t limit = 0;             // sweeps the run makes
  std::int32_t spacing = 1;           // sweeps from one sample to the next
  std::int32_t samples = 0;           // samples recorded
  std::int32_t sweep[kSamples] = {};  // sample i in [i % kSamples]: its sweep
  float change[kSamples] = {};        // ... and that sweep's largest change
};

// The run's one record.
ConvergenceRecord& convergence_record();
// An empty record for a run of `limit` sweeps, before the first.
void start_convergence_record(std::int32_t limit);
// Whether sweep `sweep` is to measure its change: a sample of the record, or
// every sweep while a listener hears of each one.
bool sweep_change_wanted(std::int32_t sweep);
// The largest change of sweep `sweep`, one that was wanted: kept if it is a
// sample, and passed to the listener.
void record_sweep_change(std::int32_t sweep, float change);

struct ConvergenceEstimate {
  enum class Kind {
    no_sweep,        // NSTEP 0
    too_few_sweeps,  // too few changes to judge their decay
    converged,       // the last sweep changed nothing: more sweeps change nothing either
    not_finite,      // the last change is not a finite number
    rounding,        // changes of a few units in the last place: no rate to judge
    settled,         // the decay has settled: distance and sweeps estimated
    unsettled,       // the changes do not (yet) decay steadily
  };
  Kind kind = Kind::no_sweep;
  float change = 0.0f;       // the last sweep's largest change (V)
  double ratio = 0.0;        // settled: the decay ratio per sweep
  double distance = 0.0;     // settled: estimated largest distance from the converged potential (V)
  double more_sweeps = 0.0;  // settled: further sweeps to bring it within the tolerance (0: it is)
};

// The estimate from the record of the run's sweeps; `largest_potential` is the largest |V| of the
// sheet, whose last place in single precision a change is compared with.
ConvergenceEstimate estimate_convergence(const ConvergenceRecord& r, float largest_potential);

// The report's one line, "convergence: last sweep moved no cell by more than
// 2.3E-03 V; estimated distance from the converged potential about 2 V; about
// 7,000 more sweeps for 1 mV", or its wording where there is no estimate.
std::string convergence_line(const ConvergenceEstimate& e);

// Who hears of the convergence: the program's report installs them; both may
// be null.
using SweepChangeListener = void (*)(std::int32_t sweep, float change);
using ConvergenceListener = void (*)(const std::string& line);
void set_convergence_listeners(SweepChangeListener each_sweep, ConvergenceListener after_last);

// After the last sweep (the grid's potentials up to date): the converged
// answer found (converged_answer.h), and the line to the listener: exact
// where the network was solved, else the estimate (followed, where the solve
// failed, by a second line that says why).
void report_convergence();
// The line the last report gave ("" before the first report of a run).
const std::string& last_convergence_line();

}  // namespace kesto::solver
