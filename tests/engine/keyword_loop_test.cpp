// The keyword table, the run defaults and the top-level keyword loop.
#include <gtest/gtest.h>

#include "keyword_loop.h"
#include "report_framework.h"
#include "run_fixture.h"

namespace {

TEST(KeywordTable, MatchesOnTheFirstFourCharacters) {
  struct Case {
    const char* word;
    int index;
  } cases[] = {{"FOUNDATION", 24}, {"FOUN", 24}, {"FOUNDRY", 24}, {"RUN", 28},  {"RUNNING", 28},
               {"PAD", 45},        {"PADS", 45},  {"", 1},      {"    ", 1},      {"QUAD", 51}, {"NONQUADRATIC", 52},
               {"END-BEARING", 35}, {"WIDE", 2}, {"XYZ", 999},     {"32.2", 999}, {"run", 999}};
  for (const Case& c : cases) EXPECT_EQ(KeywordIndex(c.word), c.index) << c.word;
  EXPECT_EQ(KEYTAB.size(), 52u);
  for (std::string_view k : KEYTAB) EXPECT_EQ(k.size(), 4u);
}

// The named indices are found in the table while compiling; the lookup of
// the deck's words agrees with them.
static_assert(kPILE == 6 && kCONS == 36 && kRUN == 28 && kEND == 35 && kNONQ == 52 && kBLANK == 1);

TEST(KeywordTable, NamedIndicesAgreeWithTheLookup) {
  const std::pair<int, const char*> named[] = {
      {kWIDE, "WIDE"}, {kFOUN, "FOUNDATION"}, {kEND, "END-BEARING"}, {kRUN, "RUN"}, {kPAD, "PAD"},
      {kCONS, "CONSTANTS"}, {kSIDE, "SIDE-CAP"}, {kQUAD, "QUADRATIC"}, {kBLANK, ""}};
  for (const auto& [index, word] : named) EXPECT_EQ(KeywordIndex(word), index) << word;
}

class KeywordLoop : public RunFixture {
 protected:
  // Runs INITIN and RDKEYS over a cleaned deck.
  void Loop(const std::vector<std::string>& cleaned) {
    Feed(7, cleaned);
    int st = 0;
    INITIN(*R, st);
    EXPECT_EQ(st, 1);
    EXPECT_EQ(R->IUNIT[4], 7);
    RDKEYS(*R, st, stop);
  }
  int stop = 0;
};

TEST_F(KeywordLoop, KwyrdReportsAnUnknownWord) {
  int index = 0, status = 0;
  KEYWRD(*R, "BLAH", index, status);
  EXPECT_EQ(index, 999);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " UNRECOGNIZED KEYWORD - BLAH"}));
}

TEST_F(KeywordLoop, InitinSetsTheDefaults) {
  R->flags.FNDTYP = Foundation::kStratum;
  R->flags.IECHO = 0;
  R->flags.IQUAD = 2;
  R->flags.IBATT = 1;
  R->flags.IERFLG = 1;
  int st = 0;
  INITIN(*R, st);
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(R->IUNIT[k], k == 4 ? 7 : k);
  EXPECT_EQ(R->IUNIT[16], 16);
  EXPECT_EQ(R->flags.FNDTYP, Foundation::kNone);
  EXPECT_EQ(R->flags.IECHO, 1);
  EXPECT_EQ(R->flags.IQUAD, 1);
  EXPECT_EQ(R->flags.MEDIA, 1);
  EXPECT_EQ(R->flags.IBATT, 0);
  EXPECT_EQ(R->flags.IERFLG, 0);
  EXPECT_EQ(R->names.TITLE.size(), 80u);
}

TEST_F(KeywordLoop, OnlyRunReturnsWithoutStop) {
  Loop({"RUN"});
  EXPECT_EQ(stop, 0);
  EXPECT_TRUE(Report().empty());
}

