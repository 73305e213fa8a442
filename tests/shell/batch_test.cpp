// The batch mode's automatic user: pages printed once, pauses answered with
// Enter, and a page that comes back unchanged ending the batch.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sstream>

#include "common/run_ended.h"
#include "shell/drawing/plot_buffer.h"
#include "shell/script/batch.h"
#include "shell/window/events.h"
#include "shell/window/text_grid.h"
#include "support/run_capture.h"

using namespace kesto;

namespace {

void show(const char* text) {
  shell::TEXT_CLEAR();
  shell::TEXT_AT(3, 1);
  shell::TEXT_OUT(text, static_cast<std::int16_t>(std::strlen(text)), 7);
}

}  // namespace

TEST(BatchUser, AnswersEveryPauseWithEnterAndPrintsEachPageOnce) {
  kesto::testing::reset_shell_input();
  std::ostringstream out;
  shell::batch_mode().enabled = true;
  shell::batch_mode().out = &out;
  show("first page");
  EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_ENTER);
  show("second page");
  EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_ENTER);
  EXPECT_EQ(out.str(), "\n\nfirst page\n\n\n\nsecond page\n\n");
  shell::batch_mode() = shell::BatchMode{};
}

TEST(BatchUser, APageDrawnAgainUnchangedEndsTheBatch) {
  kesto::testing::reset_shell_input();
  std::ostringstream out;
  shell::batch_mode().enabled = true;
  shell::batch_mode().out = &out;
  show("PLEASE ENTER A FILE NAME.");
  EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_ENTER);
  show("PLEASE ENTER A FILE NAME.");
  try {
    shell::GI_GET_KEY();
    ADD_FAILURE() << "the batch answered the same page twice";
  } catch (const common::RunEnded& e) {
    EXPECT_EQ(e.kind, common::RunEnded::Kind::stalled);
  }
  EXPECT_NE(out.str().find("shown again unchanged"), std::string::npos);
  shell::batch_mode() = shell::BatchMode{};
}

TEST(BatchUser, TwoWaitsOnOnePageAreNotALoop) {
  kesto::testing::reset_shell_input();
  std::ostringstream out;
  shell::batch_mode().enabled = true;
  shell::batch_mode().out = &out;
  show("two keys on one page");
  EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_ENTER);
  EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_ENTER);
  EXPECT_EQ(out.str(), "\n\ntwo keys on one page\n\n");
  shell::batch_mode() = shell::BatchMode{};
}

TEST(BatchUser, ScriptStepsComeBeforeTheAutomaticUser) {
  const auto c = kesto::testing::run_captured(
      [] {
        show("scripted");
        EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_F1 + 9);
        EXPECT_EQ(shell::GI_GET_KEY(), 'q');
        EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_ENTER);
      },
      "key F10\nkey q\n");
  EXPECT_FALSE(c.ended);
}

TEST(BatchUser, WithoutBatchOrScriptAWaitSeesTheQuit) {
  kesto::testing::reset_shell_input();
  EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_QUIT);
  // The close is remembered: later waits and polls see it at once.
  EXPECT_EQ(shell::GI_POLL_KEY(), 13);
  EXPECT_EQ(shell::GI_CHECK_KEY(), shell::KEY_QUIT);
  kesto::testing::reset_shell_input();
}

TEST(BatchUser, BusyKeyArrivesAtTheRequestedPoll) {
  const auto c = kesto::testing::run_captured(
      [] {
        EXPECT_EQ(shell::GI_CHECK_KEY(), 0);
        EXPECT_EQ(shell::GI_CHECK_KEY(), 0);
        EXPECT_EQ(shell::GI_CHECK_KEY(), 'x');
        EXPECT_EQ(shell::GI_CHECK_KEY(), 0);
      },
      "busy-key x 3\n");
  EXPECT_FALSE(c.ended);
}

TEST(BatchUser, PressesTheKeyThePageAsksFor) {
  const auto c = kesto::testing::run_captured([] {
    show("a form");
    const std::int16_t previous = shell::set_batch_answer_key(shell::KEY_F10);
    EXPECT_EQ(previous, shell::KEY_ENTER);
    EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_F10);
    EXPECT_EQ(shell::set_batch_answer_key(previous), shell::KEY_F10);
    show("a pause");
    EXPECT_EQ(shell::GI_GET_KEY(), shell::KEY_ENTER);
  });
  EXPECT_FALSE(c.ended);
}

