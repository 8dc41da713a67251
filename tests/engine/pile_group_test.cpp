// Pile group impedance and the dynamic interaction factors.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "pile_group.h"
#include "pile_group_fixture.h"
#include "transforms.h"

namespace {

using C = std::complex<float>;

void ExpectNearC(C a, C b, float rel, const char* what) {
  const float tol = rel * std::max(std::abs(b), 1e-6f);
  EXPECT_NEAR(a.real(), b.real(), tol) << what;
  EXPECT_NEAR(a.imag(), b.imag(), tol) << what;
}

TEST(PileGroupTest, IntfacReferenceValues) {
  C a;
  INTFAC(0.3f, 3.0f, 0.4f, a);
  ExpectNearC(a, C(0.206594f, -0.283063f), 2e-5f, "a0 0.3");
  INTFAC(0.8f, 12.0f, 0.2f, a);
  ExpectNearC(a, C(-0.113569f, 0.049171f), 2e-5f, "a0 0.8");
  // At a0 = 0 the amplitude is 1 and the phase the offset alone.
  INTFAC(0.0f, 7.0f, 0.5f, a);
  ExpectNearC(a, 0.5f * C(std::cos(0.0936f), std::sin(0.0936f)), 1e-6f, "a0 0");
}

TEST(PileGroupTest, Intfc2ReferenceValues) {
  C c1, c2, c3;
  INTFC2(0.7f, 6.0f, 1.0f, 0.5f, 0.3f, 0.2f, 0.4f, 0.25f, 0.15f, c1, c2, c3);
  ExpectNearC(c1, C(-0.397802f, 0.259802f), 2e-5f, "s 6 factor 1");
  ExpectNearC(c2, C(-0.684961f, 0.360956f), 2e-5f, "s 6 factor 2");
  ExpectNearC(c3, C(-0.434886f, 0.151233f), 2e-5f, "s 6 factor 3");
  // Beyond s = 10 only the first factor decays further.
  INTFC2(0.7f, 12.0f, 0.0f, 0.5f, 0.3f, 0.2f, 0.4f, 0.25f, 0.15f, c1, c2, c3);
  ExpectNearC(c1, C(-0.009558f, 0.359933f), 5e-5f, "s 12 factor 1");
  ExpectNearC(c2, C(-0.321873f, 0.698635f), 2e-5f, "s 12 factor 2");
  ExpectNearC(c3, C(-0.411924f, 0.283712f), 2e-5f, "s 12 factor 3");
}

TEST(PileGroupTest, Intrp3HitsTheAnchorsAndExtrapolates) {
  float y;
  INTRP3(1.0f, 4.0f, 14.0f, 5.0f, y);
  EXPECT_EQ(y, 4.0f);
  INTRP3(1.0f, 4.0f, 14.0f, 2.0f, y);
  EXPECT_EQ(y, 1.0f);
  INTRP3(1.0f, 4.0f, 14.0f, 10.0f, y);
  EXPECT_EQ(y, 14.0f);
  INTRP3(1.0f, 4.0f, 14.0f, 1.0f, y);
  EXPECT_EQ(y, 0.0f);
  INTRP3(1.0f, 4.0f, 14.0f, 12.5f, y);
  EXPECT_FLOAT_EQ(y, 19.0f);
}

// A full symmetric test impedance.
void TestImpedance(C* Z) {
  for (int j = 1; j <= 6; ++j)
    for (int i = 1; i <= 6; ++i) Z[M6(i, j)] = C(0.1f * (i + j), 0.01f * i * j);
  for (int i = 1; i <= 6; ++i) Z[M6(i, i)] = C(100.0f * i, 5.0f * i);
}

TEST(PileGroupTest, BatterTransformOfIdentityAnglesReturnsZ) {
  C Z[36], R[36];
  TestImpedance(Z);
  // 90 degrees in single precision has the cosine -4.4E-8, so the
  // identity angles leak that fraction of the diagonal (at most 600).
  const float ang[9] = {0, 90, 90, 90, 0, 90, 90, 90, 0};
  BatterTransform(ang, Z, R);
  for (int k = 0; k < 36; ++k) {
    EXPECT_NEAR(R[k].real(), Z[k].real(), 600.0f * 2e-7f) << k;
    EXPECT_NEAR(R[k].imag(), Z[k].imag(), 600.0f * 2e-7f) << k;
  }
  // A rotation by 90 degrees about Z swaps the x and y terms.
  const float rz[9] = {90, 180, 90, 0, 90, 90, 90, 90, 0};
  BatterTransform(rz, Z, R);
  EXPECT_NEAR(R[M6(1, 1)].real(), Z[M6(2, 2)].real(), 1e-3f);
  EXPECT_NEAR(R[M6(2, 2)].real(), Z[M6(1, 1)].real(), 1e-3f);
  EXPECT_NEAR(R[M6(5, 5)].real(), Z[M6(4, 4)].real(), 1e-3f);
  EXPECT_NEAR(R[M6(6, 6)].imag(), Z[M6(6, 6)].imag(), 1e-3f);
}

TEST(PileGroupTest, Ctran4IsTheCongruenceTransform) {
  C Z[16], R[16];
  float T[16] = {};
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) {
      Z[i + 4 * j] = C(1.0f + i + 2 * j, 0.5f * (i - j));
      T[i + 4 * j] = (i == j) ? 2.0f : (i + 1 == j ? 1.0f : 0.0f);
    }
  CTRAN4(Z, T, R, 4);
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) {
      C s(0);
      for (int k = 0; k < 4; ++k)
        for (int l = 0; l < 4; ++l) s += T[k + 4 * i] * Z[k + 4 * l] * T[l + 4 * j];
      ExpectNearC(R[i + 4 * j], s, 1e-6f, "ctran4");
    }
}

