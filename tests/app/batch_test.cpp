// Whole batch runs of the kesto executable: what the user sees on standard
// output, the exit status, and what is (and is not) written to disk.
#include <gtest/gtest.h>

#include "program_run.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

// A small sheet that relaxes quickly: a resistive plate between a 0 V and a
// 5 V electrode, with a current line.
const std::string kSmallDeck =
    "SPACE 20 12\n"
    "SI   0.01\n"
    "THICK     0.001\n"
    "RESIS_B   2 2 19 11 100.0\n"
    "LI   3 3 3 10 0.0\n"
    "LI   18 3 18 10 5.0\n"
    "CURRENT 10 3 10 10\n"
    "NST  50\n"
    "NUP    10\n"
    "EN\n";

const std::string kOldTable = "an earlier table that must survive\r\n";

fs::path with_deck(const std::string& dirname, const std::string& deckname, const std::string& deck) {
  const fs::path dir = fresh_dir(dirname);
  write_file(dir / deckname, deck);
  return dir;
}

void expect_no_tables(const fs::path& dir) {
  EXPECT_FALSE(fs::exists(dir / "VOLTS.TBL"));
  EXPECT_FALSE(fs::exists(dir / "EFIELD.TBL"));
}

}  // namespace

TEST(BatchRun, NormalRunPrintsItsPagesWritesBothTablesAndSavesTheSettings) {
  const fs::path dir = with_deck("normal", "plate.txt", kSmallDeck);
  const ProgramRun r = run_kesto(dir, {"--batch", "plate"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  // The current page, then the closing page naming the two files.
  EXPECT_NE(r.out.find("The current flow is "), std::string::npos);
  EXPECT_NE(r.out.find(" amps."), std::string::npos);
  const std::string closing =
      "*** KESTO    ** VERSION 1A     ****  SEPT. 20, 2000 ****\n"
      "\n"
      "The output files are:\n"
      "\n"
      "VOLTS.TBL=the scalar potential\n"
      "\n"
      "EFIELD.TBL=the magnitude of the electric field\n"
      "\n"
      "Use program TINTO to draw color contour maps of these files.\n"
      "\n"
      "Press any key to continue...\n";
  EXPECT_NE(r.out.find(closing), std::string::npos) << r.out;
  EXPECT_LT(r.out.find("The current flow is "), r.out.find("The output files are:"));

  const std::string volts = read_file(dir / "VOLTS.TBL");
  const std::string efield = read_file(dir / "EFIELD.TBL");
  // 33 header lines with the current, 31 without; then 20 columns of 1 + 12 lines.
  EXPECT_EQ(count_lines(volts), 33 + 20 * 13);
  EXPECT_EQ(count_lines(efield), 31 + 20 * 13);
  EXPECT_NE(volts.find("CM Input File: plate.txt     \r\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "config" / "verudo.ini"));
  // The progress bar ran on standard error and finished.
  EXPECT_NE(r.err.find("50/50"), std::string::npos);
  EXPECT_TRUE(r.out.find("relaxing") == std::string::npos);
}

TEST(BatchRun, DeckInAnotherDirectoryIsOpenedThroughItsPathAndTablesLandHere) {
  const fs::path dir = fresh_dir("elsewhere");
  write_file(dir / "decks" / "sub" / "Plate.TXT", kSmallDeck);
  // The name is completed to plate.txt and matched ignoring case.
  const ProgramRun r = run_kesto(dir, {"--batch", "decks/sub/plate"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(fs::exists(dir / "VOLTS.TBL"));
  EXPECT_TRUE(fs::exists(dir / "EFIELD.TBL"));
  EXPECT_FALSE(fs::exists(dir / "decks" / "sub" / "VOLTS.TBL"));
}

TEST(BatchRun, BatchThatCannotStartExitsWith2AndWritesNothing) {
  const fs::path dir = with_deck("nostart", "a_rather_long_name.txt", kSmallDeck);
  ProgramRun r = run_kesto(dir, {"--batch"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--batch needs a value"), std::string::npos);
  r = run_kesto(dir, {});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("no input deck given"), std::string::npos);
  r = run_kesto(dir, {"--batch", "a_rather_long_name.txt"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("longer than 14 characters"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  r = run_kesto(dir, {"--batch", "x.txt", "--script", "missing.script"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot read the script"), std::string::npos);
  write_file(dir / "bad.script", "key F99\n");
  r = run_kesto(dir, {"--batch", "x.txt", "--script", "bad.script"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("script line 1"), std::string::npos);
  r = run_kesto(dir, {"--batch", "x.txt", "--frobnicate"});
  EXPECT_EQ(r.status, 2);
  expect_no_tables(dir);
  r = run_kesto(dir, {"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage: kesto"), std::string::npos);
}

TEST(BatchRun, MissingDeckShowsItsPageAndExits1) {
  const fs::path dir = fresh_dir("missing");
  const ProgramRun r = run_kesto(dir, {"--batch", "nothere"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("FILE NOT FOUND!"), std::string::npos);
  expect_no_tables(dir);
}

// Each fatal deck ends with its page and exit status 1, and an earlier pair
// of tables in the directory is left exactly as it was.
TEST(BatchRun, FatalDecksEndWithTheirPageAndLeaveEarlierTablesUntouched) {
  struct Case {
    const char* name;
    std::string deck;
    const char* shown;
  };
  const std::vector<Case> cases = {
      {"nospace", "THICK     0.001\nEN\n", "Fatal Error: file must contain a \"SPACE\" command."},
      {"toobig", "SPACE 251 110\n", "FATAL ERROR: DIMENSIONS EXCEEDED"},
      {"nothick", "SPACE 10 10\nCE   5 5 1.0\n", "Fatal error: you must specify a THICKNESS"},
      {"oblique", "SPACE 20 20\nTHICK     1.0\nCURRENT 5 5 10 10\n", "must be either horizontal or vertical."},
      {"badnum", "SPACE 10 10\nCE   5 x 1.0\n", "Error reading an input line!"},
      {"edge", "SPACE 10 10\nTHICK     1.0\nINSUL 1 1 5 5\n", "Edge cells must be grounded or at fixed potential."},
      {"nupzero", "SPACE 10 10\nTHICK     1.0\nCE   5 5 1.0\nNUP    0\n", "(NUP)"},
      {"single", "SPACE 10 10\nTHICK     1.0\nRESIS_B   2 2 9 9 10.0\nNST  5\n", "ZDELTA,ZLOW "},
  };
  for (const Case& c : cases) {
    const fs::path dir = with_deck(std::string("fatal_") + c.name, "deck.txt", c.deck);
    write_file(dir / "VOLTS.TBL", kOldTable);
    write_file(dir / "EFIELD.TBL", kOldTable);
    const ProgramRun r = run_kesto(dir, {"--batch", "deck"});
    EXPECT_EQ(r.status, 1) << c.name << "\n" << r.out << r.err;
    EXPECT_NE(r.out.find(c.shown), std::string::npos) << c.name << "\n" << r.out;
    EXPECT_NE(r.out.find("Press any key to continue..."), std::string::npos) << c.name;
    EXPECT_EQ(read_file(dir / "VOLTS.TBL"), kOldTable) << c.name;
    EXPECT_EQ(read_file(dir / "EFIELD.TBL"), kOldTable) << c.name;
    EXPECT_TRUE(fs::exists(dir / "config" / "verudo.ini")) << c.name << ": the settings are saved on a fatal stop";
  }
}

TEST(BatchRun, KeyDuringTheSweepsEndsTheRunWithoutTables) {
  std::string deck = kSmallDeck;
  deck.replace(deck.find("NST  50"), 7, "NST  5000");
  const fs::path dir = with_deck("busykey", "plate.txt", deck);
  write_file(dir / "keys.script", "key Enter\nbusy-key x 20\n");  // past the geometry view, then a key
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", "keys.script"});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  expect_no_tables(dir);
  EXPECT_EQ(r.out.find("The output files are:"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "config" / "verudo.ini"));
}

TEST(BatchRun, ClosingTheWindowOnTheClosingPageEndsFatallyAfterTheTables) {
  const fs::path dir = with_deck("closeend", "plate.txt", kSmallDeck);
  // Geometry view, final map, current page, then the window is closed.
  write_file(dir / "close.script", "key Enter\nkey Enter\nkey Enter\nclose\n");
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", "close.script"});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.out.find("The output files are:"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "VOLTS.TBL"));
}

TEST(BatchRun, PicturesAreSavedAsPngFilesNamedForThem) {
  const fs::path dir = with_deck("pictures", "plate.txt", kSmallDeck);
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--pictures", "out"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* name : {"geometry.png", "potential.png"}) {
    const std::string png = read_file(dir / "out" / name);
    ASSERT_GT(png.size(), 24u) << name;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << name;
    // IHDR: width and height, big-endian, at bytes 16-23.
    const auto be32 = [&](std::size_t at) {
      return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
             (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(be32(16), 1400u) << name;
    EXPECT_EQ(be32(20), 1000u) << name;
  }
}

TEST(BatchRun, MarkelFileHoldsTheHeaderAndEveryPictureOfTheRun) {
  const fs::path dir = with_deck("markel", "plate.txt", kSmallDeck);
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--markel", "run.mkl"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream in(read_file(dir / "run.mkl"));
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[0], "run.mkl");
  EXPECT_EQ(lines[1], "TOPSCR PR      17.36      1.000 D M P");
  EXPECT_EQ(lines[2].substr(0, 6), "DATE: ");
  EXPECT_EQ(lines[2].size(), 15u);
  EXPECT_EQ(lines[3], "CM PROGRAM KESTO   ");
  EXPECT_EQ(lines[4], "CM CM");
  EXPECT_EQ(lines[5], "LA  1   .1000000E+01   .0000000E+00   .0000000E+00 ");
  // The geometry view begins right after the header; the final map follows.
  EXPECT_EQ(lines[6], "CM");
  EXPECT_EQ(lines[7], "CM ");
  EXPECT_EQ(lines[8], "CM");
  EXPECT_EQ(lines[9], "SC MODE HOT");
  int pages = 0, current_lines = 0;
  for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
    if (lines[i] == "CM" && lines[i + 1] == "CM " && lines[i + 2] == "CM") ++pages;
    if (lines[i].rfind("LI ", 0) == 0) ++current_lines;
  }
  EXPECT_GE(pages, 2);
  EXPECT_GE(current_lines, 1);  // the current line of the geometry view, at least
}

TEST(BatchRun, UnwritableMarkelFileIsAFatalPage) {
  const fs::path dir = with_deck("markel_bad", "plate.txt", kSmallDeck);
  fs::create_directories(dir / "run.mkl");  // a directory where the file should go
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--markel", "run.mkl"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("MARKEL file cannot be written"), std::string::npos) << r.out;
  expect_no_tables(dir);
}

TEST(BatchRun, PausePicturesShowTheProgressDrawnOnTheWindow) {
  std::string deck = kSmallDeck;
  deck.replace(deck.find("NST  50"), 7, "NST  20");
  deck.insert(0, "PAUSE\n");
  const fs::path dir = with_deck("pause_pictures", "plate.txt", deck);
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--pictures", "out"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string first = read_file(dir / "out" / "progress-000010.png");
  const std::string second = read_file(dir / "out" / "progress-000020.png");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  // The progress of each pause (its counter and recoloured cells) is drawn on
  // the window only; the saved pictures hold it, so they differ.
  EXPECT_NE(first, second);
  EXPECT_TRUE(fs::exists(dir / "out" / "potential.png"));
}

TEST(InteractiveRun, WithoutADisplayItSaysSoAndFails) {
  const fs::path dir = with_deck("nodisplay", "plate.txt", kSmallDeck);
  const ProgramRun r = run_kesto(dir, {"plate"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
  expect_no_tables(dir);
}

TEST(InteractiveRun, AScriptDrivesTheWholeRunOffscreen) {
  const fs::path dir = with_deck("scripted", "plate.txt", kSmallDeck);
  // Geometry view, final map, current page, closing page.
  write_file(dir / "run.script", "key Enter\nkey F1\nkey x\nkey Enter\n");
  const ProgramRun r = run_kesto(dir, {"plate", "--script", "run.script"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir / "VOLTS.TBL"));
  EXPECT_TRUE(fs::exists(dir / "EFIELD.TBL"));
  EXPECT_EQ(r.out, "");  // pages go to standard output in batch mode only
}

TEST(InteractiveRun, AScriptThatEndsEarlyClosesTheWindowInsteadOfHanging) {
  const fs::path dir = with_deck("scripted_short", "plate.txt", kSmallDeck);
  write_file(dir / "short.script", "key Enter\n");
  const ProgramRun r = run_kesto(dir, {"plate", "--script", "short.script"});
  EXPECT_EQ(r.status, 0);  // an interactive run ends normally, even through the fatal stop
  expect_no_tables(dir);   // the final map's wait saw the window close
}
