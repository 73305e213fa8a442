#include "solver/grid.h"

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

}  // namespace kesto::solver
