// The MARKEL file menu, end to end through scripted keys and clicks: the
// F2 line that follows the recording state, the file and its header in the
// directory of the file-name record, and files that do not open.
// The automatic user presses F10 once the script is used up.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/fixed_text.h"
#include "kernel/kernel.h"
#include "shell/settings/message_box.h"
#include "shell/window/text_grid.h"
#include "support/run_capture.h"
#include "textui/banner.h"
#include "textui/file_names.h"
#include "textui/markel_file.h"
#include "textui/markel_menu.h"
#include "textui/messages.h"

using namespace kesto;
using namespace kesto::textui;
namespace fs = std::filesystem;

namespace {

void fresh(const std::string& directory, const std::string& markel_name) {
  close_markel_file();
  plot::kernel_state() = plot::KernelState{};
  plot::kernel_state().markel_name = common::pad(markel_name, 16);
  file_name_record() = FileNameRecord{};
  file_name_record().directory = common::pad(directory, 66);
  SET_SEPARATORS();
  program_identity() = ProgramIdentity{};
  program_identity().name = "KESTO   ";
  message_area() = MessageArea{};
  message_area().title_line = common::pad("THE TITLE LINE", 80);
}

kesto::testing::Captured menu(const std::string& script) {
  return kesto::testing::run_captured([] { MARKEL_FILE_MENU(" 5-SEP-00"); }, script);
}

// The F2 line of every page shown, in order: S for START, C for CLOSE.
std::string f2_lines(const std::string& pages) {
  std::string seen;
  for (std::size_t at = 0; (at = pages.find("             F2 = ", at)) != std::string::npos; ++at)
    seen += pages.compare(at + 18, 5, "START") == 0 ? 'S' : 'C';
  return seen;
}

std::vector<std::string> lines_of(const std::string& path) {
  std::vector<std::string> out;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

}  // namespace

TEST(MarkelFileMenu, F2AndItsLineToggleRecordingAndF10AndItsLineLeave) {
  const struct {
    const char* name;
    const char* script;
    const char* f2_lines;  // on the pages shown
    int recording;         // when the page is left
    bool fatal;
  } cases[] = {
      {"F2 twice", "key F2\nkey F2\n", "SCS", 0, false},
      {"a click on the F2 line", "click left cell 9 20\n", "SC", 1, false},
      {"a click on the F10 line", "click left cell 11 70\nkey F2\n", "S", 0, false},
      {"other keys and clicks", "key F1\nkey F3\nkey code:124\nkey Enter\nclick left cell 10 5\n", "SSSSS", 0, false},
      {"the window closed", "close\n", "S", 0, true},
  };
  for (const auto& c : cases) {
    fresh("", "MARKEL.MKL");
    const auto run = menu(c.script);
    EXPECT_EQ(run.ended, c.fatal) << c.name;
    EXPECT_EQ(f2_lines(run.pages), c.f2_lines) << c.name << run.pages;
    EXPECT_EQ(plot::kernel_state().recording, c.recording) << c.name;
    // The recording goes to a temporary file, which takes the name when it closes.
    const bool started = std::string(c.f2_lines).find('C') != std::string::npos;
    EXPECT_EQ(fs::exists("MARKEL.MKL"), started && c.recording == 0) << c.name;
    EXPECT_EQ(!markel_recording_file().empty() && fs::exists(markel_recording_file()), c.recording == 1) << c.name;
    close_markel_file();
    fs::remove("MARKEL.MKL");
  }
  // The page as it stands while not recording.
  fresh("", "MARKEL.MKL");
  const auto run = menu("");
  EXPECT_EQ(run.pages,
            "THE TITLE LINE\n\n******* MARKEL FILE MENU ****** MARKEL FILE MENU ****** MARKEL FILE MENU *******\n\n\n\n"
            "                    MARKEL FILE: MARKEL.MKL\n\n"
            "             F2 = START WRITING A MARKEL FILE\n\n"
            "             F10= RETURN TO THE MAIN MENU\n\n");
  // Attributes: row 1 normal, row 3 reverse, the name field reverse in columns 34-47.
  const auto& attrs = shell::text_grid().attrs;
  EXPECT_EQ((std::vector<int>{attrs[0][0], attrs[2][0], attrs[2][79], attrs[6][31], attrs[6][32], attrs[6][33],
                              attrs[6][46], attrs[6][47], attrs[8][13]}),
            (std::vector<int>{7, 112, 112, 7, 7, 112, 112, 7, 7}));
}

// F2 that closes a recording which could not be written says so in a box and
// leaves the earlier file of that name as it was.
TEST(MarkelFileMenu, AFailedCloseIsShownAndKeepsTheEarlierFile) {
  fresh("", "MARKEL.MKL");
  { std::ofstream("MARKEL.MKL") << "earlier\n"; }
  shell::message_log().clear();
  menu("key F2\n");
  ASSERT_EQ(plot::kernel_state().recording, 1);
  plot::kernel_state().markel_error = ENOSPC;  // a record that did not reach the disk
  menu("key F2\n");
  EXPECT_EQ(plot::kernel_state().recording, 0);
  ASSERT_EQ(shell::message_log().size(), 1u);
  EXPECT_EQ(shell::message_log()[0].text,
            "Unable to write the MARKEL file MARKEL.MKL (No space left on device); an earlier file of this name is "
            "left as it was");
  EXPECT_EQ(lines_of("MARKEL.MKL"), std::vector<std::string>{"earlier"});
  shell::message_log().clear();
}

TEST(MarkelFileMenu, TheNameFieldStoresNoControlCharacter) {
  fresh("", "");
  std::int16_t action = 0;
  kesto::testing::run_captured([&] { MARKEL_NAME_FORM(action); }, "text REC.MKL\nkey Esc\nkey code:3\nkey F12\n");
  EXPECT_EQ(plot::kernel_state().markel_name, "       REC.MKL  ");
  EXPECT_EQ(action, 10);
}

TEST(MarkelFileMenu, TheFileGoesIntoTheRecordsDirectoryWithItsHeader) {
  fs::create_directories("runs");
  const struct {
    const char* directory;
    const char* name;    // the MARKEL file name when the page opens
    const char* script;  // before F2
    const char* path;
  } cases[] = {
      {"runs", "MARKEL.MKL", "", "runs/MARKEL.MKL"},
      {"runs/", "  LEFT.MKL", "", "runs/LEFT.MKL"},    // left-justified first
      {"", "MARKEL.MKL", "text AB\n", "ABRKEL.MKL"},   // typed over the name
      {"", "abcdefghijklmnop", "", "abcdefghijklmn"},  // 14 of the 16 characters
  };
  for (const auto& c : cases) {
    fresh(c.directory, c.name);
    const auto run = menu(std::string(c.script) + "key F2\n");
    EXPECT_FALSE(run.ended) << c.path;
    EXPECT_EQ(plot::kernel_state().recording, 1) << c.path;
    plot::TEKLA(3, 1.0f, 0.0f, 0.0f);  // recording goes on after the page is left
    close_markel_file();
    EXPECT_EQ(lines_of(c.path), (std::vector<std::string>{c.path, "TOPSCR PR      17.36      1.000 D M P",
                                                          "DATE:  5-SEP-00", "CM PROGRAM KESTO   ", "CM CM",
                                                          "LA  1   .1000000E+01   .0000000E+00   .0000000E+00 ",
                                                          "LA  3  0.1000000E+01  0.0000000E+00  0.0000000E+00"}))
        << c.path;
  }
}

// The open reports nothing: the page comes back still offering to start,
// no record goes anywhere, and a FIFO does not block the open. A blank
// name makes the path of the directory itself.
TEST(MarkelFileMenu, AFileThatDoesNotOpenLeavesRecordingOff) {
  fs::create_directories("taken/MARKEL.MKL");
  fs::create_directories("pipe");
  ASSERT_EQ(::mkfifo("pipe/MARKEL.MKL", 0600), 0);
  for (const auto& [directory, name] :
       {std::pair{"missing", "MARKEL.MKL"}, {"taken", "MARKEL.MKL"}, {"pipe", "MARKEL.MKL"}, {"taken", ""}}) {
    fresh(directory, name);
    const auto run = menu("key F2\n");
    EXPECT_FALSE(run.ended) << directory << name;
    EXPECT_EQ(f2_lines(run.pages), "SS") << directory << name << run.pages;
    EXPECT_EQ(plot::kernel_state().recording, 0) << directory << name;
    plot::TEKCOMMENT("NOWHERE$", 8);
  }
  EXPECT_FALSE(fs::exists("missing"));
  EXPECT_TRUE(fs::is_directory("taken/MARKEL.MKL"));
  EXPECT_TRUE(fs::is_fifo("pipe/MARKEL.MKL"));
}

TEST(MarkelFile, WriteTrimmedWritesTheTextWithinItsWidthUpToItsLastNonBlank) {
  std::ostringstream unit;
  for (const auto& [text, width] :
       {std::pair{"ab  c  ", 7}, {"abc", 2}, {"ab c", 3}, {"   ", 3}, {"abc", 0}, {"abc", 9}})
    WRITE_TRIMMED(text, width, unit);
  EXPECT_EQ(unit.str(), "ab  c\nab\nab\n\n\nabc\n");
}
