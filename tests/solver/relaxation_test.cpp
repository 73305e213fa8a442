// The relaxation with its displays on an offscreen window: the progress
// display every NUPD sweeps with its counter labels, NSTEP 0, single-step
// mode with its key handling, a key or a closed window during the sweeps,
// pausing after each progress display, and a sheet of one potential.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <vector>

#include "common/progress.h"
#include "plot/plot_fixture.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/settings/settings.h"
#include "solver/convergence.h"
#include "solver/grid.h"
#include "solver/relaxation.h"
#include "solver/run_driver.h"
#include "solver/sweep.h"
#include "solver/sweep_pipeline.h"
#include "solver/wavefront_layout.h"

using namespace kesto;
using kesto::testing::run_captured;

namespace {

struct Progress {
  int calls = 0;
  std::int32_t last_done = 0, last_total = 0;
};
Progress& progress() {
  static Progress p;
  return p;
}

// What the convergence report's listeners heard.
struct Heard {
  std::vector<float> changes;  // sweep k's change at [k - 1]
  std::vector<std::string> lines;
};
Heard& heard() {
  static Heard h;
  return h;
}

// Pictures completed with a wait: their names, and for each whether the
// window showed something other than the backing bitmap at the watched point.
struct Pictures {
  std::vector<std::string> names;
  std::vector<bool> transient;
  std::vector<int> fills;  // filled rectangles recorded in the picture
  float watch_x = 0, watch_y = 0;
};
Pictures& pictures() {
  static Pictures p;
  return p;
}

bool note_picture(const std::string& path) {
  Pictures& p = pictures();
  p.names.push_back(std::filesystem::path(path).stem().string());
  p.transient.push_back(kesto::testing::pixel_at(shell::surfaces().window, p.watch_x, p.watch_y) !=
                        kesto::testing::pixel_at(shell::surfaces().backing, p.watch_x, p.watch_y));
  const shell::PlotBuffer& b = shell::plot_buffer();
  int fills = 0;
  shell::PlotRecord r;
  for (std::size_t at = 0; shell::next_record(b.block.data(), b.used, at, r);) fills += r.opcode == shell::OP_FILLED_RECT;
  p.fills.push_back(fills);
  return true;
}

// Notes every picture that waits (batch pictures go through the saver).
void watch_pictures(float x, float y) {
  shell::batch_mode().pictures_dir = "pictures";
  shell::set_picture_saver(note_picture);
  pictures().watch_x = x;
  pictures().watch_y = y;
}

class Relaxation : public kesto::testing::PlotTest {
 protected:
  void SetUp() override {
    PlotTest::SetUp();
    solver::relaxation_state() = solver::RelaxationState{};
    progress() = Progress{};
    pictures() = Pictures{};
    heard() = Heard{};
    common::set_progress_hook([](std::int32_t done, std::int32_t total) {
      ++progress().calls;
      progress().last_done = done;
      progress().last_total = total;
    });
  }
  void TearDown() override {
    common::set_progress_hook(nullptr);
    solver::set_convergence_listeners(nullptr, nullptr);
    shell::set_picture_saver(nullptr);
    PlotTest::TearDown();
  }

  // A resistive nx x ny sheet with a grounded edge and one 10 V electrode.
  void deck(std::int32_t nx, std::int32_t ny, std::int32_t nstep, std::int32_t nupd) {
    solver::Grid& g = solver::grid();
    kesto::testing::fill_sheet(g, nx, ny);
    for (std::int32_t i = 2; i < nx; ++i)
      for (std::int32_t j = 2; j < ny; ++j) g.RHO[i][j] = 1.0f;
    g.FIXED[nx / 2][ny / 2] = 1;
    g.V[nx / 2][ny / 2] = 10.0f;
    g.VMIN = 0.0f;
    g.VMAX = 10.0f;
    g.NSTEP = nstep;
    g.NUPD = nupd;
    g.DX = 1.0f;
    plot::use_sheet(g);
    plot::MAP_LAYOUT();
    solver::SET_CONDUCTANCES();
  }

