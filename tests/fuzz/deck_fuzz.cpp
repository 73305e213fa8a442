// Fuzz harness: a whole input deck of arbitrary bytes read by READ_DECK, the
// way a batch run reads it (every pause answered by the automatic user).
// A deck the reader refuses ends the run with its fatal page, which unwinds
// as RunEnded and is caught by run_captured; anything else is a finding.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/fixed_text.h"
#include "solver/deck_reader.h"
#include "solver/grid.h"
#include "tests/support/run_capture.h"
#include "textui/file_names.h"
#include "textui/messages.h"

namespace {

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

  kesto::testing::run_captured([] { solver::READ_DECK(); });
  return 0;
}
