#include "engine_workers.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>

#include "usable_cpus.h"

int EngineWorkers(int items) {
  const long cpus = UsableCpus();
  long workers = cpus;
  if (const char* text = std::getenv("VORTN_THREADS")) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && errno == 0 && n > 0 && n < cpus) workers = n;
  }
  if (workers > items) workers = items;
  return workers < 1 ? 1 : static_cast<int>(workers);
}

int LapackWorkers(int items) {
  const int workers = ReserveBlasBuffers(BlasAllowsConcurrentCalls() ? EngineWorkers(items) : 1);
  if (workers < 1) throw std::bad_alloc();  // the run ends with its message
  return workers;
}
