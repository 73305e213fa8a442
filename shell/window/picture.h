// Switching the window between its two faces: the picture (graphics mode)
// and the text grid (text mode).
#pragma once

#include <cstdint>

namespace kesto::shell {

// Enters graphics mode. keep = 1 shows the picture in the plot buffer again;
// keep = 0 starts a new, empty picture.
void BEGIN_PICTURE(std::int16_t keep);
// Leaves graphics mode; keep = 0 clears the client area first.
void END_PICTURE(std::int16_t keep);
void SET_CROSSHAIR(std::int16_t flag);
// Moves the mouse pointer to the page point.
void WARP_POINTER(std::int16_t x, std::int16_t y);

}  // namespace kesto::shell
