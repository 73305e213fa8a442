// An output device that the plot buffer is replayed onto: a printer page, a
// PDF file, or a metafile being written. The drawing primitives hand it
// device coordinates (after the output mapping) and the current colour
// after the paper rule; the device draws or records each shape.
#pragma once

#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRgb>

class QPainter;

namespace kesto::shell {

struct DeviceMapping;

class OutputDevice {
 public:
  virtual ~OutputDevice() = default;
  // A line from `from` to `to` with a solid pen of `width` device units.
  virtual void line(QPoint from, QPoint to, QRgb colour, int width) = 0;
  // The outline of the inclusive rectangle `r` (pixels r.left()..r.right()
  // by r.top()..r.bottom()), nothing filled.
  virtual void outline(const QRect& r, QRgb colour, int width) = 0;
  // The inclusive rectangle `r` filled, its border in the same colour.
  virtual void fill(const QRect& r, QRgb colour) = 0;
  // The polygon filled, its border a one-unit pen of the same colour.
  virtual void polygon(const QPolygon& points, QRgb colour) = 0;
};

// A device drawn through a painter: a printer or PDF page, or an image.
class PainterDevice : public OutputDevice {
 public:
  explicit PainterDevice(QPainter& painter) : painter_(painter) {}
  void line(QPoint from, QPoint to, QRgb colour, int width) override;
  void outline(const QRect& r, QRgb colour, int width) override;
  void fill(const QRect& r, QRgb colour) override;
  void polygon(const QPolygon& points, QRgb colour) override;

 private:
  QPainter& painter_;
};

// Replays the plot buffer onto `device` through `mapping`, by the paper
// rule for a device that shows colour or not, with lines `pen_width` device
// units wide. The window and the backing bitmap are not touched; drawing
// returns to them afterwards.
void REPLAY_ON_DEVICE(OutputDevice& device, const DeviceMapping& mapping, bool colour, int pen_width);

}  // namespace kesto::shell
