// Malformed decks: whatever the text, a run ends with one of its result
// codes and a report, never a crash (the sanitizer build watches memory).
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "engine_harness.h"
#include "entry.h"
#include "run_state.h"

namespace {

namespace fs = std::filesystem;

// Decks built from keywords, numbers, code letters, repeat groups and junk;
// no LOAD block, so every run ends in the input stage.
std::string RandomDeck(std::mt19937& rng) {
  static const char* kTokens[] = {
      "FOUNDATION=", "HALF-SPACE", "PILE", "STRATUM", "MULTILAYER", "CIRCULAR=", "RECTANGULAR=", "MASS",
      "CONSTANTS", "ELEMENT", "LAYERS=", "PARABOLIC", "FIXED", "PINNED", "BATTERED", "INTERACTION",
      "END-BEARING", "FLOATING", "SOIL", "BELOW=", "EMBEDDED", "SIDE-CAP", "WEAK", "GRAVITY=", "TITLE=",
      "MATRIX", "NOECHO", "ECHO", "WIDE", "XZ", "YZ", "1", "2", "0", "-1", "31", "501", "1E+04", "1.5-3",
      "9.81", "32.2", "0.5", "-0.0", "1E40", "1E-40", "T", "H", "F", "Q", "P", "S", "V", "-T", "*", ",",
      "=", "9(", "3(1,2)", "0(5)", ")", "(", "$", "2(0.5", "12(0.5)", "ABCD", "\t", "\xff\xfe", "/",
      "99999999999999999999", ".", "+", "E", "RUN", "STOP", "   "};
  const std::size_t n = sizeof kTokens / sizeof kTokens[0];
  std::uniform_int_distribution<std::size_t> pick(0, n - 1);
  std::uniform_int_distribution<int> count(0, 60), sep(0, 4);
  std::string deck;
  int items = count(rng);
  for (int k = 0; k < items; ++k) {
    std::string t = kTokens[pick(rng)];
    if (t == "RUN" || t == "STOP") {
      if (sep(rng) != 0) continue;  // mostly run to the end of the deck
    }
    deck += t;
    int s = sep(rng);
    deck += s == 0 ? "\n" : s == 1 ? "," : " ";
  }
  // Now and then one very long line.
  if (sep(rng) == 0) deck += std::string(300, '7') + " 9(123456789,)9(123456789,)9(123456789,)\n";
  return deck;
}

TEST(MalformedDecks, EveryRunEndsWithAResultCode) {
  fs::path dir = engine_harness::MakeTempDir();
  ASSERT_FALSE(dir.empty());
  fs::path old = fs::current_path();
  fs::current_path(dir);
  engine_harness::WriteText("names.dat", "3.0.12\njob.vtd\njob.vto\njob.vtp\njob.vtr\njob.vtt\njob.vtm\n");
  std::mt19937 rng(20261210u);
  for (int k = 0; k < 300; ++k) {
    std::string deck = RandomDeck(rng);
    engine_harness::WriteText("job.vtd", deck);
    auto R = std::make_unique<::Run>();
    int code = RunEngine(*R, 12);
    R.reset();
    EXPECT_TRUE(code == 2 || code == 3) << "deck " << k << ":\n" << deck;
    std::string report = engine_harness::ReadText("job.vto");
    EXPECT_FALSE(report.empty()) << deck;
    EXPECT_EQ(report.find("nan"), std::string::npos) << deck;
    EXPECT_EQ(report.find("inf"), std::string::npos) << deck;
  }
  fs::current_path(old);
  fs::remove_all(dir);
}

}  // namespace
