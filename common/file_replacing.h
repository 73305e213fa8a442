// Writing a file in one piece (the tables, the picture files, the settings
// file, the file of sweeps, the MARKEL file): the bytes go to a temporary
// file beside the target, which is renamed into place only when all of it is
// written and flushed to the disk, so a failed write never leaves a
// truncated file under the target's name (an earlier file stays as it was).
//
// The temporary file gets a name no one can guess beforehand
// ("NAME.<pid>.<six random characters>.tmp" in the target's folder) and is
// created only if nothing of that name exists, never through a link; it gets
// the permissions of the file it replaces, or 0644 under the umask. A run
// killed while writing leaves its temporary file behind; the next writer of
// the same target removes every such file whose process is gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kesto::common {

// The error number given when a target exists and is neither a regular file
// nor a link to one (a directory gives EISDIR).
constexpr int kNotRegularFile = -1;

// The system's text for an error number of the calls below ("Permission
// denied"; "Not a regular file" for kNotRegularFile).
std::string error_text(int error);

// Whether `path` may be replaced: 0 when nothing is there or it is a regular
// file (or a link to one) that the user may write; else EISDIR,
// kNotRegularFile, or the system's reason the user may not write it (EACCES,
// EROFS, ...). An empty path gives ENOENT.
int target_error(const std::string& path);
bool may_replace(const std::string& path);

// One file being replaced. `open` checks the target, removes stale
// temporaries of it and creates the temporary file; `write` appends;
// `commit` flushes it to the disk, closes it and renames it into place.
// Each gives 0 or the error number of the step that failed; after a failure
// (or `discard`, or destruction without a commit) the temporary is removed.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ReplacingFile(ReplacingFile&& other) noexcept;
  ReplacingFile& operator=(ReplacingFile&& other) noexcept;
  ~ReplacingFile() { discard(); }

  int open(const std::string& path);
  int write(const void* data, std::size_t size);
  int commit();
  void discard();

  bool is_open() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // The temporary file's name, and a name that reaches the open file itself
  // whatever is later done to that name (for code that opens files by name).
  const std::string& temporary() const { return temporary_; }
  std::string descriptor_path() const;
  const std::string& target() const { return target_; }

 private:
  int fd_ = -1;
  std::string target_, temporary_;
};

// Writes `size` bytes as the file `path`; 0, or the error number of the
// failure (nothing changed on disk then).
int replace_file(const std::string& path, const void* data, std::size_t size);
// The same, true when written.
bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Removes the temporaries of `path` left by runs that are gone; returns how
// many were removed.
int remove_stale_temporaries(const std::string& path);

// Whether `name` (a bare file name) is a temporary file of the target file
// name `base`, and the process id it carries.
bool is_temporary_of(const std::string& name, const std::string& base, long& pid);

}  // namespace kesto::common
