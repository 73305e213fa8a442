// The current through the current line and the field magnitude: the worked
// cases with known answers, the line's clamping, and the edge-cell failure.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/fortran_format.h"
#include "solver/field_current.h"
#include "solver/grid.h"
#include "solver/solver_fixture.h"
#include "solver/sweep.h"

using namespace kesto;
using namespace kesto::solver;
using namespace kesto::testing;

namespace {

// A sheet of nx x ny cells of resistivity rho with the edge ring fixed and
// every cell at the potential volts(I, J) (free cells included).
template <typename F>
void make_sheet(int nx, int ny, float rho, F volts) {
  fresh_run_state();
  Grid& g = grid();
  g.NX = nx;
  g.NY = ny;
  g.THICK = 0.001f;
  for (int I = 1; I <= nx; ++I)
    for (int J = 1; J <= ny; ++J) {
      const bool edge = I == 1 || I == nx || J == 1 || J == ny;
      g.FIXED[I][J] = edge ? 1 : 0;
      g.RHO[I][J] = edge ? 0.0f : rho;
      g.V[I][J] = volts(I, J);
    }
  SET_CONDUCTANCES();
}

void current_line(int ics, int jcs, int ice, int jce) {
  Grid& g = grid();
  g.CURRENT_SET = 1;
  g.ICS = ics, g.JCS = jcs, g.ICE = ice, g.JCE = jce;
}

// The number shown on the current page.
double shown_current(const Captured& c) {
  const auto at = c.pages.find("The current flow is ");
  EXPECT_NE(at, std::string::npos) << c.pages;
  if (at == std::string::npos) return 0.0;
  const std::string line = c.pages.substr(at, c.pages.find('\n', at) - at);
  EXPECT_EQ(line.size(), 41u) << line;
  EXPECT_EQ(line.substr(35), " amps.");
  return std::strtod(line.substr(20, 15).c_str(), nullptr);
}

}  // namespace

TEST(Current, VerticalLineOfTenCellsInAFallingPotential) {
  // 100 ohm-metres, 1 mm thick, 1 V less per cell towards larger I: each cell
  // of the line passes 0.001 x (2 / 200) x 1 = 1.0E-5 A towards larger I.
  make_sheet(20, 20, 100.0f, [](int I, int) { return 40.0f - static_cast<float>(I); });
  current_line(10, 3, 10, 12);
  const auto c = run_captured(FIND_CURRENT);
  EXPECT_FALSE(c.ended);
  EXPECT_NEAR(grid().CURRENT_AMPS, 1.0E-4, 1.0E-9);
  EXPECT_NEAR(shown_current(c), 1.0E-4, 1.0E-10);
  EXPECT_NE(c.pages.find("\n\n\n\nThe current flow is "), std::string::npos);  // on a notice page
}

TEST(Current, HorizontalLineAndTheSignOfTheFlow) {
  // Potential rising 0.5 V per cell along J: the current flows towards smaller J.
  make_sheet(12, 16, 50.0f, [](int, int J) { return 0.5f * static_cast<float>(J); });
  current_line(3, 8, 9, 8);
  run_captured(FIND_CURRENT);
  EXPECT_NEAR(grid().CURRENT_AMPS, -0.001 * 7 * (2.0 / 100.0) * 0.5, 1.0E-10);
}

TEST(Current, EndsOnTheEdgeRingMoveInward) {
  make_sheet(20, 30, 100.0f, [](int I, int) { return -static_cast<float>(I); });
  current_line(10, 1, 10, 30);
  run_captured(FIND_CURRENT);
  EXPECT_EQ(grid().JCS, 2);
  EXPECT_EQ(grid().JCE, 29);
  EXPECT_NEAR(grid().CURRENT_AMPS, 28 * 1.0E-5, 1.0E-9);  // rows 2..29, 1.0E-5 A each

  make_sheet(20, 30, 100.0f, [](int, int J) { return static_cast<float>(J); });
  current_line(1, 15, 20, 15);
  run_captured(FIND_CURRENT);
  EXPECT_EQ(grid().ICS, 2);
  EXPECT_EQ(grid().ICE, 19);
  EXPECT_NEAR(grid().CURRENT_AMPS, -18 * 1.0E-5, 1.0E-9);
}

