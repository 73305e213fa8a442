// The wavefront sweep in AVX-512 vectors of 16 lanes. Compiled with
// -mavx512f (no multiply-add is fused: -ffp-contract=off); called only where
// the processor has AVX-512 F.
#include "solver/wavefront_sweeps.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include "solver/wavefront_kernel.h"

namespace kesto::solver {
namespace {

struct Lanes {
  static constexpr std::int32_t kWidth = 16;
  using Vec = __m512;
  static Vec load(const float* p) { return _mm512_load_ps(p); }
  static Vec loadu(const float* p) { return _mm512_loadu_ps(p); }
  static void store(float* p, Vec v) { _mm512_store_ps(p, v); }
  static Vec mul(Vec a, Vec b) { return _mm512_mul_ps(a, b); }
  static Vec add(Vec a, Vec b) { return _mm512_add_ps(a, b); }
  static Vec sub(Vec a, Vec b) { return _mm512_sub_ps(a, b); }
  static Vec abs(Vec a) { return _mm512_abs_ps(a); }
  // (The masked forms: GCC's unmasked ones start from an "undefined" vector
  // that it then warns about.)
  static Vec max(Vec a, Vec b) { return _mm512_maskz_max_ps(0xFFFF, a, b); }
  // Each lane against its partner in the other half, quarter, pair and
  // neighbour. No lane is a NaN (max passes NaN changes over), so the order
  // in which lanes meet does not change the result.
  static float largest(Vec a) {
    a = max(a, _mm512_maskz_shuffle_f32x4(0xFFFF, a, a, _MM_SHUFFLE(1, 0, 3, 2)));
    a = max(a, _mm512_maskz_shuffle_f32x4(0xFFFF, a, a, _MM_SHUFFLE(2, 3, 0, 1)));
    a = max(a, _mm512_maskz_permute_ps(0xFFFF, a, _MM_SHUFFLE(1, 0, 3, 2)));
    a = max(a, _mm512_maskz_permute_ps(0xFFFF, a, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm512_cvtss_f32(a);
  }
  static Vec zero() { return _mm512_setzero_ps(); }
  static Vec after_last(Vec prev, Vec cur) {
    return _mm512_castsi512_ps(
        _mm512_maskz_alignr_epi32(0xFFFF, _mm512_castps_si512(cur), _mm512_castps_si512(prev), 15));
  }
  static Vec before_first(Vec cur, Vec next) {
    return _mm512_castsi512_ps(
        _mm512_maskz_alignr_epi32(0xFFFF, _mm512_castps_si512(next), _mm512_castps_si512(cur), 1));
  }
  static Vec keep_fixed(const std::uint8_t* free, Vec old, Vec v) {
    const __mmask16 k =
        static_cast<__mmask16>(_mm_movemask_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(free))));
    return _mm512_mask_blend_ps(k, old, v);
  }
};

}  // namespace

float sweep_wavefront_avx512(WavefrontLayout& w, bool measure) { return wavefront::sweep<Lanes>(w, measure); }

float sweep_wavefront_row_avx512(WavefrontLayout& w, std::int32_t tau, bool measure) {
  return wavefront::sweep_row<Lanes>(w, tau, measure);
}

}  // namespace kesto::solver
#endif
