// The directory-and-file-name menu, end to end through scripted keys and
// clicks: what the user types, what the page shows, what the record keeps.
// The automatic user presses F10 once the script is used up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/fixed_text.h"
#include "shell/output/data_file.h"
#include "shell/window/text_grid.h"
#include "support/run_capture.h"
#include "textui/banner.h"
#include "textui/file_name_menu.h"
#include "textui/file_names.h"
#include "textui/messages.h"

using namespace kesto;
using namespace kesto::textui;
namespace fs = std::filesystem;

namespace {

std::string trimmed(const std::string& s) { return std::string(common::trim_right(s)); }

void fresh_record(const std::string& name = "", const std::string& directory = "") {
  FileNameRecord& r = file_name_record();
  r = FileNameRecord{};
  r.file_name = common::pad(name, 14);
  r.directory = common::pad(directory, 66);
  r.default_extension = "txt";
  SET_SEPARATORS();
  ProgramIdentity& id = program_identity();
  id = ProgramIdentity{};
  id.name = "KESTO   ";
  id.version = "1A    ";
  id.release_date = " SEPT. 20, 2000";
  SET_TITLE();
}

kesto::testing::Captured menu(const std::string& script, std::int32_t extension_mode = 0, std::int32_t check_mode = 1) {
  return kesto::testing::run_captured([&] { FILE_NAME_MENU(0, extension_mode, check_mode, 2); }, script);
}

// The path the user types into the directory field: Tab from the name.
std::string into_directory(const std::string& text) { return "key Tab\ntext " + text + "\n"; }

const char* kMenuPage =
    "*** KESTO    ** VERSION 1A     ****  SEPT. 20, 2000 ****\n"
    "\n"
    "***** DIRECTORY AND FILE NAME MENU ***** DIRECTORY AND FILE NAME MENU *****\n"
    "\n"
    "DIRECTORY:\n"
    "\n"
    "FILE NAME:   test.txt\n"
    "\n"
    "             F3 = EXIT FROM THE PROGRAM\n"
    "\n"
    "             F10= CONTINUE\n";

}  // namespace

TEST(FileNameMenu, AcceptsTheTidiedNamesOfAFileThatOpens) {
  const std::string e66(66, 'e');
  const std::string e66_path = e66 + "/plate.txt";
  fs::create_directories(e66);
  std::ofstream(e66 + "/plate.txt") << "x";
  fs::create_directories("data");
  std::ofstream("test.txt") << "x";
  std::ofstream("run2.txt") << "x";
  std::ofstream("data/RUN1.TXT") << "x";
  std::ofstream("data/abcdefghij.txt") << "x";
  struct Case {
    const char* name;
    std::string script;
    const char* directory;
    const char* file_name;
    const char* path;
  };
  const Case cases[] = {
      {"TEST", "text TEST\n", "", "test.txt", "test.txt"},
      {"Test.DAT", "text Test.DAT\n", "", "test.txt", "test.txt"},
      {"drive prefix", "text A:RUN2\n", "", "run2.txt", "run2.txt"},
      {"typed path in the name field", "text data/TEST\n", "", "test.txt", "test.txt"},  // the prefix is dropped
      {"whole path in the directory field", into_directory("data\\RUN1.TXT"), "data/", "run1.txt", "data/run1.txt"},
      {"directory and name", into_directory("data") + "key Tab\ntext run1\n", "data/", "run1.txt", "data/run1.txt"},
      {"click on the F10 line", "text test\nclick left cell 11 20\nclose\n", "", "test.txt", "test.txt"},
      {"14-character name in the directory field", into_directory("data/abcdefghij.txt"), "data/", "abcdefghij.txt",
       "data/abcdefghij.txt"},
      {"66-character directory", into_directory(e66) + "key Tab\ntext plate\n", e66.c_str(), "plate.txt",
       e66_path.c_str()},
      {"keys that type no character", "text TEST\nkey Esc\nkey code:3\nkey F11\nkey F12\n", "", "test.txt",
       "test.txt"},
      {"Enter alternates the fields", "text data\nkey Enter\ntext run1\nkey Enter\n", "", "", ""},
  };
  for (const Case& c : cases) {
    fresh_record();
    const auto run = menu(c.script);
    const FileNameRecord& r = file_name_record();
    if (!*c.path) {
      // "data" typed as the name and "run1" as the directory: no such file.
      EXPECT_TRUE(run.ended) << c.name;
      EXPECT_NE(run.pages.find("ERROR: THE PROGRAM CANNOT OPEN THE FILE.\n\nTHE DIRECTORY PATH AND FILE NAME ARE:\n"
                               "\nrun1/data.txt\n"),
                std::string::npos)
          << c.name << run.pages;
      continue;
    }
    EXPECT_FALSE(run.ended) << c.name << run.pages;
    EXPECT_EQ(r.directory, common::pad(c.directory, 66)) << c.name;
    EXPECT_EQ(r.file_name, common::pad(c.file_name, 14)) << c.name;
    EXPECT_EQ(r.full_path, common::pad(c.path, 80)) << c.name;
    // The shell remembers the names for the picture export dialogs.
    EXPECT_EQ(shell::data_file().directory, trimmed(r.directory)) << c.name;
    EXPECT_EQ(shell::data_file().file_name, c.file_name) << c.name;
  }
}

