// Real high-accuracy solvers: decomposition with the accuracy test,
// substitution, iterative improvement, solve and inverse drivers.
#include "real_solvers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "run_state.h"

namespace {

using Matrix = std::vector<float>;  // column-major, leading dimension = order

// A run whose report (channel 16) goes to a temporary file; Lines() reads
// what the routines wrote.
class ReportedRun {
 public:
  ReportedRun()
      : path_((std::filesystem::temp_directory_path() / ("real_solvers_" + std::to_string(::getpid()))).string()) {
    EXPECT_TRUE(R.ch.Open(16, path_, true));
  }
  ~ReportedRun() {
    R.ch.Close(16);
    std::filesystem::remove(path_);
  }
  std::vector<std::string> Lines() {
    R.ch.Rewind(16);
    std::vector<std::string> out;
    std::string line;
    while (R.ch.Read(16, line) == ChannelTable::kRead) out.push_back(line);
    return out;
  }
  ::Run R;

 private:
  std::string path_;
};

Matrix Hilbert(int n) {
  Matrix a(static_cast<std::size_t>(n) * n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) a[static_cast<std::size_t>(j) * n + i] = 1.0f / static_cast<float>(i + j + 1);
  return a;
}

// The solution of the single-precision system itself, by elimination in
// double with partial pivoting.
std::vector<double> ExactSolution(const Matrix& af, const std::vector<float>& bf, int n) {
  std::vector<double> a(af.begin(), af.end()), b(bf.begin(), bf.end());
  auto at = [&](int i, int j) -> double& { return a[static_cast<std::size_t>(j) * n + i]; };
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i)
      if (std::fabs(at(i, k)) > std::fabs(at(p, k))) p = i;
    for (int j = 0; j < n; ++j) std::swap(at(k, j), at(p, j));
    std::swap(b[k], b[p]);
    for (int i = k + 1; i < n; ++i) {
      const double m = at(i, k) / at(k, k);
      for (int j = k; j < n; ++j) at(i, j) -= m * at(k, j);
      b[i] -= m * b[k];
    }
  }
  for (int i = n - 1; i >= 0; --i) {
    double s = b[i];
    for (int j = i + 1; j < n; ++j) s -= at(i, j) * b[j];
    b[i] = s / at(i, i);
  }
  return b;
}

double LargestRelativeError(const std::vector<float>& x, const std::vector<double>& exact) {
  double e = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) e = std::max(e, std::fabs(x[i] - exact[i]) / std::fabs(exact[i]));
  return e;
}

TEST(LEQT2F, SolvesTwoRightHandSidesExactly) {
  ReportedRun run;
  // 2x - y = 1, -x + 2y - z = 0, -y + 2z = 1 has x = y = z = 1; the second
  // right-hand side has the solution (1, 2, 3).
  Matrix a = {2, -1, 0, -1, 2, -1, 0, -1, 2};
  const Matrix original = a;
  std::vector<float> b = {1, 0, 1, 0, 0, 4};
  std::vector<float> wk(3 * (3 + 3));
  int idgt = 0, ier = -1;
  LEQT2F(run.R, a.data(), 2, 3, 3, b.data(), idgt, wk.data(), ier);
  EXPECT_EQ(ier, 0);
  const std::vector<float> expected = {1, 1, 1, 1, 2, 3};
  for (int k = 0; k < 6; ++k) EXPECT_FLOAT_EQ(b[k], expected[k]) << k;
  EXPECT_EQ(a, original);  // restored from the work area's copy
  EXPECT_GE(idgt, 6);      // the first solution needed no change
  EXPECT_TRUE(run.Lines().empty());
}

TEST(LINV2F, InvertsAKnownMatrix) {
  ReportedRun run;
  // Leading dimension 4 for an order-3 matrix: the fourth row is not used.
  Matrix a = {2, -1, 0, 99, -1, 2, -1, 99, 0, -1, 2, 99};
  Matrix inv(12, -7.0f);
  std::vector<float> wk(3 * 6);
  int idgt = 0, ier = -1;
  LINV2F(run.R, a.data(), 3, 4, inv.data(), idgt, wk.data(), ier);
  EXPECT_EQ(ier, 0);
  const float expected[3][3] = {{0.75f, 0.5f, 0.25f}, {0.5f, 1.0f, 0.5f}, {0.25f, 0.5f, 0.75f}};
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(inv[4 * j + i], expected[i][j], 1e-7f) << i << j;
  for (int j = 0; j < 3; ++j) EXPECT_EQ(inv[4 * j + 3], -7.0f);  // outside the order: untouched
  EXPECT_EQ(a[3], 99.0f);
}

struct SingularCase {
  const char* name;
  Matrix a;  // order 3
};

class RealSingular : public ::testing::TestWithParam<SingularCase> {};

