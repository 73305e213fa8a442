#include "shell/output/data_file.h"

#include <cstring>

#include "shell/graphics/graphics_interface.h"

namespace kesto::shell {

DataFile& data_file() {
  static DataFile d;
  return d;
}

namespace {
// Up to the first blank, NUL or the length.
std::string up_to_blank(const char* text, std::size_t length) {
  std::string out;
  for (std::size_t i = 0; i < length && text[i] != '\0' && text[i] != ' '; ++i) out.push_back(text[i]);
  return out;
}
}  // namespace

void SET_DATA_FILE(const char* directory, std::int16_t directory_length, const char* file_name) {
  data_file().directory = up_to_blank(directory, directory_length > 0 ? static_cast<std::size_t>(directory_length) : 0);
  data_file().file_name = up_to_blank(file_name, std::strlen(file_name));
}

}  // namespace kesto::shell
