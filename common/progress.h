// Progress of long work, reported to whoever listens (the batch mode's
// progress bar on standard error). Reporting costs one indirect call.
#pragma once

#include <cstdint>

namespace kesto::common {

using ProgressHook = void (*)(std::int32_t done, std::int32_t total);

// Installs the listener; nullptr removes it.
void set_progress_hook(ProgressHook hook);

// Tells the listener, if any, that `done` of `total` steps are complete.
void report_progress(std::int32_t done, std::int32_t total);

}  // namespace kesto::common
