// MARKEL record texts: the column layout of every record kind, rounding of
// coordinates half away from zero, and asterisks for values too wide for
// their field.
#include <gtest/gtest.h>

#include <string>

#include "kernel/markel_records.h"

using namespace kesto::plot::markel;

TEST(MarkelRounding, HalvesGoAwayFromZero) {
  EXPECT_EQ(rounded(2.5f), 3);
  EXPECT_EQ(rounded(-2.5f), -3);
  EXPECT_EQ(rounded(0.49999997f), 0);
  EXPECT_EQ(rounded(-1649.5f), -1650);
}

TEST(MarkelLineRecords, FieldsSitInTheirColumns) {
  const std::string li = line_record(-1650, -925, 1650, 7);
  EXPECT_EQ(li, "LI -1650  -925  1650     7     0");
  ASSERT_EQ(li.size(), 32u);
  for (std::size_t blank : {8u, 14u, 20u, 26u}) EXPECT_EQ(li[blank], ' ') << blank + 1;
  EXPECT_EQ(li.substr(27), "    0");

  EXPECT_EQ(wide_line_record(0, 0, 100, -100, 3), "LW     0     0   100  -100     3 ");
  EXPECT_EQ(arc_record(10, 20, 110, 20, 110, 19), "CI    10    20   110    20   110    19 ");
}

TEST(MarkelLineRecords, OverflowFillsOnlyTheFieldThatDoesNotFit) {
  EXPECT_EQ(line_record(123456, 0, -12345, 99999), "LI *****     0 ***** 99999     0");
  EXPECT_EQ(wide_line_record(0, 0, 1, 1, 100000), "LW     0     0     1     1 ***** ");
}

TEST(MarkelTextRecords, LayoutCountAndPadding) {
  EXPECT_EQ(text_record(900, -1230, 10, 0, "   100/  1000", 13), "CH   900 -1230 10 S 0    100/  1000");
  // Columns: size in 16-17, "S " in 19-20, orientation in 21, text from 23.
  const std::string ch = text_record(-5, 7, 7, 1, "AB", 2);
  EXPECT_EQ(ch.substr(15, 2), " 7");
  EXPECT_EQ(ch.substr(18, 2), "S ");
  EXPECT_EQ(ch[20], '1');
  EXPECT_EQ(ch.substr(22), "AB");
  // No characters for a count of zero or below; the record is still made.
  EXPECT_EQ(text_record(0, 0, 10, 0, "XYZ", 0), "CH     0     0 10 S 0 ");
  EXPECT_EQ(text_record(0, 0, 10, 0, "XYZ", -3), "CH     0     0 10 S 0 ");
  // A count beyond the text takes blanks; at most 80 characters.
  EXPECT_EQ(text_record(0, 0, 10, 0, "XY", 4).substr(22), "XY  ");
  EXPECT_EQ(text_record(0, 0, 10, 0, std::string(100, 'a'), 100).size(), 22u + 80u);
  // Size and orientation overflow their two and one columns.
  EXPECT_EQ(text_record(0, 0, 100, 12, "A", 1), "CH     0     0 ** S * A");
}

TEST(MarkelAreaRecords, CallerRealsAsWholeNumbers) {
  EXPECT_EQ(box_record(-1650.0f, -925.0f, 1650.0f, 1225.0f), "RB-1650. -925. 1650. 1225.");
  EXPECT_EQ(box_record(2.5f, -2.5f, 0.4f, -0.4f), "RB    3.   -3.    0.   -0.");
  EXPECT_EQ(fill_record(-1683.0f, -792.0f, -1650.0f, -759.0f, 0), "RF-1683. -792.-1650. -759.  0");
  EXPECT_EQ(fill_record(-12345.0f, 123456.0f, 99999.4f, 0.0f, 1000), "RF************99999.    0.***");
  EXPECT_EQ(quad_record(1, 2, 3, 4, 5, 6, 7, 8), "QF    1.    2.    3.    4.    5.    6.    7.    8.");
}

TEST(MarkelColourRecords, ModesAndColourChoices) {
  EXPECT_EQ(mode_record(1), "SC MODE BAR");
  EXPECT_EQ(mode_record(5), "SC MODE HOT");
  EXPECT_EQ(mode_record(6), "SC MODE HOTPJ");
  EXPECT_EQ(mode_record(7), "SC MODE HOTIRON SCALE");
  EXPECT_EQ(mode_record(0), "");
  EXPECT_EQ(mode_record(8), "");

  EXPECT_EQ(bar_colour_record(7), "SC BAR   7");
  EXPECT_EQ(bar_colour_record(15), "SC BAR  15");
  EXPECT_EQ(bar_colour_record(100), "SC BAR  **");
  EXPECT_EQ(rgb_record(255, 0, 128), "SC RGB 255  0128");
  EXPECT_EQ(rgb_record(1000, -1, 5), "SC RGB *** -1  5");
  EXPECT_EQ(grey_record(3), "SC GREY  3");
  EXPECT_EQ(circl_record(-0.25f), "SC CIRCL     -0.250");
  EXPECT_EQ(hot_record(0.1f), "SC HOT     0.100");
  EXPECT_EQ(hot_record(0.0625f), "SC HOT     0.063");  // an exact tie goes away from zero
  EXPECT_EQ(hot_record(0.9995f), "SC HOT     0.999");  // 0.9995 as a float lies just below the tie
  EXPECT_EQ(iron_record(1.0f), "SC IRON     1.000");
  EXPECT_EQ(hot_record(1.0e9f), "SC HOT**********");
}

TEST(MarkelAnnotationRecords, LaAndComments) {
  EXPECT_EQ(la_record(3, 1.0f, 0.0f, 0.0f), "LA  3  0.1000000E+01  0.0000000E+00  0.0000000E+00");
  EXPECT_EQ(la_record(1000, -2.5f, 1.0e-6f, 123456.0f), "LA*** -0.2500000E+01  0.1000000E-05  0.1234560E+06");

  EXPECT_EQ(comment_record("$ rest", 6), "CM");
  EXPECT_EQ(comment_record("abc$", 4), "CM abc");
  EXPECT_EQ(comment_record("PROGRAM KESTO   $", 17), "CM PROGRAM KESTO   ");
  // Without a "$" in the first 76 characters the comment is 76 characters.
  std::string long_text(76, 'x');
  long_text += "$yz";
  EXPECT_EQ(comment_record(long_text, 79), "CM " + std::string(76, 'x'));
  // A shorter text without "$" ends with the text (never read past it).
  EXPECT_EQ(comment_record("short", 5), "CM short");
  EXPECT_EQ(comment_record("short$", 3), "CM sho");
}
