// File lists and the chooser pages, over real directories made by the test.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/fixed_text.h"
#include "shell/window/text_grid.h"
#include "support/run_capture.h"
#include "textui/file_chooser.h"
#include "textui/file_lists.h"
#include "textui/file_names.h"

using namespace kesto;
using namespace kesto::textui;
namespace fs = std::filesystem;

namespace {

// Files f01.txt ... in `dir` (two digits, or three past 99).
void make_files(const fs::path& dir, int count, const char* extension = ".txt") {
  fs::create_directories(dir);
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, count > 99 ? "f%03d%s" : "f%02d%s", i, extension);
    std::ofstream(dir / name) << "x";
  }
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string trimmed(const std::string& s) { return std::string(common::trim_right(s)); }

std::string row(int r) { return trimmed(shell::text_row(r)); }

// The chooser over the names of `dir` with extension txt, driven by `script`.
std::string choose(const std::string& dir, const std::string& script) {
  SET_SEPARATORS();
  std::string name = common::pad("previous", 14);
  const auto c = kesto::testing::run_captured([&] { CHOOSE_BY_EXTENSION(common::pad(dir, 66), name, "txt"); }, script);
  EXPECT_FALSE(c.ended) << script;
  return trimmed(name);
}

}  // namespace

TEST(FileLists, CollectMatchingFilesInNameOrderUpToAHundred) {
  SET_SEPARATORS();
  make_files("many", 150);
  make_files("mixed", 3, ".TXT");
  std::ofstream("mixed/plate.dat") << "x";
  std::ofstream("mixed/plate.txt") << "x";
  std::ofstream("mixed/a_very_long_name.txt") << "x";  // longer than the file-name field
  fs::create_directories("mixed/folder.txt");          // a directory is no file
  NameList list;

  LIST_BY_EXTENSION(common::pad("many", 66), "txt", list);
  ASSERT_EQ(list.count(), 100);
  EXPECT_EQ(list.names.front(), "f001.txt      ");
  EXPECT_EQ(list.names.back(), "f100.txt      ");

  LIST_BY_EXTENSION(common::pad("mixed/", 66), "txt", list);
  EXPECT_EQ(list.names,
            (std::vector<std::string>{"f01.TXT       ", "f02.TXT       ", "f03.TXT       ", "plate.txt     "}));
  LIST_BY_NAME(common::pad("mixed/plate", 80), list);
  EXPECT_EQ(list.names, (std::vector<std::string>{"plate.dat     ", "plate.txt     "}));
  LIST_BY_NAME(common::pad("./mixed/plate.xyz", 80), list);
  EXPECT_EQ(list.count(), 2);

  fs::current_path("mixed");
  LIST_BY_EXTENSION_HERE("dat", list);
  EXPECT_EQ(list.names, std::vector<std::string>{"plate.dat     "});
  LIST_BY_NAME_HERE(common::pad("F02", 14), list);
  EXPECT_EQ(list.names, std::vector<std::string>{"f02.TXT       "});
  fs::current_path("..");

  LIST_BY_EXTENSION(common::pad("nowhere", 66), "txt", list);
  EXPECT_EQ(list.count(), 0);
}

TEST(Chooser, PagesThroughLongListsTenNamesAtATime) {
  make_files("twenty", 20);
  make_files("twentyfive", 25);
  make_files("hundredfifty", 150);
  struct Case {
    const char* dir;
    std::string script;
    const char* chosen;
  };
  const Case cases[] = {
      {"twenty", "", "f01.txt"},            // the automatic user takes the name under the caret
      {"twenty", "key Up\nkey Esc\n", ""},  // up from the first: NONE OF THE ABOVE
      {"twentyfive", "click left cell 24 25\nkey Esc\n", "f11.txt"},
      {"twentyfive", "click left cell 24 25\nclick left cell 19 25\nkey Esc\n", "f01.txt"},
      // Fifteen names on the second page: the last one.
      {"twentyfive", "click left cell 24 25\n" + repeat("key Down\n", 14) + "key Esc\n", "f25.txt"},
      // Up from the first item reaches SHOW MORE NAMES; nine pages on, names
      // 91-100 are the last offered.
      {"hundredfifty", repeat("key Up\nkey Esc\n", 9) + repeat("key Up\n", 3) + "key Esc\n", "f100.txt"},
      {"hundredfifty", repeat("key Up\nkey Esc\n", 10) + "key Esc\n", "f001.txt"},  // and round again
  };
  for (const Case& c : cases) EXPECT_EQ(choose(c.dir, c.script), c.chosen) << c.dir << ": " << c.script;
}

