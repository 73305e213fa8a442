#include "shell/drawing/primitives.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "shell/drawing/output_device.h"
#include "shell/graphics/graphics_interface.h"
#include "shell/window/page_mapping.h"
#include "shell/settings/settings.h"
#include "shell/window/busy_cursor.h"
#include "shell/window/surfaces.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

// Painters on the two images, opened when first needed and kept open
// between primitives until the window asks for the images (the release hook
// ends them); the pen and brush made for the current colour.
struct PainterState {
  int depth = 0;        // nesting of drawing sessions
  bool hooked = false;  // the release hook is registered
  std::unique_ptr<QPainter> window, bitmap;
  // Changed area of the window surface (left, top, right, bottom; empty
  // while left > right) and the part of it already reported to the window.
  int dirty_left = 1, dirty_top = 1, dirty_right = 0, dirty_bottom = 0;
  int reported_left = 1, reported_top = 1, reported_right = 0, reported_bottom = 0;

  QPen pen;
  QRgb pen_colour = 0;
  int pen_width = -1;  // -1: no pen made yet
  QBrush brush;
  QRgb brush_colour = 0;
  bool brush_made = false;
};

PainterState& painter_state() {
  static PainterState p;
  return p;
}

QPainter* open_on(QImage& image, std::unique_ptr<QPainter>& slot) {
  if (slot) return slot.get();
  PainterState& p = painter_state();
  if (!p.hooked) {
    set_surface_release_hook(&suspend_painters);
    p.hooked = true;
  }
  if (image.isNull()) return nullptr;
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(&image)) return nullptr;
  slot = std::move(painter);
  return slot.get();
}

// Painters on the window surface and the backing bitmap, when they are drawn
// on (never while the pictures are unseen).
QPainter* window_painter() {
  if (!draw_targets().window || window_unseen()) return nullptr;
  return open_on(surfaces().window, painter_state().window);
}

QPainter* bitmap_painter() {
  if (!draw_targets().bitmap || window_unseen()) return nullptr;
  return open_on(surfaces().backing, painter_state().bitmap);
}

// The window surface and the backing bitmap, when they are drawn on and exist.
QImage* window_image() {
  if (!draw_targets().window || window_unseen()) return nullptr;
  Surfaces& s = surfaces();
  return s.window.isNull() ? nullptr : &s.window;
}

QImage* bitmap_image() {
  if (!draw_targets().bitmap || window_unseen()) return nullptr;
  Surfaces& s = surfaces();
  return s.backing.isNull() ? nullptr : &s.backing;
}

OutputDevice* output_device() {
  const DrawTargets& t = draw_targets();
  return t.device ? t.device_output : nullptr;
}

void mark_window(const QRect& area) {
  PainterState& p = painter_state();
  if (area.isEmpty()) return;
  if (p.dirty_left > p.dirty_right) {
    p.dirty_left = area.left();
    p.dirty_top = area.top();
    p.dirty_right = area.right();
    p.dirty_bottom = area.bottom();
    return;
  }
  p.dirty_left = std::min(p.dirty_left, area.left());
  p.dirty_top = std::min(p.dirty_top, area.top());
  p.dirty_right = std::max(p.dirty_right, area.right());
  p.dirty_bottom = std::max(p.dirty_bottom, area.bottom());
}

QRgb current_rgb() {
  const ColourState& c = colour_state();
  return qRgb(c.red, c.green, c.blue);
}

// The solid pen of the current colour and the given width, made anew only
// when colour or width change. Wider pens have round ends.
const QPen& pen_of_width(int width) {
  PainterState& p = painter_state();
  const QRgb rgb = current_rgb();
  if (p.pen_width != width || p.pen_colour != rgb) {
    p.pen = QPen(QColor(rgb), width, Qt::SolidLine, width <= 1 ? Qt::FlatCap : Qt::RoundCap, Qt::RoundJoin);
    p.pen_colour = rgb;
    p.pen_width = width;
  }
  return p.pen;
}

const QBrush& current_brush() {
  PainterState& p = painter_state();
  const QRgb rgb = current_rgb();
  if (!p.brush_made || p.brush_colour != rgb) {
    p.brush = QBrush(QColor(rgb), Qt::SolidPattern);
    p.brush_colour = rgb;
    p.brush_made = true;
  }
  return p.brush;
}

int current_pen_width() { return std::clamp(colour_state().pen_width, 1, 1000); }

