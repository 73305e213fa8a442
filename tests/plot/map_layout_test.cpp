// Placing the grid on the page: square cells limited by the frame's width
// or height, the stretched cells of the field map, and cell rectangles.
#include <gtest/gtest.h>

#include <memory>

#include "plot/result_maps.h"
#include "plot/sheet.h"

using namespace kesto;

namespace {

class MapLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    plot::map_state() = plot::MapState{};
    plot::use_sheet(*grid_);
  }
  void layout(std::int32_t nx, std::int32_t ny) {
    grid_->NX = nx;
    grid_->NY = ny;
    plot::MAP_LAYOUT();
  }
  std::unique_ptr<sheet::Grid> grid_ = std::make_unique<sheet::Grid>();
};

}  // namespace

TEST_F(MapLayout, WidthLimitsAHundredByFifty) {
  layout(100, 50);
  const plot::MapState& m = plot::map_state();
  EXPECT_FLOAT_EQ(m.h, 33.0f);
  EXPECT_FLOAT_EQ(m.x0, -1683.0f);
  EXPECT_FLOAT_EQ(m.y0, -825.0f);
  // The columns fill the frame's width exactly.
  float x1, x2, y1, y2;
  plot::CELL_RECT(1, 1, x1, x2, y1, y2);
  EXPECT_FLOAT_EQ(x1, -1650.0f);
  EXPECT_FLOAT_EQ(y1, -792.0f);
  plot::CELL_RECT(100, 50, x1, x2, y1, y2);
  EXPECT_FLOAT_EQ(x2, 1650.0f);
  EXPECT_FLOAT_EQ(y2, 858.0f);
  EXPECT_FLOAT_EQ(m.column_width, 33.0f);
  EXPECT_FLOAT_EQ(m.row_height, 43.0f);
}

TEST_F(MapLayout, HeightLimitsTwentyByFifty) {
  layout(20, 50);
  const plot::MapState& m = plot::map_state();
  EXPECT_FLOAT_EQ(m.h, 43.0f);
  EXPECT_FLOAT_EQ(m.y0, -968.0f);
  EXPECT_FLOAT_EQ(m.x0, -451.5f);
  // The rows fill the frame's height; the columns are centred on h/2.
  float x1, x2, y1, y2;
  plot::CELL_RECT(1, 1, x1, x2, y1, y2);
  EXPECT_FLOAT_EQ(y1, -925.0f);
  EXPECT_FLOAT_EQ(x1, -408.5f);
  plot::CELL_RECT(20, 50, x1, x2, y1, y2);
  EXPECT_FLOAT_EQ(y2, 1225.0f);
  EXPECT_FLOAT_EQ(x2, 451.5f);
  EXPECT_FLOAT_EQ(m.column_width, 165.0f);
}

TEST_F(MapLayout, TieGoesToTheHeightAndFullCapacityFits) {
  layout(66, 43);  // 3300/66 = 50 = 2150/43
  EXPECT_FLOAT_EQ(plot::map_state().h, 50.0f);
  EXPECT_FLOAT_EQ(plot::map_state().y0, -975.0f);
  layout(250, 110);
  const plot::MapState& m = plot::map_state();
  EXPECT_FLOAT_EQ(m.h, 13.2f);
  float x1, x2, y1, y2;
  plot::CELL_RECT(250, 110, x1, x2, y1, y2);
  EXPECT_NEAR(x2, 1650.0f, 0.01);
  EXPECT_LE(y2, m.frame_y2);
  plot::CELL_RECT(1, 1, x1, x2, y1, y2);
  EXPECT_GE(y1, m.frame_y1);
}

TEST_F(MapLayout, FrameAndBarAreaAreFixed) {
  layout(30, 30);
  const plot::MapState& m = plot::map_state();
  EXPECT_EQ(m.frame_x1, -1650.0f);
  EXPECT_EQ(m.frame_x2, 1650.0f);
  EXPECT_EQ(m.frame_y1, -925.0f);
  EXPECT_EQ(m.frame_y2, 1225.0f);
  EXPECT_EQ(m.bar_bottom, -1250.0f);
}
