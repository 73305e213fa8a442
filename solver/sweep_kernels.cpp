#include "solver/sweep_kernels.h"

namespace kesto::solver {
namespace {

constexpr SweepKernel kAll[] = {SweepKernel::plain, SweepKernel::scalar, SweepKernel::sse2, SweepKernel::avx2,
                                SweepKernel::avx512};

bool runs(SweepKernel kernel) {
  switch (kernel) {
    case SweepKernel::plain:
    case SweepKernel::scalar: return true;
#if defined(__x86_64__)
    case SweepKernel::sse2: return true;
    case SweepKernel::avx2: __builtin_cpu_init(); return __builtin_cpu_supports("avx2");
    case SweepKernel::avx512: __builtin_cpu_init(); return __builtin_cpu_supports("avx512f");
#endif
    default: return false;
  }
}

SweepKernel& in_use() {
  static SweepKernel kernel = fastest_sweep_kernel();
  return kernel;
}

}  // namespace

std::vector<SweepKernel> runnable_sweep_kernels() {
  std::vector<SweepKernel> kernels;
  for (SweepKernel k : kAll)
    if (runs(k)) kernels.push_back(k);
  return kernels;
}

SweepKernel fastest_sweep_kernel() { return runnable_sweep_kernels().back(); }

void use_sweep_kernel(SweepKernel kernel) { in_use() = runs(kernel) ? kernel : fastest_sweep_kernel(); }

SweepKernel sweep_kernel() { return in_use(); }

const char* sweep_kernel_name(SweepKernel kernel) {
  switch (kernel) {
    case SweepKernel::plain: return "plain";
    case SweepKernel::scalar: return "scalar";
    case SweepKernel::sse2: return "sse2";
    case SweepKernel::avx2: return "avx2";
    case SweepKernel::avx512: return "avx512";
  }
  return "?";
}

bool runnable_sweep_kernel(const std::string& name, SweepKernel& kernel) {
  for (SweepKernel k : kAll)
    if (name == sweep_kernel_name(k) && runs(k)) {
      kernel = k;
      return true;
    }
  return false;
}

bool sweeps_wavefront_layout(SweepKernel kernel) {
  return kernel == SweepKernel::sse2 || kernel == SweepKernel::avx2 || kernel == SweepKernel::avx512;
}

}  // namespace kesto::solver
