#include "shell/output/tiff_writer.h"

#include <QImage>
#include <algorithm>
#include <cstring>

#include "common/file_replacing.h"
#include "shell/output/write_failure.h"
#include "shell/output/byte_writer.h"
#include "shell/output/output_state.h"
#include "shell/settings/file_dialog.h"
#include "shell/settings/settings.h"
#include "shell/window/busy_cursor.h"
#include "shell/window/page_mapping.h"
#include "shell/window/surfaces.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

enum TiffType : std::uint16_t { SHORT = 3, LONG = 4, RATIONAL = 5 };

void entry(ByteWriter& w, std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
  w.u16(tag);
  w.u16(type);
  w.u32(count);
  if (type == SHORT && count == 1) {
    w.u16(static_cast<std::uint16_t>(value));  // a short sits in the first two bytes
    w.u16(0);
  } else {
    w.u32(value);
  }
}

}  // namespace

QRect tiff_capture_rect(int bitmap_width, int bitmap_height, int extent, int unit) {
  if (bitmap_width == 640 && bitmap_height == 480) return QRect(0, 0, 640, 480);
  unit = std::max(unit, 1);
  const int half_width = extent * 1750 / unit, half_height = extent * 1250 / unit;
  const int cx = bitmap_width / 2, cy = bitmap_height / 2;
  const int left = cx - half_width, top = cy - half_height;
  const int right = std::min(cx + half_width, bitmap_width - 1);
  const int bottom = std::min(cy + half_height, bitmap_height - 1);
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

std::vector<std::uint8_t> tiff_bytes(const QImage& bitmap, const QRect& capture, bool colour) {
  const std::uint32_t width = static_cast<std::uint32_t>(std::max(capture.width(), 0));
  const std::uint32_t height = static_cast<std::uint32_t>(std::max(capture.height(), 0));
  const std::uint32_t samples = colour ? 3 : 1;
  ByteWriter w;
  w.bytes().reserve(TIFF_HEADER_BYTES + width * height * samples);
  w.text("II");
  w.u16(42);
  w.u32(8);
  w.u16(12);
  entry(w, 256, SHORT, 1, width);                    // ImageWidth
  entry(w, 257, SHORT, 1, height);                   // ImageLength
  entry(w, 258, SHORT, samples, colour ? 174 : 8);   // BitsPerSample: 8, 8, 8 at 174, or 8
  entry(w, 259, SHORT, 1, 1);                        // Compression: none
  entry(w, 262, SHORT, 1, colour ? 2 : 1);           // PhotometricInterpretation: RGB, black is zero
  entry(w, 273, SHORT, 1, TIFF_HEADER_BYTES);        // StripOffsets
  entry(w, 277, SHORT, 1, samples);                  // SamplesPerPixel
  entry(w, 278, SHORT, 1, height);                   // RowsPerStrip
  entry(w, 279, LONG, 1, width * height * samples);  // StripByteCounts
  entry(w, 282, RATIONAL, 1, 158);                   // XResolution
  entry(w, 283, RATIONAL, 1, 166);                   // YResolution
  entry(w, 296, SHORT, 1, 2);                        // ResolutionUnit: inch
  w.u32(0);                                          // no next directory
  for (int i = 0; i < 2; ++i) {
    w.u32(72);
    w.u32(1);
  }
  for (int i = 0; i < 3; ++i) w.u16(8);

  const QImage image = bitmap.format() == QImage::Format_RGB32 ? bitmap : bitmap.convertToFormat(QImage::Format_RGB32);
  std::vector<std::uint8_t>& out = w.bytes();
  for (int y = capture.top(); y <= capture.bottom(); ++y) {
    const bool inside_rows = y >= 0 && y < image.height();
    const QRgb* row = inside_rows ? reinterpret_cast<const QRgb*>(image.constScanLine(y)) : nullptr;
    for (int x = capture.left(); x <= capture.right(); ++x) {
      // Pixels outside the bitmap (never for a capture of its own) are black.
      const QRgb p = row && x >= 0 && x < image.width() ? row[x] : 0;
      out.push_back(static_cast<std::uint8_t>(qRed(p)));
      if (colour) {
        out.push_back(static_cast<std::uint8_t>(qGreen(p)));
        out.push_back(static_cast<std::uint8_t>(qBlue(p)));
      }
    }
  }
  return std::move(out);
}

std::vector<std::uint8_t> picture_tiff() {
  refresh_window_surface();
  const WindowState& w = window_state();
  const PageMapping& m = page_mapping();
  const QImage& bitmap = surfaces().backing;
  return tiff_bytes(bitmap, tiff_capture_rect(w.bitmap_width, w.bitmap_height, m.extent, m.unit),
                    settings().ColorWindow != 0);
}

void WRITE_TIFF() {
  OutputState& o = output_state();
  const auto chosen = SAVE_FILE_DIALOG({"TIFF Files (*.TIF)", "*.tif"}, "tif", "", o.tiff_name);
  if (!chosen) return;
  o.tiff_name = *chosen;
  int error = 0;
  {
    BusyCursor busy;
    const std::vector<std::uint8_t> bytes = picture_tiff();
    error = common::replace_file(*chosen, bytes.data(), bytes.size());
  }
  if (error != 0) show_write_failure("Unable to write the TIFF file", error);
}

bool WRITE_TIFF_FILE(const char* name, std::int16_t length) {
  if (!name) return false;
  std::string path;
  for (int i = 0; i < length && name[i] != '\0' && name[i] != ' '; ++i) path.push_back(name[i]);
  BusyCursor busy;
  return common::write_file_replacing(path, picture_tiff());
}

}  // namespace kesto::shell
