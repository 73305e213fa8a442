// Benchmark support: the demonstration deck read into the grid, as the run
// driver would read it, from a scratch copy of examples/DEMO.txt.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

#include "common/fixed_text.h"
#include "solver/deck_reader.h"
#include "solver/grid.h"
#include "textui/file_names.h"

namespace kesto::bench {

inline void read_demo_deck() {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("kesto_demo_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::copy_file(fs::path(KESTO_SOURCE_DIR) / "examples" / "DEMO.txt", dir / "DEMO.txt",
                fs::copy_options::overwrite_existing);
  solver::grid() = solver::Grid{};
  textui::file_name_record() = textui::FileNameRecord{};
  textui::file_name_record().directory = common::pad(dir.string(), 66);
  solver::SET_DEFAULTS();
  solver::CLEAR_GRID();
  solver::grid().DECK_NAME = common::pad("DEMO.txt", 14);
  solver::READ_DECK();
  fs::remove_all(dir);
}

}  // namespace kesto::bench
