#include "textui/file_lists.h"

#include <algorithm>

#include "common/directory_search.h"
#include "common/fixed_text.h"
#include "textui/file_names.h"

namespace kesto::textui {
namespace {

// The first 14 characters of the names that match `pattern`, at most 100.
// A name longer than the file-name field could never be opened through
// it, so it is left out rather than shown cut.
void collect(const std::string& pattern, NameList& list) {
  list.names.clear();
  common::DirectorySearch search;
  if (!common::FIND_FIRST(search, pattern)) return;
  for (std::string name; list.count() < MAX_LISTED_NAMES && common::FIND_NEXT(search, name);) {
    if (name.size() > 14 || name.find(' ') != std::string::npos) continue;
    list.names.push_back(common::pad(name, 14));
  }
}

// The text up to its first blank or ".", at most `limit` characters.
std::string base_name(const std::string& text, std::size_t limit) {
  const std::string head = text.substr(0, std::min(limit, text.size()));
  return head.substr(0, head.find_first_of(" ."));
}

std::string extension_pattern(const std::string& extension) {
  return "*." + std::string(common::trim_right(common::pad(extension, 3)));
}

}  // namespace

void LIST_BY_EXTENSION(const std::string& directory, const std::string& extension, NameList& list) {
  std::string path;
  BUILD_PATH(path, common::pad(directory, 66), common::pad(extension_pattern(extension), 14));
  collect(std::string(common::trim_right(path)), list);
}

void LIST_BY_EXTENSION_HERE(const std::string& extension, NameList& list) {
  collect(extension_pattern(extension), list);
}

void LIST_BY_NAME(const std::string& path, NameList& list) {
  // The name is cut at a "." of its last component only, so that a path
  // through "./" or "../" keeps its directories.
  const std::string text = path.substr(0, std::min<std::size_t>(80, path.size()));
  const std::string typed = text.substr(0, text.find(' '));
  const std::size_t last = typed.find_last_of(path_separators().current);
  const std::size_t start = last == std::string::npos ? 0 : last + 1;
  collect(typed.substr(0, start) + base_name(typed.substr(start), 80) + ".*", list);
}

void LIST_BY_NAME_HERE(const std::string& name, NameList& list) { collect(base_name(name, 14) + ".*", list); }

}  // namespace kesto::textui
