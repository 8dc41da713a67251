// Head stiffness of a single pile and the band solver behind it.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "pile_element.h"

namespace {

using C = std::complex<float>;

// One pile element in one layer: the twelve head values printed with the
// element model.
struct OneElement {
  float h[30], vs[30], uw[30], pr[30], dmp[30], r[30], A[30], I[30], J[30];
  float wm[30], wpr[30], wd[30], wt[30], cm[30], cd[30];
  PileElementArgs a;
  OneElement() {
    for (int i = 0; i < 30; ++i) {
      h[i] = 20.0f; vs[i] = 300.0f; uw[i] = 110.0f; pr[i] = 0.35f; dmp[i] = 0.05f;
      r[i] = 0.5f; A[i] = 0.785f; I[i] = 0.049f; J[i] = 0.098f;
      wm[i] = 1.0f; wpr[i] = 0.35f; wd[i] = 0.05f; wt[i] = 0.0f; cm[i] = 1.0f; cd[i] = 1.0f;
    }
    a.model = 0; a.uwPile = 150.0f; a.prPile = 0.25f; a.g = 32.2f; a.shearCoef = 1.2f;
    a.E = 4.0e8f; a.P = 0.0f; a.NL = 1; a.K = 0;
    a.colModulus = cm; a.h = h; a.vs = vs; a.uw = uw; a.pr = pr; a.damp = dmp; a.r = r;
    a.area = A; a.inertia = I; a.torsion = J;
    a.vsBelow = 500.0f; a.uwBelow = 120.0f; a.prBelow = 0.3f; a.dBelow = 0.04f; a.w = 30.0f;
    a.weakRatio = wm; a.weakPr = wpr; a.weakDamp = wd; a.weakThick = wt; a.dPile = 0.02f;
    a.colDamp = cd; a.wcut1 = 0.0f; a.wcut2 = 0.0f;
  }
};

TEST(PileElementTest, OneElementReferenceValues) {
  OneElement e;
  float K[6], Cd[6];
  int ier = -1;
  PILELM(e.a, K, Cd, ier);
  EXPECT_EQ(ier, 0);
  // The layer's a0 is 0.05: its vertical side damping lies on the line
  // that ends at the damping the general formula gives at 0.1, with its
  // a0 / 0.3 reduction (the line to the unreduced value gave 9.575265E6
  // and 9.16020E4 for the vertical terms); the other terms do not depend
  // on it.
  const float refK[6] = {9.448149E6f, 3.883533E6f, 3.111180E6f, 1.323774E7f, -4.434152E6f, 1.629558E6f};
  const float refC[6] = {3.66554E4f, 4669.47f, 17259.6f, 28839.3f, -17007.4f, 9093.73f};
  for (int k = 0; k < 6; ++k) {
    EXPECT_NEAR(K[k], refK[k], std::abs(refK[k]) * 2e-6f) << "stiffness " << k;
    EXPECT_NEAR(Cd[k], refC[k], std::abs(refC[k]) * 2e-5f) << "damping " << k;
  }
}

// The element terms are exact solutions of the bar equations, so a uniform
// layer cut into several elements of the same soil gives the head terms of
// one element: this checks the assembly and the band solver.
TEST(PileElementTest, SubdividedLayerGivesTheSameHead) {
  OneElement one, four;
  four.a.NL = 4;
  for (int i = 0; i < 4; ++i) four.h[i] = 5.0f;
  float K1[6], C1[6], K4[6], C4[6];
  int ier1 = -1, ier4 = -1;
  PILELM(one.a, K1, C1, ier1);
  PILELM(four.a, K4, C4, ier4);
  EXPECT_EQ(ier4, 0);
  for (int k = 0; k < 6; ++k) {
    EXPECT_NEAR(K4[k], K1[k], std::abs(K1[k]) * 1e-5f) << k;
    EXPECT_NEAR(C4[k], C1[k], std::abs(C1[k]) * 1e-4f) << k;
  }
}

// A very long element: cosh and sinh of its wave numbers overflow single
// precision, yet the head terms stay finite and the lateral ones (which
// die out within a few metres) keep the values of the 20-long pile.
TEST(PileElementTest, VeryLongElementStaysFinite) {
  OneElement ref, lng;
  lng.h[0] = 2000.0f;
  float K[6], Cd[6], Kr[6], Cr[6];
  int ier = -1, ierr = -1;
  PILELM(lng.a, K, Cd, ier);
  PILELM(ref.a, Kr, Cr, ierr);
  EXPECT_EQ(ier, 0);
  for (int k = 0; k < 6; ++k) {
    EXPECT_TRUE(std::isfinite(K[k]) && std::isfinite(Cd[k])) << k;
  }
  for (int k = 2; k < 6; ++k) EXPECT_NEAR(K[k], Kr[k], std::abs(Kr[k]) * 1e-3f) << k;
}

// At or below the deposit's cut-off frequencies neither the layers nor the
// tip radiate: the vertical damping (second cut-off) and then also the
// horizontal damping (first cut-off as well) come from the material
// damping alone.
TEST(PileElementTest, CutOffFrequenciesRemoveTipRadiation) {
  OneElement e;
  e.h[0] = 5.0f;  // a short pile, so that the tip counts
  float K0[6], C0[6], K2[6], C2[6], K12[6], C12[6];
  int ier = -1;
  PILELM(e.a, K0, C0, ier);
  e.a.wcut2 = 40.0f;
  PILELM(e.a, K2, C2, ier);
  e.a.wcut1 = 40.0f;
  PILELM(e.a, K12, C12, ier);
  EXPECT_EQ(ier, 0);
  EXPECT_LT(C2[0], C0[0]);
  EXPECT_EQ(C2[2], C0[2]);  // the horizontal tip keeps its radiation
  EXPECT_LT(C12[2], C2[2]);
  EXPECT_LT(C12[0], C0[0]);
  EXPECT_EQ(K2[3], K0[3]);  // the rocking terms keep their values
}

// A top layer without soil (free length above the ground) adds no side
// reaction: the head is softer than with soil there, and finite.
TEST(PileElementTest, LayerWithoutSoilIsAFreeLength) {
  OneElement soil, free;
  soil.a.NL = free.a.NL = 2;
  for (OneElement* e : {&soil, &free}) {
    e->h[0] = 5.0f;
    e->h[1] = 15.0f;
  }
  free.vs[0] = 0.0f;
  float Ks[6], Cs[6], Kf[6], Cf[6];
  int ier = -1;
  PILELM(soil.a, Ks, Cs, ier);
  PILELM(free.a, Kf, Cf, ier);
  EXPECT_EQ(ier, 0);
  for (int k = 0; k < 6; ++k) EXPECT_TRUE(std::isfinite(Kf[k]) && std::isfinite(Cf[k])) << k;
  EXPECT_LT(Kf[2], Ks[2]);
  EXPECT_LT(Kf[5], Ks[5]);
  EXPECT_LT(Cf[0], Cs[0]);
}

TEST(PileElementTest, InvalidCallsReportInsteadOfDividingByZero) {
  OneElement e;
  float K[6], Cd[6];
  int ier = 0;
  e.a.w = 0.0f;
  PILELM(e.a, K, Cd, ier);
  EXPECT_EQ(ier, 129);
  e.a.w = 30.0f;
  e.a.NL = 31;
  PILELM(e.a, K, Cd, ier);
  EXPECT_EQ(ier, 129);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(K[k], 0.0f);
}

// Band storage of a symmetric matrix against a dense check A x = b.
TEST(CbandsTest, SolvesSymmetricBandSystems) {
  for (int NB : {1, 2, 4}) {
    const int N = 9, M = 2;
    std::vector<C> A(60 * 4), B(60 * M);
    auto full = [&](int i, int j) -> C {  // 1-based symmetric matrix
      if (j < i) std::swap(i, j);
      if (j - i >= NB) return C(0);
      if (i == j) return C(10.0f + i, 0.5f * i);
      return C(1.0f + 0.1f * (i + j), -0.2f * (j - i));
    };
    for (int i = 1; i <= N; ++i)
      for (int c = 1; c <= NB && i + c - 1 <= N; ++c) A[(i - 1) + 60 * (c - 1)] = full(i, i + c - 1);
    std::vector<C> x(N * M);
    for (int m = 0; m < M; ++m)
      for (int i = 0; i < N; ++i) x[i + N * m] = C(1.0f + i - m, 0.3f * i * (m + 1));
    for (int m = 0; m < M; ++m)
      for (int i = 1; i <= N; ++i) {
        C s(0);
        for (int j = 1; j <= N; ++j) s += full(i, j) * x[(j - 1) + N * m];
        B[(i - 1) + 60 * m] = s;
      }
    int ier = -1;
    CBANDS(M, N, NB, A.data(), B.data(), ier);
    EXPECT_EQ(ier, 0);
    for (int m = 0; m < M; ++m)
      for (int i = 0; i < N; ++i) {
        EXPECT_NEAR(B[i + 60 * m].real(), x[i + N * m].real(), 1e-4f) << NB << " " << i;
        EXPECT_NEAR(B[i + 60 * m].imag(), x[i + N * m].imag(), 1e-4f) << NB << " " << i;
      }
  }
}

TEST(CbandsTest, OneEquationIsOneDivisionAndZeroPivotIsReported) {
  std::vector<C> A(240), B(120);
  A[0] = C(2.0f, 1.0f);
  B[0] = C(5.0f, 0.0f);
  B[60] = C(0.0f, 5.0f);
  int ier = -1;
  CBANDS(2, 1, 2, A.data(), B.data(), ier);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(B[0], C(5.0f, 0.0f) / C(2.0f, 1.0f));
  EXPECT_EQ(B[60], C(0.0f, 5.0f) / C(2.0f, 1.0f));
  std::vector<C> Z(240), Bz(60);
  Z[1] = C(1.0f);  // second diagonal; the first pivot is zero
  CBANDS(1, 2, 2, Z.data(), Bz.data(), ier);
  EXPECT_EQ(ier, 129);
}

}  // namespace
