#include "app/convergence_output.h"

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
  std::string file, temp;    // the file asked for and the one being written
  std::FILE* out = nullptr;  // open while the sweeps run
  bool complete = false;     // the sweeps ended and the file is in place
  int error = 0;             // errno of a failed write, 0 if none
};

Output& output() {
  static Output o;
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
    o.error = common::move_into_place(o.temp, o.file);
  else
    std::remove(o.temp.c_str());
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
  o = Output{};
  o.show_line = show_line;
  if (!file.empty()) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
      error = "the convergence file " + file + " is a directory";
      return false;
    }
    o.file = file;
    o.temp = common::temporary_name(file);
    o.out = std::fopen(o.temp.c_str(), "w");
    if (!o.out) {
      error = "the convergence file " + file + " cannot be written (" + std::strerror(errno) + ")";
      o = Output{};
      return false;
    }
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
    std::remove(o.temp.c_str());
    o.out = nullptr;
  }
  const bool ok = o.error == 0;
  o = Output{};
  return ok;
}

}  // namespace kesto::app
