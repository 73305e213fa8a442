// The file-name record shared by the run driver and the file menus, and the
// routines that build and take apart paths on its fixed-width fields.
#pragma once

#include <cstdint>
#include <string>

namespace kesto::textui {

struct FileNameRecord {
  std::string directory = std::string(66, ' ');  // may be blank: the current directory
  std::string file_name = std::string(14, ' ');
  std::string default_extension = std::string(3, ' ');
  std::string full_path = std::string(80, ' ');
};

struct PathSeparators {
  char current = '/';       // this platform's separator
  char alternative = '\\';  // typed separators of the other kind are turned into it
};

FileNameRecord& file_name_record();
PathSeparators& path_separators();

void SET_SEPARATORS();
// Moves the text to the start of its field; returns the position of its last
// non-blank character (0 when blank).
std::int32_t LEFT_JUSTIFY(std::string& text);
void LOWER_CASE(std::string& text);
// Joins directory (up to its first blank) and file name into an 80-character
// path, adding a separator between them when the directory lacks one.
void BUILD_PATH(std::string& path, const std::string& directory, const std::string& file_name);
// Splits an 80-character path into a 66-character directory (ending in the
// separator) and a 14-character file name.
void SPLIT_PATH(const std::string& path, std::string& directory, std::string& file_name);

}  // namespace kesto::textui
