#include "common/fixed_text.h"

namespace kesto::common {

std::string pad(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

void assign(std::string& field, std::string_view text) { field = pad(text, field.size()); }

std::size_t trimmed_length(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') --n;
  return n;
}

std::string_view trim_right(std::string_view text) { return text.substr(0, trimmed_length(text)); }

void left_justify(std::string& field) {
  const std::size_t first = field.find_first_not_of(' ');
  if (first == std::string::npos || first == 0) return;
  field = pad(std::string_view(field).substr(first), field.size());
}

void right_justify(std::string& field) {
  const std::size_t n = trimmed_length(field);
  if (n == 0 || n == field.size()) return;
  field = std::string(field.size() - n, ' ') + field.substr(0, n);
}

void lower_case(std::string& text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace kesto::common
