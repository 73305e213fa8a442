// Reading typed values and showing values in the kinds of form fields.
#include <gtest/gtest.h>

#include "textui/field_values.h"

using namespace kesto::textui;

TEST(ParseReal, AcceptsTheRealSyntaxAndRejectsTheRest) {
  struct Case {
    const char* typed;
    bool valid;
    float value;
  };
  const Case cases[] = {
      {"4.7K", true, 4700.0f}, {"4.7k", false, 0},
      {"+5", false, 0},        {"5", true, 5.0f},
      {"5.", true, 5.0f},      {".5", true, 0.5f},
      {"   ", true, 0.0f},     {"  -2.5e+1 ", true, -25.0f},
      {"1E-3", true, 0.001f},  {"2M", true, 2.0e6f},
      {"1G", true, 1.0e9f},    {"-.25", true, -0.25f},
      {"1e+", true, 1.0f},     {"1 2", false, 0},
      {"-", false, 0},         {".", false, 0},
      {"5E", false, 0},        {"5E-", false, 0},
      {"1E99", false, 0},      {"abc", false, 0},
      {"1.2.3", false, 0},     {"--1", false, 0},
      {"1K3", false, 0},       {"12345678901234567890", true, 1.2345679e19f},
      {"1D3", false, 0},       {"1,5", false, 0},
      {"5,", false, 0},        {"\t5", false, 0},
      {"5/", false, 0},        {"inf", false, 0},
      {"-nan", false, 0},      {"1E-50", true, 0.0f},
  };
  for (const Case& c : cases) {
    float v = -99.0f;
    EXPECT_EQ(PARSE_REAL(c.typed, v), c.valid) << '"' << c.typed << '"';
    // An invalid text leaves the value alone.
    EXPECT_FLOAT_EQ(v, c.valid ? c.value : -99.0f) << '"' << c.typed << '"';
  }
}

TEST(ParseInt, AcceptsAnOptionalMinusAndDigitsWithinSixteenBits) {
  struct Case {
    const char* typed;
    bool valid;
    int value;
  };
  const Case cases[] = {
      {"", true, 0},          {"  42 ", true, 42}, {"-7", true, -7}, {"-32768", true, -32768},
      {"32767", true, 32767}, {"32768", false, 0}, {"+7", false, 0}, {"1 2", false, 0},
      {"4.0", false, 0},      {"-", false, 0},     {"4K", false, 0}, {"7,", false, 0},
      {"\t7", false, 0},      {"7/", false, 0},    {"-0", true, 0},  {"99999999999", false, 0},
  };
  for (const Case& c : cases) {
    std::int16_t v = 99;
    EXPECT_EQ(PARSE_INT(c.typed, v), c.valid) << '"' << c.typed << '"';
    EXPECT_EQ(v, c.valid ? c.value : 99) << '"' << c.typed << '"';
  }
}

TEST(FormatField, EachKindShowsItsValueInTheFieldWidth) {
  struct Case {
    char kind;
    int decimals, width;
    std::int16_t integer;
    float real;
    const char* shown;
  };
  const Case cases[] = {
      {'I', 0, 5, 123, 0, "  123"},
      {'I', 0, 3, -1234, 0, "234"},  // the rightmost characters
      {'F', 2, 8, 0, 4700.0f, " 4700.00"},
      {'F', 2, 5, 0, 4700.0f, "*****"},
      {'F', 0, 6, 0, 12.0f, "   12."},
      {'P', 2, 8, 0, 4700.0f, "  4.70 3"},
      {'P', 2, 8, 0, 47000.0f, " 47.00 3"},
      {'E', 2, 8, 0, 47000.0f, "  4.70 4"},
      {'P', 2, 9, 0, 0.047f, " 47.00 -3"},
      {'P', 1, 9, 0, -0.5f, "-500.0 -3"},
      {'E', 3, 10, 0, -1.25e-7f, " -1.250 -7"},
      {'E', 2, 8, 0, 0.0f, "  0.00 0"},
      {'P', 3, 10, 0, 999999.9f, "1000.000 3"},  // the mantissa rounds past 999; the exponent stays
      {'G', 3, 10, 0, 47.0f, "      47.0"},
      {'G', 3, 10, 0, 0.25f, "     0.250"},
      {'G', 3, 10, 0, 999.0f, "      999."},  // as many digits as the field has: still fixed
      {'G', 3, 10, 0, 4700.0f, " 0.470E+04"},
      {'G', 3, 10, 0, 0.05f, " 0.500E-01"},
      {'G', 3, 10, 0, 999.96f, " 0.100E+04"},  // rounds to four digits: exponent form
      {'G', 3, 10, 0, 0.0f, " 0.000E+00"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FORMAT_FIELD(c.kind, c.decimals, c.width, c.integer, c.real), c.shown)
        << c.kind << c.width << "." << c.decimals << " of " << c.real;
}
