// Reading the input deck: every command with its argument column, the order
// in which prefixes are tried, every fatal page, decks from other systems,
// binary and oversized input, and finding the deck file.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "solver/deck_observer.h"
#include "solver/deck_reader.h"
#include "solver/deck_recorder.h"
#include "solver/grid.h"
#include "solver/solver_fixture.h"
#include "textui/messages.h"

using namespace kesto;
using namespace kesto::testing;
using solver::grid;

namespace {

const std::string kThick = "THICK     0.001";  // the number starts in column 11

// The text of a NOTICE_PAGE (blank title) showing `message`.
std::string notice_page(const std::string& message) {
  return "\n\n\n\n" + message + "\n\n\n\nPress any key to continue...\n";
}

// The text of a page of MSG_PAGE, MSG_NEXT..., MSG_PAUSE (blank title).
std::string message_page(std::initializer_list<std::string> messages) {
  std::string page = "\n";
  for (const auto& m : messages) page += "\n" + m + "\n";
  return page + "\nPress any key to continue...\n";
}

bool shows(const Captured& c, const std::string& page) { return c.pages.find(page) != std::string::npos; }

void expect_fatal(const Captured& c, const std::string& page) {
  EXPECT_TRUE(c.ended);
  EXPECT_EQ(c.how, common::RunEnded::Kind::fatal);
  EXPECT_TRUE(shows(c, page)) << "pages:\n" << c.pages << "\nexpected:\n" << page;
}

// The deck through the solver's phases ends on `page`, and no table is
// written: an earlier potential table stays as it was.
void expect_fatal_run(const std::string& deck, const std::string& page) {
  fresh_run_state();
  write_file("VOLTS.TBL", "an earlier table\r\n");
  use_deck(deck);
  expect_fatal(run_captured(solver_phases), page);
  EXPECT_EQ(read_file("VOLTS.TBL"), "an earlier table\r\n");
  EXPECT_FALSE(std::filesystem::exists("EFIELD.TBL"));
}

void expect_read(const Captured& c) { ASSERT_FALSE(c.ended) << c.pages; }

std::string twelve(std::int64_t v) {  // an integer of a free-format message line
  std::string s = std::to_string(v);
  return std::string(12 - s.size(), ' ') + s;
}

}  // namespace

// ---- The grid from SPACE ---------------------------------------------------------

TEST(DeckSpace, SetsSizeFixesTheEdgeRingAndMakesTheInteriorInsulating) {
  expect_read(read_deck_text(lines({"SPACE 20 10", kThick})));
  const auto& g = grid();
  EXPECT_EQ(g.NX, 20);
  EXPECT_EQ(g.NY, 10);
  for (int I = 1; I <= 20; ++I)
    for (int J = 1; J <= 10; ++J) {
      const bool edge = I == 1 || I == 20 || J == 1 || J == 10;
      EXPECT_EQ(g.FIXED[I][J], edge ? 1 : 0) << I << "," << J;
      EXPECT_EQ(g.RHO[I][J], edge ? 0.0f : 1.0E6f) << I << "," << J;
      EXPECT_EQ(g.V[I][J], 0.0f);
    }
  EXPECT_EQ(g.VMIN, 0.0f);
  EXPECT_EQ(g.VMAX, 0.0f);
  EXPECT_EQ(g.NSTEP, 1000);
  EXPECT_EQ(g.NUPD, 100);
  EXPECT_EQ(g.DX, 1.0f);
  EXPECT_EQ(g.HALFDX, 0.5f);
  EXPECT_FLOAT_EQ(g.THICK, 0.001f);
}

TEST(DeckSpace, FullCapacityIsAcceptedAndOnlyTheFirstSpaceLineCounts) {
  expect_read(read_deck_text(lines({"comment first", "SPACE 250 110", "SPACE 10 10", kThick})));
  const auto& g = grid();
  EXPECT_EQ(g.NX, 250);
  EXPECT_EQ(g.NY, 110);
  EXPECT_EQ(g.FIXED[250][110], 1);
  EXPECT_EQ(g.FIXED[250][55], 1);
  EXPECT_EQ(g.FIXED[125][110], 1);
  EXPECT_EQ(g.FIXED[249][109], 0);
  EXPECT_EQ(g.RHO[249][109], 1.0E6f);
}

