// The message area shared by every subsystem that reports to the user (the
// title line, the message line and the message row), the message pages and
// pauses built on it, and the one fatal stop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kesto::textui {

struct MessageArea {
  std::string title_line = std::string(80, ' ');    // heading of message pages (row 1)
  std::string message_line = std::string(80, ' ');  // what the next message routine shows
  std::int32_t message_row = 0;                     // row of the last message line written
};

MessageArea& message_area();

// The prompt under a page that waits for a key.
inline constexpr std::string_view kContinuePrompt = "Press any key to continue...";

// Message line := text, blank-padded (or cut) to 80 characters.
void set_message(std::string_view text);

void MSG_PAGE();                     // clear; title at row 1; message at row 3
void MSG_NEXT();                     // message two rows further down
void MSG_PAUSE();                    // message two rows down, prompt two rows below it, wait
void WORKING_PAGE();                 // clear; title; "...WORKING..." at row 5; no wait
void ERROR_PAGE();                   // clear; title (55); ">>>ERROR:" at 3; message at 5; prompt at 7; wait
void NOTICE_PAGE();                  // clear; title (55); message at 5; prompt at 9; wait
void NO_HELP();                      // ERROR_PAGE with "SORRY-HELP IS NOT AVAILABLE"
void SET_MSG_ROW(std::int32_t row);  // the next MSG_NEXT writes at `row`
void MSG_LINE();                     // next row (new page after row 25)
void MSG_LINE_PAUSE();               // next row, prompt below it, wait (new page when short of room)
void MSG_REWRITE();                  // message at the current message row
void MSG_SKIP();                     // message row + 1
void WAIT_KEY();                     // wait for a key
void PAUSE();                        // prompt on the next row, wait

// Clears the screen, closes the graphics (the shell's settings are saved) and
// ends the run.
[[noreturn]] void FATAL_STOP();
// The same stop where the user chose to end the run: on the file-name menu
// (F3), or early, by closing the window at a wait or pressing a key during
// the sweeps. The run's end tells these apart from a fatal page.
[[noreturn]] void LEAVE_STOP();
[[noreturn]] void INTERRUPT_STOP();

// A line that the pages which wait for a key show two rows below their
// prompt (where that row exists), such as the deck line a fatal page is
// about; the note gives "" for none. An empty function: no note.
void set_page_note(std::function<std::string()> note);

// Installs the stop of a run the user ended (INTERRUPT_STOP) as the shell's
// fatal-stop hook, which the shell calls when the window closes at a picture;
// called at start-up.
void install_fatal_stop_hook();

}  // namespace kesto::textui
