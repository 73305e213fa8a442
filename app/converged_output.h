// --converged DIR: the tables of the converged potential, VOLTS.TBL and
// EFIELD.TBL in the run's own format, written into DIR after the run's own
// tables. Each is written under a temporary name and renamed into place once
// both are complete, so a failure leaves the earlier tables in DIR as they
// were; a run that ends before its tables writes nothing there.
#pragma once

#include <string>

namespace kesto::app {

// Checks DIR before the run (it must be a folder other than the current one,
// and writable) and installs the writer. False, with the reason in `error`,
// when it cannot be used; nothing is installed then. An empty `dir` installs
// nothing.
bool start_converged_output(const std::string& dir, std::string& error);
// Uninstalls it. False when the tables were due and could not be written
// (the reason is on standard error).
bool end_converged_output();

}  // namespace kesto::app
