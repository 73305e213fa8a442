// The tests' entry point. Every test process works in a fresh directory of
// its own (working directory, HOME and XDG_CONFIG_HOME), so test cases that
// run side by side never see each other's tables, settings or pictures. The
// directory is removed when every test passed and kept for a look otherwise.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(KESTO_TEST_HOME, ec);
  std::string pattern = std::string(KESTO_TEST_HOME) + "/run-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("cannot make the test directory");
    return 2;
  }
  const fs::path home = pattern;
  fs::create_directories(home / "config");
  fs::current_path(home);
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);

  testing::InitGoogleMock(&argc, argv);
  const int status = RUN_ALL_TESTS();
  fs::current_path(KESTO_TEST_HOME);
  if (status == 0) fs::remove_all(home, ec);
  return status;
}
