// Modal message boxes owned by the window, captioned with the window
// caption, with an OK button. Under a script or in batch mode they are
// recorded and answered instead of blocking.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kesto::shell {

void SHOW_MESSAGE(const std::string& text);
// The text followed by the number in decimal.
void SHOW_MESSAGE_NUMBER(const std::string& text, std::int16_t number);
void SHOW_MESSAGE_LONG(const std::string& text, std::int32_t number);

// A box with its own title (the dialogs' error boxes use an error icon).
void show_message_box(const std::string& title, const std::string& text, bool error_icon);

// Every message box shown so far in this run (caption, text and the answer
// it got), for tests and for the batch mode's report.
struct ShownMessage {
  std::string caption;
  std::string text;
  std::string answer;  // "ok" unless a script step answered otherwise
};
std::vector<ShownMessage>& message_log();

}  // namespace kesto::shell
