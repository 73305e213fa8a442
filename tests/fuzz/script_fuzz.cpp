// Fuzz harness: a script of arbitrary bytes through the script parser. Beyond
// running clean, every step it accepts must be one the script player can
// carry out: finite positions, buttons and poll counts in range.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/script/script.h"

namespace {

void fail(const kesto::shell::ScriptStep& s, const char* what) {
  std::fprintf(stderr, "script fuzzer: line %d: %s\n", s.line, what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kesto::shell;
  using Kind = ScriptStep::Kind;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Script script;
  std::string error;
  if (!parse_script(text, script, error)) {
    if (error.rfind("script line ", 0) != 0) std::abort();
    return 0;
  }
  int line = 0;
  for (const ScriptStep& s : script.steps) {
    if (s.line < line || s.line < 1) fail(s, "line numbers out of order");
    line = s.line;
    if (s.kind == Kind::press || s.kind == Kind::release || s.kind == Kind::move) {
      if (!std::isfinite(s.x) || !std::isfinite(s.y)) fail(s, "a position that is not finite");
      if (s.button < 0 || s.button > 3) fail(s, "a button out of range");
    }
    if (s.busy && s.after_polls < 1) fail(s, "a poll count below 1");
  }
  return 0;
}
