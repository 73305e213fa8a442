#include "common/file_replacing.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

namespace kesto::common {
namespace {

// The error number of a call that failed; a failure never reads as success,
// even where the call left errno unset.
int failure() { return errno != 0 ? errno : EIO; }

}  // namespace

bool may_replace(const std::string& path) {
  namespace fs = std::filesystem;
  if (path.empty()) return false;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return true;
  return fs::is_regular_file(status) && ::access(path.c_str(), W_OK) == 0;
}

std::string temporary_name(const std::string& path) { return path + "." + std::to_string(::getpid()) + ".tmp"; }

int move_into_place(const std::string& temporary, const std::string& path) {
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return 0;
  const int error = failure();
  std::remove(temporary.c_str());
  return error;
}

int write_temporary(const std::string& temporary, const void* data, std::size_t size) {
  errno = 0;
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return failure();
  int error = 0;
  if (std::fwrite(data, 1, size, f) != size) error = failure();
  if (error == 0 && std::fflush(f) != 0) error = failure();
  if (error == 0 && ::fsync(::fileno(f)) != 0) error = failure();
  if (std::fclose(f) != 0 && error == 0) error = failure();
  if (error != 0) std::remove(temporary.c_str());
  return error;
}

bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  if (!may_replace(path)) return false;
  const std::string temp = temporary_name(path);
  return write_temporary(temp, bytes.data(), bytes.size()) == 0 && move_into_place(temp, path) == 0;
}

}  // namespace kesto::common
