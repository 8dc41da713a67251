// The pre-processor: deck lines to cleaned items.
#include <gtest/gtest.h>

#include "deck_preprocessor.h"
#include "run_fixture.h"

namespace {

std::string TrimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

class PreproTest : public RunFixture {
 protected:
  // Runs PREPRO on `deck` and returns the cleaned deck's records.
  std::vector<std::string> Clean(const std::vector<std::string>& deck) {
    Feed(4, deck);
    EXPECT_TRUE(R->ch.Open(7, Path("TAPE7"), true));
    EXPECT_TRUE(R->ch.Open(8, Path("TAPE8"), true));
    PREPRO(*R);
    EXPECT_EQ(R->IUNIT[4], 7);
    return Records(7);
  }
};

struct LineCase {
  const char* line;
  std::vector<std::string> items;  // trailing blanks not compared
};

class PreproLines : public PreproTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(PreproLines, GivesTheCleanedItems) {
  std::vector<std::string> got;
  for (const std::string& r : Clean({GetParam().line})) got.push_back(TrimRight(r));
  EXPECT_EQ(got, GetParam().items) << GetParam().line;
  EXPECT_TRUE(Report().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Deck, PreproLines,
    ::testing::Values(
        LineCase{"$ only a comment", {}}, LineCase{"      ", {}}, LineCase{"   $ comment after blanks", {}},
        LineCase{"RUN", {"RUN"}}, LineCase{"FOUNDATION=PILE", {"FOUNDATION", "PILE"}},
        LineCase{"FOUNDATION= PILE", {"FOUNDATION", " PILE"}}, LineCase{"4*2.5", {"4.", "-999.", "2.5"}},
        LineCase{"0.5 T 0.2", {"0.5", "999.", "0.2"}}, LineCase{"TRAN", {"TRAN"}}, LineCase{"F,", {"0."}},
        LineCase{"X T", {"X", "999."}}, LineCase{"3(1,2)", {"1.", "2.", "1.", "2.", "1.", "2."}},
        LineCase{"12(0.5)", {"10.5", "0.5"}}, LineCase{"3 STOREY BLOCK", {"3.", "STOREY BLOCK"}},
        LineCase{"1.5E-3", {"              1.5E-3"}}, LineCase{"1.5-3", {"1.5-3"}},
        LineCase{"1.0 2.0, 3.0", {"1.0", "2.0", "3.0"}}, LineCase{"GRAVITY=32.2 $ g", {"GRAVITY", "32.2"}},
        LineCase{"H Q P S V", {"-999.", "-997.", "998.", "-998.", "-996."}},
        LineCase{"12/5", {"12/5"}}, LineCase{"5 -3", {"5.", "-3."}},
        // Choices of this pre-processor: a minus before a code letter negates
        // its code; a group without ")" runs to the end of the line; a count
        // of 0 gives nothing.
        LineCase{"0.5 -T 0.2", {"0.5", "-999.", "0.2"}}, LineCase{"-F", {"0."}},
        LineCase{"3(1,2", {"1.", "2.", "1.", "2.", "1.", "2."}}, LineCase{"7 0(5) 8", {"7.", "8."}},
        LineCase{"7,0(5),8", {"7.", "8."}}));

TEST_F(PreproTest, WorkedExample) {
  bool overflow = true;
  EXPECT_EQ(PrepassPieces("CONSTANTS  2(0.5) 1E+04 $ side", overflow),
            (std::vector<std::string>{"CONSTANTS ", "0.5", "0.5 1E+04"}));
  EXPECT_FALSE(overflow);
  EXPECT_EQ(Clean({"GRAVITY=32.2", "CONSTANTS  2(0.5) 1E+04 $ side"}),
            (std::vector<std::string>{"GRAVITY", "32.2", "CONSTANTS ", "0.5", "0.5", "               1E+04"}));
  // The scratch copy is left holding one blank record.
  EXPECT_EQ(Records(8), (std::vector<std::string>{" "}));
}

TEST_F(PreproTest, ColumnsAfter80AreIgnored) {
  std::string line(79, ' ');
  line += "7";
  line += "123 IGNORED";
  EXPECT_EQ(Clean({line}), (std::vector<std::string>{"7."}));
}

TEST_F(PreproTest, RepeatOverflowTruncatesAndReports) {
  std::string line = "9(1234567890,) 9(1234567890,) 9(1234567890,) 9(1234567890,) 9(1234567890,)";
  std::vector<std::string> items = Clean({line, "RUN"});
  ASSERT_EQ(items.size(), 43u);
  EXPECT_EQ(items[0], "1234567890.");
  EXPECT_EQ(items[41], "12345678.");
  EXPECT_EQ(items[42], "RUN");
  std::string col80 = line + std::string(80 - line.size(), ' ');
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", "",
                                                "***   INPUT DATA RECORD TOO LONG DUE TO REPEAT    FEATURE   ***", "",
                                                " ***   DATA TRUNCATED ON THE FOLLOWING LINE    ***", "", " " + col80}));
}

TEST_F(PreproTest, OldScratchFilesAreNotRead) {
  engine_harness::WriteText(dir_ / "TAPE7", "STALE\n");
  engine_harness::WriteText(dir_ / "TAPE8", "STALE\n");
  EXPECT_TRUE(Clean({}).empty());
}

}  // namespace
