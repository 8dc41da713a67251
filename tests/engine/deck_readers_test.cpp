// The foundation, mass, soil and load readers over small decks, cleaned by
// the pre-processor and read by the keyword loop as in a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "deck_preprocessor.h"
#include "fft.h"
#include "keyword_loop.h"
#include "run_fixture.h"

namespace {

using Cx = std::complex<float>;

// One deck read by the keyword loop in its own run state.
class DeckRead : public RunSandbox {
 public:
  // Cleans `deck` and runs INITIN and the keyword loop over it.
  void Read(const std::string& deck) {
    ASSERT_TRUE(ok());
    Feed(4, engine_harness::Lines(deck));
    ASSERT_TRUE(R->ch.Open(7, Path("TAPE7"), true));
    ASSERT_TRUE(R->ch.Open(8, Path("TAPE8"), true));
    PREPRO(*R);
    int st = 0;
    INITIN(*R, st);
    RDKEYS(*R, st, stop);
    report = Report();
  }
  bool Has(const std::string& line) const { return std::find(report.begin(), report.end(), line) != report.end(); }
  bool Contains(const std::string& text) const {
    for (const auto& l : report)
      if (l.find(text) != std::string::npos) return true;
    return false;
  }
  std::string Dump() const {
    std::string s;
    for (const auto& l : report) s += l + "\n";
    return s;
  }
  int stop = 0;
  std::vector<std::string> report;
};

// One deck per test; a test of several decks makes a DeckRead per deck.
class DeckReaders : public ::testing::Test, public DeckRead {
 protected:
  void SetUp() override { ASSERT_TRUE(ok()); }
};

const char* kMass = "MASS\n100 2000 2000 3000 0 0 0\n";

std::string HalfSpace(const std::string& geometry) {
  return std::string("GRAVITY=32.2\nFOUNDATION=HALF-SPACE\n") + geometry + "\n" + kMass + "CONSTANTS\n0 0 1\n";
}

std::string Stratum(const std::string& geometry, const std::string& eh) {
  return std::string("GRAVITY=32.2\nFOUNDATION=STRATUM\n") + geometry + "\n" + kMass + "CONSTANTS\n0 0 1 " + eh + "\n";
}

// A pile block with `n` layers and `np` piles (1 m spacing).
std::string PileBlock(int nlay, int np, const std::string& fixity = "FIXED") {
  std::string d = std::string("GRAVITY=32.2\nFOUNDATION=PILE\nCIRCULAR=3\n") + kMass;
  d += "LAYERS=" + std::to_string(nlay) + "\n" + fixity + "=" + std::to_string(np) + "\n";
  for (int i = 1; i <= np; ++i) d += std::to_string(i) + " " + std::to_string(i) + ".0 0.0\n";
  d += "CONSTANTS\n0 0 1 30 150\n0 0.25 0.02 0.8 4.32E+08\nELEMENT\n";
  for (int i = 1; i <= nlay; ++i) d += std::to_string(i) + " 1.0 0.5 0.5 0.785 0.049 0.049 0.098\n";
  d += "FLOATING\n";
  return d;
}

// --- Foundation block -------------------------------------------------------

TEST_F(DeckReaders, RectangleRadiiOnTheHalfSpace) {
  Read(HalfSpace("RECTANGULAR=2,1") + "STOP\n");
  const float want[4] = {0.7979f, 0.6787f, 0.9599f, 0.8534f};
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(R->fnd.REQ[k], want[k], 5e-5f) << k;
  EXPECT_EQ(R->flags.FNDTYP, Foundation::kHalfSpace);
  EXPECT_EQ(R->flags.IGEOM, 2);
  EXPECT_EQ(R->flags.MEDIA, 1);
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_TRUE(Has(" RECTANGULAR FOUNDATION  -     2.000 ft  BY    1.000 ft")) << Dump();
  EXPECT_TRUE(Has(" **********************"));
  // The block ends after the constants: STOP is read by the keyword loop.
  EXPECT_EQ(stop, 1);
  EXPECT_FALSE(Contains("UNRECOGNIZED"));
}

TEST_F(DeckReaders, RectangleRadiiOnTheStratum) {
  Read(Stratum("RECTANGULAR=2,1", "0.5 10") + "STOP\n");
  const float want[5] = {0.7979f, 0.7979f, 0.6787f, 0.9599f, 0.8534f};
  for (int k = 0; k < 5; ++k) EXPECT_NEAR(R->fnd.RSTR[k], want[k], 5e-5f) << k;
  EXPECT_NEAR(R->fnd.RAVG, 0.8176f, 5e-5f);
  EXPECT_TRUE(Has(" STRATUM PROPERTIES"));
  EXPECT_TRUE(Has(" DEPTH OF LAYER  ................    10.00000 ft")) << Dump();
}

TEST_F(DeckReaders, CircleKeepsItsRadiusEverywhere) {
  Read(HalfSpace("CIRCULAR=2.5") + "STOP\n");
  for (float r : R->fnd.REQ) EXPECT_EQ(r, 2.5f);
  EXPECT_EQ(R->fnd.RAVG, 2.5f);
  EXPECT_TRUE(Has(" CIRCULAR FOUNDATION  -  RADIUS =    2.500 ft")) << Dump();
  EXPECT_TRUE(Has(" *******************"));
}

TEST_F(DeckReaders, StratumRatioLimits) {
  struct Case {
    const char* eh;  // embedment, layer depth (circle of radius 2)
    int ierflg;
  } cases[] = {{"3 40", 0}, {"3.0002 40", 1}, {"1.5 2", 0}, {"1.5 1.99", 1}};
  for (const Case& c : cases) {
    DeckRead d;
    d.Read(Stratum("CIRCULAR=2", c.eh) + "STOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, c.ierflg) << c.eh;
    EXPECT_EQ(d.Has(" THE STRATUM OPTION IS NOT GOOD FOR THIS CASE"), c.ierflg == 1) << c.eh;
  }
}

TEST_F(DeckReaders, LayerAndPileLimits) {
  struct Case {
    int nlay, np;
    const char* message;
  } cases[] = {{30, 2, nullptr},
               {31, 2, " ERROR - NUMBER OF LAYERS EXCEEDS 30"},
               {2, 500, nullptr},
               {2, 501, " ERROR - NUMBER OF PILES EXCEEDS 500"}};
  for (const Case& c : cases) {
    DeckRead d;
    d.Read(PileBlock(c.nlay, c.np) + "STOP\n");
    if (c.message) {
      EXPECT_TRUE(d.Has(c.message)) << c.nlay << " " << c.np;
      EXPECT_TRUE(d.Has(" PROGRAM WILL NOT EXECUTE"));
      EXPECT_EQ(d.R->flags.IERFLG, 1);
    } else {
      EXPECT_EQ(d.R->flags.IERFLG, 0) << d.Dump();
      EXPECT_EQ(d.R->fnd.NPILE, static_cast<float>(c.np));
      EXPECT_EQ(d.R->fnd.XP[c.np - 1], static_cast<float>(c.np));
      EXPECT_EQ(d.R->fnd.ELDEP[c.nlay - 1], 1.0f);
    }
  }
}

TEST_F(DeckReaders, GravityChoosesTheUnits) {
  struct Case {
    const char* g;
    int units;
  } cases[] = {{"10.0", 2}, {"10.01", 1}, {"32.2", 1}, {"9.81", 2}};
  for (const Case& c : cases) {
    DeckRead d;
    d.Read(std::string("GRAVITY=") + c.g + "\nSTOP\n");
    EXPECT_EQ(d.R->flags.IUNITS, c.units) << c.g;
  }
}

TEST_F(DeckReaders, PinnedPilesEchoTheirFixity) {
  Read(PileBlock(1, 1, "PINNED") + "STOP\n");
  EXPECT_TRUE(Has(" PILES ARE PINNED AT BUTT"));
  EXPECT_EQ(R->fnd.IFIX, 0);
  EXPECT_EQ(R->fnd.FIX, 0.0f);
  {
    DeckRead d;
    d.Read(PileBlock(1, 1, "FIXED") + "STOP\n");
    EXPECT_FALSE(d.Contains("PINNED"));
    EXPECT_EQ(d.R->fnd.IFIX, 1);
    EXPECT_EQ(d.R->fnd.FIX, 1.0f);
    EXPECT_TRUE(d.Has("   1        1.000       0.000"));
  }
}

TEST_F(DeckReaders, WrongSubKeywordEndsTheBlock) {
  Read("FOUNDATION=PILE\nSQUARE=3\nSTOP\n");
  EXPECT_TRUE(Has(" INVALID KEYWORD - SQUA FOR GEOMETRY TYPE")) << Dump();
  EXPECT_TRUE(Has(" PROGRAM WILL NOT EXECUTE"));
  EXPECT_EQ(R->flags.IERFLG, 1);
  {
    DeckRead d;
    d.Read("FOUNDATION=MULTILAYER\nCIRCULAR=3\nMASS\n1 1 1 1 0 0 0\nPARABOLIC\nSTOP\n");
    EXPECT_TRUE(d.Has(" MULTILAYER FOUNDATION IS NOT ALLOWED A PARABOLIC SOIL MEDIA"));
    EXPECT_EQ(d.R->flags.IERFLG, 1);
  }
}

TEST_F(DeckReaders, BadGeometryIsFatalAndEchoed) {
  for (const char* g : {"CIRCULAR=X", "CIRCULAR=0", "RECTANGULAR=2,-1"}) {
    DeckRead d;
    d.Read(HalfSpace(g) + "STOP\n");
    EXPECT_TRUE(d.Has("  *** BAD DATA IN GEOMETRY DESCRIPTION ***")) << g;
    EXPECT_EQ(d.R->flags.IERFLG, 1) << g;
    EXPECT_FALSE(std::isnan(d.R->fnd.REQ[0]));
  }
}

TEST_F(DeckReaders, BatteredGroupKeepsItsVerticalPiles) {
  std::string d = PileBlock(1, 3);
  d += "BATTERED\n1 XZ\n10.0\n2 XZ\n0\n3 YZ\n-5\nINTERACTION\nSTOP\n";
  Read(d);
  EXPECT_EQ(R->flags.IBATT, 1) << Dump();
  EXPECT_EQ(R->flags.INTER, 1);
  EXPECT_EQ(R->flags.IERFLG, 0);
  EXPECT_FALSE(Contains("UNRECOGNIZED"));
  EXPECT_FALSE(Contains("SUBKEYWORD"));
  const float xz[9] = {10, 90, 80, 90, 0, 90, 100, 90, 10};  // BANG(r, c) by columns
  const float vert[9] = {0, 90, 90, 90, 0, 90, 90, 90, 0};
  const float yz[9] = {0, 90, 90, 90, -5, 95, 90, 85, -5};
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 3; ++r) {
      const int k = (r - 1) + 3 * (c - 1);
      EXPECT_EQ(R->fnd.BANG[BANGIX(r, c, 1)], xz[k]) << r << c;
      EXPECT_EQ(R->fnd.BANG[BANGIX(r, c, 2)], vert[k]) << r << c;
      EXPECT_EQ(R->fnd.BANG[BANGIX(r, c, 3)], yz[k]) << r << c;
    }
  EXPECT_TRUE(Has(" BATTERED PILES"));
  EXPECT_TRUE(Has(" PILE NO.  3 BATTERED IN YZ PLANE"));
  EXPECT_TRUE(Has(" ANGLE BETWEEN PILE AND VERTICAL =   10.00 deg."));
}

TEST_F(DeckReaders, BatteredOptionIgnored) {
  // An unknown plane switches the option off; the rest goes to the loop.
  Read(PileBlock(1, 2) + "BATTERED\n1 XY\n10\n2 XZ\n5\nSTOP\n");
  EXPECT_TRUE(Has(" UNRECOGNIZED PLANEXY  FOR BATTERED PILES")) << Dump();
  EXPECT_TRUE(Has(" BATTERED OPTION WILL BE IGNORED."));
  EXPECT_EQ(R->flags.IBATT, 0);
  EXPECT_EQ(R->flags.IERFLG, 0);
  // The row's angle is read with it: the loop meets the next row first.
  std::vector<std::string> unknown;
  for (const auto& l : report)
    if (l.rfind(" UNRECOGNIZED KEYWORD - ", 0) == 0) unknown.push_back(l.substr(24));
  ASSERT_FALSE(unknown.empty()) << Dump();
  EXPECT_EQ(unknown.front().find("10"), std::string::npos) << Dump();
  EXPECT_EQ(unknown.size(), 3u) << Dump();
  // Outside a pile foundation nothing is read.
  {
    DeckRead d;
    d.Read("FOUNDATION=MULTILAYER\nCIRCULAR=3\n" + std::string(kMass) +
           "LAYER=1\nCONSTANTS\n0 0 1 30 150\n0 0.25 0.02 0.8 4E8\nELEMENT\n1 1 .5 .5 .7 .04 .04 .09\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, 0) << d.Dump();
    EXPECT_EQ(d.R->fnd.IFIX, 1);
  }
  // A batter of 90 degrees has no tangent.
  {
    DeckRead d;
    d.Read(PileBlock(1, 1) + "BATTERED\n1 XZ\n90\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, 1);
    EXPECT_EQ(d.R->flags.IBATT, 0);
  }
}

TEST_F(DeckReaders, PileConstantsThatNoModelTakes) {
  struct Case {
    const char* constants;
    int ierflg;
  } cases[] = {{"0 0 1 30 150 0 0.25 0.02 0.8 4.32E+08", 0},  {"0 0 1 30 150 0 0.5 0.02 0.8 4.32E+08", 0},
               {"0 0 1 30 150 0 -1.0 0.02 0.8 4.32E+08", 1}, {"0 0 1 30 150 0 0.6 0.02 0.8 4.32E+08", 1},
               {"0 0 1 30 150 0 0.25 0.02 0.8 0", 1},        {"0 0 1 -30 150 0 0.25 0.02 0.8 4E8", 1},
               {"0 0 1 30 -150 0 0.25 0.02 0.8 4E8", 1}};
  for (const Case& c : cases) {
    DeckRead d;
    d.Read(std::string("GRAVITY=32.2\nFOUNDATION=PILE\nCIRCULAR=3\n") + kMass + "LAYERS=1\nFIXED=1\n1 0 0\nCONSTANTS\n" +
           c.constants + "\nELEMENT\n1 1.0 0.5 0.5 0.785 0.049 0.049 0.098\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, c.ierflg) << c.constants << "\n" << d.Dump();
  }
}

// --- Mass -----------------------------------------------------------------

TEST_F(DeckReaders, MassWithoutEchoIsStoredSilently) {
  Read("NOECHO\n" + HalfSpace("CIRCULAR=1") + "STOP\n");
  EXPECT_EQ(R->mass.MASCON[0], 100.0f);
  EXPECT_EQ(R->mass.MASCON[3], 3000.0f);
  EXPECT_FALSE(Contains("MASS"));
}

TEST_F(DeckReaders, MissingThirdMassValue) {
  R->mass.MASCON = {9, 9, 9, 9, 9, 9, 9};
  Read("GRAVITY=32.2\nFOUNDATION=HALF-SPACE\nCIRCULAR=1\nMASS\n1 2\nCONSTANTS\n0 0 1\nSTOP\n");
  EXPECT_TRUE(Has(" ERROR ENCOUNTERED IN FOUNDATION MASS DESCRIPTION"));
  EXPECT_EQ(R->flags.IERFLG, 1);
  EXPECT_EQ(R->mass.MASCON[0], 1.0f);
  EXPECT_EQ(R->mass.MASCON[1], 2.0f);
  for (int i = 2; i < 7; ++i) EXPECT_EQ(R->mass.MASCON[i], 9.0f) << i;
  EXPECT_TRUE(Has(" TOTAL MASS OF FOOTING  ......... 1.00000E+00 slug"));
}

TEST_F(DeckReaders, MassComponentsFromTheMassFile) {
  struct Case {
    const char* file;  // nullptr: no mass data file
    bool table, fault;
  } cases[] = {{"0\n", false, false},
               {"2\n10 0 0 0.5 2 2 1 extra\n5 1 1\n1.5 1 1 1\n0 0 0\n", true, false},
               {"3\n10 0 0 0.5 2 2 1\n", false, true},
               {"2\n10 0 0 0.5 2 2 X\n5 1 1 1.5 1 1 1\n", false, true},
               {nullptr, false, true}};
  for (const Case& c : cases) {
    DeckRead d;
    if (c.file) {
      engine_harness::WriteText(d.dir_ / "m.vtm", c.file);
      ASSERT_TRUE(d.R->ch.Open(9, d.Path("m.vtm"), false));
    }
    d.Read(HalfSpace("CIRCULAR=1") + "STOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, 0);
    EXPECT_TRUE(d.Has(" MASS CONSTANTS"));
    EXPECT_EQ(d.Contains("MASS COMPONENTS  NUMBER OF DEFINED MASSES -"), c.table) << d.Dump();
    EXPECT_EQ(d.Contains("MASS DATA FILE"), c.fault) << d.Dump();
    if (c.table) {
      EXPECT_TRUE(d.Has("   1      10.000     0.000     0.000     0.500     2.000     2.000     1.000"));
      EXPECT_TRUE(d.Has("   2       5.000     1.000     1.000     1.500     1.000     1.000     1.000"));
    }
  }
}

// --- Soil -------------------------------------------------------------------

TEST_F(DeckReaders, StratumSoil) {
  Read(Stratum("CIRCULAR=2", "0.5 10") + "SOIL\nCONSTANTS\n500 110 0.33 0.05\nSTOP\n");
  EXPECT_EQ(R->soil.STVS, 500.0f);
  EXPECT_EQ(R->soil.STDAMP, 0.05f);
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_FALSE(Contains("BELOW"));
  EXPECT_TRUE(Has(" SHEAR WAVE VELOCITY  ...........   500.00000 ft/s"));
  // WEAK is not for a stratum; the constants are left to the keyword loop.
  {
    DeckRead d;
    d.Read(Stratum("CIRCULAR=2", "0.5 10") + "SOIL\nWEAK\nCONSTANTS\n500 110 0.33 0.05\nSTOP\n");
    EXPECT_TRUE(d.Has(" WEAK IS AN IMPROPER KEYWORD FOR THIS FOUNDATION   TYPE"));
    EXPECT_EQ(d.R->flags.IERFLG, 1);
    EXPECT_EQ(d.R->soil.STVS, 0.0f);
  }
  // A Poisson's ratio of 0.5 has no stratum stiffness.
  {
    DeckRead d;
    d.Read(Stratum("CIRCULAR=2", "0.5 10") + "SOIL\nCONSTANTS\n500 110 0.5 0.05\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, 1);
  }
}

TEST_F(DeckReaders, HalfSpaceWithoutSideLayersNeedsBelow) {
  Read(HalfSpace("CIRCULAR=2") + "SOIL\nCONSTANTS=0\nBELOW=500 110 0.33 0.05\nSTOP\n");
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_FALSE(Contains("SIDE LAYERS"));
  EXPECT_EQ(R->soil.BLVS, 500.0f);
  EXPECT_TRUE(Has(" HALF-SPACE SOIL"));
  EXPECT_TRUE(Has(" ***************"));
  {
    DeckRead d;
    d.Read(HalfSpace("CIRCULAR=2") + "SOIL\nCONSTANTS=0\nSTOP\n");
    EXPECT_TRUE(d.Has(" BELOW SUBKEYWORD IS EXPECTED TO FOLLOW SOIL CONSTANT DATA"));
    EXPECT_EQ(d.R->flags.IERFLG, 1);
  }
}

TEST_F(DeckReaders, SideLayerOutsideTheElasticRangeIsNamed) {
  // The message names the layer and what is wrong with it, line by line.
  Read(HalfSpace("CIRCULAR=2") + "SOIL\nCONSTANTS=2\n1 1 150 18 0.3 0.05\n2 1 180 18 0.6 0.05\n"
       "BELOW=250 19 0.33 0.05\nSTOP\n");
  EXPECT_EQ(R->flags.IERFLG, 1);
  const auto at = std::find(report.begin(), report.end(),
                            " ERROR - SIDE LAYER  2 : NEGATIVE VELOCITY OR UNIT WEIGHT, OR POISSONS RATIO");
  ASSERT_NE(at, report.end()) << Dump();
  ASSERT_GE(report.end() - at, 3);
  EXPECT_EQ(at[1], " NOT ABOVE -1.0 OR ABOVE 0.5");
  EXPECT_EQ(at[2], " PROGRAM WILL NOT EXECUTE");
  EXPECT_FALSE(Contains("SIDE LAYER  1 :")) << Dump();
}

TEST_F(DeckReaders, HalfSpaceWeakZoneBecomesALength) {
  Read(HalfSpace("CIRCULAR=2") +
       "SOIL\nWEAK\nCONSTANTS=2\n1 1 150 18 0.3 0.05 0.5 0.3 0.1 0.5\n2 1 180 18 0.3 0.05 1.0 0.3 0.1 0.5\n"
       "BELOW=250 19 0.33 0.05\nSTOP\n");
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_EQ(R->soil.NSIDE, 2.0f);
  EXPECT_FLOAT_EQ(R->soil.SDWTHK[0], 1.0f);
  EXPECT_EQ(R->soil.SDWTHK[1], 0.0f);  // ratio above 0.999
  EXPECT_TRUE(Has(" SOIL CONSTANTS  NUMBER OF SIDE LAYERS -   2"));
  EXPECT_TRUE(Has("   1       0.500"));
}

TEST_F(DeckReaders, LayeredPileWeakRatios) {
  Read(PileBlock(3, 1) +
       "SOIL\nWEAK\nCONSTANTS\n1 300 110 0.3 0.05 1.0 0.3 0.1 0.7\n2 300 110 0.3 0.05 0.999 0.3 0.1 0.7\n"
       "3 400 110 0.3 0.05 0.5 0.3 0.1 0.7\nBELOW=600 120 0.3 0.05\nSTOP\n");
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_EQ(R->soil.WKTHK[0], 0.0f);
  EXPECT_EQ(R->soil.WKTHK[1], 0.7f);
  EXPECT_EQ(R->soil.WKTHK[2], 0.7f);
  EXPECT_EQ(R->soil.VREF, 400.0f);
  EXPECT_EQ(R->soil.SLTHK[2], 1.0f);
  EXPECT_EQ(R->soil.SLGRAT[0], 1.0f);
  EXPECT_TRUE(Has(" NONLINEARITY OF SOIL (WEAKENED ZONE)"));
  EXPECT_TRUE(Has("   3       0.500"));
  EXPECT_TRUE(Has(" SOIL BELOW PILE"));
}

TEST_F(DeckReaders, WeakZoneRowsOnlyWithAWeakFirstOrSecondLayer) {
  Read(PileBlock(3, 1) +
       "SOIL\nWEAK\nCONSTANTS\n1 300 110 0.3 0.05 0 0.3 0.1 0\n2 300 110 0.3 0.05 0 0.3 0.1 0\n"
       "3 400 110 0.3 0.05 0.5 0.3 0.1 0.7\nBELOW=600 120 0.3 0.05\nSTOP\n");
  EXPECT_TRUE(Has(" NONLINEARITY OF SOIL (WEAKENED ZONE)"));
  EXPECT_FALSE(Has("   3       0.500")) << Dump();
}

TEST_F(DeckReaders, ParabolicProfileOverAFortyLongPile) {
  std::string d = std::string("GRAVITY=32.2\nFOUNDATION=PILE\nCIRCULAR=1\n") + kMass +
                  "PARABOLIC\nFIXED=1\n1 0 0\nCONSTANTS\n0 0 1 40 150\n0 0.25 0.02 0.8 4.32E+08\n"
                  "ELEMENT\n0.5 0.6 0.785 0.049 0.05 0.098\nSOIL\nCONSTANTS\n500 110 0.3 0.05\n"
                  "BELOW=800 120 0.3 0.05\nSTOP\n";
  Read(d);
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_EQ(R->fnd.NLAY, 30.0f);
  float total = 0.0f;
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(R->soil.SLTHK[i], i < 20 ? 1.0f : 2.0f) << i;
    EXPECT_EQ(R->fnd.ELDEP[i], R->soil.SLTHK[i]);
    EXPECT_EQ(R->fnd.ELRY[i], 0.6f);
    EXPECT_EQ(R->soil.SLUWT[i], 110.0f);
    total += R->soil.SLTHK[i];
  }
  EXPECT_FLOAT_EQ(total, 40.0f);
  EXPECT_FLOAT_EQ(R->soil.SLVS[0], 500.0f * std::pow(0.5f / 40.0f, 0.25f));
  EXPECT_FLOAT_EQ(R->soil.SLVS[29], 500.0f * std::pow(39.0f / 40.0f, 0.25f));
  EXPECT_EQ(R->soil.VREF, 500.0f);
  EXPECT_EQ(R->soil.WKGRAT[29], 0.0f);
  EXPECT_EQ(R->soil.WKPR[29], 0.3f);
}

TEST_F(DeckReaders, SideCapNeedsEmbedded) {
  Read(PileBlock(1, 1) + "SOIL\nCONSTANTS\n1 300 110 0.3 0.05\nBELOW=600 120 0.3 0.05\nSIDE-CAP\nSTOP\n");
  EXPECT_TRUE(Has(" SIDE-CAP KEYWORD WAS INPUT WITHOUT THE EMBEDDED KEYWORD - THE SIDE-CAP OPTION WILL BE IGNORED"))
      << Dump();
  EXPECT_EQ(R->flags.ISDCAP, 0);
  EXPECT_EQ(R->flags.IERFLG, 0);
}

TEST_F(DeckReaders, PileCapSideLayers) {
  Read(PileBlock(1, 1) +
       "SOIL\nCONSTANTS\n1 300 110 0.3 0.05\nBELOW=600 120 0.3 0.05\nSIDE-CAP\nEMBEDDED\n1\n"
       "1 2.0 300 110 0.3 0.05 0.5 0.3 0.1 0.1\nSTOP\n");
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_EQ(R->flags.IEMBED, 1);
  EXPECT_EQ(R->flags.ISDCAP, 1);
  EXPECT_FLOAT_EQ(R->soil.SDWTHK[0], 0.1f * 3.0f);
  EXPECT_TRUE(Has(" NUMBER OF SIDE LAYERS  -    1"));
  EXPECT_TRUE(Has("   1       0.500"));
  // A bad row switches both options off without the fatal flag.
  {
    DeckRead d;
    d.Read(PileBlock(1, 1) + "SOIL\nCONSTANTS\n1 300 110 0.3 0.05\nBELOW=600 120 0.3 0.05\nEMBEDDED\n1\n1 2.0 X\nSTOP\n");
    EXPECT_TRUE(d.Has(" ERROR ENCOUNTERED WHILE READING EMBEDDED OR ISOLATION DATA")) << d.Dump();
    EXPECT_EQ(d.R->flags.IEMBED, 0);
    EXPECT_EQ(d.R->flags.IERFLG, 0);
  }
}

TEST_F(DeckReaders, SideLayerLimit) {
  auto rows = [](int n) {
    std::string s = std::to_string(n) + "\n";
    for (int i = 1; i <= n; ++i) s += std::to_string(i) + " 1 150 18 0.3 0.05\n";
    return s;
  };
  struct Case {
    bool pileCap;
    int n, ierflg;
  } cases[] = {{false, 30, 0}, {false, 31, 1}, {true, 30, 0}, {true, 31, 1}};
  for (const Case& c : cases) {
    DeckRead d;
    if (c.pileCap)
      d.Read(PileBlock(1, 1) + "SOIL\nCONSTANTS\n1 300 110 0.3 0.05\nBELOW=600 120 0.3 0.05\nEMBEDDED\n" + rows(c.n) +
             "STOP\n");
    else
      d.Read(HalfSpace("CIRCULAR=2") + "SOIL\nCONSTANTS=" + rows(c.n) + "BELOW=250 19 0.33 0.05\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, c.ierflg) << c.pileCap << " " << c.n << d.Dump();
    EXPECT_EQ(d.Has(" ERROR - NUMBER OF SIDE LAYERS EXCEEDS 30"), c.ierflg == 1);
  }
}

TEST_F(DeckReaders, SoilValuesThatNoModelTakes) {
  struct Case {
    const char* below;
    int ierflg;
  } cases[] = {{"500 110 0.33 0.05", 0}, {"500 110 0.5 0.05", 0}, {"0 110 0.33 0.05", 1},
               {"-500 110 0.33 0.05", 1}, {"500 -110 0.33 0.05", 1}, {"500 110 0.51 0.05", 1},
               {"500 110 -1 0.05", 1}};
  for (const Case& c : cases) {
    DeckRead d;
    d.Read(HalfSpace("CIRCULAR=2") + "SOIL\nCONSTANTS=0\nBELOW=" + c.below + "\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, c.ierflg) << c.below << d.Dump();
  }
  // A first pile layer with no velocity (a free length) is valid.
  {
    DeckRead d;
    d.Read(PileBlock(2, 1) + "SOIL\nCONSTANTS\n1 0 0 0.3 0.05\n2 300 110 0.3 0.05\nBELOW=600 120 0.3 0.05\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, 0) << d.Dump();
  }
  {
    DeckRead d;
    d.Read(PileBlock(2, 1) + "SOIL\nCONSTANTS\n1 -1 110 0.3 0.05\n2 300 110 0.3 0.05\nBELOW=600 120 0.3 0.05\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, 1);
  }
}

// --- Loads ------------------------------------------------------------------

TEST_F(DeckReaders, QuadraticHarmonicLoad) {
  Read("GRAVITY=32.2\nLOAD\nHARMONIC\nCONSTANTS\nQUADRATIC\n62.8 6.28 6.28\n1 2 3\n4 5 6\n0 0 0 0\nSTOP\n");
  EXPECT_EQ(R->flags.LODTYP, Load::kHarmonic);
  EXPECT_EQ(R->flags.IQUAD, 2);
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_TRUE(Has(" HARMONIC LOAD, QUADRATIC"));
  EXPECT_TRUE(Has(" ************************"));
  EXPECT_TRUE(Has(" MAXIMUM FREQUENCY .............. 1.000E+01 Hz")) << Dump();
  EXPECT_TRUE(Has(" FORCE COEFF. IN X-DIRECTION  ... 1.000E+00 slug-ft"));
  EXPECT_TRUE(Has(" MOMENT COEFF. ABOUT Z-AXIS  .... 6.000E+00 slug-ft**2"));
}

TEST_F(DeckReaders, HarmonicMomentsAtTheReferencePoint) {
  // Code 0: the offsets as read.  Code 1 with the reference point at the
  // centre of gravity: dx, dy as read, dz changes sign.
  const std::string foot = HalfSpace("CIRCULAR=2");
  struct Case {
    const char* point;
    float mx, my, mz;
  } cases[] = {{"1 2 3 0", 10 - 30 * 2 + 20 * 3, 20 - 10 * 3 + 30 * 1, 30 - 20 * 1 + 10 * 2},
               {"1 2 3 1 0 0 1", 10 - 30 * 2 + 20 * -3, 20 - 10 * -3 + 30 * 1, 30 - 20 * 1 + 10 * 2}};
  for (const Case& c : cases) {
    DeckRead d;
    d.Read(foot + "LOAD\nHARMONIC\nCONSTANTS\nNONQUADRATIC\n62.8 6.28 6.28\n10 20 30\n10 20 30\n" + c.point +
           "\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, 0) << d.Dump();
    EXPECT_EQ(d.R->flags.IQUAD, 1);
    EXPECT_FLOAT_EQ(d.R->load.FAMP[0], 10.0f);
    EXPECT_FLOAT_EQ(d.R->load.FAMP[3], c.mx) << c.point;
    EXPECT_FLOAT_EQ(d.R->load.FAMP[4], c.my) << c.point;
    EXPECT_FLOAT_EQ(d.R->load.FAMP[5], c.mz) << c.point;
  }
}

TEST_F(DeckReaders, HarmonicWithoutItsQuadraticWord) {
  Read("LOAD\nHARMONIC\nCONSTANTS\n62.8 6.28 6.28\n1 2 3\n4 5 6\n0 0 0 0\nSTOP\n");
  EXPECT_TRUE(Has("  ERROR ENCOUNTERED IN LOAD DESCRIPTION")) << Dump();
  EXPECT_EQ(R->flags.IERFLG, 1);
}

TEST_F(DeckReaders, LoadTypeAndConstantsWords) {
  Read("LOAD\nSEISMIC\nCONSTANTS\nSTOP\n");
  EXPECT_TRUE(Has(" INVALID OR UNRECOGNIZED KEYWORD - SEIS FOR LOAD    TYPE")) << Dump();
  EXPECT_TRUE(Has(" PROGRAM WILL NOT EXECUTE"));
  EXPECT_EQ(R->flags.IERFLG, 1);
  {
    DeckRead d;
    d.Read("LOAD\nRANDOM\n62.8\nSTOP\n");
    EXPECT_TRUE(d.Has(" 'CONSTANT' KEYWORD MISSING FOR LOAD DESCRIPTION")) << d.Dump();
    EXPECT_EQ(d.R->flags.LODTYP, Load::kRandom);
    EXPECT_EQ(d.R->flags.IERFLG, 1);
  }
}

TEST_F(DeckReaders, RandomSpectrumLocations) {
  struct Case {
    const char* locations;
    float v12, v21;
  } cases[] = {{"2 1", 7, 7}, {"1 2", 0, 0}};
  for (const Case& c : cases) {
    DeckRead d;
    d.Read(std::string("GRAVITY=32.2\nLOAD\nRANDOM\nCONSTANTS\n62.8 6.28 3 10 1\n") + c.locations + "\n7 7 7\nSTOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, 0) << d.Dump();
    for (int k = 1; k <= 3; ++k) {
      EXPECT_EQ(d.R->load.CSPEC[SPECIX(1, 2, k)], Cx(c.v12, 0.0f)) << c.locations;
      EXPECT_EQ(d.R->load.CSPEC[SPECIX(2, 1, k)], Cx(c.v21, 0.0f)) << c.locations;
    }
    EXPECT_FLOAT_EQ(d.R->load.WSTEP, (62.8f - 6.28f) / 2.0f);
    EXPECT_TRUE(d.Has(" RANDOM LOAD"));
    EXPECT_TRUE(d.Has(" NUMBER OF POINTS  ..............   3"));
    EXPECT_TRUE(d.Has("   0.700E+01")) << d.Dump();
  }
}

TEST_F(DeckReaders, RandomWithOnePoint) {
  Read("LOAD\nRANDOM\nCONSTANTS\n62.8 6.28 1 10 1\n3 3\n5\nSTOP\n");
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_FLOAT_EQ(R->load.WSTEP, 62.8f - 6.28f);
  EXPECT_EQ(R->load.CSPEC[SPECIX(3, 3, 1)], Cx(5.0f, 0.0f));
  {
    DeckRead d;
    d.Read("LOAD\nRANDOM\nCONSTANTS\n62.8 6.28 1 10 1\n0 3\n5\nSTOP\n");
    EXPECT_TRUE(d.Has(" ERROR - LOCATION OF SPECTRA (   0 ) CANNOT BE ")) << d.Dump();
    EXPECT_EQ(d.R->flags.IERFLG, 1);
  }
}

TEST_F(DeckReaders, TransientTwoLoads) {
  const float a1[6] = {0, 1, 2, 3, 2, 1}, a3[6] = {5, 4, 0, 0, 1, 0};
  std::string d = "GRAVITY=32.2\nLOAD\nTRANSIENT\nCONSTANTS\n6\n0.01\n2\n1\n";
  for (float v : a1) d += std::to_string(v) + "\n";
  d += "3\n";
  for (float v : a3) d += std::to_string(v) + "\n";
  Read(d + "STOP\n");
  EXPECT_EQ(R->flags.IERFLG, 0) << Dump();
  EXPECT_EQ(R->flags.LODTYP, Load::kTransient);
  std::vector<Cx> x1(a1, a1 + 6), x3(a3, a3 + 6);
  CFFT(x1.data(), 6);
  CFFT(x3.data(), 6);
  for (int k = 1; k <= 6; ++k) {
    for (int dof = 1; dof <= 6; ++dof) {
      const Cx got = R->load.FLOAD[FLOADIX(dof, k)];
      const Cx want = dof == 1 ? std::conj(x1[k - 1]) / 6.0f : dof == 3 ? std::conj(x3[k - 1]) / 6.0f : Cx(0, 0);
      EXPECT_EQ(got, want) << dof << " " << k;
    }
  }
  EXPECT_FLOAT_EQ(R->load.THALF, 5.0f);
  EXPECT_EQ(R->load.TNPT, 6.0f);
  EXPECT_TRUE(Has(" LOAD TYPE CODE - 1 (FORCE IN X-DIRECTION)"));
  EXPECT_TRUE(Has(" LOAD TYPE CODE - 3 (FORCE IN Z-DIRECTION)"));
  EXPECT_TRUE(Has("    3.000E+00"));
  EXPECT_TRUE(Has("    5.000E+00"));
  EXPECT_TRUE(Has(" TIME INTERVAL BETWEEN POINTS  ..  0.010"));
}

TEST_F(DeckReaders, TransientLoadTypeSeven) {
  Read("LOAD\nTRANSIENT\nCONSTANTS\n2\n0.01\n1\n7\n1 2\nSTOP\n");
  EXPECT_TRUE(Has(" ERROR - LOAD TYPE INDICATOR (   7 ) CANNOT BE ")) << Dump();
  EXPECT_TRUE(Has("         LESS THAN 1 OR EXCEED A VALUE OF 6"));
  EXPECT_TRUE(Has("  ERROR ENCOUNTERED IN LOAD DESCRIPTION"));
  EXPECT_TRUE(Has("         - WILL CONTINUE TO PROCESS DATA"));
  EXPECT_EQ(R->flags.IERFLG, 1);
}

TEST_F(DeckReaders, LoadArrayLimits) {
  struct Case {
    const char* head;  // the block up to the first spectrum or load
    int ierflg;
  } cases[] = {{"TRANSIENT\nCONSTANTS\n1024 0.01 0\n", 0}, {"TRANSIENT\nCONSTANTS\n1025 0.01 0\n", 1},
               {"TRANSIENT\nCONSTANTS\n4 0.01 10\n", 0},   {"TRANSIENT\nCONSTANTS\n4 0.01 11\n", 1},
               {"RANDOM\nCONSTANTS\n62.8 6.28 200 10 0\n", 0}, {"RANDOM\nCONSTANTS\n62.8 6.28 201 10 0\n", 1},
               {"RANDOM\nCONSTANTS\n62.8 6.28 2 10 100\n", 0}, {"RANDOM\nCONSTANTS\n62.8 6.28 2 10 101\n", 1}};
  for (const Case& c : cases) {
    DeckRead d;
    std::string deck = std::string("LOAD\n") + c.head;
    // Data for the accepted cases with loads or spectra.
    if (std::string(c.head).find("4 0.01 10") != std::string::npos)
      for (int l = 1; l <= 10; ++l) deck += "1 1 2 3 4\n";
    if (std::string(c.head).find("2 10 100") != std::string::npos)
      for (int l = 1; l <= 100; ++l) deck += "1 1 0.5 0.5\n";
    d.Read(deck + "STOP\n");
    EXPECT_EQ(d.R->flags.IERFLG, c.ierflg) << c.head << d.Dump();
    EXPECT_EQ(d.Contains("CANNOT EXCEED A VALUE OF"), c.ierflg == 1) << c.head;
  }
}

}  // namespace
