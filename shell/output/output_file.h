// Writing a file in one piece (the picture files, the settings file): the
// bytes go to a temporary file beside the target, which is renamed into
// place only when all of it is written, so a failed write never leaves a
// truncated file under the target's name (an earlier file of that name
// stays as it was).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kesto::shell {

// Writes `bytes` as the file `path`; false (and nothing changed on disk)
// when it cannot be created or written. An existing target that may not be
// written to (read-only, or not a regular file) counts as one that cannot
// be created.
bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The steps, for writers that need more between them: whether `path` may
// be written (it does not exist, or is a regular file open to writing), the
// temporary name to write it under, the temporary file written and flushed
// to the disk (removed when that fails), and the rename into place (the
// temporary file is removed when that fails).
bool may_replace(const std::string& path);
std::string temporary_name(const std::string& path);
bool write_temporary(const std::string& temporary, const void* data, std::size_t size);
bool move_into_place(const std::string& temporary, const std::string& path);

}  // namespace kesto::shell
