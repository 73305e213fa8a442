// The relaxation arithmetic: link conductances, the weighted mean a sweep
// gives each free cell, convergence to the known linear solution, every
// kernel's bit-for-bit agreement with the plain in-order loop (sweep by
// sweep and pipelined on several threads), and how a kernel is chosen.
#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <vector>

#include "solver/grid.h"
#include "solver/solver_fixture.h"
#include "solver/sweep.h"
#include "solver/sweep_kernels.h"
#include "solver/sweep_pipeline.h"

using namespace kesto;
using namespace kesto::solver;
using namespace kesto::testing;

namespace {

const std::string kThick = "THICK     0.001";

// A grid with its edge ring fixed and grounded and every interior cell free
// with resistivity `rho`.
void ringed_grid(int nx, int ny, float rho) {
  grid() = Grid{};
  Grid& g = grid();
  g.NX = nx;
  g.NY = ny;
  for (int I = 1; I <= nx; ++I)
    for (int J = 1; J <= ny; ++J) {
      const bool edge = I == 1 || I == nx || J == 1 || J == ny;
      g.FIXED[I][J] = edge ? 1 : 0;
      g.RHO[I][J] = edge ? 0.0f : rho;
    }
}

void fix(int I, int J, float v) {
  grid().FIXED[I][J] = 1;
  grid().V[I][J] = v;
}

std::vector<float> potentials() {
  return std::vector<float>(&grid().V[0][0], &grid().V[0][0] + sizeof grid().V / sizeof(float));
}

void set_potentials(const std::vector<float>& v) { std::memcpy(&grid().V[0][0], v.data(), v.size() * sizeof(float)); }

// The largest |after - before| of any cell.
float largest_change(const std::vector<float>& before, const std::vector<float>& after) {
  float largest = 0.0f;
  for (std::size_t k = 0; k < before.size(); ++k) largest = std::max(largest, std::fabs(after[k] - before[k]));
  return largest;
}

// From the grid's present state, `sweeps` sweeps with the plain loop and
// then with every kernel this processor runs, forced one by one, once
// without and once with the measure of each sweep's largest change; every
// bit of the potentials must agree, and every measured change must be the
// largest change between the plain loop's potentials. The kernels sweep as
// a run does, holding their potentials from sweep to sweep, and are compared
// after the first sweep (which they then take up again from the grid) and
// after the last.
void expect_kernels_agree(int sweeps, const std::string& what) {
  SET_CONDUCTANCES();
  const std::vector<float> start = potentials();
  std::vector<std::vector<float>> plain;
  std::vector<float> changes;
  for (int n = 1; n <= sweeps; ++n) {
    sweep_plain();
    plain.push_back(potentials());
    changes.push_back(largest_change(n == 1 ? start : plain[n - 2], plain[n - 1]));
  }
  for (const SweepKernel kernel : runnable_sweep_kernels())
    for (const bool measure : {false, true}) {
      set_potentials(start);
      use_sweep_kernel(kernel);
      for (int n = 1; n <= sweeps; ++n) {
        if (measure)
          ASSERT_EQ(sweep_held_change(), changes[n - 1])
              << what << ": kernel " << sweep_kernel_name(kernel) << ", the change of sweep " << n;
        else
          sweep_held();
        if (n != 1 && n != sweeps) continue;
        sync_potentials();
        ASSERT_EQ(std::memcmp(plain[n - 1].data(), potentials().data(), start.size() * sizeof(float)), 0)
            << what << ": kernel " << sweep_kernel_name(kernel) << (measure ? " measuring" : "")
            << " differs from the plain loop after sweep " << n;
      }
    }
  use_sweep_kernel(fastest_sweep_kernel());
}

// The run's sweeps pipelined, in every kernel and on 1 to 4 threads (more
// than this machine's cores): a batch of one sweep, then one of the other
// `sweeps` - 1, measuring the change of two sweeps in three. The potentials
// after each batch are the plain loop's bit for bit, each measured change is
// the plain sweep's, and an unmeasured sweep leaves its change alone.
void expect_pipeline_agrees(int sweeps, const std::string& what) {
  SET_CONDUCTANCES();
  const std::vector<float> start = potentials();
  std::vector<float> first, changes;
  std::vector<float> before = start;
  for (int n = 1; n <= sweeps; ++n) {
    sweep_plain();
    changes.push_back(largest_change(before, potentials()));
    before = potentials();
    if (n == 1) first = before;
  }
  const std::vector<float> last = before;
  const auto never = std::chrono::steady_clock::time_point::max();
  for (const SweepKernel kernel : runnable_sweep_kernels())
    for (const int threads : {1, 2, 3, 4}) {
      SCOPED_TRACE(what + ": kernel " + sweep_kernel_name(kernel) + ", threads " + std::to_string(threads));
      set_potentials(start);
      use_sweep_kernel(kernel);
      use_sweep_threads(threads);
      bool measure[64];
      float change[64];
      for (int i = 0; i < sweeps; ++i) measure[i] = i % 3 != 1, change[i] = -1.0f;
      ASSERT_EQ(sweep_held_until(1, measure, change, never), 1);
      sync_potentials();
      ASSERT_EQ(std::memcmp(first.data(), potentials().data(), start.size() * sizeof(float)), 0) << "after sweep 1";
      ASSERT_EQ(sweep_held_until(sweeps - 1, measure + 1, change + 1, never), sweeps - 1);
      sync_potentials();
      ASSERT_EQ(std::memcmp(last.data(), potentials().data(), start.size() * sizeof(float)), 0) << "at the end";
      for (int i = 0; i < sweeps; ++i) ASSERT_EQ(change[i], measure[i] ? changes[i] : -1.0f) << "sweep " << i + 1;
    }
  use_sweep_kernel(fastest_sweep_kernel());
  use_sweep_threads(0);
}

// A deck of an nx x ny sheet: a resistive interior, one cell at 5 V on the
// left edge, one at -3 V on the right edge, and `extra` commands.
std::string edge_deck(int nx, int ny, const std::vector<std::string>& extra = {}) {
  const std::string n = std::to_string(nx), m = std::to_string(ny);
  std::string deck =
      lines({"SPACE " + n + " " + m, "RESIS_B   2 2 " + std::to_string(nx - 1) + " " + std::to_string(ny - 1) + " 7.0",
             "CE   1 2 5.0", "CE   " + n + " " + std::to_string(ny - 1) + " -3.0", kThick});
  for (const auto& e : extra) deck += e + "\n";
  return deck;
}

}  // namespace

