// Page units to window pixels and back: the fit that keeps the aspect, the
// rounding of halves away from zero, the remembered last pair, and points
// far outside the page.
#include <gtest/gtest.h>

#include "shell/window/page_mapping.h"
#include "shell/drawing/primitives.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

class PageMappingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_state() = WindowState{};
    page_mapping() = PageMapping{};
    draw_targets() = DrawTargets{};
  }
  void bitmap(int w, int h) {
    window_state().bitmap_width = static_cast<std::int16_t>(w);
    window_state().bitmap_height = static_cast<std::int16_t>(h);
    update_page_mapping();
  }
  static std::pair<int, int> to_device(int x, int y) {
    std::int16_t px = 0, py = 0;
    TO_DEVICE(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), px, py);
    return {px, py};
  }
  static std::pair<int, int> from_device(int px, int py) {
    std::int16_t x = 0, y = 0;
    FROM_DEVICE(static_cast<std::int16_t>(px), static_cast<std::int16_t>(py), x, y);
    return {x, y};
  }
};

TEST(RoundDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(round_div(5, 2), 3);
  EXPECT_EQ(round_div(-5, 2), -3);
  EXPECT_EQ(round_div(4, 3), 1);
  EXPECT_EQ(round_div(-4, 3), -1);
  EXPECT_EQ(round_div(7, 4), 2);  // 1.75
  EXPECT_EQ(round_div(-7, 4), -2);
  EXPECT_EQ(round_div(0, 9), 0);
  EXPECT_EQ(round_div(5, -2), -3);
}

TEST_F(PageMappingTest, FitsTheLimitingSideOfTheBitmap) {
  bitmap(700, 500);  // exactly the page's aspect: the width decides
  EXPECT_EQ(page_mapping().extent, 700);
  EXPECT_EQ(page_mapping().unit, 3500);
  bitmap(1400, 500);  // wide: the height decides
  EXPECT_EQ(page_mapping().extent, 500);
  EXPECT_EQ(page_mapping().unit, 2500);
  bitmap(640, 900);  // tall: the width decides
  EXPECT_EQ(page_mapping().extent, 640);
  EXPECT_EQ(page_mapping().unit, 3500);
}

TEST_F(PageMappingTest, PageCornersAndCentreLandOnTheBitmap) {
  bitmap(700, 500);
  EXPECT_EQ(to_device(0, 0), std::make_pair(350, 250));
  EXPECT_EQ(to_device(-1750, 1250), std::make_pair(0, 0));
  EXPECT_EQ(to_device(1750, -1250), std::make_pair(700, 500));
  bitmap(1401, 500);  // odd width: integer half, page centred
  EXPECT_EQ(to_device(0, 0), std::make_pair(700, 250));
  EXPECT_EQ(to_device(-1250, 0), std::make_pair(700 - 250, 250));
}

TEST_F(PageMappingTest, ForwardRoundingOfHalves) {
  bitmap(640, 452);  // height decides: 452 pixels for 2500 units
  // 1 unit = 0.1808 px; 2.77 units ~ 0.5 px. x = 3: 0.5424 -> 1; x = -3 -> -1.
  EXPECT_EQ(to_device(3, 0).first, 320 + 1);
  EXPECT_EQ(to_device(-3, 0).first, 320 - 1);
  EXPECT_EQ(to_device(2, 0).first, 320);
  EXPECT_EQ(to_device(0, 3).second, 226 - 1);
  EXPECT_EQ(to_device(0, -3).second, 226 + 1);
}

TEST_F(PageMappingTest, BackwardMapsPixelsToTheNearestPagePoint) {
  bitmap(700, 500);  // 5 units per pixel
  EXPECT_EQ(from_device(351, 249), std::make_pair(5, 5));
  EXPECT_EQ(from_device(0, 500), std::make_pair(-1750, -1250));
  bitmap(640, 452);                                        // 2500 / 452 = 5.53 units per pixel
  EXPECT_EQ(from_device(321, 226), std::make_pair(6, 0));  // 5.53 -> 6
  EXPECT_EQ(from_device(319, 226), std::make_pair(-6, 0));
}

TEST_F(PageMappingTest, LastForwardPairReadsBackExactly) {
  bitmap(640, 452);
  // Several page points share a pixel; the one placed last reads back.
  const auto p = to_device(1001, -333);
  EXPECT_EQ(from_device(p.first, p.second), std::make_pair(1001, -333));
  // Without the remembered pair the same pixel gives the nearest point.
  const auto q = to_device(1002, -334);
  EXPECT_EQ(q, p);
  EXPECT_EQ(from_device(q.first, q.second), std::make_pair(1002, -334));
  // Another pixel is computed.
  const auto other = from_device(p.first + 1, p.second);
  EXPECT_NE(other.first, 1002);
}

TEST_F(PageMappingTest, ResizeForgetsTheRememberedPair) {
  bitmap(640, 452);
  const auto p = to_device(1001, -333);
  bitmap(1280, 904);
  const auto back = from_device(p.first, p.second);
  EXPECT_NE(back, std::make_pair(1001, -333));
}

TEST_F(PageMappingTest, RoundTripIsWithinHalfAPixel) {
  bitmap(1400, 1000);  // 2.5 units per pixel
  for (int x = -1750; x <= 1750; x += 37)
    for (int y = -1250; y <= 1250; y += 41) {
      const auto p = to_device(x, y);
      page_mapping().have_last = false;
      const auto back = from_device(p.first, p.second);
      EXPECT_LE(std::abs(back.first - x), 2) << x << "," << y;
      EXPECT_LE(std::abs(back.second - y), 2) << x << "," << y;
    }
}

TEST_F(PageMappingTest, PointsFarOutsideThePageClampInsteadOfWrapping) {
  bitmap(1400, 1000);
  const auto right = to_device(32767, -32768);
  EXPECT_EQ(right.first, 700 + 13107);
  EXPECT_EQ(right.second, 500 + 13107);
  bitmap(32000, 30000);  // a huge bitmap: pixels beyond 16 bits hold at the end
  EXPECT_EQ(to_device(32767, 0).first, 32767);
  EXPECT_EQ(to_device(-32768, 0).first, -32768);
  bitmap(1400, 1000);
  EXPECT_EQ(from_device(-32768, 0).first, -32768);  // (-32768 - 700) x 2.5 is beyond 16 bits
  EXPECT_EQ(from_device(0, -32768).second, 32767);
}

TEST_F(PageMappingTest, OutputDeviceMapping) {
  draw_targets().device = true;
  device_mapping() = DeviceMapping{};  // metafile: 3500 x 2500 from the top left
  EXPECT_EQ(to_device(1750, 1250), std::make_pair(3500, 0));
  EXPECT_EQ(to_device(-1750, -1250), std::make_pair(0, 2500));
  device_mapping() = DeviceMapping{3900, 2785, 1000, 800, true};
  // Landscape: the page centre prints at (cy, cx).
  EXPECT_EQ(to_device(0, 0), std::make_pair(800, 1000));
  // The device mapping does not disturb the window's remembered pair.
  EXPECT_FALSE(page_mapping().have_last);
}

}  // namespace
}  // namespace kesto::shell
