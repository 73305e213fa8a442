// Numbers kept within single precision before and after the sweeps: every
// link conductance a free cell's update uses, the bound on the sweeps'
// weighted sums, and the potentials after the last sweep.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "solver/grid.h"
#include "solver/range_checks.h"
#include "solver/solver_fixture.h"
#include "solver/sweep.h"

using namespace kesto;
using namespace kesto::solver;
using namespace kesto::testing;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::nanf("");

// A 7 x 7 sheet of 1 ohm-metre, the edge grounded, an electrode at (4, 4):
// links between interior cells conduct 1, links to the edge 2.
void unit_sheet(float volts) {
  fresh_run_state();
  Grid& g = grid();
  g.NX = 7;
  g.NY = 7;
  for (int I = 1; I <= 7; ++I)
    for (int J = 1; J <= 7; ++J) {
      const bool edge = I == 1 || I == 7 || J == 1 || J == 7;
      g.FIXED[I][J] = edge ? 1 : 0;
      g.RHO[I][J] = edge ? 0.0f : 1.0f;
    }
  g.FIXED[4][4] = 1;
  g.V[4][4] = volts;
  SET_CONDUCTANCES();
}

}  // namespace

TEST(ConductanceCheck, EachLinkAFreeCellUsesMustBeFinitePositive) {
  using Array = float(Grid::*)[sheet::MAXNX + 1][sheet::MAXNY + 1];
  const struct {
    const char* what;
    Array array;
    int i, j;
    float value;
    int cell_i, cell_j;  // the cell named on the page; 0: no page
  } cases[] = {
      {"left link of (2,3)", &Grid::GX, 1, 3, kInf, 2, 3},
      {"right link of (3,3)", &Grid::GX, 3, 3, 0.0f, 3, 3},
      {"link below (3,2)", &Grid::GY, 3, 1, 0.0f, 3, 2},
      {"link above (5,2)", &Grid::GY, 5, 2, kNaN, 5, 2},
      {"negative link right of (5,5)", &Grid::GX, 5, 5, -1.0f, 5, 5},
      {"SINV of (6,6)", &Grid::SINV, 6, 6, 0.0f, 6, 6},
      {"SINV of the electrode", &Grid::SINV, 4, 4, 0.0f, 0, 0},
      {"link between two edge cells", &Grid::GX, 1, 1, kInf, 0, 0},
  };
  for (const auto& c : cases) {
    unit_sheet(1.0f);
    (grid().*c.array)[c.i][c.j] = c.value;
    const Captured run = run_captured(check_conductances);
    if (c.cell_i == 0) {
      EXPECT_FALSE(run.ended) << c.what << "\n" << run.pages;
      continue;
    }
    EXPECT_EQ(run.how, common::RunEnded::Kind::fatal) << c.what;
    const std::string cell = " I=           " + std::to_string(c.cell_i) + " J=           " + std::to_string(c.cell_j);
    EXPECT_NE(run.pages.find("\n\nFatal error: a resistivity makes a link conductance infinite or zero\n\n" + cell +
                             " RHO=  0.1000000E+01\n\nUse resistivities from 1.0E-37 to 1.0E+37 ohm-metres "
                             "(RESIS_L, RESIS_B).\n\nPress any key to continue...\n"),
              std::string::npos)
        << c.what << "\n"
        << run.pages;
  }
}

TEST(ConductanceCheck, LargestPotentialTimesACellsConductancesStaysBelowHalfTheRange) {
  // Cell (2, 2) has the largest sum of conductances, 2 + 1 + 2 + 1 = 6;
  // half the range is 1.7014117E38, so the limit lies at 2.8356862E37 volts.
  const struct {
    float volts;
    bool passes;
  } cases[] = {{2.83E37f, true}, {2.84E37f, false}, {-2.84E37f, false}};
  for (const auto& c : cases) {
    unit_sheet(c.volts);
    const Captured run = run_captured(check_conductances);
    EXPECT_EQ(run.ended, !c.passes) << c.volts;
    if (c.passes) continue;
    EXPECT_NE(run.pages.find("Fatal error: the potentials are too large for the link conductances\n\n"
                             " I=           2 J=           2 RHO=  0.1000000E+01\n\n"
                             "Lower the potentials or raise the resistivities (RESIS_L, RESIS_B).\n"),
              std::string::npos)
        << c.volts << "\n"
        << run.pages;
  }
}

TEST(PotentialCheck, EveryCellMustHoldAFinitePotential) {
  const struct {
    int i, j;
    float value;
  } cases[] = {{3, 4, kNaN}, {1, 1, kInf}, {7, 7, -kInf}};
  for (const auto& c : cases) {
    unit_sheet(1.0f);
    grid().V[c.i][c.j] = c.value;
    const Captured run = run_captured(check_potentials);
    EXPECT_EQ(run.how, common::RunEnded::Kind::fatal) << c.i << "," << c.j;
    EXPECT_NE(run.pages.find("Fatal error: the relaxation gave a potential that is not finite\n\n I=           " +
                             std::to_string(c.i) + " J=           " + std::to_string(c.j) +
                             "\n\nLower the potentials or raise the resistivities (RESIS_L, RESIS_B).\n"),
              std::string::npos)
        << run.pages;
  }
  unit_sheet(-3.0E38f);
  EXPECT_FALSE(run_captured(check_potentials).ended);
}

TEST(LargestPotential, EveryCellOfTheGridCountsByItsMagnitude) {
  // On the 7 x 7 sheet with 1 V at (4, 4), one more cell set: the edge ring
  // counts, a NaN is passed over, cells beyond NX x NY do not count.
  const struct {
    int i, j;
    float value;
    float largest;
  } cases[] = {{1, 1, -5.0f, 5.0f}, {7, 7, 2.5f, 2.5f}, {3, 5, kNaN, 1.0f}, {8, 3, 9.0f, 1.0f}, {3, 8, -9.0f, 1.0f}};
  for (const auto& c : cases) {
    unit_sheet(1.0f);
    grid().V[c.i][c.j] = c.value;
    EXPECT_EQ(largest_potential(), c.largest) << c.i << "," << c.j;
  }
}
