#include "shell/settings/trace.h"

#include <fstream>

namespace kesto::shell {

TraceState& trace_state() {
  static TraceState t;
  return t;
}

void TRACE(const std::string& text) {
  TraceState& t = trace_state();
  const auto mode = std::ios::binary | (t.started ? std::ios::app : std::ios::trunc);
  t.started = true;
  std::ofstream out("dizari.trc", mode);
  out << text.substr(0, text.find('\0')) << '\n';
}

void TRACE_NUMBER(const std::string& text, std::int16_t number) {
  TRACE(text.substr(0, text.find('\0')) + std::to_string(number));
}

void TRACE_LONG(const std::string& text, std::int32_t number) {
  TRACE(text.substr(0, text.find('\0')) + std::to_string(number));
}

}  // namespace kesto::shell
