#include "common/file_replacing.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace kesto::common {
namespace {

// The error number of a call that failed; a failure never reads as success,
// even where the call left errno unset.
int failure() { return errno != 0 ? errno : EIO; }

// The folder part of a path ("." for a bare name) and the file name part.
std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string random_letters(std::size_t count) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[16] = {};
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = ::getrandom(bytes + got, count - got, 0);
    if (n > 0)
      got += static_cast<std::size_t>(n);
    else if (errno != EINTR)
      break;
  }
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += kLetters[bytes[i] % (sizeof kLetters - 1)];
  return out;
}

constexpr std::size_t kRandomLength = 6;

}  // namespace

std::string error_text(int error) {
  if (error == kNotRegularFile) return "Not a regular file";
  return std::strerror(error);
}

int target_error(const std::string& path) {
  if (path.empty()) return ENOENT;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return 0;
    return failure();
  }
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (!S_ISREG(st.st_mode)) return kNotRegularFile;
  if (::access(path.c_str(), W_OK) != 0) return failure();
  return 0;
}

bool may_replace(const std::string& path) { return target_error(path) == 0; }

bool is_temporary_of(const std::string& name, const std::string& base, long& pid) {
  const std::string tail = ".tmp";
  if (name.size() < base.size() + 1 + 1 + 1 + kRandomLength + tail.size()) return false;
  if (name.compare(0, base.size(), base) != 0 || name[base.size()] != '.') return false;
  if (name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
  const std::size_t digits_begin = base.size() + 1;
  const std::size_t random_begin = name.size() - tail.size() - kRandomLength;
  if (random_begin < digits_begin + 2 || name[random_begin - 1] != '.') return false;
  const std::size_t digits_end = random_begin - 1;
  if (digits_end - digits_begin > 10) return false;
  long value = 0;
  for (std::size_t i = digits_begin; i < digits_end; ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
    value = value * 10 + (name[i] - '0');
  }
  for (std::size_t i = random_begin; i < random_begin + kRandomLength; ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  pid = value;
  return value > 0;
}

int remove_stale_temporaries(const std::string& path) {
  const std::string folder = folder_of(path);
  const std::string base = name_of(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  const int dir_fd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    long pid = 0;
    if (!is_temporary_of(entry->d_name, base, pid)) continue;
    if (pid == ::getpid()) continue;
    // A process of that number still runs (it may be writing the file now,
    // or the number was given again): its file stays.
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    struct stat st {};
    if (::fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::unlinkat(dir_fd, entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

int ReplacingFile::open(const std::string& path) {
  discard();
  const int error = target_error(path);
  if (error != 0) return error;
  remove_stale_temporaries(path);
  // The new file gets the permissions of the one it replaces; a new name
  // gets 0644 under the umask, which the system applies to the mode here.
  mode_t mode = 0644;
  struct stat st {};
  const bool replaces = ::stat(path.c_str(), &st) == 0;
  const std::string prefix = path + "." + std::to_string(::getpid()) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = prefix + random_letters(kRandomLength) + ".tmp";
    errno = 0;
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return failure();
    }
    fd_ = fd;
    target_ = path;
    temporary_ = name;
    if (replaces && ::fchmod(fd_, st.st_mode & 07777) != 0) {
      const int e = failure();
      discard();
      return e;
    }
    return 0;
  }
  return EEXIST;
}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : fd_(other.fd_), target_(std::move(other.target_)), temporary_(std::move(other.temporary_)) {
  other.fd_ = -1;
  other.temporary_.clear();
}

ReplacingFile& ReplacingFile::operator=(ReplacingFile&& other) noexcept {
  if (this != &other) {
    discard();
    fd_ = other.fd_;
    target_ = std::move(other.target_);
    temporary_ = std::move(other.temporary_);
    other.fd_ = -1;
    other.temporary_.clear();
  }
  return *this;
}

std::string ReplacingFile::descriptor_path() const { return "/proc/self/fd/" + std::to_string(fd_); }

int ReplacingFile::write(const void* data, std::size_t size) {
  if (fd_ < 0) return EBADF;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    errno = 0;
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int e = n == 0 ? ENOSPC : failure();
      discard();
      return e;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  // The disk gets the bytes from now on, while the program goes on (to its
  // next file, say): the flush at the commit then has less to wait for. Only
  // that flush says whether they are safe, so what this says is not asked.
  static_cast<void>(::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE));
  return 0;
}

int ReplacingFile::commit() {
  if (fd_ < 0) return EBADF;
  errno = 0;
  int error = 0;
  if (::fsync(fd_) != 0) error = failure();
  if (::close(fd_) != 0 && error == 0) error = failure();
  fd_ = -1;
  if (error == 0 && ::rename(temporary_.c_str(), target_.c_str()) != 0) error = failure();
  if (error != 0) ::unlink(temporary_.c_str());
  temporary_.clear();
  return error;
}

void ReplacingFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

int replace_file(const std::string& path, const void* data, std::size_t size) {
  ReplacingFile file;
  int error = file.open(path);
  if (error == 0) error = file.write(data, size);
  if (error == 0) error = file.commit();
  return error;
}

bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return replace_file(path, bytes.data(), bytes.size()) == 0;
}

}  // namespace kesto::common
