// Listing a directory of many files for the chooser: 10,000 files of which
// 5,000 match "*.txt", read, sorted and cut to the first 100 names. The
// chooser's first page waits for this, so it must stay well below what a
// user notices (a few tens of milliseconds).
//
//   ./build/kesto_bench --benchmark_filter=FileList
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/fixed_text.h"
#include "textui/file_lists.h"
#include "textui/file_names.h"

namespace {

namespace fs = std::filesystem;

void FileListOfTenThousandFiles(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("kesto_list_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (int i = 0; i < 10000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "r%05d.%s", i, i % 2 ? "txt" : "dat");
    std::ofstream(dir / name);
  }
  kesto::textui::SET_SEPARATORS();
  const std::string directory = kesto::common::pad(dir.string(), 66);
  kesto::textui::NameList list;
  for (auto _ : state) {
    kesto::textui::LIST_BY_EXTENSION(directory, "txt", list);
    benchmark::DoNotOptimize(list.names.data());
  }
  if (list.count() != 100) state.SkipWithError("the list did not hold 100 names");
  fs::remove_all(dir);
}
BENCHMARK(FileListOfTenThousandFiles)->Unit(benchmark::kMillisecond);

}  // namespace
