// Preloaded into the command-line runner (LD_PRELOAD), it makes one
// allocation of the engine fail, as a machine without memory would:
//   VORTN_FAIL_ALLOC_KIND  "aligned": aligned_alloc on huge-page boundaries
//                          (the workers' matrix storage); "malloc": malloc
//                          (every operator new) of at least
//   VORTN_FAIL_ALLOC_MIN   bytes (and below OpenBLAS's 128 MiB buffers,
//                          which OpenBLAS itself retries for ever)
//   VORTN_FAIL_ALLOC_AT    which of these allocations fails (1: the first)
// Counting starts when the engine creates its scratch file TAPE7, so that
// the runner's own allocations before the call are never hit.
#include <dlfcn.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_memalign(std::size_t alignment, std::size_t size);

namespace {

std::atomic<bool> armed{false};
std::atomic<long> counted{0};

enum Kind { kNone, kAligned, kMalloc };

struct Settings {
  Kind kind = kNone;
  long at = 0;
  std::size_t least = 0;
};

const Settings& Read() {
  static const Settings s = [] {
    Settings r;
    // getenv allocates nothing.
    if (const char* k = std::getenv("VORTN_FAIL_ALLOC_KIND"))
      r.kind = std::strcmp(k, "aligned") == 0 ? kAligned : std::strcmp(k, "malloc") == 0 ? kMalloc : kNone;
    if (const char* a = std::getenv("VORTN_FAIL_ALLOC_AT")) r.at = std::atol(a);
    if (const char* m = std::getenv("VORTN_FAIL_ALLOC_MIN")) r.least = static_cast<std::size_t>(std::atol(m));
    return r;
  }();
  return s;
}

// True for the one allocation that is to fail.
bool FailThis(Kind kind) {
  if (!armed.load(std::memory_order_relaxed)) return false;
  const Settings& s = Read();
  return s.kind == kind && ++counted == s.at;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void* malloc(std::size_t size) {
  constexpr std::size_t kBlasBuffers = std::size_t(64) << 20;
  if (size >= Read().least && size < kBlasBuffers && FailThis(kMalloc)) {
    errno = ENOMEM;  // as glibc's own
    return nullptr;
  }
  return __libc_malloc(size);
}

__attribute__((visibility("default"))) void* aligned_alloc(std::size_t alignment, std::size_t size) {
  if (alignment >= (std::size_t(2) << 20) && FailThis(kAligned)) {
    errno = ENOMEM;
    return nullptr;
  }
  return __libc_memalign(alignment, size);
}

__attribute__((visibility("default"))) std::FILE* fopen(const char* path, const char* mode) {
  using Open = std::FILE* (*)(const char*, const char*);
  static const Open real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "fopen"));
  const std::size_t n = std::strlen(path);
  if (n >= 5 && std::strcmp(path + n - 5, "TAPE7") == 0) armed = true;
  return real(path, mode);
}

}
