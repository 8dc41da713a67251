// Complex symmetric solve through LAPACKE (OpenBLAS underneath), with
// residuals in double precision.
#include "symmetric_solver.h"

#include "lapacke_std_complex.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "complex_solvers.h"

namespace {

using CF = std::complex<float>;
using CD = std::complex<double>;

template <class T>
bool IsFinite(std::complex<T> v) {
  return std::isfinite(v.real()) && std::isfinite(v.imag());
}

// The first `rows(j)` entries of each of the `cols` columns are finite.
template <class T, class Rows>
bool AllFinite(const std::complex<T>* B, int cols, int ldb, Rows rows) {
  for (int j = 0; j < cols; ++j)
    for (int i = 0, n = rows(j); i < n; ++i)
      if (!IsFinite(B[static_cast<std::size_t>(j) * ldb + i])) return false;
  return true;
}

// A complex number as a pair of doubles that the compiler keeps in one
// vector register (a GNU extension that g++ and clang share).
typedef double Pair __attribute__((vector_size(16)));

// R -= M X for the symmetric M given by its strict lower triangle and its
// diagonal, in double precision (X and R n x nrhs, leading dimension ld).
// Column j of the lower triangle serves twice: as column j
// (R(i) -= M(i, j) X(j), i > j) and as row j (R(j) -= M(i, j) X(i)).
// With m = mr + i mi and y a pair (yr, yi), m y = mr (yr, yi) + mi (-yi, yr):
// the row sum keeps mr y and mi y apart and combines them once, so each
// term costs two vector products and no shuffle.  The sums run in a fixed
// order: the residual of given numbers is always the same.  Each column is
// read once for all the right-hand sides (the matrix is far larger than
// the cache); every right-hand side's arithmetic is that of it alone.
template <int NRHS>
void ResidualOf(const CF* M, int n, int ldm, const CF* diagonal, const CD* X, int ld, CD* R) {
  // (std::complex<double> is laid out as double[2].)
  const double* xs[NRHS];
  double* rs[NRHS];
#pragma GCC unroll 3
  for (int k = 0; k < NRHS; ++k) {
    xs[k] = reinterpret_cast<const double*>(X + static_cast<std::size_t>(k) * ld);
    rs[k] = reinterpret_cast<double*>(R + static_cast<std::size_t>(k) * ld);
  }
  for (int j = 0; j < n; ++j) {
    const CF* col = M + static_cast<std::size_t>(j) * ldm;
    Pair xj[NRHS], ixj[NRHS], byReal[NRHS], byImag[NRHS];
#pragma GCC unroll 3
    for (int k = 0; k < NRHS; ++k) {
      xj[k] = Pair{xs[k][2 * j], xs[k][2 * j + 1]};
      ixj[k] = Pair{-xs[k][2 * j + 1], xs[k][2 * j]};  // i x(j)
      byReal[k] = Pair{0.0, 0.0};
      byImag[k] = Pair{0.0, 0.0};
    }
    for (int i = j + 1; i < n; ++i) {
      const double mr = col[i].real(), mi = col[i].imag();
#pragma GCC unroll 3
      for (int k = 0; k < NRHS; ++k) {
        Pair y, ri;
        std::memcpy(&y, xs[k] + 2 * i, sizeof y);
        byReal[k] += mr * y;
        byImag[k] += mi * y;
        std::memcpy(&ri, rs[k] + 2 * i, sizeof ri);
        ri -= mr * xj[k] + mi * ixj[k];
        std::memcpy(rs[k] + 2 * i, &ri, sizeof ri);
      }
    }
    const double dr = diagonal[j].real(), di = diagonal[j].imag();
#pragma GCC unroll 3
    for (int k = 0; k < NRHS; ++k)
      R[static_cast<std::size_t>(k) * ld + j] -=
          CD((dr * xj[k][0] + di * ixj[k][0]) + (byReal[k][0] - byImag[k][1]),
             (dr * xj[k][1] + di * ixj[k][1]) + (byReal[k][1] + byImag[k][0]));
  }
}

void Residual(const CF* M, int n, int ldm, const CF* diagonal, const CD* X, int ld, CD* R, int nrhs) {
  for (int k = 0; k < nrhs;) {  // up to three right-hand sides at a time
    const int take = std::min(3, nrhs - k);
    const CD* x = X + static_cast<std::size_t>(k) * ld;
    CD* r = R + static_cast<std::size_t>(k) * ld;
    if (take == 3)
      ResidualOf<3>(M, n, ldm, diagonal, x, ld, r);
    else if (take == 2)
      ResidualOf<2>(M, n, ldm, diagonal, x, ld, r);
    else
      ResidualOf<1>(M, n, ldm, diagonal, x, ld, r);
    k += take;
  }
}

static_assert(sizeof(lapack_int) == sizeof(int), "pivot record of LAPACK's integer size");

}  // namespace

