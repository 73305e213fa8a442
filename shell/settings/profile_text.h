// The text of a profile (INI) file: "[Section]" lines, "Key=value" lines and
// everything else (comments, blank lines, lines of other programs), read and
// updated without disturbing what is not ours.
//
// Section and key names match without regard to case and blanks around
// them; the first occurrence of a key in its section counts (also when the
// section appears more than once). Lines whose first non-blank character is
// ';' or '#' are comments. A line ends at a line feed, a carriage return and
// line feed, or a carriage return alone. A UTF-8 byte-order mark at the
// start of the text is not part of the first line, and stays where it is
// when the text is updated.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::shell {

struct ProfileEntry {
  std::string section;
  std::string key;
  std::string value;
};

// The value of each entry's key (the entries' values are not used), blanks
// around it removed; none for a key that is missing.
std::vector<std::optional<std::string>> profile_values(std::string_view text, const std::vector<ProfileEntry>& keys);

// The text with each entry's value put in place of the value its key has
// (only the characters of the value change; the line keeps its spelling of
// the key, its blanks and its line end). Entries whose key is missing are
// added after the last key of the section's first occurrence, or, when the
// section is missing, in a new section at the end, in the entries' order.
// New lines end as the text's first line does (a line feed when it has no
// line end).
std::string update_profile(std::string_view text, const std::vector<ProfileEntry>& entries);

}  // namespace kesto::shell
