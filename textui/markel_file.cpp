#include "textui/markel_file.h"

#include "common/fixed_text.h"
#include "plot/kernel/kernel.h"
#include "textui/banner.h"

namespace kesto::textui {

bool open_markel_file(const std::string& path, const std::string& date) {
  plot::KernelState& k = plot::kernel_state();
  if (k.markel.is_open()) close_markel_file();
  k.markel.open(path, std::ios::out | std::ios::trunc);
  if (!k.markel) {
    k.markel = std::ofstream{};
    k.recording = 0;
    return false;
  }
  k.recording = 1;
  k.markel << common::trim_right(path) << '\n';
  k.markel << "TOPSCR PR      17.36      1.000 D M P" << '\n';
  k.markel << "DATE: " << common::pad(date, 9) << '\n';
  const std::string program = "PROGRAM " + common::pad(program_identity().name, 8) + "$";
  plot::TEKCOMMENT(program, static_cast<std::int32_t>(program.size()));
  plot::TEKCOMMENT("CM$", 3);
  k.markel << "LA  1   .1000000E+01   .0000000E+00   .0000000E+00 " << '\n';
  k.markel.flush();
  if (!k.markel) {
    close_markel_file();
    return false;
  }
  return true;
}

bool open_markel_file(const std::string& path) {
  std::string date;
  DATE_SHORT(date);
  return open_markel_file(path, date);
}

void close_markel_file() {
  plot::KernelState& k = plot::kernel_state();
  k.recording = 0;
  if (k.markel.is_open()) k.markel.close();
}

}  // namespace kesto::textui
