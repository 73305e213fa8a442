#include "solver/deck_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <utility>

#include "common/file_lookup.h"
#include "common/fixed_text.h"
#include "common/fortran_format.h"
#include "common/list_input.h"
#include "solver/deck_checks.h"
#include "solver/deck_observer.h"
#include "solver/grid.h"
#include "solver/range_checks.h"
#include "solver/shapes.h"
#include "solver/table_writer.h"
#include "textui/file_names.h"
#include "textui/messages.h"

namespace kesto::solver {
namespace {

namespace fs = std::filesystem;
using common::FreeFormat;
using common::ListStatus;
using textui::set_message;

constexpr std::size_t kLineWidth = 80;

// ---- Reading lines ----------------------------------------------------------

// A line that cannot be read, or a command whose numbers cannot be.
[[noreturn]] void input_line_error() {
  set_message("Error reading an input line!");
  textui::NOTICE_PAGE();
  textui::FATAL_STOP();
}

// The deck file, read line by line at a bounded cost: only the first 80
// characters of a line are kept, however long the line is. A line ends at
// LF, CR LF or a lone CR, so decks written on other systems read the same;
// the line end is not part of the line. Tabs count as blanks. A UTF-8
// byte-order mark at the start of the file, which some editors write, is not
// part of the first line: column 1 is the character after it.
class DeckFile {
 public:
  explicit DeckFile(const fs::path& path) : file_(common::open_regular_file(path)) {}
  ~DeckFile() { close(); }
  DeckFile(const DeckFile&) = delete;
  DeckFile& operator=(const DeckFile&) = delete;

  bool is_open() const { return file_ != nullptr; }

  void close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
  }

  void rewind() {
    std::rewind(file_);
    begin_ = end_ = 0;
    eof_ = false;
    at_start_ = true;
  }

  // The next line as exactly 80 characters; false at the end of the file.
  // A read error shows its page and ends the run.
  bool next_line(std::string& line) {
    line.clear();
    bool any = false;  // something (a character or a line end) was read
    for (;;) {
      if (begin_ == end_ && !fill()) break;
      const char c = buffer_[begin_++];
      any = true;
      if (c == '\n') break;
      if (c == '\r') {
        // CR LF is one line end; a lone CR ends the line as well.
        if ((begin_ < end_ || fill()) && buffer_[begin_] == '\n') ++begin_;
        break;
      }
      if (line.size() < kLineWidth) line.push_back(c == '\t' ? ' ' : c);
    }
    if (!any) return false;
    line.resize(kLineWidth, ' ');
    return true;
  }

 private:
  bool fill() {
    if (eof_) return false;
    begin_ = 0;
    end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    if (end_ == 0) {
      eof_ = true;
      if (std::ferror(file_)) input_line_error();
      return false;
    }
    if (at_start_ && end_ >= 3 && std::string_view(buffer_, 3) == "\xEF\xBB\xBF") begin_ = 3;
    at_start_ = false;
    return begin_ < end_ || fill();  // a file of the mark alone
  }

  std::FILE* file_ = nullptr;
  char buffer_[1 << 16];
  std::size_t begin_ = 0, end_ = 0;
  bool eof_ = false;
  bool at_start_ = true;  // the next fill reads the file's first bytes
};

// ---- Finding the deck ----------------------------------------------------------

[[noreturn]] void file_not_found() {
  set_message("FILE NOT FOUND!");
  textui::NOTICE_PAGE();
  textui::FATAL_STOP();
}

// ---- Arguments ---------------------------------------------------------------------

[[noreturn]] void not_finite_error(const std::string& line) {
  set_message("Error reading an input line!");
  textui::MSG_PAGE();
  set_message("A number in this line is infinite or not a number:");
  textui::MSG_NEXT();
  // The line as the user wrote it; bytes that are not printable show as blanks.
  std::string shown = line;
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = ' ';
  set_message(shown);
  textui::MSG_PAUSE();
  textui::FATAL_STOP();
}

// The arguments of one command, read in order from its argument column to
// column 80. A missing or unreadable number ends the run with the read-error
// page; a real that is infinite or not a number with its own page. Each
// number is shown to the deck observer before that.
class Arguments {
 public:
  Arguments(const std::string& line, std::size_t column)
      : line_(line), column_(column), reader_(std::string_view(line).substr(column - 1)) {}

