// End to end through the engine library: decks of every footing and load
// kind this driver runs, their reports and plot-data files checked against
// values derived on their own (formulas in the comments).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine_harness.h"
#include "report_values.h"
#include "side_layer_impedance.h"

namespace {

using namespace report_values;
namespace fs = std::filesystem;
using engine_harness::EngineRun;

// Runs a deck with an empty mass data file beside it.
EngineRun RunJob(const std::string& deck) {
  EngineRun r;
  r.dir = engine_harness::MakeTempDir();
  engine_harness::WriteText(r.dir / "names.dat", engine_harness::NamesDat(r.dir));
  engine_harness::WriteText(r.dir / "job.vtd", deck);
  engine_harness::WriteText(r.dir / "job.vtm", "0\n");
  r.code = engine_harness::CallEngine(r.dir);
  r.report = engine_harness::ReadText(r.dir / "job.vto");
  r.plot = engine_harness::ReadText(r.dir / "job.vtp");
  fs::remove_all(r.dir);
  return r;
}

std::string Num(double x) {
  char b[40];
  std::snprintf(b, sizeof b, "%.9g", x);
  return b;
}

// Soil below: Vs 500 ft/s, 110 lb/ft^3, nu 0.33, D 0.05; g = 32.2.
constexpr double kG = 500.0 * 500.0 * 110.0 / 32.2;
constexpr double kNu = 0.33;
const double kMascon[7] = {3000, 2.0e5, 2.5e5, 3.0e5, 0, 0, 0};

std::string Head(const std::string& title, bool matrix, const std::string& geometry, double zg) {
  return "$ " + title + "\nTITLE=" + title + "\n" + (matrix ? "MATRIX\n" : "") +
         "GRAVITY=32.2\nFOUNDATION=HALF-SPACE\n" + geometry +
         "\nMASS\n3000 200000 250000 300000 0 0 0\nCONSTANTS\n0 0 " + Num(zg) + "\n";
}

std::string SurfaceSoil() { return "SOIL\nCONSTANTS=0\nBELOW=500 110 0.33 0.05\n"; }
std::string EmbeddedSoil() {
  // One side layer 2 ft thick: Vs 400, 110, nu 0.33, D 0.05.
  return "SOIL\nCONSTANTS=1\n1 2 400 110 0.33 0.05\nBELOW=500 110 0.33 0.05\n";
}

std::string Harmonic(bool quadratic, double wmax, double wmin, double wstep) {
  return std::string("LOAD\nHARMONIC\nCONSTANTS\n") + (quadratic ? "QUADRATIC\n" : "NONQUADRATIC\n") +
         Num(wmax) + " " + Num(wmin) + " " + Num(wstep) +
         "\n1000 2000 3000\n4000 5000 6000\n0 0 0 0\nRUN\n";
}

std::vector<std::vector<double>> HarmonicRows(const std::string& report) {
  return TableAfter(report, "FOOTING RESPONSE AMPLITUDES", "  ------  -------");
}

// Surface footing near w = 0 (WMIN = WMAX = 0: w = 0.0001): the static
// stiffness of a rigid circle, KXX = KYY = 8 G R / (2 - nu),
// KWW = 4 G R / (1 - nu), KPPX = KPPY = 8 G R^3 / (3 (1 - nu)),
// KZT = 16 G R^3 / 3; a rectangle a x b uses r0 = sqrt(a b / pi) for
// the translations, (a b^3 / 3 pi)^1/4 for KPPX, (a^3 b / 3 pi)^1/4 for
// KPPY and (a b (a^2 + b^2) / 6 pi)^1/4 for KZT.
TEST(SolutionEndToEnd, SurfaceHalfSpaceStaticStiffness) {
  const double pi = 3.14159265358979;
  struct Case {
    std::string geometry;
    double r0, r1, r2, r3;
  } cases[] = {
      {"CIRCULAR=10", 10, 10, 10, 10},
      {"RECTANGULAR=20,10", std::sqrt(200 / pi), std::pow(20.0 * 1000 / (3 * pi), 0.25),
       std::pow(8000.0 * 10 / (3 * pi), 0.25), std::pow(200.0 * 500 / (6 * pi), 0.25)},
  };
  for (const auto& c : cases) {
    EngineRun r = RunJob(Head("STATIC HALF-SPACE", true, c.geometry, 0) + SurfaceSoil() + Harmonic(false, 0, 0, 1));
    ASSERT_EQ(r.code, 0) << r.report;
    const Constants k = ConstantsOf(r.report, 0);
    const double want[6] = {8 * kG * c.r0 / (2 - kNu),
                            8 * kG * c.r0 / (2 - kNu),
                            4 * kG * c.r0 / (1 - kNu),
                            8 * kG * std::pow(c.r1, 3) / (3 * (1 - kNu)),
                            8 * kG * std::pow(c.r2, 3) / (3 * (1 - kNu)),
                            16 * kG * std::pow(c.r3, 3) / 3};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(k.K[i], want[i], 1e-5 * want[i]) << c.geometry << " " << kKLabels[i];
  }
}

// A stratum of depth H = 1000 R without embedment approaches the surface
// values above (the stratum factors are 1 + 0.5 R / H, 1 + 1.28 R / H,
// 1 + R / 6 H, 1).
TEST(SolutionEndToEnd, DeepStratumApproachesHalfSpace) {
  const std::string deck =
      "$ Circular footing on a very deep stratum\nTITLE=DEEP STRATUM\nMATRIX\nGRAVITY=32.2\n"
      "FOUNDATION=STRATUM\nCIRCULAR=10\nMASS\n3000 200000 250000 300000 0 0 0\n"
      "CONSTANTS\n0 0 0 0 10000\nSOIL\nCONSTANTS\n500 110 0.33 0.05\n" +
      Harmonic(false, 0, 0, 1);
  EngineRun r = RunJob(deck);
  ASSERT_EQ(r.code, 0) << r.report;
  const double R0 = 10;
  const double want[6] = {8 * kG * R0 / (2 - kNu), 8 * kG * R0 / (2 - kNu), 4 * kG * R0 / (1 - kNu),
                          8 * kG * R0 * R0 * R0 / (3 * (1 - kNu)), 8 * kG * R0 * R0 * R0 / (3 * (1 - kNu)),
                          16 * kG * R0 * R0 * R0 / 3};
  const Constants k = ConstantsOf(r.report, 0);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(k.K[i], want[i], 2e-3 * want[i]) << kKLabels[i];
}

// Harmonic amplitudes: the moduli of the solution of
// (K + i w C - w^2 M) U = F built from the printed constants; the C.G.
// 3 ft above the base on its axis gives the couplings KXP, KYP and
// nothing else.  Quadratic loads: F = coefficient x w^2.
TEST(SolutionEndToEnd, HarmonicAmplitudesSolveThePrintedMatrix) {
  for (bool quadratic : {false, true}) {
    EngineRun r = RunJob(Head("HARMONIC", true, "CIRCULAR=10", 3) + SurfaceSoil() + Harmonic(quadratic, 60, 20, 20));
    ASSERT_EQ(r.code, 0) << r.report;
    const auto rows = HarmonicRows(r.report);
    ASSERT_EQ(rows.size(), 3u) << r.report;
    for (int k = 0; k < 3; ++k) {
      const double w = 20.0 * (k + 1);
      EXPECT_NEAR(rows[k][0], w * 0.5 / 3.14, 0.006);
      EXPECT_NEAR(rows[k][1], w, 1e-9);
      double F[6] = {1000, 2000, 3000, 4000, 5000, 6000};
      if (quadratic)
        for (double& f : F) f *= w * w;
      const auto amp = Amplitudes(ConstantsOf(r.report, k), w, F, kMascon);
      for (int i = 0; i < 6; ++i) EXPECT_NEAR(rows[k][2 + i], amp[i], 2e-4 * amp[i]) << w << " dof " << i;
    }
  }
}

// An embedded footing (one side layer 2 ft thick, e = D / r0 = 0.2): the
// responses solve pass 1's matrix, which holds the side layers; pass 2
// prints the surface constants times 1 + 0.55 a e (KXX, KYY) and
// (1 + 1.9 a e) / sqrt(fh) (KPPX, KPPY), a = 2 - nu.
TEST(SolutionEndToEnd, EmbeddedFootingUsesSideLayersAndPrintsSpecialFactors) {
  const double w = 30;
  EngineRun emb = RunJob(Head("EMBEDDED", true, "CIRCULAR=10", 0) + EmbeddedSoil() + Harmonic(false, w, w, 1));
  EngineRun surf = RunJob(Head("SURFACE", true, "CIRCULAR=10", 0) + SurfaceSoil() + Harmonic(false, w, w, 1));
  ASSERT_EQ(emb.code, 0) << emb.report;
  ASSERT_EQ(surf.code, 0);
  const Constants e1 = ConstantsOf(emb.report, 0), e2 = ConstantsOf(emb.report, 1);
  const Constants s1 = ConstantsOf(surf.report, 0);
  const double e = 0.2, a = 2 - kNu, fh = 1 + 0.55 * a * e, fr = 1 + 1.9 * a * e;
  EXPECT_NEAR(e2.K[0], s1.K[0] * fh, 2e-5 * e2.K[0]);
  EXPECT_NEAR(e2.K[3], s1.K[3] * fr / std::sqrt(fh), 2e-5 * e2.K[3]);
  EXPECT_NEAR(e2.K[2], s1.K[2], 1e-5 * e2.K[2]);
  EXPECT_NEAR(e2.C[0], s1.C[0] * (1 + 1.2 * (1 - kNu) * e + 0.2 * a * e * e * e), 2e-5 * e2.C[0]);
  EXPECT_GT(e1.K[0], 1.05 * s1.K[0]);
  EXPECT_NE(emb.report.find("SPECIAL OUTPUT OPTION"), std::string::npos);

  const auto rows = HarmonicRows(emb.report);
  ASSERT_EQ(rows.size(), 1u);
  const double F[6] = {1000, 2000, 3000, 4000, 5000, 6000};
  const auto amp = Amplitudes(e1, w, F, kMascon);
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(rows[0][2 + i], amp[i], 2e-4 * amp[i]) << i;
  const auto ampSurf = Amplitudes(s1, w, F, kMascon);
  EXPECT_GT(std::abs(rows[0][2] - ampSurf[0]), 0.02 * ampSurf[0]);
}

// A vertical transient force 1e4 sin(2 pi c j / N) over N points at DT:
// whole cycles, so the response is periodic at once and its amplitude
// sqrt(2 / N sum u^2) is the harmonic amplitude at w = 2 pi c / (N DT).
TEST(SolutionEndToEnd, TransientSineGivesTheHarmonicAmplitude) {
  struct Case { int n, c; } cases[] = {{64, 4}, {63, 31}};
  for (const auto& tc : cases) {
    const double dt = 0.01;
    std::string deck = Head("TRANSIENT SINE", false, "CIRCULAR=10", 0) + SurfaceSoil() +
                       "LOAD\nTRANSIENT\nCONSTANTS\n" + std::to_string(tc.n) + " 0.01 1\n3\n";
    for (int j = 0; j < tc.n; ++j) deck += Num(1.0e4 * std::sin(2 * 3.14159265358979 * tc.c * j / tc.n)) + "\n";
    deck += "RUN\n";
    EngineRun tr = RunJob(deck);
    ASSERT_EQ(tr.code, 0) << tr.report;
    const float wf = static_cast<float>(tc.c) * 2.0f * 3.1415927f / (0.01f * static_cast<float>(tc.n));
    const std::string hdeck = Head("HARMONIC", false, "CIRCULAR=10", 0) + SurfaceSoil() +
                              "LOAD\nHARMONIC\nCONSTANTS\nNONQUADRATIC\n" + Num(wf) + " " + Num(wf) +
                              " 1\n0 0 10000\n0 0 0\n0 0 0 0\nRUN\n";
    EngineRun hm = RunJob(hdeck);
    ASSERT_EQ(hm.code, 0) << hm.report;
    const auto trows = TableAfter(tr.report, "FOOTING RESPONSE AMPLITUDES", "-------   ---------");
    ASSERT_EQ(trows.size(), std::size_t(tc.n)) << tr.report;
    EXPECT_NEAR(trows[0][0], dt, 1e-9);
    EXPECT_NEAR(trows.back()[0], dt * tc.n, 1e-6);
    double sum = 0;
    for (const auto& row : trows) sum += row[3] * row[3];
    const auto hrows = HarmonicRows(hm.report);
    ASSERT_EQ(hrows.size(), 1u) << hm.report;
    EXPECT_NEAR(std::sqrt(2 * sum / tc.n), hrows[0][4], 1e-3 * hrows[0][4]) << tc.n;
  }
}

// Random load, flat spectrum 1e6 on X from 10 to 50 rad/s (41 points):
// m0 and m2 are Simpson sums over the printed X response spectrum (the
// second with w^2), nu0 = sqrt(m2 / m0) / 2 pi, G = s + 0.5772 / s with
// s = sqrt(2 ln(TOBS nu0)), maximum displacement sqrt(m0) G.
TEST(SolutionEndToEnd, RandomFlatSpectrumStatistics) {
  std::string deck = Head("RANDOM", false, "CIRCULAR=10", 0) + SurfaceSoil() +
                     "LOAD\nRANDOM\nCONSTANTS\n50 10 41 100 1\n1 1\n";
  for (int k = 0; k < 41; ++k) deck += "1000000\n";
  deck += "RUN\n";
  EngineRun r = RunJob(deck);
  ASSERT_EQ(r.code, 0) << r.report;
  const auto lines = SplitLines(r.report);
  std::vector<double> S, f2S;
  std::size_t i = 0;
  while (i < lines.size() && lines[i].find("IN X DIRECTION") == std::string::npos) ++i;
  for (i += 1; i < lines.size() && S.size() < 41; ++i) {
    auto v = Numbers(lines[i]);
    if (v.size() != 2) continue;
    S.push_back(v[1]);
    f2S.push_back(v[0] * v[0] * v[1]);
  }
  ASSERT_EQ(S.size(), 41u) << r.report;
  const double m0 = Simpson(S, 1.0), m2 = Simpson(f2S, 1.0);
  const double nu0 = std::sqrt(m2 / m0) / (2 * 3.1415927);
  const double s = std::sqrt(2 * std::log(100 * nu0));
  const double G = s + 0.5772 / s;
  const auto rows = TableAfter(r.report, "PEAK FACTOR (G)", "---------");
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_NEAR(rows[0][1], G, 0.051);
  EXPECT_NEAR(rows[0][2], std::sqrt(m0) * G, 1e-3 * std::sqrt(m0) * G);
  EXPECT_EQ(rows[2][2], 0.0);
}

// Plot-data records: 1 + 2 NFREQ + NFREQ (harmonic with MATRIX), 1 + NFREQ
// (harmonic), 1 + 2 NFREQ (transient or random with MATRIX), 1 (without).
TEST(SolutionEndToEnd, PlotDataRecordCounts) {
  std::string tran = "LOAD\nTRANSIENT\nCONSTANTS\n8 0.01 1\n1\n0\n1\n0\n-1\n0\n1\n0\n-1\nRUN\n";
  std::string rand = "LOAD\nRANDOM\nCONSTANTS\n12 10 3 100 1\n2 2\n1\n1\n1\nRUN\n";
  struct Case {
    std::string load;
    bool matrix;
    std::size_t records;
  } cases[] = {
      {Harmonic(false, 30, 10, 10), true, 1 + 6 + 3}, {Harmonic(false, 30, 10, 10), false, 1 + 3},
      {tran, true, 1 + 2 * 5},                        {tran, false, 1},
      {rand, true, 1 + 2 * 3},                        {rand, false, 1},
  };
  for (const auto& c : cases) {
    EngineRun r = RunJob(Head("COUNTS", c.matrix, "CIRCULAR=10", 0) + SurfaceSoil() + c.load);
    ASSERT_EQ(r.code, 0) << r.report;
    const auto lines = SplitLines(r.plot);
    EXPECT_EQ(lines.size(), c.records) << c.load << r.plot;
    for (const auto& l : lines) EXPECT_EQ(l.find('*'), std::string::npos) << l;
  }
}

// A frequency of 10000 rad/s or more still gives readable response
// records: the frequency first, then six amplitudes.
TEST(SolutionEndToEnd, LargeFrequencyRecordIsReadable) {
  EngineRun r = RunJob(Head("FAST", false, "CIRCULAR=10", 0) + SurfaceSoil() + Harmonic(false, 10000, 9999, 1));
  ASSERT_EQ(r.code, 0) << r.report;
  const auto lines = SplitLines(r.plot);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].substr(0, 8), " 9999.00");
  const auto v = Numbers(lines[2]);
  ASSERT_EQ(v.size(), 7u) << lines[2];
  EXPECT_EQ(v[0], 10000.0);
}

