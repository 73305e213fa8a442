// The TIFF writer: the 180-byte template for colour and grey, the pixels in
// row order, and the part of the bitmap it captures.
#include <gtest/gtest.h>

#include <QImage>
#include <vector>

#include "shell/output/tiff_writer.h"
#include "support/external_tool.h"

namespace kesto::shell {
namespace {

using testing::hex;

// A 3 x 2 image: red, green, blue in the first row; grey 10, 20, 30 in the second.
QImage six_pixels() {
  QImage image(3, 2, QImage::Format_RGB32);
  const QRgb pixels[6] = {qRgb(255, 0, 0),  qRgb(0, 255, 0),  qRgb(0, 0, 255),
                          qRgb(10, 10, 10), qRgb(20, 20, 20), qRgb(30, 30, 30)};
  for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, pixels[i]);
  return image;
}

std::vector<std::uint8_t> tiff_template(const char* bits, const char* photometric, const char* samples,
                                        const char* bytes) {
  return hex(std::string("49 49 2A 00 08 00 00 00  0C 00"
                         "  00 01 03 00 01 00 00 00 03 00 00 00"
                         "  01 01 03 00 01 00 00 00 02 00 00 00  ") +
             bits + "  03 01 03 00 01 00 00 00 01 00 00 00  06 01 03 00 01 00 00 00 " + photometric +
             " 00 00 00  11 01 03 00 01 00 00 00 B4 00 00 00  15 01 03 00 01 00 00 00 " + samples +
             " 00 00 00  16 01 03 00 01 00 00 00 02 00 00 00  17 01 04 00 01 00 00 00 " + bytes +
             " 00 00 00  1A 01 05 00 01 00 00 00 9E 00 00 00  1B 01 05 00 01 00 00 00 A6 00 00 00"
             "  28 01 03 00 01 00 00 00 02 00 00 00  00 00 00 00"
             "  48 00 00 00 01 00 00 00  48 00 00 00 01 00 00 00  08 00 08 00 08 00");
}

TEST(TiffWriter, ColourTemplateThenRedGreenBluePerPixelRowsFromTheTop) {
  std::vector<std::uint8_t> expected = tiff_template("02 01 03 00 03 00 00 00 AE 00 00 00", "02", "03", "12");
  const std::vector<std::uint8_t> pixels = hex("FF 00 00 00 FF 00 00 00 FF 0A 0A 0A 14 14 14 1E 1E 1E");
  expected.insert(expected.end(), pixels.begin(), pixels.end());
  EXPECT_EQ(tiff_bytes(six_pixels(), QRect(0, 0, 3, 2), true), expected);
}

TEST(TiffWriter, GreyTemplateThenTheRedComponent) {
  std::vector<std::uint8_t> expected = tiff_template("02 01 03 00 01 00 00 00 08 00 00 00", "01", "01", "06");
  const std::vector<std::uint8_t> pixels = hex("FF 00 00 0A 14 1E");
  expected.insert(expected.end(), pixels.begin(), pixels.end());
  EXPECT_EQ(tiff_bytes(six_pixels(), QRect(0, 0, 3, 2), false), expected);
}

TEST(TiffWriter, CaptureRectangle) {
  struct Case {
    int width, height, extent, unit;
    QRect capture;
  };
  const Case cases[] = {
      {640, 480, 640, 3500, QRect(0, 0, 640, 480)},                   // the whole bitmap
      {641, 480, 641, 3500, QRect(QPoint(0, 12), QPoint(640, 468))},  // the page as shown
      {1400, 1000, 1400, 3500, QRect(0, 0, 1400, 1000)},              // ends held to the bitmap
      {700, 300, 300, 2500, QRect(QPoint(140, 0), QPoint(560, 299))},
  };
  for (const Case& c : cases)
    EXPECT_EQ(tiff_capture_rect(c.width, c.height, c.extent, c.unit), c.capture) << c.width << " x " << c.height;
}

TEST(TiffWriter, ReadByTiffinfo) {
  QImage image(641, 480, QImage::Format_RGB32);
  image.fill(qRgb(0, 128, 255));
  testing::write_bytes("picture.tif", tiff_bytes(image, tiff_capture_rect(641, 480, 641, 3500), true));
  const testing::ToolRun r = testing::run_tool("tiffinfo picture.tif");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("Image Width: 641 Image Length: 457"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Photometric Interpretation: RGB color"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("Warning"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace kesto::shell
