// Fixed-width, blank-padded texts: every text that crosses a routine
// boundary has a fixed width and is padded with blanks on the right.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kesto::common {

// `text` cut or blank-padded to exactly `width` characters.
std::string pad(std::string_view text, std::size_t width);

// Overwrites `field` (keeping its width) with `text`, cut or blank-padded.
void assign(std::string& field, std::string_view text);

// Position of the last non-blank character (1-based), 0 for an all-blank text.
std::size_t trimmed_length(std::string_view text);

// The text up to its last non-blank character.
std::string_view trim_right(std::string_view text);

// Moves the text to the start of its field; blanks come in at the end.
void left_justify(std::string& field);

// Moves the text to the end of its field; blanks come in at the front.
// A wholly blank text stays unchanged.
void right_justify(std::string& field);

// Letters A-Z become a-z; nothing else changes.
void lower_case(std::string& text);

// True when the two texts are equal but for the case of the letters A-Z.
bool equal_ignoring_case(std::string_view a, std::string_view b);

}  // namespace kesto::common
