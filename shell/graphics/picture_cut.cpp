#include "shell/graphics/picture_cut.h"

#include <algorithm>

#include "shell/drawing/plot_buffer.h"

namespace kesto::shell {

std::size_t PICTURE_LENGTH() { return plot_buffer().used; }

void CUT_PICTURE(std::size_t length) {
  PlotBuffer& b = plot_buffer();
  if (length >= b.used) return;
  b.used = length;
  b.read_position = std::min(b.read_position, length);
  b.full = false;  // there is room again
}

}  // namespace kesto::shell
