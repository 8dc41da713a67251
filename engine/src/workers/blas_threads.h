// What the engine's worker threads need of the BLAS underneath LAPACK
// (OpenBLAS, in whichever of its builds the system chose):
//
// - whether several threads may call it at once: the build on POSIX threads
//   and the OpenMP build may; the sequential build keeps its buffers without
//   a lock and gives wrong numbers when called side by side;
// - one thread inside every call, whatever the build: a process-wide setting
//   for the POSIX-threads build, a setting of each calling thread for the
//   OpenMP build (each thread starts with the OpenMP default);
// - its per-call buffers: each concurrent caller takes one (128 MiB of
//   address space on x86-64), and OpenBLAS retries for ever when it cannot
//   map one.  A run maps the buffers its workers will take before they start.
#pragma once

enum class BlasThreading { kSequential, kPosixThreads, kOpenMP, kUnknown };

// The build, as the library says (openblas_get_parallel).
BlasThreading BlasThreadingOfLibrary();

// True when LAPACK may be called from several threads at once.
bool BlasAllowsConcurrentCalls();

// Every LAPACK call of the calling thread runs on that thread alone (with
// the OpenMP build: this thread's OpenMP thread count is 1).  The run's
// SingleThreadedLapack covers the POSIX-threads build for every thread.
void SingleThreadedBlasInThisThread();

// Makes sure `callers` threads can call LAPACK at once without OpenBLAS
// having to map memory during the calls: the buffers OpenBLAS has mapped
// already serve the first callers, and one is mapped for each further
// caller after checking that the address space has room for it.  Returns how
// many callers have a buffer: 0 when not even the calling thread's can be
// had (a LAPACK call could then wait for memory for ever).
int ReserveBlasBuffers(int callers);

// The address space taken by one caller's OpenBLAS buffer, with a margin.
constexpr unsigned long long kBlasBufferBytes = (128ull << 20) + (1ull << 20);

// Turns OpenBLAS's threading off while it lives (one thread per LAPACK
// call, in the calling thread), stops its idle thread pool, and restores
// the previous count after without starting the pool again.
class SingleThreadedLapack {
 public:
  SingleThreadedLapack();
  ~SingleThreadedLapack();
  SingleThreadedLapack(const SingleThreadedLapack&) = delete;
  SingleThreadedLapack& operator=(const SingleThreadedLapack&) = delete;

 private:
  int saved_;
};
