// The relaxation arithmetic: link conductances, the weighted mean a sweep
// gives each free cell, convergence to the known linear solution, and the
// fast kernel's bit-for-bit agreement with the plain in-order loop.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "solver/grid.h"
#include "solver/solver_fixture.h"
#include "solver/sweep.h"

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

// Runs `sweeps` sweeps with both kernels from the grid's present state,
// comparing every bit of the potentials after each sweep.
void expect_kernels_agree(int sweeps, const std::string& what) {
  SET_CONDUCTANCES();
  for (int n = 1; n <= sweeps; ++n) {
    const std::vector<float> before = potentials();
    sweep_plain();
    const std::vector<float> plain = potentials();
    set_potentials(before);
    SWEEP();
    const std::vector<float> fast = potentials();
    ASSERT_EQ(std::memcmp(plain.data(), fast.data(), plain.size() * sizeof(float)), 0)
        << what << ": the kernels differ after sweep " << n;
  }
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
  for (int n = 0; n < 2; ++n)
    for (int I = 2; I <= 8; ++I)
      for (int J = 2; J <= 6; ++J) update_cell(I, J);
  EXPECT_EQ(potentials(), plain);
}

TEST(FastKernel, BitForBitTheSameAsThePlainLoopOnDecks) {
  // Full capacity: electrodes of several shapes, an insulating slot, resistive boxes.
  auto c = read_deck_text(
      lines({"SPACE 250 110", "LI   20 10 20 100 10.0", "CIRCLE 180 55 12 -4.0", "ELLIPSE 120 30 25 8 2.5",
             "CE   249 60 1.0", "RESIS_B   2 2 249 109 50.0", "RESIS_B   100 40 160 90 5000.0", "INSUL 60 20 60 90",
             "INSUL 61 20 140 20", "RESIS_L     70 70 110 100 1.0E-3", kThick}));
  ASSERT_FALSE(c.ended) << c.pages;
  expect_kernels_agree(12, "full deck");

  // A narrow band at the right (248 columns: bands of 8 leave none; 247 leave 7).
  c = read_deck_text(lines({"SPACE 249 37", "RESIS_B   2 2 248 36 3.0", "CSHELL 100 18 9 1.0", "LI   3 2 200 36 -2.0",
                            "INSUL 50 3 50 35", kThick}));
  ASSERT_FALSE(c.ended) << c.pages;
  expect_kernels_agree(8, "249 x 37");

  // Grids too small for a full band, and one band exactly.
  for (const auto& [nx, ny] : std::vector<std::pair<int, int>>{{4, 4}, {5, 110}, {250, 4}, {10, 10}, {11, 9}}) {
    c = read_deck_text(
        lines({"SPACE " + std::to_string(nx) + " " + std::to_string(ny),
               "RESIS_B   2 2 " + std::to_string(nx - 1) + " " + std::to_string(ny - 1) + " 7.0", "CE   1 2 5.0",
               "CE   " + std::to_string(nx) + " " + std::to_string(ny - 1) + " -3.0", kThick}));
    ASSERT_FALSE(c.ended) << c.pages;
    expect_kernels_agree(6, std::to_string(nx) + " x " + std::to_string(ny));
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
    expect_kernels_agree(5, "random sheet " + std::to_string(nx) + " x " + std::to_string(ny));
  }
}
