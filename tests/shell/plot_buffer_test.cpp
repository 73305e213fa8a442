// The plot buffer's bytes: the record layouts, growth in 64 KiB steps with
// the 42-byte margin, shrinking at a new picture, the full buffer, and
// decoding records back.
#include <gtest/gtest.h>

#include <algorithm>

#include "primitives_fixture.h"
#include "shell/graphics/picture_cut.h"

namespace kesto::shell {
namespace {

using testing::recorded;
using Bytes = std::vector<std::uint8_t>;

class PlotBufferTest : public testing::DrawingTest {};

TEST_F(PlotBufferTest, RecordLayoutsAreLittleEndianAndPacked) {
  DRAW_LINE(-1750, -1250, 1750, 1250);
  EXPECT_EQ(recorded(), (Bytes{0x03, 0x2A, 0xF9, 0x1E, 0xFB, 0xD6, 0x06, 0xE2, 0x04}));

  plot_buffer().used = 0;
  SET_RGB(255, 128, 0);  // stored red, blue, green
  EXPECT_EQ(recorded(), (Bytes{0x08, 0xFF, 0x00, 0x80}));

  plot_buffer().used = 0;
  SET_RGB_GREY(1, 2, 3, 4);
  EXPECT_EQ(recorded(), (Bytes{0x09, 1, 3, 2, 4}));

  plot_buffer().used = 0;
  DRAW_RECT(-10, 20, 30, -40);
  EXPECT_EQ(recorded(), (Bytes{0x04, 0xF6, 0xFF, 20, 0, 30, 0, 0xD8, 0xFF}));

  plot_buffer().used = 0;
  SET_INDEXED(7, 0, 200, 55);
  EXPECT_EQ(recorded(), (Bytes{0x0B, 7, 0, 200, 55}));

  plot_buffer().used = 0;
  const std::int16_t x[4] = {0, 256, -1, 1750};
  const std::int16_t y[4] = {1, 2, 3, -1250};
  FILL_POLYGON(x, y, 4);
  EXPECT_EQ(recorded(), (Bytes{0x0C, 4, 0, 0, 1, 0, 0, 1, 2, 0, 0xFF, 0xFF, 3, 0, 0xD6, 0x06, 0x1E, 0xFB}));
}

TEST_F(PlotBufferTest, FilledRectangleKeepsItsInsetsAsFlagBits) {
  FILL_RECT(0, 10, 10, 0, 1, 0, 1, 0);
  ASSERT_EQ(plot_buffer().used, 10u);
  EXPECT_EQ(recorded()[9], 0x0A);
  plot_buffer().used = 0;
  FILL_RECT(0, 10, 10, 0, 0, 1, 0, 1);
  EXPECT_EQ(recorded()[9], 0x05);
  plot_buffer().used = 0;
  FILL_RECT(0, 10, 10, 0, 1, 1, 1, 1);
  EXPECT_EQ(recorded()[9], 0x0F);
}

TEST_F(PlotBufferTest, OutOfRangeColourValuesAreClampedNotWrapped) {
  SET_RGB(300, -5, 256);
  EXPECT_EQ(recorded(), (Bytes{0x08, 255, 255, 0}));
  plot_buffer().used = 0;
  SET_INDEXED(16, -1, 999, -3);  // indices outside 0-15 become 8
  EXPECT_EQ(recorded(), (Bytes{0x0B, 8, 8, 255, 0}));
}

TEST_F(PlotBufferTest, PolygonOfMoreThanTenPointsKeepsTen) {
  std::int16_t x[12], y[12];
  for (int i = 0; i < 12; ++i) x[i] = y[i] = static_cast<std::int16_t>(i);
  FILL_POLYGON(x, y, 12);
  EXPECT_EQ(plot_buffer().used, 42u);
  EXPECT_EQ(recorded()[1], 10);
  plot_buffer().used = 0;
  FILL_POLYGON(x, y, 0);
  EXPECT_EQ(plot_buffer().used, 0u);
}

TEST_F(PlotBufferTest, GrowsBy64KiBWhenFewerThan42BytesRemain) {
  PlotBuffer& b = plot_buffer();
  ASSERT_EQ(b.block.size(), 65536u);
  b.used = 65493;
  SET_RGB(1, 2, 3);  // 65,493 < 65,494: room
  EXPECT_EQ(b.block.size(), 65536u);
  EXPECT_EQ(b.used, 65497u);
  b.used = 65494;
  SET_RGB(1, 2, 3);
  EXPECT_EQ(b.block.size(), 131072u);
  EXPECT_EQ(b.used, 65498u);
  EXPECT_EQ(b.block[65494], 0x08);
}

TEST_F(PlotBufferTest, NewPictureShrinksOnlyAnOversizedBlock) {
  PlotBuffer& b = plot_buffer();
  b.used = 70000;
  ENSURE_ROOM();
  ASSERT_EQ(b.block.size(), 131072u);
  START_NEW_PICTURE();  // 131,072 is not above 70,000 + 65,536
  EXPECT_EQ(b.block.size(), 131072u);
  EXPECT_EQ(b.used, 0u);
  SET_RGB_GREY(1, 2, 3, 4);
  DRAW_LINE(0, 0, 1, 1);
  EXPECT_EQ(b.used, 14u);
  START_NEW_PICTURE();
  EXPECT_EQ(b.block.size(), 65536u);
  EXPECT_EQ(b.used, 0u);

  // A picture of more than one step shrinks to whole steps.
  while (b.block.size() < 262144) {
    b.used = b.block.size() - 42;
    ENSURE_ROOM();
  }
  b.used = 150000;
  START_NEW_PICTURE();
  EXPECT_EQ(b.block.size(), 196608u);
}

// Growing step by step, the block moves only when its room is used up,
// which doubles (16 steps: the first step and four moves), and keeps every
// byte; a new picture of one step hands the spare room back.
TEST_F(PlotBufferTest, AGrowingBlockMovesSeldomAndANewPictureGivesItsRoomBack) {
  PlotBuffer& b = plot_buffer();
  ASSERT_EQ(b.block.capacity(), 65536u);
  int moves = 0;
  while (b.block.size() < 16 * 65536u) {
    const std::uint8_t* before = b.block.data();
    b.used = b.block.size() - 42;
    SET_RGB(9, 8, 7);
    moves += b.block.data() != before ? 1 : 0;
    EXPECT_EQ(b.block.size() % 65536u, 0u);
  }
  EXPECT_EQ(moves, 4);
  EXPECT_EQ(b.block.capacity(), 16 * 65536u);
  EXPECT_EQ(b.block[65494], 0x08);  // the first step's record, moved along
  EXPECT_EQ(b.block[16 * 65536u - 42 - 65536u], 0x08);
  b.used = 100;
  START_NEW_PICTURE();
  EXPECT_EQ(b.block.size(), 65536u);
  EXPECT_EQ(b.block.capacity(), 65536u);
}

TEST_F(PlotBufferTest, FullBufferSaysSoOnceDropsRecordsButKeepsDrawing) {
  PlotBuffer& b = plot_buffer();
  b.growth_limit = 65536;
  b.used = 65494;
  DRAW_LINE(-100, 0, 100, 0);
  ASSERT_TRUE(b.full);
  EXPECT_EQ(b.used, 65494u);
  EXPECT_EQ(b.block.size(), 65536u);
  SET_RGB(255, 0, 0);
  FILL_RECT(-50, 50, 50, -50, 0, 0, 0, 0);
  EXPECT_EQ(b.used, 65494u);
  int messages = 0;
  for (const ShownMessage& m : message_log()) messages += m.text == "Plot buffer is full";
  EXPECT_EQ(messages, 1);
  EXPECT_EQ(testing::pixel(window(), 175, 125), 0xFF0000u);  // the screen still shows it

  START_NEW_PICTURE();
  EXPECT_FALSE(b.full);
  SET_RGB(0, 0, 0);
  EXPECT_EQ(b.used, 4u);
}

// Cutting back keeps the records before the length, leaves the drawing on
// the screen, ignores a length beyond the end and makes room in a full buffer.
TEST_F(PlotBufferTest, CutKeepsTheRecordsBeforeTheLength) {
  PlotBuffer& b = plot_buffer();
  DRAW_LINE(-1750, -1250, 1750, 1250);
  const std::size_t base = PICTURE_LENGTH();
  EXPECT_EQ(base, 9u);
  SET_RGB(255, 0, 0);
  FILL_RECT(-50, 50, 50, -50, 0, 0, 0, 0);
  CUT_PICTURE(base);
  EXPECT_EQ(recorded(), (Bytes{0x03, 0x2A, 0xF9, 0x1E, 0xFB, 0xD6, 0x06, 0xE2, 0x04}));
  EXPECT_EQ(testing::pixel(window(), 175, 125), 0xFF0000u);
  CUT_PICTURE(10);
  EXPECT_EQ(b.used, 9u);

  b.growth_limit = 65536;
  b.used = 65494;
  DRAW_LINE(-100, 0, 100, 0);
  ASSERT_TRUE(b.full);
  CUT_PICTURE(base);
  EXPECT_FALSE(b.full);
  SET_RGB(0, 0, 0);
  EXPECT_EQ(b.used, 13u);
}

TEST_F(PlotBufferTest, WorksWithoutAnAllocatedBlockAndAfterFree) {
  FREE_PLOT_BUFFER();
  EXPECT_TRUE(plot_buffer().block.empty());
  DRAW_LINE(1, 2, 3, 4);
  EXPECT_EQ(plot_buffer().block.size(), 65536u);
  EXPECT_EQ(plot_buffer().used, 9u);
}

TEST_F(PlotBufferTest, DecodesEveryRecordAndSkipsStrayBytes) {
  DRAW_LINE(-1750, -1250, 1750, 1250);
  SET_RGB(255, 128, 0);
  const std::int16_t x[3] = {1, 2, 3}, y[3] = {-1, -2, -3};
  FILL_POLYGON(x, y, 3);
  Bytes bytes = recorded();
  bytes.insert(bytes.begin() + 9, {0x00, 0xEE});  // not opcodes
  bytes.push_back(0x03);                          // a truncated line at the end
  bytes.push_back(0x01);

  std::size_t position = 0;
  PlotRecord r;
  ASSERT_TRUE(next_record(bytes.data(), bytes.size(), position, r));
  EXPECT_EQ(r.opcode, OP_LINE);
  EXPECT_EQ(r.x[0], -1750);
  EXPECT_EQ(r.y[1], 1250);
  ASSERT_TRUE(next_record(bytes.data(), bytes.size(), position, r));
  EXPECT_EQ(r.opcode, OP_RGB);
  EXPECT_EQ(r.values[0], 255);
  EXPECT_EQ(r.values[1], 0);
  EXPECT_EQ(r.values[2], 128);
  ASSERT_TRUE(next_record(bytes.data(), bytes.size(), position, r));
  EXPECT_EQ(r.opcode, OP_POLYGON);
  ASSERT_EQ(r.count, 3);
  EXPECT_EQ(r.x[2], 3);
  EXPECT_EQ(r.y[2], -3);
  EXPECT_FALSE(next_record(bytes.data(), bytes.size(), position, r));
}

}  // namespace
}  // namespace kesto::shell
