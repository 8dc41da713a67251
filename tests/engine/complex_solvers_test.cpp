// Complex solvers: factorisation, refined solution and in-place inversion.
#include "complex_solvers.h"
#include "complex_solvers_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "run_state.h"

#include <unistd.h>

namespace {

using cfloat = std::complex<float>;
using Matrix = std::vector<cfloat>;  // column-major

cfloat& At(Matrix& a, int ld, int i, int j) { return a[static_cast<std::size_t>(j) * ld + i]; }

// A random complex matrix made well conditioned by a dominant diagonal.
Matrix RandomMatrix(int n, int ld, unsigned seed, float diagonal) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  Matrix a(static_cast<std::size_t>(ld) * n, cfloat(0.0f, 0.0f));
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) At(a, ld, i, j) = cfloat(u(gen), u(gen));
  for (int i = 0; i < n; ++i) At(a, ld, i, i) += cfloat(diagonal, 0.5f * diagonal);
  return a;
}

bool SameBits(cfloat a, cfloat b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// ---------------------------------------------------------------- LEQT1C

TEST(LEQT1C, OrderOneScalesPivotsAndDivides) {
  cfloat a[1] = {{3.0f, 4.0f}};
  cfloat b[1] = {{5.0f, -10.0f}};
  float wa[1];
  int ier = -1;
  LEQT1C(a, 1, 1, b, 1, 1, 0, wa, ier);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(wa[0], 1.0f);
  const cfloat expected = cfloat(5.0f, -10.0f) / cfloat(3.0f, 4.0f);
  EXPECT_TRUE(SameBits(b[0], expected));
}

TEST(LEQT1C, SingularityTestIsFormedInDouble) {
  // The second pivot is 2^-23: added to N = 2 in single precision it
  // vanishes, in double it does not, so the matrix is accepted.
  const float eps = std::ldexp(1.0f, -23);
  Matrix a = {{1, 0}, {1, 0}, {1, 0}, {1.0f + eps, 0}};
  cfloat b[2] = {{1, 0}, {1.0f + eps, 0}};
  float wa[2];
  int ier = -1;
  LEQT1C(a.data(), 2, 2, b, 1, 2, 0, wa, ier);
  EXPECT_EQ(ier, 0);
  EXPECT_NEAR(b[0].real(), 0.0f, 1e-5f);
  EXPECT_NEAR(b[1].real(), 1.0f, 1e-5f);
}

TEST(LEQT1C, TiesKeepTheUpperRowAndLargerRowsWin) {
  // Rows scaled by their largest modulus: column 1 has scaled sizes 1 and
  // 1 (a tie: row 1 stays), in the second matrix 0.5 and 1 (row 2 wins).
  struct Case {
    Matrix a;
    float pivot1;
  } cases[] = {
      {{{1, 0}, {1, 0}, {0.5f, 0}, {0.25f, 0}}, 1.0f},
      {{{1, 0}, {1, 0}, {2, 0}, {0.5f, 0}}, 2.0f},
  };
  for (Case& c : cases) {
    float wa[2];
    int ier = -1;
    LEQT1C(c.a.data(), 2, 2, nullptr, 0, 2, 1, wa, ier);
    EXPECT_EQ(ier, 0);
    EXPECT_EQ(wa[0], c.pivot1);
    EXPECT_EQ(wa[1], 2.0f);
  }
}

TEST(LEQT1C, FactorThenSolveEqualsOneCall) {
  const int n = 7, ld = 9, m = 3;
  const Matrix a = RandomMatrix(n, ld, 11, 0.0f);
  Matrix b = RandomMatrix(m, ld, 12, 0.0f);  // ld x m
  Matrix a0 = a, b0 = b, a1 = a, b1 = b;
  float wa0[n], wa1[n];
  int ier0 = -1, ier1 = -1, ier2 = -1;
  LEQT1C(a0.data(), n, ld, b0.data(), m, ld, 0, wa0, ier0);
  LEQT1C(a1.data(), n, ld, b1.data(), m, ld, 1, wa1, ier1);
  EXPECT_EQ(b1, b);  // IJOB 1 leaves B alone
  LEQT1C(a1.data(), n, ld, b1.data(), m, ld, 2, wa1, ier2);
  EXPECT_EQ(ier0, 0);
  EXPECT_EQ(ier1, 0);
  EXPECT_EQ(ier2, 0);
  for (std::size_t k = 0; k < b.size(); ++k) EXPECT_TRUE(SameBits(b0[k], b1[k])) << k;
  for (std::size_t k = 0; k < a.size(); ++k) EXPECT_TRUE(SameBits(a0[k], a1[k])) << k;
}

// ----------------------------------------------------------------- LEQ2C

struct Leq2cWork {
  explicit Leq2cWork(int n) : wa(static_cast<std::size_t>(n) * (n + 2)), wk(n) {}
  Matrix wa;
  std::vector<float> wk;
};

TEST(LEQ2C, OrderOneConvergesOnTheFirstCorrection) {
  const cfloat a[1] = {{2.0f, 0.0f}};
  cfloat b[1] = {{4.0f, 6.0f}};
  Leq2cWork w(1);
  int ier = -1;
  LEQ2C(a, 1, 1, b, 1, 1, 0, w.wa.data(), w.wk.data(), ier);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(b[0], cfloat(2.0f, 3.0f));
  EXPECT_EQ(w.wa[2], cfloat(0.0f, 0.0f));  // the one correction was zero
}

TEST(LEQ2C, ZeroRightHandSideGivesZeroSolution) {
  const int n = 5;
  const Matrix a = RandomMatrix(n, n, 3, 4.0f);
  Matrix b(static_cast<std::size_t>(n) * 2, cfloat(0.0f, 0.0f));
  for (int i = 0; i < n; ++i) b[n + i] = cfloat(1.0f, 0.0f);
  Leq2cWork w(n);
  int ier = -1;
  LEQ2C(a.data(), n, n, b.data(), 2, n, 0, w.wa.data(), w.wk.data(), ier);
  EXPECT_EQ(ier, 0);
  for (int i = 0; i < n; ++i) EXPECT_EQ(b[i], cfloat(0.0f, 0.0f));
  EXPECT_NE(b[n], cfloat(1.0f, 0.0f));  // the second column was solved
}

TEST(LEQ2C, NonFiniteSolutionIsRefused) {
  const Matrix a = {{2, 0}, {0, 0}, {0, 0}, {2, 0}};
  const float inf = std::numeric_limits<float>::infinity();
  cfloat b[4] = {{1, 0}, {1, 0}, {inf, 0}, {1, 0}};
  Leq2cWork w(2);
  int ier = 0;
  LEQ2C(a.data(), 2, 2, b, 2, 2, 0, w.wa.data(), w.wk.data(), ier);
  EXPECT_EQ(ier, 129);
  EXPECT_EQ(b[0], cfloat(0.5f, 0));  // the first column was solved
  EXPECT_EQ(b[2], cfloat(inf, 0));   // the second is left as it came
  EXPECT_EQ(b[3], cfloat(1, 0));
}

TEST(LEQ2C, ReportsAFailedFactoring) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("leq2c_report_" + std::to_string(::getpid()))).string();
  std::string first, second;
  {
    ::Run R;
    ASSERT_TRUE(R.ch.Open(16, path, true));
    const Matrix a = {{0, 0}, {0, 0}, {0, 0}, {1, 0}};
    cfloat b[2] = {{1, 0}, {1, 0}};
    Leq2cWork w(2);
    int ier = 0;
    LEQ2C(R, a.data(), 2, 2, b, 1, 2, 0, w.wa.data(), w.wk.data(), ier);
    EXPECT_EQ(ier, 129);
    const Matrix good = {{1, 0}, {0, 0}, {0, 0}, {1, 0}};
    LEQ2C(R, good.data(), 2, 2, b, 1, 2, 0, w.wa.data(), w.wk.data(), ier);
    EXPECT_EQ(ier, 0);
    R.ch.Rewind(16);
    EXPECT_EQ(R.ch.Read(16, first), ChannelTable::kRead);
    EXPECT_NE(R.ch.Read(16, second), ChannelTable::kRead);
    R.ch.Close(16);
  }
  std::filesystem::remove(path);
  EXPECT_EQ(first, " ERROR ENCOUNTERED IN LEQ2C SUBROUTINE");
}

