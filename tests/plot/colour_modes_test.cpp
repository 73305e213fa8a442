// Colour modes and the palette display: the palette each of the seven modes
// realises and the record it writes, the palette a colour routine realises
// when no mode was chosen, the bytes LCRGB shows, and the palette display's
// MARKEL records and swatches.
#include <gtest/gtest.h>

#include <algorithm>

#include "plot/palette_display.h"
#include "plot/plot_fixture.h"

using namespace kesto;
using kesto::testing::PlotTest;
using kesto::testing::run_captured;

namespace {

class ColourModes : public PlotTest {};

struct Realised {
  std::int16_t number;
  int logical;
};

Realised realised() { return {shell::graphics_state().realised_number, shell::graphics_state().logical_palette}; }

}  // namespace

TEST_F(ColourModes, EachModeRealisesItsPaletteAndWritesItsRecord) {
  struct Mode {
    std::int32_t imode;
    std::int16_t number;
    int logical;
    const char* record;
  };
  const Mode modes[] = {
      {1, 1, 1, "SC MODE BAR"},           {2, 2, 1, "SC MODE RGB"}, {3, 3, 1, "SC MODE GREY"},
      {4, 4, 2, "SC MODE CIRCL"},         {5, 5, 2, "SC MODE HOT"}, {6, 5, 2, "SC MODE HOTPJ"},
      {7, 6, 3, "SC MODE HOTIRON SCALE"},
  };
  start_recording();
  for (const Mode& m : modes) {
    plot::LCMODE(m.imode);
    EXPECT_EQ(realised().number, m.number) << m.imode;
    EXPECT_EQ(realised().logical, m.logical) << m.imode;
    EXPECT_EQ(shell::graphics_state().palette_number, m.number) << m.imode;
    EXPECT_EQ(records().back(), m.record);
  }
  // Outside 1-7: 0 forgets the palette number, 8 leaves it; neither records.
  const std::size_t count = records().size();
  plot::LCMODE(0);
  EXPECT_EQ(shell::graphics_state().palette_number, 0);
  plot::LCMODE(4);
  ::testing::internal::CaptureStdout();
  plot::LCMODE(8);
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(shell::graphics_state().palette_number, 4);
  EXPECT_EQ(records().size(), count + 1);
}

TEST_F(ColourModes, WithoutAModeEachRoutineRealisesItsDefaultPalette) {
  struct Default {
    const char* routine;
    void (*call)();
    std::int16_t number;
    int logical;
  };
  const Default cases[] = {
      {"LCBAR", [] { plot::LCBAR(3); }, 1, 1},    {"LCRGB", [] { plot::LCRGB(1, 2, 3); }, 2, 1},
      {"LCGREY", [] { plot::LCGREY(4); }, 3, 1},  {"LCCIRCL", [] { plot::LCCIRCL(0.5f); }, 4, 2},
      {"LCHOT", [] { plot::LCHOT(0.5f); }, 5, 2}, {"LCIRON", [] { plot::LCIRON(0.5f); }, 6, 3},
  };
  for (const Default& c : cases) {
    shell::graphics_state().palette_number = 0;  // as after opening
    c.call();
    EXPECT_EQ(realised().number, c.number) << c.routine;
    EXPECT_EQ(realised().logical, c.logical) << c.routine;
  }
  // After a mode every routine works on the mode's palette.
  plot::LCMODE(7);
  for (const Default& c : cases) {
    c.call();
    EXPECT_EQ(realised().number, 6) << c.routine;
  }
}

// LCRGB takes whole numbers 0-255: the bytes shown, held at the ends of the
// range on screen; the record carries them as given.
TEST_F(ColourModes, RgbArgumentsBeyondTheByteRangeAreHeldOnScreen) {
  start_recording();
  plot::LCRGB(-5, 300, 1000);
  EXPECT_EQ(shell::colour_state().set_red, 0);
  EXPECT_EQ(shell::colour_state().set_green, 255);
  EXPECT_EQ(shell::colour_state().set_blue, 255);
  EXPECT_EQ(records().back(), "SC RGB  -5300***");
}