TEST(DeckSpace, SpaceIsFoundPastAnEnLine) {
  expect_read(read_deck_text(lines({kThick, "END of the commands", "SPACE 12 8"})));
  EXPECT_EQ(grid().NX, 12);
  // ... but the EN line ends the second pass, so THICK was never read.
  expect_fatal_run(lines({"SPACE 12 8", "EN", kThick}),
                   notice_page("Fatal error: you must specify a THICKNESS for the resistive material."));
}

TEST(DeckSpace, FatalPages) {
  expect_fatal_run((lines({"EN", "CE   2 2 1.0", kThick})),
                   notice_page("Fatal Error: file must contain a \"SPACE\" command."));
  expect_fatal_run((lines({"space 10 10", kThick})),
                   notice_page("Fatal Error: file must contain a \"SPACE\" command."));
  const std::string exceeded = message_page({"FATAL ERROR: DIMENSIONS EXCEEDED", "REDUCE THE SPACE SIZE IN CELLS",
                                             " MAXIMUM SIZE IS NX =" + twelve(250) + " BY NY=" + twelve(110)});
  expect_fatal_run((lines({"SPACE 251 110", kThick})), exceeded);
  expect_fatal_run((lines({"SPACE 250 111", kThick})), exceeded);
  expect_fatal_run((lines({"SPACE 3 50", kThick})), notice_page("FATAL ERROR: SPACE SIZE TOO SMALL"));
  expect_fatal_run((lines({"SPACE 50 -4", kThick})), notice_page("FATAL ERROR: SPACE SIZE TOO SMALL"));
  expect_fatal_run((lines({"SPACE 50", kThick})), notice_page("Error reading an input line!"));
  expect_fatal_run((lines({"SPACE 50 4.5", kThick})), notice_page("Error reading an input line!"));
}

// ---- Commands and their columns ---------------------------------------------------

TEST(DeckCommands, CellSizeIsReadFromColumn6) {
  expect_read(read_deck_text(lines({"SPACE 10 10", "SI 0.01", kThick})));
  EXPECT_EQ(grid().DX, 1.0f);  // "01" from column 6
  expect_read(read_deck_text(lines({"SPACE 10 10", "SI   0.01", kThick})));
  EXPECT_EQ(grid().DX, 0.01f);
  EXPECT_EQ(grid().HALFDX, 0.005f);
}

TEST(DeckCommands, ThicknessIsReadFromColumn11) {
  expect_fatal_run((lines({"SPACE 10 10", "THICK 0.5"})), notice_page("Error reading an input line!"));
  expect_read(read_deck_text(lines({"SPACE 10 10", "THICK     0.002"})));
  EXPECT_EQ(grid().THICK, 0.002f);
}

TEST(DeckCommands, StepsAndDisplayInterval) {
  expect_read(read_deck_text(lines({"SPACE 10 10", "NSTEP 500", "NUP    50", kThick})));
  EXPECT_EQ(grid().NSTEP, 500);
  EXPECT_EQ(grid().NUPD, 50);
  EXPECT_EQ(grid().SINGLE_STEP, 0);
  EXPECT_EQ(grid().PAUSE_EACH, 0);
  expect_fatal_run((lines({"SPACE 10 10", "NSTEP 5.5", kThick})), notice_page("Error reading an input line!"));
  expect_fatal_run((lines({"SPACE 10 10", "NUP 50", kThick})), notice_page("Error reading an input line!"));
}

TEST(DeckCommands, SinglStepForcesOneSweepPerDisplayAndNeverSetsTheCellSize) {
  expect_read(read_deck_text(lines({"SPACE 10 10", "NUP    50", "SINGLE STEP 0.5", "PAUSE", kThick})));
  EXPECT_EQ(grid().SINGLE_STEP, 1);
  EXPECT_EQ(grid().NUPD, 1);
  EXPECT_EQ(grid().PAUSE_EACH, 1);
  EXPECT_EQ(grid().DX, 1.0f);
}

