// The files a user hands the program besides the deck's commands, as a user
// meets them: a script that is not a bounded regular file is refused before
// the run; a settings file and a deck written with a byte-order mark, or with
// lines ending in CR alone, read as if written plainly.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "program_run.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

const std::string kDeck =
    "SPACE 12 10\n"
    "THICK     0.001\n"
    "RESIS_B   2 2 11 9 100.0\n"
    "LI   3 3 3 8 5.0\n"
    "CURRENT 6 3 6 8\n"
    "NST  50\n"
    "EN\n";

}  // namespace

TEST(ScriptFile, AnythingButARegularFileOfAtMost16MiBIsRefusedBeforeTheRun) {
  const fs::path dir = fresh_dir("script");
  write_file(dir / "plate.txt", kDeck);
  fs::create_directory(dir / "steps");
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
  write_file(dir / "big.script", "");
  fs::resize_file(dir / "big.script", (16u << 20) + 1);
  const struct {
    std::string script, said;
  } cases[] = {
      {"/dev/zero", "kesto: the script /dev/zero is a character device, not a script file\n"},
      {"steps", "kesto: the script steps is a directory, not a script file\n"},
      {"pipe", "kesto: the script pipe is a FIFO, not a script file\n"},
      {"big.script",
       "kesto: the script big.script is larger than 16 MiB (16777216 bytes), the most a script may hold\n"},
      {"none.script", "kesto: cannot read the script none.script: No such file or directory\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", c.script});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, c.said);
    EXPECT_EQ(r.out, "");  // not even the menu's page
    EXPECT_EQ(files_in(dir), (std::set<std::string>{"big.script", "pipe", "plate.txt", "steps", "stderr.txt",
                                                    "stdout.txt"}));
  }
  // A script of exactly 16 MiB is taken, read line by line to its last line.
  std::string steps(16u << 20, '#');
  for (std::size_t i = 79; i < steps.size(); i += 80) steps[i] = '\n';
  steps.replace(steps.size() - 9, 9, "\njump   \n");
  write_file(dir / "big.script", steps);
  const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", "big.script"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kesto: big.script: script line 209717: unknown step 'jump'\n");
  steps.replace(steps.size() - 9, 9, "\n#      \n");
  write_file(dir / "big.script", steps);
  EXPECT_EQ(run_kesto(dir, {"--batch", "plate", "--script", "big.script"}).status, 0);
}

// The settings file read through its byte-order mark and whatever its line
// ends: the run toggles Black Background (menu 8) from the file's 1 to 0, and
// only that value changes on disk; missing keys join with the file's line end.
TEST(SettingsFileOnDisk, ByteOrderMarkAndCarriageReturnsAloneReadAndKept) {
  for (const std::string eol : {"\r", "\n", "\r\n"}) {
    SCOPED_TRACE(eol == "\r" ? "CR" : eol == "\n" ? "LF" : "CR LF");
    const auto text = [&](const char* black) {
      return kBom + "[Window]" + eol + "BlackBG=" + black + eol + "[PostScript]" + eol + "PenWidthEPS=7" + eol;
    };
    const fs::path dir = fresh_dir("settings");
    write_file(dir / "plate.txt", kDeck);
    write_file(dir / "config" / "verudo.ini", text("1"));
    write_file(dir / "toggle.script", "menu 8\n");
    const ProgramRun r = run_kesto(dir, {"--batch", "plate", "--script", "toggle.script"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string added = "ColorWindow=1" + eol;
    std::string expected = text("0");
    expected.insert(expected.find("[PostScript]"), added);
    expected += "[Printer]" + eol + "PageLeftMargin=100" + eol + "PageTopMargin=100" + eol + "PageWidth=650" + eol +
                "PenWidthPrinter=2" + eol + "LandscapePrinter=0" + eol + "[Metafile]" + eol + "PenWidthEMF=2" + eol;
    EXPECT_EQ(read_file(dir / "config" / "verudo.ini"), expected);
  }
}

// A deck saved with a byte-order mark runs and checks exactly as without it.
TEST(DeckFileOnDisk, ByteOrderMarkBeforeTheFirstLineIsNotPartOfIt) {
  const fs::path plain = fresh_dir("plain"), marked = fresh_dir("marked");
  write_file(plain / "plate.txt", kDeck);
  write_file(marked / "plate.txt", kBom + kDeck);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--batch", "plate"}, std::vector<std::string>{"--check", "plate"}}) {
    SCOPED_TRACE(args[0]);
    const ProgramRun a = run_kesto(plain, args), b = run_kesto(marked, args);
    EXPECT_EQ(b.status, 0) << b.out << b.err;
    EXPECT_EQ(b.out, a.out);
  }
  EXPECT_NE(read_file(plain / "VOLTS.TBL"), "");
  EXPECT_EQ(read_file(marked / "VOLTS.TBL"), read_file(plain / "VOLTS.TBL"));
  EXPECT_EQ(read_file(marked / "EFIELD.TBL"), read_file(plain / "EFIELD.TBL"));
}
