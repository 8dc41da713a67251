// Static interaction factors of pile pairs.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "pile_interaction.h"
#include "run_state.h"

namespace {

struct PilfitCase {
  float s, ld, ka, ebes, nus, rb, alpha;
};

class PilfitReference : public ::testing::TestWithParam<PilfitCase> {};

TEST_P(PilfitReference, MatchesPrintedValue) {
  const PilfitCase c = GetParam();
  float alpha = 0.0f;
  PILFIT(alpha, c.s, c.ld, c.ka, c.ebes, c.nus, c.rb);
  EXPECT_NEAR(alpha, c.alpha, std::abs(c.alpha) * 2e-5f + 1e-6f);
}

INSTANTIATE_TEST_SUITE_P(PileInteraction, PilfitReference,
                         ::testing::Values(PilfitCase{3.0f, 70, 1000, 1, 0.3f, 1.0f, 0.452098f},
                                           PilfitCase{12.0f, 40, 5000, 100, 0.3f, 1.5f, 0.013099f},
                                           PilfitCase{5.0f, 15, 2000, 1000, 0.35f, 2.5f, 0.003104f},
                                           PilfitCase{6.0f, 60, 20000, 5, 0.3f, 3.5f, 0.401855f},
                                           PilfitCase{2.5f, 100, 50, 1, 0.45f, 1.2f, 0.429196f}));

TEST(PileInteractionTest, PilfitContinuousAtAnchorsAndFlatBeyondThem) {
  for (float s : {2.5f, 6.0f, 14.0f}) {
    for (float ld : {25.0f, 50.0f, 100.0f}) {
      float lo, hi;
      PILFIT(lo, s, ld * (1.0f - 1e-6f), 3000.0f, 10.0f, 0.3f, 1.3f);
      PILFIT(hi, s, ld, 3000.0f, 10.0f, 0.3f, 1.3f);
      EXPECT_NEAR(lo, hi, 1e-5f) << s << " " << ld;
    }
    float a, b, c, e;
    PILFIT(a, s, 4.0f, 3000.0f, 10.0f, 0.3f, 1.3f);
    PILFIT(b, s, 10.0f, 3000.0f, 10.0f, 0.3f, 1.3f);
    PILFIT(c, s, 100.0f, 3000.0f, 10.0f, 0.3f, 1.3f);
    PILFIT(e, s, 400.0f, 3000.0f, 10.0f, 0.3f, 1.3f);
    EXPECT_EQ(a, b);
    EXPECT_EQ(c, e);
  }
  float one;
  PILFIT(one, 0.0f, 30.0f, 1000.0f, 1.0f, 0.3f, 1.0f);
  EXPECT_EQ(one, 1.0f);
}

struct BatstfCase {
  float s, kr, beta, hf, a1, a2, a3;
};

TEST(PileInteractionTest, BatstfReferenceValues) {
  const BatstfCase cases[] = {{3.0f, 500, 0.0f, 0.0f, 0.333636f, 0.143891f, 0.0602055f},
                              {12.0f, 50, 1.0f, 0.5f, 0.0457273f, 0.00929188f, 0.0029797f},
                              {4.0f, 200, 0.0f, 2.0f, 0.186187f, 0.0678301f, 0.0262657f}};
  for (const BatstfCase& c : cases) {
    float a1, a2, a3;
    BATSTF(c.s, c.kr, c.beta, c.hf, a1, a2, a3);
    EXPECT_NEAR(a1, c.a1, c.a1 * 2e-5f) << c.s;
    EXPECT_NEAR(a2, c.a2, c.a2 * 2e-5f) << c.s;
    EXPECT_NEAR(a3, c.a3, c.a3 * 2e-5f) << c.s;
  }
}

TEST(PileInteractionTest, BatstfFirstFactorContinuousAtFiveDiameters) {
  const float beta = 0.4f;
  float b1, b2, b3, a1, a2, a3;
  BATSTF(5.0f * (1.0f - 1e-6f), 300.0f, beta, 0.0f, b1, b2, b3);
  BATSTF(5.0f * (1.0f + 1e-6f), 300.0f, beta, 0.0f, a1, a2, a3);
  EXPECT_NEAR(a1, b1, 1e-5f);
  float z1, z2, z3;
  BATSTF(0.0f, 300.0f, beta, 0.5f, z1, z2, z3);
  EXPECT_EQ(z1, 1.0f);
  EXPECT_EQ(z2, 1.0f);
  EXPECT_EQ(z3, 1.0f);
}

// A three-pile group: pair angles, spacings and the two BATSTF directions
// land where the group routine reads them.
TEST(PileInteractionTest, PilstfFillsThePairTables) {
  auto Rp = std::make_unique<::Run>();
  ::Run& R = *Rp;
  R.flags.GCONST = 32.2f;
  R.fnd.NPILE = 3.0f;
  R.fnd.NLAY = 2.0f;
  R.fnd.XP[0] = 0.0f; R.fnd.YP[0] = 0.0f;
  R.fnd.XP[1] = 3.0f; R.fnd.YP[1] = 0.0f;
  R.fnd.XP[2] = 3.0f; R.fnd.YP[2] = 4.0f;
  R.fnd.TLEN = 30.0f;
  R.fnd.EMOD = 4.0e8f;
  for (int i = 0; i < 2; ++i) {
    R.fnd.ELDEP[i] = 15.0f; R.fnd.ELRX[i] = R.fnd.ELRY[i] = 0.5f; R.fnd.ELAREA[i] = 0.785f;
    R.fnd.ELIX[i] = R.fnd.ELIY[i] = 0.049f;
    R.soil.SLVS[i] = 300.0f; R.soil.SLUWT[i] = 110.0f; R.soil.SLPR[i] = 0.35f;
  }
  R.soil.VREF = 300.0f;
  R.soil.BLVS = 500.0f; R.soil.BLUWT = 120.0f; R.soil.BLPR = 0.3f;
  PILSTF(R);
  const PilePairTables& t = R.pairs;
  ASSERT_EQ(t.NP, 3);
  const float pi = std::acos(-1.0f);
  EXPECT_FLOAT_EQ(t.at(0, 2, 1), 3.0f);   // spacing 3 / d = 1
  EXPECT_FLOAT_EQ(t.at(0, 3, 1), 5.0f);
  EXPECT_FLOAT_EQ(t.at(0, 3, 2), 4.0f);
  EXPECT_FLOAT_EQ(t.at(4, 1, 2), 0.0f);   // on the x axis
  EXPECT_FLOAT_EQ(t.at(4, 2, 1), pi * 0.5f);
  EXPECT_FLOAT_EQ(t.at(4, 2, 3), pi * 0.5f);  // on a line parallel to y
  EXPECT_FLOAT_EQ(t.at(4, 3, 2), 0.0f);
  EXPECT_NEAR(t.at(4, 1, 3), std::atan(4.0f / 3.0f), 1e-6f);
  // Independent evaluation of the mean parameters for pair (1, 2).
  const float d = 1.0f, Es = 2.0f * 1.35f * 110.0f * 300.0f * 300.0f / 32.2f;
  const float Eb = 2.0f * 1.3f * 120.0f * 500.0f * 500.0f / 32.2f;
  const float KA = 0.785f * 4.0e8f / (d * d * pi * Es * 0.25f);
  const float KR = 0.049f * 4.0e8f / (pi * Es * 0.015625f);
  float alpha, a1, a2, a3, b1, b2, b3;
  PILFIT(alpha, 3.0f, 30.0f, KA, Eb / Es, 0.35f, 1.0f);
  BATSTF(3.0f, KR, 0.0f, 0.0f, a1, a2, a3);
  BATSTF(3.0f, KR, pi * 0.5f, 0.0f, b1, b2, b3);
  EXPECT_NEAR(t.at(0, 1, 2), alpha, 1e-5f);
  EXPECT_NEAR(t.at(1, 1, 2), a1, 1e-5f);
  EXPECT_NEAR(t.at(3, 1, 2), a3, 1e-6f);
  EXPECT_NEAR(t.at(1, 2, 1), b1, 1e-5f);
  EXPECT_NEAR(t.at(2, 2, 1), b2, 1e-6f);
}

// np piles of radius 0.25 in one layer, pile 2 at x = 2 (the others at the
// origin until a test places them).
std::unique_ptr<::Run> OneLayerGroup(int np) {
  auto Rp = std::make_unique<::Run>();
  ::Run& R = *Rp;
  R.flags.GCONST = 9.81f;
  R.fnd.NPILE = static_cast<float>(np);
  R.fnd.NLAY = 1.0f;
  R.fnd.XP[1] = 2.0f;
  R.fnd.TLEN = 12.0f;
  R.fnd.EMOD = 2.0e7f;
  R.fnd.ELDEP[0] = 12.0f; R.fnd.ELRX[0] = R.fnd.ELRY[0] = 0.25f; R.fnd.ELAREA[0] = 0.196f;
  R.fnd.ELIX[0] = R.fnd.ELIY[0] = 0.003f;
  R.soil.SLVS[0] = 150.0f; R.soil.SLUWT[0] = 18.0f; R.soil.SLPR[0] = 0.4f; R.soil.VREF = 150.0f;
  return Rp;
}

// Battered piles enter with the point where their axis passes a third of
// the pile length below the head.
TEST(PileInteractionTest, PilstfMovesBatteredPiles) {
  auto Rp = OneLayerGroup(2);
  ::Run& R = *Rp;
  R.flags.IBATT = 1;
  const float vert[9] = {0, 90, 90, 90, 0, 90, 90, 90, 0};
  const float th = 10.0f;  // pile 2 battered in the XZ plane
  const float xz[9] = {th, 90, th + 90, 90, 0, 90, 90 - th, 90, th};
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c) {
      R.fnd.BANG[BANGIX(r, c, 1)] = vert[(r - 1) * 3 + (c - 1)];
      R.fnd.BANG[BANGIX(r, c, 2)] = xz[(r - 1) * 3 + (c - 1)];
    }
  PILSTF(R);
  const float shift = 4.0f * std::tan(std::acos(-1.0f) * th / 180.0f);
  EXPECT_FLOAT_EQ(R.pairs.XW[0], 0.0f);
  EXPECT_FLOAT_EQ(R.pairs.XW[1], 2.0f + shift);
  EXPECT_FLOAT_EQ(R.pairs.YW[1], 0.0f);
  EXPECT_NEAR(R.pairs.at(0, 2, 1), (2.0f + shift) / 0.5f, 1e-5f);
}

// The tables are sized without being cleared and written entry by entry:
// the diagonal is 0, and a group without a pile diameter (no spacing
// ratio) has no factors at all, also where an earlier group's were.
TEST(PileInteractionTest, PilstfDiagonalAndGroupWithoutDiameterHoldZero) {
  auto Rp = OneLayerGroup(3);
  ::Run& R = *Rp;
  R.fnd.YP[2] = 1.5f;
  PILSTF(R);
  for (int k = 0; k < 5; ++k)
    for (int p = 1; p <= 3; ++p) EXPECT_EQ(R.pairs.at(k, p, p), 0.0f) << k << ", " << p;
  EXPECT_GT(R.pairs.at(0, 2, 1), 0.0f);

  R.fnd.ELRX[0] = R.fnd.ELRY[0] = 0.0f;
  PILSTF(R);
  for (int k = 0; k < 5; ++k)
    for (int q = 1; q <= 3; ++q)
      for (int p = 1; p <= 3; ++p) EXPECT_EQ(R.pairs.at(k, p, q), 0.0f) << k << ", " << p << ", " << q;
}

}  // namespace
