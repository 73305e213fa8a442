// The process entry: the window system is set up, the plot buffer
// allocated, the run driver called, and the shell shut down after it.
#pragma once

#include "common/run_ended.h"

namespace kesto::shell {

// Creates the application object when none exists yet (batch mode, and a
// scripted run without a display, run on the offscreen platform), allocates
// the plot buffer, calls the run driver and, unless the run ended abruptly,
// shuts the shell down (SHELL_SHUTDOWN). Returns how the run ended. When the
// plot buffer cannot be allocated, "Can't allocate memory for plot buffer"
// is shown and the run driver is not called (result: abrupt); when there is
// no display to open the window on, that is said on standard error (result:
// stalled).
common::RunEnded::Kind PROCESS_ENTRY(int& argc, char** argv, void (*run_driver)(), bool batch);

}  // namespace kesto::shell
