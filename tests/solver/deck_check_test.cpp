// The deck check: the listing of what the reader did, every trap with its
// line, every line that would stop a run with its column and page, the exit
// status, and that neither the check nor the batch run's recorder changes
// what a run computes.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "solver/deck_check.h"
#include "solver/deck_observer.h"
#include "solver/deck_recorder.h"
#include "solver/solver_fixture.h"

using namespace kesto;
using namespace kesto::testing;

namespace {

struct Checked {
  int status = -1;
  std::string report;
};

Checked check(const std::string& deck) {
  fresh_run_state();
  write_file("deck.txt", deck);
  std::ostringstream out;
  Checked c;
  c.status = solver::check_deck("deck", out);
  c.report = out.str();
  return c;
}

// The rows of one section of the report ("Warnings:"), up to the blank line after it.
std::vector<std::string> section(const std::string& report, const std::string& heading) {
  std::vector<std::string> rows;
  const auto all = split_lines(report);
  auto it = std::find(all.begin(), all.end(), heading);
  if (it == all.end()) return rows;
  for (++it; it != all.end() && !it->empty(); ++it) rows.push_back(*it);
  return rows;
}

// A sheet that needs nothing more: lines 1 to 4, the tested lines from line 5.
// The default NSTEP of 1000 is enough for 20 x 10 cells.
const std::string kSheet = lines({"SPACE 20 10", "THICK     0.001", "RESIS_B   2 2 19 9 100.0", "CE   10 5 1.0"});

struct Trap {
  std::string deck_tail;  // lines 5 on
  int status;
  std::vector<std::string> warnings;
};

}  // namespace

