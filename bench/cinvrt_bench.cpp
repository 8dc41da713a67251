// In-place inversion by CINVRT (orders up to 1000) beside the plain
// Gauss-Jordan loop it reproduces bit for bit and beside LAPACK's cgetrf +
// cgetri.  The pile group no longer inverts its flexibility matrices
// (group_solve_bench measures what it does instead).
#include <benchmark/benchmark.h>

#include <complex>
#include <random>
#include <vector>

#include "complex_solvers.h"

#include "lapacke_std_complex.h"

namespace {

using cfloat = std::complex<float>;
constexpr int kLeading = 1000;  // the group routine's leading dimension

std::vector<cfloat> FlexibilityLike(int n) {
  std::mt19937 gen(42);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  std::vector<cfloat> a(static_cast<std::size_t>(kLeading) * n, cfloat(0.0f, 0.0f));
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) a[static_cast<std::size_t>(j) * kLeading + i] = cfloat(u(gen), u(gen)) * 0.1f;
  for (int i = 0; i < n; ++i) a[static_cast<std::size_t>(i) * kLeading + i] += cfloat(1.0f, 0.2f);
  return a;
}

void BM_CINVRT(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<cfloat> original = FlexibilityLike(n);
  std::vector<cfloat> a;
  for (auto _ : state) {
    a = original;
    int ier = 0;
    CINVRT(a.data(), kLeading, n, ier);
    benchmark::DoNotOptimize(a.data());
    if (ier != 0) state.SkipWithError("singular");
  }
}
BENCHMARK(BM_CINVRT)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plain loop, one element at a time along the rows.
void PlainInverse(cfloat* a, int ld, int n) {
  auto at = [a, ld](int i, int j) -> cfloat& { return a[static_cast<std::size_t>(j) * ld + i]; };
  for (int k = 0; k < n; ++k) {
    const cfloat p = at(k, k);
    at(k, k) = cfloat(1.0f, 0.0f);
    for (int j = 0; j < n; ++j) at(k, j) = at(k, j) / p;
    for (int i = 0; i < n; ++i) {
      if (i == k) continue;
      const cfloat t = at(i, k);
      at(i, k) = cfloat(0.0f, 0.0f);
      const double tr = t.real(), ti = t.imag();
      for (int j = 0; j < n; ++j) {
        const cfloat akj = at(k, j);
        const cfloat aij = at(i, j);
        at(i, j) = cfloat(static_cast<float>(aij.real() - (tr * akj.real() - ti * akj.imag())),
                          static_cast<float>(aij.imag() - (tr * akj.imag() + ti * akj.real())));
      }
    }
  }
}

void BM_PlainLoop(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<cfloat> original = FlexibilityLike(n);
  std::vector<cfloat> a;
  for (auto _ : state) {
    a = original;
    PlainInverse(a.data(), kLeading, n);
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_PlainLoop)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LapackCgetrfCgetri(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<cfloat> original = FlexibilityLike(n);
  std::vector<cfloat> a;
  std::vector<lapack_int> pivots(n);
  const lapack_int lwork = 64 * n;
  std::vector<cfloat> work(lwork);
  for (auto _ : state) {
    a = original;
    lapack_int info = LAPACKE_cgetrf_work(LAPACK_COL_MAJOR, n, n, a.data(), kLeading, pivots.data());
    if (info == 0)
      info = LAPACKE_cgetri_work(LAPACK_COL_MAJOR, n, a.data(), kLeading, pivots.data(), work.data(), lwork);
    benchmark::DoNotOptimize(a.data());
    if (info != 0) state.SkipWithError("singular");
  }
}
BENCHMARK(BM_LapackCgetrfCgetri)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