TEST(DeckCommands, CellsAnywhereInTheGridIncludingTheEdge) {
  expect_read(read_deck_text(
      lines({"SPACE 10 10", "CE   1 1 5.0", "CE   3,4, -2.5 volts", "CE   6 6 1.0", "CE   6 6 2.0", kThick})));
  const auto& g = grid();
  EXPECT_EQ(g.V[1][1], 5.0f);
  EXPECT_EQ(g.FIXED[3][4], 1);
  EXPECT_EQ(g.V[3][4], -2.5f);
  EXPECT_EQ(g.V[6][6], 2.0f);  // the later line wins
  EXPECT_EQ(g.VMIN, -2.5f);
  EXPECT_EQ(g.VMAX, 5.0f);
}

TEST(DeckCommands, CellOutOfRangePages) {
  expect_fatal_run((lines({"SPACE 20 10", "CE   0 1 5.0", kThick})),
                   message_page({" FATAL ERROR: INPUT CELL OUT OF RANGE", " I=" + twelve(0) + " NX=" + twelve(20),
                                 " J=" + twelve(1) + " NY=" + twelve(10)}));
  expect_fatal_run((lines({"SPACE 20 10", "CE   4 11 5.0", kThick})),
                   message_page({" FATAL ERROR: INPUT CELL OUT OF RANGE", " I=" + twelve(4) + " NX=" + twelve(20),
                                 " J=" + twelve(11) + " NY=" + twelve(10)}));
  expect_fatal_run((lines({"SPACE 20 10", "CE   4 4", kThick})), notice_page("Error reading an input line!"));
}

TEST(DeckCommands, LineEndsAreChecked) {
  expect_fatal_run((lines({"SPACE 20 10", "LI   2 2 21 5 1.0", kThick})),
                   message_page({" FATAL ERROR: INPUT CELL OUT OF RANGE", " IS=" + twelve(2) + " NX=" + twelve(20),
                                 " JS=" + twelve(2) + " NY=" + twelve(10), " IE=" + twelve(21) + " NX=" + twelve(20),
                                 " JE=" + twelve(5) + " NY=" + twelve(10)}));
  expect_fatal_run((lines({"SPACE 20 10", "LI   2 0 9 5 1.0", kThick})),
                   notice_page(" FATAL ERROR: INPUT CELL OUT OF RANGE"));
  expect_fatal_run((lines({"SPACE 20 10", "LI   2 2 9 5", kThick})), notice_page("Error reading an input line!"));
  expect_read(read_deck_text(lines({"SPACE 20 10", "LI   2 2 2 9 -3.0", kThick})));
  for (int J = 1; J <= 10; ++J) EXPECT_EQ(grid().V[2][J], J >= 2 && J <= 9 ? -3.0f : 0.0f) << J;
}

TEST(DeckCommands, ShapesCommandsReachTheirShapes) {
  expect_read(read_deck_text(
      lines({"SPACE 40 40", "CIRCLE 10 10 2 1.0", "CSHELL 30 30 4 2.0", "ELLIPSE 20 20 6 3 3.0", kThick})));
  const auto& g = grid();
  EXPECT_EQ(g.V[10][10], 1.0f);   // inside the disc
  EXPECT_EQ(g.V[35][31], 2.0f);   // on the ring, at angle 0
  EXPECT_EQ(g.FIXED[30][30], 0);  // inside the ring
  EXPECT_EQ(g.V[26][20], 3.0f);   // on the ellipse, at angle 0
  EXPECT_EQ(g.FIXED[20][20], 0);
  expect_fatal_run((lines({"SPACE 40 40", "CIRCLE 10 10 2", kThick})), notice_page("Error reading an input line!"));
  expect_fatal_run((lines({"SPACE 40 40", "CSHELL 10 10 2.5 1.0", kThick})),
                   notice_page("Error reading an input line!"));
  expect_fatal_run((lines({"SPACE 40 40", "ELLIPSE 20 20 6 1.0", kThick})),
                   notice_page("Error reading an input line!"));
}

