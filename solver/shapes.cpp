#include "solver/shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/fortran_format.h"
#include "solver/grid.h"

namespace kesto::solver {
namespace {

using common::NINT;
using Index = std::int64_t;  // wide enough for any sum of deck integers

constexpr float kDegree = 0.017453292f;  // pi / 180 in single precision

bool inside(const Grid& g, Index I, Index J) { return I >= 1 && I <= g.NX && J >= 1 && J <= g.NY; }

void fix_cell(Grid& g, Index I, Index J, float V) {
  if (!inside(g, I, J)) return;
  g.FIXED[I][J] = 1;
  g.V[I][J] = V;
}

bool on_edge(const Grid& g, Index I, Index J) { return I == 1 || I == g.NX || J == 1 || J == g.NY; }

// The tally of an outline: the distinct cells of `cells` outside the grid and
// on its edge ring.
ShapeTally tally_outline(const Grid& g, std::vector<std::pair<Index, Index>>& cells) {
  std::sort(cells.begin(), cells.end());
  cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
  ShapeTally t;
  for (const auto& [I, J] : cells) {
    if (!inside(g, I, J))
      ++t.outside;
    else if (on_edge(g, I, J))
      ++t.on_edge;
  }
  return t;
}

// The tally of a disc made of runs J0 - h .. J0 + h in columns I: runs in the
// same column are nested, so the longest one is that column's cells.
ShapeTally tally_runs(const Grid& g, Index J0, std::vector<std::pair<Index, Index>>& runs) {
  std::sort(runs.begin(), runs.end());  // by column, then by half-height
  ShapeTally t;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    if (k + 1 < runs.size() && runs[k + 1].first == runs[k].first) continue;  // a longer run follows
    const auto [I, h] = runs[k];
    if (h < 0) continue;
    const Index all = 2 * h + 1;
    const Index lo = std::max<Index>(J0 - h, 1), hi = std::min<Index>(J0 + h, g.NY);
    const Index in = I >= 1 && I <= g.NX ? std::max<Index>(hi - lo + 1, 0) : 0;
    t.outside += all - in;
    if (in == 0) continue;
    if (I == 1 || I == g.NX)
      t.on_edge += in;
    else
      t.on_edge += (lo == 1) + (hi == g.NY);
  }
  return t;
}

void set_rho(Grid& g, Index I, Index J, float R) {
  if (!inside(g, I, J)) return;
  g.RHO[I][J] = R;
}

// Calls visit(I, J) for every cell of the line between the centres of cells
// (IS, JS) and (IE, JE) that lies in columns 1..NX and rows 1..NY. A shallow
// line visits the cells where it enters and leaves each column, a steep line
// those where it enters and leaves each row; cell I spans x from I - 1 to I.
template <typename Visit>
void walk_line(const Grid& g, Index IS, Index JS, Index IE, Index JE, Visit visit) {
  Index x1 = IS, y1 = JS, x2 = IE, y2 = JE;
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (x1 == x2) {
    if (y2 < y1) std::swap(y1, y2);
    for (Index J = std::max<Index>(y1, 1); J <= std::min<Index>(y2, g.NY); ++J) visit(x1, J);
    return;
  }
  float m = static_cast<float>(y2 - y1) / static_cast<float>(x2 - x1);
  if (std::fabs(m) < 1.0f) {
    const float fx1 = static_cast<float>(x1), fy1 = static_cast<float>(y1);
    for (Index I = std::max<Index>(x1, 1); I <= std::min<Index>(x2, g.NX); ++I) {
      const float a = static_cast<float>(I) - 1.0f;
      const float b = static_cast<float>(I);
      const float ya = (a - fx1 + 0.5f) * m + fy1 - 0.5f;
      const float yb = (b - fx1 + 0.5f) * m + fy1 - 0.5f;
      visit(I, NINT(ya + 0.5f));
      visit(I, NINT(yb + 0.5f));
    }
    return;
  }
  if (y2 < y1) {
    std::swap(x1, x2);
    std::swap(y1, y2);
    m = static_cast<float>(y2 - y1) / static_cast<float>(x2 - x1);
  }
  const float fx1 = static_cast<float>(x1), fy1 = static_cast<float>(y1);
  for (Index J = std::max<Index>(y1, 1); J <= std::min<Index>(y2, g.NY); ++J) {
    const float a = static_cast<float>(J) - 1.0f;
    const float b = static_cast<float>(J);
    const float xa = (a - fy1 + 0.5f) / m + fx1 - 0.5f;
    const float xb = (b - fy1 + 0.5f) / m + fx1 - 0.5f;
    visit(NINT(xa + 0.5f), J);
    visit(NINT(xb + 0.5f), J);
  }
}

}  // namespace