TEST_F(KeywordLoop, RunningIsRun) {
  Loop({"RUNNING", "STOP"});
  EXPECT_EQ(stop, 0);
}

TEST_F(KeywordLoop, StopSetsStopSilently) {
  Loop({"STOP", "RUN"});
  EXPECT_EQ(stop, 1);
  EXPECT_TRUE(Report().empty());
}

TEST_F(KeywordLoop, EndOfDeckStops) {
  Loop({"ECHO"});
  EXPECT_EQ(stop, 1);
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " *** INPUT ERROR ***    END OF FILE ENCOUNTERED WHILE",
                                                "                        READING   1 ALPHANUMERIC WORDS", "", "",
                                                " END OF FILE ENCOUNTERED - PROGRAM STOP EXECUTED"}));
}

TEST_F(KeywordLoop, MatrixWithAndWithoutEcho) {
  Loop({"MATRIX", "RUN"});
  EXPECT_EQ(R->flags.IMATR, 1);
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " STIFFNESS AND DAMPING CONSTANTS TO BE PRINTED",
                                                " " + std::string(45, '*')}));
}

TEST_F(KeywordLoop, MatrixUnderNoEchoWritesNothing) {
  Loop({"NOECHO", "MATRIX", "DIMENSIONLESS", "RUN"});
  EXPECT_EQ(R->flags.IMATR, 1);
  EXPECT_EQ(R->flags.IECHO, 0);
  EXPECT_TRUE(Report().empty());
}

TEST_F(KeywordLoop, OptionLines) {
  Loop({"WIDE", "NARROW", "DIMENSIONLESS", "LONG", "SHORT", "STATIC", "DYNAMIC", "    ", "RUN"});
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " WIDE PRINTOUT FOR HARMONIC RESPONSE CURVE",
                                                " " + std::string(41, '*'), "", "", " DIMENSIONLESS RESPONSE",
                                                " " + std::string(22, '*')}));
}

TEST_F(KeywordLoop, StrayNumberIsAnUnrecognizedKeyword) {
  Loop({"32.2", "RUN"});
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " UNRECOGNIZED KEYWORD - 32.2"}));
  EXPECT_EQ(R->flags.IERFLG, 0);
}

TEST_F(KeywordLoop, SubKeywordsOutOfPlace) {
  Loop({"HARMONIC", "FIXED", "WEAK", "CONSTANTS", "MASS", "QUADRATIC", "RUN"});
  EXPECT_EQ(Report(),
            (std::vector<std::string>{
                "", "", " HARM SUBKEYWORD MUST BE PRECEEDED BY LOAD KEYWORD", "", "",
                " FIXE SUBKEYWORD MUST BE PRECEEDED BY FOUNDATION KEYWORD", "", "",
                " WEAK SUBKEYWORD MUST BE PRECEEDED BY SOIL KEYWORD", "", "",
                " CONS SUBKEYWORD MUST BE PRECEEDED BY ONE OF FOUNDATION, SOIL OR LOAD KEYWORDS", "", "",
                " MASS SUBKEYWORD MUST BE PRECEEDED BY FOUNDATION KEYWORD", "", "",
                " QUAD SUBKEYWORD MUST BE PRECEEDED BY LOAD KEYWORD"}));
  EXPECT_EQ(R->flags.IERFLG, 0);
  EXPECT_EQ(stop, 0);
}

struct GravityCase {
  const char* value;
  int units;
  const char* line;
};

class Gravity : public KeywordLoop, public ::testing::WithParamInterface<GravityCase> {};

TEST_P(Gravity, SetsTheConstantTheUnitsAndTheLabels) {
  Loop({"GRAVITY", GetParam().value, "RUN"});
  EXPECT_EQ(R->flags.IGRAV, 1);
  EXPECT_EQ(R->flags.IUNITS, GetParam().units);
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", GetParam().line, " " + std::string(44, '*')}));
}

