#include "shell/window/text_painting.h"

#include <QFontMetrics>
#include <QPainter>

#include "shell/settings/settings.h"
#include "shell/window/text_grid.h"
#include "shell/window/surfaces.h"
#include "shell/window/text_layout.h"
#include "shell/window/window_state.h"

namespace kesto::shell {

CellColours attribute_colours(std::uint8_t attribute, bool black_background) {
  const QColor fg = black_background ? QColor(255, 255, 255) : QColor(0, 0, 0);
  const QColor bg = black_background ? QColor(0, 0, 0) : QColor(255, 255, 255);
  switch (attribute) {
    case 112: return {bg, fg};
    case 15: return {black_background ? QColor(255, 255, 0) : QColor(0, 0, 255), bg};
    case 135: return {QColor(0, 255, 0), bg};
    case 240: return {QColor(255, 0, 0), bg};
    default: return {fg, bg};
  }
}

QRect cell_rect(int row, int column) {
  const TextLayout& l = text_layout();
  return QRect(column * l.cell_width + l.x_origin, row * l.line_height + l.y_origin, l.cell_width, l.line_height);
}

void paint_text_grid(QPainter& painter, const QRect& area) {
  if (window_unseen()) return;  // nobody could see the text
  const bool black = settings().BlackBG != 0;
  const CellColours normal = attribute_colours(7, black);
  painter.fillRect(area, normal.background);
  const TextGrid& g = text_grid();
  const TextLayout& l = text_layout();
  const QFont& font = text_font();
  painter.setFont(font);
  const int ascent = QFontMetrics(font).ascent();
  for (int r = 0; r < TEXT_ROWS; ++r) {
    for (int c = 0; c < TEXT_COLUMNS; ++c) {
      const CellColours colours = attribute_colours(g.attrs[r][c], black);
      const QRect cell = cell_rect(r, c);
      if (colours.background != normal.background) painter.fillRect(cell, colours.background);
      const unsigned char ch = static_cast<unsigned char>(g.chars[r][c]);
      if (ch == ' ' || ch == 0) continue;
      painter.setPen(colours.text);
      painter.drawText(QPoint(cell.x(), cell.y() + ascent), QString(QChar(static_cast<char16_t>(ch))));
    }
  }
  const WindowState& w = window_state();
  if (w.caret_shown && w.has_focus && !w.graphics_mode) {
    // The caret: a bar one cell wide below the baseline, as deep as the
    // font's descent, in the text colour of the cell under it, so that it
    // shows on a reversed field as on normal text.
    const int descent = std::max(1, QFontMetrics(font).descent());
    const QRect caret(g.caret_column * l.cell_width + l.x_origin, g.caret_row * l.line_height + l.y_origin + ascent,
                      l.cell_width, descent);
    const bool on_grid = g.caret_row >= 0 && g.caret_row < TEXT_ROWS && g.caret_column >= 0 &&
                         g.caret_column < TEXT_COLUMNS;
    painter.fillRect(caret, on_grid ? attribute_colours(g.attrs[g.caret_row][g.caret_column], black).text : normal.text);
  }
}

}  // namespace kesto::shell
