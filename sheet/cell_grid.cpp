#include "sheet/cell_grid.h"

#include <memory>

namespace kesto::sheet {

Grid& grid() {
  // Allocated once; about 800 KB, too large for a function-local static on some stacks of tests.
  static const std::unique_ptr<Grid> g = std::make_unique<Grid>();
  return *g;
}

}  // namespace kesto::sheet
