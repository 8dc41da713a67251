// The solution driver on data blocks filled directly (no deck): impedance
// assembly, printed constants, plot-data records and the responses, each
// checked against values derived independently of the engine's code.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "driver_fixture.h"
#include "engine_harness.h"
#include "fft.h"
#include "report_framework.h"
#include "report_values.h"
#include "run_state.h"
#include "solution_driver.h"

namespace {

using namespace report_values;

using driver_fixture::Driven;
using driver_fixture::Drive;

constexpr double kG = 500.0 * 500.0 * 110.0 / 32.2;  // shear modulus of the soil below

// A circular footing of radius 10 on the half-space Vs 500, 110, nu 0.33,
// D 0.05, with the C.G. at height zg on the base axis.
void HalfSpace(::Run& R, float radius, float zg) {
  R.flags.FNDTYP = Foundation::kHalfSpace;
  R.flags.IGEOM = 1;
  R.fnd.REQ = {radius, radius, radius, radius};
  R.fnd.RAVG = radius;
  R.fnd.HCG = zg;
  R.soil.BLVS = 500.0f;
  R.soil.BLUWT = 110.0f;
  R.soil.BLPR = 0.33f;
  R.soil.BLDAMP = 0.05f;
  R.mass.MASCON = {3000.0f, 2.0e5f, 2.5e5f, 3.0e5f, 0.0f, 0.0f, 0.0f};
}

void Harmonic(::Run& R, float wmin, float wmax, float wstep, int iquad) {
  R.flags.LODTYP = Load::kHarmonic;
  R.flags.IQUAD = iquad;
  R.load.WMIN = wmin;
  R.load.WMAX = wmax;
  R.load.WSTEP = wstep;
  R.load.FAMP = {1000.0f, 2000.0f, 3000.0f, 4000.0f, 5000.0f, 6000.0f};
}

// Surface footing near w = 0: the static stiffnesses of a rigid circle,
// KXX = KYY = 8 G R / (2 - nu), KWW = 4 G R / (1 - nu),
// KPPX = KPPY = 8 G R^3 / (3 (1 - nu)), KZT = 16 G R^3 / 3.
TEST(SolutionDriverTest, SurfaceHalfSpaceStaticStiffness) {
  Driven d = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    Harmonic(R, 0.0f, 0.0f, 1.0f, 1);
    R.flags.IMATR = 1;
  });
  const double nu = 0.33, r = 10.0;
  const Constants c = ConstantsOf(d.report, 0);
  const double want[6] = {8 * kG * r / (2 - nu), 8 * kG * r / (2 - nu), 4 * kG * r / (1 - nu),
                          8 * kG * r * r * r / (3 * (1 - nu)), 8 * kG * r * r * r / (3 * (1 - nu)),
                          16 * kG * r * r * r / 3};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(c.K[i], want[i], 1e-5 * want[i]) << kKLabels[i];
  EXPECT_EQ(c.K[6], 0.0);
  EXPECT_EQ(c.K[7], 0.0);
  EXPECT_NE(d.report.find("lb/ft"), std::string::npos);
}

// Responses: the moduli of the solution of (K + i w C - w^2 M) U = F with
// the printed constants; the C.G. 3 ft above the base brings in the
// couplings KXP and KYP.  Quadratic loads: F = coefficient x w^2.
TEST(SolutionDriverTest, HarmonicAmplitudesSolveThePrintedMatrix) {
  for (int iquad : {1, 2}) {
    Driven d = Drive([&](::Run& R) {
      HalfSpace(R, 10.0f, 3.0f);
      Harmonic(R, 20.0f, 60.0f, 20.0f, iquad);
      R.flags.IMATR = 1;
    });
    const auto rows = TableAfter(d.report, "FOOTING RESPONSE AMPLITUDES", "  ------  -------");
    ASSERT_EQ(rows.size(), 3u) << d.report;
    const double mascon[7] = {3000, 2.0e5, 2.5e5, 3.0e5, 0, 0, 0};
    for (int k = 0; k < 3; ++k) {
      const double w = 20.0 * (k + 1);
      ASSERT_EQ(rows[k].size(), 8u);
      EXPECT_NEAR(rows[k][1], w, 1e-9);
      const Constants c = ConstantsOf(d.report, k);
      EXPECT_NE(c.K[6], 0.0);
      double F[6] = {1000, 2000, 3000, 4000, 5000, 6000};
      if (iquad == 2)
        for (double& f : F) f *= w * w;
      const auto amp = Amplitudes(c, w, F, mascon);
      for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(rows[k][2 + i], amp[i], 2e-4 * amp[i] + 1e-30) << "iquad " << iquad << " w " << w << " dof " << i;
    }
  }
}

