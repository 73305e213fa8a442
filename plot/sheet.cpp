#include "plot/sheet.h"

#include <memory>

namespace kesto::plot {
namespace {

const sheet::Grid*& current() {
  static const sheet::Grid* g = nullptr;
  return g;
}

}  // namespace

void use_sheet(const sheet::Grid& grid) { current() = &grid; }

const sheet::Grid& sheet() {
  if (const sheet::Grid* g = current()) return *g;
  static const std::unique_ptr<const sheet::Grid> empty = std::make_unique<sheet::Grid>();
  return *empty;
}

}  // namespace kesto::plot
