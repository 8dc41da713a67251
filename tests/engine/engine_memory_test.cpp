// A run that cannot have the memory it needs ends with a report message
// and result 3, its files closed, or completes with fewer workers and the
// same report; it never aborts and never waits for memory for ever.  Tried
// for real: one allocation made to fail by a preloaded library, and the
// runner under an address-space limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine_harness.h"
#include "runner_child.h"
#include "usable_cpus.h"

extern "C" int openblas_get_parallel(void);

namespace {

namespace fs = std::filesystem;
using runner_child::Outcome;
using runner_child::ChildSetup;

const char* const kNoMemory[] = {" *** NOT ENOUGH MEMORY TO COMPLETE THE RUN ***", "*** EXECUTION TERMINATED ***"};

// The report's last two lines are the message.
bool EndsWithTheMessage(const std::string& report) {
  const auto lines = engine_harness::Lines(report);
  return lines.size() >= 2 && lines[lines.size() - 2] == kNoMemory[0] && lines.back() == kNoMemory[1];
}

class EngineMemory : public ::testing::Test {
 protected:
  void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer maps terabytes of shadow memory and must be the first
    // library of the runner: neither a limit nor a preloaded allocator
    // means here what it means to a user's run.  The normal build runs them.
    GTEST_SKIP() << "not under AddressSanitizer";
#endif
    dir_ = engine_harness::MakeTempDir();
    ASSERT_FALSE(dir_.empty());
    deck_ = dir_ / "group.vtd";
    // 60 piles at 8 frequencies: 24 group matrices of order 120.
    engine_harness::WriteText(deck_, runner_child::PileGroupDeck(60, "80 10 10"));
    ChildSetup one;
    one.set = {{"VORTN_THREADS", "1"}};
    reference_ = runner_child::Run(deck_, dir_ / "one", one);
    ASSERT_TRUE(reference_.Completed()) << reference_.Describe();
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // Either the run went through with the same report and plot data as one
  // worker's, or it ended with result 3 and the message (when its report
  // was open by then) and no plot-data file.
  void ExpectCompletedOrEndedWithTheMessage(const Outcome& o, const std::string& what) {
    ASSERT_FALSE(o.hung) << what;
    ASSERT_TRUE(o.exited) << what << ": " << o.Describe();
    EXPECT_EQ(o.output.find("terminate called"), std::string::npos) << what << ": " << o.output;
    if (o.Completed()) {
      EXPECT_EQ(runner_child::WithoutClock(o.report), runner_child::WithoutClock(reference_.report)) << what;
      EXPECT_EQ(o.plot, reference_.plot) << what;
    } else {
      ASSERT_TRUE(o.Fatal()) << what << ": " << o.Describe();
      if (!o.report.empty()) {
        EXPECT_TRUE(EndsWithTheMessage(o.report)) << what << ":\n" << o.report;
      }
      if (EndsWithTheMessage(o.report)) {
        EXPECT_NE(o.output.find("result 3 (not enough memory)"), std::string::npos) << what << ": " << o.output;
      }
      EXPECT_TRUE(o.plot.empty()) << what;
    }
  }

  // The report of the deck's run into `out`.
  fs::path ReportIn(const fs::path& out) const { return out / (deck_.stem().string() + ".vto"); }