TEST(DeckCommands, ResistiveAndInsulatingRegions) {
  expect_read(read_deck_text(lines({"SPACE 20 10", "RESIS_B   2, 2, 19, 9, 100.0", kThick})));
  for (int I = 2; I <= 19; ++I)
    for (int J = 2; J <= 9; ++J) EXPECT_EQ(grid().RHO[I][J], 100.0f);
  expect_read(read_deck_text(
      lines({"SPACE 20 10", "RESIS_B   2 2 19 9 100.0", "INSUL 5 3 5 8", "RESIS_L     8 4 14 4 25.0", kThick})));
  const auto& g = grid();
  for (int J = 2; J <= 9; ++J) EXPECT_EQ(g.RHO[5][J], J >= 3 && J <= 8 ? 1.0E6f : 100.0f) << J;
  for (int I = 2; I <= 19; ++I) EXPECT_EQ(g.RHO[I][4], I >= 8 && I <= 14 ? 25.0f : (I == 5 ? 1.0E6f : 100.0f)) << I;
  EXPECT_EQ(g.FIXED[5][5], 0);  // an insulator is a free cell
}

TEST(DeckCommands, RegionsMustStayInside) {
  const std::string page = message_page({"Fatal Error:", "Edge cells must be grounded or at fixed potential.",
                                         "Only interior cells can be set to insulating or resistive."});
  expect_fatal_run((lines({"SPACE 20 10", "RESIS_B   1 1 5 5 100.0", kThick})), page);
  expect_fatal_run((lines({"SPACE 20 10", "RESIS_L     2 2 20 5 100.0", kThick})), page);
  // Each of the four coordinates alone, below 2 and beyond NX - 1 or NY - 1.
  for (const char* region :
       {"1 3 5 5", "20 3 5 5", "3 3 1 5", "3 3 20 5", "3 1 5 5", "3 10 5 5", "3 3 5 1", "3 3 5 10"})
    expect_fatal_run((lines({"SPACE 20 10", std::string("INSUL ") + region, kThick})), page);
  expect_read(read_deck_text(lines({"SPACE 20 10", "INSUL 2 2 19 9", kThick})));
  // Unreadable lines of these kinds are read errors too.
  expect_fatal_run((lines({"SPACE 20 10", "INSUL 2 2 5", kThick})), notice_page("Error reading an input line!"));
  expect_fatal_run((lines({"SPACE 20 10", "RESIS_B 2 2 5 5 1.0", kThick})),
                   notice_page("Error reading an input line!"));
}

TEST(DeckCommands, CurrentLineIsClampedAndChecked) {
  expect_read(read_deck_text(lines({"SPACE 20 30", "CURRENT 10 0 10 999", kThick})));
  const auto& g = grid();
  EXPECT_EQ(g.CURRENT_SET, 1);
  EXPECT_EQ(g.ICS, 10);
  EXPECT_EQ(g.JCS, 1);
  EXPECT_EQ(g.ICE, 10);
  EXPECT_EQ(g.JCE, 30);
  expect_read(read_deck_text(lines({"SPACE 20 30", "CURRENT -4 15 25 15", kThick})));
  EXPECT_EQ(grid().ICS, 1);
  EXPECT_EQ(grid().ICE, 20);
  EXPECT_EQ(grid().JCS, 15);

  const std::string near =
      message_page({"Fatal error: the line for finding current flow", "must be at least 3 cells from the edge."});
  expect_fatal_run((lines({"SPACE 20 30", "CURRENT 2 5 2 10", kThick})), near);
  expect_fatal_run((lines({"SPACE 20 30", "CURRENT 19 5 19 10", kThick})), near);
  expect_fatal_run((lines({"SPACE 20 30", "CURRENT 5 29 9 29", kThick})), near);
  expect_fatal_run((lines({"SPACE 20 30", "CURRENT 5 2 9 2", kThick})), near);
  expect_read(read_deck_text(lines({"SPACE 20 30", "CURRENT 3 5 3 10", "CURRENT 18 5 18 10", kThick})));
  expect_read(read_deck_text(lines({"SPACE 20 30", "CURRENT 5 3 9 3", "CURRENT 5 28 9 28", kThick})));
  expect_fatal_run(
      (lines({"SPACE 20 30", "CURRENT 5 5 9 10", kThick})),
      message_page({"Fatal error: the line for finding current flow", "must be either horizontal or vertical."}));
  expect_fatal_run((lines({"SPACE 20 30", "CURRENT 5 5 9", kThick})), notice_page("Error reading an input line!"));
}

