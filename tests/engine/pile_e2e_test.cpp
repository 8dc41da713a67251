// Pile and multilayer decks through the engine library: every kind of pile
// foundation runs end to end, and the printed constants agree with values
// derived independently from other runs (rigid-cap sums, interaction
// trends).
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine_harness.h"
#include "report_values.h"

namespace {

using namespace report_values;
using engine_harness::RunDeck;

// A pile deck in English units: two soil layers (10 and 20 ft, Vs 300 and
// 400 ft/s) over a stiffer soil below, concrete piles of radius 0.5 ft.
struct PileDeck {
  std::vector<std::pair<float, float>> piles{{0.0f, 0.0f}};
  bool pinned = false;
  bool parabolic = false;
  bool endBearing = false;
  std::vector<std::pair<std::string, float>> batter;  // plane and angle per pile
  bool interaction = false;
  bool embedded = false;
  bool sideCap = false;
  bool weak = false;
  float wmax = 62.8f, wmin = 6.28f, wstep = 28.26f;
  float hcg = 0.0f;

  std::string Text() const {
    std::ostringstream d;
    d << "TITLE=PILE TEST\nMATRIX\nGRAVITY=32.2\nFOUNDATION=PILE\nCIRCULAR=3.0\nMASS\n"
      << "100.0 2000.0 2000.0 3000.0 0.0 0.0 0.0\n";
    d << (parabolic ? "PARABOLIC\n" : "LAYERS=2\n");
    d << (pinned ? "PINNED=" : "FIXED=") << piles.size() << "\n";
    for (std::size_t p = 0; p < piles.size(); ++p) d << p + 1 << " " << piles[p].first << " " << piles[p].second << "\n";
    d << "CONSTANTS\n0.0 0.0 " << hcg << " 30.0 150.0\n0.0 0.25 0.02 0.8 4.32E+08\nELEMENT\n";
    if (parabolic) {
      d << "0.5 0.5 0.785 0.049 0.049 0.098\n";
    } else {
      d << "1 10.0 0.5 0.5 0.785 0.049 0.049 0.098\n2 20.0 0.5 0.5 0.785 0.049 0.049 0.098\n";
    }
    d << (endBearing ? "END-BEARING\n" : "FLOATING\n");
    if (!batter.empty()) {
      d << "BATTERED\n";
      for (std::size_t p = 0; p < batter.size(); ++p) d << p + 1 << " " << batter[p].first << "\n" << batter[p].second << "\n";
    }
    if (interaction) d << "INTERACTION\n";
    d << "SOIL\n" << (weak ? "WEAK\n" : "") << "CONSTANTS\n";
    if (parabolic) {
      d << "400.0 110.0 0.3 0.05\n" << (weak ? "0.5 0.3 0.1 0.2\n" : "");
    } else {
      d << "1 300.0 110.0 0.3 0.05" << (weak ? " 0.5 0.3 0.1 0.2" : "") << "\n";
      d << "2 400.0 115.0 0.3 0.05" << (weak ? " 0.5 0.3 0.1 0.2" : "") << "\n";
    }
    d << "BELOW=600.0 120.0 0.3 0.05\n";
    if (sideCap) d << "SIDE-CAP\n";
    if (embedded) d << "EMBEDDED\n1\n1 2.0 300.0 110.0 0.3 0.05" << (sideCap ? " 0.5 0.3 0.1 0.1" : "") << "\n";
    d << "LOAD\nHARMONIC\nCONSTANTS\nNONQUADRATIC\n"
      << wmax << " " << wmin << " " << wstep << "\n1000.0 1000.0 1000.0\n1000.0 1000.0 1000.0\n0.0 0.0 0.0 0\nRUN\n";
    return d.str();
  }
};

int Points(const PileDeck& d) { return static_cast<int>(std::lround((d.wmax - d.wmin) / d.wstep + 1.0f)); }

// Runs the deck and checks what every pile run must show: done, one
// constants block per frequency of each pass, finite positive diagonal
// stiffnesses, a response table, and no value that is not a number.
Constants RunAndCheck(const PileDeck& deck, int block = 0, bool positive = true) {
  engine_harness::EngineRun r = RunDeck(deck.Text());
  EXPECT_EQ(r.code, 0) << r.report;
  const int n = Points(deck);
  EXPECT_EQ(CountOf(r.report, "STIFFNESS CONSTANTS (K)"), 2 * n) << r.report;
  for (int k = 0; k < n; ++k) {
    const Constants c = ConstantsOf(r.report, k);
    for (int i = 0; i < 6; ++i) {
      // A single pinned pile has no rocking stiffness.
      const bool rocking = i == 3 || i == 4;
      EXPECT_TRUE(std::isfinite(c.K[i]) && (!positive || c.K[i] > 0.0 || (rocking && c.K[i] == 0.0)))
          << kKLabels[i] << " point " << k << "\n" << r.report;
      EXPECT_TRUE(std::isfinite(c.C[i])) << kCLabels[i];
    }
  }
  EXPECT_NE(r.report.find("FOOTING RESPONSE AMPLITUDES"), std::string::npos);
  for (const char* bad : {"NaN", "nan", "Inf", "inf ", "IGNORED", "UNRECOGNIZED", "NOT EXECUTE", "SINGULAR"})
    EXPECT_EQ(r.report.find(bad), std::string::npos) << bad << "\n" << r.report;
  return ConstantsOf(r.report, block);
}

std::vector<std::pair<float, float>> Square(float s) { return {{s, s}, {-s, s}, {s, -s}, {-s, -s}}; }

TEST(PileEndToEndTest, SinglePilesFixedPinnedLayeredParabolicFloatingEndBearing) {
  for (bool pinned : {false, true})
    for (bool parabolic : {false, true})
      for (bool end : {false, true}) {
        SCOPED_TRACE(testing::Message() << "pinned " << pinned << " parabolic " << parabolic << " end " << end);
        PileDeck d;
        d.pinned = pinned;
        d.parabolic = parabolic;
        d.endBearing = end;
        const Constants c = RunAndCheck(d);
        if (pinned) {
          EXPECT_EQ(c.K[3], 0.0);  // no rocking from a pinned head
        }
      }
}

// The top layer's a0 = w r / Vs passes 0.1 between 59.5 and 60.5 rad/s
// (r = 0.5 ft, Vs = 300 ft/s), where its vertical damping changes from the
// low-frequency line to the general formula: the pile's vertical damping
// goes on smoothly, like its stiffness.
TEST(PileEndToEndTest, VerticalDampingHasNoStepWhereALayersA0Reaches0_1) {
  PileDeck d;
  d.wmin = 59.5f;
  d.wmax = 60.5f;
  d.wstep = 1.0f;
  const Constants below = RunAndCheck(d, 0), above = RunAndCheck(d, 1);
  EXPECT_NEAR(above.K[2], below.K[2], 0.02 * below.K[2]);
  EXPECT_NEAR(above.C[2], below.C[2], 0.02 * below.C[2]);
}

// Below the first cut-off frequency of the deposit over its stiffer base an
// end-bearing pile radiates no energy sideways: less damping than floating.
TEST(PileEndToEndTest, EndBearingPileHasLessDampingBelowCutOff) {
  PileDeck f, e;
  f.wmin = f.wmax = e.wmin = e.wmax = 3.0f;
  e.endBearing = true;
  const Constants cf = RunAndCheck(f), ce = RunAndCheck(e);
  EXPECT_LT(ce.C[0], cf.C[0]);
  EXPECT_LT(ce.C[2], cf.C[2]);
}

// Without interaction, H = 0: the rigid-cap sum of the single pile moved
// to (+-s, +-s): KWW = 4 KWW1, KPPX = 4 KPPX1 + 4 s^2 KWW1,
// KZT = 4 KZT1 + sum (x^2 KYY1 + y^2 KXX1).
TEST(PileEndToEndTest, GroupWithoutInteractionIsTheRigidCapSum) {
  const float s = 3.0f;
  PileDeck one, four;
  four.piles = Square(s);
  for (int k = 0; k < 3; ++k) {
    const Constants a = RunAndCheck(one, k), g = RunAndCheck(four, k);
    const double s2 = double(s) * s;
    const double want[8] = {4 * a.K[0], 4 * a.K[1], 4 * a.K[2], 4 * a.K[3] + 4 * s2 * a.K[2],
                            4 * a.K[4] + 4 * s2 * a.K[2], 4 * a.K[5] + 4 * s2 * (a.K[0] + a.K[1]),
                            4 * a.K[6], 4 * a.K[7]};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(g.K[i], want[i], 2e-5 * std::abs(want[i])) << kKLabels[i] << " point " << k;
  }
}

// With interaction at a low frequency the group's vertical stiffness lies
// below four single piles and rises towards that value as the spacing grows.
TEST(PileEndToEndTest, InteractionSoftensTheGroupAndFadesWithSpacing) {
  PileDeck one;
  one.wmin = one.wmax = 6.28f;
  const Constants a = RunAndCheck(one);
  double previous = 0.0;
  for (float s : {1.5f, 3.0f, 6.0f, 15.0f, 40.0f}) {
    PileDeck g = one;
    g.piles = Square(s);
    g.interaction = true;
    const Constants c = RunAndCheck(g);
    EXPECT_LT(c.K[2], 4 * a.K[2]) << s;
    EXPECT_GT(c.K[2], previous) << s;
    previous = c.K[2];
  }
  EXPECT_GT(previous, 0.9 * 4 * a.K[2]);
}

// A battered group as the front-end writes it: a row for every pile, the
// vertical ones with angle 0; with and without interaction.  The batter
// turns vertical stiffness into horizontal: KXX grows against the same
// group of vertical piles.
TEST(PileEndToEndTest, BatteredGroupMixedWithVerticalPiles) {
  for (bool inter : {false, true}) {
    PileDeck v;
    v.piles = Square(3.0f);
    v.interaction = inter;
    PileDeck b = v;
    b.batter = {{"XZ", 15.0f}, {"XZ", 0.0f}, {"XZ", -15.0f}, {"YZ", 0.0f}};
    const Constants cv = RunAndCheck(v), cb = RunAndCheck(b);
    EXPECT_GT(cb.K[0], cv.K[0]) << inter;
    EXPECT_LT(cb.K[2], cv.K[2]) << inter;
  }
}

// The pile cap embedded in a side layer, with and without the weakened side
// cap: the side soil stiffens the group; its weakening softens it again.
TEST(PileEndToEndTest, EmbeddedPileCapWithSideCap) {
  PileDeck bare;
  bare.piles = Square(3.0f);
  bare.interaction = true;
  PileDeck emb = bare, cap = bare;
  emb.embedded = true;
  cap.embedded = true;
  cap.sideCap = true;
  const Constants cb = RunAndCheck(bare), ce = RunAndCheck(emb), cc = RunAndCheck(cap);
  EXPECT_GT(ce.K[0], cb.K[0]);
  EXPECT_LT(cc.K[0], ce.K[0]);
  EXPECT_GT(cc.K[0], cb.K[0]);
}

TEST(PileEndToEndTest, WeakenedZoneAroundThePiles) {
  PileDeck d, w;
  w.weak = true;
  const Constants cd = RunAndCheck(d), cw = RunAndCheck(w);
  EXPECT_LT(cw.K[0], cd.K[0]);
  EXPECT_LT(cw.K[2], cd.K[2]);
}

TEST(PileEndToEndTest, MultilayerDeckRuns) {
  const std::string deck = engine_harness::ReadText(std::string(VORTN_TEST_DECKS) + "/readers_multilayer.vtd");
  ASSERT_FALSE(deck.empty());
  engine_harness::EngineRun r = RunDeck(deck);
  EXPECT_EQ(r.code, 0) << r.report;
  EXPECT_NE(r.report.find("FOOTING RESPONSE AMPLITUDES"), std::string::npos) << r.report;
  const auto rows = TableAfter(r.report, "FOOTING RESPONSE AMPLITUDES", "  ------  -------");
  EXPECT_EQ(rows.size(), 10u);
  for (const auto& row : rows)
    for (double v : row) EXPECT_TRUE(std::isfinite(v));
}

// The largest group: 500 fixed-head piles with interaction (lateral group
// matrices of order 1000) at a frequency with dynamic factors.  Their
// phases over a group 75 ft wide make the group's dynamic stiffness
// partly negative, so only finiteness is required here.
TEST(PileEndToEndTest, FiveHundredInteractingPiles) {
  PileDeck d;
  d.piles.clear();
  for (int p = 0; p < 500; ++p) d.piles.push_back({3.0f * (p % 25), 3.0f * (p / 25)});
  d.interaction = true;
  d.wmin = d.wmax = 31.4f;
  RunAndCheck(d, 0, false);
}

// Two piles at one place with interaction: at a low frequency the static
// factors are 1 and the group flexibility matrix is singular.  The report
// says so with the frequency and prints no numbers for that point; the
// dynamic point above 10 rad/s is solved as usual.
TEST(PileEndToEndTest, SingularGroupFlexibilityIsReportedWithItsFrequency) {
  PileDeck d;
  d.piles = {{0.0f, 0.0f}, {0.0f, 0.0f}};
  d.interaction = true;
  d.wmin = 5.0f;
  d.wmax = 30.0f;
  d.wstep = 25.0f;
  engine_harness::EngineRun r = RunDeck(d.Text());
  EXPECT_EQ(r.code, 0) << r.report;
  EXPECT_EQ(CountOf(r.report, "THE PILE GROUP FLEXIBILITY MATRIX IS SINGULAR AT FREQUENCY       0.7962 Hz (      5.0000 rad./sec.)"), 2)
      << r.report;
  EXPECT_EQ(r.report.find("NaN"), std::string::npos);
  EXPECT_EQ(r.report.find("nan"), std::string::npos);
  // Only the 30 rad/s point of each pass prints constants.
  const auto kww = ValuesAfter(r.report, "VERTICAL TRANSLATION (KWW)");
  ASSERT_EQ(kww.size(), 2u) << r.report;
  for (double v : kww) EXPECT_TRUE(std::isfinite(v) && v > 0.0);
}

// The pile and multilayer example decks read without a rejected option and
// give finite responses at every frequency.
TEST(PileEndToEndTest, ExampleDecks) {
  for (const char* name : {"pile-group-interaction.vtd", "pile-group-battered.vtd", "multilayer-foundation.vtd"}) {
    const std::string deck = engine_harness::ReadText(std::string(VORTN_EXAMPLES) + "/" + name);
    ASSERT_FALSE(deck.empty()) << name;
    engine_harness::EngineRun r = RunDeck(deck);
    EXPECT_EQ(r.code, 0) << name << r.report;
    for (const char* bad : {"IGNORED", "UNRECOGNIZED", "INVALID", "NOT EXECUTE", "NaN", "nan", "SINGULAR"})
      EXPECT_EQ(r.report.find(bad), std::string::npos) << name << " " << bad;
    const auto rows = TableAfter(r.report, "FOOTING RESPONSE AMPLITUDES", "  ------  -------");
    EXPECT_GE(rows.size(), 10u) << name;
    for (const auto& row : rows) {
      ASSERT_EQ(row.size(), 8u) << name;
      for (double v : row) EXPECT_TRUE(std::isfinite(v)) << name;
    }
  }
}

}  // namespace
