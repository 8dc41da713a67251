// READIT on a cleaned deck.
#include <gtest/gtest.h>

#include "field_reader.h"
#include "run_fixture.h"

namespace {

class ReaditTest : public RunFixture {
 protected:
  void Deck(const std::vector<std::string>& records) {
    Feed(7, records);
    R->IUNIT[4] = 7;
  }
  float value = -1.0f;
  std::string word;
  int status = 99;
};

TEST_F(ReaditTest, ReadsNumbersAndWords) {
  Deck({"12.", "               1E+04", "32.2"});
  READIT(*R, 1, value, word, status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(value, 12.0f);
  READIT(*R, 1, value, word, status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(value, 10000.0f);
  READIT(*R, -1, value, word, status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(word, "32.2");
  EXPECT_TRUE(Report().empty());
}

TEST_F(ReaditTest, KeywordWhereANumberWasExpectedIsReadAgain) {
  Deck({"SOIL", "5."});
  READIT(*R, 1, value, word, status);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(value, 0.0f);
  EXPECT_EQ(Report(), (std::vector<std::string>{
                          "", "", " *** INPUT ERROR ***    ALPHANUMERIC ENCOUNTERED - \"SOIL                \","}));
  READIT(*R, -1, value, word, status);
  EXPECT_EQ(word, "SOIL");
  EXPECT_EQ(status, 1);
}

TEST_F(ReaditTest, OtherWordWhereANumberWasExpectedIsConsumed) {
  Deck({"ABCD", "5."});
  READIT(*R, 1, value, word, status);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(Report().size(), 3u);
  READIT(*R, 1, value, word, status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(value, 5.0f);
}

TEST_F(ReaditTest, EndOfDeckInNumberMode) {
  Deck({});
  READIT(*R, 1, value, word, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(value, 0.0f);
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " *** INPUT ERROR ***    END OF FILE ENCOUNTERED WHILE READING",
                                                "                        NUMBER   1 OF   1 NUMBERS TO BE READ"}));
}

TEST_F(ReaditTest, EndOfDeckInWordMode) {
  Deck({});
  word = "XXXX";
  READIT(*R, -1, value, word, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(word, "    ");
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " *** INPUT ERROR ***    END OF FILE ENCOUNTERED WHILE",
                                                "                        READING   1 ALPHANUMERIC WORDS"}));
}

TEST_F(ReaditTest, ModeZeroTwiceStepsBackTwoRecords) {
  Deck({"A", "B", "C"});
  for (int k = 0; k < 3; ++k) READIT(*R, -1, value, word, status);
  READIT(*R, 0, value, word, status);
  EXPECT_EQ(status, 1);
  READIT(*R, 0, value, word, status);
  READIT(*R, -1, value, word, status);
  EXPECT_EQ(word, "B   ");
  EXPECT_TRUE(Report().empty());
}

TEST_F(ReaditTest, InvalidModeBacksSpace) {
  Deck({"A", "B"});
  READIT(*R, -1, value, word, status);
  READIT(*R, 2, value, word, status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " *** INVALID CALL TO READIT, BACKSPACE ASSUMED ***", ""}));
  READIT(*R, -1, value, word, status);
  EXPECT_EQ(word, "A   ");
}

TEST_F(ReaditTest, SkipModeKeepsTheFirstCharacter) {
  Deck({"HELLO"});
  READIT(*R, -2, value, word, status);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(word, "H   ");
  READIT(*R, -5, value, word, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(word, "    ");
  EXPECT_TRUE(Report().empty());
}

struct NumberCase {
  const char* field;
  bool ok;
  float value;
};

class DeckNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(DeckNumber, ReadsLikeANumericField) {
  float v = -7.0f;
  EXPECT_EQ(ParseDeckNumber(GetParam().field, v), GetParam().ok) << GetParam().field;
  if (GetParam().ok) {
    EXPECT_EQ(v, GetParam().value) << GetParam().field;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DeckNumber,
    ::testing::Values(NumberCase{"12.", true, 12.0f}, NumberCase{"               1E+04", true, 10000.0f},
                      NumberCase{"-999.", true, -999.0f}, NumberCase{"1.5E-3", true, 1.5e-3f},
                      NumberCase{"1.5-3", true, 1.5e-3f}, NumberCase{"2.5D2", true, 250.0f},
                      NumberCase{".5", true, 0.5f}, NumberCase{"1 2.", true, 12.0f},
                      NumberCase{"", true, 0.0f}, NumberCase{"SOIL", false, 0},
                      NumberCase{"1.0X", false, 0}, NumberCase{"E5", false, 0}, NumberCase{".", false, 0},
                      NumberCase{"1E", false, 0}, NumberCase{"1E50", false, 0},
                      // Below the normal range: the nearest REAL, down to zero.
                      NumberCase{"1E-38", true, 1e-38f}, NumberCase{"-1E-50", true, -0.0f},
                      // Only the first 20 columns count.
                      NumberCase{"1234567890123456789.9999", true, 1234567890123456789.0f}));

}  // namespace
