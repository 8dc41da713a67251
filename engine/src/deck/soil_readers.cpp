// SOIL block readers: SOILKW (sub-keyword order), SOLCST (soil constants by
// foundation and soil media type) and RDBELO (soil below the foundation).
#include "soil_readers.h"

#include <cmath>
#include <string>
#include <vector>

#include "field_reader.h"
#include "footing_response.h"
#include "keyword_loop.h"
#include "numeric_helpers.h"
#include "reader_helpers.h"
#include "report_framework.h"
#include "report_writer.h"
#include "run_state.h"

namespace {

using namespace deck_reading;

static_assert(kMaxLayers == 30, "the limit messages name 30 layers");

bool ElasticPoisson(float nu) { return nu > -1.0f && nu <= 0.5f; }

// Soil values no model can take: a negative velocity, unit weight or ratio,
// or a Poisson's ratio outside the elastic range.
void CheckLayer(Run& R, const char* what, int i, float vs, float uw, float pr) {
  if (vs < 0.0f || uw < 0.0f || !ElasticPoisson(pr)) {
    WRITE(R, R.IUNIT[kReportChannel],
          "(//' ERROR - ',A,I3,' : NEGATIVE VELOCITY OR UNIT WEIGHT, OR POISSONS RATIO'/"
          "' NOT ABOVE -1.0 OR ABOVE 0.5'/' PROGRAM WILL NOT EXECUTE')",
          {std::string(what), i});
    R.flags.IERFLG = 1;
  }
}

void CheckWeak(Run& R, const char* what, int i, float ratio, float pr, float thick) {
  if (ratio < 0.0f || thick < 0.0f || !ElasticPoisson(pr)) {
    WRITE(R, R.IUNIT[kReportChannel],
          "(//' ERROR - ',A,I3,' : NEGATIVE WEAK SHEAR RATIO OR THICKNESS RATIO, OR WEAK'/"
          "' POISSONS RATIO NOT ABOVE -1.0 OR ABOVE 0.5'/' PROGRAM WILL NOT EXECUTE')",
          {std::string(what), i});
    R.flags.IERFLG = 1;
  }
}

void SoilConstantsError(Run& R) {
  WRITE(R, R.IUNIT[kReportChannel], "(//1X,'ERROR ENCOUNTERED WHILE READING SOIL CONSTANTS'/1X,'PROGRAM WILL NOT EXECUTE')");
  R.flags.IERFLG = 1;
}

// Block S.
void EchoSoilConstants(Run& R, float vs, float uw, float pr, float d) {
  WRITE(R, R.IUNIT[kReportChannel],
        "(//1X,'SOIL CONSTANTS'/1X,14('*')//1X,'SHEAR WAVE VELOCITY  ...........',F12.5,1X,A4/"
        "1X,'UNIT WEIGHT  ...................',F12.5,1X,A8/1X,'POISSONS RATIO  ................',F12.5/"
        "1X,'MATERIAL DAMPING  ..............',F12.5)",
        {vs, R.LABEL[LBL_VELOCITY], uw, R.LABEL[LBL_UNITWT], pr, d});
}

// Block Z over rows first..last of a weak shear-ratio column.
void EchoWeakZone(Run& R, const float* ratio, int first, int last) {
  const int out = R.IUNIT[kReportChannel];
  WRITE(R, out,
        "(//1X,'NONLINEARITY OF SOIL (WEAKENED ZONE)'/1X,36('*')//1X,'LAYER  SHEAR MODULUS  '/"
        "1X,' NO.   RATIO          '/)");
  if (!(ratio[0] > 1.0e-6f || ratio[1] > 1.0e-6f)) return;
  for (int i = first; i <= last; ++i) WRITE(R, out, "(1X,I3,5X,F7.3)", {i, ratio[i - 1]});
}

// One row of layer i: layer number, four soil values, and the weak values
// (read with WEAK, else the defaults).  False on a failed read.
bool ReadLayerRow(Run& R, int i, bool weak) {
  SoilData& S = R.soil;
  const int j = i - 1;
  float num = 0.0f;
  if (!(ReadNumber(R, num) && ReadNumber(R, S.SLVS[j]) && ReadNumber(R, S.SLUWT[j]) &&
        ReadNumber(R, S.SLPR[j]) && ReadNumber(R, S.SLDAMP[j])))
    return false;
  if (weak) {
    float t = 0.0f;
    if (!(ReadNumber(R, S.WKGRAT[j]) && ReadNumber(R, S.WKPR[j]) && ReadNumber(R, S.WKDAMP[j]) &&
          ReadNumber(R, t)))
      return false;
    S.WKTHK[j] = S.WKGRAT[j] > 0.999f ? 0.0f : t;
  } else {
    S.WKGRAT[j] = 1.0f;
    S.WKPR[j] = S.SLPR[j];
    S.WKDAMP[j] = S.SLDAMP[j];
    S.WKTHK[j] = 0.0f;
  }
  return true;
}

// Blocks L and M (rows first..last, velocity, unit weight, Poisson, damping).
void EchoLayerRows(Run& R, int first, int last) {
  const SoilData& S = R.soil;
  for (int i = first; i <= last; ++i) {
    const int j = i - 1;
    WRITE(R, R.IUNIT[kReportChannel], "(1X,I3,4X,F9.3,1X,F11.3,3X,F5.3,3X,F7.3)", {i, S.SLVS[j], S.SLUWT[j], S.SLPR[j], S.SLDAMP[j]});
  }
}

// A: pile in parabolic soil.
void ParabolicSoil(Run& R) {
  SoilData& S = R.soil;
  FoundationData& D = R.fnd;
  const bool weak = R.flags.IWEAK == 1;
  float vs = 0.0f, uw = 0.0f, pr = 0.0f, d = 0.0f;
  if (!(ReadNumber(R, vs) && ReadNumber(R, uw) && ReadNumber(R, pr) && ReadNumber(R, d))) {
    SoilConstantsError(R);
    return;
  }
  S.VREF = vs;
  S.SLUWT[0] = uw;
  S.SLPR[0] = pr;
  S.SLDAMP[0] = d;
  CheckLayer(R, "SOIL LAYER", 1, vs, uw, pr);
  if (Echo(R)) EchoSoilConstants(R, vs, uw, pr, d);

  // The profile over the pile length: 20 layers of L/40, then 10 of L/20,
  // velocity at each layer's mid-depth.  It needs a pile length.
  const float L = D.TLEN;
  if (!(L > 0.0f)) {
    Fatal(R, " ERROR - A PARABOLIC SOIL PROFILE NEEDS A TOTAL PILE LENGTH GREATER THAN ZERO");
  }
  static_assert(kMaxLayers == 30, "the profile's 20 + 10 layers fill the layer table");
  D.NLAY = static_cast<float>(kMaxLayers);
  const float dz = L / 40.0f;
  float z = 0.0f;
  for (int i = 1; i <= kMaxLayers; ++i) {
    const int j = i - 1;
    const float t = i <= 20 ? dz : 2.0f * dz;
    z += t;
    const float zm = z - 0.5f * t;
    S.SLTHK[j] = t;
    D.ELDEP[j] = t;
    S.SLVS[j] = L > 0.0f && vs >= 0.0f ? vs * std::pow(zm / L, 0.25f) : 0.0f;
    S.SLUWT[j] = uw;
    S.SLPR[j] = pr;
    S.SLDAMP[j] = d;
    S.SLGRAT[j] = 1.0f;
    S.SLDRAT[j] = 1.0f;
    D.ELRX[j] = D.ELRX[0];
    D.ELRY[j] = D.ELRY[0];
    D.ELAREA[j] = D.ELAREA[0];
    D.ELIX[j] = D.ELIX[0];
    D.ELIY[j] = D.ELIY[0];
    D.ELJ[j] = D.ELJ[0];
  }

  float wg = 0.0f, wpr = pr, wd = d, wt = 0.0f;
  if (weak) {
    if (!(ReadNumber(R, wg) && ReadNumber(R, wpr) && ReadNumber(R, wd) && ReadNumber(R, wt))) {
      SoilConstantsError(R);
      return;
    }
    CheckWeak(R, "SOIL LAYER", 1, wg, wpr, wt);
  }
  S.WKGRAT.fill(wg);
  S.WKPR.fill(wpr);
  S.WKDAMP.fill(wd);
  S.WKTHK.fill(wt);
  if (weak && Echo(R))
    WRITE(R, R.IUNIT[kReportChannel],
          "(1X,'WEAK SHEAR RATIO  ..............',F12.5/1X,'WEAKPOISSONS RATIO  ..........',F12.5/"
          "1X,'WEAK MATERIAL DAMPING  .........',F12.5/1X,'WEAK THICKNESS RATIO  ..........',F12.5)",
          {wg, wpr, wd, wt});
}

// B: pile in layered soil; C: multilayer system.
void LayeredSoil(Run& R, bool multi) {
  SoilData& S = R.soil;
  const FoundationData& D = R.fnd;
  const int out = R.IUNIT[kReportChannel];
  const bool weak = R.flags.IWEAK == 1;
  S.SLGRAT.fill(1.0f);
  S.SLDRAT.fill(1.0f);
  const int n = Count(D.NLAY, kMaxLayers);
  int m = n;
  if (multi) {
    float adj = 0.0f;
    if (!ReadNumber(R, adj)) {
      SoilConstantsError(R);
      return;
    }
    S.NADJ = adj;
    if (IROUND(adj) > kMaxLayers) {
      Fatal(R, " ERROR - NUMBER OF ADJACENT LAYERS EXCEEDS 30");
      return;
    }
    m = Count(adj, kMaxLayers);
  }
  for (int i = 1; i <= m; ++i)
    if (!ReadLayerRow(R, i, weak)) {
      SoilConstantsError(R);
      return;
    }
  for (int i = m + 1; i <= n; ++i) {
    const int j = i - 1;
    float num = 0.0f;
    if (!(ReadNumber(R, num) && ReadNumber(R, S.SLVS[j]) && ReadNumber(R, S.SLUWT[j]) &&
          ReadNumber(R, S.SLPR[j]) && ReadNumber(R, S.SLDAMP[j]) && ReadNumber(R, S.SLGRAT[j]) &&
          ReadNumber(R, S.SLDRAT[j]))) {
      SoilConstantsError(R);
      return;
    }
    S.WKGRAT[j] = 1.0f;
    S.WKPR[j] = S.SLPR[j];
    S.WKDAMP[j] = S.SLDAMP[j];
    S.WKTHK[j] = 0.0f;
  }
  if (n >= 1) S.VREF = S.SLVS[n - 1];
  // Layer thicknesses are the element lengths.
  for (int j = 0; j < kMaxLayers; ++j) S.SLTHK[j] = D.ELDEP[j];

  const int rows = m > n ? m : n;
  for (int i = 1; i <= rows; ++i) {
    const int j = i - 1;
    CheckLayer(R, "SOIL LAYER", i, S.SLVS[j], S.SLUWT[j], S.SLPR[j]);
    if (i <= m && weak) CheckWeak(R, "SOIL LAYER", i, S.WKGRAT[j], S.WKPR[j], S.WKTHK[j]);
    if (S.SLGRAT[j] < 0.0f || S.SLDRAT[j] < 0.0f)
      Fatal(R, " ERROR - SHEAR MODULUS AND DAMPING RATIOS (IN/OUT) MUST NOT BE NEGATIVE");
  }

  if (!Echo(R)) return;
  const std::string& V = R.LABEL[LBL_VELOCITY];
  const std::string& U = R.LABEL[LBL_UNITWT];
  if (!multi) {
    WRITE(R, out,
          "(//1X,'SOIL CONSTANTS'/1X,14('*')//1X,'LAYER  SHEAR WAVE    UNIT   POISSONS  MATERIAL'/"
          "1X,' NO.    VELOCITY    WEIGHT    RATIO    DAMPING'/11X,A4,6X,A8)",
          {V, U});
    EchoLayerRows(R, 1, n);
    if (weak) EchoWeakZone(R, S.WKGRAT.data(), 1, n);
    return;
  }
  WRITE(R, out,
        "(//1X,'SOIL CONSTANTS',6X,'NUMBER OF ADJACENT LAYERS -  ',I3/1X,14('*')//"
        "1X,'LAYER  SHEAR WAVE   UNIT    POISSONS  MATERIAL'/1X,' NO.    VELOCITY   WEIGHT    RATIO     DAMPING'/"
        "11X,A4,6X,A8)",
        {IROUND(S.NADJ), V, U});
  EchoLayerRows(R, 1, m);
  if (weak) EchoWeakZone(R, S.WKGRAT.data(), 1, m);
  if (n > m) {
    WRITE(R, out, "(//1X,'SOIL PROPERTIES BELOW FOUNDATION'/1X,32('*')//1X,A/1X,A/10X,A4,8X,A8)",
          {std::string("LAYER  SHEAR WAVE   UNIT   POISSON'S  MATERIAL  SHEAR MODULUS  DAMPING RATIO"),
           std::string(" NO.    VELOCITY   WEIGHT    RATIO     DAMPING  RATIO(IN/OUT)      (IN/OUT)"), V, U});
    for (int i = m + 1; i <= n; ++i) {
      const int j = i - 1;
      WRITE(R, out, "(1X,I3,5X,F7.3,2X,F9.3,1X,F7.3,3X,F7.3,6X,F7.3,8X,F7.3)",
            {i, S.SLVS[j], S.SLUWT[j], S.SLPR[j], S.SLDAMP[j], S.SLGRAT[j], S.SLDRAT[j]});
    }
  }
}

// D: side layers of an embedded half-space footing.
void SideLayers(Run& R) {
  SoilData& S = R.soil;
  const int out = R.IUNIT[kReportChannel];
  const bool weak = R.flags.IWEAK == 1;
  float ks = 0.0f;
  if (!ReadNumber(R, ks)) {
    SoilConstantsError(R);
    return;
  }
  if (IROUND(ks) > kMaxLayers) {
    S.NSIDE = 0.0f;
    Fatal(R, " ERROR - NUMBER OF SIDE LAYERS EXCEEDS 30");
    return;
  }
  S.NSIDE = ks;
  const int k = Count(ks, kMaxLayers);
  if (k == 0) return;
  for (int i = 1; i <= k; ++i) {
    const int j = i - 1;
    float num = 0.0f;
    if (!(ReadNumber(R, num) && ReadNumber(R, S.SDTHK[j]) && ReadNumber(R, S.SDVS[j]) &&
          ReadNumber(R, S.SDUWT[j]) && ReadNumber(R, S.SDPR[j]) && ReadNumber(R, S.SDDAMP[j]))) {
      SoilConstantsError(R);
      return;
    }
    if (weak) {
      float t = 0.0f;
      if (!(ReadNumber(R, S.SDWGRAT[j]) && ReadNumber(R, S.SDWPR[j]) && ReadNumber(R, S.SDWDAMP[j]) &&
            ReadNumber(R, t))) {
        SoilConstantsError(R);
        return;
      }
      S.SDWTHK[j] = S.SDWGRAT[j] > 0.999f ? 0.0f : t;
    } else {
      S.SDWGRAT[j] = 1.0f;
      S.SDWPR[j] = S.SDPR[j];
      S.SDWDAMP[j] = S.SDDAMP[j];
      S.SDWTHK[j] = 0.0f;
    }
  }
  for (int i = 1; i <= k; ++i) {
    const int j = i - 1;
    CheckLayer(R, "SIDE LAYER", i, S.SDVS[j], S.SDUWT[j], S.SDPR[j]);
    if (S.SDTHK[j] < 0.0f) Fatal(R, " ERROR - THICKNESS OF A SIDE LAYER MUST NOT BE NEGATIVE");
    if (weak) CheckWeak(R, "SIDE LAYER", i, S.SDWGRAT[j], S.SDWPR[j], S.SDWTHK[j]);
  }
  if (Echo(R)) {
    WRITE(R, out,
          "(//1X,'SOIL CONSTANTS  NUMBER OF SIDE LAYERS - ',I3/1X,14('*')//1X,A/"
          "1X,' NO.   DEPTH   VELOCITY   WEIGHT    RATIO     DAMPING'/10X,A2,7X,A4,5X,A8)",
          {k, std::string("LAYER  LAYER  SHEAR WAVE   UNIT   POISSON'S  MATERIAL"), R.LABEL[LBL_LENGTH],
           R.LABEL[LBL_VELOCITY], R.LABEL[LBL_UNITWT]});
    for (int i = 1; i <= k; ++i) {
      const int j = i - 1;
      WRITE(R, out, "(1X,I3,1X,F9.3,2X,F8.3,1X,F10.3,2X,F7.3,3X,F7.3)",
            {i, S.SDTHK[j], S.SDVS[j], S.SDUWT[j], S.SDPR[j], S.SDDAMP[j]});
    }
    if (weak) EchoWeakZone(R, S.SDWGRAT.data(), 1, k);
  }
  if (weak)
    for (int j = 0; j < k; ++j) S.SDWTHK[j] *= R.fnd.REQ[0];
}

// E: the stratum.
void StratumSoil(Run& R) {
  SoilData& S = R.soil;
  float vs = 0.0f, uw = 0.0f, pr = 0.0f, d = 0.0f;
  if (!(ReadNumber(R, vs) && ReadNumber(R, uw) && ReadNumber(R, pr) && ReadNumber(R, d))) {
    SoilConstantsError(R);
    return;
  }
  S.STVS = vs;
  S.STUWT = uw;
  S.STPR = pr;
  S.STDAMP = d;
  // The stratum formulas divide by the velocity (frequency ratio) and by
  // 1 - 2 nu.
  if (!(vs > 0.0f) || uw < 0.0f || !(pr > -1.0f && pr < 0.5f))
    Fatal(R, " ERROR - STRATUM: VELOCITY MUST BE GREATER THAN ZERO, UNIT WEIGHT NOT NEGATIVE AND"
             " POISSONS RATIO ABOVE -1.0 AND BELOW 0.5");
  if (Echo(R)) EchoSoilConstants(R, vs, uw, pr, d);
}

}  // namespace

