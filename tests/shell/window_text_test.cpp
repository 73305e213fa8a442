// The text grid in the window: the font index that fits the client area,
// the layout origins, the attribute colours, and characters painted exactly
// in their cells (column 80 included) whenever the window is repainted.
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>

#include "shell/window/text_layout.h"
#include "shell/window/text_painting.h"
#include "window_fixture.h"

namespace kesto::shell {
namespace {

using testing::set_client_size;
using testing::settle;
using testing::WindowTest;

TEST(FontIndex, ExactWidthChoosesTheIndexOnePixelLessTheNextSmaller) {
  for (int i = 1; i < FONT_TABLE_SIZE; ++i) {
    const int w = FONT_CELL_WIDTH[i] * 78;
    EXPECT_EQ(choose_font_index(w, 2000), i) << "index " << i;
    EXPECT_EQ(choose_font_index(w - 1, 2000), i - 1) << "index " << i;
  }
}

TEST(FontIndex, HeightLimitsWithTheCellWidthTimes45) {
  for (int i = 1; i < FONT_TABLE_SIZE; ++i) {
    const int h = FONT_CELL_WIDTH[i] * 45;
    EXPECT_EQ(choose_font_index(4000, h), i) << "index " << i;
    EXPECT_EQ(choose_font_index(4000, h - 1), i - 1) << "index " << i;
  }
  EXPECT_EQ(choose_font_index(4000, 4000), 11);
}

TEST(FontIndex, TinyWindowUsesIndexZero) {
  EXPECT_EQ(choose_font_index(389, 1000), 0);  // 78 x 5 = 390
  EXPECT_EQ(choose_font_index(1000, 224), 0);  // 45 x 5 = 225
  EXPECT_EQ(choose_font_index(0, 0), 0);
  EXPECT_EQ(choose_font_index(-5, -5), 0);
}

TEST(AttributeColours, OnWhiteAndBlackBackgrounds) {
  const QColor black(0, 0, 0), white(255, 255, 255);
  EXPECT_EQ(attribute_colours(7, false).text, black);
  EXPECT_EQ(attribute_colours(7, false).background, white);
  EXPECT_EQ(attribute_colours(7, true).text, white);
  EXPECT_EQ(attribute_colours(7, true).background, black);
  EXPECT_EQ(attribute_colours(112, false).text, white);
  EXPECT_EQ(attribute_colours(112, false).background, black);
  EXPECT_EQ(attribute_colours(112, true).text, black);
  EXPECT_EQ(attribute_colours(112, true).background, white);
  EXPECT_EQ(attribute_colours(15, true).text, QColor(255, 255, 0));
  EXPECT_EQ(attribute_colours(15, false).text, QColor(0, 0, 255));
  EXPECT_EQ(attribute_colours(15, false).background, white);
  EXPECT_EQ(attribute_colours(135, true).text, QColor(0, 255, 0));
  EXPECT_EQ(attribute_colours(240, false).text, QColor(255, 0, 0));
  EXPECT_EQ(attribute_colours(240, true).background, black);
  EXPECT_EQ(attribute_colours(0, false).text, black);  // any other attribute: normal
  EXPECT_EQ(attribute_colours(255, true).background, black);
}

using WindowText = WindowTest;

TEST_F(WindowText, LayoutFollowsTheClientSize) {
  set_client_size(800, 600);
  std::int16_t cw = 0, lh = 0, x0 = 0, y0 = 0;
  TEXT_METRICS(cw, lh, x0, y0);
  EXPECT_EQ(text_layout().font_index, 5);
  EXPECT_EQ(text_layout().font_height, 20);
  EXPECT_EQ(cw, 10);
  EXPECT_EQ(lh, 20);  // min(600 / 25, 2 x 10)
  EXPECT_EQ(x0, 0);
  EXPECT_EQ(y0, 50);

  set_client_size(1248, 720);  // exactly 78 and 45 cells of 16
  TEXT_METRICS(cw, lh, x0, y0);
  EXPECT_EQ(text_layout().font_index, 11);
  EXPECT_EQ(cw, 16);
  EXPECT_EQ(lh, 28);
  EXPECT_EQ(x0, 0);  // 80 x 16 is wider than the client: raised to 0
  EXPECT_EQ(y0, 10);

  set_client_size(1247, 720);
  TEXT_METRICS(cw, lh, x0, y0);
  EXPECT_EQ(text_layout().font_index, 10);
  EXPECT_EQ(cw, 15);
  EXPECT_EQ(x0, 23);  // (1247 - 1200) / 2

  set_client_size(300, 100);
  TEXT_METRICS(cw, lh, x0, y0);
  EXPECT_EQ(text_layout().font_index, 0);
  EXPECT_EQ(text_layout().font_height, 7);
  EXPECT_EQ(cw, 4);
  EXPECT_EQ(lh, 4);
}

TEST_F(WindowText, AWindowTooLowForTheGridStillHasALineHeight) {
  set_client_size(300, 10);
  std::int16_t cw = 0, lh = 0, x0 = 0, y0 = 0;
  TEXT_METRICS(cw, lh, x0, y0);
  EXPECT_EQ(lh, 1);
}

TEST_F(WindowText, FontFitsItsCellAtEveryIndex) {
  for (int i = 0; i < FONT_TABLE_SIZE; ++i) {
    lay_out_text(FONT_CELL_WIDTH[i] * 80, FONT_CELL_WIDTH[i] * 45);
    ASSERT_EQ(text_layout().font_index, i);
    const QFontMetrics m(text_font());
    EXPECT_TRUE(QFontInfo(text_font()).fixedPitch()) << "index " << i;
    EXPECT_LE(m.horizontalAdvance(QLatin1Char('W')), FONT_CELL_WIDTH[i]) << "index " << i;
    EXPECT_EQ(m.horizontalAdvance(QLatin1Char('i')), m.horizontalAdvance(QLatin1Char('W')));
    EXPECT_LE(m.ascent() + m.descent(), FONT_HEIGHT[i]) << "index " << i;
    // Not needlessly small: within two pixels of the table's height or width.
    EXPECT_TRUE(m.ascent() + m.descent() >= FONT_HEIGHT[i] - 2 ||
                m.horizontalAdvance(QLatin1Char('W')) >= FONT_CELL_WIDTH[i] - 1)
        << "index " << i;
  }
}

// Pixels of one cell (0-based row and column) in a fresh rendering of the window.
struct CellPixels {
  int of_colour(const QColor& c) const {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x <= rect.right(); ++x)
        if (image.pixelColor(x, y) == c) ++n;
    return n;
  }
  QImage image;
  QRect rect;
};

CellPixels render_cell(QWidget& client, int row, int column) {
  return CellPixels{client.grab().toImage().convertToFormat(QImage::Format_RGB32), cell_rect(row, column)};
}

TEST_F(WindowText, Column80IsRepaintedFromTheGridInItsColours) {
  TEXT_AT(3, 79);
  TEXT_OUT("X", 1, 7);
  TEXT_AT(3, 80);
  TEXT_OUT("Y", 1, 240);
  settle();
  // A fresh paint, as after the window was covered and uncovered.
  const CellPixels c80 = render_cell(client(), 2, 79);
  EXPECT_GT(c80.of_colour(QColor(255, 0, 0)), 3);
  EXPECT_EQ(c80.of_colour(QColor(0, 0, 0)), 0);
  const CellPixels c79 = render_cell(client(), 2, 78);
  EXPECT_GT(c79.of_colour(QColor(0, 0, 0)), 3);
  EXPECT_EQ(c79.of_colour(QColor(255, 0, 0)), 0);
  // Nothing spills into the cell below or past the grid's right edge.
  EXPECT_EQ(render_cell(client(), 3, 79).of_colour(QColor(255, 0, 0)), 0);
}

TEST_F(WindowText, CharactersOutsideTheGridAreNeitherStoredNorDrawn) {
  TEXT_AT(3, 80);
  TEXT_OUT("AB", 2, 240);  // B would be column 81
  EXPECT_EQ(text_grid().chars[2][79], 'A');
  EXPECT_EQ(text_grid().caret_column, 81);
  TEXT_AT(26, 1);
  TEXT_OUT("Z", 1, 240);
  settle();
  const QImage image = client().grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect grid_area(text_layout().x_origin, text_layout().y_origin, 80 * text_layout().cell_width,
                        25 * text_layout().line_height);
  int red_outside = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!grid_area.contains(x, y) && image.pixelColor(x, y) == QColor(255, 0, 0)) ++red_outside;
  EXPECT_EQ(red_outside, 0);
}

