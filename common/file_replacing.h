// Writing a file in one piece (the tables, the picture files, the settings
// file, the file of sweeps): the bytes go to a temporary file beside the
// target, which is renamed into place only when all of it is written, so a
// failed write never leaves a truncated file under the target's name (an
// earlier file of that name stays as it was).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kesto::common {

// Writes `bytes` as the file `path`; false (and nothing changed on disk)
// when it cannot be created or written. An existing target that may not be
// written to (read-only, or not a regular file) counts as one that cannot
// be created.
bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The steps, for writers that need more between them: whether `path` may
// be written (it does not exist, or is a regular file open to writing), the
// temporary name to write it under, the temporary file written and flushed
// to the disk (removed when that fails), and the rename into place (the
// temporary file is removed when that fails). The last two give 0 when
// they succeed, else the system's error number for the step that failed.
bool may_replace(const std::string& path);
std::string temporary_name(const std::string& path);
int write_temporary(const std::string& temporary, const void* data, std::size_t size);
int move_into_place(const std::string& temporary, const std::string& path);

}  // namespace kesto::common
