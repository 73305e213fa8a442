// The graphics call interface without a window: the view mapping, moves,
// draws and clipping, rectangles and polygons, the stroke-font text, the
// colour operations with their palettes and scales, the picture bracket
// (GI_BEGIN, GI_CLEAR, GI_END), pointer picking and the final pause. Results
// are read from the plot buffer's records and the surfaces.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "primitives_fixture.h"
#include "shell/window/events.h"

namespace kesto::shell {
namespace {

using testing::recorded;
using Bytes = std::vector<std::uint8_t>;

std::vector<PlotRecord> records(std::uint8_t opcode = 0) {
  std::vector<PlotRecord> out;
  const PlotBuffer& b = plot_buffer();
  std::size_t position = 0;
  PlotRecord r;
  while (next_record(b.block.data(), b.used, position, r))
    if (opcode == 0 || r.opcode == opcode) out.push_back(r);
  return out;
}

void expect_line(const PlotRecord& r, int x1, int y1, int x2, int y2) {
  EXPECT_EQ(r.opcode, OP_LINE);
  EXPECT_EQ(r.x[0], x1);
  EXPECT_EQ(r.y[0], y1);
  EXPECT_EQ(r.x[1], x2);
  EXPECT_EQ(r.y[1], y2);
}

class GiTest : public testing::DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    scale_palettes();
    // The plotting kernel's view: world coordinates are page units.
    const float r = 1250.0f / 1750.0f;
    GI_SET_FRAME(-1.0f, 1.0f, -r, r);
    GI_SET_VIEWPORT(-1.0f, 1.0f, -r, r);
    GI_SET_WINDOW(-1750.0f, 1750.0f, -1250.0f, 1250.0f);
    GI_BEGIN(1);  // the mapping, without showing graphics
    plot_buffer().used = 0;
  }
  void TearDown() override {
    set_fatal_stop_hook(nullptr);
    DrawingTest::TearDown();
  }
};

TEST_F(GiTest, KernelViewMapsWorldOntoPageUnitsExactly) {
  const ViewMapping& m = graphics_state().mapping;
  for (int x = -1750; x <= 1750; ++x) ASSERT_EQ(map_x(m, static_cast<float>(x)), x);
  for (int y = -1250; y <= 1250; ++y) ASSERT_EQ(map_y(m, static_cast<float>(y)), y);
  EXPECT_EQ(map_x(m, 12.9f), 12);  // truncated
  EXPECT_EQ(map_x(m, -12.9f), -12);
}

TEST_F(GiTest, DefaultViewKeepsThePageAspect) {
  graphics_state() = GraphicsState{};
  GI_BEGIN(1);
  const ViewMapping& m = graphics_state().mapping;
  EXPECT_EQ(map_x(m, 1.0f), 1250);
  EXPECT_EQ(map_y(m, 1.0f), 1250);
  EXPECT_EQ(map_x(m, -1.0f), -1250);
}

TEST_F(GiTest, PointsFarOutsideThePageAreClampedNotWrapped) {
  const ViewMapping& m = graphics_state().mapping;
  EXPECT_EQ(map_x(m, 1.0e9f), 32767);
  EXPECT_EQ(map_y(m, -1.0e9f), -32768);
  EXPECT_EQ(map_x(m, 40000.0f), 32767);
  EXPECT_EQ(map_x(m, std::numeric_limits<float>::infinity()), 32767);
  EXPECT_EQ(map_x(m, std::numeric_limits<float>::quiet_NaN()), 0);
  GI_MOVE(-1.0e9f, 0.0f);
  GI_DRAW(1.0e9f, 0.0f);
  expect_line(records(OP_LINE).at(0), -32768, 0, 32767, 0);
}

TEST_F(GiTest, MovesAndDrawsKeepTheCurrentPoint) {
  GI_MOVE(10.0f, 20.0f);
  GI_DRAW(30.5f, -40.5f);
  GI_DRAW(30.5f, -40.5f);
  float x = 0, y = 0;
  GI_WHERE(x, y);
  EXPECT_EQ(x, 30.5f);
  EXPECT_EQ(y, -40.5f);
  const auto lines = records(OP_LINE);
  ASSERT_EQ(lines.size(), 2u);
  expect_line(lines[0], 10, 20, 30, -40);
  expect_line(lines[1], 30, -40, 30, -40);
}

