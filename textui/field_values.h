// The values of typed form fields: reading an integer or a real from what
// the user typed, and showing a value in the field's kind (I integer,
// F fixed, G general, E scientific, P engineering). Texts typed into a
// field that do not read as a value are reported invalid, never guessed at.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto::textui {

// Optional "-", then digits (an all-blank text is 0); at most 20 characters
// count. False for anything else or a value outside 16 bits.
bool PARSE_INT(std::string_view text, std::int16_t& value);

// Real syntax: optional "-", digits, optional "." and digits, then an
// optional exponent ("E" or "e", a "+" after it read as "0", optional "-",
// digits) or one of the suffixes K, M, G (upper case) for E3, E6, E9. An
// all-blank text is 0; at most 20 characters count. False for anything else
// (a leading "+", an inner blank, no digits, a value beyond the float range).
bool PARSE_REAL(std::string_view text, float& value);

// The field text (exactly `width` characters) of a value in the kind
// `kind` with `decimals` decimals (significant digits for G).
std::string FORMAT_FIELD(char kind, int decimals, int width, std::int16_t integer_value, float real_value);

}  // namespace kesto::textui