TEST_P(RealSingular, Is129WithTheMessagesAndLeavesBAlone) {
  ReportedRun run;
  Matrix a = GetParam().a;
  const Matrix original = a;
  std::vector<float> b = {1, 2, 3};
  std::vector<float> wk(3 * 6);
  int idgt = 0, ier = 0;
  LEQT2F(run.R, a.data(), 1, 3, 3, b.data(), idgt, wk.data(), ier);
  EXPECT_EQ(ier, 129);
  EXPECT_EQ(b, (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(std::memcmp(a.data(), original.data(), a.size() * sizeof(float)), 0);  // NaN included
  EXPECT_EQ(run.Lines(), (std::vector<std::string>{" ERROR ENCOUNTERED IN SUBROUTINE LUDATF",
                                                   " ERROR ENCOUNTERED IN SUBROUTINE LEQT2F"}));
  // The inverse driver adds its own line.
  Matrix inv(9);
  LINV2F(run.R, a.data(), 3, 3, inv.data(), idgt, wk.data(), ier);
  EXPECT_EQ(ier, 129);
  EXPECT_EQ(run.Lines().back(), " ERROR ENCOUNTERED IN SUBROUTINE LINV2F");
}

INSTANTIATE_TEST_SUITE_P(
    Matrices, RealSingular,
    ::testing::Values(SingularCase{"ZeroRow", {1, 0, 2, 3, 0, 4, 5, 0, 6}},
                      SingularCase{"DependentRows", {1, 2, 4, 2, 4, 1, 3, 6, 2}},
                      SingularCase{"NotFinite", {1, 0, 0, 0, NAN, 0, 0, 0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

// Hilbert matrices: the accuracy test fails where the data's digits cannot
// carry the smallest pivot, and improvement recovers what plain
// substitution loses.
TEST(LUDATF, AccuracyTestWarnsWithinTheDataUncertainty) {
  ReportedRun run;
  const int n = 6;
  const Matrix a = Hilbert(n);
  Matrix lu(a.size());
  std::vector<float> equil(n), wa(n);
  std::vector<int> ipvt(n);
  float d1 = 0, d2 = 0;
  int ier = -1;
  LUDATF(run.R, a.data(), lu.data(), n, n, 3, d1, d2, ipvt.data(), equil.data(), wa.data(), ier);
  EXPECT_EQ(ier, 34);
  EXPECT_EQ(run.Lines(), std::vector<std::string>{" ERROR ENCOUNTERED IN SUBROUTINE LUDATF"});
  // No test at IDGT = 0, and a well-conditioned matrix passes at 3 digits.
  LUDATF(run.R, a.data(), lu.data(), n, n, 0, d1, d2, ipvt.data(), equil.data(), wa.data(), ier);
  EXPECT_EQ(ier, 0);
  const Matrix tri = {2, -1, 0, -1, 2, -1, 0, -1, 2};
  LUDATF(run.R, tri.data(), lu.data(), 3, 3, 3, d1, d2, ipvt.data(), equil.data(), wa.data(), ier);
  EXPECT_EQ(ier, 0);
  EXPECT_NEAR(d1 * std::pow(2.0f, d2), 4.0f, 4e-6f);
  // The determinant is D1 2^D2 with 1/16 <= |D1| < 1; the row interchanges
  // give its sign: det [1 2 3; 4 5 6; 7 8 10] = -3.
  const Matrix m = {1, 4, 7, 2, 5, 8, 3, 6, 10};
  LUDATF(run.R, m.data(), lu.data(), 3, 3, 0, d1, d2, ipvt.data(), equil.data(), wa.data(), ier);
  EXPECT_EQ(ier, 0);
  EXPECT_GE(std::fabs(d1), 0.0625f);
  EXPECT_LT(std::fabs(d1), 1.0f);
  EXPECT_NEAR(d1 * std::pow(2.0f, d2), -3.0f, 1e-5f);
  EXPECT_EQ(ipvt[0], 3);  // the largest scaled element of the first column
}

TEST(LUREFF, ImprovesAnIllConditionedSolveAndReturnsItsDigits) {
  ReportedRun run;
  const int n = 6;
  const Matrix a = Hilbert(n);
  std::vector<float> b(n);
  for (int i = 0; i < n; ++i) {
    double s = 0.0;
    for (int j = 0; j < n; ++j) s += a[static_cast<std::size_t>(j) * n + i];
    b[i] = static_cast<float>(s);
  }
  const std::vector<double> exact = ExactSolution(a, b, n);
  Matrix lu(a.size());
  std::vector<float> equil(n), wa(n), x(n), res(n), dx(n);
  std::vector<int> ipvt(n);
  float d1 = 0, d2 = 0;
  int ier = -1;
  LUDATF(run.R, a.data(), lu.data(), n, n, 0, d1, d2, ipvt.data(), equil.data(), wa.data(), ier);
  ASSERT_EQ(ier, 0);
  LUSUBF(lu.data(), b.data(), ipvt.data(), n, n, x.data());
  const double before = LargestRelativeError(x, exact);
  EXPECT_GT(before, 1e-4);  // cond(H6) ~ 1.5e7: most digits lost
  int idgt = -1;
  LUREFF(run.R, a.data(), b.data(), lu.data(), ipvt.data(), n, n, x.data(), idgt, res.data(), dx.data(), ier);
  EXPECT_EQ(ier, 0);
  EXPECT_LT(LargestRelativeError(x, exact), 4 * 1.2e-7);
  // The digits the first solution had right.
  EXPECT_GE(idgt, 0);
  EXPECT_LE(idgt, static_cast<int>(-std::log10(before)) + 1);
  EXPECT_TRUE(run.Lines().empty());

  // The driver refines when the accuracy test fails, returns the warning
  // and the digits, and its solution is the improved one.
  Matrix ac = a;
  std::vector<float> bc = b, wk(n * (n + 3));
  int digits = 3;
  LEQT2F(run.R, ac.data(), 1, n, n, bc.data(), digits, wk.data(), ier);
  EXPECT_EQ(ier, 34);
  EXPECT_LT(LargestRelativeError(bc, exact), 4 * 1.2e-7);
  EXPECT_EQ(digits, idgt);
  EXPECT_EQ(run.Lines(), (std::vector<std::string>{" ERROR ENCOUNTERED IN SUBROUTINE LUDATF",
                                                   " ERROR ENCOUNTERED IN SUBROUTINE LEQT2F"}));
}

}  // namespace
