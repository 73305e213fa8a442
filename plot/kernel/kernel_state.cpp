#include "plot/kernel/kernel.h"
#include "plot/kernel/recording.h"

namespace kesto::plot {

KernelState& kernel_state() {
  static KernelState k;
  return k;
}

void write_record(const std::string& record) {
  KernelState& k = kernel_state();
  if (k.markel.is_open()) k.markel << record << '\n';
}

void flush_records() {
  KernelState& k = kernel_state();
  if (k.markel.is_open()) k.markel.flush();
}

}  // namespace kesto::plot
