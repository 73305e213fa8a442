// The metafile writers: the Windows metafile's headers and records, the
// enhanced metafile's header and records, pen and brush objects made only
// when the colour changes, the replay through the metafile mapping, and
// third-party converters reading both back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "primitives_fixture.h"
#include "shell/output/emf_writer.h"
#include "shell/output/wmf_writer.h"
#include "support/external_tool.h"

namespace kesto::shell {
namespace {

using testing::hex;

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255);

// The records of a Windows metafile after its headers and three opening
// records, as (function, first parameter) pairs.
std::vector<std::pair<int, int>> wmf_records(const std::vector<std::uint8_t>& file) {
  std::vector<std::pair<int, int>> out;
  for (std::size_t at = 22 + 18 + 8 + 10 + 10; at + 6 <= file.size();) {
    const std::size_t words = file[at] | file[at + 1] << 8 | file[at + 2] << 16;
    const int function = file[at + 4] | file[at + 5] << 8;
    out.emplace_back(function, at + 8 <= file.size() ? file[at + 6] | file[at + 7] << 8 : -1);
    if (words < 3) break;
    at += 2 * words;
  }
  return out;
}

TEST(WmfWriter, EmptyPictureIsBothHeadersTheWindowAndEndOfFile) {
  EXPECT_EQ(WmfDevice().file(), hex("D7 CD C6 9A 00 00  00 00 00 00 AC 0D C4 09  1A 02  00 00 00 00  63 51"
                                    "  01 00 09 00 00 03  1A 00 00 00  00 00  05 00 00 00  00 00"
                                    "  04 00 00 00 03 01 08 00"
                                    "  05 00 00 00 0B 02 00 00 00 00"
                                    "  05 00 00 00 0C 02 C4 09 AC 0D"
                                    "  03 00 00 00 00 00"));
}

TEST(WmfWriter, FilledRectangleMakesPenAndBrushOfItsColour) {
  WmfDevice device;
  device.fill(QRect(QPoint(10, 20), QPoint(30, 40)), kRed);
  const std::vector<std::uint8_t> file = device.file();
  const std::vector<std::uint8_t> records(file.begin() + 22 + 18 + 28, file.end() - 6);
  EXPECT_EQ(records, hex("08 00 00 00 FA 02  00 00  01 00 00 00  FF 00 00 00"  // solid pen, width 1
                         "  04 00 00 00 2D 01 00 00"                           // selected, slot 0
                         "  07 00 00 00 FC 02  00 00  FF 00 00 00  00 00"      // solid brush
                         "  04 00 00 00 2D 01 01 00"                           // selected, slot 1
                         "  07 00 00 00 1B 04  29 00 1F 00 14 00 0A 00"));     // bottom, right, top, left
  EXPECT_EQ(file[22 + 10], 2);                                                 // objects held at once
  EXPECT_EQ(file[22 + 12], 8);                                                 // the largest record, in words
}

TEST(WmfWriter, PensAreMadeOnlyForNewColoursAndTheirSlotsReused) {
  WmfDevice device;
  device.line({0, 0}, {5, 0}, kRed, 2);
  device.line({5, 0}, {5, 5}, kRed, 2);  // same pen, continues where the last ended
  device.line({0, 9}, {1, 9}, kGreen, 2);
  device.line({0, 8}, {1, 8}, kBlue, 2);
  device.outline(QRect(0, 0, 4, 4), kBlue, 2);
  const std::vector<std::pair<int, int>> expected = {
      {0x02FA, 0}, {0x012D, 0}, {0x0214, 0}, {0x0213, 0}, {0x0213, 5},  // red pen in slot 0
      {0x02FA, 0}, {0x012D, 1}, {0x01F0, 0}, {0x0214, 9}, {0x0213, 9},  // green in 1, red deleted
      {0x02FA, 0}, {0x012D, 0}, {0x01F0, 1}, {0x0214, 8}, {0x0213, 8},  // blue in 0 again
      {0x02FC, 1}, {0x012D, 1}, {0x041B, 4}, {0x0000, -1}};             // hollow brush
  EXPECT_EQ(wmf_records(device.file()), expected);
}

TEST(EmfWriter, EmptyPictureHeaderAndEndOfFile) {
  auto le32 = [](std::initializer_list<std::int64_t> values) {
    std::vector<std::uint8_t> out;
    for (std::int64_t v : values)
      for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF));
    return out;
  };
  std::vector<std::uint8_t> expected = le32({1, 124, 0, 0, -1, -1, 0, 0, 92410, 66170, 0x464D4520, 0x10000, 144, 2});
  for (std::uint8_t b : hex("01 00 00 00")) expected.push_back(b);  // one handle, reserved
  for (std::uint8_t b : le32({8, 108, 0, 3500, 2500, 924, 662, 0, 0, 0, 924100, 661700})) expected.push_back(b);
  for (std::uint8_t b : hex("56 00 45 00 52 00 55 00 44 00 4F 00 00 00 00 00")) expected.push_back(b);  // "VERUDO"
  for (std::uint8_t b : le32({14, 20, 0, 16, 20})) expected.push_back(b);
  EXPECT_EQ(EmfDevice().file(), expected);
}

