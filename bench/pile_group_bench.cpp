// Pile group impedance with pile-soil-pile interaction: fixed heads, so at
// every frequency two lateral flexibility matrices of order 2 NP and a
// vertical one of order NP are built and inverted.
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <memory>

#include "pile_group.h"
#include "pile_interaction.h"
#include "run_state.h"
#include "transforms.h"

namespace {

using C = std::complex<float>;

// A square-ish grid of piles at three diameters, in two soil layers.
std::unique_ptr<Run> GroupRun(int np) {
  auto R = std::make_unique<Run>();
  R->flags.GCONST = 32.2f;
  R->flags.FNDTYP = Foundation::kPile;
  R->flags.INTER = 1;
  R->fnd.NPILE = static_cast<float>(np);
  R->fnd.FIX = 1.0f;
  R->fnd.NLAY = 2.0f;
  R->fnd.TLEN = 40.0f;
  R->fnd.EMOD = 4.0e8f;
  const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(np))));
  for (int p = 0; p < np; ++p) {
    R->fnd.XP[p] = 3.0f * static_cast<float>(p % side);
    R->fnd.YP[p] = 3.0f * static_cast<float>(p / side);
  }
  for (int i = 0; i < 2; ++i) {
    R->fnd.ELDEP[i] = 20.0f;
    R->fnd.ELRX[i] = R->fnd.ELRY[i] = 0.5f;
    R->fnd.ELAREA[i] = 0.785f;
    R->fnd.ELIX[i] = R->fnd.ELIY[i] = 0.049f;
    R->fnd.ELJ[i] = 0.098f;
    R->soil.SLVS[i] = 300.0f + 100.0f * i;
    R->soil.SLUWT[i] = 110.0f;
    R->soil.SLPR[i] = 0.35f;
  }
  R->soil.VREF = 400.0f;
  R->soil.BLVS = 500.0f;
  R->soil.BLUWT = 120.0f;
  R->soil.BLPR = 0.3f;
  PILSTF(*R);
  return R;
}

void PileHead(C* Z) {
  for (int k = 0; k < 36; ++k) Z[k] = C(0);
  Z[M6(1, 1)] = C(3.1e6f, 5.2e5f);
  Z[M6(2, 2)] = C(3.1e6f, 5.2e5f);
  Z[M6(3, 3)] = C(9.6e6f, 2.7e6f);
  Z[M6(4, 4)] = C(1.3e7f, 8.7e5f);
  Z[M6(5, 5)] = C(1.3e7f, 8.7e5f);
  Z[M6(6, 6)] = C(3.9e6f, 1.4e5f);
  Z[M6(1, 5)] = Z[M6(5, 1)] = C(-4.4e6f, -5.1e5f);
  Z[M6(2, 4)] = Z[M6(4, 2)] = C(4.4e6f, 5.1e5f);
}

void BM_PGROUP(benchmark::State& state) {
  const int np = static_cast<int>(state.range(0));
  auto R = GroupRun(np);
  C Z[36], ZG[36];
  PileHead(Z);
  int ier = 0;
  for (auto _ : state) {
    PGROUP(*R, Z, ZG, 30.0f, ier);
    benchmark::DoNotOptimize(ZG);
  }
  if (ier != 0) state.SkipWithError("group flexibility matrix is singular");
  state.counters["piles"] = np;
}

BENCHMARK(BM_PGROUP)->Arg(100)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
