// The plotting kernel on a real offscreen window: what each routine draws
// (read back from the plot buffer) and the MARKEL records it writes while
// recording: lines that round to a point, thick lines, arcs, text
// orientation and justification, colour modes, comments and TEKFLUSH.
#include <gtest/gtest.h>

#include <cmath>

#include "plot/plot_fixture.h"

using namespace kesto;
using kesto::testing::line_records;
using kesto::testing::PlotTest;

namespace {

class Kernel : public PlotTest {
 protected:
  // Starts a picture and returns the plot buffer position after its start.
  std::size_t begin_picture() {
    plot::TEKPAGE(0);
    return shell::plot_buffer().used;
  }
};

bool same_line(const shell::PlotRecord& r, int x1, int y1, int x2, int y2) {
  return r.x[0] == x1 && r.y[0] == y1 && r.x[1] == x2 && r.y[1] == y2;
}

}  // namespace

TEST_F(Kernel, OpeningNamesTheWindowAndMapsPageUnitsOneToOne) {
  EXPECT_EQ(shell::window_state().caption, "kesto");
  const std::size_t from = begin_picture();
  plot::TEKMOVE(100.0f, 200.0f);
  plot::TEKDRAW(-1650.0f, -925.0f);
  const auto lines = line_records(from);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(same_line(lines[0], 100, 200, -1650, -925));
  EXPECT_TRUE(shell::window_state().graphics_mode);
}

TEST_F(Kernel, LinesShorterThanHalfAUnitDrawButLeaveNoRecord) {
  start_recording();
  const std::size_t from = begin_picture();
  plot::TEKMOVE(0.0f, 0.0f);
  plot::TEKDRAW(0.4f, -0.3f);   // rounds to the current point
  plot::TEKDRAW(10.5f, -0.3f);  // from (0.4, -0.3): rounded (0, 0) to (11, 0)
  EXPECT_EQ(line_records(from).size(), 2u);
  const auto r = records();
  ASSERT_EQ(r.size(), 4u);  // three separator comments, one line
  EXPECT_EQ(r[0], "CM");
  EXPECT_EQ(r[1], "CM ");
  EXPECT_EQ(r[2], "CM");
  EXPECT_EQ(r[3], "LI     0     0    11     0     0");
  // TEKPAGE(1) continues the picture without separators.
  plot::TEKPAGE(1);
  EXPECT_EQ(records().size(), 4u);
}

TEST_F(Kernel, ThickLinesAreParallelStrokesCentreLast) {
  start_recording();
  std::size_t from = begin_picture();
  plot::TEKMOVE(0.0f, 0.0f);
  plot::TEKWIDE(100.0f, 0.0f, 1.4f);  // rounds to width 1: one line
  auto lines = line_records(from);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(same_line(lines[0], 0, 0, 100, 0));

  from = shell::plot_buffer().used;
  plot::TEKWIDE(100.0f, 100.0f, 2.0f);  // from (100, 0) upwards: offsets along -x
  lines = line_records(from);
  ASSERT_EQ(lines.size(), 5u);
  const int offsets[] = {2, 1, -1, -2};  // k = -2, -1, 1, 2 times the normal (-1, 0)
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(same_line(lines[i], 100 + offsets[i], 0, 100 + offsets[i], 100)) << i;
  EXPECT_TRUE(same_line(lines[4], 100, 0, 100, 100));

  from = shell::plot_buffer().used;
  plot::TEKWIDE(100.0f, 100.0f, 3.0f);  // to the current point itself
  EXPECT_TRUE(line_records(from).empty());

  const auto r = records();
  ASSERT_EQ(r.size(), 5u);  // separators, two LW records; nothing for the empty line
  EXPECT_EQ(r[3], "LW     0     0   100     0     1 ");
  EXPECT_EQ(r[4], "LW   100     0   100   100     2 ");
}

