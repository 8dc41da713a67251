// The pile and multilayer branches of the solution driver on data blocks
// filled directly: the printed constants against values derived on their
// own (rigid-cap sums, closed-form static pile heads).
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "driver_fixture.h"
#include "engine_harness.h"
#include "halfspace_coefficients.h"
#include "report_framework.h"
#include "report_values.h"
#include "run_state.h"
#include "side_layer_impedance.h"
#include "solution_driver.h"

namespace {

using namespace report_values;
using Cd = std::complex<double>;

using driver_fixture::Driven;

// The pile runs print their constants (MATRIX).
Driven Drive(const std::function<void(::Run&)>& setup) { return driver_fixture::Drive(setup, true); }

// Soil and pile of the tests: concrete pile of radius 0.5 ft, 60 ft long,
// in a uniform stiff layer (Vs 600 ft/s) cut into `nl` elements, the same
// soil below the tip.
constexpr float kE = 4.0e8f, kA = 0.785f, kI = 0.049f, kJ = 0.098f, kR = 0.5f, kL = 60.0f;
constexpr float kVs = 600.0f, kUw = 120.0f, kNu = 0.3f, kD = 0.05f, kDp = 0.02f;

void Pile(::Run& R, int nl, float w, float shearCoef) {
  R.flags.FNDTYP = Foundation::kPile;
  R.flags.IGEOM = 1;
  R.flags.MEDIA = 1;
  R.fnd.REQ = {3.0f, 3.0f, 3.0f, 3.0f};
  R.fnd.RAVG = 3.0f;
  R.fnd.NLAY = static_cast<float>(nl);
  R.fnd.IFIX = 1;
  R.fnd.FIX = 1.0f;
  R.fnd.NPILE = 1.0f;
  R.fnd.TLEN = kL;
  R.fnd.UWT = 150.0f;
  R.fnd.PRAT = 0.25f;
  R.fnd.DAMP = kDp;
  R.fnd.CRIG = shearCoef;
  R.fnd.EMOD = kE;
  for (int i = 0; i < nl; ++i) {
    R.fnd.ELDEP[i] = kL / nl;
    R.soil.SLTHK[i] = kL / nl;
    R.fnd.ELRX[i] = R.fnd.ELRY[i] = kR;
    R.fnd.ELAREA[i] = kA;
    R.fnd.ELIX[i] = R.fnd.ELIY[i] = kI;
    R.fnd.ELJ[i] = kJ;
    R.soil.SLVS[i] = kVs;
    R.soil.SLUWT[i] = kUw;
    R.soil.SLPR[i] = kNu;
    R.soil.SLDAMP[i] = kD;
    R.soil.SLGRAT[i] = R.soil.SLDRAT[i] = 1.0f;
    R.soil.WKGRAT[i] = 1.0f;
    R.soil.WKPR[i] = kNu;
    R.soil.WKDAMP[i] = kD;
  }
  R.soil.VREF = kVs;
  R.soil.BLVS = kVs;
  R.soil.BLUWT = kUw;
  R.soil.BLPR = kNu;
  R.soil.BLDAMP = kD;
  R.mass.MASCON = {3000.0f, 2.0e5f, 2.5e5f, 3.0e5f, 0.0f, 0.0f, 0.0f};
  R.flags.LODTYP = Load::kHarmonic;
  R.load.WMIN = R.load.WMAX = w;
  R.load.WSTEP = 1.0f;
  R.load.FAMP = {1000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f};
}

void Positions(::Run& R, const std::vector<float>& x, const std::vector<float>& y) {
  R.fnd.NPILE = static_cast<float>(x.size());
  for (std::size_t p = 0; p < x.size(); ++p) {
    R.fnd.XP[p] = x[p];
    R.fnd.YP[p] = y[p];
  }
}

// Static head of a long pile in a uniform soil, derived on its own from the
// bar and beam equations, with the side reactions per unit length of the
// side-layer model and the tip on the half-space (complex moduli carry the
// damping; inertia is negligible at the low frequency of the tests).
//
// Axial (and torsional) bar with side spring kv per length and tip spring
// kt: EA u'' = kv u, u(0) = 1, EA u'(L) = -kt u(L).  With lambda^2 =
// kv / EA and t = tanh(lambda L) the head force is
//   EA lambda (EA lambda t + kt) / (EA lambda + kt t).
// Lateral, Euler-Bernoulli beam with transverse springs k and rotational
// springs kr per length: energy EI/2 y''^2 + kr/2 y'^2 + k/2 y^2, so
// EI y'''' - kr y'' + k y = 0 and at the head F = EI y''' - kr y',
// M = -EI y''.  The pile is long (e^(-beta L) ~ 1E-13), so the two
// decaying exponentials y = A exp(l1 x) + B exp(l2 x), with l^2 the roots of
// EI l^4 - kr l^2 + k = 0, give the head matrix: case A (y = 1, y' = 0)
// and case B (y = 0, y' = 1) yield [[F_A, F_B], [M_A, M_B]].
struct StaticHead {
  double axial, torsion, kuu, krr, kur, free;
};

StaticHead DeriveHead(float w) {
  const double G = double(kVs) * kVs * kUw / 32.2;
  const float a0 = w * kR / kVs;
  std::complex<float> su, sw, sr1, sr2, st, tH, tV, tRX, tRY, tT;
  int f1 = 0;
  SIDIMP(a0, kNu, kD, 1.0f, kNu, kD, 0.0f, kR, kR, kR, kR, su, sw, sr1, sr2, st, f1, 0);
  HSCOEF(a0, kNu, kD, kR, kR, kR, kR, tH, tV, tRX, tRY, tT);
  const Cd cp(1.0, kDp);
  const double r = kR;
  auto bar = [&](Cd EA, Cd ks, Cd kt) {
    const Cd lam = std::sqrt(ks / EA);
    const Cd t = std::tanh(lam * double(kL));
    return EA * lam * (EA * lam * t + kt) / (EA * lam + kt * t);
  };
  StaticHead h;
  const double Gp = kE / (2.0 * 1.25);
  h.axial = bar(double(kE) * kA * cp, G * Cd(sw), G * r * Cd(tV)).real();
  h.torsion = bar(Gp * kJ * cp, G * r * r * Cd(st), G * r * r * r * Cd(tT)).real();
  const Cd EI = double(kE) * kI * cp, k = G * Cd(su), kr = G * r * r * Cd(sr1);
  const Cd disc = std::sqrt(kr * kr - 4.0 * EI * k);
  const Cd l1 = -std::sqrt((kr + disc) / (2.0 * EI)), l2 = -std::sqrt((kr - disc) / (2.0 * EI));
  Cd A = l2 / (l2 - l1), B = -l1 / (l2 - l1);
  const Cd FA = EI * (A * l1 * l1 * l1 + B * l2 * l2 * l2);
  const Cd MA = -EI * (A * l1 * l1 + B * l2 * l2);
  A = 1.0 / (l1 - l2);
  B = -A;
  const Cd FB = EI * (A * l1 * l1 * l1 + B * l2 * l2 * l2) - kr;
  const Cd MB = -EI * (A * l1 * l1 + B * l2 * l2);
  EXPECT_NEAR(std::abs(FB - MA), 0.0, 1e-9 * std::abs(MA));  // the head matrix is symmetric
  h.kuu = FA.real();
  h.krr = MB.real();
  h.kur = MA.real();
  h.free = (FA - MA * MA / MB).real();
  return h;
}

TEST(PileDriverTest, SinglePileApproachesTheStaticHeadOfAnElasticPile) {
  const float w = 0.5f;
  Driven d = Drive([&](::Run& R) { Pile(R, 6, w, 0.0f); });
  const Constants c = ConstantsOf(d.report, 0);
  const StaticHead h = DeriveHead(w);
  EXPECT_NEAR(c.K[2], h.axial, 2e-4 * h.axial) << d.report;
  EXPECT_NEAR(c.K[5], h.torsion, 2e-4 * h.torsion);
  EXPECT_NEAR(c.K[0], h.kuu, 2e-4 * h.kuu);
  EXPECT_NEAR(c.K[1], h.kuu, 2e-4 * h.kuu);
  EXPECT_NEAR(c.K[3], h.krr, 2e-4 * h.krr);
  EXPECT_NEAR(c.K[4], h.krr, 2e-4 * h.krr);
  // The slope of the pile below is -(rotation about y), +(rotation about x).
  EXPECT_NEAR(c.K[7], -h.kur, 2e-4 * std::abs(h.kur));
  EXPECT_NEAR(c.K[6], h.kur, 2e-4 * std::abs(h.kur));
  // A pinned head: the horizontal stiffness with the head free to rotate.
  Driven p = Drive([&](::Run& R) {
    Pile(R, 6, w, 0.0f);
    R.fnd.IFIX = 0;
    R.fnd.FIX = 0.0f;
  });
  const Constants cp = ConstantsOf(p.report, 0);
  EXPECT_NEAR(cp.K[0], h.free, 2e-4 * h.free) << p.report;
  EXPECT_EQ(cp.K[3], 0.0);
  EXPECT_EQ(cp.K[7], 0.0);
}

// Four piles at (+-s, +-s) without interaction, H = 0: the rigid-cap sum of
// the single pile's printed impedance.
TEST(PileDriverTest, GroupWithoutInteractionIsTheRigidCapSum) {
  const float w = 20.0f, s = 4.0f;
  Driven one = Drive([&](::Run& R) { Pile(R, 3, w, 1.2f); });
  Driven four = Drive([&](::Run& R) {
    Pile(R, 3, w, 1.2f);
    Positions(R, {s, -s, s, -s}, {s, s, -s, -s});
  });
  const Constants a = ConstantsOf(one.report, 0), g = ConstantsOf(four.report, 0);
  const double s2 = double(s) * s;
  const double want[8] = {4 * a.K[0], 4 * a.K[1], 4 * a.K[2], 4 * a.K[3] + 4 * s2 * a.K[2],
                          4 * a.K[4] + 4 * s2 * a.K[2], 4 * a.K[5] + 4 * s2 * (a.K[0] + a.K[1]),
                          4 * a.K[6], 4 * a.K[7]};
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(g.K[i], want[i], 2e-5 * std::abs(want[i])) << kKLabels[i];
  // The damping constants add up the same way (all scaled by the same 0.7).
  EXPECT_NEAR(g.C[2], 4 * a.C[2], 2e-5 * 4 * a.C[2]);
  EXPECT_NEAR(g.C[5], 4 * a.C[5] + 4 * s2 * (a.C[0] + a.C[1]), 2e-5 * g.C[5]);
}

// With interaction at a low frequency (static factors) the piles soften one
// another: KWW of the group is below NP times the single pile's, and tends
// to the no-interaction value as the spacing grows.
TEST(PileDriverTest, InteractionSoftensTheGroupAndFadesWithSpacing) {
  const float w = 5.0f;
  const Constants single = ConstantsOf(Drive([&](::Run& R) { Pile(R, 3, w, 1.2f); }).report, 0);
  double previous = 0.0;
  for (float s : {1.5f, 3.0f, 6.0f, 12.0f, 24.0f}) {
    Driven d = Drive([&](::Run& R) {
      Pile(R, 3, w, 1.2f);
      Positions(R, {s, -s, s, -s}, {s, s, -s, -s});
      R.flags.INTER = 1;
    });
    const Constants g = ConstantsOf(d.report, 0);
    ASSERT_TRUE(std::isfinite(g.K[2])) << d.report;
    EXPECT_LT(g.K[2], 4 * single.K[2]) << s;
    EXPECT_LT(g.K[0], 4 * single.K[0]) << s;
    EXPECT_GT(g.K[2], previous) << s;
    previous = g.K[2];
    if (s == 24.0f) {
      EXPECT_GT(g.K[2], 0.85 * 4 * single.K[2]);
    }
  }
}

// Above 10 rad/s the factors are dynamic (complex); a battered group and a
// group with interaction still give finite, printed constants, and pinned
// heads with interaction give no rocking from the lateral groups.
TEST(PileDriverTest, BatteredAndInteractingGroupsRun) {
  const float th = 15.0f;
  for (int inter : {0, 1}) {
    Driven d = Drive([&](::Run& R) {
      Pile(R, 3, 0.0f, 1.2f);
      R.load.WMIN = 5.0f;
      R.load.WMAX = 45.0f;
      R.load.WSTEP = 20.0f;
      Positions(R, {-3.0f, 3.0f, -3.0f, 3.0f}, {-3.0f, -3.0f, 3.0f, 3.0f});
      R.flags.INTER = inter;
      R.flags.IBATT = 1;
      const float vert[9] = {0, 90, 90, 90, 0, 90, 90, 90, 0};
      const float xz[9] = {th, 90, th + 90, 90, 0, 90, 90 - th, 90, th};
      for (int p = 1; p <= 4; ++p)
        for (int r = 1; r <= 3; ++r)
          for (int c = 1; c <= 3; ++c)
            R.fnd.BANG[BANGIX(r, c, p)] = (p % 2 ? vert : xz)[(r - 1) * 3 + (c - 1)];
    });
    for (int k = 0; k < 3; ++k) {
      const Constants c = ConstantsOf(d.report, k);
      for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(std::isfinite(c.K[i]) && c.K[i] > 0.0) << inter << " " << k << " " << kKLabels[i] << d.report;
        EXPECT_TRUE(std::isfinite(c.C[i])) << inter << " " << k;
      }
    }
    EXPECT_EQ(d.report.find("NaN"), std::string::npos);
    EXPECT_EQ(d.report.find("nan"), std::string::npos);
    // The second pass prints the same vertical and torsional constants
    // (it takes the group impedances of the first pass).
    for (int k = 0; k < 3; ++k) {
      const Constants a = ConstantsOf(d.report, k), b = ConstantsOf(d.report, k + 3);
      EXPECT_EQ(a.K[2], b.K[2]) << k;
      EXPECT_EQ(a.K[5], b.K[5]) << k;
      EXPECT_EQ(a.C[2], b.C[2]) << k;
    }
  }
}

// A multilayer footing: soil columns on top take the column's soil as
// element material; the impedance is moved to the centre of gravity.
TEST(PileDriverTest, MultilayerFootingRuns) {
  Driven d = Drive([&](::Run& R) {
    Pile(R, 3, 10.0f, 1.2f);
    R.flags.FNDTYP = Foundation::kMultilayer;
    R.soil.NADJ = 1.0f;
    R.fnd.HCG = 2.0f;
  });
  const Constants c = ConstantsOf(d.report, 0);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(std::isfinite(c.K[i]) && c.K[i] > 0.0) << kKLabels[i] << d.report;
  EXPECT_NE(d.report.find("FOOTING RESPONSE AMPLITUDES"), std::string::npos);
}

}  // namespace
