#include "common/fortran_format.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "common/fixed_text.h"

namespace kesto::common {
namespace {

// Enough significant digits to hold the exact decimal value of any float and
// any double of the magnitudes written here; rounding then needs only the
// first dropped digit.
constexpr int kExactDigits = 120;

std::string stars(int width) { return std::string(static_cast<std::size_t>(width > 0 ? width : 0), '*'); }

std::string right_in(std::string body, int width) {
  if (static_cast<int>(body.size()) > width) return stars(width);
  return std::string(static_cast<std::size_t>(width) - body.size(), ' ') + body;
}

// Adds one unit in the last place of a string of decimal digits; returns true
// when the carry ran out of the front (999 -> 000 with carry).
bool increment_digits(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      return false;
    }
  }
  return true;
}

std::string non_finite(double value, int width) {
  if (std::isnan(value)) return right_in("NaN", width);
  return right_in(value < 0 ? "-Infinity" : "Infinity", width);
}

}  // namespace

std::int32_t NINT(double x) {
  if (std::isnan(x)) return 0;
  const double r = std::round(x);  // halves away from zero
  if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

std::int32_t NINT(float x) { return NINT(static_cast<double>(std::round(x))); }

std::string format_I(std::int64_t value, int width) { return right_in(std::to_string(value), width); }

std::string format_E(double value, int width, int digits) {
  if (!std::isfinite(value)) return non_finite(value, width);
  const bool negative = value < 0.0;  // zero of either sign takes no minus sign
  std::string mantissa(static_cast<std::size_t>(digits), '0');
  int exponent = 0;  // value = 0.mantissa x 10^exponent
  if (value != 0.0) {
    char buf[kExactDigits + 16];
    std::snprintf(buf, sizeof buf, "%.*e", kExactDigits, std::fabs(value));
    // buf is "d.ddd...e+XX": collect the digits and the exponent.
    std::string all;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
      if (*p != '.') all.push_back(*p);
    exponent = std::atoi(p + 1) + 1;
    mantissa = all.substr(0, static_cast<std::size_t>(digits));
    if (all[static_cast<std::size_t>(digits)] >= '5' && increment_digits(mantissa)) {
      mantissa = "1" + std::string(static_cast<std::size_t>(digits - 1), '0');
      ++exponent;
    }
  }
  std::string exp_text;
  const int e = std::abs(exponent);
  if (e <= 99) {
    exp_text = std::string("E") + (exponent < 0 ? '-' : '+') + (e < 10 ? "0" : "") + std::to_string(e);
  } else {  // three exponent digits take the place of the letter
    exp_text = std::string(1, exponent < 0 ? '-' : '+') + std::to_string(e);
  }
  std::string body = "." + mantissa + exp_text;
  const int needed_with_zero = static_cast<int>(body.size()) + 1 + (negative ? 1 : 0);
  if (needed_with_zero <= width) body = "0" + body;
  if (negative) body = "-" + body;
  return right_in(body, width);
}

std::string format_F(double value, int width, int decimals) {
  if (!std::isfinite(value)) return non_finite(value, width);
  const bool negative = value < 0.0;  // zero of either sign takes no minus sign
  char buf[kExactDigits + 400];
  std::snprintf(buf, sizeof buf, "%.*f", kExactDigits, std::fabs(value));
  std::string text(buf);
  const std::size_t point = text.find('.');
  std::string int_part = text.substr(0, point);
  std::string frac = text.substr(point + 1);
  std::string kept = int_part + frac.substr(0, static_cast<std::size_t>(decimals));
  if (frac[static_cast<std::size_t>(decimals)] >= '5' && increment_digits(kept)) kept = "1" + kept;
  int_part = kept.substr(0, kept.size() - static_cast<std::size_t>(decimals));
  const std::string frac_kept = kept.substr(kept.size() - static_cast<std::size_t>(decimals));
  // Drop leading zeros of the integer part; a lone zero stays if there is room.
  const std::size_t nz = int_part.find_first_not_of('0');
  int_part = nz == std::string::npos ? "" : int_part.substr(nz);
  std::string body = int_part + "." + frac_kept;
  if (int_part.empty() && static_cast<int>(body.size()) + 1 + (negative ? 1 : 0) <= width) body = "0" + body;
  if (negative) body = "-" + body;
  return right_in(body, width);
}

FreeFormat& FreeFormat::text(std::string_view t) {
  text_.append(t);
  return *this;
}

FreeFormat& FreeFormat::integer(std::int64_t v) {
  text_.append(format_I(v, 12));
  return *this;
}

std::string FreeFormat::line(std::size_t width) const { return pad(text_, width); }

}  // namespace kesto::common
