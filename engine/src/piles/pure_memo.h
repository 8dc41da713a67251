// A direct-mapped memo of a pure function of K floats.  On a regular grid
// many pile pairs share their spacing, angle and static factors, and the
// fits are functions of those alone: a hit returns exactly what the call
// would compute (keys are compared bit for bit), a miss computes and keeps
// it.  Its storage is taken once (Size) and kept; Clear forgets the values
// when the function changes (another frequency).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

template <int K, class V>
class PureMemo {
 public:
  // `slots`: a power of 2.  May throw std::bad_alloc.
  void Size(std::size_t slots) { slots_.resize(slots); }
  std::size_t Slots() const { return slots_.size(); }
  void Clear() {
    for (Slot& s : slots_) s.used = false;
  }
  template <class F>
  const V& Get(const float (&key)[K], F compute) {
    std::uint32_t bits[K];
    std::memcpy(bits, key, sizeof bits);
    // The words mixed side by side (no chain of multiplications): the
    // hash only spreads the slots, the key decides a hit.
    std::uint64_t h = 0;
    for (int k = 0; k < K; ++k) h ^= (bits[k] + std::uint64_t(k)) * (0x9E3779B97F4A7C15ull >> k);
    Slot& s = slots_[(h ^ (h >> 29) ^ (h >> 41)) & (slots_.size() - 1)];
    if (!s.used || std::memcmp(s.key, bits, sizeof bits) != 0) {
      std::memcpy(s.key, bits, sizeof bits);
      s.value = compute();
      s.used = true;
    }
    return s.value;
  }

 private:
  struct Slot {
    std::uint32_t key[K] = {};
    bool used = false;
    V value{};
  };
  std::vector<Slot> slots_;
};
