// Where the 80 x 25 text grid sits in the window and in which font it is
// drawn: the font index is chosen from a table of cell widths and font
// heights so that the grid fits the client area, and the grid is centred.
#pragma once

#include <QFont>
#include <cstdint>

namespace kesto::shell {

constexpr int FONT_TABLE_SIZE = 12;
// Cell width and font height in pixels for each font index.
extern const std::int16_t FONT_CELL_WIDTH[FONT_TABLE_SIZE];
extern const std::int16_t FONT_HEIGHT[FONT_TABLE_SIZE];

// The largest index from 11 down to 1 whose cell width, times 78, fits the
// client width and, times 45, the client height; 0 when none fits.
int choose_font_index(int client_width, int client_height);

// Recomputes the text layout (font index, cell width, line height, origins)
// for a client area, and the text font when its height changes.
void lay_out_text(int client_width, int client_height);

// The fixed-pitch font of the text grid: Liberation Mono (or any monospace
// font) sized so that its cell fits the font height and its characters the
// cell width.
const QFont& text_font();

}  // namespace kesto::shell
