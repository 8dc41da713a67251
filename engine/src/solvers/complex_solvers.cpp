// Dense complex solvers: Crout factorisation with equilibration (LEQT1C),
// refined solution (LEQ2C) and Gauss-Jordan inversion (CINVRT).
#include "complex_solvers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "numeric_helpers.h"

#if defined(__x86_64__) || defined(__i386__)
#define VORTN_X86_KERNEL 1
#include <immintrin.h>
#endif

namespace {

using cfloat = std::complex<float>;

// True modulus; hypot keeps it finite for parts whose squares would overflow.
inline float Modulus(cfloat z) { return std::hypot(z.real(), z.imag()); }

// Size measure of the refinement: the larger of |re| and |im|.
inline float Size(cfloat z) { return std::max(std::fabs(z.real()), std::fabs(z.imag())); }

float VectorNorm(const cfloat* x, int n) {
  float norm = 0.0f;
  for (int i = 0; i < n; ++i) norm = std::max(norm, Size(x[i]));
  return norm;
}

// Pivot row (0-based) recorded in WA(i) as a real, rounded half away from
// zero; -1 when the record is not a row of the matrix.
int PivotRow(float recorded, int n) {
  if (!(recorded >= 0.5f && recorded < static_cast<float>(n) + 0.5f)) return -1;
  return static_cast<int>(recorded + 0.5f) - 1;
}

}  // namespace

void LEQT1C(cfloat* A, int N, int IA, cfloat* B, int M, int IB, int IJOB, float* WA, int& IER) {
  IER = 0;
  if (N <= 0) return;
  // Arguments that would address outside the arrays are refused like a
  // singular matrix: nothing is touched.
  if (IA < N || IJOB < 0 || IJOB > 2 || (IJOB != 1 && M > 0 && IB < N)) {
    IER = kSolverSingular;
    return;
  }
  auto a = [A, IA](int i, int j) -> cfloat& { return A[static_cast<std::size_t>(j) * IA + i]; };

  if (IJOB == 0 || IJOB == 1) {
    // Row equilibration.  A row without a non-zero element, or with an
    // element that is not finite, makes the matrix unusable: A is left as
    // it came in.
    for (int i = 0; i < N; ++i) {
      float big = 0.0f;
      for (int j = 0; j < N; ++j) {
        const cfloat v = a(i, j);
        if (!IsFinite(v)) {
          IER = kSolverSingular;
          return;
        }
        big = std::max(big, Modulus(v));
      }
      if (big == 0.0f) {
        IER = kSolverSingular;
        return;
      }
      WA[i] = 1.0f / big;
    }

    const double order = static_cast<double>(static_cast<float>(N));
    for (int j = 0; j < N; ++j) {
      // Upper part of column j.
      for (int i = 0; i < j; ++i) {
        cfloat s = a(i, j);
        for (int k = 0; k < i; ++k) s -= a(i, k) * a(k, j);
        a(i, j) = s;
      }
      // Lower part with the pivot search on the scaled sizes; a later row
      // must be strictly larger, so ties keep the upper row.
      float largest = 0.0f;
      int p = j;
      for (int i = j; i < N; ++i) {
        cfloat s = a(i, j);
        for (int k = 0; k < j; ++k) s -= a(i, k) * a(k, j);
        a(i, j) = s;
        const float scaled = Modulus(s) * WA[i];
        if (scaled > largest) {
          largest = scaled;
          p = i;
        }
      }
      // Negligible pivot column: the sum is formed and compared in double.
      if (static_cast<double>(largest) + order == order) {
        IER = kSolverSingular;
        return;
      }
      if (p != j) {
        for (int k = 0; k < N; ++k) std::swap(a(p, k), a(j, k));
        WA[p] = WA[j];
      }
      WA[j] = static_cast<float>(p + 1);
      if (j < N - 1) {
        const cfloat pivot = a(j, j);
        for (int i = j + 1; i < N; ++i) a(i, j) = a(i, j) / pivot;
      }
    }
    if (IJOB == 1) return;
  }

  // A pivot record that is not one of the rows (IJOB 2 with a foreign WA)
  // would send the interchanges outside B.
  for (int i = 0; i < N; ++i) {
    if (PivotRow(WA[i], N) < 0) {
      IER = kSolverSingular;
      return;
    }
  }
  for (int col = 0; col < M; ++col) {
    cfloat* b = B + static_cast<std::size_t>(col) * IB;
    // Forward pass with the interchanges; leading zeros are skipped.
    int first = -1;
    for (int i = 0; i < N; ++i) {
      const int p = PivotRow(WA[i], N);
      cfloat s = b[p];
      b[p] = b[i];
      if (first >= 0) {
        for (int l = first; l < i; ++l) s -= a(i, l) * b[l];
      } else if (s.real() != 0.0f || s.imag() != 0.0f) {
        first = i;
      }
      b[i] = s;
    }
    // Backward pass.
    for (int i = N - 1; i >= 0; --i) {
      cfloat s = b[i];
      for (int l = i + 1; l < N; ++l) s -= a(i, l) * b[l];
      b[i] = s / a(i, i);
    }
  }
}