TEST(LEQ2C, FactorThenSolveEqualsOneCall) {
  const int n = 6, m = 6;
  const Matrix a = RandomMatrix(n, n, 21, 1.0f);
  Matrix identity(static_cast<std::size_t>(n) * m, cfloat(0.0f, 0.0f));
  for (int i = 0; i < n; ++i) At(identity, n, i, i) = cfloat(1.0f, 0.0f);
  Matrix once = identity, twice = identity;
  Leq2cWork w0(n), w1(n);
  int ier0 = -1, ier1 = -1, ier2 = -1;
  LEQ2C(a.data(), n, n, once.data(), m, n, 0, w0.wa.data(), w0.wk.data(), ier0);
  LEQ2C(a.data(), n, n, twice.data(), m, n, 1, w1.wa.data(), w1.wk.data(), ier1);
  EXPECT_EQ(twice, identity);
  LEQ2C(a.data(), n, n, twice.data(), m, n, 2, w1.wa.data(), w1.wk.data(), ier2);
  EXPECT_EQ(ier0, 0);
  EXPECT_EQ(ier1, 0);
  EXPECT_EQ(ier2, 0);
  for (std::size_t k = 0; k < once.size(); ++k) EXPECT_TRUE(SameBits(once[k], twice[k])) << k;
}

