// The script parser: which steps it takes, and the line and reason it gives
// for a step it cannot take.
#include <gtest/gtest.h>

#include "shell/script/script.h"

namespace kesto::shell {
namespace {

// Coordinates are finite numbers; anything else is a malformed step, named by
// its line (two lines of comment and blank come first).
TEST(ScriptParser, MalformedStepsNameTheirLine) {
  const struct {
    const char* step;
    const char* error;
  } cases[] = {
      {"click left pixel nan 5", "script line 3: expected pixel X Y, cell ROW COLUMN or page X Y"},
      {"press left page 5 inf", "script line 3: expected pixel X Y, cell ROW COLUMN or page X Y"},
      {"release right cell -inf 1", "script line 3: expected pixel X Y, cell ROW COLUMN or page X Y"},
      {"move page INFINITY 0", "script line 3: expected pixel X Y, cell ROW COLUMN or page X Y"},
      {"move page 1e999 0", "script line 3: expected pixel X Y, cell ROW COLUMN or page X Y"},
      {"move pixel +-5 0", "script line 3: expected pixel X Y, cell ROW COLUMN or page X Y"},
      {"move pixel 0x10 0", "script line 3: expected pixel X Y, cell ROW COLUMN or page X Y"},
      {"move pixel 5", "script line 3: expected pixel X Y, cell ROW COLUMN or page X Y"},
      {"move pixel 1 2 4", "script line 3: buttons held must be 0 to 3"},
      {"click middle pixel 1 2", "script line 3: the button must be left or right"},
      {"key F13", "script line 3: unknown key"},
      {"key code:40000", "script line 3: unknown key"},
      {"busy-key x 0", "script line 3: the poll count must be a positive integer"},
      {"answer maybe", "script line 3: answer must be ok, cancel, yes or no"},
      {"dialog-spin 1005 sideways", "script line 3: dialog-spin needs a control id and up or down"},
      {"jump", "script line 3: unknown step 'jump'"},
  };
  for (const auto& c : cases) {
    Script s;
    std::string error;
    EXPECT_FALSE(parse_script(std::string("# a comment\n\n") + c.step + "\n", s, error)) << c.step;
    EXPECT_EQ(error, c.error) << c.step;
  }
}

TEST(ScriptParser, NumbersInEveryWrittenForm) {
  Script s;
  std::string error;
  ASSERT_TRUE(parse_script("move pixel +5 -3.5\r\nclick right page 1e2 -0.25\n", s, error)) << error;
  ASSERT_EQ(s.steps.size(), 3u);
  EXPECT_EQ(s.steps[0].x, 5.0);
  EXPECT_EQ(s.steps[0].y, -3.5);
  EXPECT_EQ(s.steps[1].x, 100.0);
  EXPECT_EQ(s.steps[2].y, -0.25);
  EXPECT_EQ(s.steps[2].line, 2);
}

}  // namespace
}  // namespace kesto::shell
