// Every file a batch run writes, met the way a user meets trouble with it:
// links at temporary names, special files and read-only files at the
// targets, a file-size limit, a full filesystem, a run killed while writing
// and two runs in one folder. Earlier files must survive every failure, and
// no temporary file may stay behind a run that the next run does not remove.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <memory>

#include "common/folder_lock.h"
#include "program_run.h"

namespace fs = std::filesystem;
using namespace kesto::testing;

namespace {

const std::string kDeck = plate_deck("50", "10", true);

// The full grid: tables of about 650 KB each, a few sweeps.
const std::string kBigDeck =
    "SPACE 250 110\n"
    "SI   0.002\n"
    "THICK     0.001\n"
    "LI   2 2 2 109 0.0\n"
    "LI   249 2 249 109 5.0\n"
    "NST  3\n"
    "NUP    100\n"
    "EN\n";

const std::string kEarlier = "an earlier file that must survive\n";

std::string environment(const fs::path& dir) {
  return "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u KESTO_SWEEP_KERNEL XDG_CONFIG_HOME=" +
         shell_quote((dir / "config").string()) + " KESTO=" + shell_quote(KESTO_BINARY_DIR "/kesto");
}

// Runs a shell script in `dir` (the program is "$KESTO"), as `run_kesto` runs the program.
ProgramRun run_script(const fs::path& dir, const std::string& script, const std::string& prefix = "") {
  const std::string cmd = "cd " + shell_quote(dir.string()) + " && " + environment(dir) + " " + prefix +
                          " timeout -k 5 " + std::to_string(kRunSeconds) + " sh -c " + shell_quote(script) +
                          " > stdout.txt 2> stderr.txt";
  ProgramRun r;
  const int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read_file(dir / "stdout.txt");
  r.err = read_file(dir / "stderr.txt");
  return r;
}

// Starts kesto in `dir` without waiting; its output goes to NAME.out and NAME.err.
pid_t spawn_kesto(const fs::path& dir, const std::vector<std::string>& args, const std::string& name) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (::chdir(dir.c_str()) != 0) ::_exit(127);
  const int out = ::open((name + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = ::open((name + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ::dup2(out, 1);
  ::dup2(err, 2);
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("QT_QPA_PLATFORM");
  ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  std::vector<char*> argv{const_cast<char*>(KESTO_BINARY_DIR "/kesto")};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

int wait_status(pid_t pid) {
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

// Waits (polling, at most about 20 s) until `ready` holds; false if it never does.
bool eventually(const std::function<bool()>& ready) {
  for (int i = 0; i < 2000; ++i) {
    if (ready()) return true;
    ::usleep(10000);
  }
  return ready();
}

std::vector<std::string> temporaries_in(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".tmp") names.push_back(e.path().filename().string());
  return names;
}

std::string line_of(const std::string& text, int index) {
  std::size_t begin = 0;
  for (int i = 0; i < index && begin != std::string::npos; ++i) {
    begin = text.find('\n', begin);
    if (begin != std::string::npos) ++begin;
  }
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find('\n', begin) - begin);
}

fs::path with_deck(const std::string& name, const std::string& deck = kDeck) {
  const fs::path dir = fresh_dir(name);
  write_file(dir / "plate.txt", deck);
  return dir;
}

// A folder whose filesystem holds `bytes` at most: a tmpfs of that size
// where this process may mount one (the super-user), otherwise a file-size
// limit of that many bytes for the programs run under `prefix()`.
class SmallDisk {
 public:
  SmallDisk(const fs::path& dir, long bytes) : dir_(dir), bytes_(bytes) {
    fs::create_directories(dir);
    mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  // The shell words that start a program under the limit ("" with a tmpfs).
  std::string limit() const { return mounted_ ? "" : "ulimit -f " + std::to_string(bytes_ / 512) + ";"; }
  const char* reason() const { return mounted_ ? "No space left on device" : "File too large"; }

 private:
  fs::path dir_;
  long bytes_;
  bool mounted_ = false;
};

}  // namespace

// The old temporary names were the target's name and the process number: a
// link placed there beforehand made the run write the table into the file
// the link points to.
TEST(FileSafety, LinksAtThePredictableTemporaryNamesAreNotFollowed) {
  const fs::path dir = with_deck("links");
  write_file(dir / "victim.txt", kEarlier);
  const ProgramRun r =
      run_script(dir,
                 "ln -s victim.txt VOLTS.TBL.$$.tmp; ln -s victim.txt EFIELD.TBL.$$.tmp; "
                 "ln -s victim.txt changes.dat.$$.tmp; exec \"$KESTO\" --batch plate --convergence changes.dat");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(dir / "victim.txt"), kEarlier);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "VOLTS.TBL")));
  EXPECT_EQ(read_file(dir / "VOLTS.TBL").rfind("VOLTS.TBL     \r\n", 0), 0u);
  EXPECT_EQ(read_file(dir / "changes.dat").rfind("# sweep", 0), 0u);
}

