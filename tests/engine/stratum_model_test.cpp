// Stratum impedance and the cut-off frequencies of a layered deposit.
#include "stratum_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using cfloat = std::complex<float>;

struct Stratum {
  float w = 20.0f, e = 1.0f, h = 10.0f, nu = 0.33f, d = 0.05f, unitWeight = 110.0f, vs = 500.0f;
  float rh = 3.0f, rv = 3.0f, rx = 3.2f, ry = 2.9f, rt = 3.1f;
  float g = 32.2f;
};

struct Impedance {
  cfloat h, v, hx, hy, rx, ry, t;
};

Impedance Compute(const Stratum& s) {
  Impedance z;
  EXPECT_EQ(STRSTF(s.w, 1, s.e, s.h, s.nu, s.d, s.unitWeight, s.vs, s.rh, s.rv, s.rx, s.ry, s.rt, z.h,
                   z.v, z.hx, z.hy, z.rx, z.ry, z.t, s.g),
            0);
  return z;
}

// Six significant digits: rounded to them, the result prints the same.
void ExpectPrinted(cfloat got, double re, double im, const char* what) {
  auto unit = [](double v) { return std::pow(10.0, std::floor(std::log10(std::fabs(v))) - 5); };
  EXPECT_NEAR(got.real(), re, 0.5 * unit(re)) << what;
  EXPECT_NEAR(got.imag(), im, 0.5 * unit(im)) << what;
}

TEST(STRSTF, ReferenceValues) {
  const Impedance z = Compute({});
  ExpectPrinted(z.h, 1.94071e7, 9.80650e5, "horizontal");
  ExpectPrinted(z.v, 2.65449e7, 1.33421e6, "vertical");
  ExpectPrinted(z.hx, 5.89976e6, 2.98118e5, "first coupling");
  ExpectPrinted(z.hy, -6.07442e6, -3.06944e5, "second coupling");
  ExpectPrinted(z.rx, 1.98772e8, 9.98126e6, "first rocking");
  ExpectPrinted(z.ry, 1.53478e8, 7.70369e6, "second rocking");
  ExpectPrinted(z.t, 2.48399e8, 1.24519e7, "torsion");
}

TEST(STRSTF, SurfaceOfDeepStratumTendsToHalfSpace) {
  Stratum s;
  s.e = 0.0f;
  s.h = 1.0e7f;
  s.w = 1.0e-3f;
  s.d = 0.0f;
  s.rh = s.rv = s.rx = s.ry = s.rt = 2.5f;
  const Impedance z = Compute(s);
  const double g = s.vs * s.vs * s.unitWeight / s.g, r = 2.5, nu = s.nu;
  EXPECT_NEAR(z.h.real(), 8 * g * r / (2 - nu), 1e-4 * z.h.real());
  EXPECT_NEAR(z.v.real(), 4 * g * r / (1 - nu), 1e-4 * z.v.real());
  EXPECT_NEAR(z.rx.real(), 8 * g * r * r * r / (3 * (1 - nu)), 1e-4 * z.rx.real());
  EXPECT_NEAR(z.ry.real(), 8 * g * r * r * r / (3 * (1 - nu)), 1e-4 * z.ry.real());
  EXPECT_NEAR(z.t.real(), 16 * g * r * r * r / 3, 1e-4 * z.t.real());
}

TEST(STRSTF, HorizontalDampingChangesFormAtTheShearFrequency) {
  // Without material damping Im/Re of the horizontal term is ch x ah.
  // Vs / (4 H) = 12.5 Hz; f = w x 0.5 / 3.14159.
  Stratum s;
  s.d = 0.0f;
  const float wAtOne = 12.5f * 3.14159f / 0.5f;
  auto ch = [&](float w) {
    s.w = w;
    const Impedance z = Compute(s);
    return z.h.imag() / z.h.real() / (w * s.rh / s.vs);
  };
  const float below = ch(wAtOne * 0.9999f);
  const float above = ch(wAtOne * 1.0001f);
  const float fs = 0.9999f;
  EXPECT_NEAR(below, 0.65f * 0.0f * fs / (1 - fs * fs), 1e-5f);  // D = 0: no damping term
  EXPECT_NEAR(above, 0.6f, 1e-5f);
  // With damping the 0.65 formula holds just below.
  s.d = 0.05f;
  s.w = wAtOne * 0.5f;
  const Impedance z = Compute(s);
  const std::complex<double> shape = std::complex<double>(z.h) / std::complex<double>(1.0, 0.05);
  const double fsHalf = 0.5;
  const double expected = 0.65 * 0.025 * fsHalf / (1 - 0.95 * fsHalf * fsHalf);
  EXPECT_NEAR(shape.imag() / shape.real() / (s.w * s.rh / s.vs), expected, 1e-5);
}