TEST_F(GiTest, ClippingCutsSegmentsToTheWorldWindow) {
  GI_MOVE(0.0f, 0.0f);
  GI_DRAW(3500.0f, 0.0f);  // clipping starts off
  GI_CLIP(1);
  GI_MOVE(0.0f, 0.0f);
  GI_DRAW(3500.0f, 0.0f);
  GI_MOVE(-3000.0f, 100.0f);
  GI_DRAW(3000.0f, 100.0f);
  GI_MOVE(0.0f, 0.0f);
  GI_DRAW(3500.0f, 2500.0f);  // x first: (1750, 1250)
  GI_MOVE(500.0f, -2000.0f);
  GI_DRAW(500.0f, 2000.0f);
  GI_MOVE(2000.0f, 0.0f);
  GI_DRAW(3000.0f, 10.0f);  // wholly outside: nothing, but the point moves
  const auto lines = records(OP_LINE);
  ASSERT_EQ(lines.size(), 5u);
  expect_line(lines[0], 0, 0, 3500, 0);
  expect_line(lines[1], 0, 0, 1750, 0);
  expect_line(lines[2], -1750, 100, 1750, 100);
  expect_line(lines[3], 0, 0, 1750, 1250);
  expect_line(lines[4], 500, -1250, 500, 1250);
  float x = 0, y = 0;
  GI_WHERE(x, y);
  EXPECT_EQ(x, 3000.0f);
  EXPECT_EQ(y, 10.0f);
}

TEST_F(GiTest, RectanglesAreRecordedWithOrderedCornersAndSideFlags) {
  GI_RECT(100.0f, -100.0f, -100.0f, 100.0f);
  const auto rects = records(OP_RECT);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].x[0], -100);
  EXPECT_EQ(rects[0].y[0], 100);
  EXPECT_EQ(rects[0].x[1], 100);
  EXPECT_EQ(rects[0].y[1], -100);
  // A 0 bit insets that side: bit 0 left, 1 right, 2 top, 3 bottom.
  for (auto [flags, stored] : {std::pair{0, 0x0F}, {15, 0x00}, {1, 0x07}, {2, 0x0B}, {4, 0x0D}, {8, 0x0E}}) {
    plot_buffer().used = 0;
    GI_FILL_RECT(5.0f, 5.0f, -5.0f, -5.0f, static_cast<std::int16_t>(flags));
    const auto fills = records(OP_FILLED_RECT);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].flags, stored) << flags;
    EXPECT_EQ(fills[0].x[0], -5);
    EXPECT_EQ(fills[0].y[0], 5);
  }
}

TEST_F(GiTest, QuadrilateralsAndPolygonsHoldAtMostFourPoints) {
  GI_QUAD(0.0f, 0.0f, 10.0f, 0.0f, 10.0f, 10.0f, 0.0f, 10.0f);
  const float x[6] = {1, 2, 3, 4, 5, 6}, y[6] = {-1, -2, -3, -4, -5, -6};
  GI_POLYGON(x, y, 6);
  GI_POLYGON(x, y, 0);
  const auto polygons = records(OP_POLYGON);
  ASSERT_EQ(polygons.size(), 2u);
  ASSERT_EQ(polygons[0].count, 4);
  EXPECT_EQ(polygons[0].x[2], 10);
  EXPECT_EQ(polygons[0].y[3], 10);
  ASSERT_EQ(polygons[1].count, 4);
  EXPECT_EQ(polygons[1].x[3], 4);
}

TEST_F(GiTest, TextDrawsGlyphStrokesScaledAndTurned) {
  GI_TEXT_SIZE(60.0f, 90.0f);  // ten page units per grid unit
  GI_TEXT_STEP(100.0f, 0.0f, 0.0f);
  GI_MOVE(0.0f, 0.0f);
  GI_TEXT(1, "-");
  GI_TEXT_ANGLE(1.0f, 0.0f, 0.0f);  // writing downwards, glyph up along +x
  GI_MOVE(0.0f, 0.0f);
  GI_TEXT(1, "-");
  auto lines = records(OP_LINE);
  ASSERT_EQ(lines.size(), 2u);
  expect_line(lines[0], 0, 40, 60, 40);
  expect_line(lines[1], 40, 0, 40, -60);

  plot_buffer().used = 0;
  GI_TEXT_ANGLE(0.0f, 1.0f, 0.0f);
  GI_MOVE(0.0f, 0.0f);
  GI_TEXT(2, "A");  // the text ends at its NUL
  EXPECT_EQ(records(OP_LINE).size(), 6u);
  float x = 0, y = 0;
  GI_WHERE(x, y);
  EXPECT_EQ(x, 100.0f);
  EXPECT_EQ(y, 0.0f);
}

