// Shared by the solver tests: a fresh run state, decks written to the test's
// working directory, the solver phases of a run (without the displays) and
// reading back the pages and files they leave.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "solver/deck_reader.h"
#include "solver/field_current.h"
#include "solver/grid.h"
#include "solver/sweep.h"
#include "solver/table_writer.h"
#include "support/run_capture.h"
#include "textui/file_names.h"
#include "textui/messages.h"

namespace kesto::testing {

// The state a run starts from: zeroed grid with the defaults, blank messages
// and file-name record, no table files left from an earlier test.
inline void fresh_run_state() {
  solver::grid() = solver::Grid{};
  textui::message_area() = textui::MessageArea{};
  textui::file_name_record() = textui::FileNameRecord{};
  solver::SET_DEFAULTS();
  solver::CLEAR_GRID();
  std::error_code ec;
  std::filesystem::remove_all("VOLTS.TBL", ec);
  std::filesystem::remove_all("EFIELD.TBL", ec);
}

inline void write_file(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Lines joined with LF.
inline std::string lines(std::initializer_list<std::string> ls) {
  std::string s;
  for (const auto& l : ls) s += l + "\n";
  return s;
}

// Writes the deck as `name` in the current directory and names it in the grid.
inline void use_deck(const std::string& text, const std::string& name = "deck.txt") {
  write_file(name, text);
  solver::grid().DECK_NAME = common::pad(name, 14);
}

// Fresh state, then READ_DECK on `text` with the automatic user.
inline Captured read_deck_text(const std::string& text, const std::string& name = "deck.txt") {
  fresh_run_state();
  use_deck(text, name);
  return run_captured([] { solver::READ_DECK(); });
}

// The solver's phases of a run in their order, without the displays: read
// the deck, conductances, NSTEP sweeps, current, potential table, field,
// field table.
inline void solver_phases() {
  solver::READ_DECK();
  solver::SET_CONDUCTANCES();
  for (std::int32_t n = 0; n < solver::grid().NSTEP; ++n) solver::sweep_held();
  solver::sync_potentials();
  solver::FIND_CURRENT();
  solver::WRITE_VOLTS();
  solver::FIND_EFIELD();
  solver::WRITE_EFIELD();
}

// Fresh state, the deck, and the phases with the automatic user.
inline Captured run_deck(const std::string& text, const std::string& name = "deck.txt") {
  fresh_run_state();
  use_deck(text, name);
  return run_captured(solver_phases);
}

// The lines of a text page (or file) split at LF.
inline std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// True when one whole line of the captured pages equals `row`.
inline bool shows_row(const Captured& c, const std::string& row) {
  for (const auto& l : split_lines(c.pages))
    if (l == row) return true;
  return false;
}

}  // namespace kesto::testing
