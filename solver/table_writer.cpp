#include "solver/table_writer.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/file_replacing.h"
#include "common/folder_lock.h"
#include "common/fixed_text.h"
#include "common/fortran_format.h"
#include "solver/grid.h"
#include "textui/messages.h"

namespace kesto::solver {
namespace {

constexpr std::string_view kEnd = "\r\n";

// Plot settings for the contour program; fixed texts, trailing blanks included.
constexpr std::string_view kVoltsSettings[] = {
    "CM",
    "COLOR HOT-SCALE SPECTRUM",
    "ZTITLE        Scalar Potential (volts)        ",
    "TFLAG     0",
    "XLABEL    0.00000.1000             1         4",
    "YLABEL    0.00000.1000             1         4",
    "ZLABEL    0.0000 10.00             0         4",
    "ZSCALE    LINEAR0.0000    0.0000     100.0     100.0     20.00",
    "MODE      2",
    "CONDEL 20.00        0.0000         6",
    "BOXES   300  200",
    "YDIRN    UP",
    "CLRCTL 33.54    0.3333     66.77    0.6667    ",
    "SQUARE    1",
    "CM  ",
};

constexpr std::string_view kEfieldSettings[] = {
    "CM",
    "SQUARE    1",
    "COLOR HOT-SCALE SPECTRUM",
    "ZTITLE  Electric Field (megavolts/meter)",
    "TFLAG     0",
    "XLABEL    0.00000.1000             1         4",
    "YLABEL    0.00000.1000             1         4",
    "ZLABEL    0.00000.2000E-01         2         3",
    "ZSCALE    LINEAR0.4307E-030.4307E-030.1362    0.1362     20.00    ",
    "MODE      0",
    "CONDEL0.2000        0.0000         6",
    "BOXES   300  200",
    "YDIRN    UP",
    "CLRCTL0.4569E-010.3333    0.9094E-010.6667    ",
    "CM  ",
};

constexpr std::string_view kVoltsTitles[] = {
    "CM ",
    "XTITLE         Distance in x (cm)",
    "YTITLE         Distance in y (cm) ",
};

constexpr std::string_view kEfieldTitles[] = {
    "CM ",
    "XTITLE         Distance in x (cm) ",
    "YTITLE         Distance in y (cm) ",
};

enum class Table { volts, efield };

void put(std::string& out, std::string_view line) {
  out.append(line);
  out.append(kEnd);
}

// Exact powers of ten 10^0 .. 10^22 (each one a double without rounding).
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// |value| scaled by 10^k, with one rounding (k within +-22).
double scaled(double value, int k) { return k >= 0 ? value * kPowersOfTen[k] : value / kPowersOfTen[-k]; }

// The eleven characters of `value` in the form E11.4 at `at`.
void put_E11_4(char* at, float value) {
  // The four digits come from |value| x 10^(4 - e), which a double holds to
  // about 1e-12 here; only a value within 1e-6 of a rounding tie (or zero, a
  // subnormal, an extreme exponent, not a number) needs the exact, slow edit.
  const double a = std::fabs(static_cast<double>(value));
  auto exact = [&] {
    const std::string text = common::format_E(value, 11, 4);
    std::memcpy(at, text.data(), 11);
  };
  if (a == 0.0) {
    // Zero (of either sign, written alike) fills most cells of a run with
    // few sweeps: its text is edited once.
    static const std::string zero = common::format_E(0.0f, 11, 4);
    std::memcpy(at, zero.data(), 11);
    return;
  }
  if (!(a >= 1e-15 && a < 1e20)) {
    exact();
    return;
  }
  // a lies in [2^b, 2^(b+1)), so floor(log10 a) is floor(b log10 2) or one
  // more: e starts at the smaller, and the checks below take it up.
  std::uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  const int b = static_cast<int>((bits >> 52) & 0x7ff) - 1023;
  int e = static_cast<int>(std::floor(b * 0.30102999566398120)) + 1;  // 0.1 <= a / 10^e < 1, or nearly
  double m = scaled(a, 4 - e);
  if (m < 1000.0) m = scaled(a, 4 - --e);
  if (m >= 10000.0) m = scaled(a, 4 - ++e);
  const double whole = std::floor(m);
  const double fraction = m - whole;
  if (std::fabs(fraction - 0.5) < 1e-6) {
    exact();
    return;
  }
  int digits = static_cast<int>(whole) + (fraction > 0.5 ? 1 : 0);
  if (digits == 10000) {
    digits = 1000;
    ++e;
  }
  at[0] = value < 0.0f ? '-' : ' ';
  at[1] = '0';
  at[2] = '.';
  for (int i = 6; i >= 3; --i, digits /= 10) at[i] = static_cast<char>('0' + digits % 10);
  at[7] = 'E';
  at[8] = e < 0 ? '-' : '+';
  const int x = std::abs(e);
  at[9] = static_cast<char>('0' + x / 10);
  at[10] = static_cast<char>('0' + x % 10);
}

std::string e11(float value) {
  std::string s;
  append_E11_4(s, value);
  return s;
}

// The table of `values` (V in volts, or EMAG in volts per metre); `note`,
// when not empty, takes the place of the comment line after the content line.
std::string table_text(const Grid& g, Table table, const CellValues& values, bool with_current, float amps,
                       std::string_view note) {
  const bool volts = table == Table::volts;
  std::string out;
  out.reserve(static_cast<std::size_t>(g.NX) * static_cast<std::size_t>(g.NY + 1) * 24 + 4096);

  put(out, volts ? "VOLTS.TBL     " : "EFIELD.TBL    ");
  put(out, "CM");
  put(out, "CM");
  put(out, "CM TBL FILE CREATED BY PROGRAM KESTO");
  put(out, "CM");
  put(out, "CM");
  put(out, "CM Input File: " + common::pad(g.DECK_NAME, 14));
  put(out, "CM");
  put(out, volts ? "CM This file contains the scalar potential."
                 : "CM This file contains the magnitude of the electric field vector.");
  put(out, note.empty() ? std::string_view("CM") : note);
  put(out, "CM");
  put(out, "CM");
  if (volts && with_current) {
    put(out, "CM The current in the resistor is " + common::format_E(amps, 15, 7) + " amps.");
    put(out, "CM");
  }
  for (std::string_view line : volts ? kVoltsSettings : kEfieldSettings) put(out, line);
  for (std::string_view line : volts ? kVoltsTitles : kEfieldTitles) put(out, line);
  put(out, "END  ");

  // A line per cell: its row coordinate, which every column shares, its
  // value and the line end.
  constexpr std::size_t kLine = 11 + 11 + 2;
  std::vector<std::array<char, kLine>> lines(static_cast<std::size_t>(g.NY) + 1);
  for (std::int32_t J = 1; J <= g.NY; ++J) {
    std::array<char, kLine>& line = lines[static_cast<std::size_t>(J)];
    put_E11_4(line.data(), cell_centre_cm(J, g.HALFDX));
    line[22] = '\r';
    line[23] = '\n';
  }
  const float mega = 1.0E-6f;
  for (std::int32_t I = 1; I <= g.NX; ++I) {
    put(out, e11(cell_centre_cm(I, g.HALFDX)));
    for (std::int32_t J = 1; J <= g.NY; ++J) {
      const float value = volts ? values[I][J] : values[I][J] * mega;
      std::array<char, kLine>& line = lines[static_cast<std::size_t>(J)];
      put_E11_4(line.data() + 11, value);
      out.append(line.data(), kLine);
    }
  }
  return out;
}

[[noreturn]] void write_failed(std::string_view name, int error) {
  textui::set_message("Fatal error: the output file " + std::string(name) + " could not be written.");
  textui::MSG_PAGE();
  textui::set_message("The system reports: " + common::error_text(error));
  textui::MSG_NEXT();
  textui::set_message("An earlier file of this name is left unchanged.");
  textui::MSG_PAUSE();
  textui::FATAL_STOP();
}

void another_run_writes() {
  std::fputs("kesto: another run is writing its tables in this folder; waiting for it to finish\n", stderr);
  std::fflush(stderr);
}

struct PendingTable {
  Table table;
  std::string path;
  common::ReplacingFile file;
};

// Writes the tables to temporary files in `folder` and renames them into
// place only when all are complete, holding the folder's lock from the first
// write to the last rename: the tables found there afterwards come from one
// run, and a table that cannot be written leaves every earlier one as it was.
// The lock is released before a failure's page waits for its key.
void replace_tables(const std::string& folder, std::initializer_list<Table> tables) {
  std::string failed_name;
  int error = 0;
  {
    const common::FolderLock lock(folder, &another_run_writes);
    std::vector<PendingTable> pending;
    pending.reserve(tables.size());
    for (const Table t : tables) {
      const std::string name = t == Table::volts ? "VOLTS.TBL" : "EFIELD.TBL";
      pending.push_back({t, folder.empty() || folder == "." ? name : folder + "/" + name, {}});
    }
    for (PendingTable& p : pending) {
      const Grid& g = grid();
      const std::string text = p.table == Table::volts
                                   ? table_text(g, Table::volts, g.V, g.CURRENT_SET == 1, g.CURRENT_AMPS, {})
                                   : table_text(g, Table::efield, g.EMAG, false, 0.0f, {});
      error = p.file.open(p.path);
      if (error == 0) error = p.file.write(text.data(), text.size());
      if (error != 0) {
        failed_name = p.path;
        break;
      }
    }
    for (std::size_t i = 0; error == 0 && i < pending.size(); ++i) {
      error = pending[i].file.commit();
      if (error != 0) failed_name = pending[i].path;
    }
  }
  if (error != 0) write_failed(failed_name, error);
}

}  // namespace

float cell_centre_cm(std::int32_t index, float halfdx) {
  const float metres = static_cast<float>(2 * index - 1) * halfdx;
  return metres * 100.0f;
}

void append_E11_4(std::string& out, float value) {
  char text[11];
  put_E11_4(text, value);
  out.append(text, sizeof text);
}

void WRITE_VOLTS() { replace_tables(".", {Table::volts}); }

void WRITE_EFIELD() { replace_tables(".", {Table::efield}); }

void write_tables(const std::string& folder) { replace_tables(folder, {Table::volts, Table::efield}); }

std::string volts_table_text(const Grid& g, const CellValues& V, bool with_current, float amps, std::string_view note) {
  return table_text(g, Table::volts, V, with_current, amps, note);
}

std::string efield_table_text(const Grid& g, const CellValues& EMAG, std::string_view note) {
  return table_text(g, Table::efield, EMAG, false, 0.0f, note);
}

}  // namespace kesto::solver
