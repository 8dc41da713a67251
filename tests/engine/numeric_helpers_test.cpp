// Rounding and finiteness helpers shared by the engine.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>

#include "numeric_helpers.h"

namespace {

TEST(NumericHelpers, IroundRoundsHalfAwayFromZero) {
  struct Case { float x; int n; } cases[] = {
      {2.5f, 3}, {-2.5f, -3}, {0.49f, 0}, {-0.5f, -1}, {0.5f, 1}, {-0.49f, 0},
      {1.4999f, 1}, {-7.6f, -8}, {0.0f, 0}, {-0.0f, 0}, {1e12f, 2147483647}, {-1e12f, -2147483647 - 1},
      {NAN, 0}};
  for (const auto& c : cases) EXPECT_EQ(IROUND(c.x), c.n) << c.x;
}

TEST(NumericHelpers, ComplexIsFiniteOnlyWhenBothPartsAre) {
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_TRUE(IsFinite(std::complex<float>(1.0f, -2.0f)));
  EXPECT_FALSE(IsFinite(std::complex<float>(inf, 0.0f)));
  EXPECT_FALSE(IsFinite(std::complex<float>(0.0f, NAN)));
  EXPECT_FALSE(IsFinite(std::complex<double>(0.0, -std::numeric_limits<double>::infinity())));
}

}  // namespace
