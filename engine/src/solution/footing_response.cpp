#include "footing_response.h"

#include <cmath>

#include "complex_solvers.h"
#include "complex_solvers_report.h"
#include "numeric_helpers.h"
#include "plot_data_file.h"
#include "report_framework.h"
#include "report_writer.h"
#include "run_state.h"
#include "transforms.h"

using Cx = std::complex<float>;

void SIMPSN(const float* Y, int N, float H, float& S) {
  if (N < 2) {
    S = 0.0f;
    return;
  }
  if (N == 2) {
    S = (Y[0] + Y[1]) * H * 0.5f;
    return;
  }
  float sum = Y[0] + Y[N - 1];
  for (int i = 2; i <= N - 1; ++i) sum += (i % 2 == 0 ? 4.0f : 2.0f) * Y[i - 1];
  S = sum * H / 3.0f;
}

void DYNMAT(Cx* DYN, float w, const float* MASCON) {
  const float w2 = w * w;
  auto sub = [&](int i, int j, float v) { DYN[M6(i, j)] -= Cx(v * w2, 0.0f); };
  auto add = [&](int i, int j, float v) { DYN[M6(i, j)] += Cx(v * w2, 0.0f); };
  sub(1, 1, MASCON[0]);
  sub(2, 2, MASCON[0]);
  sub(3, 3, MASCON[0]);
  sub(4, 4, MASCON[1]);
  sub(5, 5, MASCON[2]);
  sub(6, 6, MASCON[3]);
  add(4, 5, MASCON[4]);
  add(5, 4, MASCON[4]);
  add(4, 6, MASCON[5]);
  add(6, 4, MASCON[5]);
  add(5, 6, MASCON[6]);
  add(6, 5, MASCON[6]);
}

bool AllFinite(const Cx* Z, int n) {
  for (int k = 0; k < n; ++k)
    if (!IsFinite(Z[k])) return false;
  return true;
}

namespace {

// Solves DYN X = B for m right-hand sides.  A refinement that stops short
// of convergence still leaves the refined single solution, which is kept;
// with several right-hand sides the columns after it are not solved, so
// that counts as a failure.
bool Solve(Run& R, const Cx* DYN, Cx* B, int m) {
  if (!AllFinite(DYN)) return false;
  Cx WA[6 * 8];
  float WK[6];
  int ier = 0;
  LEQ2C(R, DYN, 6, 6, B, m, 6, 0, WA, WK, ier);
  if (ier == kSolverSingular) return false;
  if (ier != 0 && m > 1) return false;
  return AllFinite(B, 6 * m);
}

}  // namespace

bool HarmonicPoint(Run& R, const Cx* DYN, const float* FAMP, int IQUAD, float w, float* amp) {
  Cx rhs[6];
  for (int i = 0; i < 6; ++i) {
    float f = FAMP[i];
    if (IQUAD == 2) f *= w * w;
    rhs[i] = Cx(f, 0.0f);
  }
  bool ok = Solve(R, DYN, rhs, 1);
  for (int i = 0; i < 6; ++i) {
    // The modulus in double: no overflow or underflow of the squares.
    amp[i] = ok ? static_cast<float>(std::hypot(static_cast<double>(rhs[i].real()),
                                                static_cast<double>(rhs[i].imag())))
                : 0.0f;
    // A modulus beyond the float range is no amplitude: the point has no
    // response rather than a printed 0.
    if (!std::isfinite(amp[i])) ok = false;
  }
  if (!ok)
    for (int i = 0; i < 6; ++i) amp[i] = 0.0f;
  return ok;
}

bool RandomPoint(Run& R, const Cx* DYN, const Cx* CSPEC, float* sresp) {
  Cx H[36] = {};
  for (int i = 1; i <= 6; ++i) H[M6(i, i)] = Cx(1.0f, 0.0f);
  bool ok = Solve(R, DYN, H, 6);
  for (int r = 1; r <= 6; ++r) {
    double s = 0.0;
    if (ok) {
      for (int j = 1; j <= 6; ++j)
        for (int i = 1; i <= 6; ++i) {
          const std::complex<double> hri(H[M6(r, i)]), hrj(H[M6(r, j)]), c(CSPEC[M6(j, i)]);
          s += (std::conj(hri) * hrj * c).real();
        }
    }
    sresp[r - 1] = static_cast<float>(s);
    // A density beyond the float range: no response at this point.
    if (!std::isfinite(sresp[r - 1])) ok = false;
  }
  if (!ok)
    for (int r = 0; r < 6; ++r) sresp[r] = 0.0f;
  return ok;
}

bool TransientPoint(Run& R, const Cx* DYN, Cx* fload) {
  Cx rhs[6];
  for (int i = 0; i < 6; ++i) rhs[i] = fload[i];
  if (!Solve(R, DYN, rhs, 1)) return false;
  for (int i = 0; i < 6; ++i) fload[i] = rhs[i];
  return true;
}

