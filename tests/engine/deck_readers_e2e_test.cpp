// Complete decks of every foundation and load type through the engine
// library: each passes the completeness check, and its echo reads as the
// readers write it.
#include <cctype>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine_harness.h"

namespace {

using engine_harness::EngineRun;
using engine_harness::Lines;
using engine_harness::ReadText;

std::string DeckText(const std::string& name) {
  return ReadText(std::filesystem::path(VORTN_TEST_DECKS) / name);
}

// Runs `deck` with the mass data file `vtm` (none when empty).
EngineRun RunWithMass(const std::string& deck, const std::string& vtm) {
  EngineRun r;
  r.dir = engine_harness::MakeTempDir();
  if (r.dir.empty()) return r;
  engine_harness::WriteText(r.dir / "names.dat", engine_harness::NamesDat(r.dir));
  engine_harness::WriteText(r.dir / "job.vtd", deck);
  if (!vtm.empty()) engine_harness::WriteText(r.dir / "job.vtm", vtm);
  r.code = engine_harness::CallEngine(r.dir);
  r.report = ReadText(r.dir / "job.vto");
  r.plot = ReadText(r.dir / "job.vtp");
  return r;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& l) {
  return std::find(lines.begin(), lines.end(), l) != lines.end();
}

struct DeckCase {
  const char* file;
  std::vector<std::string> echo;  // lines that the echo must hold
};

void PrintTo(const DeckCase& c, std::ostream* os) { *os << c.file; }

class CompleteDeck : public ::testing::TestWithParam<DeckCase> {};

TEST_P(CompleteDeck, PassesTheCompletenessCheck) {
  const DeckCase& c = GetParam();
  const std::string deck = DeckText(c.file);
  ASSERT_FALSE(deck.empty()) << c.file;
  EngineRun r = RunWithMass(deck, DeckText("readers_components.vtm"));
  EXPECT_EQ(r.code, 0) << r.report;
  const std::vector<std::string> lines = Lines(r.report);
  for (const std::string& l : c.echo) EXPECT_TRUE(HasLine(lines, l)) << c.file << ": [" << l << "]";
  for (const char* bad : {"PROGRAM WILL NOT EXECUTE", "UNRECOGNIZED", "SUBKEYWORD MUST", "INPUT ERROR",
                          "CANNOT EXECUTE", "INSUFFICIENT INPUT", "FATAL ERROR"})
    EXPECT_EQ(r.report.find(bad), std::string::npos) << c.file << ": " << bad;
  std::filesystem::remove_all(r.dir);
}

const DeckCase kDecks[] = {
    {"readers_halfspace.vtd",
     {" FOUNDATION TYPE - HALF-SPACE", " ***************", " CIRCULAR FOUNDATION  -  RADIUS =    5.000 ft",
      " HALF-SPACE FOUNDATION", " X-LOCATION CENTRE OF GRAV  .....     0.00000 ft", " MASS CONSTANTS",
      " TOTAL MASS OF FOOTING  ......... 1.00000E+02 slug", " HALF-SPACE SOIL",
      "  5.00E+02    110.0000   0.330     0.050", " HARMONIC LOAD, NON QUADRATIC",
      " MAXIMUM FREQUENCY .............. 1.000E+01 Hz", " FORCE IN X-DIRECTION  .......... 1.000E+03 lb ",
      " MOMENT ABOUT Y-AXIS  ........... 0.000E+00 lb-ft", " MASS COMPONENTS  NUMBER OF DEFINED MASSES -  2",
      "   1      10.000     0.000     0.000     0.500     2.000     2.000     1.000"}},
    {"readers_halfspace_side.vtd",
     {" RECTANGULAR FOUNDATION  -     4.000 m   BY    3.000 m ", " SOIL CONSTANTS  NUMBER OF SIDE LAYERS -   2",
      "   1     1.000   150.000     18.000    0.300     0.050", " NONLINEARITY OF SOIL (WEAKENED ZONE)",
      "   2       0.500", " HARMONIC LOAD, QUADRATIC", " FORCE COEFF. IN X-DIRECTION  ... 5.000E-01 Mg-m   "}},
    {"readers_stratum.vtd",
     {" FOUNDATION TYPE - STRATUM", " STRATUM PROPERTIES", " DEPTH OF EMBEDMENT  ............     1.00000 ft",
      " DEPTH OF LAYER  ................    10.00000 ft", " SOIL CONSTANTS",
      " SHEAR WAVE VELOCITY  ...........   500.00000 ft/s", " TRANSIENT LOAD",
      " NUMBER OF POINTS  ..............     8", " LOAD TYPE CODE - 1 (FORCE IN X-DIRECTION)",
      " LOAD TYPE CODE - 3 (FORCE IN Z-DIRECTION)", "    3.000E+03"}},
    {"readers_pile_layered.vtd",
     {" FOUNDATION TYPE - PILE", " NUMBER OF LAYERS OR ELEMENTS -   2", " LOCATION OF PILES",
      "   4        2.000       2.000", " PILE PROPERTIES", " YOUNGS MODULUS  ...............  4.32000E+08 psf",
      " ELEMENT", " BATTERED PILES", " PILE NO.  2 BATTERED IN XZ PLANE",
      " ANGLE BETWEEN PILE AND VERTICAL =  -10.00 deg.", " SOIL BELOW PILE", " EMBEDDED OPTION",
      " SIDE-CAP (WEAKENING) OF SIDE LAYERS", " RANDOM LOAD", " LOCATION OF SPECTRA  -    3    3"}},
    {"readers_pile_parabolic.vtd",
     {" SOIL MEDIA IS PARABOLIC", " PILES ARE PINNED AT BUTT", " PILE TIP CONDITION : END-BEARING",
      " RADIUS OF PILE (X)  ............     0.50000", " SOIL CONSTANTS"}},
    {"readers_multilayer.vtd",
     {" FOUNDATION TYPE - MULTILAYER", " NUMBER OF LAYERS OR ELEMENTS -   3", " FOUNDATION PROPERTIES",
      " SOIL CONSTANTS      NUMBER OF ADJACENT LAYERS -    1", " SOIL PROPERTIES BELOW FOUNDATION",
      "   3     450.000    115.000   0.300     0.050        1.000          1.000",
      " SOIL BELOW MULTILAYER SYSTEM"}},
};

// Each case is named after its deck file, so test names stay the same from
// run to run.
std::string DeckCaseName(const ::testing::TestParamInfo<DeckCase>& info) {
  std::string name;
  for (const char* p = info.param.file; *p; ++p)
    name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Decks, CompleteDeck, ::testing::ValuesIn(kDecks), DeckCaseName);

// Malformed decks made from the valid ones by cutting, duplicating and
// corrupting items: the run always ends with 0, 2 or 3.
TEST(MalformedDecks, NeverCrash) {
  const char* files[] = {"readers_halfspace.vtd", "readers_halfspace_side.vtd", "readers_stratum.vtd",
                         "readers_pile_layered.vtd", "readers_pile_parabolic.vtd", "readers_multilayer.vtd"};
  std::mt19937 g(20261210u);
  const char* junk[] = {"XYZ", "-1", "0", "1E+30", "-1E+30", "31", "501", "1025", "7", "SOIL", "LOAD",
                        "CONSTANTS", "BATTERED", "0.5", "1.0E-40", "EMBEDDED", "SIDE-CAP", "QUAD", "$", "3(1,2)", "*"};
  for (int round = 0; round < 40; ++round) {
    for (const char* f : files) {
      std::vector<std::string> items;
      for (const std::string& line : Lines(DeckText(f))) {
        std::string cur;
        for (char ch : line + " ") {
          if (ch == ' ') {
            if (!cur.empty()) items.push_back(cur);
            cur.clear();
          } else {
            cur.push_back(ch);
          }
        }
      }
      const int edits = 1 + static_cast<int>(g() % 4);
      for (int e = 0; e < edits && !items.empty(); ++e) {
        const std::size_t at = g() % items.size();
        switch (g() % 4) {
          case 0: items.erase(items.begin() + static_cast<long>(at)); break;
          case 1: items.insert(items.begin() + static_cast<long>(at), items[at]); break;
          case 2: items[at] = junk[g() % (sizeof junk / sizeof junk[0])]; break;
          default: items.resize(at); break;
        }
      }
      std::string deck;
      for (const std::string& it : items) deck += it + "\n";
      EngineRun r = RunWithMass(deck, "");
      EXPECT_TRUE(r.code == 0 || r.code == 2 || r.code == 3) << r.code << "\n" << deck;
      std::filesystem::remove_all(r.dir);
    }
  }
}

}  // namespace
