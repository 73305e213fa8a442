// The one writer of whole files: which targets it refuses, the permissions
// of the new file, the names of its temporary files and the removal of those
// left behind by runs that are gone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/file_replacing.h"
#include "common/folder_lock.h"

using namespace kesto::common;
namespace fs = std::filesystem;

namespace {

void put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

std::string text_of(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The number of a process that has ended (a child, waited for).
long ended_pid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

}  // namespace

TEST(ReplacingTargets, WhatMayBeReplaced) {
  put("plain", "x");
  fs::create_directory("folder");
  ASSERT_EQ(::mkfifo("pipe", 0600), 0);
  fs::create_symlink("plain", "to-plain");
  fs::create_symlink("pipe", "to-pipe");
  fs::create_symlink("/dev/null", "to-null");
  fs::create_symlink("nowhere", "dangling");
  put("under", "a file");
  const struct {
    const char* path;
    int error;
  } cases[] = {
      {"absent", 0},
      {"plain", 0},
      {"to-plain", 0},
      {"dangling", 0},
      {"folder", EISDIR},
      {"pipe", kNotRegularFile},
      {"to-pipe", kNotRegularFile},
      {"to-null", kNotRegularFile},
      {"/dev/null", kNotRegularFile},
      {"under/x", ENOTDIR},
      {"", ENOENT},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(target_error(c.path), c.error) << c.path;
  }
  EXPECT_EQ(error_text(kNotRegularFile), "Not a regular file");
  EXPECT_EQ(error_text(ENOSPC), "No space left on device");
}

TEST(ReplacingFile, NewFileTakesTheOldPermissionsOr0644UnderTheUmask) {
  const struct {
    int old_mode;  // -1: no earlier file
    mode_t umask_value;
    int expected;
  } cases[] = {{0600, 022, 0600}, {0640, 077, 0640}, {0755, 022, 0755},
               {-1, 022, 0644},   {-1, 077, 0600},   {-1, 002, 0644}};
  for (const auto& c : cases) {
    fs::remove("t");
    if (c.old_mode >= 0) {
      put("t", "old");
      ::chmod("t", static_cast<mode_t>(c.old_mode));
    }
    const mode_t saved = ::umask(c.umask_value);
    EXPECT_EQ(replace_file("t", "new", 3), 0);
    ::umask(saved);
    struct stat st {};
    ASSERT_EQ(::stat("t", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, static_cast<mode_t>(c.expected)) << c.old_mode << " " << c.umask_value;
    EXPECT_EQ(text_of("t"), "new");
  }
}

TEST(ReplacingFile, TemporaryIsUnguessableInTheTargetsFolderAndGoneAfterCommitOrDiscard) {
  fs::create_directory("out");
  ReplacingFile a, b;
  ASSERT_EQ(a.open("out/table"), 0);
  ASSERT_EQ(b.open("out/table"), 0);
  const std::string prefix = "out/table." + std::to_string(::getpid()) + ".";
  EXPECT_EQ(a.temporary().rfind(prefix, 0), 0u) << a.temporary();
  EXPECT_EQ(a.temporary().size(), prefix.size() + 6 + 4);
  EXPECT_NE(a.temporary(), b.temporary());
  long pid = 0;
  EXPECT_TRUE(is_temporary_of(fs::path(a.temporary()).filename().string(), "table", pid));
  EXPECT_EQ(pid, ::getpid());
  const std::string name_a = a.temporary(), name_b = b.temporary();
  EXPECT_EQ(a.write("one", 3), 0);
  EXPECT_EQ(a.commit(), 0);
  b.discard();
  EXPECT_FALSE(fs::exists(name_a));
  EXPECT_FALSE(fs::exists(name_b));
  EXPECT_EQ(text_of("out/table"), "one");
}

TEST(ReplacingFile, RefusedTargetsAreLeftAsTheyWere) {
  ASSERT_EQ(::mkfifo("pipe", 0600), 0);
  fs::create_directories("folder/inside");
  EXPECT_EQ(replace_file("pipe", "x", 1), kNotRegularFile);
  EXPECT_EQ(replace_file("folder", "x", 1), EISDIR);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status("pipe")));
  EXPECT_TRUE(fs::is_directory("folder/inside"));
  for (const auto& e : fs::directory_iterator(".")) {
    EXPECT_NE(e.path().extension(), ".tmp") << e.path();
  }
}