void LEQ2C(const cfloat* A, int N, int IA, cfloat* B, int M, int IB, int IJOB, cfloat* WA,
           float* WK, int& IER) {
  IER = 0;
  if (N <= 0) return;
  if (IA < N || IJOB < 0 || IJOB > 2 || (IJOB != 1 && M > 0 && IB < N)) {
    IER = kSolverSingular;
    return;
  }
  const std::size_t n = static_cast<std::size_t>(N);
  cfloat* x = WA + n * n;        // column N + 1: current solution
  cfloat* d = WA + n * (n + 1);  // column N + 2: residual, then correction

  if (IJOB != 2) {
    for (std::size_t j = 0; j < n; ++j)
      std::copy(A + j * IA, A + j * IA + n, WA + j * n);
    LEQT1C(WA, N, N, B, M, IB, 1, WK, IER);
    if (IER != 0 || IJOB == 1) return;
  }

  // A column whose refinement does not settle keeps its last solution and
  // the later columns are still solved (left as right-hand sides they would
  // pass for solutions); IER then ends as kSolverNoConvergence.
  bool settledAll = true;
  for (int j = 0; j < M; ++j) {
    cfloat* b = B + static_cast<std::size_t>(j) * IB;
    std::copy(b, b + n, x);
    LEQT1C(WA, N, N, x, 1, N, 2, WK, IER);
    if (IER != 0) return;
    // A solution that is not finite (a system that passed the pivot test
    // only just, or a right-hand side that is not finite) is no solution.
    for (std::size_t i = 0; i < n; ++i) {
      if (!IsFinite(x[i])) {
        IER = kSolverSingular;
        return;
      }
    }
    const float xnorm = VectorNorm(x, N);
    if (xnorm == 0.0f) continue;  // zero right-hand side: B stays as it is

    for (int corrections = 0;;) {
      // Residual against the unfactored matrix, accumulated in double.
      for (std::size_t i = 0; i < n; ++i) {
        double re = b[i].real();
        double im = b[i].imag();
        for (std::size_t k = 0; k < n; ++k) {
          const cfloat aik = A[k * IA + i];
          const double ar = aik.real(), ai = aik.imag();
          const double xr = x[k].real(), xi = x[k].imag();
          re -= ar * xr - ai * xi;
          im -= ar * xi + ai * xr;
        }
        d[i] = cfloat(static_cast<float>(re), static_cast<float>(im));
      }
      LEQT1C(WA, N, N, d, 1, N, 2, WK, IER);
      if (IER != 0) return;
      bool moved = false;
      for (std::size_t i = 0; i < n; ++i) {
        const cfloat next = x[i] + d[i];
        moved = moved || next != x[i];
        x[i] = next;
      }
      const float dnorm = VectorNorm(d, N);
      // Converged when the correction no longer changes the norm of the
      // first solution, the sum compared in double.  That test alone is
      // almost never met: a single-precision solution stays about half a
      // unit in its last place from the true one, so the correction stays
      // of that size.  A correction that changes no component of x (the
      // refinement can go no further: every later step repeats it) is
      // therefore convergence too.
      if (static_cast<double>(xnorm) + static_cast<double>(dnorm) == static_cast<double>(xnorm) ||
          !moved)
        break;
      if (++corrections == 50) {
        settledAll = false;
        break;
      }
    }
    // Corrections that ran out of range leave B as it came.
    for (std::size_t i = 0; i < n; ++i) {
      if (!IsFinite(x[i])) {
        IER = kSolverSingular;
        return;
      }
    }
    std::copy(x, x + n, b);
  }
  IER = settledAll ? 0 : kSolverNoConvergence;
}