TEST(LEQ2C, RefinementReachesSinglePrecisionAccuracy) {
  // A moderately ill-conditioned system (condition about 1e5) with a known
  // solution: the refined solution is as good as single precision allows,
  // where the unrefined one is not.
  const int n = 8;
  Matrix a(static_cast<std::size_t>(n) * n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i)
      At(a, n, i, j) = cfloat(1.0f / (i + j + 1.0f), i == j ? 1.0e-4f : 0.0f);
  std::vector<std::complex<double>> xTrue(n);
  for (int i = 0; i < n; ++i) xTrue[i] = {1.0 + i, 0.5 * i - 1.0};
  Matrix b(n);
  for (int i = 0; i < n; ++i) {
    std::complex<double> s = 0.0;
    for (int k = 0; k < n; ++k)
      s += std::complex<double>(At(a, n, i, k).real(), At(a, n, i, k).imag()) * xTrue[k];
    b[i] = cfloat(static_cast<float>(s.real()), static_cast<float>(s.imag()));
  }
  Matrix plainA = a, plainB = b;
  float wa[n];
  int ier = -1;
  LEQT1C(plainA.data(), n, n, plainB.data(), 1, n, 0, wa, ier);
  ASSERT_EQ(ier, 0);
  Leq2cWork w(n);
  LEQ2C(a.data(), n, n, b.data(), 1, n, 0, w.wa.data(), w.wk.data(), ier);
  EXPECT_EQ(ier, 0);
  double refinedError = 0.0, plainError = 0.0;
  for (int i = 0; i < n; ++i) {
    refinedError = std::max(refinedError, std::abs(std::complex<double>(b[i].real(), b[i].imag()) - xTrue[i]));
    plainError = std::max(plainError,
                          std::abs(std::complex<double>(plainB[i].real(), plainB[i].imag()) - xTrue[i]));
  }
  EXPECT_LT(refinedError, 1.0e-3);
  EXPECT_LT(refinedError, plainError);
}

TEST(LEQ2C, HopelessRefinementIsReportedAndEveryColumnSolved) {
  // A Hilbert matrix of order 12 is far beyond single precision: the
  // corrections do not settle.  Each column holds its last solution; the
  // second is solved too, not left as its right-hand side.
  const int n = 12;
  Matrix a(static_cast<std::size_t>(n) * n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) At(a, n, i, j) = cfloat(1.0f / (i + j + 1.0f), 0.0f);
  Matrix b(static_cast<std::size_t>(n) * 2, cfloat(1.0f, 0.0f));
  for (int i = 0; i < n; ++i) b[n + i] = cfloat(0.0f, 1.0f);
  Leq2cWork w(n);
  int ier = 0;
  LEQ2C(a.data(), n, n, b.data(), 2, n, 0, w.wa.data(), w.wk.data(), ier);
  if (ier == 129) GTEST_SKIP() << "rejected as singular";
  ASSERT_EQ(ier, 131);
  for (int i = 0; i < n; ++i) {
    EXPECT_TRUE(std::isfinite(b[i].real()) && std::isfinite(b[n + i].imag()));
    // The second right-hand side is i times the first: so are the solutions
    // (the same arithmetic on the imaginary parts).
    EXPECT_EQ(b[n + i], cfloat(0.0f, 1.0f) * b[i]) << i;
  }
}

