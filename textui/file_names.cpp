#include "textui/file_names.h"

#include "common/file_lookup.h"
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
  // A directory of all 66 characters gets its separator at position 67.
  if (copied > 0 && path[copied - 1] != sep) path[copied++] = sep;
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

void STRIP_NAME_PREFIX(std::string& file_name) {
  const char sep = path_separators().current;
  const std::string ends = std::string(1, sep) + ":";
  for (std::size_t at; (at = file_name.find_first_of(ends)) != std::string::npos;)
    file_name = common::pad(std::string_view(file_name).substr(at + 1), file_name.size());
}

void APPLY_EXTENSION(std::string& file_name, const std::string& extension) {
  LOWER_CASE(file_name);
  LEFT_JUSTIFY(file_name);
  if (!file_name.empty() && file_name[0] == '\0') {
    file_name = std::string(file_name.size(), ' ');
    return;
  }
  if (common::trimmed_length(file_name) == 0 || common::trimmed_length(extension) == 0) return;
  const std::size_t dot = file_name.substr(0, 11).find_first_of(". ");
  if (dot == std::string::npos) return;
  std::string ext = common::pad(extension, 3);
  LOWER_CASE(ext);
  const std::size_t width = file_name.size();
  file_name = common::pad(file_name.substr(0, dot) + "." + ext, width);
}

void ADD_MISSING_EXTENSION(std::string& file_name, const std::string& extension) {
  const std::size_t dot = file_name.find('.');
  if (dot != std::string::npos) {
    if (common::trimmed_length(file_name) != dot + 1) return;  // it has an extension
    file_name[dot] = ' ';
  }
  APPLY_EXTENSION(file_name, extension);
}

void NORMALISE_SEPARATORS(std::string& directory) {
  const PathSeparators& s = path_separators();
  for (char& c : directory) {
    if (c == ' ') break;
    if (c == s.alternative) c = s.current;
  }
}

void TRIM_DIRECTORY(std::string& directory) {
  const char sep = path_separators().current;
  std::size_t end = directory.find(' ');
  if (end == std::string::npos) end = directory.size();
  for (std::size_t i = 1; i < end; ++i)
    if (directory[i] == sep && directory[i - 1] == sep) end = i;
  for (std::size_t i = end; i < directory.size(); ++i) directory[i] = ' ';
}

void END_DIRECTORY(std::string& directory) {
  const std::size_t length = static_cast<std::size_t>(LEFT_JUSTIFY(directory));
  const char sep = path_separators().current;
  if (length == 0 || directory[length - 1] == sep || length >= 66 || length >= directory.size()) return;
  directory[length] = sep;
}

void SPLIT_DIRECTORY_FIELD(std::string& directory, std::string& file_name, const std::string& extension,
                           std::int32_t extension_mode) {
  if (LEFT_JUSTIFY(directory) == 0) return;
  TRIM_DIRECTORY(directory);
  std::string part(66, ' ');
  std::string component(66, ' ');
  SPLIT_PATH(common::pad(directory, 80), part, component);
  if (common::trimmed_length(component) > 0) {
    // A file that exists: its directory and name.
    if (extension_mode == 1) APPLY_EXTENSION(component, extension);
    std::string path;
    BUILD_PATH(path, part, component);
    const bool take_apart = [&] {
      if (common::opens_as_existing_file(std::string(common::trim_right(path)))) return true;
      // A directory that exists stays one, whatever its name looks like
      // ("..", "runs.old"); otherwise an extension on the last component
      // marks a file name.
      const std::string typed(common::trim_right(directory));
      if (common::is_existing_directory(typed)) return false;
      const std::size_t mark = typed.find_last_of(std::string(".") + path_separators().current);
      return mark != std::string::npos && typed[mark] == '.';
    }();
    if (take_apart) {
      directory = common::pad(part, directory.size());
      file_name = common::pad(component, file_name.size());
      return;
    }
  }
  END_DIRECTORY(directory);
}

}  // namespace kesto::textui

namespace kesto::textui {

bool LONG_NAME_IN_DIRECTORY(const std::string& directory) {
  std::string typed = directory;
  common::left_justify(typed);
  TRIM_DIRECTORY(typed);
  const std::string text(common::trim_right(typed));
  const std::size_t separator = text.rfind(path_separators().current);
  const std::string last = separator == std::string::npos ? text : text.substr(separator + 1);
  if (last.size() <= 14 || common::is_existing_directory(text)) return false;
  return last.find('.') != std::string::npos || common::opens_as_existing_file(text);
}

bool ASCII_NAMES(const std::string& directory, const std::string& file_name) {
  for (const std::string* field : {&directory, &file_name})
    for (const char c : *field)
      if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool PATH_FITS(const std::string& directory, const std::string& file_name) {
  const std::size_t blank = directory.find(' ');
  const std::size_t length = blank == std::string::npos ? directory.size() : blank;
  const bool separator = length > 0 && directory[length - 1] != path_separators().current;
  return length + (separator ? 1 : 0) + common::trimmed_length(file_name) <= 80;
}

}  // namespace kesto::textui
