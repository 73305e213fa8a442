// Buttons and point picking, driven by scripted clicks, keys and the window's
// close: rectangles and label records, which button a pick selects, pick
// codes, and the two ends of a run (the 31st button, a close during a pick).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "plot/buttons.h"
#include "plot/plot_fixture.h"

using namespace kesto;
using kesto::testing::PlotTest;

namespace {

class Buttons : public PlotTest {
 protected:
  void SetUp() override {
    PlotTest::SetUp();
    plot::button_state() = plot::ButtonState{};
    start_recording();
    plot::TEKPAGE(0);
    header_lines_ += 3;  // the picture's separator comments
  }
  static void add(const char* label, float x, float y) {
    textui::set_message(label);
    plot::BUTTON_ADD(x, y);
  }
  // Runs `body` with the user's input from the script; when the script runs
  // out the user closes the window. True when the run ended.
  static bool picking(const char* script_text, const std::function<void()>& body) {
    shell::script() = shell::Script{};
    std::string error;
    EXPECT_TRUE(shell::parse_script(script_text, shell::script(), error)) << error;
    try {
      body();
    } catch (const common::RunEnded&) {
      return true;
    }
    return false;
  }
};

}  // namespace

TEST_F(Buttons, LabelsGiveTheirRectanglesAndRecords) {
  const struct {
    const char* label;
    float x, y;
    int colour;  // 0: BUTTON_ADD
    float x2, y2;
    const char* colour_record;
    const char* text_record;
  } cases[] = {
      {"OK", 0, 0, 0, 88, 72, "SC BAR   7", "CH     0     0  8 S 0 OK"},
      {"CANCEL  ", -300.5f, 100, 3, -36.5f, 172, "SC BAR   3", "CH  -301   100  8 S 0 CANCEL"},
      {"A B", 10, -20, 0, 142, 52, "SC BAR   7", "CH    10   -20  8 S 0 A B"},
      {"", 500, 500, 0, 544, 572, "SC BAR   7", "CH   500   500  8 S 0 "},  // blank: one character wide, none written
  };
  int k = 0;
  for (const auto& c : cases) {
    textui::set_message(c.label);
    if (c.colour == 0)
      plot::BUTTON_ADD(c.x, c.y);
    else
      plot::BUTTON_ADD_COLOUR(c.x, c.y, c.colour);
    const plot::ButtonState& b = plot::button_state();
    ASSERT_EQ(b.count, ++k);
    EXPECT_EQ(std::vector<float>({b.x1[k - 1], b.y1[k - 1], b.x2[k - 1], b.y2[k - 1]}),
              std::vector<float>({c.x, c.y, c.x2, c.y2}))
        << c.label;
    const auto r = records();
    EXPECT_EQ(std::vector<std::string>(r.end() - 2, r.end()),
              std::vector<std::string>({c.colour_record, c.text_record}));
  }
}

TEST_F(Buttons, APickSelectsTheFirstButtonHoldingThePoint) {
  add("OK", 0, 0);          // 0..88 x 0..72
  add("LONGER", 50, 50);    // 50..314 x 50..122, over the first
  add("FAR", -1000, -800);  // -1000..-868 x -800..-728
  const struct {
    const char* script;
    int wait, hit;  // BUTTON_WAIT picks again after a miss; BUTTON_HIT gives 0
  } cases[] = {
      {"click left page 60 60\n", 1, 1},  // in the overlap
      {"click left page 200 100\n", 2, 2},
      {"click left page 88 72\n", 1, 1},  // on the corner of both edges
      {"click left page 0 0\n", 1, 1},
      {"click left page 314 122\n", 2, 2},
      {"click right page -900 -750\n", 3, 3},
      {"click left page 89 20\nclick left page -1000 -728\n", 3, 0},
      {"click left page 1000 1000\nkey a\nclick left page 70 10\n", 1, 0},
  };
  for (const auto& c : cases) {
    std::int32_t k = 0;
    float x, y;
    EXPECT_FALSE(picking(c.script, [&] { plot::BUTTON_WAIT(k); })) << c.script;
    EXPECT_EQ(k, c.wait) << c.script;
    EXPECT_FALSE(picking(c.script, [&] { plot::BUTTON_HIT(k, x, y); })) << c.script;
    EXPECT_EQ(k, c.hit) << c.script;
  }
}

