// Number editing: exponent, fixed and integer fields, rounding at the digit
// boundary, negative numbers, zero and field overflow.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/fortran_format.h"

using namespace kesto::common;

TEST(ExponentEditing, WorkedExamplesOfTheTables) {
  EXPECT_EQ(format_E(50.0f, 11, 4), " 0.5000E+02");
  EXPECT_EQ(format_E(-0.00123f, 11, 4), "-0.1230E-02");
  EXPECT_EQ(format_E(0.0f, 11, 4), " 0.0000E+00");
  EXPECT_EQ(format_E(0.0125f, 15, 7), "  0.1250000E-01");
  EXPECT_EQ(format_E(1.0f, 15, 7), "  0.1000000E+01");
  EXPECT_EQ(format_E(350.0f, 11, 4), " 0.3500E+03");
}

TEST(ExponentEditing, RoundsAtTheDigitBoundaryAndCarriesIntoTheExponent) {
  EXPECT_EQ(format_E(9.99995, 11, 4), " 0.1000E+02");
  EXPECT_EQ(format_E(9.99949, 11, 4), " 0.9999E+01");
  EXPECT_EQ(format_E(-9.99995, 11, 4), "-0.1000E+02");
  EXPECT_EQ(format_E(0.99999999, 15, 7), "  0.1000000E+01");
  // An exact binary tie rounds away from zero.
  EXPECT_EQ(format_E(1.0625, 11, 4), " 0.1063E+01");
  EXPECT_EQ(format_E(-1.0625, 11, 4), "-0.1063E+01");
  EXPECT_EQ(format_E(1.03125, 11, 4), " 0.1031E+01");
}

TEST(ExponentEditing, ExtremeSinglePrecisionValues) {
  EXPECT_EQ(format_E(std::numeric_limits<float>::max(), 11, 4), " 0.3403E+39");
  EXPECT_EQ(format_E(1.0e-30f, 11, 4), " 0.1000E-29");
  EXPECT_EQ(format_E(1.0e-6f, 15, 7), "  0.1000000E-05");
}

TEST(ExponentEditing, NarrowFieldsDropTheLeadingZeroThenOverflow) {
  EXPECT_EQ(format_E(0.5, 10, 4), "0.5000E+00");
  EXPECT_EQ(format_E(0.5, 9, 4), ".5000E+00");
  EXPECT_EQ(format_E(-0.5, 10, 4), "-.5000E+00");
  EXPECT_EQ(format_E(-0.5, 9, 4), "*********");
  EXPECT_EQ(format_E(0.5, 8, 4), "********");
}

TEST(ExponentEditing, NonFiniteValuesAreSpelledOut) {
  EXPECT_EQ(format_E(std::nan(""), 11, 4), "        NaN");
  EXPECT_EQ(format_E(-INFINITY, 11, 4), "  -Infinity");
}

TEST(FixedEditing, WholeNumbersWithTrailingPoint) {
  EXPECT_EQ(format_F(12.0, 6, 0), "   12.");
  EXPECT_EQ(format_F(-1650.0, 6, 0), "-1650.");
  EXPECT_EQ(format_F(0.0, 6, 0), "    0.");
  EXPECT_EQ(format_F(2.5, 6, 0), "    3.");  // halves away from zero
  EXPECT_EQ(format_F(-2.5, 6, 0), "   -3.");
  EXPECT_EQ(format_F(123456.0, 6, 0), "******");
  EXPECT_EQ(format_F(-12345.0, 6, 0), "******");
}

TEST(FixedEditing, DecimalsWithLeadingZeroWhenThereIsRoom) {
  EXPECT_EQ(format_F(0.5, 10, 3), "     0.500");
  EXPECT_EQ(format_F(-0.25, 10, 3), "    -0.250");
  EXPECT_EQ(format_F(0.9995, 10, 3), "     1.000");   // the double lies just above the tie
  EXPECT_EQ(format_F(0.0005f, 10, 3), "     0.001");  // the float lies just above the tie too
  EXPECT_EQ(format_F(0.0004999, 10, 3), "     0.000");
  EXPECT_EQ(format_F(0.5, 4, 3), ".500");
  EXPECT_EQ(format_F(1234567.0, 10, 3), "**********");
  EXPECT_EQ(format_F(123456.0, 10, 3), "123456.000");
}

TEST(IntegerEditing, RightJustifiedWithOverflow) {
  EXPECT_EQ(format_I(5, 5), "    5");
  EXPECT_EQ(format_I(-1750, 5), "-1750");
  EXPECT_EQ(format_I(123456, 5), "*****");
  EXPECT_EQ(format_I(-12345, 5), "*****");
  EXPECT_EQ(format_I(1000, 6), "  1000");
}

TEST(SignOfZero, ZeroOfEitherSignIsWrittenWithABlank) {
  // Negative zero (a current that sums to nothing) edits as zero; a negative
  // value that rounds to zero keeps its minus sign.
  const struct {
    std::string text, expected;
  } cases[] = {
      {format_E(-0.0f, 11, 4), " 0.0000E+00"},   {format_E(-0.0, 15, 7), "  0.0000000E+00"},
      {format_E(0.0, 15, 7), "  0.0000000E+00"}, {format_F(-0.0, 6, 0), "    0."},
      {format_F(-0.0f, 10, 3), "     0.000"},    {format_F(-0.0001, 6, 0), "   -0."},
      {format_F(-0.0001, 10, 3), "    -0.000"},  {format_I(-0, 5), "    0"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
}

TEST(Nint, HalvesAwayFromZeroAndClamps) {
  EXPECT_EQ(NINT(2.5f), 3);
  EXPECT_EQ(NINT(-2.5f), -3);
  EXPECT_EQ(NINT(2.4999998f), 2);
  EXPECT_EQ(NINT(-0.4f), 0);
  EXPECT_EQ(NINT(1.0e20f), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(NINT(-1.0e20f), std::numeric_limits<std::int32_t>::min());
}

TEST(FreeFormat, LeadingBlankTextsAndTwelveColumnIntegers) {
  const std::string line = FreeFormat().text("MAXIMUM SIZE IS NX =").integer(250).text(" BY NY=").integer(110).line();
  EXPECT_EQ(line.size(), 80u);
  EXPECT_EQ(line.substr(0, 52), " MAXIMUM SIZE IS NX =         250 BY NY=         110");
  EXPECT_EQ(line.find_last_not_of(' '), 51u);
  EXPECT_EQ(FreeFormat().text("I=").integer(-3).str(), " I=          -3");
}