TEST(DeckCommands, LowerCaseKeywordsAndOtherLinesAreComments) {
  expect_read(read_deck_text(lines({"SPACE 10 10", "ce   3 3 7.0", "This deck: CE   4 4 1.0", " CE  5 5 1.0",
                                    "si   0.5", "thick     9.0", "nst 5", kThick})));
  const auto& g = grid();
  for (int I = 2; I <= 9; ++I)
    for (int J = 2; J <= 9; ++J) EXPECT_EQ(g.FIXED[I][J], 0);
  EXPECT_EQ(g.DX, 1.0f);
  EXPECT_EQ(g.NSTEP, 1000);
  EXPECT_FLOAT_EQ(g.THICK, 0.001f);
}

TEST(DeckCommands, OnlyTheFirst80ColumnsAreRead) {
  // A number that runs past column 80 is cut there.
  std::string line = "CE   3 3";
  line.resize(78, ' ');
  line += "12345";
  expect_read(read_deck_text(lines({"SPACE 10 10", line, kThick})));
  EXPECT_EQ(grid().V[3][3], 12.0f);
}

// ---- Faults mended with their own pages ------------------------------------------

TEST(DeckFaults, ThicknessMissingZeroOrNegative) {
  const std::string missing = notice_page("Fatal error: you must specify a THICKNESS for the resistive material.");
  expect_fatal_run((lines({"SPACE 10 10"})), missing);
  expect_fatal_run((lines({"SPACE 10 10", "THICK     0.0"})), missing);
  expect_fatal_run((lines({"SPACE 10 10", "THICK     -0.001"})),
                   notice_page("Fatal error: the THICKNESS of the resistive material must be positive."));
}

TEST(DeckFaults, CellSizeMustBePositive) {
  const std::string page =
      message_page({"Fatal error: the cell size given by the SI line", "must be greater than zero."});
  expect_fatal_run((lines({"SPACE 10 10", "SI   0.0", kThick})), page);
  expect_fatal_run((lines({"SPACE 10 10", "SI   -0.01", kThick})), page);
  // Only the value in force at the end counts.
  expect_read(read_deck_text(lines({"SPACE 10 10", "SI   -0.01", "SI   0.02", kThick})));
  EXPECT_EQ(grid().DX, 0.02f);
}

TEST(DeckFaults, DisplayIntervalMustBePositiveOutsideSingleStep) {
  const std::string page =
      message_page({"Fatal error: the number of sweeps between displays (NUP)", "must be greater than zero."});
  expect_fatal_run((lines({"SPACE 10 10", "NUP    0", kThick})), page);
  expect_fatal_run((lines({"SPACE 10 10", "NUP    -5", kThick})), page);
  expect_read(read_deck_text(lines({"SPACE 10 10", "NUP    0", "SINGL", kThick})));
  EXPECT_EQ(grid().NUPD, 1);
}

TEST(DeckFaults, ResistivityMustBePositive) {
  const std::string page =
      message_page({"Fatal error: the resistivity of a RESIS_L or RESIS_B line", "must be greater than zero."});
  expect_fatal_run((lines({"SPACE 10 10", "RESIS_B   2 2 5 5 0.0", kThick})), page);
  expect_fatal_run((lines({"SPACE 10 10", "RESIS_L     2 2 5 5 -10.0", kThick})), page);
}

TEST(DeckFaults, NumbersThatAreNotFinite) {
  for (const std::string& bad : {std::string("CE   3 3 inf"), std::string("SI   1E39"), std::string("THICK     NaN"),
                                 std::string("LI   2 2 5 5 -Infinity"), std::string("RESIS_B   2 2 5 5 nan")}) {
    expect_fatal_run(
        lines({"SPACE 10 10", bad, kThick}),
        message_page({"Error reading an input line!", "A number in this line is infinite or not a number:", bad}));
  }
}

// ---- Decks from other systems, and input that is not a deck ----------------------

