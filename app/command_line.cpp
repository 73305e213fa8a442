#include "app/command_line.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/batch_hooks.h"
#include "app/batch_progress.h"
#include "app/converged_output.h"
#include "app/convergence_output.h"
#include "app/output_targets.h"
#include "app/sweep_kernel_choice.h"
#include "common/fixed_text.h"
#include "common/freed_memory.h"
#include "common/progress.h"
#include "common/run_ended.h"
#include "shell/window/process_entry.h"
#include "solver/converged_answer.h"
#include "solver/deck_check.h"
#include "solver/deck_observer.h"
#include "solver/deck_recorder.h"
#include "solver/run_driver.h"
#include "textui/banner.h"
#include "textui/markel_file.h"

namespace kesto::app {
namespace {

constexpr const char* kUsage =
    "usage: kesto [DECK] [options]           run in a window, starting on the menu where\n"
    "                                        the deck's directory and name are typed\n"
    "                                        (filled from DECK when it is given)\n"
    "       kesto --batch [DECK] [options]   run headless: the menu is accepted with F10,\n"
    "                                        pages go to standard output, tables to the\n"
    "                                        current directory; DECK may be left out\n"
    "                                        when --script types it into the menu\n"
    "       kesto --check DECK               read DECK as a run would and report every\n"
    "                                        line, the lines that stop a run and the\n"
    "                                        lines that likely mean something else\n"
    "options:\n"
    "  --pictures DIR   save each completed picture as a PNG file in DIR (batch)\n"
    "  --export DIR     write the run's last picture in DIR as EPS, TIFF, WMF, EMF\n"
    "                   and PDF: potential.eps ... potential.pdf (batch)\n"
    "  --markel FILE    record every picture of the run in the MARKEL file FILE\n"
    "  --script FILE    take the user's input from the script FILE first (a\n"
    "                   regular file of at most 16 MiB)\n"
    "  --convergence FILE  write the largest change of any cell in each sweep to\n"
    "                   FILE, two columns (sweep, volts) for plotting\n"
    "  --converged DIR  write VOLTS.TBL and EFIELD.TBL of the converged potential\n"
    "                   (the network solved directly) into the folder DIR\n"
    "  --version        show the program's name, version and release date\n"
    "  --help           show this text\n"
    "exit status (batch): 0 normal end, 1 a fatal page ended the run (or the\n"
    "                     convergence file, the MARKEL file, a picture\n"
    "                     file or the converged tables could not be written),\n"
    "                     2 the batch could not start (a file it would write\n"
    "                     is not a regular file, ...) or could not go on\n"
    "exit status (check): 0 nothing to report, 1 warnings only,\n"
    "                     2 a line would stop a run, or the check could not start\n";

struct Arguments {
  bool batch = false;
  bool check = false;
  bool help = false;
  bool version = false;
  std::string deck, pictures, exports, markel, script, convergence, converged;
};

// Parses the command line; false with a message when it cannot be used.
bool parse(int argc, char** argv, Arguments& a, std::string& error) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& s = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) {
        error = s + " needs a value";
        return false;
      }
      into = args[++i];
      return true;
    };
    if (s == "--batch") {
      a.batch = true;
    } else if (s == "--check") {
      a.check = true;
      if (!value(a.deck)) return false;
    } else if (s == "--pictures") {
      if (!value(a.pictures)) return false;
    } else if (s == "--export") {
      if (!value(a.exports)) return false;
    } else if (s == "--markel") {
      if (!value(a.markel)) return false;
    } else if (s == "--script") {
      if (!value(a.script)) return false;
    } else if (s == "--convergence") {
      if (!value(a.convergence)) return false;
    } else if (s == "--converged") {
      if (!value(a.converged)) return false;
    } else if (s == "--help" || s == "-h") {
      a.help = true;
    } else if (s == "--version") {
      a.version = true;
    } else if (!s.empty() && s[0] == '-') {
      error = "unknown option " + s;
      return false;
    } else if (a.deck.empty()) {
      a.deck = s;
    } else {
      error = "only one input deck can be given";
      return false;
    }
  }
  // A batch run needs a deck, or a script that types one into the menu.
  if (a.batch && a.deck.empty() && a.script.empty() && !a.help && !a.version) {
    error = "no input deck given (give DECK, or a --script that types its name into the menu)";
    return false;
  }
  if (!a.pictures.empty() && !a.batch) {
    error = "--pictures works in batch mode only";
    return false;
  }
  if (!a.exports.empty() && !a.batch) {
    error = "--export works in batch mode only";
    return false;
  }
  if (a.check && (a.batch || !a.pictures.empty() || !a.exports.empty() || !a.markel.empty() || !a.script.empty() ||
                  !a.convergence.empty() || !a.converged.empty())) {
    error = "--check takes no other option";
    return false;
  }
  return true;
}

