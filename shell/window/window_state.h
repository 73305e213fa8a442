// The window shell's module state: one instance for the process. Fields that
// only the window uses are meaningful once OPEN_WINDOW has run.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::shell {

struct WindowState {
  std::string caption = "ORV Zud";  // at most 31 characters
  bool window_open = false;
  bool graphics_mode = false;  // a picture is shown (else the text grid)
  bool bitmap_valid = true;    // the backing bitmap holds the whole picture
  bool surface_stale = false;  // the window surface must be refreshed from the picture
  bool crosshair_mode = false;
  bool text_cursor_mode = false;
  bool caret_shown = false;               // the caret is shown (hidden while text is written)
  bool has_focus = false;                 // the window has the keyboard focus
  bool picture_commands_enabled = false;  // Print, Write TIF, Write EMF, printer set-up
  bool shut_down = false;                 // SHELL_SHUTDOWN released the window's resources
  std::int16_t bitmap_width = 640;
  std::int16_t bitmap_height = 452;
  std::int16_t client_width = 0;
  std::int16_t client_height = 0;
  bool quit_seen = false;  // the window was closed; every later wait sees the quit
};

WindowState& window_state();

}  // namespace kesto::shell
