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
// as soon as other work shares the cores), and each worker makes its own
// calls single-threaded (blas_threads.h).
//
// Memory: the storage every worker needs is taken before any of them
// starts; where it cannot be had, or a further worker would not leave room
// in the address space for the rest of the run (address_room.h), fewer
// workers (down to the calling thread alone) take the items, and only when
// even that one cannot have it does the run end (std::bad_alloc, which the
// entry point reports).
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "address_room.h"
#include "blas_threads.h"

// The number of workers for `items` items: VORTN_THREADS when it holds a
// positive whole number, else every processor the process may use; never
// more than those processors (usable_cpus.h) nor the items, never fewer
// than 1.
int EngineWorkers(int items);

// The same for items that call LAPACK: 1 when the library does not allow
// calls side by side, and no more than ReserveBlasBuffers grants; throws
// std::bad_alloc when not even one caller's buffer can be had.
int LapackWorkers(int items);

// Calls item(k, scratch) for k = 0 .. items - 1 on up to `workers` threads,
// the calling thread being one of them.  Each worker has a Scratch of its
// own, made and passed to reserve(scratch) on the calling thread before
// any worker starts; a Scratch that cannot be had (std::bad_alloc) leaves
// the items to the workers that have one.  With one worker the items run in
// order on the calling thread.  Returns when every item is done and every
// worker joined.  The first exception an item throws stops the others from
// taking new items and is thrown again here, after the join; a worker
// that cannot be started, or for whose thread the address space has no
// room (RoomForAnotherWorker), leaves its share to the others.
template <class Scratch, class Item, class Reserve>
void ForEachOnWorkers(int items, int workers, Item item, Reserve reserve) {
  if (workers < 1) workers = 1;
  std::vector<std::unique_ptr<Scratch>> scratch;
  scratch.reserve(static_cast<std::size_t>(workers));
  for (int w = 0; w < workers; ++w) {
    if (w > 0 && !RoomForAnotherWorker()) break;
    try {
      auto s = std::make_unique<Scratch>();
      reserve(*s);
      scratch.push_back(std::move(s));
    } catch (const std::bad_alloc&) {
      if (w == 0) throw;  // not even the calling thread's: the run cannot go on
      break;
    }
  }
  std::atomic<int> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  auto work = [&](Scratch& own, bool helper) {
    try {
      if (helper) SingleThreadedBlasInThisThread();
      for (int k = next++; k < items; k = next++) item(k, own);
    } catch (...) {
      next = items;
      std::lock_guard<std::mutex> lock(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> helpers;  // joined when the block ends
    try {
      helpers.reserve(scratch.size() - 1);
      for (std::size_t w = 1; w < scratch.size(); ++w) {
        if (!RoomForAnotherWorker()) break;  // the scratch of the others took it
        helpers.emplace_back(work, std::ref(*scratch[w]), true);
      }
    } catch (...) {
      // Fewer workers than asked for: the started ones and this thread
      // take every item all the same.
    }
    work(*scratch[0], false);
  }
  if (failure) std::rethrow_exception(failure);
}

template <class Scratch, class Item>
void ForEachOnWorkers(int items, int workers, Item item) {
  ForEachOnWorkers<Scratch>(items, workers, item, [](Scratch&) {});
}
