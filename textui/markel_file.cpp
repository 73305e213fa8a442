#include "textui/markel_file.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "common/fixed_text.h"
#include "plot/kernel/kernel.h"
#include "textui/banner.h"

namespace kesto::textui {
namespace {

// The header's last line keeps its trailing blank: exactly 51 characters.
constexpr const char* kHeaderScale = "LA  1   .1000000E+01   .0000000E+00   .0000000E+00 ";

bool regular_or_absent(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(path, ec);
  return !std::filesystem::exists(st) || std::filesystem::is_regular_file(st);
}

}  // namespace

void WRITE_TRIMMED(std::string_view text, std::int32_t width, std::ostream& unit) {
  const std::string_view head = text.substr(0, static_cast<std::size_t>(std::max<std::int32_t>(width, 0)));
  unit << common::trim_right(head) << '\n';
}

bool open_markel_file(std::string_view path, const std::string& date) {
  close_markel_file();
  const std::string file(common::trim_right(path));
  plot::KernelState& k = plot::kernel_state();
  if (file.empty() || !regular_or_absent(file)) return false;
  k.markel.open(file, std::ios::out | std::ios::trunc);
  if (!k.markel) {
    k.markel = std::ofstream{};
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
    close_markel_file();
    return false;
  }
  return true;
}

void close_markel_file() {
  plot::KernelState& k = plot::kernel_state();
  k.recording = 0;
  if (k.markel.is_open()) k.markel.close();
  k.markel = std::ofstream{};
}

}  // namespace kesto::textui
