// The picture as a Windows metafile: the plot buffer replayed through the
// metafile mapping (the page on 0..3500 by 0..2500, y down) into records of
// the metafile format: the 22-byte placeable header (the picture's box and
// size on paper), the 18-byte metafile header, the window's origin and
// extent, pens and brushes, moves and lines, rectangles, polygons and the
// end-of-file record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "shell/output/metafile_device.h"

namespace kesto::shell {

constexpr const char* WMF_FILE_NAME = "dizari.wmf";
constexpr std::size_t PLACEABLE_HEADER_BYTES = 22;

// A device that records the shapes drawn on it as metafile records.
class WmfDevice : public MetafileDevice {
 public:
  WmfDevice();
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
  // Starts a record of `words` 16-bit words (the 6-byte record header included).
  void record(std::uint32_t words, std::uint16_t function);
  std::uint32_t largest_ = 0;  // words of the largest record
};

// The Windows metafile of the picture in the plot buffer: the device counts
// as colour, lines have the current pen width.
std::vector<std::uint8_t> picture_wmf();

// Menu command Write WMF: "dizari.wmf" in the current directory, no dialog.
// A file that cannot be created writes nothing and says nothing.
void WRITE_WMF();

}  // namespace kesto::shell