TEST_F(GiTest, NegativeCountsAndBlanksAdvanceWithoutDrawing) {
  GI_MOVE(0.0f, 0.0f);
  GI_TEXT(-5, "ABCDE");
  float x = 0, y = 0;
  GI_WHERE(x, y);
  EXPECT_FLOAT_EQ(x, 0.15f);
  EXPECT_EQ(y, 0.0f);
  GI_TEXT(3, " \x01\xE9");
  GI_WHERE(x, y);
  EXPECT_FLOAT_EQ(x, 0.24f);
  EXPECT_EQ(plot_buffer().used, 0u);
}

TEST_F(GiTest, ProportionalSpacingTakesOffTheSpareWidth) {
  GI_TEXT_SIZE(60.0f, 90.0f);
  GI_TEXT_STEP(0.0f, 100.0f, 0.0f);
  GI_TEXT_PROPORTIONAL(1);
  float x = 0, y = 0;
  GI_MOVE(0.0f, 0.0f);
  GI_TEXT(1, "a");
  GI_WHERE(x, y);
  EXPECT_FLOAT_EQ(y, 80.0f);  // 100 less twice the grid unit
  GI_MOVE(0.0f, 0.0f);
  GI_TEXT(-1, "i");  // measuring advances as drawing does
  GI_WHERE(x, y);
  EXPECT_FLOAT_EQ(y, 60.0f);
  GI_MOVE(0.0f, 0.0f);
  GI_TEXT(1, " ");
  GI_WHERE(x, y);
  EXPECT_FLOAT_EQ(y, 100.0f);
  GI_TEXT_PROPORTIONAL(0);
  GI_MOVE(0.0f, 0.0f);
  GI_TEXT(1, "a");
  GI_WHERE(x, y);
  EXPECT_FLOAT_EQ(y, 100.0f);
}

TEST_F(GiTest, ColourOutsideTheStandardColoursIsGreyIndex8) {
  GI_PALETTE(1);
  plot_buffer().used = 0;
  GI_COLOUR(16);
  GI_COLOUR(-1);
  GI_COLOUR(0);
  GI_COLOUR(7);
  GI_COLOUR(9);
  GI_COLOUR(15);  // the last standard colour, dark cyan
  EXPECT_EQ(recorded(), (Bytes{9, 124, 124, 124, 191, 9, 124, 124, 124, 191, 9, 0, 0,   0,   0,
                               9, 252, 252, 252, 255, 9, 252, 0,   124, 191, 9, 0, 124, 124, 191}));
}

TEST_F(GiTest, FirstColourOperationRealisesItsDefaultPalette) {
  GI_SCALE_UNIPOLAR(0.5f);
  EXPECT_EQ(graphics_state().palette_number, 5);
  EXPECT_EQ(graphics_state().logical_palette, 2);
  ASSERT_TRUE(colour_state().palette_set);
  EXPECT_EQ(colour_state().palette.count, 224);
  // Realising a palette sets its colour 7 first.
  const auto colours = records();
  ASSERT_EQ(colours.size(), 2u);
  EXPECT_EQ(colours[0].opcode, OP_RGB);
  EXPECT_EQ(colours[0].values[0], 252);
  // Later operations keep the palette selected.
  plot_buffer().used = 0;
  GI_COLOUR(1);
  GI_PALETTE(5);
  EXPECT_EQ(graphics_state().palette_number, 5);
  EXPECT_EQ(records().size(), 1u);
  GI_PALETTE(6);
  EXPECT_EQ(graphics_state().logical_palette, 3);
  GI_PALETTE(9);  // realises nothing
  EXPECT_EQ(graphics_state().palette_number, 9);
  EXPECT_EQ(graphics_state().logical_palette, 3);
}

