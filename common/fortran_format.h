// Fortran-style number editing for the fixed-column texts of table files,
// message lines and plot records. Every edit rounds the exact binary value
// half away from zero and fills the field with asterisks when the value does
// not fit, as a Fortran runtime does. Only negative values get a minus sign:
// zero of either sign is written with a blank.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto::common {

// NINT: nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3);
// values beyond the 32-bit range are clamped to it.
std::int32_t NINT(float x);
std::int32_t NINT(double x);

// Iw: the integer right-justified in w columns.
std::string format_I(std::int64_t value, int width);

// Ew.d: exponent form "0.dddE+xx" with d significant digits, right-justified,
// a minus sign for negative values. E11.4 of 50.0 is " 0.5000E+02".
std::string format_E(double value, int width, int digits);

// Fw.d: fixed form with d decimals, right-justified; "0" before the point
// when the field has room for it. F6.0 of 12.0 is "   12.", F10.3 of 0.5
// is "     0.500".
std::string format_F(double value, int width, int decimals);

// Free-format (list-directed) output line: one leading blank, then the items
// in order, texts as they stand and integers right-justified in 12 columns.
class FreeFormat {
 public:
  FreeFormat& text(std::string_view t);
  FreeFormat& integer(std::int64_t v);
  // The line blank-padded (or cut) to `width` characters.
  std::string line(std::size_t width = 80) const;
  const std::string& str() const { return text_; }

 private:
  std::string text_ = " ";
};

}  // namespace kesto::common