// ------------------------------------------------------ refused systems

// A system either solver refuses (ier 129) leaves the right-hand sides as
// they came; a singular row found before any elimination leaves A too.
TEST(ComplexSolvers, RefusedSystemLeavesBUntouched) {
  enum class Call { kLeqt1c, kLeqt1cWithRecord, kLeq2c };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* name;
    Call call;
    Matrix a;
    Matrix b;
    std::vector<float> record;  // the pivot record a solve-only call takes
    bool aUntouched;
  } cases[] = {
      {"LEQT1C, zero row", Call::kLeqt1c, {{1, 0}, {0, 0}, {2, 1}, {0, 0}}, {{1, 0}, {2, 0}}, {}, true},
      {"LEQT1C, dependent columns", Call::kLeqt1c, {{1, 0}, {2, 0}, {2, 0}, {4, 0}}, {{1, 0}, {1, 0}}, {}, false},
      {"LEQT1C, element not a number", Call::kLeqt1c, {{1, 0}, {0, 0}, {0, 0}, {nan, 0}}, {{1, 0}, {1, 0}}, {},
       false},
      {"LEQT1C, foreign pivot record (row 3 of 2)", Call::kLeqt1cWithRecord, {{1, 0}, {0, 0}, {0, 0}, {1, 0}},
       {{1, 0}, {2, 0}}, {3.0f, 1.0f}, true},
      {"LEQ2C, zero row", Call::kLeq2c, {{1, 0}, {0, 0}, {2, 1}, {0, 0}}, {{1, 0}, {2, 0}}, {}, true},
  };
  for (Case& c : cases) {
    const Matrix aBefore = c.a, bBefore = c.b;
    int ier = 0;
    if (c.call == Call::kLeq2c) {
      Leq2cWork w(2);
      LEQ2C(c.a.data(), 2, 2, c.b.data(), 1, 2, 0, w.wa.data(), w.wk.data(), ier);
    } else {
      std::vector<float> wa = c.record;
      wa.resize(2);
      LEQT1C(c.a.data(), 2, 2, c.b.data(), 1, 2, c.call == Call::kLeqt1c ? 0 : 2, wa.data(), ier);
    }
    EXPECT_EQ(ier, 129) << c.name;
    for (std::size_t k = 0; k < bBefore.size(); ++k) EXPECT_TRUE(SameBits(c.b[k], bBefore[k])) << c.name << ", b " << k;
    if (c.aUntouched) {
      EXPECT_EQ(c.a, aBefore) << c.name;
    }
  }
}

// ---------------------------------------------------------------- CINVRT

// The inversion as one plain loop: the arithmetic every faster form must
// reproduce bit for bit.
void PlainInverse(Matrix& a, int ld, int n) {
  for (int k = 0; k < n; ++k) {
    const cfloat p = At(a, ld, k, k);
    At(a, ld, k, k) = cfloat(1.0f, 0.0f);
    for (int j = 0; j < n; ++j) At(a, ld, k, j) = At(a, ld, k, j) / p;
    for (int i = 0; i < n; ++i) {
      if (i == k) continue;
      const cfloat t = At(a, ld, i, k);
      At(a, ld, i, k) = cfloat(0.0f, 0.0f);
      const double tr = t.real(), ti = t.imag();
      for (int j = 0; j < n; ++j) {
        const cfloat akj = At(a, ld, k, j);
        const cfloat aij = At(a, ld, i, j);
        const double re = static_cast<double>(aij.real()) - (tr * akj.real() - ti * static_cast<double>(akj.imag()));
        const double im = static_cast<double>(aij.imag()) - (tr * akj.imag() + ti * static_cast<double>(akj.real()));
        At(a, ld, i, j) = cfloat(static_cast<float>(re), static_cast<float>(im));
      }
    }
  }
}

