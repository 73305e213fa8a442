#include "solver/deck_recorder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <string_view>
#include <tuple>

#include "common/fixed_text.h"
#include "common/run_ended.h"
#include "solver/grid.h"
#include "solver/run_hooks.h"
#include "textui/file_names.h"
#include "textui/messages.h"

namespace kesto::solver {
namespace {

using common::ListStatus;

bool is(const RecordedCommand& c, std::string_view prefix) { return c.command->prefix == prefix; }

// The first of the listed numbers (index, lowest, highest) outside its range.
std::optional<std::size_t> first_outside(
    const RecordedCommand& c, std::initializer_list<std::tuple<std::size_t, std::int64_t, std::int64_t>> ranges) {
  for (const auto& [k, lo, hi] : ranges)
    if (k < c.numbers.size() && (c.numbers[k].integer_value < lo || c.numbers[k].integer_value > hi)) return k;
  return std::nullopt;
}

// The number a command's fatal page is about: the one that could not be
// read, or the first that breaks the command's rule on the grid it was read on.
std::optional<std::size_t> number_at_fault(const RecordedCommand& c) {
  if (c.numbers.empty()) return std::nullopt;
  if (c.numbers.back().status != ListStatus::ok) return c.numbers.size() - 1;
  const std::int64_t nx = c.NX, ny = c.NY;
  if (is(c, "SPACE")) return first_outside(c, {{0, 4, MAXNX}, {1, 4, MAXNY}});
  if (is(c, "CE")) return first_outside(c, {{0, 1, nx}, {1, 1, ny}});
  if (is(c, "LI")) return first_outside(c, {{0, 1, nx}, {1, 1, ny}, {2, 1, nx}, {3, 1, ny}});
  if (is(c, "INSUL") || is(c, "RESIS_L") || is(c, "RESIS_B")) {
    if (auto k = first_outside(c, {{0, 2, nx - 1}, {1, 2, ny - 1}, {2, 2, nx - 1}, {3, 2, ny - 1}})) return k;
    if (c.numbers.size() == 5) return 4;  // the resistivity is not positive
  }
  if (is(c, "CURRENT") && c.numbers.size() == 4) {
    const auto v = [&](std::size_t k) { return c.numbers[k].integer_value; };
    if (v(2) == v(0)) return 0;  // vertical: its column is too near the edge
    if (v(3) == v(1)) return 1;  // horizontal: its row is
    return 2;                    // oblique
  }
  return std::nullopt;
}

struct Place {
  std::int32_t line = 0;
  std::string where;
};

std::string place(std::int32_t line, std::size_t column) {
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// "line 7, column 20: JE must be a whole number, the line has "5.0"" and the like.
std::string number_fault(const RecordedCommand& c, std::size_t k) {
  const DeckNumber& n = c.numbers[k];
  const std::string name = number_name(*c.command, k);
  if (n.status == ListStatus::ok) return place(c.line, n.first_column) + ": " + name + " = " + number_text(n);
  const std::string field =
      n.end_column > n.first_column ? c.text.substr(n.first_column - 1, n.end_column - n.first_column) : std::string();
  if (!field.empty()) {
    const char* must = n.status == ListStatus::not_finite ? " must be a finite number"
                       : n.integer                        ? " must be a whole number"
                                                          : " must be a number";
    return place(c.line, n.first_column) + ": " + name + must + ", the line has \"" + field + "\"";
  }
  if (n.first_column <= c.text.size() && common::trim_right(c.text.substr(n.first_column - 1)).size() > 0)
    return place(c.line, n.first_column) + ": " + name + " is missing: the field at column " +
           std::to_string(n.first_column) + " is empty";
  const std::size_t from = k > 0 ? c.numbers[k - 1].end_column : c.command->column;
  return place(c.line, from) + ": " + name + " is missing: nothing to read from column " + std::to_string(from) + " on";
}

Place command_fault(const RecordedCommand& c) {
  if (const auto k = number_at_fault(c)) return {c.line, number_fault(c, *k)};
  return {c.line, c.command->column > 0 ? place(c.line, c.command->column) : "line " + std::to_string(c.line)};
}

bool read_whole(const RecordedCommand& c) { return !c.numbers.empty() && c.numbers.back().status == ListStatus::ok; }

bool sets_potential(const RecordedCommand& c) {
  return read_whole(c) && number_name(*c.command, c.numbers.size() - 1) == "V";
}

// The commands whose last line a closing check names (the check of the
// potentials names the line with the largest).
constexpr std::string_view kSetters[] = {"THICK", "SI", "NUP"};

// The first of the commands with the largest potential, or null.
const RecordedCommand* largest_potential(const std::vector<RecordedCommand>& commands) {
  const RecordedCommand* from = nullptr;
  float largest = -1.0f;
  for (const RecordedCommand& c : commands)
    if (sets_potential(c) && std::fabs(c.numbers.back().real_value) > largest) {
      largest = std::fabs(c.numbers.back().real_value);
      from = &c;
    }
  return from;
}

// The last of the commands with the prefix that were read whole, or null.
const RecordedCommand* last_setter(const std::vector<RecordedCommand>& commands, std::string_view prefix) {
  const RecordedCommand* from = nullptr;
  for (const RecordedCommand& c : commands)
    if (read_whole(c) && c.command->prefix == prefix) from = &c;
  return from;
}

// Where a closing check's fatal page comes from: the line that last set the
// setting, or for the potentials the one that set the largest.
Place setting_fault(DeckSetting setting, const std::vector<RecordedCommand>& commands) {
  if (setting == DeckSetting::grid_size) return {0, "end of the deck: no SPACE line"};
  if (setting == DeckSetting::potential_range) {
    DeckNumber volts;
    volts.real_value = grid().VMIN;
    return {0, "end of the deck: every cell is at " + number_text(volts) +
                   " V, so the colour scale of the potential map has no range"};
  }
  const std::string_view prefix = setting == DeckSetting::thickness          ? "THICK"
                                  : setting == DeckSetting::cell_size        ? "SI"
                                  : setting == DeckSetting::display_interval ? "NUP"
                                                                             : "";
  const RecordedCommand* from = prefix.empty() ? largest_potential(commands) : last_setter(commands, prefix);
  const std::size_t k = from && prefix.empty() ? from->numbers.size() - 1 : 0;
  if (!from) return {0, "end of the deck: no " + std::string(prefix.empty() ? "electrode" : prefix) + " line sets it"};
  return {from->line, number_fault(*from, k)};
}

// The place of the fault of the step under way: its command's line, or the
// line behind the closing check.
Place fault_place(bool in_command, const std::vector<RecordedCommand>& commands,
                  const std::optional<DeckSetting>& setting) {
  return in_command ? command_fault(commands.back())
         : setting  ? setting_fault(*setting, commands)
                    : Place{0, "the deck"};
}

}  // namespace

std::string number_text(const DeckNumber& n) {
  if (n.status != ListStatus::ok) return "?";
  if (n.integer) return std::to_string(n.integer_value);
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, n.real_value);
  return std::string(buf, r.ptr);
}

std::string number_name(const DeckCommand& command, std::size_t index) {
  std::string_view names = command.numbers;
  for (;;) {
    const std::size_t blank = names.find(' ');
    if (index == 0) return std::string(names.substr(0, blank));
    if (blank == std::string_view::npos) return {};
    names.remove_prefix(blank + 1);
    --index;
  }
}

DeckRecorder::DeckRecorder(bool go_on, std::ostringstream* pages, std::ostream* diagnostics, bool page_note)
    : go_on_(go_on), pages_(pages), diagnostics_(diagnostics), page_note_(page_note) {}

void DeckRecorder::pass(int number) {
  flush_passed_over();
  pass_ = number;
  in_command_ = false;
}

void DeckRecorder::line(std::int32_t number, const std::string& text) {
  flush_passed_over();
  line_number_ = number;
  line_text_ = text;
  line_pending_ = pass_ == 2;
  in_command_ = false;
  setting_.reset();
}

void DeckRecorder::command(const DeckCommand& command) {
  line_pending_ = false;
  if (command.prefix == "SPACE") space_line_ = line_number_;
  if (command.prefix == "EN") end_line_ = line_number_;
  if (!go_on_) forget_unneeded_commands();
  RecordedCommand c;
  c.line = line_number_;
  c.text = line_text_;
  c.command = &command;
  c.NX = grid().NX;
  c.NY = grid().NY;
  commands_.push_back(std::move(c));
  in_command_ = true;
}

void DeckRecorder::forget_unneeded_commands() {
  // Only the lines a closing check can name are kept (each command is
  // complete by the time the next one begins).
  std::vector<const RecordedCommand*> needed{largest_potential(commands_)};
  for (const std::string_view prefix : kSetters) needed.push_back(last_setter(commands_, prefix));
  std::vector<RecordedCommand> kept;
  for (RecordedCommand& c : commands_)
    if (std::find(needed.begin(), needed.end(), &c) != needed.end()) kept.push_back(std::move(c));
  commands_ = std::move(kept);
}

void DeckRecorder::number(const DeckNumber& number) {
  if (in_command_) commands_.back().numbers.push_back(number);
}

void DeckRecorder::shape(const ShapeTally& tally) {
  if (in_command_) commands_.back().shape = tally;
}

void DeckRecorder::line_after_end(std::int32_t number, const std::string& text) {
  flush_passed_over();
  passed_over(number, text, true);
}

void DeckRecorder::closing_check(DeckSetting setting) {
  flush_passed_over();
  in_command_ = false;
  setting_ = setting;
}

void DeckRecorder::finish() { flush_passed_over(); }

void DeckRecorder::flush_passed_over() {
  if (!line_pending_) return;
  line_pending_ = false;
  passed_over(line_number_, line_text_, false);
}

void DeckRecorder::act(const std::function<void()>& step) {
  if (pages_) pages_->str("");
  // Each step that goes on past a fatal page is, to the automatic user, a
  // run of its own: its page is printed and answered even when it repeats.
  if (go_on_) forget_pages();
  // The note is asked for only when a page of the step waits, that is once
  // the step has met its fault.
  struct Note {
    explicit Note(const DeckRecorder* r) {
      if (r) textui::set_page_note([r] { return r->page_note(); });
    }
    ~Note() { textui::set_page_note({}); }
  } note(page_note_ ? this : nullptr);
  try {
    step();
  } catch (const common::RunEnded& e) {
    // A window closed at the fatal page still leaves the page's fault named.
    const bool closed = e.kind == common::RunEnded::Kind::interrupted;
    if (e.kind != common::RunEnded::Kind::fatal && !closed) throw;
    record_fault();
    if (!go_on_ || closed) throw;
  }
}

void DeckRecorder::fault_outside_the_lines(const std::string& where) { record_fault(0, where); }

void DeckRecorder::record_fault() {
  const Place p = fault_place(in_command_, commands_, setting_);
  record_fault(p.line, p.where);
}

std::string DeckRecorder::page_note() const {
  const Place p = fault_place(in_command_, commands_, setting_);
  if (p.line <= 0) return {};
  // "line 9, column 8: n is missing ..." names the place before its colon.
  return "Deck " + p.where.substr(0, p.where.find(':')) + ".";
}

void DeckRecorder::record_fault(std::int32_t line, const std::string& where) {
  DeckFault f;
  f.line = line;
  f.where = where;
  if (pages_) {
    std::istringstream rows(pages_->str());
    for (std::string row; std::getline(rows, row);) {
      const std::string_view trimmed = common::trim_right(row);
      if (!trimmed.empty() && trimmed != textui::kContinuePrompt) f.page.emplace_back(trimmed);
    }
    pages_->str("");
  }
  if (diagnostics_)
    *diagnostics_ << "kesto: " << common::trim_right(textui::file_name_record().full_path) << ": " << f.where << '\n'
                  << std::flush;
  faults_.push_back(std::move(f));
}

}  // namespace kesto::solver
