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
  static Vec mul(Vec a, Vec b) { return _mm512_mul_ps(a, b); }
  static Vec add(Vec a, Vec b) { return _mm512_add_ps(a, b); }
  static Vec after_last(Vec prev, Vec cur) {
    return _mm512_castsi512_ps(
        _mm512_maskz_alignr_epi32(0xFFFF, _mm512_castps_si512(cur), _mm512_castps_si512(prev), 15));
  }
  static Vec before_first(Vec cur, Vec next) {
    return _mm512_castsi512_ps(
        _mm512_maskz_alignr_epi32(0xFFFF, _mm512_castps_si512(next), _mm512_castps_si512(cur), 1));
  }
  static void keep_fixed(float* p, const std::uint8_t* free, Vec v) {
    const __mmask16 k =
        static_cast<__mmask16>(_mm_movemask_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(free))));
    _mm512_store_ps(p, _mm512_mask_blend_ps(k, _mm512_load_ps(p), v));
  }
};

}  // namespace

void sweep_wavefront_avx512(WavefrontLayout& w) { wavefront::sweep<Lanes>(w); }

}  // namespace kesto::solver
#endif
