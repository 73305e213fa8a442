// Free-format (list-directed) reading of numbers from a text: numbers
// separated by blanks or commas, taken one at a time in the order the caller
// asks for them. Text after the last number asked for is never looked at.
#pragma once

#include <cstdint>
#include <string_view>

namespace kesto::common {

enum class ListStatus {
  ok,
  bad,         // no number left, or a field that is not a number of the kind asked for
  not_finite,  // a real that reads as infinite or not-a-number (or overflows single precision)
};

class ListReader {
 public:
  explicit ListReader(std::string_view text) : text_(text) {}

  // An integer: optional sign and decimal digits, within the 32-bit range.
  ListStatus integer(std::int32_t& value);
  // A real: with or without a decimal point or an exponent (E or D).
  ListStatus real(float& value);

  // Where the field last asked for begins and ends in the text (offsets, the
  // end one past its last character). A missing or null field is empty and
  // stands where the reading stopped.
  std::size_t field_begin() const { return field_begin_; }
  std::size_t field_end() const { return field_end_; }

 private:
  // The next field between separators; empty when the text is used up or a
  // null field (two commas in a row) or a slash stands there.
  std::string_view next_field();

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t field_begin_ = 0, field_end_ = 0;
};

}  // namespace kesto::common
