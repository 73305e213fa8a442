// The EPS writer: the DOS EPS header, the prologue, and the translation of
// each plot record into PostScript, checked byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/output/eps_writer.h"
#include "support/external_tool.h"

namespace kesto::shell {
namespace {

using testing::hex;

const std::string kPrologue =
    "%!PS-Adobe-2.0 EPSF-1.2\r\n%%BoundingBox: 0 0 469 335\r\n0.134 0.134 scale\r\n1750 1250 translate\r\n"
    "/M {moveto} def\r\n/L {lineto} def\r\n/C {setrgbcolor} def\r\n/H {sethsbcolor} def\r\n/W {setlinewidth} def\r\n"
    "/R % Rectangle routine\r\n % Called as:  X1 Y1 DX DY R\r\n {  /DY exch def\r\n    /DX exch def\r\n"
    "    /Y1 exch def\r\n    /X1 exch def\r\n    stroke\r\n    newpath\r\n    X1 Y1 moveto\r\n    0 DY rlineto\r\n"
    "    DX 0 rlineto\r\n    0 DY neg rlineto\r\n    closepath\r\n    stroke\r\n    newpath }\r\n def\r\n"
    "/F % Filled rectangle routine\r\n % Called as:  X1 Y1 DX DY F\r\n {  /DY exch def\r\n    /DX exch def\r\n"
    "    /Y1 exch def\r\n    /X1 exch def\r\n    stroke\r\n    newpath\r\n    X1 Y1 moveto\r\n    0 DY rlineto\r\n"
    "    DX 0 rlineto\r\n    0 DY neg rlineto\r\n    closepath\r\n    fill\r\n    newpath }\r\n def\r\n"
    "/Q % Filled quadrilateral routine\r\n % Called as: X1 Y1 X2 Y2 X3 Y3 X4 Y4 Q\r\n {  /Y4 exch def\r\n"
    "    /X4 exch def\r\n    /Y3 exch def\r\n    /X3 exch def\r\n    /Y2 exch def\r\n    /X2 exch def\r\n"
    "    /Y1 exch def\r\n    /X1 exch def\r\n    stroke\r\n    newpath\r\n    X1 Y1 moveto\r\n    X2 Y2 lineto\r\n"
    "    X3 Y3 lineto\r\n    X4 Y4 lineto\r\n    closepath\r\n    fill\r\n    newpath }\r\n def\r\n";
const std::string kClosing = "stroke\r\nshowpage\r\n%% END-OF-FILE\r\n";

// The lines written for the records, between the cap/join lines and the closing lines.
std::string body(const std::vector<std::uint8_t>& records, bool colour = true) {
  const std::string ps = eps_postscript(records.data(), records.size(), 2, colour);
  const std::string head = kPrologue + "2 W\r\n1 setlinecap\r\n2 setlinejoin\r\n";
  EXPECT_EQ(ps.substr(0, head.size()), head);
  EXPECT_EQ(ps.substr(ps.size() - kClosing.size()), kClosing);
  return ps.substr(head.size(), ps.size() - head.size() - kClosing.size());
}

TEST(EpsWriter, EmptyPictureIsPrologueWidthCapJoinAndClosing) {
  EXPECT_EQ(eps_postscript(nullptr, 0, 3, true), kPrologue + "3 W\r\n1 setlinecap\r\n2 setlinejoin\r\n" + kClosing);
}

TEST(EpsWriter, HeaderGivesTheLengthsAndOffsetsOfBothParts) {
  const std::vector<std::uint8_t> file = eps_file("abc", {9, 8, 7, 6, 5});
  EXPECT_EQ(file, hex("C5 D0 D3 C6  1E 00 00 00  03 00 00 00  00 00 00 00  00 00 00 00"
                      "  21 00 00 00  05 00 00 00  FF FF  61 62 63  09 08 07 06 05"));
}

TEST(EpsWriter, EachRecordBecomesItsLines) {
  struct Case {
    const char* what;
    const char* record;
    bool colour;
    std::string lines;
  };
  const Case cases[] = {
      {"line", "03 2A F9 1E FB D6 06 E2 04", true, "-1750 -1250 moveto\r\n1750 1250 lineto\r\n"},
      {"rectangle", "04 9C FF C8 00 2C 01 70 FE", true, "-100 200 400 -600 R\r\n"},
      {"filled rectangle, insets unused", "05 9C FF C8 00 2C 01 70 FE 0A", true, "-100 200 400 -600 F\r\n"},
      {"quadrilateral", "0C 04 01 00 02 00 03 00 04 00 05 00 06 00 07 00 F8 FF", true, "1 2 3 4 5 6 7 -8 Q\r\n"},
      {"colour kept", "08 FF 00 80", true, "1.000000 0.501961 0.000000 C\r\n"},
      {"colour as grey 200", "08 FF 00 80", false, "0.784314 0.784314 0.784314 C\r\n"},
      {"black becomes white", "08 00 00 00", true, "1.000000 1.000000 1.000000 C\r\n"},
      {"white becomes black", "08 FC FC FC", false, "0.000000 0.000000 0.000000 C\r\n"},
      {"fractions to six decimals", "08 50 B6 83", true, "0.313725 0.513725 0.713725 C\r\n"},
      {"grey level inverted", "09 10 20 30 64", false, "0.607843 0.607843 0.607843 C\r\n"},
      {"grey record in colour", "09 10 20 30 64", true, "0.062745 0.188235 0.125490 C\r\n"},
      {"indexed: colour on white", "0B 01 09 10 37", true, "1.000000 0.498039 0.000000 C\r\n"},
      {"indexed: darkness on white", "0B 01 09 10 37", false, "0.784314 0.784314 0.784314 C\r\n"},
      {"short polygon left out", "0C 02 01 00 02 00 03 00 04 00", true, ""},
      {"not an opcode skipped", "07 01", true, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(body(hex(c.record), c.colour), c.lines) << c.what;
}

TEST(EpsWriter, LinesAreStrokedBeforeTheColourChanges) {
  // A colour set after lines applies to them only once they are stroked.
  EXPECT_EQ(body(hex("08 FF 00 00  03 00 00 00 00 0A 00 0A 00  08 00 FF 00  08 00 00 FF")),
            "1.000000 0.000000 0.000000 C\r\n0 0 moveto\r\n10 10 lineto\r\n"
            "stroke\r\nnewpath\r\n0.000000 0.000000 1.000000 C\r\n0.000000 1.000000 0.000000 C\r\n");
}

TEST(EpsWriter, StrokeAndNewpathAfterEvery50thLineOrRectangle) {
  const std::vector<std::uint8_t> line = hex("03 01 00 02 00 03 00 04 00");
  const std::vector<std::uint8_t> rect = hex("05 01 00 02 00 03 00 04 00 00");
  const std::string drawn_line = "1 2 moveto\r\n3 4 lineto\r\n", drawn_rect = "1 2 2 2 F\r\n";
  const std::string stroke = "stroke\r\nnewpath\r\n";
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  std::vector<std::uint8_t> fifty;
  for (int i = 0; i < 50; ++i) fifty.insert(fifty.end(), line.begin(), line.end());
  EXPECT_EQ(body(fifty), repeat(drawn_line, 50) + stroke);
  std::vector<std::uint8_t> fifty_one = fifty;
  fifty_one.insert(fifty_one.end(), line.begin(), line.end());
  EXPECT_EQ(body(fifty_one), repeat(drawn_line, 50) + stroke + drawn_line);

  // 49 filled rectangles, colours (not counted), then the 50th and 51st.
  std::vector<std::uint8_t> mixed;
  for (int i = 0; i < 49; ++i) mixed.insert(mixed.end(), rect.begin(), rect.end());
  for (const char* colour : {"08 FF 00 00", "0B 01 01 00 00"}) {
    const std::vector<std::uint8_t> c = hex(colour);
    mixed.insert(mixed.end(), c.begin(), c.end());
  }
  mixed.insert(mixed.end(), rect.begin(), rect.end());
  mixed.insert(mixed.end(), rect.begin(), rect.end());
  EXPECT_EQ(body(mixed), repeat(drawn_rect, 49) + "1.000000 0.000000 0.000000 C\r\n1.000000 0.000000 0.000000 C\r\n" +
                             drawn_rect + stroke + drawn_rect);
}

}  // namespace
}  // namespace kesto::shell
