// The sweep kernel named by the environment variable KESTO_SWEEP_KERNEL, for
// comparing the kernels' speeds on whole runs (all of them give the same
// potentials); without it the fastest kernel this processor runs is used.
// Likewise the number of threads that sweep, KESTO_SWEEP_THREADS; without it
// one per core the process may use.
#pragma once

#include <string>

namespace kesto::app {

// Uses the kernel `name` names ("plain", "scalar", "sse2", "avx2",
// "avx512"); a null or empty name changes nothing. False, with the reason in
// `error`, when this processor runs no kernel of that name.
bool choose_sweep_kernel(const char* name, std::string& error);
// Sweeps with `count` threads (a decimal number, 1 to 256); a null or empty
// text changes nothing. False, with the reason in `error`, for any other text.
bool choose_sweep_threads(const char* count, std::string& error);

}  // namespace kesto::app
