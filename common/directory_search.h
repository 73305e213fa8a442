// Directory search for a wildcard pattern, the way the file lists read a
// directory: FIND_FIRST starts a search, FIND_NEXT hands out one name at a
// time. "*" stands for any run of characters and "?" for one; names match
// ignoring case, as the names users type are lower-cased. Only regular
// files are delivered (a directory or a pipe cannot be read as a file). The names come in
// name order, so that a list reads the same on every file system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::common {

struct DirectorySearch {
  std::vector<std::string> names;  // file names (without their directory) still to deliver
  std::size_t next = 0;
};

// True when `name` matches the wildcard `pattern`, ignoring case.
bool wildcard_match(std::string_view pattern, std::string_view name);

// The regular files of the directory of `path` (a path without a directory:
// the current one) whose names `match` the last component of `path`, in the
// order the directory gives them; each path is that directory joined with
// the file's name. Empty when the directory does not exist or cannot be
// read, or the path has no last component.
std::vector<std::filesystem::path> regular_files_matching(const std::string& path,
                                                          bool (*match)(std::string_view wanted,
                                                                        std::string_view name));

// Starts a search for `pattern`: a path whose last component may hold
// wildcards (a pattern without a directory searches the current one). True
// when a file matched. A directory that does not exist or cannot be read
// matches nothing.
bool FIND_FIRST(DirectorySearch& search, const std::string& pattern);

// The next matching name; false when none is left.
bool FIND_NEXT(DirectorySearch& search, std::string& name);

}  // namespace kesto::common
