// The colour rules for paper and EPS output and the indexed colours, apart
// from any drawing (the window rule is seen in pixels in primitives_test).
#include <gtest/gtest.h>

#include "shell/drawing/colour_rules.h"

namespace kesto::shell {
namespace {

constexpr Rgb kOrange{255, 127, 0};

TEST(PaperRule, SwapsBlackAndWhiteAndGreysWithoutColour) {
  EXPECT_EQ(rule_paper({0, 0, 0}, 8, 0, true), grey(255));
  EXPECT_EQ(rule_paper({255, 255, 255}, 9, 0, true), grey(0));
  EXPECT_EQ(rule_paper({252, 253, 254}, 8, 0, false), grey(0));
  EXPECT_EQ(rule_paper(kOrange, 8, 0, true), kOrange);
  EXPECT_EQ(rule_paper(kOrange, 9, 100, false), grey(155));
  EXPECT_EQ(rule_paper(kOrange, 8, 100, false), grey(200));
}

TEST(EpsRule, FollowsTheColourWindowOption) {
  EXPECT_EQ(rule_eps({0, 0, 0}, 9, 40, true), grey(255));
  EXPECT_EQ(rule_eps(kOrange, 9, 40, true), kOrange);
  EXPECT_EQ(rule_eps(kOrange, 9, 40, false), grey(215));
  EXPECT_EQ(rule_eps(kOrange, 8, 40, false), grey(200));
}

TEST(IndexedRule, ColourOnlyWhenEveryTargetShowsColour) {
  const IndexedColour c{1, 4, 60, 20};
  // window only, colour window: index by background
  EXPECT_EQ(rule_indexed(c, true, false, true, true, true), standard_colour(1));
  EXPECT_EQ(rule_indexed(c, true, false, true, true, false), standard_colour(4));
  // a colour device without the window takes the white-background index
  EXPECT_EQ(rule_indexed(c, false, true, true, false, true), standard_colour(4));
  // grey: on a black window the grey on black, anywhere else 255 - darkness
  EXPECT_EQ(rule_indexed(c, true, false, true, false, true), grey(60));
  EXPECT_EQ(rule_indexed(c, true, false, true, false, false), grey(235));
  EXPECT_EQ(rule_indexed(c, false, true, false, true, true), grey(235));
}

TEST(StandardColours, IndexOutsideTheTableGivesGrey) {
  EXPECT_EQ(standard_colour(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(standard_colour(15), (Rgb{0, 127, 127}));
  EXPECT_EQ(standard_colour(16), (Rgb{127, 127, 127}));
  EXPECT_EQ(standard_colour(-1), (Rgb{127, 127, 127}));
  EXPECT_TRUE(is_white({252, 252, 252}));
  EXPECT_FALSE(is_white({251, 255, 255}));
}

}  // namespace
}  // namespace kesto::shell