// Rewrites the current colour from the colour as last set, by the rules for
// the targets that are on.
void apply_colour_rules() {
  ColourState& c = colour_state();
  const DrawTargets& t = draw_targets();
  const Settings& s = settings();
  const bool colour_window = s.ColorWindow != 0;
  const bool black_background = s.BlackBG != 0;
  Rgb now;
  if (c.kind == OP_INDEXED) {
    now = rule_indexed(c.indexed, t.window, t.device, t.device_colour, colour_window, black_background);
  } else {
    now = {static_cast<std::uint8_t>(c.set_red), static_cast<std::uint8_t>(c.set_green),
           static_cast<std::uint8_t>(c.set_blue)};
    if (t.window) now = rule_window(now, c.kind, c.grey, black_background, colour_window);
    if (t.device) now = rule_paper(now, c.kind, c.grey, t.device_colour);
  }
  c.red = now.red;
  c.green = now.green;
  c.blue = now.blue;
}

std::int16_t byte_value(std::int16_t v) { return static_cast<std::int16_t>(std::clamp<int>(v, 0, 255)); }

void put_coordinate(std::uint8_t*& p, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  *p++ = static_cast<std::uint8_t>(u & 0xFF);
  *p++ = static_cast<std::uint8_t>(u >> 8);
}

void record_four(std::uint8_t opcode, std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                 int flags = -1) {
  if (!draw_targets().recording) return;
  std::uint8_t bytes[10];
  std::uint8_t* p = bytes;
  *p++ = opcode;
  put_coordinate(p, x1);
  put_coordinate(p, y1);
  put_coordinate(p, x2);
  put_coordinate(p, y2);
  if (flags >= 0) *p++ = static_cast<std::uint8_t>(flags);
  append_record(bytes, static_cast<std::size_t>(p - bytes));
}

void record_bytes(std::uint8_t opcode, std::initializer_list<std::int16_t> values) {
  if (!draw_targets().recording) return;
  std::uint8_t bytes[5];
  std::size_t n = 0;
  bytes[n++] = opcode;
  for (std::int16_t v : values) bytes[n++] = static_cast<std::uint8_t>(v);
  append_record(bytes, n);
}

// The pixels of a one-pixel line from its first end up to, not including,
// its second (Bresenham steps along the longer axis), those inside `area`.
const QPolygon& line_pixels(const QLine& line, const QRect& area) {
  static QPolygon points;
  points.resize(0);
  int x = line.x1(), y = line.y1();
  const int dx = std::abs(line.x2() - x), dy = -std::abs(line.y2() - y);
  const int sx = x < line.x2() ? 1 : -1, sy = y < line.y2() ? 1 : -1;
  int error = dx + dy;
  const int steps = std::max(dx, -dy);
  for (int i = 0; i < steps; ++i) {
    if (area.contains(x, y)) points.append(QPoint(x, y));
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
  return points;
}

// Fills the pixels of `area` that lie on the image. A 32-bit image is filled
// straight in its rows, the fastest way for the many small cells of a map;
// a painter kept open on it is ended first, since it works on the same
// pixels. Other formats are filled through the painter.
void fill_pixels(QImage& image, std::unique_ptr<QPainter>& slot, const QRect& area, QRgb colour) {
  const QRect r = area.intersected(image.rect());
  if (r.isEmpty()) return;
  const QImage::Format f = image.format();
  if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied) {
    slot.reset();
    const quint32 value = 0xFF000000u | colour;
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y)
      std::fill_n(reinterpret_cast<quint32*>(bits + y * stride) + r.left(), r.width(), value);
  } else if (QPainter* p = open_on(image, slot)) {
    p->fillRect(r, QColor(colour));
  }
}

// Sets the given pixels in the pen's colour. On a 32-bit image they are
// written straight, as fill_pixels does (a map's outlines are thousands of
// tiny lines, and a painter opened and ended around each costs more than
// the line); other formats go through the painter.
void put_pixels(QImage& image, std::unique_ptr<QPainter>& slot, const QPolygon& points, const QPen& pen) {
  if (points.isEmpty()) return;
  const QImage::Format f = image.format();
  if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied) {
    slot.reset();
    const quint32 value = 0xFF000000u | pen.color().rgb();
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (const QPoint& pt : points) reinterpret_cast<quint32*>(bits + pt.y() * stride)[pt.x()] = value;
  } else if (QPainter* p = open_on(image, slot)) {
    p->setPen(pen);
    p->drawPoints(points);
  }
}