TEST(DeckText, CrLfAndTabsReadLikeBlanksAndLineEnds) {
  const std::string plain = lines({"SPACE 12 10", "CE   3 3 1.5", "LI   4 2 4 9 -2.0", "SI   0.25", kThick});
  expect_read(read_deck_text(plain));
  const std::vector<float> expected(&grid().V[0][0], &grid().V[0][0] + sizeof grid().V / sizeof(float));
  const float dx = grid().DX;

  const std::string crlf = "SPACE 12 10\r\nCE   3 3 1.5\r\nLI\t\t\t4 2 4 9\t-2.0\r\nSI\t\t\t0.25\r\n" + kThick + "\r\n";
  expect_read(read_deck_text(crlf));
  EXPECT_EQ(grid().DX, dx);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), &grid().V[0][0]));
  EXPECT_EQ(grid().V[3][3], 1.5f);

  // A deck with lone CR line ends, and one without a final line end.
  expect_read(read_deck_text("SPACE 12 10\rCE   3 3 1.5\rLI   4 2 4 9 -2.0\rSI   0.25\r" + kThick));
  EXPECT_EQ(grid().DX, dx);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), &grid().V[0][0]));
}

// A byte-order mark is passed over before column 1 of the first line, in
// both passes, and nowhere else.
TEST(DeckText, ByteOrderMarkOnlyBeforeTheFirstLine) {
  const std::string bom = "\xEF\xBB\xBF";
  // The first line is a command of the second pass, read after the rewind.
  const std::string deck = lines({"CE   3 3 1.5", "SPACE 12 10", "SI   0.25", kThick});
  const struct {
    const char* what;
    std::string text;
    float cell;  // V(3, 3) as read
  } cases[] = {
      {"mark, LF", bom + deck, 1.5f},
      {"mark, CR LF", bom + "CE   3 3 1.5\r\nSPACE 12 10\r\nSI   0.25\r\n" + kThick + "\r\n", 1.5f},
      {"mark before the second line", "SPACE 12 10\n" + bom + "CE   3 3 1.5\n" + kThick + "\n", 0.0f},
      {"mark where the second read of the file begins",
       "*" + std::string(65534, ' ') + "\n" + bom + "CE   3 3 1.5\nSPACE 12 10\n" + kThick + "\n", 0.0f},
      {"half a mark", "\xEF\xBB" + deck, 0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    expect_read(read_deck_text(c.text));
    EXPECT_EQ(grid().V[3][3], c.cell);
    EXPECT_EQ(grid().NX, 12);
  }
  expect_fatal_run(bom, notice_page("Fatal Error: file must contain a \"SPACE\" command."));
}

TEST(DeckText, BinaryFileEndsWithAPageNotACrash) {
  std::mt19937 random(7);
  std::string junk(1 << 20, '\0');
  for (char& c : junk) c = static_cast<char>(random() % 256);
  for (std::size_t i = 0; i < junk.size(); ++i)
    if (junk[i] == '\n' || junk[i] == '\r' || junk[i] == 'S') junk[i] = 'x';  // no lines, no SPACE
  expect_fatal_run((junk), notice_page("Fatal Error: file must contain a \"SPACE\" command."));

  // Binary lines inside an otherwise valid deck are comments unless they begin with a keyword.
  std::string mixed = "SPACE 10 10\n" + junk.substr(0, 5000) + "\n" + kThick + "\n";
  mixed[12] = 'Q';
  expect_read(read_deck_text(mixed));
  EXPECT_EQ(grid().NX, 10);
}

TEST(DeckText, VeryLongLinesAreCutAt80) {
  std::string deck = "SPACE 10 10\nCE   3 3 2.0 " + std::string(20'000'000, '9') + "\n" + kThick + "\n";
  expect_read(read_deck_text(deck));
  EXPECT_EQ(grid().V[3][3], 2.0f);
  EXPECT_FLOAT_EQ(grid().THICK, 0.001f);
}

// ---- Finding the deck file ---------------------------------------------------------------

TEST(DeckFile, NameCompletion) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"SHEET", "SHEET.txt     "},       {"SHEET.DAT", "SHEET.DAT     "},      {"ABCDEFGHIJ", "ABCDEFGHIJ.txt"},
      {"ABCDEFGHIJK", "ABCDEFGHIJK   "}, {"ABCDEFGHIJKLMN", "ABCDEFGHIJKLMN"}, {"A.B", "A.B           "},
  };
  for (const auto& [in, out] : cases) {
    std::string name = common::pad(in, 14);
    solver::ADD_TXT_EXT(name);
    EXPECT_EQ(name, out) << in;
  }
}

