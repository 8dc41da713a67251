#include "solution_driver.h"

#include <cmath>
#include <string>
#include <vector>

#include "complex_solvers.h"
#include "fft.h"
#include "halfspace_coefficients.h"
#include "numeric_helpers.h"
#include "pile_driver.h"
#include "plot_data_file.h"
#include "report_framework.h"
#include "report_writer.h"
#include "run_state.h"
#include "side_layer_impedance.h"
#include "stratum_model.h"
#include "transforms.h"

namespace {

using Cx = std::complex<float>;

constexpr const char* kLongLayout =
    "(/,/,1X,'FREQUENCY  -  ',F12.4,' Hz ','(',F12.4,' rad./sec.)',/,1X,9('*'),/,/,1X,'STIFFNESS CONSTANTS (K)',/,1X,23('*'),/,/,1X,'HORIZONTAL TRANSLATION (KXX) ..',1P,E13.5,1X,A5,/,1X,'HORIZONTAL TRANSLATION (KYY) ..',1P,E13.5,1X,A5,/,1X,'VERTICAL TRANSLATION (KWW)  ...',1P,E13.5,1X,A5,/,1X,'ROTATION (KPPX) .............. ',1P,E13.5,1X,A9,/,1X,'ROTATION (KPPY)  ..............',1P,E13.5,1X,A9,/,1X,'TORSION (KZT)  ................',1P,E13.5,1X,A9,/,1X,'CROSS-STIFFNESS (KXP)  ........',1P,E13.5,1X,A6,/,1X,'CROSS-STIFFNESS (KYP) ........ ',1P,E13.5,1X,A6,/,/,1X,'DAMPING CONSTANTS (C)',/,1X,21('*'),/,/,1X,'HORIZONTAL TRANSLATION (CXX) ..',1P,E13.5,1X,A9,/,1X,'HORIZONTAL TRANSLATION (CYY) ..',1P,E13.5,1X,A9,/,1X,'VERTICAL TRANSLATION (CWW)  ...',1P,E13.5,1X,A9,/,1X,'ROTATION (CPPX)  ..............',1P,E13.5,1X,A13,/,1X,'ROTATION (CPPY)  ..............',1P,E13.5,1X,A13,/,1X,'TORSION (CZT)  ................',1P,E13.5,1X,A13,/,1X,'CROSS-STIFFNESS (CXP)  ........',1P,E13.5,1X,A10,/,1X,'CROSS-STIFFNESS (CYP)  ........',1P,E13.5,1X,A10)";

constexpr const char* kShortLayout =
    "(/,/,1X,'FREQUENCY  -  ',F12.4,' Hz ','(',F12.4,' rad./sec.)',/,1X,9('*'),/,/,1X,'STIFFNESS CONSTANTS (K)',/,1X,23('*'),/,/,1X,'HORIZONTAL TRANSLATION (KXX) ..',1P,E13.5,1X,A5,/,1X,'HORIZONTAL TRANSLATION (KYY) ..',1P,E13.5,1X,A5,/,1X,'VERTICAL TRANSLATION (KWW)  ...',1P,E13.5,1X,A5,/,1X,'ROTATION (KPPX) .............. ',1P,E13.5,1X,A9,/,1X,'ROTATION (KPPY)  ..............',1P,E13.5,1X,A9,/,1X,'TORSION (KZT)  ................',1P,E13.5,1X,A9,/,/,1X,'DAMPING CONSTANTS (C)',/,1X,21('*'),/,/,1X,'HORIZONTAL TRANSLATION (CXX) ..',1P,E13.5,1X,A9,/,1X,'HORIZONTAL TRANSLATION (CYY) ..',1P,E13.5,1X,A9,/,1X,'VERTICAL TRANSLATION (CWW)  ...',1P,E13.5,1X,A9,/,1X,'ROTATION (CPPX)  ..............',1P,E13.5,1X,A13,/,1X,'ROTATION (CPPY)  ..............',1P,E13.5,1X,A13,/,1X,'TORSION (CZT)  ................',1P,E13.5,1X,A13)";

void Clear(std::array<Cx, 36>& Z) { Z.fill(Cx(0.0f, 0.0f)); }

// Half-space: closed-form coefficients times G r or G r^3 at the base,
// moved to the centre of gravity.  False when the velocity is not positive.
bool HalfSpaceImpedance(Run& R) {
  SolutionData& S = R.sol;
  const SoilData& so = R.soil;
  const FoundationData& f = R.fnd;
  const float vs = so.BLVS;
  if (vs <= 0.0f) {
    WRITE(R, kReportChannel,
          "(/,/,1X,'***INADMISSABLE VALUE FOR SHEAR WAVE ','VELOCITY OF HALF-SPACE (',1P,E9.2,') ***',/,1X,'***PROGRAM WILL NOT EXECUTE***')",
          {vs});
    return false;
  }
  const float r0 = f.REQ[0], r1 = f.REQ[1], r2 = f.REQ[2], r3 = f.REQ[3];
  const float a0 = r0 * S.OMEGA / vs;
  Cx H, V, RX, RY, T;
  HSCOEF(a0, so.BLPR, so.BLDAMP, r0, r1, r2, r3, H, V, RX, RY, T);
  const float G = vs * vs * so.BLUWT / R.flags.GCONST;
  S.ZBASE[M6(2, 2)] = (G * r0) * H;
  S.ZBASE[M6(3, 3)] = (G * r0) * V;
  S.ZBASE[M6(4, 4)] = (G * r1 * r1 * r1) * RX;
  S.ZBASE[M6(5, 5)] = (G * r2 * r2 * r2) * RY;
  S.ZBASE[M6(6, 6)] = (G * r3 * r3 * r3) * T;
  S.ZBASE[M6(1, 1)] = S.ZBASE[M6(2, 2)];
  BuildTRIG(S.TRIG.data(), f.XCG, f.YCG, f.HCG);
  CTRAN6(S.ZBASE.data(), S.TRIG.data(), S.ZIMP.data(), 6);
  return true;
}

void StratumImpedance(Run& R) {
  SolutionData& S = R.sol;
  const SoilData& so = R.soil;
  const FoundationData& f = R.fnd;
  const int shape = R.flags.IGEOM == 2 ? -1 : 1;
  Cx o1, o2, o3, o4, o5, o6, o7;
  STRSTF(S.OMEGA, shape, f.EMBD, f.HLAY, so.STPR, so.STDAMP, so.STUWT, so.STVS, f.RSTR[0],
         f.RSTR[1], f.RSTR[2], f.RSTR[3], f.RSTR[4], o1, o2, o3, o4, o5, o6, o7, R.flags.GCONST);
  S.ZBASE[M6(2, 2)] = o1;
  S.ZBASE[M6(3, 3)] = o2;
  S.ZBASE[M6(2, 4)] = S.ZBASE[M6(4, 2)] = o3;
  S.ZBASE[M6(1, 5)] = S.ZBASE[M6(5, 1)] = o4;
  S.ZBASE[M6(4, 4)] = o5;
  S.ZBASE[M6(5, 5)] = o6;
  S.ZBASE[M6(6, 6)] = o7;
  S.ZBASE[M6(1, 1)] = S.ZBASE[M6(2, 2)];
  BuildTRIG(S.TRIG.data(), f.XCG, f.YCG, f.HCG);
  CTRAN6(S.ZBASE.data(), S.TRIG.data(), S.ZIMP.data(), 6);
}

// Side layers beside an embedded footing or pile cap, top to bottom: each
// layer's reactions act at its mid-depth; the rocking terms of the
// horizontal reactions are integrated over the layer's thickness.
void SideLayers(Run& R) {
  SolutionData& S = R.sol;
  const SoilData& so = R.soil;
  const FoundationData& f = R.fnd;
  const Foundation fnd = R.flags.FNDTYP;
  const float r0 = f.REQ[0], r1 = f.REQ[1], r2 = f.REQ[2], r3 = f.REQ[3];
  const float xg = f.XCG, yg = f.YCG, zg = f.HCG;
  const bool layered = fnd == Foundation::kPile || fnd == Foundation::kMultilayer;
  float ztop = 0.0f;
  for (int j = 0; j < S.NS; ++j) {
    const float h = so.SDTHK[j], vj = so.SDVS[j];
    const float Gj = vj * vj * so.SDUWT[j] / R.flags.GCONST;
    const float aj = vj != 0.0f ? r0 * S.OMEGA / vj : 0.0f;
    int flag1 = layered && S.OMEGA <= R.layfrq.WCUT1 ? 1 : 0;
    const int flag2 = layered && S.OMEGA <= R.layfrq.WCUT2 ? 1 : 0;
    Cx S1, S2, S3, S4, S5;
    SIDIMP(aj, so.SDPR[j], so.SDDAMP[j], so.SDWGRAT[j], so.SDWPR[j], so.SDWDAMP[j], so.SDWTHK[j],
           r0, r1, r2, r3, S1, S2, S3, S4, S5, flag1, flag2);
    const float zm = ztop + 0.5f * h;
    float T[36];
    BuildTRIG(T, xg, yg, zg);
    T[M6(1, 5)] = zm - zg;
    T[M6(2, 4)] = zg - zm;
    Cx L[36] = {};
    const float gh = Gj * h;
    L[M6(1, 1)] = L[M6(2, 2)] = gh * S1;
    L[M6(3, 3)] = gh * S2;
    L[M6(4, 4)] = (gh * r1 * r1) * S3;
    L[M6(5, 5)] = (gh * r2 * r2) * S4;
    L[M6(6, 6)] = (gh * r3 * r3) * S5;
    Cx LT[36];
    CTRAN6(L, T, LT, 6);
    const float d = zg - ztop;
    const float c = d * d + h * h / 3.0f - d * h;
    const float t44 = T[M6(4, 4)], t34 = T[M6(3, 4)], t55 = T[M6(5, 5)], t35 = T[M6(3, 5)];
    LT[M6(4, 4)] = (t44 * t44) * L[M6(4, 4)] + (t34 * t34) * L[M6(3, 3)] + c * L[M6(2, 2)];
    LT[M6(5, 5)] = (t55 * t55) * L[M6(5, 5)] + (t35 * t35) * L[M6(3, 3)] + c * L[M6(1, 1)];
    for (int k = 0; k < 36; ++k) S.ZIMP[k] += LT[k];
    ztop += h;
  }
}

// The 0.7 factor on the damping of the diagonal and of the two coupling
// terms, then the constants K and C.
void Constants(SolutionData& S) {
  auto scale = [&](int i, int j) {
    Cx& z = S.ZIMP[M6(i, j)];
    z = Cx(z.real(), z.imag() * 0.7f);
  };
  for (int i = 1; i <= 6; ++i) scale(i, i);
  // The coupling terms keep the damping matrix symmetric: their partners
  // (4,2) and (1,5) take the same factor, so that the matrix solved for the
  // response is the one the printed constants describe.
  scale(2, 4);
  scale(4, 2);
  scale(5, 1);
  scale(1, 5);
  const Cx terms[8] = {S.ZIMP[M6(1, 1)], S.ZIMP[M6(2, 2)], S.ZIMP[M6(3, 3)], S.ZIMP[M6(4, 4)],
                       S.ZIMP[M6(5, 5)], S.ZIMP[M6(6, 6)], S.ZIMP[M6(2, 4)], S.ZIMP[M6(5, 1)]};
  for (int i = 0; i < 8; ++i) {
    S.KSTIF[i] = terms[i].real();
    S.CDAMP[i] = terms[i].imag() / S.OMEGA;
  }
  S.CDAMP[3] = std::fabs(S.CDAMP[3]);
  S.CDAMP[4] = std::fabs(S.CDAMP[4]);
}

// Pass 2: the embedment factors on the constants of the base without side
// layers.
void SpecialValues(Run& R) {
  SolutionData& S = R.sol;
  FoundationData& f = R.fnd;
  const Foundation fnd = R.flags.FNDTYP;
  float D = 0.0f;
  if (fnd == Foundation::kStratum) {
    D = f.EMBD;
  } else {
    for (int j = 0; j < S.NS; ++j) D += R.soil.SDTHK[j];
  }
  if (f.REQ[0] == 0.0f) f.REQ[0] = R.flags.IGEOM == 2 ? 0.5f * (f.RSTR[2] + f.RSTR[3]) : f.RAVG;
  const float r0 = f.REQ[0];
  // A stratum has no soil-below record: its own Poisson's ratio stands in.
  const float nu = fnd == Foundation::kStratum ? R.soil.STPR : R.soil.BLPR;
  const float e = r0 != 0.0f ? D / r0 : 0.0f;
  const float a = 2.0f - nu;
  const float fh = 1.0f + 0.55f * a * e;
  const float fr = 1.0f + 1.9f * a * e;
  const float sfh = std::sqrt(fh);
  S.KSTIF[0] *= fh;
  S.KSTIF[1] *= fh;
  S.KSTIF[3] *= fr / sfh;
  S.KSTIF[4] *= fr / sfh;
  const float e3 = e * e * e;
  const float ch = 1.0f + 1.2f * (1.0f - nu) * e + 0.2f * a * e3;
  const float cr = (1.0f + 0.7f * (1.0f - nu) * e + 0.6f * a * e3) / sfh;
  S.CDAMP[0] *= ch;
  S.CDAMP[1] *= ch;
  S.CDAMP[3] = std::fabs(S.CDAMP[3] * cr);
  S.CDAMP[4] = std::fabs(S.CDAMP[4] * cr);
  S.CDAMP[6] = 0.0f;
  S.CDAMP[7] = 0.0f;
}

bool Finite8(const std::array<float, 8>& v) {
  for (float x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

void PrintConstants(Run& R, bool longLayout) {
  const SolutionData& S = R.sol;
  const auto& L = R.LABEL;
  const float w = S.OMEGA;
  if (!Finite8(S.KSTIF) || !Finite8(S.CDAMP)) {
    WRITE(R, kReportChannel,
          "(/,/,1X,'FREQUENCY  -  ',F12.4,' Hz ','(',F12.4,' rad./sec.)',/,1X,9('*'),/,/,1X,'*** THE IMPEDANCE IS NOT DEFINED AT THIS FREQUENCY ***')",
          {w * 0.5f / 3.14f, w});
    return;
  }
  const auto& K = S.KSTIF;
  const auto& C = S.CDAMP;
  if (longLayout) {
    WRITE(R, kReportChannel, kLongLayout,
          {w * 0.5f / 3.14f, w, K[0], L[LBL_TSTIFF], K[1], L[LBL_TSTIFF], K[2], L[LBL_TSTIFF], K[3],
           L[LBL_RSTIFF], K[4], L[LBL_RSTIFF], K[5], L[LBL_RSTIFF], K[6], L[LBL_CSTIFF], K[7],
           L[LBL_CSTIFF], C[0], L[LBL_TDAMP], C[1], L[LBL_TDAMP], C[2], L[LBL_TDAMP], C[3],
           L[LBL_RDAMP], C[4], L[LBL_RDAMP], C[5], L[LBL_RDAMP], C[6], L[LBL_CDAMP], C[7],
           L[LBL_CDAMP]});
  } else {
    WRITE(R, kReportChannel, kShortLayout,
          {w * 0.5f / 3.14f, w, K[0], L[LBL_TSTIFF], K[1], L[LBL_TSTIFF], K[2], L[LBL_TSTIFF], K[3],
           L[LBL_RSTIFF], K[4], L[LBL_RSTIFF], K[5], L[LBL_RSTIFF], C[0], L[LBL_TDAMP], C[1],
           L[LBL_TDAMP], C[2], L[LBL_TDAMP], C[3], L[LBL_RDAMP], C[4], L[LBL_RDAMP], C[5],
           L[LBL_RDAMP]});
  }
}

// Pass 1 at point k: the response to the load through DYN = ZIMP - w^2 M.
void ResponsePoint(Run& R, int k) {
  SolutionData& S = R.sol;
  ResponseData& D = S.resp;
  std::array<Cx, 36> dyn = S.ZIMP;
  DYNMAT(dyn.data(), S.OMEGA, R.mass.MASCON.data());
  bool ok = true;
  switch (R.flags.LODTYP) {
    case Load::kTransient:
      ok = TransientPoint(R, dyn.data(), &R.load.FLOAD[FLOADIX(1, k)]);
      break;
    case Load::kRandom:
      ok = RandomPoint(R, dyn.data(), &R.load.CSPEC[SPECIX(1, 1, k)], &D.SRESP[6 * (k - 1)]);
      break;
    default:
      ok = HarmonicPoint(R, dyn.data(), R.load.FAMP.data(), R.flags.IQUAD, S.OMEGA,
                         &D.UAMP[6 * (k - 1)]);
      break;
  }
  if (!ok) {
    D.FAILED[k - 1] = 1;
    ++D.nfailed;
    WRITE(R, kReportChannel,
          "(/,1X,'*** THE DYNAMIC EQUATIONS HAVE NO SOLUTION AT ',F12.4,' rad./sec. - NO RESPONSE FOR THIS POINT ***')",
          {S.OMEGA});
  }
}

// Transient: the full spectrum from its solved half, back to the time domain.
void TransientOutput(Run& R, int nt) {
  SolutionData& S = R.sol;
  LoadData& ld = R.load;
  if (S.resp.nfailed == 0 && nt >= 1) {
    CompleteSpectrum(ld.FLOAD.data(), nt);
    std::vector<Cx> work(static_cast<std::size_t>(nt));
    for (int d = 1; d <= 6; ++d) {
      for (int k = 1; k <= nt; ++k) work[k - 1] = ld.FLOAD[FLOADIX(d, k)];
      CFFT(work.data(), nt);
      for (int k = 1; k <= nt; ++k) ld.FLOAD[FLOADIX(d, k)] = work[k - 1];
    }
  }
  TRNTAB(R, S.resp, ld.FLOAD.data(), nt, ld.DT);
}

// The number of frequency points, checked against the arrays that hold
// them.  False (with the message on the report) when it does not fit.
bool FrequencyCount(Run& R, int& nt) {
  SolutionData& S = R.sol;
  LoadData& ld = R.load;
  nt = 0;
  if (R.flags.LODTYP == Load::kTransient) {
    nt = IROUND(ld.NPT);
    if (nt < 1 || nt > kMaxTransientPoints) {
      WRITE(R, kReportChannel,
            "(/,/,1X,'*** NUMBER OF TRANSIENT POINTS (',I11,') MUST LIE BETWEEN 1 AND ',I4,' ***',/,1X,'***PROGRAM WILL NOT EXECUTE***')",
            {nt, kMaxTransientPoints});
      return false;
    }
    if (nt > 1 && !(ld.DT * ld.TNPT > 0.0f && std::isfinite(ld.DT * ld.TNPT))) {
      WRITE(R, kReportChannel,
            "(/,/,1X,'*** INADMISSABLE TIME INTERVAL OF TRANSIENT LOAD (',1P,E10.3,') ***',/,1X,'***PROGRAM WILL NOT EXECUTE***')",
            {ld.DT});
      return false;
    }
    S.NFREQ = nt / 2 + 1;
    return true;
  }
  if (ld.WSTEP == 0.0f) ld.WSTEP = 1.0f;
  S.NFREQ = IROUND((ld.WMAX - ld.WMIN) / ld.WSTEP + 1.0f);
  const int cap = R.flags.LODTYP == Load::kRandom ? kMaxRandomPoints : kMaxHarmonicPoints;
  if (S.NFREQ < 1 || S.NFREQ > cap) {
    WRITE(R, kReportChannel,
          "(/,/,1X,'*** NUMBER OF FREQUENCY POINTS (',I11,') MUST LIE BETWEEN 1 AND ',I4,' ***',/,1X,'*** CHECK THE MAXIMUM, MINIMUM AND STEP FREQUENCIES ***',/,1X,'***PROGRAM WILL NOT EXECUTE***')",
          {S.NFREQ, cap});
    return false;
  }
  // The loop steps from WMIN - WSTEP: every point it reaches must be a
  // number (frequencies near the largest real overflow on the way).
  float w = ld.WMIN - ld.WSTEP;
  bool finite = std::isfinite(w);
  for (int k = 1; k <= S.NFREQ && finite; ++k) {
    w += ld.WSTEP;
    finite = std::isfinite(w);
  }
  if (!finite) {
    WRITE(R, kReportChannel,
          "(/,/,1X,'*** FREQUENCIES FROM ',1P,E10.3,' BY ',E10.3,' EXCEED THE RANGE OF REAL NUMBERS ***',/,1X,'*** CHECK THE MAXIMUM, MINIMUM AND STEP FREQUENCIES ***',/,1X,'***PROGRAM WILL NOT EXECUTE***')",
          {ld.WMIN, ld.WSTEP});
    return false;
  }
  return true;
}

// The circular frequency of every point, in the order of the loop.
std::vector<float> FrequencyPoints(const Run& R) {
  const SolutionData& S = R.sol;
  const LoadData& ld = R.load;
  std::vector<float> omegas(static_cast<std::size_t>(S.NFREQ));
  float w = ld.WMIN - ld.WSTEP;
  for (int k = 1; k <= S.NFREQ; ++k) {
    if (R.flags.LODTYP == Load::kTransient) {
      omegas[k - 1] = k == 1 ? 0.01f : static_cast<float>(k - 1) * 2.0f * 3.1415927f / (ld.DT * ld.TNPT);
    } else {
      w += ld.WSTEP;
      omegas[k - 1] = w <= 0.0f ? 0.0001f : w;
    }
  }
  return omegas;
}

// Pile and multilayer layer data: cut-off frequencies, mean pile radii, and
// the weakened-zone thickness of each layer as a length.
void PrepareLayers(Run& R) {
  SolutionData& S = R.sol;
  FoundationData& f = R.fnd;
  SoilData& so = R.soil;
  SoilLayerColumns layers{f.NLAY, so.SLTHK.data(), so.SLVS.data(), so.SLPR.data(), kMaxLayers};
  SoilLayerColumns side{so.NSIDE, so.SDTHK.data(), so.SDVS.data(), so.SDPR.data(), kMaxLayers};
  LAYFRQ(R.flags.IENDBR, layers, side, so.BLVS, R.layfrq.WCUT1, R.layfrq.WCUT2);
  int nl = IROUND(f.NLAY);
  if (nl > kMaxLayers) nl = kMaxLayers;
  for (int i = 0; i < nl; ++i) {
    S.RMEAN[i] = (f.ELRX[i] + f.ELRY[i]) * 0.5f;
    so.WKTHK[i] *= S.RMEAN[i];
  }
  if (R.flags.FNDTYP == Foundation::kMultilayer) f.NPILE = 1.0f;
  S.NPIL = IROUND(f.NPILE);
  S.IFIXED = IROUND(f.FIX);
}

}  // namespace

bool ANALYS(Run& R) {
  SolutionData& S = R.sol;
  RunFlags& fl = R.flags;
  LoadData& ld = R.load;
  const Foundation fnd = fl.FNDTYP;
  const bool pileLike = fnd == Foundation::kPile || fnd == Foundation::kMultilayer;

  if (fl.GCONST <= 0.0f) {
    WRITE(R, kReportChannel,
          "(/,/,1X,'*** INADMISSABLE VALUE FOR GRAVITATIONAL ','CONSTANT (',1P,E10.3,') ***',/,1X,'***PROGRAM WILL NOT EXECUTE***')",
          {fl.GCONST});
    return false;
  }
  if (fl.IEMBED == 0 && fnd != Foundation::kHalfSpace) R.soil.NSIDE = 0.0f;
  S.NS = IROUND(R.soil.NSIDE);
  if (S.NS < 0) S.NS = 0;
  if (S.NS > kMaxLayers) S.NS = kMaxLayers;
  if (fnd == Foundation::kStratum) S.NS = 0;  // the stratum formulas hold the embedment

  if (pileLike) PrepareLayers(R);
  int nt = 0;
  if (!FrequencyCount(R, nt)) return false;
  if (pileLike && !PileBeforeLoop(R)) return false;
  const std::vector<float> omegas = FrequencyPoints(R);
  if (pileLike) FormPileImpedances(R, omegas);
  WritePlotCount(R, S.NFREQ);

  for (int pass = 1; pass <= 2; ++pass) {
    S.IPASS = pass;
    if (pass == 2)
      WRITE(R, kReportChannel,
            "(/,/,/,'************** SPECIAL OUTPUT OPTION **************',/,/,' CONCENTRATED HORIZONTAL AND ROCKING STIFFNESS ',/,' WITHOUT SEPARATED COUPLING TERMS',/,' --------------------------------------','-------')");
    for (int k = 1; k <= S.NFREQ; ++k) {
      S.OMEGA = omegas[k - 1];
      if (fl.LODTYP != Load::kTransient) S.FREQ[k - 1] = S.OMEGA;
      Clear(S.ZBASE);
      Clear(S.ZIMP);
      S.TRIG.fill(0.0f);

      switch (fnd) {
        case Foundation::kHalfSpace:
          if (!HalfSpaceImpedance(R)) return false;
          break;
        case Foundation::kStratum:
          StratumImpedance(R);
          break;
        default:
          // A pile group whose impedance cannot be formed at this frequency
          // (a singular flexibility matrix): the point is reported as such.
          if (PileImpedance(R, k) != 0) S.ZIMP.fill(Cx(NAN, NAN));
          break;
      }
      if (pass == 1 && fnd != Foundation::kStratum && S.NS > 0) SideLayers(R);
      Constants(S);
      if (pass == 2) SpecialValues(R);

      if (fl.IMATR != 0) {
        if (k == 1) {
          int st = 0;
          HEADNG(R, 2, st);
        }
        PrintConstants(R, pass == 1);
        if (pass == 1) {
          WritePlotConstants(R, S.OMEGA, S.KSTIF.data());
          WritePlotConstants(R, S.OMEGA, S.CDAMP.data());
        }
      }
      // The responses come from the first pass, whose impedance holds the
      // side layers; the second pass only reports its special constants.
      if (pass == 1) ResponsePoint(R, k);
    }
  }

  switch (fl.LODTYP) {
    case Load::kTransient:
      TransientOutput(R, nt);
      break;
    case Load::kRandom:
      RNDOUT(R, S.resp, S.NFREQ, ld.WMIN, ld.WSTEP, ld.TOBS, S.FREQ.data());
      break;
    default:
      HRMOUT(R, S.resp, S.NFREQ, ld.WMIN, ld.WSTEP, S.FREQ.data());
      break;
  }
  return true;
}
