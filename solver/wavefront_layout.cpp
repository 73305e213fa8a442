#include "solver/wavefront_layout.h"

#include <algorithm>
#include <memory>

namespace kesto::solver {

WavefrontLayout& wavefront_layout() {
  // About 2.9 MB: allocated once, aligned for the widest vectors.
  static const std::unique_ptr<WavefrontLayout> w = std::make_unique<WavefrontLayout>();
  return *w;
}

void prepare_wavefront_layout() {
  const Grid& g = grid();
  WavefrontLayout& w = wavefront_layout();
  w.NX = g.NX;
  w.NY = g.NY;
  w.holds_potentials = false;
  // Only the rows of this grid are ever read; clear what a larger one left.
  const std::size_t used = static_cast<std::size_t>(std::max(0, g.NX + g.NY - 1)) * WavefrontLayout::kStride;
  for (float* a : {w.V, w.GX, w.GY, w.SINV}) std::fill(a, a + used, 0.0f);
  std::fill(w.FREE, w.FREE + used, std::uint8_t{0});
  // The links of the interior cells and of the edge cells to their left and
  // below, which interior cells read as their left and lower links.
  for (std::int32_t I = 1; I <= g.NX - 1; ++I)
    for (std::int32_t J = 1; J <= g.NY - 1; ++J) {
      const std::int32_t o = WavefrontLayout::offset(I, J);
      if (J >= 2) w.GX[o] = g.GX[I][J];
      if (I >= 2) w.GY[o] = g.GY[I][J];
      if (I >= 2 && J >= 2) {
        w.SINV[o] = g.SINV[I][J];
        w.FREE[o] = g.FIXED[I][J] == 0 ? 0xFF : 0;
      }
    }
}

void load_wavefront_potentials() {
  const Grid& g = grid();
  WavefrontLayout& w = wavefront_layout();
  for (std::int32_t I = 1; I <= w.NX; ++I)
    for (std::int32_t J = 1; J <= w.NY; ++J) w.V[WavefrontLayout::offset(I, J)] = g.V[I][J];
  w.holds_potentials = true;
}

void store_wavefront_potentials() {
  Grid& g = grid();
  WavefrontLayout& w = wavefront_layout();
  for (std::int32_t I = 2; I <= w.NX - 1; ++I)
    for (std::int32_t J = 2; J <= w.NY - 1; ++J) g.V[I][J] = w.V[WavefrontLayout::offset(I, J)];
  w.holds_potentials = false;
}

}  // namespace kesto::solver
