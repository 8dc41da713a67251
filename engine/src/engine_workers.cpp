#include "engine_workers.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

// OpenBLAS's thread control (its cblas.h, which would also bring in a
// second set of BLAS declarations).
extern "C" {
void openblas_set_num_threads(int threads);
int openblas_get_num_threads(void);
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
}

SingleThreadedLapack::~SingleThreadedLapack() { openblas_set_num_threads(saved_); }
