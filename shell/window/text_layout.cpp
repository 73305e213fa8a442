#include "shell/window/text_layout.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>

#include "shell/window/text_grid.h"

namespace kesto::shell {

const std::int16_t FONT_CELL_WIDTH[FONT_TABLE_SIZE] = {4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16};
const std::int16_t FONT_HEIGHT[FONT_TABLE_SIZE] = {7, 12, 13, 14, 17, 20, 21, 22, 24, 28, 29, 30};

namespace {

struct FontCache {
  QFont font;
  int height = 0;  // font height it was made for
  int cell_width = 0;
};

FontCache& font_cache() {
  static FontCache f;
  return f;
}

QFont base_font() {
  QFont f("Liberation Mono");
  if (!QFontInfo(f).fixedPitch()) f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  f.setKerning(false);
  // Crisp characters in exactly the attribute colours, as on a text screen.
  f.setStyleStrategy(QFont::NoAntialias);
  f.setWeight(QFont::Normal);
  return f;
}

// The largest pixel size whose line (ascent + descent) fits the font height
// and whose characters fit the cell width.
QFont make_font(int height, int cell_width) {
  QFont f = base_font();
  for (int px = std::max(height, 2); px > 1; --px) {
    f.setPixelSize(px);
    const QFontMetrics m(f);
    if (m.ascent() + m.descent() <= height && m.horizontalAdvance(QLatin1Char('M')) <= cell_width) break;
  }
  return f;
}

}  // namespace

int choose_font_index(int client_width, int client_height) {
  for (int i = FONT_TABLE_SIZE - 1; i >= 1; --i)
    if (FONT_CELL_WIDTH[i] * 78 <= client_width && FONT_CELL_WIDTH[i] * 45 <= client_height) return i;
  return 0;
}

void lay_out_text(int client_width, int client_height) {
  TextLayout& l = text_layout();
  const int i = choose_font_index(client_width, client_height);
  l.font_index = static_cast<std::int16_t>(i);
  l.font_height = FONT_HEIGHT[i];
  l.cell_width = FONT_CELL_WIDTH[i];
  // At least one pixel, even in a window too low for the grid: callers divide
  // pointer positions by the line height.
  l.line_height = static_cast<std::int16_t>(std::max(1, std::min(client_height / 25, 2 * l.cell_width)));
  l.x_origin = static_cast<std::int16_t>(std::max(0, (client_width - 80 * l.cell_width) / 2));
  l.y_origin = static_cast<std::int16_t>(std::max(0, (client_height - 25 * l.line_height) / 2));
}

const QFont& text_font() {
  FontCache& c = font_cache();
  const TextLayout& l = text_layout();
  if (c.height != l.font_height || c.cell_width != l.cell_width) {
    c.font = make_font(l.font_height, l.cell_width);
    c.height = l.font_height;
    c.cell_width = l.cell_width;
  }
  return c.font;
}

}  // namespace kesto::shell