TEST(DeckCheck, EachTrapIsOneWarningWithItsLine) {
  const Trap traps[] = {
      {"SI  15\n",
       1,
       {"  line 5: \"15\" begins in column 5, left of column 6 where SI reads its numbers: only \"5\" (s = 5) is "
        "read"}},
      {"SI 0.01\n",
       1,
       {"  line 5: \"0.01\" begins in column 4, left of column 6 where SI reads its numbers: only \"01\" (s = 1) is "
        "read"}},
      {"RESIS_L   2 3 9 3 5.0\n",
       2,
       {"  line 5: \"2\" (column 11) lies left of column 12 where RESIS_L reads its numbers: it is lost"}},
      {"THICK 1.0\n",
       2,  // and nothing is left to read from column 11
       {"  line 5: \"1.0\" (columns 7-9) lies left of column 11 where THICK reads its numbers: it is lost"}},
      {"LINES 2 2 2 9 1.0\n",
       1,
       {"  line 5: \"LINES\" begins with LI, so the line is read as a LI command: probably a comment (begin "
        "comments with \"*\")"}},
      {"PAUSED at every display\n",
       1,
       {"  line 5: \"PAUSED\" begins with PAUSE, so the line is read as a PAUSE command: probably a comment (begin "
        "comments with \"*\")"}},
      {"ENERGY is conserved\nCE   5 5 1.0\n",
       1,
       {"  line 5: \"ENERGY\" begins with EN, so the deck ends here: probably a comment (begin comments with \"*\")",
        "  line 6: this CE line comes after EN (line 5), which ends the deck: it is not read"}},
      {"ce   5 5 1.0\nThick     0.002\nend\n",
       1,
       {"  line 5: \"ce\" is not a command: commands are in capitals (CE), so this line is read as a comment",
        "  line 6: \"Thick\" is not a command: commands are in capitals (THICK), so this line is read as a comment",
        "  line 7: \"end\" is not a command: commands are in capitals (EN), so this line is read as a comment"}},
      {"SPACE 30 30\n", 1, {"  line 5: a second SPACE line is not read: the grid is 20 x 10 from line 1"}},
      {"CIRCLE 30 5 0 1.0\n", 1, {"  line 5: the disc reaches outside the 20 x 10 grid: 6 of its cells are left out"}},
      {"CIRCLE 20 5 0 1.0\n",
       1,
       {"  line 5: the disc reaches outside the 20 x 10 grid: 3 of its cells are left out; 3 of its cells lie on "
        "the edge ring and hold 1 V there"}},
      {"CE   2 2 2E7\n",
       1,
       {"  line 5: a potential of 2e+07 V: is that meant? Beyond a megavolt is far outside what a resistive sheet "
        "takes"}},
      {"RESIS_B   3 3 4 4 1E-10\n",
       1,
       {"  line 5: a resistivity of 1e-10 ohm-metres: is that meant? Materials range from about 1E-8 (metals) to "
        "1E16 (insulators)"}},
      {"SI   5000\n",
       1,
       {"  line 5: cells 5000 m wide: is that meant? SI is in metres, and cells below 1 micrometre or above 1 km "
        "are far outside the usual range"}},
      {"RESIS_B   3 3 4 4 1E17\nSI   1E-7\nTHICK     1E-10\n",
       1,
       {"  line 5: a resistivity of 1e+17 ohm-metres: is that meant? Materials range from about 1E-8 (metals) to "
        "1E16 (insulators)",
        "  line 6: cells 1e-07 m wide: is that meant? SI is in metres, and cells below 1 micrometre or above 1 km "
        "are far outside the usual range",
        "  line 7: a sheet 1e-10 m thick: is that meant? THICK is in metres, and sheets thinner than 1 nm or thicker "
        "than 1 m are far outside the usual range"}},
      {"THICK     5.0\n",
       1,
       {"  line 5: a sheet 5 m thick: is that meant? THICK is in metres, and sheets thinner than 1 nm or thicker "
        "than 1 m are far outside the usual range"}},
      {"NST  10\n",
       1,
       {"  line 5: NSTEP 10 may be too few sweeps to settle: on an empty grid of 20 x 10 cells the slowest error "
        "shrinks by a factor e only every 13 sweeps, so an estimated 62 sweeps bring it below 1 % (an estimate "
        "from the grid size: electrodes inside the sheet shorten it, insulating cuts lengthen it)"}},
      // The current is summed from the line's first end to its last.
      {"CURRENT 10 8 10 3\n",
       1,
       {"  line 5: the current line is written from its upper end (row 8) to its lower end (row 3): the current is "
        "summed from the first end to the last, so no cell is summed and the run reports 0.0 A; swap JCS and JCE"}},
      {"CURRENT 15 5 4 5\n",
       1,
       {"  line 5: the current line is written from its right end (column 15) to its left end (column 4): the "
        "current is summed from the first end to the last, so no cell is summed and the run reports 0.0 A; swap ICS "
        "and ICE"}},
      {"CURRENT 10 999 10 0\n",
       1,
       {"  line 5: the current line is written from its upper end (row 999) to its lower end (row 0): the current is "
        "summed from the first end to the last, so no cell is summed and the run reports 0.0 A; swap JCS and JCE"}},
      {"CURRENT 4 10 4 10\n",
       1,
       {"  line 5: the current line keeps no cell once its ends are kept off the edge ring (rows 10 to 9): the "
        "current is summed from the first end to the last, so no cell is summed and the run reports 0.0 A"}},
      // Not traps: a current line of one interior cell, or clamped to the grid from either end.
      {"CURRENT 10 2 10 2\nCURRENT 3 0 3 999\nCURRENT 0 3 999 3\nCURRENT 18 9 18 9\n", 0, {}},
      // Not traps: a command's own long word, a grounded disc on the edge, a comment in prose.
      {"THICKNESS 0.001\nCELL 5 5 1.0\nNSTEP  100\nCIRCLE 20 5 0 0.0\nLine 5 is an electrode\nEND\n",
       1,
       {"  line 8: the disc reaches outside the 20 x 10 grid: 3 of its cells are left out"}},
  };
  for (const Trap& t : traps) {
    SCOPED_TRACE(t.deck_tail);
    const Checked c = check(kSheet + t.deck_tail);
    EXPECT_EQ(c.status, t.status) << c.report;
    EXPECT_EQ(section(c.report, "Warnings:"), t.warnings) << c.report;
  }
}

TEST(DeckCheck, DefaultSweepsAreEstimatedAtTheSpaceLine) {
  const Checked c = check(lines({"* full grid", "SPACE 250 110", "THICK     0.001"}));
  EXPECT_EQ(section(c.report, "Warnings:"),
            std::vector<std::string>{
                "  line 2: the default NSTEP 1000 may be too few sweeps to settle: on an empty grid of 250 x 110 "
                "cells the slowest error shrinks by a factor e only every 2020 sweeps, so an estimated 9304 sweeps "
                "bring it below 1 % (an estimate from the grid size: electrodes inside the sheet shorten it, "
                "insulating cuts lengthen it)"});
}

