// File lists: up to 100 names of files that match a pattern, collected by a
// directory search, for the chooser to offer. Four listers differ in what
// they match (the extension or the base name) and where they look (a given
// directory or the current one).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kesto::textui {

constexpr std::int32_t MAX_LISTED_NAMES = 100;

struct NameList {
  std::vector<std::string> names;  // 14 characters each, in the order the search delivered them
  std::int32_t count() const { return static_cast<std::int32_t>(names.size()); }
};

// Files "*.ext" of the directory (66 characters; blank: the current one).
void LIST_BY_EXTENSION(const std::string& directory, const std::string& extension, NameList& list);
// Files "*.ext" of the current directory.
void LIST_BY_EXTENSION_HERE(const std::string& extension, NameList& list);
// Files "name.*" for the path text (80 characters) up to its first blank or ".".
void LIST_BY_NAME(const std::string& path, NameList& list);
// Files "name.*" of the current directory for the name (14 characters).
void LIST_BY_NAME_HERE(const std::string& name, NameList& list);

}  // namespace kesto::textui