void MARK_LINE(std::int32_t IS, std::int32_t JS, std::int32_t IE, std::int32_t JE, float V) {
  Grid& g = grid();
  walk_line(g, IS, JS, IE, JE, [&](Index I, Index J) { fix_cell(g, I, J, V); });
}

void RHO_LINE(std::int32_t IS, std::int32_t JS, std::int32_t IE, std::int32_t JE, float R) {
  Grid& g = grid();
  walk_line(g, IS, JS, IE, JE, [&](Index I, Index J) { set_rho(g, I, J, R); });
}

void RHO_BOX(std::int32_t IS, std::int32_t JS, std::int32_t IE, std::int32_t JE, float R) {
  Grid& g = grid();
  for (Index I = std::max<Index>(IS, 1); I <= std::min<Index>(IE, g.NX); ++I)
    for (Index J = std::max<Index>(JS, 1); J <= std::min<Index>(JE, g.NY); ++J) g.RHO[I][J] = R;
}

ShapeTally MARK_DISC(std::int32_t I0, std::int32_t J0, std::int32_t R, float V) {
  Grid& g = grid();
  const float RR = static_cast<float>(R) + 0.3f;
  std::vector<std::pair<Index, Index>> runs;
  runs.reserve(181);
  for (std::int32_t k = 0; k <= 180; ++k) {
    const float theta = static_cast<float>(k) * kDegree;
    const float dx = RR * std::cos(theta);
    const float dy = RR * std::sin(theta);
    const Index I = I0 + static_cast<Index>(NINT(dx + 0.5f));
    const Index h = NINT(dy + 0.5f);
    runs.emplace_back(I, h);
    if (I < 1 || I > g.NX) continue;
    // The run J0 - h .. J0 + h, cut to the grid's rows.
    for (Index J = std::max<Index>(J0 - h, 1); J <= std::min<Index>(J0 + h, g.NY); ++J) fix_cell(g, I, J, V);
  }
  return tally_runs(g, J0, runs);
}

ShapeTally MARK_RING(std::int32_t I0, std::int32_t J0, std::int32_t R, float V) {
  Grid& g = grid();
  const float RR = static_cast<float>(R);
  std::vector<std::pair<Index, Index>> cells;
  cells.reserve(360);
  for (std::int32_t k = 0; k <= 359; ++k) {
    const float theta = static_cast<float>(k) * kDegree;
    const float dx = RR * std::cos(theta);
    const float dy = RR * std::sin(theta);
    const Index I = I0 + static_cast<Index>(NINT(dx + 0.5f)), J = J0 + static_cast<Index>(NINT(dy + 0.5f));
    cells.emplace_back(I, J);
    fix_cell(g, I, J, V);
  }
  return tally_outline(g, cells);
}

ShapeTally MARK_ELLIPSE(std::int32_t I0, std::int32_t J0, std::int32_t A, std::int32_t B, float V) {
  Grid& g = grid();
  std::vector<std::pair<Index, Index>> cells;
  cells.reserve(360);
  const float xc = static_cast<float>(I0) - 0.5f;
  const float yc = static_cast<float>(J0) - 0.5f;
  const float fa = static_cast<float>(A), fb = static_cast<float>(B);
  for (std::int32_t k = 0; k <= 359; ++k) {
    const float theta = static_cast<float>(k) * kDegree;
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    const float r = std::sqrt(1.0f / (c * c / (fa * fa) + s * s / (fb * fb)));
    const float dx = r * c;
    const float dy = r * s;
    const float X = xc + dx;
    const float Y = yc + dy;
    // A zero half-axis makes r zero, or not a number where 0/0 occurs; NINT
    // turns the latter into 0, which lies outside the grid and is skipped.
    cells.emplace_back(NINT(X + 0.5f), NINT(Y + 0.5f));
    fix_cell(g, cells.back().first, cells.back().second, V);
  }
  return tally_outline(g, cells);
}

}  // namespace kesto::solver