TEST(DeckFile, MissingDeck) {
  fresh_run_state();
  grid().DECK_NAME = common::pad("nosuch", 14);
  expect_fatal(run_captured(solver::READ_DECK), notice_page("FILE NOT FOUND!"));
  // A directory of the deck's name is no deck either.
  std::filesystem::create_directories("adir.txt");
  fresh_run_state();
  grid().DECK_NAME = common::pad("adir.txt", 14);
  expect_fatal(run_captured(solver::READ_DECK), notice_page("FILE NOT FOUND!"));
}

TEST(DeckFile, OpensByTheRecordsDirectoryAndIgnoringCase) {
  std::filesystem::remove_all("decks");
  std::filesystem::create_directories("decks");
  write_file("decks/Plate.TXT", lines({"SPACE 14 9", kThick}));
  fresh_run_state();
  textui::file_name_record().directory = common::pad("decks", 66);
  grid().DECK_NAME = common::pad("plate", 14);  // completed to plate.txt, found as Plate.TXT
  expect_read(run_captured(solver::READ_DECK));
  EXPECT_EQ(grid().DECK_NAME, "plate.txt     ");
  EXPECT_EQ(grid().NX, 14);
  EXPECT_EQ(common::trim_right(textui::file_name_record().full_path), "decks/plate.txt");

  // Two files that match ignoring case: neither is taken.
  write_file("decks/PLATE.txt", lines({"SPACE 15 9", kThick}));
  fresh_run_state();
  textui::file_name_record().directory = common::pad("decks", 66);
  grid().DECK_NAME = common::pad("plate.txt", 14);
  expect_fatal(run_captured(solver::READ_DECK), notice_page("FILE NOT FOUND!"));

  // The exact name wins over the others.
  write_file("decks/plate.txt", lines({"SPACE 16 9", kThick}));
  fresh_run_state();
  textui::file_name_record().directory = common::pad("decks/", 66);
  grid().DECK_NAME = common::pad("plate.txt", 14);
  expect_read(run_captured(solver::READ_DECK));
  EXPECT_EQ(grid().NX, 16);
}

// A window run has no standard error to name the line on: the fatal page
// shows it two rows below its prompt, where the deck line has one.
TEST(DeckFaults, TheRecorderOfAWindowRunPutsTheDeckLineOnTheFatalPage) {
  const std::string nup = message_page({"Fatal error: the number of sweeps between displays (NUP)", "must be greater than zero."});
  const struct {
    std::string deck, page;
    bool noted;
  } cases[] = {
      {lines({"SPACE 10 10", "CE   5 x 1.0"}), notice_page("Error reading an input line!") + "\nDeck line 2, column 8.\n",
       true},
      {lines({"SPACE 10 10", "NUP    0", kThick}), nup + "\nDeck line 2, column 8.\n", true},
      {lines({kThick, "EN"}), notice_page("Fatal Error: file must contain a \"SPACE\" command."), false},
  };
  for (const auto& c : cases) {
    solver::DeckRecorder recorder(false, nullptr, nullptr, true);
    solver::set_deck_observer(&recorder);
    fresh_run_state();
    use_deck(c.deck);
    const Captured run = run_captured(solver_phases);
    solver::set_deck_observer(nullptr);
    expect_fatal(run, c.page);
    EXPECT_EQ(run.pages.find("Deck line") != std::string::npos, c.noted) << run.pages;
  }
  // Once the reading is over no page carries the note.
  EXPECT_EQ(kesto::testing::run_captured([] { textui::set_message("x"); textui::NOTICE_PAGE(); }).pages,
            notice_page("x") + "\n");
}
