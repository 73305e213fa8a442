// The three logical palettes (standard colours, colour cube, grey ramps, hue
// circle, thermal ramp) with their stated anchors, the scaling of palettes 1
// and 2 to 8-bit steps, and the arithmetic of the colour scales at their ends.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "shell/graphics/palettes.h"

namespace kesto::shell {
namespace {

Rgb entry(int palette, int e) { return Palettes{}.logical[static_cast<std::size_t>(palette - 1)].colour(e); }

TEST(Palettes, HueCircleOfPalette2PassesItsAnchorsEvenlySpaced) {
  EXPECT_EQ(Palettes{}.logical[1].count, 224);
  EXPECT_EQ(entry(2, 43), (Rgb{63, 0, 0}));
  EXPECT_EQ(entry(2, 73), (Rgb{63, 0, 63}));   // magenta
  EXPECT_EQ(entry(2, 103), (Rgb{0, 0, 63}));   // blue
  EXPECT_EQ(entry(2, 133), (Rgb{0, 63, 63}));  // cyan
  EXPECT_EQ(entry(2, 163), (Rgb{0, 63, 0}));   // green
  EXPECT_EQ(entry(2, 193), (Rgb{63, 63, 0}));  // yellow
  EXPECT_EQ(entry(2, 223), (Rgb{63, 0, 0}));
  EXPECT_EQ(entry(2, 88), (Rgb{32, 0, 63}));  // halfway from magenta to blue
  // Neighbouring entries of the circle differ by one even step at most.
  for (int e = 44; e <= 223; ++e) {
    const Rgb a = entry(2, e - 1), b = entry(2, e);
    EXPECT_LE(std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue), 3) << e;
  }
}

TEST(Palettes, GreyRampsAndStandardColours) {
  EXPECT_EQ(entry(2, 16), (Rgb{0, 0, 0}));
  EXPECT_EQ(entry(2, 31), (Rgb{63, 63, 63}));
  for (int e = 17; e <= 31; ++e) EXPECT_GT(entry(2, e).red, entry(2, e - 1).red);
  for (int e = 32; e <= 42; ++e) EXPECT_EQ(entry(2, e), (Rgb{31, 31, 31}));
  EXPECT_EQ(entry(1, 9), (Rgb{63, 31, 0}));  // 6-bit standard colours
  EXPECT_EQ(entry(2, 7), (Rgb{63, 63, 63}));
  EXPECT_EQ(entry(3, 9), (Rgb{255, 127, 0}));  // 8-bit standard colours
  for (int i = 0; i < 16; ++i) EXPECT_EQ(entry(3, 16 + i), grey(17 * i));
}

TEST(Palettes, ColourCubeOfPalette1RunsRedSlowestBlueFastest) {
  EXPECT_EQ(Palettes{}.logical[0].count, 236);
  EXPECT_EQ(entry(1, 16), (Rgb{0, 0, 0}));
  EXPECT_EQ(entry(1, 17), (Rgb{0, 0, 13}));
  EXPECT_EQ(entry(1, 22), (Rgb{0, 13, 0}));
  EXPECT_EQ(entry(1, 52), (Rgb{13, 0, 0}));
  EXPECT_EQ(entry(1, 16 + 36 * 3 + 6 * 4 + 5), (Rgb{38, 50, 63}));
  EXPECT_EQ(entry(1, 231), (Rgb{63, 63, 63}));
}

TEST(Palettes, ThermalRampOfPalette3RisesFromNearBlackThroughPurpleAndRedToYellow) {
  EXPECT_EQ(Palettes{}.logical[2].count, 225);
  EXPECT_EQ(entry(3, 32), (Rgb{0, 0, 0}));
  const Rgb first = entry(3, 33);
  EXPECT_FALSE(is_black(first));
  EXPECT_LE(first.red + first.green + first.blue, 6);
  EXPECT_EQ(entry(3, 100), (Rgb{90, 0, 85}));
  EXPECT_EQ(entry(3, 162), (Rgb{255, 0, 0}));
  EXPECT_EQ(entry(3, 224), (Rgb{255, 255, 0}));
  for (int e = 34; e <= 224; ++e) {
    EXPECT_GE(entry(3, e).red, entry(3, e - 1).red) << e;
    EXPECT_GE(entry(3, e).green, entry(3, e - 1).green) << e;
  }
}

TEST(Palettes, OpeningScalesPalettes1And2OnceAndLeavesPalette3) {
  palettes() = Palettes{};
  scale_palettes();
  scale_palettes();
  EXPECT_EQ(logical_palette(1).colour(7), (Rgb{252, 252, 252}));
  EXPECT_EQ(logical_palette(2).colour(43), (Rgb{252, 0, 0}));
  EXPECT_EQ(logical_palette(2).colour(8), (Rgb{124, 124, 124}));
  EXPECT_EQ(logical_palette(3).colour(224), (Rgb{255, 255, 0}));
  EXPECT_EQ(logical_palette(3).colour(7), (Rgb{255, 255, 255}));
  palettes() = Palettes{};
}

TEST(Palettes, PaletteNumbersRealiseTheirLogicalPalette) {
  EXPECT_EQ(logical_palette_for(0), 0);
  EXPECT_EQ(logical_palette_for(1), 1);
  EXPECT_EQ(logical_palette_for(3), 1);
  EXPECT_EQ(logical_palette_for(4), 2);
  EXPECT_EQ(logical_palette_for(5), 2);
  EXPECT_EQ(logical_palette_for(6), 3);
  EXPECT_EQ(logical_palette_for(7), 0);
  EXPECT_EQ(logical_palette_for(-1), 0);
  EXPECT_EQ(Palettes{}.logical[0].colour(300), Palettes{}.logical[0].colour(0));
}

TEST(ColourScales, UnipolarPicksTheUpperHueCircle) {
  EXPECT_EQ(unipolar_scale(0.1f).entry, 115);
  EXPECT_EQ(unipolar_scale(0.7f).entry, 186);  // 0.7 as a float lies just below 0.7
  EXPECT_EQ(unipolar_scale(1.0f).entry, 223);
  EXPECT_EQ(unipolar_scale(0.0f).entry, 103);
  EXPECT_EQ(unipolar_scale(-0.5f).entry, 103);
  EXPECT_EQ(unipolar_scale(7.0f).entry, 223);
  EXPECT_EQ(unipolar_scale(std::numeric_limits<float>::quiet_NaN()).entry, 103);
  EXPECT_EQ(unipolar_scale(0.5f).grey, 128);
  EXPECT_EQ(unipolar_scale(1.0f).grey, 255);
}

TEST(ColourScales, BipolarSpansTheWholeCircle) {
  EXPECT_EQ(bipolar_scale(-1.0f).entry, 43);
  EXPECT_EQ(bipolar_scale(-1.0f).grey, 0);
  EXPECT_EQ(bipolar_scale(1.0f).entry, 223);
  EXPECT_EQ(bipolar_scale(1.0f).grey, 255);  // 256 clamped
  EXPECT_EQ(bipolar_scale(0.0f).entry, 133);
  EXPECT_EQ(bipolar_scale(0.0f).grey, 128);
  EXPECT_EQ(bipolar_scale(-3.0f).entry, 43);
  EXPECT_EQ(bipolar_scale(std::numeric_limits<float>::infinity()).entry, 223);
}

TEST(ColourScales, ThermalStepsAndFractionBytes) {
  EXPECT_EQ(thermal_scale(0.0f).entry, 0);
  EXPECT_EQ(thermal_scale(1.0f).entry, 192);
  EXPECT_EQ(thermal_scale(1.0f).grey, 255);
  EXPECT_EQ(thermal_scale(0.5f).entry, 96);
  EXPECT_EQ(thermal_scale(0.003f).entry, 0);
  EXPECT_EQ(thermal_scale(0.003f).grey, 0);
  EXPECT_EQ(fraction_byte(1.0f), 255);
  EXPECT_EQ(fraction_byte(0.5f), 128);
  EXPECT_EQ(fraction_byte(-1.0f), 0);
  EXPECT_EQ(fraction_byte(std::numeric_limits<float>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace kesto::shell
