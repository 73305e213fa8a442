#include "solver/deck_check.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <vector>

#include "common/fixed_text.h"
#include "common/run_ended.h"
#include "plot/result_maps.h"
#include "solver/deck_reader.h"
#include "solver/deck_recorder.h"
#include "solver/deck_traps.h"
#include "solver/grid.h"
#include "solver/run_driver.h"
#include "solver/run_hooks.h"
#include "solver/sweeps_needed.h"
#include "textui/file_names.h"
#include "textui/messages.h"

namespace kesto::solver {
namespace {

struct Warning {
  std::int32_t line = 0;
  std::string text;
};

// The recorder of the check: goes on past every line that would stop a run
// and looks at each line the reader passes over as it passes.
class DeckCheck : public DeckRecorder {
 public:
  explicit DeckCheck(std::ostringstream* pages) : DeckRecorder(true, pages, nullptr) {}

  std::vector<Warning> warnings;

 protected:
  void passed_over(std::int32_t number, const std::string& text, bool after_end) override {
    const DeckOutline outline{space_line(), end_line(), grid().NX, grid().NY};
    if (auto reason = passed_over_trap(text, number, after_end, outline)) warnings.push_back({number, *reason});
  }
};

// What a command line set, for the listing: its numbers by name, or what a
// command without numbers does.
std::string what_was_read(const RecordedCommand& c) {
  const std::string_view p = c.command->prefix;
  if (p == "EN") return "end of the deck: later lines are not read";
  if (p == "SINGL") return "single-step mode: every cell update waits for a key";
  if (p == "PAUSE") return "a key is waited for at every display";
  std::string text;
  for (std::size_t k = 0; k < c.numbers.size(); ++k)
    text += (k ? " " : "") + number_name(*c.command, k) + "=" + number_text(c.numbers[k]);
  return text;
}

std::string listing_row(const RecordedCommand& c) {
  char head[64];
  if (c.command->column > 0)
    std::snprintf(head, sizeof head, "%5d  %-7s  %6zu  ", c.line, std::string(c.command->prefix).c_str(),
                  c.command->column);
  else
    std::snprintf(head, sizeof head, "%5d  %-7s          ", c.line, std::string(c.command->prefix).c_str());
  return head + what_was_read(c);
}

std::string count(std::size_t n, const char* one, const char* many) {
  return n == 0 ? std::string("no ") + many : std::to_string(n) + " " + (n == 1 ? one : many);
}

// The sweeps warning stands at the NST line that set NSTEP, or at the SPACE
// line when the deck leaves NSTEP at its default; none when the grid size
// could not be read.
std::optional<Warning> sweeps_warning(const DeckCheck& check) {
  if (check.space_line() == 0) return std::nullopt;
  for (const DeckFault& f : check.faults())
    if (f.line == check.space_line()) return std::nullopt;
  std::int32_t line = 0;
  for (const RecordedCommand& c : check.commands())
    if (c.command->prefix == "NST" && !c.numbers.empty() && c.numbers[0].status == common::ListStatus::ok)
      line = c.line;
  const Grid& g = grid();
  auto reason = sweeps_trap(g.NX, g.NY, g.NSTEP, line != 0);
  if (!reason) return std::nullopt;
  return Warning{line != 0 ? line : check.space_line(), *reason};
}

// A sheet whose cells all have one potential passes the reader, but the
// run's first colour bar has an empty range and ends the run on its page.
void one_potential_stop() {
  const Grid& g = grid();
  const float step = plot::colour_bar_step(g.VMIN, g.VMAX);
  if (step != 0.0f) return;
  textui::set_message(plot::empty_range_message(step, g.VMIN));
  textui::ERROR_PAGE();
  textui::FATAL_STOP();
}

}  // namespace

int check_deck(const std::string& path, std::ostream& out) {
  // The pages of the menu and the reader go to the check, answered by the
  // automatic user.
  std::ostringstream pages;
  DeckCheck check(&pages);
  run_unattended(pages, [&] {
    try {
      // The deck named as a run names it, the menu accepted by the automatic
      // user; whether the file opens is left to the reader, whose page says so.
      name_deck(path, 0);
      leave_page();  // the menu's page, printed when left, is not the reader's
      pages.str("");
      SET_DEFAULTS();
      CLEAR_GRID();
      set_deck_observer(&check);
      READ_DECK();
      // Only a deck that reads without a fault gets as far as the colour bar;
      // on any other the potentials read are not the ones the deck means.
      if (check.faults().empty()) {
        check.closing_check(DeckSetting::potential_range);
        check.act(one_potential_stop);
      }
    } catch (const common::RunEnded&) {
      check.fault_outside_the_lines("the deck file cannot be opened or read");
    }
  });
  check.finish();
  set_deck_observer(nullptr);

  std::vector<Warning> warnings = check.warnings;
  for (const RecordedCommand& c : check.commands())
    for (std::string& reason : command_traps(c)) warnings.push_back({c.line, std::move(reason)});
  if (auto w = sweeps_warning(check)) warnings.push_back(*w);
  std::stable_sort(warnings.begin(), warnings.end(),
                   [](const Warning& a, const Warning& b) { return a.line < b.line; });
  std::vector<RecordedCommand> listing = check.commands();
  std::stable_sort(listing.begin(), listing.end(),
                   [](const RecordedCommand& a, const RecordedCommand& b) { return a.line < b.line; });

  const std::string deck(common::trim_right(textui::file_name_record().full_path));
  out << "Checking " << deck << " as a run reads it.\n";
  if (!listing.empty()) {
    out << "\nThe lines the reader acts on, the column each command reads its numbers from, and the numbers:\n"
        << " line  command  column  numbers\n";
    for (const RecordedCommand& c : listing) out << listing_row(c) << '\n';
  }
  if (!check.faults().empty()) {
    out << "\nLines that stop a run (a run stops at the first):\n";
    for (const DeckFault& f : check.faults()) {
      out << "  " << f.where << '\n';
      for (const std::string& row : f.page) out << "      " << row << '\n';
    }
  }
  if (!warnings.empty()) {
    out << "\nWarnings:\n";
    for (const Warning& w : warnings) out << "  line " << w.line << ": " << w.text << '\n';
  }
  // A deck that a run takes: the sweeps its network needs, counted.
  if (check.faults().empty() && check.space_line() != 0) out << '\n' << sweeps_needed_line(count_sweeps_needed()) << '\n';
  out << '\n'
      << deck << ": " << count(check.faults().size(), "line that stops a run", "lines that stop a run") << ", "
      << count(warnings.size(), "warning", "warnings") << ".\n";
  return !check.faults().empty() ? 2 : !warnings.empty() ? 1 : 0;
}

}  // namespace kesto::solver
