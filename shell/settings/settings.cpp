#include "shell/settings/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
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

// Whether the text reads as a settings file: every line blank, a comment, a
// section header or a key with its value, and no NUL byte.
bool reads_as_settings(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return false;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    const bool fits = line.empty() || line.front() == ';' || line.front() == '#' ||
                      (line.front() == '[' && line.back() == ']') || line.find('=') != std::string_view::npos;
    if (!fits) return false;
    begin = end + 1;
  }
  return true;
}

void say_not_saved(const fs::path& path, const std::string& why) {
  std::cerr << "kesto: the settings file " << path.string() << ' ' << why << "; the settings are not saved\n";
}

// Rewrites the file's bytes where they are: its other names keep seeing it.
int rewrite_in_place(const std::string& path, const std::string& text) {
  errno = 0;
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno != 0 ? errno : EIO;
  int error = 0;
  std::size_t done = 0;
  while (error == 0 && done < text.size()) {
    const ssize_t n = ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      error = n == 0 ? ENOSPC : errno;
    else
      done += static_cast<std::size_t>(n);
  }
  if (error == 0 && ::ftruncate(fd, static_cast<off_t>(text.size())) != 0) error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
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
  fs::path path = settings_path();
  std::error_code ec;
  // A settings file that is a link is updated where it points, and only
  // when what it points to reads as a settings file (or is empty): a link
  // to some other file never gets our lines.
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    const fs::path target = fs::weakly_canonical(path, ec);
    if (ec || !fs::is_regular_file(fs::status(target, ec))) {
      say_not_saved(path, "is a link to no regular file");
      return;
    }
    path = target;
  }
  bool readable = true;
  const std::string old_text = read_file_text(path, readable);
  if (!readable) {
    say_not_saved(path, "cannot be read, or is not a regular file");
    return;
  }
  if (path != fs::path(settings_path()) && !reads_as_settings(old_text)) {
    say_not_saved(settings_path(), "is a link to " + path.string() + ", which is not a settings file");
    return;
  }
  const std::string text = settings_to_text(old_text, s);
  // Nothing changed and no key of ours is missing: the file stays untouched.
  if (text == old_text) return;

  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  struct stat st {};
  int error = 0;
  if (::stat(path.c_str(), &st) == 0 && st.st_nlink > 1) {
    // A file of several names is rewritten where it is, so that every name
    // keeps seeing the same settings; a replacing rename would give this
    // name a file of its own and leave the others with the old one.
    error = rewrite_in_place(path.string(), text);
  } else {
    // Written beside the old file and renamed over it, so that a failed
    // write leaves the old settings intact; the new file keeps the old one's
    // permissions.
    error = common::replace_file(path.string(), text.data(), text.size());
  }
  if (error != 0) say_not_saved(path, "could not be written (" + common::error_text(error) + ")");
}

}  // namespace kesto::shell
