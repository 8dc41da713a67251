// LOAD block readers: LOADKW (load type and CONS) and RDLOAD (the data of
// harmonic, random and transient loads).
#include "load_readers.h"

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "fft.h"
#include "field_reader.h"
#include "keyword_loop.h"
#include "numeric_helpers.h"
#include "reader_helpers.h"
#include "report_framework.h"
#include "report_writer.h"
#include "run_state.h"

namespace {

using namespace deck_reading;

using Cx = std::complex<float>;

void LoadError(Run& R) {
  WRITE(R, R.IUNIT[kReportChannel],
        "(/,/,1X,' ERROR ENCOUNTERED IN LOAD DESCRIPTION',/,1X,'        - WILL CONTINUE TO PROCESS DATA',/,1X,"
        "'     - CANNOT EXECUTE THIS PROBLEM SET')");
  R.flags.IERFLG = 1;
}

// Harmonic; false on a load-description error.
bool Harmonic(Run& R) {
  RunFlags& F = R.flags;
  LoadData& L = R.load;
  const FoundationData& D = R.fnd;
  const int out = R.IUNIT[kReportChannel];

  // The QUADRATIC / NONQUADRATIC word is required: without it the block
  // would be read one item off.
  {
    float v = 0.0f;
    std::string w;
    int st = 1, k = 0, ks = 1;
    READIT(R, -1, v, w, st);
    if (st < 1) return false;
    KEYWRD(R, w, k, ks);
    if (k == kNONQ) {
      F.IQUAD = 1;
    } else if (k == kQUAD) {
      F.IQUAD = 2;
    } else {
      if (k >= 1 && k <= NKEY) READIT(R, 0, v, w, st);  // a keyword goes back to the loop
      return false;
    }
  }
  if (!(ReadNumber(R, L.WMAX) && ReadNumber(R, L.WMIN) && ReadNumber(R, L.WSTEP))) return false;
  float a[6];
  for (float& x : a)
    if (!ReadNumber(R, x)) return false;
  // Every read is tested: an item that is not a number would shift the rest.
  float dx = 0.0f, dy = 0.0f, dz = 0.0f, code = 0.0f;
  if (!(ReadNumber(R, dx) && ReadNumber(R, dy) && ReadNumber(R, dz) && ReadNumber(R, code))) return false;
  if (IROUND(code) == 1) {
    float x1 = 0.0f, y1 = 0.0f, z1 = 0.0f;
    if (!(ReadNumber(R, x1) && ReadNumber(R, y1) && ReadNumber(R, z1))) return false;
    dx = dx - (x1 - D.XCG);
    dy = dy - (y1 - D.YCG);
    dz = -dz - (z1 - D.HCG);
  }
  L.FAMP[0] = a[0];
  L.FAMP[1] = a[1];
  L.FAMP[2] = a[2];
  L.FAMP[3] = a[3] - a[2] * dy + a[1] * dz;
  L.FAMP[4] = a[4] - a[0] * dz + a[2] * dx;
  L.FAMP[5] = a[5] - a[1] * dx + a[0] * dy;
  // Amplitudes or offsets so large that the moments overflow leave no load
  // to solve for.
  for (float x : L.FAMP)
    if (!std::isfinite(x)) return false;

  if (!Echo(R)) return true;
  const float f1 = L.WMAX * 0.5f / 3.14f, f2 = L.WMIN * 0.5f / 3.14f, f3 = L.WSTEP * 0.5f / 3.14f;
  const auto& P = L.FAMP;
  if (F.IQUAD == 1) {
    const std::string& FL = R.LABEL[LBL_FORCE];
    const std::string& ML = R.LABEL[LBL_MOMENT];
    WRITE(R, out,
          "(/,/,1X,'HARMONIC LOAD, NON QUADRATIC',/,1X,28('*'),/,/,1X,'MAXIMUM FREQUENCY ..............',1P,"
          "E10.3,1X,'Hz',/,1X,'MINIMUM FREQUENCY ..............',1P,E10.3,1X,'Hz',/,1X,'STEP FREQUENCY "
          ".................',1P,E10.3,1X,'Hz',/,1X,'FORCE IN X-DIRECTION  ..........',1P,E10.3,1X,A3,/,1X,"
          "'FORCE IN Y-DIRECTION  ..........',1P,E10.3,1X,A3,/,1X,'FORCE IN Z-DIRECTION  ..........',1P,E10.3,"
          "1X,A3,/,1X,'MOMENT ABOUT X-AXIS  ...........',1P,E10.3,1X,A5,/,1X,'MOMENT ABOUT Y-AXIS  "
          "...........',1P,E10.3,1X,A5,/,1X,'MOMENT ABOUT Z-AXIS  ...........',1P,E10.3,1X,A5)",
          {f1, f2, f3, P[0], FL, P[1], FL, P[2], FL, P[3], ML, P[4], ML, P[5], ML});
  } else {
    const std::string& FL = R.LABEL[LBL_MASSLEN];
    const std::string& ML = R.LABEL[LBL_MASSINER];
    WRITE(R, out,
          "(/,/,1X,'HARMONIC LOAD, QUADRATIC',/,1X,24('*'),/,/,1X,'MAXIMUM FREQUENCY ..............',1P,E10.3,"
          "1X,'Hz',/,1X,'MINIMUM FREQUENCY ..............',1P,E10.3,1X,'Hz',/,1X,'STEP FREQUENCY "
          ".................',1P,E10.3,1X,'Hz',/,1X,'FORCE COEFF. IN X-DIRECTION  ...',1P,E10.3,1X,A7,/,1X,"
          "'FORCE COEFF. IN Y-DIRECTION  ...',1P,E10.3,1X,A7,/,1X,'FORCE COEFF. IN Z-DIRECTION  ...',1P,E10.3,"
          "1X,A7,/,1X,'MOMENT COEFF. ABOUT X-AXIS  ....',1P,E10.3,1X,A10,/,1X,'MOMENT COEFF. ABOUT Y-AXIS  "
          "....',1P,E10.3,1X,A10,/,1X,'MOMENT COEFF. ABOUT Z-AXIS  ....',1P,E10.3,1X,A10)",
          {f1, f2, f3, P[0], FL, P[1], FL, P[2], FL, P[3], ML, P[4], ML, P[5], ML});
  }
  return true;
}

// A spectrum location or load type code, 1..6, with its own message.
bool ReadCode(Run& R, int& c, const char* layout) {
  float v = 0.0f;
  if (!ReadNumber(R, v)) return false;
  c = IROUND(v);
  if (c > 6 || c < 1) {
    WRITE(R, R.IUNIT[kReportChannel], layout, {c});
    return false;
  }
  return true;
}

bool Random(Run& R) {
  LoadData& L = R.load;
  const int out = R.IUNIT[kReportChannel];
  float p = 0.0f, s = 0.0f;
  if (!(ReadNumber(R, L.WMAX) && ReadNumber(R, L.WMIN) && ReadNumber(R, p) && ReadNumber(R, L.TOBS) &&
        ReadNumber(R, s)))
    return false;
  const int npr = IROUND(p), nspec = IROUND(s);
  if (npr > kMaxRandomPoints) {
    WRITE(R, out, "(/,1X,'ERROR - NUMBER OF POINTS ( ',I11,' ) CANNOT EXCEED A VALUE OF ',I4)",
          {npr, kMaxRandomPoints});
    return false;
  }
  if (nspec > kMaxSpectra) {
    WRITE(R, out, "(/,1X,'ERROR - NUMBER OF SPECTRA ( ',I11,' ) CANNOT EXCEED A VALUE OF ',I4)",
          {nspec, kMaxSpectra});
    return false;
  }
  L.NPR = npr;
  float div = p - 1.0f;
  if (div == 0.0f) div = 1.0f;
  L.WSTEP = (L.WMAX - L.WMIN) / div;
  L.NSPEC = nspec;
  for (int k = 1; k <= L.NPR; ++k)
    for (int i = 0; i < 36; ++i) {
      L.SPEC[SPECIX(1, 1, k) + i] = 0.0f;
      L.CSPEC[SPECIX(1, 1, k) + i] = Cx(0.0f, 0.0f);
    }
  static constexpr const char* kLocation =
      "(/,1X,'ERROR - LOCATION OF SPECTRA ( ',I3,' ) CANNOT BE ',/,9X,'LESS THAN 1 OR EXCEED A VALUE OF 6')";
  for (int l = 1; l <= L.NSPEC; ++l) {
    int a = 0, b = 0;
    if (!ReadCode(R, a, kLocation) || !ReadCode(R, b, kLocation)) return false;
    L.LOCA[l - 1] = a;
    L.LOCB[l - 1] = b;
    for (int k = 1; k <= L.NPR; ++k)
      if (!ReadNumber(R, L.SPEC[SPECIX(a, b, k)])) return false;
  }
  for (int j = 1; j <= 6; ++j)
    for (int i = 1; i <= 6; ++i)
      for (int k = 1; k <= L.NPR; ++k) {
        const Cx v(L.SPEC[SPECIX(j, i, k)], 0.0f);
        L.CSPEC[SPECIX(j, i, k)] = v;
        L.CSPEC[SPECIX(i, j, k)] = v;
      }

  if (!Echo(R)) return true;
  WRITE(R, out,
        "(/,/,1X,'RANDOM LOAD',/,1X,11('*'),/,/,1X,'MAXIMUM FREQUENCY (Hz)  ........',F7.3,/,1X,'MINIMUM "
        "FREQUENCY (Hz) .........',F7.3,/,1X,'NUMBER OF POINTS  ..............',I4,/,1X,'NUMBER OF SPECTRA  "
        ".............',I4)",
        {L.WMAX * 0.5f / 3.14f, L.WMIN * 0.5f / 3.14f, L.NPR, L.NSPEC});
  for (int l = 1; l <= L.NSPEC; ++l) {
    const int a = L.LOCA[l - 1], b = L.LOCB[l - 1];
    WRITE(R, out, "(/,1X,'LOCATION OF SPECTRA  -  ',I3,2X,I3,/,/,1X,'LOAD AMPLITUDES',1X,A3,/)",
          {a, b, R.LABEL[LBL_FORCE]});
    for (int k = 1; k <= L.NPR; ++k) WRITE(R, out, "(2X,E10.3)", {L.SPEC[SPECIX(a, b, k)]});
  }
  return true;
}

bool Transient(Run& R) {
  LoadData& L = R.load;
  const int out = R.IUNIT[kReportChannel];
  float mr = 0.0f;
  if (!(ReadNumber(R, L.NPT) && ReadNumber(R, L.DT) && ReadNumber(R, mr))) return false;
  const int n = IROUND(L.NPT), m = IROUND(mr);
  if (n > kMaxTransientPoints) {
    WRITE(R, out, "(/,1X,'ERROR - NUMBER OF POINTS ( ',I11,' ) CANNOT EXCEED A VALUE OF ',I4)",
          {n, kMaxTransientPoints});
    return false;
  }
  if (m > kMaxTransientLoads) {
    WRITE(R, out, "(/,1X,'ERROR - NUMBER OF LOADS ( ',I11,' ) CANNOT EXCEED A VALUE OF ',I4)",
          {m, kMaxTransientLoads});
    return false;
  }
  std::vector<Cx> work(static_cast<std::size_t>(n > 0 ? n : 0), Cx(0.0f, 0.0f));
  for (int k = 1; k <= n; ++k)
    for (int d = 1; d <= 6; ++d) L.FLOAD[FLOADIX(d, k)] = Cx(0.0f, 0.0f);
  // Each load's own amplitudes, kept for the echo.
  std::vector<std::vector<float>> amp;
  static constexpr const char* kType =
      "(/,1X,'ERROR - LOAD TYPE INDICATOR ( ',I3,' ) CANNOT BE ',/,9X,'LESS THAN 1 OR EXCEED A VALUE OF 6')";
  for (int l = 1; l <= m; ++l) {
    int c = 0;
    if (!ReadCode(R, c, kType)) return false;
    L.LTYPE[l - 1] = c;
    std::vector<float> a(static_cast<std::size_t>(n > 0 ? n : 0), 0.0f);
    for (int k = 1; k <= n; ++k) {
      if (!ReadNumber(R, a[k - 1])) return false;
      work[k - 1] = Cx(a[k - 1], 0.0f);
    }
    CFFT(work.data(), n);
    for (int k = 1; k <= n; ++k) {
      L.FLOAD[FLOADIX(c, k)] = std::conj(work[k - 1]) / L.NPT;
      work[k - 1] = Cx(0.0f, 0.0f);
    }
    amp.push_back(std::move(a));
  }
  L.TNPT = L.NPT;
  L.THALF = L.NPT * 0.5f + 2.0f;

  if (!Echo(R)) return true;
  WRITE(R, out,
        "(/,/,1X,'TRANSIENT LOAD',/,1X,14('*'),/,/,1X,'NUMBER OF POINTS  ..............  ',I4,/,1X,'TIME "
        "INTERVAL BETWEEN POINTS  ..',F7.3,/,1X,'NUMBER OF LOADS  ...............',I3)",
        {n, L.DT, m});
  static constexpr const char* kHeading[7] = {
      "",
      "(/,1X,'LOAD TYPE CODE - 1 (FORCE IN X-DIRECTION)',/,/,1X,'LOAD AMPLITUDES',1X,A3,/)",
      "(/,1X,'LOAD TYPE CODE - 2 (FORCE IN Y-DIRECTION)',/,/,1X,'LOAD AMPLITUDES',1X,A3,/)",
      "(/,1X,'LOAD TYPE CODE - 3 (FORCE IN Z-DIRECTION)',/,/,1X,'LOAD AMPLITUDES',1X,A3,/)",
      "(/,1X,'LOAD TYPE CODE - 4 (ROTATION ABOUT X-AXIS)',/,/,1X,'LOAD AMPLITUDES',/,1X,A5)",
      "(/,1X,'LOAD TYPE CODE - 5 (ROTATION ABOUT Y-AXIS)',/,/,1X,'LOAD AMPLITUDES',1X,A5,/)",
      "(/,1X,'LOAD TYPE CODE - 6 (ROTATION ABOUT Z-AXIS)',/,/,1X,'LOAD AMPLITUDES',1X,A5,/)"};
  for (int l = 1; l <= m; ++l) {
    const int c = L.LTYPE[l - 1];
    WRITE(R, out, kHeading[c], {c <= 3 ? R.LABEL[LBL_FORCE] : R.LABEL[LBL_MOMENT]});
    for (float v : amp[static_cast<std::size_t>(l - 1)]) WRITE(R, out, "(3X,1P,E10.3)", {v});
  }
  return true;
}

}  // namespace

