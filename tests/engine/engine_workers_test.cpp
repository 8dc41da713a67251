// The frequency workers: how many there are, that they take every point
// once and side by side, and what they leave behind (joined threads, an
// exception on the calling thread, LAPACK's thread setting).
#include "engine_workers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern "C" int openblas_get_num_threads(void);

namespace {

// Sets VORTN_THREADS (or unsets it) while it lives.
class ThreadsVariable {
 public:
  explicit ThreadsVariable(const char* value) {
    if (const char* old = std::getenv("VORTN_THREADS")) saved_ = old;
    if (value)
      setenv("VORTN_THREADS", value, 1);
    else
      unsetenv("VORTN_THREADS");
  }
  ~ThreadsVariable() {
    if (saved_)
      setenv("VORTN_THREADS", saved_->c_str(), 1);
    else
      unsetenv("VORTN_THREADS");
  }

 private:
  std::optional<std::string> saved_;
};

TEST(EngineWorkersTest, CountFromTheVariableOrTheHardware) {
  const int hardware = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  struct Case {
    const char* value;
    int points;
    int workers;
  };
  const Case cases[] = {
      {"3", 100, 3},
      {"1", 100, 1},
      {"12", 5, 5},  // no more workers than points
      {nullptr, 1000, hardware},
      {"0", 1000, hardware},
      {"-2", 1000, hardware},
      {"four", 1000, hardware},
      {"4x", 1000, hardware},
      {"", 1000, hardware},
      {nullptr, 1, 1},
      {"3", 0, 1},
  };
  for (const Case& c : cases) {
    ThreadsVariable v(c.value);
    EXPECT_EQ(EngineWorkers(c.points), c.workers) << (c.value ? c.value : "(unset)") << ", " << c.points;
  }
}

struct NoScratch {};

TEST(EngineWorkersTest, EveryPointOnceWhateverTheWorkers) {
  for (int workers : {1, 2, 3, 8, 40}) {
    std::vector<int> calls(37, 0);
    ForEachOnWorkers<NoScratch>(37, workers, [&](int k, NoScratch&) { ++calls[k]; });
    EXPECT_EQ(calls, std::vector<int>(37, 1)) << workers;
  }
}

TEST(EngineWorkersTest, OneWorkerRunsThePointsInOrderOnTheCallingThread) {
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  ForEachOnWorkers<NoScratch>(6, 1, [&](int k, NoScratch&) {
    order.push_back(k);
    threads.push_back(std::this_thread::get_id());
  });
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  for (std::thread::id t : threads) EXPECT_EQ(t, std::this_thread::get_id());
}

// Each worker has its own scratch and keeps it from point to point.
TEST(EngineWorkersTest, EachWorkerHasScratchOfItsOwn) {
  struct Scratch {
    std::thread::id owner = std::this_thread::get_id();
    int used = 0;
  };
  std::mutex lock;
  int total = 0;
  ForEachOnWorkers<Scratch>(50, 4, [&](int, Scratch& s) {
    EXPECT_EQ(s.owner, std::this_thread::get_id());
    ++s.used;
    std::lock_guard<std::mutex> l(lock);
    ++total;
  });
  EXPECT_EQ(total, 50);
}

// Four points on four workers are all in progress at once: each waits
// until the others have started (bounded, so that a failure cannot hang).
TEST(EngineWorkersTest, WorkersRunSideBySide) {
  std::mutex lock;
  std::condition_variable changed;
  int started = 0, mostAtOnce = 0;
  std::vector<std::thread::id> threads;
  ForEachOnWorkers<NoScratch>(4, 4, [&](int, NoScratch&) {
    std::unique_lock<std::mutex> l(lock);
    ++started;
    threads.push_back(std::this_thread::get_id());
    mostAtOnce = std::max(mostAtOnce, started);
    changed.notify_all();
    changed.wait_for(l, std::chrono::seconds(20), [&] { return started == 4; });
  });
  EXPECT_EQ(mostAtOnce, 4);
  std::sort(threads.begin(), threads.end());
  EXPECT_EQ(std::unique(threads.begin(), threads.end()) - threads.begin(), 4);
}

// A point that throws: the workers are joined, no point runs after the
// call returns, and the exception reaches the caller.
TEST(EngineWorkersTest, AnExceptionReachesTheCallerAfterTheJoin) {
  for (int workers : {1, 4}) {
    std::mutex lock;
    int running = 0;
    bool returned = false, ranAfterReturn = false;
    EXPECT_THROW(ForEachOnWorkers<NoScratch>(200, workers,
                                             [&](int k, NoScratch&) {
                                               {
                                                 std::lock_guard<std::mutex> l(lock);
                                                 if (returned) ranAfterReturn = true;
                                                 ++running;
                                               }
                                               if (k == 3) throw std::runtime_error("point 3");
                                               std::this_thread::sleep_for(std::chrono::microseconds(200));
                                               std::lock_guard<std::mutex> l(lock);
                                               --running;
                                             }),
                 std::runtime_error);
    std::lock_guard<std::mutex> l(lock);
    returned = true;
    EXPECT_EQ(running, 1) << workers;  // only the throwing point never finished
    EXPECT_FALSE(ranAfterReturn);
  }
}

TEST(EngineWorkersTest, LapackIsSingleThreadedForTheRunAndRestoredAfter) {
  const int before = openblas_get_num_threads();
  {
    const SingleThreadedLapack lapack;
    EXPECT_EQ(openblas_get_num_threads(), 1);
  }
  EXPECT_EQ(openblas_get_num_threads(), before);
}

}  // namespace
