// Half-space impedance coefficients of a rigid circular footing.
#include "halfspace_coefficients.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using cfloat = std::complex<float>;

struct Results {
  cfloat h, v, rx, ry, t;
};

Results Coefficients(float a0, float pr, float d, float r0 = 1.0f, float r1 = 1.0f, float r2 = 1.0f,
                     float r3 = 1.0f) {
  Results r;
  EXPECT_EQ(HSCOEF(a0, pr, d, r0, r1, r2, r3, r.h, r.v, r.rx, r.ry, r.t), 0);
  return r;
}

// A value printed with `digits` significant digits, matched to within one
// unit of its last digit: seven digits are at the limit of single precision
// (the single-precision inputs alone carry relative errors up to 6E-8).
void ExpectPrinted(float got, double printed, int digits) {
  const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(printed))) - (digits - 1));
  EXPECT_NEAR(got, printed, unit) << "printed " << printed;
}

TEST(HSCOEF, ReferenceValues) {
  const Results r = Coefficients(0.7f, 0.33f, 0.05f, 1.0f, 1.2f, 1.3f, 1.1f);
  ExpectPrinted(r.h.real(), 4.735945, 7);
  ExpectPrinted(r.h.imag(), 2.419842, 7);
  ExpectPrinted(r.v.real(), 5.396393, 7);
  ExpectPrinted(r.v.imag(), 3.707170, 7);
  ExpectPrinted(r.rx.real(), 3.364601, 7);
  ExpectPrinted(r.rx.imag(), 0.605416, 6);
  ExpectPrinted(r.ry.real(), 3.294219, 7);
  ExpectPrinted(r.ry.imag(), 0.688956, 6);
  ExpectPrinted(r.t.real(), 4.841211, 7);
  ExpectPrinted(r.t.imag(), 0.523361, 6);
}

TEST(HSCOEF, StaticLimits) {
  for (float pr : {0.0f, 0.25f, 0.33f, 0.4f, 0.45f, 0.49f}) {
    const Results r = Coefficients(1.0e-4f, pr, 0.0f, 1.0f, 1.3f, 0.8f, 1.1f);
    EXPECT_NEAR(r.h.real(), 8.0f / (2.0f - pr), 1.0e-6f) << pr;
    EXPECT_NEAR(r.v.real(), 4.0f / (1.0f - pr), 1.0e-6f) << pr;
    EXPECT_NEAR(r.rx.real(), 8.0f / (3.0f * (1.0f - pr)), 1.0e-6f) << pr;
    EXPECT_NEAR(r.ry.real(), 8.0f / (3.0f * (1.0f - pr)), 1.0e-6f) << pr;
    EXPECT_NEAR(r.t.real(), 16.0f / 3.0f, 1.0e-6f) << pr;
  }
}

TEST(HSCOEF, CoefficientSetSwitchesAtPoissonRatioPointFour) {
  // Without damping, set 1 gives a frequency-independent horizontal
  // stiffness with damping 8 x 0.65 a0 / (2 - PR); set 2 uses 0.6 and a
  // vertical stiffness falling as 1 - 0.17 a0^2.
  const float a0 = 0.9f;
  const Results below = Coefficients(a0, 0.3999f, 0.0f);
  EXPECT_FLOAT_EQ(below.h.real(), 8.0f / (2.0f - 0.3999f));
  EXPECT_FLOAT_EQ(below.h.imag(), 8.0f * 0.65f * a0 / (2.0f - 0.3999f));
  const Results at = Coefficients(a0, 0.4f, 0.0f);
  EXPECT_FLOAT_EQ(at.h.imag(), 8.0f * 0.6f * a0 / (2.0f - 0.4f));
  EXPECT_FLOAT_EQ(at.v.real(), 4.0f * (1.0f - 0.17f * a0 * a0) / (1.0f - 0.4f));
  EXPECT_FLOAT_EQ(at.v.imag(), 4.0f * 0.85f * a0 / (1.0f - 0.4f));
}

TEST(HSCOEF, TorsionDoesNotDependOnPoissonRatio) {
  const Results a = Coefficients(1.3f, 0.1f, 0.04f);
  const Results b = Coefficients(1.3f, 0.45f, 0.04f);
  EXPECT_EQ(a.t, b.t);
  EXPECT_NE(a.v, b.v);
}

}  // namespace
