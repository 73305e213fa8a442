#include "shell/output/wmf_writer.h"

#include <algorithm>

#include "common/file_replacing.h"
#include "shell/output/write_failure.h"
#include "shell/drawing/primitives.h"
#include "shell/window/busy_cursor.h"
#include "shell/window/page_mapping.h"

namespace kesto::shell {
namespace {

// Record functions.
enum : std::uint16_t {
  META_EOF = 0x0000,
  META_SETMAPMODE = 0x0103,
  META_SETWINDOWORG = 0x020B,
  META_SETWINDOWEXT = 0x020C,
  META_SELECTOBJECT = 0x012D,
  META_DELETEOBJECT = 0x01F0,
  META_CREATEPENINDIRECT = 0x02FA,
  META_CREATEBRUSHINDIRECT = 0x02FC,
  META_MOVETO = 0x0214,
  META_LINETO = 0x0213,
  META_RECTANGLE = 0x041B,
  META_POLYGON = 0x0324,
};

constexpr std::uint16_t MM_ANISOTROPIC = 8;
constexpr std::uint16_t BS_SOLID = 0, BS_NULL = 1;
constexpr std::uint16_t PS_SOLID = 0;
constexpr std::uint32_t HEADER_WORDS = 9;
// The placeable header's size on paper: the page's 3500 units on 6.5
// inches, the default width of the printed picture.
constexpr std::uint16_t UNITS_PER_INCH = 538;

}  // namespace

WmfDevice::WmfDevice() : MetafileDevice(0) {
  // The page's extent, so that a reader scales the picture to its frame.
  record(4, META_SETMAPMODE);
  out_.u16(MM_ANISOTROPIC);
  record(5, META_SETWINDOWORG);
  out_.i16(0);  // y, then x
  out_.i16(0);
  record(5, META_SETWINDOWEXT);
  out_.i16(2500);
  out_.i16(3500);
}

void WmfDevice::record(std::uint32_t words, std::uint16_t function) {
  count_record();
  largest_ = std::max(largest_, words);
  out_.u32(words);
  out_.u16(function);
}

void WmfDevice::pen_record(int, QRgb colour, int width) {
  record(8, META_CREATEPENINDIRECT);
  out_.u16(PS_SOLID);
  out_.i16(coordinate(width));  // the width as a point (x, y = 0)
  out_.i16(0);
  out_.u32(colour_ref(colour));
}

void WmfDevice::brush_record(int, QRgb colour, bool hollow) {
  record(7, META_CREATEBRUSHINDIRECT);
  out_.u16(hollow ? BS_NULL : BS_SOLID);
  out_.u32(hollow ? 0 : colour_ref(colour));
  out_.u16(0);  // hatch
}

void WmfDevice::select_record(int slot) {
  record(4, META_SELECTOBJECT);
  out_.u16(static_cast<std::uint16_t>(slot));
}

void WmfDevice::delete_record(int slot) {
  record(4, META_DELETEOBJECT);
  out_.u16(static_cast<std::uint16_t>(slot));
}

void WmfDevice::move_record(QPoint p) {
  record(5, META_MOVETO);
  out_.i16(coordinate(p.y()));
  out_.i16(coordinate(p.x()));
}

void WmfDevice::line_record(QPoint p) {
  record(5, META_LINETO);
  out_.i16(coordinate(p.y()));
  out_.i16(coordinate(p.x()));
}

void WmfDevice::rectangle_record(const QRect& r) {
  // Bottom, right, top, left; the right and bottom edges lie outside.
  record(7, META_RECTANGLE);
  out_.i16(coordinate(r.bottom() + 1));
  out_.i16(coordinate(r.right() + 1));
  out_.i16(coordinate(r.top()));
  out_.i16(coordinate(r.left()));
}

void WmfDevice::polygon_record(const QPolygon& points) {
  const auto n = static_cast<std::uint32_t>(points.size());
  record(4 + 2 * n, META_POLYGON);
  out_.u16(static_cast<std::uint16_t>(n));
  for (const QPoint& p : points) {
    out_.i16(coordinate(p.x()));
    out_.i16(coordinate(p.y()));
  }
}

std::vector<std::uint8_t> WmfDevice::file() const {
  const std::uint32_t eof_words = 3;
  const auto total_words = static_cast<std::uint32_t>(HEADER_WORDS + records().size() / 2 + eof_words);
  ByteWriter w;
  w.bytes().reserve(PLACEABLE_HEADER_BYTES + 2 * total_words);
  // The placeable header: without it readers cannot tell the picture's size
  // and shape, and show it stretched.
  const std::uint16_t placeable[] = {0xCDD7, 0x9AC6, 0, 0, 0, 3500, 2500, UNITS_PER_INCH, 0, 0};
  std::uint16_t checksum = 0;
  for (std::uint16_t word : placeable) {
    w.u16(word);
    checksum ^= word;
  }
  w.u16(checksum);
  // The metafile itself.
  w.u16(1);  // type: in memory, as the system's recorder writes files too
  w.u16(HEADER_WORDS);
  w.u16(0x0300);  // version
  w.u32(total_words);
  w.u16(static_cast<std::uint16_t>(object_slots_used()));
  w.u32(std::max(largest_, eof_words));
  w.u16(0);  // no parameters
  w.append(records().bytes().data(), records().size());
  w.u32(eof_words);
  w.u16(META_EOF);
  return std::move(w.bytes());
}

std::vector<std::uint8_t> picture_wmf() {
  WmfDevice device;
  REPLAY_ON_DEVICE(device, DeviceMapping{}, true, colour_state().pen_width);
  return device.file();
}

void WRITE_WMF() {
  int error = 0;
  {
    BusyCursor busy;
    const std::vector<std::uint8_t> bytes = picture_wmf();
    error = common::replace_file(WMF_FILE_NAME, bytes.data(), bytes.size());
  }
  if (error != 0) show_write_failure(std::string("Unable to write the metafile ") + WMF_FILE_NAME, error);
}

}  // namespace kesto::shell
