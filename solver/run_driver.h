// The run driver: sets the program up, takes the input deck, runs the solver
// phases in their fixed order and ends the run with a page that lists the
// files written. One run handles one deck.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::solver {

// What the command line hands to the run.
struct RunOptions {
  std::string deck;    // path of the input deck as given (empty: the user types it into the menu)
  std::string markel;  // record every picture into this MARKEL file (empty: no recording)
  bool convergence_on_closing_page = false;  // the closing page shows the convergence line too
};

RunOptions& run_options();

// The program's name, version and release date, from which the title line
// of every page and the version the command line prints are made.
void set_program_identity();

// The deck named on the directory-and-file-name menu, filled from `deck`
// (a path as given; empty: the user types it): the menu tidies the name
// (lower case, the extension "txt") and returns when F10 accepts it, with
// `check_mode` as FILE_NAME_MENU takes it (1: once the file opens). The
// grid's DECK_NAME is the name accepted.
void name_deck(const std::string& deck, std::int32_t check_mode);

// The whole run; ends with a stop (common::RunEnded), never returns normally.
[[noreturn]] void RUN_DRIVER();

}  // namespace kesto::solver