TEST(Chooser, ShowsItsHelpAndTheItemsOfAPage) {
  make_files("twentyfive", 25);
  choose("twentyfive", "click left cell 24 25\n");
  EXPECT_EQ(row(2), "FILE NAMES IN YOUR DIRECTORY:                         CHOOSE A FILE NAME:");
  EXPECT_EQ(shell::text_grid().attrs[1][54], 112);
  EXPECT_EQ(row(3).substr(19), "f11.txt");
  EXPECT_EQ(row(17).substr(19), "f25.txt");
  EXPECT_EQ(row(18).substr(19), "NONE OF THE ABOVE");
  EXPECT_EQ(row(19).substr(19), "SHOW MORE NAMES");
  EXPECT_EQ(row(20), "");  // the longer first page was blanked
  EXPECT_EQ(row(5).substr(19, 17), "f13.txt          ");
  EXPECT_EQ(row(5).substr(54), "   RIGHT BUTTON: CHOOSE");
  EXPECT_EQ(row(10).substr(54), "   ESCAPE: FINISH");
}

TEST(Chooser, MarksDoNotChooseAndClicksOutsideKeepItWaiting) {
  make_files("dir", 5);
  struct Case {
    const char* script;
    const char* chosen;
  };
  const Case cases[] = {
      {"key Down\nkey Enter\nkey Down\nkey Esc\n", "f03.txt"},  // item 2 marked, the caret on 3
      {"click right cell 6 22\nkey Down\nkey Esc\n", "f05.txt"},
      {"key Down\nclick left cell 10 60\nkey Esc\n", "f02.txt"},
      {"key Down\nclick left cell 4 19\nclick left cell 4 37\nkey Esc\n", "f02.txt"},  // beside the list
      {"click left cell 8 22\n", ""},                                                  // NONE OF THE ABOVE
      {"click left cell 7 30\n", "f05.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(choose("dir", c.script), c.chosen) << c.script;
  choose("dir", "click right cell 4 22\nkey Esc\n");
  EXPECT_EQ(shell::text_grid().attrs[3][19], 112) << "the marked item is drawn reversed";
  EXPECT_EQ(shell::text_grid().attrs[4][19], 7);
}

TEST(Chooser, PagesWithoutNamesSaySoAndReturnABlankName) {
  SET_SEPARATORS();
  fs::create_directories("empty");
  struct Case {
    std::function<void(std::string&)> page;
    const char* row5;
    const char* row7;
  };
  const Case cases[] = {
      {[](std::string& n) { CHOOSE_BY_EXTENSION(common::pad("empty", 66), n, "txt"); },
       "SORRY, THERE ARE NO FILES WITH EXTENSION .txt", ""},
      {[](std::string& n) { CHOOSE_BY_EXTENSION_HERE("dat", n); }, "SORRY, NO FILES WITH EXTENSION .dat",
       "WERE FOUND."},
      {[](std::string& n) { CHOOSE_BY_NAME(common::pad("empty/x", 80), n); }, "SORRY, THERE ARE NO FILES",
       "WHICH MATCH THE GIVEN FILE NAME."},
      {[](std::string& n) { CHOOSE_BY_NAME_HERE(common::pad("zz", 14), n); }, "SORRY, THERE ARE NO FILES",
       "WHICH MATCH THE GIVEN FILE NAME."},
      {[](std::string& n) { CHOOSE_BY_NAME(std::string(80, ' '), n); }, "PLEASE TYPE A FILE NAME THAT CAN BE COMPARED",
       "WITH THE FILE NAMES IN YOUR DIRECTORY."},
  };
  for (const Case& c : cases) {
    std::string name = common::pad("previous", 14);
    const auto run = kesto::testing::run_captured([&] { c.page(name); });
    EXPECT_FALSE(run.ended);
    EXPECT_EQ(row(5), c.row5);
    EXPECT_EQ(row(7), c.row7);
    EXPECT_EQ(row(9), "TYPE ANY KEY TO CONTINUE....");
    EXPECT_EQ(trimmed(name), std::string(c.row5).starts_with("PLEASE") ? "previous" : "") << c.row5;
  }
}

TEST(Chooser, FindsByNameHereAndEndsTheRunWhenTheWindowCloses) {
  std::ofstream("plate.txt") << "x";
  std::ofstream("plate.dat") << "x";
  std::string name;
  kesto::testing::run_captured([&] { CHOOSE_BY_NAME_HERE(common::pad("PLATE.TXT", 14), name); }, "key Down\n");
  EXPECT_EQ(trimmed(name), "plate.txt");
  EXPECT_EQ(row(2).substr(0, 29), "FILE NAMES IN YOUR DIRECTORY:");
  kesto::testing::run_captured([&] { CHOOSE_BY_EXTENSION_HERE("dat", name); });
  EXPECT_EQ(row(2).substr(0, 35), "FILE NAMES FOUND IN YOUR DIRECTORY:");
  EXPECT_EQ(trimmed(name), "plate.dat");
  // The window closed on the list, and on the page that found nothing.
  for (const char* extension : {"txt", "xyz"}) {
    const auto run = kesto::testing::run_captured([&] { CHOOSE_BY_EXTENSION_HERE(extension, name); }, "close\n");
    EXPECT_TRUE(run.ended) << extension;
    EXPECT_EQ(run.how, common::RunEnded::Kind::interrupted) << extension;
  }
}
