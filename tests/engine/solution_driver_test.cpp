// The solution driver on data blocks filled directly (no deck): impedance
// assembly, printed constants, plot-data records and the responses, each
// checked against values derived independently of the engine's code.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "engine_harness.h"
#include "report_framework.h"
#include "report_values.h"
#include "run_state.h"
#include "solution_driver.h"

namespace {

using namespace report_values;
namespace fs = std::filesystem;

struct Driven {
  std::string report, plot;
};

// One ANALYS run on a fresh Run: English units, g = 32.2, echo on.
Driven Drive(const std::function<void(::Run&)>& setup) {
  auto R = std::make_unique<::Run>();
  const fs::path dir = engine_harness::MakeTempDir();
  R->IUNIT[16] = 16;
  R->ch.Open(16, (dir / "r.vto").string(), true);
  R->ch.Open(6, (dir / "p.vtp").string(), true);
  R->flags.GCONST = 32.2f;
  R->flags.IUNITS = 1;
  R->flags.IGRAV = 1;
  R->flags.IQUAD = 1;
  UNITLB(*R);
  setup(*R);
  ANALYS(*R);
  R->ch.Close(16);
  R->ch.Close(6);
  Driven d{engine_harness::ReadText(dir / "r.vto"), engine_harness::ReadText(dir / "p.vtp")};
  fs::remove_all(dir);
  return d;
}

constexpr double kG = 500.0 * 500.0 * 110.0 / 32.2;  // shear modulus of the soil below

// A circular footing of radius 10 on the half-space Vs 500, 110, nu 0.33,
// D 0.05, with the C.G. at height zg on the base axis.
void HalfSpace(::Run& R, float radius, float zg) {
  R.flags.FNDTYP = 2;
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
  R.flags.LODTYP = 3;
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

}  // namespace