INSTANTIATE_TEST_SUITE_P(
    Values, Gravity,
    ::testing::Values(GravityCase{"32.2", 1, " GRAVITATIONAL CONSTANT SET TO  32.20 ft/s**2"},
                      GravityCase{"9.81", 2, " GRAVITATIONAL CONSTANT SET TO   9.81 m/s**2 "},
                      GravityCase{"10.0", 2, " GRAVITATIONAL CONSTANT SET TO  10.00 m/s**2 "},
                      GravityCase{"10.01", 1, " GRAVITATIONAL CONSTANT SET TO  10.01 ft/s**2"}));

TEST_F(KeywordLoop, UnitLabelsEnglishAndSI) {
  Loop({"GRAVITY", "32.2", "RUN"});
  const char* english[19] = {"",          "ft",         "lb-ft", "lb ",       "psf",       "lb/ft**3",     "ft/s**2",
                             "ft**2",     "ft/s",       "ft**4", "slug",      "slug-ft**2", "lb/ft",       "lb-ft/rad",
                             "lb/ft/sec", "lb-ft/rad/sec", "lb/rad", "lb/rad/sec", "slug-ft"};
  for (int k = 1; k <= 18; ++k) EXPECT_EQ(R->LABEL[k], english[k]) << k;
  Loop({"GRAVITY", "9.81", "RUN"});
  const char* si[19] = {"",          "m ",          "kN-m ", "kN.",       "kPa",      "kN/m**3 ",   "m/s**2 ",
                        "m**2 ",     "m/s ",        "m**4 ", "Mg  ",      "Mg-m**2   ", "kN/m ",    "kN-m/rad ",
                        "kN/m/sec ", "kN-m/rad/sec ", "kN/rad", "kN/rad/sec", "Mg-m   "};
  for (int k = 1; k <= 18; ++k) {
    EXPECT_EQ(R->LABEL[k], si[k]) << k;
    EXPECT_EQ(R->LABEL[k].size(), std::string(english[k]).size()) << k;
  }
  EXPECT_EQ(R->LABEL[LBL_TSTIFF], "kN/m ");
}

TEST_F(KeywordLoop, LabelsAreBlankUntilGravity) {
  EXPECT_EQ(R->LABEL[LBL_LENGTH], "  ");
  EXPECT_EQ(R->LABEL[LBL_RDAMP], std::string(13, ' '));
}

TEST_F(KeywordLoop, GravityUnderNoEchoWritesNothing) {
  Loop({"NOEC", "GRAVITY", "32.2", "RUN"});
  EXPECT_EQ(R->flags.GCONST, 32.2f);
  EXPECT_TRUE(Report().empty());
}

TEST_F(KeywordLoop, UnreadableGravity) {
  Loop({"GRAVITY", "ABC", "RUN"});
  EXPECT_EQ(R->flags.IGRAV, 0);
  EXPECT_EQ(R->flags.IERFLG, 1);
  std::vector<std::string> rep = Report();
  ASSERT_EQ(rep.size(), 7u);
  EXPECT_EQ(rep[5], " ERROR ENCOUNTERED WHILE READING GRAV. CONSTANT");
  EXPECT_EQ(rep[6], " PROGRAM WILL NOT EXECUTE");
}

TEST_F(KeywordLoop, ZeroGravityIsRefused) {
  Loop({"GRAVITY", "0.", "RUN"});
  EXPECT_EQ(R->flags.IGRAV, 0);
  EXPECT_EQ(R->flags.IERFLG, 1);
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " ERROR ENCOUNTERED WHILE READING GRAV. CONSTANT",
                                                " PROGRAM WILL NOT EXECUTE"}));
}

TEST_F(KeywordLoop, GravityAtTheEndOfTheDeck) {
  Loop({"GRAVITY"});
  EXPECT_EQ(R->flags.IERFLG, 1);
  EXPECT_EQ(stop, 1);
}

}  // namespace
