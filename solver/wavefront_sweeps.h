// The vector sweeps over the wavefront layout, one per instruction set. They
// exist on x86-64 only, and each may run only on a processor that has its
// instructions (sweep_kernels.h chooses). With `measure` set a sweep also
// returns the largest change of any free cell, found in the same pass;
// otherwise it returns zero. The potentials are the same either way.
#pragma once

#include <cstdint>

#include "solver/wavefront_layout.h"

namespace kesto::solver {

#if defined(__x86_64__)
float sweep_wavefront_sse2(WavefrontLayout& w, bool measure);    // 4 lanes; every x86-64
float sweep_wavefront_avx2(WavefrontLayout& w, bool measure);    // 8 lanes
float sweep_wavefront_avx512(WavefrontLayout& w, bool measure);  // 16 lanes (AVX-512 F)
// Address row tau of a sweep alone (wavefront_kernel.h says when it may
// go); with `measure` the row's largest change.
float sweep_wavefront_row_sse2(WavefrontLayout& w, std::int32_t tau, bool measure);
float sweep_wavefront_row_avx2(WavefrontLayout& w, std::int32_t tau, bool measure);
float sweep_wavefront_row_avx512(WavefrontLayout& w, std::int32_t tau, bool measure);
#endif

}  // namespace kesto::solver
