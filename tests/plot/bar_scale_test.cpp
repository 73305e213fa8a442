// The colour bar's scale: nice steps by decade, decimals, the tick marks and
// the exact label texts of the ranges 0-100, 0-0.004 and 0-1.5, labels in
// exponent form and labels pulled back from the right edge.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plot/bar_scale.h"

using namespace kesto::plot;

namespace {

struct Scale {
  float step = 0.0f;
  std::int32_t decimals = 0, minor = 0;
};

// The scale a colour bar chooses for low..high.
Scale bar_scale(float low, float high) {
  Scale s;
  s.step = 0.2f * (high - low);
  s.minor = 3;
  BAR_STEP(low, high, low, s.step, s.decimals, s.minor, 0);
  return s;
}

std::vector<BarLabel> labels_of(float low, float high) {
  const Scale s = bar_scale(low, high);
  return bar_labels(low, bar_top(high), first_tick(low, s.step, low), s.step, s.decimals);
}

std::vector<std::string> trimmed_texts(const std::vector<BarLabel>& labels) {
  std::vector<std::string> out;
  for (const BarLabel& l : labels) {
    const std::size_t a = l.text.find_first_not_of(' ');
    const std::size_t b = l.text.find_last_not_of(' ');
    out.push_back(a == std::string::npos ? "" : l.text.substr(a, b - a + 1));
  }
  return out;
}

void count_ticks(float low, float high, int& majors, int& minors) {
  const Scale s = bar_scale(low, high);
  majors = minors = 0;
  for (const TickMark& t : bar_ticks(low, bar_top(high), first_tick(low, s.step, low), s.step, s.minor))
    (t.major ? majors : minors)++;
}

}  // namespace

TEST(NiceStep, OneTwoFiveByDecade) {
  struct Case {
    float range, step;
    std::int32_t minor;
  } cases[] = {
      {100.0f, 20.0f, 3},   {0.004f, 0.0005f, 4},   {1.5f, 0.2f, 3},     {2.0f, 0.5f, 4},      {4.99f, 0.5f, 4},
      {5.0f, 1.0f, 4},      {9.99f, 1.0f, 4},       {10.0f, 2.0f, 3},    {0.001f, 0.0002f, 3}, {1.0e-5f, 2.0e-6f, 3},
      {4999.0f, 500.0f, 4}, {5000.0f, 1000.0f, 4},  {0.02f, 0.005f, 4},  {0.3f, 0.05f, 4},     {0.1f, 0.02f, 3},
      {1000.0f, 200.0f, 3}, {10000.0f, 1000.0f, 4}, {-100.0f, 20.0f, 3},
  };
  for (const Case& c : cases) {
    float step = -1.0f;
    std::int32_t minor = -1;
    NICE_STEP(c.range, step, minor);
    EXPECT_FLOAT_EQ(step, c.step) << "range " << c.range;
    EXPECT_EQ(minor, c.minor) << "range " << c.range;
  }
}

TEST(NiceStep, OutsideTheDecadesAFifthWithOneMinor) {
  float step = 0.0f;
  std::int32_t minor = 0;
  NICE_STEP(10001.0f, step, minor);
  EXPECT_FLOAT_EQ(step, 2000.2f);
  EXPECT_EQ(minor, 1);
  NICE_STEP(9.0e-6f, step, minor);
  EXPECT_FLOAT_EQ(step, 1.8e-6f);
  NICE_STEP(0.0f, step, minor);
  EXPECT_EQ(step, 0.0f);
  EXPECT_EQ(minor, 1);
}

TEST(Decimals, FirstScaleThatMakesAWholeNumber) {
  EXPECT_EQ(DECIMALS(0.0f), 0);
  EXPECT_EQ(DECIMALS(20.0f), 0);
  EXPECT_EQ(DECIMALS(-7.00005f), 0);
  EXPECT_EQ(DECIMALS(0.2f), 1);
  EXPECT_EQ(DECIMALS(-2.5f), 1);
  EXPECT_EQ(DECIMALS(0.05f), 2);
  EXPECT_EQ(DECIMALS(0.125f), 3);
  EXPECT_EQ(DECIMALS(0.0005f), 3);
  EXPECT_EQ(DECIMALS(1.0f / 3.0f), 3);
}

