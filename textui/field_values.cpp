#include "textui/field_values.h"

#include <cmath>
#include <cstdlib>

#include "common/fixed_text.h"
#include "common/fortran_format.h"
#include "common/list_input.h"

namespace kesto::textui {
namespace {

constexpr std::size_t kConsidered = 20;  // characters of a typed value that count

// The text without its leading and trailing blanks; false when a blank is
// left inside it. An all-blank text becomes "0".
bool trimmed_value_text(std::string_view text, std::string& out) {
  text = text.substr(0, kConsidered);
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    out = "0";
    return true;
  }
  out = std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
  return out.find(' ') == std::string::npos;
}

// True when `read` takes the whole text as one value of the list reader:
// no "+" sign, nothing before or after the value (a second value, a comma,
// a slash, a tab), and a number that is finite.
template <class Read>
bool read_whole(const std::string& s, Read read) {
  if (s[0] == '+') return false;
  common::ListReader reader(s);
  return read(reader) == common::ListStatus::ok && reader.field_begin() == 0 && reader.field_end() == s.size();
}

// The rightmost `width` characters of `text`, blank-padded on the left.
std::string rightmost(const std::string& text, int width) {
  const std::size_t w = static_cast<std::size_t>(width);
  if (text.size() >= w) return text.substr(text.size() - w);
  return std::string(w - text.size(), ' ') + text;
}

std::string trimmed_left(const std::string& s) {
  const std::size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

// Splits x into a mantissa text "d.ddddddddddddd" (13 decimals, 1 <= |m| < 10)
// and a decimal exponent; zero gives "0.0000000000000" and 0.
void split_scientific(double x, std::string& mantissa, int& exponent) {
  // Ew.d writes 0.dddd...E+xx with d significant digits.
  const std::string e = trimmed_left(common::format_E(x, 30, 14));
  const bool negative = e[0] == '-';
  const std::size_t point = e.find('.');
  const std::size_t mark = e.find('E');
  const std::string digits = e.substr(point + 1, mark - point - 1);
  if (x == 0.0) {
    mantissa = "0.0000000000000";
    exponent = 0;
    return;
  }
  mantissa = std::string(negative ? "-" : "") + digits.substr(0, 1) + "." + digits.substr(1);
  exponent = std::atoi(e.c_str() + mark + 1) - 1;
}

// Kinds E and P: mantissa in 16 columns with d decimals, one blank, the
// exponent; P lowers the exponent to a multiple of 3 (4 becomes 3, -1 becomes -3).
std::string scientific(float value, int decimals, int width, bool engineering) {
  std::string mantissa;
  int exponent = 0;
  split_scientific(value, mantissa, exponent);
  if (engineering) {
    // Move the decimal point right, one digit at a time, in the text itself
    // so that no rounding creeps in.
    std::size_t point = mantissa.find('.');
    while (exponent % 3 != 0) {
      std::swap(mantissa[point], mantissa[point + 1]);
      ++point;
      --exponent;
    }
  }
  const double m = std::strtod(mantissa.c_str(), nullptr);
  const std::string text =
      trimmed_left(common::format_F(m, 16, decimals)) + " " + trimmed_left(common::format_I(exponent, 3));
  return rightmost(text, width);
}

// Kind G with d significant digits: fixed notation followed by four blanks
// for 0.1 <= |x| < 10^d (judged after rounding), else 0.ddd...E+xx; the
// result is moved right so that its trailing blanks come first.
std::string general(float value, int digits, int width) {
  std::string text;
  const double x = value;
  int exponent = -1;  // of 0.ddd x 10^exponent after rounding to `digits` digits
  if (x != 0.0 && std::isfinite(x) && digits > 0) {
    const std::string e = common::format_E(x, 40, digits);
    exponent = std::atoi(e.c_str() + e.find('E') + 1);
  }
  if (exponent >= 0 && exponent <= digits && width > 4)
    text = common::format_F(x, width - 4, digits - exponent) + "    ";
  else
    text = common::format_E(x, width, digits);
  text = common::pad(text, static_cast<std::size_t>(width));
  common::right_justify(text);
  return text;
}

}  // namespace

bool PARSE_INT(std::string_view typed, std::int16_t& value) {
  std::string s;
  std::int32_t v = 0;
  if (!trimmed_value_text(typed, s) || !read_whole(s, [&](common::ListReader& r) { return r.integer(v); }))
    return false;
  if (v < -32768 || v > 32767) return false;
  value = static_cast<std::int16_t>(v);
  return true;
}

bool PARSE_REAL(std::string_view typed, float& value) {
  std::string raw(typed.substr(0, kConsidered));
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == 'e') raw[i] = 'E';
    if (raw[i] == '+' && i > 0 && raw[i - 1] == 'E') raw[i] = '0';
  }
  std::string s;
  if (!trimmed_value_text(raw, s)) return false;
  const char last = s.back();
  if (last == 'K' || last == 'M' || last == 'G') {
    s.pop_back();
    s += last == 'K' ? "E3" : last == 'M' ? "E6" : "E9";
  }
  // The exponent letter of a field is E only.
  if (s.find_first_of("Dd") != std::string::npos) return false;
  float v = 0.0f;
  if (!read_whole(s, [&](common::ListReader& r) { return r.real(v); })) return false;
  value = v;
  return true;
}

std::string FORMAT_FIELD(char kind, int decimals, int width, std::int16_t integer_value, float real_value) {
  switch (kind) {
    case 'I': return rightmost(common::format_I(integer_value, 20), width);
    case 'F': return common::format_F(real_value, width, decimals);
    case 'G': return general(real_value, decimals, width);
    case 'E': return scientific(real_value, decimals, width, false);
    case 'P': return scientific(real_value, decimals, width, true);
    default: return std::string(static_cast<std::size_t>(width), ' ');
  }
}

}  // namespace kesto::textui
