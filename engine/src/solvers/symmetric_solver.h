// Factor-and-solve for dense complex symmetric matrices (M = M^T, not
// Hermitian), through LAPACK.  The pile group solves its flexibility
// matrices this way: one factorisation per matrix, a few right-hand sides.
//
// LAPACK may run its own threads inside a call (OPENBLAS_NUM_THREADS sets
// how many); the call returns only when they are done.  An engine run turns
// them off (its frequency workers call this on several threads at once,
// each with its own work storage).
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

// Pivot record and work space, kept between calls so that a frequency
// loop does not allocate at every point.
struct SymmetricSolveWork {
  std::vector<int> pivots;
  std::vector<std::complex<float>> work;
  std::vector<std::complex<float>> diagonal;   // M's diagonal before factoring
  std::vector<std::complex<float>> solutions;  // single-precision right-hand sides and solutions
};

// OpenBLAS's AVX-512 complex matrix-vector kernel can read one strided
// element past the last one it uses (a column past the end of the array it
// walks; seen as a rare segmentation fault inside the symmetric
// factorisation's panel step).  Every matrix handed to SolveSymmetric must
// therefore have this many elements of allocated memory behind its last
// one, for a matrix of order n (std::vector: reserve() it); the work
// arrays are padded here.
inline std::size_t SolveSlack(int n) { return static_cast<std::size_t>(n < 0 ? 0 : n) + 16; }

// Solves M X = B.  M (n x n, leading dimension ldm) must be stored whole
// and symmetric.  Its upper triangle is overwritten by the factors; the
// strict lower triangle is kept and, with a copy of the diagonal, gives the
// residuals.  B (n x nrhs, leading dimension ldb) is overwritten by the
// solutions X, correct to single precision; R (n x nrhs, leading dimension
// ldb) receives the residuals B - M X, formed in double precision.  With
// them a caller can correct what it takes from X to the second order (see
// the pile group's sums), so that its results do not depend on how LAPACK
// ordered its arithmetic (the number of threads).  Returns 0, or
// kSolverSingular when the matrix is singular or not finite, or a solution
// or residual is not finite (X and R then hold no usable numbers).
int SolveSymmetric(std::complex<float>* M, int n, int ldm, std::complex<double>* B, int nrhs, int ldb,
                   std::complex<double>* R, SymmetricSolveWork& work);
