// The pile and multilayer branches of the frequency loop: the head
// impedance of one pile (or soil column) from three pile element solutions,
// then the group under the rigid cap (PILE) or the move to the centre of
// gravity (MULTILAYER).
#include "pile_driver.h"

#include <algorithm>
#include <array>
#include <complex>
#include <iterator>
#include <new>
#include <string>

#include "engine_workers.h"
#include "footing_response.h"
#include "numeric_helpers.h"
#include "pile_element.h"
#include "pile_group.h"
#include "pile_interaction.h"
#include "report_writer.h"
#include "run_state.h"
#include "solution_driver.h"
#include "transforms.h"

namespace {

using Cx = std::complex<float>;

// Twelve head values of one PILELM call: stiffness then damping.
struct HeadValues {
  float K[6], C[6];
};

// The arguments common to the three element calls of a frequency.
PileElementArgs ElementArgs(const Run& R, int nl, float w) {
  const FoundationData& f = R.fnd;
  const SoilData& so = R.soil;
  PileElementArgs a;
  a.model = R.flags.FNDTYP == Foundation::kMultilayer ? -1 : (R.flags.MEDIA == 2 ? 0 : 1);
  a.uwPile = f.UWT;
  a.prPile = f.PRAT;
  a.g = R.flags.GCONST;
  a.shearCoef = f.CRIG;
  a.E = f.EMOD;
  a.P = f.SLOAD;
  a.NL = nl;
  a.K = R.flags.FNDTYP == Foundation::kMultilayer ? std::clamp(IROUND(so.NADJ), 0, kMaxLayers) : 0;
  a.colModulus = so.SLGRAT.data();
  a.h = f.ELDEP.data();
  a.vs = so.SLVS.data();
  a.uw = so.SLUWT.data();
  a.pr = so.SLPR.data();
  a.damp = so.SLDAMP.data();
  a.area = f.ELAREA.data();
  a.torsion = f.ELJ.data();
  a.vsBelow = so.BLVS;
  a.uwBelow = so.BLUWT;
  a.prBelow = so.BLPR;
  a.dBelow = so.BLDAMP;
  a.w = w;
  a.weakRatio = so.WKGRAT.data();
  a.weakPr = so.WKPR.data();
  a.weakDamp = so.WKDAMP.data();
  a.weakThick = so.WKTHK.data();
  a.dPile = f.DAMP;
  a.colDamp = so.SLDRAT.data();
  a.wcut1 = R.layfrq.WCUT1;
  a.wcut2 = R.layfrq.WCUT2;
  return a;
}

constexpr const char* kElementSystem = "THE PILE ELEMENT SYSTEM";
constexpr const char* kGroupMatrix = "THE PILE GROUP FLEXIBILITY MATRIX";

// A frequency whose impedance cannot be formed; the driver prints no
// numbers for the point.
void NoSolution(Run& R, const char* what) {
  const float w = R.sol.OMEGA;
  WRITE(R, kReportChannel,
        "(/,/,1X,'*** ',A,' IS SINGULAR AT FREQUENCY ',F12.4,' Hz (',F12.4,' rad./sec.) ***',/,1X,'*** NO IMPEDANCE AT THIS FREQUENCY ***')",
        {std::string(what), w * 0.5f / 3.14f, w});
}

// The impedance of the point at w into p, on any thread: it reads the run
// and writes only p and the worker's own group storage.  Without
// `formGroup` a pile group's impedance is left to the caller (p.ZBASE is
// the pile head's).
void FormImpedance(const Run& R, const PileGroupInput& group, bool formGroup, float w, PileGroupWork& work,
                   PilePoint& p) {
  const FoundationData& f = R.fnd;
  const SolutionData& S = R.sol;
  const bool multilayer = R.flags.FNDTYP == Foundation::kMultilayer;
  const int nl = IROUND(f.NLAY);
  PileElementArgs a = ElementArgs(R, nl, w);

  // A: mean radius, B: x section, C: y section.
  const float* radius[3] = {S.RMEAN.data(), f.ELRX.data(), f.ELRY.data()};
  const float* inertia[3] = {f.ELIX.data(), f.ELIX.data(), f.ELIY.data()};
  HeadValues h[3];
  for (int c = 0; c < 3; ++c) {
    a.r = radius[c];
    a.inertia = inertia[c];
    int ier = 0;
    PILELM(a, h[c].K, h[c].C, ier);
    if (ier != 0) {
      p.status = 1;
      p.what = kElementSystem;
      return;
    }
  }
  const HeadValues &A = h[0], &B = h[1], &C = h[2];
  Cx* Z = p.ZBASE;
  Z[M6(3, 3)] = Cx(A.K[0], w * A.C[0]);
  Z[M6(6, 6)] = Cx(A.K[1], w * A.C[1]);
  const bool single = IROUND(f.NPILE) == 1 || R.flags.INTER == 0;
  if (single && S.IFIXED == 0) {
    Z[M6(1, 1)] = Cx(B.K[5], w * B.C[5]);
    Z[M6(2, 2)] = Cx(C.K[5], w * C.C[5]);
  } else {
    Z[M6(1, 1)] = Cx(B.K[2], w * B.C[2]);
    Z[M6(2, 2)] = Cx(C.K[2], w * C.C[2]);
    Z[M6(4, 4)] = Cx(C.K[3], w * C.C[3]);
    Z[M6(5, 5)] = Cx(B.K[3], w * B.C[3]);
    Z[M6(1, 5)] = Z[M6(5, 1)] = Cx(B.K[4], w * B.C[4]);
    Z[M6(2, 4)] = Z[M6(4, 2)] = Cx(-C.K[4], -w * C.C[4]);
  }

  if (multilayer) {
    float T[36] = {};
    BuildTRIG(T, f.XCG, f.YCG, f.HCG);
    CTRAN6(Z, T, p.ZIMP, 6);
    return;
  }
  if (!formGroup) return;
  int ier = 0;
  PileGroupImpedance(group, work, Z, p.ZIMP, w, ier);
  if (ier != 0) {
    p.status = 1;
    p.what = kGroupMatrix;
  }
}

}  // namespace

