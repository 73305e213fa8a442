// Drawing primitives on the window surface, the backing bitmap and an
// output device: the pixel rules of each primitive, the colour rules as the
// window and paper show them, transient drawing and the replay of the plot
// buffer. Images are 350 x 250, so page (x, y) is pixel (175 + x/10, 125 - y/10).
#include <gtest/gtest.h>

#include <QPainter>

#include "primitives_fixture.h"
#include "shell/drawing/output_device.h"

namespace kesto::shell {
namespace {

using testing::painted;
using testing::pixel;

constexpr QRgb kRed = 0xFF0000, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0x000000, kGrey = 0x808080;

QRect pixels(int x1, int y1, int x2, int y2) { return QRect(QPoint(x1, y1), QPoint(x2, y2)); }

class PrimitivesTest : public testing::DrawingTest {};

TEST_F(PrimitivesTest, FilledRectangleIsLargerOnTheBitmapThanOnTheWindow) {
  SET_RGB(255, 0, 0);
  FILL_RECT(-100, 100, 100, -100, 0, 0, 0, 0);  // pixels 165..185 x 115..135
  EXPECT_EQ(painted(window(), kRed).bounds, pixels(164, 114, 185, 135));
  EXPECT_EQ(painted(window(), kRed).count, 22 * 22);
  EXPECT_EQ(painted(bitmap(), kRed).bounds, pixels(164, 114, 186, 136));
  EXPECT_EQ(painted(bitmap(), kRed).count, 23 * 23);
}

TEST_F(PrimitivesTest, InsetsMoveEachSideInByOnePixel) {
  SET_RGB(255, 0, 0);
  FILL_RECT(-100, 100, 100, -100, 1, 1, 1, 1);
  EXPECT_EQ(painted(window(), kRed).bounds, pixels(165, 115, 184, 134));
  EXPECT_EQ(painted(bitmap(), kRed).bounds, pixels(165, 115, 185, 135));
  testing::reset_drawing();
  SET_RGB(255, 0, 0);
  FILL_RECT(-100, 100, 100, -100, 1, 0, 0, 1);  // left and bottom only
  EXPECT_EQ(painted(window(), kRed).bounds, pixels(165, 114, 185, 134));
}

TEST_F(PrimitivesTest, WithoutTheWindowEachTargetGetsTheInclusiveRectangle) {
  SET_RGB(255, 0, 0);
  draw_targets().window = false;
  FILL_RECT(-100, 100, 100, -100, 0, 0, 0, 0);
  EXPECT_EQ(painted(bitmap(), kRed).bounds, pixels(165, 115, 185, 135));
  EXPECT_EQ(painted(bitmap(), kRed).count, 21 * 21);
  EXPECT_EQ(painted(window(), kRed).count, 0);
}

TEST_F(PrimitivesTest, RectangleOutlineRunsThroughBothCorners) {
  SET_RGB(0, 0, 255);
  DRAW_RECT(-100, 100, 100, -100);
  for (QImage* image : {&window(), &bitmap()}) {
    EXPECT_EQ(painted(*image, kBlue).bounds, pixels(165, 115, 185, 135));
    EXPECT_EQ(painted(*image, kBlue).count, 2 * 21 + 2 * 19);
    EXPECT_EQ(pixel(*image, 175, 125), kWhite);  // hollow
  }
}

TEST_F(PrimitivesTest, LineLeavesOutItsEndPixel) {
  SET_RGB(0, 0, 255);
  DRAW_LINE(-100, 0, 100, 0);
  EXPECT_EQ(painted(window(), kBlue).bounds, pixels(165, 125, 184, 125));
  EXPECT_EQ(painted(bitmap(), kBlue).bounds, pixels(165, 125, 184, 125));
  testing::reset_drawing();
  SET_RGB(0, 0, 255);
  DRAW_LINE(0, -100, 0, 100);  // upwards: ends at row 115, which stays empty
  EXPECT_EQ(painted(window(), kBlue).bounds, pixels(175, 116, 175, 135));
  testing::reset_drawing();
  SET_RGB(0, 0, 255);
  DRAW_LINE(100, 50, -100, 0);  // backwards and slanted: (185, 120) to (165, 125)
  EXPECT_EQ(painted(window(), kBlue).count, 20);
  EXPECT_EQ(pixel(window(), 185, 120), kBlue);
  EXPECT_EQ(pixel(window(), 165, 125), kWhite);
  EXPECT_EQ(painted(window(), kBlue).bounds, pixels(166, 120, 185, 125));
  testing::reset_drawing();
  SET_RGB(0, 0, 255);
  DRAW_LINE(0, 0, 0, 0);
  EXPECT_EQ(painted(window(), kBlue).count, 0);
}

TEST_F(PrimitivesTest, WiderPenDrawsWiderLines) {
  colour_state().pen_width = 3;
  SET_RGB(0, 0, 255);
  DRAW_LINE(-100, 0, 100, 0);
  const QRect bounds = painted(window(), kBlue).bounds;
  EXPECT_EQ(bounds.top(), 124);
  EXPECT_EQ(bounds.bottom(), 126);
}

TEST_F(PrimitivesTest, PolygonIsFilledWithItsBorder) {
  SET_RGB(255, 0, 0);
  const std::int16_t x[4] = {-100, 100, 100, -100}, y[4] = {100, 100, -100, -100};
  FILL_POLYGON(x, y, 4);
  EXPECT_EQ(painted(window(), kRed).bounds, pixels(165, 115, 185, 135));
  EXPECT_EQ(painted(window(), kRed).count, 21 * 21);
  EXPECT_EQ(painted(bitmap(), kRed).count, 21 * 21);
}

TEST_F(PrimitivesTest, PixelGoesToTheWindowOnlyAndIsNotRecorded) {
  SET_RGB(255, 0, 0);
  const std::size_t before = plot_buffer().used;
  PLOT_PIXEL(0, 0);
  EXPECT_EQ(pixel(window(), 175, 125), kRed);
  EXPECT_EQ(painted(window(), kRed).count, 1);
  EXPECT_EQ(painted(bitmap(), kRed).count, 0);
  EXPECT_EQ(plot_buffer().used, before);
}

TEST_F(PrimitivesTest, ClearPictureFillsBothImagesWithTheBackground) {
  SET_RGB(255, 0, 0);
  FILL_RECT(-100, 100, 100, -100, 0, 0, 0, 0);
  settings().BlackBG = 1;
  CLEAR_PICTURE();
  EXPECT_EQ(painted(window(), kBlack).count, 350 * 250);
  EXPECT_EQ(painted(bitmap(), kBlack).count, 350 * 250);
}

TEST_F(PrimitivesTest, CoordinatesFarOutsideThePageDoNotCrash) {
  SET_RGB(255, 0, 0);
  FILL_RECT(-32768, 32767, 32767, -32768, 0, 0, 0, 0);
  EXPECT_EQ(painted(window(), kRed).count, 350 * 250);
  DRAW_LINE(-32768, -32768, 32767, 32767);
  DRAW_RECT(32767, -32768, -32768, 32767);
  const std::int16_t x[4] = {-32768, 32767, 32767, -32768}, y[4] = {32767, 32767, -32768, -32768};
  FILL_POLYGON(x, y, 4);
  PLOT_PIXEL(32767, 32767);
  EXPECT_EQ(plot_buffer().used, 4u + 10u + 9u + 9u + 18u);
}

// The colour a SET_RGB / SET_RGB_GREY shows on the window, read from a filled pixel.
QRgb shown(std::initializer_list<int> colour, bool black_background, bool colour_window) {
  testing::reset_drawing();
  settings().BlackBG = black_background ? 1 : 0;
  settings().ColorWindow = colour_window ? 1 : 0;
  const std::vector<int> c(colour);
  if (c.size() == 3)
    SET_RGB(static_cast<std::int16_t>(c[0]), static_cast<std::int16_t>(c[1]), static_cast<std::int16_t>(c[2]));
  else
    SET_RGB_GREY(static_cast<std::int16_t>(c[0]), static_cast<std::int16_t>(c[1]), static_cast<std::int16_t>(c[2]),
                 static_cast<std::int16_t>(c[3]));
  FILL_RECT(0, 0, 0, 0, 0, 0, 0, 0);
  return pixel(surfaces().window, 175, 125);
}

TEST(ColourRulesOnTheWindow, BlackAndWhiteFollowTheBackground) {
  EXPECT_EQ(shown({255, 255, 255}, false, true), kBlack);
  EXPECT_EQ(shown({252, 252, 252}, false, true), kBlack);  // white in 6-bit steps
  EXPECT_EQ(shown({0, 0, 0}, false, true), kWhite);
  EXPECT_EQ(shown({255, 255, 255}, true, true), kWhite);
  EXPECT_EQ(shown({0, 0, 0}, true, true), kBlack);
  EXPECT_EQ(shown({251, 252, 252}, false, true), 0xFBFCFCu);  // not quite white: kept
  EXPECT_EQ(shown({255, 255, 255}, false, false), kBlack);
}

TEST(ColourRulesOnTheWindow, GreyModeShowsGreyLevels) {
  EXPECT_EQ(shown({255, 0, 0}, true, true), kRed);
  EXPECT_EQ(shown({255, 0, 0, 100}, true, false), 0x646464u);
  EXPECT_EQ(shown({255, 0, 0, 100}, false, false), 0x9B9B9Bu);  // 255 - 100
  EXPECT_EQ(shown({255, 0, 0}, true, false), 0xC8C8C8u);        // grey 200 without a level
  EXPECT_EQ(shown({255, 0, 0}, false, false), 0xC8C8C8u);
}

TEST(ColourRulesOnTheWindow, IndexedColourPicksIndexOrGreyByBackground) {
  auto indexed = [](bool black_background, bool colour_window) {
    testing::reset_drawing();
    settings().BlackBG = black_background ? 1 : 0;
    settings().ColorWindow = colour_window ? 1 : 0;
    SET_INDEXED(3, 4, 90, 30);
    return Rgb{static_cast<std::uint8_t>(colour_state().red), static_cast<std::uint8_t>(colour_state().green),
               static_cast<std::uint8_t>(colour_state().blue)};
  };
  EXPECT_EQ(indexed(true, true), (Rgb{255, 255, 0}));
  EXPECT_EQ(indexed(false, true), (Rgb{0, 0, 255}));
  EXPECT_EQ(indexed(true, false), grey(90));
  EXPECT_EQ(indexed(false, false), grey(225));
}

class ReplayTest : public testing::DrawingTest {
 protected:
  // A white line on row 125, a black one on row 120, a filled rectangle in red.
  void record_picture() {
    SET_RGB(255, 255, 255);
    DRAW_LINE(-100, 0, 100, 0);
    SET_RGB(0, 0, 0);
    DRAW_LINE(-100, 50, 100, 50);
    SET_RGB_GREY(255, 0, 0, 100);
    FILL_RECT(-100, -50, 100, -100, 0, 0, 0, 0);
  }
  static void fill_grey(QImage& image) {
    release_surface_painters();
    image.fill(QColor(kGrey));
  }
};

TEST_F(ReplayTest, WindowReplayShowsWhiteAsBlackOnAWhiteBackground) {
  record_picture();
  fill_grey(window());
  fill_grey(bitmap());
  window_state().bitmap_valid = false;
  REPLAY();
  EXPECT_EQ(painted(window(), kBlack).bounds, pixels(165, 125, 184, 125));
  EXPECT_EQ(painted(window(), kWhite).bounds, pixels(165, 120, 184, 120));
  EXPECT_EQ(painted(window(), kRed).bounds, pixels(164, 129, 185, 135));
  EXPECT_EQ(painted(bitmap(), kBlack).bounds, pixels(165, 125, 184, 125));  // redrawn with it
  EXPECT_TRUE(window_state().bitmap_valid);
}

TEST_F(ReplayTest, ReplayKeepsEveryChannelInItsPlace) {
  // Three different channels, as on a hot scale: a swap of any two shows.
  SET_RGB(200, 100, 50);
  FILL_RECT(-100, 100, 0, 0, 0, 0, 0, 0);
  SET_RGB_GREY(255, 128, 0, 100);
  FILL_RECT(0, 100, 100, 0, 0, 0, 0, 0);
  fill_grey(window());
  fill_grey(bitmap());
  window_state().bitmap_valid = false;
  REPLAY();
  EXPECT_EQ(pixel(window(), 170, 120), 0xC86432u);
  EXPECT_EQ(pixel(window(), 180, 120), 0xFF8000u);
}

TEST_F(ReplayTest, ValidBitmapIsLeftAlone) {
  record_picture();
  fill_grey(window());
  fill_grey(bitmap());
  REPLAY();
  EXPECT_EQ(painted(window(), kBlack).count, 20);
  EXPECT_EQ(painted(bitmap(), kGrey).count, 350 * 250);
}

TEST_F(ReplayTest, ReplayFollowsChangedOptions) {
  record_picture();
  settings().ColorWindow = 0;
  settings().BlackBG = 1;
  fill_grey(window());
  REPLAY();
  EXPECT_EQ(painted(window(), kWhite).bounds, pixels(165, 125, 184, 125));
  EXPECT_EQ(painted(window(), kBlack).bounds, pixels(165, 120, 184, 120));
  EXPECT_EQ(painted(window(), 0x646464).bounds, pixels(164, 129, 185, 135));
  // The colour in force afterwards is the last one set, shown by the new options.
  EXPECT_EQ(colour_state().red, 100);
  EXPECT_EQ(colour_state().green, 100);
}

TEST_F(ReplayTest, PaperShowsWhiteAsBlackAndGreyLevelsInverted) {
  record_picture();
  const std::vector<std::uint8_t> before = testing::recorded();
  QImage paper(350, 250, QImage::Format_RGB32);
  paper.fill(QColor(kGrey));
  device_mapping() = DeviceMapping{350, 250, 175, 125, false};
  {
    QPainter painter(&paper);
    PainterDevice device(painter);
    DrawTargets& t = draw_targets();
    t.window = false;
    t.device = true;
    t.device_colour = false;  // a monochrome printer
    t.device_output = &device;
    colour_state().pen_width = 1;
    REPLAY();
  }
  EXPECT_EQ(painted(paper, kBlack).bounds, pixels(165, 125, 184, 125));
  EXPECT_EQ(painted(paper, kWhite).bounds, pixels(165, 120, 184, 120));
  // The window's extra column and row at the top left, so cells meet.
  EXPECT_EQ(painted(paper, 0x9B9B9B).bounds, pixels(164, 129, 185, 135));
  // The window was not touched; drawing returns to it with the colour last set.
  EXPECT_EQ(painted(window(), kGrey).count, 0);
  EXPECT_TRUE(draw_targets().window);
  EXPECT_FALSE(draw_targets().device);
  EXPECT_TRUE(draw_targets().recording);
  EXPECT_EQ(colour_state().red, 255);
  EXPECT_EQ(colour_state().green, 0);
  EXPECT_EQ(testing::recorded(), before);
}

TEST_F(ReplayTest, ColourDeviceKeepsColoursButSwapsBlackAndWhite) {
  record_picture();
  QImage paper(350, 250, QImage::Format_RGB32);
  paper.fill(QColor(kGrey));
  device_mapping() = DeviceMapping{350, 250, 175, 125, false};
  {
    QPainter painter(&paper);
    PainterDevice device(painter);
    draw_targets().window = false;
    draw_targets().device = true;
    draw_targets().device_colour = true;
    draw_targets().device_output = &device;
    REPLAY();
  }
  EXPECT_EQ(painted(paper, kBlack).count, 20);
  EXPECT_EQ(painted(paper, kWhite).count, 20);
  EXPECT_EQ(painted(paper, kRed).count, 22 * 7);
}

TEST_F(ReplayTest, TransientDrawingReachesTheWindowOnly) {
  SET_TRANSIENT(1);
  SET_RGB(255, 0, 0);
  FILL_RECT(-100, 100, 100, -100, 0, 0, 0, 0);
  EXPECT_EQ(painted(window(), kRed).count, 22 * 22);
  EXPECT_EQ(painted(bitmap(), kRed).count, 0);
  EXPECT_EQ(plot_buffer().used, 0u);
  // A repaint in between keeps the transient mode in force.
  window_state().bitmap_valid = false;
  REPLAY();
  FILL_RECT(-100, 100, 100, -100, 0, 0, 0, 0);
  EXPECT_EQ(plot_buffer().used, 0u);
  EXPECT_EQ(painted(bitmap(), kRed).count, 0);
  SET_TRANSIENT(0);
  FILL_RECT(-100, 100, 100, -100, 0, 0, 0, 0);
  EXPECT_EQ(plot_buffer().used, 10u);
  EXPECT_EQ(painted(bitmap(), kRed).count, 23 * 23);
}

TEST_F(ReplayTest, PenWidthReturnsToTheWindowPenWidth) {
  settings().window_pen_width = 2;
  colour_state().pen_width = 5;
  REPLAY();
  EXPECT_EQ(colour_state().pen_width, 2);
}

}  // namespace
}  // namespace kesto::shell
