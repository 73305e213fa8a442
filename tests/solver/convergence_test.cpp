// The convergence report: which sweeps measure their change, the line for
// each kind of decay, the estimate against the true distance on decks whose
// converged potential is known, and tables that the report leaves alone.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "solver/convergence.h"
#include "solver/solver_fixture.h"
#include "solver/sweep_kernels.h"

using namespace kesto;
using namespace kesto::solver;
using namespace kesto::testing;

namespace {

// A run of `limit` sweeps whose change at sweep k is change(k), recorded as
// the relaxation records it.
void record_run(std::int32_t limit, const std::function<double(std::int32_t)>& change) {
  start_convergence_record(limit);
  for (std::int32_t k = 1; k <= limit; ++k)
    if (sweep_change_wanted(k)) record_sweep_change(k, static_cast<float>(change(k)));
}

// The relaxation's sweeps with their record, on the grid as read.
void relax_recorded(std::int32_t limit) {
  start_convergence_record(limit);
  for (std::int32_t k = 1; k <= limit; ++k)
    if (sweep_change_wanted(k))
      record_sweep_change(k, sweep_held_change());
    else
      sweep_held();
  sync_potentials();
}

}  // namespace

TEST(ConvergenceRecord, SamplesTheLastSweepAndEveryFewBeforeItOrEverySweepForAListener) {
  struct Case {
    std::int32_t limit, spacing;
    std::vector<std::int32_t> wanted, not_wanted;
  };
  const std::vector<Case> cases = {
      {1, 1, {1}, {}},
      {127, 1, {1, 126, 127}, {}},
      {130, 2, {2, 128, 130}, {1, 129}},
      {20000, 8, {8, 19992, 20000}, {1, 7, 19999}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limit);
    start_convergence_record(c.limit);
    EXPECT_EQ(convergence_record().spacing, c.spacing);
    for (const std::int32_t k : c.wanted) EXPECT_TRUE(sweep_change_wanted(k)) << k;
    for (const std::int32_t k : c.not_wanted) EXPECT_FALSE(sweep_change_wanted(k)) << k;
  }
  // A listener hears of every sweep; the record keeps its samples only.
  static std::vector<std::int32_t> heard;
  set_convergence_listeners([](std::int32_t sweep, float) { heard.push_back(sweep); }, nullptr);
  record_run(20000, [](std::int32_t) { return 1.0; });
  set_convergence_listeners(nullptr, nullptr);
  EXPECT_EQ(heard.size(), 20000u);
  EXPECT_EQ(convergence_record().samples, 2500);
}

