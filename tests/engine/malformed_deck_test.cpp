// Malformed decks through the engine library, one regression deck per fault
// found: each run ends with its expected result code, reports the fault in
// the report, and prints no NaN or infinity in the report or the plot data.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "engine_harness.h"

namespace {

using engine_harness::EngineRun;

struct MalformedCase {
  const char* file;                  // in tests/decks
  int code;                          // IVORTN's result
  std::vector<const char*> report;   // texts the report must hold
  std::vector<const char*> absent;   // texts it must not hold
};

void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.file; }

// A NaN or an infinity as a number prints "nan", "inf" or "infinity" in
// some letter case, standing alone.
bool HasNonFinite(const std::string& text) {
  static const std::regex kNonFinite("(^|[^A-Za-z])[-+]?([Nn][Aa][Nn]|[Ii][Nn][Ff])([^A-Za-z]|$)");
  return std::regex_search(text, kNonFinite);
}

class MalformedDeck : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedDeck, EndsCleanlyWithItsMessage) {
  const MalformedCase& c = GetParam();
  const std::string deck = engine_harness::ReadText(std::filesystem::path(VORTN_TEST_DECKS) / c.file);
  ASSERT_FALSE(deck.empty()) << c.file;
  EngineRun r = engine_harness::RunDeck(deck);
  EXPECT_EQ(r.code, c.code) << r.report;
  for (const char* t : c.report) EXPECT_NE(r.report.find(t), std::string::npos) << c.file << ": " << t;
  for (const char* t : c.absent) EXPECT_EQ(r.report.find(t), std::string::npos) << c.file << ": " << t;
  // The run folder's name is random and is printed with the file names.
  std::string report = r.report;
  const std::string dir = r.dir.string();
  for (std::size_t at; !dir.empty() && (at = report.find(dir)) != std::string::npos;) report.erase(at, dir.size());
  EXPECT_FALSE(HasNonFinite(report)) << r.report;
  EXPECT_FALSE(HasNonFinite(r.plot)) << r.plot;
  std::filesystem::remove_all(r.dir);
}

const MalformedCase kCases[] = {
    // Force and offset so large that the moment about X overflows: a load
    // error, not a run whose every point has no solution.
    {"malformed_moment_overflow.vtd", 3, {" ERROR ENCOUNTERED IN LOAD DESCRIPTION"}, {"NO SOLUTION"}},
    // A direct spectrum with a negative value: the vertical response density
    // has a negative moment, so its peak factor and maximum are not defined
    // (the report says so instead of printing 0); the other degrees of
    // freedom are unaffected.
    {"malformed_random_negative_spectrum.vtd",
     0,
     {"                  3            NOT DEFINED: NEGATIVE OR UNBOUNDED SPECTRAL MOMENTS",
      "                  1             0.0             0.0000E+00"},
     {}},
    // A minimum frequency near the largest real, stepping down to the
    // maximum: the first point of the loop overflows.  The run stops with a
    // message rather than solving at infinite frequencies, as a fatal input
    // error.
    {"malformed_frequency_overflow.vtd",
     3,
     {" *** FREQUENCIES FROM  3.400E+38 BY -1.360E+37 EXCEED THE RANGE OF REAL NUMBERS ***",
      " ***PROGRAM WILL NOT EXECUTE***"},
     {"NO SOLUTION", "RESPONSE SPECTRA"}},
};

std::string CaseName(const ::testing::TestParamInfo<MalformedCase>& info) {
  std::string name;
  for (const char* p = info.param.file; *p && *p != '.'; ++p)
    name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Decks, MalformedDeck, ::testing::ValuesIn(kCases), CaseName);

// The rows of the random statistics table (degree of freedom, peak factor,
// maximum displacement).
std::vector<std::string> StatisticsRows(const std::string& report) {
  std::vector<std::string> rows;
  const std::vector<std::string> lines = engine_harness::Lines(report);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find("PEAK FACTOR (G)") == std::string::npos) continue;
    for (std::size_t j = i + 3; j < lines.size() && j < i + 9; ++j) rows.push_back(lines[j]);
    break;
  }
  return rows;
}

// A random load whose maximum frequency lies below its minimum steps
// downwards over the same points: the spectral moments, and so the expected
// maxima, are those of the ascending range (an odd count of points, where
// Simpson's weights are symmetric), not 0.
TEST(MalformedDeckRandom, DescendingRangeGivesTheStatisticsOfTheAscendingOne) {
  const std::string down =
      engine_harness::ReadText(std::filesystem::path(VORTN_TEST_DECKS) / "malformed_random_descending.vtd");
  const std::size_t at = down.find("10 60 21 600 1");
  ASSERT_NE(at, std::string::npos);
  std::string up = down;
  up.replace(at, 5, "60 10");
  EngineRun a = engine_harness::RunDeck(down);
  EngineRun b = engine_harness::RunDeck(up);
  EXPECT_EQ(a.code, 0) << a.report;
  EXPECT_EQ(b.code, 0) << b.report;
  const std::vector<std::string> rows = StatisticsRows(a.report);
  ASSERT_EQ(rows.size(), 6u) << a.report;
  EXPECT_EQ(rows, StatisticsRows(b.report));
  EXPECT_EQ(rows[0].find("0.0000E+00"), std::string::npos) << rows[0];
  std::filesystem::remove_all(a.dir);
  std::filesystem::remove_all(b.dir);
}

}  // namespace
