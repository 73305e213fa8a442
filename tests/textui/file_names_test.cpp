// Building and taking apart paths on the record's fixed-width fields.
#include <gtest/gtest.h>

#include "common/fixed_text.h"
#include "shell/output/data_file.h"
#include "textui/file_names.h"

using namespace kesto;
using namespace kesto::textui;

namespace {
std::string trimmed(const std::string& s) { return std::string(common::trim_right(s)); }

void split(const std::string& path, std::string& dir, std::string& name) {
  dir = std::string(66, ' ');
  name = std::string(14, ' ');
  SPLIT_PATH(common::pad(path, 80), dir, name);
}
}  // namespace

TEST(SplitPath, DirectoryEndsInTheSeparator) {
  SET_SEPARATORS();
  std::string dir, name;
  split("examples/DEMO", dir, name);
  EXPECT_EQ(trimmed(dir), "examples/");
  EXPECT_EQ(trimmed(name), "DEMO");
  EXPECT_EQ(dir.size(), 66u);
  EXPECT_EQ(name.size(), 14u);
  split("/a/b/c/deck.txt", dir, name);
  EXPECT_EQ(trimmed(dir), "/a/b/c/");
  EXPECT_EQ(trimmed(name), "deck.txt");
}

TEST(SplitPath, PlainNameHasNoDirectory) {
  std::string dir, name;
  split("   SHEET.txt", dir, name);
  EXPECT_EQ(trimmed(dir), "");
  EXPECT_EQ(trimmed(name), "SHEET.txt");
  split("", dir, name);
  EXPECT_EQ(trimmed(dir), "");
  EXPECT_EQ(trimmed(name), "");
}

TEST(SplitPath, FourteenCharacterNameAndLongerComponents) {
  std::string dir, name;
  split("dir/ABCDEFGHIJ.txt", dir, name);  // exactly 14
  EXPECT_EQ(trimmed(dir), "dir/");
  EXPECT_EQ(trimmed(name), "ABCDEFGHIJ.txt");
  split("dir/ABCDEFGHIJK.txt", dir, name);  // 15: no file name
  EXPECT_EQ(trimmed(dir), "dir/");
  EXPECT_EQ(trimmed(name), "");
  split("ABCDEFGHIJKLMNOPQ", dir, name);  // too long and no separator
  EXPECT_EQ(trimmed(dir), "");
  EXPECT_EQ(trimmed(name), "");
  split("dir/", dir, name);
  EXPECT_EQ(trimmed(dir), "dir/");
  EXPECT_EQ(trimmed(name), "");
}

TEST(BuildPath, AddsTheSeparatorAndRemembersTheDataFile) {
  SET_SEPARATORS();
  std::string path;
  BUILD_PATH(path, common::pad("runs", 66), common::pad("deck.txt", 14));
  EXPECT_EQ(trimmed(path), "runs/deck.txt");
  EXPECT_EQ(path.size(), 80u);
  EXPECT_EQ(shell::data_file().directory, "runs");
  EXPECT_EQ(shell::data_file().file_name, "deck.txt");
  BUILD_PATH(path, common::pad("runs/", 66), common::pad("deck.txt", 14));
  EXPECT_EQ(trimmed(path), "runs/deck.txt");
  BUILD_PATH(path, std::string(66, ' '), common::pad("deck.txt", 14));
  EXPECT_EQ(trimmed(path), "deck.txt");
}

TEST(BuildPath, SixtySixCharacterDirectoryGetsNoSeparator) {
  std::string path;
  const std::string dir(66, 'd');
  BUILD_PATH(path, dir, common::pad("x", 14));
  EXPECT_EQ(path.substr(0, 67), dir + "x");
}

TEST(BuildPath, DirectoryStopsAtItsFirstBlank) {
  std::string path;
  BUILD_PATH(path, common::pad("one two", 66), common::pad("f", 14));
  EXPECT_EQ(trimmed(path), "one/f");
}

TEST(Justify, LeftJustifyReportsTheLength) {
  std::string t = "   abc   ";
  EXPECT_EQ(LEFT_JUSTIFY(t), 3);
  EXPECT_EQ(t, "abc      ");
  std::string b(5, ' ');
  EXPECT_EQ(LEFT_JUSTIFY(b), 0);
}
