// The run reaches batch mode through the solver's hooks (solver/run_hooks.h):
// the names of its pictures, the pages it forgets or leaves, and the
// unattended reading of the deck check. The program installs them before it
// runs; so do the tests that run the solver's phases as the program does.
#pragma once

namespace kesto::app {

void install_batch_hooks();

}  // namespace kesto::app
