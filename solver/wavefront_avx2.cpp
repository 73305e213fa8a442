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
  static Vec mul(Vec a, Vec b) { return _mm256_mul_ps(a, b); }
  static Vec add(Vec a, Vec b) { return _mm256_add_ps(a, b); }
  static Vec after_last(Vec prev, Vec cur) {
    const __m256i t = _mm256_castps_si256(_mm256_permute2f128_ps(prev, cur, 0x21));  // prev high, cur low
    return _mm256_castsi256_ps(_mm256_alignr_epi8(_mm256_castps_si256(cur), t, 12));
  }
  static Vec before_first(Vec cur, Vec next) {
    const __m256i t = _mm256_castps_si256(_mm256_permute2f128_ps(cur, next, 0x21));  // cur high, next low
    return _mm256_castsi256_ps(_mm256_alignr_epi8(t, _mm256_castps_si256(cur), 4));
  }
  static void keep_fixed(float* p, const std::uint8_t* free, Vec v) {
    const __m256i m = _mm256_cvtepi8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(free)));
    _mm256_store_ps(p, _mm256_blendv_ps(_mm256_load_ps(p), v, _mm256_castsi256_ps(m)));
  }
};

}  // namespace

void sweep_wavefront_avx2(WavefrontLayout& w) { wavefront::sweep<Lanes>(w); }

}  // namespace kesto::solver
#endif
