// Finding files by the names users type. Names are typed in any case and
// the file-name menu lower-cases them, while this file system tells the
// cases apart: where the exact name does not exist, the one file of that
// directory whose name matches ignoring case is taken.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace kesto::common {

// The file to open for `path`: the path itself when it names a regular
// file, otherwise the single regular file of its directory whose name
// matches ignoring case. Empty when there is none, or more than one.
std::filesystem::path locate_file(const std::string& path);

// Opens `path` for reading only when it is a regular file: a FIFO, a device
// (which may never end) or a directory is no data file. The file is opened
// without waiting (a FIFO without a writer would block the open) and judged
// by what was opened, not by an earlier look at the name. Null otherwise.
std::FILE* open_regular_file(const std::filesystem::path& path);

// True when `path` (found as locate_file finds it) opens for reading as an
// existing regular file; the file is closed again at once.
bool opens_as_existing_file(const std::string& path);

// True when `path` names an existing directory.
bool is_existing_directory(const std::string& path);

}  // namespace kesto::common
