// --converged DIR and the exact convergence line, end to end: the tables of
// the converged potential, the run's own outputs left byte for byte as they
// are, every way the converged tables cannot be written, and the line of
// sweeps the deck check counts.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "program_run.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

// Columns 2..11 from 0 V to 9 V, the edge cells above and below at the same
// linear potential: converged, V = I - 2 and the field 100 V/m in every free
// cell; the current across column 6 is -THICK x 4 cells x 1 V x 1 S.
std::string linear_strip(int nstep) {
  std::string deck = "SPACE 12 6\nSI   0.01\nTHICK     0.001\nRESIS_B   2 2 11 5 1.0\nLI   2 1 2 6 0.0\nLI   11 1 11 6 9.0\n";
  for (int I = 3; I <= 10; ++I)
    for (int J : {1, 6}) deck += "CE   " + std::to_string(I) + " " + std::to_string(J) + " " + std::to_string(I - 2) + ".0\n";
  return deck + "CURRENT 6 1 6 6\nNSTEP " + std::to_string(nstep) + "\nNUP    10\nEN\n";
}

// 72 decades between an island's links and the links that hold it.
const std::string kIsland =
    "SPACE 12 12\nTHICK     0.001\nRESIS_B   2 2 11 11 1.0E37\nRESIS_B   5 5 8 8 1.0E-36\nLI   11 2 11 11 1.0\nEN\n";

fs::path with_deck(const std::string& name, const std::string& deck) {
  const fs::path dir = fresh_dir(name);
  write_file(dir / "deck.txt", deck);
  return dir;
}

std::vector<std::string> crlf_lines(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    out.push_back(text.substr(at, end - at));
  return out;
}

bool no_temporary_left(const fs::path& dir) {
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == ".tmp") return false;
  return true;
}

}  // namespace

