#include "common/list_input.h"

#include "common/fixed_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace kesto::common {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string_view ListReader::next_field() {
  while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
  field_begin_ = field_end_ = pos_;
  if (pos_ >= text_.size()) return {};
  if (text_[pos_] == ',' || text_[pos_] == '/') return {};  // null value or end of list
  const std::size_t start = pos_;
  while (pos_ < text_.size() && !is_blank(text_[pos_]) && text_[pos_] != ',' && text_[pos_] != '/') ++pos_;
  field_end_ = pos_;
  const std::string_view field = text_.substr(start, pos_ - start);
  // A field ends at blanks, optionally followed by one comma.
  while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
  if (pos_ < text_.size() && text_[pos_] == ',') ++pos_;
  return field;
}

ListStatus ListReader::integer(std::int32_t& value) {
  const std::string_view f = next_field();
  if (f.empty()) return ListStatus::bad;
  std::size_t i = 0;
  bool negative = false;
  if (f[0] == '+' || f[0] == '-') {
    negative = f[0] == '-';
    i = 1;
  }
  if (i >= f.size()) return ListStatus::bad;
  std::int64_t v = 0;
  for (; i < f.size(); ++i) {
    if (!is_digit(f[i])) return ListStatus::bad;
    v = v * 10 + (f[i] - '0');
    if (v > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) return ListStatus::bad;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<std::int32_t>::max() || v < std::numeric_limits<std::int32_t>::min())
    return ListStatus::bad;
  value = static_cast<std::int32_t>(v);
  return ListStatus::ok;
}

ListStatus ListReader::real(float& value) {
  const std::string_view f = next_field();
  if (f.empty()) return ListStatus::bad;
  // Spelled-out special values.
  std::string_view body = f;
  if (body[0] == '+' || body[0] == '-') body.remove_prefix(1);
  if (equal_ignoring_case(body, "inf") || equal_ignoring_case(body, "infinity") || equal_ignoring_case(body, "nan") ||
      (body.size() > 4 && equal_ignoring_case(body.substr(0, 4), "nan(")))
    return ListStatus::not_finite;
  // sign, digits with at most one point (at least one digit), optional exponent.
  std::string canonical;
  std::size_t i = 0;
  if (f[i] == '+' || f[i] == '-') canonical.push_back(f[i++]);
  int digits = 0;
  bool point = false;
  for (; i < f.size(); ++i) {
    if (is_digit(f[i])) {
      ++digits;
      canonical.push_back(f[i]);
    } else if (f[i] == '.' && !point) {
      point = true;
      canonical.push_back('.');
    } else {
      break;
    }
  }
  if (digits == 0) return ListStatus::bad;
  if (i < f.size()) {
    const char e = f[i];
    if (e != 'e' && e != 'E' && e != 'd' && e != 'D') return ListStatus::bad;
    canonical.push_back('e');
    ++i;
    if (i < f.size() && (f[i] == '+' || f[i] == '-')) canonical.push_back(f[i++]);
    int exp_digits = 0;
    for (; i < f.size() && is_digit(f[i]); ++i, ++exp_digits) canonical.push_back(f[i]);
    if (exp_digits == 0 || i != f.size()) return ListStatus::bad;
  }
  // strtof rounds the decimal value once, straight to single precision.
  const float r = std::strtof(canonical.c_str(), nullptr);
  if (!std::isfinite(r)) return ListStatus::not_finite;
  value = r;
  return ListStatus::ok;
}

}  // namespace kesto::common
