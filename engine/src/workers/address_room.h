// Room in the process's address space, which an address-space limit
// (ulimit -v, as batch schedulers set it) bounds.  A run takes what one
// worker needs first; each further worker (its thread, its OpenBLAS buffer)
// only where it leaves kRunRoomBytes for the rest of the run, so that a
// higher limit never ends a run that a lower one lets complete.
#pragma once

// True when `bytes` more of address space can be had now (nothing is kept).
bool AddressSpaceHasRoom(unsigned long long bytes);

// What a worker thread takes besides its scratch: its stack and the malloc
// arena its first allocation makes (64 MiB of address space, kept when the
// thread ends for the next one).
unsigned long long WorkerThreadBytes();

// Left for the calling thread's own allocations whenever a further worker
// is added: the largest group matrix of a run is 8 MB.
constexpr unsigned long long kRunRoomBytes = 64ull << 20;

// Room for one more worker thread, with kRunRoomBytes to spare.
bool RoomForAnotherWorker();
