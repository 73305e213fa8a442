#include "shell/graphics/graphics_interface.h"

#include "shell/output/batch_export.h"
#include "shell/output/output_state.h"
#include "shell/window/main_window.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/settings/settings.h"
#include "shell/window/surfaces.h"
#include "shell/window/text_layout.h"
#include "shell/window/window_state.h"

namespace kesto::shell {

void SHELL_SHUTDOWN() {
  WRITE_SETTINGS();
  WindowState& w = window_state();
  if (w.shut_down) return;
  w.shut_down = true;
  // The batch mode's export needs the picture: before anything is released.
  export_batch_picture();
  output_state().printer.reset();
  FREE_PLOT_BUFFER();
  release_surface_painters();
  surfaces() = Surfaces{};
  destroy_window();
  w.graphics_mode = false;
  w.crosshair_mode = false;
  w.text_cursor_mode = false;
  w.caret_shown = false;
}

}  // namespace kesto::shell
