#include "shell/settings/settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace kesto::shell {
namespace {

namespace fs = std::filesystem;

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Section and key names match without regard to case; the first occurrence
// of a key in a section counts.
using Profile = std::map<std::string, std::string>;  // "section\nkey" -> value

Profile read_profile(const std::string& path) {
  Profile p;
  std::ifstream in(path, std::ios::binary);
  std::string line, section;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      const auto close = line.find(']');
      section = lower(trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    p.emplace(section + '\n' + lower(trim(line.substr(0, eq))), trim(line.substr(eq + 1)));
  }
  return p;
}

// A whole number in the 32-bit range, optionally signed.
bool parse_int32(const std::string& text, std::int32_t& value) {
  std::string s = text;
  if (!s.empty() && s[0] == '+') s.erase(0, 1);
  if (s.empty()) return false;
  std::int32_t v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
  value = v;
  return true;
}

void read_key(const Profile& p, const char* section, const char* key, std::int32_t& value) {
  const auto it = p.find(lower(section) + '\n' + lower(key));
  if (it != p.end()) parse_int32(it->second, value);
}

std::int32_t as_switch(std::int32_t v) { return v != 0 ? 1 : 0; }

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

void READ_SETTINGS() {
  Settings& s = settings();
  const Profile p = read_profile(settings_path());
  read_key(p, "Printer", "PageLeftMargin", s.PageLeftMargin);
  read_key(p, "Printer", "PageTopMargin", s.PageTopMargin);
  read_key(p, "Printer", "PageWidth", s.PageWidth);
  read_key(p, "Printer", "PenWidthPrinter", s.PenWidthPrinter);
  read_key(p, "Metafile", "PenWidthEMF", s.PenWidthEMF);
  read_key(p, "PostScript", "PenWidthEPS", s.PenWidthEPS);
  read_key(p, "Printer", "LandscapePrinter", s.LandscapePrinter);
  read_key(p, "Window", "ColorWindow", s.ColorWindow);
  read_key(p, "Window", "BlackBG", s.BlackBG);
  s.LandscapePrinter = as_switch(s.LandscapePrinter);
  s.ColorWindow = as_switch(s.ColorWindow);
  s.BlackBG = as_switch(s.BlackBG);
  s.PenWidthPrinter = std::min(s.PenWidthPrinter, MAX_PEN_WIDTH);
  s.PenWidthEMF = std::min(s.PenWidthEMF, MAX_PEN_WIDTH);
  s.PenWidthEPS = std::min(s.PenWidthEPS, MAX_PEN_WIDTH);
  s.read_from_file = true;
}

void WRITE_SETTINGS() {
  const Settings& s = settings();
  if (!s.read_from_file) return;
  std::ostringstream text;
  text << "[Printer]\n"
       << "PageLeftMargin=" << s.PageLeftMargin << '\n'
       << "PageTopMargin=" << s.PageTopMargin << '\n'
       << "PageWidth=" << s.PageWidth << '\n'
       << "PenWidthPrinter=" << s.PenWidthPrinter << '\n'
       << "LandscapePrinter=" << s.LandscapePrinter << '\n'
       << "[PostScript]\n"
       << "PenWidthEPS=" << s.PenWidthEPS << '\n'
       << "[Metafile]\n"
       << "PenWidthEMF=" << s.PenWidthEMF << '\n'
       << "[Window]\n"
       << "ColorWindow=" << s.ColorWindow << '\n'
       << "BlackBG=" << s.BlackBG << '\n';
  // Written beside the old file and renamed over it, so that a failed write
  // leaves the old settings intact.
  const fs::path path = settings_path();
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  const fs::path temp = path.string() + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text.str();
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return;
    }
  }
  fs::rename(temp, path, ec);
  if (ec) fs::remove(temp, ec);
}

}  // namespace kesto::shell
