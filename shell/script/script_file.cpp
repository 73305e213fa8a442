#include "shell/script/script_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kesto::shell {
namespace {

// What a file that is not a regular file is, for the message.
const char* kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

std::string too_large(const std::string& path) {
  return "the script " + path + " is larger than " + std::to_string(MAX_SCRIPT_BYTES >> 20) + " MiB (" +
         std::to_string(MAX_SCRIPT_BYTES) + " bytes), the most a script may hold";
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool read_script_file(const std::string& path, Script& script, std::string& error) {
  script = Script{};
  script.active = true;
  // Opened without waiting, so that a FIFO with no writer does not block;
  // what was opened is then looked at, not what the name points to later.
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) {
    error = "cannot read the script " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(file.get(), &st) != 0) {
    error = "cannot read the script " + path + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = "the script " + path + " is " + kind_of(st.st_mode) + ", not a script file";
    return false;
  }
  if (st.st_size > MAX_SCRIPT_BYTES) {
    error = too_large(path);
    return false;
  }

  // A file that grows while it is read is held to the same bound.
  char buffer[1 << 16];
  std::string line;
  std::int64_t total = 0;
  int line_no = 0;
  for (;;) {
    const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = "cannot read the script " + path + ": " + std::strerror(errno);
      return false;
    }
    if (n == 0) break;
    total += n;
    if (total > MAX_SCRIPT_BYTES) {
      error = too_large(path);
      return false;
    }
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] != '\n') {
        line.push_back(buffer[i]);
        continue;
      }
      if (!parse_script_line(line, ++line_no, script, error)) {
        error = path + ": " + error;
        return false;
      }
      line.clear();
    }
  }
  if (!line.empty() && !parse_script_line(line, ++line_no, script, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace kesto::shell
