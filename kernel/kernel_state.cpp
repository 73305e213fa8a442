#include "kernel/kernel.h"
#include "kernel/recording.h"

#include <cerrno>

namespace kesto::plot {

KernelState& kernel_state() {
  static KernelState k;
  return k;
}

namespace {

// Keeps the system's reason of the first failed write (a full disk, a
// file-size limit) for the report when the file is closed.
void note_failure(KernelState& k) {
  if (!k.markel && k.markel_error == 0) k.markel_error = errno != 0 ? errno : EIO;
}

}  // namespace

void write_record(const std::string& record) {
  KernelState& k = kernel_state();
  if (!k.markel.is_open()) return;
  errno = 0;
  k.markel << record << '\n';
  note_failure(k);
}

void flush_records() {
  KernelState& k = kernel_state();
  if (!k.markel.is_open()) return;
  errno = 0;
  k.markel.flush();
  note_failure(k);
}

}  // namespace kesto::plot