// ---------------------------------------------------------------------------
// CINVRT.  At pivot k every element outside row k is updated from its own
// old value, its row's multiplier (old column k) and the new row k alone, and
// the new row k element of a column comes from that column alone.  So each
// column can go through the pivots on its own, and the columns in any order,
// without a change in a single stored bit, as long as
// every column meets the pivots in their order.  The inversion therefore
// runs in panels of kPanel pivots: the panel's own columns go through its
// pivots first (keeping each pivot's multiplier column), then every other
// column takes the panel's pivots one after the other while it sits in
// cache.

namespace {

// The update of one column j != k: col(i) -= t(i) * a for every i, formed in
// double (the products of two singles are exact) and stored as singles.
// t(k) is 0 and row k is written afterwards by the caller.
inline void UpdateColumnPlain(float* __restrict col, const float* __restrict t, int n, double ar,
                              double ai) {
  for (int i = 0; i < n; ++i) {
    const double tr = t[2 * i], ti = t[2 * i + 1];
    const double cr = col[2 * i], ci = col[2 * i + 1];
    col[2 * i] = static_cast<float>(cr - (tr * ar - ti * ai));
    col[2 * i + 1] = static_cast<float>(ci - (tr * ai + ti * ar));
  }
}

using UpdateFn = void (*)(float*, const float*, int, double, double);

#ifdef VORTN_X86_KERNEL
// The same arithmetic, two complex elements at a time with AVX2 (no FMA: a fused
// multiply-add would round differently).  Each lane does exactly the
// scalar operations: the products t*ar and t'*ai are exact in double,
// addsub forms tr ar - ti ai and ti ar + tr ai with one rounding, the
// difference from the old value one more, and the conversion to single
// the last.
__attribute__((target("avx2"))) void UpdateColumnAvx2(float* __restrict col,
                                                      const float* __restrict t, int n, double ar,
                                                      double ai) {
  const __m256d vr = _mm256_set1_pd(ar);
  const __m256d vi = _mm256_set1_pd(ai);
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    // Two complex values (four reals) per step.
    const __m256d tv = _mm256_cvtps_pd(_mm_loadu_ps(t + 2 * i));       // tr0 ti0 tr1 ti1
    const __m256d cv = _mm256_cvtps_pd(_mm_loadu_ps(col + 2 * i));     // cr0 ci0 cr1 ci1
    const __m256d ts = _mm256_permute_pd(tv, 0x5);                       // ti0 tr0 ti1 tr1
    const __m256d prod = _mm256_addsub_pd(_mm256_mul_pd(tv, vr), _mm256_mul_pd(ts, vi));
    _mm_storeu_ps(col + 2 * i, _mm256_cvtpd_ps(_mm256_sub_pd(cv, prod)));
  }
  for (; i < n; ++i) {
    const double tr = t[2 * i], ti = t[2 * i + 1];
    const double cr = col[2 * i], ci = col[2 * i + 1];
    col[2 * i] = static_cast<float>(cr - (tr * ar - ti * ai));
    col[2 * i + 1] = static_cast<float>(ci - (tr * ai + ti * ar));
  }
}

// The vector kernel where the processor has AVX2, else the plain loop.
UpdateFn ChooseUpdate() {
  return __builtin_cpu_supports("avx2") ? UpdateColumnAvx2 : UpdateColumnPlain;
}
#else
// Processors other than x86 use the plain loop.
UpdateFn ChooseUpdate() { return UpdateColumnPlain; }
#endif

