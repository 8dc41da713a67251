#include "blas_threads.h"

#include <dlfcn.h>
#include <sys/mman.h>

#include <cstdio>
#include <new>
#include <vector>

#include "address_room.h"

// OpenBLAS's own controls (its cblas.h would bring a second set of BLAS
// declarations).  The weak ones are asked only where the library has them:
// blas_thread_shutdown_ stops the thread pool (what OpenBLAS does before a
// fork; a later threaded call starts it again), blas_memory_alloc and
// blas_memory_free take and give back a per-call buffer; blas_cpu_number is
// the POSIX-threads build's count, which openblas_get_num_threads reads.
extern "C" {
extern int blas_cpu_number __attribute__((weak));
void openblas_set_num_threads(int threads);
int openblas_get_num_threads(void);
int openblas_get_parallel(void) __attribute__((weak));
int blas_thread_shutdown_(void) __attribute__((weak));
void* blas_memory_alloc(int procpos) __attribute__((weak));
void blas_memory_free(void* buffer) __attribute__((weak));
}

namespace {

using SetThreads = void (*)(int);

// omp_set_num_threads of the OpenMP run-time the library brought, or null.
// Only looked up: the engine does not load an OpenMP run-time itself.
SetThreads OpenMPSetThreads() {
  static const SetThreads set = [] {
    void* f = dlsym(RTLD_DEFAULT, "omp_set_num_threads");
    if (f == nullptr) {
      if (void* gomp = dlopen("libgomp.so.1", RTLD_LAZY | RTLD_NOLOAD)) {
        f = dlsym(gomp, "omp_set_num_threads");
        dlclose(gomp);  // stays loaded: the library holds it
      }
    }
    return reinterpret_cast<SetThreads>(f);
  }();
  return set;
}

// The address space for one more buffer can be had now.
bool RoomForABuffer() {
  void* probe = mmap(nullptr, kBlasBufferBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (probe == MAP_FAILED) return false;
  munmap(probe, kBlasBufferBytes);
  return true;
}

// The buffers OpenBLAS has mapped: each is an anonymous read-write mapping
// of exactly 128 MiB, and side by side they make one region of a multiple
// of that.  A region that also holds something else is not counted: too
// few buffers only make a caller check for room it would not have needed,
// too many would let OpenBLAS wait for memory for ever.
int MappedBlasBuffers() {
  constexpr unsigned long long kMapping = 128ull << 20;
  std::FILE* maps = std::fopen("/proc/self/maps", "r");
  if (maps == nullptr) return 0;
  int buffers = 0;
  char line[512];
  while (std::fgets(line, sizeof line, maps) != nullptr) {
    unsigned long long from = 0, to = 0, offset = 0, inode = 1;
    char perms[8] = {};
    int pathAt = 0;
    if (std::sscanf(line, "%llx-%llx %7s %llx %*s %llu %n", &from, &to, perms, &offset, &inode, &pathAt) < 5) continue;
    const bool anonymous = inode == 0 && (line[pathAt] == '\0' || line[pathAt] == '\n');
    const unsigned long long size = to - from;
    if (anonymous && perms[0] == 'r' && perms[1] == 'w' && size >= kMapping && size % kMapping == 0)
      buffers += static_cast<int>(size / kMapping);
  }
  std::fclose(maps);
  return buffers;
}

}  // namespace

BlasThreading BlasThreadingOfLibrary() {
  if (openblas_get_parallel == nullptr) return BlasThreading::kUnknown;
  switch (openblas_get_parallel()) {
    case 0:
      return BlasThreading::kSequential;
    case 1:
      return BlasThreading::kPosixThreads;
    case 2:
      return BlasThreading::kOpenMP;
    default:
      return BlasThreading::kUnknown;
  }
}

bool BlasAllowsConcurrentCalls() {
  switch (BlasThreadingOfLibrary()) {
    case BlasThreading::kPosixThreads:
      return true;
    case BlasThreading::kOpenMP:
      return OpenMPSetThreads() != nullptr;  // else a worker could not be made single-threaded
    default:
      return false;
  }
}

void SingleThreadedBlasInThisThread() {
  // The POSIX-threads build has one process-wide count (set by the run);
  // setting it again here would restart the pool the run stopped.
  if (BlasThreadingOfLibrary() != BlasThreading::kOpenMP) return;
  // The OpenMP build reads the calling thread's OpenMP count at every call
  // and, when it is not 1, makes it the library's count for every thread.
  if (SetThreads set = OpenMPSetThreads()) set(1);
}

int ReserveBlasBuffers(int callers) {
  if (callers < 1) callers = 1;
  if (blas_memory_alloc == nullptr || blas_memory_free == nullptr) return callers;
  // A buffer given back stays mapped for the next caller, and each caller
  // takes the first free one.  No LAPACK call runs while the run reserves,
  // so every buffer OpenBLAS has mapped (for the callers of an earlier
  // reservation, or for its own pool's threads, now stopped) is free: those
  // are had without new room.  Each further one is mapped only where the
  // address space has room for it, and, but for the calling thread's own,
  // for the worker thread that will use it and the rest of the run.
  const int mapped = MappedBlasBuffers();
  std::vector<void*> held;
  try {
    held.reserve(static_cast<std::size_t>(callers));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  while (static_cast<int>(held.size()) < callers) {
    if (static_cast<int>(held.size()) >= mapped) {
      if (held.empty() ? !RoomForABuffer()
                       : !AddressSpaceHasRoom(kBlasBufferBytes + WorkerThreadBytes() + kRunRoomBytes))
        break;
    }
    void* buffer = blas_memory_alloc(0);
    if (buffer == nullptr) break;  // all of OpenBLAS's buffers are taken
    held.push_back(buffer);
  }
  for (void* buffer : held) blas_memory_free(buffer);
  return static_cast<int>(held.size());
}

SingleThreadedLapack::SingleThreadedLapack() : saved_(openblas_get_num_threads()) {
  openblas_set_num_threads(1);  // with the OpenMP build: also this thread's OpenMP count
  // The pool's threads spin for a tenth of a second after the library is
  // loaded (and after each threaded call) before they sleep; spinning, they
  // take the cores from the run's own workers.  The run needs none of them.
  if (blas_thread_shutdown_ != nullptr) blas_thread_shutdown_();
}

SingleThreadedLapack::~SingleThreadedLapack() {
  // The POSIX-threads build would start its pool again at once, a thread
  // and a 128 MiB buffer per processor: under an address-space limit that
  // kills the process or leaves threads that never end.  Only the count
  // goes back; a later threaded call of the host starts the pool when it
  // needs it.  (The OpenMP build's count starts no thread by itself.)
  if (BlasThreadingOfLibrary() == BlasThreading::kPosixThreads) {
    if (&blas_cpu_number != nullptr) blas_cpu_number = saved_;
    return;
  }
  openblas_set_num_threads(saved_);
}
