// Complex symmetric solve through LAPACKE (OpenBLAS underneath).
#include "symmetric_solver.h"

#include "lapacke_std_complex.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "complex_solvers.h"

namespace {

// The first `rows(j)` entries of each of the `cols` columns are finite.
template <class Rows>
bool AllFinite(const std::complex<float>* B, int cols, int ldb, Rows rows) {
  for (int j = 0; j < cols; ++j)
    for (int i = 0, n = rows(j); i < n; ++i) {
      const std::complex<float> v = B[static_cast<std::size_t>(j) * ldb + i];
      if (!std::isfinite(v.real()) || !std::isfinite(v.imag())) return false;
    }
  return true;
}

static_assert(sizeof(lapack_int) == sizeof(int), "pivot record of LAPACK's integer size");

}  // namespace

int SolveSymmetric(std::complex<float>* M, int n, int ldm, std::complex<float>* B, int nrhs,
                   int ldb, SymmetricSolveWork& work) {
  if (n <= 0) return 0;
  if (ldm < n || ldb < n || nrhs < 0) return kSolverSingular;
  // A matrix that is not finite has no usable factors (LAPACK would pass
  // the NaN on, or stop on it as on a zero pivot).
  if (!AllFinite(M, n, ldm, [](int j) { return j + 1; })) return kSolverSingular;
  work.pivots.resize(static_cast<std::size_t>(n));
  // Symmetric indefinite factorisation M = U D U^T (Bunch-Kaufman pivoting)
  // on the upper triangle: half the work of an LU factorisation, and as
  // accurate on these matrices (both leave the group sums within about
  // 1e-7 of a double-precision solve; bench/group_solve_bench measures it).
  lapack_int info = 0;
  std::complex<float> query;
  info = LAPACKE_csytrf_work(LAPACK_COL_MAJOR, 'U', n, M, ldm, work.pivots.data(), &query, -1);
  if (info != 0) return kSolverSingular;
  const std::size_t lwork = std::max<std::size_t>(1, static_cast<std::size_t>(query.real()));
  if (work.work.size() < lwork + SolveSlack(n)) work.work.resize(lwork + SolveSlack(n));
  info = LAPACKE_csytrf_work(LAPACK_COL_MAJOR, 'U', n, M, ldm, work.pivots.data(), work.work.data(),
                             static_cast<lapack_int>(lwork));
  if (info != 0) return kSolverSingular;
  info = LAPACKE_csytrs_work(LAPACK_COL_MAJOR, 'U', n, nrhs, M, ldm, work.pivots.data(), B, ldb);
  if (info != 0 || !AllFinite(B, nrhs, ldb, [n](int) { return n; })) return kSolverSingular;
  return 0;
}
