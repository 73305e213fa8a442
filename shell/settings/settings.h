// The shell's page, pen and colour settings, kept between runs in the
// settings file "verudo.ini" (an INI file in $XDG_CONFIG_HOME, default
// ~/.config): read when the window opens, written back at shutdown.
//
// A key that is missing or not a whole number in the 32-bit range (digits
// after at most one sign) keeps its current value. Values are used as they are, with these exceptions, which
// keep a hand-edited file from making the window or its output unusable:
// - ColorWindow, BlackBG and LandscapePrinter are switches: any value other
//   than 0 counts as 1 (and is written back as 1);
// - PenWidthPrinter, PenWidthEMF and PenWidthEPS are limited to at most
//   MAX_PEN_WIDTH pixels (zero and negative widths are kept as they are).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto::shell {

constexpr std::int32_t MAX_PEN_WIDTH = 1000;

struct Settings {
  std::int32_t PageLeftMargin = 100;  // hundredths of an inch
  std::int32_t PageTopMargin = 100;
  std::int32_t PageWidth = 650;
  std::int32_t PenWidthPrinter = 2;
  std::int32_t LandscapePrinter = 0;
  std::int32_t PenWidthEMF = 2;
  std::int32_t PenWidthEPS = 2;
  std::int32_t ColorWindow = 1;       // 1 colours on the window, 0 greys
  std::int32_t BlackBG = 0;           // 1 black window background
  std::int32_t window_pen_width = 1;  // not stored in the file
  bool read_from_file = false;        // READ_SETTINGS ran in this run
};

Settings& settings();

// The keys of a settings file's text, as READ_SETTINGS takes them.
void settings_from_text(std::string_view text, Settings& s);
// The settings file's text with the values of `s` written in: only our keys'
// values change, missing keys are added, every other line stays as it was.
std::string settings_to_text(std::string_view old_text, const Settings& s);

// Full path of the settings file.
std::string settings_path();
// Reads every key (the current value is the default for a missing one).
void READ_SETTINGS();
// Writes every key back into the file, keeping its other lines; the old file
// stays intact when writing fails.
// Nothing is written unless the settings were read in this run, so a run that
// ends before its window opens cannot overwrite the user's file with defaults.
void WRITE_SETTINGS();

}  // namespace kesto::shell
