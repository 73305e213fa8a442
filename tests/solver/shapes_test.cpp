// The shape routines: which cells a line, disc, ring or ellipse fixes, the
// resistive line and box, and shapes that reach outside the grid.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "solver/grid.h"
#include "solver/shapes.h"

using namespace kesto::solver;

namespace {

using Cells = std::set<std::pair<int, int>>;

void fresh_grid(int nx, int ny) {
  grid() = Grid{};
  grid().NX = nx;
  grid().NY = ny;
}

// Every cell of the whole capacity (index 0 included) that is fixed.
Cells fixed_cells() {
  Cells out;
  for (int I = 0; I <= MAXNX; ++I)
    for (int J = 0; J <= MAXNY; ++J)
      if (grid().FIXED[I][J] != 0) out.insert({I, J});
  return out;
}

Cells cells_with_rho(float r) {
  Cells out;
  for (int I = 0; I <= MAXNX; ++I)
    for (int J = 0; J <= MAXNY; ++J)
      if (grid().RHO[I][J] == r) out.insert({I, J});
  return out;
}

// Distance from point (x, y) to the nearest and the farthest point of the
// square of cell (I, J), which spans x from I - 1 to I and y from J - 1 to J.
std::pair<double, double> distances(int I, int J, double x, double y) {
  const double nx = std::clamp(x, I - 1.0, static_cast<double>(I));
  const double ny = std::clamp(y, J - 1.0, static_cast<double>(J));
  const double fx = std::max(std::fabs(x - (I - 1.0)), std::fabs(x - I));
  const double fy = std::max(std::fabs(y - (J - 1.0)), std::fabs(y - J));
  return {std::hypot(x - nx, y - ny), std::hypot(fx, fy)};
}

}  // namespace

// ---- Lines ---------------------------------------------------------------------------

TEST(MarkLine, VerticalAndHorizontalLinesFixEveryCellBetweenTheEnds) {
  fresh_grid(20, 20);
  MARK_LINE(2, 9, 2, 2, 4.0f);  // given top to bottom
  Cells expected;
  for (int J = 2; J <= 9; ++J) expected.insert({2, J});
  EXPECT_EQ(fixed_cells(), expected);
  for (const auto& [I, J] : expected) EXPECT_EQ(grid().V[I][J], 4.0f);

  fresh_grid(20, 20);
  MARK_LINE(8, 4, 3, 4, -1.0f);
  expected.clear();
  for (int I = 3; I <= 8; ++I) expected.insert({I, 4});
  EXPECT_EQ(fixed_cells(), expected);
}

TEST(MarkLine, ShallowSlopeFixesTheCellsWhereTheLineEntersAndLeavesEachColumn) {
  // Slope 3/7 from the centre of (2, 2) to the centre of (9, 5).
  const Cells expected = {{2, 2}, {3, 2}, {3, 3}, {4, 3}, {5, 3}, {5, 4}, {6, 4}, {7, 4}, {8, 4}, {8, 5}, {9, 5}};
  fresh_grid(20, 20);
  MARK_LINE(2, 2, 9, 5, 1.0f);
  EXPECT_EQ(fixed_cells(), expected);
  fresh_grid(20, 20);
  MARK_LINE(9, 5, 2, 2, 1.0f);  // the same line given backwards
  EXPECT_EQ(fixed_cells(), expected);
}

TEST(MarkLine, SteepLineIsTheShallowOneWithRowsAndColumnsExchanged) {
  fresh_grid(20, 20);
  MARK_LINE(2, 2, 9, 5, 1.0f);
  Cells transposed;
  for (const auto& [I, J] : fixed_cells()) transposed.insert({J, I});
  fresh_grid(20, 20);
  MARK_LINE(5, 9, 2, 2, 1.0f);
  EXPECT_EQ(fixed_cells(), transposed);

  // A falling steep line: one or two cells in every row, the chain connected.
  fresh_grid(20, 20);
  MARK_LINE(3, 15, 6, 2, 1.0f);
  const Cells c = fixed_cells();
  EXPECT_TRUE(c.count({3, 15}) && c.count({6, 2}));
  for (int J = 2; J <= 15; ++J) {
    int in_row = 0;
    for (const auto& [I, JJ] : c)
      if (JJ == J) {
        ++in_row;
        EXPECT_GE(I, 3);
        EXPECT_LE(I, 6);
      }
    EXPECT_GE(in_row, 1) << J;
    EXPECT_LE(in_row, 2) << J;
  }
}

TEST(MarkLine, DiagonalPassesThroughCornersAndRoundsThemUp) {
  // Slope 1 counts as steep; the line enters and leaves each row exactly at
  // cell corners, and those halves round away from zero: (J, J) and (J+1, J).
  fresh_grid(20, 20);
  MARK_LINE(3, 3, 8, 8, 1.0f);
  Cells expected;
  for (int k = 3; k <= 8; ++k) expected.insert({k, k}), expected.insert({k + 1, k});
  EXPECT_EQ(fixed_cells(), expected);
}

