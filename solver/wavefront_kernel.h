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

// One address row tau of a sweep, its vectors independent of one another
// (bands side by side, each a band's width behind the one to its left), every
// lane doing the in-order loop's arithmetic in its order:
//   SINV * (((GX(I-1,J) * left + GX(I,J) * right) + GY(I,J-1) * below)
//           + GY(I,J) * above)
// The potentials below and above are aligned loads, the left and right ones
// shifted from them by a lane: the row below was stored in this sweep, and a
// load that matches a store exactly gets its value straight from it.
//
// The row reads rows tau - 1 (this sweep's values) and tau + 1 (the last
// sweep's) and writes row tau only, so the next sweep may take row tau as
// soon as this one has finished row tau + 1.
//
// With Measure set the row also raises `largest`, lane by lane, to the
// largest change |stored - old| of any position: fixed cells and positions
// outside the grid store their old value and so change by nothing. The
// stored potentials are the same either way.
// (Always inlined, as is the choice below: the instructions of each set stay
// inside the one function compiled for that set.)
template <class Lanes, bool Measure>
[[gnu::always_inline]] inline void sweep_row(WavefrontLayout& w, std::int32_t tau, typename Lanes::Vec& largest) {
  using Vec = typename Lanes::Vec;
  constexpr std::int32_t L = Lanes::kWidth;
  constexpr std::int32_t S = WavefrontLayout::kStride;
  const std::int32_t nx = w.NX, ny = w.NY;
  float* const v = w.V;
  const float* const gx = w.GX;
  const float* const gy = w.GY;
  // Row tau holds interior cells at positions
  // c = max(1, tau - ny + 2) .. min(nx - 2, tau - 1).
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

// The first and last address rows that hold interior cells: 2 and
// NX + NY - 4 (none when the grid has no interior).
inline std::int32_t first_interior_row() { return 2; }
inline std::int32_t last_interior_row(const WavefrontLayout& w) { return w.NX + w.NY - 4; }

// One sweep: the address rows in order. With Measure set it returns the
// largest change of any position, otherwise zero.
template <class Lanes, bool Measure>
[[gnu::always_inline]] inline float sweep(WavefrontLayout& w) {
  typename Lanes::Vec largest = Lanes::zero();
  for (std::int32_t tau = first_interior_row(); tau <= last_interior_row(w); ++tau)
    sweep_row<Lanes, Measure>(w, tau, largest);
  if constexpr (Measure) return Lanes::largest(largest);
  return 0.0f;
}

// One row of a sweep alone; with Measure set the largest change of the row.
template <class Lanes, bool Measure>
[[gnu::always_inline]] inline float sweep_one_row(WavefrontLayout& w, std::int32_t tau) {
  typename Lanes::Vec largest = Lanes::zero();
  sweep_row<Lanes, Measure>(w, tau, largest);
  if constexpr (Measure) return Lanes::largest(largest);
  return 0.0f;
}

// The sweep with or without the measure of the largest change.
template <class Lanes>
[[gnu::always_inline]] inline float sweep(WavefrontLayout& w, bool measure) {
  return measure ? sweep<Lanes, true>(w) : sweep<Lanes, false>(w);
}

// The row with or without the measure.
template <class Lanes>
[[gnu::always_inline]] inline float sweep_row(WavefrontLayout& w, std::int32_t tau, bool measure) {
  return measure ? sweep_one_row<Lanes, true>(w, tau) : sweep_one_row<Lanes, false>(w, tau);
}

}  // namespace kesto::solver::wavefront
