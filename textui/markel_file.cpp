#include "textui/markel_file.h"

#include <algorithm>
#include <cerrno>
#include <ostream>

#include "common/file_replacing.h"
#include "common/fixed_text.h"
#include "kernel/kernel.h"
#include "shell/settings/message_box.h"
#include "textui/banner.h"

namespace kesto::textui {
namespace {

// The header's last line keeps its trailing blank: exactly 51 characters.
constexpr const char* kHeaderScale = "LA  1   .1000000E+01   .0000000E+00   .0000000E+00 ";

// The recording goes to a temporary file beside the MARKEL file, renamed
// into place when recording closes: an earlier file of that name stays as it
// was until then, and for good when the recording cannot be completed.
struct Recording {
  common::ReplacingFile file;
  int last_error = 0;  // of the last recording closed; 0 when it was written
};

Recording& recording_file() {
  static Recording r;
  return r;
}

}  // namespace

void WRITE_TRIMMED(std::string_view text, std::int32_t width, std::ostream& unit) {
  const std::string_view head = text.substr(0, static_cast<std::size_t>(std::max<std::int32_t>(width, 0)));
  unit << common::trim_right(head) << '\n';
}

bool open_markel_file(std::string_view path, const std::string& date, int* error) {
  close_markel_file();
  const std::string file(common::trim_right(path));
  plot::KernelState& k = plot::kernel_state();
  Recording& r = recording_file();
  int opened = file.empty() ? ENOENT : r.file.open(file);
  if (error) *error = opened;
  if (opened != 0) return false;
  // The stream opens the temporary file through its descriptor, so that
  // nothing put at its name meanwhile receives the records.
  k.markel_error = 0;
  errno = 0;
  k.markel.open(r.file.descriptor_path(), std::ios::out | std::ios::trunc);
  if (!k.markel) {
    if (error) *error = errno != 0 ? errno : EIO;
    k.markel = std::ofstream{};
    r.file.discard();
    return false;
  }
  // Recording is on before the header's comments, which the kernel writes.
  k.recording = 1;
  WRITE_TRIMMED(file, static_cast<std::int32_t>(file.size()), k.markel);
  WRITE_TRIMMED("TOPSCR PR      17.36      1.000 D M P", 37, k.markel);
  WRITE_TRIMMED("DATE: " + common::pad(date, 9), 15, k.markel);
  const std::string program = "PROGRAM " + common::pad(program_identity().name, 8) + "$";
  plot::TEKCOMMENT(program, static_cast<std::int32_t>(program.size()));
  plot::TEKCOMMENT("CM$", 3);
  k.markel << kHeaderScale << '\n';
  k.markel.flush();
  if (!k.markel) {
    if (error) *error = k.markel_error != 0 ? k.markel_error : EIO;
    discard_markel_file();
    return false;
  }
  return true;
}

int close_markel_file() {
  plot::KernelState& k = plot::kernel_state();
  Recording& r = recording_file();
  k.recording = 0;
  if (!r.file.is_open()) {
    if (k.markel.is_open()) k.markel.close();
    k.markel = std::ofstream{};
    return 0;
  }
  errno = 0;
  if (k.markel.is_open()) k.markel.close();
  int error = k.markel_error;
  if (error == 0 && k.markel.fail()) error = errno != 0 ? errno : EIO;
  k.markel = std::ofstream{};
  if (error == 0) {
    error = r.file.commit();
  } else {
    r.file.discard();
  }
  r.last_error = error;
  return error;
}

void discard_markel_file() {
  plot::KernelState& k = plot::kernel_state();
  k.recording = 0;
  if (k.markel.is_open()) k.markel.close();
  k.markel = std::ofstream{};
  recording_file().file.discard();
}

void finish_markel_file() {
  if (!recording_file().file.is_open()) return;
  const std::string name = recording_file().file.target();
  const int error = close_markel_file();
  if (error != 0)
    shell::SHOW_MESSAGE("Unable to write the MARKEL file " + name + " (" + common::error_text(error) +
                        "); an earlier file of this name is left as it was");
}

bool markel_file_written() { return recording_file().last_error == 0; }

std::string markel_recording_file() { return recording_file().file.temporary(); }

}  // namespace kesto::textui
