#include "shell/script/script.h"

#include <charconv>
#include <cmath>
#include <sstream>

#include "shell/window/events.h"

namespace kesto::shell {
namespace {

std::vector<std::string> split_words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// A finite decimal number, optionally signed, read the same way whatever the
// locale: positions of pointer steps end up as 16-bit pixels, which NaN and
// the infinities have no value for.
bool to_number(const std::string& s, double& v) {
  const char* first = s.data();
  const char* last = s.data() + s.size();
  if (last - first > 1 && *first == '+' && first[1] != '-' && first[1] != '+') ++first;
  double d = 0;
  const auto r = std::from_chars(first, last, d);
  if (r.ec != std::errc() || r.ptr != last || !std::isfinite(d)) return false;
  v = d;
  return true;
}

bool to_int(const std::string& s, int& v) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool parse_button(const std::string& s, std::int16_t& button) {
  if (s == "left")
    button = 1;
  else if (s == "right")
    button = 2;
  else
    return false;
  return true;
}

// WHERE = pixel X Y | cell ROW COLUMN | page X Y, starting at words[i].
bool parse_where(const std::vector<std::string>& w, std::size_t i, ScriptStep& step) {
  if (w.size() < i + 3) return false;
  if (w[i] == "pixel")
    step.where = ScriptStep::Where::pixel;
  else if (w[i] == "cell")
    step.where = ScriptStep::Where::cell;
  else if (w[i] == "page")
    step.where = ScriptStep::Where::page;
  else
    return false;
  return to_number(w[i + 1], step.x) && to_number(w[i + 2], step.y);
}

bool can_be_busy(ScriptStep::Kind kind) {
  using K = ScriptStep::Kind;
  for (const K k : {K::key, K::press, K::release, K::move, K::close, K::menu, K::resize})
    if (kind == k) return true;
  return false;
}

}  // namespace

bool key_code_for(std::string_view name, std::int16_t& code) {
  static const struct {
    const char* name;
    std::int16_t code;
  } named[] = {
      {"Enter", KEY_ENTER},
      {"Return", KEY_ENTER},
      {"Esc", KEY_ESCAPE},
      {"Escape", KEY_ESCAPE},
      {"Backspace", KEY_BACKSPACE},
      {"Tab", 9},
      {"Space", 32},
      {"Up", KEY_UP},
      {"Down", KEY_DOWN},
      {"Right", KEY_RIGHT},
      {"Left", KEY_LEFT},
      {"Shift", 0},
      {"Ctrl", 0},
      {"Alt", 0},
  };
  for (const auto& n : named)
    if (name == n.name) {
      code = n.code;
      return true;
    }
  if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
    int f = 0;
    if (std::from_chars(name.data() + 1, name.data() + name.size(), f).ec == std::errc() && f >= 1 && f <= 12) {
      code = static_cast<std::int16_t>(KEY_F1 + f - 1);
      return true;
    }
  }
  if (name.substr(0, 5) == "code:") {
    int v = 0;
    const auto r = std::from_chars(name.data() + 5, name.data() + name.size(), v);
    if (r.ec != std::errc() || r.ptr != name.data() + name.size() || v < -32768 || v > 32767) return false;
    code = static_cast<std::int16_t>(v);
    return true;
  }
  if (name.size() == 1 && static_cast<unsigned char>(name[0]) > 32 && static_cast<unsigned char>(name[0]) < 127) {
    code = static_cast<std::int16_t>(name[0]);
    return true;
  }
  return false;
}

