// The colour of a value on the HOT scale of the current colour range, and
// of a cell (grounded cells in colour 7).
#include "kernel/kernel.h"
#include "plot/result_maps.h"
#include "plot/sheet.h"

namespace kesto::plot {

void VALUE_COLOUR(float v) {
  const MapState& m = map_state();
  if (v < m.low) {
    LCBAR(0);
  } else if (v > m.high) {
    LCBAR(7);
  } else {
    // An empty range (no bar drawn yet) shows the scale's low end.
    const float span = m.high - m.low;
    LCHOT(span > 0.0f ? (v - m.low) / span : 0.0f);
  }
}

void CELL_COLOUR(std::int32_t I, std::int32_t J) {
  const sheet::Grid& g = sheet();
  const float v = g.V[I][J];
  VALUE_COLOUR(v);
  if (g.FIXED[I][J] == 1 && v == 0.0f) LCBAR(7);
}

}  // namespace kesto::plot
