// Drawing the text grid: each cell in the colours of its attribute, each
// character exactly on the cell grid, and the caret.
#pragma once

#include <QColor>
#include <QRect>
#include <cstdint>

class QPainter;

namespace kesto::shell {

struct CellColours {
  QColor text;
  QColor background;
};

// The colours of an attribute: 112 reverse, 15 bright (yellow on black,
// blue on white), 135 green, 240 red, anything else normal (white on black
// or black on white).
CellColours attribute_colours(std::uint8_t attribute, bool black_background);

// Paints the whole text grid (background, every cell, the caret when shown)
// into an area of the given size; nothing while the window is unseen.
void paint_text_grid(QPainter& painter, const QRect& area);

// The pixel rectangle of a cell (0-based row and column) in the current layout.
QRect cell_rect(int row, int column);

}  // namespace kesto::shell