// Plot-data file: NFREQ, then 2 NFREQ constants records with MATRIX, then
// NFREQ response records for harmonic loads.
TEST(SolutionDriverTest, PlotDataRecordCounts) {
  for (int matr : {0, 1}) {
    Driven d = Drive([&](::Run& R) {
      HalfSpace(R, 10.0f, 0.0f);
      Harmonic(R, 10.0f, 30.0f, 10.0f, 1);
      R.flags.IMATR = matr;
    });
    const auto lines = SplitLines(d.plot);
    ASSERT_EQ(lines.size(), matr ? 1u + 6u + 3u : 1u + 3u) << d.plot;
    EXPECT_EQ(Numbers(lines[0]), std::vector<double>{3});
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const auto v = Numbers(lines[i]);
      const bool constants = matr && i <= 6;
      ASSERT_EQ(v.size(), constants ? 9u : 7u) << lines[i];
      const double w = constants ? 10.0 * ((i + 1) / 2) : 10.0 * (i - (matr ? 6 : 0));
      EXPECT_NEAR(v[0], w, 1e-3 * w) << lines[i];
    }
    // Pass 2 prints its special block whether or not the constants are.
    EXPECT_EQ(CountOf(d.report, "SPECIAL OUTPUT OPTION"), 1);
    EXPECT_EQ(CountOf(d.report, "STIFFNESS CONSTANTS (K)"), matr ? 6 : 0);
  }
}

TEST(SolutionDriverTest, TooManyFrequencyPointsAreRejected) {
  Driven d = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    Harmonic(R, 1.0f, 1025.0f, 1.0f, 1);  // 1025 points
  });
  EXPECT_NE(d.report.find("NUMBER OF FREQUENCY POINTS (       1025) MUST LIE BETWEEN 1 AND 1024"),
            std::string::npos)
      << d.report;
  EXPECT_EQ(d.plot, "");
  EXPECT_EQ(d.report.find("FOOTING RESPONSE"), std::string::npos);
  // 1024 points are accepted.
  d = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    Harmonic(R, 1.0f, 1024.0f, 1.0f, 1);
  });
  EXPECT_EQ(SplitLines(d.plot).size(), 1025u);
}

// A soil without weight and a footing without mass: the dynamic matrix is
// zero and has no solution; the report names the frequency and prints no
// amplitudes for it.
TEST(SolutionDriverTest, SingularDynamicMatrixIsReportedPerPoint) {
  Driven d = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    R.soil.BLUWT = 0.0f;
    R.mass.MASCON = {};
    Harmonic(R, 5.0f, 5.0f, 1.0f, 1);
  });
  EXPECT_NE(d.report.find("ERROR ENCOUNTERED IN LEQ2C SUBROUTINE"), std::string::npos);
  EXPECT_NE(d.report.find("NO SOLUTION AT       5.0000 rad./sec."), std::string::npos) << d.report;
  EXPECT_NE(d.report.find("*** NO SOLUTION AT THIS FREQUENCY ***"), std::string::npos);
  EXPECT_EQ(d.report.find("NaN"), std::string::npos);
  EXPECT_EQ(d.report.find("nan"), std::string::npos);
}

