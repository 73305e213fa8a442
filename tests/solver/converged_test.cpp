// The converged answer: the network solved directly against potentials known
// by hand or from a dense solve written here, the solves it refuses, the
// exact convergence line, and the sweeps the deck check counts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "solver/converged_answer.h"
#include "solver/network_solve.h"
#include "solver/solver_fixture.h"
#include "solver/sweeps_needed.h"

using namespace kesto;
using namespace kesto::solver;
using namespace kesto::testing;

namespace {

// Two free cells, A = (3, 3) and B = (4, 3), all of whose links conduct 1:
// 4A = 4 + B and 4B = A + 4, so A = B = 4/3. The sweeps from 0 give
// A, B = 1, 1.25; 1.3125, 1.328125; 1.33203125, 1.3330078125; ...
const std::string kTwoCells =
    "SPACE 6 5\nTHICK     0.001\nRESIS_B   2 2 5 4 1.0\nLI   2 2 2 4 0.0\nCE   2 3 4.0\nLI   5 2 5 4 0.0\n"
    "LI   3 2 4 2 0.0\nLI   3 4 4 4 0.0\nCE   4 4 4.0\nNSTEP 0\nEN\n";

// A strip from 0 V (column 2) to 9 V (column 11) whose edge cells above and
// below hold the same linear potential: the converged potential is I - 2 in
// every cell of columns 2..11.
std::string linear_strip() {
  std::string deck = "SPACE 12 6\nSI   0.01\nTHICK     0.001\nRESIS_B   2 2 11 5 1.0\nLI   2 1 2 6 0.0\nLI   11 1 11 6 9.0\n";
  for (int I = 3; I <= 10; ++I)
    for (int J : {1, 6}) deck += "CE   " + std::to_string(I) + " " + std::to_string(J) + " " + std::to_string(I - 2) + ".0\n";
  return deck + "CURRENT 6 1 6 6\nNSTEP 0\nEN\n";
}

// A sheet of 1E37 ohm-metres between 0 V and 1 V, with an island of
// 1E-36 ohm-metres in it: 72 decades between the island's links and the
// links that hold it, far more than double precision resolves: the island's
// potential (0.3011 V, from an exact rational solve) is lost in rounding.
std::string island_of(const std::string& rho) {
  return "SPACE 12 12\nTHICK     0.001\nRESIS_B   2 2 11 11 1.0E37\nRESIS_B   5 5 8 8 " + rho +
         "\nLI   11 2 11 11 1.0\nEN\n";
}
const std::string kIsland = island_of("1.0E-36");

void read_and_set_up(const std::string& deck) {
  read_deck_text(deck);
  SET_CONDUCTANCES();
}

void sweeps(int n) {
  for (int k = 0; k < n; ++k) SWEEP();
}

}  // namespace

TEST(DirectSolve, LinearStripIsExact) {
  read_and_set_up(linear_strip());
  const ConvergedPotential p = solve_network(grid());
  ASSERT_TRUE(p.solved) << p.failure;
  EXPECT_EQ(p.unknowns, 8 * 4);
  for (int I = 2; I <= 11; ++I)
    for (int J = 1; J <= 6; ++J) EXPECT_NEAR(p.at(I, J), I - 2.0, 1e-9 * (I - 2.0)) << I << "," << J;
  EXPECT_LE(p.residual, 1e-12);
}