TEST(DeckCheck, CleanDeckListsWhatWasReadAndReportsNothing) {
  const Checked c = check(lines({"* a clean deck", "SPACE 20 10", "SI   0.01", "THICK     0.001",
                                 "RESIS_B   2 2 19 9 100.0", "LI   3 3 3 8 5.0", "ELLIPSE 10 5 3 2 -1.5",
                                 "CURRENT 10 3 10 8", "NSTEP 100", "NUP    10", "PAUSE", "EN", "* after the end"}));
  EXPECT_EQ(c.status, 0);
  EXPECT_EQ(c.report,
            "Checking deck.txt as a run reads it.\n"
            "\n"
            "The lines the reader acts on, the column each command reads its numbers from, and the numbers:\n"
            " line  command  column  numbers\n"
            "    2  SPACE         6  NX=20 NY=10\n"
            "    3  SI            6  s=0.01\n"
            "    4  THICK        11  t=0.001\n"
            "    5  RESIS_B      11  IS=2 JS=2 IE=19 JE=9 R=100\n"
            "    6  LI            6  IS=3 JS=3 IE=3 JE=8 V=5\n"
            "    7  ELLIPSE       9  I=10 J=5 A=3 B=2 V=-1.5\n"
            "    8  CURRENT       9  ICS=10 JCS=3 ICE=10 JCE=8\n"
            "    9  NST           6  n=100\n"
            "   10  NUP           8  n=10\n"
            "   11  PAUSE            a key is waited for at every display\n"
            "   12  EN               end of the deck: later lines are not read\n"
            "\n"
            "Sweeps: 23 sweeps bring this deck's potential within 6.5 mV (0.1 % of its range of 6.5 V) of the "
            "converged one (counted by sweeping against the network solved directly); NSTEP is 100.\n"
            "\n"
            "deck.txt: no lines that stop a run, no warnings.\n");
}

TEST(DeckCheck, GoesOnPastEveryLineThatStopsARunAndNamesItsColumnAndPage) {
  const Checked c = check(lines(
      {"SPACE 20 10", "THICK 0.5", "LI   2 2 9 5", "CE   30 4 1.0", "CE   3 4 1.0", "CURRENT 5 5 9 9", "NUP    0"}));
  EXPECT_EQ(c.status, 2);
  EXPECT_EQ(section(c.report, "Lines that stop a run (a run stops at the first):"),
            (std::vector<std::string>{
                "  line 2, column 11: t is missing: nothing to read from column 11 on",
                "      Error reading an input line!",
                "  line 3, column 13: V is missing: nothing to read from column 13 on",
                "      Error reading an input line!",
                "  line 4, column 6: I = 30",
                "       FATAL ERROR: INPUT CELL OUT OF RANGE",
                "       I=          30 NX=          20",
                "       J=           4 NY=          10",
                "  line 6, column 13: ICE = 9",
                "      Fatal error: the line for finding current flow",
                "      must be either horizontal or vertical.",
                "  end of the deck: no THICK line sets it",
                "      Fatal error: you must specify a THICKNESS for the resistive material.",
                "  line 7, column 8: n = 0",
                "      Fatal error: the number of sweeps between displays (NUP)",
                "      must be greater than zero.",
            }));
  // The lines after the first fault are still read and listed.
  EXPECT_NE(c.report.find("    5  CE            6  I=3 J=4 V=1\n"), std::string::npos) << c.report;
}

