// The direct solve of the network on the full 250 x 110 grid (the
// demonstration deck), step by step, and what it adds to a whole batch run.
//
// BM_DirectSolve: setting the system up, the ordering and factorisation,
// and the solve with its check and refinement, each in milliseconds (thread
// processor time, so that other programs on the machine weigh less); the
// bytes the factor holds and the growth of the resident memory while it is
// made (peak minus start, from /proc/self/status after resetting the peak).
// BM_BatchRunDirectSolve: the demonstration deck as a batch run with
// --converged DIR against the same run with the direct solve turned off
// (KESTO_DIRECT_SOLVE=off), twelve pairs taken in turn: the median wall and
// processor time of each, and the extra share of the medians (a virtual
// machine's odd slow run moves a median least).
//
//   ./build/kesto_bench --benchmark_filter=DirectSolve --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/freed_memory.h"
#include "demo_deck.h"
#include "solver/network_solve.h"
#include "solver/sweep.h"
#include "timed_run.h"

namespace {

namespace fs = std::filesystem;

double thread_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return 1e3 * static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_nsec);
}

// A "VmRSS:" or "VmHWM:" figure of this process, in kB.
long status_kb(const std::string& key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size());
  return 0;
}

void BM_DirectSolve(benchmark::State& state) {
  kesto::common::keep_freed_memory();  // as the program does
  kesto::bench::read_demo_deck();
  kesto::solver::SET_CONDUCTANCES();
  double setup = 0, factor = 0, solve = 0, peak_kb = 0;
  std::size_t factor_bytes = 0;
  for (auto _ : state) {
    kesto::solver::ConvergedPotential p;
    kesto::solver::NetworkSolver solver;
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    const long start_kb = status_kb("VmRSS:");
    const double t0 = thread_ms();
    bool ok = solver.set_up(kesto::solver::grid(), p);
    const double t1 = thread_ms();
    ok = ok && solver.factorise(p);
    const double t2 = thread_ms();
    ok = ok && solver.solve(p);
    const double t3 = thread_ms();
    if (!ok) {
      state.SkipWithError(p.failure.c_str());
      break;
    }
    setup += t1 - t0, factor += t2 - t1, solve += t3 - t2;
    peak_kb = std::max(peak_kb, static_cast<double>(status_kb("VmHWM:") - start_kb));
    factor_bytes = solver.factor_bytes();
    benchmark::DoNotOptimize(p.V.data());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["setup_ms"] = setup / n;
  state.counters["factor_ms"] = factor / n;
  state.counters["solve_ms"] = solve / n;
  state.counters["total_ms"] = (setup + factor + solve) / n;
  state.counters["factor_MB"] = static_cast<double>(factor_bytes) / (1024.0 * 1024.0);
  state.counters["peak_rss_MB"] = peak_kb / 1024.0;
}

using kesto::bench::RunTime;
using kesto::bench::timed_run;

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n == 0 ? 0.0 : n % 2 == 1 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

void BM_BatchRunDirectSolve(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("kesto_converged_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir / "converged");
  const std::string start = "cd '" + dir.string() + "' && env -u KESTO_SWEEP_KERNEL -u KESTO_DIRECT_SOLVE XDG_CONFIG_HOME='" +
                            dir.string() + "/config' ";
  const std::string deck = " '" + std::string(KESTO_BINARY_DIR) + "/kesto' --batch '" + KESTO_SOURCE_DIR +
                           "/examples/DEMO'";
  const std::string with = start + deck + " --converged converged > /dev/null 2>&1";
  const std::string without = start + "KESTO_DIRECT_SOLVE=off" + deck + " > /dev/null 2>&1";
  std::vector<double> with_wall, with_cpu, without_wall, without_cpu;
  for (auto _ : state) {
    const RunTime w = timed_run(with), o = timed_run(without);
    if (!w.ok || !o.ok) {
      state.SkipWithError("a batch run did not end normally");
      return;
    }
    with_wall.push_back(w.wall), with_cpu.push_back(w.cpu);
    without_wall.push_back(o.wall), without_cpu.push_back(o.cpu);
  }
  const double a_wall = median(with_wall), b_wall = median(without_wall);
  const double a_cpu = median(with_cpu), b_cpu = median(without_cpu);
  state.counters["with_wall_s"] = a_wall;
  state.counters["without_wall_s"] = b_wall;
  state.counters["extra_wall_pct"] = 100.0 * (a_wall - b_wall) / b_wall;
  state.counters["with_cpu_s"] = a_cpu;
  state.counters["without_cpu_s"] = b_cpu;
  state.counters["extra_cpu_pct"] = 100.0 * (a_cpu - b_cpu) / b_cpu;
  std::error_code ec;
  fs::remove_all(dir, ec);
}

BENCHMARK(BM_DirectSolve)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_BatchRunDirectSolve)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(12);

}  // namespace