using pile_group_fixture::PileHead;

struct Group {
  std::vector<float> x, y, ang;
  std::vector<std::vector<float>> T;
  PileGroupInput in;
  PileGroupWork work;
  explicit Group(std::vector<float> xs, std::vector<float> ys) : x(xs), y(ys) {
    const int n = static_cast<int>(x.size());
    ang.assign(9 * n, 0.0f);
    in.NP = n;
    in.x = x.data();
    in.y = y.data();
    in.angles = ang.data();
    in.r1 = 0.5f;
    in.Vr = 300.0f;
  }
};

TEST(PileGroupTest, OnePileAtTheOriginIsTheSinglePile) {
  C Z[36], ZG[36];
  PileHead(Z);
  Group g({0.0f}, {0.0f});
  g.in.interaction = true;  // ignored for one pile
  int ier = -1;
  PileGroupImpedance(g.in, g.work, Z, ZG, 30.0f, ier);
  EXPECT_EQ(ier, 0);
  for (int k = 0; k < 36; ++k) ExpectNearC(ZG[k], Z[k], 1e-6f, "one pile");
}

// Four piles at (+-s, +-s) without interaction, H = 0: KWW = 4 kz, the
// rotations pick up sum x^2 kz, the torsion 4 kt + sum (x^2 ky + y^2 kx).
TEST(PileGroupTest, FourPilesWithoutInteractionAreTheRigidCapSum) {
  C Z[36], ZG[36];
  PileHead(Z);
  const float s = 1.5f;
  Group g({s, -s, s, -s}, {s, s, -s, -s});
  int ier = -1;
  PileGroupImpedance(g.in, g.work, Z, ZG, 30.0f, ier);
  EXPECT_EQ(ier, 0);
  const float s2 = s * s;
  ExpectNearC(ZG[M6(1, 1)], 4.0f * Z[M6(1, 1)], 1e-6f, "KXX");
  ExpectNearC(ZG[M6(3, 3)], 4.0f * Z[M6(3, 3)], 1e-6f, "KWW");
  ExpectNearC(ZG[M6(4, 4)], 4.0f * Z[M6(4, 4)] + 4.0f * s2 * Z[M6(3, 3)], 1e-6f, "KPPX");
  ExpectNearC(ZG[M6(5, 5)], 4.0f * Z[M6(5, 5)] + 4.0f * s2 * Z[M6(3, 3)], 1e-6f, "KPPY");
  ExpectNearC(ZG[M6(6, 6)], 4.0f * Z[M6(6, 6)] + 4.0f * s2 * (Z[M6(1, 1)] + Z[M6(2, 2)]), 1e-6f, "KZT");
  ExpectNearC(ZG[M6(1, 5)], 4.0f * Z[M6(1, 5)], 1e-6f, "KYP");
  ExpectNearC(ZG[M6(2, 4)], 4.0f * Z[M6(2, 4)], 1e-6f, "KXP");
  for (auto [i, j] : {std::pair{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 5}, {3, 6}, {3, 4}, {3, 5}, {1, 6}})
    EXPECT_EQ(ZG[M6(i, j)], C(0)) << i << j;
  // With a lever arm H the cap terms follow the rigid-body transformation.
  g.in.H = 2.0f;
  PileGroupImpedance(g.in, g.work, Z, ZG, 30.0f, ier);
  ExpectNearC(ZG[M6(1, 5)], 4.0f * Z[M6(1, 5)] - 2.0f * 4.0f * Z[M6(1, 1)], 1e-6f, "KYP with H");
  ExpectNearC(ZG[M6(5, 5)],
              4.0f * (Z[M6(5, 5)] + s2 * Z[M6(3, 3)]) + 4.0f * 4.0f * Z[M6(1, 1)] - 4.0f * 4.0f * Z[M6(1, 5)],
              1e-6f, "KPPY with H");
}