TEST_F(Kernel, ArcsRunAnticlockwiseOnTheCircle) {
  start_recording();
  const std::size_t from = begin_picture();
  plot::TEKARC(0.0f, 0.0f, 100.0f, 0.0f, 0.0f, 50.0f);  // a quarter circle of radius 100
  const auto lines = line_records(from);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().x[0], 100);
  EXPECT_EQ(lines.front().y[0], 0);
  for (const auto& l : lines) {
    EXPECT_NEAR(std::hypot(l.x[1], l.y[1]), 100.0, 1.5);
    EXPECT_GE(l.x[1], -1);
    EXPECT_GE(l.y[1], -1);
  }
  EXPECT_NEAR(lines.back().x[1], 0, 1);
  EXPECT_NEAR(lines.back().y[1], 100, 1);
  // Chords of about 5 units growing by a tenth of the excess radius: 0.145 rad.
  EXPECT_EQ(lines.size(), 11u);
  EXPECT_EQ(records().back(), "CI     0     0   100     0     0    50 ");
}

TEST_F(Kernel, ArcEndingOnItsStartIsACircleAndTinyArcsDrawNothing) {
  start_recording();
  std::size_t from = begin_picture();
  // Start straight above the centre: the end, one unit lower, has the
  // same direction, so the whole circle is drawn.
  plot::TEKARC(0.0f, 0.0f, 0.0f, 50.0f, 0.2f, 50.3f);
  auto lines = line_records(from);
  ASSERT_FALSE(lines.empty());
  EXPECT_NEAR(lines.back().x[1], 0, 1);
  EXPECT_NEAR(lines.back().y[1], 50, 1);
  EXPECT_EQ(records().back(), "CI     0     0     0    50     0    49 ");
  // Start to the right: the end direction lies just below it, almost a full
  // circle that stops short of the start.
  from = shell::plot_buffer().used;
  plot::TEKARC(0.0f, 0.0f, 50.0f, 0.0f, 50.0f, 0.0f);
  lines = line_records(from);
  EXPECT_EQ(lines.size(), 36u);  // 10-degree chords short of 2 pi by 0.02 rad
  ASSERT_FALSE(lines.empty());
  EXPECT_NEAR(lines.back().x[1], 50, 1);
  EXPECT_NEAR(lines.back().y[1], -1, 1);
  EXPECT_EQ(records().back(), "CI     0     0    50     0    50    -1 ");
  // A radius under half a unit: nothing drawn, nothing recorded.
  const std::size_t count = records().size();
  from = shell::plot_buffer().used;
  plot::TEKARC(10.0f, 10.0f, 10.3f, 9.8f, 20.0f, 20.0f);
  EXPECT_TRUE(line_records(from).empty());
  EXPECT_EQ(records().size(), count);
}

TEST_F(Kernel, TextAdvancesAlongItsOrientation) {
  begin_picture();
  // Blanks advance by exactly one character height h = 7 * 45/7 = 45 each,
  // after a start shifted one glyph unit (7/1.4 = 5) along the direction.
  const float expected[4][2] = {{100 + 5 + 90, 200}, {100, 200 + 5 + 90}, {100 - 5 - 90, 200}, {100, 200 - 5 - 90}};
  for (int o = 0; o < 4; ++o) {
    plot::TEKMOVE(100.0f, 200.0f);
    plot::TEKTEXT(7, o, "  ", 2);
    float x = 0, y = 0;
    plot::TEKWHERE(x, y);
    EXPECT_NEAR(x, expected[o][0], 0.01) << "orientation " << o;
    EXPECT_NEAR(y, expected[o][1], 0.01) << "orientation " << o;
  }
  // Orientation 1 writes upwards with the glyphs turned: sine -1, cosine 0.
  plot::TEKTEXT(7, 1, "A", 1);
  EXPECT_FLOAT_EQ(shell::graphics_state().sine, -1.0f);
  EXPECT_FLOAT_EQ(shell::graphics_state().cosine, 0.0f);
  EXPECT_FLOAT_EQ(shell::graphics_state().ay, 45.0f);
  // Any orientation beyond 3 writes downwards like 3.
  plot::TEKMOVE(0.0f, 0.0f);
  plot::TEKTEXT(7, 9, " ", 1);
  float x = 0, y = 0;
  plot::TEKWHERE(x, y);
  EXPECT_NEAR(y, -50.0f, 0.01);
}

TEST_F(Kernel, TextRecordsTheCallersPointAndCountNotTheShellsPen) {
  start_recording();
  const std::size_t from = begin_picture();
  plot::TEKMOVE(899.6f, -1230.4f);
  plot::TEKTEXT(10, 0, "   100/  1000", 13);
  plot::TEKTEXT(10, 0, "ABC", 0);  // nothing drawn, the record still written
  const auto r = records();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[3], "CH   900 -1230 10 S 0    100/  1000");
  EXPECT_EQ(r[4], "CH   900 -1230 10 S 0 ");
  EXPECT_FALSE(line_records(from).empty());  // the digits were stroked
}