TEST(FileNameMenu, OtherActionsRedrawThePageWithTheTidiedNames) {
  struct Case {
    const char* name;
    std::string script;
    std::string shown;  // what the redrawn page shows
  };
  const std::string d66(66, 'd');
  const Case cases[] = {
      {"F1 on a directory without separator", into_directory("C:\\DATA") + "key F1\nclose\n",
       "DIRECTORY:   C:/DATA/\n"},
      {"click on an empty row", "text TEST\nclick left cell 15 5\nclose\n", kMenuPage},
      {"click on the title", "text TEST\nclick left cell 1 5\nclose\n", "FILE NAME:   test.txt\n"},
      {"the bar", "text TEST\nkey code:124\nclose\n", "FILE NAME:   test.txt\n"},
      {"66-character directory", into_directory(d66) + "key F2\nclose\n", "DIRECTORY:   " + d66 + "\n"},
  };
  for (const Case& c : cases) {
    fresh_record();
    const auto run = menu(c.script);
    EXPECT_TRUE(run.ended) << c.name;  // the close
    EXPECT_NE(run.pages.find(c.shown), std::string::npos) << c.name << run.pages;
  }
  // The 66-character directory kept its length: no separator was added.
  EXPECT_EQ(file_name_record().directory, d66);
}

TEST(FileNameMenu, NamesThatDoNotOpenNeverLeaveTheMenu) {
  struct Case {
    const char* name;
    std::string script;
    const char* shown;
    const char* also = "";  // shown after it
  };
  const Case cases[] = {
      {"blank name", "", "\n\n\n\nPLEASE ENTER A FILE NAME.\n\n\n\nPress any key to continue...\n"},
      {"15-character name in the directory field", into_directory("data/abcdefghijk.txt"),
       "\n\n\n\nA FILE NAME HAS AT MOST 14 CHARACTERS.\n\n\n\nPress any key to continue...\n"},
      {"name over 14 characters in the directory field", into_directory("data/averyveryverylongname.txt"),
       "\n\n\n\nA FILE NAME HAS AT MOST 14 CHARACTERS.\n\n\n\nPress any key to continue...\n",
       "DIRECTORY:   data/averyveryverylongname.txt\n"},  // the menu again, with the path as typed
      {"66-character directory and 14-character name", std::string(into_directory(std::string(66, 'e'))) +
       "key Tab\ntext abcdefghij.txt\n",
       "\n\n\n\nTHE DIRECTORY PATH AND FILE NAME HOLD MORE THAN 80 CHARACTERS.\n\n\n\nPress any key to continue...\n"},
      {"character beyond ASCII", "text plat\nkey code:233\n",
       "\n\n\n\nA DIRECTORY OR FILE NAME MAY HOLD ONLY ASCII CHARACTERS.\n\n\n\nPress any key to continue...\n"},
      {"missing file", "text nothere\n",
       "ERROR: THE PROGRAM CANNOT OPEN THE FILE.\n\nTHE DIRECTORY PATH AND FILE NAME ARE:\n\nnothere.txt\n\n"
       "PLEASE SPECIFY A NEW DIRECTORY OR FILE NAME.\n\nPress any key to continue...\n"},
  };
  for (const Case& c : cases) {
    fresh_record();
    const auto run = menu(c.script);
    // The menu comes back with the names as they were; the automatic user
    // would only send it back to the same page, so the batch stops.
    EXPECT_TRUE(run.ended) << c.name;
    EXPECT_EQ(run.how, common::RunEnded::Kind::stalled) << c.name;
    EXPECT_NE(run.pages.find(c.shown), std::string::npos) << c.name << run.pages;
    EXPECT_NE(run.pages.rfind("***** DIRECTORY AND FILE NAME MENU"),
              run.pages.find("***** DIRECTORY AND FILE NAME MENU"))
        << c.name;
    EXPECT_EQ(run.pages.find("CANNOT OPEN") != std::string::npos, c.name == std::string("missing file")) << c.name;
    EXPECT_NE(run.pages.find(c.also, run.pages.find(c.shown)), std::string::npos) << c.name << run.pages;
  }
}

