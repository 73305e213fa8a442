// The arithmetic of a colour bar's scale: a "nice" tick step for a value
// range, the decimals its labels need, the tick marks and the label texts
// with their positions. Pure functions; the colour bar draws what they give.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kesto::plot {

// Step and minor-tick count for a range R: 1-2-5 steps by decade for R from
// 0.00001 to 10000 (5000-10000 gives 1000), otherwise R / 5 with one minor.
void NICE_STEP(float range, float& step, std::int32_t& minor_count);
// Decimals (0 to 3) needed to show x.
std::int32_t DECIMALS(float x);
// Settles step, decimals and minor count for the range low..high starting at
// `start`: a zero step, or one that gives fewer than 2 or more than
// max_intervals intervals, is replaced by NICE_STEP's.
void BAR_STEP(float low, float high, float start, float& step, std::int32_t& decimals, std::int32_t& minor_count,
              std::int32_t max_intervals);

// Top of the colour range for a bar whose highest value is `high`: half a
// percent above it (1.005 * high; for a negative high 0.995 * high, which
// still lies above it).
float bar_top(float high);
// The last tick value below `low`: start - k * step for the first k >= 1.
float first_tick(float start, float step, float low);

struct TickMark {
  float x = 0.0f;      // page x
  bool major = false;  // major ticks are 40 units long, minor ones 20
};
// Tick marks from t0 on, up to `top`, skipping those below `low`; the bar
// spans x from -1650 to 1650.
std::vector<TickMark> bar_ticks(float low, float top, float t0, float step, std::int32_t minor_count);

struct BarLabel {
  std::string text;        // 14 characters
  std::int32_t width = 0;  // how many of them are drawn
  float x = 0.0f;          // page x of its start
};
// Labels of the major tick values from t0 on (up to `top`, none below `low`).
std::vector<BarLabel> bar_labels(float low, float top, float t0, float step, std::int32_t decimals);

// The 14-character text of one label and whether its centring was uneven;
// `width` (10 + decimals, and one more for a point) becomes 14 once a label
// needs exponent form.
std::string bar_label_text(float v, float step, std::int32_t decimals, std::int32_t& width, std::int32_t& odd);

}  // namespace kesto::plot
