#include "textui/messages.h"

#include "common/fixed_text.h"
#include "common/run_ended.h"
#include "kernel/kernel.h"
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

std::function<std::string()>& page_note() {
  static std::function<std::string()> note;
  return note;
}

[[noreturn]] void stop(common::RunEnded::Kind kind) {
  CLEAR_SCREEN();
  TEXT_END();
  plot::TEKCLOSE();
  throw common::RunEnded{kind};
}

// Writes the page note from two rows below the prompt at `prompt_row`, a
// note longer than a row broken at its last blank within 80 columns, as far
// as row 25 goes.
void show_page_note(std::int32_t prompt_row) {
  if (prompt_row <= 0 || !page_note()) return;
  const std::string text = page_note()();
  std::string_view note = common::trim_right(text);
  for (std::int32_t row = prompt_row + 2; !note.empty() && row <= 25; ++row) {
    std::size_t cut = note.size();
    if (cut > 80) {
      const std::size_t blank = note.rfind(' ', 80);
      cut = blank == std::string_view::npos || blank == 0 ? 80 : blank;
    }
    write_at(row, common::pad(note.substr(0, cut), 80));
    note.remove_prefix(cut);
    while (!note.empty() && note.front() == ' ') note.remove_prefix(1);
  }
}

// Shows the page note below the prompt at `prompt_row` (0: no note), then
// waits for one key; a closed window ends the run.
void wait(std::int32_t prompt_row = 0) {
  show_page_note(prompt_row);
  if (shell::GI_GET_KEY() == shell::KEY_QUIT) INTERRUPT_STOP();
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
  wait(m.message_row);
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
  wait(7);
}

void NOTICE_PAGE() {
  MessageArea& m = message_area();
  CLEAR_SCREEN();
  write_at(1, m.title_line, 55);
  write_at(5, m.message_line);
  prompt();
  write_at(9, m.message_line);
  wait(9);
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
  wait(m.message_row);
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
  wait(m.message_row);
}

void FATAL_STOP() { stop(common::RunEnded::Kind::fatal); }
void LEAVE_STOP() { stop(common::RunEnded::Kind::left); }
void INTERRUPT_STOP() { stop(common::RunEnded::Kind::interrupted); }

void set_page_note(std::function<std::string()> note) { page_note() = std::move(note); }

void install_fatal_stop_hook() {
  // The shell stops the run this way only when the window closed at a picture.
  shell::set_fatal_stop_hook([] { INTERRUPT_STOP(); });
}

}  // namespace kesto::textui
