// What the workers need of the OpenBLAS build the process runs with.  These
// tests run with the installed build and, through LD_LIBRARY_PATH, with
// Debian's other two builds of the same release (tests/CMakeLists.txt
// fetches them): sequential, POSIX threads, OpenMP.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "engine_harness.h"
#include "engine_workers.h"
#include "runner_child.h"
#include "usable_cpus.h"

extern "C" {
void openblas_set_num_threads(int threads);
int openblas_get_num_threads(void);
int openblas_get_parallel(void);
char* openblas_get_config(void);
void* blas_memory_alloc(int procpos);
void blas_memory_free(void* buffer);
}

namespace {

// The threads of this process, as the kernel lists them.
int ProcessThreads() {
  int n = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
}

// Which build this is, for the failure messages.
std::string Build() { return openblas_get_config(); }

// Side by side exactly where the library allows calls at once: never with
// the sequential build (its buffers have no lock), else on every usable
// processor.
TEST(BlasBuild, WorkersSideBySideOnlyWhereTheLibraryAllowsIt) {
  const int parallel = openblas_get_parallel();
  ASSERT_GE(parallel, 0);
  ASSERT_LE(parallel, 2);
  const SingleThreadedLapack lapack;
  if (parallel == 0) {
    EXPECT_FALSE(BlasAllowsConcurrentCalls()) << Build();
    EXPECT_EQ(LapackWorkers(100), 1) << Build();
  } else {
    EXPECT_TRUE(BlasAllowsConcurrentCalls()) << Build();
    EXPECT_EQ(LapackWorkers(100), std::min(UsableCpus(), 100)) << Build();
  }
}

// Inside every worker each LAPACK call runs on that worker's thread alone:
// the library's count is 1 and, with the OpenMP build, so is each worker
// thread's own OpenMP count (which the library adopts at every call).
TEST(BlasBuild, EveryWorkerCallsLapackSingleThreaded) {
  using MaxThreads = int (*)();
  const auto ompMaxThreads = reinterpret_cast<MaxThreads>(dlsym(RTLD_DEFAULT, "omp_get_max_threads"));
  if (openblas_get_parallel() == 2) {
    ASSERT_NE(ompMaxThreads, nullptr) << Build();
  }
  const SingleThreadedLapack lapack;
  std::mutex lock;
  std::condition_variable changed;
  int started = 0;
  std::vector<int> blasCounts, ompCounts;
  ForEachOnWorkers<int>(4, 4, [&](int, int&) {
    std::unique_lock<std::mutex> l(lock);
    blasCounts.push_back(openblas_get_num_threads());
    if (ompMaxThreads) ompCounts.push_back(ompMaxThreads());
    ++started;
    changed.notify_all();
    // All four at once, so that each item is on a thread of its own.
    changed.wait_for(l, std::chrono::seconds(20), [&] { return started == 4; });
  });
  EXPECT_EQ(blasCounts, std::vector<int>(4, 1)) << Build();
  if (ompMaxThreads) {
    EXPECT_EQ(ompCounts, std::vector<int>(4, 1)) << Build();
  }
}

// A run stops OpenBLAS's idle pool and gives the host its thread count back
// at the end without starting the pool again: the host's next threaded
// call starts it when it needs it.  (Started at the end of a run, each pool
// thread maps a 128 MiB buffer; under an address-space limit that killed
// the process or left its threads spinning for ever.)
TEST(BlasBuild, TheEndOfARunStartsNoThreads) {
  const int before = openblas_get_num_threads();
  openblas_set_num_threads(4);  // a host that runs OpenBLAS on four threads
  const int hostCount = openblas_get_num_threads();
  int during = 0;
  {
    const SingleThreadedLapack lapack;
    EXPECT_EQ(openblas_get_num_threads(), 1) << Build();
    during = ProcessThreads();
  }
  EXPECT_EQ(ProcessThreads(), during) << Build();
  EXPECT_EQ(openblas_get_num_threads(), hostCount) << Build();
  openblas_set_num_threads(before);
}

// The address space this process takes, in bytes.
unsigned long long AddressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  unsigned long long pages = 0;
  statm >> pages;
  return pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
}

// Buffers OpenBLAS mapped before the run (for its own pool's threads, or
// at its loading) serve the run's callers without new room: under a limit
// that leaves no room for one more buffer, every one of them is had.
TEST(BlasBuild, BuffersMappedBeforeNeedNoNewRoom) {
  const int callers = UsableCpus() + 2;  // more than any reservation of an earlier test
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<void*> buffers;
    for (int k = 0; k < callers; ++k) buffers.push_back(blas_memory_alloc(0));  // as the pool's threads take them
    for (void* b : buffers) blas_memory_free(b);
    const unsigned long long limit = AddressSpaceInUse() + (64ull << 20);
    const rlimit r{limit, limit};
    if (setrlimit(RLIMIT_AS, &r) != 0) _exit(100);
    _exit(ReserveBlasBuffers(callers));
  }
  ASSERT_GT(pid, 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << Build();
  EXPECT_EQ(WEXITSTATUS(status), callers) << Build();
}

// A run on every usable processor prints the bytes of a one-worker run, and
// so does a second one: 200 piles at 8 frequencies (with the sequential
// build called side by side, a third of the report came out wrong and
// changed from run to run).
TEST(BlasBuild, ManyWorkersGiveTheReportOfOne) {
  namespace fs = std::filesystem;
  const fs::path dir = engine_harness::MakeTempDir();
  ASSERT_FALSE(dir.empty());
  const fs::path deck = dir / "group.vtd";
  engine_harness::WriteText(deck, runner_child::PileGroupDeck(200, "80 10 10"));
  runner_child::ChildSetup one, all;
  one.set = {{"VORTN_THREADS", "1"}};
  all.unset = {"VORTN_THREADS", "OPENBLAS_NUM_THREADS", "OMP_NUM_THREADS"};
  const runner_child::Outcome reference = runner_child::Run(deck, dir / "one", one);
  ASSERT_TRUE(reference.Completed()) << reference.Describe();
  for (int run = 0; run < 2; ++run) {
    const runner_child::Outcome o = runner_child::Run(deck, dir / "all", all);
    ASSERT_TRUE(o.Completed()) << Build() << ": " << o.Describe();
    EXPECT_EQ(runner_child::WithoutClock(o.report), runner_child::WithoutClock(reference.report)) << Build();
    EXPECT_EQ(o.plot, reference.plot) << Build();
  }
  fs::remove_all(dir);
}

}  // namespace