void LOADKW(Run& R) {
  RunFlags& F = R.flags;
  const int out = R.IUNIT[kReportChannel];
  float v = 0.0f;
  std::string w;
  int st = 1, k = 0, ks = 1;
  READIT(R, -1, v, w, st);
  if (st >= 1) KEYWRD(R, w, k, ks);
  if (st <= 0 || (k != kHARM && k != kTRAN && k != kRAND)) {
    WRITE(R, out, "(/,/,' INVALID OR UNRECOGNIZED KEYWORD - ',A4,' FOR LOAD    TYPE')", {w});
    WRITE(R, out, "(' PROGRAM WILL NOT EXECUTE')");
    F.IERFLG = 1;
    return;
  }
  F.LODTYP = k == kHARM ? Load::kHarmonic : (k == kRAND ? Load::kRandom : Load::kTransient);
  READIT(R, -1, v, w, st);
  k = 0;
  if (st >= 1) KEYWRD(R, w, k, ks);
  if (st >= 1 && k == kCONS) {
    RDLOAD(R);
    return;
  }
  WRITE(R, out, "(/,/,' 'CONSTANT' KEYWORD MISSING FOR LOAD DESCRIPTION')");
  WRITE(R, out, "(' PROGRAM WILL NOT EXECUTE')");
  F.IERFLG = 1;
}

void RDLOAD(Run& R) {
  bool ok = true;
  switch (R.flags.LODTYP) {
    case Load::kHarmonic: ok = Harmonic(R); break;
    case Load::kRandom: ok = Random(R); break;
    case Load::kTransient: ok = Transient(R); break;
    default: return;
  }
  if (!ok) LoadError(R);
}