TEST(BarStep, KeepsAGivenStepOnlyWithinTheIntervalLimit) {
  float step = 2.0f;
  std::int32_t decimals = 0, minor = 1;
  BAR_STEP(0.0f, 10.0f, 0.0f, step, decimals, minor, 10);  // 5 intervals: kept
  EXPECT_EQ(step, 2.0f);
  EXPECT_EQ(minor, 1);
  step = -0.25f;
  minor = 30;
  BAR_STEP(1.0f, 0.0f, 0.0f, step, decimals, minor, 10);  // sign and order do not matter
  EXPECT_EQ(step, 0.25f);
  EXPECT_EQ(minor, 1);  // more than 20 minors become 1
  EXPECT_EQ(decimals, 2);
  step = 0.5f;
  BAR_STEP(0.0f, 10.0f, 0.0f, step, decimals, minor, 10);  // 20 intervals: too many
  EXPECT_EQ(step, 2.0f);
  EXPECT_EQ(minor, 3);
  step = 8.0f;
  BAR_STEP(0.0f, 10.0f, 0.0f, step, decimals, minor, 10);  // 1 interval: too few
  EXPECT_EQ(step, 2.0f);
  step = 2.0f;
  BAR_STEP(0.0f, 10.0f, 0.25f, step, decimals, minor, 0);  // decimals also follow the start
  EXPECT_EQ(decimals, 2);
}

TEST(ColourBarScale, ZeroToHundred) {
  const Scale s = bar_scale(0.0f, 100.0f);
  EXPECT_EQ(s.step, 20.0f);
  EXPECT_EQ(s.minor, 3);
  EXPECT_EQ(s.decimals, 0);
  const std::vector<BarLabel> labels = labels_of(0.0f, 100.0f);
  EXPECT_EQ(trimmed_texts(labels), (std::vector<std::string>{"0", "20", "40", "60", "80", "100"}));
  ASSERT_EQ(labels.size(), 6u);
  EXPECT_EQ(labels[0].text, "       0      ");
  EXPECT_EQ(labels[1].text, "      20      ");
  EXPECT_EQ(labels[5].text, "      100     ");
  for (const BarLabel& l : labels) EXPECT_EQ(l.width, 10);
  // Position: the tick's x less 320, and 21 more for an unevenly centred text.
  const float scale = 3300.0f / 100.5f;
  EXPECT_FLOAT_EQ(labels[0].x, -1650.0f - 320.0f);
  EXPECT_NEAR(labels[5].x, -1650.0f + 100.0f * scale - 21.0f - 320.0f, 0.01);
  int majors = 0, minors = 0;
  count_ticks(0.0f, 100.0f, majors, minors);
  EXPECT_EQ(majors, 6);
  EXPECT_EQ(minors, 15);  // none after 100: 105 lies beyond 100.5
}

TEST(ColourBarScale, ZeroToFourThousandthsInExponentForm) {
  const Scale s = bar_scale(0.0f, 0.004f);
  EXPECT_FLOAT_EQ(s.step, 0.0005f);
  EXPECT_EQ(s.minor, 4);
  EXPECT_EQ(s.decimals, 3);
  const std::vector<BarLabel> labels = labels_of(0.0f, 0.004f);
  EXPECT_EQ(trimmed_texts(labels), (std::vector<std::string>{"0", "0.5E-3", "0.1E-2", "0.15E-2", "0.2E-2", "0.25E-2",
                                                             "0.3E-2", "0.35E-2", "0.4E-2"}));
  ASSERT_EQ(labels.size(), 9u);
  EXPECT_EQ(labels[1].text, "    0.5E-3    ");
  EXPECT_EQ(labels[3].text, "    0.15E-2   ");
  for (const BarLabel& l : labels) EXPECT_EQ(l.width, 14);
  // The last label would run past 1850 and is pulled back to end there.
  EXPECT_NEAR(labels[8].x, 1850.0f - 14.0f * 7.0f * 102.0f / 16.0f, 0.01);
  int majors = 0, minors = 0;
  count_ticks(0.0f, 0.004f, majors, minors);
  EXPECT_EQ(majors, 9);
  EXPECT_EQ(minors, 32);
}

