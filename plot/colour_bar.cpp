#include "plot/colour_bar.h"

#include "common/fixed_text.h"
#include "common/fortran_format.h"
#include "plot/bar_scale.h"
#include "kernel/kernel.h"
#include "plot/result_maps.h"
#include "textui/messages.h"

namespace kesto::plot {
namespace {

constexpr int kSegments = 32;
constexpr float kBarHeight = 50.0f;
constexpr float kBarRaise = 200.0f;  // bar bottom above the bar area's bottom

// The ticks' step, decimals and minor count for the values low..high.
void settle_ticks(float low, float high, float& step, std::int32_t& decimals, std::int32_t& minor_count) {
  step = 0.2f * (high - low);
  minor_count = 3;
  BAR_STEP(low, high, low, step, decimals, minor_count, 0);
}

}  // namespace

float colour_bar_step(float low, float high) {
  float step = 0.0f;
  std::int32_t decimals = 0, minor_count = 0;
  settle_ticks(low, high, step, decimals, minor_count);
  return step;
}

std::string empty_range_message(float step, float low) {
  return "ZDELTA,ZLOW " + common::format_E(step, 15, 7) + common::format_E(low, 15, 7);
}

void COLOUR_BAR(float low, float high) {
  MapState& m = map_state();
  const float top = bar_top(high);
  m.low = low;
  m.high = top;
  m.tick_start = low;
  settle_ticks(low, high, m.tick_step, m.decimals, m.minor_count);

  const float left = m.bar_left, right = m.bar_right;
  const float yb = m.bar_bottom + kBarRaise;
  LCBAR(7);
  TEKBOX(left, yb, right, yb + kBarHeight);
  const float width = right - left;
  for (int k = 0; k < kSegments; ++k) {
    float xa = left + static_cast<float>(k) * width / kSegments;
    float xb = left + static_cast<float>(k + 1) * width / kSegments;
    // The segment shows the value at its centre.
    VALUE_COLOUR(low + ((xa + xb) / 2.0f - left) * (top - low) / width);
    // Overlap the neighbours so that no gap shows between segments.
    if (xa - 10.0f > left) xa -= 10.0f;
    if (xb + 10.0f < right) xb += 10.0f;
    TEKFILL(xa, yb, xb, yb + kBarHeight, 0);
  }
  LCBAR(7);
  TEKBOX(left, yb, right, yb + kBarHeight);
  LCBAR(7);
  LCBAR(7);
  TEKBOX(left, yb, right, yb + kBarHeight);

  // The title, centred under the labels.
  const std::size_t first = m.title.find_first_not_of(' ');
  const std::int32_t n =
      first == std::string::npos ? 0 : static_cast<std::int32_t>(common::trimmed_length(m.title) - first);
  const std::string title = common::pad(first == std::string::npos ? "" : m.title.substr(first), 40);
  TEKMOVE(static_cast<float>(-35 * n - 280), yb - 40.0f - 80.0f - 80.0f + 20.0f);
  TEKTEXT(11, 0, title, n);

  BAR_TICKS(yb);
}

void BAR_TICKS(float yb) {
  MapState& m = map_state();
  if (m.tick_step == 0.0f) {
    TEKFLUSH(0);
    textui::set_message(empty_range_message(m.tick_step, m.low));
    textui::ERROR_PAGE();
    textui::FATAL_STOP();
  }
  const float t0 = first_tick(m.tick_start, m.tick_step, m.low);
  for (const TickMark& t : bar_ticks(m.low, m.high, t0, m.tick_step, m.minor_count)) {
    TEKMOVE(t.x, yb);
    TEKDRAW(t.x, yb - (t.major ? 40.0f : 20.0f));
  }
  BAR_LABELS(t0, yb);
}

void BAR_LABELS(float t0, float yb) {
  const MapState& m = map_state();
  for (const BarLabel& label : bar_labels(m.low, m.high, t0, m.tick_step, m.decimals)) {
    TEKMOVE(label.x, yb - 7.0f * 9.0f - 40.0f);
    TEKTEXT(7, 0, label.text, label.width);
  }
}

}  // namespace kesto::plot
