#include "common/file_lookup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>
#include <vector>

#include "common/directory_search.h"
#include "common/fixed_text.h"

namespace kesto::common {
namespace {

namespace fs = std::filesystem;

bool is_file(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::status(path, ec));
}

}  // namespace

fs::path locate_file(const std::string& path_text) {
  if (path_text.empty()) return {};
  const fs::path path(path_text);
  if (is_file(path)) return path;
  const std::vector<fs::path> found = regular_files_matching(path_text, equal_ignoring_case);
  return found.size() == 1 ? found.front() : fs::path();
}

std::FILE* open_regular_file(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(fd, F_SETFL, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) ::close(fd);
  return f;
}

bool opens_as_existing_file(const std::string& path) {
  const fs::path found = locate_file(path);
  if (found.empty()) return false;
  std::FILE* f = open_regular_file(found);
  if (!f) return false;
  std::fclose(f);
  return true;
}

bool is_existing_directory(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return fs::is_directory(fs::path(path), ec) && !ec;
}

}  // namespace kesto::common
