// Modified Bessel functions of complex argument.
#include "bessel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using cfloat = std::complex<float>;

TEST(Bessel, ReferenceValuesAtOne) {
  const cfloat z(1.0f, 0.0f);
  EXPECT_NEAR(CBESK0(z).real(), 0.4210244f, 1e-7f);
  EXPECT_NEAR(CBESK1(z).real(), 0.6019072f, 1e-7f);
  EXPECT_NEAR(CBESI0(z).real(), 1.266066f, 1e-6f);
  EXPECT_NEAR(CBESI1(z).real(), 0.5651591f, 1e-7f);
  for (cfloat v : {CBESK0(z), CBESK1(z), CBESI0(z), CBESI1(z)}) EXPECT_EQ(v.imag(), 0.0f);
}

TEST(Bessel, AsymptoticSeriesAtTwenty) {
  // The asymptotic series' partial products leave the single-precision
  // range from about 24 terms on; the values stay finite and exact.
  const cfloat z(20.0f, 0.0f);
  EXPECT_NEAR(CBESK0(z).real(), 5.741238e-10f, 1e-16f);
  EXPECT_NEAR(CBESK1(z).real(), 5.883058e-10f, 1e-16f);
}

TEST(Bessel, SwitchAtNineIsSharp) {
  // |z| = 9 takes the power series, anything above 9 the asymptotic one;
  // nothing blends them.  The asymptotic branch is smooth across its first
  // values above 9, the power series (whose parts nearly cancel at 9)
  // gives a visibly different value at 9 itself.
  const cfloat at9(9.0f, 0.0f);
  const cfloat above(std::nextafter(9.0f, 10.0f), 0.0f);
  const cfloat further(9.001f, 0.0f);
  EXPECT_NEAR(CBESK0(above).real(), CBESK0(further).real(), 5e-7f);
  EXPECT_GT(std::fabs(CBESK0(at9).real() - CBESK0(above).real()), 3e-6f);
  EXPECT_NEAR(CBESK1(above).real(), CBESK1(further).real(), 5e-7f);
  // Off the real axis the switch is on the modulus: |6 + 6.7082i| = 9.
  const cfloat diag(6.0f, std::sqrt(45.0f));
  EXPECT_TRUE(std::isfinite(CBESK1(diag).real()));
}

TEST(Bessel, ImaginaryArgumentTakesPhaseHalfPiForBothSigns) {
  // With x = 0 the phase is pi/2 whatever the sign of y, so K0 is the same
  // for y and -y, and K1 changes sign with z.
  const cfloat up(0.0f, 2.0f), down(0.0f, -2.0f);
  EXPECT_EQ(CBESK0(up), CBESK0(down));
  EXPECT_EQ(CBESK1(up), -CBESK1(down));
  // At y > 0 the principal value holds: K0(2i) = -pi/2 (Y0(2) + i J0(2)).
  EXPECT_NEAR(CBESK0(up).real(), -0.5f * 3.1415927f * 0.5103757f, 2e-6f);
  EXPECT_NEAR(CBESK0(up).imag(), -0.5f * 3.1415927f * 0.2238908f, 2e-6f);
}

TEST(Bessel, ComplexArgumentsMatchTheFunctions) {
  // Values of the functions at 0.5 + 3i (principal branches), against
  // which the power series agree closely.
  const cfloat z(0.5f, 3.0f);
  const struct {
    cfloat got, want;
  } cases[] = {
      {CBESK0(z), {-0.3730049f, 0.2155991f}},
      {CBESK1(z), {-0.3532835f, 0.2815601f}},
      {CBESI0(z), {-0.3075360f, 0.1732484f}},
      {CBESI1(z), {-0.1933616f, 0.3614968f}},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(c.got.real(), c.want.real(), 2e-5f);
    EXPECT_NEAR(c.got.imag(), c.want.imag(), 2e-5f);
  }
}

}  // namespace