TEST_F(GiTest, ScalesPickTheirPaletteEntries) {
  GI_PALETTE(4);
  plot_buffer().used = 0;
  GI_SCALE_BIPOLAR(-1.0f);
  GI_SCALE_BIPOLAR(1.0f);
  EXPECT_EQ(recorded(), (Bytes{9, 252, 0, 0, 0, 9, 252, 0, 0, 255}));
  plot_buffer().used = 0;
  GI_SCALE_UNIPOLAR(0.1f);
  const Rgb e115 = logical_palette(2).colour(115);
  EXPECT_EQ(recorded(), (Bytes{9, e115.red, e115.blue, e115.green, 25}));
  plot_buffer().used = 0;
  GI_SCALE_THERMAL(0.0f);  // black through an indexed colour
  GI_SCALE_THERMAL(1.0f);
  EXPECT_EQ(recorded(), (Bytes{11, 0, 0, 0, 255, 9, 255, 0, 255, 255}));
}

TEST_F(GiTest, PairRgbAndIndexColours) {
  GI_COLOUR_PAIR(3, 4, 0.5f, 1.0f);
  EXPECT_EQ(graphics_state().palette_number, 1);
  plot_buffer().used = 0;
  GI_COLOUR_PAIR(3, 40, 0.5f, 1.0f);
  GI_COLOUR_RGB(1.0f, 0.5f, -1.0f);
  EXPECT_EQ(recorded(), (Bytes{11, 3, 8, 128, 255, 8, 255, 0, 128}));
  GI_PALETTE(6);
  plot_buffer().used = 0;
  GI_COLOUR_INDEX(2);   // grey step 2 of palette 3
  GI_COLOUR_INDEX(16);  // outside: entry 23
  GI_COLOUR_INDEX(-32768);
  EXPECT_EQ(recorded(), (Bytes{8, 34, 34, 34, 8, 119, 119, 119, 8, 119, 119, 119}));
}

TEST_F(GiTest, BeginShowsGraphicsOnceAndClearStartsANewPicture) {
  graphics_state().plotting_active = false;
  GI_CLEAR();  // graphics hidden: the new picture waits
  EXPECT_TRUE(graphics_state().new_picture_pending);
  DRAW_LINE(0, 0, 10, 10);
  GI_BEGIN(0);
  EXPECT_TRUE(window_state().graphics_mode);
  EXPECT_FALSE(graphics_state().new_picture_pending);
  EXPECT_EQ(records(OP_LINE).size(), 0u);  // emptied by the new picture
  const std::size_t used = plot_buffer().used;
  GI_SET_WINDOW(0.0f, 1.0f, 0.0f, 1.0f);
  GI_BEGIN(0);  // already active: nothing at all
  EXPECT_EQ(plot_buffer().used, used);
  EXPECT_EQ(map_x(graphics_state().mapping, 1000.0f), 1000);
  GI_CLEAR();  // shown: a new picture at once, in colour 7
  EXPECT_EQ(records().size(), 1u);
  EXPECT_EQ(records()[0].opcode, OP_RGB);
}

TEST_F(GiTest, EndWaitsForACommandKeyUnlessItsModeIsOne) {
  graphics_state().plotting_active = false;
  GI_BEGIN(0);
  GI_END(1);
  EXPECT_TRUE(window_state().graphics_mode);
  GI_HIDE_GRAPHICS();
  EXPECT_FALSE(window_state().graphics_mode);
  GI_BEGIN(0);
  EventRecord key;
  key.type = EVENT_KEY;
  key.key = 'x';
  push_input(key);
  GI_END(0);
  EXPECT_FALSE(window_state().graphics_mode);
  EXPECT_FALSE(graphics_state().plotting_active);
  GI_END(0);  // not active: no wait
}

TEST_F(GiTest, CommandKeysAreClassified) {
  for (auto [key, expected] :
       {std::pair<int, int>{'`', 1}, {'P', 1}, {'p', 1}, {'F', 2}, {'f', 2}, {'~', 3}, {'x', 0}, {KEY_F1, 0}}) {
    EventRecord e;
    e.type = EVENT_KEY;
    e.key = static_cast<std::int16_t>(key);
    push_input(e);
    EXPECT_EQ(GI_WAIT_COMMAND(), expected) << key;
  }
  EventRecord quit;
  quit.type = EVENT_QUIT;
  push_input(quit);
  EXPECT_EQ(GI_WAIT_COMMAND(), 0);
}

