// The PCX screen dump: run-length encoding of a row, the header layout, the
// palette chosen by the last realised palette number, the free file name,
// and a file that netpbm's pcxtoppm reads back with the right size, the
// picture in place and the palette's colours.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "primitives_fixture.h"
#include "shell/graphics/screen_dump.h"

namespace kesto::shell {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes encoded(const Bytes& row) {
  Bytes out;
  encode_pcx_row(row.data(), static_cast<int>(row.size()), out);
  return out;
}

TEST(PcxRows, RunsOfUpTo63AndHighSingleBytesGetACount) {
  EXPECT_EQ(encoded({5, 5, 5, 7, 200, 191}), (Bytes{0xC3, 5, 7, 0xC1, 200, 191}));
  EXPECT_EQ(encoded(Bytes(64, 9)), (Bytes{0xFF, 9, 9}));
  EXPECT_EQ(encoded(Bytes(126, 250)), (Bytes{0xFF, 250, 0xFF, 250}));
  EXPECT_EQ(encoded({192, 192}), (Bytes{0xC2, 192}));
  EXPECT_EQ(encoded({}), Bytes{});
}

std::uint16_t le16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }

TEST(PcxFile, HeaderRowsAndPaletteAreLaidOutAsFixed) {
  Bytes pixels(static_cast<std::size_t>(DUMP_WIDTH * DUMP_HEIGHT), 7);
  pixels[0] = 1;
  const LogicalPalette palette = dump_palette(5);
  const Bytes file = encode_pcx(pixels, palette);
  EXPECT_EQ(file[0], 10);
  EXPECT_EQ(file[1], 5);
  EXPECT_EQ(file[2], 1);
  EXPECT_EQ(file[3], 8);
  EXPECT_EQ(le16(file, 4), 0);
  EXPECT_EQ(le16(file, 6), 0);
  EXPECT_EQ(le16(file, 8), 639);
  EXPECT_EQ(le16(file, 10), 479);
  EXPECT_EQ(le16(file, 12), 300);
  EXPECT_EQ(le16(file, 14), 300);
  for (std::size_t i = 16; i < 65; ++i) EXPECT_EQ(file[i], 0) << i;
  EXPECT_EQ(file[65], 1);
  EXPECT_EQ(le16(file, 66), 640);
  EXPECT_EQ(le16(file, 68), 1);
  EXPECT_EQ(le16(file, 70), 640);
  EXPECT_EQ(le16(file, 72), 480);
  for (std::size_t i = 74; i < 128; ++i) EXPECT_EQ(file[i], 0) << i;
  // First row: 1, then 639 sevens (ten full runs and one of nine); the rest alike without the 1.
  const Bytes first = {1, 0xFF, 7, 0xFF, 7, 0xFF, 7, 0xFF, 7, 0xFF, 7, 0xFF,
                       7, 0xFF, 7, 0xFF, 7, 0xFF, 7, 0xFF, 7, 0xC9, 7};
  EXPECT_TRUE(std::equal(first.begin(), first.end(), file.begin() + 128));
  const std::size_t rows = first.size() + 479 * 22;
  ASSERT_EQ(file.size(), 128 + rows + 1 + 768);
  EXPECT_EQ(file[128 + rows], 12);
  // Palette 2 in 6-bit steps times 4: entry 43 is red, entry 103 blue.
  const std::size_t p = 128 + rows + 1;
  EXPECT_EQ(file[p + 43 * 3], 252);
  EXPECT_EQ(file[p + 43 * 3 + 1], 0);
  EXPECT_EQ(file[p + 103 * 3 + 2], 252);
  EXPECT_EQ(file[p + 255 * 3], 0);
  EXPECT_EQ(dump_palette(3).count, 236);  // palette 1 up to number 3
}

// Reads a binary PPM written by pcxtoppm.
struct Ppm {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  Rgb at(int x, int y) const {
    const std::size_t i =
        3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x));
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

bool read_back(const std::string& pcx, Ppm& ppm) {
  // A reader that hangs fails the test in seconds.
  const std::string command = "timeout -k 5 30 pcxtoppm " + pcx + " > dump.ppm 2> pcxtoppm.err";
  if (std::system(command.c_str()) != 0) return false;
  std::ifstream in("dump.ppm", std::ios::binary);
  std::string magic;
  int maxval = 0;
  in >> magic >> ppm.width >> ppm.height >> maxval;
  in.get();
  if (magic != "P6" || maxval != 255) return false;
  ppm.rgb.resize(static_cast<std::size_t>(ppm.width * ppm.height * 3));
  in.read(reinterpret_cast<char*>(ppm.rgb.data()), static_cast<std::streamsize>(ppm.rgb.size()));
  return static_cast<bool>(in);
}

