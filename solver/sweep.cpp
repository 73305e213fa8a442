#include "solver/sweep.h"

#include <algorithm>
#include <cmath>

#include "solver/grid.h"
#include "solver/sweep_kernels.h"
#include "solver/wavefront_layout.h"
#include "solver/wavefront_sweeps.h"

namespace kesto::solver {
namespace {

// The new potential of cell (I, J) from its four neighbours' potentials. Both
// kernels use this one expression, so they round identically.
inline float relaxed(const Grid& g, std::int32_t I, std::int32_t J, float left, float right, float below, float above) {
  return g.SINV[I][J] * (g.GX[I - 1][J] * left + g.GX[I][J] * right + g.GY[I][J - 1] * below + g.GY[I][J] * above);
}

// The larger of the two; a NaN change is passed over, as the vector kernels'
// maximum does.
inline float larger(float change, float largest) { return change > largest ? change : largest; }

// Updates cell (I, J) and, when Measure is set, raises `largest` to the size
// of its change. The potential is stored exactly as without the measure.
template <bool Measure>
inline void update(Grid& g, std::int32_t I, std::int32_t J, float& largest) {
  if (g.FIXED[I][J] != 0) return;
  const float v = relaxed(g, I, J, g.V[I - 1][J], g.V[I + 1][J], g.V[I][J - 1], g.V[I][J + 1]);
  if constexpr (Measure) largest = larger(std::fabs(v - g.V[I][J]), largest);
  g.V[I][J] = v;
}

// The scalar wavefront works on bands of kLanes neighbouring columns. Within a
// band, column I0 + k runs k rows behind column I0: at step t it updates row
// 2 + t - k. Cell (I, J) then finds (I-1, J) and (I, J-1) already updated and
// (I+1, J) and (I, J+1) not yet, exactly as in the plain loop, while the cells
// of one step do not depend on each other and so overlap in the processor.
// Bands run left to right, each one complete before the next.
constexpr std::int32_t kLanes = 6;

// The band's steps from `first` to `last` (inclusive), each cell through
// memory; used where the band fills up and drains, and for a narrow band.
template <bool Measure>
void band_steps_generic(Grid& g, std::int32_t I0, std::int32_t width, std::int32_t rows, std::int32_t first,
                        std::int32_t last, float& largest) {
  for (std::int32_t t = first; t <= last; ++t) {
    const std::int32_t k_lo = std::max(0, t - rows + 1);
    const std::int32_t k_hi = std::min(width - 1, t);
    for (std::int32_t k = k_lo; k <= k_hi; ++k) update<Measure>(g, I0 + k, 2 + t - k, largest);
  }
}

// The steps where all kLanes columns are inside rows 2..NY-1. Each column's
// newest value stays in a register and feeds both its own next row and the
// column to its right one step later; lanes run right to left within a step
// so that a lane still sees its left neighbour's value of the previous step.
// Each lane keeps its own largest change, so that measuring adds no chain of
// dependent steps across the lanes.
template <bool Measure>
void band_steps_full(Grid& g, std::int32_t I0, std::int32_t first, std::int32_t last, float& largest) {
  float newest[kLanes];  // lane k: V(I0 + k, row - 1), this sweep's value
  float lane_largest[kLanes] = {};
#pragma GCC unroll 16
  for (std::int32_t k = 0; k < kLanes; ++k) newest[k] = g.V[I0 + k][2 + first - k - 1];
  for (std::int32_t t = first; t <= last; ++t) {
#pragma GCC unroll 16
    for (std::int32_t k = kLanes - 1; k >= 0; --k) {
      const std::int32_t I = I0 + k;
      const std::int32_t J = 2 + t - k;
      if (g.FIXED[I][J] == 0) {
        const float left = k > 0 ? newest[k - 1] : g.V[I - 1][J];
        newest[k] = relaxed(g, I, J, left, g.V[I + 1][J], newest[k], g.V[I][J + 1]);
        if constexpr (Measure) lane_largest[k] = larger(std::fabs(newest[k] - g.V[I][J]), lane_largest[k]);
        g.V[I][J] = newest[k];
      } else {
        newest[k] = g.V[I][J];
      }
    }
  }
  if constexpr (Measure)
    for (const float lane : lane_largest) largest = larger(lane, largest);
}

template <bool Measure>
void sweep_band(Grid& g, std::int32_t I0, std::int32_t width, std::int32_t rows, float& largest) {
  const std::int32_t last_step = rows + width - 2;
  if (width == kLanes && rows >= kLanes) {
    band_steps_generic<Measure>(g, I0, width, rows, 0, kLanes - 2, largest);
    band_steps_full<Measure>(g, I0, kLanes - 1, rows - 1, largest);
    band_steps_generic<Measure>(g, I0, width, rows, rows, last_step, largest);
  } else {
    band_steps_generic<Measure>(g, I0, width, rows, 0, last_step, largest);
  }
}

template <bool Measure>
float scalar_wavefront(Grid& g) {
  float largest = 0.0f;
  const std::int32_t rows = g.NY - 2;
  if (rows <= 0) return largest;
  for (std::int32_t I0 = 2; I0 <= g.NX - 1; I0 += kLanes)
    sweep_band<Measure>(g, I0, std::min(kLanes, g.NX - I0), rows, largest);
  return largest;
}

template <bool Measure>
float plain_loop(Grid& g) {
  float largest = 0.0f;
  for (std::int32_t I = 2; I <= g.NX - 1; ++I)
    for (std::int32_t J = 2; J <= g.NY - 1; ++J) update<Measure>(g, I, J, largest);
  return largest;
}

// One sweep with the kernel in use, holding the potentials in the wavefront
// layout for the vector kernels; the largest change when Measure is set.
template <bool Measure>
float held_sweep() {
  const SweepKernel kernel = sweep_kernel();
  WavefrontLayout& w = wavefront_layout();
  if (!sweeps_wavefront_layout(kernel)) {
    sync_potentials();
    return kernel == SweepKernel::plain ? plain_loop<Measure>(grid()) : scalar_wavefront<Measure>(grid());
  }
  if (!w.holds_potentials) load_wavefront_potentials();
#if defined(__x86_64__)
  if (kernel == SweepKernel::avx512) return sweep_wavefront_avx512(w, Measure);
  if (kernel == SweepKernel::avx2) return sweep_wavefront_avx2(w, Measure);
  return sweep_wavefront_sse2(w, Measure);
#else
  return 0.0f;
#endif
}

}  // namespace

void SET_CONDUCTANCES() {
  set_link_conductances(grid());
  prepare_wavefront_layout();
}

void set_link_conductances(Grid& g) {
  for (std::int32_t I = 1; I <= g.NX - 1; ++I)
    for (std::int32_t J = 1; J <= g.NY - 1; ++J) {
      g.GX[I][J] = 2.0f / (g.RHO[I][J] + g.RHO[I + 1][J]);
      g.GY[I][J] = 2.0f / (g.RHO[I][J] + g.RHO[I][J + 1]);
    }
  for (std::int32_t I = 2; I <= g.NX - 1; ++I)
    for (std::int32_t J = 2; J <= g.NY - 1; ++J)
      g.SINV[I][J] = 1.0f / (g.GX[I - 1][J] + g.GX[I][J] + g.GY[I][J - 1] + g.GY[I][J]);
}

void SWEEP() {
  sweep_held();
  sync_potentials();
}

void sweep_held() { held_sweep<false>(); }

float sweep_held_change() { return held_sweep<true>(); }

void sync_potentials() {
  if (wavefront_layout().holds_potentials) store_wavefront_potentials();
}

void sweep_scalar_wavefront() { scalar_wavefront<false>(grid()); }

void sweep_plain() { plain_loop<false>(grid()); }

float update_cell(std::int32_t I, std::int32_t J) {
  float change = 0.0f;
  update<true>(grid(), I, J, change);
  return change;
}

}  // namespace kesto::solver
