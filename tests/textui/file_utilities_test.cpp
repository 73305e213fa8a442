// Renaming and deleting files: round trips on real files, and the fatal end
// of a rename that fails (its message box, the settings saved, the file of
// the new name kept).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "kernel/kernel.h"
#include "shell/window_fixture.h"
#include "support/run_capture.h"
#include "textui/file_utilities.h"

using namespace kesto;
using namespace kesto::textui;
namespace fs = std::filesystem;
using namespace std::string_view_literals;

namespace {

using Files = std::map<std::string, std::string>;  // path under "d" -> contents ("/" for a directory)

void make(const Files& files) {
  fs::remove_all("d");
  fs::create_directories("d");
  for (const auto& [path, text] : files) {
    if (text == "/")
      fs::create_directories("d/" + path);
    else
      std::ofstream("d/" + path) << text;
  }
}

Files found() {
  Files files;
  for (const auto& e : fs::recursive_directory_iterator("d")) {
    const std::string path = fs::relative(e.path(), "d").string();
    if (e.is_directory()) {
      files[path] = "/";
    } else {
      std::ostringstream text;
      text << std::ifstream(e.path()).rdbuf();
      files[path] = text.str();
    }
  }
  return files;
}

}  // namespace

TEST(FileUtilities, RenameAndDeleteRoundTrips) {
  const struct {
    const char* name;
    Files before;
    char op;  // R RENAMEFILE(a, b, n), L LONG_RENAMEFILE(a, b), D DELETE_FILE(a), E LONG_DELETE_FILE(a)
    std::string a, b;
    int n;
    Files after;
  } cases[] = {
      {"rename", {{"a.txt", "A"}}, 'R', "d/a.txt       ", "d/b.txt       ", 7, {{"b.txt", "A"}}},
      {"rename over a file", {{"a.txt", "A"}, {"b.txt", "B"}}, 'R', "d/a.txt", "d/b.txt", 7, {{"b.txt", "A"}}},
      {"n cuts both names",
       {{"a.txt", "A"}, {"b.txtQ", "B"}},
       'R',
       "d/a.txtXY",
       "d/b.txtQ",
       7,
       {{"b.txt", "A"}, {"b.txtQ", "B"}}},
      {"names end at a blank", {{"a", "A"}}, 'R', "d/a x", "d/b y", 5, {{"b", "A"}}},
      {"the old name in another case", {{"A.TXT", "A"}}, 'R', "d/a.txt", "d/b.txt", 7, {{"b.txt", "A"}}},
      {"long rename into a directory",
       {{"a.txt", "A"}, {"e", "/"}},
       'L',
       "d/a.txt",
       "d/e/moved.dat",
       0,
       {{"e", "/"}, {"e/moved.dat", "A"}}},
      {"delete", {{"a.txt", "A"}, {"b.txt", "B"}}, 'D', "d/b.txt", "", 0, {{"a.txt", "A"}}},
      {"delete by the first 14 characters", {{"abcdefghijkl", "A"}}, 'D', "d/abcdefghijklXYZ", "", 0, {}},
      {"delete a name in another case", {{"B.TXT", "B"}}, 'D', "d/b.txt", "", 0, {}},
      {"delete what is not there", {{"a.txt", "A"}}, 'D', "d/none.txt", "", 0, {{"a.txt", "A"}}},
      {"delete leaves a directory", {{"e", "/"}}, 'E', "d/e", "", 0, {{"e", "/"}}},
      {"long delete", {{"e", "/"}, {"e/a.txt", "A"}}, 'E', "d/e/a.txt" + std::string(71, ' '), "", 0, {{"e", "/"}}},
  };
  for (const auto& c : cases) {
    make(c.before);
    if (c.op == 'R') RENAMEFILE(c.a, c.b, c.n);
    if (c.op == 'L') LONG_RENAMEFILE(c.a, c.b);
    if (c.op == 'D') DELETE_FILE(c.a);
    if (c.op == 'E') LONG_DELETE_FILE(c.a);
    EXPECT_EQ(found(), c.after) << c.name;
  }
}

TEST(FileUtilities, RenamePathsReportsFailures) {
  make({{"a.txt", "A"}, {"e", "/"}});
  const struct {
    std::string_view from, to;
    int status;
  } cases[] = {
      {"d/none.txt", "d/b.txt", 1}, {"", "d/b.txt", 1},
      {"d/a.txt", " d/b.txt", 1},   {"d/e", "d/f", 1},
      {"d/a.txt", "d/e", 1},        {"d/a.txt", "d/x/b.txt", 1},
      {"d/a.txt", "d/b.txt", 0},    {"d/b.txt\0z"sv, "d/c.txt", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(RENAME_PATHS(c.from, c.to), c.status) << c.from << " -> " << c.to;
  EXPECT_EQ(found(), (Files{{"c.txt", "A"}, {"e", "/"}}));
}

TEST(FileUtilities, AFailedRenameEndsTheRunWithItsMessageAndKeepsTheFiles) {
  const struct {
    const char* name;
    std::function<void()> act;
    const char* message;
  } cases[] = {
      {"no old file", [] { RENAMEFILE("d/none.txt", "d/b.txt", 10); }, "FATAL ERROR IN RENAMEFILE"},
      {"n + 1 above 80", [] { RENAMEFILE("d/a.txt", "d/c.txt", 80); }, "FATAL ERROR IN RENAMEFILE"},
      {"onto a directory", [] { LONG_RENAMEFILE("d/a.txt", "d/e"); }, "FATAL ERROR IN LONG_RENAMEFILE"},
  };
  kesto::testing::application();
  for (const auto& c : cases) {
    make({{"a.txt", "A"}, {"b.txt", "B"}, {"e", "/"}});
    kesto::testing::reset_shell();
    kesto::testing::remove_settings_file();
    plot::TEKOPEN("kesto", 5);
    const auto run = kesto::testing::run_captured(c.act);
    EXPECT_EQ(run.how, common::RunEnded::Kind::fatal) << c.name;
    ASSERT_EQ(shell::message_log().size(), 1u) << c.name;
    EXPECT_EQ(shell::message_log()[0].caption, "kesto") << c.name;
    EXPECT_EQ(shell::message_log()[0].text, c.message) << c.name;
    EXPECT_TRUE(fs::exists(shell::settings_path())) << c.name << ": the settings are saved";
    EXPECT_EQ(found(), (Files{{"a.txt", "A"}, {"b.txt", "B"}, {"e", "/"}})) << c.name;
  }
}