TEST(CINVRT, IdentityAndDiagonal) {
  const int n = 4;
  Matrix id(n * n, cfloat(0, 0)), diag(n * n, cfloat(0, 0));
  const cfloat d[n] = {{2, 0}, {0, -4}, {3, 4}, {-0.5f, 0.25f}};
  for (int i = 0; i < n; ++i) {
    At(id, n, i, i) = cfloat(1, 0);
    At(diag, n, i, i) = d[i];
  }
  const Matrix identity = id;
  int ier = -1;
  CINVRT(id.data(), n, n, ier);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(id, identity);
  CINVRT(diag.data(), n, n, ier);
  EXPECT_EQ(ier, 0);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i)
      EXPECT_EQ(At(diag, n, i, j), i == j ? cfloat(1, 0) / d[i] : cfloat(0, 0)) << i << j;
}

TEST(CINVRT, BitIdenticalToThePlainLoop) {
  // Orders below and above one panel of pivots,
  // with a leading dimension larger than the order.
  for (int n : {1, 3, 17, 100, 200, 333}) {
    const int ld = n + 5;
    Matrix fast = RandomMatrix(n, ld, 100 + n, 2.0f);
    Matrix plain = fast;
    int ier = -1;
    CINVRT(fast.data(), ld, n, ier);
    PlainInverse(plain, ld, n);
    ASSERT_EQ(ier, 0) << n;
    int differing = 0;
    for (std::size_t k = 0; k < fast.size(); ++k) differing += !SameBits(fast[k], plain[k]);
    EXPECT_EQ(differing, 0) << "order " << n;
  }
}

TEST(CINVRT, BadPivotIsReportedAndLeavesTheMatrix) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* name;
    Matrix a;
  } cases[] = {
      {"zero first pivot", {{0, 0}, {1, 0}, {1, 0}, {1, 0}}},
      {"zero second pivot", {{1, 0}, {1, 0}, {1, 0}, {1, 0}}},
      {"not a number", {{1, 0}, {0, 0}, {0, 0}, {nan, 0}}},
      {"infinite", {{inf, 0}, {0, 0}, {0, 0}, {1, 0}}},
      {"inverse beyond single precision", {{1.0e-39f, 0}, {0, 0}, {0, 0}, {1.0f, 0}}},
  };
  for (Case& c : cases) {
    const Matrix before = c.a;
    int ier = 0;
    CINVRT(c.a.data(), 2, 2, ier);
    EXPECT_EQ(ier, 129) << c.name;
    for (std::size_t k = 0; k < before.size(); ++k) EXPECT_TRUE(SameBits(c.a[k], before[k])) << c.name;
  }
  // The same for a large matrix that runs through many panels.
  const int n = 300;
  Matrix big = RandomMatrix(n, n, 7, 2.0f);
  for (int j = 0; j < n; ++j) At(big, n, 150, j) = cfloat(0, 0);
  const Matrix before = big;
  int ier = 0;
  CINVRT(big.data(), n, n, ier);
  EXPECT_EQ(ier, 129);
  EXPECT_EQ(big, before);
}

TEST(CINVRT, AgreesWithLeq2cOnRandomMatrices) {
  for (int n : {1, 2, 6, 13, 40, 120}) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      const Matrix a = RandomMatrix(n, n, seed * 1000 + n, 0.6f * std::sqrt(static_cast<float>(n)) + 1.0f);
      Matrix inv = a;
      int ier = -1;
      CINVRT(inv.data(), n, n, ier);
      ASSERT_EQ(ier, 0);
      Matrix x(static_cast<std::size_t>(n) * n, cfloat(0, 0));
      for (int i = 0; i < n; ++i) At(x, n, i, i) = cfloat(1, 0);
      Leq2cWork w(n);
      LEQ2C(a.data(), n, n, x.data(), n, n, 0, w.wa.data(), w.wk.data(), ier);
      ASSERT_EQ(ier, 0) << n;
      float scale = 0.0f, diff = 0.0f;
      for (std::size_t k = 0; k < x.size(); ++k) {
        scale = std::max(scale, std::abs(x[k]));
        diff = std::max(diff, std::abs(x[k] - inv[k]));
      }
      EXPECT_LT(diff, 1.0e-5f * scale) << "order " << n << " seed " << seed;
    }
  }
}

}  // namespace
