// The sheet as read from the deck: every cell in the colour of its kind, a
// legend of the four kinds, and the current line when there is one.
#pragma once

namespace kesto::plot {

void GEOMETRY_VIEW();

}  // namespace kesto::plot
