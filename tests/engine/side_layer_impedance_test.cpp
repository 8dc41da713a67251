// Side reactions of a soil layer on a rigid cylinder, with and without a
// weakened ring.
#include "side_layer_impedance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "bessel.h"

namespace {

using cfloat = std::complex<float>;

struct Layer {
  float a0, nu, d;
  float m = 1.0f, dw = 0.0f, t = 0.0f;
  float r0 = 1.0f, r1 = 1.0f, r2 = 1.0f, r3 = 1.0f;
  int cut1 = 0, cut2 = 0;
};

struct Reactions {
  cfloat su, sw, sr1, sr2, st;
  int cut1;
};

Reactions Side(const Layer& l) {
  Reactions r;
  r.cut1 = l.cut1;
  EXPECT_EQ(SIDIMP(l.a0, l.nu, l.d, l.m, l.nu, l.dw, l.t, l.r0, l.r1, l.r2, l.r3, r.su, r.sw, r.sr1,
                   r.sr2, r.st, r.cut1, l.cut2),
            0);
  return r;
}

// Matches a value printed with `decimals` decimals to within one unit of
// the last one.
void ExpectPrinted(cfloat got, double re, double im, int decimals, const char* what) {
  const double unit = std::pow(10.0, -decimals);
  EXPECT_NEAR(got.real(), re, unit) << what;
  EXPECT_NEAR(got.imag(), im, unit) << what;
}

bool Finite(cfloat z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

const Layer kPlain{0.6f, 0.35f, 0.05f, 1.0f, 0.05f, 0.0f, 1.0f, 1.1f, 1.2f, 1.05f};

TEST(SIDIMP, ZeroFrequencyGivesNoReaction) {
  for (float a0 : {0.0f, -1.0f}) {
    Layer l = kPlain;
    l.a0 = a0;
    const Reactions r = Side(l);
    for (cfloat v : {r.su, r.sw, r.sr1, r.sr2, r.st}) EXPECT_EQ(v, cfloat(0.0f, 0.0f));
  }
}

TEST(SIDIMP, ReferenceValuesWithoutWeakenedZone) {
  const Reactions r = Side(kPlain);
  ExpectPrinted(r.su, 3.83894, 6.51757, 5, "Su");
  ExpectPrinted(r.sw, 2.52027, 4.43840, 5, "Sw");
  ExpectPrinted(r.sr1, 2.33059, 1.51645, 5, "Sr1");
  ExpectPrinted(r.sr2, 2.27232, 1.70352, 5, "Sr2");
  ExpectPrinted(r.st, 11.00614, 3.16286, 5, "St");
  EXPECT_EQ(r.cut1, 0);

  Layer below1 = kPlain;
  below1.cut1 = 1;
  const Reactions c1 = Side(below1);
  ExpectPrinted(c1.su, 3.83894, 0.17682, 5, "Su below the first cut-off");
  EXPECT_EQ(c1.sw, r.sw);
  EXPECT_EQ(c1.sr1, r.sr1);
  EXPECT_EQ(c1.st, r.st);
  EXPECT_EQ(c1.cut1, -1);

  Layer below2 = kPlain;
  below2.cut2 = 1;
  const Reactions c2 = Side(below2);
  ExpectPrinted(c2.sw, 2.52027, 0.07946, 5, "Sw below the second cut-off");
  EXPECT_EQ(c2.su, r.su);
  EXPECT_EQ(c2.sr2, r.sr2);
  EXPECT_EQ(c2.cut1, 0);
}

TEST(SIDIMP, ReferenceValuesWithWeakenedZone) {
  {
    const Reactions r = Side({0.6f, 0.3f, 0.05f, 0.5f, 0.1f, 0.2f});
    ExpectPrinted(r.su, 4.2444, 6.0364, 4, "Su");
    ExpectPrinted(r.sw, 2.5865, 4.2559, 4, "Sw");
    ExpectPrinted(r.sr1, 2.23994, 1.25722, 5, "Sr1");
    EXPECT_EQ(r.sr2, r.sr1);
    ExpectPrinted(r.st, 10.27632, 2.65968, 5, "St");
  }
  {
    const Reactions r = Side({0.8f, 0.3f, 0.04f, 0.9f, 0.06f, 0.3f, 1.2f, 1.0f, 1.4f, 1.1f});
    ExpectPrinted(r.su, 4.69840, 8.42596, 5, "Su");
    ExpectPrinted(r.sw, 2.65385, 5.58143, 5, "Sw");
    ExpectPrinted(r.sr1, 2.17702, 1.91586, 5, "Sr1");
    EXPECT_EQ(r.sr2, r.sr1);
    ExpectPrinted(r.st, 10.55372, 4.03980, 5, "St");
  }
  {
    const Reactions r = Side({0.5f, 0.25f, 0.03f, 0.7f, 0.03f, 0.1f});
    ExpectPrinted(r.sr1, 2.46439, 0.96585, 5, "Sr1");
    ExpectPrinted(r.st, 11.08497, 2.07599, 5, "St");
  }
  {
    const Reactions r = Side({0.6f, 0.25f, 0.0f, 0.9f, 0.0f, 0.2f});
    ExpectPrinted(r.sr1, 2.38087, 1.18584, 5, "Sr1");
    ExpectPrinted(r.st, 10.98199, 2.34206, 5, "St");
  }
}

TEST(SIDIMP, WeakenedZoneIgnoresTheRotationRadii) {
  Layer a{0.8f, 0.3f, 0.04f, 0.9f, 0.06f, 0.3f, 1.2f, 1.0f, 1.4f, 1.1f};
  Layer b = a;
  b.r1 = 2.0f;
  b.r2 = 0.7f;
  b.r3 = 3.0f;
  const Reactions ra = Side(a), rb = Side(b);
  EXPECT_EQ(ra.su, rb.su);
  EXPECT_EQ(ra.sw, rb.sw);
  EXPECT_EQ(ra.sr1, rb.sr1);
  EXPECT_EQ(ra.sr2, rb.sr2);
  EXPECT_EQ(ra.st, rb.st);
  // Without the zone only r1 and r2 separate the rockings.
  Layer c = kPlain;
  c.r2 = c.r1;
  EXPECT_EQ(Side(c).sr2, Side(kPlain).sr1);
}

TEST(SIDIMP, BelowFirstCutOffOnlyMaterialDamping) {
  for (float d : {0.0f, 0.05f}) {
    Layer l{0.2f, 0.3f, d};
    l.cut1 = 1;
    const Reactions r = Side(l);
    Layer at03{0.3f, 0.3f, d};
    const Reactions r03 = Side(at03);
    EXPECT_EQ(r.su.real(), r03.su.real());  // b raised to 0.3 already
    EXPECT_FLOAT_EQ(r.su.imag(), d * r03.su.real());
    if (d == 0.0f) {
      EXPECT_EQ(r.su.imag(), 0.0f);
    }
    EXPECT_EQ(r.cut1, -1);
  }
}

TEST(SIDIMP, LowFrequencyHorizontalInterpolation) {
  const float d = 0.05f;
  const Reactions low = Side({0.15f, 0.3f, d});
  const Reactions at03 = Side({0.3f, 0.3f, d});
  EXPECT_EQ(low.su.real(), at03.su.real());
  const float halfway = 0.5f * (d * at03.su.real() + at03.su.imag());
  EXPECT_NEAR(low.su.imag(), halfway, 1e-6f * std::fabs(halfway));
}

TEST(SIDIMP, IncompressibleHorizontalFormula) {
  const float b = 0.6f, d = 0.05f;
  const Reactions r = Side({b, 0.5f, d});
  const cfloat x = cfloat(0.0f, b) / std::sqrt(cfloat(1.0f, d));
  const cfloat s = 3.1415927f * b * b * (4.0f * CBESK1(x) + x * CBESK0(x)) / (x * CBESK0(x));
  EXPECT_NEAR(r.su.real(), -s.real(), 1e-6f * std::abs(s));
  EXPECT_NEAR(r.su.imag(), -s.imag(), 1e-6f * std::abs(s));
  // Just below 0.5 the general formula, with a large eta, lies close by.
  const Reactions near = Side({b, 0.4999f, d});
  EXPECT_NE(near.su, r.su);
  EXPECT_NEAR(near.su.real(), r.su.real(), 0.01f * std::abs(r.su));
  EXPECT_NEAR(near.su.imag(), r.su.imag(), 0.01f * std::abs(r.su));
}

TEST(SIDIMP, IncompressibleRingIsTheLimitFromBelow) {
  // From Poisson's ratio 0.5 on, the horizontal ring takes its
  // incompressible limit: it continues the values just below 0.5.
  const Layer limit{0.6f, 0.5f, 0.05f, 0.5f, 0.1f, 0.2f};
  Layer below = limit;
  below.nu = 0.49999f;
  Layer above = limit;
  above.nu = 0.6f;
  const Reactions l = Side(limit), b = Side(below), a = Side(above);
  EXPECT_NEAR(l.su.real(), b.su.real(), 5e-4f * std::abs(l.su));
  EXPECT_NEAR(l.su.imag(), b.su.imag(), 5e-4f * std::abs(l.su));
  EXPECT_EQ(a.su, l.su);
}

TEST(SIDIMP, UniformRingEqualsNoRing) {
  // A ring as stiff and damped as the soil around it changes nothing: the
  // ring solutions reproduce the closed forms (at a0 >= 0.3, where the
  // vertical closed form has no low-frequency rule).
  for (float a0 : {0.4f, 1.5f}) {
    for (float t : {0.05f, 0.5f, 2.0f}) {
      const Layer plain{a0, 0.3f, 0.05f};
      Layer ring = plain;
      ring.m = 1.0f;
      ring.dw = 0.05f;
      ring.t = t;
      const Reactions p = Side(plain), r = Side(ring);
      for (auto [got, want] : {std::pair{r.sw, p.sw}, {r.sr1, p.sr1}, {r.st, p.st}}) {
        EXPECT_NEAR(got.real(), want.real(), 2e-5f * std::abs(want)) << a0 << " " << t;
        EXPECT_NEAR(got.imag(), want.imag(), 2e-5f * std::abs(want)) << a0 << " " << t;
      }
    }
  }
}

TEST(SIDIMP, RingStaysFiniteForEveryAdmissibleZone) {
  // Including contrasts that vanish (m near 1 with D' = D), where a power
  // series across the ring would overflow.
  for (float m : {0.001f, 0.05f, 0.5f, 0.9f, 0.99f, 0.999f, 0.99999f, 1.0f, 2.0f}) {
    for (float d : {0.0f, 0.05f, 0.3f}) {
      for (float dw : {0.0f, d, 0.4f}) {
        for (float a0 : {0.01f, 0.6f, 3.0f, 8.0f}) {
          for (float t : {0.01f, 0.3f, 2.0f}) {
            for (float nu : {0.0f, 0.3f, 0.49f, 0.5f}) {
              const Reactions r = Side({a0, nu, d, m, dw, t});
              const bool finite = Finite(r.su) && Finite(r.sw) && Finite(r.sr1) && Finite(r.st);
              EXPECT_TRUE(finite) << "m " << m << " d " << d << " dw " << dw << " a0 " << a0
                                  << " t " << t << " nu " << nu;
              if (!finite) return;
            }
          }
        }
      }
    }
  }
}

TEST(SIDIMP, VanishingContrastIsContinuous) {
  const Layer base{0.6f, 0.3f, 0.05f, 1.0f, 0.05f, 0.2f};
  Layer close = base;
  close.m = 0.999f;
  const Reactions a = Side(base), b = Side(close);
  for (auto [x, y] : {std::pair{a.su, b.su}, {a.sw, b.sw}, {a.sr1, b.sr1}, {a.st, b.st}}) {
    EXPECT_NEAR(x.real(), y.real(), 2e-3f * std::abs(x));
    EXPECT_NEAR(x.imag(), y.imag(), 2e-3f * std::abs(x));
  }
}

TEST(SIDIMP, UnformedHorizontalRingKeepsTheOuterSoil) {
  // A very soft zone at a high frequency puts the ring's Bessel arguments
  // far beyond the reach of their series: the 4 x 4 system is not finite,
  // and the horizontal reaction is that of the outer soil at b0.
  const Layer soft{2.0f, 0.3f, 0.05f, 1.0e-4f, 0.05f, 0.5f};
  const Layer outer{soft.a0 * 1.5f, 0.3f, 0.05f};
  const Reactions r = Side(soft);
  EXPECT_EQ(r.su, Side(outer).su);
  EXPECT_TRUE(Finite(r.sw) && Finite(r.sr1) && Finite(r.st));
}

TEST(SIDIMP, ZoneWithoutModulusCarriesNothing) {
  Layer l{0.6f, 0.3f, 0.05f, 0.0f, 0.1f, 0.2f};
  l.cut1 = 1;
  const Reactions r = Side(l);
  for (cfloat v : {r.su, r.sw, r.sr1, r.sr2, r.st}) EXPECT_EQ(v, cfloat(0.0f, 0.0f));
  EXPECT_EQ(r.cut1, -1);
}

// The low-frequency rules meet the general formulas where they take over:
// every result is continuous across b0 = 0.1 (end of the vertical
// interpolation) and b0 = 0.3 (horizontal floor, vertical a0 / 0.3
// reduction), with and without the cut-off flags and a weakened zone.
TEST(SIDIMP, ContinuousAcrossTheLowFrequencyLimits) {
  struct Case {
    const char* name;
    Layer layer;  // a0 is set from b0
  };
  Layer cut = kPlain;
  cut.cut1 = cut.cut2 = 1;
  const Layer ring{0.0f, 0.3f, 0.05f, 0.5f, 0.1f, 0.2f};
  const Case cases[] = {{"no zone", kPlain}, {"below both cut-offs", cut}, {"weakened zone", ring}};
  for (const Case& c : cases) {
    for (float b0 : {0.1f, 0.3f}) {
      Reactions side[2];
      for (int k = 0; k < 2; ++k) {
        Layer l = c.layer;
        l.a0 = b0 * (k == 0 ? 0.9999f : 1.0001f) * l.r0 / (l.r0 + l.t);
        side[k] = Side(l);
      }
      const std::pair<cfloat, cfloat> results[] = {{side[0].su, side[1].su},
                                                   {side[0].sw, side[1].sw},
                                                   {side[0].sr1, side[1].sr1},
                                                   {side[0].sr2, side[1].sr2},
                                                   {side[0].st, side[1].st}};
      const char* names[] = {"Su", "Sw", "Sr1", "Sr2", "St"};
      for (int i = 0; i < 5; ++i) {
        const auto [below, above] = results[i];
        const float tolerance = 1e-3f * std::abs(above);
        EXPECT_NEAR(below.real(), above.real(), tolerance) << c.name << ", b0 = " << b0 << ", " << names[i];
        EXPECT_NEAR(below.imag(), above.imag(), tolerance) << c.name << ", b0 = " << b0 << ", " << names[i];
      }
    }
  }
}

}  // namespace
