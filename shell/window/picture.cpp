#include "shell/window/picture.h"

#include <QCursor>
#include <QWidget>

#include "shell/window/main_window.h"
#include "shell/window/menu_commands.h"
#include "shell/window/page_mapping.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/window/surfaces.h"
#include "shell/window/text_grid.h"
#include "shell/window/window_state.h"

namespace kesto::shell {

void BEGIN_PICTURE(std::int16_t keep) {
  WindowState& w = window_state();
  w.graphics_mode = true;
  w.caret_shown = false;
  if (keep == 1) {
    // The picture in the plot buffer is shown again.
    w.surface_stale = true;
    repaint_client_area();
  } else {
    START_NEW_PICTURE();
    fill_surfaces();
    w.bitmap_valid = true;
    w.surface_stale = false;
    repaint_client_area();
  }
  set_picture_commands_enabled(true);
}

void END_PICTURE(std::int16_t keep) {
  WindowState& w = window_state();
  w.graphics_mode = false;
  if (keep == 0) TEXT_CLEAR();
  w.caret_shown = true;
  repaint_client_area();
  set_picture_commands_enabled(false);
}

void SET_CROSSHAIR(std::int16_t flag) {
  window_state().crosshair_mode = flag != 0;
  apply_cursor();
}

void SET_TEXT_CURSOR(std::int16_t flag) {
  window_state().text_cursor_mode = flag != 0;
  apply_cursor();
}

void WARP_POINTER(std::int16_t x, std::int16_t y) {
  std::int16_t px = 0, py = 0;
  TO_DEVICE(x, y, px, py);
  if (QWidget* c = client_area()) QCursor::setPos(c->mapToGlobal(QPoint(px, py)));
}

}  // namespace kesto::shell
