// A whole batch run of the full-capacity demonstration deck (250 x 110 cells,
// 1000 sweeps, a progress display every 100), as a user starts it:
// `kesto --batch DEMO` in a scratch directory, window, pictures, relaxation,
// pages and both tables included. Timed in wall-clock time per run.
//
//   ./build/kesto_bench --benchmark_filter=BatchRun
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void BM_BatchRunDemo(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("kesto_batch_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string command = "cd '" + dir.string() + "' && XDG_CONFIG_HOME='" + dir.string() + "/config' '" +
                              KESTO_BINARY_DIR + "/kesto' --batch '" + KESTO_SOURCE_DIR +
                              "/examples/DEMO' > /dev/null 2>&1";
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

BENCHMARK(BM_BatchRunDemo)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
