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
  static void store(float* p, Vec v) { _mm_store_ps(p, v); }
  static Vec mul(Vec a, Vec b) { return _mm_mul_ps(a, b); }
  static Vec add(Vec a, Vec b) { return _mm_add_ps(a, b); }
  static Vec sub(Vec a, Vec b) { return _mm_sub_ps(a, b); }
  static Vec abs(Vec a) { return _mm_andnot_ps(_mm_set1_ps(-0.0f), a); }
  static Vec max(Vec a, Vec b) { return _mm_max_ps(a, b); }
  static float largest(Vec a) {
    const Vec b = _mm_max_ps(a, _mm_movehl_ps(a, a));
    return _mm_cvtss_f32(_mm_max_ss(b, _mm_shuffle_ps(b, b, 1)));
  }
  static Vec zero() { return _mm_setzero_ps(); }
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
  static Vec keep_fixed(const std::uint8_t* free, Vec old, Vec v) {
    std::int32_t bytes;
    __builtin_memcpy(&bytes, free, 4);
    const __m128i b = _mm_cvtsi32_si128(bytes);
    const __m128i w = _mm_unpacklo_epi8(b, b);
    const Vec m = _mm_castsi128_ps(_mm_unpacklo_epi16(w, w));
    return _mm_or_ps(_mm_and_ps(m, v), _mm_andnot_ps(m, old));
  }
};

}  // namespace

float sweep_wavefront_sse2(WavefrontLayout& w, bool measure) { return wavefront::sweep<Lanes>(w, measure); }

float sweep_wavefront_row_sse2(WavefrontLayout& w, std::int32_t tau, bool measure) {
  return wavefront::sweep_row<Lanes>(w, tau, measure);
}

}  // namespace kesto::solver
#endif