TEST(DeckCheck, ColumnAtFaultOfEachKindOfFatalLine) {
  const std::string sheet = "SPACE 20 10\nTHICK     0.001\n";  // lines 1 and 2
  const std::pair<std::string, std::string> cases[] = {
      {"SPACE 2 10\n", "  line 1, column 7: NX = 2"},
      {sheet + "CE   4 0 1.0\n", "  line 3, column 8: J = 0"},
      {sheet + "LI   2 2 2 11 1.0\n", "  line 3, column 12: JE = 11"},
      {sheet + "INSUL 2 2 20 5\n", "  line 3, column 11: IE = 20"},
      {sheet + "RESIS_B   2 2 5 5 -1.0\n", "  line 3, column 19: R = -1"},
      {sheet + "CURRENT 2 3 2 8\n", "  line 3, column 9: ICS = 2"},
      {sheet + "CURRENT 3 2 9 2\n", "  line 3, column 11: JCS = 2"},
      {sheet + "CE   4 4 x\n", "  line 3, column 10: V must be a number, the line has \"x\""},
      {sheet + "CE   4,,1.0\n", "  line 3, column 8: J is missing: the field at column 8 is empty"},
      {sheet + "CE   4 4 1E39\n", "  line 3, column 10: V must be a finite number, the line has \"1E39\""},
      {sheet + "SI   0\n", "  line 3, column 6: s = 0"},
      {sheet + "THICK     -1E-3\n", "  line 3, column 11: t = -0.001"},
      {sheet + "CE   4 4 2E37\nCE   5 5 3E36\n", "  line 3, column 10: V = 2e+37"},
      // The first pass reads the SPACE line before any other, wherever it stands.
      {"THICK\nCE   4 4 1.0\nEN\nSPACE x\n", "  line 4, column 7: NX must be a whole number, the line has \"x\""},
      {"THICK     1E-3\nEN\nspace 20 10\n", "  end of the deck: no SPACE line"},
  };
  for (const auto& [deck, where] : cases) {
    SCOPED_TRACE(deck);
    const Checked c = check(deck);
    EXPECT_EQ(c.status, 2);
    const auto rows = section(c.report, "Lines that stop a run (a run stops at the first):");
    ASSERT_FALSE(rows.empty()) << c.report;
    EXPECT_EQ(rows[0], where) << c.report;
  }
  fresh_run_state();
  std::ostringstream out;
  EXPECT_EQ(solver::check_deck("nowhere", out), 2);
  EXPECT_EQ(section(out.str(), "Lines that stop a run (a run stops at the first):"),
            (std::vector<std::string>{"  the deck file cannot be opened or read", "      FILE NOT FOUND!"}));
}

// The recorder of a batch run names the line of the fatal page and lets the
// run end there; the check's recorder leaves no trace on the next run.
TEST(DeckCheck, ReadingWithARecorderOrAfterACheckComputesTheSameTables) {
  const std::filesystem::path examples = std::filesystem::path(KESTO_SOURCE_DIR) / "examples";
  for (const std::string name : {"plate.txt", "rings.txt", "strip.txt"}) {
    SCOPED_TRACE(name);
    std::filesystem::copy_file(examples / name, name, std::filesystem::copy_options::overwrite_existing);
    const auto run = [&] {
      fresh_run_state();
      solver::grid().DECK_NAME = common::pad(name, 14);
      EXPECT_FALSE(run_captured(solver_phases).ended);
      return read_file("VOLTS.TBL") + read_file("EFIELD.TBL");
    };
    const std::string plain = run();
    std::ostringstream diagnostics;
    solver::DeckRecorder recorder(false, nullptr, &diagnostics);
    solver::set_deck_observer(&recorder);
    EXPECT_EQ(run(), plain);
    solver::set_deck_observer(nullptr);
    EXPECT_EQ(diagnostics.str(), "");
    std::ostringstream report;
    solver::check_deck(name, report);
    EXPECT_EQ(run(), plain);
  }
}

TEST(DeckCheck, BatchRecorderNamesTheFatalLineAndTheRunStillEndsThere) {
  fresh_run_state();
  use_deck(lines({"SPACE 20 10", "THICK     0.001", "RESIS_L   2 3 9 3 5.0", "CE   3 3 1.0"}));
  std::ostringstream diagnostics;
  solver::DeckRecorder recorder(false, nullptr, &diagnostics);
  solver::set_deck_observer(&recorder);
  const Captured c = run_captured(solver::READ_DECK);
  solver::set_deck_observer(nullptr);
  EXPECT_TRUE(c.ended);
  EXPECT_EQ(diagnostics.str(), "kesto: deck.txt: line 3, column 19: JE must be a whole number, the line has \"5.0\"\n");
  EXPECT_EQ(solver::grid().FIXED[3][3], 0);  // the run read no further
}

