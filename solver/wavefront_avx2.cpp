// The wavefront sweep in AVX vectors of 8 lanes. Compiled with -mavx2 (and
// without -mfma: no multiply-add may be fused); called only where the
// processor has AVX2.
#include "solver/wavefront_sweeps.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include "solver/wavefront_kernel.h"

namespace kesto::solver {
namespace {

struct Lanes {
  static constexpr std::int32_t kWidth = 8;
  using Vec = __m256;
  static Vec load(const float* p) { return _mm256_load_ps(p); }
  static Vec loadu(const float* p) { return _mm256_loadu_ps(p); }
  static void store(float* p, Vec v) { _mm256_store_ps(p, v); }
  static Vec mul(Vec a, Vec b) { return _mm256_mul_ps(a, b); }
  static Vec add(Vec a, Vec b) { return _mm256_add_ps(a, b); }
  static Vec sub(Vec a, Vec b) { return _mm256_sub_ps(a, b); }
  static Vec abs(Vec a) { return _mm256_andnot_ps(_mm256_set1_ps(-0.0f), a); }
  static Vec max(Vec a, Vec b) { return _mm256_max_ps(a, b); }
  static float largest(Vec a) {
    __m128 b = _mm_max_ps(_mm256_castps256_ps128(a), _mm256_extractf128_ps(a, 1));
    b = _mm_max_ps(b, _mm_movehl_ps(b, b));
    return _mm_cvtss_f32(_mm_max_ss(b, _mm_shuffle_ps(b, b, 1)));
  }
  static Vec zero() { return _mm256_setzero_ps(); }
  static Vec after_last(Vec prev, Vec cur) {
    const __m256i t = _mm256_castps_si256(_mm256_permute2f128_ps(prev, cur, 0x21));  // prev high, cur low
    return _mm256_castsi256_ps(_mm256_alignr_epi8(_mm256_castps_si256(cur), t, 12));
  }
  static Vec before_first(Vec cur, Vec next) {
    const __m256i t = _mm256_castps_si256(_mm256_permute2f128_ps(cur, next, 0x21));  // cur high, next low
    return _mm256_castsi256_ps(_mm256_alignr_epi8(t, _mm256_castps_si256(cur), 4));
  }
  static Vec keep_fixed(const std::uint8_t* free, Vec old, Vec v) {
    const __m256i m = _mm256_cvtepi8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(free)));
    return _mm256_blendv_ps(old, v, _mm256_castsi256_ps(m));
  }
};

}  // namespace

float sweep_wavefront_avx2(WavefrontLayout& w, bool measure) { return wavefront::sweep<Lanes>(w, measure); }

float sweep_wavefront_row_avx2(WavefrontLayout& w, std::int32_t tau, bool measure) {
  return wavefront::sweep_row<Lanes>(w, tau, measure);
}

}  // namespace kesto::solver
#endif
