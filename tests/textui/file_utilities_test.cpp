// Renaming and deleting files: round trips on real files, and the fatal end
// of a rename that fails (its message box, the settings saved, the file of
// the new name kept).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "plot/kernel/kernel.h"
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
    std::function<void()> act;
    Files after;
  } cases[] = {
      {"rename", {{"a.txt", "A"}}, [] { RENAMEFILE("d/a.txt       ", "d/b.txt       ", 7); }, {{"b.txt", "A"}}},
      {"rename over a file",
       {{"a.txt", "A"}, {"b.txt", "B"}},
       [] { RENAMEFILE("d/a.txt", "d/b.txt", 7); },
       {{"b.txt", "A"}}},
      {"n cuts both names",
       {{"a.txt", "A"}, {"b.txtQ", "B"}},
       [] { RENAMEFILE("d/a.txtXY", "d/b.txtQ", 7); },
       {{"b.txt", "A"}, {"b.txtQ", "B"}}},
      {"names end at a blank", {{"a", "A"}}, [] { RENAMEFILE("d/a x", "d/b y", 5); }, {{"b", "A"}}},
      {"the old name in another case", {{"A.TXT", "A"}}, [] { RENAMEFILE("d/a.txt", "d/b.txt", 7); }, {{"b.txt", "A"}}},
      {"rename back",
       {{"a.txt", "A"}},
       [] {
         RENAMEFILE("d/a.txt", "d/b.txt", 7);
         RENAMEFILE("d/b.txt", "d/a.txt", 7);
       },
       {{"a.txt", "A"}}},
      {"long rename into a directory",
       {{"a.txt", "A"}, {"e", "/"}},
       [] { LONG_RENAMEFILE("d/a.txt", "d/e/moved.dat"); },
       {{"e", "/"}, {"e/moved.dat", "A"}}},
      {"delete", {{"a.txt", "A"}, {"b.txt", "B"}}, [] { DELETE_FILE("d/b.txt"); }, {{"a.txt", "A"}}},
      {"delete by the first 14 characters", {{"abcdefghijkl", "A"}}, [] { DELETE_FILE("d/abcdefghijklXYZ"); }, {}},
      {"delete a name in another case", {{"B.TXT", "B"}}, [] { DELETE_FILE("d/b.txt"); }, {}},
      {"delete what is not there", {{"a.txt", "A"}}, [] { DELETE_FILE("d/none.txt"); }, {{"a.txt", "A"}}},
      {"delete leaves a directory", {{"e", "/"}}, [] { LONG_DELETE_FILE("d/e"); }, {{"e", "/"}}},
      {"long delete",
       {{"e", "/"}, {"e/a.txt", "A"}},
       [] { LONG_DELETE_FILE("d/e/a.txt" + std::string(71, ' ')); },
       {{"e", "/"}}},
  };
  for (const auto& c : cases) {
    make(c.before);
    c.act();
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
