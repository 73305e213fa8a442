#include "textui/file_utilities.h"

#include <filesystem>
#include <string>

#include "common/file_lookup.h"
#include "common/fixed_text.h"
#include "shell/settings/message_box.h"
#include "textui/messages.h"

namespace kesto::textui {
namespace {

namespace fs = std::filesystem;

std::string up_to_blank(std::string_view text) {
  return std::string(text.substr(0, text.find_first_of(std::string_view(" \0", 2))));
}

void delete_named(std::string_view text, std::size_t width) {
  const fs::path found = common::locate_file(std::string(common::trim_right(common::pad(text, width))));
  std::error_code ec;
  if (!found.empty()) fs::remove(found, ec);
}

[[noreturn]] void rename_failed(const char* message) {
  shell::SHOW_MESSAGE(message);
  FATAL_STOP();
}

}  // namespace

std::int32_t RENAME_PATHS(std::string_view old_path, std::string_view new_path) {
  const std::string target = up_to_blank(new_path);
  const fs::path source = common::locate_file(up_to_blank(old_path));
  if (source.empty() || target.empty()) return 1;
  // The rename replaces a file of the new name at once: no moment without
  // one, and nothing lost when the rename fails.
  std::error_code ec;
  fs::rename(source, target, ec);
  return ec ? 1 : 0;
}

void RENAMEFILE(std::string_view old_name, std::string_view new_name, std::int32_t n) {
  if (n < 0 || n + 1 > 80) rename_failed("FATAL ERROR IN RENAMEFILE");
  const std::size_t width = static_cast<std::size_t>(n);
  if (RENAME_PATHS(common::pad(old_name, width), common::pad(new_name, width)) != 0)
    rename_failed("FATAL ERROR IN RENAMEFILE");
}

void LONG_RENAMEFILE(std::string_view old_path, std::string_view new_path) {
  if (RENAME_PATHS(common::pad(old_path, 80), common::pad(new_path, 80)) != 0)
    rename_failed("FATAL ERROR IN LONG_RENAMEFILE");
}

void DELETE_FILE(std::string_view name) { delete_named(name, 14); }

void LONG_DELETE_FILE(std::string_view path) { delete_named(path, 80); }

}  // namespace kesto::textui
