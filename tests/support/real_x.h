// Test support: an X server of the test's own (Xvfb on a display number it
// picks itself, so tests that run side by side never meet), the kesto
// executable started on it in the background the way a user starts it, and
// real input through the X server's test extension (xdotool).
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/program_run.h"
#include "support/external_tool.h"
#include "support/x_client.h"

namespace kesto::testing {

class VirtualScreen {
 public:
  static constexpr const char* kServer = "/usr/bin/Xvfb";

  VirtualScreen() = default;
  VirtualScreen(const VirtualScreen&) = delete;
  VirtualScreen& operator=(const VirtualScreen&) = delete;
  ~VirtualScreen() { stop(); }

  // Starts the server with one screen of width x height at 24 bits and
  // waits until it answers on the display it chose. False, with the reason,
  // when it cannot be started.
  bool start(int width, int height, std::string& why) {
    if (access(kServer, X_OK) != 0) return fail(why, std::string(kServer) + " is not installed");
    for (const char* tool : {"/usr/bin/xdotool", "/usr/bin/xclip"})
      if (access(tool, X_OK) != 0) return fail(why, std::string(tool) + " is not installed");
    // A server left to choose its display takes one that another server of
    // the same kind already serves: the number is chosen here, among those
    // without a lock file, by one test at a time; a server that finds its
    // number taken after all ends at once, and the next one is tried.
    const int lock = open("/tmp/kesto-xvfb.lock", O_RDWR | O_CREAT, 0666);
    if (lock >= 0) flock(lock, LOCK_EX);
    bool started = false;
    for (int n = 400; n < 500 && !started; ++n) {
      if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
      started = launch(n, width, height, why) && x_display_answers(display_);
      if (!started) stop();
    }
    if (lock >= 0) close(lock);
    return started || fail(why, why.empty() ? "no display from :400 to :499 was free" : why);
  }

  void stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }

  const std::string& display() const { return display_; }

  // Runs an X client (xdotool, xclip) on this display.
  ToolRun run(const std::string& command) const { return run_tool("DISPLAY=" + display_ + " " + command); }

 private:
  static bool fail(std::string& why, const std::string& reason) {
    why = reason;
    return false;
  }

  // Starts the server on display n and waits until it reports that it
  // listens; false when it ends instead. The server must not reset when its
  // last client leaves (a test's own client may be the only one before the
  // program connects, and a connection during the reset is dropped).
  bool launch(int n, int width, int height, std::string& why) {
    int fds[2];
    if (pipe(fds) != 0) return fail(why, "cannot make a pipe");
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      const std::string fd = std::to_string(fds[1]);
      const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
      execl(kServer, "Xvfb", (":" + std::to_string(n)).c_str(), "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
            "-noreset",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
      close(fds[0]);
      return fail(why, "cannot fork");
    }
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 20000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number != std::to_string(n)) return fail(why, "Xvfb did not start on display :" + std::to_string(n));
    display_ = ":" + number;
    why.clear();
    return true;
  }

  pid_t pid_ = -1;
  std::string display_;
};

// The kesto executable running on a display, in a directory of its own
// with its own settings directory dir/config.
class RunningKesto {
 public:
  RunningKesto(const VirtualScreen& screen, const std::filesystem::path& dir, const std::vector<std::string>& args)
      : screen_(screen), dir_(dir) {
    std::string cmd = "cd " + shell_quote(dir.string()) +
                      " && exec env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u KESTO_SWEEP_KERNEL DISPLAY=" +
                      screen.display() + " XDG_CONFIG_HOME=" + shell_quote((dir / "config").string()) +
                      " timeout -k 5 " + std::to_string(kRunSeconds) + " " + shell_quote(KESTO_BINARY_DIR "/kesto");
    for (const auto& a : args) cmd += " " + shell_quote(a);
    cmd += " > stdout.txt 2> stderr.txt";
    pid_ = fork();
    if (pid_ == 0) {
      execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~RunningKesto() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  RunningKesto(const RunningKesto&) = delete;
  RunningKesto& operator=(const RunningKesto&) = delete;

  // Waits for the window titled "kesto" to be shown; 0 when it is not
  // within the run's time.
  unsigned long window() {
    if (!window_) {
      wait_for([&] {
        window_ = x_find_window(screen_.display(), "kesto");
        return window_ != 0 || ended();
      });
    }
    return window_;
  }

  // Gives the window the keyboard, as clicking on it does, and waits until
  // the server has moved it there.
  void focus() { screen_.run("timeout 10 xdotool windowfocus --sync " + std::to_string(window())); }

  // What the window shows now.
  QImage shown() { return x_grab_window(screen_.display(), window()); }

  // Waits until what the window shows satisfies `ready`; false when it does
  // not within the run's time (or the program ended first).
  bool wait_until_shown(const std::function<bool(const QImage&)>& ready) {
    return wait_for([&] {
      if (ended()) return true;
      const QImage image = shown();
      return !image.isNull() && ready(image);
    }) && !ended();
  }

  // Waits for the program to end and returns its exit status and output.
  ProgramRun finish() {
    ProgramRun r;
    if (pid_ > 0) {
      int raw = 0;
      waitpid(pid_, &raw, 0);
      pid_ = -1;
      status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    r.status = status_;
    r.out = read_file(dir_ / "stdout.txt");
    r.err = read_file(dir_ / "stderr.txt");
    return r;
  }

  bool ended() {
    if (pid_ <= 0) return true;
    int raw = 0;
    if (waitpid(pid_, &raw, WNOHANG) != pid_) return false;
    pid_ = -1;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return true;
  }

 private:
  static bool wait_for(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(kRunSeconds);
    while (std::chrono::steady_clock::now() < until) {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  const VirtualScreen& screen_;
  std::filesystem::path dir_;
  pid_t pid_ = -1;
  int status_ = -1;
  unsigned long window_ = 0;
};

}  // namespace kesto::testing
