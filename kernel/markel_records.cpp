#include "kernel/markel_records.h"

#include <algorithm>

#include "common/fortran_format.h"

namespace kesto::plot::markel {
namespace {

using common::format_E;
using common::format_F;
using common::format_I;

std::string I5(std::int32_t v) { return format_I(v, 5); }
std::string F60(float v) { return format_F(v, 6, 0); }
std::string F103(float v) { return format_F(v, 10, 3); }

}  // namespace

std::int32_t rounded(float v) { return common::NINT(v); }

std::string line_record(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  return "LI " + I5(x1) + ' ' + I5(y1) + ' ' + I5(x2) + ' ' + I5(y2) + ' ' + "    0";
}

std::string wide_line_record(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t w) {
  return "LW " + I5(x1) + ' ' + I5(y1) + ' ' + I5(x2) + ' ' + I5(y2) + ' ' + I5(w) + ' ';
}

std::string arc_record(std::int32_t xc, std::int32_t yc, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                       std::int32_t y2) {
  return "CI " + I5(xc) + ' ' + I5(yc) + ' ' + I5(x1) + ' ' + I5(y1) + ' ' + I5(x2) + ' ' + I5(y2) + ' ';
}

std::string text_record(std::int32_t x, std::int32_t y, std::int32_t size, std::int32_t orientation,
                        std::string_view text, std::int32_t n) {
  std::string r = "CH " + I5(x) + ' ' + I5(y) + ' ' + format_I(size, 2) + " S " + format_I(orientation, 1) + ' ';
  if (n > 0) {
    const std::size_t count = static_cast<std::size_t>(std::min(n, 80));
    std::string chars(text.substr(0, count));
    chars.resize(count, ' ');
    r += chars;
  }
  return r;
}

std::string box_record(float x1, float y1, float x2, float y2) { return "RB" + F60(x1) + F60(y1) + F60(x2) + F60(y2); }

std::string fill_record(float x1, float y1, float x2, float y2, std::int32_t m) {
  return "RF" + F60(x1) + F60(y1) + F60(x2) + F60(y2) + format_I(m, 3);
}

std::string quad_record(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
  return "QF" + F60(x1) + F60(y1) + F60(x2) + F60(y2) + F60(x3) + F60(y3) + F60(x4) + F60(y4);
}

std::string mode_record(std::int32_t imode) {
  static const char* const names[] = {"BAR", "RGB", "GREY", "CIRCL", "HOT", "HOTPJ", "HOTIRON SCALE"};
  if (imode < 1 || imode > 7) return {};
  return std::string("SC MODE ") + names[imode - 1];
}

std::string bar_colour_record(std::int32_t c) { return "SC BAR  " + format_I(c, 2); }

std::string rgb_record(std::int32_t r, std::int32_t g, std::int32_t b) {
  return "SC RGB " + format_I(r, 3) + format_I(g, 3) + format_I(b, 3);
}

std::string grey_record(std::int32_t g) { return "SC GREY " + format_I(g, 2); }
std::string circl_record(float f) { return "SC CIRCL " + F103(f); }
std::string hot_record(float f) { return "SC HOT" + F103(f); }
std::string iron_record(float f) { return "SC IRON" + F103(f); }

std::string la_record(std::int32_t k, float a, float b, float c) {
  return "LA" + format_I(k, 3) + format_E(a, 15, 7) + format_E(b, 15, 7) + format_E(c, 15, 7);
}

std::string comment_record(std::string_view text, std::int32_t length) {
  const std::size_t available = std::min<std::size_t>(text.size(), static_cast<std::size_t>(std::max(length, 0)));
  const std::string_view scanned = text.substr(0, std::min<std::size_t>(available, 76));
  const std::size_t dollar = scanned.find('$');
  const std::string_view kept = dollar == std::string_view::npos ? scanned : scanned.substr(0, dollar);
  if (kept.empty()) return "CM";
  return "CM " + std::string(kept);
}

}  // namespace kesto::plot::markel
