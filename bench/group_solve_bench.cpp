// Factor-and-solve of the pile group's flexibility matrices (500 fixed-head
// piles at 30 rad/s: the lateral matrix of order 1000 and the vertical one
// of order 500), three right-hand sides: LU (cgetrf + cgetrs) beside the
// symmetric factorisation (csytrf + csytrs) and the engine's solve with
// corrected sums, with CINVRT's full inverse for scale.  Each benchmark also reports the accuracy of the group sums it
// yields (u^T M^-1 v for the sums' vectors) against a double-precision
// solve (zgesv) of the same matrix: the largest relative error of a sum.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "complex_solvers.h"
#include "pile_group.h"
#include "pile_group_fixture.h"
#include "symmetric_solver.h"

#include "lapacke_std_complex.h"

namespace {

using C = std::complex<float>;
using CD = std::complex<double>;

struct Matrix {
  int n = 0;
  std::vector<C> a;        // n x n by columns
  std::vector<double> u;   // the sums' vectors, n x nv by columns
  int nv = 0;
};

// The two matrices of the 500-pile group: 0 lateral (x loading), 1 vertical.
const Matrix& GroupMatrix(int which) {
  static const std::vector<Matrix> m = [] {
    pile_group_fixture::Layout layout;
    layout.np = 500;
    auto R = pile_group_fixture::LayeredGroup(layout);
    C Z[36];
    pile_group_fixture::PileHead(Z);
    const PileGroupInput in = PileGroupInputOf(*R);
    PileGroupWork work;
    GroupFlexibility G;
    FormGroupFlexibility(in, work, Z, 30.0f, G);
    std::vector<Matrix> out(2);
    // Lateral: displacement, rotation and lever-arm vectors.
    Matrix& L = out[0];
    L.n = G.LateralOrder();
    L.a = G.lateral[0];
    L.nv = 3;
    L.u.assign(3 * static_cast<std::size_t>(L.n), 0.0);
    for (int p = 0; p < G.NP; ++p) {
      L.u[2 * p] = 1.0;
      L.u[L.n + 2 * p + 1] = 1.0;
      L.u[2 * L.n + 2 * p] = in.y[p];
    }
    // Vertical: ones and both coordinates.
    Matrix& V = out[1];
    V.n = G.NP;
    V.a = G.vertical;
    V.nv = 3;
    V.u.resize(3 * static_cast<std::size_t>(V.n));
    for (int p = 0; p < V.n; ++p) {
      V.u[p] = 1.0;
      V.u[V.n + p] = in.x[p];
      V.u[2 * V.n + p] = in.y[p];
    }
    return out;
  }();
  return m[which];
}

// All sums u_i^T M^-1 u_j from the solutions W = M^-1 U (n x nv).
template <class T>
std::vector<CD> Sums(const Matrix& m, const std::vector<T>& W) {
  std::vector<CD> s;
  for (int i = 0; i < m.nv; ++i)
    for (int j = 0; j < m.nv; ++j) {
      CD acc(0.0);
      for (int k = 0; k < m.n; ++k) acc += m.u[i * m.n + k] * CD(W[j * m.n + k]);
      s.push_back(acc);
    }
  return s;
}

const std::vector<CD>& ReferenceSums(int which) {
  static std::vector<CD> ref[2];
  if (ref[which].empty()) {
    const Matrix& m = GroupMatrix(which);
    std::vector<CD> a(m.a.begin(), m.a.end()), w(m.u.begin(), m.u.end());
    std::vector<lapack_int> piv(m.n);
    LAPACKE_zgesv(LAPACK_COL_MAJOR, m.n, m.nv, a.data(), m.n, piv.data(), w.data(), m.n);
    ref[which] = Sums(m, w);
  }
  return ref[which];
}

double LargestRelativeError(int which, const std::vector<CD>& s) {
  const std::vector<CD>& ref = ReferenceSums(which);
  double worst = 0.0;
  for (std::size_t k = 0; k < s.size(); ++k)
    if (std::abs(ref[k]) > 0.0) worst = std::max(worst, std::abs(s[k] - ref[k]) / std::abs(ref[k]));
  return worst;
}

enum Method { kLU, kSymmetric };

// Factors a copy of the matrix and solves for the sums' vectors.  The work
// space keeps the spare column SolveSlack asks for.
std::vector<C> Solve(const Matrix& m, Method method, std::vector<C>& a, std::vector<lapack_int>& piv) {
  a.reserve(m.a.size() + SolveSlack(m.n));
  a = m.a;
  std::vector<C> w;
  w.reserve(m.u.size() + SolveSlack(m.n));
  w.assign(m.u.begin(), m.u.end());
  if (method == kLU) {
    LAPACKE_cgetrf_work(LAPACK_COL_MAJOR, m.n, m.n, a.data(), m.n, piv.data());
    LAPACKE_cgetrs_work(LAPACK_COL_MAJOR, 'N', m.n, m.nv, a.data(), m.n, piv.data(), w.data(), m.n);
  } else {
    C query;
    LAPACKE_csytrf_work(LAPACK_COL_MAJOR, 'U', m.n, a.data(), m.n, piv.data(), &query, -1);
    const lapack_int lwork = static_cast<lapack_int>(query.real());
    std::vector<C> work(static_cast<std::size_t>(lwork) + SolveSlack(m.n));
    LAPACKE_csytrf_work(LAPACK_COL_MAJOR, 'U', m.n, a.data(), m.n, piv.data(), work.data(), lwork);
    LAPACKE_csytrs_work(LAPACK_COL_MAJOR, 'U', m.n, m.nv, a.data(), m.n, piv.data(), w.data(), m.n);
  }
  return w;
}

void BM_FactorSolve(benchmark::State& state, Method method) {
  const int which = static_cast<int>(state.range(0));
  const Matrix& m = GroupMatrix(which);
  std::vector<C> a;
  std::vector<lapack_int> piv(m.n);
  std::vector<C> w;
  for (auto _ : state) {
    w = Solve(m, method, a, piv);
    benchmark::DoNotOptimize(w.data());
  }
  state.counters["order"] = m.n;
  state.counters["max_rel_err"] = LargestRelativeError(which, Sums(m, w));
}

void BM_CgetrfCgetrs(benchmark::State& state) { BM_FactorSolve(state, kLU); }
void BM_CsytrfCsytrs(benchmark::State& state) { BM_FactorSolve(state, kSymmetric); }

// The engine's solve (SolveSymmetric: the symmetric factorisation, with
// residuals in double), its sums corrected by the residuals as the pile
// group takes them: u_i^T w_j + w_i^T r_j.
void BM_SolveSymmetricCorrected(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const Matrix& m = GroupMatrix(which);
  std::vector<C> a;
  std::vector<CD> w, r(m.u.size());
  SymmetricSolveWork work;
  int status = 0;
  for (auto _ : state) {
    a.reserve(m.a.size() + SolveSlack(m.n));
    a = m.a;
    w.assign(m.u.begin(), m.u.end());
    status = SolveSymmetric(a.data(), m.n, m.n, w.data(), m.nv, m.n, r.data(), work);
    benchmark::DoNotOptimize(w.data());
  }
  if (status != 0) state.SkipWithError("matrix is singular");
  std::vector<CD> s = Sums(m, w);
  for (int i = 0; i < m.nv; ++i)
    for (int j = 0; j < m.nv; ++j)
      for (int k = 0; k < m.n; ++k) s[i * m.nv + j] += w[i * m.n + k] * r[j * m.n + k];
  state.counters["order"] = m.n;
  state.counters["max_rel_err"] = LargestRelativeError(which, s);
}

// The inverse of the former path: sums of K's entries (the same sums).
void BM_CinvrtSums(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const Matrix& m = GroupMatrix(which);
  std::vector<C> a;
  for (auto _ : state) {
    a = m.a;
    int ier = 0;
    CINVRT(a.data(), m.n, m.n, ier);
    benchmark::DoNotOptimize(a.data());
  }
  // K U as the solutions, in double from the single-precision inverse.
  std::vector<CD> w(static_cast<std::size_t>(m.n) * m.nv, CD(0.0));
  for (int j = 0; j < m.nv; ++j)
    for (int q = 0; q < m.n; ++q)
      for (int p = 0; p < m.n; ++p) w[j * m.n + p] += CD(a[q * m.n + p]) * m.u[j * m.n + q];
  state.counters["order"] = m.n;
  state.counters["max_rel_err"] = LargestRelativeError(which, Sums(m, w));
}

// Argument: 0 the lateral matrix (order 1000), 1 the vertical one (500).
BENCHMARK(BM_CgetrfCgetrs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CsytrfCsytrs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SolveSymmetricCorrected)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CinvrtSums)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