// The count of frequency points is checked before the loop: nothing is
// computed and the plot-data file stays empty.
TEST(SolutionEndToEnd, TooManyPointsAreRejected) {
  EngineRun r = RunJob(Head("MANY", false, "CIRCULAR=10", 0) + SurfaceSoil() + Harmonic(false, 2000, 1, 1));
  EXPECT_NE(r.report.find("MUST LIE BETWEEN 1 AND 1024"), std::string::npos) << r.report;
  EXPECT_EQ(r.report.find("FOOTING RESPONSE"), std::string::npos);
  EXPECT_EQ(r.plot, "");
}

// No soil weight and no mass: the dynamic matrix is zero; the report names
// the frequency and prints no amplitude for it.
TEST(SolutionEndToEnd, UnsolvablePointIsNamed) {
  std::string deck = "TITLE=ZERO\nGRAVITY=32.2\nFOUNDATION=HALF-SPACE\nCIRCULAR=10\nMASS\n0 0 0 0 0 0 0\n"
                     "CONSTANTS\n0 0 0\nSOIL\nCONSTANTS=0\nBELOW=500 0 0.33 0.05\n" +
                     Harmonic(false, 20, 20, 1);
  EngineRun r = RunJob(deck);
  ASSERT_EQ(r.code, 0) << r.report;
  EXPECT_NE(r.report.find("ERROR ENCOUNTERED IN LEQ2C SUBROUTINE"), std::string::npos) << r.report;
  EXPECT_NE(r.report.find("NO SOLUTION AT      20.0000 rad./sec."), std::string::npos);
  EXPECT_NE(r.report.find("*** NO SOLUTION AT THIS FREQUENCY ***"), std::string::npos);
}