bool is_control(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// The text with each control character shown as \xNN, so that a message
// about it stays on one line.
std::string printable(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    if (!is_control(c)) {
      out += c;
      continue;
    }
    const auto u = static_cast<unsigned char>(c);
    out += {'\\', 'x', kHex[u >> 4], kHex[u & 15]};
  }
  return out;
}

// The deck's path must fit the file-name record: a file name of at most 14
// characters (the table files' header holds 14), a directory of at most 66,
// no control character (the name is written into a line of each table) and
// no blanks (the record's fields end at the first blank).
bool deck_fits_record(const std::string& deck, std::string& error) {
  if (std::any_of(deck.begin(), deck.end(), is_control)) {
    error =
        "the deck's path \"" + printable(deck) + "\" contains a control character; the program cannot take such a path";
    return false;
  }
  if (deck.find(' ') != std::string::npos) {
    error = "the deck's path \"" + deck + "\" contains a blank; the program cannot take such a path";
    return false;
  }
  if (std::any_of(deck.begin(), deck.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
    error = "the deck's path \"" + deck + "\" holds a character beyond ASCII; the program takes ASCII names only";
    return false;
  }
  // A backslash separates as "/" does: the menu reads DATA\RUN1.TXT as DATA/run1.txt.
  const std::size_t slash = deck.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? deck : deck.substr(slash + 1);
  const std::string dir = slash == std::string::npos ? std::string() : deck.substr(0, slash + 1);
  if (name.empty()) {
    error = "the deck's path \"" + deck + "\" names a directory, not a file";
    return false;
  }
  if (name.size() > 14) {
    error = "the deck's file name \"" + name +
            "\" is longer than 14 characters; the table files can record "
            "14 at most. Rename or copy the deck to a shorter name.";
    return false;
  }
  if (dir.size() > 66) {
    error = "the deck's directory \"" + dir +
            "\" is longer than 66 characters. Run the program from a directory "
            "nearer to the deck, or give a shorter path.";
    return false;
  }
  return true;
}

// "KESTO VERSION 1A (SEPT. 20, 2000)": the identity the title line is made of.
std::string version_text() {
  solver::set_program_identity();
  const textui::ProgramIdentity& id = textui::program_identity();
  const auto trimmed = [](std::string s) {
    common::left_justify(s);
    return std::string(common::trim_right(s));
  };
  return trimmed(id.name) + " VERSION " + trimmed(id.version) + " (" + trimmed(id.release_date) + ")";
}

int exit_status(common::RunEnded::Kind how, bool batch) {
  // An interactive run ends with the normal status whichever way the user
  // ended it; it fails only when it could not show its window at all.
  if (!batch) return how == common::RunEnded::Kind::stalled ? 2 : 0;
  switch (how) {
    case common::RunEnded::Kind::normal: return 0;
    case common::RunEnded::Kind::left: return 0;  // F3 on the menu: the user's own end
    case common::RunEnded::Kind::fatal: return 1;
    case common::RunEnded::Kind::abrupt: return 1;
    case common::RunEnded::Kind::interrupted: return 1;
    case common::RunEnded::Kind::stalled: return 2;
  }
  return 1;
}

// A batch run that a script's close or key ended says so: nobody saw it end.
void report_interruption(common::RunEnded::Kind how, bool batch) {
  if (!batch || how != common::RunEnded::Kind::interrupted) return;
  std::cerr << (shell::WINDOW_CLOSED() ? "kesto: the window was closed; the run ended there\n"
                                                : "kesto: a key ended the run during the sweeps; no table was written\n");
}

}  // namespace

