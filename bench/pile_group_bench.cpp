// Pile group impedance with pile-soil-pile interaction: fixed heads, so at
// every frequency two lateral flexibility matrices of order 2 NP and a
// vertical one of order NP are built, factored and solved.
#include <benchmark/benchmark.h>

#include <complex>
#include <memory>

#include "pile_group.h"
#include "pile_group_fixture.h"

namespace {

using C = std::complex<float>;
using pile_group_fixture::PileHead;

// np fixed-head piles at 3 ft.
std::unique_ptr<Run> GroupRun(int np) {
  pile_group_fixture::Layout g;
  g.np = np;
  return pile_group_fixture::LayeredGroup(g);
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

// The part of it that builds the three flexibility matrices (interaction
// factors of every pair), without the factor-and-solve.
void BM_FormGroupFlexibility(benchmark::State& state) {
  const int np = static_cast<int>(state.range(0));
  auto R = GroupRun(np);
  C Z[36];
  PileHead(Z);
  const PileGroupInput in = PileGroupInputOf(*R);
  PileGroupWork work;
  GroupFlexibility G;
  for (auto _ : state) {
    FormGroupFlexibility(in, work, Z, 30.0f, G);
    benchmark::DoNotOptimize(G.lateral[0].data());
  }
  state.counters["piles"] = np;
}

BENCHMARK(BM_FormGroupFlexibility)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