  std::int32_t integer() {
    DeckNumber n = next(true);
    n.status = reader_.integer(n.integer_value);
    return check(n).integer_value;
  }

  float real() {
    DeckNumber n = next(false);
    n.status = reader_.real(n.real_value);
    return check(n).real_value;
  }

 private:
  DeckNumber next(bool integer) {
    DeckNumber n;
    n.index = count_++;
    n.integer = integer;
    return n;
  }

  const DeckNumber& check(DeckNumber& n) const {
    n.first_column = column_ + reader_.field_begin();
    n.end_column = column_ + reader_.field_end();
    deck_observer().number(n);
    if (n.status == ListStatus::not_finite) not_finite_error(line_);
    if (n.status != ListStatus::ok) input_line_error();
    return n;
  }

  const std::string& line_;
  std::size_t column_;
  common::ListReader reader_;
  std::size_t count_ = 0;
};

bool starts_with(const std::string& line, std::string_view prefix) {
  return std::string_view(line).substr(0, prefix.size()) == prefix;
}

// ---- Commands --------------------------------------------------------------------------

// The grid of NX x NY cells: the edge ring fixed (grounded until a command
// gives it a potential), the interior insulating.
void set_up_grid(std::int32_t nx, std::int32_t ny) {
  Grid& g = grid();
  g.NX = nx;
  g.NY = ny;
  for (std::int32_t I = 1; I <= nx; ++I) g.FIXED[I][1] = g.FIXED[I][ny] = 1;
  for (std::int32_t J = 1; J <= ny; ++J) g.FIXED[1][J] = g.FIXED[nx][J] = 1;
  for (std::int32_t I = 2; I <= nx - 1; ++I)
    for (std::int32_t J = 2; J <= ny - 1; ++J) g.RHO[I][J] = INSULATOR_RHO;
}

void space_command(Arguments& args) {
  const std::int32_t nx = args.integer();
  const std::int32_t ny = args.integer();
  if (nx > MAXNX || ny > MAXNY) {
    set_message("FATAL ERROR: DIMENSIONS EXCEEDED");
    textui::MSG_PAGE();
    set_message("REDUCE THE SPACE SIZE IN CELLS");
    textui::MSG_NEXT();
    set_message(FreeFormat().text("MAXIMUM SIZE IS NX =").integer(MAXNX).text(" BY NY=").integer(MAXNY).str());
    textui::MSG_PAUSE();
    textui::FATAL_STOP();
  }
  if (nx <= 3 || ny <= 3) {
    set_message("FATAL ERROR: SPACE SIZE TOO SMALL");
    textui::NOTICE_PAGE();
    textui::FATAL_STOP();
  }
  set_up_grid(nx, ny);
}

// The last line of an out-of-range page ("JE=", JE, " NY=", NY), the pause,
// and the end of the run.
[[noreturn]] void last_range_line(std::string_view first, std::int32_t a, std::string_view second, std::int32_t b) {
  set_message(FreeFormat().text(first).integer(a).text(second).integer(b).str());
  textui::MSG_PAUSE();
  textui::FATAL_STOP();
}

void cell_command(Arguments& args) {
  Grid& g = grid();
  const std::int32_t I = args.integer();
  const std::int32_t J = args.integer();
  const float V = args.real();
  if (I < 1 || I > g.NX || J < 1 || J > g.NY) {
    set_message(" FATAL ERROR: INPUT CELL OUT OF RANGE");
    textui::MSG_PAGE();
    set_message(FreeFormat().text("I=").integer(I).text(" NX=").integer(g.NX).str());
    textui::MSG_NEXT();
    last_range_line("J=", J, " NY=", g.NY);
  }
  g.FIXED[I][J] = 1;
  g.V[I][J] = V;
}

void line_command(Arguments& args) {
  const Grid& g = grid();
  const std::int32_t IS = args.integer();
  const std::int32_t JS = args.integer();
  const std::int32_t IE = args.integer();
  const std::int32_t JE = args.integer();
  const float V = args.real();
  if (JE > g.NY || IE > g.NX || IS > g.NX || JS > g.NY) {
    set_message(" FATAL ERROR: INPUT CELL OUT OF RANGE");
    textui::MSG_PAGE();
    set_message(FreeFormat().text("IS=").integer(IS).text(" NX=").integer(g.NX).str());
    textui::MSG_NEXT();
    set_message(FreeFormat().text("JS=").integer(JS).text(" NY=").integer(g.NY).str());
    textui::MSG_NEXT();
    set_message(FreeFormat().text("IE=").integer(IE).text(" NX=").integer(g.NX).str());
    textui::MSG_NEXT();
    last_range_line("JE=", JE, " NY=", g.NY);
  }
  if (JE <= 0 || IE <= 0 || IS <= 0 || JS <= 0) {
    set_message(" FATAL ERROR: INPUT CELL OUT OF RANGE");
    textui::NOTICE_PAGE();
    textui::FATAL_STOP();
  }
  MARK_LINE(IS, JS, IE, JE, V);
}

void circle_command(Arguments& args, bool filled) {
  const std::int32_t I = args.integer();
  const std::int32_t J = args.integer();
  const std::int32_t R = args.integer();
  const float V = args.real();
  deck_observer().shape(filled ? MARK_DISC(I, J, R, V) : MARK_RING(I, J, R, V));
}

void ellipse_command(Arguments& args) {
  const std::int32_t I = args.integer();
  const std::int32_t J = args.integer();
  const std::int32_t A = args.integer();
  const std::int32_t B = args.integer();
  const float V = args.real();
  deck_observer().shape(MARK_ELLIPSE(I, J, A, B, V));
}

// A quantity that a command or the whole deck got wrong: heading, then
// "must be greater than zero.".
[[noreturn]] void not_positive_page(std::string_view heading) {
  out_of_range_page(heading, "", "must be greater than zero.");
}

void resistive_command(Arguments& args, bool with_value, bool box) {
  const std::int32_t IS = args.integer();
  const std::int32_t JS = args.integer();
  const std::int32_t IE = args.integer();
  const std::int32_t JE = args.integer();
  const float R = with_value ? args.real() : INSULATOR_RHO;
  CHECK_INTERIOR(IS, JS, IE, JE);
  // A resistivity of zero or below would make link conductances infinite or negative.
  if (!(R > 0.0f)) not_positive_page("Fatal error: the resistivity of a RESIS_L or RESIS_B line");
  if (box)
    RHO_BOX(IS, JS, IE, JE, R);
  else
    RHO_LINE(IS, JS, IE, JE, R);
}

void current_command(Arguments& args) {
  Grid& g = grid();
  const std::int32_t ics = args.integer();
  const std::int32_t jcs = args.integer();
  const std::int32_t ice = args.integer();
  const std::int32_t jce = args.integer();
  g.CURRENT_SET = 1;
  g.ICS = ics;
  g.JCS = jcs;
  g.ICE = ice;
  g.JCE = jce;
  CHECK_CURRENT_LINE();
}

// ---- The command table ------------------------------------------------------------

using Action = void (*)(Arguments&);

struct CommandEntry {
  DeckCommand command;
  Action action;  // null for EN, which ends the pass itself
};

// In the order a line is tested against them; the first match wins. SPACE
// comes last: only the first pass acts on it, the second passes over it.
constexpr CommandEntry kCommands[] = {
    {{"EN", 0, ""}, nullptr},
    {{"SINGL", 0, ""}, [](Arguments&) { grid().SINGLE_STEP = 1; }},
    {{"PAUSE", 0, ""}, [](Arguments&) { grid().PAUSE_EACH = 1; }},
    {{"CE", 6, "I J V"}, cell_command},
    {{"LI", 6, "IS JS IE JE V"}, line_command},
    {{"CIRCLE", 7, "I J R V"}, [](Arguments& a) { circle_command(a, true); }},
    {{"CSHELL", 7, "I J R V"}, [](Arguments& a) { circle_command(a, false); }},
    {{"ELLIPSE", 9, "I J A B V"}, ellipse_command},
    {{"SI", 6, "s"}, [](Arguments& a) { grid().DX = a.real(); }},
    {{"NUP", 8, "n"}, [](Arguments& a) { grid().NUPD = a.integer(); }},
    {{"NST", 6, "n"}, [](Arguments& a) { grid().NSTEP = a.integer(); }},
    {{"THICK", 11, "t"}, [](Arguments& a) { grid().THICK = a.real(); }},
    {{"INSUL", 7, "IS JS IE JE"}, [](Arguments& a) { resistive_command(a, false, false); }},
    {{"RESIS_L", 12, "IS JS IE JE R"}, [](Arguments& a) { resistive_command(a, true, false); }},
    {{"RESIS_B", 11, "IS JS IE JE R"}, [](Arguments& a) { resistive_command(a, true, true); }},
    {{"CURRENT", 9, "ICS JCS ICE JCE"}, current_command},
    {{"SPACE", 6, "NX NY"}, space_command},
};
constexpr std::size_t kEnd = 0;
constexpr std::size_t kSpace = std::size(kCommands) - 1;

// The first entry of the second pass's commands that `line` matches, or null.
const CommandEntry* match(const std::string& line) {
  for (std::size_t k = 0; k < kSpace; ++k)
    if (starts_with(line, kCommands[k].command.prefix)) return &kCommands[k];
  return nullptr;
}

// Carries out a command line; its numbers are read from the command's column.
void act_on(const CommandEntry& entry, const std::string& line) {
  deck_observer().command(entry.command);
  if (!entry.action) return;
  Arguments args(line, entry.command.column == 0 ? kLineWidth : entry.command.column);
  deck_observer().act([&] { entry.action(args); });
}

// The settings that the deck as a whole must get right, each checked on its own.
void check_thickness() {
  const Grid& g = grid();
  if (g.THICK == 0.0f) {
    set_message("Fatal error: you must specify a THICKNESS for the resistive material.");
    textui::NOTICE_PAGE();
    textui::FATAL_STOP();
  }
  if (g.THICK < 0.0f) {
    set_message("Fatal error: the THICKNESS of the resistive material must be positive.");
    textui::NOTICE_PAGE();
    textui::FATAL_STOP();
  }
}

void check_cell_size() {
  const Grid& g = grid();
  // The field divides by the cell size.
  if (!(g.DX > 0.0f)) not_positive_page("Fatal error: the cell size given by the SI line");
  // The tables give every cell's centre in centimetres; the farthest one
  // must fit single precision (one check for every coordinate of both tables).
  if (!std::isfinite(cell_centre_cm(std::max(g.NX, g.NY), g.HALFDX)))
    out_of_range_page("Fatal error: the cell size given by the SI line", "",
                      "is too large: the cell coordinates of the tables overflow.");
}

void check_potential_range() {
  const Grid& g = grid();
  // The colour scale of the maps spans VMIN..VMAX with a margin; beyond
  // 1.0E37 volts its range would leave single precision.
  if (std::fmax(std::fabs(g.VMIN), std::fabs(g.VMAX)) > 1.0E37f)
    out_of_range_page("Fatal error: an electrode potential is too large for the colour scale.", "",
                      "Keep the potentials within 1.0E+37 volts (CE, LI, CIRCLE, CSHELL, ELLIPSE).");
}

void check_display_interval() {
  // The relaxation shows its progress every NUPD sweeps.
  if (grid().NUPD <= 0) not_positive_page("Fatal error: the number of sweeps between displays (NUP)");
}

void check_settings() {
  constexpr std::pair<DeckSetting, void (*)()> kChecks[] = {
      {DeckSetting::thickness, check_thickness},
      {DeckSetting::cell_size, check_cell_size},
      {DeckSetting::potentials, check_potential_range},
      {DeckSetting::display_interval, check_display_interval},
  };
  for (const auto& [setting, check] : kChecks) {
    deck_observer().closing_check(setting);
    deck_observer().act(check);
  }
}

[[noreturn]] void no_space_line() {
  set_message("Fatal Error: file must contain a \"SPACE\" command.");
  textui::NOTICE_PAGE();
  textui::FATAL_STOP();
}

}  // namespace