void SOILKW(Run& R) {
  RunFlags& F = R.flags;
  const int out = R.IUNIT[kReportChannel];
  std::string w;
  int k = 0;
  // A word of another block ends this one and goes back to the keyword loop.
  auto giveBack = [&](int st) {
    if (st >= 1 && k >= 1 && k <= NKEY) PushBack(R);
  };
  [&]() {
    int st = ReadWord(R, w, k);
    while (st >= 1 && k == kWEAK) {
      if (F.FNDTYP == Foundation::kStratum) {
        WRITE(R, out,
              "(//1X,'WEAK IS AN IMPROPER KEYWORD FOR THIS FOUNDATION   TYPE'/1X,'PROGRAM WILL NOT EXECUTE')");
        F.IERFLG = 1;
        return;
      }
      F.IWEAK = 1;
      st = ReadWord(R, w, k);
    }
    if (st < 1 || k != kCONS) {
      WRITE(R, out,
            "(//1X,'WEAK OR CONSTANT SUBKEYWORDS ARE EXPECTED TO FOLLOW SOIL KEYWORD'/1X,"
            "'PROGRAM WILL NOT EXECUTE')");
      F.IERFLG = 1;
      giveBack(st);
      return;
    }
    SOLCST(R);
    if (F.FNDTYP == Foundation::kStratum) return;
    st = ReadWord(R, w, k);
    if (st < 1 || k != kBELO) {
      WRITE(R, out,
            "(//1X,'BELOW SUBKEYWORD IS EXPECTED TO FOLLOW SOIL CONSTANT DATA'/1X,'PROGRAM WILL NOT EXECUTE')");
      F.IERFLG = 1;
      giveBack(st);
      return;
    }
    RDBELO(R);
    if (F.FNDTYP != Foundation::kPile) return;
    while (true) {
      st = ReadWord(R, w, k, false);
      if (st < 1) return;
      if (k == kSIDE) {
        F.ISDCAP = 1;
        continue;
      }
      if (k == kEMBE) {
        F.IEMBED = 1;
        RDEMBE(R);
        return;
      }
      PushBack(R);
      return;
    }
  }();
  if (F.ISDCAP == 1 && F.IEMBED != 1) {
    F.ISDCAP = 0;
    WRITE(R, out,
          "(//1X,'SIDE-CAP KEYWORD WAS INPUT WITHOUT THE EMBEDDED KEYWORD - THE SIDE-CAP OPTION WILL BE "
          "IGNORED')");
  }
}

