// A whole solver run on the full-capacity demonstration deck (250 x 110
// cells, 1000 sweeps): read the deck, set the conductances, sweep, find the
// current, write the potential table, find the field, write the field table.
// The displays are left out; the current's notice page is answered by the
// batch mode's automatic user. The tables are written to a scratch directory.
//
//   ./build/kesto_bench --benchmark_filter=SolverRun
//   ./build/kesto_bench --benchmark_filter=Deck     (the deck read alone, and checked)
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>

#include "app/batch_hooks.h"
#include "common/fixed_text.h"
#include "shell/script/batch.h"
#include "shell/window/events.h"
#include "solver/deck_check.h"
#include "solver/deck_reader.h"
#include "solver/field_current.h"
#include "solver/grid.h"
#include "solver/sweep.h"
#include "solver/table_writer.h"
#include "textui/file_names.h"
#include "textui/messages.h"

namespace {

namespace fs = std::filesystem;
using namespace kesto;

// Runs the benchmark body in a scratch directory holding a copy of the deck.
class ScratchDirectory {
 public:
  ScratchDirectory() : home_(fs::current_path()) {
    dir_ = fs::temp_directory_path() / ("kesto_run_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    fs::copy_file(fs::path(KESTO_SOURCE_DIR) / "examples" / "DEMO.txt", dir_ / "DEMO.txt",
                  fs::copy_options::overwrite_existing);
    fs::current_path(dir_);
  }
  ~ScratchDirectory() {
    fs::current_path(home_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

 private:
  fs::path home_, dir_;
};

// One run's solver phases, from the state the run driver leaves before the deck.
void solver_run(std::ostream& pages) {
  shell::reset_input();
  shell::batch_mode() = shell::BatchMode{};
  shell::batch_mode().enabled = true;
  shell::batch_mode().out = &pages;
  textui::message_area() = textui::MessageArea{};
  textui::file_name_record() = textui::FileNameRecord{};
  solver::SET_DEFAULTS();
  solver::CLEAR_GRID();
  solver::grid().CURRENT_SET = 0;
  solver::grid().DECK_NAME = common::pad("DEMO.txt", 14);

  solver::READ_DECK();
  solver::SET_CONDUCTANCES();
  for (std::int32_t n = 0; n < solver::grid().NSTEP; ++n) solver::sweep_held();
  solver::sync_potentials();
  solver::FIND_CURRENT();
  solver::WRITE_VOLTS();
  solver::FIND_EFIELD();
  solver::WRITE_EFIELD();
}

void BM_SolverRun(benchmark::State& state) {
  ScratchDirectory scratch;
  std::ostringstream pages;
  for (auto _ : state) {
    pages.str("");
    solver_run(pages);
  }
  shell::batch_mode() = shell::BatchMode{};
  const solver::Grid& g = solver::grid();
  state.counters["sweeps"] = g.NSTEP;
  state.counters["cells"] = static_cast<double>(g.NX) * g.NY;
}

// The two table files alone, from the relaxed demonstration sheet.
void BM_TableFiles(benchmark::State& state) {
  ScratchDirectory scratch;
  std::ostringstream pages;
  solver_run(pages);
  for (auto _ : state) {
    solver::WRITE_VOLTS();
    solver::WRITE_EFIELD();
  }
  shell::batch_mode() = shell::BatchMode{};
  state.counters["bytes_per_s"] = benchmark::Counter(
      static_cast<double>(fs::file_size("VOLTS.TBL") + fs::file_size("EFIELD.TBL")) * state.iterations(),
      benchmark::Counter::kIsRate);
}

// The deck alone, as a run reads it (no observer): the reference for the check.
void BM_DeckRead(benchmark::State& state) {
  ScratchDirectory scratch;
  std::ostringstream pages;
  for (auto _ : state) {
    shell::batch_mode() = shell::BatchMode{};
    shell::batch_mode().enabled = true;
    shell::batch_mode().out = &pages;
    textui::file_name_record() = textui::FileNameRecord{};
    solver::SET_DEFAULTS();
    solver::CLEAR_GRID();
    solver::grid().DECK_NAME = common::pad("DEMO.txt", 14);
    solver::READ_DECK();
  }
  shell::batch_mode() = shell::BatchMode{};
}

// kesto --check on the demonstration deck: the menu, the reader with the
// check's recorder, the traps and the report.
void BM_DeckCheck(benchmark::State& state) {
  ScratchDirectory scratch;
  std::ostringstream report;
  app::install_batch_hooks();  // the check reads the deck as the program's automatic user
  for (auto _ : state) {
    report.str("");
    shell::reset_input();
    benchmark::DoNotOptimize(solver::check_deck("DEMO.txt", report));
  }
  state.counters["report_bytes"] = static_cast<double>(report.str().size());
}

}  // namespace

BENCHMARK(BM_DeckRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeckCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolverRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableFiles)->Unit(benchmark::kMillisecond);
