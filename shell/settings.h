// The shell's page, pen and colour settings, kept between runs in the
// settings file "verudo.ini" (an INI file in $XDG_CONFIG_HOME, default
// ~/.config): read when the window opens, written back at shutdown.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::shell {

struct Settings {
  std::int32_t PageLeftMargin = 100;   // hundredths of an inch
  std::int32_t PageTopMargin = 100;
  std::int32_t PageWidth = 650;
  std::int32_t PenWidthPrinter = 2;
  std::int32_t LandscapePrinter = 0;
  std::int32_t PenWidthEMF = 2;
  std::int32_t PenWidthEPS = 2;
  std::int32_t ColorWindow = 1;        // 1 colours on the window, 0 greys
  std::int32_t BlackBG = 0;            // 1 black window background
  std::int32_t window_pen_width = 1;   // not stored in the file
};

Settings& settings();

// Full path of the settings file.
std::string settings_path();
// Reads every key (the current value is the default for a missing one).
void READ_SETTINGS();
// Writes every key back.
void WRITE_SETTINGS();

}  // namespace kesto::shell
