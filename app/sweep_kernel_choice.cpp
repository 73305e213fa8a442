#include "app/sweep_kernel_choice.h"

#include "solver/sweep_kernels.h"

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

}  // namespace kesto::app