  // The potentials NSTEP plain sweeps give from the grid's present state;
  // the grid is left as it was.
  std::vector<float> plain_result(std::int32_t sweeps) {
    solver::Grid& g = solver::grid();
    const auto saved = std::make_unique<solver::Grid>(g);
    for (std::int32_t n = 0; n < sweeps; ++n) solver::sweep_plain();
    std::vector<float> v = potentials();
    g = *saved;
    return v;
  }
  std::vector<float> potentials() {
    const solver::Grid& g = solver::grid();
    std::vector<float> v;
    for (std::int32_t i = 1; i <= g.NX; ++i)
      for (std::int32_t j = 1; j <= g.NY; ++j) v.push_back(g.V[i][j]);
    return v;
  }

  // Texts of the counter labels drawn in colour 7 (colour 0 paints the old one over).
  std::vector<std::string> counter_labels() {
    std::vector<std::string> out;
    const auto r = records();
    for (std::size_t k = 1; k < r.size(); ++k)
      if (r[k].rfind("CH   900 -1230 10 S 0 ", 0) == 0 && r[k - 1] == "SC BAR   7") out.push_back(r[k].substr(22));
    return out;
  }
  std::size_t count_records(const std::string& record) {
    const auto r = records();
    return static_cast<std::size_t>(std::count(r.begin(), r.end(), record));
  }
};

}  // namespace

TEST(IterationLabel, CounterSlashLimitInSixColumnsEachOrAsManyAsTheLimitNeeds) {
  EXPECT_EQ(solver::iteration_label(100, 1000), "   100/  1000");
  EXPECT_EQ(solver::iteration_label(0, 0), "     0/     0");
  EXPECT_EQ(solver::iteration_label(999999, 999999), "999999/999999");
  EXPECT_EQ(solver::iteration_label(500, 3000000), "    500/3000000");
  EXPECT_EQ(solver::iteration_label(1000000, 5), "******/     5");  // never met: the counter stays within the limit
}

TEST_F(Relaxation, CountersOfEveryWidthShowWholeWithinThePicture) {
  // Labels of the usual widths keep their records; wider ones move left by
  // their extra characters (64.29 units each) so that they end where the
  // usual ones do.
  const struct {
    std::int32_t nstep;
    const char* heading;
    const char* counter;
    const char* final_label;
  } cases[] = {
      {99999, "CH   450 -1230 10 S 0 Iteration    ", "CH   900 -1230 10 S 0  99999/ 99999",
       "CH   600 -1230 10 S 0 Iterations:99999 "},
      {100000, "CH   450 -1230 10 S 0 Iteration    ", "CH   900 -1230 10 S 0 100000/100000",
       "CH   600 -1230 10 S 0 Iterations:100000"},
      {3000000, "CH   321 -1230 10 S 0 Iteration    ", "CH   771 -1230 10 S 0 3000000/3000000",
       "CH   536 -1230 10 S 0 Iterations:3000000"},
  };
  for (const auto& c : cases) {
    deck(4, 4, c.nstep, c.nstep);
    start_recording();
    const auto run = run_captured([] { solver::RELAX(); });
    EXPECT_FALSE(run.ended) << c.nstep;
    EXPECT_EQ(count_records(c.heading), 1u) << c.nstep;
    EXPECT_EQ(count_records(c.counter), 1u) << c.nstep;
    EXPECT_EQ(count_records(c.final_label), 1u) << c.nstep;
  }
}

TEST_F(Relaxation, ProgressDisplayAfterEveryHundredSweeps) {
  deck(12, 8, 1000, 100);
  const std::vector<float> expected = plain_result(1000);
  start_recording();
  const auto run = run_captured([] { solver::RELAX(); });
  EXPECT_FALSE(run.ended);
  EXPECT_EQ(potentials(), expected);
  std::vector<std::string> labels;
  for (int k = 100; k <= 1000; k += 100) labels.push_back(solver::iteration_label(k, 1000));
  EXPECT_EQ(counter_labels(), labels);
  EXPECT_EQ(labels[0], "   100/  1000");
  EXPECT_EQ(count_records("CH   450 -1230 10 S 0 Iteration    "), 1u);
  EXPECT_EQ(count_records("CH   600 -1230 10 S 0 Iterations: 1000 "), 1u);
  EXPECT_EQ(progress().calls, 1000);
  EXPECT_EQ(progress().last_done, 1000);
  EXPECT_EQ(progress().last_total, 1000);
}

