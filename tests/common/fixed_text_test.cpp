// Fixed-width texts keep their width through every operation.
#include <gtest/gtest.h>

#include "common/fixed_text.h"

using namespace kesto::common;

TEST(FixedText, PadCutsOrFills) {
  EXPECT_EQ(pad("VOLTS.TBL", 14), "VOLTS.TBL     ");
  EXPECT_EQ(pad("ABCDEFGHIJKLMNOP", 14), "ABCDEFGHIJKLMN");
  std::string field(5, 'x');
  assign(field, "ab");
  EXPECT_EQ(field, "ab   ");
}

TEST(FixedText, TrimmedLength) {
  EXPECT_EQ(trimmed_length("  ab  "), 4u);
  EXPECT_EQ(trimmed_length("    "), 0u);
  EXPECT_EQ(trim_right("ab  "), "ab");
}

TEST(FixedText, JustifyKeepsWidth) {
  std::string t = "   abc  ";
  left_justify(t);
  EXPECT_EQ(t, "abc     ");
  right_justify(t);
  EXPECT_EQ(t, "     abc");
  std::string blank(6, ' ');
  right_justify(blank);
  EXPECT_EQ(blank, "      ");
  std::string date = "SEPT. 20, 2000 ";
  right_justify(date);
  EXPECT_EQ(date, " SEPT. 20, 2000");
}

TEST(FixedText, LowerCaseOnlyLetters) {
  std::string t = "Test.DAT-1_Z";
  lower_case(t);
  EXPECT_EQ(t, "test.dat-1_z");
}