TEST(Conductances, LinksAreTwoHalfCellsInSeries) {
  ringed_grid(5, 4, 100.0f);
  grid().RHO[3][2] = 300.0f;
  grid().RHO[2][3] = 1.0E6f;
  SET_CONDUCTANCES();
  const Grid& g = grid();
  EXPECT_FLOAT_EQ(g.GX[2][2], 2.0f / 400.0f);  // 100 next to 300
  EXPECT_FLOAT_EQ(g.GX[1][2], 0.02f);          // to the edge ring: the interior half cell alone
  EXPECT_FLOAT_EQ(g.GY[2][1], 0.02f);
  EXPECT_FLOAT_EQ(g.GY[2][2], 2.0f / 1000100.0f);  // 100 below an insulator
  EXPECT_FLOAT_EQ(g.SINV[2][2], 1.0f / (0.02f + 0.005f + 0.02f + 2.0f / 1000100.0f));
  EXPECT_FLOAT_EQ(g.SINV[3][2], 1.0f / (0.005f + 2.0f / 400.0f + 2.0f / 300.0f + 2.0f / 400.0f));
}

TEST(Sweep, FreeCellAmongOneVoltNeighboursReachesOneVoltInOneSweep) {
  ringed_grid(5, 5, 100.0f);
  fix(2, 3, 1.0f), fix(4, 3, 1.0f), fix(3, 2, 1.0f), fix(3, 4, 1.0f);
  SET_CONDUCTANCES();
  SWEEP();
  EXPECT_FLOAT_EQ(grid().V[3][3], 1.0f);
  EXPECT_EQ(grid().V[2][3], 1.0f);  // fixed cells keep their value
}