class LocateTest : public GiTest {
 protected:
  void SetUp() override {
    GiTest::SetUp();
    graphics_state().plotting_active = false;
    GI_BEGIN(0);  // graphics mode: pointer positions arrive as page units
  }
  static void press(int button, int px, int py) {
    EventRecord e;
    e.type = EVENT_PRESS;
    e.button = static_cast<std::int16_t>(button);
    e.x = static_cast<std::int16_t>(px);
    e.y = static_cast<std::int16_t>(py);
    push_input(e);
  }
};

TEST_F(LocateTest, ButtonsGiveMinusTheirNumberAndThePointInWorldUnits) {
  EventRecord move;
  move.type = EVENT_MOVE;
  push_input(move);  // ignored
  press(2, 185, 115);
  float x = 0, y = 0;
  std::int16_t code = 0;
  GI_LOCATE(3.7f, -2.2f, -1650, -1250, 1650, 1250, x, y, code);
  EXPECT_EQ(code, -2);
  EXPECT_FLOAT_EQ(x, 100.0f);
  EXPECT_FLOAT_EQ(y, 100.0f);
  EXPECT_FALSE(window_state().crosshair_mode);
}

TEST_F(LocateTest, AClickOnTheStartPointReturnsItExactly) {
  float x = 0, y = 0;
  std::int16_t code = 0;
  press(1, 175, 125);  // the pixel the pointer was placed on
  GI_LOCATE(3.7f, -2.2f, -1650, -1250, 1650, 1250, x, y, code);
  EXPECT_EQ(code, -1);
  EXPECT_EQ(x, 3.7f);
  EXPECT_EQ(y, -2.2f);
}

TEST_F(LocateTest, KeysAndTheWindowsCloseEndThePick) {
  float x = 0, y = 0;
  std::int16_t code = 0;
  EventRecord key;
  key.type = EVENT_KEY;
  key.key = 'q';
  push_input(key);
  GI_LOCATE(0, 0, -1650, -1250, 1650, 1250, x, y, code);
  EXPECT_EQ(code, 'q');
  EventRecord quit;
  quit.type = EVENT_QUIT;
  push_input(quit);
  GI_LOCATE(0, 0, -1650, -1250, 1650, 1250, x, y, code);
  EXPECT_EQ(code, -11);
}

struct FatalStopped {};

TEST_F(LocateTest, PictureWaitEndsTheRunWhenTheWindowCloses) {
  set_fatal_stop_hook([] { throw FatalStopped{}; });
  EventRecord quit;
  quit.type = EVENT_QUIT;
  push_input(quit);
  EXPECT_THROW(GI_END(0), FatalStopped);
  EXPECT_FALSE(window_state().graphics_mode);
  EXPECT_FALSE(graphics_state().plotting_active);
}

TEST_F(LocateTest, FinalPauseEndsTheRunWhenTheWindowCloses) {
  set_fatal_stop_hook([] { throw FatalStopped{}; });
  EventRecord key;
  key.type = EVENT_KEY;
  key.key = KEY_ENTER;
  push_input(key);
  GI_FINAL_PAUSE();
  EXPECT_FALSE(window_state().graphics_mode);

  graphics_state().plotting_active = false;
  GI_BEGIN(0);
  EventRecord quit;
  quit.type = EVENT_QUIT;
  push_input(quit);
  EXPECT_THROW(GI_FINAL_PAUSE(), FatalStopped);
  EXPECT_FALSE(window_state().graphics_mode);
}

TEST_F(GiTest, CaptionIsCutAt31Characters) {
  SET_CAPTION("kesto", 5);
  EXPECT_EQ(window_state().caption, "kesto");
  const std::string longer(40, 'k');
  SET_CAPTION(longer.c_str(), 40);
  EXPECT_EQ(window_state().caption, std::string(31, 'k'));
  SET_CAPTION("ab\0cd", 5);
  EXPECT_EQ(window_state().caption, "ab");
  SET_CAPTION("abc", -4);
  EXPECT_EQ(window_state().caption, "");
}

}  // namespace
}  // namespace kesto::shell
