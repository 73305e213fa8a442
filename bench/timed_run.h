// Benchmark support: a whole program run by the shell, timed from outside.
#pragma once

#include <sys/resource.h>
#include <sys/time.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace kesto::bench {

struct RunTime {
  double cpu = 0.0;  // user and system seconds of the program
  double wall = 0.0;
  bool ok = false;  // it ended with exit status 0
};

// Runs `command` through the shell and measures it.
inline RunTime timed_run(const std::string& command) {
  rusage before{}, after{};
  getrusage(RUSAGE_CHILDREN, &before);
  const auto t0 = std::chrono::steady_clock::now();
  RunTime t;
  t.ok = std::system(command.c_str()) == 0;
  t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  getrusage(RUSAGE_CHILDREN, &after);
  auto seconds = [](const timeval& v) { return static_cast<double>(v.tv_sec) + 1e-6 * static_cast<double>(v.tv_usec); };
  t.cpu = seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_stime);
  return t;
}

}  // namespace kesto::bench
