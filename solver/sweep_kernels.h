// Which kernel makes the sweeps. All of them give the same potentials, bit
// for bit; they differ in speed and in the processors they run on. The
// fastest one this processor runs is used unless one is chosen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kesto::solver {

enum class SweepKernel : std::int32_t {
  plain,   // the in-order loop, cell by cell
  scalar,  // bands of six columns in flight, one cell at a time
  sse2,    // the wavefront layout in vectors of 4 (x86-64)
  avx2,    // ... of 8 (x86-64 with AVX2)
  avx512,  // ... of 16 (x86-64 with AVX-512 F)
};

// The kernels this processor runs, slowest first.
std::vector<SweepKernel> runnable_sweep_kernels();
// The fastest of them.
SweepKernel fastest_sweep_kernel();
// The kernel SWEEP() uses from now on (one this processor runs).
void use_sweep_kernel(SweepKernel kernel);
// The kernel in use.
SweepKernel sweep_kernel();
// "plain", "scalar", "sse2", "avx2", "avx512".
const char* sweep_kernel_name(SweepKernel kernel);
// The kernel of that name if this processor runs it; false otherwise.
bool runnable_sweep_kernel(const std::string& name, SweepKernel& kernel);
// Whether the kernel sweeps its own copy of the potentials (the wavefront
// layout) rather than the grid itself.
bool sweeps_wavefront_layout(SweepKernel kernel);

}  // namespace kesto::solver
