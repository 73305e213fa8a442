// Drawing the relaxation on the demonstration deck's full 250 x 110 sheet:
// one progress display (every interior cell recoloured on the window, the
// counter, the outlines), one whole potential map (a new picture, kept in
// the plot buffer), and the whole interactive relaxation's split between
// sweeping and drawing with NUPD 100, which must lean towards sweeping
// (draw_over_sweep below 1).
//
//   ./build/kesto_bench --benchmark_filter=Plot --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include "demo_deck.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "common/fixed_text.h"
#include "kernel/kernel.h"
#include "plot/result_maps.h"
#include "plot/sheet.h"
#include "shell/script/batch.h"
#include "shell/window/events.h"
#include "shell/window/main_window.h"
#include "shell/drawing/plot_buffer.h"
#include "solver/deck_reader.h"
#include "solver/grid.h"
#include "solver/relaxation.h"
#include "solver/sweep.h"
#include "textui/file_names.h"

namespace {

namespace fs = std::filesystem;
using namespace kesto;
using Clock = std::chrono::steady_clock;

// One offscreen window for all the benchmarks, of the batch mode's fixed
// size so that the numbers compare between machines.
void open_window_once() {
  static bool open = false;
  if (open) return;
  static int argc = 3;
  static char a0[] = "kesto_bench", a1[] = "-platform", a2[] = "offscreen";
  static char* argv[] = {a0, a1, a2, nullptr};
  // Other benchmarks of the run may have made the application already.
  if (!QApplication::instance()) new QApplication(argc, argv);
  shell::batch_mode().enabled = true;
  shell::ALLOCATE_PLOT_BUFFER();
  plot::TEKOPEN("kesto", 5);
  // The window goes before the static objects it uses are destroyed at exit
  // (a window destroyed among them crashed the benchmark program as it ended).
  std::atexit([] { shell::destroy_window(); });
  open = true;
}

// The demonstration deck in the grid, placed on the page, its potential part
// relaxed (so the map shows the colours of a run), and its map drawn as the
// relaxation's picture begins.
double demo_picture() {
  open_window_once();
  bench::read_demo_deck();
  plot::use_sheet(solver::grid());
  plot::MAP_LAYOUT();
  solver::SET_CONDUCTANCES();
  for (int n = 0; n < 300; ++n) solver::sweep_held();
  solver::sync_potentials();
  solver::RelaxationState& r = solver::relaxation_state();
  r.limit = solver::grid().NSTEP;
  r.counter = 300;
  plot::TEKPAGE(0);
  plot::POTENTIAL_MAP();
  const solver::Grid& g = solver::grid();
  return static_cast<double>(g.NX - 2) * static_cast<double>(g.NY - 2);
}

void BM_PlotProgressDisplay(benchmark::State& state) {
  const double cells = demo_picture();
  for (auto _ : state) solver::progress_display();
  state.counters["cells_per_s"] =
      benchmark::Counter(cells * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_PlotPotentialMap(benchmark::State& state) {
  const double cells = demo_picture() + 2.0 * (solver::grid().NX + solver::grid().NY) - 4.0;
  for (auto _ : state) {
    plot::TEKPAGE(0);
    plot::POTENTIAL_MAP();
  }
  state.counters["cells_per_s"] =
      benchmark::Counter(cells * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["plot_buffer_kB"] = static_cast<double>(shell::plot_buffer().used) / 1024.0;
}

// The interactive relaxation of the demonstration deck as a run makes it:
// from the potentials the deck sets, NSTEP (1000) sweeps with the key check
// after each and a progress display every NUPD (100) sweeps. Sweeping and
// drawing are timed apart over the whole relaxation (its first sweeps are the
// slowest: far from the electrodes the potentials are tiny, below the normal
// single-precision range); draw_over_sweep must stay below 1.
void BM_PlotRelaxationDrawVersusSweep(benchmark::State& state) {
  demo_picture();
  solver::Grid& g = solver::grid();
  // The potentials as the deck left them: restore the relaxed part.
  static float initial[solver::MAXNX + 1][solver::MAXNY + 1];
  for (std::int32_t i = 0; i <= solver::MAXNX; ++i)
    for (std::int32_t j = 0; j <= solver::MAXNY; ++j) initial[i][j] = g.FIXED[i][j] ? g.V[i][j] : 0.0f;
  const std::int32_t nupd = g.NUPD > 0 ? g.NUPD : 100;
  double sweep_s = 0.0, check_s = 0.0, draw_s = 0.0;
  for (auto _ : state) {
    solver::sync_potentials();
    std::copy(&initial[0][0], &initial[0][0] + (solver::MAXNX + 1) * (solver::MAXNY + 1), &g.V[0][0]);
    for (std::int32_t n = 1; n <= g.NSTEP; ++n) {
      const auto t0 = Clock::now();
      solver::sweep_held();
      const auto t1 = Clock::now();
      sweep_s += std::chrono::duration<double>(t1 - t0).count();
      if (n % nupd == 0) {
        solver::sync_potentials();
        solver::relaxation_state().counter = n;
        solver::progress_display();
        draw_s += std::chrono::duration<double>(Clock::now() - t1).count();
      }
      const auto t2 = Clock::now();
      benchmark::DoNotOptimize(shell::GI_CHECK_KEY());
      check_s += std::chrono::duration<double>(Clock::now() - t2).count();
    }
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["sweep_ms"] = 1000.0 * sweep_s / n;
  state.counters["key_check_ms"] = 1000.0 * check_s / n;
  state.counters["draw_ms"] = 1000.0 * draw_s / n;
  state.counters["draw_over_sweep"] = draw_s / sweep_s;
}

BENCHMARK(BM_PlotProgressDisplay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotPotentialMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotRelaxationDrawVersusSweep)->Unit(benchmark::kMillisecond);

}  // namespace
