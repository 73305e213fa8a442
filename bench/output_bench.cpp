// Exporting the demonstration deck's final picture, the full-capacity map
// (250 x 110 cells, each in its own colour, with the electrodes' outlines,
// the colour bar and its labels), from the batch mode's 1400 x 1000 window:
// each writer builds its file and writes it, as the menu commands and the
// batch export do. Every writer must stay well under 0.5 s.
//
//   ./build/kesto_bench --benchmark_filter=Export --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include "demo_deck.h"

#include <QApplication>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>

#include "common/file_replacing.h"
#include "kernel/kernel.h"
#include "plot/result_maps.h"
#include "plot/sheet.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/output/emf_writer.h"
#include "shell/output/eps_writer.h"
#include "shell/output/printing.h"
#include "shell/output/tiff_writer.h"
#include "shell/output/wmf_writer.h"
#include "shell/script/batch.h"
#include "shell/settings/settings.h"
#include "solver/relaxation.h"
#include "solver/sweep.h"

namespace {

namespace fs = std::filesystem;
using namespace kesto;

// The picture, drawn once into the plot buffer of an offscreen batch window.
const fs::path& picture_folder() {
  static const fs::path dir = [] {
    static int argc = 3;
    static char a0[] = "kesto_bench", a1[] = "-platform", a2[] = "offscreen";
    static char* argv[] = {a0, a1, a2, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    shell::batch_mode().enabled = true;
    if (shell::plot_buffer().block.empty()) shell::ALLOCATE_PLOT_BUFFER();
    plot::TEKOPEN("kesto", 5);
    QCoreApplication::processEvents();  // the window takes its batch size
    shell::settings().ColorWindow = 1;  // whatever the settings file says
    bench::read_demo_deck();
    plot::use_sheet(solver::grid());
    plot::MAP_LAYOUT();
    solver::SET_CONDUCTANCES();
    for (int n = 0; n < 1000; ++n) solver::SWEEP();
    plot::TEKPAGE(0);
    plot::POTENTIAL_MAP();
    solver::OUTLINE_INSULATORS();
    solver::OUTLINE_FIXED();
    const fs::path folder = fs::temp_directory_path() / ("kesto_export_bench_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
  }();
  return dir;
}

void run_export(benchmark::State& state, const char* name, const std::function<std::vector<std::uint8_t>()>& make) {
  const std::string path = (picture_folder() / name).string();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t> file = make();
    bytes = file.size();
    if (!common::write_file_replacing(path, file)) state.SkipWithError("the file could not be written");
  }
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["plot_buffer_kB"] = static_cast<double>(shell::plot_buffer().used) / 1024.0;
  fs::remove(path);
}

void BM_ExportEps(benchmark::State& state) { run_export(state, "picture.eps", shell::picture_eps); }
void BM_ExportTiff(benchmark::State& state) { run_export(state, "picture.tif", shell::picture_tiff); }
void BM_ExportWmf(benchmark::State& state) { run_export(state, "picture.wmf", shell::picture_wmf); }
void BM_ExportEmf(benchmark::State& state) { run_export(state, "picture.emf", shell::picture_emf); }

void BM_ExportPdf(benchmark::State& state) {
  const std::string path = (picture_folder() / "picture.pdf").string();
  for (auto _ : state)
    if (!shell::PRINT(*shell::pdf_printer(path))) state.SkipWithError("the PDF could not be written");
  state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
  fs::remove(path);
}

BENCHMARK(BM_ExportEps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTiff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportWmf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportEmf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPdf)->Unit(benchmark::kMillisecond);

}  // namespace
