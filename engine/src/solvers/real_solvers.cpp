// Real high-accuracy solvers: LUDATF, LUSUBF, LUREFF, LEQT2F, LINV2F.
//
// The workers below take a leading dimension per matrix: LEQT2F decomposes
// A in place (leading dimension IA) and refines against its copy in the
// work area (leading dimension N).  The routines of the library interface
// pass one IA for both.
#include "real_solvers.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "report_writer.h"

namespace {

std::size_t At(int i, int j, int ld) {
  return static_cast<std::size_t>(j) * static_cast<std::size_t>(ld) + static_cast<std::size_t>(i);
}

void ReportError(Run& R, const char* routine) {
  WRITE(R, 16, std::string("(1X,'ERROR ENCOUNTERED IN SUBROUTINE ") + routine + "')");
}

float Norm(const float* v, int n) {
  float m = 0.0f;
  for (int i = 0; i < n; ++i) m = std::max(m, std::fabs(v[i]));
  return m;
}

// 10^k for k >= 0 by repeated multiplication.
float PowerOfTen(int k) {
  float p = 1.0f;
  for (int i = 0; i < k && p < FLT_MAX / 10.0f; ++i) p *= 10.0f;
  return p;
}

// The decomposition of LUDATF, A (lda) into LU (ldlu).
int Decompose(const float* A, int lda, float* LU, int ldlu, int N, int IDGT, float& D1, float& D2,
              int* IPVT, float* EQUIL) {
  D1 = 1.0f;
  D2 = 0.0f;
  // Equilibration first: A is still intact even when LU is the same array.
  for (int i = 0; i < N; ++i) {
    float big = 0.0f;
    for (int j = 0; j < N; ++j) {
      const float v = A[At(i, j, lda)];
      if (!std::isfinite(v)) {
        D1 = 0.0f;
        return kRealSingular;
      }
      big = std::max(big, std::fabs(v));
    }
    if (big == 0.0f) {
      D1 = 0.0f;
      return kRealSingular;
    }
    EQUIL[i] = 1.0f / big;
  }
  if (LU != A || ldlu != lda)
    for (int j = 0; j < N; ++j)
      for (int i = 0; i < N; ++i) LU[At(i, j, ldlu)] = A[At(i, j, lda)];
  auto lu = [LU, ldlu](int i, int j) -> float& { return LU[At(i, j, ldlu)]; };

  // The accuracy test: the data's uncertainty is one unit of its IDGT-th
  // digit, or the rounding of single precision where that is larger.
  const float tolerance = IDGT > 0 ? 4.0f * std::max(1.0f / PowerOfTen(IDGT), FLT_EPSILON) : 0.0f;
  bool accurate = true;
  for (int j = 0; j < N; ++j) {
    for (int i = 0; i < j; ++i) {
      double s = lu(i, j);
      for (int k = 0; k < i; ++k) s -= static_cast<double>(lu(i, k)) * lu(k, j);
      lu(i, j) = static_cast<float>(s);
    }
    float largest = 0.0f;
    int p = j;
    for (int i = j; i < N; ++i) {
      double s = lu(i, j);
      for (int k = 0; k < j; ++k) s -= static_cast<double>(lu(i, k)) * lu(k, j);
      lu(i, j) = static_cast<float>(s);
      const float scaled = std::fabs(lu(i, j)) * EQUIL[i];
      if (scaled > largest) {
        largest = scaled;
        p = i;
      }
    }
    // A pivot of the equilibrated matrix (rows of largest element 1) that
    // does not exceed the rounding of 1.0 is no pivot.
    if (!std::isfinite(largest) || 1.0f + largest == 1.0f) {
      D1 = 0.0f;
      D2 = 0.0f;
      return kRealSingular;
    }
    if (largest <= tolerance) accurate = false;
    if (p != j) {
      for (int k = 0; k < N; ++k) std::swap(lu(p, k), lu(j, k));
      std::swap(EQUIL[p], EQUIL[j]);
      D1 = -D1;
    }
    IPVT[j] = p + 1;
    const float pivot = lu(j, j);
    for (int i = j + 1; i < N; ++i) lu(i, j) /= pivot;
    // Determinant, kept as D1 * 2^D2 with 1/16 <= |D1| < 1.
    D1 *= pivot;
    while (std::fabs(D1) >= 1.0f) {
      D1 *= 0.0625f;
      D2 += 4.0f;
    }
    while (D1 != 0.0f && std::fabs(D1) < 0.0625f) {
      D1 *= 16.0f;
      D2 -= 4.0f;
    }
  }
  return accurate ? 0 : kRealAccuracyWarning;
}

// LUSUBF with its own leading dimension.  A pivot record that is not a row
// of the matrix leaves X = B.
void Substitute(const float* LU, int ldlu, const float* B, const int* IPVT, int N, float* X) {
  if (X != B) std::copy(B, B + N, X);
  for (int j = 0; j < N; ++j)
    if (IPVT[j] < 1 || IPVT[j] > N) return;
  for (int j = 0; j < N; ++j) std::swap(X[j], X[IPVT[j] - 1]);
  for (int i = 1; i < N; ++i) {
    double s = X[i];
    for (int k = 0; k < i; ++k) s -= static_cast<double>(LU[At(i, k, ldlu)]) * X[k];
    X[i] = static_cast<float>(s);
  }
  for (int i = N - 1; i >= 0; --i) {
    double s = X[i];
    for (int k = i + 1; k < N; ++k) s -= static_cast<double>(LU[At(i, k, ldlu)]) * X[k];
    X[i] = static_cast<float>(s / LU[At(i, i, ldlu)]);
  }
}

// LUREFF with a leading dimension for A and one for LU.
int Improve(const float* A, int lda, const float* B, const float* LU, int ldlu, const int* IPVT, int N,
            float* X, int& IDGT, float* RES, float* DX) {
  const float xnorm0 = Norm(X, N);
  float previous = 0.0f;
  for (int iteration = 1; iteration <= 50; ++iteration) {
    for (int i = 0; i < N; ++i) {
      double r = B[i];
      for (int k = 0; k < N; ++k) r -= static_cast<double>(A[At(i, k, lda)]) * X[k];
      RES[i] = static_cast<float>(r);
    }
    Substitute(LU, ldlu, RES, IPVT, N, DX);
    const float dnorm = Norm(DX, N);
    if (!std::isfinite(dnorm)) return kRealSingular;
    if (iteration == 1) {
      // Digits of the first solution that the correction leaves alone.
      const float relative = xnorm0 > 0.0f ? dnorm / xnorm0 : (dnorm > 0.0f ? 1.0f : 0.0f);
      IDGT = static_cast<int>(std::floor(-std::log10(std::clamp(relative, FLT_EPSILON, 1.0f))));
    } else if (dnorm >= previous && dnorm > 0.0f) {
      return kRealSingular;  // the corrections no longer shrink: no convergence
    }
    previous = dnorm;
    bool moved = false;
    for (int i = 0; i < N; ++i) {
      const float next = X[i] + DX[i];
      moved = moved || next != X[i];
      X[i] = next;
    }
    // Converged when the correction is below the rounding of the solution.
    if (!moved || dnorm <= FLT_EPSILON * Norm(X, N)) return 0;
  }
  return kRealSingular;
}

}  // namespace