// A side layer 2 ft thick beside the footing: pass 1 carries its
// reactions (and the responses solve pass 1's matrix); pass 2 prints the
// surface constants times the embedment factors, with e = D / r0 = 0.2,
// a = 2 - nu: KXX x (1 + 0.55 a e), KPPX x (1 + 1.9 a e) / sqrt(fh),
// CXX x (1 + 1.2 (1 - nu) e + 0.2 a e^3),
// CPPX x (1 + 0.7 (1 - nu) e + 0.6 a e^3) / sqrt(fh), KWW, KZT, CWW, CZT
// unchanged, CXP = CYP = 0.
TEST(SolutionDriverTest, EmbeddedFootingSideLayersAndSpecialBlock) {
  auto embedded = [](::Run& R) {
    R.soil.NSIDE = 1.0f;
    R.soil.SDTHK[0] = 2.0f;
    R.soil.SDVS[0] = 400.0f;
    R.soil.SDUWT[0] = 110.0f;
    R.soil.SDPR[0] = 0.33f;
    R.soil.SDDAMP[0] = 0.05f;
    R.soil.SDWGRAT[0] = 1.0f;
    R.soil.SDWPR[0] = 0.33f;
    R.soil.SDWDAMP[0] = 0.05f;
  };
  const float w = 30.0f;
  Driven surf = Drive([&](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    Harmonic(R, w, w, 1.0f, 1);
    R.flags.IMATR = 1;
  });
  Driven emb = Drive([&](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    embedded(R);
    Harmonic(R, w, w, 1.0f, 1);
    R.flags.IMATR = 1;
  });
  const Constants s1 = ConstantsOf(surf.report, 0);
  const Constants e1 = ConstantsOf(emb.report, 0);
  // Pass 2 prints no cross terms: its KXX etc. are the second occurrences.
  const Constants e2 = ConstantsOf(emb.report, 1);
  EXPECT_GT(e1.K[0], 1.05 * s1.K[0]);
  EXPECT_GT(e1.K[2], 1.01 * s1.K[2]);
  EXPECT_NE(e1.K[6], 0.0);  // the side reactions act below the C.G.

  const double nu = 0.33, e = 0.2, a = 2 - nu;
  const double fh = 1 + 0.55 * a * e, fr = 1 + 1.9 * a * e;
  EXPECT_NEAR(e2.K[0], s1.K[0] * fh, 2e-5 * e2.K[0]);
  EXPECT_NEAR(e2.K[1], s1.K[1] * fh, 2e-5 * e2.K[1]);
  EXPECT_NEAR(e2.K[2], s1.K[2], 1e-5 * e2.K[2]);
  EXPECT_NEAR(e2.K[3], s1.K[3] * fr / std::sqrt(fh), 2e-5 * e2.K[3]);
  EXPECT_NEAR(e2.K[4], s1.K[4] * fr / std::sqrt(fh), 2e-5 * e2.K[4]);
  EXPECT_NEAR(e2.K[5], s1.K[5], 1e-5 * e2.K[5]);
  const double ch = 1 + 1.2 * (1 - nu) * e + 0.2 * a * e * e * e;
  const double cr = (1 + 0.7 * (1 - nu) * e + 0.6 * a * e * e * e) / std::sqrt(fh);
  EXPECT_NEAR(e2.C[0], s1.C[0] * ch, 2e-5 * e2.C[0]);
  EXPECT_NEAR(e2.C[2], s1.C[2], 1e-5 * e2.C[2]);
  EXPECT_NEAR(e2.C[3], s1.C[3] * cr, 2e-5 * e2.C[3]);
  EXPECT_NEAR(e2.C[5], s1.C[5], 1e-5 * e2.C[5]);
  EXPECT_EQ(ValuesAfter(emb.report, "CROSS-STIFFNESS (CXP)").size(), 1u);  // short layout has none

  const auto rows = TableAfter(emb.report, "FOOTING RESPONSE AMPLITUDES", "  ------  -------");
  ASSERT_EQ(rows.size(), 1u);
  const double F[6] = {1000, 2000, 3000, 4000, 5000, 6000};
  const double mascon[7] = {3000, 2.0e5, 2.5e5, 3.0e5, 0, 0, 0};
  const auto amp = Amplitudes(e1, w, F, mascon);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(rows[0][2 + i], amp[i], 2e-4 * amp[i]) << i;
  // ... and not pass 2's or the surface footing's.
  const auto ampSurf = Amplitudes(s1, w, F, mascon);
  EXPECT_GT(std::abs(rows[0][2] - ampSurf[0]), 0.02 * ampSurf[0]);
}

// A stratum 1000 radii deep without embedment: the surface values of the
// half-space, to the stratum factors (1 + 0.5 R / H), (1 + 1.28 R / H) ...
TEST(SolutionDriverTest, DeepStratumApproachesTheHalfSpace) {
  Driven d = Drive([](::Run& R) {
    R.flags.FNDTYP = Foundation::kStratum;
    R.flags.IGEOM = 1;
    R.fnd.RSTR = {10.0f, 10.0f, 10.0f, 10.0f, 10.0f};
    R.fnd.RAVG = 10.0f;
    R.fnd.EMBD = 0.0f;
    R.fnd.HLAY = 10000.0f;
    R.soil.STVS = 500.0f;
    R.soil.STUWT = 110.0f;
    R.soil.STPR = 0.33f;
    R.soil.STDAMP = 0.05f;
    R.mass.MASCON = {3000.0f, 2.0e5f, 2.5e5f, 3.0e5f, 0.0f, 0.0f, 0.0f};
    Harmonic(R, 0.0f, 0.0f, 1.0f, 1);
    R.flags.IMATR = 1;
  });
  const double nu = 0.33, r = 10.0;
  const Constants c = ConstantsOf(d.report, 0);
  const double want[6] = {8 * kG * r / (2 - nu), 8 * kG * r / (2 - nu), 4 * kG * r / (1 - nu),
                          8 * kG * r * r * r / (3 * (1 - nu)), 8 * kG * r * r * r / (3 * (1 - nu)),
                          16 * kG * r * r * r / 3};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(c.K[i], want[i], 2e-3 * want[i]) << kKLabels[i];
  // Pass 2: no embedment, factors 1.
  const Constants c2 = ConstantsOf(d.report, 1);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(c2.K[i], c.K[i], 1e-6 * c.K[i]) << kKLabels[i];
}

