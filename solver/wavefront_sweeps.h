// The vector sweeps over the wavefront layout, one per instruction set. They
// exist on x86-64 only, and each may run only on a processor that has its
// instructions (sweep_kernels.h chooses).
#pragma once

#include "solver/wavefront_layout.h"

namespace kesto::solver {

#if defined(__x86_64__)
void sweep_wavefront_sse2(WavefrontLayout& w);    // 4 lanes; every x86-64
void sweep_wavefront_avx2(WavefrontLayout& w);    // 8 lanes
void sweep_wavefront_avx512(WavefrontLayout& w);  // 16 lanes (AVX-512 F)
#endif

}  // namespace kesto::solver