// A box of 40 ohm-metres and an insulating line in a sheet of 3, between
// 10 V and -2 V, against Gaussian elimination of the same network.
TEST(DirectSolve, BoxAndInsulatorMatchADenseSolve) {
  read_and_set_up(
      "SPACE 8 7\nTHICK     0.001\nRESIS_B   2 2 7 6 3.0\nRESIS_B   4 3 5 4 40.0\nINSUL 3 5 5 5\nLI   2 2 2 6 10.0\n"
      "LI   7 2 7 6 -2.0\nEN\n");
  const Grid& g = grid();
  std::vector<std::pair<int, int>> cells;
  for (int I = 1; I <= g.NX; ++I)
    for (int J = 1; J <= g.NY; ++J)
      if (g.FIXED[I][J] == 0) cells.emplace_back(I, J);
  ASSERT_EQ(cells.size(), 20u);
  const std::size_t n = cells.size();
  std::vector<std::vector<long double>> a(n, std::vector<long double>(n + 1, 0.0L));
  auto unknown = [&](int I, int J) {
    for (std::size_t k = 0; k < n; ++k)
      if (cells[k] == std::make_pair(I, J)) return static_cast<int>(k);
    return -1;
  };
  for (std::size_t k = 0; k < n; ++k) {
    const auto [I, J] = cells[k];
    const int near[4][2] = {{I - 1, J}, {I + 1, J}, {I, J - 1}, {I, J + 1}};
    for (const auto& q : near) {
      const long double link = 2.0f / (g.RHO[I][J] + g.RHO[q[0]][q[1]]);
      a[k][k] += link;
      const int m = unknown(q[0], q[1]);
      if (m >= 0)
        a[k][static_cast<std::size_t>(m)] -= link;
      else
        a[k][n] += link * g.V[q[0]][q[1]];
    }
  }
  for (std::size_t c = 0; c < n; ++c) {  // elimination with partial pivoting, then back substitution
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    std::swap(a[c], a[pivot]);
    for (std::size_t r = c + 1; r < n; ++r) {
      const long double f = a[r][c] / a[c][c];
      for (std::size_t k = c; k <= n; ++k) a[r][k] -= f * a[c][k];
    }
  }
  std::vector<long double> x(n);
  for (std::size_t c = n; c-- > 0;) {
    long double s = a[c][n];
    for (std::size_t k = c + 1; k < n; ++k) s -= a[c][k] * x[k];
    x[c] = s / a[c][c];
  }
  const ConvergedPotential p = solve_network(g);
  ASSERT_TRUE(p.solved) << p.failure;
  for (std::size_t k = 0; k < n; ++k)
    EXPECT_NEAR(p.at(cells[k].first, cells[k].second), static_cast<double>(x[k]), 1e-9 * std::fabs(x[k]))
        << cells[k].first << "," << cells[k].second;
}

TEST(DirectSolve, RefusesANetworkItCannotSolveAndSaysWhy) {
  struct Case {
    const char* what;
    std::string deck;
    void (*spoil)(Grid&);
    std::string failure;  // its beginning
  };
  const std::vector<Case> cases = {
      {"72 decades", kIsland, nullptr, "the conductances span too many decades for double precision (smallest pivot "},
      // Its pivot cancels to a few units of rounding, with either sign.
      {"57 decades", island_of("1.0E20"), nullptr,
       "the conductances span too many decades for double precision (smallest pivot 8.8E-16 "},
      // An island of 1E30 ohm-metres: the pivot keeps seven digits, but one
      // step of refinement still moves it by more than 1E-9 of the range.
      {"67 decades", island_of("1.0E30"), nullptr, "the solution is not accurate enough (relative residual "},
      {"a free edge cell", kTwoCells, [](Grid& g) { g.FIXED[1][3] = 0; }, "a free cell lies on the edge ring"},
      {"a zero link", kTwoCells, [](Grid& g) { g.GY[4][3] = 0.0f; }, "a link conductance is not a finite positive"},
      {"an infinite link", kTwoCells, [](Grid& g) { g.GX[2][3] = INFINITY; },
       "a link conductance is not a finite positive"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    read_and_set_up(c.deck);
    if (c.spoil) c.spoil(grid());
    const ConvergedPotential p = solve_network(grid());
    EXPECT_FALSE(p.solved);
    EXPECT_EQ(p.failure.substr(0, c.failure.size()), c.failure);
    EXPECT_TRUE(p.V.empty() || c.spoil);  // a refused solution is not kept
  }
}

TEST(ConvergedLine, GivesTheExactDistanceItsShareAndItsCell) {
  using Kind = ConvergenceEstimate::Kind;
  struct Case {
    int nstep;
    ConvergenceEstimate e;
    std::string line;
  };
  const std::string head = "convergence: last sweep moved no cell by more than ";
  const std::vector<Case> cases = {
      {0, {},
       "convergence: no sweep made; distance from the converged potential 1.33 V (33 % of the range) at cell (3, 3); "
       "the sweeps still needed for 1 mV cannot be estimated from the changes"},
      {1, {Kind::too_few_sweeps, 1.25f},
       head + "1.2E+00 V; distance from the converged potential 0.333 V (8.3 % of the range) at cell (3, 3); the "
              "sweeps still needed for 1 mV cannot be estimated from the changes"},
      {2, {Kind::settled, 0.3125f, 0.0625, 0.02, 3.0},
       head + "3.1E-01 V; distance from the converged potential 0.0208 V (0.52 % of the range) at cell (3, 3); an "
              "estimated 3 more sweeps for 1 mV"},
      {3, {Kind::settled, 0.0195f, 0.0625, 0.0013, 1300.0},
       head + "2.0E-02 V; distance from the converged potential 0.00130 V (0.033 % of the range) at cell (3, 3); an "
              "estimated 1,300 more sweeps for 1 mV"},
      {4, {Kind::unsettled, 0.0012f},
       head + "1.2E-03 V; distance from the converged potential 8.14E-05 V (0.0020 % of the range) at cell (3, 3); "
              "within 1 mV"},
  };
  want_converged_answer(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nstep);
    read_and_set_up(kTwoCells);
    sweeps(c.nstep);
    find_converged_answer();
    ASSERT_TRUE(converged_answer().found) << converged_answer().failure;
    EXPECT_EQ(exact_convergence_line(c.e, converged_answer()), c.line);
  }
  want_converged_answer(false);
  find_converged_answer();
  EXPECT_FALSE(converged_answer().found);  // not wanted: not solved
}

