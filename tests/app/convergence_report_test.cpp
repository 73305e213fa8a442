// The convergence report of whole runs of the kesto executable: the line on
// standard error after the progress bar, the --convergence file, and what
// the user sees and keeps when that file cannot be written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "program_run.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

// One free cell, (3, 3), among neighbours fixed at 1 V: the first sweep
// moves it by 1 V, every later one by nothing.
std::string one_free_cell(int nstep) {
  return "SPACE 5 5\nTHICK     0.001\nRESIS_B   2 2 4 4 1.0\nLI   2 2 2 4 1.0\nLI   4 2 4 4 1.0\nCE   3 2 1.0\n"
         "CE   3 4 1.0\nNSTEP " +
         std::to_string(nstep) + "\nEN\n";
}

// A uniform strip from 0 V at column 2 to 10 V at column 41, between two
// insulating rows.
std::string strip(int nstep) {
  return "SPACE 42 7\nTHICK     0.001\nRESIS_B   2 3 41 5 0.01\nLI   2 3 2 5 0.0\nLI   41 3 41 5 10.0\nNSTEP " +
         std::to_string(nstep) + "\nNUP    " + std::to_string(nstep > 0 ? nstep : 1) + "\nEN\n";
}

const std::string kFileHead = "# sweep  largest change of any cell (V)\n";

fs::path with_deck(const std::string& dirname, const std::string& deck) {
  const fs::path dir = fresh_dir(dirname);
  write_file(dir / "deck.txt", deck);
  return dir;
}

bool no_temporary_left(const fs::path& dir) {
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == ".tmp") return false;
  return true;
}

}  // namespace

