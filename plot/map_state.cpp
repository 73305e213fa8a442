#include "plot/result_maps.h"

namespace kesto::plot {

MapState& map_state() {
  static MapState m;
  return m;
}

}  // namespace kesto::plot
