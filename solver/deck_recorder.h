// A deck observer that records what the reader did: every command line with
// the numbers it read, and every step that would stop a run, with its line,
// the column at fault and the page the run shows. A batch run installs one
// that names the line of its fatal page on standard error; the deck check
// installs one that goes on past such lines.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "solver/deck_observer.h"

namespace kesto::solver {

// A line the reader acted on as a command.
struct RecordedCommand {
  std::int32_t line = 0;
  std::string text;  // the line, 80 columns
  const DeckCommand* command = nullptr;
  std::vector<DeckNumber> numbers;  // as far as they were read
  std::optional<ShapeTally> shape;  // a disc, ring or ellipse
  std::int32_t NX = 0, NY = 0;      // the grid when the line was read (0 x 0 before SPACE)
};

// A step that would stop a run.
struct DeckFault {
  std::int32_t line = 0;          // 0: the deck as a whole
  std::string where;              // "line 7, column 20: JE = 300", "end of the deck: no THICK line"
  std::vector<std::string> page;  // the rows of the page a run shows, without its prompt
};

// The text of a number as read: an integer as written, a real in its
// shortest form that reads back the same ("0.01", "1e+06"), "?" when it
// could not be read.
std::string number_text(const DeckNumber& n);

// The name of number `index` of a command ("JE"), "" beyond its list.
std::string number_name(const DeckCommand& command, std::size_t index);

class DeckRecorder : public DeckObserver {
 public:
  // go_on: the reader goes on past a step that would stop a run (the deck
  // check); otherwise that step still ends the run. pages: where the batch
  // mode prints the pages, read back for a fault (null: not kept).
  // diagnostics: where each fault is named at once, as
  // "kesto: DECK: line ..." (null: nowhere). page_note: a fatal page of a
  // line shows "Deck line 9, column 8." below its prompt.
  DeckRecorder(bool go_on, std::ostringstream* pages, std::ostream* diagnostics, bool page_note = false);

  // Every command line in file order (the deck check). A recorder that does
  // not go on keeps only what naming a fault's line needs: the line being
  // read, the last THICK, SI and NUP lines and the first line with the
  // largest potential, so that its memory does not grow with the deck.
  const std::vector<RecordedCommand>& commands() const { return commands_; }
  const std::vector<DeckFault>& faults() const { return faults_; }
  // The line of the SPACE line the grid comes from (0: none) and of the EN line (0: none).
  std::int32_t space_line() const { return space_line_; }
  std::int32_t end_line() const { return end_line_; }

  // A fault that ended the reading outside any step (the deck cannot be opened or read).
  void fault_outside_the_lines(const std::string& where);
  // The reading is over: the last line passed over is reported.
  void finish();

  void pass(int number) override;
  void line(std::int32_t number, const std::string& text) override;
  void command(const DeckCommand& command) override;
  void number(const DeckNumber& number) override;
  void shape(const ShapeTally& tally) override;
  bool wants_lines_after_end() const override { return go_on_; }
  void line_after_end(std::int32_t number, const std::string& text) override;
  void closing_check(DeckSetting setting) override;
  void act(const std::function<void()>& step) override;

 protected:
  // A line of the second pass that the reader passed over (a comment, the
  // SPACE line, any line after EN).
  virtual void passed_over(std::int32_t /*number*/, const std::string& /*text*/, bool /*after_end*/) {}

 private:
  void flush_passed_over();
  void forget_unneeded_commands();
  void record_fault();  // the fault of the step that just ended the run
  // "Deck line 9, column 8." for the step under way, "" when its fault has no line.
  std::string page_note() const;
  void record_fault(std::int32_t line, const std::string& where);

  bool go_on_;
  std::ostringstream* pages_;
  std::ostream* diagnostics_;
  bool page_note_;
  int pass_ = 0;
  std::int32_t line_number_ = 0;
  std::string line_text_;
  bool line_pending_ = false;  // the current line has not turned out to be a command
  bool in_command_ = false;    // the last step belongs to commands_.back()
  std::optional<DeckSetting> setting_;
  std::int32_t space_line_ = 0, end_line_ = 0;
  std::vector<RecordedCommand> commands_;
  std::vector<DeckFault> faults_;
};

}  // namespace kesto::solver
