// The stroke font's table: which glyph each character code draws, and that
// every glyph of the table is where its code says, on its grid.
#include <gtest/gtest.h>

#include "shell/graphics/stroke_font.h"

namespace kesto::shell {
namespace {

TEST(StrokeFont, CharacterCodesChooseTheirGlyphNumbers) {
  EXPECT_EQ(glyph_number(33), 1);
  EXPECT_EQ(glyph_number(47), 15);
  EXPECT_EQ(glyph_number(48), 23);
  EXPECT_EQ(glyph_number(57), 32);
  EXPECT_EQ(glyph_number(58), 16);
  EXPECT_EQ(glyph_number(64), 22);
  EXPECT_EQ(glyph_number(65), 33);
  EXPECT_EQ(glyph_number(90), 58);
  EXPECT_EQ(glyph_number(97), 59);
  EXPECT_EQ(glyph_number(122), 84);
  for (int code : {0, 9, 32, 91, 96, 123, 127, 200, 255, -3}) EXPECT_EQ(glyph_number(code), EMPTY_GLYPH) << code;
}

TEST(StrokeFont, EveryGlyphSitsUnderItsOwnCodeOnTheGrid) {
  for (int n = 1; n <= 84; ++n) {
    const Glyph& g = glyph(n);
    EXPECT_EQ(glyph_number(g.code), n) << n;
    ASSERT_FALSE(g.points.empty()) << n;
    EXPECT_TRUE(g.points.front().pen_up) << n;
    for (const GlyphPoint& p : g.points) {
      EXPECT_GE(p.x, -5);
      EXPECT_LE(p.x, 6) << n;
      EXPECT_GE(p.y, -4) << n;
      EXPECT_LE(p.y, 9) << n;
    }
  }
  EXPECT_TRUE(glyph(EMPTY_GLYPH).points.empty());
  EXPECT_EQ(glyph(EMPTY_GLYPH).spare_width, 0);
  EXPECT_TRUE(glyph(0).points.empty());
  EXPECT_TRUE(glyph(99).points.empty());
}

TEST(StrokeFont, StrokesAndSpareWidthsAsDrawn) {
  const Glyph& a = glyph(glyph_number('A'));
  ASSERT_EQ(a.points.size(), 8u);
  const int expected[8][3] = {{0, 0, 1}, {0, 8, 0}, {1, 9, 0}, {5, 9, 0}, {6, 8, 0}, {6, 0, 0}, {0, 5, 1}, {6, 5, 0}};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(a.points[static_cast<std::size_t>(i)].x, expected[i][0]);
    EXPECT_EQ(a.points[static_cast<std::size_t>(i)].y, expected[i][1]);
    EXPECT_EQ(a.points[static_cast<std::size_t>(i)].pen_up, expected[i][2] == 1);
  }
  auto strokes = [](char c) {
    int n = 0;
    for (const GlyphPoint& p : glyph(glyph_number(c)).points) n += p.pen_up;
    return n;
  };
  EXPECT_EQ(strokes('%'), 3);
  EXPECT_EQ(strokes('#'), 4);
  EXPECT_EQ(strokes('O'), 1);
  const Glyph& j = glyph(glyph_number('j'));
  EXPECT_EQ(j.points.back().x, -2);
  EXPECT_EQ(j.points.back().y, -3);
  EXPECT_EQ(glyph(glyph_number('a')).spare_width, 2);
  EXPECT_EQ(glyph(glyph_number('i')).spare_width, 4);
  EXPECT_EQ(glyph(glyph_number('1')).spare_width, 2);
  EXPECT_EQ(glyph(glyph_number('P')).spare_width, 1);
  EXPECT_EQ(glyph(glyph_number('m')).spare_width, 0);
  EXPECT_EQ(glyph(glyph_number('\'')).spare_width, 1);
}

}  // namespace
}  // namespace kesto::shell
