#include "shell/window/surfaces.h"

#include <QPainter>

#include "shell/window/main_window.h"
#include "shell/drawing/primitives.h"
#include "shell/window/selection.h"
#include "shell/settings/settings.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

SurfaceReleaseHook g_release = nullptr;

QImage new_image() {
  const WindowState& w = window_state();
  QImage image(w.bitmap_width > 0 ? w.bitmap_width : 1, w.bitmap_height > 0 ? w.bitmap_height : 1,
               QImage::Format_RGB32);
  image.fill(background_colour());
  return image;
}

}  // namespace

Surfaces& surfaces() {
  static Surfaces s;
  if (s.window.isNull()) s.window = new_image();
  if (s.backing.isNull()) s.backing = new_image();
  return s;
}

QColor background_colour() { return settings().BlackBG ? QColor(0, 0, 0) : QColor(255, 255, 255); }

void window_surface_changed(const QRect& area) { update_client_area(area); }

void set_surface_release_hook(SurfaceReleaseHook hook) { g_release = hook; }

void release_surface_painters() {
  if (g_release) g_release();
}

void reset_surfaces() {
  release_surface_painters();
  Surfaces& s = surfaces();
  s.window = new_image();
  s.backing = new_image();
}

void fill_surfaces() {
  release_surface_painters();
  Surfaces& s = surfaces();
  s.window.fill(background_colour());
  s.backing.fill(background_colour());
}

void refresh_window_surface() {
  WindowState& w = window_state();
  if (!w.bitmap_valid) {
    CLEAR_PICTURE();
    REPLAY();
    w.bitmap_valid = true;
    w.surface_stale = true;
  }
  if (w.surface_stale) {
    release_surface_painters();
    Surfaces& s = surfaces();
    QPainter p(&s.window);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, s.backing);
    p.end();
    w.surface_stale = false;
    // The selection overlay lives on the window surface only.
    redraw_selection_overlay();
  }
  release_surface_painters();
}

}  // namespace kesto::shell