TEST_F(Relaxation, SweepsAfterTheLastProgressDisplayStillReachTheGrid) {
  deck(40, 20, 25, 10);  // far from converged after 20 sweeps
  const std::vector<float> expected = plain_result(25);
  EXPECT_NE(plain_result(20), expected);
  start_recording();
  EXPECT_FALSE(run_captured([] { solver::RELAX(); }).ended);
  EXPECT_EQ(potentials(), expected);
  EXPECT_EQ(counter_labels(), (std::vector<std::string>{"    10/    25", "    20/    25"}));
}

TEST_F(Relaxation, ProgressOnceWhenEveryUpdateIsTheWholeRun) {
  deck(12, 8, 1000, 1000);
  start_recording();
  run_captured([] { solver::RELAX(); });
  EXPECT_EQ(counter_labels(), (std::vector<std::string>{"  1000/  1000"}));
}

TEST_F(Relaxation, NoSweepsShowTheFinalMapAtOnce) {
  deck(12, 8, 0, 100);
  const std::vector<float> before = potentials();
  start_recording();
  const auto run = run_captured([] {
    watch_pictures(0, 0);
    solver::RELAX();
  });
  EXPECT_FALSE(run.ended);
  EXPECT_EQ(potentials(), before);
  EXPECT_TRUE(counter_labels().empty());
  EXPECT_EQ(count_records("CH   600 -1230 10 S 0 Iterations:    0 "), 1u);
  EXPECT_EQ(progress().calls, 0);
  EXPECT_EQ(pictures().names, (std::vector<std::string>{"potential"}));
}

TEST_F(Relaxation, FinalPictureAloneIsInThePlotBufferAndOutlinesFixedCells) {
  deck(12, 8, 10, 5);
  solver::grid().FIXED[3][3] = 1;  // a grounded cell inside
  start_recording();
  run_captured([] { solver::RELAX(); });
  const auto r = records();
  // The final picture: after its separators, the map, the interior fills,
  // then the outlines (insulators: none; fixed: 36 edge, electrode, (3,3)).
  std::size_t start = 0;
  for (std::size_t k = 0; k + 2 < r.size(); ++k)
    if (r[k] == "CM" && r[k + 1] == "CM " && r[k + 2] == "CM") start = k;
  std::size_t outlines = 0;
  for (std::size_t k = start; k < r.size(); ++k) outlines += r[k].rfind("LI", 0) == 0;
  EXPECT_EQ(outlines, 21u + 38u * 4u);  // bar ticks 0-10 (6 + 15), four sides per fixed cell
  // The plot buffer holds the final picture only: one frame of the map.
  int frames = 0;
  for (const auto& rec : kesto::testing::plot_records()) frames += rec.opcode == shell::OP_RECT;
  EXPECT_EQ(frames, 4);  // map frame and the bar frame three times
}

TEST_F(Relaxation, SingleStepWaitsAtEveryCellAndSweepsAlike) {
  deck(5, 5, 2, 1);
  solver::grid().SINGLE_STEP = 1;
  const std::vector<float> expected = plain_result(2);
  start_recording();
  const auto run = run_captured([] {
    watch_pictures(0, 0);
    solver::RELAX();
  });
  EXPECT_FALSE(run.ended);
  EXPECT_EQ(potentials(), expected);
  // Nine cells, fixed and free alike, per sweep, each with its wait, then the final map.
  EXPECT_EQ(pictures().names.size(), 19u);
  EXPECT_EQ(pictures().names.back(), "potential");
  std::vector<std::string> labels(9, "     1/     2");
  labels.insert(labels.end(), 9, "     2/     2");
  EXPECT_EQ(counter_labels(), labels);
  // The map is drawn again at the first cell of each sweep.
  EXPECT_EQ(count_records("RB-1650. -925. 1650. 1225."), 4u);
}

TEST_F(Relaxation, SingleStepEndsOnSAtOnce) {
  for (const char* stop : {"S", "s"}) {
    SCOPED_TRACE(stop);
    deck(6, 6, 3, 1);
    solver::grid().SINGLE_STEP = 1;
    const std::vector<float> one_sweep = plain_result(1);
    const float untouched = solver::grid().V[2][4];
    const auto run = run_captured([] { solver::RELAX(); }, std::string("key a\nkey ") + stop + "\n");
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.how, common::RunEnded::Kind::interrupted);
    EXPECT_EQ(solver::relaxation_state().counter, 1);
    // Cells (2,2) and (2,3) were updated, (2,4) was not reached.
    const solver::Grid& g = solver::grid();
    EXPECT_EQ(g.V[2][2], one_sweep[(2 - 1) * 6 + (2 - 1)]);
    EXPECT_EQ(g.V[2][3], one_sweep[(2 - 1) * 6 + (3 - 1)]);
    EXPECT_EQ(g.V[2][4], untouched);
    EXPECT_FALSE(shell::window_state().window_open);  // the graphics were closed
    kesto::testing::PlotTest::TearDown();
    kesto::testing::PlotTest::SetUp();
  }
}

