#include "shell/output/eps_writer.h"

#include <cstdio>

#include "common/file_replacing.h"
#include "shell/output/write_failure.h"
#include "shell/drawing/colour_rules.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/output/byte_writer.h"
#include "shell/output/output_state.h"
#include "shell/output/tiff_writer.h"
#include "shell/settings/file_dialog.h"
#include "shell/settings/settings.h"
#include "shell/window/busy_cursor.h"

namespace kesto::shell {
namespace {

// The prologue: the page's scale and origin, short names, and the
// rectangle, filled rectangle and quadrilateral procedures.
constexpr const char* kPrologue =
    "%!PS-Adobe-2.0 EPSF-1.2\r\n"
    "%%BoundingBox: 0 0 469 335\r\n"
    "0.134 0.134 scale\r\n"
    "1750 1250 translate\r\n"
    "/M {moveto} def\r\n"
    "/L {lineto} def\r\n"
    "/C {setrgbcolor} def\r\n"
    "/H {sethsbcolor} def\r\n"
    "/W {setlinewidth} def\r\n"
    "/R % Rectangle routine\r\n"
    " % Called as:  X1 Y1 DX DY R\r\n"
    " {  /DY exch def\r\n"
    "    /DX exch def\r\n"
    "    /Y1 exch def\r\n"
    "    /X1 exch def\r\n"
    "    stroke\r\n"
    "    newpath\r\n"
    "    X1 Y1 moveto\r\n"
    "    0 DY rlineto\r\n"
    "    DX 0 rlineto\r\n"
    "    0 DY neg rlineto\r\n"
    "    closepath\r\n"
    "    stroke\r\n"
    "    newpath }\r\n"
    " def\r\n"
    "/F % Filled rectangle routine\r\n"
    " % Called as:  X1 Y1 DX DY F\r\n"
    " {  /DY exch def\r\n"
    "    /DX exch def\r\n"
    "    /Y1 exch def\r\n"
    "    /X1 exch def\r\n"
    "    stroke\r\n"
    "    newpath\r\n"
    "    X1 Y1 moveto\r\n"
    "    0 DY rlineto\r\n"
    "    DX 0 rlineto\r\n"
    "    0 DY neg rlineto\r\n"
    "    closepath\r\n"
    "    fill\r\n"
    "    newpath }\r\n"
    " def\r\n"
    "/Q % Filled quadrilateral routine\r\n"
    " % Called as: X1 Y1 X2 Y2 X3 Y3 X4 Y4 Q\r\n"
    " {  /Y4 exch def\r\n"
    "    /X4 exch def\r\n"
    "    /Y3 exch def\r\n"
    "    /X3 exch def\r\n"
    "    /Y2 exch def\r\n"
    "    /X2 exch def\r\n"
    "    /Y1 exch def\r\n"
    "    /X1 exch def\r\n"
    "    stroke\r\n"
    "    newpath\r\n"
    "    X1 Y1 moveto\r\n"
    "    X2 Y2 lineto\r\n"
    "    X3 Y3 lineto\r\n"
    "    X4 Y4 lineto\r\n"
    "    closepath\r\n"
    "    fill\r\n"
    "    newpath }\r\n"
    " def\r\n";

void line(std::string& out, const char* format, auto... values) {
  char text[160];
  const int n = std::snprintf(text, sizeof text, format, values...);
  if (n > 0)
    out.append(text, static_cast<std::size_t>(n) < sizeof text ? static_cast<std::size_t>(n) : sizeof text - 1);
}

void colour_line(std::string& out, const Rgb& c) {
  line(out, "%f %f %f C\r\n", c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

}  // namespace

std::string eps_postscript(const std::uint8_t* data, std::size_t size, int pen_width, bool colour) {
  std::string out = kPrologue;
  out.reserve(out.size() + size * 3);
  line(out, "%d W\r\n", pen_width);
  out += "1 setlinecap\r\n2 setlinejoin\r\n";
  std::size_t position = 0;
  long drawn = 0;        // lines and rectangles so far
  bool pending = false;  // lines in the path that no stroke has drawn yet
  // Lines are stroked in the colour in force when the stroke comes, so the
  // lines of the path are stroked before the colour changes.
  auto set_colour = [&](const Rgb& c) {
    if (pending) out += "stroke\r\nnewpath\r\n";
    pending = false;
    colour_line(out, c);
  };
  PlotRecord r;
  while (data && next_record(data, size, position, r)) {
    switch (r.opcode) {
      case OP_LINE:
        line(out, "%d %d moveto\r\n%d %d lineto\r\n", r.x[0], r.y[0], r.x[1], r.y[1]);
        pending = true;
        break;
      case OP_RECT:
      case OP_FILLED_RECT:
        // The procedures stroke the lines before them.
        line(out, "%d %d %d %d %c\r\n", r.x[0], r.y[0], r.x[1] - r.x[0], r.y[1] - r.y[0],
             r.opcode == OP_RECT ? 'R' : 'F');
        pending = false;
        break;
      case OP_RGB:
      case OP_RGB_GREY:
        // Recorded as red, blue, green.
        set_colour(rule_eps({r.values[0], r.values[2], r.values[1]}, r.opcode, r.values[3], colour));
        break;
      case OP_INDEXED: set_colour(colour ? standard_colour(r.values[1]) : grey(255 - r.values[3])); break;
      case OP_POLYGON:
        if (r.count >= 4) {
          line(out, "%d %d %d %d %d %d %d %d Q\r\n", r.x[0], r.y[0], r.x[1], r.y[1], r.x[2], r.y[2], r.x[3], r.y[3]);
          pending = false;
        }
        break;
      default: break;
    }
    if ((r.opcode == OP_LINE || r.opcode == OP_RECT || r.opcode == OP_FILLED_RECT) && ++drawn % 50 == 0) {
      out += "stroke\r\nnewpath\r\n";
      pending = false;
    }
  }
  out += "stroke\r\nshowpage\r\n%% END-OF-FILE\r\n";
  return out;
}

std::vector<std::uint8_t> eps_file(const std::string& postscript, const std::vector<std::uint8_t>& tiff) {
  const auto ps_length = static_cast<std::uint32_t>(postscript.size());
  ByteWriter w;
  w.bytes().reserve(EPS_HEADER_BYTES + postscript.size() + tiff.size());
  w.append(reinterpret_cast<const std::uint8_t*>("\xC5\xD0\xD3\xC6"), 4);
  w.u32(EPS_HEADER_BYTES);  // PostScript start
  w.u32(ps_length);         // PostScript length
  w.u32(0);                 // no metafile
  w.u32(0);
  w.u32(EPS_HEADER_BYTES + ps_length);  // TIFF start
  w.u32(static_cast<std::uint32_t>(tiff.size()));
  w.u16(0xFFFF);  // no checksum
  w.text(postscript);
  w.append(tiff.data(), tiff.size());
  return std::move(w.bytes());
}

std::vector<std::uint8_t> picture_eps() {
  const PlotBuffer& b = plot_buffer();
  const Settings& s = settings();
  return eps_file(eps_postscript(b.block.data(), b.used, s.PenWidthEPS, s.ColorWindow != 0), picture_tiff());
}

void WRITE_EPS() {
  OutputState& o = output_state();
  const auto chosen = SAVE_FILE_DIALOG({"EPS Files (*.EPS)", "*.eps"}, "eps", "", o.eps_name);
  if (!chosen) return;
  o.eps_name = *chosen;
  int error = 0;
  {
    BusyCursor busy;
    const std::vector<std::uint8_t> bytes = picture_eps();
    error = common::replace_file(*chosen, bytes.data(), bytes.size());
  }
  if (error != 0) show_write_failure("Unable to write the EPS file", error);
}

}  // namespace kesto::shell