TEST(StaleTemporaries, NamesThatAreTemporariesOfATarget) {
  const struct {
    const char* name;
    bool is;
    long pid;
  } cases[] = {
      {"VOLTS.TBL.123.Ab3xYz.tmp", true, 123}, {"VOLTS.TBL.9.aaaaaa.tmp", true, 9},
      {"VOLTS.TBL.123.tmp", false, 0},         {"VOLTS.TBL.12x.Ab3xYz.tmp", false, 0},
      {"VOLTS.TBL.123.Ab3xY.tmp", false, 0},   {"VOLTS.TBL.123.Ab3x-z.tmp", false, 0},
      {"VOLTS.TBLX123.Ab3xYz.tmp", false, 0},  {"EFIELD.TBL.123.Ab3xYz.tmp", false, 0},
      {"VOLTS.TBL.123.Ab3xYz.tmq", false, 0},  {"VOLTS.TBL..Ab3xYz.tmp", false, 0},
      {"VOLTS.TBL.0.Ab3xYz.tmp", false, 0},
  };
  for (const auto& c : cases) {
    long pid = 0;
    EXPECT_EQ(is_temporary_of(c.name, "VOLTS.TBL", pid), c.is) << c.name;
    if (c.is) {
      EXPECT_EQ(pid, c.pid) << c.name;
    }
  }
}

TEST(StaleTemporaries, OnlyRegularFilesOfEndedRunsAreRemoved) {
  const std::string gone = std::to_string(ended_pid());
  const std::string alive = std::to_string(::getppid());
  put("VOLTS.TBL.keep.tmp", "not a temporary's name");
  put("VOLTS.TBL." + gone + ".Ab3xYz.tmp", "left by a killed run");
  put("VOLTS.TBL." + alive + ".Ab3xYz.tmp", "a run still writing");
  put("EFIELD.TBL." + gone + ".Ab3xYz.tmp", "another target's");
  fs::create_symlink("elsewhere", "VOLTS.TBL." + gone + ".Qq1111.tmp");
  EXPECT_EQ(remove_stale_temporaries("VOLTS.TBL"), 1);
  EXPECT_FALSE(fs::exists("VOLTS.TBL." + gone + ".Ab3xYz.tmp"));
  EXPECT_TRUE(fs::exists("VOLTS.TBL." + alive + ".Ab3xYz.tmp"));
  EXPECT_TRUE(fs::exists("EFIELD.TBL." + gone + ".Ab3xYz.tmp"));
  EXPECT_TRUE(fs::exists("VOLTS.TBL.keep.tmp"));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status("VOLTS.TBL." + gone + ".Qq1111.tmp")));
  // Opening a target clears its stale temporaries too.
  put("VOLTS.TBL." + gone + ".Zz9999.tmp", "left by a killed run");
  ReplacingFile f;
  ASSERT_EQ(f.open("VOLTS.TBL"), 0);
  EXPECT_FALSE(fs::exists("VOLTS.TBL." + gone + ".Zz9999.tmp"));
}

TEST(FolderLock, ASecondHolderWaitsUntilTheFirstLetsGo) {
  fs::create_directory("shared");
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  auto first = std::make_unique<FolderLock>("shared");
  ASSERT_TRUE(first->locked());
  const pid_t child = ::fork();
  if (child == 0) {
    static int report_fd = -1;
    report_fd = pipe_fds[1];
    // The child's copy of the parent's lock would hold the lock for it.
    for (int fd = 3; fd < 1024; ++fd)
      if (fd != report_fd) ::close(fd);
    FolderLock second("shared", [] { (void)!::write(report_fd, "w", 1); });
    (void)!::write(report_fd, second.locked() ? "L" : "-", 1);
    ::_exit(0);
  }
  ::close(pipe_fds[1]);
  char c = 0;
  ASSERT_EQ(::read(pipe_fds[0], &c, 1), 1);
  EXPECT_EQ(c, 'w');  // it waits: the lock is held
  first.reset();
  ASSERT_EQ(::read(pipe_fds[0], &c, 1), 1);
  EXPECT_EQ(c, 'L');
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(pipe_fds[0]);
}
