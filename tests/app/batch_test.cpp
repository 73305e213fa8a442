// Whole batch runs of the kesto executable: what the user sees on standard
// output, the exit status, and what is (and is not) written to disk.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <map>

#include "program_run.h"
#include "solver/sweep_kernels.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

// A small sheet that relaxes quickly: a resistive plate between a 0 V and a
// 5 V electrode, with a current line.
const std::string kSmallDeck = plate_deck("50", "10", true);

const std::string kOldTable = "an earlier table that must survive\r\n";

// A 10 x 8 resistive sheet with one electrode and a current line, for the
// numbers pushed to the ends of single precision.
std::string extreme_sheet(const char* thick, const char* si, const char* rho, const char* volts) {
  return std::string("SPACE 10 8\nTHICK     ") + thick + "\nSI   " + si + "\nRESIS_B   2 2 9 7 " + rho + "\nCE   3 4 " +
         volts + "\nCURRENT 5 3 5 6\nNST  20\nEN\n";
}

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
  // The run's menu page carries no version block.
  EXPECT_NE(r.out.find("DIRECTORY AND FILE NAME MENU"), std::string::npos);
  EXPECT_EQ(r.out.find("KESTO VERSION 1A"), std::string::npos);
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
  EXPECT_NE(r.err.find("no input deck given"), std::string::npos);
  r = run_kesto(dir, {"--batch", "--markel"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--markel needs a value"), std::string::npos);
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
  write_file(dir / "nan.script", "key Enter\nclick left pixel nan 10\n");
  r = run_kesto(dir, {"--batch", "x.txt", "--script", "nan.script"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kesto: nan.script: script line 2: expected pixel X Y, cell ROW COLUMN or page X Y\n");
  r = run_kesto(dir, {"--batch", "x.txt", "--frobnicate"});
  EXPECT_EQ(r.status, 2);
  expect_no_tables(dir);
  r = run_kesto(dir, {"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage: kesto"), std::string::npos);
}

// A deck that does not open, or no name at all, never leaves the menu: its
// page comes, then the menu again, and the batch, which would only press F10
// on it again, stops with status 2 and writes nothing.
TEST(BatchRun, NamesThatDoNotOpenShowTheirPageAndExit2) {
  struct Case {
    std::vector<std::string> args;
    const char* script;
    std::string page;
  };
  const Case cases[] = {
      {{"--batch", "decks/NoThere"},
       "",
       "ERROR: THE PROGRAM CANNOT OPEN THE FILE.\n\nTHE DIRECTORY PATH AND FILE NAME ARE:\n\ndecks/nothere.txt\n\n"
       "PLEASE SPECIFY A NEW DIRECTORY OR FILE NAME.\n\nPress any key to continue...\n"},
      {{"--batch", "--script", "f10.script"},
       "key F10\n",
       "\n\n\n\nPLEASE ENTER A FILE NAME.\n\n\n\nPress any key to continue...\n"},
  };
  for (const Case& c : cases) {
    const fs::path dir = fresh_dir("unopened");
    write_file(dir / "f10.script", c.script);
    const ProgramRun r = run_kesto(dir, c.args);
    EXPECT_EQ(r.status, 2) << r.out << r.err;
    EXPECT_NE(r.out.find(c.page), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("shown again unchanged"), std::string::npos);
    expect_no_tables(dir);
  }
  const ProgramRun r = run_kesto(fresh_dir("unopened"), {"--batch", "decks/NoThere"});
  EXPECT_NE(r.out.find("FILE NAME:   nothere.txt\n"), std::string::npos) << "the menu again, with the tidied name";
}

// The whole run from an empty menu: the script types the deck's name, the
// automatic user accepts it; the tables record the name as the menu tidied it.
TEST(BatchRun, ScriptTypesTheDeckIntoTheEmptyMenuAndTheRunReachesItsEnd) {
  const fs::path dir = with_deck("typed", "Plate.TXT", kSmallDeck);
  write_file(dir / "type.script", "text Plate.DAT\n");
  const ProgramRun r = run_kesto(dir, {"--batch", "--script", "type.script"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out.find("*** KESTO    ** VERSION 1A     ****  SEPT. 20, 2000 ****\n\n"
                       "***** DIRECTORY AND FILE NAME MENU ***** DIRECTORY AND FILE NAME MENU *****\n"),
            0u)
      << r.out;
  EXPECT_NE(r.out.find("The output files are:"), std::string::npos);
  EXPECT_NE(read_file(dir / "VOLTS.TBL").find("CM Input File: plate.txt     \r\n"), std::string::npos);
  EXPECT_NE(read_file(dir / "EFIELD.TBL").find("CM Input File: plate.txt     \r\n"), std::string::npos);
}

TEST(BatchRun, F3OnTheMenuIsTheUsersOwnEndWithoutTablesAndSavesTheSettings) {
  const fs::path dir = with_deck("f3", "plate.txt", kSmallDeck);
  write_file(dir / "f3.script", "key F3\n");
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", "f3.script"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("F3 = EXIT FROM THE PROGRAM"), std::string::npos);
  EXPECT_EQ(r.out.find("The output files are:"), std::string::npos);
  expect_no_tables(dir);
  EXPECT_TRUE(fs::exists(dir / "config" / "verudo.ini"));
}

// Each fatal deck ends with its page and exit status 1, and an earlier pair
// of tables in the directory is left exactly as it was. A page about a line
// of the deck comes with that line on standard error.
TEST(BatchRun, FatalDecksEndWithTheirPageAndLeaveEarlierTablesUntouched) {
  struct Case {
    const char* name;
    std::string deck;
    const char* shown;
    const char* named = nullptr;  // after "kesto: deck.txt: " on standard error
  };
  const std::vector<Case> cases = {
      {"nospace", "THICK     0.001\nEN\n", "Fatal Error: file must contain a \"SPACE\" command.",
       "end of the deck: no SPACE line"},
      {"toobig", "SPACE 251 110\n", "FATAL ERROR: DIMENSIONS EXCEEDED", "line 1, column 7: NX = 251"},
      {"nothick", "SPACE 10 10\nCE   5 5 1.0\n", "Fatal error: you must specify a THICKNESS",
       "end of the deck: no THICK line sets it"},
      {"oblique", "SPACE 20 20\nTHICK     1.0\nCURRENT 5 5 10 10\n", "must be either horizontal or vertical.",
       "line 3, column 13: ICE = 10"},
      {"badnum", "SPACE 10 10\nCE   5 x 1.0\n", "Error reading an input line!",
       "line 2, column 8: J must be a whole number, the line has \"x\""},
      {"edge", "SPACE 10 10\nTHICK     1.0\nINSUL 1 1 5 5\n", "Edge cells must be grounded or at fixed potential.",
       "line 3, column 7: IS = 1"},
      {"nupzero", "SPACE 10 10\nTHICK     1.0\nCE   5 5 1.0\nNUP    0\n", "(NUP)", "line 4, column 8: n = 0"},
      {"single", "SPACE 10 10\nTHICK     1.0\nRESIS_B   2 2 9 9 10.0\nNST  5\n", "ZDELTA,ZLOW "},
      // Numbers beyond single precision: no sweep, page or table meets them.
      {"tinyrho", extreme_sheet("0.001", "0.01", "1.0E-38", "1.0"),
       "Fatal error: a resistivity makes a link conductance infinite or zero\n\n"
       " I=           2 J=           2 RHO=  0.9999999E-38\n\n"
       "Use resistivities from 1.0E-37 to 1.0E+37 ohm-metres (RESIS_L, RESIS_B).\n"},
      {"hugerho", extreme_sheet("0.001", "0.01", "3.0E38", "1.0"),
       "Fatal error: a resistivity makes a link conductance infinite or zero\n\n"
       " I=           2 J=           2 RHO=  0.3000000E+39\n\n"},
      {"sweepsum", extreme_sheet("0.001", "0.01", "1E-30", "1E10"),
       "Fatal error: the potentials are too large for the link conductances\n\n"
       " I=           2 J=           2 RHO=  0.1000000E-29\n\n"
       "Lower the potentials or raise the resistivities (RESIS_L, RESIS_B).\n"},
      {"bigvolts", extreme_sheet("0.001", "0.01", "100", "3E19"),
       "Fatal error: the electric field overflows\n\n I=           2 J=           4\n\n"
       "Lower the potentials or raise the cell size (SI line).\n"},
      {"hugevolts", extreme_sheet("0.001", "0.01", "100", "-2E37"),
       "Fatal error: an electrode potential is too large for the colour scale.\n\n"
       "Keep the potentials within 1.0E+37 volts (CE, LI, CIRCLE, CSHELL, ELLIPSE).\n",
       "line 5, column 10: V = -2e+37"},
      {"tinycell", extreme_sheet("0.001", "1E-39", "100", "1"),
       "Fatal error: the electric field overflows\n\n I=           2 J=           2\n\n"},
      {"hugecell", extreme_sheet("0.001", "1E36", "100", "1"),
       "Fatal error: the cell size given by the SI line\n\n"
       "is too large: the cell coordinates of the tables overflow.\n",
       "line 3, column 6: s = 1e+36"},
      {"thick",
       "SPACE 20 12\nTHICK     3.0E38\nRESIS_B   2 2 19 11 100.0\nLI   3 3 3 10 0.0\nLI   18 3 18 10 1000.0\n"
       "CURRENT 10 3 10 10\nNST  200\n",
       "Fatal error: the current through the CURRENT line overflows\n\n"
       "Lower THICK or the potentials, or raise the resistivities.\n"},
  };
  for (const Case& c : cases) {
    const fs::path dir = with_deck(std::string("fatal_") + c.name, "deck.txt", c.deck);
    write_file(dir / "VOLTS.TBL", kOldTable);
    write_file(dir / "EFIELD.TBL", kOldTable);
    const ProgramRun r = run_kesto(dir, {"--batch", "deck"});
    EXPECT_EQ(r.status, 1) << c.name << "\n" << r.out << r.err;
    EXPECT_NE(r.out.find(c.shown), std::string::npos) << c.name << "\n" << r.out;
    EXPECT_NE(r.out.find("Press any key to continue..."), std::string::npos) << c.name;
    if (c.named)
      EXPECT_NE(r.err.find(std::string("kesto: deck.txt: ") + c.named + "\n"), std::string::npos) << c.name << r.err;
    else
      EXPECT_EQ(r.err.find("kesto: deck.txt: "), std::string::npos) << c.name << r.err;
    EXPECT_EQ(read_file(dir / "VOLTS.TBL"), kOldTable) << c.name;
    EXPECT_EQ(read_file(dir / "EFIELD.TBL"), kOldTable) << c.name;
    EXPECT_TRUE(fs::exists(dir / "config" / "verudo.ini")) << c.name << ": the settings are saved on a fatal stop";
  }
}

// A FIFO, a device or a directory is no deck: the menu does not accept it
// (without waiting on the FIFO for a writer), so the batch stops there.
TEST(BatchRun, DecksThatAreNotFilesDoNotLeaveTheMenu) {
  const fs::path dir = fresh_dir("notfiles");
  ASSERT_EQ(::mkfifo((dir / "fifo.txt").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "zero.txt");  // reading it would never end
  fs::create_directories(dir / "dir.txt");
  for (const char* deck : {"fifo", "zero", "dir"}) {
    const ProgramRun r = run_kesto(dir, {"--batch", deck});
    EXPECT_EQ(r.status, 2) << deck << "\n" << r.out << r.err;
    EXPECT_NE(r.out.find("ERROR: THE PROGRAM CANNOT OPEN THE FILE.\n\nTHE DIRECTORY PATH AND FILE NAME ARE:\n\n" +
                         std::string(deck) + ".txt\n"),
              std::string::npos)
        << deck << "\n"
        << r.out;
    expect_no_tables(dir);
  }
}

TEST(BatchRun, DeckNameWithAControlCharacterIsRefusedBeforeTheRun) {
  const fs::path dir = with_deck("control", "plate.txt", kSmallDeck);
  for (const auto& [deck, shown] : {std::pair<std::string, std::string>{"pla\nte", "\"pla\\x0Ate\""},
                                    {"pl\x1b[2Jate", "\"pl\\x1B[2Jate\""},
                                    {"plate\x7f", "\"plate\\x7F\""}}) {
    for (const bool batch : {true, false}) {
      const ProgramRun r = batch ? run_kesto(dir, {"--batch", deck}) : run_kesto(dir, {deck});
      EXPECT_EQ(r.status, 2) << shown << r.err;
      EXPECT_EQ(r.err, "kesto: the deck's path " + shown +
                           " contains a control character; the program cannot take such a path\n");
      EXPECT_EQ(r.out, "");
    }
  }
  expect_no_tables(dir);
  EXPECT_FALSE(fs::exists(dir / "config" / "verudo.ini"));  // the run never started
}

// A deck named with the other separator is read as the menu's directory
// field reads it; a name beyond ASCII is refused before the run.
TEST(BatchRun, DeckNamesWithABackslashOrBeyondAsciiAreTakenAsTheMenuTakesThem) {
  const fs::path dir = fresh_dir("backslash");
  write_file(dir / "DATA" / "RUN1.TXT", kSmallDeck);
  ProgramRun r = run_kesto(dir, {"--batch", "DATA\\RUN1.TXT"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(read_file(dir / "VOLTS.TBL").find("CM Input File: run1.txt"), std::string::npos);
  r = run_kesto(dir, {"--batch", "caf\xC3\xA9"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kesto: the deck's path \"caf\xC3\xA9\" holds a character beyond ASCII; the program takes ASCII "
                   "names only\n");
}

// A close at any picture wait ends the run there through the fatal stop: no
// further sweep, no page, no table; the settings are saved.
TEST(BatchRun, ClosingTheWindowAtEachPictureWaitEndsTheRunThere) {
  std::string pause_deck = kSmallDeck;
  pause_deck.replace(pause_deck.find("NST  50"), 7, "NST  100").insert(0, "PAUSE\n");
  const std::string single_deck = "SINGL\n" + kSmallDeck;
  const struct {
    const char* wait;
    std::string deck, script;
    const char* last_progress;  // the last sweep count shown on standard error
    const char* not_shown;      // progress that must not appear
  } cases[] = {
      // F10 accepts the menu first.
      {"geometry", kSmallDeck, "key F10\nclose\n", nullptr, "relaxing"},
      // The sweep count is shown after the pause that follows its sweep.
      {"pause", pause_deck, "key F10\nkey Enter\nclose\n", " 9/100", " 10/100"},
      {"final", kSmallDeck, "key F10\nkey Enter\nclose\n", " 50/50", nullptr},
      {"single", single_deck, "key F10\nkey Enter\nkey a\nclose\n", nullptr, "relaxing"},
  };
  for (const auto& c : cases) {
    const fs::path dir = with_deck(std::string("close_") + c.wait, "plate.txt", c.deck);
    write_file(dir / "VOLTS.TBL", kOldTable);
    write_file(dir / "close.script", c.script);
    const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", "close.script"});
    EXPECT_EQ(r.status, 1) << c.wait << "\n" << r.out << r.err;
    EXPECT_NE(r.err.find("kesto: the window was closed; the run ended there\n"), std::string::npos) << c.wait << r.err;
    if (c.last_progress) {
      EXPECT_NE(r.err.find(c.last_progress), std::string::npos) << c.wait << r.err;
    }
    if (c.not_shown) {
      EXPECT_EQ(r.err.find(c.not_shown), std::string::npos) << c.wait << r.err;
    }
    EXPECT_EQ(r.out.find("The current flow is"), std::string::npos) << c.wait;
    EXPECT_EQ(r.out.find("The output files are:"), std::string::npos) << c.wait;
    EXPECT_EQ(read_file(dir / "VOLTS.TBL"), kOldTable) << c.wait;
    EXPECT_FALSE(fs::exists(dir / "EFIELD.TBL")) << c.wait;
    EXPECT_TRUE(fs::exists(dir / "config" / "verudo.ini")) << c.wait;
  }
}

// Menu commands chosen while the sheet relaxes are held until the next wait,
// where they act as if chosen there; a resize acts at once. Neither changes
// the numbers, and the final picture is the one the commands ask for.
TEST(BatchRun, MenuCommandsAndAResizeDuringTheSweepsLeaveTheNumbersAlone) {
  std::string deck = kSmallDeck;
  deck.replace(deck.find("NST  50"), 7, "NST  200");
  const struct {
    const char* name;
    const char* script;
  } runs[] = {
      {"plain", ""},
      // Colour off, a smaller window and Page Setup (confirmed), all while relaxing.
      {"busy", "key F10\nkey Enter\nbusy 5 menu 7\nbusy 5 resize 1000 700\nbusy 5 menu 1\ndialog-button 1\n"},
      // The same at the waits they are carried out at: the resize before the
      // sweeps (on the menu), the commands at the final map.
      {"waits", "resize 1000 700\nkey F10\nkey Enter\nmenu 7\nmenu 1\ndialog-button 1\n"},
  };
  std::map<std::string, fs::path> dirs;
  for (const auto& run : runs) {
    const fs::path dir = with_deck(std::string("interrupt_") + run.name, "plate.txt", deck);
    write_file(dir / "run.script", run.script);
    const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", "run.script", "--pictures", "out"});
    ASSERT_EQ(r.status, 0) << run.name << "\n" << r.out << r.err;
    dirs[run.name] = dir;
  }
  for (const char* table : {"VOLTS.TBL", "EFIELD.TBL"}) {
    const std::string plain = read_file(dirs["plain"] / table);
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(read_file(dirs["busy"] / table), plain) << table;
    EXPECT_EQ(read_file(dirs["waits"] / table), plain) << table;
  }
  const auto picture = [&](const char* run) {
    return QImage(QString::fromStdString((dirs[run] / "out" / "potential.png").string()))
        .convertToFormat(QImage::Format_RGB32);
  };
  const QImage busy = picture("busy");
  ASSERT_EQ(busy.size(), QSize(1000, 700));
  EXPECT_TRUE(busy == picture("waits"));
  const auto coloured = [](const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y);
        n += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
      }
    return n;
  };
  EXPECT_EQ(coloured(busy), 0);  // the colour option is off
  EXPECT_GT(coloured(picture("plain")), 100000);
}

TEST(BatchRun, KeyDuringTheSweepsEndsTheRunWithoutTables) {
  std::string deck = kSmallDeck;
  deck.replace(deck.find("NST  50"), 7, "NST  5000");
  const fs::path dir = with_deck("busykey", "plate.txt", deck);
  // The menu, past the geometry view, then a key.
  write_file(dir / "keys.script", "key F10\nkey Enter\nbusy-key x 20\n");
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", "keys.script"});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.err.find("kesto: a key ended the run during the sweeps; no table was written\n"), std::string::npos)
      << r.err;
  expect_no_tables(dir);
  EXPECT_EQ(r.out.find("The output files are:"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "config" / "verudo.ini"));
}

// KESTO_SWEEP_KERNEL forces one sweep kernel (to compare their speeds):
// every kernel this processor runs writes the same tables, byte for byte; a
// name that is no kernel it runs stops the batch before it starts.
TEST(BatchRun, EverySweepKernelForcedThroughTheEnvironmentWritesTheSameTables) {
  const fs::path plain_dir = with_deck("kernel_plain", "plate.txt", kSmallDeck);
  ProgramRun r = run_kesto(plain_dir, {"--batch", "plate"}, {"KESTO_SWEEP_KERNEL=plain"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const std::string volts = read_file(plain_dir / "VOLTS.TBL"), efield = read_file(plain_dir / "EFIELD.TBL");
  ASSERT_FALSE(volts.empty());
  for (const kesto::solver::SweepKernel k : kesto::solver::runnable_sweep_kernels()) {
    const std::string name = kesto::solver::sweep_kernel_name(k);
    const fs::path dir = with_deck("kernel_" + name, "plate.txt", kSmallDeck);
    r = run_kesto(dir, {"--batch", "plate"}, {"KESTO_SWEEP_KERNEL=" + name});
    ASSERT_EQ(r.status, 0) << name << "\n" << r.out << r.err;
    EXPECT_EQ(read_file(dir / "VOLTS.TBL"), volts) << name;
    EXPECT_EQ(read_file(dir / "EFIELD.TBL"), efield) << name;
  }
  const fs::path dir = with_deck("kernel_unknown", "plate.txt", kSmallDeck);
  r = run_kesto(dir, {"--batch", "plate"}, {"KESTO_SWEEP_KERNEL=avx1024"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind(
                "kesto: KESTO_SWEEP_KERNEL=avx1024 names no sweep kernel this processor runs; it runs plain scalar", 0),
            0u)
      << r.err;
  EXPECT_EQ(r.out, "");
  expect_no_tables(dir);
}

// KESTO_SWEEP_THREADS sets the threads that sweep: every number writes the
// plain loop's tables (a deck of 1,000 sweeps, more than 4 x 4 in flight at
// once); a text that is no number from 1 to 256 stops the batch before it
// starts.
TEST(BatchRun, EveryNumberOfSweepThreadsWritesTheSameTables) {
  std::string deck = kSmallDeck;
  deck.replace(deck.find("NST  50"), 7, "NST  1000");
  const fs::path plain_dir = with_deck("threads_plain", "plate.txt", deck);
  ProgramRun r = run_kesto(plain_dir, {"--batch", "plate"}, {"KESTO_SWEEP_KERNEL=plain"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const std::string volts = read_file(plain_dir / "VOLTS.TBL");
  ASSERT_FALSE(volts.empty());
  for (const char* threads : {"1", "2", "3", "4"}) {
    const fs::path dir = with_deck(std::string("threads_") + threads, "plate.txt", deck);
    r = run_kesto(dir, {"--batch", "plate"}, {std::string("KESTO_SWEEP_THREADS=") + threads});
    ASSERT_EQ(r.status, 0) << threads << "\n" << r.out << r.err;
    EXPECT_EQ(read_file(dir / "VOLTS.TBL"), volts) << threads;
    EXPECT_EQ(read_file(dir / "EFIELD.TBL"), read_file(plain_dir / "EFIELD.TBL")) << threads;
  }
  for (const char* bad : {"0", "257", "2x", "-1", "many"}) {
    const fs::path dir = with_deck("threads_bad", "plate.txt", kSmallDeck);
    r = run_kesto(dir, {"--batch", "plate"}, {std::string("KESTO_SWEEP_THREADS=") + bad});
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_EQ(r.err, std::string("kesto: KESTO_SWEEP_THREADS=") + bad + " is no number of threads from 1 to 256\n");
    EXPECT_EQ(r.out, "");
    expect_no_tables(dir);
  }
}

TEST(BatchRun, ClosingTheWindowOnTheClosingPageEndsFatallyAfterTheTables) {
  const fs::path dir = with_deck("closeend", "plate.txt", kSmallDeck);
  // The menu, geometry view, final map, current page, then the window is closed.
  write_file(dir / "close.script", "key F10\nkey Enter\nkey Enter\nkey Enter\nclose\n");
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", "close.script"});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.err.find("kesto: the window was closed; the run ended there\n"), std::string::npos) << r.err;
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

// A run nobody sees never sets up the system's fonts: with the font
// configuration made unreadable, fontconfig complains on standard error the
// moment anything loads it, which a run that saves pictures does.
TEST(BatchRun, OnlyARunThatShowsOrSavesSomethingLoadsTheSystemFonts) {
  struct Case {
    const char* name;
    std::vector<std::string> extra;
    bool loads_fonts;
  };
  const Case cases[] = {
      {"batch alone", {}, false},
      {"batch saving pictures", {"--pictures", "out"}, true},
  };
  for (const Case& c : cases) {
    const fs::path dir = with_deck("fonts", "plate.txt", kSmallDeck);
    std::vector<std::string> args = {"--batch", "plate"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const ProgramRun r = run_kesto(dir, args, {"FONTCONFIG_FILE=" + (dir / "no-fonts.conf").string()});
    ASSERT_EQ(r.status, 0) << c.name << r.err;
    EXPECT_EQ(r.err.find("Fontconfig") != std::string::npos, c.loads_fonts) << c.name << r.err;
    EXPECT_TRUE(fs::exists(dir / "VOLTS.TBL")) << c.name;
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

TEST(BatchRun, UnwritableMarkelFileIsAFatalPageAndADirectoryIsRefusedBeforeTheRun) {
  const fs::path dir = with_deck("markel_bad", "plate.txt", kSmallDeck);
  ProgramRun r = run_kesto(dir, {"--batch", "plate", "--markel", "missing/run.mkl"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Fatal error: the MARKEL file cannot be written: No such file or directory."), std::string::npos)
      << r.out;
  expect_no_tables(dir);
  fs::create_directories(dir / "run.mkl");  // a directory where the file should go
  r = run_kesto(dir, {"--batch", "plate", "--markel", "run.mkl"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kesto: the MARKEL file run.mkl is a directory\n");
  expect_no_tables(dir);
}

// The recording replaces an earlier MARKEL file only when the run comes to
// its end; a refused deck leaves the earlier file as it was.
TEST(BatchRun, MarkelFileIsReplacedOnlyByACompleteRecording) {
  const fs::path dir = with_deck("markel_keep", "plate.txt", kSmallDeck);
  write_file(dir / "bad.txt", "SPACE 300 300\nEN\n");
  write_file(dir / "run.mkl", "an earlier recording\n");
  ProgramRun r = run_kesto(dir, {"--batch", "bad", "--markel", "run.mkl"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(read_file(dir / "run.mkl"), "an earlier recording\n");
  r = run_kesto(dir, {"--batch", "plate", "--markel", "run.mkl"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(dir / "run.mkl").rfind("run.mkl\nTOPSCR PR", 0), 0u);
  for (const auto& e : fs::directory_iterator(dir)) {
    EXPECT_NE(e.path().extension(), ".tmp") << e.path();
  }
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
  // The progress of each pause (its counter and recoloured cells) is part of
  // the saved pictures, so they differ.
  EXPECT_NE(first, second);
  EXPECT_TRUE(fs::exists(dir / "out" / "potential.png"));
}

// Pixels in which two images of one size differ.
static int differing_pixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

// The pixels of an uncompressed RGB TIFF as the program writes it: width
// and height in the first two directory entries, the strip at byte 180.
static QImage tiff_image(const std::string& tif) {
  const auto u16 = [&](std::size_t at) {
    return static_cast<unsigned char>(tif[at]) | (static_cast<unsigned char>(tif[at + 1]) << 8);
  };
  const int width = u16(18), height = u16(30);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::size_t at = 180 + 3 * (static_cast<std::size_t>(y) * width + x);
      image.setPixel(x, y,
                     qRgb(static_cast<unsigned char>(tif[at]), static_cast<unsigned char>(tif[at + 1]),
                          static_cast<unsigned char>(tif[at + 2])));
    }
  return image;
}

// A repaint at a PAUSE display (two resizes, the colour option off and on
// again) draws the map the window showed, counter and outlines included,
// and Write TIF saves that map. They differ from the window only in
// one-pixel seams between cells of different colours, which the bitmap
// fills one pixel wider than the window (about 3400 pixels here; the map
// before the sweeps, which a repaint used to show, differs in about 300000).
TEST(BatchRun, ARepaintAtAPauseShowsTheMapTheWindowShowed) {
  std::string deck = kSmallDeck;
  deck.replace(deck.find("NST  50"), 7, "NST  20");
  deck.insert(0, "PAUSE\n");
  const fs::path still = with_deck("pause_still", "plate.txt", deck);
  ProgramRun r = run_kesto(still, {"--batch", "plate", "--pictures", "out"});
  ASSERT_EQ(r.status, 0) << r.err;
  const fs::path repainted = with_deck("pause_repainted", "plate.txt", deck);
  write_file(repainted / "run.script",
             "key F10\nkey Enter\nresize 1000 700\nresize 1400 1000\nmenu 7\nmenu 7\nmenu 12\nfile pause.tif\n");
  r = run_kesto(repainted, {"--batch", "plate", "--script", "run.script", "--pictures", "out"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto png = [](const fs::path& p) {
    return QImage(QString::fromStdString(p.string())).convertToFormat(QImage::Format_RGB32);
  };
  const QImage shown = png(still / "out" / "progress-000010.png");
  const QImage again = png(repainted / "out" / "progress-000010.png");
  const QImage saved = tiff_image(read_file(repainted / "pause.tif"));
  ASSERT_EQ(shown.size(), QSize(1400, 1000));
  ASSERT_EQ(again.size(), shown.size());
  ASSERT_EQ(saved.size(), shown.size());
  EXPECT_LT(differing_pixels(shown, again), 6000);
  EXPECT_LT(differing_pixels(shown, saved), 6000);
}

// A display number on which no X server listens on this machine (from :93).
static std::string silent_display() {
  for (int n = 93;; ++n)
    if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) && !fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
      return ":" + std::to_string(n);
}

// An interactive run that cannot show its window says so in one line and
// exits 2, having written nothing: no display at all, a display that does
// not answer, a platform that shows nothing.
TEST(InteractiveRun, WithoutAUsableDisplayItSaysSoInOneLineAndFails) {
  const std::string silent = silent_display();
  const std::string silent_said =
      "kesto: cannot open the window on display " + silent + "; use --batch to run without one\n";
  const struct {
    const char* name;
    std::vector<std::string> env;
    const char* said;
  } cases[] = {
      {"none",
       {},
       "kesto: there is no display to open the window on (DISPLAY is not set); use --batch or --script to run "
       "without one\n"},
      {"silent", {"DISPLAY=" + silent}, silent_said.c_str()},
      {"offscreen",
       {"QT_QPA_PLATFORM=offscreen"},
       "kesto: the offscreen platform shows no window; use --batch or --script to run without one\n"},
  };
  for (const auto& c : cases) {
    const fs::path dir = with_deck(std::string("nodisplay_") + c.name, "plate.txt", kSmallDeck);
    const ProgramRun r = run_kesto(dir, {"plate"}, c.env);
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.err, c.said) << c.name;
    EXPECT_EQ(r.out, "") << c.name;
    expect_no_tables(dir);
    EXPECT_FALSE(fs::exists(dir / "config" / "verudo.ini")) << c.name;
  }
}

TEST(InteractiveRun, VersionComesFromTheIdentityOfTheTitleLine) {
  const fs::path dir = with_deck("version", "plate.txt", kSmallDeck);
  ProgramRun r = run_kesto(dir, {"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "KESTO VERSION 1A (SEPT. 20, 2000)\n");
  EXPECT_EQ(r.err, "");
  r = run_kesto(dir, {"--batch", "plate"});
  EXPECT_NE(r.out.find("*** KESTO    ** VERSION 1A     ****  SEPT. 20, 2000 ****"), std::string::npos);
}

TEST(InteractiveRun, AScriptDrivesTheWholeRunOffscreen) {
  const fs::path dir = with_deck("scripted", "plate.txt", kSmallDeck);
  // The empty menu: the name typed and F10 clicked; geometry view, final
  // map, current page, closing page.
  write_file(dir / "run.script", "text plate\nclick left cell 11 16\nkey Enter\nkey F1\nkey x\nkey Enter\n");
  const ProgramRun r = run_kesto(dir, {"--script", "run.script"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir / "VOLTS.TBL"));
  EXPECT_TRUE(fs::exists(dir / "EFIELD.TBL"));
  EXPECT_EQ(r.out, "");  // pages go to standard output in batch mode only
}

TEST(InteractiveRun, AScriptThatEndsEarlyClosesTheWindowInsteadOfHanging) {
  const fs::path dir = with_deck("scripted_short", "plate.txt", kSmallDeck);
  write_file(dir / "short.script", "key F10\nkey Enter\n");
  const ProgramRun r = run_kesto(dir, {"plate", "--script", "short.script"});
  EXPECT_EQ(r.status, 0);  // an interactive run ends normally, even through the fatal stop
  expect_no_tables(dir);   // the final map's wait saw the window close
}