TEST_F(Kernel, JustifiedTextIsCentredOnOrEndsAtThePoint) {
  begin_picture();
  // "  " at size 7 spans 5 + 2 * 45 = 95 units from its start.
  plot::TEKJUST('M', 0, 0, 7, 0, "  ", 2);
  float x = 0, y = 0;
  plot::TEKWHERE(x, y);
  EXPECT_NEAR(x, -47.5f, 0.01);
  EXPECT_NEAR(y, 0.0f, 0.01);
  plot::TEKJUST('l', 100, 50, 7, 1, "  ", 2);  // upwards, ending at (100, 50)
  plot::TEKWHERE(x, y);
  EXPECT_NEAR(x, 100.0f, 0.01);
  EXPECT_NEAR(y, 50.0f - 95.0f + 7.0f * 2.142857f, 0.01);
  plot::TEKJUST('X', 30, 40, 7, 0, "  ", 2);  // another mode: start at the point
  plot::TEKWHERE(x, y);
  EXPECT_NEAR(x, 30.0f, 0.01);
  EXPECT_NEAR(y, 40.0f, 0.01);
}

TEST_F(Kernel, ColourModesShareHotsPaletteButNotItsRecord) {
  start_recording();
  begin_picture();
  plot::LCMODE(5);
  EXPECT_EQ(shell::graphics_state().realised_number, 5);
  plot::LCHOT(0.5f);
  const QColor hot(shell::colour_state().red, shell::colour_state().green, shell::colour_state().blue);
  plot::LCMODE(1);
  plot::LCMODE(6);
  EXPECT_EQ(shell::graphics_state().realised_number, 5);
  plot::LCHOT(0.5f);
  EXPECT_EQ(QColor(shell::colour_state().red, shell::colour_state().green, shell::colour_state().blue), hot);
  plot::LCMODE(7);
  EXPECT_EQ(shell::graphics_state().realised_number, 6);
  const auto r = records();
  ASSERT_EQ(r.size(), 3u + 6u);
  EXPECT_EQ(r[3], "SC MODE HOT");
  EXPECT_EQ(r[4], "SC HOT     0.500");
  EXPECT_EQ(r[5], "SC MODE BAR");
  EXPECT_EQ(r[6], "SC MODE HOTPJ");
  EXPECT_EQ(r[8], "SC MODE HOTIRON SCALE");
}

TEST_F(Kernel, IllegalColourModeReportsOnStandardOutputOnlyWhileRecording) {
  ::testing::internal::CaptureStdout();
  plot::LCMODE(8);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  start_recording();
  ::testing::internal::CaptureStdout();
  plot::LCMODE(8);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "\n ERROR>>>\n ILLEGAL LCMODE CALL\n IMODE =            8\n IMODE MUST BE 0<IMODE<6\n\n");
  EXPECT_TRUE(records().empty());  // no record for it; the run goes on
  plot::LCBAR(7);
  EXPECT_EQ(records().back(), "SC BAR   7");
}

TEST_F(Kernel, ColourRoutinesRecordTheirArguments) {
  start_recording();
  plot::LCRGB(255, 0, 128);
  EXPECT_EQ(shell::colour_state().set_red, 255);
  EXPECT_EQ(shell::colour_state().set_green, 0);
  EXPECT_EQ(shell::colour_state().set_blue, 128);
  plot::LCGREY(3);
  plot::LCCIRCL(-1.0f);
  plot::LCIRON(0.25f);
  plot::LCBAR(70000);  // beyond 16 bits: held at the end of the range, not wrapped to 4464
  const auto r = records();
  EXPECT_EQ(r, (std::vector<std::string>{"SC RGB 255  0128", "SC GREY  3", "SC CIRCL     -1.000", "SC IRON     0.250",
                                         "SC BAR  **"}));
}

