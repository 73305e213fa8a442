// The displays on an offscreen window: the geometry view's records, legend
// and class colours, the potential map's colour bar, cells and title, the
// field map, values outside the colour range, and the "ZDELTA,ZLOW " page
// of an empty value range.
#include <gtest/gtest.h>

#include <algorithm>

#include "plot/geometry_view.h"
#include "plot/plot_fixture.h"

using namespace kesto;
using kesto::testing::PlotTest;
using kesto::testing::run_captured;

namespace {

// The window surface as it was while the picture waited for its key.
QImage& shown_picture() {
  static QImage image;
  return image;
}

bool keep_shown_picture(const std::string&) {
  shown_picture() = shell::surfaces().window.copy();
  return true;
}

// Lets the automatic user keep what the window shows at each picture's wait.
void capture_pictures() {
  shell::batch_mode().pictures_dir = "pictures";
  shell::set_picture_saver(keep_shown_picture);
}

class Displays : public PlotTest {
 protected:
  std::size_t count(const std::vector<std::string>& r, const std::string& prefix) {
    return static_cast<std::size_t>(
        std::count_if(r.begin(), r.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
  }
  // The colour record just before the fill of cell (I, J) of the records.
  std::string colour_before_cell(const std::vector<std::string>& r, std::int32_t I, std::int32_t J) {
    float x1, x2, y1, y2;
    plot::CELL_RECT(I, J, x1, x2, y1, y2);
    const std::string fill = plot::markel::fill_record(x1, y1, x2, y2, 0);
    const auto it = std::find(r.begin(), r.end(), fill);
    if (it == r.end() || it == r.begin()) return "(no fill)";
    return *(it - 1);
  }
  QColor cell_pixel(std::int32_t I, std::int32_t J) {
    float x1, x2, y1, y2;
    plot::CELL_RECT(I, J, x1, x2, y1, y2);
    return kesto::testing::pixel_at(shown_picture(), (x1 + x2) / 2, (y1 + y2) / 2);
  }
};

}  // namespace

TEST_F(Displays, GeometryViewRecordsWithoutACurrentLine) {
  sheet(6, 5);
  start_recording();
  const auto run = run_captured([] { plot::GEOMETRY_VIEW(); });
  EXPECT_FALSE(run.ended);
  const auto r = records();
  ASSERT_GE(r.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(r.begin(), r.begin() + 6),
            (std::vector<std::string>{"CM", "CM ", "CM", "SC MODE HOT", "RB-1650. -925. 1650. 1225.",
                                      "LA  3  0.1000000E+01  0.0000000E+00  0.0000000E+00"}));
  EXPECT_EQ(count(r, "RB"), 1u);
  EXPECT_EQ(count(r, "LI"), 0u);
  EXPECT_EQ(count(r, "RF"), 4u + 30u);  // legend boxes and cells
  // Legend: colour, box, text 20 units right of the box on its bottom line.
  EXPECT_EQ(r[6], "SC HOT     0.700");
  EXPECT_EQ(r[7], "RF-1550.-1230.-1450.-1150.  0");
  EXPECT_EQ(r[8], "CH -1430 -1230 10 S 0 Resistive");
  EXPECT_EQ(r[10], "RF -950.-1230. -850.-1150.  0");
  EXPECT_EQ(r[14], "CH  -230 -1230 10 S 0 Grounded");
  EXPECT_EQ(r[17], "CH   370 -1230 10 S 0 Fixed potential");
  EXPECT_EQ(r[r.size() - 2], "CM");
  EXPECT_EQ(r.back(), "CM");
}

TEST_F(Displays, GeometryViewDrawsTheCurrentLineBetweenCellCentres) {
  sheet(20, 10);
  grid().CURRENT_SET = 1;
  grid().ICS = 5;
  grid().JCS = 1;
  grid().ICE = 5;
  grid().JCE = 10;
  start_recording();
  run_captured([] { plot::GEOMETRY_VIEW(); });
  const auto r = records();
  ASSERT_EQ(count(r, "LI"), 1u);
  float x1, x2, y1, y2, ye;
  plot::CELL_RECT(5, 1, x1, x2, y1, y2);
  const float xc = (x1 + x2) / 2, ys = (y1 + y2) / 2;
  plot::CELL_RECT(5, 10, x1, x2, y1, y2);
  ye = (y1 + y2) / 2;
  const std::string li = plot::markel::line_record(plot::markel::rounded(xc), plot::markel::rounded(ys),
                                                   plot::markel::rounded(xc), plot::markel::rounded(ye));
  EXPECT_NE(std::find(r.begin(), r.end(), li), r.end()) << li;
}

TEST_F(Displays, GeometryViewClassColoursFollowTheExactTests) {
  sheet(8, 5);
  sheet::Grid& g = grid();
  g.RHO[2][2] = 999999.0f;  // free, not exactly 1.0E6: resistive
  g.RHO[3][2] = 1.0e6f;     // insulator
  g.FIXED[4][2] = 1;        // grounded at 0 V
  g.FIXED[5][2] = 1;
  g.V[5][2] = -5.0f;     // fixed potential
  g.RHO[6][2] = 100.0f;  // resistive
  start_recording();
  run_captured([] {
    capture_pictures();
    plot::GEOMETRY_VIEW();
  });
  const auto r = records();
  EXPECT_EQ(colour_before_cell(r, 2, 2), "SC HOT     0.700");
  EXPECT_EQ(colour_before_cell(r, 3, 2), "SC HOT     0.100");
  EXPECT_EQ(colour_before_cell(r, 4, 2), "SC BAR   7");
  EXPECT_EQ(colour_before_cell(r, 5, 2), "SC HOT     1.000");
  // On screen each cell shows its legend box's colour.
  ASSERT_FALSE(shown_picture().isNull());
  auto legend = [](float x) { return kesto::testing::pixel_at(shown_picture(), x + 50, -1190); };
  EXPECT_EQ(cell_pixel(2, 2), legend(-1550));
  EXPECT_EQ(cell_pixel(6, 2), legend(-1550));
  EXPECT_EQ(cell_pixel(3, 2), legend(-950));
  EXPECT_EQ(cell_pixel(4, 2), legend(-350));
  EXPECT_EQ(cell_pixel(5, 2), legend(250));
  EXPECT_NE(legend(-1550), legend(-950));
  EXPECT_NE(legend(-350), legend(250));
}

TEST_F(Displays, PotentialMapBarCellsAndTitle) {
  sheet(10, 6);
  sheet::Grid& g = grid();
  g.VMIN = 0.0f;
  g.VMAX = 100.0f;
  g.FIXED[3][3] = 1;
  g.V[3][3] = 100.0f;  // the highest value: inside the range, a HOT colour
  g.V[4][3] = 50.0f;   // free cell at half
  start_recording();
  plot::TEKPAGE(0);
  plot::POTENTIAL_MAP();
  const auto r = records();
  EXPECT_EQ(r[3], "SC MODE HOT");
  EXPECT_EQ(r[4], "RB-1650. -925. 1650. 1225.");
  EXPECT_EQ(r[5], "LA  3  0.1000000E+01  0.0000000E+00  0.0000000E+00");
  // Bar frame, then 32 segments; the end segments are widened inwards only.
  EXPECT_EQ(r[6], "SC BAR   7");
  EXPECT_EQ(r[7], "RB-1650.-1050. 1650.-1000.");
  EXPECT_EQ(r[9], "RF-1650.-1050.-1537.-1000.  0");
  EXPECT_EQ(count(r, "RB"), 4u);
  EXPECT_NE(std::find(r.begin(), r.end(), "CH -1120 -1230 11 S 0 Scalar Potential (volts)"), r.end());
  // Labels 0 and 100 under the bar (size 7, 103 below its bottom).
  EXPECT_NE(std::find(r.begin(), r.end(), "CH -1970 -1153  7 S 0        0  "), r.end());
  EXPECT_NE(std::find(r.begin(), r.end(), "CH  1293 -1153  7 S 0       100 "), r.end());
  EXPECT_EQ(count(r, "CH"), 1u + 6u);
  // Ticks: 6 major, 15 minor.
  EXPECT_EQ(count(r, "LI"), 21u);
  // Cells: grounded edge cells white twice over, values by fraction of 100.5.
  EXPECT_EQ(colour_before_cell(r, 1, 1), "SC BAR   7");
  EXPECT_EQ(colour_before_cell(r, 3, 3), "SC HOT     0.995");
  EXPECT_EQ(colour_before_cell(r, 4, 3), "SC HOT     0.498");
  EXPECT_EQ(colour_before_cell(r, 5, 3), "SC HOT     0.000");
  EXPECT_EQ(count(r, "RF"), 32u + 60u);
}

TEST_F(Displays, GroundedCellsAreWhiteWhateverTheRange) {
  sheet(6, 5);
  grid().VMIN = -10.0f;
  grid().VMAX = 10.0f;
  start_recording();
  plot::TEKPAGE(0);
  plot::POTENTIAL_MAP();
  const auto r = records();
  // The cell's own colour (0 V is mid-range), then white, then white again.
  float x1, x2, y1, y2;
  plot::CELL_RECT(1, 1, x1, x2, y1, y2);
  const auto fill = std::find(r.begin(), r.end(), plot::markel::fill_record(x1, y1, x2, y2, 0));
  ASSERT_NE(fill, r.end());
  EXPECT_EQ(*(fill - 3), "SC HOT     0.499");  // 10 / 20.05
  EXPECT_EQ(*(fill - 2), "SC BAR   7");
  EXPECT_EQ(*(fill - 1), "SC BAR   7");
}

TEST_F(Displays, ValuesOutsideTheRangeTakeColoursZeroAndSeven) {
  sheet(6, 5);
  start_recording();
  plot::TEKPAGE(0);
  plot::COLOUR_BAR(0.0f, 10.0f);
  const std::size_t before = records().size();
  plot::VALUE_COLOUR(-0.001f);
  plot::VALUE_COLOUR(10.05f);  // the range's top itself
  plot::VALUE_COLOUR(10.06f);
  plot::VALUE_COLOUR(0.0f);
  const auto r = records();
  EXPECT_EQ(std::vector<std::string>(r.begin() + static_cast<std::ptrdiff_t>(before), r.end()),
            (std::vector<std::string>{"SC BAR   0", "SC HOT     1.000", "SC BAR   7", "SC HOT     0.000"}));
}

TEST_F(Displays, FieldMapOutlinesFixedCellsWithoutColourRecords) {
  sheet(5, 4);
  grid().EMAG[2][2] = 40.0f;
  grid().EMAG[3][3] = 20.0f;
  start_recording();
  plot::TEKPAGE(0);
  plot::FIELD_MAP();
  const auto r = records();
  EXPECT_EQ(r[3], "LA  3  0.1000000E+01  0.0000000E+00  0.0000000E+00");
  EXPECT_NE(std::find(r.begin(), r.end(), "CH -1435 -1230 11 S 0 Electric FIeld Strength (volts/m)"), r.end());
  // Stretched cells fill the frame: 660 x 537.5 units each.
  EXPECT_NE(std::find(r.begin(), r.end(), "RF-1650. -925. -990. -388.  0"), r.end());
  EXPECT_NE(std::find(r.begin(), r.end(), "RF  990.  688. 1650. 1225.  0"), r.end());
  // The 14 edge cells are outlined with four lines each; the colour of the
  // outline is not recorded, so the next record after a fill is a line.
  const auto first_fill = std::find(r.begin(), r.end(), "RF-1650. -925. -990. -388.  0");
  ASSERT_NE(first_fill, r.end());
  EXPECT_EQ(*(first_fill + 1), "LI -1650  -925  -990  -925     0");
  const std::size_t bar_ticks = 9 + 32;  // 0-40: step 5 with four minors
  EXPECT_EQ(count(r, "LI"), bar_ticks + 14u * 4u);
  // The strongest field shows just under the top of the scale.
  const auto strong = std::find(r.begin(), r.end(), "RF -990. -388. -330.  150.  0");
  ASSERT_NE(strong, r.end());
  EXPECT_EQ(*(strong - 1), "SC HOT     0.995");
}

TEST_F(Displays, EmptyValueRangeEndsWithTheZdeltaPage) {
  sheet(6, 5);
  grid().VMIN = grid().VMAX = 5.0f;
  start_recording();
  const auto run = run_captured([] {
    plot::TEKPAGE(0);
    plot::POTENTIAL_MAP();
  });
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.how, common::RunEnded::Kind::fatal);
  EXPECT_NE(run.pages.find(">>>ERROR:"), std::string::npos);
  EXPECT_NE(run.pages.find("ZDELTA,ZLOW   0.0000000E+00  0.5000000E+01"), std::string::npos) << run.pages;
  // The bar and its title were drawn before the page; no cells after it.
  const auto r = records();
  EXPECT_NE(std::find(r.begin(), r.end(), "CH -1120 -1230 11 S 0 Scalar Potential (volts)"), r.end());
  EXPECT_EQ(count(r, "RF"), 32u);
  EXPECT_EQ(r.back(), "CM");
}
