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
};

Surfaces& surfaces();

// The background colour of window and bitmap (black or white, by the option).
QColor background_colour();

// Schedules a repaint of the window after drawing on the window surface.
void window_surface_changed(const QRect& area = QRect());

}  // namespace kesto::shell