RandomPeak RandomStatistics(const float* S, int n, float wmin, float wstep, float tobs) {
  RandomPeak p;
  if (n < 1) return p;
  float y2[kMaxRandomPoints];
  const int m = n < kMaxRandomPoints ? n : kMaxRandomPoints;
  for (int k = 1; k <= m; ++k) {
    const float f = wmin + static_cast<float>(k - 1) * wstep;
    y2[k - 1] = f * f * S[k - 1];
  }
  // Moments of the spectrum, whichever way its points run (a maximum below
  // the minimum steps downwards).
  SIMPSN(S, m, std::fabs(wstep), p.m0);
  SIMPSN(y2, m, std::fabs(wstep), p.m2);
  // Spectra that make the response density negative (no power spectrum, e.g.
  // a cross spectrum without its two direct ones) or moments beyond the float
  // range give no real statistics.
  if (!(p.m0 >= 0.0f && p.m2 >= 0.0f && std::isfinite(p.m0) && std::isfinite(p.m2))) {
    p.real = false;
    p.m0 = p.m2 = 0.0f;
    return p;
  }
  if (p.m0 != 0.0f) p.nu0 = std::sqrt(p.m2 / p.m0) / (2.0f * 3.1415927f);
  if (!std::isfinite(p.nu0)) {
    p.real = false;
    p.nu0 = 0.0f;
    return p;
  }
  if (p.m0 == 0.0f || p.m2 == 0.0f || p.nu0 == 0.0f) {
    p.G = 0.0f;
  } else if (!(tobs * p.nu0 > 1.0f)) {
    // ln(TOBS nu0) <= 0: the peak-factor formula has no real value.
    p.defined = false;
    p.G = 0.0f;
  } else {
    // A product beyond the float range still has its logarithm.
    const float tn = tobs * p.nu0;
    const float lg = std::isfinite(tn) ? std::log(tn) : std::log(tobs) + std::log(p.nu0);
    const float s = std::sqrt(2.0f * lg);
    p.G = s + 0.5772f / s;
  }
  p.xmax = p.m0 > 0.0f ? std::sqrt(p.m0) * p.G : 0.0f;
  if (!std::isfinite(p.xmax)) p.xmax = 0.0f;
  return p;
}

void CompleteSpectrum(Cx* fload, int nt) {
  if (nt < 1 || nt > kMaxHarmonicPoints) return;
  const int first = nt % 2 == 0 ? nt / 2 + 2 : (nt + 3) / 2;
  for (int k = first; k <= nt; ++k)
    for (int d = 0; d < 6; ++d) fload[6 * (k - 1) + d] = std::conj(fload[6 * (nt + 1 - k) + d]);
  // Even counts: point 1 and the Nyquist point are made real.  An odd count
  // has no Nyquist point, and its last solved point keeps its value.
  if (nt % 2 == 0) {
    const int nyq = nt / 2 + 1;
    for (int d = 0; d < 6; ++d) {
      fload[d] = Cx(fload[d].real(), 0.0f);
      fload[6 * (nyq - 1) + d] = Cx(fload[6 * (nyq - 1) + d].real(), 0.0f);
    }
  }
}

// ---------------------------------------------------------------------------
// Output steps.


namespace {


}  // namespace

void HRMOUT(Run& R, const ResponseData& D, int nfreq, float wmin, float wstep, const float* freq) {
  int st = 0;
  HEADNG(R, 2, st);
  const std::string& L = R.LABEL[LBL_LENGTH];
  WRITE(R, kReportChannel,
        "(/,/,24X,'FOOTING RESPONSE AMPLITUDES',/,24X,27('-'),/,/,1X,'   FREQ.    FREQ.     TRANS. X    TRANS. Y    VERTICAL','   ROT ABOUT   ROT ABOUT   TORSIONAL',/,1X,'    Hz    rad/sec    DIRECTION   DIRECTION            ','     X AXIS       Y AXIS            ',/,1X,'                       (UOX)       (UOY)       (UOZ)  ','     (EPOX)      (EPOY)      (EPOZ)',/,10X,16X,A2,10X,A2,10X,A2,10X,'rad',9X,'rad',9X,'rad',/,1X,'  ------  -------    ---------   ---------   ---------','   ---------   ---------   ---------',/)",
        {L, L, L});
  float w = wmin - wstep;
  for (int k = 1; k <= nfreq; ++k) {
    w = w + wstep;
    const float* a = &D.UAMP[6 * (k - 1)];
    if (D.FAILED[k - 1]) {
      WRITE(R, kReportChannel, "(2X,F7.2,2X,F7.2,2X,'  *** NO SOLUTION AT THIS FREQUENCY ***')",
            {w * 0.5f / 3.14f, w});
    } else {
      WRITE(R, kReportChannel, "(2X,F7.2,2X,F7.2,2X,6(1X,1P,E11.4))",
            {w * 0.5f / 3.14f, w, a[0], a[1], a[2], a[3], a[4], a[5]});
    }
    WritePlotResponse(R, freq[k - 1], a);
  }
}

