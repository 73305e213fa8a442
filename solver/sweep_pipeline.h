// Many sweeps of a run at once: in-order sweeps pipelined over the address
// rows of the wavefront layout, on every core the process may use.
//
// Sweep k + 1 may take address row tau as soon as sweep k has finished row
// tau + 1: the rows it reads then hold exactly the values the plain loop
// gives it, and sweep k no longer reads the row it overwrites. So sweeps
// follow one another at a lag of two rows. Each thread runs a block of
// consecutive sweeps (see use_sweep_block), the block's sweeps staggered by that
// lag so that one pass over the rows advances them all while the rows stay
// in the core's cache; thread t takes blocks t, t + T, t + 2T, ..., each
// block's first sweep following the last sweep of the block before it
// through that block's per-row progress counter (release on publishing,
// acquire on reading, a brief spin while waiting). The potentials are those
// of the same number of sweeps of the plain loop, bit for bit, for every
// number of threads.
#pragma once

#include <chrono>
#include <cstdint>

namespace kesto::solver {

// Sweeps of one thread's block when one thread sweeps, and the fewest a
// block holds (on several threads a block holds 4 or 16 sweeps, whichever
// the batches of the run find faster: block_chooser.h).
constexpr std::int32_t kSweepsInFlight = 4;

// The sweeps of a block on several threads from now on: 4 or 16, or 0 (any
// other number) to let the batches' timings choose again.
void use_sweep_block(std::int32_t sweeps);

// The threads sweeps use from now on, at most 256 (1: the calling thread
// alone; below 1: the default again).
void use_sweep_threads(std::int32_t threads);
// The threads in use: unless chosen, the cores this process may run on.
std::int32_t sweep_threads();
// The cores this process may run on (its affinity mask; at least 1).
std::int32_t available_cores();
// While other work of the run has a core of its own (reserved), the sweeps
// use one thread fewer, at least one; the potentials are the same.
void reserve_sweep_core(bool reserved);

// Up to `count` (>= 1) further sweeps of a run, held as sweep_held() holds
// them, with the kernel in use: sweep i (0-based) also measures its largest
// change into change[i] when measure[i] is set. The first block of
// kSweepsInFlight sweeps (or `count`, if fewer) is always made; a later block
// is started only before `deadline`. Returns the number made: the potentials
// are those of exactly that many sweeps, and every change is that of the
// plain loop's sweep.
std::int32_t sweep_held_until(std::int32_t count, const bool* measure, float* change,
                              std::chrono::steady_clock::time_point deadline);

}  // namespace kesto::solver