TEST(BatchUser, PagesThatComeRoundInALoopEndTheBatch) {
  // A menu and its error page, again and again: each drawn anew each time.
  const auto c = kesto::testing::run_captured([] {
    for (int i = 0; i < 3; ++i) {
      show("the menu");
      shell::GI_GET_KEY();
      show("cannot open");
      shell::GI_GET_KEY();
    }
    ADD_FAILURE() << "the loop was not noticed";
  });
  EXPECT_EQ(c.how, common::RunEnded::Kind::stalled);
  EXPECT_EQ(c.pages,
            "\n\nthe menu\n\n"
            "\n\ncannot open\n\n"
            "\n\nthe menu\n\n"
            "kesto: the batch stopped because this page was shown again unchanged.\n");
}

TEST(BatchUser, OnePageAnsweredOverAndOverEndsTheBatch) {
  int answers = 0;
  const auto c = kesto::testing::run_captured([&] {
    show("ignores every answer");
    for (;;) {
      shell::GI_GET_KEY();
      ++answers;
    }
  });
  EXPECT_EQ(c.how, common::RunEnded::Kind::stalled);
  EXPECT_EQ(answers, 100);
}

TEST(BatchUser, ScriptedPagesArePrintedOnceAsTheyWereLeft) {
  const auto c = kesto::testing::run_captured(
      [] {
        show("typed:");
        EXPECT_EQ(shell::GI_GET_KEY(), 'x');
        shell::TEXT_OUT("x", 1, 7);
        EXPECT_EQ(shell::GI_GET_KEY(), 'y');
        shell::TEXT_OUT("y", 1, 7);
        show("next page");  // not waited on: never printed
        shell::TEXT_CLEAR();
      },
      "key x\nkey y\n");
  EXPECT_EQ(c.pages,
            "\n\ntyped:xy\n\n"  // the page as it was left
            "\n");              // the blank screen at the end
}

// A pick answered by the automatic user gets the start point back: the same
// pick again, with no shape drawn since, ends the batch. Waits in between on
// another point or on a text page, or a shape drawn, let it go on, but not
// for ever from one point.
TEST(BatchUser, APickAnsweredAgainUnchangedEndsTheBatch) {
  std::string drawing_at_every_pick;
  for (int i = 0; i < 101; ++i) drawing_at_every_pick += "PL";
  const struct {
    std::string steps;  // P a pick at (0, 0), Q one at (5, 0), T a text page, L a line drawn, C a colour chosen
    int answered;       // waits answered before the batch stopped (all: it went on)
  } cases[] = {
      {"PP", 1}, {"PLP", 2}, {"PCP", 1}, {"PQP", 3}, {"PTP", 3}, {"QPLPP", 3}, {drawing_at_every_pick, 100},
  };
  if (shell::plot_buffer().block.empty()) shell::ALLOCATE_PLOT_BUFFER();
  for (const auto& c : cases) {
    int answered = 0, waits = 0;
    const auto run = kesto::testing::run_captured([&] {
      for (const char* s = c.steps.c_str(); *s; ++s) {
        const std::uint8_t line[] = {shell::OP_LINE, 0, 0, 0, 0, 1, 0, 1, 0};
        const std::uint8_t colour[] = {shell::OP_RGB, 1, 2, 3};
        if (*s == 'L') shell::append_record(line, sizeof line);
        if (*s == 'C') shell::append_record(colour, sizeof colour);
        if (*s == 'L' || *s == 'C') continue;
        std::optional<shell::PickWait> pick;
        shell::window_state().graphics_mode = *s != 'T';  // picks are made on a picture
        if (*s == 'T')
          show("a page");
        else
          pick.emplace(*s == 'Q' ? 5.0f : 0.0f, 0.0f);
        ++waits;
        shell::GI_GET_KEY();
        ++answered;
      }
    });
    EXPECT_EQ(answered, c.answered) << c.steps;
    EXPECT_EQ(run.how, answered < waits ? common::RunEnded::Kind::stalled : common::RunEnded::Kind::normal) << c.steps;
  }
}