// A deck that reads cleanly but leaves every cell at one potential stops the
// run at its first colour bar; a deck that already stops a run is not judged
// by the potentials it left.
TEST(DeckCheck, OnePotentialEverywhereIsListedWithTheColourBarsPage) {
  const std::string sheet = "SPACE 4 4\nTHICK     0.001\n";
  const struct {
    std::string deck;
    int status;
    std::vector<std::string> rows;
  } cases[] = {
      {sheet,
       2,
       {"  end of the deck: every cell is at 0 V, so the colour scale of the potential map has no range",
        "      >>>ERROR:", "      ZDELTA,ZLOW   0.0000000E+00  0.0000000E+00"}},
      {sheet + "LI   1 1 1 4 -2.5\nLI   2 1 2 4 -2.5\nLI   3 1 3 4 -2.5\nLI   4 1 4 4 -2.5\n",
       2,
       {"  end of the deck: every cell is at -2.5 V, so the colour scale of the potential map has no range",
        "      >>>ERROR:", "      ZDELTA,ZLOW   0.0000000E+00 -0.2500000E+01"}},
      {sheet + "CE   2 2 1E-30\n", 0, {}},
      {"SPACE 4 4\nCE   2 x 1.0\nTHICK     0.001\n",
       2,
       {"  line 2, column 8: J must be a whole number, the line has \"x\"", "      Error reading an input line!"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.deck);
    const Checked checked = check(c.deck);
    EXPECT_EQ(checked.status, c.status) << checked.report;
    EXPECT_EQ(section(checked.report, "Lines that stop a run (a run stops at the first):"), c.rows) << checked.report;
  }
}

// However long the deck, the batch run's recorder keeps only the lines a
// closing check can name: the last THICK, SI and NUP lines, the first line
// with the largest potential, and the line being read.
TEST(DeckCheck, BatchRecorderKeepsOnlyTheLinesAClosingCheckCanName) {
  const auto filler = [](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "CE   6 6 1.0\n";
    return s;
  };
  const struct {
    std::string deck;
    std::string named;
    std::vector<std::int32_t> kept;
  } cases[] = {
      {"SPACE 20 10\nTHICK     0.001\nCE   5 5 -3.0\n" + filler(200) + "THICK     0.002\nSI   0.01\nCE   7 7 3.0\n" +
           filler(100) + "NUP    0\n",
       "line 307, column 8: n = 0",
       {3, 204, 205, 307}},
      {"SPACE 20 10\nTHICK     -1E-3\n" + filler(200) + "NUP    5\n", "line 2, column 11: t = -0.001", {2, 3, 203}},
      {"SPACE 20 10\nTHICK     0.001\nSI   0\n" + filler(200), "line 3, column 6: s = 0", {2, 3, 4, 203}},
      {"SPACE 20 10\nTHICK     0.001\n" + filler(100) + "CE   8 8 2E37\n" + filler(100),
       "line 103, column 10: V = 2e+37",
       {2, 103, 203}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.named);
    fresh_run_state();
    use_deck(c.deck);
    std::ostringstream diagnostics;
    solver::DeckRecorder recorder(false, nullptr, &diagnostics);
    solver::set_deck_observer(&recorder);
    EXPECT_TRUE(run_captured(solver::READ_DECK).ended);
    solver::set_deck_observer(nullptr);
    EXPECT_EQ(diagnostics.str(), "kesto: deck.txt: " + c.named + "\n");
    std::vector<std::int32_t> kept;
    for (const solver::RecordedCommand& rc : recorder.commands()) kept.push_back(rc.line);
    EXPECT_EQ(kept, c.kept);
  }
}

TEST(DeckCheck, WithoutAGridSizeTheRestIsReadOnTheLargestGridAndNoSweepsAreEstimated) {
  const Checked c = check(lines({"THICK     0.001", "CE   250 110 1.0", "CE   251 5 1.0", "EN", "space 20 10"}));
  EXPECT_EQ(section(c.report, "Lines that stop a run (a run stops at the first):"),
            (std::vector<std::string>{
                "  end of the deck: no SPACE line", "      Fatal Error: file must contain a \"SPACE\" command.",
                "  line 3, column 6: I = 251", "       FATAL ERROR: INPUT CELL OUT OF RANGE",
                "       I=         251 NX=         250", "       J=           5 NY=         110"}));
  EXPECT_EQ(section(c.report, "Warnings:"), std::vector<std::string>{});
}
