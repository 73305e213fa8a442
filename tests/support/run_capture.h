// Test support: runs a piece of the program the way a batch run would (every
// pause answered by the automatic user, every text page captured) and
// reports how it ended.
#pragma once

#include <functional>
#include <sstream>
#include <string>

#include "common/run_ended.h"
#include "shell/script/batch.h"
#include "shell/window/events.h"
#include "shell/script/script.h"
#include "shell/window/text_grid.h"
#include "shell/window/window_state.h"

namespace kesto::testing {

struct Captured {
  std::string pages;   // every page shown, as the batch mode prints it
  bool ended = false;  // a stop ended the run
  common::RunEnded::Kind how = common::RunEnded::Kind::normal;
};

// Forgets the shell's input state, the script and the batch book-keeping.
inline void reset_shell_input() {
  shell::reset_input();
  shell::script() = shell::Script{};
  shell::batch_mode() = shell::BatchMode{};
  shell::text_grid() = shell::TextGrid{};
  shell::window_state().graphics_mode = false;
}

// Runs `body` with the automatic user answering every wait (after the steps
// of `script_text`, if any) and captures the pages shown.
inline Captured run_captured(const std::function<void()>& body, const std::string& script_text = {}) {
  reset_shell_input();
  std::ostringstream out;
  shell::batch_mode().enabled = true;
  shell::batch_mode().out = &out;
  if (!script_text.empty()) {
    std::string error;
    if (!shell::parse_script(script_text, shell::script(), error)) throw std::runtime_error(error);
  }
  Captured c;
  try {
    body();
  } catch (const common::RunEnded& e) {
    c.ended = true;
    c.how = e.kind;
  }
  shell::batch_print_page();
  c.pages = out.str();
  shell::batch_mode() = shell::BatchMode{};
  return c;
}

}  // namespace kesto::testing