TEST(ColourBarScale, ZeroToOneAndAHalf) {
  const Scale s = bar_scale(0.0f, 1.5f);
  EXPECT_FLOAT_EQ(s.step, 0.2f);
  EXPECT_EQ(s.minor, 3);
  EXPECT_EQ(s.decimals, 1);
  const std::vector<BarLabel> labels = labels_of(0.0f, 1.5f);
  // 1.6 lies beyond 1.5075.
  EXPECT_EQ(trimmed_texts(labels), (std::vector<std::string>{"0", "0.2", "0.4", "0.6", "0.8", "1.0", "1.2", "1.4"}));
  ASSERT_EQ(labels.size(), 8u);
  EXPECT_EQ(labels[1].text, "      0.2     ");
  for (const BarLabel& l : labels) EXPECT_EQ(l.width, 12);
  int majors = 0, minors = 0;
  count_ticks(0.0f, 1.5f, majors, minors);
  EXPECT_EQ(majors, 8);
  EXPECT_EQ(minors, 23);  // three after each of 0..1.2, then 1.45 and 1.5
}

TEST(BarLabelText, NegativeLargeAndZeroValues) {
  std::int32_t width = 10, odd = 0;
  EXPECT_EQ(bar_label_text(-5.0f, 5.0f, 0, width, odd), "      -5      ");
  EXPECT_EQ(odd, 0);
  width = 12;
  EXPECT_EQ(bar_label_text(-0.5f, 0.5f, 1, width, odd), "     -0.5     ");
  EXPECT_EQ(odd, 0);
  EXPECT_EQ(bar_label_text(1.0e-9f, 0.5f, 1, width, odd), "       0      ");
  EXPECT_EQ(width, 12);
  // Exponent form from 10000 on; the width then stays 14.
  width = 10;
  EXPECT_EQ(bar_label_text(20000.0f, 2000.0f, 0, width, odd), "    0.2E+5    ");
  EXPECT_EQ(width, 14);
  EXPECT_EQ(bar_label_text(-0.0025f, 0.0005f, 3, width, odd), "   -0.25E-2   ");
  // Whole numbers round half away from zero.
  width = 10;
  EXPECT_EQ(bar_label_text(2.5f, 2.5f, 0, width, odd), "       3      ");
  EXPECT_EQ(odd, 1);  // the extra blank stays on the left, where the text moved
  EXPECT_EQ(bar_label_text(-2.5f, 2.5f, 0, width, odd), "      -3      ");
}

TEST(ColourBarScale, NegativeHighestValueStaysInsideTheRange) {
  EXPECT_FLOAT_EQ(bar_top(10.0f), 10.05f);
  EXPECT_EQ(bar_top(0.0f), 0.0f);
  EXPECT_GT(bar_top(-2.0f), -2.0f);
  const std::vector<BarLabel> labels = labels_of(-10.0f, -2.0f);
  EXPECT_EQ(trimmed_texts(labels), (std::vector<std::string>{"-10", "-9", "-8", "-7", "-6", "-5", "-4", "-3", "-2"}));
}

TEST(ColourBarScale, ATickStepLostInRoundingEndsTheLoops) {
  // 1e8 + 1 is 1e8 in float: the ticks cannot advance, yet the loops end.
  const std::vector<TickMark> ticks = bar_ticks(1.0e8f, 1.0e8f + 8.0f, 1.0e8f, 1.0f, 1);
  EXPECT_LE(ticks.size(), 2002u);
  EXPECT_LT(first_tick(1.0e8f, 1.0f, 1.0e8f), 1.0e8f);
}
