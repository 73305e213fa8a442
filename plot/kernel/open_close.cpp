#include "plot/kernel/kernel.h"
#include "shell/shutdown.h"

namespace kesto::plot {

KernelState& kernel_state() {
  static KernelState k;
  return k;
}

void TEKCLOSE() { shell::SHELL_SHUTDOWN(); }

}  // namespace kesto::plot
