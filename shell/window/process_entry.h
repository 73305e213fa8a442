// The process entry: the window system is set up, the plot buffer
// allocated, the run driver called, and the shell shut down after it.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

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

// ---- Running without a person at the window ------------------------------
// Batch mode (the automatic user answers every wait, each page it waits on
// goes to standard output) on or off; completed pictures are saved as PNG
// files in pictures_dir, and the run's last picture exported in every format
// to export_dir (empty: not at all).
void SET_BATCH_MODE(bool enabled, const std::string& pictures_dir, const std::string& export_dir);
// False when a picture file of pictures_dir or export_dir could not be
// written since batch mode was set.
bool BATCH_FILES_WRITTEN();
// The steps of the script file at `path` (see shell/script/script.h for its
// form), done before anyone else answers; false, with the reason, when it
// cannot be read or is not a script.
bool LOAD_SCRIPT_FILE(const std::string& path, std::string& error);
// True once the window has been closed in this run.
bool WINDOW_CLOSED();
// What a run tells batch mode: the name of the picture now drawn (its file
// name), that pages are answered again even when they repeat, that the page
// now shown is left.
void NAME_BATCH_PICTURE(const std::string& name);
void FORGET_BATCH_PAGES();
void LEAVE_BATCH_PAGE();
// Runs `body` as a batch run of its own: every wait answered by the
// automatic user, the pages written to `pages`; batch mode is as before
// afterwards.
void RUN_AS_BATCH(std::ostream& pages, const std::function<void()>& body);

// Makes sure an application object exists before a window is opened outside
// the process entry (as tests of the layers above may do): one is created on
// the offscreen platform (or the one QT_QPA_PLATFORM names) and kept for the
// life of the process.
void ensure_application();

}  // namespace kesto::shell
