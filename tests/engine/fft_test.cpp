#include "fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace {

using Cx = std::complex<float>;
using Cd = std::complex<double>;

// Direct sum with exp(+2 pi i j k / n), in double.
std::vector<Cd> DirectSum(const std::vector<Cx>& x) {
  const int n = static_cast<int>(x.size());
  std::vector<Cd> X(n);
  for (int k = 0; k < n; ++k) {
    Cd s = 0.0;
    for (int j = 0; j < n; ++j) {
      const long long jk = (static_cast<long long>(j) * k) % n;
      const double a = 2.0 * M_PI * static_cast<double>(jk) / n;
      s += Cd(x[j]) * Cd(std::cos(a), std::sin(a));
    }
    X[k] = s;
  }
  return X;
}

std::vector<Cx> RandomVector(int n, unsigned seed) {
  std::mt19937 g(seed);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  std::vector<Cx> x(n);
  for (auto& v : x) v = Cx(u(g), u(g));
  return x;
}

class CfftLength : public ::testing::TestWithParam<int> {};

TEST_P(CfftLength, EqualsDirectSum) {
  const int n = GetParam();
  const std::vector<Cx> x = RandomVector(n, 1234u + static_cast<unsigned>(n));
  const std::vector<Cd> ref = DirectSum(x);
  std::vector<Cx> a = x;
  CFFT(a.data(), n);
  // Single precision: error relative to the norm of the input, which bounds
  // every output (|X(k)| <= sum |x|, RMS about sqrt(n) |x|).
  double norm = 0.0;
  for (const auto& v : x) norm += std::norm(Cd(v));
  norm = std::sqrt(norm);
  double worst = 0.0;
  for (int k = 0; k < n; ++k) worst = std::max(worst, std::abs(Cd(a[k]) - ref[k]));
  EXPECT_LT(worst / norm, 2e-6 * std::log2(static_cast<double>(n) + 1.0) + 1e-6) << "n=" << n;
}

INSTANTIATE_TEST_SUITE_P(Lengths, CfftLength,
                         ::testing::Values(2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 16, 18, 25, 27, 30,
                                           32, 36, 45, 49, 60, 64, 72, 97, 100, 121, 128, 210,
                                           243, 256, 360, 500, 512, 625, 720, 1000, 1018, 1021,
                                           1024, 2 * 3 * 5 * 7 * 11, 4 * 509, 9 * 113, 2048));

TEST(Cfft, LengthOneIsUnchanged) {
  Cx a[1] = {Cx(3.5f, -1.25f)};
  CFFT(a, 1);
  EXPECT_EQ(a[0], Cx(3.5f, -1.25f));
  CFFT(a, 0);  // nothing to do, no access
  EXPECT_EQ(a[0], Cx(3.5f, -1.25f));
}

TEST(Cfft, EightPointsUsePositiveExponent) {
  // A unit impulse at j = 1 gives X(k) = exp(+2 pi i k / 8).
  std::vector<Cx> a(8, Cx(0.0f, 0.0f));
  a[1] = Cx(1.0f, 0.0f);
  CFFT(a.data(), 8);
  for (int k = 0; k < 8; ++k) {
    EXPECT_NEAR(a[k].real(), std::cos(2.0 * M_PI * k / 8), 1e-6) << k;
    EXPECT_NEAR(a[k].imag(), std::sin(2.0 * M_PI * k / 8), 1e-6) << k;
  }
}

TEST(Cfft, NoScalingOfConstant) {
  for (int n : {6, 49, 97, 1024}) {
    std::vector<Cx> a(n, Cx(1.0f, 0.0f));
    CFFT(a.data(), n);
    EXPECT_NEAR(a[0].real(), n, 1e-3 * n) << n;
    for (int k = 1; k < n; ++k) EXPECT_NEAR(std::abs(a[k]), 0.0f, 1e-5 * n) << n << " " << k;
  }
}

TEST(Cfft, RealInputIsConjugateSymmetric) {
  for (int n : {6, 10, 12, 49, 97, 1024}) {
    std::vector<Cx> a = RandomVector(n, 99u);
    for (auto& v : a) v = Cx(v.real(), 0.0f);
    CFFT(a.data(), n);
    EXPECT_NEAR(a[0].imag(), 0.0f, 1e-5f * n);
    for (int k = 1; k < n; ++k) {
      EXPECT_NEAR(a[n - k].real(), a[k].real(), 2e-6f * n) << n << " " << k;
      EXPECT_NEAR(a[n - k].imag(), -a[k].imag(), 2e-6f * n) << n << " " << k;
    }
  }
}

}  // namespace
