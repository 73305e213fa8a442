// Installing into a prefix puts the program, its desktop entry and its
// manual page where a Linux user looks for them, each in a form that the
// desktop's and the manual's own tools accept.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "program_run.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

// Runs a shell command; its exit status, standard output and error.
ProgramRun run(const std::string& command) {
  ProgramRun r;
  const int raw = std::system((command + " > cmd.out 2> cmd.err").c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read_file("cmd.out");
  r.err = read_file("cmd.err");
  return r;
}

}  // namespace

TEST(Install, PutsTheProgramItsDesktopEntryAndItsManualPage) {
  const fs::path prefix = fs::current_path() / "prefix";
  const ProgramRun install = run(shell_quote(KESTO_CMAKE_COMMAND) + " --install " + shell_quote(KESTO_BINARY_DIR) +
                                 " --prefix " + shell_quote(prefix.string()));
  ASSERT_EQ(install.status, 0) << install.out << install.err;

  // The program, runnable from where it was put.
  const fs::path program = prefix / "bin" / "kesto";
  ASSERT_TRUE(fs::is_regular_file(program));
  EXPECT_NE(fs::status(program).permissions() & fs::perms::owner_exec, fs::perms::none);
  const ProgramRun version = run("timeout 60 " + shell_quote(program.string()) + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "KESTO VERSION 1A (SEPT. 20, 2000)\n");

  // The desktop entry starts it with the chosen file, under its own icon.
  const fs::path entry = prefix / "share" / "applications" / "kesto.desktop";
  const std::string desktop = read_file(entry);
  for (const char* line : {"[Desktop Entry]\n", "\nType=Application\n", "\nName=KESTO\n", "\nExec=kesto %f\n",
                           "\nIcon=kesto\n", "\nTerminal=false\n"})
    EXPECT_NE(desktop.find(line), std::string::npos) << line;
  EXPECT_TRUE(fs::is_regular_file(prefix / "share" / "pixmaps" / "kesto.xpm"));
  const ProgramRun valid = run("desktop-file-validate " + shell_quote(entry.string()));
  EXPECT_EQ(valid.status, 0) << valid.out << valid.err;
  EXPECT_EQ(valid.out + valid.err, "");

  // The manual page formats without a warning and covers the options, the
  // exit status and the files, for the version the program reports.
  const fs::path page = prefix / "share" / "man" / "man1" / "kesto.1";
  ASSERT_TRUE(fs::is_regular_file(page));
  EXPECT_EQ(read_file(page).rfind(".TH KESTO 1 \"September 2000\" \"KESTO 1A\"", 0), 0u);
  const ProgramRun lint = run("groff -man -Tutf8 -ww -z " + shell_quote(page.string()));
  EXPECT_EQ(lint.status, 0);
  EXPECT_EQ(lint.err, "");
  const ProgramRun text = run("groff -man -Tascii -P-c -P-b -P-o -P-u " + shell_quote(page.string()));
  for (const char* part :
       {"\nNAME\n", "\nSYNOPSIS\n", "\nOPTIONS\n", "\nEXIT STATUS\n", "\nENVIRONMENT\n", "\nFILES\n", "--batch [DECK]",
        "--check DECK", "--pictures DIR", "--export DIR", "--convergence FILE", "--markel FILE", "--script FILE",
        "--version", "--help", "VOLTS.TBL", "EFIELD.TBL", "verudo.ini"})
    EXPECT_NE(text.out.find(part), std::string::npos) << part << "\n" << text.out;
}