int SolveSymmetric(CF* M, int n, int ldm, CD* B, int nrhs, int ldb, CD* R, SymmetricSolveWork& work) {
  if (n <= 0 || nrhs == 0) return 0;
  if (ldm < n || ldb < n || nrhs < 0) return kSolverSingular;
  // A matrix that is not finite has no usable factors (LAPACK would pass
  // the NaN on, or stop on it as on a zero pivot).  The lower triangle,
  // read by the residuals only, shows up in the final check.
  if (!AllFinite(M, n, ldm, [](int j) { return j + 1; })) return kSolverSingular;
  work.diagonal.resize(static_cast<std::size_t>(n));
  for (int j = 0; j < n; ++j) work.diagonal[j] = M[static_cast<std::size_t>(j) * ldm + j];
  work.pivots.resize(static_cast<std::size_t>(n));

  // Symmetric indefinite factorisation M = U D U^T (Bunch-Kaufman pivoting)
  // on the upper triangle: half the work of an LU factorisation, and as
  // accurate on these matrices (bench/group_solve_bench measures both).
  lapack_int info = 0;
  CF query;
  info = LAPACKE_csytrf_work(LAPACK_COL_MAJOR, 'U', n, M, ldm, work.pivots.data(), &query, -1);
  if (info != 0) return kSolverSingular;
  const std::size_t lwork = std::max<std::size_t>(1, static_cast<std::size_t>(query.real()));
  if (work.work.size() < lwork + SolveSlack(n)) work.work.resize(lwork + SolveSlack(n));
  info = LAPACKE_csytrf_work(LAPACK_COL_MAJOR, 'U', n, M, ldm, work.pivots.data(), work.work.data(),
                             static_cast<lapack_int>(lwork));
  if (info != 0) return kSolverSingular;

  // The solve runs in single precision, on a packed copy of B.
  std::vector<CF>& S = work.solutions;
  S.reserve(static_cast<std::size_t>(n) * nrhs + SolveSlack(n));
  S.resize(static_cast<std::size_t>(n) * nrhs);
  for (int k = 0; k < nrhs; ++k)
    for (int i = 0; i < n; ++i) {
      const CD b = B[static_cast<std::size_t>(k) * ldb + i];
      S[static_cast<std::size_t>(k) * n + i] = CF(static_cast<float>(b.real()), static_cast<float>(b.imag()));
    }
  info = LAPACKE_csytrs_work(LAPACK_COL_MAJOR, 'U', n, nrhs, M, ldm, work.pivots.data(), S.data(), n);
  if (info != 0 || !AllFinite(S.data(), nrhs, n, [n](int) { return n; })) return kSolverSingular;
  for (int k = 0; k < nrhs; ++k) {
    CD* b = B + static_cast<std::size_t>(k) * ldb;
    CD* r = R + static_cast<std::size_t>(k) * ldb;
    std::copy_n(b, n, r);
    for (int i = 0; i < n; ++i) b[i] = CD(S[static_cast<std::size_t>(k) * n + i]);
  }
  Residual(M, n, ldm, work.diagonal.data(), B, ldb, R, nrhs);
  if (!AllFinite(R, nrhs, ldb, [n](int) { return n; })) return kSolverSingular;
  return 0;
}
