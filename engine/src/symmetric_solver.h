// Factor-and-solve for dense complex symmetric matrices (M = M^T, not
// Hermitian), through LAPACK.  The pile group solves its flexibility
// matrices this way: one factorisation per matrix, a few right-hand sides.
//
// LAPACK may run its own threads inside a call (OPENBLAS_NUM_THREADS sets
// how many); the call returns only when they are done.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

// Pivot record and work space, kept between calls so that a frequency
// loop does not allocate at every point.
struct SymmetricSolveWork {
  std::vector<int> pivots;
  std::vector<std::complex<float>> work;
};

// OpenBLAS's AVX-512 complex matrix-vector kernel can read one strided
// element past the last one it uses (a column past the end of the array it
// walks; seen as a rare segmentation fault inside the symmetric
// factorisation's panel step).  Every array handed to SolveSymmetric (M and
// B) must therefore have this many elements of allocated memory behind its
// last one, for a matrix of order n (std::vector: reserve() it); the work
// space is padded here.
inline std::size_t SolveSlack(int n) { return static_cast<std::size_t>(n < 0 ? 0 : n) + 16; }

// Solves M U = B in place.  M (n x n, leading dimension ldm) must be
// symmetric; only its upper triangle is read, and it is overwritten by the
// factors; B (n x nrhs, leading
// dimension ldb) by the solutions.  Returns 0, or kSolverSingular when the
// matrix is singular or not finite, or a solution is not finite (B then
// holds no usable numbers).
int SolveSymmetric(std::complex<float>* M, int n, int ldm, std::complex<float>* B, int nrhs,
                   int ldb, SymmetricSolveWork& work);