// Without progress displays the key is polled after each stretch of sweeps
// (about a millisecond, and at most 4096 sweeps): a key at the first poll
// ends a run of 10,000 sweeps early.
TEST_F(Relaxation, KeyDuringTheSweepsEndsTheRunAndSavesTheSettings) {
  deck(12, 8, 10000, 0);
  const auto start = std::make_unique<solver::Grid>(solver::grid());
  start_recording();
  std::filesystem::remove(shell::settings_path());
  const auto run = run_captured([] { solver::RELAX(); }, "busy-key a 1\n");
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.how, common::RunEnded::Kind::interrupted);
  const std::int32_t made = solver::relaxation_state().counter;
  EXPECT_GE(made, 1);
  EXPECT_LE(made, 4096);
  const std::vector<float> after = potentials();
  solver::grid() = *start;
  EXPECT_EQ(after, plain_result(made)) << "the grid holds the sweeps made";
  EXPECT_EQ(progress().calls, made);
  EXPECT_EQ(count_records("CH   600 -1230 10 S 0 Iterations: 1000 "), 0u);
  EXPECT_TRUE(std::filesystem::exists(shell::settings_path()));
  const auto r = records();
  ASSERT_GE(r.size(), 2u);
  EXPECT_EQ(r[r.size() - 2], "CM");  // the picture was flushed
  EXPECT_EQ(r.back(), "CM");
}

TEST_F(Relaxation, ClosingTheWindowDuringTheSweepsEndsTheRun) {
  deck(12, 8, 1000, 1);  // a progress display, and a key poll, after every sweep
  const auto run = run_captured([] {
    shell::EventRecord quit;
    quit.type = shell::EVENT_QUIT;
    shell::push_input(quit);
    solver::RELAX();
  });
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.how, common::RunEnded::Kind::interrupted);
  EXPECT_EQ(solver::relaxation_state().counter, 1);
}

TEST_F(Relaxation, PauseAfterEachProgressDisplayKeepsItInThePictureInPlaceOfTheLast) {
  deck(12, 8, 200, 100);
  solver::grid().PAUSE_EACH = 1;
  // Watch a free cell next to the electrode: at each pause the backing
  // bitmap shows it relaxed, as the window does, and the picture records
  // the first map and the last display only.
  float x1, x2, y1, y2;
  plot::CELL_RECT(5, 4, x1, x2, y1, y2);
  const float wx = (x1 + x2) / 2, wy = (y1 + y2) / 2;
  start_recording();
  const auto run = run_captured([wx, wy] {
    watch_pictures(wx, wy);
    solver::RELAX();
  });
  EXPECT_FALSE(run.ended);
  EXPECT_EQ(pictures().names, (std::vector<std::string>{"progress-000100", "progress-000200", "potential"}));
  EXPECT_EQ(pictures().transient, (std::vector<bool>{false, false, false}));
  // The first map: 32 bar segments and 96 cells; each display: 60 interior
  // cells and 37 fixed cells drawn again; the final map the same.
  EXPECT_EQ(pictures().fills, (std::vector<int>{225, 225, 225}));
  // "working..." after every pause but the last.
  EXPECT_EQ(count_records("CH     0     0 14 S 0 working... "), 1u);
}

TEST_F(Relaxation, SheetOfOnePotentialEndsWithTheZdeltaPageBeforeAnySweep) {
  deck(8, 6, 100, 10);
  solver::Grid& g = solver::grid();
  g.V[4][3] = 0.0f;
  g.VMAX = 0.0f;
  const auto run = run_captured([] { solver::RELAX(); });
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.how, common::RunEnded::Kind::fatal);
  EXPECT_NE(run.pages.find("ZDELTA,ZLOW   0.0000000E+00  0.0000000E+00"), std::string::npos);
  EXPECT_EQ(solver::relaxation_state().counter, 0);
  EXPECT_EQ(progress().calls, 0);
}

