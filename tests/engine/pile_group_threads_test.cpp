// The engine's report does not depend on how many threads LAPACK uses: a
// 60-pile interacting group run with OPENBLAS_NUM_THREADS=1 and with every
// core agrees to within one unit of the last printed digit.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine_harness.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// 60 fixed-head piles (10 x 6 at 3 ft) in two layers with interaction,
// harmonic load at 20, 50 and 80 rad/s, stiffness printed.
std::string GroupDeck() {
  std::ostringstream d;
  d << "TITLE=SIXTY INTERACTING PILES\nMATRIX\nGRAVITY=32.2\nFOUNDATION=PILE\nRECTANGULAR=33,21\n"
       "MASS\n50000 7.0E+06 1.0E+07 1.7E+07 0 0 0\nLAYERS=2\nFIXED=60\n";
  for (int p = 0; p < 60; ++p) d << p + 1 << ' ' << 3 * (p % 10) - 13.5 << ' ' << 3 * (p / 10) - 7.5 << '\n';
  d << "CONSTANTS\n0 0 4 40 150\n0 0.25 0.02 1.2 4.32E+08\nELEMENT\n"
       "1 15 0.25 0.25 0.196 0.00307 0.00307 0.00614\n2 25 0.25 0.25 0.196 0.00307 0.00307 0.00614\n"
       "FLOATING\nINTERACTION\nSOIL\nCONSTANTS\n1 350 110 0.35 0.05\n2 550 118 0.3 0.04\n"
       "BELOW=800 125 0.3 0.04\nLOAD\nHARMONIC\nCONSTANTS\nNONQUADRATIC\n80 20 30\n"
       "20000 0 50000\n0 100000 0\n0 0 0 0\nRUN\n";
  return d.str();
}

// Runs the command-line runner on `deck` into `out` with the given thread
// count in its environment; its exit status.
int RunWithThreads(const fs::path& deck, const fs::path& out, unsigned threads) {
  const std::string runner = (fs::path(VRT3_LIBRARY).parent_path() / "vortn-run").string();
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "OPENBLAS_NUM_THREADS=", 21) != 0) env.emplace_back(*e);
  env.push_back("OPENBLAS_NUM_THREADS=" + std::to_string(threads));
  std::vector<char*> envp;
  for (std::string& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string a0 = runner, a1 = deck.string(), a2 = out.string();
  char* argv[] = {a0.data(), a1.data(), a2.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, runner.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One unit of the last digit a number was printed with ("2.63671E+07":
// 1E+02; "4.500": 1E-03); 0 for a word that is not a number.
double LastDigitUnit(const std::string& w) {
  char* end = nullptr;
  std::strtod(w.c_str(), &end);
  if (end == w.c_str() || *end != '\0') return 0.0;
  const std::size_t e = w.find_first_of("Ee");
  const std::string mantissa = w.substr(0, e);
  const std::size_t dot = mantissa.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
  const int exponent = e == std::string::npos ? 0 : std::atoi(w.c_str() + e + 1);
  return std::pow(10.0, exponent - decimals);
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream s(line);
  std::vector<std::string> out;
  std::string w;
  while (s >> w) out.push_back(w);
  return out;
}

TEST(PileGroupThreads, OneThreadAndAllCoresGiveTheSameReport) {
  const fs::path dir = engine_harness::MakeTempDir();
  ASSERT_FALSE(dir.empty());
  engine_harness::WriteText(dir / "group.vtd", GroupDeck());
  const unsigned all = std::max(1u, std::thread::hardware_concurrency());
  ASSERT_EQ(RunWithThreads(dir / "group.vtd", dir / "one", 1), 0);
  ASSERT_EQ(RunWithThreads(dir / "group.vtd", dir / "all", all), 0);
  const auto one = engine_harness::Lines(engine_harness::ReadText(dir / "one" / "group.vto"));
  const auto many = engine_harness::Lines(engine_harness::ReadText(dir / "all" / "group.vto"));
  ASSERT_EQ(one.size(), many.size());
  int stiffnessLines = 0;
  for (std::size_t k = 0; k < one.size(); ++k) {
    // The banner's clock and the folder names may differ between the runs.
    if (one[k].find("TIME     -") != std::string::npos || one[k].find("Path to file") != std::string::npos)
      continue;
    if (one[k].find("(KXX)") != std::string::npos) ++stiffnessLines;
    const auto a = Words(one[k]), b = Words(many[k]);
    ASSERT_EQ(a.size(), b.size()) << "line " << k + 1 << ":\n" << one[k] << "\n" << many[k];
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i] == b[i]) continue;
      const double unit = LastDigitUnit(a[i]);
      ASSERT_GT(unit, 0.0) << "line " << k + 1 << ": " << a[i] << " / " << b[i];
      EXPECT_LE(std::fabs(std::strtod(a[i].c_str(), nullptr) - std::strtod(b[i].c_str(), nullptr)),
                unit * (1.0 + 1e-9))
          << "line " << k + 1 << ": " << a[i] << " / " << b[i];
    }
  }
  EXPECT_GE(stiffnessLines, 3);  // the group was solved at every frequency
  fs::remove_all(dir);
}

}  // namespace