TEST(FileSafety, SpecialFilesAtATargetAreRefusedBeforeTheRun) {
  struct Case {
    const char* what;
    std::vector<std::string> options;  // after --batch plate
    const char* node;                  // made a FIFO (or, with a "->", a link to /dev/null); "" none
    const char* plain;                 // made a plain file; "" none
    std::string message;
  };
  const std::string fifo = " is not a regular file (a FIFO, a device or a socket); it is not replaced\n";
  const std::vector<Case> cases = {
      {"the potential table a FIFO", {}, "VOLTS.TBL", "", "kesto: the table file VOLTS.TBL" + fifo},
      {"the field table a link to /dev/null", {}, "EFIELD.TBL->", "", "kesto: the table file EFIELD.TBL" + fifo},
      {"the convergence file a FIFO",
       {"--convergence", "c.dat"},
       "c.dat",
       "",
       "kesto: the convergence file c.dat" + fifo},
      {"the convergence file /dev/null",
       {"--convergence", "/dev/null"},
       "",
       "",
       "kesto: the convergence file /dev/null" + fifo},
      {"the MARKEL file a FIFO", {"--markel", "run.mkl"}, "run.mkl", "", "kesto: the MARKEL file run.mkl" + fifo},
      {"a picture a FIFO",
       {"--pictures", "pics"},
       "pics/potential.png",
       "",
       "kesto: the picture file pics/potential.png" + fifo},
      {"an exported picture a FIFO",
       {"--export", "out"},
       "out/potential.pdf",
       "",
       "kesto: the picture file out/potential.pdf" + fifo},
      {"the pictures' folder a plain file",
       {"--pictures", "pics"},
       "",
       "pics",
       "kesto: --pictures pics: not a directory\n"},
      {"the export folder a plain file", {"--export", "out"}, "", "out", "kesto: --export out: not a directory\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = with_deck("special");
    std::string node = c.node;
    const bool link = node.size() > 2 && node.substr(node.size() - 2) == "->";
    if (link) node.resize(node.size() - 2);
    if (!node.empty()) {
      fs::create_directories((dir / node).parent_path());
      if (link)
        fs::create_symlink("/dev/null", dir / node);
      else
        ASSERT_EQ(::mkfifo((dir / node).c_str(), 0600), 0);
    }
    if (*c.plain) write_file(dir / c.plain, kEarlier);
    std::vector<std::string> args = {"--batch", "plate"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ProgramRun r = run_kesto(dir, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, c.message);
    EXPECT_EQ(r.out, "");  // nothing ran
    if (!node.empty()) {
      EXPECT_TRUE(link ? fs::is_symlink(fs::symlink_status(dir / node)) : fs::is_fifo(dir / node));
    }
    if (*c.plain) {
      EXPECT_EQ(read_file(dir / c.plain), kEarlier);
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_FALSE(fs::exists(dir / "VOLTS.TBL") && !fs::is_fifo(dir / "VOLTS.TBL"));
  }
}

// One rule for every writer: a target the user may not write is not
// replaced, and the writer says why. The runs are an ordinary user's, in a
// folder that user may write.
TEST(FileSafety, ReadOnlyTargetsAreNotReplaced) {
  struct Case {
    const char* what;
    std::vector<std::string> options;  // after --batch plate
    const char* target;                // made read-only, holding kEarlier
    int status;
    const char* out;  // expected on standard output ("" not checked)
    const char* err;  // expected on standard error ("" not checked)
  };
  const std::vector<Case> cases = {
      {"the potential table",
       {},
       "VOLTS.TBL",
       1,
       "Fatal error: the output file VOLTS.TBL could not be written.\n\nThe system reports: Permission denied\n",
       ""},
      {"the field table",
       {},
       "EFIELD.TBL",
       1,
       "Fatal error: the output file EFIELD.TBL could not be written.\n\nThe system reports: Permission denied\n",
       ""},
      {"the convergence file",
       {"--convergence", "c.dat"},
       "c.dat",
       2,
       "",
       "kesto: the convergence file c.dat cannot be written (Permission denied)\n"},
      {"the MARKEL file",
       {"--markel", "run.mkl"},
       "run.mkl",
       1,
       "Fatal error: the MARKEL file cannot be written: Permission denied.",
       ""},
      {"a picture",
       {"--pictures", "pics"},
       "pics/potential.png",
       1,
       "",
       "kesto: could not save the picture pics/potential.png (Permission denied)\n"},
      {"an exported picture",
       {"--export", "out"},
       "out/potential.eps",
       1,
       "",
       "kesto: could not write the picture out/potential.eps (Permission denied)\n"},
  };
  const bool root = ::geteuid() == 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // A folder outside the tests' own (which only the super-user may enter).
    std::string pattern = "/tmp/kesto-readonly-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;
    write_file(dir / "plate.txt", kDeck);
    write_file(dir / c.target, kEarlier);
    fs::create_directories(dir / "config");
    ::chmod((dir / c.target).c_str(), 0444);
    std::string prefix;
    if (root) {
      ASSERT_EQ(std::system(("chown -R 65534:65534 " + shell_quote(dir.string())).c_str()), 0);
      ::chmod(dir.c_str(), 0755);
      prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    }
    std::string script = "exec \"$KESTO\" --batch plate";
    for (const auto& o : c.options) script += " " + o;
    const ProgramRun r = run_script(dir, script, prefix);
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    if (*c.out) {
      EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    }
    if (*c.err) {
      EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_EQ(read_file(dir / c.target), kEarlier);
    EXPECT_TRUE(temporaries_in(dir).empty());
    if (std::string(c.target).find(".TBL") != std::string::npos) {  // neither table of the pair is replaced
      EXPECT_FALSE(fs::exists(dir / (c.target == std::string("VOLTS.TBL") ? "EFIELD.TBL" : "VOLTS.TBL")));
    }
    fs::remove_all(dir);
  }
}

// A file-size limit no longer kills the run: the table that does not fit
// ends it on its failure page, and the earlier pair stays.
TEST(FileSafety, FileSizeLimitEndsOnTheTablesPage) {
  const fs::path dir = with_deck("limit", kBigDeck);
  write_file(dir / "VOLTS.TBL", kEarlier);
  write_file(dir / "EFIELD.TBL", kEarlier);
  const ProgramRun r = run_script(dir, "ulimit -f 200; exec \"$KESTO\" --batch plate");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("Fatal error: the output file VOLTS.TBL could not be written.\n\n"
                       "The system reports: File too large\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(read_file(dir / "VOLTS.TBL"), kEarlier);
  EXPECT_EQ(read_file(dir / "EFIELD.TBL"), kEarlier);
  EXPECT_TRUE(temporaries_in(dir).empty());
}

// Each writer on a filesystem that fills up while it writes.
TEST(FileSafety, FullFilesystemLeavesEveryEarlierFile) {
  struct Case {
    const char* what;
    std::vector<std::string> options;  // after --batch plate; "full" is the small filesystem
    std::vector<const char*> earlier;  // files in full/ holding kEarlier
    std::string deck;
    bool tables_in_full;  // the run's folder is the full one
    long size;            // of the small filesystem; every earlier file takes one 4 KB page of it
    std::string message;  // on the output (tables) or standard error; REASON stands for the system's reason
  };
  const std::vector<Case> cases = {
      {"the tables",
       {},
       {"VOLTS.TBL", "EFIELD.TBL"},
       kBigDeck,
       true,
       64 * 1024,
       "Fatal error: the output file VOLTS.TBL could not be written.\n\nThe system reports: REASON\n"},
      {"the MARKEL file",
       {"--markel", "full/run.mkl"},
       {"run.mkl"},
       kDeck,
       false,
       64 * 1024,
       "kesto: kesto: Unable to write the MARKEL file full/run.mkl (REASON); an earlier file of this name is left "
       "as it was\n"},
      {"the pictures",
       {"--pictures", "full"},
       {"geometry.png", "potential.png"},
       kBigDeck,
       false,
       8 * 1024,
       "kesto: could not save the picture full/geometry.png (REASON)\n"},
      {"the export",
       {"--export", "full"},
       {"potential.eps", "potential.tif", "potential.pdf"},
       kBigDeck,
       false,
       12 * 1024,
       "kesto: could not write the picture full/potential.tif (REASON)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = fresh_dir("full_disk");
    const fs::path full = dir / "full";
    const SmallDisk disk(full, c.size);
    const fs::path run_dir = c.tables_in_full ? full : dir;
    write_file(run_dir / "plate.txt", c.deck);
    for (const char* name : c.earlier) write_file(full / name, kEarlier);
    std::string script = disk.limit() + "exec \"$KESTO\" --batch plate";
    for (const auto& o : c.options) script += " " + o;
    const ProgramRun r = run_script(run_dir, script);
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    std::string message = c.message;
    message.replace(message.find("REASON"), 6, disk.reason());
    EXPECT_NE((c.tables_in_full ? r.out : r.err).find(message), std::string::npos) << r.out << r.err;
    for (const char* name : c.earlier) {
      EXPECT_EQ(read_file(full / name), kEarlier) << name;
    }
    EXPECT_TRUE(temporaries_in(full).empty());
  }
}

// A run killed while it writes leaves its temporary files; the next run that
// writes the same files removes them. The earlier files stay meanwhile.
TEST(FileSafety, KilledRunsLeaveOnlyTemporariesThatTheNextRunRemoves) {
  std::string slow = kBigDeck;
  slow.replace(slow.find("NST  3"), 6, "NST  100000");
  const fs::path dir = with_deck("killed", slow);
  for (const char* name : {"VOLTS.TBL", "EFIELD.TBL", "c.dat", "run.mkl"}) write_file(dir / name, kEarlier);
  const std::vector<std::string> args = {"--batch", "plate", "--convergence", "c.dat", "--markel", "run.mkl"};
  const pid_t pid = spawn_kesto(dir, args, "first");
  // The file of sweeps and the recording are being written during the sweeps.
  const bool writing = eventually([&] { return temporaries_in(dir).size() == 2; });
  ::kill(pid, SIGKILL);
  EXPECT_EQ(wait_status(pid), 128 + SIGKILL);
  ASSERT_TRUE(writing) << read_file(dir / "first.err");
  for (const char* name : {"VOLTS.TBL", "EFIELD.TBL", "c.dat", "run.mkl"})
    EXPECT_EQ(read_file(dir / name), kEarlier) << name;
  // A table's temporary as a run killed while writing the tables leaves it.
  const pid_t gone = spawn_kesto(dir, {"--version"}, "gone");
  wait_status(gone);
  write_file(dir / ("VOLTS.TBL." + std::to_string(gone) + ".Ab3xYz.tmp"), std::string(300000, '#'));

  write_file(dir / "plate.txt", kDeck);
  const ProgramRun r = run_kesto(dir, args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(temporaries_in(dir), std::vector<std::string>{});
  EXPECT_EQ(read_file(dir / "VOLTS.TBL").rfind("VOLTS.TBL     \r\n", 0), 0u);
  EXPECT_EQ(read_file(dir / "c.dat").rfind("# sweep", 0), 0u);
}

// A run that finds another writing its tables in the folder waits for it;
// two runs side by side leave the pair of one of them, and the MARKEL file
// of one of them, whole.
TEST(FileSafety, TwoRunsInOneFolderLeaveThePairOfOne) {
  const fs::path dir = fresh_dir("two_runs");
  write_file(dir / "a.txt", kDeck);
  std::string other = kDeck;
  other.replace(other.find("5.0\n"), 4, "9.0\n");
  write_file(dir / "b.txt", other);
  auto held = std::make_unique<kesto::common::FolderLock>(dir.string());
  ASSERT_TRUE(held->locked());
  const pid_t waiting = spawn_kesto(dir, {"--batch", "a"}, "waiting");
  EXPECT_TRUE(eventually([&] {
    return read_file(dir / "waiting.err")
               .find("kesto: another run is writing its tables in this folder; waiting for it to finish\n") !=
           std::string::npos;
  }));
  EXPECT_FALSE(fs::exists(dir / "VOLTS.TBL"));
  held.reset();
  EXPECT_EQ(wait_status(waiting), 0);
  EXPECT_TRUE(fs::exists(dir / "EFIELD.TBL"));

  // Each run alone, for its recording.
  std::map<std::string, std::string> alone;
  for (const char* deck : {"a", "b"}) {
    const ProgramRun r = run_kesto(dir, {"--batch", deck, "--markel", "run.mkl"});
    ASSERT_EQ(r.status, 0) << r.err;
    alone[read_file(dir / "run.mkl")] = deck;
  }
  ASSERT_EQ(alone.size(), 2u);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    const pid_t a = spawn_kesto(dir, {"--batch", "a", "--markel", "run.mkl"}, "a");
    const pid_t b = spawn_kesto(dir, {"--batch", "b", "--markel", "run.mkl"}, "b");
    EXPECT_EQ(wait_status(a), 0);
    EXPECT_EQ(wait_status(b), 0);
    const std::string volts_deck = line_of(read_file(dir / "VOLTS.TBL"), 6);
    const std::string field_deck = line_of(read_file(dir / "EFIELD.TBL"), 6);
    EXPECT_EQ(volts_deck.rfind("CM Input File: ", 0), 0u) << volts_deck;
    EXPECT_EQ(volts_deck, field_deck);
    EXPECT_EQ(alone.count(read_file(dir / "run.mkl")), 1u);  // one run's whole recording
    EXPECT_TRUE(temporaries_in(dir).empty());
  }
}

// A run whose settings are all in the file, unchanged, leaves the file alone.
TEST(FileSafety, ARunThatChangesNoSettingLeavesTheSettingsFileAlone) {
  const fs::path dir = with_deck("settings");
  ASSERT_EQ(run_kesto(dir, {"--batch", "plate"}).status, 0);
  struct stat first {};
  ASSERT_EQ(::stat((dir / "config" / "verudo.ini").c_str(), &first), 0);
  ASSERT_EQ(run_kesto(dir, {"--batch", "plate"}).status, 0);
  struct stat second {};
  ASSERT_EQ(::stat((dir / "config" / "verudo.ini").c_str(), &second), 0);
  EXPECT_EQ(first.st_ino, second.st_ino);
  EXPECT_EQ(first.st_mtim.tv_nsec, second.st_mtim.tv_nsec);
  EXPECT_EQ(first.st_mtim.tv_sec, second.st_mtim.tv_sec);
}
