#include "app/converged_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/batch_progress.h"
#include "common/file_replacing.h"
#include "solver/converged_answer.h"

namespace kesto::app {
namespace {

namespace fs = std::filesystem;

struct Output {
  std::string dir;
  bool failed = false;
};

Output& output() {
  static Output o;
  return o;
}

void say(const std::string& text) {
  finish_batch_progress();
  std::fprintf(stderr, "kesto: %s\n", text.c_str());
  std::fflush(stderr);
}

// Both tables, or neither: the temporaries are written first, and renamed
// into place only when both are complete.
void write_tables(const std::string& volts, const std::string& efield, const std::string& failure) {
  Output& o = output();
  if (!failure.empty()) {
    o.failed = true;
    say("no converged tables were written in " + o.dir + ": " + failure);
    return;
  }
  const std::string targets[2] = {(fs::path(o.dir) / "VOLTS.TBL").string(), (fs::path(o.dir) / "EFIELD.TBL").string()};
  const std::string* texts[2] = {&volts, &efield};
  common::ReplacingFile files[2];
  int error = 0;
  for (int k = 0; k < 2 && error == 0; ++k) {
    error = files[k].open(targets[k]);
    if (error == 0) error = files[k].write(texts[k]->data(), texts[k]->size());
  }
  for (int k = 0; k < 2 && error == 0; ++k) error = files[k].commit();
  if (error != 0) {
    o.failed = true;
    say("the converged tables could not be written in " + o.dir + " (" + std::strerror(error) +
        "); earlier tables there are left as they were");
  }
}

}  // namespace

bool start_converged_output(const std::string& dir, std::string& error) {
  Output& o = output();
  o = Output{};
  solver::set_converged_tables_listener(nullptr);
  if (dir.empty()) return true;
  std::error_code ec;
  const fs::file_status status = fs::status(dir, ec);
  if (!fs::exists(status)) {
    error = "the folder for the converged tables " + dir + " does not exist";
    return false;
  }
  if (!fs::is_directory(status)) {
    error = "the folder for the converged tables " + dir + " is not a folder";
    return false;
  }
  if (fs::equivalent(dir, fs::current_path(), ec)) {
    error = "the folder for the converged tables " + dir +
            " is the current folder, where the run writes its own tables; give another folder";
    return false;
  }
  // A file created and removed again: the one sure test that the folder
  // takes new files (permissions alone do not say it for every user and
  // file system).
  common::ReplacingFile probe;
  const int probe_error = probe.open((fs::path(dir) / "VOLTS.TBL").string());
  probe.discard();
  if (probe_error != 0 && common::may_replace((fs::path(dir) / "VOLTS.TBL").string())) {
    error = "the folder for the converged tables " + dir + " cannot be written (" + std::strerror(probe_error) + ")";
    return false;
  }
  o.dir = dir;
  solver::set_converged_tables_listener(&write_tables);
  return true;
}

bool end_converged_output() {
  solver::set_converged_tables_listener(nullptr);
  const bool ok = !output().failed;
  output() = Output{};
  return ok;
}

}  // namespace kesto::app
