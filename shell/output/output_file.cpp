#include "shell/output/output_file.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace kesto::shell {

bool may_replace(const std::string& path) {
  namespace fs = std::filesystem;
  if (path.empty()) return false;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return true;
  return fs::is_regular_file(status) && ::access(path.c_str(), W_OK) == 0;
}

std::string temporary_name(const std::string& path) { return path + "." + std::to_string(::getpid()) + ".tmp"; }

bool move_into_place(const std::string& temporary, const std::string& path) {
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

bool write_temporary(const std::string& temporary, const void* data, std::size_t size) {
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  ok = std::fflush(f) == 0 && ok;
  ok = ::fsync(::fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  if (!may_replace(path)) return false;
  const std::string temp = temporary_name(path);
  return write_temporary(temp, bytes.data(), bytes.size()) && move_into_place(temp, path);
}

}  // namespace kesto::shell