// Pixel rectangle of the columns x1..x2 and rows y1..y2, both inclusive.
QRect inclusive(int x1, int y1, int x2, int y2) { return QRect(x1, y1, x2 - x1 + 1, y2 - y1 + 1); }

}  // namespace

DrawTargets& draw_targets() {
  static DrawTargets t;
  return t;
}

ColourState& colour_state() {
  static ColourState c;
  return c;
}

DrawingSession::DrawingSession() { ++painter_state().depth; }

DrawingSession::~DrawingSession() {
  PainterState& p = painter_state();
  if (--p.depth > 0) return;
  // The area reported grows until the window takes the images: each report
  // covers the earlier ones, which keeps the window's dirty region one
  // rectangle, and nothing is reported while the drawing stays inside it.
  if (p.dirty_left > p.dirty_right) return;
  if (p.reported_left <= p.reported_right && p.dirty_left >= p.reported_left && p.dirty_top >= p.reported_top &&
      p.dirty_right <= p.reported_right && p.dirty_bottom <= p.reported_bottom)
    return;
  p.reported_left = p.dirty_left;
  p.reported_top = p.dirty_top;
  p.reported_right = p.dirty_right;
  p.reported_bottom = p.dirty_bottom;
  const QRect dirty = QRect(QPoint(p.dirty_left, p.dirty_top), QPoint(p.dirty_right, p.dirty_bottom))
                          .intersected(surfaces().window.rect());
  if (!dirty.isEmpty()) window_surface_changed(dirty);
}

void suspend_painters() {
  PainterState& p = painter_state();
  p.window.reset();
  p.bitmap.reset();
  p.dirty_left = 1;
  p.dirty_right = 0;
  p.reported_left = 1;
  p.reported_right = 0;
}

void forget_pen_and_brush() {
  PainterState& p = painter_state();
  p.pen_width = -1;
  p.brush_made = false;
}

void DRAW_LINE(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  {
    DrawingSession session;
    QImage* w = window_image();
    QImage* b = bitmap_image();
    OutputDevice* d = output_device();
    if (w || b || d) {
      std::int16_t px1, py1, px2, py2;
      TO_DEVICE(x1, y1, px1, py1);
      TO_DEVICE(x2, y2, px2, py2);
      const QLine line(px1, py1, px2, py2);
      const QPen& pen = pen_of_width(current_pen_width());
      if (d) d->line(line.p1(), line.p2(), current_rgb(), pen.width());
      PainterState& ps = painter_state();
      if (pen.width() <= 1) {
        // One-pixel lines run from the first end up to, not including, the second.
        if (w) put_pixels(*w, ps.window, line_pixels(line, w->rect()), pen);
        if (b) put_pixels(*b, ps.bitmap, line_pixels(line, b->rect()), pen);
      } else if (line.p1() != line.p2()) {
        for (QPainter* p : {w ? window_painter() : nullptr, b ? bitmap_painter() : nullptr}) {
          if (!p) continue;
          p->setPen(pen);
          p->drawLine(line);
        }
      }
      if (w) {
        const int grow = pen.width();
        mark_window(QRect(line.p1(), line.p2()).normalized().adjusted(-grow, -grow, grow, grow));
      }
    }
  }
  record_four(OP_LINE, x1, y1, x2, y2);
}

void DRAW_RECT(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  {
    DrawingSession session;
    QPainter* w = window_painter();
    QPainter* b = bitmap_painter();
    OutputDevice* d = output_device();
    if (w || b || d) {
      std::int16_t px1, py1, px2, py2;
      TO_DEVICE(x1, y1, px1, py1);
      TO_DEVICE(x2, y2, px2, py2);
      const QRect pixels = QRect(QPoint(px1, py1), QPoint(px2, py2)).normalized();
      // drawRect with a one-pixel pen outlines columns left..left + width.
      const QRect outline = pixels.adjusted(0, 0, -1, -1);
      auto draw = [&](QPainter* p, const QPen& pen) {
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        p->drawRect(outline);
        p->setBrush(current_brush());
      };
      const QPen& pen = pen_of_width(current_pen_width());
      for (QPainter* p : {w, b})
        if (p) draw(p, pen);
      if (d) d->outline(pixels, current_rgb(), pen.width());
      if (w) mark_window(outline.adjusted(-pen.width(), -pen.width(), pen.width() + 1, pen.width() + 1));
    }
  }
  record_four(OP_RECT, x1, y1, x2, y2);
}

