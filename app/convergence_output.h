// Where a run's convergence report goes: its line to standard error (batch
// runs, and interactive runs started from a terminal), and with
// --convergence FILE the largest change of every sweep to FILE, two columns
// for plotting:
//   # sweep  largest change of any cell (V)
//   1 5.00000000E+00
// The file is written beside FILE under a temporary name and renamed into
// place once the sweeps are complete; a run that ends before leaves an
// earlier FILE as it was.
#pragma once

#include <string>

namespace kesto::app {

// Installs the report for this run. False, with the reason in `error`, when
// `file` (if not empty) cannot be written; nothing is installed then.
bool start_convergence_output(bool show_line, const std::string& file, std::string& error);
// Uninstalls it, removing the temporary file of sweeps that did not finish.
// False when the file was to be written and could not be (the reason is on
// standard error).
bool end_convergence_output();

}  // namespace kesto::app