// Two piles on the x axis with interaction: the 2 x 2 vertical flexibility
// [[f, f a], [f a, f]] sums to 2 / (f (1 + a)), so KWW = 2 kz / (1 + a);
// the x loading uses the angle-0 lateral factors, the y loading those at 90.
TEST(PileGroupTest, TwoPilesFollowTheClosedFormFlexibility) {
  C Z[36], ZG[36];
  PileHead(Z);
  Group g({-1.0f, 1.0f}, {0.0f, 0.0f});
  g.in.interaction = true;
  g.in.fixed = 0;  // horizontal-only lateral groups: closed forms as for KWW
  const float alphaV = 0.45f, a0deg = 0.33f, a90deg = 0.21f;
  std::vector<float> T[5];
  for (auto& t : T) t.assign(4, 0.0f);
  auto at = [](int p, int q) { return (p - 1) + 2 * (q - 1); };
  T[0][at(1, 2)] = alphaV;
  T[0][at(2, 1)] = 2.0f;  // spacing ratio
  T[1][at(1, 2)] = a0deg;
  T[1][at(2, 1)] = a90deg;
  T[4][at(1, 2)] = 0.0f;
  T[4][at(2, 1)] = std::acos(-1.0f) * 0.5f;
  for (int k = 0; k < 5; ++k) g.in.pairT[k] = T[k].data();
  int ier = -1;
  PileGroupImpedance(g.in, g.work, Z, ZG, 5.0f, ier);  // static factors
  EXPECT_EQ(ier, 0);
  // Single-pile flexibilities of the head matrix.
  const C kx = Z[M6(1, 1)], kr = Z[M6(5, 5)], kc = Z[M6(1, 5)];
  const C fxx = kr / (kx * kr - kc * kc);
  const C ky = Z[M6(2, 2)], krx = Z[M6(4, 4)], kcy = Z[M6(2, 4)];
  const C fyy = krx / (ky * krx - kcy * kcy);
  ExpectNearC(ZG[M6(3, 3)], 2.0f * Z[M6(3, 3)] / (1.0f + alphaV), 1e-5f, "KWW");
  ExpectNearC(ZG[M6(1, 1)], 2.0f / (fxx * (1.0f + a0deg)), 1e-5f, "KXX");
  ExpectNearC(ZG[M6(2, 2)], 2.0f / (fyy * (1.0f + a90deg)), 1e-5f, "KYY");
  // Rocking about y: piles at x = -1, 1 with K = inverse of the 2 x 2.
  const C d = Z[M6(3, 3)] / ((1.0f - alphaV * alphaV));
  ExpectNearC(ZG[M6(5, 5)], 2.0f * d * (1.0f + alphaV), 1e-5f, "KPPY");
  EXPECT_EQ(ZG[M6(4, 4)], C(0));  // pinned heads, piles on y = 0
  // Above 10 rad/s the factors are complex.
  PileGroupImpedance(g.in, g.work, Z, ZG, 40.0f, ier);
  C alpha;
  INTFAC(40.0f * 2.0f * 0.5f / 300.0f, 2.0f, alphaV, alpha);
  ExpectNearC(ZG[M6(3, 3)], 2.0f * Z[M6(3, 3)] / (1.0f + alpha), 1e-5f, "KWW dynamic");
}

// A singular single-pile impedance is reported, never passed on as NaN.
TEST(PileGroupTest, SingularFlexibilityIsReported) {
  C Z[36] = {}, ZG[36];
  Group g({0.0f, 3.0f}, {0.0f, 0.0f});
  g.in.interaction = true;
  std::vector<float> T(4, 0.1f);
  for (int k = 0; k < 5; ++k) g.in.pairT[k] = T.data();
  int ier = 0;
  PileGroupImpedance(g.in, g.work, Z, ZG, 20.0f, ier);
  EXPECT_EQ(ier, 129);
  for (int k = 0; k < 36; ++k) EXPECT_EQ(ZG[k], C(0));
}

}  // namespace
