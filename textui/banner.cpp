#include "textui/banner.h"

#include <cstdio>

#include "common/fixed_text.h"
#include "textui/messages.h"
#include "textui/text_screen.h"

namespace kesto::textui {
namespace {

constexpr std::string_view kTemplate = "*** ######## ** VERSION ###### **** ############### ****";
constexpr std::string_view kMonthsUpper = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
constexpr std::string_view kMonthsMixed = "JanFebMarAprMayJunJulAugSepOctNovDec";

std::string two_digits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%2d", v);
  return buf;
}

std::string zero_padded(int v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, v);
  return buf;
}

std::tm today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace

ProgramIdentity& program_identity() {
  static ProgramIdentity p;
  return p;
}

void RIGHT_JUSTIFY(std::string& text) { common::right_justify(text); }

void SET_TITLE() {
  ProgramIdentity& p = program_identity();
  RIGHT_JUSTIFY(p.release_date);
  p.year = p.release_date.substr(11, 4);
  std::string title(kTemplate);
  title.replace(4, 8, common::pad(p.name, 8));
  title.replace(24, 6, common::pad(p.version, 6));
  title.replace(36, 15, common::pad(p.release_date, 15));
  message_area().title_line = common::pad(title, 80);
}

void COLLAPSE_BLANKS(std::string& line) {
  const std::size_t limit = std::min<std::size_t>(10, line.size());
  const std::size_t blank = line.find(' ');
  if (blank == std::string::npos || blank >= limit) return;
  std::size_t after = blank + 1;
  while (after < line.size() && line[after] == ' ') ++after;
  const std::size_t width = line.size();
  line = common::pad(line.substr(0, blank + 1) + line.substr(after), width);
}

void NOTICE_BLOCK() {
  const ProgramIdentity& p = program_identity();
  std::string version_line = common::pad(common::pad(p.name, 8) + " VERSION " + common::pad(p.version, 6), 80);
  COLLAPSE_BLANKS(version_line);
  SET_CURSOR(18, 1);
  WRITE_NORMAL(version_line, 24);

  const std::string rights = p.notice_variant == 1 ? "(C) " + p.year + " The KESTO authors. Some rights reserved."
                                                   : "Copyright (C) " + p.year + " The KESTO authors.";
  // Rows 19 to 25 are what the screen shows of the left column; the lines
  // below them run off the text screen and are kept short and plain.
  const std::string left[] = {
      rights,
      "Written for the study of current flow",
      "in thin resistive sheets.",
      "Free to copy and to give away with this",
      "notice; not to be sold.",
      "Please report faults to the authors,",
      "with the input deck that shows them.",
      "",
      "",
      "",
      "",
      "",
      "",
  };
  std::int16_t row = 19;
  for (const std::string& line : left) {
    SET_CURSOR(row++, 1);
    WRITE_NORMAL(line, static_cast<std::int16_t>(line.size()));
  }
  const std::string right[] = {
      "DISCLAIMER",
      "This program is provided as it is,",
      "without warranty of any kind. The",
      "authors accept no liability for any",
      "loss that its use may cause.",
  };
  row = 18;
  for (const std::string& line : right) {
    SET_CURSOR(row++, 44);
    WRITE_NORMAL(line, static_cast<std::int16_t>(line.size()));
  }
}

std::string date_short(const std::tm& d) {
  return two_digits(d.tm_mday) + "-" + std::string(kMonthsUpper.substr(static_cast<std::size_t>(d.tm_mon) * 3, 3)) +
         "-" + zero_padded((d.tm_year + 1900) % 100, 2);
}

std::string date_long(const std::tm& d) {
  return two_digits(d.tm_mday) + "-" + std::string(kMonthsMixed.substr(static_cast<std::size_t>(d.tm_mon) * 3, 3)) +
         "-" + zero_padded(d.tm_year + 1900, 4);
}

void DATE_SHORT(std::string& text) { text = date_short(today()); }
void DATE_LONG(std::string& text) { text = date_long(today()); }

}  // namespace kesto::textui