TEST_F(Relaxation, SingleStepCrossIsPaintedOverInTheLowEndColourAtTheNextCell) {
  // Cells (2, 2) and (2, 3) of a 5 x 5 sheet span x -430..0 and y -495..-65
  // and -65..365: a cross reaches half a cell (215) beyond its cell.
  deck(5, 5, 1, 1);
  solver::grid().SINGLE_STEP = 1;
  start_recording();
  run_captured([] { solver::RELAX(); });
  const std::vector<std::string> first_cell = {
      "LI  -430   -65  -430  -495     0",  // the end of the cell's outline; nothing to paint over yet
      "SC BAR   7", "LI  -645  -280   215  -280     0", "LI  -215  -710  -215   150     0"};
  const std::vector<std::string> second_cell = {"SC HOT     0.000",  // the colour of the range's low end
                                                "LI  -645  -280   215  -280     0",
                                                "LI  -215  -710  -215   150     0",
                                                "SC BAR   7",
                                                "LI  -645   150   215   150     0",
                                                "LI  -215  -280  -215   580     0"};
  const auto r = records();
  for (const auto* run : {&first_cell, &second_cell})
    EXPECT_NE(std::search(r.begin(), r.end(), run->begin(), run->end()), r.end()) << run->front();
}

TEST_F(Relaxation, InsulatorsAreOutlinedAtEveryProgressDisplayAndOnTheFinalMap) {
  deck(8, 6, 10, 5);
  solver::grid().RHO[3][2] = solver::INSULATOR_RHO;  // its cell spans x -538..-179, y -567..-208
  start_recording();
  run_captured([] { solver::RELAX(); });
  // The bottom edge of its outline: after sweeps 5 and 10, and on the final map.
  EXPECT_EQ(count_records("LI  -538  -567  -179  -567     0"), 3u);
}

TEST_F(Relaxation, PotentialThatIsNotFiniteAfterTheSweepsEndsTheRunBeforeTheFinalMap) {
  deck(8, 6, 1, 100);
  solver::grid().SINV[3][3] = std::numeric_limits<float>::infinity();  // next to the 10 V electrode at (4, 3)
  solver::prepare_wavefront_layout();  // the vector kernels' copy of the conductances, as SET_CONDUCTANCES leaves it
  start_recording();
  const auto run = run_captured([] { solver::RELAX(); });
  EXPECT_EQ(run.how, common::RunEnded::Kind::fatal);
  EXPECT_NE(run.pages.find("Fatal error: the relaxation gave a potential that is not finite\n\n"
                           " I=           3 J=           3\n"),
            std::string::npos)
      << run.pages;
  EXPECT_EQ(count_records("CH   600 -1230 10 S 0 Iterations:    1 "), 0u);
}

// Each sweep's largest change reaches the listener, in single-step mode too,
// and the convergence line follows the last sweep; a run ended during the
// sweeps has no line.
TEST_F(Relaxation, EverySweepsChangeAndTheLineAfterTheLastReachTheListeners) {
  struct Case {
    bool single_step;
    const char* keys;
    std::size_t sweeps, lines;
  };
  for (const Case& c : {Case{false, "", 12, 1}, Case{true, "", 3, 1}, Case{false, "busy-key a 5\n", 5, 0}}) {
    SCOPED_TRACE(c.single_step ? "single step" : c.keys);
    // (NUPD 1: a progress display, and so a key poll, after every sweep.)
    deck(7, 6, c.single_step ? 3 : 12, 1);
    solver::grid().SINGLE_STEP = c.single_step ? 1 : 0;
    // The largest change of each plain sweep, from the potentials before and after.
    std::vector<float> expected;
    std::vector<float> before = potentials();
    for (std::size_t n = 1; n <= c.sweeps; ++n) {
      const std::vector<float> after = plain_result(static_cast<std::int32_t>(n));
      float largest = 0.0f;
      for (std::size_t k = 0; k < after.size(); ++k) largest = std::max(largest, std::fabs(after[k] - before[k]));
      expected.push_back(largest);
      before = after;
    }
    solver::set_convergence_listeners([](std::int32_t, float change) { heard().changes.push_back(change); },
                                      [](const std::string& line) { heard().lines.push_back(line); });
    heard() = Heard{};
    run_captured([] { solver::RELAX(); }, c.keys);
    EXPECT_EQ(heard().changes, expected);
    ASSERT_EQ(heard().lines.size(), c.lines);
    if (c.lines == 1) {
      EXPECT_EQ(heard().lines[0].rfind("convergence: last sweep moved no cell by more than ", 0), 0u);
    }
    kesto::testing::PlotTest::TearDown();
    kesto::testing::PlotTest::SetUp();
  }
}

