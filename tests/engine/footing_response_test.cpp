// Footing response kernels: Simpson sums, the dynamic matrix and
// the per-point solutions of the three load kinds.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>

#include "footing_response.h"
#include "run_state.h"
#include "transforms.h"

namespace {

using C = std::complex<float>;

TEST(FootingResponseTest, SimpsonWeights) {
  const float y[] = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f};
  float s = 0.0f;
  SIMPSN(y, 3, 0.5f, s);  // (1 + 8 + 3) 0.5 / 3 = 2
  EXPECT_FLOAT_EQ(s, 2.0f);
  SIMPSN(y, 4, 0.5f, s);  // (1 + 8 + 6 + 4) 0.5 / 3
  EXPECT_FLOAT_EQ(s, 19.0f * 0.5f / 3.0f);
  SIMPSN(y, 5, 1.0f, s);  // (1 + 8 + 6 + 16 + 5) / 3 = 12: exact for a line
  EXPECT_FLOAT_EQ(s, 12.0f);
  SIMPSN(y, 2, 2.0f, s);  // degenerate: trapezoid
  EXPECT_FLOAT_EQ(s, 3.0f);
  SIMPSN(y, 1, 2.0f, s);
  EXPECT_EQ(s, 0.0f);
}

// Simpson's rule integrates x^2 exactly: over 0..2 with 5 points, 8/3.
TEST(FootingResponseTest, SimpsonIsExactForAParabola) {
  float y[5];
  for (int i = 0; i < 5; ++i) y[i] = (0.5f * i) * (0.5f * i);
  float s = 0.0f;
  SIMPSN(y, 5, 0.5f, s);
  EXPECT_NEAR(s, 8.0f / 3.0f, 1e-6f);
}

TEST(FootingResponseTest, DynamicMatrixSubtractsInertia) {
  C Z[36];
  for (int k = 0; k < 36; ++k) Z[k] = C(100.0f + k, 1.0f + k);
  C D[36];
  for (int k = 0; k < 36; ++k) D[k] = Z[k];
  const float mascon[7] = {2.0f, 3.0f, 4.0f, 5.0f, 0.5f, 0.25f, 0.125f};
  const float w = 2.0f;  // w^2 = 4
  DYNMAT(D, w, mascon);
  for (int i = 1; i <= 6; ++i)
    for (int j = 1; j <= 6; ++j) {
      float dm = 0.0f;
      if (i == j) dm = -4.0f * (i <= 3 ? 2.0f : mascon[i - 3]);
      if ((i == 4 && j == 5) || (i == 5 && j == 4)) dm = 4.0f * 0.5f;
      if ((i == 4 && j == 6) || (i == 6 && j == 4)) dm = 4.0f * 0.25f;
      if ((i == 5 && j == 6) || (i == 6 && j == 5)) dm = 4.0f * 0.125f;
      EXPECT_EQ(D[M6(i, j)], Z[M6(i, j)] + C(dm, 0.0f)) << i << "," << j;
    }
}

// A diagonal dynamic matrix: each amplitude is |F / d|.
TEST(FootingResponseTest, HarmonicPointDiagonal) {
  auto R = std::make_unique<::Run>();
  C D[36] = {};
  const C d[6] = {{2, 1}, {3, -4}, {1, 0}, {0, 2}, {5, 5}, {-1, 0}};
  for (int i = 1; i <= 6; ++i) D[M6(i, i)] = d[i - 1];
  const float famp[6] = {1, 2, 3, 4, 5, 6};
  float amp[6];
  ASSERT_TRUE(HarmonicPoint(*R, D, famp, 1, 3.0f, amp));
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(amp[i], famp[i] / std::abs(d[i]), 1e-6f * amp[i]);
  // Quadratic: the coefficients times w^2 = 9.
  ASSERT_TRUE(HarmonicPoint(*R, D, famp, 2, 3.0f, amp));
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(amp[i], 9.0f * famp[i] / std::abs(d[i]), 1e-5f * amp[i]);
  // Quadratic with all coefficients 0: every amplitude 0.
  const float zero[6] = {};
  ASSERT_TRUE(HarmonicPoint(*R, D, zero, 2, 3.0f, amp));
  for (float a : amp) EXPECT_EQ(a, 0.0f);
}

TEST(FootingResponseTest, SingularOrNonFiniteMatrixIsAFailure) {
  auto R = std::make_unique<::Run>();
  C D[36] = {};
  for (int i = 1; i <= 5; ++i) D[M6(i, i)] = C(1.0f, 0.0f);  // row 6 all zero
  const float famp[6] = {1, 1, 1, 1, 1, 1};
  float amp[6] = {7, 7, 7, 7, 7, 7};
  EXPECT_FALSE(HarmonicPoint(*R, D, famp, 1, 1.0f, amp));
  for (float a : amp) EXPECT_EQ(a, 0.0f);
  D[M6(6, 6)] = C(NAN, 0.0f);
  EXPECT_FALSE(HarmonicPoint(*R, D, famp, 1, 1.0f, amp));
  C fl[6] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}};
  EXPECT_FALSE(TransientPoint(*R, D, fl));
  EXPECT_EQ(fl[5], C(6, 0));
  float s[6];
  C cs[36] = {};
  EXPECT_FALSE(RandomPoint(*R, D, cs, s));
}

