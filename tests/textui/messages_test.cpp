// Message pages, pauses and the fatal stop, driven through the event wait.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/fixed_text.h"
#include "shell/window/events.h"
#include "shell/window/text_grid.h"
#include "support/run_capture.h"
#include "textui/messages.h"
#include "textui/text_screen.h"

using namespace kesto;
using namespace kesto::textui;

namespace {

constexpr const char* kTitle = "*** TITLE LINE THAT IS LONGER THAN FIFTY-FIVE CHARACTERS IN ALL, SURELY ***";

// Fresh message area and an empty screen (the input state belongs to run_captured).
void fresh() {
  shell::text_grid() = shell::TextGrid{};
  message_area() = MessageArea{};
  message_area().title_line = common::pad(kTitle, 80);
  TEXT_BEGIN();
}

std::string row(int r) {
  std::string s = shell::text_row(r);
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

}  // namespace

TEST(MessagePages, PageAndThreeNextsUseRows3To9) {
  fresh();
  set_message("one");
  MSG_PAGE();
  for (const char* t : {"two", "three", "four"}) {
    set_message(t);
    MSG_NEXT();
  }
  EXPECT_EQ(row(1), kTitle);
  EXPECT_EQ(row(3), "one");
  EXPECT_EQ(row(5), "two");
  EXPECT_EQ(row(7), "three");
  EXPECT_EQ(row(9), "four");
}

TEST(MessagePages, PauseAfterPageWritesAt5AndPromptsAt7) {
  const auto c = kesto::testing::run_captured([] {
    fresh();
    set_message("first");
    MSG_PAGE();
    set_message("second");
    MSG_PAUSE();
  });
  EXPECT_FALSE(c.ended);
  EXPECT_EQ(row(5), "second");
  EXPECT_EQ(row(7), "Press any key to continue...");
  EXPECT_NE(c.pages.find("first\n\nsecond\n\nPress any key to continue...\n"), std::string::npos);
}

TEST(MessagePages, NoticeAndErrorPagesCutTheTitleAt55) {
  kesto::testing::run_captured([] {
    fresh();
    set_message("FILE NOT FOUND!");
    NOTICE_PAGE();
  });
  EXPECT_EQ(row(1), std::string(kTitle).substr(0, 55));
  EXPECT_EQ(row(5), "FILE NOT FOUND!");
  EXPECT_EQ(row(9), "Press any key to continue...");

  kesto::testing::run_captured([] {
    fresh();
    set_message("bad thing");
    ERROR_PAGE();
  });
  EXPECT_EQ(row(1), std::string(kTitle).substr(0, 55));
  EXPECT_EQ(row(3), ">>>ERROR:");
  EXPECT_EQ(row(5), "bad thing");
  EXPECT_EQ(row(7), "Press any key to continue...");

  kesto::testing::run_captured([] {
    fresh();
    NO_HELP();
  });
  EXPECT_EQ(row(5), "SORRY-HELP IS NOT AVAILABLE");
}

TEST(MessagePages, WorkingPageShowsTheWholeTitleAndDoesNotWait) {
  fresh();
  WORKING_PAGE();  // would stop the test if it waited: nothing answers outside run_captured
  EXPECT_EQ(row(1), kTitle);
  EXPECT_EQ(row(5), "         ...WORKING...");
}

TEST(MessagePages, ScrollingRoutinesStartANewPageAtTheBottom) {
  kesto::testing::run_captured([] {
    fresh();
    message_area().message_row = 23;
    set_message("near the end");
    MSG_LINE_PAUSE();
  });
  EXPECT_EQ(row(1), "");
  EXPECT_EQ(row(2), "near the end");
  EXPECT_EQ(row(3), "Press any key to continue...");

  fresh();
  message_area().message_row = 25;
  set_message("wraps");
  MSG_LINE();
  EXPECT_EQ(message_area().message_row, 1);
  EXPECT_EQ(row(1), "wraps");

  fresh();
  SET_MSG_ROW(12);
  set_message("at twelve");
  MSG_NEXT();
  EXPECT_EQ(row(12), "at twelve");
  MSG_SKIP();
  EXPECT_EQ(message_area().message_row, 13);
  set_message("rewritten");
  MSG_REWRITE();
  EXPECT_EQ(row(13), "rewritten");
}

TEST(Pauses, ShiftAndClicksDoNotEndAPauseButOtherKeysDo) {
  // Shift yields no key; a click is discarded; F10 ends the pause.
  const auto c = kesto::testing::run_captured(
      [] {
        fresh();
        set_message("wait here");
        MSG_PAGE();
        set_message("x");
        MSG_PAUSE();
        EXPECT_TRUE(shell::script().done());
      },
      "key Shift\nclick left cell 3 3\nkey F10\n");
  EXPECT_FALSE(c.ended);
}

TEST(Pauses, ClosingTheWindowDuringAPauseEndsTheRunAsTheUsersOwnStop) {
  const auto c = kesto::testing::run_captured(
      [] {
        fresh();
        set_message("closing now");
        NOTICE_PAGE();
        ADD_FAILURE() << "the pause returned after the window closed";
      },
      "close\n");
  EXPECT_TRUE(c.ended);
  EXPECT_EQ(c.how, common::RunEnded::Kind::interrupted);
  EXPECT_NE(c.pages.find("closing now"), std::string::npos);
  EXPECT_EQ(shell::text_page(), "");  // the fatal stop cleared the screen
}

TEST(Pauses, WaitKeyAndPauseWait) {
  const auto c = kesto::testing::run_captured(
      [] {
        fresh();
        message_area().message_row = 4;
        PAUSE();
        EXPECT_EQ(row(5), "Press any key to continue...");
        WAIT_KEY();
      },
      "key a\nkey b\n");
  EXPECT_FALSE(c.ended);
  EXPECT_TRUE(shell::script().done());
}

TEST(FatalStop, ClearsTheScreenAndEndsTheRun) {
  const auto c = kesto::testing::run_captured([] {
    fresh();
    set_message("something");
    MSG_PAGE();
    FATAL_STOP();
  });
  EXPECT_TRUE(c.ended);
  EXPECT_EQ(c.how, common::RunEnded::Kind::fatal);
  EXPECT_EQ(shell::text_page(), "");
}

TEST(PageNote, ShowsTwoRowsBelowThePromptOfEveryWaitingPageBrokenAtBlanks) {
  // Broken after the a's (the last blank within 80 columns), then inside
  // the b's, which have no blank.
  const std::string long_note = "convergence: " + std::string(60, 'a') + " " + std::string(85, 'b') + " tail";
  const struct {
    const char* name;
    void (*page)();
    std::string note;
    std::vector<std::pair<int, std::string>> rows;  // expected rows below the prompt
  } cases[] = {
      {"notice page", [] { NOTICE_PAGE(); }, "Deck line 9, column 8.", {{11, "Deck line 9, column 8."}, {12, ""}}},
      {"error page", [] { ERROR_PAGE(); }, "Deck line 2.", {{9, "Deck line 2."}}},
      {"message pause", [] { MSG_PAGE(); MSG_PAUSE(); }, long_note,
       {{9, "convergence: " + std::string(60, 'a')}, {10, std::string(80, 'b')}, {11, "bbbbb tail"}, {12, ""}}},
      {"empty note", [] { NOTICE_PAGE(); }, "", {{11, ""}}},
  };
  for (const auto& c : cases) {
    const std::string note = c.note;
    set_page_note([note] { return note; });
    kesto::testing::run_captured([&] {
      fresh();
      set_message("the message");
      c.page();
      for (const auto& [r, text] : c.rows) EXPECT_EQ(row(r), text) << c.name << " row " << r;
    });
    set_page_note({});
  }
  // Without a note the row stays blank.
  kesto::testing::run_captured([] {
    fresh();
    NOTICE_PAGE();
    EXPECT_EQ(row(11), "");
  });
}
