#include "app/sweep_kernel_choice.h"

#include <cstdint>

#include "solver/sweep_kernels.h"
#include "solver/sweep_pipeline.h"

namespace kesto::app {

bool choose_sweep_kernel(const char* name, std::string& error) {
  if (name == nullptr || *name == '\0') return true;
  solver::SweepKernel kernel{};
  if (solver::runnable_sweep_kernel(name, kernel)) {
    solver::use_sweep_kernel(kernel);
    return true;
  }
  error = std::string("KESTO_SWEEP_KERNEL=") + name + " names no sweep kernel this processor runs; it runs";
  for (solver::SweepKernel k : solver::runnable_sweep_kernels())
    error += std::string(" ") + solver::sweep_kernel_name(k);
  return false;
}

bool choose_sweep_threads(const char* count, std::string& error) {
  if (count == nullptr || *count == '\0') return true;
  std::int32_t n = 0;
  const char* c = count;
  for (; *c >= '0' && *c <= '9' && n <= 256; ++c) n = n * 10 + (*c - '0');
  if (*c != '\0' || n < 1 || n > 256) {
    error = std::string("KESTO_SWEEP_THREADS=") + count + " is no number of threads from 1 to 256";
    return false;
  }
  solver::use_sweep_threads(n);
  return true;
}

}  // namespace kesto::app