TEST_F(WindowText, CaretFarOutsideTheGridIsHarmless) {
  for (auto [row, column] : {std::pair<int, int>{-32768, 32767}, {32767, -32768}, {0, 0}, {26, 81}}) {
    TEXT_AT(static_cast<std::int16_t>(row), static_cast<std::int16_t>(column));
    TEXT_OUT("xyz", 3, 112);
    settle();
    client().grab();
  }
  EXPECT_EQ(text_page(), "");
}

TEST_F(WindowText, ReverseAndBrightOnABlackBackground) {
  settings().BlackBG = 1;
  TEXT_AT(1, 1);
  TEXT_OUT(" ", 1, 112);
  TEXT_AT(1, 2);
  TEXT_OUT("#", 1, 15);
  settle();
  const CellPixels reverse = render_cell(client(), 0, 0);
  EXPECT_EQ(reverse.of_colour(QColor(255, 255, 255)), reverse.rect.width() * reverse.rect.height());
  const CellPixels bright = render_cell(client(), 0, 1);
  EXPECT_GT(bright.of_colour(QColor(255, 255, 0)), 3);
  EXPECT_GT(bright.of_colour(QColor(0, 0, 0)), 3);
}

TEST_F(WindowText, TextClearBlanksTheGridAndTheWindow) {
  TEXT_AT(5, 5);
  TEXT_OUT("HELLO", 5, 240);
  TEXT_CLEAR();
  settle();
  EXPECT_EQ(text_page(), "");
  EXPECT_EQ(render_cell(client(), 4, 4).of_colour(QColor(255, 0, 0)), 0);
}