  fs::path dir_, deck_;
  Outcome reference_;
};

ChildSetup FailingAllocation(const char* kind, int at, int least = 0) {
  ChildSetup s;
  s.set = {{"LD_PRELOAD", VORTN_FAILING_ALLOC},
           {"VORTN_FAIL_ALLOC_KIND", kind},
           {"VORTN_FAIL_ALLOC_AT", std::to_string(at)},
           {"VORTN_FAIL_ALLOC_MIN", std::to_string(least)}};
  s.unset = {"VORTN_THREADS"};
  return s;
}

// The workers' matrix storage: the calling thread's own (taken first, before
// any worker starts) ends the run; a later worker's leaves its items to the
// others.
TEST_F(EngineMemory, AWorkersMatrixStorageThatCannotBeHad) {
  const Outcome first = runner_child::Run(deck_, dir_ / "first", FailingAllocation("aligned", 1));
  ASSERT_TRUE(first.Fatal()) << first.Describe();
  EXPECT_TRUE(EndsWithTheMessage(first.report)) << first.report;
  EXPECT_FALSE(fs::exists(dir_ / "first" / "group.vtp"));  // made, closed and removed: it holds no results
  if (UsableCpus() >= 3) {
    const Outcome third = runner_child::Run(deck_, dir_ / "third", FailingAllocation("aligned", 3));
    ASSERT_TRUE(third.Completed()) << third.Describe();
    ExpectCompletedOrEndedWithTheMessage(third, "third worker's storage");
  }
}

// Any one allocation of 4 KiB or more, wherever the run is, from the
// files' set-up to the report's last line.
TEST_F(EngineMemory, AnyAllocationThatFailsEndsTheRunOrLeavesItsReportAsItWas) {
  for (int at : {1, 2, 3, 5, 10, 20, 30, 50, 100, 200, 300, 1000, 3000}) {
    const Outcome o = runner_child::Run(deck_, dir_ / "out", FailingAllocation("malloc", at, 4096));
    ExpectCompletedOrEndedWithTheMessage(o, "allocation " + std::to_string(at));
  }
}

// Memory that cannot be had before the report is open: the console says so
// (there is nowhere else), and the runner names no report it did not get.
TEST_F(EngineMemory, NoMemoryBeforeTheReportIsOpenIsSaidOnTheConsole) {
  int beforeTheReport = 0;
  for (int at = 1; at <= 30; ++at) {
    const Outcome o = runner_child::Run(deck_, dir_ / "out", FailingAllocation("malloc", at));
    const std::string what = "allocation " + std::to_string(at);
    ExpectCompletedOrEndedWithTheMessage(o, what);
    if (fs::exists(ReportIn(dir_ / "out"))) continue;
    ++beforeTheReport;
    ASSERT_TRUE(o.Fatal()) << what << ": " << o.Describe();
    EXPECT_NE(o.output.find(kNoMemory[0]), std::string::npos) << what << ": " << o.output;
    EXPECT_EQ(o.output.find("report " + ReportIn(dir_ / "out").string()), std::string::npos) << what << ": " << o.output;
    EXPECT_NE(o.output.find("no report"), std::string::npos) << what << ": " << o.output;
  }
  EXPECT_GT(beforeTheReport, 0);  // some of them failed before the report was open
}

// Limits from 300 MB to 2 GB, each in a child of its own, with none of the
// thread variables set (the runner sets them as VortN3 does): every run
// ends, with the report of one worker or with the message and no plot
// data; a limit under which the run completes never fails at a higher one,
// and none fails where one worker (VORTN_THREADS=1) completes.
TEST_F(EngineMemory, SweepOfAddressSpaceLimits) {
  constexpr unsigned long long MB = 1ull << 20;
  const int limits[] = {300, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200, 1400, 1600, 2000};
  int completedAt = 0;
  for (int mb : limits) {
    ChildSetup s;
    s.addressSpace = mb * MB;
    s.patience = 60;
    s.unset = {"VORTN_THREADS", "OPENBLAS_NUM_THREADS", "OMP_NUM_THREADS"};
    const Outcome o = runner_child::Run(deck_, dir_ / "out", s);
    const std::string what = std::to_string(mb) + " MB";
    ExpectCompletedOrEndedWithTheMessage(o, what);
    if (o.Completed() && completedAt == 0) completedAt = mb;
    if (completedAt != 0) {
      EXPECT_TRUE(o.Completed()) << what << ", while " << completedAt << " MB completed: " << o.Describe();
    }
    if (!o.Completed()) {
      ChildSetup one = s;
      one.unset = {"OPENBLAS_NUM_THREADS", "OMP_NUM_THREADS"};
      one.set = {{"VORTN_THREADS", "1"}};
      const Outcome alone = runner_child::Run(deck_, dir_ / "one-worker", one);
      EXPECT_FALSE(alone.Completed()) << what << ": one worker completes, the default ended: " << o.Describe();
    }
  }
}

// Under an address-space limit (ulimit -v) a run completes, with as many
// workers as the limit leaves room for, or ends with the message.  Without
// its thread variables OpenBLAS may map a buffer for each processor when it
// is loaded, and under a limit below that it never gets past its own
// loading (see the README), so those limits start above it; the runner now
// sets the variables itself, as VortN3 does.
TEST_F(EngineMemory, UnderAnAddressSpaceLimitTheRunEndsAndNeverHangs) {
  constexpr unsigned long long MB = 1ull << 20;
  struct Case {
    bool pool;
    unsigned long long limit;
  };
  std::vector<Case> cases;
  const bool openMP = openblas_get_parallel() == 2;
  if (!openMP)
    for (unsigned long long mb : {100, 150, 200, 250, 300, 350, 400, 600}) cases.push_back({false, mb * MB});
  const unsigned long long processors = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned long long extra : {0, 100, 200, 400}) {
    cases.push_back({true, (300 + 130 * processors + extra) * MB});
    if (openMP) cases.push_back({false, (300 + 130 * processors + extra) * MB});
  }
  for (const Case& c : cases) {
    ChildSetup s;
    s.addressSpace = c.limit;
    s.patience = 120;
    s.unset = {"VORTN_THREADS"};
    if (c.pool)
      s.unset.push_back("OPENBLAS_NUM_THREADS");
    else
      s.set = {{"OPENBLAS_NUM_THREADS", "1"}};
    const Outcome o = runner_child::Run(deck_, dir_ / "out", s);
    ExpectCompletedOrEndedWithTheMessage(o, std::to_string(c.limit / MB) + " MB" + (c.pool ? ", OpenBLAS's pool" : ""));
  }
}

}  // namespace