// Random: with a diagonal DYN, H = diag(1 / d) and
// SRESP(r) = |1 / d_r|^2 CSPEC(r, r) (the off-diagonal spectra meet a zero H).
// A full 2 x 2 block checks the cross terms: with H(1,1) = a, H(1,2) = b,
// SRESP(1) = |a|^2 S11 + |b|^2 S22 + 2 Re(conj(a) b) S12 for symmetric S.
TEST(FootingResponseTest, RandomPointTransfersTheSpectra) {
  auto R = std::make_unique<::Run>();
  C D[36] = {};
  const C d[6] = {{2, 1}, {3, -4}, {1, 0.5f}, {0, 2}, {5, 5}, {-1, 0.1f}};
  for (int i = 1; i <= 6; ++i) D[M6(i, i)] = d[i - 1];
  C cs[36] = {};
  for (int i = 1; i <= 6; ++i) cs[M6(i, i)] = C(float(i), 0.0f);
  cs[M6(3, 4)] = cs[M6(4, 3)] = C(0.7f, 0.0f);
  float s[6];
  ASSERT_TRUE(RandomPoint(*R, D, cs, s));
  for (int r = 1; r <= 6; ++r) EXPECT_NEAR(s[r - 1], r / std::norm(d[r - 1]), 1e-5f * s[r - 1]);

  // Block [[p, q], [q, p]]: inverse [[p, -q], [-q, p]] / (p^2 - q^2).
  C B[36] = {};
  const C p(4.0f, 1.0f), q(1.0f, -0.5f);
  B[M6(1, 1)] = B[M6(2, 2)] = p;
  B[M6(1, 2)] = B[M6(2, 1)] = q;
  for (int i = 3; i <= 6; ++i) B[M6(i, i)] = C(1.0f, 0.0f);
  C sp[36] = {};
  sp[M6(1, 1)] = C(2.0f, 0.0f);
  sp[M6(2, 2)] = C(3.0f, 0.0f);
  sp[M6(1, 2)] = sp[M6(2, 1)] = C(0.5f, 0.0f);
  ASSERT_TRUE(RandomPoint(*R, B, sp, s));
  const C det = p * p - q * q, a = p / det, b = -q / det;
  const float want = std::norm(a) * 2.0f + std::norm(b) * 3.0f + 2.0f * (std::conj(a) * b).real() * 0.5f;
  EXPECT_NEAR(s[0], want, 1e-5f * want);
}

// Transient of 8 points: points 6..8 mirror 4..2; 1 and 5 become real.
TEST(FootingResponseTest, CompleteSpectrumEven) {
  C f[6 * 8];
  for (int k = 1; k <= 8; ++k)
    for (int d = 0; d < 6; ++d) f[6 * (k - 1) + d] = C(10.0f * k + d, k <= 5 ? 1.0f + k : 99.0f);
  CompleteSpectrum(f, 8);
  for (int d = 0; d < 6; ++d) {
    EXPECT_EQ(f[d], C(10.0f + d, 0.0f));
    EXPECT_EQ(f[6 * 4 + d], C(50.0f + d, 0.0f));
    for (int k = 2; k <= 4; ++k) EXPECT_EQ(f[6 * (k - 1) + d], C(10.0f * k + d, 1.0f + k));
    for (int k = 6; k <= 8; ++k) EXPECT_EQ(f[6 * (k - 1) + d], std::conj(f[6 * (8 + 1 - k) + d]));
  }
}

// Odd 7 points: the solved half is 1..4, points 5..7 mirror 4..2 and no
// solved point loses its imaginary part (there is no Nyquist point).
TEST(FootingResponseTest, CompleteSpectrumOdd) {
  C f[6 * 7];
  for (int k = 1; k <= 7; ++k)
    for (int d = 0; d < 6; ++d) f[6 * (k - 1) + d] = C(10.0f * k + d, k <= 4 ? 1.0f + k : 99.0f);
  CompleteSpectrum(f, 7);
  for (int d = 0; d < 6; ++d) {
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(f[6 * (k - 1) + d], C(10.0f * k + d, 1.0f + k));
    for (int k = 5; k <= 7; ++k) EXPECT_EQ(f[6 * (k - 1) + d], std::conj(f[6 * (7 + 1 - k) + d]));
  }
}

// m0 and m2 by Simpson over the spectrum; nu0 = sqrt(m2 / m0) / 2 pi;
// G = s + 0.5772 / s with s = sqrt(2 ln(T nu0)).
TEST(FootingResponseTest, RandomStatisticsOfAFlatSpectrum) {
  float S[5] = {2, 2, 2, 2, 2};
  const float wmin = 10.0f, h = 5.0f, T = 100.0f;
  RandomPeak p = RandomStatistics(S, 5, wmin, h, T);
  const double m0 = 2.0 * 20.0;  // exact for a constant
  // m2: Simpson of 2 w^2 over 10..30 is exact for a parabola: 2 (30^3 - 10^3) / 3.
  const double m2 = 2.0 * (27000.0 - 1000.0) / 3.0;
  const double nu0 = std::sqrt(m2 / m0) / (2 * 3.1415927);
  const double s = std::sqrt(2 * std::log(T * nu0));
  EXPECT_NEAR(p.m0, m0, 1e-4);
  EXPECT_NEAR(p.m2, m2, 1e-2);
  EXPECT_NEAR(p.G, s + 0.5772 / s, 1e-5);
  EXPECT_NEAR(p.xmax, std::sqrt(m0) * (s + 0.5772 / s), 1e-4);
  EXPECT_TRUE(p.defined);

  const float zero[5] = {};
  p = RandomStatistics(zero, 5, wmin, h, T);
  EXPECT_EQ(p.G, 0.0f);
  EXPECT_EQ(p.xmax, 0.0f);
  // An observation period below 1 / nu0 has no peak factor.
  p = RandomStatistics(S, 5, wmin, h, 0.1f);
  EXPECT_FALSE(p.defined);
  EXPECT_EQ(p.xmax, 0.0f);
}

}  // namespace
