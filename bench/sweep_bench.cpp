// The two sweep kernels on the demonstration deck's full 250 x 110 sheet:
// cell updates per second of the plain in-order loop and of the fast kernel,
// and the fast kernel's speed-up over the plain loop measured side by side.
//
//   ./build/kesto_bench --benchmark_filter=Sweep --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include "demo_deck.h"

#include <time.h>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "common/fixed_text.h"
#include "solver/deck_reader.h"
#include "solver/grid.h"
#include "solver/sweep.h"
#include "textui/file_names.h"

namespace {

namespace fs = std::filesystem;
using namespace kesto;

// The demonstration deck read into the grid, its conductances set and the
// potential relaxed for a while, so that the timed sweeps work on values past
// the first sweeps' tiny (subnormal) numbers, as most sweeps of a run do.
double load_demo_sheet() {
  bench::read_demo_deck();
  solver::SET_CONDUCTANCES();
  for (int n = 0; n < 300; ++n) solver::SWEEP();
  const solver::Grid& g = solver::grid();
  return static_cast<double>(g.NX - 2) * static_cast<double>(g.NY - 2);
}

template <void (*Kernel)()>
void sweep_kernel(benchmark::State& state) {
  const double cells = load_demo_sheet();
  for (auto _ : state) {
    Kernel();
    benchmark::ClobberMemory();
  }
  state.counters["cell_updates_per_s"] =
      benchmark::Counter(cells * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_SweepPlain(benchmark::State& state) { sweep_kernel<solver::sweep_plain>(state); }
void BM_SweepFast(benchmark::State& state) { sweep_kernel<solver::SWEEP>(state); }

// CPU time of this thread in seconds: the ratio below stays meaningful on a
// machine busy with other work.
double thread_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Both kernels in turn on the same sheet, timed separately: their rates and
// the ratio fast / plain.
void BM_SweepSpeedup(benchmark::State& state) {
  const double cells = load_demo_sheet();
  constexpr int kSweeps = 20;
  double plain_seconds = 0.0, fast_seconds = 0.0;
  for (auto _ : state) {
    const double t0 = thread_seconds();
    for (int n = 0; n < kSweeps; ++n) solver::sweep_plain();
    benchmark::ClobberMemory();
    const double t1 = thread_seconds();
    for (int n = 0; n < kSweeps; ++n) solver::SWEEP();
    benchmark::ClobberMemory();
    const double t2 = thread_seconds();
    plain_seconds += t1 - t0;
    fast_seconds += t2 - t1;
  }
  const double updates = cells * kSweeps * static_cast<double>(state.iterations());
  state.counters["plain_updates_per_s"] = updates / plain_seconds;
  state.counters["fast_updates_per_s"] = updates / fast_seconds;
  state.counters["speedup"] = plain_seconds / fast_seconds;
}

}  // namespace

BENCHMARK(BM_SweepPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SweepFast)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SweepSpeedup)->Unit(benchmark::kMillisecond);