// A solve started before the sweeps gives the answer of the grid as it is
// after them: the same when the network is unchanged, solved again when a
// link or a fixed potential changed after the start (the started answer
// would still say 1.33 V, 33 %).
TEST(ConvergedLine, AStartedSolveAnswersOnlyForTheNetworkItSolved) {
  struct Case {
    const char* what;
    void (*change)();
    std::string line;
  };
  const std::string tail = "; the sweeps still needed for 1 mV cannot be estimated from the changes";
  const std::vector<Case> cases = {
      {"unchanged", [] {}, "convergence: no sweep made; distance from the converged potential 1.33 V (33 % of the range) at cell (3, 3)" + tail},
      // 6A = 3 x 4 + B and 4B = A + 4: A = 52/23, B = 36/23.
      {"a link", [] { grid().GX[2][3] = 3.0f; },
       "convergence: no sweep made; distance from the converged potential 2.26 V (57 % of the range) at cell (3, 3)" + tail},
      // 4A = 8 + B and 4B = A + 4: A = 2.4, B = 1.6.
      {"a fixed potential", [] { grid().V[2][3] = 8.0f; },
       "convergence: no sweep made; distance from the converged potential 2.40 V (30 % of the range) at cell (3, 3)" + tail},
  };
  want_converged_answer(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    read_and_set_up(kTwoCells);
    start_converged_answer();
    c.change();
    find_converged_answer();
    ASSERT_TRUE(converged_answer().found) << converged_answer().failure;
    EXPECT_EQ(exact_convergence_line({}, converged_answer()), c.line);
  }
  want_converged_answer(false);
}

TEST(ConvergedLine, GivesBothCurrentsOfTheCurrentLine) {
  want_converged_answer(true);
  read_and_set_up(linear_strip());
  find_converged_answer();
  want_converged_answer(false);
  const std::string line = exact_convergence_line({}, converged_answer());
  // Every free cell at 0 V, the converged potential 8 V in column 10; the
  // converged current is -THICK x 4 cells x (1 V x 1 S).
  EXPECT_EQ(line,
            "convergence: no sweep made; distance from the converged potential 8.00 V (89 % of the range) at cell (10, "
            "2); current 0.000E+00 A after the sweeps, -4.000E-03 A converged; the sweeps still needed for 1 mV cannot "
            "be estimated from the changes");
}

