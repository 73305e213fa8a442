#include "plot/bar_scale.h"

#include <cmath>

#include "common/fortran_format.h"

namespace kesto::plot {
namespace {

// Bounds on the tick loops: a sane bar has about ten intervals; a range lost
// in float rounding must not loop for ever.
constexpr std::int32_t kMaxTicks = 1000;

constexpr float kBarLeft = -1650.0f;
constexpr float kBarWidth = 3300.0f;

// 10^k as a float, correctly rounded.
float power_of_ten(int k) { return static_cast<float>(k >= 0 ? std::pow(10.0, k) : 1.0 / std::pow(10.0, -k)); }

// d * 10^k correctly rounded for d = 1, 2, 5.
float decade_multiple(int digit, int k) {
  return static_cast<float>(k >= 0 ? digit * std::pow(10.0, k) : digit / std::pow(10.0, -k));
}

// Makes a number written by the Fortran-style editors look like a label:
// a zero before a bare point, no point that ends the number.
void leading_zero_fix(std::string& t) {
  const std::size_t point = t.find('.');
  if (point == std::string::npos) return;
  if (point > 0 && t[point - 1] == ' ') {
    t[point - 1] = '0';
  } else if (point > 0 && t[point - 1] == '-') {
    if (point > 1) {
      t[point - 2] = '-';
      t[point - 1] = '0';
    } else {
      t = "-0" + t.substr(1, t.size() - 2);
    }
  }
  const std::size_t p = t.find('.');
  if (p + 1 == t.size() || t[p + 1] == ' ') t[p] = ' ';
}

// Exponent form without the mantissa's trailing zeros and the exponent's
// leading zeros: "     0.500E-03" becomes "       0.5E-3 ".
void shorten_exponent_form(std::string& t) {
  const std::size_t e = t.find('E');
  if (e == std::string::npos) return;
  std::size_t zeros = 0;
  while (zeros < e && t[e - 1 - zeros] == '0') ++zeros;
  if (zeros > 0 && t[e - 1 - zeros] != '.') {
    t = std::string(zeros, ' ') + t.substr(0, e - zeros) + t.substr(e);
  }
  const std::size_t e2 = t.find('E');
  std::size_t digits = e2 + 2;  // after "E" and the sign
  std::size_t lead = 0;
  while (digits + lead + 1 < t.size() && t[digits + lead] == '0') ++lead;
  if (lead > 0) t = t.substr(0, digits) + t.substr(digits + lead) + std::string(lead, ' ');
}

// Centres the text in its field; `odd` is 1 when the blanks do not split
// evenly (the extra one stays on the side the text moved towards).
void centre(std::string& t, std::int32_t& odd) {
  const std::size_t first = t.find_first_not_of(' ');
  if (first == std::string::npos) {
    odd = 0;
    return;
  }
  const std::size_t last = t.find_last_not_of(' ');
  const int left = static_cast<int>(first);
  const int right = static_cast<int>(t.size() - 1 - last);
  const int shift = (left - right) / 2;
  const std::string core = t.substr(first, last - first + 1);
  t = std::string(static_cast<std::size_t>(left - shift), ' ') + core +
      std::string(static_cast<std::size_t>(right + shift), ' ');
  odd = (left + right) % 2;
}

// A lone "0." shows as "0".
void lone_zero_fix(std::string& t) {
  for (std::size_t i = 0; i + 2 < t.size(); ++i) {
    if (t[i] != '0' || t[i + 1] != '.' || t[i + 2] != ' ') continue;
    if (i == 0) {
      t[0] = ' ';
      t[1] = '0';
    } else if (t[i - 1] == ' ') {
      t[i] = ' ';
      t[i + 1] = '0';
    }
    return;
  }
}

}  // namespace

void NICE_STEP(float range, float& step, std::int32_t& minor_count) {
  const float r = std::fabs(range);
  if (!(r >= 0.00001f && r <= 10000.0f)) {
    step = r / 5.0f;
    minor_count = 1;
    return;
  }
  if (r >= 5000.0f) {  // the top band is closed at 10000
    step = 1000.0f;
    minor_count = 4;
    return;
  }
  // R = m * 10^k with 1 <= m < 10, in single precision: a range typed as
  // 0.02 is 0.02 in float, just below the decimal value, and the division by
  // the float power of ten gives back m = 2 exactly.
  int k = static_cast<int>(std::floor(std::log10(r)));
  float m = r / power_of_ten(k);
  if (m >= 10.0f) {
    ++k;
    m = r / power_of_ten(k);
  } else if (m < 1.0f) {
    --k;
    m = r / power_of_ten(k);
  }
  if (m < 2.0f) {
    step = decade_multiple(2, k - 1);
    minor_count = 3;
  } else if (m < 5.0f) {
    step = decade_multiple(5, k - 1);
    minor_count = 4;
  } else {
    step = power_of_ten(k);
    minor_count = 4;
  }
}

std::int32_t DECIMALS(float x) {
  const float d = std::fabs(x - std::round(x));
  if (d < 0.0001f) return 0;
  std::int32_t decimals = 1;
  for (float scale : {10.0f, 100.0f, 1000.0f}) {
    const float e = d * scale;
    if (std::fabs(e - std::round(e)) < 0.0001f) return decimals;
    ++decimals;
  }
  return 3;
}

void BAR_STEP(float low, float high, float start, float& step, std::int32_t& decimals, std::int32_t& minor_count,
              std::int32_t max_intervals) {
  if (high < low) std::swap(low, high);
  const float range = high - low;
  decimals = std::max(DECIMALS(start), DECIMALS(std::fabs(step)));
  step = std::fabs(step);
  if (step == 0.0f) {
    NICE_STEP(range, step, minor_count);
    decimals = std::max(DECIMALS(start), DECIMALS(step));
  }
  if (minor_count > 20) minor_count = 1;
  const std::int32_t n = step > 0.0f ? common::NINT(range / step) : 0;
  if (n < 2 || n > max_intervals) {
    NICE_STEP(range, step, minor_count);
    decimals = std::max(DECIMALS(start), DECIMALS(step));
  }
}

float bar_top(float high) { return high >= 0.0f ? 1.005f * high : 0.995f * high; }

float first_tick(float start, float step, float low) {
  float t0 = start - step;
  for (std::int32_t k = 2; !(t0 < low) && k <= kMaxTicks; ++k) t0 = start - static_cast<float>(k) * step;
  return t0;
}

std::vector<TickMark> bar_ticks(float low, float top, float t0, float step, std::int32_t minor_count) {
  std::vector<TickMark> ticks;
  const float scale = kBarWidth / (top - low);
  const float spacing = step / static_cast<float>(minor_count + 1);
  for (std::int32_t m = 0; m <= kMaxTicks; ++m) {
    const float v = t0 + static_cast<float>(m) * step;
    if (!(v <= top)) break;
    if (v >= low) ticks.push_back({kBarLeft + (v - low) * scale, true});
    for (std::int32_t i = 1; i <= minor_count; ++i) {
      const float u = v + static_cast<float>(i) * spacing;
      if (!(u <= top)) return ticks;
      if (u >= low) ticks.push_back({kBarLeft + (u - low) * scale, false});
    }
  }
  return ticks;
}

std::string bar_label_text(float v, float step, std::int32_t decimals, std::int32_t& width, std::int32_t& odd) {
  const float a = std::fabs(v);
  std::string t;
  if (a < step * 0.000001f) {
    t = std::string(12, ' ') + "0.";
  } else if (a >= 10000.0f || a < 0.01f) {
    t = common::format_E(v, 14, 3);
    leading_zero_fix(t);
    shorten_exponent_form(t);
    width = 14;
  } else {
    // Whole numbers are rounded by moving half a unit away from zero and
    // cutting the fraction off with the field width.
    const float u = decimals == 0 ? (v < 0.0f ? v - 0.5f : v + 0.5f) : v;
    t = common::format_F(u, 14, 3);
    leading_zero_fix(t);
    for (std::size_t i = static_cast<std::size_t>(width); i < t.size(); ++i) t[i] = ' ';
  }
  centre(t, odd);
  lone_zero_fix(t);
  return t;
}

std::vector<BarLabel> bar_labels(float low, float top, float t0, float step, std::int32_t decimals) {
  std::vector<BarLabel> labels;
  const float scale = kBarWidth / (top - low);
  std::int32_t width = 10 + decimals + (decimals > 0 ? 1 : 0);
  for (std::int32_t m = 0; m <= kMaxTicks; ++m) {
    const float v = t0 + static_cast<float>(m) * step;
    if (!(v <= top)) break;
    if (v < low) continue;
    BarLabel label;
    std::int32_t odd = 0;
    label.text = bar_label_text(v, step, decimals, width, odd);
    label.width = width;
    float x = kBarLeft + (v - low) * scale - static_cast<float>(3 * 7 * odd + 360) + 40.0f;
    // A label that would run far past the right end of the bar is pulled back.
    const float end = x + static_cast<float>(width) * 7.0f * 102.0f / 16.0f;
    if (end > 1850.0f) x -= static_cast<float>(width) / 14.0f * (end - 1850.0f);
    label.x = x;
    labels.push_back(label);
  }
  return labels;
}

}  // namespace kesto::plot
