// The interaction path of the pile group: the group impedance from factored
// flexibility matrices against the same sums taken entry by entry from
// their inverses, in double precision (zgesv) and by CINVRT.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "complex_solvers.h"
#include "pile_group.h"
#include "pile_group_fixture.h"

#include "lapacke_std_complex.h"

namespace {

using CF = std::complex<float>;
using CD = std::complex<double>;

struct GroupCase {
  const char* name;
  int np;
  bool fixedHead;
  bool battered;  // every other pile battered by 12 degrees in the xz plane
  float w;        // rad/s: up to 10 static factors; 600 gives a0 above 1
  float spacing;  // ft, pile diameter 1 ft: close 2.5, wide 12 (s above 10)
};

// The case's piles on a grid off the origin, so that no moment sum
// vanishes, with a lever arm H.
std::unique_ptr<Run> CaseRun(const GroupCase& c) {
  pile_group_fixture::Layout g;
  g.np = c.np;
  g.fixedHead = c.fixedHead;
  g.battered = c.battered;
  g.spacing = c.spacing;
  g.x0 = 0.37f * c.spacing;
  g.y0 = -0.21f * c.spacing;
  g.H = 2.5f;
  return pile_group_fixture::LayeredGroup(g);
}

using pile_group_fixture::PileHead;

// The inverse of an n x n matrix in double: zgesv on the identity.
std::vector<CD> InverseByZgesv(const std::vector<CF>& m, int n) {
  std::vector<CD> a(m.begin(), m.end()), inv(static_cast<std::size_t>(n) * n, CD(0.0));
  for (int i = 0; i < n; ++i) inv[static_cast<std::size_t>(i) * n + i] = 1.0;
  std::vector<lapack_int> piv(n);
  EXPECT_EQ(LAPACKE_zgesv(LAPACK_COL_MAJOR, n, n, a.data(), n, piv.data(), inv.data(), n), 0);
  return inv;
}

std::vector<CD> InverseByCinvrt(const std::vector<CF>& m, int n) {
  std::vector<CF> a = m;
  int ier = -1;
  CINVRT(a.data(), n, n, ier);
  EXPECT_EQ(ier, 0);
  return std::vector<CD>(a.begin(), a.end());
}

// The group sums taken entry by entry from the inverses K, as the group
// stiffness is defined: S33 = sum K(p, q), sum x_p K, sum x_q x_p K, ...
template <class Invert>
PileGroupSums SumsOfInverses(const PileGroupInput& in, const GroupFlexibility& G, Invert invert) {
  PileGroupSums g{};
  const int np = G.NP;
  const std::vector<CD> V = invert(G.vertical, np);
  for (int q = 0; q < np; ++q)
    for (int p = 0; p < np; ++p) {
      const CD K = V[static_cast<std::size_t>(q) * np + p];
      const double xp = in.x[p], yp = in.y[p], xq = in.x[q], yq = in.y[q];
      g.S33 += K;
      g.xz33 += xp * K;
      g.yz33 += yp * K;
      g.x2z33 += xq * xp * K;
      g.y2z33 += yq * yp * K;
      g.xyz33 += xq * yp * K;
    }
  const int n = G.LateralOrder();
  for (int dir = 0; dir < 2; ++dir) {
    const std::vector<CD> L = invert(G.lateral[dir], n);
    auto k = [&](int i, int j) { return L[static_cast<std::size_t>(j) * n + i]; };
    const float* c = dir == 0 ? in.y : in.x;
    CD Su, Sc, Sr, cz, c2z, czc;
    for (int q = 0; q < np; ++q)
      for (int p = 0; p < np; ++p) {
        const double cp = c[p], cq = c[q];
        const CD K = G.fixedHead ? k(2 * p, 2 * q) : k(p, q);
        Su += K;
        cz += cp * K;
        c2z += cp * cq * K;
        if (G.fixedHead) {
          Sc += k(2 * p, 2 * q + 1);
          czc += cp * k(2 * p, 2 * q + 1);
          Sr += k(2 * p + 1, 2 * q + 1);
        }
      }
    if (dir == 0) {
      g.S11 = Su; g.S15 = Sc; g.S55 = Sr; g.yz11 = cz; g.y2z11 = c2z; g.yz15 = czc;
    } else {
      g.S22 = Su; g.S24 = Sc; g.S44 = Sr; g.xz22 = cz; g.x2z22 = c2z; g.xz24 = czc;
    }
  }
  g.S66 = G.S66;
  return g;
}

// The largest relative difference over the entries of ZG that are non-zero
// in the reference.
double LargestRelativeError(const CF* ZG, const CF* ref) {
  double worst = 0.0;
  for (int k = 0; k < 36; ++k) {
    if (ref[k] == CF(0)) {
      EXPECT_EQ(ZG[k], CF(0)) << "entry " << k;
      continue;
    }
    worst = std::max(worst, std::abs(CD(ZG[k]) - CD(ref[k])) / std::abs(CD(ref[k])));
  }
  return worst;
}

// The case's group with its pair tables, and the single-pile impedance.
class PileGroupSolve : public ::testing::TestWithParam<GroupCase> {
 protected:
  void SetUp() override {
    PileHead(Z);
    in = PileGroupInputOf(*R);
    ASSERT_NE(in.pairT[0], nullptr);
  }
  const GroupCase& c = GetParam();
  std::unique_ptr<::Run> R = CaseRun(c);
  CF Z[36];
  PileGroupInput in;
};

TEST_P(PileGroupSolve, AgreesWithTheDoubleInverseAtLeastAsCloselyAsCinvrt) {
  CF ZG[36];
  int ier = -1;
  PGROUP(*R, Z, ZG, c.w, ier);
  ASSERT_EQ(ier, 0);

  PileGroupWork work;
  GroupFlexibility G;
  ASSERT_EQ(FormGroupFlexibility(in, work, Z, c.w, G), 0);
  CF ref[36], old[36];
  ASSERT_EQ(GroupImpedanceOfSums(SumsOfInverses(in, G, InverseByZgesv), in.H, ref), 0);
  ASSERT_EQ(GroupImpedanceOfSums(SumsOfInverses(in, G, InverseByCinvrt), in.H, old), 0);

  const double errNew = LargestRelativeError(ZG, ref);
  const double errOld = LargestRelativeError(old, ref);
  EXPECT_LT(errNew, 1e-4);
  // Both results are rounded to single precision: two units in the last
  // place of either are indistinguishable.
  EXPECT_LE(errNew, std::max(errOld, 2.4e-7)) << "CINVRT path: " << errOld;
  // The former path itself, on the same inputs.
  EXPECT_LT(LargestRelativeError(ZG, old), 1e-4);
}

// The sums themselves, in double, before they are rounded into ZG: taken
// with their residual corrections they agree with the double-precision
// inverse to far better than single precision (the corrections leave an
// error of the second order in the single-precision solutions' errors).
TEST_P(PileGroupSolve, SumsAgreeWithTheDoubleInverseToSecondOrder) {
  PileGroupWork work;
  GroupFlexibility G;
  ASSERT_EQ(FormGroupFlexibility(in, work, Z, c.w, G), 0);
  const PileGroupSums ref = SumsOfInverses(in, G, InverseByZgesv);
  PileGroupSums got{};
  ASSERT_EQ(GroupSumsBySolving(in, G, work, got), 0);  // factors G in place

  const std::pair<const char*, CD PileGroupSums::*> sums[] = {
      {"S11", &PileGroupSums::S11},     {"S15", &PileGroupSums::S15},
      {"S55", &PileGroupSums::S55},     {"yz11", &PileGroupSums::yz11},
      {"y2z11", &PileGroupSums::y2z11}, {"yz15", &PileGroupSums::yz15},
      {"S22", &PileGroupSums::S22},     {"S24", &PileGroupSums::S24},
      {"S44", &PileGroupSums::S44},     {"xz22", &PileGroupSums::xz22},
      {"x2z22", &PileGroupSums::x2z22}, {"xz24", &PileGroupSums::xz24},
      {"S33", &PileGroupSums::S33},     {"xz33", &PileGroupSums::xz33},
      {"yz33", &PileGroupSums::yz33},   {"x2z33", &PileGroupSums::x2z33},
      {"y2z33", &PileGroupSums::y2z33}, {"xyz33", &PileGroupSums::xyz33}};
  double worst = 0.0;
  for (const auto& [name, member] : sums) {
    const CD want = ref.*member, have = got.*member;
    if (want == CD(0.0)) {
      EXPECT_EQ(have, CD(0.0)) << name;
      continue;
    }
    const double err = std::abs(have - want) / std::abs(want);
    worst = std::max(worst, err);
    EXPECT_LT(err, 1e-9) << name << ": " << have << " against " << want;
  }
  std::ostringstream text;
  text << worst;
  RecordProperty("largest_relative_error", text.str());
}

// The workers solve the three matrices of a frequency as separate items,
// in any order, each worker reusing its one matrix storage: every sum is
// bit for bit the one of the three solved together.
TEST_P(PileGroupSolve, EachMatrixOnItsOwnGivesTheSameSums) {
  PileGroupWork work;
  GroupFlexibility G;
  ASSERT_EQ(FormGroupFlexibility(in, work, Z, c.w, G), 0);
  PileGroupSums together{};
  ASSERT_EQ(GroupSumsBySolving(in, G, work, together), 0);

  const GroupMatrix smallestFirst[] = {GroupMatrix::kVertical, GroupMatrix::kLateralY,
                                       GroupMatrix::kLateralX};
  for (const GroupMatrix* order : {kGroupMatrices, smallestFirst}) {
    PileGroupWork one;  // one worker's storage for all three
    PileGroupSums apart{};
    for (int m = 0; m < 3; ++m) ASSERT_EQ(GroupMatrixSums(in, one, Z, c.w, order[m], apart), 0);
    const CD PileGroupSums::*members[] = {
        &PileGroupSums::S11,   &PileGroupSums::S22,   &PileGroupSums::S33,   &PileGroupSums::S44,
        &PileGroupSums::S55,   &PileGroupSums::S66,   &PileGroupSums::S15,   &PileGroupSums::S24,
        &PileGroupSums::yz11,  &PileGroupSums::xz22,  &PileGroupSums::xz33,  &PileGroupSums::yz33,
        &PileGroupSums::yz15,  &PileGroupSums::xz24,  &PileGroupSums::y2z11, &PileGroupSums::x2z22,
        &PileGroupSums::x2z33, &PileGroupSums::y2z33, &PileGroupSums::xyz33};
    for (const auto member : members) {
      const CD a = together.*member, b = apart.*member;
      EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << a << " against " << b;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Groups, PileGroupSolve,
    ::testing::Values(GroupCase{"Two_pinned_low_close", 2, false, false, 5.0f, 2.5f},
                      GroupCase{"Two_fixed_battered_high_wide", 2, true, true, 600.0f, 12.0f},
                      GroupCase{"Four_fixed_high_close", 4, true, false, 600.0f, 2.5f},
                      GroupCase{"Four_pinned_battered_low_wide", 4, false, true, 5.0f, 12.0f},
                      GroupCase{"Fifty_fixed_battered_low_close", 50, true, true, 5.0f, 2.5f},
                      GroupCase{"Fifty_pinned_high_wide", 50, false, false, 600.0f, 12.0f},
                      GroupCase{"TwoHundred_fixed_high_close", 200, true, false, 600.0f, 2.5f},
                      GroupCase{"TwoHundred_fixed_battered_low_wide", 200, true, true, 5.0f, 12.0f},
                      GroupCase{"TwoHundred_pinned_battered_high_close", 200, false, true, 120.0f, 2.5f}),
    [](const auto& info) { return std::string(info.param.name); });

// A group flexibility matrix that cannot be factored is reported as 129
// with nothing in ZG: two piles at the same place with a vertical factor
// of 1 make the vertical group singular.
TEST(PileGroupSolve, SingularGroupMatrixIsReported) {
  CF Z[36], ZG[36];
  PileHead(Z);
  const float x[2] = {0.0f, 0.0f}, y[2] = {0.0f, 0.0f}, ang[18] = {};
  std::vector<float> T[5];
  for (auto& t : T) t.assign(4, 0.0f);
  T[0][2] = 1.0f;  // vertical factor (1, 2)
  T[0][1] = 2.0f;  // spacing ratio
  PileGroupInput in;
  in.NP = 2;
  in.interaction = true;
  in.x = x;
  in.y = y;
  in.angles = ang;
  in.r1 = 0.5f;
  in.Vr = 300.0f;
  for (int k = 0; k < 5; ++k) in.pairT[k] = T[k].data();
  PileGroupWork work;
  int ier = 0;
  PileGroupImpedance(in, work, Z, ZG, 5.0f, ier);
  EXPECT_EQ(ier, 129);
  for (int k = 0; k < 36; ++k) EXPECT_EQ(ZG[k], CF(0));
}

}  // namespace
