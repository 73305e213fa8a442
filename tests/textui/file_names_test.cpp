// Building and taking apart paths on the record's fixed-width fields.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

TEST(BuildPath, SixtySixCharacterDirectoryGetsItsSeparatorAtPosition67) {
  std::string path;
  const std::string dir(66, 'd');
  BUILD_PATH(path, dir, common::pad("plate.txt", 14));
  EXPECT_EQ(path, dir + "/plate.txt    ");
  BUILD_PATH(path, dir.substr(0, 65) + "/", common::pad("plate.txt", 14));
  EXPECT_EQ(path, dir.substr(0, 65) + "/plate.txt     ");  // one that ends in it gets no second
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

TEST(NameRoutines, TidyTheFileNameField) {
  SET_SEPARATORS();
  struct Case {
    void (*routine)(std::string&, const std::string&);
    const char* name;
    const char* extension;
    const char* result;
  };
  auto strip = [](std::string& n, const std::string&) { STRIP_NAME_PREFIX(n); };
  const Case cases[] = {
      {strip, "A:RUN2", "", "RUN2"},
      {strip, "dir/sub/x.txt", "", "x.txt"},
      {strip, "a:b/c:d", "", "d"},
      {strip, "dir\\x", "", "dir\\x"},  // only this platform's separator ends a prefix
      {APPLY_EXTENSION, "TEST", "txt", "test.txt"},
      {APPLY_EXTENSION, "  Test.DAT", "TXT", "test.txt"},
      {APPLY_EXTENSION, "DATA.IN", "txt", "data.txt"},
      {APPLY_EXTENSION, "abcdefghij.d", "txt", "abcdefghij.txt"},
      {APPLY_EXTENSION, "ABCDEFGHIJK", "txt", "abcdefghijk"},  // no room before position 12
      {APPLY_EXTENSION, "RUN", "   ", "run"},
      {APPLY_EXTENSION, "", "txt", ""},
      {ADD_MISSING_EXTENSION, "run", "txt", "run.txt"},
      {ADD_MISSING_EXTENSION, "RUN.", "txt", "run.txt"},
      {ADD_MISSING_EXTENSION, "RUN.DAT", "txt", "RUN.DAT"},
  };
  for (const Case& c : cases) {
    std::string name = common::pad(c.name, 14);
    c.routine(name, c.extension);
    EXPECT_EQ(name, common::pad(c.result, 14)) << c.name;
  }
  std::string nul = std::string(1, '\0') + "abc";
  nul.resize(14, ' ');
  APPLY_EXTENSION(nul, "txt");
  EXPECT_EQ(nul, std::string(14, ' '));
}

TEST(NameRoutines, TidyTheDirectoryField) {
  SET_SEPARATORS();
  struct Case {
    void (*routine)(std::string&);
    const char* directory;
    const char* result;
  };
  const Case cases[] = {
      {NORMALISE_SEPARATORS, "C:\\DATA\\x y\\z", "C:/DATA/x y\\z"},
      {TRIM_DIRECTORY, "a/b c/d", "a/b"},
      {TRIM_DIRECTORY, "a//b/c", "a/"},
      {TRIM_DIRECTORY, "/abs/dir/", "/abs/dir/"},
      {END_DIRECTORY, "  runs", "runs/"},
      {END_DIRECTORY, "runs/", "runs/"},
      {END_DIRECTORY, "", ""},
  };
  for (const Case& c : cases) {
    std::string dir = common::pad(c.directory, 66);
    c.routine(dir);
    EXPECT_EQ(dir, common::pad(c.result, 66)) << c.directory;
  }
  std::string full(66, 'd');
  END_DIRECTORY(full);
  EXPECT_EQ(full, std::string(66, 'd'));
  std::string almost = common::pad(std::string(65, 'd'), 66);
  END_DIRECTORY(almost);
  EXPECT_EQ(almost, std::string(65, 'd') + "/");
}

TEST(NameRoutines, SplitDirectoryFieldTakesFilesOutOfTheDirectory) {
  SET_SEPARATORS();
  std::filesystem::create_directories("data");
  std::filesystem::create_directories("runs.old");
  std::ofstream("data/RUN1.TXT") << "x";
  std::ofstream("data/notes") << "x";
  struct Case {
    const char* typed;
    std::int32_t mode;
    const char* directory;
    const char* name;
  };
  const Case cases[] = {
      {"data/RUN1.TXT", 0, "data/", "RUN1.TXT"},  // an existing file
      {"data/run1.txt", 0, "data/", "run1.txt"},  // found ignoring case
      {"data/notes", 0, "data/", "notes"},        // an existing file without extension
      {"data/run1", 1, "data/", "run1.txt"},      // the extension applied first finds it
      {"data/run9.txt", 0, "data/", "run9.txt"},  // not there, but an extension marks a name
      {"data/run9", 0, "data/run9/", "keep"},
      {"data", 0, "data/", "keep"},
      {"runs.old", 0, "runs.old/", "keep"},  // an existing directory, whatever its name
      {"..", 0, "../", "keep"},
      {"C:/DATA", 0, "C:/DATA/", "keep"},
      {"a/b.c/d", 0, "a/b.c/d/", "keep"},
      {"data/a_name_too_long.txt", 0, "data/a_name_too_long.txt/", "keep"},
      {"", 0, "", "keep"},
  };
  for (const Case& c : cases) {
    std::string dir = common::pad(c.typed, 66);
    std::string name = common::pad("keep", 14);
    SPLIT_DIRECTORY_FIELD(dir, name, "txt", c.mode);
    EXPECT_EQ(dir, common::pad(c.directory, 66)) << c.typed;
    EXPECT_EQ(name, common::pad(c.name, 14)) << c.typed;
  }
}
