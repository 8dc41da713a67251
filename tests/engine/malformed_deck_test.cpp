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
  EXPECT_FALSE(HasNonFinite(r.report)) << r.report;
  EXPECT_FALSE(HasNonFinite(r.plot)) << r.plot;
  std::filesystem::remove_all(r.dir);
}

const MalformedCase kCases[] = {
    // Force and offset so large that the moment about X overflows: a load
    // error, not a run whose every point has no solution.
    {"malformed_moment_overflow.vtd", 3, {" ERROR ENCOUNTERED IN LOAD DESCRIPTION"}, {"NO SOLUTION"}},
};

std::string CaseName(const ::testing::TestParamInfo<MalformedCase>& info) {
  std::string name;
  for (const char* p = info.param.file; *p && *p != '.'; ++p)
    name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Decks, MalformedDeck, ::testing::ValuesIn(kCases), CaseName);

}  // namespace