TEST_F(ColourModes, PaletteDisplayRecordsColoursAndLabelsButNoRectangles) {
  start_recording();
  const auto run = run_captured([] { plot::PALETTE_SHOW(); });
  EXPECT_FALSE(run.ended);
  const auto r = records();
  ASSERT_EQ(r.size(), 3u + 3u + 2u * 15u + 2u);
  EXPECT_EQ(std::vector<std::string>(r.begin(), r.begin() + 10),
            (std::vector<std::string>{
                "CM", "CM ", "CM", "SC MODE BAR", "SC BAR   7", "CH  -600  1000 12 S 0 COLOUR PALETTE", "SC BAR   1",
                "CH  -500   770 12 S 0 COLOUR NUMBER  1", "SC BAR   2", "CH  -500   640 12 S 0 COLOUR NUMBER  2"}));
  EXPECT_EQ(std::vector<std::string>(r.end() - 4, r.end()),
            (std::vector<std::string>{"SC BAR  15", "CH  -500 -1050 12 S 0 COLOUR NUMBER 15", "CM", "CM"}));
  for (std::size_t i = 6; i + 2 < r.size(); i += 2) {
    EXPECT_EQ(r[i].substr(0, 8), "SC BAR  ") << i;
    EXPECT_EQ(r[i].substr(8), r[i + 1].substr(36)) << "the swatch's colour is its label's number";
  }
  EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const std::string& l) { return l[0] == 'R' || l[0] == 'Q'; }), 0);
}

TEST_F(ColourModes, PaletteDisplaySwatchesFillInTheirColours) {
  run_captured([] { plot::PALETTE_SHOW(); });
  // Each swatch is a filled rectangle, inset on every side, after the colour
  // of its number in palette 1 (6-bit levels times 4; grey 191 from 8 on).
  std::vector<shell::PlotRecord> swatches;
  std::vector<shell::PlotRecord> colours;
  shell::PlotRecord before;
  for (const shell::PlotRecord& p : kesto::testing::plot_records()) {
    if (p.opcode == shell::OP_FILLED_RECT) {
      swatches.push_back(p);
      colours.push_back(before);
    }
    before = p;
  }
  ASSERT_EQ(swatches.size(), 15u);
  struct Swatch {
    int k;
    std::int16_t top, bottom;
    std::uint8_t red, blue, green, grey;
  };
  const Swatch expected[] = {
      {1, 860, 770, 252, 0, 0, 255},     {7, 80, -10, 252, 252, 252, 255},    {8, -50, -140, 124, 124, 124, 191},
      {9, -180, -270, 252, 0, 124, 191}, {15, -960, -1050, 0, 124, 124, 191},
  };
  for (const Swatch& e : expected) {
    const shell::PlotRecord& s = swatches[static_cast<std::size_t>(e.k - 1)];
    EXPECT_EQ(s.x[0], -1000) << e.k;
    EXPECT_EQ(s.y[0], e.top) << e.k;
    EXPECT_EQ(s.x[1], -600) << e.k;
    EXPECT_EQ(s.y[1], e.bottom) << e.k;
    EXPECT_EQ(s.flags, 0x0F) << e.k;
    const shell::PlotRecord& c = colours[static_cast<std::size_t>(e.k - 1)];
    EXPECT_EQ(c.opcode, shell::OP_RGB_GREY) << e.k;
    EXPECT_EQ(std::vector<int>(c.values, c.values + 4), (std::vector<int>{e.red, e.blue, e.green, e.grey})) << e.k;
  }
}

TEST_F(ColourModes, PaletteDisplayStaysUntilAKey) {
  std::string error;
  ASSERT_TRUE(shell::parse_script("key x\n", shell::script(), error)) << error;
  plot::PALETTE_SHOW();
  EXPECT_TRUE(shell::script().done()) << "the key was waited for";
  EXPECT_FALSE(shell::graphics_state().graphics_shown);
  EXPECT_FALSE(shell::window_state().graphics_mode) << "the text screen is back";
}