void RNDOUT(Run& R, const ResponseData& D, int nfreq, float wmin, float wstep, float tobs,
            const float* freq) {
  int st = 0;
  HEADNG(R, 2, st);
  WRITE(R, kReportChannel,
        "(/,/,14X,'DEGREE OF',/,15X,'FREEDOM',4X,'PEAK FACTOR (G)',3X,'MAXIMUM DISPLACEMENT',/,14X,9('-'),3X,15('-'),3X,20('-'),/)");
  const int n = nfreq < kMaxRandomPoints ? nfreq : kMaxRandomPoints;
  float s[kMaxRandomPoints];
  for (int r = 1; r <= 6; ++r) {
    if (D.nfailed > 0) {
      WRITE(R, kReportChannel, "(17X,I2,12X,'NOT DEFINED: NO SOLUTION AT EVERY FREQUENCY')", {r});
      continue;
    }
    for (int k = 1; k <= n; ++k) s[k - 1] = D.SRESP[6 * (k - 1) + r - 1];
    const RandomPeak p = RandomStatistics(s, n, wmin, wstep, tobs);
    if (!p.real) {
      WRITE(R, kReportChannel, "(17X,I2,12X,'NOT DEFINED: NEGATIVE OR UNBOUNDED SPECTRAL MOMENTS')", {r});
      continue;
    }
    if (!p.defined) {
      WRITE(R, kReportChannel, "(17X,I2,12X,'NOT DEFINED: OBSERVATION PERIOD SHORTER THAN 1/NU0')", {r});
      continue;
    }
    WRITE(R, kReportChannel, "(17X,I2,12X,F4.1,9X,E14.4)", {r, p.G, p.xmax});
  }
  auto spectrum = [&](int r) {
    for (int k = 1; k <= n; ++k) {
      if (D.FAILED[k - 1])
        WRITE(R, kReportChannel, "(15X,F7.2,15X,'NO SOLUTION')", {freq[k - 1]});
      else
        WRITE(R, kReportChannel, "(15X,F7.2,15X,1P,E12.6)", {freq[k - 1], D.SRESP[6 * (k - 1) + r - 1]});
    }
  };
  WRITE(R, kReportChannel,
        "(/,/,15X,'RESPONSE SPECTRA CURVE OF TRANSLATION',/,15X,37('-'),/,15X,'FREQUENCY',12X,'IN X DIRECTION',/)");
  spectrum(1);
  WRITE(R, kReportChannel,
        "(/,/,15X,'RESPONSE SPECTRA CURVE OF ROTATION',/,15X,34('-'),/,15X,'FREQUENCY',14X,'ABOUT Y AXIS',/)");
  spectrum(5);
}

void TRNTAB(Run& R, const ResponseData& D, const Cx* fload, int nt, float dt) {
  int st = 0;
  HEADNG(R, 2, st);
  const std::string& L = R.LABEL[LBL_LENGTH];
  WRITE(R, kReportChannel,
        "(/,/,24X,'FOOTING RESPONSE AMPLITUDES',/,24X,27('-'),/,/,1X,'          TRANS. X   TRANS. Y    VERTICAL',5X,'ROT ABOUT',5X,'ROT ABOUT',2X,'TORSIONAL',/,1X,'  TIME    DIRECTION  DIRECTION         ','        X AXIS       Y AXIS            ',/,13X,'(OUX)      (UOY)       (UOZ)       (EPOX)       (EPOY)',5X,' (EPOZ)',/,15X,A2,9X,A2,10X,A2,9X,'rad',10X,'rad',9X,'rad',/,1X,'-------   ---------   ---------   --------',3X,'  ---------',3X,' --------- ',2X,'--------',/)",
        {L, L, L});
  if (D.nfailed > 0) {
    WRITE(R, kReportChannel,
          "(1X,'*** NO TIME HISTORY: THE DYNAMIC EQUATIONS HAVE NO SOLUTION AT ',I4,' FREQUENCIES ***')",
          {D.nfailed});
    return;
  }
  float t = 0.0f;
  for (int k = 1; k <= nt; ++k) {
    t = t + dt;
    const Cx* f = &fload[6 * (k - 1)];
    WRITE(R, kReportChannel, "(1X,F7.2,2X,6(1X,1P,E11.4))",
          {t, f[0].real(), f[1].real(), f[2].real(), f[3].real(), f[4].real(), f[5].real()});
  }
}
