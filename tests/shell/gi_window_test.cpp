// The graphics call interface with the window open (offscreen): opening
// prepares palettes and colour, pictures drawn through the interface reach
// both images, survive a resize by being replayed, transient drawing does
// not, and "F" on a finished picture writes a screen dump.
#include <gtest/gtest.h>

#include <filesystem>

#include "primitives_fixture.h"
#include "shell/window/events.h"

namespace kesto::shell {
namespace {

using testing::pixel;

class GiWindowTest : public testing::WindowTest {
 protected:
  void SetUp() override {
    testing::application();
    testing::reset_shell();
    testing::remove_settings_file();
    graphics_state() = GraphicsState{};
    palettes() = Palettes{};
    draw_targets() = DrawTargets{};
    std::filesystem::remove("VAZ001.PCX");
    GI_OPEN();
    testing::settle();
    testing::set_client_size(800, 600);
    const float r = 1250.0f / 1750.0f;
    GI_SET_FRAME(-1.0f, 1.0f, -r, r);
    GI_SET_VIEWPORT(-1.0f, 1.0f, -r, r);
    GI_SET_WINDOW(-1750.0f, 1750.0f, -1250.0f, 1250.0f);
    GI_TEXT_PROPORTIONAL(1);
  }
  void TearDown() override {
    std::filesystem::remove("VAZ001.PCX");
    testing::WindowTest::TearDown();
  }
  // Pixel of a page point on the images as they stand now.
  static QPoint at(int x, int y) {
    std::int16_t px = 0, py = 0;
    TO_DEVICE(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), px, py);
    return {px, py};
  }
  static QRgb window_at(int x, int y) { return pixel(surfaces().window, at(x, y).x(), at(x, y).y()); }
  static QRgb bitmap_at(int x, int y) { return pixel(surfaces().backing, at(x, y).x(), at(x, y).y()); }
  static void key(int code) {
    EventRecord e;
    e.type = EVENT_KEY;
    e.key = static_cast<std::int16_t>(code);
    push_input(e);
  }
};

TEST_F(GiWindowTest, OpeningScalesPalettesAndLeavesThePaletteNumberUnset) {
  ASSERT_NE(main_window(), nullptr);
  EXPECT_TRUE(palettes().scaled);
  EXPECT_EQ(graphics_state().palette_number, 0);
  EXPECT_EQ(logical_palette(1).colour(7), (Rgb{252, 252, 252}));
  EXPECT_EQ(colour_state().red, 0);  // white shows black on the white background
  GI_SCALE_UNIPOLAR(1.0f);
  EXPECT_EQ(graphics_state().palette_number, 5);
}

TEST_F(GiWindowTest, PictureSurvivesAResizeButTransientDrawingDoesNot) {
  GI_CLEAR();
  GI_BEGIN(0);
  GI_COLOUR(1);
  GI_FILL_RECT(-500.0f, 500.0f, 500.0f, -500.0f, 0);
  SET_TRANSIENT(1);
  GI_COLOUR(2);
  GI_FILL_RECT(600.0f, 500.0f, 900.0f, 200.0f, 0);
  SET_TRANSIENT(0);
  testing::settle();
  EXPECT_EQ(window_at(0, 0), 0xFC0000u);
  EXPECT_EQ(bitmap_at(0, 0), 0xFC0000u);
  EXPECT_EQ(window_at(750, 350), 0x00FC00u);
  EXPECT_EQ(bitmap_at(750, 350), 0xFFFFFFu);

  testing::set_client_size(1000, 700);
  testing::settle();
  ASSERT_EQ(surfaces().window.width(), 1000);
  EXPECT_EQ(window_at(0, 0), 0xFC0000u);
  EXPECT_EQ(bitmap_at(0, 0), 0xFC0000u);
  EXPECT_EQ(window_at(750, 350), 0xFFFFFFu);
  EXPECT_EQ(window_at(-600, 0), 0xFFFFFFu);
  GI_END(1);
  GI_HIDE_GRAPHICS();
}

TEST_F(GiWindowTest, ColourOptionChangeRepaintsTheRecordedPictureInGrey) {
  GI_CLEAR();
  GI_BEGIN(0);
  GI_COLOUR(9);  // orange, grey level 191
  GI_FILL_RECT(-500.0f, 500.0f, 500.0f, -500.0f, 0);
  testing::settle();
  settings().ColorWindow = 0;
  window_state().bitmap_valid = false;
  window_state().surface_stale = true;
  update_client_area();
  testing::settle();
  EXPECT_EQ(window_at(0, 0), 0x404040u);  // 255 - grey level 191 on white
  EXPECT_EQ(bitmap_at(0, 0), 0x404040u);
}

TEST_F(GiWindowTest, TextIsDrawnInStrokes) {
  GI_CLEAR();
  GI_BEGIN(0);
  GI_COLOUR(4);
  GI_TEXT_SIZE(600.0f, 900.0f);  // one grid unit: 100 page units
  GI_TEXT_STEP(900.0f, 0.0f, 0.0f);
  GI_MOVE(-1000.0f, 0.0f);
  GI_TEXT(2, "L-");
  testing::settle();
  EXPECT_EQ(window_at(-1000, 500), 0x0000FCu);  // the stem of L
  EXPECT_EQ(window_at(-700, 0), 0x0000FCu);     // its foot
  EXPECT_EQ(window_at(-700, 500), 0xFFFFFFu);
  EXPECT_EQ(window_at(0, 400), 0x0000FCu);  // the dash after a full advance
  float x = 0, y = 0;
  GI_WHERE(x, y);
  EXPECT_FLOAT_EQ(x, 800.0f);
}

TEST_F(GiWindowTest, CommandKeyFWritesAScreenDumpOfThePicture) {
  GI_CLEAR();
  GI_BEGIN(0);
  GI_COLOUR(1);
  GI_FILL_RECT(-500.0f, 500.0f, 500.0f, -500.0f, 0);
  key('F');
  GI_END(0);
  EXPECT_FALSE(window_state().graphics_mode);
  EXPECT_TRUE(std::filesystem::exists("VAZ001.PCX"));
  bool said = false;
  for (const ShownMessage& m : message_log()) said = said || m.text == "D1FILE";
  EXPECT_TRUE(said);
}

}  // namespace
}  // namespace kesto::shell