TEST_F(WindowText, TheCaretShowsOnEveryAttributeInTheTextColourOfItsCell) {
  const QColor white(255, 255, 255), black(0, 0, 0), yellow(255, 255, 0), blue(0, 0, 255);
  const struct {
    std::int16_t attribute;
    int black_background;
    QColor cell, caret;
  } cases[] = {
      {112, 0, black, white}, {112, 1, white, black}, {7, 0, white, black},
      {7, 1, black, white},   {15, 0, white, blue},   {15, 1, black, yellow},
  };
  for (const auto& c : cases) {
    settings().BlackBG = c.black_background;
    TEXT_AT(7, 14);
    TEXT_OUT("              ", 14, c.attribute);  // a blank field, as the file-name menu draws it
    TEXT_AT(7, 27);
    window_state().caret_shown = true;
    window_state().has_focus = true;
    settle();
    const CellPixels under = render_cell(client(), 6, 26);
    const int area = under.rect.width() * under.rect.height();
    EXPECT_GT(under.of_colour(c.caret), 0) << c.attribute << " " << c.black_background;
    EXPECT_GT(under.of_colour(c.cell), area / 2) << c.attribute << " " << c.black_background;
    // The blank cell beside it shows no caret.
    EXPECT_EQ(render_cell(client(), 6, 25).of_colour(c.caret), 0) << c.attribute << " " << c.black_background;
  }
}

}  // namespace
}  // namespace kesto::shell
