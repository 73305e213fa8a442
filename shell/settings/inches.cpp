#include "shell/settings/inches.h"

#include <cstdlib>
#include <limits>

namespace kesto::shell {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

}  // namespace

std::string FORMAT_INCHES(std::int32_t hundredths) {
  const std::int64_t v = hundredths;
  std::string digits = std::to_string(v < 0 ? -v : v);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  std::string text = digits.substr(0, digits.size() - 2) + '.' + digits.substr(digits.size() - 2);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return (v < 0 ? "-" : "") + text + '"';
}

bool PARSE_INCHES(const std::string& text, std::int32_t& hundredths) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && is_blank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::int64_t whole = 0;
  int digits = 0, decimals = 0, decimal_value = 0;
  bool point = false, round_up = false;
  for (; i < n && (is_digit(text[i]) || text[i] == '.'); ++i) {
    const char c = text[i];
    if (c == '.') {
      if (point) return false;
      point = true;
      continue;
    }
    ++digits;
    const int d = c - '0';
    if (!point) {
      whole = whole * 10 + d;
      if (whole > std::numeric_limits<std::int32_t>::max()) return false;
    } else {
      ++decimals;
      if (decimals <= 2)
        decimal_value = decimal_value * 10 + d;
      else if (decimals == 3)
        round_up = d >= 5;
    }
  }
  if (digits == 0) return false;
  if (i < n && text[i] == '"') ++i;
  while (i < n && is_blank(text[i])) ++i;
  if (i != n) return false;
  if (decimals == 1) decimal_value *= 10;
  std::int64_t value = whole * 100 + decimal_value + (round_up ? 1 : 0);
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
    return false;
  hundredths = static_cast<std::int32_t>(value);
  return true;
}

std::string inch_spin(const std::string& text, bool up) {
  std::int32_t v = 0;
  if (!PARSE_INCHES(text.substr(0, 8), v)) return text;
  const std::int64_t next = up ? floor_div(v, 10) * 10 + 10 : -floor_div(-static_cast<std::int64_t>(v), 10) * 10 - 10;
  if (next < std::numeric_limits<std::int32_t>::min() || next > std::numeric_limits<std::int32_t>::max()) return text;
  return FORMAT_INCHES(static_cast<std::int32_t>(next));
}

}  // namespace kesto::shell