TEST(FileNameMenu, F3AndTheWindowsCloseEndTheProgram) {
  std::ofstream("test.txt") << "x";
  using Kind = common::RunEnded::Kind;
  for (const auto& [script, how] : {std::pair{"text TEST\nkey F3\n", Kind::left},
                                    std::pair{"text TEST\nclick left cell 9 5\n", Kind::left},
                                    std::pair{"close\n", Kind::interrupted}}) {
    fresh_record();
    const auto run = menu(script);
    EXPECT_TRUE(run.ended) << script;
    EXPECT_EQ(run.how, how) << script;
    EXPECT_NE(run.pages.find("F3 = EXIT FROM THE PROGRAM"), std::string::npos);
  }
  EXPECT_EQ(trimmed(file_name_record().full_path), "");  // the close builds no path
  fresh_record();
  menu("text TEST\nkey F3\n");
  EXPECT_EQ(trimmed(file_name_record().full_path), "test.txt");
}

TEST(FileNameMenu, ModesDecideExtensionsAndChecks) {
  struct Case {
    const char* name;
    std::int32_t extension_mode, check_mode;
    const char* script;
    const char* shown;      // on the page answered last
    const char* file_name;  // accepted
  };
  const Case cases[] = {
      {"mode 1 keeps a typed extension on the page", 1, 0, "text RUN.DAT\nkey F1\n", "FILE NAME:   RUN.DAT\n",
       "run.txt"},
      {"mode 1 adds a missing one", 1, 0, "text run\nkey F1\n", "FILE NAME:   run.txt\n", "run.txt"},
      {"mode 2 keeps names as typed", 2, 0, "text RUN.DAT\n", "", "RUN.DAT"},
      {"check -1 returns even without a name", 0, -1, "", "", ""},
  };
  for (const Case& c : cases) {
    fresh_record();
    const auto run = menu(c.script, c.extension_mode, c.check_mode);
    EXPECT_FALSE(run.ended) << c.name << run.pages;
    EXPECT_NE(run.pages.find(c.shown), std::string::npos) << c.name << run.pages;
    EXPECT_EQ(trimmed(file_name_record().file_name), c.file_name) << c.name;
  }
}

TEST(FileNameMenuStart, FillsTheMenuFromTheArgumentAndShowsTheVersionBlock) {
  fs::create_directories("decks");
  std::ofstream("decks/PLATE.TXT") << "x";
  fresh_record();
  program_identity().notice_variant = 2;
  std::string page;
  const auto run = kesto::testing::run_captured([&] {
    FILE_NAME_MENU_START(0, 1, "decks/Plate");
    page = shell::text_page();
  });
  EXPECT_FALSE(run.ended) << run.pages;
  EXPECT_EQ(trimmed(file_name_record().directory), "decks/");
  EXPECT_EQ(trimmed(file_name_record().file_name), "plate.txt");  // found as PLATE.TXT
  EXPECT_NE(run.pages.find("FILE NAME:   Plate\n"), std::string::npos) << run.pages;
  EXPECT_EQ(trimmed(shell::text_row(18)), "KESTO VERSION 1A                           DISCLAIMER");
  EXPECT_EQ(trimmed(shell::text_row(19)).substr(0, 37), "Copyright (C) 2000 The KESTO authors.");
  EXPECT_EQ(shell::text_row(19).substr(43, 34), "This program is provided as it is,");
  EXPECT_NE(trimmed(shell::text_row(25)), "");  // the left column fills the screen to its last row
}

TEST(FileNameMenuStart, LeavesTheRecordAloneForABlankOrOverlongArgument) {
  for (const std::string& argument : {std::string(), std::string(81, 'x')}) {
    fresh_record("kept.txt", "dir/");
    fill_from_argument(argument);
    EXPECT_EQ(trimmed(file_name_record().file_name), "kept.txt");
    EXPECT_EQ(trimmed(file_name_record().directory), "dir/");
  }
  fill_from_argument("/a/long/directory/that/is/longer/than/forty/characters/deck");
  EXPECT_EQ(trimmed(file_name_record().directory), "/a/long/directory/that/is/longer/than/forty/characters/");
  EXPECT_EQ(trimmed(file_name_record().file_name), "deck");
  // The other separator splits it as the directory field would.
  fill_from_argument("DATA\\RUN1.TXT");
  EXPECT_EQ(trimmed(file_name_record().directory), "DATA/");
  EXPECT_EQ(trimmed(file_name_record().file_name), "RUN1.TXT");
}

TEST(FileNameMenu, ShowListRunsTheExtensionChooserFirst) {
  std::ofstream("alpha.txt") << "x";
  std::ofstream("beta.txt") << "x";
  fresh_record();
  const auto run = kesto::testing::run_captured([] { FILE_NAME_MENU(1, 0, 1, 2); }, "key Down\nkey Esc\n");
  EXPECT_FALSE(run.ended) << run.pages;
  EXPECT_EQ(trimmed(file_name_record().file_name), "beta.txt");
  EXPECT_EQ(run.pages.find("*** KESTO    ** VERSION 1A     ****  SEPT. 20, 2000 ****\nFILE NAMES IN YOUR DIRECTORY:"),
            0u)
      << run.pages;
}