std::span<const DeckCommand> deck_commands() {
  static const auto table = [] {
    std::array<DeckCommand, std::size(kCommands)> t{};
    for (std::size_t k = 0; k < t.size(); ++k) t[k] = kCommands[k].command;
    return t;
  }();
  return table;
}

void ADD_TXT_EXT(std::string& name) {
  if (name.size() < 14) name.resize(14, ' ');
  std::size_t p = 15;  // 1-based position of the first blank
  for (std::size_t pos = 1; pos <= 14; ++pos) {
    const char c = name[pos - 1];
    if (c == '.') return;
    if (c == ' ') {
      p = pos;
      break;
    }
  }
  if (p >= 12) return;
  name.replace(p - 1, 4, ".txt");
  for (std::size_t pos = p + 4; pos <= 14; ++pos) name[pos - 1] = ' ';
}

void READ_DECK() {
  Grid& g = grid();
  for (auto& column : g.RHO)
    for (float& r : column) r = 0.0f;

  ADD_TXT_EXT(g.DECK_NAME);
  textui::FileNameRecord& record = textui::file_name_record();
  textui::BUILD_PATH(record.full_path, record.directory, g.DECK_NAME);
  const fs::path path = common::locate_file(std::string(common::trim_right(record.full_path)));
  if (path.empty()) file_not_found();
  DeckFile deck(path);
  if (!deck.is_open()) file_not_found();

  // First pass: the grid size. Only the first SPACE line counts.
  DeckObserver& observer = deck_observer();
  std::string line;
  std::int32_t number = 0;
  g.NX = 0;
  observer.pass(1);
  for (;;) {
    if (!deck.next_line(line)) {
      observer.closing_check(DeckSetting::grid_size);
      observer.act(no_space_line);
      break;
    }
    observer.line(++number, line);
    if (starts_with(line, "SPACE")) {
      act_on(kCommands[kSpace], line);
      break;
    }
  }
  // Only a deck check goes on without a grid size: it reads the rest of the
  // deck on the largest grid, where no command is out of range that would
  // be in range on a smaller one.
  if (g.NX == 0) set_up_grid(MAXNX, MAXNY);

  // Second pass: the commands, in file order, up to the end or an EN line.
  deck.rewind();
  observer.pass(2);
  number = 0;
  while (deck.next_line(line)) {
    observer.line(++number, line);
    const CommandEntry* entry = match(line);
    if (!entry) continue;
    act_on(*entry, line);
    if (entry == &kCommands[kEnd]) break;
  }
  if (observer.wants_lines_after_end())
    while (deck.next_line(line)) observer.line_after_end(++number, line);
  deck.close();

  g.HALFDX = g.DX / 2.0f;
  if (g.SINGLE_STEP == 1) g.NUPD = 1;
  g.VMIN = 1.0E30f;
  g.VMAX = -1.0E30f;
  for (std::int32_t I = 1; I <= g.NX; ++I)
    for (std::int32_t J = 1; J <= g.NY; ++J) {
      if (g.V[I][J] < g.VMIN) g.VMIN = g.V[I][J];
      if (g.V[I][J] > g.VMAX) g.VMAX = g.V[I][J];
    }
  check_settings();
}

}  // namespace kesto::solver