TEST(ConvergenceLine, EachKindOfDecaySaysWhatIsKnown) {
  const auto geometric = [](double last, double ratio, std::int32_t limit) {
    return [=](std::int32_t k) { return last * std::pow(ratio, k - limit); };
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::string head = "convergence: last sweep moved no cell by more than ";
  const std::string too_few = "; not enough sweeps to estimate the distance from the converged potential";
  struct Case {
    std::int32_t limit;
    std::function<double(std::int32_t)> change;
    float largest_potential;
    std::string line;
  };
  const std::vector<Case> cases = {
      {0, geometric(1, 1, 0), 10.0f,
       "convergence: no sweep made; not enough sweeps to estimate the distance from the converged potential"},
      {1, geometric(4, 1, 1), 10.0f, head + "4.0E+00 V" + too_few},
      {9, geometric(0.01, 0.9, 9), 10.0f, head + "1.0E-02 V" + too_few},
      // From ten sweeps on: distance 0.01 * 0.9 / 0.1, and log(0.001 / 0.09) / log(0.9) = 42.7 sweeps.
      {10, geometric(0.01, 0.9, 10), 10.0f,
       head +
           "1.0E-02 V; estimated distance from the converged potential about 0.090 V; about 43 more sweeps for 1 mV"},
      // Every eighth sweep: 9.99 V, and 9204.7 sweeps to two digits.
      {20000, geometric(0.01, 0.999, 20000), 10.0f,
       head +
           "1.0E-02 V; estimated distance from the converged potential about 10 V; about 9,200 more sweeps for 1 mV"},
      {100, geometric(1234.5, 0.9, 100), 1.0E5f,
       head +
           "1.2E+03 V; estimated distance from the converged potential about 11,000 V; about 150 more sweeps for 1 mV"},
      {100, geometric(0.0011, 0.5, 100), 10.0f,
       head + "1.1E-03 V; estimated distance from the converged potential about 0.0011 V; about 1 more sweep for 1 mV"},
      {100, geometric(1.0E-4, 0.5, 100), 10.0f,
       head + "1.0E-04 V; estimated distance from the converged potential about 0.00010 V; within 1 mV"},
      {100, geometric(4.5E-5, 0.5, 100), 1.0f,
       head + "4.5E-05 V; estimated distance from the converged potential about 4.5E-05 V; within 1 mV"},
      {100, geometric(3.2E-7, 0.5, 100), 1.0E-3f,
       head + "3.2E-07 V; estimated distance from the converged potential about 3.2E-07 V; within 1 mV"},
      // Four units in the last place of 10 V are 3.8E-06 V.
      {100, geometric(2.0E-6, 0.9, 100), 10.0f,
       head + "2.0E-06 V, about the rounding of single precision at these potentials; the distance from the converged "
              "potential cannot be estimated"},
      {100, geometric(0.5, 1.01, 100), 10.0f,
       head + "5.0E-01 V; the changes do not decay steadily, so the distance from the converged potential cannot be "
              "estimated"},
      // The ever slower decay of the first sweeps (1 / k^2) is not taken for a settled one.
      {100, [](std::int32_t k) { return 1.0 / (double(k) * k); }, 10.0f,
       head + "1.0E-04 V; the changes do not decay steadily, so the distance from the converged potential cannot be "
              "estimated"},
      {5, [](std::int32_t k) { return k < 3 ? 1.0 / k : 0.0; }, 10.0f,
       "convergence: last sweep moved no cell; the potential is already converged"},
      {5, [nan](std::int32_t k) { return k < 5 ? 1.0 : nan; }, 10.0f,
       "convergence: the last sweep's changes are not finite numbers; no estimate"},
  };
  for (const Case& c : cases) {
    record_run(c.limit, c.change);
    EXPECT_EQ(convergence_line(estimate_convergence(convergence_record(), c.largest_potential)), c.line);
  }
}

// Decks whose converged potential is known: a uniform strip between two
// electrodes (linear; the rows beside it insulate), and sheets of other
// shapes relaxed by 100,000 sweeps. Once the decay has settled, the
// estimated distance is within a factor of two of the true one.
TEST(ConvergenceEstimate, WithinAFactorOfTwoOfTheTrueDistanceOnDecksOfKnownPotential) {
  const std::string thick = "THICK     0.001";
  struct Case {
    const char* what;
    std::string deck;
    bool linear;  // the strip: 0 V at column 2 to 10 V at column 41, rows 3 to 5
    std::vector<std::int32_t> sweeps;
  };
  const std::vector<Case> cases = {
      {"strip 42 x 7",
       lines({"SPACE 42 7", thick, "RESIS_B   2 3 41 5 0.01", "LI   2 3 2 5 0.0", "LI   41 3 41 5 10.0"}),
       true,
       {500, 1000, 1500}},
      {"disc in a square 30 x 30",
       lines({"SPACE 30 30", thick, "RESIS_B   2 2 29 29 50.0", "CIRCLE 15 15 3 5.0"}),
       false,
       {60, 120, 240}},
      {"slot and resistive patch 50 x 20",
       lines({"SPACE 50 20", thick, "RESIS_B   2 2 49 19 100.0", "RESIS_B   30 3 45 12 1000.0", "INSUL 25 2 25 14",
              "LI   5 4 5 17 10.0", "CE   45 16 -4.0"}),
       false,
       {200, 300, 450}},
      {"bar and ring in a column 12 x 80",
       lines({"SPACE 12 80", thick, "RESIS_B   2 2 11 79 1.0", "LI   3 70 10 70 3.0", "CSHELL 6 20 3 -2.0"}),
       false,
       {40, 80, 140}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto read = read_deck_text(c.deck);
    ASSERT_FALSE(read.ended) << read.pages;
    SET_CONDUCTANCES();
    Grid& g = grid();
    const auto start = std::make_unique<Grid>(g);
    auto converged = std::make_unique<Grid>(g);
    if (c.linear) {
      for (std::int32_t I = 2; I <= 41; ++I)
        for (std::int32_t J = 3; J <= 5; ++J) converged->V[I][J] = 10.0f * static_cast<float>(I - 2) / 39.0f;
    } else {
      for (int n = 0; n < 100000; ++n) sweep_held();
      sync_potentials();
      *converged = g;
    }
    for (const std::int32_t sweeps : c.sweeps) {
      g = *start;
      SET_CONDUCTANCES();
      relax_recorded(sweeps);
      float distance = 0.0f, largest = 0.0f;
      for (std::int32_t I = 1; I <= g.NX; ++I)
        for (std::int32_t J = 1; J <= g.NY; ++J) {
          largest = std::max(largest, std::fabs(g.V[I][J]));
          if (!c.linear || (J >= 3 && J <= 5)) distance = std::max(distance, std::fabs(g.V[I][J] - converged->V[I][J]));
        }
      const ConvergenceEstimate e = estimate_convergence(convergence_record(), largest);
      ASSERT_EQ(e.kind, ConvergenceEstimate::Kind::settled) << sweeps << " sweeps";
      EXPECT_GE(e.distance, 0.5 * distance) << sweeps << " sweeps";
      EXPECT_LE(e.distance, 2.0 * distance) << sweeps << " sweeps";
    }
  }
}

// Sweeps that measure their change leave the same tables, byte for byte, as
// sweeps that do not, in every kernel.
TEST(ConvergenceEstimate, TablesAreTheSameWithAndWithoutTheMeasure) {
  const std::string deck =
      lines({"SPACE 60 30", "THICK     0.001", "SI   0.01", "RESIS_B   2 2 59 29 7.0", "RESIS_B   30 5 50 20 300.0",
             "INSUL 20 2 20 22", "LI   5 5 5 25 3.0", "CIRCLE 45 15 4 -1.5", "CURRENT 10 3 10 27", "NSTEP 80"});
  const auto tables = [&deck](bool measure) {
    fresh_run_state();
    use_deck(deck);
    const auto run = run_captured([measure] {
      READ_DECK();
      SET_CONDUCTANCES();
      for (std::int32_t n = 0; n < grid().NSTEP; ++n)
        if (measure)
          sweep_held_change();
        else
          sweep_held();
      sync_potentials();
      FIND_CURRENT();
      WRITE_VOLTS();
      FIND_EFIELD();
      WRITE_EFIELD();
    });
    EXPECT_FALSE(run.ended) << run.pages;
    return read_file("VOLTS.TBL") + read_file("EFIELD.TBL");
  };
  for (const SweepKernel kernel : runnable_sweep_kernels()) {
    SCOPED_TRACE(sweep_kernel_name(kernel));
    use_sweep_kernel(kernel);
    const std::string without = tables(false);
    EXPECT_GT(without.size(), 10000u);
    EXPECT_EQ(tables(true), without);
  }
  use_sweep_kernel(fastest_sweep_kernel());
}