// Column k itself: it starts from zero outside the pivot.
inline cfloat UpdateFromZero(cfloat t, cfloat a) {
  const double tr = t.real(), ti = t.imag(), ar = a.real(), ai = a.imag();
  return cfloat(static_cast<float>(0.0 - (tr * ar - ti * ai)),
                static_cast<float>(0.0 - (tr * ai + ti * ar)));
}

constexpr int kPanel = 32;

bool UsablePivot(cfloat p) { return IsFinite(p) && (p.real() != 0.0f || p.imag() != 0.0f); }

struct InversionJob {
  cfloat* A;
  std::size_t IA;
  int N;
  UpdateFn update;
  // Multiplier columns of the panel's pivots (column k before pivot k, its
  // entry k replaced by 0) and the pivots themselves.
  std::vector<cfloat> mult;
  cfloat pivot[kPanel];

  // Pivot k (with its multipliers t and pivot p) applied to column j.
  void Apply(int k, const cfloat* t, cfloat p, int j) const {
    cfloat* col = A + static_cast<std::size_t>(j) * IA;
    if (j == k) {
      const cfloat a = cfloat(1.0f, 0.0f) / p;
      for (int i = 0; i < N; ++i) col[i] = UpdateFromZero(t[i], a);
      col[k] = a;
    } else {
      const cfloat a = col[k] / p;
      update(reinterpret_cast<float*>(col), reinterpret_cast<const float*>(t), N, a.real(), a.imag());
      col[k] = a;
    }
  }

  // The panel of pivots k0 .. k1-1 on its own columns.  False at a pivot
  // that is zero or not finite.
  bool Panel(int k0, int k1) {
    for (int k = k0; k < k1; ++k) {
      const cfloat* col = A + static_cast<std::size_t>(k) * IA;
      cfloat* t = mult.data() + static_cast<std::size_t>(k - k0) * N;
      std::copy(col, col + N, t);
      pivot[k - k0] = col[k];
      t[k] = cfloat(0.0f, 0.0f);
      if (!UsablePivot(pivot[k - k0])) return false;
      for (int j = k0; j < k1; ++j) Apply(k, t, pivot[k - k0], j);
    }
    return true;
  }

  // The panel's pivots on every column outside the panel.
  void Rest(int k0, int k1) const {
    for (int j = 0; j < N; ++j) {
      if (j >= k0 && j < k1) continue;
      for (int k = k0; k < k1; ++k)
        Apply(k, mult.data() + static_cast<std::size_t>(k - k0) * N, pivot[k - k0], j);
    }
  }
};

}  // namespace

void CINVRT(cfloat* A, int IA, int N, int& IER) {
  IER = 0;
  if (N <= 0) return;
  if (IA < N) {
    IER = kSolverSingular;
    return;
  }
  const std::size_t n = static_cast<std::size_t>(N);
  // The input is kept so that a failed inversion leaves A as it came.
  std::vector<cfloat> saved(n * n);
  for (std::size_t j = 0; j < n; ++j) std::copy(A + j * IA, A + j * IA + n, saved.begin() + j * n);
  auto restore = [&] {
    for (std::size_t j = 0; j < n; ++j)
      std::copy(saved.begin() + j * n, saved.begin() + (j + 1) * n, A + j * IA);
    IER = kSolverSingular;
  };

  InversionJob job{A, static_cast<std::size_t>(IA), N, ChooseUpdate(), {}, {}};
  job.mult.assign(n * kPanel, cfloat(0.0f, 0.0f));

  // The engine runs on its caller's thread alone: the panels bring the
  // speed, not extra threads.
  bool failed = false;
  for (int k0 = 0; k0 < N; k0 += kPanel) {
    const int k1 = std::min(N, k0 + kPanel);
    if (!job.Panel(k0, k1)) {
      failed = true;
      break;
    }
    job.Rest(k0, k1);
  }

  if (!failed) {
    for (std::size_t j = 0; j < n && !failed; ++j)
      for (std::size_t i = 0; i < n; ++i)
        if (!IsFinite(A[j * IA + i])) {
          failed = true;
          break;
        }
  }
  if (failed) restore();
}
