// Fuzz harness: a whole input deck of arbitrary bytes read by READ_DECK, the
// way a batch run reads it (every pause answered, pages printed to nowhere).
// A deck the reader refuses ends the run with its fatal page, which unwinds
// as RunEnded and is caught here; anything else is a finding.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>

#include "common/fixed_text.h"
#include "common/run_ended.h"
#include "shell/script/batch.h"
#include "shell/script/script.h"
#include "shell/window/events.h"
#include "shell/window/text_grid.h"
#include "shell/window/window_state.h"
#include "solver/deck_reader.h"
#include "solver/grid.h"
#include "textui/file_names.h"
#include "textui/messages.h"

namespace {

struct NullBuffer : std::streambuf {
  int overflow(int c) override { return c; }
};

std::string& work_directory() {
  static std::string path;
  return path;
}

void remove_work_directory() {
  std::error_code ec;
  std::filesystem::remove_all(work_directory(), ec);
}

// The deck is written as a file in a directory of this process's own, which
// goes when the process ends.
bool enter_work_directory() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kesto-fuzz-deck-XXXXXX";
  if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) {
    std::perror("kesto deck fuzzer: cannot make its directory");
    std::abort();
  }
  work_directory() = pattern;
  std::atexit(remove_work_directory);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kesto;
  static const bool ready = enter_work_directory();
  static NullBuffer null_buffer;
  static std::ostream nowhere(&null_buffer);
  (void)ready;

  if (std::FILE* f = std::fopen("fuzz.txt", "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  static const solver::Grid blank{};  // too big to build on the stack each time
  solver::grid() = blank;
  textui::message_area() = textui::MessageArea{};
  textui::file_name_record() = textui::FileNameRecord{};
  solver::SET_DEFAULTS();
  solver::CLEAR_GRID();
  solver::grid().DECK_NAME = common::pad("fuzz.txt", 14);

  shell::reset_input();
  shell::script() = shell::Script{};
  shell::text_grid() = shell::TextGrid{};
  shell::window_state().graphics_mode = false;
  shell::batch_mode() = shell::BatchMode{};
  shell::batch_mode().enabled = true;
  shell::batch_mode().out = &nowhere;
  try {
    solver::READ_DECK();
  } catch (const common::RunEnded&) {
    // a fatal page: the reader refused the deck
  }
  shell::batch_print_page();
  shell::batch_mode() = shell::BatchMode{};
  return 0;
}
