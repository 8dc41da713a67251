// The engine's report does not depend on how many threads compute it: the
// frequency workers (VORTN_THREADS) give the same bytes whatever their
// number, and LAPACK's own threads (OPENBLAS_NUM_THREADS) change no printed
// digit by more than one unit.
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
#include <utility>
#include <vector>

#include "engine_harness.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Fixed-head piles at (x, y) in two layers with interaction, harmonic load
// over `frequencies` (WMAX WMIN WSTEP), stiffness printed.
std::string GroupDeck(const std::vector<std::pair<double, double>>& piles, const char* frequencies) {
  std::ostringstream d;
  d << "TITLE=INTERACTING PILES\nMATRIX\nGRAVITY=32.2\nFOUNDATION=PILE\nRECTANGULAR=33,21\n"
       "MASS\n50000 7.0E+06 1.0E+07 1.7E+07 0 0 0\nLAYERS=2\nFIXED="
    << piles.size() << '\n';
  for (std::size_t p = 0; p < piles.size(); ++p)
    d << p + 1 << ' ' << piles[p].first << ' ' << piles[p].second << '\n';
  d << "CONSTANTS\n0 0 4 40 150\n0 0.25 0.02 1.2 4.32E+08\nELEMENT\n"
       "1 15 0.25 0.25 0.196 0.00307 0.00307 0.00614\n2 25 0.25 0.25 0.196 0.00307 0.00307 0.00614\n"
       "FLOATING\nINTERACTION\nSOIL\nCONSTANTS\n1 350 110 0.35 0.05\n2 550 118 0.3 0.04\n"
       "BELOW=800 125 0.3 0.04\nLOAD\nHARMONIC\nCONSTANTS\nNONQUADRATIC\n"
    << frequencies << "\n20000 0 50000\n0 100000 0\n0 0 0 0\nRUN\n";
  return d.str();
}

// 60 piles, 10 x 6 at 3 ft.
std::vector<std::pair<double, double>> SixtyPiles() {
  std::vector<std::pair<double, double>> piles;
  for (int p = 0; p < 60; ++p) piles.emplace_back(3 * (p % 10) - 13.5, 3 * (p / 10) - 7.5);
  return piles;
}

// The 60 piles at 20, 50 and 80 rad/s.
std::string GroupDeck() { return GroupDeck(SixtyPiles(), "80 20 30"); }

// Runs the command-line runner on `deck` into `out` with `variable` set to
// `value` in its environment; its exit status.
int RunWith(const fs::path& deck, const fs::path& out, const std::string& variable, unsigned value) {
  const std::string runner = (fs::path(VRT3_LIBRARY).parent_path() / "vortn-run").string();
  const std::string prefix = variable + "=";
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, prefix.c_str(), prefix.size()) != 0) env.emplace_back(*e);
  env.push_back(prefix + std::to_string(value));
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

int RunWithThreads(const fs::path& deck, const fs::path& out, unsigned threads) {
  return RunWith(deck, out, "OPENBLAS_NUM_THREADS", threads);
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

// The report and the plot-data file of one run with `workers` frequency
// workers, always written to the same folder name (the report names it).
struct Outputs {
  int status = -1;
  std::string report, plot;
};

Outputs RunWithWorkers(const fs::path& dir, const fs::path& deck, unsigned workers) {
  Outputs o;
  const fs::path out = dir / "out";
  fs::remove_all(out);
  o.status = RunWith(deck, out, "VORTN_THREADS", workers);
  o.report = engine_harness::ReadText(out / "group.vto");
  o.plot = engine_harness::ReadText(out / "group.vtp");
  return o;
}

// The report without the banner's clock, which moves between runs.
std::string WithoutClock(const std::string& report) {
  std::string out;
  for (const std::string& line : engine_harness::Lines(report))
    if (line.find("TIME     -") == std::string::npos) out += line + "\n";
  return out;
}

std::size_t CountOf(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

struct WorkerCase {
  const char* name;
  std::string deck;
  std::size_t singularPoints;  // frequencies without an impedance, per pass
};

// One worker computes the points in order; several take them as they come.
// Either way each point runs the same single-threaded code, and the report
// and plot data are written in frequency order by the calling thread, so
// they are the same bytes.  Two piles at one place have a singular group
// flexibility matrix below 10 rad/s (static factors of 1): those points
// are reported as such, wherever they fall among the workers.
TEST(PileGroupThreads, EveryWorkerCountGivesTheSameReportAndPlotData) {
  const WorkerCase cases[] = {
      {"sixty piles, 8 frequencies", GroupDeck(SixtyPiles(), "80 10 10"), 0},
      {"singular group, 8 frequencies", GroupDeck({{0.0, 0.0}, {0.0, 0.0}}, "16 2 2"), 4},
  };
  const unsigned all = std::max(2u, std::thread::hardware_concurrency());
  for (const WorkerCase& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = engine_harness::MakeTempDir();
    ASSERT_FALSE(dir.empty());
    engine_harness::WriteText(dir / "group.vtd", c.deck);
    const Outputs one = RunWithWorkers(dir, dir / "group.vtd", 1);
    ASSERT_EQ(one.status, 0);
    ASSERT_FALSE(one.plot.empty());
    EXPECT_EQ(CountOf(one.report, "(KXX)"), 2 * (8 - c.singularPoints)) << one.report;
    EXPECT_EQ(CountOf(one.report, "FLEXIBILITY MATRIX IS SINGULAR"), 2 * c.singularPoints) << one.report;
    for (unsigned workers : {3u, all}) {
      const Outputs many = RunWithWorkers(dir, dir / "group.vtd", workers);
      ASSERT_EQ(many.status, 0) << workers;
      EXPECT_EQ(WithoutClock(many.report), WithoutClock(one.report)) << workers << " workers";
      EXPECT_EQ(many.plot, one.plot) << workers << " workers";
    }
  }
}

}  // namespace
