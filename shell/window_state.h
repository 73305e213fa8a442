// The window shell's module state: one instance for the process. Fields that
// only the window uses are meaningful once OPEN_WINDOW has run.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::shell {

struct WindowState {
  std::string caption = "ORV Zud";   // at most 31 characters
  bool window_open = false;
  bool graphics_mode = false;        // a picture is shown (else the text grid)
  bool bitmap_valid = true;
  bool crosshair_mode = false;
  bool text_cursor_mode = false;
  std::int16_t bitmap_width = 640;
  std::int16_t bitmap_height = 452;
  std::int16_t client_width = 0;
  std::int16_t client_height = 0;
  bool quit_seen = false;            // the window was closed; every later wait sees the quit
};

WindowState& window_state();

}  // namespace kesto::shell
