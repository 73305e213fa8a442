// Test support: a print scheduler of the test's own. The scheduler runs in
// the foreground (`cupsd -f`) with its configuration, spool, cache, logs and
// listening socket in a fresh directory under /tmp (short enough for a
// socket's path, and open to the scheduler's own user, who runs the
// filters); no system service or system file is touched. Queues print to
// files in that directory (`FileDevice Yes`), through the generic PDF
// driver, so each job arrives as the PDF a printer would be sent. Programs
// reach it through CUPS_SERVER=<directory>/cups.sock.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/external_tool.h"

namespace kesto::testing {

class PrivatePrintServer {
 public:
  static constexpr const char* kScheduler = "/usr/sbin/cupsd";
  static constexpr const char* kPdfDriver = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";

  PrivatePrintServer() = default;
  PrivatePrintServer(const PrivatePrintServer&) = delete;
  PrivatePrintServer& operator=(const PrivatePrintServer&) = delete;
  ~PrivatePrintServer() { stop(); }

  // Starts the scheduler and waits until it answers. False, with the reason
  // in `why`, when it cannot be started.
  bool start(std::string& why) {
    namespace fs = std::filesystem;
    if (access(kScheduler, X_OK) != 0) return fail(why, std::string(kScheduler) + " is not installed");
    if (access(kPdfDriver, R_OK) != 0) return fail(why, std::string(kPdfDriver) + " is not installed");
    std::string pattern = "/tmp/kesto-cups-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return fail(why, "cannot make a directory under /tmp");
    dir_ = pattern;
    chmod(dir_.c_str(), 0755);
    for (const char* sub : {"spool", "spool/tmp", "cache", "state", "log", "out"}) {
      fs::create_directories(dir_ / sub);
      chmod((dir_ / sub).c_str(), 0777);
    }
    const std::string d = dir_.string();
    std::ofstream(dir_ / "cupsd.conf") << "Listen " << socket() << "\n"
                                       << "LogLevel warn\n"
                                       << "Browsing No\n"
                                       << "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                                       << "<Policy default>\n<Limit All>\nOrder allow,deny\nAllow all\n"
                                          "</Limit>\n</Policy>\n";
    std::ofstream(dir_ / "cups-files.conf") << "FileDevice Yes\nUser lp\nGroup lp\nSystemGroup root\n"
                                            << "ServerRoot " << d << "\nRequestRoot " << d << "/spool\n"
                                            << "TempDir " << d << "/spool/tmp\nCacheDir " << d << "/cache\n"
                                            << "StateDir " << d << "/state\nErrorLog " << d << "/log/error_log\n"
                                            << "AccessLog " << d << "/log/access_log\nPageLog " << d
                                            << "/log/page_log\n";
    pid_ = fork();
    if (pid_ == 0) {
      const int out = open((d + "/cupsd.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out >= 0) {
        dup2(out, 1);
        dup2(out, 2);
      }
      execl(kScheduler, "cupsd", "-f", "-c", (d + "/cupsd.conf").c_str(), "-s", (d + "/cups-files.conf").c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    if (pid_ < 0) return fail(why, "cannot fork");
    for (int i = 0; i < 200; ++i) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return fail(why, "cupsd ended at once: " + said());
      }
      if (run("lpstat -r").output == "scheduler is running\n") return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return fail(why, "cupsd did not answer on its socket: " + said());
  }

  void stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    if (!dir_.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(dir_, ec);
      dir_.clear();
    }
  }

  std::string socket() const { return (dir_ / "cups.sock").string(); }
  // NAME=VALUE that points a program at this scheduler.
  std::string environment() const { return "CUPS_SERVER=" + socket(); }
  // Where queue `name` writes its jobs.
  std::filesystem::path job_file(const std::string& name) const { return dir_ / "out" / (name + ".pdf"); }

  // Runs a command line of the scheduler's clients against this scheduler.
  ToolRun run(const std::string& command) const { return run_tool(environment() + " " + command); }

  // Adds queue `name` with paper `paper` (a PageSize of the driver: "A4",
  // "Letter") and makes it the default destination.
  ToolRun add_queue(const std::string& name, const std::string& paper) const {
    return run("lpadmin -p " + name + " -E -v file://" + job_file(name).string() + " -P " + kPdfDriver +
               " -o PageSize=" + paper + " && " + environment() + " lpadmin -d " + name);
  }

  // Waits until no job is pending (at most about 30 s); false when some are.
  bool wait_until_idle() const {
    for (int i = 0; i < 600; ++i) {
      if (run("lpstat -o").output.empty()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  // The number of jobs in state `which` ("completed", "all") on one queue,
  // or on every queue when none is named.
  int jobs(const std::string& which, const std::string& queue = "") const {
    return count_lines(run("lpstat -W " + which + " -o " + queue).output);
  }

  // The scheduler's own words: its output and error log.
  std::string said() const {
    return file_text((dir_ / "cupsd.out").string()) + file_text((dir_ / "log" / "error_log").string());
  }

 private:
  static bool fail(std::string& why, const std::string& reason) {
    why = reason;
    return false;
  }
  static int count_lines(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
  }

  std::filesystem::path dir_;
  pid_t pid_ = -1;
};

}  // namespace kesto::testing