// Every example deck runs through the solution.
TEST(SolutionEndToEnd, ExampleDecksRun) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(VORTN_EXAMPLES)) {
    if (e.path().extension() != ".vtd") continue;
    ++n;
    EngineRun r = RunJob(engine_harness::ReadText(e.path()));
    EXPECT_EQ(r.code, 0) << e.path() << r.report;
    EXPECT_NE(r.report.find("RESULTS"), std::string::npos) << e.path();
    EXPECT_EQ(r.report.find("NOT AVAILABLE"), std::string::npos) << e.path();
    EXPECT_EQ(r.report.find("NaN"), std::string::npos) << e.path();
  }
  EXPECT_GE(n, 1);
}

// A weakened zone beside an embedded footing: the reader stores the zone
// thickness as the deck's ratio times r0 (0.1 x 10 = 1 ft) and the side
// layer adds G h Re(Su) to KXX with Su the side reaction of a 1 ft zone
// (C.G. on the base, so KXX takes no lever arm): not of a 10 ft one.
TEST(SolutionEndToEnd, SideWeakenedZoneThicknessIsRatioTimesRadius) {
  const double w = 30;
  const std::string soil =
      "SOIL\nWEAK\nCONSTANTS=1\n1 2 400 110 0.33 0.05 0.5 0.33 0.1 0.1\nBELOW=500 110 0.33 0.05\n";
  EngineRun emb = RunJob(Head("WEAK SIDE", true, "CIRCULAR=10", 0) + soil + Harmonic(false, w, w, 1));
  EngineRun surf = RunJob(Head("SURFACE", true, "CIRCULAR=10", 0) + SurfaceSoil() + Harmonic(false, w, w, 1));
  ASSERT_EQ(emb.code, 0) << emb.report;
  const double added = ConstantsOf(emb.report, 0).K[0] - ConstantsOf(surf.report, 0).K[0];
  const double Gs = 400.0 * 400.0 * 110.0 / 32.2, h = 2.0;
  auto side = [&](float t) {
    std::complex<float> su, sw, s1, s2, st;
    int cut1 = 0;
    SIDIMP(10.0f * static_cast<float>(w) / 400.0f, 0.33f, 0.05f, 0.5f, 0.33f, 0.1f, t, 10.0f, 10.0f, 10.0f,
           10.0f, su, sw, s1, s2, st, cut1, 0);
    return Gs * h * su.real();
  };
  EXPECT_NEAR(added, side(1.0f), 1e-3 * std::abs(side(1.0f)));
  EXPECT_GT(std::abs(added - side(10.0f)), 1e-2 * std::abs(side(1.0f)));
}

}  // namespace
