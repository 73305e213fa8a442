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
// no display to open the window on, or only one that shows nothing (the
// offscreen platform without a script), that is said in one line on
// standard error (result: stalled). A display that is named but does not
// answer ends the process at once with that line and exit status 2: the
// window system cannot be set up again in the same process.
common::RunEnded::Kind PROCESS_ENTRY(int& argc, char** argv, void (*run_driver)(), bool batch);

// Makes sure an application object exists before a window is opened outside
// the process entry (as tests of the layers above may do): one is created on
// the offscreen platform (or the one QT_QPA_PLATFORM names) and kept for the
// life of the process.
void ensure_application();

}  // namespace kesto::shell
