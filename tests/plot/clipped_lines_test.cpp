// Lines cut to the clip window: the visible part of each segment (its MARKEL
// line records), the clip pen, thick lines stroke by stroke, text at the pen,
// the edge intersections and their two fatal message boxes, and ANGLE_DEG.
#include <gtest/gtest.h>

#include <filesystem>

#include "plot/clipped_lines.h"
#include "plot/plot_fixture.h"

using namespace kesto;
using kesto::testing::PlotTest;

namespace {

class ClippedLines : public PlotTest {
 protected:
  void SetUp() override {
    PlotTest::SetUp();
    plot::clip_state() = plot::ClipState{};
    start_recording();
    plot::TEKPAGE(0);
    header_lines_ += 3;  // the picture's separator comments
  }
  // The records written since the last call, joined by "|".
  std::string drawn() {
    const auto all = records();
    std::string out;
    for (std::size_t i = seen_; i < all.size(); ++i) out += (out.empty() ? "" : "|") + all[i];
    seen_ = all.size();
    return out;
  }
  std::size_t seen_ = 0;
};

struct Segment {
  float px, py, qx, qy;
  const char* drawn;
};

}  // namespace

TEST_F(ClippedLines, SegmentsAreCutToTheInitialWindow) {
  const Segment cases[] = {
      {0, 0, 3000, 0, "LI     0     0  1870     0     0"},             // leaves on the right
      {-3000, -3000, 3000, 3000, "LI -1248 -1248  1245  1245     0"},  // in at the bottom, out at the top
      {0, 500, 0, 3000, "LI     0   500     0  1245     0"},           // vertical, up
      {0, 500, 0, -3000, "LI     0   500     0 -1248     0"},          // vertical, down
      {-100, 1300, 100, 1400, ""},                                     // wholly above
      {-2000, -100, -1900, 100, ""},                                   // wholly left
      {10, 20, 30, 40, "LI    10    20    30    40     0"},            // wholly inside
      {0, 0, 1870, 1245, "LI     0     0  1870  1245     0"},          // ends on the corner
      {3000, 0, 0, 0, "LI  1870     0     0     0     0"},             // enters from the right
      {0, -3000, 0, 0, "LI     0 -1248     0     0     0"},            // vertical, enters from below
      {0, -3000, 0, 3000, "LI     0 -1248     0  1245     0"},         // vertical, across
      {-3000, 100, 3000, 100, "LI -1880   100  1870   100     0"},     // horizontal, across
      {-2000, 0, 0, 2000, "LI -1880   120  -755  1245     0"},         // left to above
      {3000, -3000, 0, 0, "LI  1248 -1248     0     0     0"},         // below right: the bottom edge
      {2000, 1250, 0, 0, "LI  1870  1169     0     0     0"},          // above right: the right edge
      {2000, 1300, 0, 1200, "LI   900  1245     0  1200     0"},       // above right: the top edge
      {1869, 1400, 2000, 1244, ""},                                    // beside the top right corner
      // The line is taken through the ends in the segment's own order: the
      // same segment either way round meets the edge at 423.49997 or 423.5.
      {580, 230, 3000, 593, "LI   580   230  1870   423     0"},
      {3000, 593, 580, 230, "LI  1870   424   580   230     0"},
  };
  for (const Segment& c : cases) {
    plot::CLIP_MOVE(c.px, c.py);
    plot::CLIP_DRAW(c.qx, c.qy);
    EXPECT_EQ(drawn(), c.drawn) << c.px << ", " << c.py << " to " << c.qx << ", " << c.qy;
    EXPECT_EQ(plot::clip_state().cx, c.qx);  // the pen is the caller's end, uncut
    EXPECT_EQ(plot::clip_state().cy, c.qy);
  }
  const std::size_t from = shell::plot_buffer().used;
  plot::CLIP_MOVE(0, 0);
  plot::CLIP_DRAW(3000, 0);
  const auto lines = kesto::testing::line_records(from);  // the cut line on screen
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].x[1], 1870);
}

// A window without y = 0: a vertical segment leaves through the edge on its
// own end's side.
TEST_F(ClippedLines, VerticalSegmentsLeaveAWindowAwayFromZeroOnTheirOwnSide) {
  plot::CLIP_WINDOW(-100, 100, 100, 500);
  const Segment cases[] = {
      {0, 300, 0, 50, "LI     0   300     0   100     0"},
      {0, 300, 0, 900, "LI     0   300     0   500     0"},
      {0, 50, 0, 300, "LI     0   100     0   300     0"},
      {0, 900, 0, 300, "LI     0   500     0   300     0"},
  };
  for (const Segment& c : cases) {
    plot::CLIP_MOVE(c.px, c.py);
    plot::CLIP_DRAW(c.qx, c.qy);
    EXPECT_EQ(drawn(), c.drawn) << c.py << " to " << c.qy;
  }
}

