// Rigid-body transformation of impedance matrices to the centre of gravity.
#include <gtest/gtest.h>

#include <complex>
#include <vector>

#include "transforms.h"

namespace {

using C = std::complex<float>;

TEST(TransformsTest, TrigHoldsTheLeverArms) {
  float T[36];
  BuildTRIG(T, 1.5f, -2.0f, 3.0f);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(T[M6(i, i)], 1.0f);
  EXPECT_EQ(T[M6(1, 5)], -3.0f);
  EXPECT_EQ(T[M6(1, 6)], -2.0f);
  EXPECT_EQ(T[M6(2, 4)], 3.0f);
  EXPECT_EQ(T[M6(2, 6)], -1.5f);
  EXPECT_EQ(T[M6(3, 4)], 2.0f);
  EXPECT_EQ(T[M6(3, 5)], 1.5f);
  int nonzero = 0;
  for (float t : T) nonzero += (t != 0.0f);
  EXPECT_EQ(nonzero, 12);
}

// Springs kx, ky, kz, krx, kry, kt at a base point; seen from a centre of
// gravity at (xg, yg, zg) the rotations pick up the lever arms:
//   R(1,5) = R(5,1) = -zg kx,  R(2,4) = zg ky,  R(3,4) = -yg kz,
//   R(4,4) = krx + zg^2 ky + yg^2 kz,  R(5,5) = kry + zg^2 kx + xg^2 kz,
//   R(6,6) = kt + yg^2 kx + xg^2 ky,  R(4,5) = -xg yg kz.
TEST(TransformsTest, Ctran6MovesSpringsToTheCentreOfGravity) {
  const float xg = 0.5f, yg = -0.25f, zg = 2.0f;
  const C kx(100.0f, 10.0f), ky(200.0f, 20.0f), kz(300.0f, 30.0f);
  const C krx(400.0f, 40.0f), kry(500.0f, 50.0f), kt(600.0f, 60.0f);
  C Z[36] = {};
  Z[M6(1, 1)] = kx; Z[M6(2, 2)] = ky; Z[M6(3, 3)] = kz;
  Z[M6(4, 4)] = krx; Z[M6(5, 5)] = kry; Z[M6(6, 6)] = kt;
  float T[36];
  BuildTRIG(T, xg, yg, zg);
  C R[36];
  CTRAN6(Z, T, R, 6);
  auto near = [](C a, C b) { return std::abs(a - b) <= 1e-5f * std::abs(b) + 1e-6f; };
  EXPECT_TRUE(near(R[M6(1, 5)], -zg * kx));
  EXPECT_TRUE(near(R[M6(5, 1)], -zg * kx));
  EXPECT_TRUE(near(R[M6(2, 4)], zg * ky));
  EXPECT_TRUE(near(R[M6(3, 4)], -yg * kz));
  EXPECT_TRUE(near(R[M6(4, 4)], krx + zg * zg * ky + yg * yg * kz));
  EXPECT_TRUE(near(R[M6(5, 5)], kry + zg * zg * kx + xg * xg * kz));
  EXPECT_TRUE(near(R[M6(6, 6)], kt + yg * yg * kx + xg * xg * ky));
  EXPECT_TRUE(near(R[M6(4, 5)], -xg * yg * kz));
  for (int i = 1; i <= 6; ++i)
    for (int j = 1; j <= 6; ++j) EXPECT_EQ(R[M6(i, j)], R[M6(j, i)]) << i << "," << j;
}

// With the identity as T the result is Z itself, element by element, also
// for a full unsymmetric matrix.
TEST(TransformsTest, Ctran6WithIdentityCopies) {
  C Z[36];
  for (int k = 0; k < 36; ++k) Z[k] = C(1.0f + k, -0.5f * k);
  float T[36];
  BuildTRIG(T, 0.0f, 0.0f, 0.0f);
  C R[36];
  CTRAN6(Z, T, R, 6);
  for (int k = 0; k < 36; ++k) EXPECT_EQ(R[k], Z[k]);
}

// The sum is kept in double: 1e8 + 1 - 1e8 survives, which a float
// accumulator would lose.
TEST(TransformsTest, Ctran6AccumulatesInDouble) {
  C Z[36] = {};
  Z[M6(1, 1)] = C(1.0e8f, 0.0f);
  Z[M6(1, 2)] = C(1.0f, 0.0f);
  Z[M6(2, 1)] = C(-1.0e8f, 0.0f);
  float T[36] = {};
  T[M6(1, 1)] = 1.0f;
  T[M6(2, 1)] = 1.0f;
  T[M6(2, 2)] = 1.0f;
  // R(1,2) = T(1,1) Z(1,2) T(2,2) + T(2,1) Z(2,2) T(2,2) ... = 1, and
  // R(1,1) = Z11 + Z12 + Z21 + Z22 = 1e8 + 1 - 1e8 = 1.
  C R[36];
  CTRAN6(Z, T, R, 2);
  EXPECT_EQ(R[M6(1, 1)].real(), 1.0f);
  EXPECT_EQ(R[M6(1, 2)].real(), 1.0f);
}

}  // namespace