TEST(RhoShapes, LineAndBoxSetOnlyTheResistivity) {
  fresh_grid(20, 20);
  RHO_LINE(2, 2, 9, 5, 50.0f);
  EXPECT_EQ(cells_with_rho(50.0f).size(), 11u);
  EXPECT_TRUE(fixed_cells().empty());
  RHO_BOX(4, 6, 7, 8, 25.0f);
  Cells box;
  for (int I = 4; I <= 7; ++I)
    for (int J = 6; J <= 8; ++J) box.insert({I, J});
  EXPECT_EQ(cells_with_rho(25.0f), box);
  RHO_BOX(7, 8, 4, 6, 99.0f);  // ends the wrong way round: nothing
  RHO_BOX(4, 8, 7, 6, 99.0f);
  EXPECT_TRUE(cells_with_rho(99.0f).empty());
}

// ---- Circles and ellipses -------------------------------------------------------------

TEST(MarkDisc, FilledRunsOfCellsAroundTheCentre) {
  const int I0 = 20, J0 = 20, R = 3;
  fresh_grid(40, 40);
  MARK_DISC(I0, J0, R, 7.0f);
  const Cells c = fixed_cells();
  int lo_i = 99, hi_i = 0, lo_j = 99, hi_j = 0;
  for (const auto& [I, J] : c) {
    lo_i = std::min(lo_i, I), hi_i = std::max(hi_i, I), lo_j = std::min(lo_j, J), hi_j = std::max(hi_j, J);
    EXPECT_EQ(grid().V[I][J], 7.0f);
  }
  // Radius R + 0.3 about the right edge of column I0; each run centred on row J0.
  EXPECT_EQ(lo_i, I0 - R);
  EXPECT_EQ(hi_i, I0 + R + 1);
  EXPECT_EQ(lo_j, J0 - R - 1);
  EXPECT_EQ(hi_j, J0 + R + 1);
  for (int I = lo_i; I <= hi_i; ++I) {
    int top = 0;
    while (c.count({I, J0 + top + 1})) ++top;
    for (int d = -top; d <= top; ++d) EXPECT_TRUE(c.count({I, J0 + d})) << I << "," << d;
    EXPECT_FALSE(c.count({I, J0 - top - 1}));
    // Mirror image about the edge between columns I0 and I0 + 1.
    for (int d = -top; d <= top; ++d) EXPECT_TRUE(c.count({2 * I0 + 1 - I, J0 + d}));
  }
}

TEST(MarkRing, OnlyTheOutlineOfACircleAboutTheCellsUpperRightCorner) {
  const int I0 = 20, J0 = 15, R = 6;
  fresh_grid(40, 40);
  MARK_RING(I0, J0, R, 2.0f);
  const Cells c = fixed_cells();
  EXPECT_GT(c.size(), 30u);
  for (const auto& [I, J] : c) {
    const auto [near, far] = distances(I, J, I0, J0);
    EXPECT_LE(near, R + 1e-4) << I << "," << J;  // the circle passes through the cell
    EXPECT_GE(far, R - 1e-4) << I << "," << J;
  }
  EXPECT_FALSE(c.count({I0, J0}));
  EXPECT_TRUE(c.count({I0 + R + 1, J0 + 1}));  // angle 0
  int lo_i = 99, hi_i = 0;
  for (const auto& cell : c) lo_i = std::min(lo_i, cell.first), hi_i = std::max(hi_i, cell.first);
  EXPECT_EQ(lo_i, I0 - R);
  EXPECT_EQ(hi_i, I0 + R + 1);
}

TEST(MarkEllipse, OutlineCentredOnTheCell) {
  const int I0 = 15, J0 = 10, A = 6, B = 3;
  fresh_grid(40, 40);
  MARK_ELLIPSE(I0, J0, A, B, -1.5f);
  const Cells c = fixed_cells();
  const double xc = I0 - 0.5, yc = J0 - 0.5;
  int lo_i = 99, hi_i = 0, lo_j = 99, hi_j = 0;
  for (const auto& [I, J] : c) {
    lo_i = std::min(lo_i, I), hi_i = std::max(hi_i, I), lo_j = std::min(lo_j, J), hi_j = std::max(hi_j, J);
    // The ellipse passes through the cell: the normalised radius is 1 somewhere in it.
    double lo = 1e9, hi = 0;
    for (int sx = 0; sx <= 20; ++sx)
      for (int sy = 0; sy <= 20; ++sy) {
        const double x = I - 1.0 + sx / 20.0, y = J - 1.0 + sy / 20.0;
        const double q = (x - xc) * (x - xc) / (A * A) + (y - yc) * (y - yc) / (B * B);
        lo = std::min(lo, q), hi = std::max(hi, q);
      }
    EXPECT_LE(lo, 1.0 + 1e-4) << I << "," << J;
    EXPECT_GE(hi, 1.0 - 1e-4) << I << "," << J;
    EXPECT_EQ(grid().V[I][J], -1.5f);
  }
  EXPECT_EQ(lo_i, I0 - A);
  EXPECT_EQ(hi_i, I0 + A);
  EXPECT_EQ(lo_j, J0 - B);
  EXPECT_EQ(hi_j, J0 + B);
  EXPECT_FALSE(c.count({I0, J0}));
}

