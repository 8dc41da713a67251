// Pile groups for the group-impedance tests and benchmarks: a fixed-head
// pile-head impedance of the driver's form, and a run with a grid of
// interacting piles in two soil layers whose pair tables are filled.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>

#include "pile_interaction.h"
#include "run_state.h"
#include "transforms.h"

namespace pile_group_fixture {

// The driver's entries of a fixed-head pile head; the rest zero.
inline void PileHead(std::complex<float>* Z) {
  using C = std::complex<float>;
  std::fill(Z, Z + 36, C(0));
  Z[M6(1, 1)] = C(3.1e6f, 5.2e5f);
  Z[M6(2, 2)] = C(3.3e6f, 5.0e5f);
  Z[M6(3, 3)] = C(9.6e6f, 2.7e6f);
  Z[M6(4, 4)] = C(1.4e7f, 8.6e5f);
  Z[M6(5, 5)] = C(1.3e7f, 8.7e5f);
  Z[M6(6, 6)] = C(3.9e6f, 1.4e5f);
  Z[M6(1, 5)] = Z[M6(5, 1)] = C(-4.4e6f, -5.1e5f);
  Z[M6(2, 4)] = Z[M6(4, 2)] = C(4.5e6f, 5.3e5f);
}

struct Layout {
  int np = 1;
  bool fixedHead = true;
  bool battered = false;  // every other pile battered by 12 degrees in the xz plane
  float spacing = 3.0f;   // ft between grid lines (pile diameter 1 ft)
  float x0 = 0.0f, y0 = 0.0f;  // position of the first pile
  float H = 0.0f;         // height of the reference point above the heads
};

// np piles on a square-ish grid, interaction on, two layers over a base.
inline std::unique_ptr<Run> LayeredGroup(const Layout& g) {
  auto R = std::make_unique<Run>();
  R->flags.GCONST = 32.2f;
  R->flags.FNDTYP = Foundation::kPile;
  R->flags.INTER = 1;
  R->flags.IBATT = g.battered ? 1 : 0;
  R->fnd.NPILE = static_cast<float>(g.np);
  R->fnd.FIX = g.fixedHead ? 1.0f : 0.0f;
  R->fnd.NLAY = 2.0f;
  R->fnd.TLEN = 40.0f;
  R->fnd.EMOD = 4.0e8f;
  R->fnd.HCG = g.H;
  const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(g.np))));
  for (int p = 0; p < g.np; ++p) {
    R->fnd.XP[p] = g.x0 + g.spacing * static_cast<float>(p % side);
    R->fnd.YP[p] = g.y0 + g.spacing * static_cast<float>(p / side);
    if (!g.battered) continue;
    const float t = p % 2 == 1 ? 12.0f : 0.0f;
    // Direction angles of a rotation by t about y (0: a vertical pile).
    const float ang[3][3] = {{t, 90.0f, 90.0f - t}, {90.0f, 0.0f, 90.0f}, {90.0f + t, 90.0f, t}};
    for (int r = 1; r <= 3; ++r)
      for (int k = 1; k <= 3; ++k) R->fnd.BANG[BANGIX(r, k, p + 1)] = ang[r - 1][k - 1];
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

}  // namespace pile_group_fixture