TEST(EmfWriter, RecordsAndTheBoundsOfWhatIsDrawn) {
  EmfDevice device;
  device.fill(QRect(QPoint(10, 20), QPoint(30, 40)), kRed);
  device.polygon(QPolygon({QPoint(5, 50), QPoint(60, 50), QPoint(60, 45), QPoint(5, 45)}), kRed);
  const std::vector<std::uint8_t> file = device.file();
  const std::vector<std::uint8_t> records(file.begin() + 124, file.end() - 20);
  EXPECT_EQ(records, hex("26 00 00 00 1C 00 00 00 01 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 FF 00 00 00"
                         " 25 00 00 00 0C 00 00 00 01 00 00 00"
                         " 27 00 00 00 18 00 00 00 02 00 00 00 00 00 00 00 FF 00 00 00 00 00 00 00"
                         " 25 00 00 00 0C 00 00 00 02 00 00 00"
                         " 2B 00 00 00 18 00 00 00 0A 00 00 00 14 00 00 00 1E 00 00 00 28 00 00 00"
                         " 56 00 00 00 2C 00 00 00 05 00 00 00 2D 00 00 00 3C 00 00 00 32 00 00 00"
                         " 04 00 00 00 05 00 32 00 3C 00 32 00 3C 00 2D 00 05 00 2D 00"));
  // Bounds (5, 20)-(60, 50); 8 records in all; handles: the file and two objects.
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 8, file.begin() + 24),
            hex("05 00 00 00 14 00 00 00 3C 00 00 00 32 00 00 00"));
  EXPECT_EQ(file[52], 8);
  EXPECT_EQ(file[56], 3);
  EXPECT_EQ(file[48] | file[49] << 8, static_cast<int>(file.size()));
}

TEST(EmfWriter, ProposedNameIsTheDataFileStemWithEmf) {
  EXPECT_EQ(proposed_emf_name("demo.txt"), "demo.emf");
  EXPECT_EQ(proposed_emf_name("a.b.c"), "a.emf");
  EXPECT_EQ(proposed_emf_name("noext"), "noext.emf");
  EXPECT_EQ(proposed_emf_name(""), ".emf");
}

// A small picture in the plot buffer: a red quarter of the page, a blue
// square, a recorded white line (black on paper).
class MetafilePicture : public testing::DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    SET_RGB(255, 0, 0);
    FILL_RECT(-1750, 1250, 0, 0, 0, 0, 0, 0);
    SET_RGB(0, 0, 255);
    const std::int16_t x[4] = {100, 600, 600, 100}, y[4] = {-100, -100, -600, -600};
    FILL_POLYGON(x, y, 4);
    SET_RGB(255, 255, 255);
    DRAW_LINE(-1750, -1250, 1750, 1250);
  }
};

TEST_F(MetafilePicture, ReplayMapsThePageOntoTheMetafileAndDrawsBlackForWhite) {
  const std::vector<std::uint8_t> wmf = picture_wmf();
  // The quarter (-1750, 1250)-(0, 0) lands on (0, 0)-(1750, 1250), with the
  // extra column and row at the top left, as on the window.
  const std::vector<std::uint8_t> rect = hex("07 00 00 00 1B 04 E3 04 D7 06 FF FF FF FF");
  EXPECT_NE(std::search(wmf.begin(), wmf.end(), rect.begin(), rect.end()), wmf.end());
  const std::vector<std::uint8_t> black_pen = hex("08 00 00 00 FA 02 00 00 01 00 00 00 00 00 00 00");
  EXPECT_NE(std::search(wmf.begin(), wmf.end(), black_pen.begin(), black_pen.end()), wmf.end());
  const std::vector<std::uint8_t> line_end = hex("05 00 00 00 13 02 00 00 AC 0D");  // to (3500, 0)
  EXPECT_NE(std::search(wmf.begin(), wmf.end(), line_end.begin(), line_end.end()), wmf.end());
  EXPECT_TRUE(draw_targets().window);  // drawing is back on the window
  EXPECT_FALSE(draw_targets().device);
}

TEST_F(MetafilePicture, ConvertersReadBothMetafiles) {
  testing::write_bytes("picture.wmf", picture_wmf());
  testing::ToolRun r = testing::run_tool("wmf2svg -o wmf.svg picture.wmf");
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string wmf_svg = testing::file_text("wmf.svg");
  EXPECT_EQ(testing::occurrences(wmf_svg, "fill:red"), 1) << wmf_svg;
  EXPECT_EQ(testing::occurrences(wmf_svg, "fill:blue"), 1) << wmf_svg;
  EXPECT_EQ(testing::occurrences(wmf_svg, "<line"), 1) << wmf_svg;

  testing::write_bytes("picture.emf", picture_emf());
  r = testing::run_tool("emf2svg-conv -i picture.emf -o emf.svg");
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string emf_svg = testing::file_text("emf.svg");
  EXPECT_EQ(testing::occurrences(emf_svg, "fill=\"#FF0000\""), 1) << emf_svg;
  EXPECT_EQ(testing::occurrences(emf_svg, "fill=\"#0000FF\""), 1) << emf_svg;
  EXPECT_EQ(testing::occurrences(emf_svg, "stroke=\"#000000\""), 1) << emf_svg;
}

}  // namespace
}  // namespace kesto::shell