// ---- Shapes that reach outside the grid ------------------------------------------------

TEST(ShapesOutsideTheGrid, CellsOutsideAreSkippedAndNothingIsWrittenThere) {
  fresh_grid(10, 8);
  MARK_DISC(2, 2, 5, 1.0f);
  MARK_RING(9, 7, 4, 2.0f);
  MARK_ELLIPSE(5, 1, 9, 3, 3.0f);
  MARK_LINE(-5, 3, 30, 6, 4.0f);
  MARK_LINE(4, -20, 4, 50, 4.0f);
  RHO_LINE(-5, -5, 40, 40, 9.0f);
  RHO_BOX(-3, -3, 300, 300, 8.0f);
  for (int I = 0; I <= MAXNX; ++I)
    for (int J = 0; J <= MAXNY; ++J) {
      const bool inside = I >= 1 && I <= 10 && J >= 1 && J <= 8;
      if (inside) continue;
      EXPECT_EQ(grid().FIXED[I][J], 0) << I << "," << J;
      EXPECT_EQ(grid().V[I][J], 0.0f) << I << "," << J;
      EXPECT_EQ(grid().RHO[I][J], 0.0f) << I << "," << J;
    }
  EXPECT_EQ(grid().FIXED[1][1], 1);  // the disc's part inside is there
  EXPECT_EQ(grid().V[4][8], 4.0f);   // and so is the vertical line's
  EXPECT_EQ(grid().RHO[10][8], 8.0f);
}

TEST(ShapesOutsideTheGrid, HugeAndDegenerateShapesFinish) {
  fresh_grid(MAXNX, MAXNY);
  MARK_DISC(125, 55, 2'000'000'000, 1.0f);
  MARK_RING(-2'000'000'000, 2'000'000'000, 2'000'000'000, 1.0f);
  MARK_ELLIPSE(125, 55, 0, 0, 2.0f);
  MARK_ELLIPSE(125, 55, 0, 5, 3.0f);
  MARK_LINE(-2'000'000'000, 1, 2'000'000'000, 2, 5.0f);
  for (int I = 0; I <= MAXNX; ++I) {
    EXPECT_EQ(grid().FIXED[I][0], 0);
    EXPECT_EQ(grid().FIXED[0][I % (MAXNY + 1)], 0);
  }
  // An ellipse with a zero half-axis shrinks to its centre cell.
  int at_three = 0;
  for (int I = 1; I <= MAXNX; ++I)
    for (int J = 1; J <= MAXNY; ++J) at_three += grid().V[I][J] == 3.0f;
  EXPECT_EQ(at_three, 1);
  EXPECT_EQ(grid().V[125][55], 3.0f);
}

// ---- What a shape leaves out at the border ---------------------------------------------

TEST(ShapeTally, DiscCountsEachCellLeftOutOrOnTheEdgeOnce) {
  // A disc of radius 0 is the 2 x 3 block of columns I0..I0+1, rows J0-1..J0+1.
  const struct {
    int I0, J0;
    std::int64_t outside, on_edge;
  } cases[] = {{10, 5, 0, 0}, {30, 5, 6, 0}, {20, 5, 3, 3}, {10, 1, 2, 2}, {10, 10, 2, 2}, {0, 0, 5, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.I0) + "," + std::to_string(c.J0));
    fresh_grid(20, 10);
    const ShapeTally t = MARK_DISC(c.I0, c.J0, 0, 1.0f);
    EXPECT_EQ(t.outside, c.outside);
    EXPECT_EQ(t.on_edge, c.on_edge);
  }
}

TEST(ShapeTally, OutlinesLeaveOutWhatTheyDoNotFixAndCountTheirEdgeCells) {
  const auto edge_cells = [](const Cells& cells) {
    return std::count_if(cells.begin(), cells.end(),
                         [](auto c) { return c.first == 1 || c.first == 20 || c.second == 1 || c.second == 10; });
  };
  for (const bool ring : {true, false}) {
    SCOPED_TRACE(ring ? "ring" : "ellipse");
    const auto mark = [&](int I0) { return ring ? MARK_RING(I0, 5, 3, 1.0f) : MARK_ELLIPSE(I0, 5, 4, 3, 1.0f); };
    fresh_grid(20, 10);
    const ShapeTally whole = mark(10);  // well inside
    const auto all = static_cast<std::int64_t>(fixed_cells().size());
    EXPECT_EQ(whole.outside, 0);
    EXPECT_EQ(whole.on_edge, 0);
    fresh_grid(20, 10);
    EXPECT_EQ(mark(60).outside, all);  // wholly beyond the last column
    for (const int I0 : {19, 2}) {     // across the right edge, the left edge
      fresh_grid(20, 10);
      const ShapeTally cut = mark(I0);
      const Cells kept = fixed_cells();
      EXPECT_GT(cut.outside, 0);
      EXPECT_EQ(cut.outside + static_cast<std::int64_t>(kept.size()), all);
      EXPECT_EQ(cut.on_edge, edge_cells(kept));
    }
  }
}
