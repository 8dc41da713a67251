#include "address_room.h"

#include <pthread.h>
#include <sys/mman.h>

#include <cstddef>

namespace {

// glibc's arena of a thread: one heap of 64 MiB on 64-bit systems.
constexpr unsigned long long kArenaBytes = 64ull << 20;
// The stack of a thread made with the default attributes, when it cannot be
// asked (RLIMIT_STACK's usual value).
constexpr unsigned long long kUsualStackBytes = 8ull << 20;

}  // namespace

bool AddressSpaceHasRoom(unsigned long long bytes) {
  // Reserved, never touched: counts against the limit, costs no memory.
  void* probe = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (probe == MAP_FAILED) return false;
  munmap(probe, bytes);
  return true;
}

unsigned long long WorkerThreadBytes() {
  unsigned long long stack = kUsualStackBytes;
  pthread_attr_t attr;
  if (pthread_getattr_default_np(&attr) == 0) {
    std::size_t size = 0;
    if (pthread_attr_getstacksize(&attr, &size) == 0 && size > 0) stack = size;
    pthread_attr_destroy(&attr);
  }
  return stack + (1ull << 20) + kArenaBytes;  // with the guard page and the thread's own storage
}

bool RoomForAnotherWorker() { return AddressSpaceHasRoom(WorkerThreadBytes() + kRunRoomBytes); }
