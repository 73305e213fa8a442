#include "solver/deck_traps.h"

#include <cctype>
#include <cmath>
#include <numbers>
#include <string_view>
#include <utility>

#include "common/fixed_text.h"
#include "common/list_input.h"

namespace kesto::solver {
namespace {

// Words that begin a command's lines as its writer means them, beside the
// prefix itself: "END" for EN, "THICKNESS" for THICK.
constexpr std::pair<std::string_view, std::string_view> kOwnWords[] = {
    {"EN", "END"},   {"SINGL", "SINGLE"}, {"CE", "CELL"},         {"LI", "LINE"},
    {"NUP", "NUPD"}, {"NST", "NSTEP"},    {"THICK", "THICKNESS"},
};

bool own_word(const DeckCommand& c, std::string_view word) {
  if (word == c.prefix) return true;
  for (const auto& [prefix, own] : kOwnWords)
    if (prefix == c.prefix && word == own) return true;
  return false;
}

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool is_letter(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool is_separator(char c) { return c == ' ' || c == ','; }
bool starts_number(char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'; }

// The word a line begins with: its letters (and underscores) from column 1.
std::string_view first_word(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && is_letter(text[n])) ++n;
  return text.substr(0, n);
}

std::string upper(std::string_view text) {
  std::string u(text);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

std::string columns(std::size_t first, std::size_t last) {
  return first == last ? "column " + std::to_string(first)
                       : "columns " + std::to_string(first) + "-" + std::to_string(last);
}

std::size_t count_names(std::string_view names) {
  if (names.empty()) return 0;
  std::size_t n = 1;
  for (char c : names) n += c == ' ';
  return n;
}

// A number that begins between the prefix and the command's column: the
// command never reads its start.
std::optional<std::string> number_left_of_column(const RecordedCommand& c) {
  const DeckCommand& cmd = *c.command;
  if (cmd.column == 0) return std::nullopt;
  std::size_t first = cmd.prefix.size() + 1;  // 1-based columns
  while (first < cmd.column && !starts_number(c.text[first - 1])) ++first;
  if (first >= cmd.column) return std::nullopt;
  std::size_t last = first;
  while (last < c.text.size() && !is_separator(c.text[last])) ++last;  // last: 1-based end of the field
  const std::string field = c.text.substr(first - 1, last - first + 1);
  const std::string where = " where " + std::string(cmd.prefix) + " reads its numbers";
  if (last < cmd.column)
    return "\"" + field + "\" (" + columns(first, last) + ") lies left of column " + std::to_string(cmd.column) +
           where + ": it is lost";
  std::string read = "\"" + c.text.substr(cmd.column - 1, last - cmd.column + 1) + "\"";
  if (!c.numbers.empty() && c.numbers[0].status == common::ListStatus::ok && c.numbers[0].first_column == cmd.column)
    read += " (" + number_name(cmd, 0) + " = " + number_text(c.numbers[0]) + ")";
  return "\"" + field + "\" begins in column " + std::to_string(first) + ", left of column " +
         std::to_string(cmd.column) + where + ": only " + read + " is read";
}

std::optional<std::string> foreign_first_word(const RecordedCommand& c) {
  const std::string_view word = first_word(c.text);
  if (own_word(*c.command, word)) return std::nullopt;
  const std::string prefix(c.command->prefix);
  const std::string effect =
      prefix == "EN" ? "so the deck ends here" : "so the line is read as a " + prefix + " command";
  return "\"" + std::string(word) + "\" begins with " + prefix + ", " + effect +
         ": probably a comment (begin comments with \"*\")";
}

// A real number of the command as read, if it was.
std::optional<float> real_number(const RecordedCommand& c, std::size_t k) {
  if (k >= c.numbers.size() || c.numbers[k].status != common::ListStatus::ok || c.numbers[k].integer)
    return std::nullopt;
  return c.numbers[k].real_value;
}

// A potential, resistivity, cell size or thickness far outside what a
// resistive sheet can be: asked about, not refused.
std::optional<std::string> implausible_value(const RecordedCommand& c) {
  const std::string_view p = c.command->prefix;
  const auto value = real_number(c, c.numbers.empty() ? 0 : c.numbers.size() - 1);
  if (!value) return std::nullopt;
  const float v = *value;
  const std::string shown = number_text(c.numbers.back());
  if ((p == "CE" || p == "LI" || p == "CIRCLE" || p == "CSHELL" || p == "ELLIPSE") && std::fabs(v) > 1.0E6f)
    return "a potential of " + shown +
           " V: is that meant? Beyond a megavolt is far outside what a resistive sheet takes";
  if ((p == "RESIS_L" || p == "RESIS_B") && v > 0.0f && (v < 1.0E-8f || v > 1.0E16f))
    return "a resistivity of " + shown +
           " ohm-metres: is that meant? Materials range from about 1E-8 (metals) to 1E16 (insulators)";
  if (p == "SI" && v > 0.0f && (v < 1.0E-6f || v > 1.0E3f))
    return "cells " + shown +
           " m wide: is that meant? SI is in metres, and cells below 1 micrometre or above 1 km are far outside "
           "the usual range";
  if (p == "THICK" && v > 0.0f && (v < 1.0E-9f || v > 1.0f))
    return "a sheet " + shown +
           " m thick: is that meant? THICK is in metres, and sheets thinner than 1 nm or thicker than 1 m are far "
           "outside the usual range";
  return std::nullopt;
}

std::optional<std::string> shape_at_border(const RecordedCommand& c) {
  if (!c.shape) return std::nullopt;
  const std::string_view p = c.command->prefix;
  const std::string kind = p == "CIRCLE" ? "disc" : p == "CSHELL" ? "ring" : "ellipse";
  const auto volts = real_number(c, c.numbers.size() - 1);
  std::string text;
  if (c.shape->outside > 0)
    text = "the " + kind + " reaches outside the " + std::to_string(c.NX) + " x " + std::to_string(c.NY) +
           " grid: " + std::to_string(c.shape->outside) + " of its cells are left out";
  if (c.shape->on_edge > 0 && volts && *volts != 0.0f) {
    text += text.empty() ? "the " + kind + " reaches the grounded edge ring: " : "; ";
    text += std::to_string(c.shape->on_edge) + " of its cells lie on the edge ring and hold " +
            number_text(c.numbers.back()) + " V there";
  }
  if (text.empty()) return std::nullopt;
  return text;
}

// A current line that the deck accepts but whose cells run out once its ends
// are kept on the grid and off the edge ring: the current is summed from the
// line's first end to its last, so a line written from its upper end to its
// lower end (or right to left) sums no cell and the run shows 0.0 A.
std::optional<std::string> current_line_without_cells(const RecordedCommand& c) {
  if (c.command->prefix != "CURRENT" || c.numbers.size() != 4) return std::nullopt;
  for (const DeckNumber& n : c.numbers)
    if (n.status != common::ListStatus::ok) return std::nullopt;
  const std::int32_t ics = c.numbers[0].integer_value, jcs = c.numbers[1].integer_value;
  const std::int32_t ice = c.numbers[2].integer_value, jce = c.numbers[3].integer_value;
  const bool vertical = ice == ics;
  if (!vertical && jce != jcs) return std::nullopt;  // oblique: the run stops there
  // Across the line it must keep three cells from the edge, or the run stops there.
  const std::int32_t across = vertical ? ics : jcs, across_size = vertical ? c.NX : c.NY;
  if (across < 3 || across > across_size - 2) return std::nullopt;
  const std::int32_t size = vertical ? c.NY : c.NX;
  const std::int32_t from = vertical ? jcs : ics, to = vertical ? jce : ice;
  std::int32_t first = from <= 0 ? 1 : from, last = to > size ? size : to;
  if (first == 1) first = 2;
  if (last == size) last = size - 1;
  if (first <= last) return std::nullopt;
  const std::string unit = vertical ? "row " : "column ";
  const std::string names = vertical ? "JCS and JCE" : "ICS and ICE";
  const std::string effect = ": the current is summed from the first end to the last, so no cell is summed and "
                             "the run reports 0.0 A";
  if (from > to)
    return std::string("the current line is written from its ") + (vertical ? "upper" : "right") + " end (" + unit +
           std::to_string(from) + ") to its " + (vertical ? "lower" : "left") + " end (" + unit + std::to_string(to) +
           ")" + effect + "; swap " + names;
  return std::string("the current line keeps no cell once its ends are kept off the edge ring (") +
         (vertical ? "rows " : "columns ") + std::to_string(first) + " to " + std::to_string(last) + ")" + effect;
}

// The command a line would be if its first word were in capitals, when the
// rest of the line holds that command's numbers.
const DeckCommand* command_in_lower_case(std::string_view text) {
  const std::string_view word = first_word(text);
  if (word.empty()) return nullptr;
  const std::string word_upper = upper(word);
  if (word_upper == word) return nullptr;  // in capitals, it is what the reader made of it
  for (const DeckCommand& c : deck_commands()) {
    if (!own_word(c, word_upper)) continue;
    const std::string_view rest = text.substr(word.size());
    const std::size_t needed = count_names(c.numbers);
    if (needed == 0) return common::trim_right(rest).empty() ? &c : nullptr;
    common::ListReader reader(rest);
    std::size_t found = 0;
    for (float v = 0.0f; found < needed && reader.real(v) == common::ListStatus::ok;) ++found;
    return found == needed ? &c : nullptr;
  }
  return nullptr;
}

const DeckCommand* command_of(std::string_view text) {
  for (const DeckCommand& c : deck_commands())
    if (starts_with(text, c.prefix)) return &c;
  return nullptr;
}

}  // namespace

std::vector<std::string> command_traps(const RecordedCommand& c) {
  std::vector<std::string> out;
  for (auto trap :
       {number_left_of_column, foreign_first_word, implausible_value, shape_at_border, current_line_without_cells})
    if (auto reason = trap(c)) out.push_back(std::move(*reason));
  return out;
}

std::optional<std::string> passed_over_trap(const std::string& text, std::int32_t number, bool after_end,
                                            const DeckOutline& deck) {
  if (starts_with(text, "SPACE") && number != deck.space_line)
    return "a second SPACE line is not read: the grid is " + std::to_string(deck.NX) + " x " + std::to_string(deck.NY) +
           " from line " + std::to_string(deck.space_line);
  if (after_end) {
    const DeckCommand* c = command_of(text);
    if (!c || number == deck.space_line) return std::nullopt;
    return "this " + std::string(c->prefix) + " line comes after EN (line " + std::to_string(deck.end_line) +
           "), which ends the deck: it is not read";
  }
  if (const DeckCommand* c = command_in_lower_case(text))
    return "\"" + std::string(first_word(text)) + "\" is not a command: commands are in capitals (" +
           std::string(c->prefix) + "), so this line is read as a comment";
  return std::nullopt;
}

double sweeps_per_e_fold(std::int32_t NX, std::int32_t NY) {
  // A sweep is a Gauss-Seidel step of the five-point mean: on an empty grid
  // with a fixed edge its slowest error mode shrinks by the square of the
  // Jacobi factor, (cos(pi/(NX-1)) + cos(pi/(NY-1))) / 2, per sweep.
  const double jacobi = (std::cos(std::numbers::pi / (NX - 1)) + std::cos(std::numbers::pi / (NY - 1))) / 2.0;
  return -1.0 / std::log(jacobi * jacobi);
}

std::int64_t sweeps_to_settle(std::int32_t NX, std::int32_t NY) {
  return static_cast<std::int64_t>(std::ceil(std::log(100.0) * sweeps_per_e_fold(NX, NY)));
}

std::optional<std::string> sweeps_trap(std::int32_t NX, std::int32_t NY, std::int32_t NSTEP, bool from_the_deck) {
  if (NX < 4 || NY < 4) return std::nullopt;
  const std::int64_t needed = sweeps_to_settle(NX, NY);
  if (NSTEP >= needed) return std::nullopt;
  return std::string(from_the_deck ? "" : "the default ") + "NSTEP " + std::to_string(NSTEP) +
         " may be too few sweeps to settle: on an empty grid of " + std::to_string(NX) + " x " + std::to_string(NY) +
         " cells the slowest error shrinks by a factor e only every " +
         std::to_string(std::lround(sweeps_per_e_fold(NX, NY))) + " sweeps, so an estimated " + std::to_string(needed) +
         " sweeps bring it below 1 % (an estimate from the grid size: electrodes inside the sheet shorten it, "
         "insulating cuts lengthen it)";
}

}  // namespace kesto::solver
