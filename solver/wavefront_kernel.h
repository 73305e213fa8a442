// The body of a vector sweep over the wavefront layout, written once for
// every instruction set. A file that includes it supplies `Lanes`, a type of
// its own (in an unnamed namespace, so each instantiation stays private to
// the file and to the instruction set that file is compiled for) with:
//   kWidth                      floats per vector
//   Vec                         the vector type
//   load(p), loadu(p), store(p, v)  aligned and unaligned loads, aligned store
//   mul(a, b), add(a, b), sub(a, b) lane-wise single-precision arithmetic
//   abs(a)                      |a| lane by lane
//   max(a, b)                   the larger lane by lane; b where a is a NaN
//   largest(a)                  the largest lane
//   zero()                      all lanes 0
//   after_last(prev, cur)       (prev[kWidth-1], cur[0], ..., cur[kWidth-2])
//   before_first(cur, next)     (cur[1], ..., cur[kWidth-1], next[0])
//   keep_fixed(free, old, v)    v in the lanes whose free byte is 0xFF, old in
//                               the others
// This header uses nothing from the standard library, whose inline functions
// would otherwise be compiled for that instruction set and shared.
#pragma once

#include <cstdint>

#include "solver/wavefront_layout.h"

namespace kesto::solver::wavefront {

// One sweep: the address rows in order, each row's vectors independent of
// one another (bands side by side, each a band's width behind the one to its
// left), every lane doing the in-order loop's arithmetic in its order:
//   SINV * (((GX(I-1,J) * left + GX(I,J) * right) + GY(I,J-1) * below)
//           + GY(I,J) * above)
// The potentials below and above are aligned loads, the left and right ones
// shifted from them by a lane: the row below was stored in this sweep, and a
// load that matches a store exactly gets its value straight from it.
//
// With Measure set the sweep also keeps, lane by lane, the largest change
// |stored - old| of any position, and returns the largest of its lanes: fixed
// cells and positions outside the grid store their old value and so change
// by nothing. Without it, it returns zero. The stored potentials are the
// same either way.
// (Always inlined, as is the choice below: the instructions of each set stay
// inside the one function compiled for that set.)
template <class Lanes, bool Measure>
[[gnu::always_inline]] inline float sweep(WavefrontLayout& w) {
  using Vec = typename Lanes::Vec;
  constexpr std::int32_t L = Lanes::kWidth;
  constexpr std::int32_t S = WavefrontLayout::kStride;
  const std::int32_t nx = w.NX, ny = w.NY;
  float* const v = w.V;
  const float* const gx = w.GX;
  const float* const gy = w.GY;
  typename Lanes::Vec largest = Lanes::zero();
  // Row tau holds interior cells for tau = 2 .. nx + ny - 4; in row tau they
  // are at positions c = max(1, tau - ny + 2) .. min(nx - 2, tau - 1).
  for (std::int32_t tau = 2; tau <= nx + ny - 4; ++tau) {
    const std::int32_t c_lo = tau - ny + 2 > 1 ? tau - ny + 2 : 1;
    const std::int32_t c_hi = tau - 1 < nx - 2 ? tau - 1 : nx - 2;
    const std::int32_t first = tau * S + WavefrontLayout::kPad + (c_lo & ~(L - 1));
    const std::int32_t end = tau * S + WavefrontLayout::kPad + c_hi + 1;
    Vec below_prev = Lanes::load(v + first - S - L);
    Vec above = Lanes::load(v + first + S);
    for (std::int32_t o = first; o < end; o += L) {
      const Vec below = Lanes::load(v + o - S);
      const Vec above_next = Lanes::load(v + o + S + L);
      const Vec left = Lanes::after_last(below_prev, below);
      const Vec right = Lanes::before_first(above, above_next);
      Vec sum = Lanes::add(Lanes::mul(Lanes::loadu(gx + o - S - 1), left), Lanes::mul(Lanes::load(gx + o), right));
      sum = Lanes::add(sum, Lanes::mul(Lanes::load(gy + o - S), below));
      sum = Lanes::add(sum, Lanes::mul(Lanes::load(gy + o), above));
      const Vec old = Lanes::load(v + o);
      const Vec stored = Lanes::keep_fixed(w.FREE + o, old, Lanes::mul(Lanes::load(w.SINV + o), sum));
      Lanes::store(v + o, stored);
      if constexpr (Measure) largest = Lanes::max(Lanes::abs(Lanes::sub(stored, old)), largest);
      below_prev = below;
      above = above_next;
    }
  }
  if constexpr (Measure) return Lanes::largest(largest);
  return 0.0f;
}

// The sweep with or without the measure of the largest change.
template <class Lanes>
[[gnu::always_inline]] inline float sweep(WavefrontLayout& w, bool measure) {
  return measure ? sweep<Lanes, true>(w) : sweep<Lanes, false>(w);
}

}  // namespace kesto::solver::wavefront
