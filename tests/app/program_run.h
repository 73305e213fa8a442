// Test support: runs the kesto executable in a directory of its own, the way
// a user runs it from a shell, with no display and no Qt platform chosen in
// the environment, and collects its exit status and output. A run that has
// not ended after kRunSeconds is killed, so that a hang fails the test in
// seconds (status 124, and a line on its standard error that says so).
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kesto::testing {

constexpr int kRunSeconds = 30;

struct ProgramRun {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

inline std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void write_file(const std::filesystem::path& p, const std::string& text) {
  std::filesystem::create_directories(p.parent_path().empty() ? "." : p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

inline std::string shell_quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// A fresh, empty working directory under the test's own directory.
inline std::filesystem::path fresh_dir(const std::string& name) {
  const auto dir = std::filesystem::current_path() / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// Runs `kesto args...` in `dir` with its own settings directory dir/config;
// `env` adds NAME=VALUE settings to its environment.
inline ProgramRun run_kesto(const std::filesystem::path& dir, const std::vector<std::string>& args,
                            const std::vector<std::string>& env = {}) {
  std::string cmd = "cd " + shell_quote(dir.string()) +
                    " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u KESTO_SWEEP_KERNEL XDG_CONFIG_HOME=" +
                    shell_quote((dir / "config").string());
  for (const auto& e : env) cmd += " " + shell_quote(e);
  cmd += " timeout -k 5 " + std::to_string(kRunSeconds) + " " + shell_quote(KESTO_BINARY_DIR "/kesto");
  for (const auto& a : args) cmd += " " + shell_quote(a);
  cmd += " > stdout.txt 2> stderr.txt";
  ProgramRun r;
  const int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read_file(dir / "stdout.txt");
  r.err = read_file(dir / "stderr.txt");
  if (r.status == 124) r.err += "\n(test) kesto did not end within " + std::to_string(kRunSeconds) + " s\n";
  return r;
}

// The names of the files in a directory.
inline std::set<std::string> files_in(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

inline int count_lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// A small sheet that relaxes quickly: a resistive plate between a 0 V and a
// 5 V electrode, with a current line through its middle when asked for, and
// the given NSTEP and NUPD fields (as they stand in the deck's columns).
inline std::string plate_deck(const std::string& nstep, const std::string& nup, bool current_line) {
  return std::string("SPACE 20 12\nSI   0.01\nTHICK     0.001\nRESIS_B   2 2 19 11 100.0\nLI   3 3 3 10 0.0\n"
                     "LI   18 3 18 10 5.0\n") +
         (current_line ? "CURRENT 10 3 10 10\n" : "") + "NST  " + nstep + "\nNUP    " + nup + "\nEN\n";
}

}  // namespace kesto::testing
