#include "shell/window/surfaces.h"

#include <QPainter>

#include "shell/window/main_window.h"
#include "shell/drawing/primitives.h"
#include "shell/script/batch.h"
#include "shell/script/script.h"
#include "shell/window/selection.h"
#include "shell/settings/settings.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

SurfaceReleaseHook g_release = nullptr;

QImage new_image(bool unseen) {
  const WindowState& w = window_state();
  const int width = unseen || w.bitmap_width <= 0 ? 1 : w.bitmap_width;
  const int height = unseen || w.bitmap_height <= 0 ? 1 : w.bitmap_height;
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(background_colour());
  return image;
}

// The surfaces as they are, their images made or not.
Surfaces& the_surfaces() {
  static Surfaces s;
  return s;
}

}  // namespace

Surfaces& surfaces() {
  Surfaces& s = the_surfaces();
  if (s.window.isNull()) s.window = new_image(s.unseen);
  if (s.backing.isNull()) s.backing = new_image(s.unseen);
  return s;
}

bool window_unseen() { return the_surfaces().unseen; }

bool run_unseen() {
  const BatchMode& b = batch_mode();
  return b.enabled && b.pictures_dir.empty() && b.export_dir.empty() && !script().active;
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
  if (!main_window()) s.unseen = run_unseen();
  s.window = new_image(s.unseen);
  s.backing = new_image(s.unseen);
}

void fill_surfaces() {
  release_surface_painters();
  Surfaces& s = surfaces();
  s.window.fill(background_colour());
  s.backing.fill(background_colour());
}

void refresh_window_surface() {
  WindowState& w = window_state();
  if (surfaces().unseen) {
    // Nothing to bring up to date: the images hold no picture.
    w.bitmap_valid = true;
    w.surface_stale = false;
    return;
  }
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
