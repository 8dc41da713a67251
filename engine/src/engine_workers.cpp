#include "engine_workers.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

// OpenBLAS's thread control (its cblas.h, which would also bring in a
// second set of BLAS declarations).  blas_thread_shutdown_ stops its thread
// pool (what it does before a fork); a later threaded call starts the pool
// again.  It is weak: a BLAS without it leaves the pool as it is.
extern "C" {
void openblas_set_num_threads(int threads);
int openblas_get_num_threads(void);
int blas_thread_shutdown_(void) __attribute__((weak));
}

int EngineWorkers(int items) {
  long workers = 0;
  if (const char* text = std::getenv("VORTN_THREADS")) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && errno == 0 && n > 0) workers = n;
  }
  if (workers == 0) workers = static_cast<long>(std::thread::hardware_concurrency());
  if (workers > items) workers = items;
  return workers < 1 ? 1 : static_cast<int>(workers);
}

SingleThreadedLapack::SingleThreadedLapack() : saved_(openblas_get_num_threads()) {
  openblas_set_num_threads(1);
  // The pool's threads spin for a tenth of a second after the library is
  // loaded (and after each threaded call) before they sleep; spinning, they
  // take the cores from the run's own workers.  The run needs none of them.
  if (blas_thread_shutdown_ != nullptr) blas_thread_shutdown_();
}

SingleThreadedLapack::~SingleThreadedLapack() { openblas_set_num_threads(saved_); }