bool parse_script_line(std::string_view text, int line_no, Script& script, std::string& error) {
  std::string line(text);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  auto w = split_words(line);
  if (w.empty() || w[0][0] == '#') return true;
  auto fail = [&](const std::string& why) {
    error = "script line " + std::to_string(line_no) + ": " + why;
    return false;
  };
  ScriptStep step;
  step.line = line_no;
  // "busy N STEP" is STEP, done while the program works.
  if (w[0] == "busy") {
    if (w.size() < 3 || !to_int(w[1], step.after_polls) || step.after_polls < 1)
      return fail("busy needs a positive poll count and a step");
    step.busy = true;
    line = line.substr(line.find(w[1], line.find("busy") + 4) + w[1].size());
    w = split_words(line);
  }
  const std::size_t steps_before = script.steps.size();
  const std::string verb = w[0];
  if (verb == "key" || verb == "busy-key") {
    step.kind = ScriptStep::Kind::key;
    if (w.size() < 2 || !key_code_for(w[1], step.key_code)) return fail("unknown key");
    step.key_name = w[1];
    if (verb == "busy-key") {
      step.busy = true;
      if (w.size() >= 3 && (!to_int(w[2], step.after_polls) || step.after_polls < 1))
        return fail("the poll count must be a positive integer");
    }
    script.steps.push_back(step);
  } else if (verb == "text") {
    const std::size_t at = line.find("text") + 5;
    const std::string chars = at <= line.size() ? line.substr(at) : std::string();
    if (chars.empty()) return fail("text needs characters");
    for (char c : chars) {
      ScriptStep k = step;
      k.kind = ScriptStep::Kind::key;
      k.key_code = static_cast<std::int16_t>(static_cast<unsigned char>(c));
      k.key_name = c == ' ' ? "Space" : std::string(1, c);
      script.steps.push_back(k);
    }
  } else if (verb == "press" || verb == "release" || verb == "click") {
    if (w.size() < 2 || !parse_button(w[1], step.button)) return fail("the button must be left or right");
    if (!parse_where(w, 2, step)) return fail("expected pixel X Y, cell ROW COLUMN or page X Y");
    if (verb == "release") {
      step.kind = ScriptStep::Kind::release;
      script.steps.push_back(step);
    } else {
      step.kind = ScriptStep::Kind::press;
      script.steps.push_back(step);
      if (verb == "click") {
        step.kind = ScriptStep::Kind::release;
        script.steps.push_back(step);
      }
    }
  } else if (verb == "move") {
    step.kind = ScriptStep::Kind::move;
    if (!parse_where(w, 1, step)) return fail("expected pixel X Y, cell ROW COLUMN or page X Y");
    int held = 0;
    if (w.size() >= 5 && (!to_int(w[4], held) || held < 0 || held > 3)) return fail("buttons held must be 0 to 3");
    step.button = static_cast<std::int16_t>(held);
    script.steps.push_back(step);
  } else if (verb == "close") {
    step.kind = ScriptStep::Kind::close;
    script.steps.push_back(step);
  } else if (verb == "menu") {
    step.kind = ScriptStep::Kind::menu;
    if (w.size() < 2 || !to_int(w[1], step.id)) return fail("menu needs a command id");
    script.steps.push_back(step);
  } else if (verb == "answer") {
    step.kind = ScriptStep::Kind::answer;
    if (w.size() < 2 || (w[1] != "ok" && w[1] != "cancel" && w[1] != "yes" && w[1] != "no"))
      return fail("answer must be ok, cancel, yes or no");
    step.text = w[1];
    script.steps.push_back(step);
  } else if (verb == "file") {
    step.kind = ScriptStep::Kind::file;
    if (w.size() < 2) return fail("file needs a path or cancel");
    step.text = line.substr(line.find("file") + 5);
    script.steps.push_back(step);
  } else if (verb == "dialog") {
    step.kind = ScriptStep::Kind::dialog_text;
    if (w.size() < 2 || !to_int(w[1], step.id)) return fail("dialog needs a control id");
    const std::size_t at = line.find(w[1], line.find("dialog") + 6) + w[1].size();
    step.text = at < line.size() ? line.substr(at + 1) : std::string();
    script.steps.push_back(step);
  } else if (verb == "dialog-button") {
    step.kind = ScriptStep::Kind::dialog_button;
    if (w.size() < 2 || !to_int(w[1], step.id)) return fail("dialog-button needs a control id");
    script.steps.push_back(step);
  } else if (verb == "dialog-spin") {
    step.kind = ScriptStep::Kind::dialog_spin;
    if (w.size() < 3 || !to_int(w[1], step.id) || (w[2] != "up" && w[2] != "down"))
      return fail("dialog-spin needs a control id and up or down");
    step.text = w[2];
    script.steps.push_back(step);
  } else if (verb == "resize") {
    step.kind = ScriptStep::Kind::resize;
    int width = 0, height = 0;
    if (w.size() < 3 || !to_int(w[1], width) || !to_int(w[2], height) || width < 1 || height < 1 || width > 10000 ||
        height > 10000)
      return fail("resize needs a width and a height of 1 to 10000 pixels");
    step.x = width;
    step.y = height;
    script.steps.push_back(step);
  } else {
    return fail("unknown step '" + verb + "'");
  }
  // Answers wait for their box; text and click are several steps.
  if (step.busy && (script.steps.size() != steps_before + 1 || !can_be_busy(script.steps.back().kind)))
    return fail("busy takes one key, press, release, move, close, menu or resize step");
  return true;
}

bool parse_script(std::string_view text, Script& script, std::string& error) {
  script = Script{};
  script.active = true;
  int line_no = 0;
  for (std::size_t pos = 0; pos <= text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    if (!parse_script_line(text.substr(pos, end - pos), ++line_no, script, error)) return false;
    pos = end + 1;
  }
  return true;
}

Script& script() {
  static Script s;
  return s;
}

}  // namespace kesto::shell
