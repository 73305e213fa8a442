// The picture as an enhanced metafile: the plot buffer replayed through the
// metafile mapping (the page on 0..3500 by 0..2500, y down) into records of
// the enhanced metafile format: the header (bounds, a frame of (0, 0) to
// (92410, 66170) hundredths of a millimetre, the description "VERUDO"),
// pens and brushes, moves and lines, rectangles, polygons, end of file.
#pragma once

#include <QRect>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/output/metafile_device.h"

namespace kesto::shell {

// A device that records the shapes drawn on it as enhanced metafile records.
class EmfDevice : public MetafileDevice {
 public:
  EmfDevice() : MetafileDevice(1) {}
  // The complete file: header, the records so far, end of file.
  std::vector<std::uint8_t> file() const;

 protected:
  void pen_record(int slot, QRgb colour, int width) override;
  void brush_record(int slot, QRgb colour, bool hollow) override;
  void select_record(int slot) override;
  void delete_record(int slot) override;
  void move_record(QPoint p) override;
  void line_record(QPoint p) override;
  void rectangle_record(const QRect& r) override;
  void polygon_record(const QPolygon& points) override;

 private:
  void record(std::uint32_t type, std::uint32_t bytes);
  void cover(const QRect& r);  // widens the picture's bounds
  QRect bounds_;
};

// The enhanced metafile of the picture in the plot buffer: the device counts
// as colour when the colour window option is on; lines have the EMF pen width.
std::vector<std::uint8_t> picture_emf();

// The name the Write EMF dialog proposes: the data file's name up to its
// first "." (or its end), then ".emf".
std::string proposed_emf_name(const std::string& data_file_name);

// Menu command Write EMF: the save dialog in the data file's directory, then
// the file; "Unable to create enhanced metafile" when it cannot be created.
void WRITE_EMF();

}  // namespace kesto::shell
