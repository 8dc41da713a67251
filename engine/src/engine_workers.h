// Worker threads of an engine run.  The impedance of a pile group at one
// frequency depends only on that frequency and the deck (and the pair
// tables of a group only on the two piles of each pair), so a run forms
// them side by side, one item per worker at a time; the calling thread
// waits for all of them and then writes the report in frequency order, so
// nothing a caller sees depends on the worker count.
//
// Each item runs the same single-threaded code whatever the number of
// workers: LAPACK's own threads are off for the whole run (they would
// compete with the workers, and OpenBLAS's fine-grained threads collapse
// as soon as other work shares the cores).
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// The number of workers for `items` items: VORTN_THREADS when it holds a
// positive whole number, else every hardware thread; never more than the
// items, never fewer than 1.
int EngineWorkers(int items);

// Turns OpenBLAS's threading off while it lives (one thread per LAPACK
// call, in the calling thread) and restores the previous setting after.
class SingleThreadedLapack {
 public:
  SingleThreadedLapack();
  ~SingleThreadedLapack();
  SingleThreadedLapack(const SingleThreadedLapack&) = delete;
  SingleThreadedLapack& operator=(const SingleThreadedLapack&) = delete;

 private:
  int saved_;
};

// Calls item(k, scratch) for k = 0 .. items - 1 on `workers` threads,
// the calling thread being one of them; each worker has a Scratch of its
// own, made when it starts.  With one worker the items run in order on
// the calling thread.  Returns when every item is done and every worker
// joined.  The first exception an item throws stops the others from
// taking new items and is thrown again here, after the join; a worker
// that cannot be started leaves its share to the others.
template <class Scratch, class Item>
void ForEachOnWorkers(int items, int workers, Item item) {
  std::atomic<int> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  auto work = [&] {
    try {
      Scratch scratch;
      for (int k = next++; k < items; k = next++) item(k, scratch);
    } catch (...) {
      next = items;
      std::lock_guard<std::mutex> lock(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> helpers;  // joined when the block ends
    try {
      helpers.reserve(static_cast<std::size_t>(workers > 1 ? workers - 1 : 0));
      for (int w = 1; w < workers; ++w) helpers.emplace_back(work);
    } catch (...) {
      // Fewer workers than asked for: the started ones and this thread
      // take every item all the same.
    }
    work();
  }
  if (failure) std::rethrow_exception(failure);
}
