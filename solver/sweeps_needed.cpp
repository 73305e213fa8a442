#include "solver/sweeps_needed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "solver/deck_traps.h"
#include "solver/grid.h"
#include "solver/network_solve.h"
#include "solver/sweep.h"

namespace kesto::solver {
namespace {

// Sweeps between two looks at the distance; the last stretch is swept again
// one sweep at a time from a copy, to find the first sweep within.
constexpr std::int64_t kStretch = 16;

bool sound_conductances(const Grid& g) {
  auto ok = [](float x) { return std::isfinite(x) && x > 0.0f; };
  for (std::int32_t I = 2; I <= g.NX - 1; ++I)
    for (std::int32_t J = 2; J <= g.NY - 1; ++J)
      if (g.FIXED[I][J] == 0 && !(ok(g.GX[I - 1][J]) && ok(g.GX[I][J]) && ok(g.GY[I][J - 1]) && ok(g.GY[I][J]) &&
                                  ok(g.SINV[I][J])))
        return false;
  return true;
}

// Largest |V - converged| of any cell; a potential that is not finite counts
// as infinitely far.
double distance(const Grid& g, const ConvergedPotential& p) {
  double largest = 0.0;
  for (std::int32_t I = 2; I <= g.NX - 1; ++I)
    for (std::int32_t J = 2; J <= g.NY - 1; ++J) {
      const double d = std::fabs(static_cast<double>(g.V[I][J]) - p.at(I, J));
      if (!(d <= largest)) largest = std::isnan(d) ? INFINITY : d;
    }
  return largest;
}

std::string grouped(long long n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

std::string volts(double v) {
  char text[32];
  if (v >= 1.0)
    std::snprintf(text, sizeof text, "%.3g V", v);
  else
    std::snprintf(text, sizeof text, "%.3g mV", v * 1000.0);
  return text;
}

}  // namespace

SweepsNeeded count_sweeps_needed(std::int64_t largest_updates) {
  Grid& g = grid();
  SweepsNeeded n;
  SET_CONDUCTANCES();
  if (!sound_conductances(g)) return n;
  const ConvergedPotential p = solve_network(g);
  if (!p.solved) {
    n.kind = SweepsNeeded::Kind::not_solved;
    n.failure = p.failure;
    return n;
  }
  double low = p.at(1, 1), high = low;
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) low = std::min(low, p.at(I, J)), high = std::max(high, p.at(I, J));
  n.range = high - low;
  n.tolerance = std::max(1.0E-3, 1.0E-3 * n.range);

  // The sweeps start where a run's start: from the deck's potentials. Each
  // update is a weighted mean of the neighbours, so the largest distance
  // from the converged potential never grows from one sweep to the next.
  constexpr std::size_t kCells = static_cast<std::size_t>(MAXNX + 1) * (MAXNY + 1);
  const std::vector<float> start(&g.V[0][0], &g.V[0][0] + kCells);
  std::vector<float> stretch(kCells);
  const std::int64_t cells = std::max<std::int64_t>(1, static_cast<std::int64_t>(g.NX - 2) * (g.NY - 2));
  const std::int64_t limit = std::max<std::int64_t>(kStretch, largest_updates / cells);
  std::int64_t done = 0;
  bool within = distance(g, p) <= n.tolerance;
  while (!within && done + kStretch <= limit) {
    std::copy(&g.V[0][0], &g.V[0][0] + kCells, stretch.begin());
    for (std::int64_t s = 0; s < kStretch; ++s) sweep_held();
    sync_potentials();
    if (distance(g, p) <= n.tolerance) {
      std::copy(stretch.begin(), stretch.end(), &g.V[0][0]);
      do {
        SWEEP();
        ++done;
      } while (distance(g, p) > n.tolerance);
      within = true;
    } else {
      done += kStretch;
    }
  }
  std::copy(start.begin(), start.end(), &g.V[0][0]);
  n.kind = within ? SweepsNeeded::Kind::counted : SweepsNeeded::Kind::more_than;
  n.sweeps = done;
  return n;
}

std::string sweeps_needed_line(const SweepsNeeded& n) {
  const Grid& g = grid();
  const std::string estimate = "from the grid size alone an estimated " + grouped(sweeps_to_settle(g.NX, g.NY)) +
                               " sweeps settle it; NSTEP is " + grouped(g.NSTEP);
  std::string within = "within " + volts(n.tolerance);
  if (n.tolerance > 1.0E-3) within += " (0.1 % of its range of " + volts(n.range) + ")";
  switch (n.kind) {
    case SweepsNeeded::Kind::counted:
      return "Sweeps: " + grouped(n.sweeps) + (n.sweeps == 1 ? " sweep brings" : " sweeps bring") +
             " this deck's potential " + within +
             " of the converged one (counted by sweeping against the network solved directly); NSTEP is " +
             grouped(g.NSTEP) + ".";
    case SweepsNeeded::Kind::more_than:
      return "Sweeps: more than " + grouped(n.sweeps) + " sweeps are needed to bring this deck's potential " + within +
             " of the converged one (the check sweeps no further); " + estimate + ".";
    case SweepsNeeded::Kind::not_solved:
      return "Sweeps: not counted, the direct solve of the network was refused (" + n.failure + "); " + estimate + ".";
    case SweepsNeeded::Kind::not_sound: break;
  }
  return "Sweeps: not counted, a link conductance is not a finite positive number; " + estimate + ".";
}

}  // namespace kesto::solver