void FILL_RECT(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2, std::int16_t inset_left,
               std::int16_t inset_right, std::int16_t inset_top, std::int16_t inset_bottom) {
  const int left_in = inset_left ? 1 : 0, right_in = inset_right ? 1 : 0;
  const int top_in = inset_top ? 1 : 0, bottom_in = inset_bottom ? 1 : 0;
  // Nothing to draw on (an unseen window, no device): only the record.
  QImage* w = window_image();
  QImage* b = bitmap_image();
  OutputDevice* d = output_device();
  if (w || b || d) {
    DrawingSession session;
    const DrawTargets& t = draw_targets();
    std::int16_t px1, py1, px2, py2;
    TO_DEVICE(x1, y1, px1, py1);
    TO_DEVICE(x2, y2, px2, py2);
    const int X1 = std::min(px1, px2) + left_in, X2 = std::max(px1, px2) - right_in;
    const int Y1 = std::min(py1, py2) + top_in, Y2 = std::max(py1, py2) - bottom_in;
    const QRgb colour = current_rgb();
    PainterState& p = painter_state();
    if (t.window) {
      // The window gets one more column and row at the top left; the
      // bitmap one more at every side, so its cells overlap their neighbours.
      const QRect on_window = inclusive(X1 - 1, Y1 - 1, X2, Y2);
      if (w) {
        fill_pixels(*w, p.window, on_window, colour);
        mark_window(on_window);
      }
      if (b) fill_pixels(*b, p.bitmap, inclusive(X1 - 1, Y1 - 1, X2 + 1, Y2 + 1), colour);
      if (d) d->fill(inclusive(X1, Y1, X2, Y2), colour);
    } else {
      const QRect area = inclusive(X1, Y1, X2, Y2);
      if (b) fill_pixels(*b, p.bitmap, area, colour);
      // An output device gets the window's extra column and row at the top
      // left too: the map's cells are inset by one unit on every side, and
      // without it a page or a metafile shows them parted by hairlines.
      if (d) d->fill(inclusive(X1 - 1, Y1 - 1, X2, Y2), colour);
    }
  }
  record_four(OP_FILLED_RECT, x1, y1, x2, y2, (left_in << 3) | (right_in << 2) | (top_in << 1) | bottom_in);
}

void FILL_POLYGON(const std::int16_t* x, const std::int16_t* y, std::int16_t n) {
  if (!x || !y || n < 1) return;
  const int count = std::min<int>(n, MAX_POLYGON_POINTS);
  {
    DrawingSession session;
    QPainter* w = window_painter();
    QPainter* b = bitmap_painter();
    OutputDevice* d = output_device();
    if (w || b || d) {
      QPolygon points(count);
      for (int i = 0; i < count; ++i) {
        std::int16_t px, py;
        TO_DEVICE(x[i], y[i], px, py);
        points.setPoint(i, px, py);
      }
      const QPen& pen = pen_of_width(1);
      const QBrush& brush = current_brush();
      for (QPainter* p : {w, b}) {
        if (!p) continue;
        p->setPen(pen);
        p->setBrush(brush);
        p->drawPolygon(points, Qt::OddEvenFill);
      }
      if (d) d->polygon(points, current_rgb());
      if (w) mark_window(points.boundingRect().adjusted(-1, -1, 1, 1));
    }
  }
  if (!draw_targets().recording) return;
  std::uint8_t bytes[2 + 4 * MAX_POLYGON_POINTS];
  std::uint8_t* p = bytes;
  *p++ = OP_POLYGON;
  *p++ = static_cast<std::uint8_t>(count);
  for (int i = 0; i < count; ++i) {
    put_coordinate(p, x[i]);
    put_coordinate(p, y[i]);
  }
  append_record(bytes, static_cast<std::size_t>(p - bytes));
}

void SET_RGB(std::int16_t red, std::int16_t green, std::int16_t blue) {
  ColourState& c = colour_state();
  c.kind = OP_RGB;
  c.set_red = byte_value(red);
  c.set_green = byte_value(green);
  c.set_blue = byte_value(blue);
  apply_colour_rules();
  record_bytes(OP_RGB, {c.set_red, c.set_blue, c.set_green});
}

void SET_RGB_GREY(std::int16_t red, std::int16_t green, std::int16_t blue, std::int16_t grey) {
  ColourState& c = colour_state();
  c.kind = OP_RGB_GREY;
  c.set_red = byte_value(red);
  c.set_green = byte_value(green);
  c.set_blue = byte_value(blue);
  c.grey = byte_value(grey);
  apply_colour_rules();
  record_bytes(OP_RGB_GREY, {c.set_red, c.set_blue, c.set_green, c.grey});
}

