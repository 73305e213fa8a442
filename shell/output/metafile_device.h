// What the Windows metafile and the enhanced metafile writers share: an
// output device that records each shape as metafile records instead of
// drawing it, creating a pen or brush object only when the colour or width
// changes (the new one selected, the one it replaces deleted) and reusing
// the lowest free slot of the object table, as the system's own metafile
// recorder does. The two formats supply the records themselves.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/drawing/output_device.h"
#include "shell/output/byte_writer.h"

namespace kesto::shell {

// A colour as both formats store it: red, green, blue, then a zero byte.
std::uint32_t colour_ref(QRgb colour);
// A coordinate held to the 16 bits that points and sizes of the records take.
std::int16_t coordinate(int v);

class MetafileDevice : public OutputDevice {
 public:
  void line(QPoint from, QPoint to, QRgb colour, int width) override;
  void outline(const QRect& r, QRgb colour, int width) override;
  void fill(const QRect& r, QRgb colour) override;
  void polygon(const QPolygon& points, QRgb colour) override;

  // The records written so far.
  const ByteWriter& records() const { return out_; }
  // Record count and the most objects held at once.
  std::uint32_t record_count() const { return records_; }
  int object_slots_used() const { return static_cast<int>(slots_.size()); }

 protected:
  // `first_slot`: the index of the first object-table entry (0 in a Windows
  // metafile; 1 in an enhanced metafile, whose entry 0 is the file itself).
  explicit MetafileDevice(int first_slot) : first_slot_(first_slot) {}

  // One record of each kind; `slot` is an object-table index.
  virtual void pen_record(int slot, QRgb colour, int width) = 0;
  virtual void brush_record(int slot, QRgb colour, bool hollow) = 0;
  virtual void select_record(int slot) = 0;
  virtual void delete_record(int slot) = 0;
  virtual void move_record(QPoint p) = 0;
  virtual void line_record(QPoint p) = 0;
  // The rectangle through the inclusive pixel rectangle `r`.
  virtual void rectangle_record(const QRect& r) = 0;
  virtual void polygon_record(const QPolygon& points) = 0;

  // Called by each record writer as it starts a record.
  void count_record() { ++records_; }
  ByteWriter out_;

 private:
  struct Object {
    int slot = -1;  // -1: none made yet
    QRgb colour = 0;
    int width = 0;
  };
  int take_slot();
  void free_slot(int slot);
  void use_pen(QRgb colour, int width);
  void use_brush(QRgb colour);
  void use_hollow_brush();

  int first_slot_;
  std::vector<bool> slots_;  // in use, by slot - first_slot_
  Object pen_, brush_;
  int hollow_slot_ = -1;
  bool hollow_selected_ = false;
  bool moved_ = false;
  QPoint position_;
  std::uint32_t records_ = 0;
};

}  // namespace kesto::shell
