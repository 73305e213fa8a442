#include "shell/settings/profile_text.h"

#include <algorithm>
#include <map>

#include "common/fixed_text.h"

namespace kesto::shell {
namespace {

using common::equal_ignoring_case;

constexpr std::string_view kBlanks = " \t\r";

// Narrows [first, last) of `s` so that it neither begins nor ends with a blank.
void trim_range(std::string_view s, std::size_t& first, std::size_t& last) {
  while (first < last && kBlanks.find(s[first]) != std::string_view::npos) ++first;
  while (last > first && kBlanks.find(s[last - 1]) != std::string_view::npos) --last;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Line {
  enum class Kind { other, section, key };
  std::size_t begin = 0;          // first character
  std::size_t content_begin = 0;  // after a byte-order mark (== begin without one)
  std::size_t content_end = 0;  // the line end starts here
  std::size_t end = 0;          // after the line feed (== content_end without one)
  Kind kind = Kind::other;
  std::string_view section;  // the section this line is in, or names
  std::string_view key;
  std::size_t value_begin = 0, value_end = 0;
};

std::vector<Line> split_lines(std::string_view text) {
  std::vector<Line> lines;
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::string_view section;
  std::size_t pos = 0;
  while (pos < text.size()) {
    Line l;
    l.begin = l.content_begin = pos;
    if (pos == 0 && text.starts_with(kByteOrderMark)) l.content_begin = kByteOrderMark.size();
    const std::size_t eol = text.find_first_of("\r\n", l.content_begin);
    l.content_end = eol == std::string_view::npos ? text.size() : eol;
    l.end = eol == std::string_view::npos ? text.size() : eol + 1;
    if (eol != std::string_view::npos && text[eol] == '\r' && l.end < text.size() && text[l.end] == '\n') ++l.end;
    pos = l.end;

    std::size_t first = l.content_begin, last = l.content_end;
    trim_range(text, first, last);
    if (first < last && text[first] == '[') {
      std::size_t name_first = first + 1;
      std::size_t name_last = text.substr(0, last).find(']', name_first);
      if (name_last == std::string_view::npos) name_last = last;
      trim_range(text, name_first, name_last);
      section = text.substr(name_first, name_last - name_first);
      l.kind = Line::Kind::section;
    } else if (first < last && text[first] != ';' && text[first] != '#') {
      const std::size_t eq = text.substr(0, last).find('=', first);
      if (eq != std::string_view::npos) {
        l.kind = Line::Kind::key;
        std::size_t key_first = first, key_last = eq;
        trim_range(text, key_first, key_last);
        l.key = text.substr(key_first, key_last - key_first);
        l.value_begin = eq + 1;
        l.value_end = last;
        trim_range(text, l.value_begin, l.value_end);
        if (l.value_begin == l.value_end) l.value_begin = l.value_end = eq + 1;
      }
    }
    l.section = section;
    lines.push_back(l);
  }
  return lines;
}

// Index of the line that holds the key, or -1.
long find_key(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == Line::Kind::key && equal_ignoring_case(lines[i].key, key) &&
        equal_ignoring_case(lines[i].section, section))
      return static_cast<long>(i);
  return -1;
}

}  // namespace

std::vector<std::optional<std::string>> profile_values(std::string_view text, const std::vector<ProfileEntry>& keys) {
  const std::vector<Line> lines = split_lines(text);
  std::vector<std::optional<std::string>> values;
  for (const ProfileEntry& k : keys) {
    const long i = find_key(lines, k.section, k.key);
    if (i < 0) {
      values.emplace_back();
    } else {
      const Line& l = lines[static_cast<std::size_t>(i)];
      values.emplace_back(std::string(text.substr(l.value_begin, l.value_end - l.value_begin)));
    }
  }
  return values;
}

std::string update_profile(std::string_view text, const std::vector<ProfileEntry>& entries) {
  const std::vector<Line> lines = split_lines(text);
  const std::string eol = !lines.empty() && lines[0].end > lines[0].content_end
                              ? std::string(text.substr(lines[0].content_end, lines[0].end - lines[0].content_end))
                              : std::string("\n");

  std::map<std::size_t, const ProfileEntry*> replaced;               // line -> new value
  std::map<std::size_t, std::vector<const ProfileEntry*>> inserted;  // after line -> new key lines
  std::vector<std::vector<const ProfileEntry*>> appended;            // new sections with their keys
  for (const ProfileEntry& e : entries) {
    const std::string_view section = e.section;
    const long at = find_key(lines, section, e.key);
    if (at >= 0) {
      replaced[static_cast<std::size_t>(at)] = &e;
      continue;
    }
    // After the last key line of the section's first occurrence, or after its
    // header when it has no key yet.
    long after = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].kind != Line::Kind::section || !equal_ignoring_case(lines[i].section, section)) continue;
      after = static_cast<long>(i);
      for (std::size_t j = i + 1; j < lines.size() && lines[j].kind != Line::Kind::section; ++j)
        if (lines[j].kind == Line::Kind::key) after = static_cast<long>(j);
      break;
    }
    if (after >= 0) {
      inserted[static_cast<std::size_t>(after)].push_back(&e);
    } else {
      const auto same_section = [&](const auto& keys) { return equal_ignoring_case(keys.front()->section, section); };
      const auto in = std::find_if(appended.begin(), appended.end(), same_section);
      if (in == appended.end())
        appended.push_back({&e});
      else
        in->push_back(&e);
    }
  }

  std::string out;
  out.reserve(text.size() + 64 * entries.size());
  auto key_line = [&](const ProfileEntry& e) { out += e.key + "=" + e.value + eol; };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    const auto r = replaced.find(i);
    if (r == replaced.end()) {
      out.append(text.substr(l.begin, l.end - l.begin));
    } else {
      out.append(text.substr(l.begin, l.value_begin - l.begin));
      out += r->second->value;
      out.append(text.substr(l.value_end, l.end - l.value_end));
    }
    const auto ins = inserted.find(i);
    const bool more_after = ins != inserted.end() || (i + 1 == lines.size() && !appended.empty());
    // The last line had no line end; a byte-order mark alone needs none.
    if (more_after && l.end == l.content_end && l.content_end > l.content_begin) out += eol;
    if (ins != inserted.end())
      for (const ProfileEntry* e : ins->second) key_line(*e);
  }
  for (const auto& keys : appended) {
    out += "[" + keys.front()->section + "]" + eol;
    for (const ProfileEntry* e : keys) key_line(*e);
  }
  return out;
}

}  // namespace kesto::shell