// The measured change of a sweep, in every kernel: nothing moves where every
// cell is fixed, and a single free cell moves from 0 V to its neighbours' 1 V.
TEST(Sweep, LargestChangeOfTheSweepInEveryKernel) {
  for (const bool all_fixed : {true, false}) {
    for (const SweepKernel kernel : runnable_sweep_kernels()) {
      SCOPED_TRACE(std::string(sweep_kernel_name(kernel)) + (all_fixed ? ", all fixed" : ", one free cell"));
      ringed_grid(5, 5, 100.0f);
      fix(2, 3, 1.0f), fix(4, 3, 1.0f), fix(3, 2, 1.0f), fix(3, 4, 1.0f);
      fix(2, 2, -7.0f), fix(4, 4, 3.0f), fix(2, 4, 0.5f), fix(4, 2, 0.0f);
      if (all_fixed) fix(3, 3, 9.0f);
      SET_CONDUCTANCES();
      use_sweep_kernel(kernel);
      const float change = sweep_held_change();
      EXPECT_EQ(sweep_held_change(), 0.0f);  // and the next sweep moves nothing
      sync_potentials();
      EXPECT_FLOAT_EQ(grid().V[3][3], all_fixed ? 9.0f : 1.0f);
      EXPECT_EQ(change, all_fixed ? 0.0f : grid().V[3][3]);
    }
  }
  use_sweep_kernel(fastest_sweep_kernel());
}

TEST(Sweep, InsulatingCellTakesTheWeightedMeanOfItsNeighbours) {
  ringed_grid(5, 5, 100.0f);
  Grid& g = grid();
  g.RHO[3][3] = 1.0E6f;  // free insulator in the middle
  fix(2, 3, 10.0f), fix(4, 3, 0.0f), fix(3, 2, 4.0f), fix(3, 4, -2.0f);
  g.RHO[4][3] = 1.0E6f;
  g.RHO[3][4] = 10.0f;
  SET_CONDUCTANCES();
  SWEEP();
  const double gl = 2.0 / (1e6 + 100), gr = 2.0 / 2e6, gd = 2.0 / (1e6 + 100), gu = 2.0 / (1e6 + 10);
  const double expected = (gl * 10 + gr * 0 + gd * 4 + gu * -2) / (gl + gr + gd + gu);
  EXPECT_NEAR(g.V[3][3], expected, 1e-5);
  // Not the plain mean (3.0): the link to the insulating right neighbour carries half the weight.
  EXPECT_GT(g.V[3][3], 3.4f);
}

TEST(Sweep, UniformStripBetweenTwoElectrodesBecomesLinear) {
  // Rows 3..5 conduct, the rows beside them insulate (so little current
  // leaks to the grounded edge); 0 V at column 2, 10 V at column 21.
  const auto c = read_deck_text(lines(
      {"SPACE 22 7", "RESIS_B   2 3 21 5 0.01", "LI   2 3 2 5 0.0", "LI   21 3 21 5 10.0", "NSTEP 3000", kThick}));
  ASSERT_FALSE(c.ended) << c.pages;
  SET_CONDUCTANCES();
  for (int n = 0; n < grid().NSTEP; ++n) SWEEP();
  for (int I = 2; I <= 21; ++I)
    for (int J = 3; J <= 5; ++J) EXPECT_NEAR(grid().V[I][J], 10.0 * (I - 2) / 19.0, 1e-3) << I << "," << J;
}

