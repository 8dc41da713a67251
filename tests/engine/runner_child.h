// Runs the command-line runner (vortn-run, beside the engine library) on a
// deck in a child process set up as a user's machine may be: variables
// set or removed, an address-space limit.  A child that
// has not ended after `patience` seconds is taken to hang and is killed
// (the bound only decides what a hang is; a run that works ends long
// before it).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine_harness.h"

extern char** environ;

namespace runner_child {

struct ChildSetup {
  std::vector<std::pair<std::string, std::string>> set;  // name, value
  std::vector<std::string> unset;
  unsigned long long addressSpace = 0;  // RLIMIT_AS in bytes; 0: none
  int patience = 300;                   // seconds
};

struct Outcome {
  bool hung = false;
  bool exited = false;  // by exit(), not by a signal
  int status = -1;      // exit status, or the signal
  std::string output;   // standard output and error
  std::string report, plot;
  std::string Describe() const {
    return (hung ? std::string("hung") : exited ? "exit " + std::to_string(status) : "signal " + std::to_string(status)) +
           "\n" + output;
  }
  bool Completed() const { return exited && output.find("result 0 ") != std::string::npos; }
  bool Fatal() const { return exited && output.find("result 3 ") != std::string::npos; }
};

inline std::filesystem::path Runner() {
  return std::filesystem::path(VRT3_LIBRARY).parent_path() / "vortn-run";
}

// Runs the runner on `deck` (DIR/NAME.vtd) into `out` (made afresh); the
// report and plot data are read back from out/NAME.vto and .vtp.
inline Outcome Run(const std::filesystem::path& deck, const std::filesystem::path& out, const ChildSetup& setup) {
  namespace fs = std::filesystem;
  fs::remove_all(out);
  const fs::path log = out.string() + ".log";
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool drop = false;
    for (const std::string& u : setup.unset) drop = drop || name == u;
    for (const auto& s : setup.set) drop = drop || name == s.first;
    if (!drop) env.push_back(entry);
  }
  for (const auto& s : setup.set) env.push_back(s.first + "=" + s.second);
  std::vector<char*> envp;
  for (std::string& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string a0 = Runner().string(), a1 = deck.string(), a2 = out.string();
  char* argv[] = {a0.data(), a1.data(), a2.data(), nullptr};
  const std::string logName = log.string();

  const pid_t pid = fork();
  if (pid == 0) {  // only async-signal-safe calls until exec
    const int fd = open(logName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
    }
    if (setup.addressSpace != 0) {
      const rlimit limit{setup.addressSpace, setup.addressSpace};
      setrlimit(RLIMIT_AS, &limit);
    }
    execve(argv[0], argv, envp.data());
    _exit(127);
  }
  Outcome o;
  if (pid < 0) return o;
  int status = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(setup.patience);
  for (;;) {
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    if (std::chrono::steady_clock::now() > until) {
      o.hung = true;
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  o.exited = !o.hung && WIFEXITED(status);
  o.status = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? WTERMSIG(status) : -1;
  o.output = engine_harness::ReadText(log);
  const std::string stem = deck.stem().string();
  o.report = engine_harness::ReadText(out / (stem + ".vto"));
  o.plot = engine_harness::ReadText(out / (stem + ".vtp"));
  return o;
}

// The report without the banner's clock, which moves between runs.
inline std::string WithoutClock(const std::string& report) {
  std::string out;
  for (const std::string& line : engine_harness::Lines(report))
    if (line.find("TIME     -") == std::string::npos) out += line + "\n";
  return out;
}

// A pile group of `piles` fixed-head piles (rows of 10 at 3 ft) in two
// layers with interaction, harmonic load at `frequencies` (WMAX WMIN
// WSTEP), stiffness printed: each frequency solves three group matrices.
inline std::string PileGroupDeck(int piles, const char* frequencies) {
  std::string d =
      "TITLE=INTERACTING PILES\nMATRIX\nGRAVITY=32.2\nFOUNDATION=PILE\nRECTANGULAR=33,21\n"
      "MASS\n50000 7.0E+06 1.0E+07 1.7E+07 0 0 0\nLAYERS=2\nFIXED=" +
      std::to_string(piles) + "\n";
  for (int p = 0; p < piles; ++p)
    d += std::to_string(p + 1) + " " + std::to_string(3 * (p % 10) - 13.5) + " " + std::to_string(3 * (p / 10) - 7.5) + "\n";
  d += "CONSTANTS\n0 0 4 40 150\n0 0.25 0.02 1.2 4.32E+08\nELEMENT\n"
       "1 15 0.25 0.25 0.196 0.00307 0.00307 0.00614\n2 25 0.25 0.25 0.196 0.00307 0.00307 0.00614\n"
       "FLOATING\nINTERACTION\nSOIL\nCONSTANTS\n1 350 110 0.35 0.05\n2 550 118 0.3 0.04\n"
       "BELOW=800 125 0.3 0.04\nLOAD\nHARMONIC\nCONSTANTS\nNONQUADRATIC\n";
  d += std::string(frequencies) + "\n20000 0 50000\n0 100000 0\n0 0 0 0\nRUN\n";
  return d;
}

}  // namespace runner_child
