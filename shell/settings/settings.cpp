#include "shell/settings/settings.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/file_replacing.h"
#include "common/list_input.h"
#include "shell/settings/profile_text.h"

namespace kesto::shell {
namespace {

namespace fs = std::filesystem;

// A whole number in the 32-bit range, optionally signed (one sign only), as
// the whole of the text; `value` is left alone otherwise.
bool parse_int32(const std::string& text, std::int32_t& value) {
  common::ListReader reader(text);
  std::int32_t v = 0;
  if (reader.integer(v) != common::ListStatus::ok || reader.field_end() != text.size()) return false;
  value = v;
  return true;
}

std::int32_t as_switch(std::int32_t v) { return v != 0 ? 1 : 0; }

// The settings file's text. Only a regular file is read: a FIFO or a device
// in its place would block or never end. `readable` is false when something
// is there that cannot be read, so that it is not replaced either.
std::string read_file_text(const fs::path& path, bool& readable) {
  readable = true;
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (!fs::exists(st)) return {};
  if (!fs::is_regular_file(st)) {
    readable = false;
    return {};
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    readable = false;
    return {};
  }
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

Settings& settings() {
  static Settings s;
  return s;
}

std::string settings_path() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  fs::path dir;
  if (xdg && *xdg) {
    dir = xdg;
  } else {
    const char* home = std::getenv("HOME");
    dir = fs::path(home && *home ? home : ".") / ".config";
  }
  return (dir / "verudo.ini").string();
}

void settings_from_text(std::string_view text, Settings& s) {
  const struct {
    const char* section;
    const char* key;
    std::int32_t& value;
  } keys[] = {
      {"Printer", "PageLeftMargin", s.PageLeftMargin},
      {"Printer", "PageTopMargin", s.PageTopMargin},
      {"Printer", "PageWidth", s.PageWidth},
      {"Printer", "PenWidthPrinter", s.PenWidthPrinter},
      {"Metafile", "PenWidthEMF", s.PenWidthEMF},
      {"PostScript", "PenWidthEPS", s.PenWidthEPS},
      {"Printer", "LandscapePrinter", s.LandscapePrinter},
      {"Window", "ColorWindow", s.ColorWindow},
      {"Window", "BlackBG", s.BlackBG},
  };
  std::vector<ProfileEntry> names;
  for (const auto& k : keys) names.push_back({k.section, k.key, {}});
  const auto values = profile_values(text, names);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (values[i]) parse_int32(*values[i], keys[i].value);
  s.LandscapePrinter = as_switch(s.LandscapePrinter);
  s.ColorWindow = as_switch(s.ColorWindow);
  s.BlackBG = as_switch(s.BlackBG);
  s.PenWidthPrinter = std::min(s.PenWidthPrinter, MAX_PEN_WIDTH);
  s.PenWidthEMF = std::min(s.PenWidthEMF, MAX_PEN_WIDTH);
  s.PenWidthEPS = std::min(s.PenWidthEPS, MAX_PEN_WIDTH);
}

std::string settings_to_text(std::string_view old_text, const Settings& s) {
  const auto entry = [](const char* section, const char* key, std::int32_t v) {
    return ProfileEntry{section, key, std::to_string(v)};
  };
  return update_profile(old_text, {
                                      entry("Printer", "PageLeftMargin", s.PageLeftMargin),
                                      entry("Printer", "PageTopMargin", s.PageTopMargin),
                                      entry("Printer", "PageWidth", s.PageWidth),
                                      entry("Printer", "PenWidthPrinter", s.PenWidthPrinter),
                                      entry("Printer", "LandscapePrinter", s.LandscapePrinter),
                                      entry("PostScript", "PenWidthEPS", s.PenWidthEPS),
                                      entry("Metafile", "PenWidthEMF", s.PenWidthEMF),
                                      entry("Window", "ColorWindow", s.ColorWindow),
                                      entry("Window", "BlackBG", s.BlackBG),
                                  });
}

void READ_SETTINGS() {
  Settings& s = settings();
  bool readable = true;
  settings_from_text(read_file_text(settings_path(), readable), s);
  s.read_from_file = true;
}

void WRITE_SETTINGS() {
  const Settings& s = settings();
  if (!s.read_from_file) return;
  // A settings file that is a link is updated where it points.
  fs::path path = settings_path();
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    const fs::path target = fs::weakly_canonical(path, ec);
    if (!ec) path = target;
  }
  bool readable = true;
  const std::string old_text = read_file_text(path, readable);
  if (!readable) return;
  const std::string text = settings_to_text(old_text, s);

  // Written beside the old file and renamed over it, so that a failed write
  // leaves the old settings intact; the new file keeps the old one's
  // permissions.
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  const std::string temp = common::temporary_name(path.string());
  if (common::write_temporary(temp, text.data(), text.size()) != 0) return;
  const fs::file_status old_status = fs::status(path, ec);
  if (!ec && fs::exists(old_status)) fs::permissions(temp, old_status.permissions(), ec);
  common::move_into_place(temp, path.string());
}

}  // namespace kesto::shell
