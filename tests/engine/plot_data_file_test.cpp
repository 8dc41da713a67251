// Records of the plot-data file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "plot_data_file.h"

namespace {

TEST(PlotDataFileTest, CountRecordIsOneInteger) {
  auto r = PlotCountRecords(513);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], "         513");
}

TEST(PlotDataFileTest, ConstantsRecordHasNineFieldsOfEleven) {
  const float v[8] = {12345.0f, -0.5f, 1.0e-3f, 0.0f, 2.0e7f, 3.0f, -4.0e4f, 7.0f};
  auto r = PlotConstantsRecords(6.2832f, v);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0],
            "  0.628E+01  0.123E+05 -0.500E+00  0.100E-02  0.000E+00  0.200E+08  0.300E+01"
            " -0.400E+05  0.700E+01");
}

TEST(PlotDataFileTest, ResponseRecordKeepsItsLayoutWhereTheFrequencyFits) {
  const float a[6] = {1.0e-5f, 2.5e-6f, 0.0f, 1.0f, 3.25e-7f, 9.99999e-3f};
  auto r = PlotResponseRecords(9999.99f, a);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], " 9999.99    1.0000E-05  2.5000E-06  0.0000E+00  1.0000E+00  3.2500E-07  1.0000E-02");
}

// 10000 rad/s does not fit F7.2: the record still carries seven numbers the
// front-end can read, the frequency first.
TEST(PlotDataFileTest, LargeFrequencyStaysReadable) {
  const float a[6] = {1, 2, 3, 4, 5, 6};
  for (float w : {10000.0f, 123456.0f, -1000.0f}) {
    auto r = PlotResponseRecords(w, a);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].find('*'), std::string::npos) << r[0];
    std::istringstream in(r[0]);
    std::string word;
    std::vector<double> vals;
    while (in >> word) vals.push_back(std::strtod(word.c_str(), nullptr));
    ASSERT_EQ(vals.size(), 7u) << r[0];
    EXPECT_NEAR(vals[0], w, 1e-4 * std::abs(w));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(vals[i + 1], a[i]);
  }
}

TEST(PlotDataFileTest, NonFiniteValuesAreNotWrittenAsAsterisks) {
  const float v[8] = {NAN, INFINITY, 1, 2, 3, 4, 5, 6};
  auto r = PlotConstantsRecords(1.0f, v);
  EXPECT_EQ(r[0].find('*'), std::string::npos) << r[0];
}

}  // namespace