// Random load with a flat spectrum on X: the printed response spectrum is
// |1 / (KXX - m w^2 + i w CXX)|^2 (C.G. on the base: X is decoupled);
// m0 and m2 are Simpson sums over it, nu0 = sqrt(m2 / m0) / 2 pi,
// G = s + 0.5772 / s with s = sqrt(2 ln(TOBS nu0)), xmax = sqrt(m0) G.
TEST(SolutionDriverTest, RandomFlatSpectrum) {
  const int n = 41;
  Driven d = Drive([&](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    R.flags.LODTYP = Load::kRandom;
    R.flags.IMATR = 1;
    R.load.WMIN = 10.0f;
    R.load.WMAX = 50.0f;
    R.load.WSTEP = 1.0f;
    R.load.NPR = n;
    R.load.TOBS = 100.0f;
    for (int k = 1; k <= n; ++k) R.load.CSPEC[36 * (k - 1)] = {1.0e6f, 0.0f};
  });
  const auto lines = SplitLines(d.report);
  std::vector<double> S;
  std::size_t i = 0;
  while (i < lines.size() && lines[i].find("IN X DIRECTION") == std::string::npos) ++i;
  for (i += 1; i < lines.size() && S.size() < std::size_t(n); ++i) {
    auto v = Numbers(lines[i]);
    if (v.size() == 2) S.push_back(v[1]);
  }
  ASSERT_EQ(S.size(), std::size_t(n)) << d.report;
  std::vector<double> f2S(n);
  for (int k = 0; k < n; ++k) {
    const double w = 10.0 + k;
    const Constants c = ConstantsOf(d.report, k);
    const double h2 = 1.0 / std::norm(std::complex<double>(c.K[0] - 3000 * w * w, w * c.C[0]));
    EXPECT_NEAR(S[k], 1.0e6 * h2, 2e-4 * S[k]) << w;
    f2S[k] = w * w * S[k];
  }
  const double m0 = Simpson(S, 1.0), m2 = Simpson(f2S, 1.0);
  const double nu0 = std::sqrt(m2 / m0) / (2 * 3.1415927);
  const double s = std::sqrt(2 * std::log(100.0 * nu0));
  const double G = s + 0.5772 / s;
  const auto rows = TableAfter(d.report, "PEAK FACTOR (G)", "---------");
  ASSERT_EQ(rows.size(), 6u) << d.report;
  EXPECT_EQ(rows[0][0], 1.0);
  EXPECT_NEAR(rows[0][1], G, 0.051);
  EXPECT_NEAR(rows[0][2], std::sqrt(m0) * G, 1e-3 * std::sqrt(m0) * G);
  // The other degrees of freedom have no load: G = 0, xmax = 0.
  for (int r = 1; r < 6; ++r) {
    EXPECT_EQ(rows[r][1], 0.0);
    EXPECT_EQ(rows[r][2], 0.0);
  }
}

