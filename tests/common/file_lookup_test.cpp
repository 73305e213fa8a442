// Finding typed file names on a file system that tells cases apart, and the
// wildcard directory search of the file lists.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "common/directory_search.h"
#include "common/file_lookup.h"

using namespace kesto::common;
namespace fs = std::filesystem;

TEST(WildcardMatch, StarsQuestionMarksAndCase) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"*.txt", "plate.txt", true},
      {"*.txt", "PLATE.TXT", true},
      {"*.txt", "plate.txt.bak", false},
      {"*.txt", ".txt", true},
      {"plate.*", "plate.dat", true},
      {"plate.*", "plate", false},
      {"plate.*", "plates.dat", false},
      {"p?ate.*", "prate.x", true},
      {"*a*b*", "xxaxxbxx", true},
      {"*a*b", "ab_a", false},
      {"*", "", true},
      {"", "x", false},
  };
  for (const Case& c : cases) EXPECT_EQ(wildcard_match(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

TEST(LocateFile, TheExactNameFirstThenTheOneNameThatMatchesIgnoringCase) {
  fs::create_directories("d/sub.txt");
  ASSERT_EQ(::mkfifo("d/pipe.txt", 0600), 0);
  std::ofstream("d/Plate.TXT") << "x";
  std::ofstream("d/two.txt") << "x";
  std::ofstream("d/TWO.txt") << "x";
  struct Case {
    const char* path;
    const char* found;
  };
  const Case cases[] = {
      {"d/Plate.TXT", "d/Plate.TXT"},
      {"d/plate.txt", "d/Plate.TXT"},
      {"d/two.txt", "d/two.txt"},
      {"d/Two.txt", ""},   // two files match ignoring case: neither is taken
      {"d/sub.txt", ""},   // a directory is not a file
      {"d/pipe.txt", ""},  // nor a pipe, which is not even opened (it would wait for a writer)
      {"d/none.txt", ""},
      {"nodir/plate.txt", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(locate_file(c.path).string(), c.found) << c.path;
    EXPECT_EQ(opens_as_existing_file(c.path), *c.found != '\0') << c.path;
  }
  EXPECT_TRUE(is_existing_directory("d/sub.txt"));
  EXPECT_FALSE(is_existing_directory("d/Plate.TXT"));
}

TEST(DirectorySearch, DeliversMatchingFilesInNameOrder) {
  fs::create_directories("s/dir.txt");
  ASSERT_EQ(::mkfifo("s/pipe.txt", 0600), 0);
  for (const char* n : {"c.txt", "A.TXT", "b.txt", "b.dat"}) std::ofstream(fs::path("s") / n) << "x";
  DirectorySearch search;
  ASSERT_TRUE(FIND_FIRST(search, "s/*.txt"));
  std::vector<std::string> names;
  for (std::string n; FIND_NEXT(search, n);) names.push_back(n);
  EXPECT_EQ(names, (std::vector<std::string>{"A.TXT", "b.txt", "c.txt"}));
  EXPECT_FALSE(FIND_FIRST(search, "s/*.xyz"));
  EXPECT_FALSE(FIND_FIRST(search, "missing/*.txt"));
  std::string n;
  EXPECT_FALSE(FIND_NEXT(search, n));
}
