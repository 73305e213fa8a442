// Before a run: every file the run will write, by the names known from the
// command line, must be a file that can be replaced. A name held by a
// directory, a FIFO, a device or a socket (or a link to one) is refused with
// a message, so that the run neither blocks on it nor puts a file in place of
// a system's node.
#pragma once

#include <string>

namespace kesto::app {

struct OutputTargets {
  std::string tables_folder = ".";  // VOLTS.TBL and EFIELD.TBL go here
  std::string markel, convergence;  // files (empty: none)
  std::string pictures, exports;    // folders (empty: none)
};

// False with the message when one of them may not be written to.
bool check_output_targets(const OutputTargets& t, std::string& error);

}  // namespace kesto::app