bool PileBeforeLoop(Run& R) {
  const int nl = IROUND(R.fnd.NLAY);
  const int np = IROUND(R.fnd.NPILE);
  if (nl < 1 || nl > kMaxLayers || np < 1 || np > kMaxPiles) {
    WRITE(R, kReportChannel,
          "(/,/,1X,'*** NUMBER OF LAYERS (',I6,') OR OF PILES (',I6,') IS NOT ADMISSIBLE ***',/,1X,'***PROGRAM WILL NOT EXECUTE***')",
          {nl, np});
    return false;
  }
  if (R.flags.FNDTYP == Foundation::kPile && R.flags.INTER != 0 && np != 1) {
    // The calling thread's OpenBLAS buffer is mapped before the pair tables'
    // workers take room: the impedances need it whatever the workers.
    if (ReserveBlasBuffers(1) < 1) throw std::bad_alloc();
    PILSTF(R);
  }
  return true;
}

void FormPileImpedances(Run& R, const std::vector<float>& omegas) {
  if (R.flags.FNDTYP != Foundation::kMultilayer) R.soil.NADJ = 0.0f;
  const Run& run = R;  // the workers only read the run
  const PileGroupInput group = PileGroupInputOf(R);
  const bool matrices = GroupInteracts(group);
  std::vector<PilePoint>& points = R.piles.points;
  const int n = static_cast<int>(omegas.size());
  points.assign(omegas.size(), PilePoint{});
  ForEachOnWorkers<PileGroupWork>(n, LapackWorkers(n), [&](int k, PileGroupWork& work) {
    FormImpedance(run, group, !matrices, omegas[k], work, points[k]);
  });
  if (!matrices) return;

  // The group's flexibility matrices, each of every point on its own (the
  // lateral ones, the largest, first: the last items are the small ones and
  // no worker waits long for the others at the end).
  constexpr int kMatrices = static_cast<int>(std::size(kGroupMatrices));
  std::vector<PileGroupSums> sums(omegas.size());
  std::vector<std::array<int, kMatrices>> failed(omegas.size());
  const int items = kMatrices * n;
  ForEachOnWorkers<PileGroupWork>(
      items, LapackWorkers(items),
      [&](int item, PileGroupWork& work) {
        const int m = item / n, k = item % n;
        if (points[k].status != 0) return;  // no pile head impedance
        failed[k][m] = GroupMatrixSums(group, work, points[k].ZBASE, omegas[k], kGroupMatrices[m], sums[k]);
      },
      [&](PileGroupWork& work) { ReserveGroupWork(group, work); });
  for (int k = 0; k < n; ++k) {
    PilePoint& p = points[k];
    if (p.status != 0) continue;
    const bool formed = std::all_of(failed[k].begin(), failed[k].end(), [](int ier) { return ier == 0; });
    if (!formed || GroupImpedanceOfSums(sums[k], group.H, p.ZIMP) != 0) {
      std::fill(std::begin(p.ZIMP), std::end(p.ZIMP), Cx(0));
      p.status = 1;
      p.what = kGroupMatrix;
    }
  }
}

int PileImpedance(Run& R, int k) {
  SolutionData& S = R.sol;
  const PilePoint& p = R.piles.points.at(static_cast<std::size_t>(k - 1));
  std::copy(std::begin(p.ZBASE), std::end(p.ZBASE), S.ZBASE.begin());
  std::copy(std::begin(p.ZIMP), std::end(p.ZIMP), S.ZIMP.begin());
  if (p.status != 0) NoSolution(R, p.what);
  return p.status;
}
