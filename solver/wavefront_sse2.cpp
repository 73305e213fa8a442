// The wavefront sweep in SSE2 vectors of 4 lanes: the baseline of x86-64.
#include "solver/wavefront_sweeps.h"

#if defined(__x86_64__)
#include <emmintrin.h>

#include "solver/wavefront_kernel.h"

namespace kesto::solver {
namespace {

struct Lanes {
  static constexpr std::int32_t kWidth = 4;
  using Vec = __m128;
  static Vec load(const float* p) { return _mm_load_ps(p); }
  static Vec loadu(const float* p) { return _mm_loadu_ps(p); }
  static Vec mul(Vec a, Vec b) { return _mm_mul_ps(a, b); }
  static Vec add(Vec a, Vec b) { return _mm_add_ps(a, b); }
  static Vec after_last(Vec prev, Vec cur) {
    const Vec a = _mm_shuffle_ps(prev, cur, _MM_SHUFFLE(0, 0, 3, 3));  // prev3 prev3 cur0 cur0
    return _mm_shuffle_ps(a, cur, _MM_SHUFFLE(2, 1, 2, 0));
  }
  static Vec before_first(Vec cur, Vec next) {
    const Vec a = _mm_shuffle_ps(cur, next, _MM_SHUFFLE(0, 0, 3, 3));  // cur3 cur3 next0 next0
    return _mm_shuffle_ps(cur, a, _MM_SHUFFLE(2, 0, 2, 1));
  }
  // SSE2 has no blend: (free & v) | (~free & old), the free bytes widened to
  // whole lanes.
  static void keep_fixed(float* p, const std::uint8_t* free, Vec v) {
    std::int32_t bytes;
    __builtin_memcpy(&bytes, free, 4);
    const __m128i b = _mm_cvtsi32_si128(bytes);
    const __m128i w = _mm_unpacklo_epi8(b, b);
    const Vec m = _mm_castsi128_ps(_mm_unpacklo_epi16(w, w));
    _mm_store_ps(p, _mm_or_ps(_mm_and_ps(m, v), _mm_andnot_ps(m, _mm_load_ps(p))));
  }
};

}  // namespace

void sweep_wavefront_sse2(WavefrontLayout& w) { wavefront::sweep<Lanes>(w); }

}  // namespace kesto::solver
#endif
