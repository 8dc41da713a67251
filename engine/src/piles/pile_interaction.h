// Static pile-pair interaction factors of a pile group: for every pair the
// spacing ratio, the orientation of the pair's line, a vertical factor and
// three lateral factors, filled once per run before the frequency loop.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

struct Run;

// Storage whose new entries are left as they are, not cleared: the pair
// workers write every entry of a table once, side by side, and the first
// touch of new memory is what costs (a fault per page).
template <class V>
struct UnclearedAllocator : std::allocator<V> {
  UnclearedAllocator() = default;
  template <class U>
  UnclearedAllocator(const UnclearedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// The five pair tables T0..T4 and the working pile positions.  Each table
// is NP x NP, stored by columns with leading dimension NP; the diagonal is
// 0.  For p < q:
//   T0(p, q) vertical factor            T0(q, p) spacing ratio s = distance / d
//   T1..T3(p, q) lateral factors at 0   T1..T3(q, p) the same at 90 degrees
//   T4(p, q) pair line to the x axis    T4(q, p) pair line to the y axis
struct PilePairTables {
  int NP = 0;  // piles the tables were filled for (0: not filled)
  // T[k][(p - 1) + NP (q - 1)]
  std::vector<float, UnclearedAllocator<float>> T[5];
  std::vector<float> XW, YW;  // pile positions used for the pairs
  float& at(int k, int p, int q) { return T[k][(p - 1) + static_cast<std::size_t>(NP) * (q - 1)]; }
  float at(int k, int p, int q) const { return T[k][(p - 1) + static_cast<std::size_t>(NP) * (q - 1)]; }
};

// PILSTF: derives the mean soil and pile parameters and fills R.pairs for
// every pair of piles (on the run's workers, see engine_workers.h).  Uses
// the foundation and soil blocks of R.
void PILSTF(Run& R);

// PILFIT: vertical interaction factor ALPHA of two piles at spacing ratio S,
// slenderness LD = L / d, axial stiffness ratio KA, base modulus ratio EBES,
// mean Poisson's ratio NUS of the soil and base enlargement ratio RB.
void PILFIT(float& ALPHA, float S, float LD, float KA, float EBES, float NUS, float RB);

// BATSTF: the three lateral interaction factors A1, A2, A3 of two piles at
// spacing ratio S, bending stiffness ratio KR, loaded at angle BETA
// (radians) to the line joining them, free-length ratio HF.
void BATSTF(float S, float KR, float BETA, float HF, float& A1, float& A2, float& A3);
