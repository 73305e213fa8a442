// The two images behind the window's picture: the window surface (what the
// window shows, painted on screen) and the backing bitmap (the whole picture
// at client size, copied to the window when it must be repainted).
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

namespace kesto::shell {

struct Surfaces {
  QImage window;   // what the window shows in graphics mode
  QImage backing;  // the backing bitmap
  // Nobody can see or save what this window shows: a batch run that
  // neither saves nor exports its pictures and takes no script (so no menu
  // command copies, prints or dumps them). The images are then one pixel,
  // the primitives draw no pixels (only the plot buffer is kept) and the
  // text screen is not painted.
  bool unseen = false;
};

// Both images, created at the bitmap size (filled with the background) when
// they do not exist yet.
Surfaces& surfaces();
// Whether this window is unseen (see Surfaces::unseen).
bool window_unseen();
// Whether this run is such a run: a batch run that saves no picture and
// follows no script.
bool run_unseen();

// The background colour of window and bitmap (black or white, by the option).
QColor background_colour();

// Schedules a repaint of the window after drawing on the window surface.
void window_surface_changed(const QRect& area = QRect());

// Drawing code may keep painters open on the two images between primitives;
// it registers a routine here that ends them. The window calls it before it
// shows, fills, resizes or replaces the images.
using SurfaceReleaseHook = void (*)();
void set_surface_release_hook(SurfaceReleaseHook hook);
// Ends every painter open on the images (through the registered routine).
void release_surface_painters();

// Replaces both images by new ones of the bitmap size, filled with the
// background. Called while the window is being opened, it also decides
// whether the window is unseen, for the window's whole life.
void reset_surfaces();
// Fills both images with the background.
void fill_surfaces();
// Brings the window surface up to date before it is shown: an invalid
// backing bitmap is redrawn from the plot buffer (CLEAR_PICTURE + REPLAY), a
// stale window surface is copied from the backing bitmap.
void refresh_window_surface();

}  // namespace kesto::shell