void LUDATF(Run& R, const float* A, float* LU, int N, int IA, int IDGT, float& D1, float& D2, int* IPVT,
            float* EQUIL, float* /*WA*/, int& IER) {
  IER = 0;
  D1 = 1.0f;
  D2 = 0.0f;
  if (N <= 0) return;
  IER = IA < N ? kRealSingular : Decompose(A, IA, LU, IA, N, IDGT, D1, D2, IPVT, EQUIL);
  if (IER != 0) ReportError(R, "LUDATF");
}

void LUSUBF(const float* LU, const float* B, const int* IPVT, int N, int IA, float* X) {
  if (N <= 0 || IA < N) return;
  Substitute(LU, IA, B, IPVT, N, X);
}

void LUREFF(Run& R, const float* A, const float* B, const float* LU, const int* IPVT, int N, int IA,
            float* X, int& IDGT, float* RES, float* DX, int& IER) {
  IER = 0;
  if (N <= 0) return;
  IER = IA < N ? kRealSingular : Improve(A, IA, B, LU, IA, IPVT, N, X, IDGT, RES, DX);
  if (IER != 0) ReportError(R, "LUREFF");
}

void LEQT2F(Run& R, float* A, int M, int N, int IA, float* B, int& IDGT, float* WKAREA, int& IER) {
  IER = 0;
  if (N <= 0) return;
  if (IA < N || M < 0) {
    IER = kRealSingular;
    ReportError(R, "LEQT2F");
    return;
  }
  const std::size_t n = static_cast<std::size_t>(N);
  float* copy = WKAREA;           // N x N, leading dimension N
  float* equil = copy + n * n;    // equilibration, then the residual
  float* rhs = equil + n;         // the column's right-hand side
  float* correction = rhs + n;
  for (int j = 0; j < N; ++j)
    for (int i = 0; i < N; ++i) copy[At(i, j, N)] = A[At(i, j, IA)];
  std::vector<int> pivots(n);
  float d1 = 0.0f, d2 = 0.0f;
  IER = Decompose(copy, N, A, IA, N, IDGT, d1, d2, pivots.data(), equil);
  if (IER != 0) ReportError(R, "LUDATF");
  if (IER <= 128) {
    const bool refine = IER == kRealAccuracyWarning || IDGT == 0;
    for (int j = 0; j < M; ++j) {
      float* b = B + At(0, j, IA);
      std::copy(b, b + N, rhs);
      Substitute(A, IA, rhs, pivots.data(), N, b);
      if (!refine) continue;
      if (Improve(copy, N, rhs, A, IA, pivots.data(), N, b, IDGT, equil, correction) != 0) {
        ReportError(R, "LUREFF");
        IER = kRealNoRefinement;
        break;
      }
    }
  }
  for (int j = 0; j < N; ++j)
    for (int i = 0; i < N; ++i) A[At(i, j, IA)] = copy[At(i, j, N)];
  if (IER != 0) ReportError(R, "LEQT2F");
}

void LINV2F(Run& R, float* A, int N, int IA, float* AINV, int& IDGT, float* WKAREA, int& IER) {
  IER = 0;
  if (N <= 0) return;
  if (IA < N) {
    IER = kRealSingular;
    ReportError(R, "LINV2F");
    return;
  }
  for (int j = 0; j < N; ++j)
    for (int i = 0; i < N; ++i) AINV[At(i, j, IA)] = i == j ? 1.0f : 0.0f;
  LEQT2F(R, A, N, N, IA, AINV, IDGT, WKAREA, IER);
  if (IER != 0) ReportError(R, "LINV2F");
}