int SOLCST(Run& R) {
  const RunFlags& F = R.flags;
  if (F.FNDTYP == Foundation::kPile && F.MEDIA == 2) {
    ParabolicSoil(R);
  } else if (F.FNDTYP == Foundation::kPile && F.MEDIA == 1) {
    LayeredSoil(R, false);
  } else if (F.FNDTYP == Foundation::kMultilayer) {
    LayeredSoil(R, true);
  } else if (F.FNDTYP == Foundation::kHalfSpace) {
    SideLayers(R);
  } else if (F.FNDTYP == Foundation::kStratum) {
    StratumSoil(R);
  } else {
    WRITE(R, R.IUNIT[kReportChannel],
          "(//1X,'THE FOUNDATION TYPE HAS NOT BEEN ESTABLISHED'/1X,'THE PROGRAM SHOULD NEVER ENCOUNTER THIS "
          "ERROR (SOLCST)')");
    R.flags.IERFLG = 1;
  }
  return 0;
}

int RDBELO(Run& R) {
  RunFlags& F = R.flags;
  SoilData& S = R.soil;
  const int out = R.IUNIT[kReportChannel];
  if (F.FNDTYP == Foundation::kStratum) {
    WRITE(R, out, "(//1X,'INVALID KEYWORD FOR THIS TYPE OF FOUNDATION - KEYWORD -BELOW- IGNORED.')");
    return 0;
  }
  float v[4] = {};
  for (float& x : v) {
    std::string w;
    int st = 1;
    READIT(R, 1, x, w, st);
    if (st != 1 || !std::isfinite(x)) {
      WRITE(R, out,
            "(//1X,'*** BAD DATA IN SOIL DESCRIPTION BELOW PILE ***'/1X,'     - WILL CONTINUE TO PROCESS DATA'/"
            "1X,'     - CANNOT    EXECUTE THIS PROBLEM SET')");
      F.IERFLG = 1;
      return 0;
    }
  }
  S.BLVS = v[0];
  S.BLUWT = v[1];
  S.BLPR = v[2];
  S.BLDAMP = v[3];
  // The soil below is a half-space: its dimensionless frequency divides by
  // the velocity, its coefficients by 1 - nu and 2 - nu.
  if (!(S.BLVS > 0.0f) || S.BLUWT < 0.0f || !ElasticPoisson(S.BLPR))
    Fatal(R, " ERROR - SOIL BELOW: VELOCITY MUST BE GREATER THAN ZERO, UNIT WEIGHT NOT NEGATIVE AND"
             " POISSONS RATIO ABOVE -1.0 AND NOT ABOVE 0.5");
  if (!Echo(R)) return 0;
  std::string title = F.FNDTYP == Foundation::kPile ? "SOIL BELOW PILE" : F.FNDTYP == Foundation::kHalfSpace ? "HALF-SPACE SOIL" : "SOIL BELOW MULTILAYER SYSTEM";
  WRITE(R, out, "(//1X,A/1X,A)", {title, std::string(title.size(), '*')});
  WRITE(R, out, "(/1X,A/1X,A/5X,A4,6X,A8)",
        {std::string("SHEAR WAVE    UNIT    POISSON'S   MATERIAL"),
         std::string(" VELOCITY    WEIGHT     RATIO     DAMPING"), R.LABEL[LBL_VELOCITY], R.LABEL[LBL_UNITWT]});
  WRITE(R, out, "(1X,1P,E9.2,1X,0P,F11.4,3X,F5.3,3X,F7.3)", {S.BLVS, S.BLUWT, S.BLPR, S.BLDAMP});
  return 0;
}
