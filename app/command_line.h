// The command line of the kesto program: an interactive run, or a batch run.
#pragma once

namespace kesto::app {

// Runs the program with the given arguments and returns its exit status.
int run_kesto(int argc, char** argv);

}  // namespace kesto::app
