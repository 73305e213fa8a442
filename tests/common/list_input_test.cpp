// Free-format reading of deck arguments: separators, integer and real forms,
// missing and malformed numbers, special values.
#include <gtest/gtest.h>

#include "common/list_input.h"

using kesto::common::ListReader;
using kesto::common::ListStatus;

TEST(ListInput, BlanksAndCommasSeparate) {
  ListReader r("  12, 34  ,-5 6.5e1,7");
  std::int32_t a = 0, b = 0, c = 0;
  float d = 0, e = 0;
  ASSERT_EQ(r.integer(a), ListStatus::ok);
  ASSERT_EQ(r.integer(b), ListStatus::ok);
  ASSERT_EQ(r.integer(c), ListStatus::ok);
  ASSERT_EQ(r.real(d), ListStatus::ok);
  ASSERT_EQ(r.real(e), ListStatus::ok);
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, 34);
  EXPECT_EQ(c, -5);
  EXPECT_FLOAT_EQ(d, 65.0f);
  EXPECT_FLOAT_EQ(e, 7.0f);
}

TEST(ListInput, RealForms) {
  for (const auto& [text, value] : std::vector<std::pair<const char*, float>>{{"1", 1.0f},
                                                                              {"1.", 1.0f},
                                                                              {".5", 0.5f},
                                                                              {"-0.01", -0.01f},
                                                                              {"1E3", 1000.0f},
                                                                              {"2.5d-2", 0.025f},
                                                                              {"+4.0E+00", 4.0f},
                                                                              {"01", 1.0f}}) {
    ListReader r(text);
    float v = -99;
    ASSERT_EQ(r.real(v), ListStatus::ok) << text;
    EXPECT_FLOAT_EQ(v, value) << text;
  }
}

TEST(ListInput, RealIsRoundedOnceToSinglePrecision) {
  ListReader r("0.01");
  float v = 0;
  ASSERT_EQ(r.real(v), ListStatus::ok);
  EXPECT_EQ(v, 0.01f);
}

TEST(ListInput, MalformedOrMissingNumbersAreBad) {
  for (const char* text : {"", "   ", "1.5", "abc", "12x", "--3", "+", "3000000000", ",5", "1,,2"}) {
    ListReader r(text);
    std::int32_t v = 0;
    ListStatus s = r.integer(v);
    if (std::string(text) == "1,,2") {  // the first number reads; the null value after it does not
      ASSERT_EQ(s, ListStatus::ok);
      s = r.integer(v);
    }
    EXPECT_EQ(s, ListStatus::bad) << text;
  }
  for (const char* text : {".", "e5", "1e", "1.2.3", "/5", "1e+"}) {
    ListReader r(text);
    float v = 0;
    EXPECT_EQ(r.real(v), ListStatus::bad) << text;
  }
}

TEST(ListInput, SlashEndsTheListSoLaterNumbersAreMissing) {
  ListReader r("1 / 2");
  std::int32_t a = 0, b = 0;
  EXPECT_EQ(r.integer(a), ListStatus::ok);
  EXPECT_EQ(r.integer(b), ListStatus::bad);
}

TEST(ListInput, InfiniteAndNotANumberAreReported) {
  for (const char* text : {"Inf", "-infinity", "NaN", "nan(0x1)", "1e39", "-3.5E+40"}) {
    ListReader r(text);
    float v = 0;
    EXPECT_EQ(r.real(v), ListStatus::not_finite) << text;
  }
}

TEST(ListInput, TextAfterTheLastNumberIsNeverLookedAt) {
  ListReader r("5 7 this is a comment ,,, /");
  std::int32_t a = 0, b = 0;
  EXPECT_EQ(r.integer(a), ListStatus::ok);
  EXPECT_EQ(r.integer(b), ListStatus::ok);
  EXPECT_EQ(b, 7);
}

TEST(ListInput, IntegerLimits) {
  ListReader r("2147483647 -2147483648 2147483648");
  std::int32_t a = 0, b = 0, c = 0;
  EXPECT_EQ(r.integer(a), ListStatus::ok);
  EXPECT_EQ(r.integer(b), ListStatus::ok);
  EXPECT_EQ(a, 2147483647);
  EXPECT_EQ(b, -2147483647 - 1);
  EXPECT_EQ(r.integer(c), ListStatus::bad);
}

TEST(ListInput, EachFieldKnowsWhereItStandsAndAMissingOneWhereReadingStopped) {
  ListReader r(" 12,  x ,,7 ");
  std::int32_t v = 0;
  const std::pair<ListStatus, std::pair<std::size_t, std::size_t>> expected[] = {
      {ListStatus::ok, {1, 3}},   // "12"
      {ListStatus::bad, {6, 7}},  // "x"
      {ListStatus::bad, {9, 9}},  // the empty field before "7"
  };
  for (const auto& [status, span] : expected) {
    EXPECT_EQ(r.integer(v), status);
    EXPECT_EQ(std::make_pair(r.field_begin(), r.field_end()), span);
  }
  ListReader end("  5  ");
  ASSERT_EQ(end.integer(v), ListStatus::ok);
  EXPECT_EQ(end.integer(v), ListStatus::bad);
  EXPECT_EQ(std::make_pair(end.field_begin(), end.field_end()), std::make_pair(std::size_t{5}, std::size_t{5}));
}