// A vertical transient force F0 sin(2 pi c j / N), a whole number c of
// cycles over the record: the response is the harmonic one at
// w = 2 pi c / (N DT), amplitude sqrt(2 / N sum u^2) = |U| of the
// harmonic run at that frequency.  With N = 63 and c = 31 the load sits on
// the last solved point and its mirror (nt + 3) / 2 of an odd record.
class TransientSine : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(TransientSine, MatchesHarmonicAmplitude) {
  const int nt = GetParam().first, cycles = GetParam().second;
  const float dt = 0.01f;
  const float w = static_cast<float>(cycles) * 2.0f * 3.1415927f / (dt * nt);
  Driven tr = Drive([&](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    R.flags.LODTYP = Load::kTransient;
    R.load.NPT = nt;
    R.load.DT = dt;
    R.load.TNPT = nt;
    R.load.THALF = nt * 0.5f + 2.0f;
    std::vector<std::complex<float>> x(nt);
    for (int j = 0; j < nt; ++j) x[j] = {1.0e4f * std::sin(2.0f * 3.1415927f * cycles * j / nt), 0.0f};
    CFFT(x.data(), nt);
    for (int k = 1; k <= nt; ++k) R.load.FLOAD[FLOADIX(3, k)] = std::conj(x[k - 1]) / static_cast<float>(nt);
  });
  Driven hm = Drive([&](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    Harmonic(R, w, w, 1.0f, 1);
    R.load.FAMP = {0.0f, 0.0f, 1.0e4f, 0.0f, 0.0f, 0.0f};
  });
  const auto trows = TableAfter(tr.report, "FOOTING RESPONSE AMPLITUDES", "-------   ---------");
  ASSERT_EQ(trows.size(), std::size_t(nt)) << tr.report;
  EXPECT_NEAR(trows[0][0], dt, 1e-9);
  double sum = 0.0, other = 0.0;
  for (const auto& r : trows) {
    ASSERT_EQ(r.size(), 7u);
    sum += r[3] * r[3];
    other = std::max({other, std::abs(r[1]), std::abs(r[2]), std::abs(r[4]), std::abs(r[5]), std::abs(r[6])});
  }
  const double ampT = std::sqrt(2.0 * sum / nt);
  const auto hrows = TableAfter(hm.report, "FOOTING RESPONSE AMPLITUDES", "  ------  -------");
  ASSERT_EQ(hrows.size(), 1u);
  EXPECT_NEAR(ampT, hrows[0][4], 1e-3 * hrows[0][4]);
  EXPECT_LT(other, 1e-4 * hrows[0][4]);
  EXPECT_EQ(SplitLines(tr.plot).size(), 1u);  // only the count
  EXPECT_EQ(Numbers(SplitLines(tr.plot)[0]), std::vector<double>{double(nt / 2 + 1)});
}

INSTANTIATE_TEST_SUITE_P(SolutionDriverTest, TransientSine,
                         ::testing::Values(std::make_pair(64, 4), std::make_pair(63, 31),
                                           std::make_pair(64, 31), std::make_pair(45, 7)));

// WSTEP 0 is taken as 1 rad/s: 10, 11, 12; WMAX = WMIN gives one point.
TEST(SolutionDriverTest, ZeroStepAndSinglePoint) {
  Driven d = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    Harmonic(R, 10.0f, 12.0f, 0.0f, 1);
  });
  auto rows = TableAfter(d.report, "FOOTING RESPONSE AMPLITUDES", "  ------  -------");
  ASSERT_EQ(rows.size(), 3u);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(rows[k][1], 10.0 + k);
  d = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    Harmonic(R, 7.0f, 7.0f, 2.0f, 1);
  });
  rows = TableAfter(d.report, "FOOTING RESPONSE AMPLITUDES", "  ------  -------");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], 7.0);
}

// At w = 0.0001 (WMIN 0) the mass terms vanish: U = K^-1 F with the
// static stiffnesses (C.G. on the base: each amplitude is F / K).
TEST(SolutionDriverTest, ZeroFrequencyGivesTheStaticResponse) {
  Driven d = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    Harmonic(R, 0.0f, 0.0f, 1.0f, 1);
  });
  const double nu = 0.33, r = 10.0;
  const double K[6] = {8 * kG * r / (2 - nu), 8 * kG * r / (2 - nu), 4 * kG * r / (1 - nu),
                       8 * kG * r * r * r / (3 * (1 - nu)), 8 * kG * r * r * r / (3 * (1 - nu)),
                       16 * kG * r * r * r / 3};
  const auto rows = TableAfter(d.report, "FOOTING RESPONSE AMPLITUDES", "  ------  -------");
  ASSERT_EQ(rows.size(), 1u);
  // |F / (K (1 + i D'))| with the hysteretic part 0.7 x 0.05 of the real part.
  for (int i = 0; i < 6; ++i) {
    const double want = 1000.0 * (i + 1) / (K[i] * std::sqrt(1 + 0.035 * 0.035));
    EXPECT_NEAR(rows[0][2 + i], want, 2e-4 * want) << i;
  }
}