TEST(Converged, TablesHoldTheConvergedPotentialInTheRunsOwnFormat) {
  const fs::path dir = with_deck("tables", linear_strip(0));
  fs::create_directories(dir / "out");
  const ProgramRun r = run_kesto(dir, {"--batch", "deck", "--converged", "out"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("convergence: no sweep made; distance from the converged potential 8.00 V (89 % of the range) "
                       "at cell (10, 2); current 0.000E+00 A after the sweeps, -4.000E-03 A converged;"),
            std::string::npos)
      << r.err;

  const std::vector<std::string> volts = crlf_lines(read_file(dir / "out" / "VOLTS.TBL"));
  const std::vector<std::string> own = crlf_lines(read_file(dir / "VOLTS.TBL"));
  ASSERT_EQ(volts.size(), 33u + 12u * 7u);
  ASSERT_EQ(own.size(), volts.size());
  EXPECT_EQ(volts[9], "CM The converged potential: the network solved directly.");
  EXPECT_EQ(own[9], "CM");
  EXPECT_EQ(volts[12], "CM The current in the resistor is  -0.4000000E-02 amps.");
  EXPECT_EQ(own[12], "CM The current in the resistor is   0.0000000E+00 amps.");
  for (std::size_t k = 0; k < 33; ++k)
    if (k != 9 && k != 12) {
      EXPECT_EQ(volts[k], own[k]) << k;
    }
  // Column 5 (its block starts at line 33 + 4 x 7): x = 4.5 cm, then every
  // cell at 3 V, the edge cells included.
  EXPECT_EQ(volts[33 + 28], " 0.4500E+01");
  for (int J = 1; J <= 6; ++J) EXPECT_EQ(volts[33 + 28 + J].substr(11), " 0.3000E+01") << J;

  const std::vector<std::string> field = crlf_lines(read_file(dir / "out" / "EFIELD.TBL"));
  ASSERT_EQ(field.size(), 31u + 12u * 7u);
  EXPECT_EQ(field[9], "CM The field of the converged potential (the network solved directly).");
  // Column 5: fixed edge cells 0, free cells 2 V over 2 cm, 1E-4 MV/m.
  const std::string expected[] = {" 0.0000E+00", " 0.1000E-03", " 0.1000E-03", " 0.1000E-03", " 0.1000E-03",
                                  " 0.0000E+00"};
  for (int J = 1; J <= 6; ++J) EXPECT_EQ(field[31 + 28 + J].substr(11), expected[J - 1]) << J;
}

// A uniform strip from 0 V at column 2 to 10 V at column 41 between two
// insulating rows: converged, V = 10 (I - 2) / 39 in its rows. The distance the line
// gives is the one the run's own table shows against that.
TEST(Converged, LineGivesTheDistanceTheTableShowsFromTheKnownPotential) {
  const fs::path dir = with_deck(
      "strip", "SPACE 42 7\nTHICK     0.001\nRESIS_B   2 3 41 5 0.01\nLI   2 3 2 5 0.0\nLI   41 3 41 5 10.0\n"
               "NSTEP 1000\nNUP    1000\nEN\n");
  const ProgramRun r = run_kesto(dir, {"--batch", "deck"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("; distance from the converged potential 0.135 V (1.3 % of the range) at cell (21, 3); "),
            std::string::npos)
      << r.err;
  const std::vector<std::string> volts = crlf_lines(read_file(dir / "VOLTS.TBL"));
  ASSERT_EQ(volts.size(), 31u + 42u * 8u);
  double largest = 0.0;
  for (int I = 2; I <= 41; ++I)
    for (int J = 3; J <= 5; ++J)  // the conducting rows (the insulating ones leak to the edge)
      largest = std::max(largest, std::fabs(std::stod(volts[31 + (I - 1) * 8 + J].substr(11)) - 10.0 * (I - 2) / 39.0));
  EXPECT_NEAR(largest, 0.135, 0.0005);  // the table's four digits
}

TEST(Converged, RunsOwnPagesTablesPicturesAndRecordsAreTheSameWithAndWithout) {
  std::map<std::string, std::string> outputs[2];
  for (int with = 0; with < 2; ++with) {
    const fs::path dir = with_deck(with ? "with" : "without", linear_strip(30));
    fs::create_directories(dir / "out");
    std::vector<std::string> args = {"--batch", "deck", "--markel", "run.mkl", "--pictures", "pictures"};
    if (with) args.insert(args.end(), {"--converged", "out"});
    const ProgramRun r = run_kesto(dir, args);
    ASSERT_EQ(r.status, 0) << r.err;
    outputs[with]["pages"] = r.out;
    for (const char* file : {"VOLTS.TBL", "EFIELD.TBL", "run.mkl", "pictures/geometry.png", "pictures/potential.png"})
      outputs[with][file] = read_file(dir / file);
    EXPECT_EQ(fs::exists(dir / "out" / "VOLTS.TBL"), with == 1);
  }
  for (const auto& [name, bytes] : outputs[0]) {
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_TRUE(bytes == outputs[1][name]) << name;
  }
}

// Nothing is written into DIR when it cannot take the tables, when there is
// no converged answer, or when the run ends before its tables; earlier tables
// there stay as they were and no temporary file is left.
TEST(Converged, EveryFailureIsSaidAndLeavesTheFolderAsItWas) {
  struct Case {
    const char* what;
    std::string deck;
    std::string dir;     // the --converged value
    const char* setup;   // "file": DIR is a file; "efield-dir": DIR/EFIELD.TBL is a folder; "": none
    const char* script;  // the user's keys, if any
    int status;
    std::string message;  // on standard error
    bool own_tables;
  };
  const std::vector<Case> cases = {
      {"a missing folder", linear_strip(5), "missing", "", "", 2,
       "kesto: the folder for the converged tables missing does not exist\n", false},
      {"a file", linear_strip(5), "out", "file", "", 2,
       "kesto: the folder for the converged tables out is not a folder\n", false},
      {"the current folder", linear_strip(5), ".", "", "", 2,
       "kesto: the folder for the converged tables . is the current folder, where the run writes its own tables; "
       "give another folder\n",
       false},
      {"a folder that takes no file", linear_strip(5), "/proc/1", "", "", 2,
       "kesto: the folder for the converged tables /proc/1 cannot be written (", false},
      {"no value", linear_strip(5), "", "", "", 2, "kesto: --converged needs a value\n", false},
      {"a table that is a folder", linear_strip(5), "out", "efield-dir", "", 1,
       "kesto: the converged tables could not be written in out (Is a directory); earlier tables there are left as "
       "they were\n",
       true},
      {"a solve refused", kIsland, "out", "", "", 1,
       "kesto: no converged tables were written in out: the direct solve was refused: the conductances span too many "
       "decades for double precision",
       true},
      {"a fatal deck", "SPACE 10 10\nEN\n", "out", "", "", 1, "", false},
      {"a key during the sweeps", linear_strip(20000), "out", "", "key F10\nkey Enter\nbusy-key x 20\n", 1, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = with_deck("fails", c.deck);
    if (std::string(c.setup) == "file") {
      write_file(dir / "out", "a file\n");
    } else {
      write_file(dir / "out" / "VOLTS.TBL", "earlier volts\n");
      if (std::string(c.setup) == "efield-dir")
        fs::create_directories(dir / "out" / "EFIELD.TBL");
      else
        write_file(dir / "out" / "EFIELD.TBL", "earlier field\n");
    }
    std::vector<std::string> args = {"--batch", "deck", "--converged"};
    if (!c.dir.empty()) args.push_back(c.dir);
    if (*c.script) {
      write_file(dir / "keys.script", c.script);
      args.insert(args.end(), {"--script", "keys.script"});
    }
    const ProgramRun r = run_kesto(dir, args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(fs::exists(dir / "VOLTS.TBL"), c.own_tables);
    if (std::string(c.setup) == "file") {
      EXPECT_EQ(read_file(dir / "out"), "a file\n");
    } else {
      EXPECT_EQ(read_file(dir / "out" / "VOLTS.TBL"), "earlier volts\n");
      if (std::string(c.setup) != "efield-dir") {
        EXPECT_EQ(read_file(dir / "out" / "EFIELD.TBL"), "earlier field\n");
      }
      EXPECT_TRUE(no_temporary_left(dir / "out"));
    }
  }
}

TEST(Converged, CheckCountsTheSweepsOfTheNetworkOrSaysWhyNot) {
  struct Case {
    std::string deck;
    std::string line;  // the beginning of the sweeps line, or "" for none
  };
  const std::vector<Case> cases = {
      // The count is the one the solver's tests find sweep by sweep against the exact potential.
      {linear_strip(5),
       "Sweeps: 20 sweeps bring this deck's potential within 9 mV (0.1 % of its range of 9 V) of the converged one "
       "(counted by sweeping against the network solved directly); NSTEP is 5.\n"},
      {kIsland, "Sweeps: not counted, the direct solve of the network was refused (the conductances span too many decades"},
      {"SPACE 10 10\nEN\n", ""},  // a deck that stops a run: no line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.deck);
    const fs::path dir = with_deck("check", c.deck);
    const ProgramRun r = run_kesto(dir, {"--check", "deck"});
    const std::size_t at = r.out.find("\nSweeps: ");
    if (c.line.empty()) {
      EXPECT_EQ(at, std::string::npos) << r.out;
      continue;
    }
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(at + 1, c.line.size()), c.line);
    EXPECT_EQ(files_in(dir), (std::set<std::string>{"deck.txt", "stdout.txt", "stderr.txt"}));
  }
}
