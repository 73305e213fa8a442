// Whole batch runs of full-capacity decks (250 x 110 cells), as a user starts
// them: `kesto --batch DECK` in a scratch directory, window, pictures,
// relaxation, pages and both tables included.
//
// BatchRunDemo: the demonstration deck (1000 sweeps, a progress display
// every 100), in wall-clock time per run.
// BatchRunLong: the demonstration sheet with 20,000 sweeps and one progress
// display, once with the plain loop (KESTO_SWEEP_KERNEL=plain) and once with
// the fastest kernel, each run's processor time (user and system, of the
// program alone) and wall time, and the speed-ups of the fastest kernel.
//
// BatchRunStart: the fixed cost of a run, the demonstration sheet with NSTEP
// 0 (window, pictures, pages and both tables, no sweep): wall and processor
// time of the whole program per run, as every run goes (the direct solve for
// the convergence line included) and without the direct solve
// (KESTO_DIRECT_SOLVE=off, no_solve_*), the two taken in turn.
//
//   ./build/kesto_bench --benchmark_filter=BatchRun --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>


#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "solver/sweep_kernels.h"
#include "timed_run.h"

namespace {

namespace fs = std::filesystem;

fs::path scratch_directory(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  return dir;
}

std::string batch_command(const fs::path& dir, const std::string& env, const std::string& deck) {
  return "cd '" + dir.string() + "' && env -u KESTO_SWEEP_KERNEL -u KESTO_SWEEP_THREADS -u KESTO_DIRECT_SOLVE XDG_CONFIG_HOME='" + dir.string() + "/config' " + env +
         " '" + KESTO_BINARY_DIR + "/kesto' --batch '" + deck + "' > /dev/null 2>&1";
}

void BM_BatchRunDemo(benchmark::State& state) {
  const fs::path dir = scratch_directory("kesto_batch_bench");
  const std::string command = batch_command(dir, "", std::string(KESTO_SOURCE_DIR) + "/examples/DEMO");
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("the batch run did not end normally");
      break;
    }
  }
  state.counters["tables_kB"] =
      static_cast<double>(fs::file_size(dir / "VOLTS.TBL") + fs::file_size(dir / "EFIELD.TBL")) / 1024.0;
  std::error_code ec;
  fs::remove_all(dir, ec);
}

// The demonstration deck with `from` replaced by `to` (which must be there).
bool replace_line(std::string& deck, const std::string& from, const std::string& to) {
  const std::size_t at = deck.find(from);
  if (at == std::string::npos) return false;
  deck.replace(at, from.size(), to);
  return true;
}

using kesto::bench::RunTime;
using kesto::bench::timed_run;

void BM_BatchRunLong(benchmark::State& state) {
  const fs::path dir = scratch_directory("kesto_long_bench");
  std::ifstream in(fs::path(KESTO_SOURCE_DIR) / "examples" / "DEMO.txt", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string deck = text.str();
  if (!replace_line(deck, "\nNSTEP 1000\n", "\nNSTEP 20000\n") ||
      !replace_line(deck, "\nNUP    100\n", "\nNUP    20000\n")) {
    state.SkipWithError("the demonstration deck no longer has its NSTEP and NUP lines");
    return;
  }
  std::ofstream(dir / "LONG.txt", std::ios::binary) << deck;
  const std::string plain = batch_command(dir, "KESTO_SWEEP_KERNEL=plain", "LONG");
  const std::string fastest = batch_command(dir, "", "LONG");
  RunTime slow, fast;
  for (auto _ : state) {
    const RunTime s = timed_run(plain), f = timed_run(fastest);
    if (!s.ok || !f.ok) {
      state.SkipWithError("a batch run did not end normally");
      break;
    }
    slow.cpu += s.cpu, slow.wall += s.wall, fast.cpu += f.cpu, fast.wall += f.wall;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["plain_cpu_s"] = slow.cpu / n;
  state.counters["fast_cpu_s"] = fast.cpu / n;
  state.counters["x_cpu"] = slow.cpu / fast.cpu;
  state.counters["plain_wall_s"] = slow.wall / n;
  state.counters["fast_wall_s"] = fast.wall / n;
  state.counters["x_wall"] = slow.wall / fast.wall;
  state.SetLabel(std::string("fastest: ") + kesto::solver::sweep_kernel_name(kesto::solver::fastest_sweep_kernel()));
  std::error_code ec;
  fs::remove_all(dir, ec);
}

void BM_BatchRunStart(benchmark::State& state) {
  const fs::path dir = scratch_directory("kesto_start_bench");
  std::ifstream in(fs::path(KESTO_SOURCE_DIR) / "examples" / "DEMO.txt", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string deck = text.str();
  if (!replace_line(deck, "\nNSTEP 1000\n", "\nNSTEP 0\n")) {
    state.SkipWithError("the demonstration deck no longer has its NSTEP line");
    return;
  }
  std::ofstream(dir / "START.txt", std::ios::binary) << deck;
  const std::string command = batch_command(dir, "", "START");
  const std::string without_solve = batch_command(dir, "KESTO_DIRECT_SOLVE=off", "START");
  RunTime total, own;
  for (auto _ : state) {
    const RunTime t = timed_run(command), o = timed_run(without_solve);
    if (!t.ok || !o.ok) {
      state.SkipWithError("the batch run did not end normally");
      break;
    }
    total.cpu += t.cpu, total.wall += t.wall, own.cpu += o.cpu, own.wall += o.wall;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["wall_ms"] = 1e3 * total.wall / n;
  state.counters["cpu_ms"] = 1e3 * total.cpu / n;
  state.counters["no_solve_wall_ms"] = 1e3 * own.wall / n;
  state.counters["no_solve_cpu_ms"] = 1e3 * own.cpu / n;
  std::error_code ec;
  fs::remove_all(dir, ec);
}

BENCHMARK(BM_BatchRunDemo)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_BatchRunStart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_BatchRunLong)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

}  // namespace