// 1024 transient points: 513 frequencies, the first at 0.01 rad/s, a time
// table of 1024 rows; 1025 points are refused before anything is solved.
TEST(SolutionDriverTest, TransientPointLimits) {
  Driven d = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    R.flags.LODTYP = Load::kTransient;
    R.flags.IMATR = 1;
    R.load.NPT = R.load.TNPT = 1024.0f;
    R.load.DT = 0.005f;
    R.load.THALF = 514.0f;
  });
  EXPECT_EQ(SplitLines(d.plot).size(), 1u + 2u * 513u);
  EXPECT_NE(d.report.find("(      0.0100 rad./sec.)"), std::string::npos);
  EXPECT_EQ(TableAfter(d.report, "FOOTING RESPONSE AMPLITUDES", "-------   ---------").size(), 1024u);
  d = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    R.flags.LODTYP = Load::kTransient;
    R.load.NPT = R.load.TNPT = 1025.0f;
    R.load.DT = 0.005f;
  });
  EXPECT_NE(d.report.find("NUMBER OF TRANSIENT POINTS (       1025) MUST LIE BETWEEN 1 AND 1024"),
            std::string::npos)
      << d.report;
  EXPECT_EQ(d.plot, "");
}

// The driver's own checks (the readers refuse such decks already): a
// gravitational constant of 0 or a half-space without shear-wave velocity
// prints its message and computes nothing.
TEST(SolutionDriverTest, InadmissibleGravityOrVelocityStopsTheSolution) {
  struct Case {
    std::function<void(::Run&)> spoil;
    std::string message;
  } cases[] = {
      {[](::Run& R) { R.flags.GCONST = 0.0f; },
       "*** INADMISSABLE VALUE FOR GRAVITATIONAL CONSTANT ( 0.000E+00) ***"},
      {[](::Run& R) { R.soil.BLVS = -5.0f; },
       "***INADMISSABLE VALUE FOR SHEAR WAVE VELOCITY OF HALF-SPACE (-5.00E+00) ***"},
  };
  for (const auto& c : cases) {
    Driven d = Drive([&](::Run& R) {
      HalfSpace(R, 10.0f, 0.0f);
      Harmonic(R, 10.0f, 20.0f, 10.0f, 1);
      R.flags.IMATR = 1;
      c.spoil(R);
    });
    EXPECT_NE(d.report.find(c.message), std::string::npos) << d.report;
    EXPECT_NE(d.report.find("***PROGRAM WILL NOT EXECUTE***"), std::string::npos);
    EXPECT_EQ(d.report.find("FOOTING RESPONSE"), std::string::npos);
    EXPECT_EQ(d.report.find("STIFFNESS CONSTANTS"), std::string::npos);
  }
}

// Transient and random loads on the same unsolvable footing: no time
// history and no statistics are printed from unsolved points.
TEST(SolutionDriverTest, UnsolvedPointsWithholdTransientAndRandomResults) {
  Driven t = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    R.soil.BLUWT = 0.0f;
    R.mass.MASCON = {};
    R.flags.LODTYP = Load::kTransient;
    R.load.NPT = R.load.TNPT = 8.0f;
    R.load.DT = 0.01f;
    R.load.FLOAD[FLOADIX(3, 2)] = {1.0f, 0.0f};
  });
  EXPECT_NE(t.report.find("*** NO TIME HISTORY: THE DYNAMIC EQUATIONS HAVE NO SOLUTION AT    5 FREQUENCIES ***"),
            std::string::npos)
      << t.report;
  for (const auto& row : TableAfter(t.report, "FOOTING RESPONSE AMPLITUDES", "-------   ---------"))
    EXPECT_NE(row.size(), 7u);  // no time row
  Driven r = Drive([](::Run& R) {
    HalfSpace(R, 10.0f, 0.0f);
    R.soil.BLUWT = 0.0f;
    R.mass.MASCON = {};
    R.flags.LODTYP = Load::kRandom;
    R.load.WMIN = 10.0f;
    R.load.WMAX = 12.0f;
    R.load.WSTEP = 1.0f;
    R.load.NPR = 3;
    R.load.TOBS = 100.0f;
  });
  EXPECT_EQ(CountOf(r.report, "NOT DEFINED: NO SOLUTION AT EVERY FREQUENCY"), 6) << r.report;
  EXPECT_EQ(CountOf(r.report, "NO SOLUTION\n"), 6);  // three rows in each spectrum
  EXPECT_EQ(r.report.find("nan"), std::string::npos);
}

}  // namespace
