// Renaming and deleting files by the fixed-width names and paths of the text
// screen's records. A name is found as an open finds it (common/file_lookup.h):
// where the exact name does not exist, the one regular file of its directory
// whose name matches ignoring case. Only regular files are renamed or deleted.
#pragma once

#include <cstdint>
#include <string_view>

namespace kesto::textui {

// Renames the file called by the first n characters of `old_name` to the
// first n characters of `new_name`; a file already called so is replaced in
// the same step. With n + 1 above 80, or when the rename fails, the message
// box "FATAL ERROR IN RENAMEFILE" and FATAL_STOP; the new name's file is
// then as it was.
void RENAMEFILE(std::string_view old_name, std::string_view new_name, std::int32_t n);
// The same for two paths of 80 characters ("FATAL ERROR IN LONG_RENAMEFILE").
void LONG_RENAMEFILE(std::string_view old_path, std::string_view new_path);

// Deletes the file of that name (14 characters) or path (80 characters), if
// there is one; anything else is left alone.
void DELETE_FILE(std::string_view name);
void LONG_DELETE_FILE(std::string_view path);

// Renames the file named by `old_path` to `new_path`, each taken up to its
// first blank or NUL; 0 on success, 1 on failure (no such file, no name, a
// directory in the way, no permission).
std::int32_t RENAME_PATHS(std::string_view old_path, std::string_view new_path);

}  // namespace kesto::textui