void SET_INDEXED(std::int16_t index_on_black, std::int16_t index_on_white, std::int16_t grey_on_black,
                 std::int16_t darkness_on_white) {
  auto index = [](std::int16_t i) { return static_cast<std::uint8_t>(i >= 0 && i < 16 ? i : 8); };
  ColourState& c = colour_state();
  c.kind = OP_INDEXED;
  c.indexed = {index(index_on_black), index(index_on_white), static_cast<std::uint8_t>(byte_value(grey_on_black)),
               static_cast<std::uint8_t>(byte_value(darkness_on_white))};
  apply_colour_rules();
  record_bytes(OP_INDEXED, {c.indexed.index_on_black, c.indexed.index_on_white, c.indexed.grey_on_black,
                            c.indexed.darkness_on_white});
}

void SET_PALETTE(const LogicalPalette& palette) {
  ColourState& c = colour_state();
  c.palette = palette;
  c.palette_set = true;
}

void PLOT_PIXEL(std::int16_t x, std::int16_t y) {
  DrawingSession session;
  QPainter* w = window_painter();
  if (!w) return;
  std::int16_t px, py;
  TO_DEVICE(x, y, px, py);
  w->setPen(pen_of_width(1));
  w->drawPoint(px, py);
  mark_window(QRect(px, py, 1, 1));
}

void CLEAR_PICTURE() {
  DrawingSession session;
  PainterState& p = painter_state();
  const QColor background = background_colour();
  if (QPainter* w = open_on(surfaces().window, p.window)) {
    w->fillRect(surfaces().window.rect(), background);
    mark_window(surfaces().window.rect());
  }
  if (QPainter* b = open_on(surfaces().backing, p.bitmap)) b->fillRect(surfaces().backing.rect(), background);
}

void SET_TRANSIENT(std::int16_t flag) {
  if (flag != 0 && flag != 1) return;
  DrawTargets& t = draw_targets();
  t.transient = flag == 1;
  t.bitmap = !t.transient;
  t.recording = !t.transient;
}

void REPLAY() {
  DrawTargets& t = draw_targets();
  const ColourState saved = colour_state();
  const bool to_device = t.device;
  t.recording = false;
  if (to_device) {
    t.window = false;
    t.bitmap = false;
  } else {
    t.window = true;
    t.bitmap = !window_state().bitmap_valid;
  }
  {
    BusyCursor busy;
    DrawingSession session;
    const PlotBuffer& buffer = plot_buffer();
    std::size_t position = 0;
    PlotRecord r;
    while (next_record(buffer.block.data(), buffer.used, position, r)) {
      switch (r.opcode) {
        case OP_LINE: DRAW_LINE(r.x[0], r.y[0], r.x[1], r.y[1]); break;
        case OP_RECT: DRAW_RECT(r.x[0], r.y[0], r.x[1], r.y[1]); break;
        case OP_FILLED_RECT:
          FILL_RECT(r.x[0], r.y[0], r.x[1], r.y[1], (r.flags >> 3) & 1, (r.flags >> 2) & 1, (r.flags >> 1) & 1,
                    r.flags & 1);
          break;
        case OP_RGB: SET_RGB(r.values[0], r.values[2], r.values[1]); break;
        case OP_RGB_GREY: SET_RGB_GREY(r.values[0], r.values[2], r.values[1], r.values[3]); break;
        case OP_INDEXED: SET_INDEXED(r.values[0], r.values[1], r.values[2], r.values[3]); break;
        case OP_POLYGON: FILL_POLYGON(r.x, r.y, static_cast<std::int16_t>(r.count)); break;
        default: break;
      }
    }
    plot_buffer().read_position = position;
  }
  // Back to drawing on the window; a transient drawing mode in force before
  // the replay stays in force.
  t.window = true;
  t.device = false;
  t.bitmap = !t.transient;
  t.recording = !t.transient;
  if (!to_device) window_state().bitmap_valid = true;
  // The colour in force is the one set last by the program, shown as the
  // window shows it now (the options may have changed since it was set).
  ColourState& c = colour_state();
  c.kind = saved.kind;
  c.set_red = saved.set_red;
  c.set_green = saved.set_green;
  c.set_blue = saved.set_blue;
  c.grey = saved.grey;
  c.indexed = saved.indexed;
  c.pen_width = settings().window_pen_width;
  apply_colour_rules();
}

}  // namespace kesto::shell
