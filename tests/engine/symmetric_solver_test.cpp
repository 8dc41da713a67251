// The complex symmetric solve: its residuals, taken for several right-hand
// sides at once, are those of each right-hand side alone, and they are the
// residuals B - M X in double precision.
#include "symmetric_solver.h"

#include <gtest/gtest.h>

#include <complex>
#include <cstring>
#include <vector>

namespace {

using CF = std::complex<float>;
using CD = std::complex<double>;

// A well-conditioned complex symmetric matrix of order n with the spare
// memory the solver asks for behind it.
std::vector<CF> SymmetricMatrix(int n) {
  std::vector<CF> M;
  M.reserve(static_cast<std::size_t>(n) * n + SolveSlack(n));
  M.resize(static_cast<std::size_t>(n) * n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i <= j; ++i) {
      const CF v = i == j ? CF(4.0f + 0.1f * i, 0.5f) : CF(1.0f / (1 + j - i), 0.03f * (i + 2 * j) / n);
      M[static_cast<std::size_t>(j) * n + i] = M[static_cast<std::size_t>(i) * n + j] = v;
    }
  return M;
}

CD RightHandSide(int i, int k) { return CD(1.0 + 0.25 * i - k, 0.5 * k - 0.01 * i * i); }

TEST(SymmetricSolveTest, ManyRightHandSidesGiveEachOnesSolutionAndResidual) {
  const int n = 37;
  for (int nrhs : {1, 2, 3, 4, 5, 7}) {
    std::vector<CF> M = SymmetricMatrix(n);
    const std::vector<CF> original = M;
    std::vector<CD> B(static_cast<std::size_t>(n) * nrhs), R(B.size());
    for (int k = 0; k < nrhs; ++k)
      for (int i = 0; i < n; ++i) B[static_cast<std::size_t>(k) * n + i] = RightHandSide(i, k);
    SymmetricSolveWork work;
    ASSERT_EQ(SolveSymmetric(M.data(), n, n, B.data(), nrhs, n, R.data(), work), 0) << nrhs;

    for (int k = 0; k < nrhs; ++k) {
      std::vector<CF> Mk = original;
      std::vector<CD> b(n), r(n);
      for (int i = 0; i < n; ++i) b[i] = RightHandSide(i, k);
      SymmetricSolveWork alone;
      ASSERT_EQ(SolveSymmetric(Mk.data(), n, n, b.data(), 1, n, r.data(), alone), 0);
      const CD* x = B.data() + static_cast<std::size_t>(k) * n;
      const CD* res = R.data() + static_cast<std::size_t>(k) * n;
      EXPECT_EQ(std::memcmp(x, b.data(), n * sizeof(CD)), 0) << nrhs << " right-hand sides, solution " << k;
      EXPECT_EQ(std::memcmp(res, r.data(), n * sizeof(CD)), 0) << nrhs << " right-hand sides, residual " << k;
      // The residual is B - M X of the solution returned, in double.
      for (int i = 0; i < n; ++i) {
        CD want = RightHandSide(i, k);
        for (int j = 0; j < n; ++j) want -= CD(original[static_cast<std::size_t>(j) * n + i]) * x[j];
        EXPECT_NEAR(std::abs(res[i] - want), 0.0, 1e-12) << "row " << i;
      }
    }
  }
}

}  // namespace
