#include <cstdlib>

#include "shell/graphics/graphics_interface.h"

namespace kesto::shell {
namespace {
FatalStopHook g_fatal_stop = nullptr;
}

void set_fatal_stop_hook(FatalStopHook hook) { g_fatal_stop = hook; }

// Ends the run through the hook the text screen installed; without one
// there is nothing above the shell that could end it cleanly.
[[noreturn]] void call_fatal_stop() {
  if (g_fatal_stop) g_fatal_stop();
  std::abort();
}

}  // namespace kesto::shell