// A window run has no terminal for the convergence line: its closing page
// shows it below the prompt.
TEST_F(Relaxation, TheClosingPageShowsTheConvergenceLineWhereTheRunAsksForIt) {
  std::ofstream("plate.txt") << "SPACE 12 8\nTHICK     0.001\nRESIS_B   2 2 11 7 10.0\nLI   3 3 3 6 5.0\nNST  30\nEN\n";
  const std::string closing =
      "Use program TINTO to draw color contour maps of these files.\n\nPress any key to continue...\n";
  for (const bool on : {false, true}) {
    solver::run_options() = solver::RunOptions{"plate", "", on};
    const auto run = run_captured(solver::RUN_DRIVER);
    EXPECT_EQ(run.how, common::RunEnded::Kind::normal) << run.pages;
    const std::size_t at = run.pages.find(closing);
    ASSERT_NE(at, std::string::npos) << run.pages;
    EXPECT_EQ(run.pages.compare(at + closing.size(), 14, "\nconvergence: ") == 0, on) << run.pages.substr(at);
  }
  solver::run_options() = solver::RunOptions{};
}

// The grid at each progress display (every fifth sweep), as the progress
// report of that sweep finds it.
static std::vector<std::vector<float>>& at_displays() {
  static std::vector<std::vector<float>> v;
  return v;
}

// Runs on 1 to 4 threads, of no sweep, one, fewer than the threads and
// counts that are no multiple of them: the same potentials as the plain
// loop, at the end and at each progress display, and the same pictures,
// progress reports and convergence samples as the run on one thread.
TEST_F(Relaxation, EveryNumberOfThreadsRunsTheSameRun) {
  struct Run {
    std::vector<std::string> records;
    std::vector<float> changes;
    int progress_calls = 0;
    std::vector<float> samples;  // the convergence record's
  };
  for (const std::int32_t nstep : {0, 1, 3, 13, 21}) {
    Run one;
    for (const std::int32_t threads : {1, 2, 3, 4}) {
      SCOPED_TRACE("NSTEP " + std::to_string(nstep) + ", threads " + std::to_string(threads));
      solver::use_sweep_threads(threads);
      deck(30, 14, nstep, 5);
      const std::vector<float> expected = plain_result(nstep);
      std::vector<std::vector<float>> displayed;
      for (std::int32_t n = 5; n <= nstep; n += 5) displayed.push_back(plain_result(n));
      at_displays().clear();
      common::set_progress_hook([](std::int32_t done, std::int32_t) {
        ++progress().calls;
        if (done % 5 == 0) {
          const solver::Grid& g = solver::grid();
          std::vector<float> v;
          for (std::int32_t i = 1; i <= g.NX; ++i)
            for (std::int32_t j = 1; j <= g.NY; ++j) v.push_back(g.V[i][j]);
          at_displays().push_back(v);
        }
      });
      start_recording();
      solver::set_convergence_listeners([](std::int32_t, float change) { heard().changes.push_back(change); },
                                        nullptr);
      const auto run = run_captured([] { solver::RELAX(); });
      ASSERT_FALSE(run.ended) << run.pages;
      EXPECT_EQ(potentials(), expected);
      EXPECT_EQ(solver::relaxation_state().counter, nstep);
      EXPECT_EQ(at_displays(), displayed);
      const solver::ConvergenceRecord& c = solver::convergence_record();
      const Run r{records(), heard().changes, progress().calls, std::vector<float>(c.change, c.change + c.samples)};
      EXPECT_EQ(r.progress_calls, nstep);
      EXPECT_EQ(r.changes.size(), static_cast<std::size_t>(nstep));
      if (threads == 1) {
        one = r;
      } else {
        EXPECT_EQ(r.records, one.records);
        EXPECT_EQ(r.changes, one.changes);
        EXPECT_EQ(r.samples, one.samples);
      }
      TearDown();
      SetUp();
    }
  }
  solver::use_sweep_threads(0);
}
