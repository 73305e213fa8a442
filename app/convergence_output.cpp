#include "app/convergence_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/batch_progress.h"
#include "common/file_replacing.h"
#include "solver/convergence.h"

namespace kesto::app {
namespace {

struct Output {
  bool show_line = false;
  std::string file;             // the file asked for
  common::ReplacingFile* temp;  // the temporary file it is written to
  std::FILE* out = nullptr;     // open on the temporary file while the sweeps run
  bool complete = false;        // the sweeps ended and the file is in place
  int error = 0;                // errno of a failed write, 0 if none
};

common::ReplacingFile& temporary_file() {
  static common::ReplacingFile f;
  return f;
}

Output& output() {
  static Output o{false, {}, &temporary_file()};
  return o;
}

void each_sweep(std::int32_t sweep, float change) {
  Output& o = output();
  if (o.out && std::fprintf(o.out, "%d %.8E\n", sweep, static_cast<double>(change)) < 0 && o.error == 0)
    o.error = errno;
}

// Closes the file of sweeps and renames it into place; on failure removes it.
void finish_file() {
  Output& o = output();
  if (!o.out) return;
  if (std::ferror(o.out) && o.error == 0) o.error = EIO;
  if (std::fclose(o.out) != 0 && o.error == 0) o.error = errno;
  o.out = nullptr;
  if (o.error == 0)
    o.error = o.temp->commit();
  else
    o.temp->discard();
  if (o.error != 0) {
    std::fprintf(stderr,
                 "kesto: the convergence file %s could not be written (%s); an earlier file is left as it was\n",
                 o.file.c_str(), std::strerror(o.error));
  }
  o.complete = o.error == 0;
}

void after_last(const std::string& line) {
  Output& o = output();
  finish_file();
  if (!o.show_line) return;
  finish_batch_progress();
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace

bool start_convergence_output(bool show_line, const std::string& file, std::string& error) {
  Output& o = output();
  o = Output{false, {}, &temporary_file()};
  o.show_line = show_line;
  if (!file.empty()) {
    const int e = o.temp->open(file);
    if (e == EISDIR) {
      error = "the convergence file " + file + " is a directory";
      return false;
    }
    if (e == common::kNotRegularFile) {
      error =
          "the convergence file " + file + " is not a regular file (a FIFO, a device or a socket); it is not replaced";
      return false;
    }
    // The stream writes through a second descriptor of the temporary file;
    // the first stays for the flush to the disk and the rename.
    const int stream_fd = e == 0 ? ::dup(o.temp->fd()) : -1;
    o.out = stream_fd >= 0 ? ::fdopen(stream_fd, "w") : nullptr;
    if (!o.out) {
      const int reason = e != 0 ? e : errno;
      if (stream_fd >= 0) ::close(stream_fd);
      o.temp->discard();
      error = "the convergence file " + file + " cannot be written (" + common::error_text(reason) + ")";
      o = Output{false, {}, &temporary_file()};
      return false;
    }
    o.file = file;
    std::fputs("# sweep  largest change of any cell (V)\n", o.out);
  }
  solver::set_convergence_listeners(o.out ? &each_sweep : nullptr, &after_last);
  return true;
}

bool end_convergence_output() {
  Output& o = output();
  solver::set_convergence_listeners(nullptr, nullptr);
  if (o.out) {
    // The sweeps did not all run: no file of part of them.
    std::fclose(o.out);
    o.temp->discard();
    o.out = nullptr;
  }
  const bool ok = o.error == 0;
  o = Output{false, {}, &temporary_file()};
  return ok;
}

}  // namespace kesto::app
