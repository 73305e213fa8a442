#include "textui/messages.h"

#include "common/fixed_text.h"
#include "common/run_ended.h"
#include "plot/kernel/kernel.h"
#include "shell/window/events.h"
#include "shell/graphics/graphics_interface.h"
#include "textui/text_screen.h"

namespace kesto::textui {
namespace {

// Writes `text` at (row, 1) with WRITE_NORMAL, n characters.
void write_at(std::int32_t row, std::string_view text, std::int16_t n = 80) {
  SET_CURSOR(static_cast<std::int16_t>(row), 1);
  WRITE_NORMAL(text, n);
}

void prompt() { set_message(kContinuePrompt); }

// Waits for one key; a closed window ends the run.
void wait() {
  if (shell::GI_GET_KEY() == shell::KEY_QUIT) FATAL_STOP();
}

}  // namespace

MessageArea& message_area() {
  static MessageArea m;
  return m;
}

void set_message(std::string_view text) { message_area().message_line = common::pad(text, 80); }

void MSG_PAGE() {
  MessageArea& m = message_area();
  CLEAR_SCREEN();
  write_at(1, m.title_line);
  m.message_row = 3;
  write_at(m.message_row, m.message_line);
}

void MSG_NEXT() {
  MessageArea& m = message_area();
  m.message_row += 2;
  write_at(m.message_row, m.message_line);
}

void MSG_PAUSE() {
  MessageArea& m = message_area();
  m.message_row += 2;
  write_at(m.message_row, m.message_line);
  m.message_row += 2;
  prompt();
  write_at(m.message_row, m.message_line);
  wait();
}

void WORKING_PAGE() {
  MessageArea& m = message_area();
  CLEAR_SCREEN();
  write_at(1, m.title_line);
  set_message("         ...WORKING...");
  write_at(5, m.message_line);
}

void ERROR_PAGE() {
  MessageArea& m = message_area();
  CLEAR_SCREEN();
  write_at(1, m.title_line, 55);
  write_at(3, ">>>ERROR:", 9);
  write_at(5, m.message_line);
  prompt();
  write_at(7, m.message_line);
  wait();
}

void NOTICE_PAGE() {
  MessageArea& m = message_area();
  CLEAR_SCREEN();
  write_at(1, m.title_line, 55);
  write_at(5, m.message_line);
  prompt();
  write_at(9, m.message_line);
  wait();
}

void NO_HELP() {
  set_message("SORRY-HELP IS NOT AVAILABLE");
  ERROR_PAGE();
}

void SET_MSG_ROW(std::int32_t row) { message_area().message_row = row - 2; }

void MSG_LINE() {
  MessageArea& m = message_area();
  m.message_row += 1;
  if (m.message_row > 25) {
    CLEAR_SCREEN();
    m.message_row = 1;
  }
  write_at(m.message_row, m.message_line);
}

void MSG_LINE_PAUSE() {
  MessageArea& m = message_area();
  if (m.message_row + 3 > 25) {
    CLEAR_SCREEN();
    m.message_row = 1;
  }
  m.message_row += 1;
  write_at(m.message_row, m.message_line);
  prompt();
  m.message_row += 1;
  write_at(m.message_row, m.message_line);
  wait();
}

void MSG_REWRITE() { write_at(message_area().message_row, message_area().message_line); }

void MSG_SKIP() { message_area().message_row += 1; }

void WAIT_KEY() { wait(); }

void PAUSE() {
  MessageArea& m = message_area();
  if (m.message_row + 3 > 25) {
    CLEAR_SCREEN();
    m.message_row = 1;
  }
  prompt();
  m.message_row += 1;
  write_at(m.message_row, m.message_line);
  wait();
}

void FATAL_STOP() {
  CLEAR_SCREEN();
  TEXT_END();
  plot::TEKCLOSE();
  throw common::RunEnded{common::RunEnded::Kind::fatal};
}

void install_fatal_stop_hook() {
  shell::set_fatal_stop_hook([] { FATAL_STOP(); });
}

}  // namespace kesto::textui