class ScreenDumpTest : public testing::DrawingTest {
 protected:
  void SetUp() override {
    remove_dumps();
    testing::reset_drawing(640, 480);
    scale_palettes();
  }
  void TearDown() override {
    remove_dumps();
    DrawingTest::TearDown();
  }
  static void remove_dumps() {
    for (const char* name : {"VAZ001.PCX", "VAZ002.PCX", "VAZ003.PCX", "dump.ppm", "pcxtoppm.err"})
      std::filesystem::remove(name);
  }
};

TEST_F(ScreenDumpTest, ThirdPartyReaderSeesTheWholeBitmapInPaletteColours) {
  ASSERT_EQ(std::system("command -v pcxtoppm > /dev/null"), 0) << "netpbm (scripts/install-deps) is needed";
  graphics_state().realised_number = 5;
  GI_SCALE_UNIPOLAR(0.0f);  // palette 2 entry 103: blue
  FILL_RECT(-100, 100, 100, -100, 1, 1, 1, 1);
  std::ofstream("VAZ001.PCX") << "taken";
  EXPECT_EQ(write_screen_dump(), "VAZ002.PCX");
  EXPECT_EQ(message_log().back().text, "D1FILE");
  Ppm ppm;
  ASSERT_TRUE(read_back("VAZ002.PCX", ppm)) << "pcxtoppm could not read the dump";
  EXPECT_EQ(ppm.width, 640);
  EXPECT_EQ(ppm.height, 480);
  // A 640 x 480 bitmap is taken whole: page (0, 0) is pixel (320, 240).
  EXPECT_EQ(ppm.at(320, 240), (Rgb{0, 0, 252}));
  EXPECT_EQ(ppm.at(0, 0), (Rgb{252, 252, 252}));  // the background is palette white
  EXPECT_EQ(ppm.at(639, 479), (Rgb{252, 252, 252}));
  int blue = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) blue += ppm.at(x, y) == Rgb{0, 0, 252};
  testing::Painted on_bitmap = testing::painted(bitmap(), qRgb(0, 0, 252));
  EXPECT_EQ(blue, on_bitmap.count);
}

TEST_F(ScreenDumpTest, OtherSizesAreScaledToFitWithTheAspectKept) {
  ASSERT_EQ(std::system("command -v pcxtoppm > /dev/null"), 0);
  testing::reset_drawing(1400, 1000);
  scale_palettes();
  settings().BlackBG = 1;
  graphics_state().realised_number = 1;
  SET_RGB(252, 0, 0);
  FILL_RECT(-1750, 1250, 1750, -1250, 0, 0, 0, 0);  // the whole page in red
  EXPECT_EQ(write_screen_dump(), "VAZ001.PCX");
  Ppm ppm;
  ASSERT_TRUE(read_back("VAZ001.PCX", ppm));
  EXPECT_EQ(ppm.width, 640);
  EXPECT_EQ(ppm.height, 480);
  // 1400 x 1000 becomes 640 x 457, rows 11 to 467; black above and below.
  EXPECT_EQ(ppm.at(320, 10), (Rgb{0, 0, 0}));
  EXPECT_EQ(ppm.at(320, 11), (Rgb{252, 0, 0}));
  EXPECT_EQ(ppm.at(0, 240), (Rgb{252, 0, 0}));
  EXPECT_EQ(ppm.at(639, 467), (Rgb{252, 0, 0}));
  EXPECT_EQ(ppm.at(320, 468), (Rgb{0, 0, 0}));
}

TEST_F(ScreenDumpTest, FileNamesCountUpAndSkipExistingOnes) {
  EXPECT_EQ(next_dump_name(), "VAZ001.PCX");
  std::ofstream("VAZ001.PCX") << "x";
  std::ofstream("VAZ002.PCX") << "x";
  EXPECT_EQ(next_dump_name(), "VAZ003.PCX");
}

}  // namespace
}  // namespace kesto::shell