TEST(Sweep, CellByCellUpdatesInOrderMakeOneSweep) {
  ringed_grid(9, 7, 100.0f);
  fix(5, 4, 3.0f);
  fix(8, 6, -1.0f);
  SET_CONDUCTANCES();
  const std::vector<float> start = potentials();
  sweep_plain();
  sweep_plain();
  const std::vector<float> plain = potentials();
  set_potentials(start);
  std::vector<float> before = start;
  for (int n = 0; n < 2; ++n) {
    float largest = 0.0f;
    for (int I = 2; I <= 8; ++I)
      for (int J = 2; J <= 6; ++J) largest = std::max(largest, update_cell(I, J));
    EXPECT_EQ(largest, largest_change(before, potentials())) << "sweep " << n + 1;
    before = potentials();
  }
  EXPECT_EQ(potentials(), plain);
}

TEST(FastKernel, BitForBitTheSameAsThePlainLoopOnDecks) {
  struct Case {
    const char* what;
    std::string deck;
    int sweeps;
  };
  const std::vector<Case> cases = {
      // Full capacity: electrodes of several shapes, an insulating slot, resistive boxes.
      {"full deck",
       lines({"SPACE 250 110", "LI   20 10 20 100 10.0", "CIRCLE 180 55 12 -4.0", "ELLIPSE 120 30 25 8 2.5",
              "CE   249 60 1.0", "RESIS_B   2 2 249 109 50.0", "RESIS_B   100 40 160 90 5000.0", "INSUL 60 20 60 90",
              "INSUL 61 20 140 20", "RESIS_L     70 70 110 100 1.0E-3", kThick}),
       12},
      // 247 interior columns: every vector width leaves a partial band at the right.
      {"249 x 37",
       lines({"SPACE 249 37", "RESIS_B   2 2 248 36 3.0", "CSHELL 100 18 9 1.0", "LI   3 2 200 36 -2.0",
              "INSUL 50 3 50 35", kThick}),
       8},
      // Too few rows or columns for a band ever to fill, and one band exactly.
      {"4 x 4", edge_deck(4, 4), 6},
      {"5 x 110", edge_deck(5, 110), 6},
      {"250 x 4", edge_deck(250, 4), 6},
      {"250 x 5", edge_deck(250, 5), 6},
      {"10 x 10", edge_deck(10, 10), 6},
      {"11 x 9", edge_deck(11, 9), 6},
      {"18 x 6", edge_deck(18, 6), 6},
      // Whole columns fixed, edge to edge, at the first and last lanes of vectors.
      {"fixed columns", edge_deck(60, 30, {"LI   17 1 17 30 2.0", "LI   18 1 18 30 -1.0", "LI   33 1 33 30 4.0"}), 6},
      // Conductances twenty and more orders of magnitude apart, with insulators.
      {"extreme ratios",
       edge_deck(70, 40,
                 {"RESIS_B   10 5 30 35 1.0E-20", "RESIS_B   31 5 50 35 1.0E20", "INSUL 40 2 40 39",
                  "RESIS_L     2 20 69 20 1.0E-20", "CE   20 20 1.0E10"}),
       6},
  };
  for (const Case& c : cases) {
    const auto read = read_deck_text(c.deck);
    ASSERT_FALSE(read.ended) << c.what << "\n" << read.pages;
    expect_kernels_agree(c.sweeps, c.what);
    // 34 sweeps after the first: eight blocks and one of two sweeps, over
    // threads that get unequal shares.
    ASSERT_FALSE(read_deck_text(c.deck).ended);
    expect_pipeline_agrees(35, c.what);
  }
}

