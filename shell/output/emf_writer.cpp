#include "shell/output/emf_writer.h"

#include <algorithm>

#include "common/file_replacing.h"
#include "shell/output/write_failure.h"
#include "shell/drawing/primitives.h"
#include "shell/output/data_file.h"
#include "shell/settings/file_dialog.h"
#include "shell/settings/message_box.h"
#include "shell/settings/settings.h"
#include "shell/window/busy_cursor.h"
#include "shell/window/page_mapping.h"

namespace kesto::shell {
namespace {

// Record types.
enum : std::uint32_t {
  EMR_HEADER = 1,
  EMR_EOF = 14,
  EMR_MOVETOEX = 27,
  EMR_SELECTOBJECT = 37,
  EMR_CREATEPEN = 38,
  EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40,
  EMR_RECTANGLE = 43,
  EMR_LINETO = 54,
  EMR_POLYGON16 = 86,
};

constexpr std::uint32_t BS_SOLID = 0, BS_NULL = 1;
constexpr std::uint32_t PS_SOLID = 0;

// The reference device: the page's 3500 x 2500 units on the frame's
// 924.1 x 661.7 millimetres, about 96 units to the inch, as a screen.
constexpr std::int32_t FRAME_RIGHT = 92410, FRAME_BOTTOM = 66170;  // hundredths of a millimetre
constexpr std::int32_t DEVICE_WIDTH = 3500, DEVICE_HEIGHT = 2500;
constexpr std::int32_t DEVICE_MM_WIDTH = 924, DEVICE_MM_HEIGHT = 662;
constexpr const char* DESCRIPTION = "VERUDO";

constexpr std::uint32_t HEADER_BYTES = 108;  // the header record with both extensions, before its description
constexpr std::uint32_t EOF_BYTES = 20;

void rect(ByteWriter& w, int left, int top, int right, int bottom) {
  w.i32(left);
  w.i32(top);
  w.i32(right);
  w.i32(bottom);
}

}  // namespace

void EmfDevice::record(std::uint32_t type, std::uint32_t bytes) {
  count_record();
  out_.u32(type);
  out_.u32(bytes);
}

void EmfDevice::cover(const QRect& r) { bounds_ = bounds_.isNull() ? r : bounds_.united(r); }

void EmfDevice::pen_record(int slot, QRgb colour, int width) {
  record(EMR_CREATEPEN, 28);
  out_.u32(static_cast<std::uint32_t>(slot));
  out_.u32(PS_SOLID);
  out_.i32(width);  // the width as a point (x, y = 0)
  out_.i32(0);
  out_.u32(colour_ref(colour));
}

void EmfDevice::brush_record(int slot, QRgb colour, bool hollow) {
  record(EMR_CREATEBRUSHINDIRECT, 24);
  out_.u32(static_cast<std::uint32_t>(slot));
  out_.u32(hollow ? BS_NULL : BS_SOLID);
  out_.u32(hollow ? 0 : colour_ref(colour));
  out_.u32(0);  // hatch
}

void EmfDevice::select_record(int slot) {
  record(EMR_SELECTOBJECT, 12);
  out_.u32(static_cast<std::uint32_t>(slot));
}

void EmfDevice::delete_record(int slot) {
  record(EMR_DELETEOBJECT, 12);
  out_.u32(static_cast<std::uint32_t>(slot));
}

void EmfDevice::move_record(QPoint p) {
  record(EMR_MOVETOEX, 16);
  out_.i32(p.x());
  out_.i32(p.y());
  cover(QRect(p, p));  // a line always follows
}

void EmfDevice::line_record(QPoint p) {
  record(EMR_LINETO, 16);
  out_.i32(p.x());
  out_.i32(p.y());
  cover(QRect(p, p));
}

void EmfDevice::rectangle_record(const QRect& r) {
  // The box is inclusive.
  record(EMR_RECTANGLE, 24);
  rect(out_, r.left(), r.top(), r.right(), r.bottom());
  cover(r);
}

void EmfDevice::polygon_record(const QPolygon& points) {
  const QRect box = points.boundingRect();
  const auto n = static_cast<std::uint32_t>(points.size());
  record(EMR_POLYGON16, 28 + 4 * n);
  rect(out_, box.left(), box.top(), box.right(), box.bottom());
  out_.u32(n);
  for (const QPoint& p : points) {
    out_.i16(coordinate(p.x()));
    out_.i16(coordinate(p.y()));
  }
  cover(box);
}

std::vector<std::uint8_t> EmfDevice::file() const {
  const std::string description = std::string(DESCRIPTION) + '\0' + '\0';  // application, no picture name
  const auto header_bytes = static_cast<std::uint32_t>((HEADER_BYTES + 2 * description.size() + 3) / 4 * 4);
  const auto total = static_cast<std::uint32_t>(header_bytes + records().size() + EOF_BYTES);
  ByteWriter w;
  w.bytes().reserve(total);
  w.u32(EMR_HEADER);
  w.u32(header_bytes);
  // The bounds of what is drawn, inclusive; an empty picture has none.
  if (bounds_.isNull())
    rect(w, 0, 0, -1, -1);
  else
    rect(w, bounds_.left(), bounds_.top(), bounds_.right(), bounds_.bottom());
  rect(w, 0, 0, FRAME_RIGHT, FRAME_BOTTOM);
  w.u32(0x464D4520);  // " EMF"
  w.u32(0x00010000);  // version
  w.u32(total);
  w.u32(record_count() + 2);                                   // the header and end-of-file records too
  w.u16(static_cast<std::uint16_t>(object_slots_used() + 1));  // entry 0 is the file itself
  w.u16(0);
  w.u32(static_cast<std::uint32_t>(description.size()));
  w.u32(HEADER_BYTES);
  w.u32(0);  // no palette
  w.i32(DEVICE_WIDTH);
  w.i32(DEVICE_HEIGHT);
  w.i32(DEVICE_MM_WIDTH);
  w.i32(DEVICE_MM_HEIGHT);
  w.u32(0);  // no pixel format
  w.u32(0);
  w.u32(0);                 // no OpenGL records
  w.u32(FRAME_RIGHT * 10);  // the reference device in micrometres
  w.u32(FRAME_BOTTOM * 10);
  w.wide_text(description);
  while (w.size() < header_bytes) w.u8(0);
  w.append(records().bytes().data(), records().size());
  w.u32(EMR_EOF);
  w.u32(EOF_BYTES);
  w.u32(0);   // no palette entries
  w.u32(16);  // where they would start
  w.u32(EOF_BYTES);
  return std::move(w.bytes());
}

std::vector<std::uint8_t> picture_emf() {
  EmfDevice device;
  const Settings& s = settings();
  REPLAY_ON_DEVICE(device, DeviceMapping{}, s.ColorWindow != 0, s.PenWidthEMF);
  return device.file();
}

std::string proposed_emf_name(const std::string& data_file_name) {
  return data_file_name.substr(0, data_file_name.find('.')) + ".emf";
}

void WRITE_EMF() {
  const DataFile& d = data_file();
  const auto chosen =
      SAVE_FILE_DIALOG({"Extended MetaFiles (*.EMF)", "*.emf"}, "emf", d.directory, proposed_emf_name(d.file_name));
  if (!chosen) return;
  int error = 0;
  {
    BusyCursor busy;
    const std::vector<std::uint8_t> bytes = picture_emf();
    error = common::replace_file(*chosen, bytes.data(), bytes.size());
  }
  if (error != 0) show_write_failure("Unable to create enhanced metafile", error);
}

}  // namespace kesto::shell
