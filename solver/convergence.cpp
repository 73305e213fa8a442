#include "solver/convergence.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "solver/converged_answer.h"
#include "solver/grid.h"

namespace kesto::solver {
namespace {

// Fewest samples whose changes are judged: fewer span too little of the
// first sweeps' ever slower decay to tell it from a settled one.
constexpr std::int32_t kFewestSamples = 10;
// Most sweeps from one sample to the next: the sweeps that measure their
// change cost up to a third more in some kernels.
constexpr std::int32_t kLongestSpacing = 8;
// Runs of fewer sweeps per sample than this measure every sweep.
constexpr std::int32_t kSweepsPerSpacing = 64;
// The decay has settled when the two halves of the window agree on its rate
// to within this fraction.
constexpr double kSettled = 0.2;
// Changes of at most this many units in the last place of the largest
// potential are about the rounding of single precision: their rate of decay
// says little.
constexpr float kRoundingUnits = 4.0f;

// The least-squares slope of log(change) against the sweep over samples
// first..last (all of them positive: a sweep that changes nothing is
// followed by sweeps that change nothing): the log of the mean decay ratio
// per sweep.
double decay_slope(const ConvergenceRecord& r, std::int32_t first, std::int32_t last) {
  double mean_sweep = 0.0;
  for (std::int32_t i = first; i <= last; ++i) mean_sweep += r.sweep[i % ConvergenceRecord::kSamples];
  mean_sweep /= last - first + 1;
  double sum = 0.0, squares = 0.0;
  for (std::int32_t i = first; i <= last; ++i) {
    const double x = r.sweep[i % ConvergenceRecord::kSamples] - mean_sweep;
    sum += x * std::log(static_cast<double>(r.change[i % ConvergenceRecord::kSamples]));
    squares += x * x;
  }
  return sum / squares;
}

SweepChangeListener g_each_sweep = nullptr;
ConvergenceListener g_after_last = nullptr;
std::string g_last_line;

// The digits of n with a comma between thousands: "7,000".
std::string grouped(long long n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

// x (> 0) to two significant digits: "1.5", "0.0046", "7,000", "1.2E-07".
std::string two_digits(double x) {
  int exponent = static_cast<int>(std::floor(std::log10(x)));
  double digits = std::round(x / std::pow(10.0, exponent - 1));
  if (digits >= 100.0) digits = 10.0, ++exponent;
  char text[32];
  if (exponent < -4 || exponent > 15)
    std::snprintf(text, sizeof text, "%.1fE%+03d", digits / 10.0, exponent);
  else if (exponent >= 1)
    return grouped(std::llround(digits * std::pow(10.0, exponent - 1)));
  else
    std::snprintf(text, sizeof text, "%.*f", 1 - exponent, digits * std::pow(10.0, exponent - 1));
  return text;
}

// A count of sweeps to two significant digits (below 10, the whole count).
std::string sweep_count(double n) { return n < 10.0 ? grouped(std::llround(n)) : two_digits(n); }

std::string moved_at_most(float change) {
  char text[64];
  std::snprintf(text, sizeof text, "last sweep moved no cell by more than %.1E V", static_cast<double>(change));
  return text;
}

}  // namespace

ConvergenceRecord& convergence_record() {
  static ConvergenceRecord r;
  return r;
}

void start_convergence_record(std::int32_t limit) {
  ConvergenceRecord& r = convergence_record();
  r.limit = limit;
  r.spacing = std::clamp(limit / kSweepsPerSpacing, 1, kLongestSpacing);
  r.samples = 0;
  g_last_line.clear();
}

bool sweep_change_wanted(std::int32_t sweep) {
  const ConvergenceRecord& r = convergence_record();
  return g_each_sweep != nullptr || (r.limit - sweep) % r.spacing == 0;
}

void record_sweep_change(std::int32_t sweep, float change) {
  ConvergenceRecord& r = convergence_record();
  if ((r.limit - sweep) % r.spacing == 0) {
    r.sweep[r.samples % ConvergenceRecord::kSamples] = sweep;
    r.change[r.samples % ConvergenceRecord::kSamples] = change;
    ++r.samples;
  }
  if (g_each_sweep) g_each_sweep(sweep, change);
}

ConvergenceEstimate estimate_convergence(const ConvergenceRecord& r, float largest_potential) {
  using Kind = ConvergenceEstimate::Kind;
  ConvergenceEstimate e;
  const std::int32_t n = r.samples;
  if (n == 0) return e;
  e.change = r.change[(n - 1) % ConvergenceRecord::kSamples];
  if (!std::isfinite(e.change)) {
    e.kind = Kind::not_finite;
  } else if (e.change == 0.0f) {
    // The sweep changed no bit, so every further one repeats it exactly.
    e.kind = Kind::converged;
  } else if (n < kFewestSamples) {
    e.kind = Kind::too_few_sweeps;
  } else if (e.change <= kRoundingUnits * (std::nextafter(largest_potential, INFINITY) - largest_potential)) {
    // Changes this small are as much rounding as decay: their rate says nothing.
    e.kind = Kind::rounding;
  } else {
    // The later half of the samples, the older half of it against the newer:
    // a decay that has settled keeps its rate over so long a stretch, while
    // the ever slower decay of the first sweeps does not.
    const std::int32_t half = std::min(ConvergenceRecord::kSamples / 2 - 1, (n + 3) / 4);
    const double older = decay_slope(r, n - 1 - 2 * half, n - 1 - half);
    const double newer = decay_slope(r, n - 1 - half, n - 1);
    if (newer < 0.0 && std::fabs(newer - older) <= kSettled * -newer) {
      e.kind = Kind::settled;
      e.ratio = std::exp(newer);
      e.distance = e.change * e.ratio / -std::expm1(newer);
      if (e.distance > kConvergenceTolerance)
        e.more_sweeps = std::ceil(std::log(kConvergenceTolerance / e.distance) / newer);
    } else {
      e.kind = Kind::unsettled;
    }
  }
  return e;
}

std::string convergence_line(const ConvergenceEstimate& e) {
  using Kind = ConvergenceEstimate::Kind;
  const std::string head = "convergence: ";
  const std::string too_few = "not enough sweeps to estimate the distance from the converged potential";
  switch (e.kind) {
    case Kind::no_sweep: return head + "no sweep made; " + too_few;
    case Kind::too_few_sweeps: return head + moved_at_most(e.change) + "; " + too_few;
    case Kind::converged: return head + "last sweep moved no cell; the potential is already converged";
    case Kind::not_finite: return head + "the last sweep's changes are not finite numbers; no estimate";
    case Kind::unsettled:
      return head + moved_at_most(e.change) +
             "; the changes do not decay steadily, so the distance from the converged potential cannot be "
             "estimated";
    case Kind::rounding:
      return head + moved_at_most(e.change) +
             ", about the rounding of single precision at these potentials; the distance from the converged "
             "potential cannot be estimated";
    case Kind::settled: break;
  }
  std::string line = head + moved_at_most(e.change) + "; estimated distance from the converged potential about " +
                     two_digits(e.distance) + " V";
  if (e.more_sweeps <= 0.0) return line + "; within 1 mV";
  return line + "; about " + sweep_count(e.more_sweeps) + (e.more_sweeps == 1.0 ? " more sweep" : " more sweeps") +
         " for 1 mV";
}

void set_convergence_listeners(SweepChangeListener each_sweep, ConvergenceListener after_last) {
  g_each_sweep = each_sweep;
  g_after_last = after_last;
}

void report_convergence() {
  find_converged_answer();
  const ConvergenceEstimate e = estimate_convergence(convergence_record(), largest_potential());
  const ConvergedAnswer& a = converged_answer();
  g_last_line = a.found ? exact_convergence_line(e, a) : convergence_line(e);
  if (!g_after_last) return;
  if (!a.found && !a.failure.empty())
    g_after_last(g_last_line + "\nconvergence: no converged potential: " + a.failure);
  else
    g_after_last(g_last_line);
}

const std::string& last_convergence_line() { return g_last_line; }

}  // namespace kesto::solver