TEST(FastKernel, BitForBitTheSameOnRandomSheets) {
  std::mt19937 random(2024);
  const float rhos[] = {1.0E6f, 100.0f, 0.5f, 3.3e4f, 1.0e-3f, 7.0f};
  for (int trial = 0; trial < 12; ++trial) {
    const int nx = 4 + static_cast<int>(random() % 247);
    const int ny = 4 + static_cast<int>(random() % 107);
    ringed_grid(nx, ny, 1.0f);
    Grid& g = grid();
    std::uniform_real_distribution<float> volts(-50.0f, 50.0f);
    for (int I = 1; I <= nx; ++I)
      for (int J = 1; J <= ny; ++J) {
        if (I > 1 && I < nx && J > 1 && J < ny) g.RHO[I][J] = rhos[random() % 6];
        if (random() % 7 == 0) fix(I, J, volts(random));
        if (I == 1 || I == nx || J == 1 || J == ny) g.V[I][J] = volts(random);
      }
    const std::vector<float> start = potentials();
    expect_kernels_agree(5, "random sheet " + std::to_string(nx) + " x " + std::to_string(ny));
    set_potentials(start);
    expect_pipeline_agrees(18, "random sheet " + std::to_string(nx) + " x " + std::to_string(ny));
  }
}

TEST(SweepKernels, PlainAndScalarRunEverywhereTheVectorKernelsOnX86) {
  const std::vector<SweepKernel> kernels = runnable_sweep_kernels();
  ASSERT_GE(kernels.size(), 2u);
  EXPECT_EQ(kernels[0], SweepKernel::plain);
  EXPECT_EQ(kernels[1], SweepKernel::scalar);
#if defined(__x86_64__)
  ASSERT_GE(kernels.size(), 3u);
  EXPECT_EQ(kernels[2], SweepKernel::sse2);
#else
  EXPECT_EQ(kernels.size(), 2u);
#endif
  EXPECT_EQ(fastest_sweep_kernel(), kernels.back());
  EXPECT_EQ(sweep_kernel(), kernels.back()) << "the fastest is used unless another is chosen";
}

TEST(SweepKernels, VectorKernelsFollowTheProcessorsFlags) {
#if defined(__x86_64__) && defined(__linux__)
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line) && line.rfind("flags", 0) != 0) {
  }
  if (line.empty()) GTEST_SKIP() << "no processor flags to compare with";
  line += ' ';
  const std::vector<SweepKernel> runnable = runnable_sweep_kernels();
  for (const auto& [flag, kernel] :
       {std::pair{" avx2 ", SweepKernel::avx2}, std::pair{" avx512f ", SweepKernel::avx512}})
    EXPECT_EQ(line.find(flag) != std::string::npos,
              std::find(runnable.begin(), runnable.end(), kernel) != runnable.end())
        << flag;
#else
  GTEST_SKIP() << "vector kernels exist on x86-64 only";
#endif
}

TEST(SweepKernels, ChosenByNameOnlyWhenThisProcessorRunsThem) {
  const std::vector<std::pair<const char*, SweepKernel>> names = {{"plain", SweepKernel::plain},
                                                                  {"scalar", SweepKernel::scalar},
                                                                  {"sse2", SweepKernel::sse2},
                                                                  {"avx2", SweepKernel::avx2},
                                                                  {"avx512", SweepKernel::avx512}};
  const std::vector<SweepKernel> runnable = runnable_sweep_kernels();
  for (const auto& [name, kernel] : names) {
    EXPECT_STREQ(sweep_kernel_name(kernel), name);
    const bool runs = std::find(runnable.begin(), runnable.end(), kernel) != runnable.end();
    SweepKernel found = SweepKernel::plain;
    EXPECT_EQ(runnable_sweep_kernel(name, found), runs) << name;
    if (runs) {
      EXPECT_EQ(found, kernel) << name;
    }
  }
  SweepKernel found = SweepKernel::scalar;
  for (const char* bad : {"", "AVX2", "avx", "avx5120", "fast"}) EXPECT_FALSE(runnable_sweep_kernel(bad, found)) << bad;
  EXPECT_EQ(found, SweepKernel::scalar);
}

