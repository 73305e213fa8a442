#include "solver/grid.h"

#include <cmath>

namespace kesto::solver {

void SET_DEFAULTS() {
  Grid& g = grid();
  g.NX = MAXNX;
  g.NY = MAXNY;
  g.NSTEP = 1000;
  g.NUPD = 100;
  g.DX = 1.0f;
}

void CLEAR_GRID() {
  Grid& g = grid();
  for (std::int32_t i = 0; i <= MAXNX; ++i)
    for (std::int32_t j = 0; j <= MAXNY; ++j) {
      g.FIXED[i][j] = 0;
      g.V[i][j] = 0.0f;
    }
}

float largest_potential() {
  const Grid& g = grid();
  float largest = 0.0f;
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) largest = std::fmax(largest, std::fabs(g.V[I][J]));
  return largest;
}

}  // namespace kesto::solver