int run_kesto(int argc, char** argv) {
  // A write past a file-size limit fails with "File too large" and takes the
  // writer's own failure path instead of ending the program on the signal.
  std::signal(SIGXFSZ, SIG_IGN);
  common::keep_freed_memory();
  Arguments a;
  std::string error;
  if (!parse(argc, argv, a, error)) {
    std::cerr << "kesto: " << error << "\n" << kUsage;
    return 2;
  }
  if (a.help) {
    std::cout << kUsage;
    return 0;
  }
  if (a.version) {
    std::cout << version_text() << '\n';
    return 0;
  }
  if (!a.deck.empty() && !deck_fits_record(a.deck, error)) {
    std::cerr << "kesto: " << error << '\n';
    return 2;
  }
  install_batch_hooks();
  if (a.check) return solver::check_deck(a.deck, std::cout);
  if (!choose_sweep_kernel(std::getenv("KESTO_SWEEP_KERNEL"), error) ||
      !choose_sweep_threads(std::getenv("KESTO_SWEEP_THREADS"), error)) {
    std::cerr << "kesto: " << error << '\n';
    return 2;
  }
  if (!a.script.empty() && !shell::LOAD_SCRIPT_FILE(a.script, error)) {
    std::cerr << "kesto: " << error << '\n';
    return 2;
  }

  if (!check_output_targets({".", a.markel, a.convergence, a.pictures, a.exports}, error)) {
    std::cerr << "kesto: " << error << '\n';
    return 2;
  }

  solver::run_options() = solver::RunOptions{a.deck, a.markel, !a.batch};
  shell::SET_BATCH_MODE(a.batch, a.pictures, a.exports);
  // The convergence line goes where someone reads it: a batch run's standard
  // error, or the terminal an interactive run was started from.
  if (!start_convergence_output(a.batch || ::isatty(STDERR_FILENO) == 1, a.convergence, error)) {
    std::cerr << "kesto: " << error << '\n';
    return 2;
  }
  if (!start_converged_output(a.converged, error)) {
    end_convergence_output();
    std::cerr << "kesto: " << error << '\n';
    return 2;
  }
  // The network is solved directly after the sweeps of every run: the
  // convergence line (standard error, the closing page of a window run) is
  // exact then, and the converged tables can be written. It costs a few per
  // cent of a full-grid run; KESTO_DIRECT_SOLVE=off leaves it out, to
  // compare runs with and without.
  const char* direct = std::getenv("KESTO_DIRECT_SOLVE");
  solver::want_converged_answer(!(direct && std::string(direct) == "off" && a.converged.empty()));
  if (a.batch) common::set_progress_hook(&batch_progress);
  // A batch run names the line of a deck's fatal page on standard error; the
  // page itself goes to standard output as always. A window run shows the
  // line on the page, below its prompt.
  solver::DeckRecorder deck_faults(false, nullptr, a.batch ? &std::cerr : nullptr, !a.batch);
  solver::set_deck_observer(&deck_faults);

  const common::RunEnded::Kind how = shell::PROCESS_ENTRY(argc, argv, &solver::RUN_DRIVER, a.batch);
  // A recording still open belongs to a run that did not come to its end: an
  // earlier MARKEL file stays as it was.
  textui::discard_markel_file();
  solver::set_deck_observer(nullptr);
  finish_batch_progress();
  common::set_progress_hook(nullptr);
  const bool convergence_written = end_convergence_output();
  report_interruption(how, a.batch);
  const bool converged_written = end_converged_output();
  solver::want_converged_answer(false);
  const int status = exit_status(how, a.batch);
  if (status == 0 && !converged_written) return 1;
  const bool all_written = convergence_written && shell::BATCH_FILES_WRITTEN() && textui::markel_file_written();
  return status == 0 && a.batch && !all_written ? 1 : status;
}

}  // namespace kesto::app
