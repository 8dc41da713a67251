// The layout-string formatter: one table per kind of field.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "report_writer.h"

namespace {

struct OneField {
  const char* layout;
  FmtValue value;
  const char* expected;
};

class FieldTest : public ::testing::TestWithParam<OneField> {};

TEST_P(FieldTest, FormatsOneRecord) {
  const OneField& c = GetParam();
  std::vector<std::string> r = FormatRecords(c.layout, {c.value});
  ASSERT_EQ(r.size(), 1u) << c.layout;
  EXPECT_EQ(r[0], c.expected) << c.layout;
}

const OneField kFields[] = {
    // Exponent fields, unscaled 0.ddd mantissa.
    {"(E10.3)", 12345.6f, " 0.123E+05"},
    {"(E10.3)", -12345.6f, "-0.123E+05"},
    {"(E10.3)", 0.0f, " 0.000E+00"},
    {"(E10.3)", 0.99996f, " 0.100E+01"},
    {"(E10.3)", 1.0e-5f, " 0.100E-04"},
    {"(E12.5)", 1.0f, " 0.10000E+01"},
    {"(E9.3)", -12345.6f, "-.123E+05"},  // no room for the leading zero
    {"(E8.3)", -12345.6f, "********"},
    {"(E10.3)", 1.0e120, " 0.100+121"},  // three exponent digits
    // Scaled mantissa.
    {"(1P,E11.4)", 12345.6f, " 1.2346E+04"},
    {"(1PE11.4)", 12345.6f, " 1.2346E+04"},
    {"(1P,E12.5)", 12345.6f, " 1.23456E+04"},
    {"(1P,E11.4)", -0.000123456f, "-1.2346E-04"},
    {"(1P,E11.4)", 0.0f, " 0.0000E+00"},
    {"(1P,E11.4)", 9.99996f, " 1.0000E+01"},
    {"(1P,E10.4)", -12345.6f, "**********"},
    {"(1P,E9.2)", 5.0f, " 5.00E+00"},
    // Fixed-point fields.
    {"(F7.2)", 10000.0f, "*******"},
    {"(F7.2)", 9999.99f, "9999.99"},
    {"(F7.3)", -0.0004f, "  0.000"},
    {"(F7.3)", -0.0006f, " -0.001"},
    {"(F7.3)", 0.0f, "  0.000"},
    {"(F8.3)", 2.5f, "   2.500"},
    {"(F7.2)", 32.2f, "  32.20"},
    {"(F6.2)", 0.125, "  0.13"},  // exact halves go away from zero
    {"(F6.2)", -0.125f, " -0.13"},
    {"(F4.1)", 0.25f, " 0.3"},
    {"(F5.0)", 2.5f, "   3."},
    {"(F5.0)", -2.5f, "  -3."},
    {"(F5.0)", 0.5f, "   1."},
    {"(F6.1)", 99.95, " 100.0"},  // the double 99.95 lies just above 99.95
    {"(F4.1)", 9.95f, " 9.9"},    // 9.95f lies just below 9.95
    {"(F5.2)", 9.995, " 9.99"},   // the double 9.995 lies just below
    {"(E10.2)", 0.125, "  0.13E+00"},
    {"(E10.1)", 0.95f, "   0.9E+00"},  // 0.95f lies just below 0.95
    {"(E10.2)", 0.995f, "  0.10E+01"},  // 0.995f lies just above 0.995
    {"(1P,E9.1)", 0.125f, "  1.3E-01"},
    {"(1P,E9.1)", 99.5f, "  1.0E+02"},  // the carry moves the exponent
    {"(1P,E9.1)", 9.75f, "  9.8E+00"},
    {"(E10.1)", 0.95, "   0.9E+00"},
    {"(F6.2)", 0.135f, "  0.14"},  // 0.135f is slightly above 0.135
    {"(F4.3)", 0.5f, ".500"},      // optional zero dropped
    {"(F5.3)", -0.5f, "-.500"},
    {"(F4.3)", -0.5f, "****"},
    {"(F5.0)", 12.0f, "  12."},
    {"(F7.2)", -999.5f, "-999.50"},
    {"(F7.2)", std::numeric_limits<float>::quiet_NaN(), "*******"},
    {"(F7.2)", std::numeric_limits<float>::infinity(), "*******"},
    {"(E10.3)", -std::numeric_limits<float>::infinity(), "**********"},
    {"(F7.2)", 3, "   3.00"},  // an integer in a real field
    // Integer fields.
    {"(I3)", 1000, "***"},
    {"(I3)", 999, "999"},
    {"(I3)", -99, "-99"},
    {"(I3)", -100, "***"},
    {"(I3)", 1, "  1"},
    {"(I4.2)", 7, "  07"},
    {"(I3)", 1.5f, "***"},  // a real in an integer field is a caller fault: shown, not hidden
    // Character fields.
    {"(A4)", std::string("FOUNDATION"), "FOUN"},
    {"(A6)", std::string("ft"), "    ft"},
    {"(A)", std::string("kN/m "), "kN/m "},
    {"(A4)", 12, "****"},
    // Blanks, texts, repeats.
    {"(1X,'KXX',1P,E12.4,2X,A5)", 0.0f, " KXX  0.0000E+00"},
    {"(' RUN TERMINATED BY ''STOP''',I2)", 5, " RUN TERMINATED BY 'STOP' 5"},
    {"(1X,5('*'),I2)", 1, " ***** 1"},
    {"(3X,0('A'),I1)", 4, "   4"},
};

INSTANTIATE_TEST_SUITE_P(Layouts, FieldTest, ::testing::ValuesIn(kFields));

TEST(FormatRecords, SlashesStartRecords) {
  EXPECT_EQ(FormatRecords("(//' END')", {}), (std::vector<std::string>{"", "", " END"}));
  EXPECT_EQ(FormatRecords("('1'///'X')", {}), (std::vector<std::string>{"1", "", "", "X"}));
  EXPECT_EQ(FormatRecords("(I2/)", {3}), (std::vector<std::string>{" 3", ""}));
  EXPECT_EQ(FormatRecords("()", {}), (std::vector<std::string>{""}));
}

TEST(FormatRecords, StopsAtTheFirstFieldWithoutAValue) {
  EXPECT_EQ(FormatRecords("(1X,'A',I3,'B',I3)", {1}), (std::vector<std::string>{" A  1B"}));
  EXPECT_EQ(FormatRecords("(1X,'A',I3)", {}), (std::vector<std::string>{" A"}));
}

TEST(FormatRecords, LeftoverValuesRestartAtTheLastGroup) {
  EXPECT_EQ(FormatRecords("(1X,3I3)", {1, 2, 3, 4, 5}), (std::vector<std::string>{"   1  2  3", "   4  5"}));
  EXPECT_EQ(FormatRecords("(' T',2(I2))", {1, 2, 3}), (std::vector<std::string>{" T 1 2", " 3"}));
}

TEST(FormatRecords, ScaleHoldsUntilZeroP) {
  EXPECT_EQ(FormatRecords("(1P,E10.3,0P,E10.3,F6.2)", {1.5f, 1.5f, 1.5f}),
            (std::vector<std::string>{" 1.500E+00 0.150E+01  1.50"}));
}

TEST(FormatRecords, ScaleDoesNotTouchFixedFields) {
  EXPECT_EQ(FormatRecords("(1P,F6.2)", {1.5f}), (std::vector<std::string>{"  1.50"}));
}

TEST(FormatRecords, QuoteInsideATextIsKept) {
  EXPECT_EQ(FormatRecords("(/,/,' 'CONSTANT' KEYWORD MISSING FOR LOAD DESCRIPTION')", {}),
            (std::vector<std::string>{"", "", " 'CONSTANT' KEYWORD MISSING FOR LOAD DESCRIPTION"}));
  EXPECT_EQ(FormatRecords("('A' , I2 ,'B'/'C')", {7}), (std::vector<std::string>{"A 7B", "C"}));
}

TEST(FormatRecords, NestedRepeatGroups) {
  EXPECT_EQ(FormatRecords("(2(1X,2(I1)))", {1, 2, 3, 4}), (std::vector<std::string>{" 12 34"}));
}

TEST(FormatRecords, DoubleValuesUseTheirOwnDigits) {
  EXPECT_EQ(FormatRecords("(1P,E20.12)", {1.0 / 3.0}), (std::vector<std::string>{"  3.333333333333E-01"}));
}

}  // namespace