// The converged tables are those of the run's network wherever they are
// made: beside the run by the solve started before the sweeps, or after the
// sweeps when that solve answered for another network or made no tables.
// Cells A = (3, 3) and B = (4, 3) of the potential table (lines 46 and 52).
TEST(ConvergedTables, AreThoseOfTheRunsNetworkWhereverTheyAreMade) {
  static std::string volts;
  const ConvergedTablesListener keep = [](const std::string& v, const std::string&, const std::string& failure) {
    volts = failure.empty() ? v : "failure: " + failure;
  };
  struct Case {
    const char* what;
    bool started, listener_before_start;
    void (*change)();
    const char *a, *b;
  };
  const Case cases[] = {
      {"made beside the run", true, true, [] {}, " 0.1333E+01", " 0.1333E+01"},
      // 4A = 8 + B and 4B = A + 4: A = 2.4, B = 1.6.
      {"a fixed potential changed after the start", true, true, [] { grid().V[2][3] = 8.0f; }, " 0.2400E+01",
       " 0.1600E+01"},
      {"taken only after the start", true, false, [] {}, " 0.1333E+01", " 0.1333E+01"},
      {"no solve started", false, true, [] {}, " 0.1333E+01", " 0.1333E+01"},
  };
  want_converged_answer(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    volts.clear();
    read_and_set_up(kTwoCells);
    set_converged_tables_listener(c.listener_before_start ? keep : nullptr);
    if (c.started) start_converged_answer();
    set_converged_tables_listener(keep);
    c.change();
    find_converged_answer();
    deliver_converged_tables();
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = volts.find("\r\n", at)) != std::string::npos; at = end + 2)
      lines.push_back(volts.substr(at, end - at));
    ASSERT_EQ(lines.size(), 31u + 6u * 6u) << volts;
    EXPECT_EQ(lines[9], "CM The converged potential: the network solved directly.");
    EXPECT_EQ(lines[46].substr(11), c.a);
    EXPECT_EQ(lines[52].substr(11), c.b);
  }
  set_converged_tables_listener(nullptr);
  want_converged_answer(false);
}

TEST(SweepsNeeded, CountsTheFirstSweepWithinTheToleranceAndRestoresThePotentials) {
  // Two cells: 4 mV (0.1 % of 4 V) is reached at the third sweep (1.3 mV).
  read_and_set_up(kTwoCells);
  SweepsNeeded n = count_sweeps_needed();
  EXPECT_EQ(n.kind, SweepsNeeded::Kind::counted);
  EXPECT_EQ(n.sweeps, 3);
  EXPECT_DOUBLE_EQ(n.tolerance, 0.004);
  EXPECT_EQ(grid().V[3][3], 0.0f);
  EXPECT_EQ(grid().V[4][3], 0.0f);
  EXPECT_EQ(sweeps_needed_line(n),
            "Sweeps: 3 sweeps bring this deck's potential within 4 mV (0.1 % of its range of 4 V) of the converged one "
            "(counted by sweeping against the network solved directly); NSTEP is 0.");

  // The strip, whose converged potential is I - 2: the count is the first
  // sweep that brings every cell within 9 mV of it.
  read_and_set_up(linear_strip());
  int expected = 0;
  for (bool within = false; !within; ++expected) {
    within = true;
    for (int I = 3; I <= 10; ++I)
      for (int J = 2; J <= 5; ++J) within = within && std::fabs(grid().V[I][J] - (I - 2.0)) <= 0.009;
    if (!within) SWEEP();
  }
  --expected;
  ASSERT_GT(expected, 16);  // more than one stretch between looks at the distance
  read_and_set_up(linear_strip());
  n = count_sweeps_needed();
  EXPECT_EQ(n.kind, SweepsNeeded::Kind::counted);
  EXPECT_EQ(n.sweeps, expected);

  // Too few cell updates allowed: more than the sweeps made.
  read_and_set_up(linear_strip());
  n = count_sweeps_needed(16 * 40);
  EXPECT_EQ(n.kind, SweepsNeeded::Kind::more_than);
  EXPECT_EQ(n.sweeps, 16);
}

TEST(SweepsNeeded, FallsBackToTheEstimateWhereNothingCanBeCounted) {
  read_and_set_up(kIsland);
  const SweepsNeeded n = count_sweeps_needed();
  EXPECT_EQ(n.kind, SweepsNeeded::Kind::not_solved);
  const std::string line = sweeps_needed_line(n);
  const std::string head =
      "Sweeps: not counted, the direct solve of the network was refused (the conductances span too many decades";
  EXPECT_EQ(line.substr(0, head.size()), head);
  EXPECT_NE(line.find("; from the grid size alone an estimated "), std::string::npos) << line;
}
