// kesto --check as a user runs it: the report on standard output, the exit
// status, nothing written to disk; and the batch run's line-number
// diagnosis beside its unchanged fatal page.
#include <gtest/gtest.h>

#include "program_run.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

TEST(CheckRun, ExitStatusTellsCleanFromWarningsFromLinesThatStopARunAndNothingIsWritten) {
  const struct {
    const char* deck;
    int status;
    const char* summary;
  } cases[] = {
      {"SPACE 10 10\nTHICK     0.001\nCE   5 5 1.0\nNST  100\n", 0,
       "deck.txt: no lines that stop a run, no warnings.\n"},
      {"SPACE 10 10\nTHICK     0.001\nCE   5 5 1.0\nNST  100\nSI 0.01\n", 1,
       "deck.txt: no lines that stop a run, 1 warning.\n"},
      // "THICK 0.001" reads "1" from column 11: a sheet 1 m thick, and a warning.
      {"SPACE 10 10\nTHICK 0.001\nCE   5 x 1.0\nNST  100\n", 2, "deck.txt: 1 line that stops a run, 1 warning.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.deck);
    const fs::path dir = fresh_dir("check");
    write_file(dir / "deck.txt", c.deck);
    const ProgramRun r = run_kesto(dir, {"--check", "deck"});
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    EXPECT_TRUE(r.out.starts_with("Checking deck.txt as a run reads it.\n")) << r.out;
    EXPECT_TRUE(r.out.ends_with(c.summary)) << r.out;
    EXPECT_EQ(r.err, "");
    // No table, no settings file, no picture: only the deck and the captured output.
    EXPECT_EQ(files_in(dir), (std::set<std::string>{"deck.txt", "stderr.txt", "stdout.txt"}));
  }
}

TEST(CheckRun, CommandLineMisuseExitsWith2) {
  const fs::path dir = fresh_dir("misuse");
  for (const auto& [args, said] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--check"}, "--check needs a value"},
           {{"--check", "deck", "--batch"}, "--check takes no other option"},
           {{"--check", "a_rather_long_name"}, "longer than 14 characters"}}) {
    const ProgramRun r = run_kesto(dir, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

// The batch run prints the fatal page exactly as before on standard output;
// the line and column it is about go to standard error.
TEST(CheckRun, BatchFatalPageIsUnchangedAndItsLineGoesToStandardError) {
  const fs::path dir = fresh_dir("batchline");
  write_file(dir / "deck.txt",
             "* the first number starts in column 11\nSPACE 10 10\nTHICK     0.001\n"
             "RESIS_L   2 3 9 3 5.0\n");
  const ProgramRun r = run_kesto(dir, {"--batch", "deck"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "*** KESTO    ** VERSION 1A     ****  SEPT. 20, 2000 ****\n\n"
            "***** DIRECTORY AND FILE NAME MENU ***** DIRECTORY AND FILE NAME MENU *****\n\n"
            "DIRECTORY:\n\nFILE NAME:   deck\n\n"
            "             F3 = EXIT FROM THE PROGRAM\n\n             F10= CONTINUE\n\n"
            "*** KESTO    ** VERSION 1A     ****  SEPT. 20, 2000 ***\n\n\n\n"
            "Error reading an input line!\n\n\n\nPress any key to continue...\n\n");
  EXPECT_EQ(r.err, "kesto: deck.txt: line 4, column 19: JE must be a whole number, the line has \"5.0\"\n");
}