TEST_F(Buttons, ASingleButtonIsChosenWhateverIsPicked) {
  add("ONLY", 0, 0);
  for (const char* script : {"click left page 1500 -1000\n", "key x\n"}) {
    std::int32_t k = 0;
    picking(script, [&] { plot::BUTTON_WAIT(k); });
    EXPECT_EQ(k, 1) << script;
  }
}

// A key leaves the point where the last pick was, and the hit test uses it.
TEST_F(Buttons, PicksGiveThePointAndTheCode) {
  add("OK", 0, 0);
  const struct {
    const char* script;
    float x, y;
    int code, hit;
  } cases[] = {
      {"click left page 250 30\n", 250, 30, -1, 0},
      {"click right page -400 600\n", -400, 600, -2, 0},
      {"key Enter\n", -400, 600, 13, 0},
      {"click left page 10 70\n", 10, 70, -1, 1},
      {"move page 5 5\nkey F1\n", 10, 70, 129, 1},  // pointer moves are no picks
  };
  for (const auto& c : cases) {
    std::int32_t code = 0, k = -1;
    float x = 0, y = 0;
    EXPECT_FALSE(picking(c.script, [&] { plot::PICK_POINT(x, y, code); })) << c.script;
    EXPECT_EQ(code, c.code) << c.script;
    EXPECT_FLOAT_EQ(x, c.x) << c.script;
    EXPECT_FLOAT_EQ(y, c.y) << c.script;
    picking("key Enter\n", [&] { plot::BUTTON_HIT(k, x, y); });
    EXPECT_EQ(k, c.hit) << c.script;
  }
}

TEST_F(Buttons, TheThirtyFirstButtonEndsTheRunWithItsPage) {
  const auto run = kesto::testing::run_captured([] {
    for (int i = 0; i < 31; ++i) add("B", static_cast<float>(-1500 + 100 * i), 0);
  });
  EXPECT_EQ(run.how, common::RunEnded::Kind::fatal);
  EXPECT_NE(run.pages.find(">>>ERROR:"), std::string::npos) << run.pages;
  EXPECT_NE(run.pages.find("FATAL ERROR: TOO MANY BUTTONS..."), std::string::npos) << run.pages;
  EXPECT_EQ(plot::button_state().count, 30);
  const auto r = records();  // thirty labels drawn, not the thirty-first
  EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const std::string& l) { return l.rfind("CH ", 0) == 0; }), 30);
  EXPECT_TRUE(std::filesystem::exists(shell::settings_path())) << "the settings are saved";
  EXPECT_EQ(shell::main_window(), nullptr);
}

// With no button defined the picks go on until the window is closed.
TEST_F(Buttons, ClosingTheWindowDuringAPickEndsThePictureAndTheRun) {
  std::int32_t k = -1;
  EXPECT_TRUE(picking("click left page 0 0\nkey Enter\nclose\n", [&] { plot::BUTTON_WAIT(k); }));
  EXPECT_TRUE(shell::script().done()) << "every pick before the close was taken";
  EXPECT_EQ(records(), (std::vector<std::string>{"CM", "CM"}));  // TEKFLUSH(1) ended the picture
  EXPECT_TRUE(std::filesystem::exists(shell::settings_path())) << "the settings are saved";
  EXPECT_EQ(shell::main_window(), nullptr);
}

// A batch's automatic user answers a pick with a key, which gives the start
// point back: BUTTON_WAIT, whose pick no button holds, ends the batch.
TEST_F(Buttons, TheBatchStopsAWaitThatNoButtonCanEnd) {
  const struct {
    int buttons;
    const char* script;
    int k;  // the button chosen; 0: the batch stopped
  } cases[] = {{1, "", 1}, {2, "", 0}, {2, "click left page -1280 30\n", 2}};
  for (const auto& c : cases) {
    plot::button_state() = plot::ButtonState{};
    for (int i = 0; i < c.buttons; ++i) add("B", static_cast<float>(-1500 + 200 * i), 0);
    std::int32_t k = 0;
    std::ostringstream out;
    shell::batch_mode() = shell::BatchMode{};
    shell::batch_mode().enabled = true;
    shell::batch_mode().out = &out;
    EXPECT_EQ(picking(c.script, [&] { plot::BUTTON_WAIT(k); }), c.k == 0) << c.buttons << c.script;
    shell::batch_mode() = shell::BatchMode{};
    EXPECT_EQ(k, c.k) << c.buttons << c.script;
    EXPECT_EQ(out.str(),
              c.k == 0 ? "kesto: the batch stopped because this picture asked again for a point unchanged.\n" : "");
  }
}
