#include "shell/drawing/output_device.h"

#include <QBrush>
#include <QPainter>
#include <QPen>

#include "shell/drawing/primitives.h"
#include "shell/window/page_mapping.h"

namespace kesto::shell {
namespace {

// Solid pens; wider ones have round ends, as on the window.
QPen solid_pen(QRgb colour, int width) {
  return QPen(QColor(colour), width, Qt::SolidLine, width <= 1 ? Qt::FlatCap : Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace

void PainterDevice::line(QPoint from, QPoint to, QRgb colour, int width) {
  if (from == to) return;
  painter_.setPen(solid_pen(colour, width));
  painter_.drawLine(from, to);
}

void PainterDevice::outline(const QRect& r, QRgb colour, int width) {
  painter_.setPen(solid_pen(colour, width));
  painter_.setBrush(Qt::NoBrush);
  // With a one-unit pen drawRect outlines columns left..left + width.
  painter_.drawRect(r.adjusted(0, 0, -1, -1));
}

void PainterDevice::fill(const QRect& r, QRgb colour) {
  if (r.isValid()) painter_.fillRect(r, QColor(colour));
}

void PainterDevice::polygon(const QPolygon& points, QRgb colour) {
  painter_.setPen(solid_pen(colour, 1));
  painter_.setBrush(QBrush(QColor(colour), Qt::SolidPattern));
  painter_.drawPolygon(points, Qt::OddEvenFill);
}

void REPLAY_ON_DEVICE(OutputDevice& device, const DeviceMapping& mapping, bool colour, int pen_width) {
  device_mapping() = mapping;
  DrawTargets& t = draw_targets();
  t.window = false;
  t.bitmap = false;
  t.device = true;
  t.device_colour = colour;
  t.device_output = &device;
  colour_state().pen_width = pen_width;
  REPLAY();
  t.device_output = nullptr;
}

}  // namespace kesto::shell
