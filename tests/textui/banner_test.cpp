// Title line, version line and the date forms.
#include <gtest/gtest.h>

#include "textui/banner.h"
#include "textui/messages.h"

using namespace kesto::textui;

namespace {
std::tm date(int year, int month, int day) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  return t;
}
}  // namespace

TEST(Title, FilledTemplateWithNameVersionAndDate) {
  ProgramIdentity& p = program_identity();
  p = ProgramIdentity{};
  p.name = "KESTO   ";
  p.version = "1A    ";
  p.release_date = " SEPT. 20, 2000";
  SET_TITLE();
  const std::string& t = message_area().title_line;
  ASSERT_EQ(t.size(), 80u);
  EXPECT_EQ(t.substr(0, 56), "*** KESTO    ** VERSION 1A     ****  SEPT. 20, 2000 ****");
  EXPECT_EQ(t.substr(56), std::string(24, ' '));
  EXPECT_EQ(p.year, "2000");
}

TEST(Title, TrailingBlanksOfTheDateAreMovedToTheFront) {
  ProgramIdentity& p = program_identity();
  p.name = "KESTO   ";
  p.version = "1A    ";
  p.release_date = "SEPT. 20, 2000 ";
  SET_TITLE();
  EXPECT_EQ(message_area().title_line.substr(36, 15), " SEPT. 20, 2000");
  EXPECT_EQ(message_area().title_line[50], '0');  // ends in column 51
}

TEST(RightJustify, MovesTextRightAndKeepsBlankTexts) {
  std::string a = "AB  ";
  RIGHT_JUSTIFY(a);
  EXPECT_EQ(a, "  AB");
  std::string b = "    ";
  RIGHT_JUSTIFY(b);
  EXPECT_EQ(b, "    ");
}

TEST(CollapseBlanks, RemovesTheBlanksAfterTheFirstOne) {
  std::string line = "KESTO    VERSION 1A    ";
  line.resize(80, ' ');
  COLLAPSE_BLANKS(line);
  EXPECT_EQ(line.substr(0, 17), "KESTO VERSION 1A ");
  EXPECT_EQ(line.size(), 80u);
  std::string no_blank = "ABCDEFGHIJK  L";
  COLLAPSE_BLANKS(no_blank);
  EXPECT_EQ(no_blank, "ABCDEFGHIJK  L");
}

TEST(Dates, ShortAndLongForms) {
  EXPECT_EQ(date_short(date(2000, 9, 22)), "22-SEP-00");
  EXPECT_EQ(date_short(date(2000, 9, 5)), " 5-SEP-00");
  EXPECT_EQ(date_short(date(2009, 1, 1)), " 1-JAN-09");
  EXPECT_EQ(date_long(date(2000, 9, 22)), "22-Sep-2000");
  EXPECT_EQ(date_long(date(2026, 12, 8)), " 8-Dec-2026");
  std::string s, l;
  DATE_SHORT(s);
  DATE_LONG(l);
  EXPECT_EQ(s.size(), 9u);
  EXPECT_EQ(l.size(), 11u);
}
