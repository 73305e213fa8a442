#include "shell/output/metafile_device.h"

#include <algorithm>

namespace kesto::shell {

std::uint32_t colour_ref(QRgb c) {
  return static_cast<std::uint32_t>(qRed(c)) | static_cast<std::uint32_t>(qGreen(c)) << 8 |
         static_cast<std::uint32_t>(qBlue(c)) << 16;
}

std::int16_t coordinate(int v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); }

int MetafileDevice::take_slot() {
  const auto free = std::find(slots_.begin(), slots_.end(), false);
  const int index = static_cast<int>(free - slots_.begin());
  if (free == slots_.end())
    slots_.push_back(true);
  else
    *free = true;
  return first_slot_ + index;
}

void MetafileDevice::free_slot(int slot) { slots_[static_cast<std::size_t>(slot - first_slot_)] = false; }

void MetafileDevice::use_pen(QRgb colour, int width) {
  if (pen_.slot >= 0 && pen_.colour == colour && pen_.width == width) return;
  const int slot = take_slot();
  pen_record(slot, colour, width);
  select_record(slot);
  if (pen_.slot >= 0) {
    delete_record(pen_.slot);
    free_slot(pen_.slot);
  }
  pen_ = {slot, colour, width};
}

void MetafileDevice::use_brush(QRgb colour) {
  if (brush_.slot >= 0 && brush_.colour == colour) {
    if (hollow_selected_) select_record(brush_.slot);
    hollow_selected_ = false;
    return;
  }
  const int slot = take_slot();
  brush_record(slot, colour, false);
  select_record(slot);
  if (brush_.slot >= 0) {
    delete_record(brush_.slot);
    free_slot(brush_.slot);
  }
  brush_ = {slot, colour, 0};
  hollow_selected_ = false;
}

void MetafileDevice::use_hollow_brush() {
  if (hollow_selected_) return;
  if (hollow_slot_ < 0) {
    // Made once and kept: outlined rectangles come back now and then.
    hollow_slot_ = take_slot();
    brush_record(hollow_slot_, 0, true);
  }
  select_record(hollow_slot_);
  hollow_selected_ = true;
}

void MetafileDevice::line(QPoint from, QPoint to, QRgb colour, int width) {
  if (from == to) return;
  use_pen(colour, width);
  // A line that starts where the last one ended needs no move.
  if (!moved_ || position_ != from) move_record(from);
  line_record(to);
  moved_ = true;
  position_ = to;
}

void MetafileDevice::outline(const QRect& r, QRgb colour, int width) {
  use_pen(colour, width);
  use_hollow_brush();
  rectangle_record(r);
}

void MetafileDevice::fill(const QRect& r, QRgb colour) {
  if (!r.isValid()) return;
  use_pen(colour, 1);
  use_brush(colour);
  rectangle_record(r);
}

void MetafileDevice::polygon(const QPolygon& points, QRgb colour) {
  if (points.isEmpty()) return;
  use_pen(colour, 1);
  use_brush(colour);
  polygon_record(points);
}

}  // namespace kesto::shell
