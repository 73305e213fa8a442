#include "common/progress.h"

namespace kesto::common {
namespace {
ProgressHook g_hook = nullptr;
}

void set_progress_hook(ProgressHook hook) { g_hook = hook; }

void report_progress(std::int32_t done, std::int32_t total) {
  if (g_hook) g_hook(done, total);
}

}  // namespace kesto::common