TEST(SweepKernels, HeldPotentialsReachTheGridOnlyWhenSynced) {
  ringed_grid(40, 20, 10.0f);
  fix(1, 10, 8.0f);
  SET_CONDUCTANCES();
  const std::vector<float> start = potentials();
  sweep_plain();
  sweep_plain();
  const std::vector<float> two = potentials();
  for (const SweepKernel kernel : runnable_sweep_kernels()) {
    SCOPED_TRACE(sweep_kernel_name(kernel));
    set_potentials(start);
    use_sweep_kernel(kernel);
    sweep_held();
    sweep_held();
    if (kernel != SweepKernel::plain && kernel != SweepKernel::scalar) {
      EXPECT_EQ(potentials(), start);
    }
    sync_potentials();
    EXPECT_EQ(potentials(), two);
    // Once synced, the next sweep starts again from the grid.
    set_potentials(start);
    SWEEP();
    SWEEP();
    EXPECT_EQ(potentials(), two);
  }
  // A kernel that sweeps the grid itself first takes over what another held.
  set_potentials(start);
  use_sweep_kernel(fastest_sweep_kernel());
  sweep_held();
  use_sweep_kernel(SweepKernel::plain);
  sweep_held();
  EXPECT_EQ(potentials(), two);
  use_sweep_kernel(fastest_sweep_kernel());
}

// A batch whose deadline has passed still makes its first block of sweeps
// (or fewer, if fewer are asked for), in every kernel and on any number of
// threads, and no more: the potentials are those of exactly that many.
TEST(SweepPipeline, PassedDeadlineStopsAfterTheFirstBlock) {
  struct Case {
    int count, made;
  };
  const std::vector<Case> cases = {{1, 1}, {3, 3}, {4, 4}, {9, 4}, {40, 4}};
  ringed_grid(31, 17, 5.0f);
  fix(1, 9, 6.0f);
  fix(20, 8, -2.0f);
  SET_CONDUCTANCES();
  const std::vector<float> start = potentials();
  std::vector<std::vector<float>> plain;
  for (int n = 1; n <= 5; ++n) {
    sweep_plain();
    plain.push_back(potentials());
  }
  bool measure[40] = {};
  float change[40];
  const auto passed = std::chrono::steady_clock::now() - std::chrono::seconds(1);
  for (const SweepKernel kernel : runnable_sweep_kernels())
    for (const int threads : {1, 2, 4})
      for (const Case& c : cases) {
        SCOPED_TRACE(std::string(sweep_kernel_name(kernel)) + ", threads " + std::to_string(threads) + ", count " +
                     std::to_string(c.count));
        set_potentials(start);
        use_sweep_kernel(kernel);
        use_sweep_threads(threads);
        ASSERT_EQ(sweep_held_until(c.count, measure, change, passed), c.made);
        sync_potentials();
        EXPECT_EQ(potentials(), plain[c.made - 1]);
      }
  use_sweep_kernel(fastest_sweep_kernel());
  use_sweep_threads(0);
}

// The threads: one per core the process may run on unless chosen (a choice
// below 1 goes back to that), at most 256.
TEST(SweepPipeline, ThreadsFollowTheAffinityUnlessChosen) {
  cpu_set_t all, one;
  ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
  CPU_ZERO(&one);
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
    if (CPU_ISSET(cpu, &all)) {
      CPU_SET(cpu, &one);
      break;
    }
  use_sweep_threads(0);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  EXPECT_EQ(available_cores(), 1);
  EXPECT_EQ(sweep_threads(), 1);
  ASSERT_EQ(sched_setaffinity(0, sizeof all, &all), 0);
  EXPECT_EQ(sweep_threads(), CPU_COUNT(&all));
  const int cores = CPU_COUNT(&all);
  for (const auto& [chosen, used] : {std::pair{3, 3}, std::pair{1, 1}, std::pair{1000, 256}, std::pair{0, cores},
                                     std::pair{-5, cores}}) {
    use_sweep_threads(chosen);
    EXPECT_EQ(sweep_threads(), used) << chosen;
  }
}
