// The sweep kernels on the demonstration deck's full 250 x 110 sheet (three
// electrodes, an insulating slot, a resistive patch inside a resistive
// sheet): cell updates per second of every kernel this processor runs (the
// plain in-order loop, the scalar wavefront, the vector wavefront in each
// instruction set), each with and without the measure of the sweep's largest
// change that a run's convergence report takes; the kernels' speed-ups over
// the plain loop, all of them sweeping as a long run does (measuring the
// change of every eighth sweep and recording it); and what the report costs
// each kernel, measuring every sweep and as a run does.
//
// BM_SweepThreads/1, /2, /all: the fastest kernel pipelined over the sweeps
// of a run on that many threads, cell updates per second.
//
//   ./build/kesto_bench --benchmark_filter=Sweep --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include "demo_deck.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "solver/convergence.h"
#include "solver/grid.h"
#include "solver/sweep.h"
#include "solver/sweep_kernels.h"
#include "solver/sweep_pipeline.h"

namespace {

using namespace kesto;

double thread_seconds();
double core_ghz();
using solver::SweepKernel;

// The demonstration deck read into the grid, its conductances set and the
// potential relaxed for a while, so that the timed sweeps work on values past
// the first sweeps' tiny (subnormal) numbers, as most sweeps of a run do.
double load_demo_sheet() {
  bench::read_demo_deck();
  solver::SET_CONDUCTANCES();
  solver::use_sweep_kernel(solver::fastest_sweep_kernel());
  for (int n = 0; n < 300; ++n) solver::sweep_held();
  solver::sync_potentials();
  const solver::Grid& g = solver::grid();
  return static_cast<double>(g.NX - 2) * static_cast<double>(g.NY - 2);
}

enum class Measure {
  none,   // no measure of the change
  every,  // every sweep measures its largest change
  run,    // as a run of 20,000 sweeps: the sweeps its record samples measure and record it
};

// One sweep, the n-th of a run of 20,000 (started with start_run()).
void sweep(Measure measure, std::int32_t n) {
  if (measure == Measure::every) {
    benchmark::DoNotOptimize(solver::sweep_held_change());
  } else if (measure == Measure::run && solver::sweep_change_wanted(n)) {
    solver::record_sweep_change(n, solver::sweep_held_change());
  } else {
    solver::sweep_held();
  }
}

void start_run() { solver::start_convergence_record(20000); }

// One kernel, sweeping as the relaxation does: the vector kernels keep the
// potentials in their own layout from sweep to sweep.
void BM_Sweep(benchmark::State& state, SweepKernel kernel, Measure measure) {
  const double cells = load_demo_sheet();
  solver::use_sweep_kernel(kernel);
  const double t0 = thread_seconds();
  for (auto _ : state) {
    sweep(measure, 1);
    benchmark::ClobberMemory();
  }
  const double seconds = thread_seconds() - t0;
  solver::sync_potentials();
  const double updates = cells * static_cast<double>(state.iterations());
  state.counters["cell_updates_per_s"] = benchmark::Counter(updates, benchmark::Counter::kIsRate);
  state.counters["ns_per_cell"] = 1e9 * seconds / updates;
  if (core_ghz() > 0.0) state.counters["cycles_per_cell"] = core_ghz() * 1e9 * seconds / updates;
  solver::use_sweep_kernel(solver::fastest_sweep_kernel());
}

// The processor's clock in GHz while it runs this thread: a chain of
// dependent integer additions, one per cycle. On other processors than
// x86-64, zero (no cycle counts are shown).
double core_ghz() {
#if defined(__x86_64__)
  static const double ghz = [] {
    constexpr long kLoops = 100000000;
    double best = 0.0;
    for (int rep = 0; rep < 3; ++rep) {
      long x = 0;
      const double t0 = thread_seconds();
      for (long i = 0; i < kLoops; ++i) asm volatile("add $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0" : "+r"(x));
      const double t = thread_seconds() - t0;
      if (t > 0.0 && 4.0 * kLoops / t / 1e9 > best) best = 4.0 * kLoops / t / 1e9;
    }
    return best;
  }();
  return ghz;
#else
  return 0.0;
#endif
}

// CPU time of this thread in seconds: the ratios below stay meaningful on a
// machine busy with other work.
double thread_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Every kernel in turn on the same sheet, timed separately, each sweeping as
// a long run does, its convergence report included: each one's cell updates
// per second (M_<kernel>, millions) and its speed-up over the plain loop
// (x_<kernel>), which sweeps the same way.
void BM_SweepSpeedup(benchmark::State& state) {
  const double cells = load_demo_sheet();
  start_run();
  std::int32_t sweeps = 0;
  const std::vector<SweepKernel> kernels = solver::runnable_sweep_kernels();
  std::vector<double> seconds(kernels.size(), 0.0);
  constexpr int kSweeps = 20;
  for (auto _ : state) {
    for (std::size_t k = 0; k < kernels.size(); ++k) {
      solver::use_sweep_kernel(kernels[k]);
      const double t0 = thread_seconds();
      for (int n = 0; n < kSweeps; ++n) sweep(Measure::run, sweeps++ % 20000 + 1);
      solver::sync_potentials();
      benchmark::ClobberMemory();
      seconds[k] += thread_seconds() - t0;
    }
  }
  const double updates = cells * kSweeps * static_cast<double>(state.iterations());
  for (std::size_t k = 0; k < kernels.size(); ++k) {
    const std::string name = solver::sweep_kernel_name(kernels[k]);
    state.counters["M_" + name] = updates / seconds[k] / 1e6;
    if (kernels[k] != SweepKernel::plain) state.counters["x_" + name] = seconds[0] / seconds[k];
  }
  state.counters["core_GHz"] = core_ghz();
  state.SetLabel(std::string("sweeping as a run does; fastest: ") + solver::sweep_kernel_name(kernels.back()));
  solver::use_sweep_kernel(solver::fastest_sweep_kernel());
}

// What the convergence report costs each kernel: blocks of sweeps without
// the measure, with it in every sweep, and as a long run makes them,
// alternating on the same sheet; the extra time of each block in per cent of
// the time without (every_pct_<kernel>, run_pct_<kernel>; the report's budget
// is 5). Each mode counts its fastest block, which other work on the machine
// has disturbed least.
void BM_SweepChangeCost(benchmark::State& state) {
  load_demo_sheet();
  start_run();
  std::int32_t sweeps = 0;
  const std::vector<SweepKernel> kernels = solver::runnable_sweep_kernels();
  constexpr Measure kModes[] = {Measure::none, Measure::every, Measure::run};
  std::vector<std::vector<double>> fastest(3, std::vector<double>(kernels.size(), 1e30));
  constexpr int kSweeps = 64;
  for (auto _ : state) {
    for (std::size_t k = 0; k < kernels.size(); ++k) {
      solver::use_sweep_kernel(kernels[k]);
      solver::sweep_held();  // takes the potentials into the kernel's layout, untimed
      for (int m : {0, 1, 2, 2, 1, 0}) {
        const double t0 = thread_seconds();
        for (int n = 0; n < kSweeps; ++n) sweep(kModes[m], sweeps++ % 20000 + 1);
        benchmark::ClobberMemory();
        double& best = fastest[static_cast<std::size_t>(m)][k];
        best = std::min(best, thread_seconds() - t0);
      }
      solver::sync_potentials();
    }
  }
  for (std::size_t k = 0; k < kernels.size(); ++k) {
    const std::string name = solver::sweep_kernel_name(kernels[k]);
    state.counters["every_pct_" + name] = 100.0 * (fastest[1][k] - fastest[0][k]) / fastest[0][k];
    state.counters["run_pct_" + name] = 100.0 * (fastest[2][k] - fastest[0][k]) / fastest[0][k];
  }
  solver::use_sweep_kernel(solver::fastest_sweep_kernel());
}

// The fastest kernel pipelined on 1, 2 and all threads (`chosen`; 0: one
// per core the process may use), in batches of 512 sweeps as a long run
// makes them, its samples measuring their change: cell updates per second of
// wall time (the threads share the work), and the processor's cycles per
// cell update on one core's share (cycles_per_cell_core).
void BM_SweepThreads(benchmark::State& state, std::int32_t chosen) {
  const double cells = load_demo_sheet();
  const std::int32_t threads = chosen > 0 ? chosen : solver::available_cores();
  solver::use_sweep_threads(threads);
  start_run();
  constexpr std::int32_t kBatch = 512;
  bool measure[kBatch];
  float change[kBatch];
  for (std::int32_t i = 0; i < kBatch; ++i) measure[i] = solver::sweep_change_wanted(i + 1);
  const auto t0 = std::chrono::steady_clock::now();
  double sweeps = 0.0;
  for (auto _ : state) {
    sweeps += solver::sweep_held_until(kBatch, measure, change, std::chrono::steady_clock::time_point::max());
    benchmark::ClobberMemory();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  solver::sync_potentials();
  const double updates = cells * sweeps;
  state.counters["cell_updates_per_s"] = updates / seconds;
  state.counters["threads"] = threads;
  if (core_ghz() > 0.0) state.counters["cycles_per_cell_core"] = core_ghz() * 1e9 * seconds * threads / updates;
  state.SetLabel(solver::sweep_kernel_name(solver::sweep_kernel()));
  solver::use_sweep_threads(0);
}

// One benchmark per kernel this processor runs, without and with the measure.
const bool kRegistered = [] {
  for (SweepKernel k : solver::runnable_sweep_kernels())
    for (const Measure measure : {Measure::none, Measure::every})
      benchmark::RegisterBenchmark(
          (std::string("BM_Sweep/") + solver::sweep_kernel_name(k) + (measure == Measure::every ? "/change" : ""))
              .c_str(),
          BM_Sweep, k, measure)
          ->Unit(benchmark::kMicrosecond);
  for (const int threads : {1, 2, 0})
    benchmark::RegisterBenchmark((std::string("BM_SweepThreads/") + (threads > 0 ? std::to_string(threads) : "all")).c_str(),
                                 BM_SweepThreads, threads)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  benchmark::RegisterBenchmark("BM_SweepSpeedup", BM_SweepSpeedup)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_SweepChangeCost", BM_SweepChangeCost)->Unit(benchmark::kMillisecond)->MinTime(2.0);
  return true;
}();

}  // namespace
