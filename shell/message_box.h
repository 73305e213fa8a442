// Modal message boxes owned by the window, captioned with the window
// caption, with an OK button. Under a script or in batch mode they are
// recorded and answered instead of blocking.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kesto::shell {

void SHOW_MESSAGE(const std::string& text);
void SHOW_MESSAGE_NUMBER(const std::string& text, std::int16_t number);
void SHOW_MESSAGE_LONG(const std::string& text, std::int32_t number);

// Every message box shown so far in this run (caption and text), for tests
// and for the batch mode's report.
struct ShownMessage {
  std::string caption;
  std::string text;
};
std::vector<ShownMessage>& message_log();

}  // namespace kesto::shell