TEST(Current, NothingToSumOrNoLine) {
  make_sheet(20, 30, 100.0f, [](int I, int) { return static_cast<float>(I); });
  current_line(10, 25, 10, 5);  // first end beyond the last
  run_captured(FIND_CURRENT);
  EXPECT_EQ(grid().CURRENT_AMPS, 0.0f);

  make_sheet(20, 30, 100.0f, [](int I, int) { return static_cast<float>(I); });
  const auto c = run_captured(FIND_CURRENT);  // no CURRENT line
  EXPECT_EQ(c.pages.find("current"), std::string::npos);
  EXPECT_EQ(grid().CURRENT_AMPS, 0.0f);

  make_sheet(20, 30, 100.0f, [](int, int) { return 3.0f; });  // uniform potential
  current_line(10, 1, 10, 30);
  const auto uniform = run_captured([] {
    FIND_CURRENT();
    WRITE_VOLTS();
  });
  // -THICK x 0 is negative zero; it is written as zero, without a sign.
  EXPECT_NE(uniform.pages.find("\nThe current flow is   0.0000000E+00 amps.\n"), std::string::npos) << uniform.pages;
  EXPECT_NE(read_file("VOLTS.TBL").find("\r\nCM The current in the resistor is   0.0000000E+00 amps.\r\n"),
            std::string::npos);
}

TEST(Field, CentralDifferencesOverTwoCellWidths) {
  make_sheet(12, 10, 100.0f, [](int I, int) { return static_cast<float>(I); });
  grid().DX = 0.01f;
  grid().FIXED[6][5] = 1;  // an electrode inside
  FIND_EFIELD();
  const Grid& g = grid();
  for (int I = 1; I <= 12; ++I)
    for (int J = 1; J <= 10; ++J) {
      if (g.FIXED[I][J] == 1)
        EXPECT_EQ(g.EMAG[I][J], 0.0f) << I << "," << J;
      else
        EXPECT_FLOAT_EQ(g.EMAG[I][J], 100.0f) << I << "," << J;  // 2 V over 2 x 0.01 m
    }

  // Both directions: 3 V per cell along I and 4 V per cell along J give 5 V per cell.
  make_sheet(8, 8, 100.0f, [](int I, int J) { return 3.0f * static_cast<float>(I) - 4.0f * static_cast<float>(J); });
  grid().DX = 2.0f;
  FIND_EFIELD();
  EXPECT_FLOAT_EQ(grid().EMAG[4][4], 2.5f);
  // A uniform potential has no field.
  make_sheet(8, 8, 100.0f, [](int, int) { return -7.0f; });
  FIND_EFIELD();
  for (int I = 1; I <= 8; ++I)
    for (int J = 1; J <= 8; ++J) EXPECT_EQ(grid().EMAG[I][J], 0.0f);
}

TEST(Field, FreeEdgeCellEndsTheRun) {
  make_sheet(12, 10, 100.0f, [](int, int) { return 0.0f; });
  grid().FIXED[12][7] = 0;
  const auto c = run_captured(FIND_EFIELD);
  EXPECT_TRUE(c.ended);
  EXPECT_EQ(c.how, common::RunEnded::Kind::fatal);
  const std::string page = "\n\n NX,NY " + common::format_I(12, 12) + common::format_I(10, 12) + "\n\n I,J " +
                           common::format_I(12, 12) + common::format_I(7, 12) +
                           "\n\nFATAL ERROR IN FIND_EFIELD\n\nCANNOT FIND E FOR AN EDGE CELL!\n\n"
                           "Press any key to continue...\n";
  EXPECT_NE(c.pages.find(page), std::string::npos) << c.pages;
}
