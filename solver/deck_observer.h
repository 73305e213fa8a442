// What the deck reader tells an observer as it works: each line it reads,
// the command a line matches, every number it takes (from which columns, with
// what result), the cells a shape leaves out, and each step that may end the
// run with a fatal page. A run installs no observer and the calls do nothing;
// the deck check installs one that lists what the reader did and lets the
// reading go on past a line that would stop a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "common/list_input.h"
#include "solver/shapes.h"

namespace kesto::solver {

// A command of the deck: the prefix that starts its lines, the column its
// numbers are read from (0: it has none) and the names of its numbers.
struct DeckCommand {
  std::string_view prefix;
  std::size_t column;
  std::string_view numbers;  // names separated by blanks, in reading order
};

// The reader's commands in the order a line is tested against them: "EN"
// first; "SPACE", which only the first pass acts on, last.
std::span<const DeckCommand> deck_commands();

// One number as the reader took it from its line.
struct DeckNumber {
  std::size_t index = 0;         // 0 for the command's first number
  std::size_t first_column = 0;  // where its field begins (1-based)
  std::size_t end_column = 0;    // one past its last column (== first_column: no field)
  bool integer = false;          // an integer was asked for, else a real
  common::ListStatus status = common::ListStatus::ok;
  std::int32_t integer_value = 0;
  float real_value = 0.0f;
};

// The settings the reader checks once the whole deck is read; the deck
// check adds the range of the potentials, which a run's first colour bar needs.
enum class DeckSetting { grid_size, thickness, cell_size, potentials, display_interval, potential_range };

class DeckObserver {
 public:
  virtual ~DeckObserver() = default;
  // A pass over the deck begins: 1 looks for the grid size, 2 acts on the commands.
  virtual void pass(int /*number*/) {}
  // Line `number` of the pass, 80 columns, about to be acted on (or passed over).
  virtual void line(std::int32_t /*number*/, const std::string& /*text*/) {}
  // The line just seen is this command.
  virtual void command(const DeckCommand& /*command*/) {}
  // A number the command asked for, whether or not it could be read.
  virtual void number(const DeckNumber& /*number*/) {}
  // The border tally of a disc, ring or ellipse the line marked.
  virtual void shape(const ShapeTally& /*tally*/) {}
  // True to be shown the lines after the one that ended the deck (a run does not read them).
  virtual bool wants_lines_after_end() const { return false; }
  virtual void line_after_end(std::int32_t /*number*/, const std::string& /*text*/) {}
  // The check of a whole-deck setting that comes next.
  virtual void closing_check(DeckSetting /*setting*/) {}
  // Carries out one step that may end the run with a fatal page (the action
  // of a line, a closing check). A run simply takes the step; an observer
  // that returns after the step ended the run lets the reader go on.
  virtual void act(const std::function<void()>& step) { step(); }
};

// The observer the reader reports to; a run leaves it at the silent default.
DeckObserver& deck_observer();
// Installs `observer` (nullptr: the silent default again).
void set_deck_observer(DeckObserver* observer);

}  // namespace kesto::solver