TEST(STRSTF, RockingFactorForNearlyIncompressibleSoil) {
  // ax = w Rx / Vs = 3 and 6: the factor 1 - 0.2 ax is kept from nu = 0.45
  // on (0.4, then -0.2), else it is 0.5 above ax = 2.5.
  for (float ax : {3.0f, 6.0f}) {
    for (float nu : {0.44f, 0.45f}) {
      Stratum s;
      s.d = 0.0f;
      s.nu = nu;
      s.w = ax * s.vs / s.rx;
      const float dynamic = Compute(s).rx.real();
      s.w = 1.0e-6f;
      const float statik = Compute(s).rx.real();
      const float expected = nu >= 0.45f ? 1.0f - 0.2f * ax : 0.5f;
      EXPECT_NEAR(dynamic / statik, expected, 1e-5f) << ax << " " << nu;
    }
  }
}

struct Deposit {
  float count;
  float thickness[3], velocity[3], poisson[3];
  SoilLayerColumns View() const { return {count, thickness, velocity, poisson, 3}; }
};

TEST(LAYFRQ, UniformDeposit) {
  const Deposit layers{1.0f, {10.0f}, {100.0f}, {1.0f / 3.0f}};
  float w1 = -1, w2 = -1;
  EXPECT_EQ(LAYFRQ(1, layers.View(), SoilLayerColumns{}, 200.0f, w1, w2), 0);
  EXPECT_NEAR(w1, 15.70796f, 1e-5f);
  EXPECT_NEAR(w2, 2.0f * w1, 1e-5f);
}

TEST(LAYFRQ, NoCutOffCases) {
  const Deposit layers{1.0f, {10.0f}, {100.0f}, {0.3f}};
  const Deposit empty{0.0f, {}, {}, {}};
  struct Case {
    const char* name;
    int flag;
    const Deposit& deposit;
    float below;
  } cases[] = {
      {"floating piles", 0, layers, 200.0f},
      {"negative flag", -1, layers, 200.0f},
      {"base as stiff as the deposit", 1, layers, 100.0f},
      {"softer base", 1, layers, 50.0f},
      {"no layers", 1, empty, 200.0f},
  };
  for (const Case& c : cases) {
    float w1 = -1, w2 = -1;
    LAYFRQ(c.flag, c.deposit.View(), SoilLayerColumns{}, c.below, w1, w2);
    EXPECT_EQ(w1, 0.0f) << c.name;
    EXPECT_EQ(w2, 0.0f) << c.name;
  }
}

TEST(LAYFRQ, LayersAndSideLayersAreAveragedTogether) {
  // 6 of velocity 80 and Poisson 0.2, 2.4 of 90 / 0.3 (rounded count 1.6 ->
  // 2: the second row is used), and a side layer of 1.6 at 130 / 0.45.
  const Deposit layers{1.6f, {6.0f, 2.4f}, {80.0f, 90.0f}, {0.2f, 0.3f}};
  const Deposit side{1.0f, {1.6f}, {130.0f}, {0.45f}};
  float w1, w2;
  LAYFRQ(1, layers.View(), side.View(), 150.0f, w1, w2);
  const double h = 10.0, vm = (6 * 80 + 2.4 * 90 + 1.6 * 130) / h, num = (6 * 0.2 + 2.4 * 0.3 + 1.6 * 0.45) / h;
  const double pi = std::acos(-1.0);
  EXPECT_NEAR(w1, pi * vm / (2 * h), 1e-4);
  EXPECT_NEAR(w2, w1 * std::sqrt(2 * (1 - num) / (1 - 2 * num)), 1e-4);
}

TEST(LAYFRQ, IncompressibleAverageUses0499AndCountStaysInTheTable) {
  const Deposit layers{40.0f, {5.0f, 5.0f, 5.0f}, {100.0f, 100.0f, 100.0f}, {0.5f, 0.5f, 0.5f}};
  float w1, w2;
  LAYFRQ(1, layers.View(), SoilLayerColumns{}, 200.0f, w1, w2);
  const float pi = std::acos(-1.0f);
  EXPECT_NEAR(w1, pi * 100.0f / 30.0f, 1e-5f);  // three rows, not forty
  EXPECT_NEAR(w2, w1 * std::sqrt(2.0f * (1 - 0.499f) / (1 - 2 * 0.499f)), 1e-3f);
}

}  // namespace
