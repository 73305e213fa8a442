// The sweep kernel named by the environment variable KESTO_SWEEP_KERNEL, for
// comparing the kernels' speeds on whole runs (all of them give the same
// potentials); without it the fastest kernel this processor runs is used.
#pragma once

#include <string>

namespace kesto::app {

// Uses the kernel `name` names ("plain", "scalar", "sse2", "avx2",
// "avx512"); a null or empty name changes nothing. False, with the reason in
// `error`, when this processor runs no kernel of that name.
bool choose_sweep_kernel(const char* name, std::string& error);

}  // namespace kesto::app
