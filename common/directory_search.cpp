#include "common/directory_search.h"

#include <algorithm>
#include <system_error>

namespace kesto::common {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool wildcard_match(std::string_view pattern, std::string_view name) {
  // Greedy match with back-tracking to the last "*": linear in practice.
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::filesystem::path> regular_files_matching(const std::string& path_text,
                                                          bool (*match)(std::string_view wanted,
                                                                        std::string_view name)) {
  namespace fs = std::filesystem;
  std::vector<fs::path> found;
  const fs::path path(path_text);
  const std::string wanted = path.filename().string();
  if (wanted.empty()) return found;
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::error_code ec;
  fs::directory_iterator it(dir, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    if (!match(wanted, it->path().filename().string())) continue;
    std::error_code type_ec;
    if (!it->is_regular_file(type_ec)) continue;
    found.push_back(it->path());
  }
  return found;
}

bool FIND_FIRST(DirectorySearch& search, const std::string& pattern) {
  search = DirectorySearch{};
  for (const std::filesystem::path& file : regular_files_matching(pattern, wildcard_match))
    search.names.push_back(file.filename().string());
  std::sort(search.names.begin(), search.names.end());
  return !search.names.empty();
}

bool FIND_NEXT(DirectorySearch& search, std::string& name) {
  if (search.next >= search.names.size()) return false;
  name = search.names[search.next++];
  return true;
}

}  // namespace kesto::common
