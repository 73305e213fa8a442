#include "solver/relaxation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "common/fixed_text.h"
#include "common/fortran_format.h"
#include "common/progress.h"
#include "kernel/kernel.h"
#include "plot/result_maps.h"
#include "plot/sheet.h"
#include "shell/window/events.h"
#include "shell/graphics/graphics_interface.h"
#include "shell/graphics/picture_cut.h"
#include "solver/convergence.h"
#include "solver/grid.h"
#include "solver/range_checks.h"
#include "solver/run_hooks.h"
#include "solver/sweep.h"
#include "solver/sweep_pipeline.h"
#include "textui/messages.h"

namespace kesto::solver {
namespace {

using namespace kesto::plot;

// Columns a count takes written out whole (a minus sign included).
int digit_count(std::int32_t n) { return static_cast<int>(std::to_string(n).size()); }

void draw_label_text(float x, std::int32_t size, const std::string& text, std::int32_t n) {
  TEKMOVE(x, -1230.0f);
  TEKTEXT(size, 0, text, n);
}

// The advance from one character to the next in the labels (size 10).
constexpr float kLabelAdvance = 10.0f * 6.4285717f;

// Where a label of n characters starts that would start at x with `usual`
// characters: a longer one starts further left by its extra characters, so
// that it ends where the usual one ends, inside the picture.
float label_start(float x, std::size_t n, std::size_t usual) {
  return n <= usual ? x : x - static_cast<float>(n - usual) * kLabelAdvance;
}

// "Iteration" at the left of the counter, at the start of each picture; it
// moves left with a counter wider than usual.
void iteration_heading() {
  RelaxationState& r = relaxation_state();
  r.new_label = "Iteration    ";
  LCBAR(7);
  draw_label_text(label_start(450.0f, iteration_label(0, r.limit).size(), 13), 10, r.new_label, 13);
}

void draw_counter(const std::string& label) {
  const auto n = static_cast<std::int32_t>(label.size());
  draw_label_text(label_start(900.0f, label.size(), 13), 10, label, n);
}

// Paints the last count over in the background colour and draws the new one.
void label_update() {
  RelaxationState& r = relaxation_state();
  LCBAR(0);
  draw_counter(r.old_label);
  r.new_label = iteration_label(r.counter, r.limit);
  LCBAR(7);
  draw_counter(r.new_label);
  r.old_label = r.new_label;
}

void fill_interior() {
  const Grid& g = grid();
  for (std::int32_t i = 2; i <= g.NX - 1; ++i)
    for (std::int32_t j = 2; j <= g.NY - 1; ++j) FILL_CELL(i, j);
}

// A cross through the centre of the cell rectangle, reaching half a cell
// beyond it on each side.
void draw_cross(float x1, float y1, float x2, float y2, float hw, float hh) {
  TEKMOVE(x1 - hw, y1 + hh);
  TEKDRAW(x2 + hw, y1 + hh);
  TEKMOVE(x1 + hw, y1 - hh);
  TEKDRAW(x1 + hw, y2 + hh);
}

// Picture name of a progress display for the batch mode's files.
std::string progress_picture_name(std::int32_t counter) {
  char name[32];
  std::snprintf(name, sizeof name, "progress-%06d", counter);
  return name;
}

// Cell (I, J) after its update in single-step mode: the cell redrawn, a
// cross on it, the counter, and a wait for a key ("S" ends the run).
void single_step_display(std::int32_t I, std::int32_t J) {
  RelaxationState& r = relaxation_state();
  if (I == 2 && J == 2) {
    // The first cell of a sweep starts the picture again.
    TEKFLUSH(1);
    TEKPAGE(0);
    POTENTIAL_MAP();
    iteration_heading();
  }
  DRAW_CELL(I, J);
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  CELL_RECT(I, J, x1, x2, y1, y2);
  const float hw = (x2 - x1) * 0.5f;
  const float hh = (y2 - y1) * 0.5f;
  if (r.cross_x1 != -10000.0f) {
    // Paint the previous cross over in the colour of the range's low end.
    VALUE_COLOUR(map_state().low);
    draw_cross(r.cross_x1, r.cross_y1, r.cross_x2, r.cross_y2, hw, hh);
  }
  LCBAR(7);
  draw_cross(x1, y1, x2, y2, hw, hh);
  r.cross_x1 = x1;
  r.cross_y1 = y1;
  r.cross_x2 = x2;
  r.cross_y2 = y2;
  label_update();
  const std::int16_t key = shell::GI_GET_KEY();
  // "S" stops; so does a closed window, which could not answer the next cell.
  if (key == 'S' || key == 's' || key == shell::KEY_QUIT) textui::INTERRUPT_STOP();
}

// The relaxed map with "Iterations:" and the sweep count; waits for a key.
void final_display() {
  const RelaxationState& r = relaxation_state();
  TEKFLUSH(1);
  TEKPAGE(0);
  POTENTIAL_MAP();
  fill_interior();
  OUTLINE_INSULATORS();
  OUTLINE_FIXED();
  // The sweep count whole, however many digits it has: five columns unless
  // it needs more, the label moved left when it is longer than 17.
  const std::string label = "Iterations:" + common::format_I(r.limit, std::max(5, digit_count(r.limit)));
  textui::set_message(label);
  LCBAR(7);
  const std::size_t n = std::max<std::size_t>(17, label.size());
  TEKMOVE(label_start(600.0f, n, 17), -1230.0f);
  TEKTEXT(10, 0, textui::message_area().message_line, static_cast<std::int32_t>(n));
  name_picture("potential");
  TEKFLUSH(0);
}

// Sweeps until the next progress display or the last sweep, or until about
// kPollInterval has passed, whichever comes first, so that the key poll after
// it comes at least that often however fast the sweeps are; a key arriving
// meanwhile waits in the window's queue for that poll. Each sweep made is
// counted, its change recorded (the sweeps the record samples measure it) and
// its progress reported, in order; the progress display follows its sweep.
constexpr auto kPollInterval = std::chrono::milliseconds(1);
constexpr std::int32_t kMostSweepsAtOnce = 4096;

void sweep_for_a_while() {
  const Grid& g = grid();
  RelaxationState& r = relaxation_state();
  std::int64_t next = r.limit;
  if (g.NUPD > 0) next = std::min(next, (static_cast<std::int64_t>(r.counter) / g.NUPD + 1) * g.NUPD);
  const auto count = static_cast<std::int32_t>(std::min<std::int64_t>(next - r.counter, kMostSweepsAtOnce));
  bool measure[kMostSweepsAtOnce];
  float change[kMostSweepsAtOnce];
  for (std::int32_t i = 0; i < count; ++i) measure[i] = sweep_change_wanted(r.counter + 1 + i);
  const std::int32_t made = sweep_held_until(count, measure, change, std::chrono::steady_clock::now() + kPollInterval);
  for (std::int32_t i = 0; i < made; ++i) {
    ++r.counter;
    // (A non-positive NUPD shows no progress at all.)
    if (g.NUPD > 0 && r.counter % g.NUPD == 0) {
      sync_potentials();
      progress_display();
    }
    if (measure[i]) record_sweep_change(r.counter, change[i]);
    common::report_progress(r.counter, r.limit);
  }
}

}  // namespace

RelaxationState& relaxation_state() {
  static RelaxationState r;
  return r;
}

std::string iteration_label(std::int32_t counter, std::int32_t limit) {
  const int width = std::max(6, digit_count(limit));
  return common::format_I(counter, width) + "/" + common::format_I(limit, width);
}

void progress_display() {
  const Grid& g = grid();
  RelaxationState& r = relaxation_state();
  const bool pause = g.PAUSE_EACH == 1;
  // A display that is waited at is drawn into the picture. It covers every
  // pixel the previous one drew (all interior cells, the counter painted
  // over, the same outlines), so the previous one's records can go.
  if (pause)
    shell::CUT_PICTURE(r.picture_base);
  else
    shell::SET_TRANSIENT(1);
  fill_interior();
  label_update();
  OUTLINE_FIXED();
  OUTLINE_INSULATORS();
  if (pause) {
    name_picture(progress_picture_name(r.counter));
    TEKFLUSH(0);
    TEKPAGE(1);
    shell::SET_TRANSIENT(1);
    if (r.counter != r.limit) {
      r.new_label = "working...   ";
      LCBAR(7);
      TEKMOVE(0.0f, 0.0f);
      TEKTEXT(14, 0, r.new_label, 11);
    }
  }
  shell::SET_TRANSIENT(0);
}

void FILL_CELL(std::int32_t I, std::int32_t J) {
  CELL_COLOUR(I, J);
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  CELL_RECT(I, J, x1, x2, y1, y2);
  TEKFILL(x1, y1, x2, y2, 0);
}

void DRAW_CELL(std::int32_t I, std::int32_t J) {
  CELL_COLOUR(I, J);
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  CELL_RECT(I, J, x1, x2, y1, y2);
  TEKFILL(x1, y1, x2, y2, 0);
  LCBAR(7);
  TEKMOVE(x1, y1);
  TEKDRAW(x2, y1);
  TEKDRAW(x2, y2);
  TEKDRAW(x1, y2);
  TEKDRAW(x1, y1);
}

void OUTLINE_FIXED() {
  const Grid& g = grid();
  LCBAR(7);
  for (std::int32_t i = 1; i <= g.NX; ++i)
    for (std::int32_t j = 1; j <= g.NY; ++j)
      if (g.FIXED[i][j] == 1) DRAW_CELL(i, j);
}

void OUTLINE_INSULATORS() {
  const Grid& g = grid();
  LCBAR(7);
  for (std::int32_t i = 1; i <= g.NX; ++i)
    for (std::int32_t j = 1; j <= g.NY; ++j)
      if (g.RHO[i][j] == INSULATOR_RHO) DRAW_CELL(i, j);
}

void RELAX() {
  Grid& g = grid();
  use_sheet(g);
  RelaxationState& r = relaxation_state();
  r.limit = g.NSTEP;
  r.counter = 0;
  r.old_label = std::string(13, ' ');
  TEKPAGE(0);
  POTENTIAL_MAP();
  iteration_heading();
  r.picture_base = shell::PICTURE_LENGTH();
  r.cross_x1 = r.cross_y1 = r.cross_x2 = r.cross_y2 = -10000.0f;
  start_convergence_record(r.limit);

  while (r.counter < r.limit) {
    if (g.SINGLE_STEP == 1) {
      ++r.counter;
      // Cell by cell in the sweep's order, with the same arithmetic; the
      // largest change of any cell, for the convergence report.
      float change = 0.0f;
      for (std::int32_t i = 2; i <= g.NX - 1; ++i)
        for (std::int32_t j = 2; j <= g.NY - 1; ++j) {
          const float cell_change = update_cell(i, j);
          if (cell_change > change) change = cell_change;
          single_step_display(i, j);
        }
      record_sweep_change(r.counter, change);
      common::report_progress(r.counter, r.limit);
    } else {
      sweep_for_a_while();
    }
    if (shell::GI_CHECK_KEY() != 0) {
      // A key (or the window's close) during the sweeps ends the run here;
      // nothing is written.
      sync_potentials();
      TEKFLUSH(1);
      textui::INTERRUPT_STOP();
    }
  }
  sync_potentials();
  check_potentials();
  // The final map is drawn before the convergence is reported: it needs
  // nothing of the direct solve, which meanwhile has the time to finish.
  final_display();
  report_convergence();
}

}  // namespace kesto::solver
