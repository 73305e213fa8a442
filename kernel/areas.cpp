// Rectangles and quadrilaterals in the current colour.
#include "kernel/kernel.h"
#include "kernel/markel_records.h"
#include "kernel/recording.h"
#include "kernel/short_int.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::plot {

void TEKBOX(float x1, float y1, float x2, float y2) {
  if (recording()) write_record(markel::box_record(x1, y1, x2, y2));
  const float s = kernel_state().vertical_scale;
  shell::GI_RECT(x1, y1 * s, x2, y2 * s);
}

void TEKFILL(float x1, float y1, float x2, float y2, std::int32_t m) {
  if (recording()) write_record(markel::fill_record(x1, y1, x2, y2, m));
  const float s = kernel_state().vertical_scale;
  shell::GI_FILL_RECT(x1, y1 * s, x2, y2 * s, to_short(m));
}

void TEKQUAD(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
  if (recording()) write_record(markel::quad_record(x1, y1, x2, y2, x3, y3, x4, y4));
  const float s = kernel_state().vertical_scale;
  shell::GI_QUAD(x1, y1 * s, x2, y2 * s, x3, y3 * s, x4, y4 * s);
}

}  // namespace kesto::plot
