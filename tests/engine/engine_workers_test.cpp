// The frequency workers: how many there are, that they take every point
// once and side by side, and what they leave behind (joined threads, an
// exception on the calling thread, LAPACK's thread setting).
#include "engine_workers.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine_harness.h"
#include "usable_cpus.h"

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
  const int hardware = UsableCpus();
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

// Each worker has its own scratch and keeps it from point to point: no
// scratch is used by two threads, and four are used.
TEST(EngineWorkersTest, EachWorkerHasScratchOfItsOwn) {
  struct Scratch {
    int used = 0;
  };
  std::mutex lock;
  std::map<const Scratch*, std::set<std::thread::id>> users;
  std::map<const Scratch*, int> uses;  // its count when last seen (it is gone after the call)
  int total = 0;
  ForEachOnWorkers<Scratch>(200, 4, [&](int, Scratch& s) {
    ++s.used;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
    std::lock_guard<std::mutex> l(lock);
    users[&s].insert(std::this_thread::get_id());
    uses[&s] = s.used;
    ++total;
  });
  EXPECT_EQ(total, 200);
  int used = 0;
  for (const auto& [scratch, threads] : users) {
    EXPECT_EQ(threads.size(), 1u);
    used += uses[scratch];
  }
  EXPECT_EQ(used, 200);
}

// The scratch of every worker is made and sized before any worker starts;
// one that cannot be had leaves its items to the workers that have one, and
// without the calling thread's own nothing runs and the caller learns why.
TEST(EngineWorkersTest, AWorkerWithoutItsScratchLeavesItsItemsToTheOthers) {
  struct Scratch {
    std::vector<char> room;
  };
  for (int failing : {1, 2, 3, 5}) {
    std::mutex lock;
    std::vector<int> calls(60, 0);
    std::set<std::thread::id> threads;
    int reserved = 0;
    bool ranBeforeAllWereReserved = false;
    auto reserve = [&](Scratch& s) {
      if (++reserved == failing + 1) throw std::bad_alloc();
      s.room.resize(64);
    };
    auto item = [&](int k, Scratch& s) {
      std::lock_guard<std::mutex> l(lock);
      if (reserved < std::min(failing + 1, 4)) ranBeforeAllWereReserved = true;
      EXPECT_EQ(s.room.size(), 64u);
      ++calls[k];
      threads.insert(std::this_thread::get_id());
    };
    ForEachOnWorkers<Scratch>(60, 4, item, reserve);
    EXPECT_EQ(calls, std::vector<int>(60, 1)) << failing;
    EXPECT_LE(static_cast<int>(threads.size()), std::min(failing, 4)) << failing;
    EXPECT_FALSE(ranBeforeAllWereReserved) << failing;
  }
  int calls = 0;
  EXPECT_THROW(ForEachOnWorkers<Scratch>(
                   60, 4, [&](int, Scratch&) { ++calls; }, [](Scratch&) { throw std::bad_alloc(); }),
               std::bad_alloc);
  EXPECT_EQ(calls, 0);
}

// Never more workers than processors the process may run on, whatever
// VORTN_THREADS asks: here two (the affinity mask, as taskset sets it).
TEST(EngineWorkersTest, NoMoreWorkersThanTheProcessorsTheProcessMayUse) {
  cpu_set_t saved;
  ASSERT_EQ(sched_getaffinity(0, sizeof saved, &saved), 0);
  if (CPU_COUNT(&saved) < 2) GTEST_SKIP() << "one processor only";
  cpu_set_t two;
  CPU_ZERO(&two);
  for (int c = 0, n = 0; c < CPU_SETSIZE && n < 2; ++c)
    if (CPU_ISSET(c, &saved)) CPU_SET(c, &two), ++n;
  ASSERT_EQ(sched_setaffinity(0, sizeof two, &two), 0);
  EXPECT_EQ(UsableCpus(), 2);
  for (const char* value : std::initializer_list<const char*>{"999999", "3", nullptr}) {
    ThreadsVariable v(value);
    EXPECT_EQ(EngineWorkers(3072), 2) << (value ? value : "(unset)");
  }
  {
    ThreadsVariable v("1");
    EXPECT_EQ(EngineWorkers(3072), 1);
  }
  sched_setaffinity(0, sizeof saved, &saved);
}

// The control group's processor quota, in either hierarchy, rounded up to
// whole processors, the smallest on the way up to the hierarchy's root; a
// group whose path the container hides is its mount point.
TEST(EngineWorkersTest, ControlGroupQuotaInEitherHierarchy) {
  namespace fs = std::filesystem;
  const fs::path dir = engine_harness::MakeTempDir();
  ASSERT_FALSE(dir.empty());
  auto write = [](const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
  };
  const fs::path v2 = dir / "unified", v1 = dir / "cpu,cpuacct";
  write(dir / "mountinfo.v2", "29 23 0:26 / " + v2.string() + " rw,nosuid - cgroup2 cgroup2 rw,nsdelegate\n");
  write(dir / "mountinfo.v1",
        "30 23 0:27 / " + (dir / "memory").string() + " rw - cgroup cgroup rw,memory\n"
        "31 23 0:28 / " + v1.string() + " rw - cgroup cgroup rw,cpu,cpuacct\n");
  write(v2 / "cpu.max", "max 100000\n");
  write(v2 / "build" / "cpu.max", "250000 100000\n");        // 2.5 processors: 3
  write(v2 / "build" / "job" / "cpu.max", "max 100000\n");   // none of its own
  write(v2 / "small" / "cpu.max", "50000 100000\n");         // half of one: 1
  write(v1 / "cpu.cfs_quota_us", "-1\n");
  write(v1 / "cpu.cfs_period_us", "100000\n");
  write(v1 / "ci" / "cpu.cfs_quota_us", "400000\n");
  write(v1 / "ci" / "cpu.cfs_period_us", "100000\n");
  struct Case {
    const char* cgroup;
    const char* mounts;
    int limit;
  };
  const Case cases[] = {
      {"0::/build/job\n", "mountinfo.v2", 3},
      {"0::/small\n", "mountinfo.v2", 1},
      {"0::/\n", "mountinfo.v2", 0},
      {"0::/not/here\n", "mountinfo.v2", 0},  // the mount point's own: none
      {"5:memory:/ci\n4:cpu,cpuacct:/ci\n", "mountinfo.v1", 4},
      {"4:cpu,cpuacct:/\n", "mountinfo.v1", 0},
      {"4:cpu,cpuacct:/gone\n", "mountinfo.v1", 0},
  };
  for (const Case& c : cases) {
    write(dir / "cgroup", c.cgroup);
    EXPECT_EQ(CgroupCpuLimit(dir / "cgroup", dir / c.mounts), c.limit) << c.cgroup;
  }
  fs::remove_all(dir);
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