TEST(ConvergenceReport, EveryBatchRunEndsWithItsLineAfterTheProgressBar) {
  const std::string head = "convergence: last sweep moved no cell by more than ";
  const std::string too_few = "; not enough sweeps to estimate the distance from the converged potential";
  struct Case {
    std::string deck, bar, line;
  };
  const std::vector<Case> cases = {
      {strip(0), "", "convergence: no sweep made" + too_few},
      {one_free_cell(1), "1/1\n", head + "1.0E+00 V" + too_few},
      {"SPACE 4 4\nTHICK     0.001\nLI   2 2 2 3 1.0\nLI   3 2 3 3 -2.0\nEN\n", "1000/1000\n",
       "convergence: last sweep moved no cell; the potential is already converged"},
      // The strip's true distance after 1000 sweeps is 0.135 V (the converged potential is linear).
      {strip(1000), "1000/1000\n",
       head +
           "5.3E-04 V; estimated distance from the converged potential about 0.13 V; about 1,300 more sweeps for 1 mV"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const fs::path dir = with_deck("line", c.deck);
    // Without the direct solve the line is the estimate from the changes.
    const ProgramRun r = run_kesto(dir, {"--batch", "deck"}, {"KESTO_DIRECT_SOLVE=off"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const std::string tail = c.bar + c.line + "\n";
    ASSERT_GE(r.err.size(), tail.size()) << r.err;
    EXPECT_EQ(r.err.substr(r.err.size() - tail.size()), tail) << r.err;
    EXPECT_EQ(r.out.find("convergence"), std::string::npos);  // the pages stay as they are
  }
}

TEST(ConvergenceReport, FileHoldsTheChangeOfEverySweep) {
  const fs::path dir = with_deck("file", one_free_cell(3));
  const ProgramRun r = run_kesto(dir, {"--batch", "deck", "--convergence", "changes.dat"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(dir / "changes.dat"), kFileHead + "1 1.00000000E+00\n2 0.00000000E+00\n3 0.00000000E+00\n");
}

// A file that cannot be written stops the batch before it starts; a run that
// ends before its sweeps are complete, or whose file cannot be finished,
// leaves an earlier file as it was and no temporary file behind.
TEST(ConvergenceReport, FileThatCannotBeWrittenIsSaidAndAnEarlierOneIsKept) {
  struct Case {
    const char* what;
    std::string deck;
    std::vector<std::string> options;  // after --batch deck
    const char* script;
    bool directory;        // changes.dat is a directory
    long file_size_limit;  // bytes any file of the run may have, 0: no limit
    int status;
    std::string message;  // on standard error
    bool tables;
  };
  const std::vector<std::string> file = {"--convergence", "changes.dat"};
  const std::vector<Case> cases = {
      {"a directory", strip(10), file, "", true, 0, 2, "kesto: the convergence file changes.dat is a directory\n",
       false},
      {"a missing directory",
       strip(10),
       {"--convergence", "out/changes.dat"},
       "",
       false,
       0,
       2,
       "kesto: the convergence file out/changes.dat cannot be written (No such file or directory)\n",
       false},
      {"no value", strip(10), {"--convergence"}, "", false, 0, 2, "kesto: --convergence needs a value\n", false},
      {"a fatal deck", "SPACE 10 10\nEN\n", file, "", false, 0, 1, "", false},
      // (The first key poll comes within 4096 sweeps, so the key ends the run early.)
      {"a key during the sweeps", strip(20000), file, "key F10\nkey Enter\nbusy-key x 1\n", false, 0, 1, "", false},
      {"a file too large", strip(20000), file, "", false, 100000, 1,
       "kesto: the convergence file changes.dat could not be written (File too large); an earlier file is left as it "
       "was\n",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = with_deck("cannot", c.deck);
    if (c.directory)
      fs::create_directories(dir / "changes.dat");
    else
      write_file(dir / "changes.dat", "earlier\n");
    std::vector<std::string> args = {"--batch", "deck"};
    if (*c.script) {
      write_file(dir / "keys.script", c.script);
      args.insert(args.end(), {"--script", "keys.script"});
    }
    args.insert(args.end(), c.options.begin(), c.options.end());
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    if (c.file_size_limit > 0) {
      // Writes beyond the limit fail with EFBIG instead of ending the program.
      signal(SIGXFSZ, SIG_IGN);
      rlimit limited = unlimited;
      limited.rlim_cur = static_cast<rlim_t>(c.file_size_limit);
      setrlimit(RLIMIT_FSIZE, &limited);
    }
    const ProgramRun r = run_kesto(dir, args);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    EXPECT_EQ(r.status, c.status) << r.err;
    if (!c.message.empty()) {
      EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    if (!c.directory) {
      EXPECT_EQ(read_file(dir / "changes.dat"), "earlier\n");
    }
    EXPECT_EQ(fs::exists(dir / "VOLTS.TBL"), c.tables);
    EXPECT_TRUE(no_temporary_left(dir));
  }
}

// An interactive run says nothing on a standard error that no terminal shows,
// and gives the line where it was started from a terminal.
TEST(ConvergenceReport, InteractiveRunGivesTheLineOnlyOnATerminal) {
  if (std::system("command -v script > /dev/null 2>&1") != 0) GTEST_SKIP() << "no script command for a terminal";
  const std::string line =
      "convergence: last sweep moved no cell by more than 1.0E+00 V; every cell holds the converged potential";
  // The menu, the geometry view, the final map, the closing page.
  const std::string keys = "key F10\nkey Enter\nkey Enter\nkey Enter\n";
  fs::path dir = with_deck("plain_err", one_free_cell(1));
  write_file(dir / "run.script", keys);
  const ProgramRun r = run_kesto(dir, {"deck", "--script", "run.script"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir / "VOLTS.TBL"));
  EXPECT_EQ(r.err.find("convergence"), std::string::npos) << r.err;

  dir = with_deck("terminal", one_free_cell(1));
  write_file(dir / "run.script", keys);
  const std::string command = "cd " + shell_quote(dir.string()) +
                              " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME=config "
                              "timeout -k 5 30 script -qec " +
                              shell_quote(shell_quote(KESTO_BINARY_DIR "/kesto") + " deck --script run.script") +
                              " /dev/null > terminal.txt 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(fs::exists(dir / "VOLTS.TBL"));
  EXPECT_NE(read_file(dir / "terminal.txt").find(line + "\r\n"), std::string::npos) << read_file(dir / "terminal.txt");
}