TEST_F(ClippedLines, ThickLinesAreClippedStrokesFromRightToLeft) {
  struct Wide {
    float px, py, qx, qy, w;
    const char* drawn;
    float pen_x, pen_y;
  };
  const Wide cases[] = {
      {0, 0, 100, 0, 2.0f,  // five strokes, the centre one third
       "LI     0    -2   100    -2     0|LI     0    -1   100    -1     0|LI     0     0   100     0     0|"
       "LI     0     1   100     1     0|LI     0     2   100     2     0",
       100, 2},
      {0, 0, 0, 50, 1.0f,
       "LI     1     0     1    50     0|LI     0     0     0    50     0|LI    -1     0    -1    50     0", -1, 50},
      {0, 0, 10, 0, 0.4f, "LI     0     0    10     0     0", 10, 0},
      {1800, 0, 1900, 0, 1.0f,  // each stroke cut at the window
       "LI  1800    -1  1870    -1     0|LI  1800     0  1870     0     0|LI  1800     1  1870     1     0", 1900, 1},
      {5, 5, 5, 5, 3.0f, "", 5, 5},  // to the pen itself
  };
  for (const Wide& c : cases) {
    plot::CLIP_MOVE(c.px, c.py);
    plot::CLIP_WIDE(c.qx, c.qy, c.w);
    EXPECT_EQ(drawn(), c.drawn) << c.qx << ", " << c.qy << " w " << c.w;
    EXPECT_NEAR(plot::clip_state().cx, c.pen_x, 1e-4);
    EXPECT_NEAR(plot::clip_state().cy, c.pen_y, 1e-4);
  }
}

TEST_F(ClippedLines, TextOnlyWhereThePenLiesWithinFixedBounds) {
  const Segment cases[] = {{1650, 1250, 0, 0, "CH  1650  1250  8 S 0 AB"},
                           {-1650, -1250, 0, 0, "CH -1650 -1250  8 S 0 AB"},
                           {1700, 0, 0, 0, ""},  // inside the clip window, beyond the text bounds
                           {0, 1251, 0, 0, ""}};
  for (const Segment& c : cases) {
    plot::CLIP_MOVE(c.px, c.py);
    plot::CLIP_TEXT(8, 0, "ABC", 2);
    EXPECT_EQ(drawn(), c.drawn) << c.px << ", " << c.py;
  }
}

TEST_F(ClippedLines, EdgeIntersectionsOfTheCurrentLine) {
  plot::clip_state().m = 2.0f;
  plot::clip_state().b = 10.0f;
  const float edge[5][2] = {{0, 0}, {1870, 3750}, {617.5f, 1245}, {-1880, -3750}, {-629, -1248}};
  for (int k = 1; k <= 4; ++k) {
    float x = 0, y = 0;
    plot::ROFLO(k, x, y);
    EXPECT_EQ(x, edge[k][0]) << k;
    EXPECT_EQ(y, edge[k][1]) << k;
  }
  // RCEDGE: the edge on the point's side; past a corner the second edge when
  // the first is met beyond the window.
  const struct {
    float px, py;
    int edge;
  } sides[] = {{2000, 0, 1}, {0, 2000, 2}, {-2000, 0, 3}, {0, -2000, 4}, {2000, 2000, 2}, {-2000, -2000, 4}};
  for (const auto& s : sides) {
    float x = 0, y = 0;
    plot::RCEDGE(s.px, s.py, x, y);
    EXPECT_EQ(x, edge[s.edge][0]) << s.px << ", " << s.py;
    EXPECT_EQ(y, edge[s.edge][1]) << s.px << ", " << s.py;
  }
}

namespace {

struct Impossible {
  const char* name;
  const char* text;
  void (*call)();
};
void PrintTo(const Impossible& i, std::ostream* os) { *os << i.name; }

float gx, gy;
const Impossible kImpossible[] = {{"RofloEdgeFive", "FATAL ERROR IN ROFLO", [] { plot::ROFLO(5, gx, gy); }},
                                  {"RofloEdgeZero", "FATAL ERROR IN ROFLO", [] { plot::ROFLO(0, gx, gy); }},
                                  {"RcedgeInside", "FATAL ERROR IN RCEDGE", [] { plot::RCEDGE(0, 0, gx, gy); }}};

class ImpossibleEdge : public PlotTest, public ::testing::WithParamInterface<Impossible> {};

}  // namespace

TEST_P(ImpossibleEdge, EndsTheRunAfterItsMessageBoxWithTheSettingsSaved) {
  const auto run = kesto::testing::run_captured(GetParam().call, "answer ok\n");
  EXPECT_EQ(run.how, common::RunEnded::Kind::fatal);
  ASSERT_EQ(shell::message_log().size(), 1u);
  EXPECT_EQ(shell::message_log()[0].caption, "kesto");
  EXPECT_EQ(shell::message_log()[0].text, GetParam().text);
  EXPECT_TRUE(std::filesystem::exists(shell::settings_path()));
  EXPECT_EQ(shell::main_window(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(ClippedLines, ImpossibleEdge, ::testing::ValuesIn(kImpossible),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(AngleDeg, DirectionsInDegreesFromZeroBelow360) {
  const struct {
    std::int32_t dx, dy;
    float degrees;
  } cases[] = {{-1, 1, 135}, {1, -1, 315}, {0, -5, 270}, {0, 5, 90},    {0, 0, 90},
               {1, 0, 0},    {-7, 0, 180}, {3, 3, 45},   {-2, -2, 225}, {2, 1, 26.565052f}};
  for (const auto& c : cases) EXPECT_FLOAT_EQ(plot::ANGLE_DEG(c.dx, c.dy), c.degrees) << c.dx << ", " << c.dy;
  EXPECT_EQ(plot::ANGLE_DEG(2147483647, -1), 359.99997f);  // just below +x: never 360 itself
}
