#include "textui/file_names.h"

#include "common/fixed_text.h"
#include "shell/graphics/graphics_interface.h"

namespace kesto::textui {

FileNameRecord& file_name_record() {
  static FileNameRecord r;
  return r;
}

PathSeparators& path_separators() {
  static PathSeparators s;
  return s;
}

void SET_SEPARATORS() { path_separators() = PathSeparators{'/', '\\'}; }

std::int32_t LEFT_JUSTIFY(std::string& text) {
  common::left_justify(text);
  return static_cast<std::int32_t>(common::trimmed_length(text));
}

void LOWER_CASE(std::string& text) { common::lower_case(text); }

void BUILD_PATH(std::string& path, const std::string& directory, const std::string& file_name) {
  const char sep = path_separators().current;
  path = std::string(80, ' ');
  std::size_t copied = 0;
  for (std::size_t i = 0; i < 66 && i < directory.size(); ++i) {
    char c = directory[i];
    if (c == '\0' || (i < 14 && i < file_name.size() && file_name[i] == '\0')) c = ' ';
    if (c == ' ') break;
    path[copied++] = c;
  }
  if (copied > 0 && path[copied - 1] != sep && copied < 66) path[copied++] = sep;
  for (std::size_t i = 0; i < file_name.size() && file_name[i] != ' ' && copied < 80; ++i)
    path[copied++] = file_name[i] == '\0' ? ' ' : file_name[i];

  // The shell remembers directory and name as defaults for picture export.
  std::string dir = directory.substr(0, directory.find_first_of(std::string(" \0", 2)));
  std::string name = file_name.substr(0, file_name.find_first_of(std::string(" \0", 2)));
  shell::SET_DATA_FILE(dir.c_str(), static_cast<std::int16_t>(dir.size()), name.c_str());
}

void SPLIT_PATH(const std::string& path_in, std::string& directory, std::string& file_name) {
  const char sep = path_separators().current;
  const std::size_t dir_width = directory.empty() ? 66 : directory.size();
  const std::size_t name_width = file_name.empty() ? 14 : file_name.size();
  directory = std::string(dir_width, ' ');
  file_name = std::string(name_width, ' ');
  std::string path = path_in;
  common::left_justify(path);
  const std::size_t length = common::trimmed_length(path);
  if (length == 0) return;

  // Walk back over at most 14 characters, looking for the separator.
  std::size_t copied = 0;
  std::size_t pos = length;  // 1-based position of the character being looked at
  std::size_t separator_at = 0;
  while (pos >= 1 && copied < 14) {
    if (path[pos - 1] == sep) {
      separator_at = pos;
      break;
    }
    ++copied;
    --pos;
  }
  if (separator_at == 0) {
    if (pos == 0) {  // the whole path is the file name
      file_name = common::pad(path.substr(0, length), name_width);
      return;
    }
    // 14 characters copied without a separator.
    if (path[pos - 1] == sep) {
      separator_at = pos;
    } else {  // the last component is longer than 14: no file name
      for (std::size_t p = pos; p >= 1; --p)
        if (path[p - 1] == sep) {
          separator_at = p;
          break;
        }
      if (separator_at == 0) return;
      directory = common::pad(path.substr(0, separator_at), dir_width);
      return;
    }
  }
  directory = common::pad(path.substr(0, separator_at), dir_width);
  file_name = common::pad(path.substr(separator_at, length - separator_at), name_width);
  common::left_justify(directory);
  common::left_justify(file_name);
}

}  // namespace kesto::textui
