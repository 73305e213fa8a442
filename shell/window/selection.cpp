#include "shell/window/selection.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "shell/window/events.h"
#include "shell/settings/message_box.h"
#include "shell/window/page_mapping.h"
#include "shell/window/picture.h"
#include "shell/window/surfaces.h"

namespace kesto::shell {
namespace {

constexpr std::int16_t TICK = 25;  // page units

std::int16_t clamp16(int v, int lo, int hi) {
  return static_cast<std::int16_t>(std::clamp(v, std::min(lo, hi), std::max(lo, hi)));
}

QPoint pixel(std::int16_t x, std::int16_t y) {
  std::int16_t px = 0, py = 0;
  page_to_pixel(x, y, px, py);
  return QPoint(px, py);
}

// Inverts every pixel of the overlay exactly once, so that drawing it twice
// restores the surface.
void invert_overlay() {
  const SelectionOverlay& o = selection_overlay();
  if (o.kind == SelectionOverlay::Kind::none) return;
  release_surface_painters();
  QImage& surface = surfaces().window;
  QImage mask(surface.size(), QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    QPainter p(&mask);
    p.setPen(QPen(Qt::white, 1));
    if (o.kind == SelectionOverlay::Kind::box) {
      const QPoint a = pixel(o.x1, o.y1), b = pixel(o.x2, o.y2);
      p.drawRect(QRect(a, b).normalized().adjusted(0, 0, -1, -1));
      if (!o.second_active) {
        p.drawLine(a, pixel(static_cast<std::int16_t>(o.x1 - TICK), o.y1));
        p.drawLine(a, pixel(o.x1, static_cast<std::int16_t>(o.y1 - TICK)));
      } else {
        p.drawLine(b, pixel(static_cast<std::int16_t>(o.x2 + TICK), o.y2));
        p.drawLine(b, pixel(o.x2, static_cast<std::int16_t>(o.y2 + TICK)));
      }
    } else {
      p.drawLine(pixel(o.x1, o.y1), pixel(o.x2, o.y2));
    }
  }
  for (int y = 0; y < mask.height(); ++y) {
    const QRgb* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
    QRgb* d = reinterpret_cast<QRgb*>(surface.scanLine(y));
    for (int x = 0; x < mask.width(); ++x)
      if (qAlpha(m[x]) != 0) d[x] ^= 0x00FFFFFFu;
  }
  window_surface_changed();
}

void show_overlay() {
  SelectionOverlay& o = selection_overlay();
  if (!o.drawn) {
    invert_overlay();
    o.drawn = true;
  }
}

void hide_overlay() {
  SelectionOverlay& o = selection_overlay();
  if (o.drawn) {
    invert_overlay();
    o.drawn = false;
  }
}

// Which side of an axis' two edges a coordinate lies: `between` when on or
// between them, 0 beyond the first corner's edge, `beyond_second` beyond the
// second's.
int axis_code(int v, int first, int second, int between, int beyond_second) {
  if (v >= std::min(first, second) && v <= std::max(first, second)) return between;
  const bool beyond_first = first <= second ? v < first : v > first;
  return beyond_first ? 0 : beyond_second;
}

int region_of(const SelectionOverlay& o, int x, int y) {
  return axis_code(x, o.x1, o.x2, 1, 2) + axis_code(y, o.y1, o.y2, 4, 8);
}

void report_unexpected(const EventRecord& e) { SHOW_MESSAGE_NUMBER("Received an event of type ", e.type); }

}  // namespace

SelectionOverlay& selection_overlay() {
  static SelectionOverlay o;
  return o;
}

void redraw_selection_overlay() {
  SelectionOverlay& o = selection_overlay();
  if (o.kind == SelectionOverlay::Kind::none) return;
  o.drawn = false;
  show_overlay();
}

void SELECT_BOX(std::int16_t& x1, std::int16_t& y1, std::int16_t& x2, std::int16_t& y2, std::int16_t xmin,
                std::int16_t ymin, std::int16_t xmax, std::int16_t ymax, std::int16_t& code) {
  SelectionOverlay& o = selection_overlay();
  o = SelectionOverlay{SelectionOverlay::Kind::box, x1, y1, x2, y2, false, false};
  show_overlay();
  int step = 20;
  bool dragging = false;
  bool take_x1 = false, take_x2 = false, take_y1 = false, take_y2 = false;
  int region = 0;
  for (;;) {
    EventRecord e;
    WAIT_EVENT(e);
    if (e.type == EVENT_KEY) {
      std::int16_t& cx = o.second_active ? o.x2 : o.x1;
      std::int16_t& cy = o.second_active ? o.y2 : o.y1;
      const int k = e.key;
      hide_overlay();
      if (k == KEY_UP) {
        if (cy < ymax) cy = static_cast<std::int16_t>(std::min(cy + step, static_cast<int>(ymax)));
      } else if (k == KEY_RIGHT) {
        if (cx < xmax) cx = static_cast<std::int16_t>(std::min(cx + step, static_cast<int>(xmax)));
      } else if (k == KEY_DOWN) {
        if (cy > ymin) cy = static_cast<std::int16_t>(std::max(cy - step, static_cast<int>(ymin)));
      } else if (k == KEY_LEFT) {
        if (cx > xmin) cx = static_cast<std::int16_t>(std::max(cx - step, static_cast<int>(xmin)));
      } else if (k == 'c' || k == 'C')
        o.second_active = !o.second_active;
      else if (k == 's' || k == 'S')
        step = 1;
      else if (k == 'm' || k == 'M')
        step = 6;
      else if (k == 'f' || k == 'F')
        step = 20;
      else {
        code = e.key;
        break;
      }
      show_overlay();
    } else if (e.type == EVENT_PRESS) {
      if (e.button != 1 || e.x > xmax) {
        code = 13;
        break;
      }
      hide_overlay();
      const int dx1 = std::abs(e.x - o.x1), dx2 = std::abs(e.x - o.x2);
      const int dy1 = std::abs(e.y - o.y1), dy2 = std::abs(e.y - o.y2);
      take_x1 = dx1 <= 2 && dx1 <= dx2;
      take_x2 = dx2 <= 2 && dx2 <= dx1;
      take_y1 = dy1 <= 2 && dy1 <= dy2;
      take_y2 = dy2 <= 2 && dy2 <= dy1;
      const std::int16_t px = clamp16(e.x, xmin, xmax), py = clamp16(e.y, ymin, ymax);
      if (take_x1) o.x1 = px;
      if (take_x2) o.x2 = px;
      if (take_y1) o.y1 = py;
      if (take_y2) o.y2 = py;
      region = region_of(o, e.x, e.y);
      dragging = true;
      show_overlay();
    } else if (e.type == EVENT_MOVE) {
      if (!dragging) continue;
      const int now = region_of(o, e.x, e.y);
      const int x_now = now & 3, y_now = now & 12;
      if (!take_x1 && !take_x2) {
        take_x1 = (region == 5 && x_now == 0) || (region == 4 && (now == 5 || now == 6));
        take_x2 = !take_x1 && ((region == 6 && (now == 5 || now == 4)) || (region == 5 && x_now == 2));
      }
      if (!take_y1 && !take_y2) {
        take_y1 = (region == 5 && y_now == 0) || (region == 1 && (now == 5 || now == 9));
        take_y2 = !take_y1 && ((region == 9 && (now == 5 || now == 1)) || (region == 5 && y_now == 8));
      }
      hide_overlay();
      const std::int16_t px = clamp16(e.x, xmin, xmax), py = clamp16(e.y, ymin, ymax);
      if (take_x1) o.x1 = px;
      if (take_x2) o.x2 = px;
      if (take_y1) o.y1 = py;
      if (take_y2) o.y2 = py;
      show_overlay();
      region = region_of(o, e.x, e.y);
    } else if (e.type == EVENT_RELEASE) {
      dragging = false;
      take_x1 = take_x2 = take_y1 = take_y2 = false;
    } else if (e.type == EVENT_QUIT) {
      code = KEY_QUIT;
      break;
    } else {
      report_unexpected(e);
    }
  }
  hide_overlay();
  x1 = std::min(o.x1, o.x2);
  x2 = std::max(o.x1, o.x2);
  y1 = std::min(o.y1, o.y2);
  y2 = std::max(o.y1, o.y2);
  o = SelectionOverlay{};
}

void SELECT_LINE(std::int16_t& x1, std::int16_t& y1, std::int16_t& x2, std::int16_t& y2, std::int16_t xmin,
                 std::int16_t ymin, std::int16_t xmax, std::int16_t ymax, std::int16_t mode, std::int16_t& code) {
  SelectionOverlay& o = selection_overlay();
  o = SelectionOverlay{SelectionOverlay::Kind::line, x1, y1, x2, y2, std::abs(mode) != 1, false};
  SET_CROSSHAIR(1);
  show_overlay();
  int step = 30;
  for (;;) {
    EventRecord e;
    WAIT_EVENT(e);
    std::int16_t& ax = o.second_active ? o.x2 : o.x1;
    std::int16_t& ay = o.second_active ? o.y2 : o.y1;
    if (e.type == EVENT_KEY) {
      const int k = e.key;
      hide_overlay();
      bool moved = false;
      if (k == KEY_UP) {
        ay = clamp16(ay + step, ymin, ymax);
        moved = true;
      } else if (k == KEY_DOWN) {
        ay = clamp16(ay - step, ymin, ymax);
        moved = true;
      } else if (k == KEY_RIGHT) {
        ax = clamp16(ax + step, xmin, xmax);
        moved = true;
      } else if (k == KEY_LEFT) {
        ax = clamp16(ax - step, xmin, xmax);
        moved = true;
      } else if (k == 's' || k == 'S')
        step = 3;
      else if (k == 'm' || k == 'M')
        step = 10;
      else if (k == 'f' || k == 'F')
        step = 30;
      else if ((k == 'c' || k == 'C') && mode > 0)
        o.second_active = !o.second_active;
      else {
        code = e.key;
        break;
      }
      show_overlay();
      if (moved) WARP_POINTER(ax, ay);
    } else if (e.type == EVENT_PRESS) {
      if (e.button == 2) {
        code = 13;
        break;
      }
      if (e.button == 1 && mode > 0) {
        hide_overlay();
        o.second_active = !o.second_active;
        show_overlay();
      }
    } else if (e.type == EVENT_MOVE) {
      hide_overlay();
      ax = clamp16(e.x, xmin, xmax);
      ay = clamp16(e.y, ymin, ymax);
      show_overlay();
    } else if (e.type == EVENT_RELEASE) {
      // nothing to do
    } else if (e.type == EVENT_QUIT) {
      code = KEY_QUIT;
      break;
    } else {
      report_unexpected(e);
    }
  }
  hide_overlay();
  x1 = o.x1;
  y1 = o.y1;
  x2 = o.x2;
  y2 = o.y2;
  o = SelectionOverlay{};
  SET_CROSSHAIR(0);
}

}  // namespace kesto::shell
