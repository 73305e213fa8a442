// Fuzz harness: a settings file of arbitrary bytes read as the window reads
// it, then written back as the shutdown writes it. Beyond running clean, the
// text written must read back as exactly the settings written, and writing
// it once more must change nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/settings/settings.h"

namespace {

bool same(const kesto::shell::Settings& a, const kesto::shell::Settings& b) {
  return a.PageLeftMargin == b.PageLeftMargin && a.PageTopMargin == b.PageTopMargin && a.PageWidth == b.PageWidth &&
         a.PenWidthPrinter == b.PenWidthPrinter && a.LandscapePrinter == b.LandscapePrinter &&
         a.PenWidthEMF == b.PenWidthEMF && a.PenWidthEPS == b.PenWidthEPS && a.ColorWindow == b.ColorWindow &&
         a.BlackBG == b.BlackBG;
}

void fail(const char* what) {
  std::fprintf(stderr, "settings fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kesto::shell;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Settings read;
  settings_from_text(text, read);
  // Values other than the ones read, so that every key's value changes.
  Settings written = read;
  written.PageWidth = read.PageWidth == 650 ? 651 : 650;
  written.BlackBG = 1 - read.BlackBG;
  const std::string new_text = settings_to_text(text, written);
  Settings again;
  settings_from_text(new_text, again);
  if (!same(again, written)) fail("the file written does not read back as the settings written");
  if (settings_to_text(new_text, written) != new_text) fail("writing the same settings again changed the file");
  return 0;
}
