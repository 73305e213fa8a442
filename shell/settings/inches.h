// Lengths in hundredths of an inch shown as inch texts (650 is 6.5") and
// read back from them, and the Page Setup spin that steps them by 0.1".
#pragma once

#include <cstdint>
#include <string>

namespace kesto::shell {

// The value in inches: a point before the last two digits (at least one
// digit before it), trailing zeros and point removed, then the inch mark.
std::string FORMAT_INCHES(std::int32_t hundredths);

// Reads an inch text: blanks, an optional sign, digits with at most one
// point, an optional inch mark, blanks; no blank between the parts. Two
// decimals count, the third rounds, further ones are ignored. False for an
// invalid text or a value outside the 32-bit range.
bool PARSE_INCHES(const std::string& text, std::int32_t& hundredths);

// The Page Setup spin: the edit text (its first 8 characters) moved to the
// next multiple of 0.1" above (up) or below (down), as an inch text. A text
// that does not parse is returned unchanged.
std::string inch_spin(const std::string& text, bool up);

}  // namespace kesto::shell
