// The trace file "dizari.trc" in the current directory: each trace call
// appends one line. The first call of a run empties the file.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::shell {

struct TraceState {
  bool started = false;  // the file was emptied in this run
};

TraceState& trace_state();

// Appends the text (up to its first NUL) and a line feed.
void TRACE(const std::string& text);
// The text followed by the number in decimal.
void TRACE_NUMBER(const std::string& text, std::int16_t number);
void TRACE_LONG(const std::string& text, std::int32_t number);

}  // namespace kesto::shell
