// The orderly end of the shell: settings written back, resources released.
#pragma once

namespace kesto::shell {

// Writes the settings file and (once per run) releases the window and its
// drawing resources. Returns to the caller, which then ends the run. A later
// OPEN_WINDOW in the same process opens a new window.
void SHELL_SHUTDOWN();

}  // namespace kesto::shell