TEST_F(Kernel, AreasAndAnnotationsAreRecordedOnlyWhileRecording) {
  plot::TEKLA(3, 1.0f, 0.0f, 0.0f);
  plot::TEKCOMMENT("before$", 7);
  start_recording();
  const std::size_t from = begin_picture();
  plot::TEKBOX(-1650.0f, -925.0f, 1650.0f, 1225.0f);
  plot::TEKFILL(-1683.0f, -792.0f, -1650.0f, -759.0f, 0);
  plot::TEKQUAD(0, 0, 10, 0, 10, 10, 0, 10);
  plot::TEKLA(3, 1.0f, 0.0f, 0.0f);
  plot::TEKCOMMENT("$", 1);
  plot::TEKCOMMENT("abc$def", 7);
  textui::close_markel_file();
  plot::TEKCOMMENT("after$", 6);
  plot::TEKBOX(0, 0, 1, 1);
  header_lines_ = 6;
  EXPECT_EQ(records(),
            (std::vector<std::string>{"CM", "CM ", "CM", "RB-1650. -925. 1650. 1225.", "RF-1683. -792.-1650. -759.  0",
                                      "QF    0.    0.   10.    0.   10.   10.    0.   10.",
                                      "LA  3  0.1000000E+01  0.0000000E+00  0.0000000E+00", "CM", "CM abc"}));
  // The screen got a rectangle, a filled rectangle and a polygon each time.
  int rects = 0, fills = 0, polygons = 0;
  for (const auto& r : kesto::testing::plot_records(from)) {
    rects += r.opcode == shell::OP_RECT;
    fills += r.opcode == shell::OP_FILLED_RECT;
    polygons += r.opcode == shell::OP_POLYGON;
  }
  EXPECT_EQ(rects, 2);
  EXPECT_EQ(fills, 1);
  EXPECT_EQ(polygons, 1);
}

TEST_F(Kernel, FlushCompletesThePictureInThreeWays) {
  start_recording();
  begin_picture();
  plot::TEKFLUSH(1);  // at once, no wait
  EXPECT_FALSE(shell::window_state().graphics_mode);
  EXPECT_EQ(records().size(), 5u);
  EXPECT_EQ(records()[3], "CM");
  EXPECT_EQ(records()[4], "CM");

  // 0 waits for a key (the automatic user answers) and then shows the text.
  const auto waited = kesto::testing::run_captured([] {
    plot::TEKPAGE(0);
    plot::TEKFLUSH(0);
  });
  EXPECT_FALSE(waited.ended);
  EXPECT_FALSE(shell::window_state().graphics_mode);
  EXPECT_EQ(records().size(), 10u);

  // Any other value is a programming fault: message, and the program stops.
  ::testing::internal::CaptureStdout();
  const auto stopped = kesto::testing::run_captured([] {
    plot::TEKPAGE(0);
    plot::TEKFLUSH(2);
  });
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), " ERROR: TEKFLUSH CALLED WITH I NOT 0 OR 1\n");
  EXPECT_TRUE(stopped.ended);
  EXPECT_EQ(stopped.how, common::RunEnded::Kind::abrupt);
}

TEST_F(Kernel, MarkelFileHeader) {
  textui::program_identity().name = "KESTO   ";
  ASSERT_TRUE(textui::open_markel_file(kesto::testing::kMarkelPath, " 9-SEP-00"));
  EXPECT_EQ(plot::kernel_state().recording, 1);
  plot::TEKLA(3, 1.0f, 0.0f, 0.0f);
  textui::close_markel_file();
  EXPECT_EQ(plot::kernel_state().recording, 0);
  const auto lines = kesto::testing::file_lines(kesto::testing::kMarkelPath);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], kesto::testing::kMarkelPath);
  EXPECT_EQ(lines[1], "TOPSCR PR      17.36      1.000 D M P");
  EXPECT_EQ(lines[2], "DATE:  9-SEP-00");
  EXPECT_EQ(lines[3], "CM PROGRAM KESTO   ");
  EXPECT_EQ(lines[4], "CM CM");
  EXPECT_EQ(lines[5], "LA  1   .1000000E+01   .0000000E+00   .0000000E+00 ");
  EXPECT_EQ(lines[5].size(), 51u);
  EXPECT_EQ(lines[6], "LA  3  0.1000000E+01  0.0000000E+00  0.0000000E+00");
  // A file that cannot be written leaves recording off.
  EXPECT_FALSE(textui::open_markel_file("no-such-directory/x.mkl", " 9-SEP-00"));
  EXPECT_EQ(plot::kernel_state().recording, 0);
}
