// FOUNDATION block readers: RDFOUN and the readers it calls for geometry,
// constants, elements and batter, and RDEMBE for the pile-cap side layers.
#include "foundation_readers.h"

#include <cmath>
#include <string>
#include <vector>

#include "field_reader.h"
#include "footing_response.h"
#include "keyword_loop.h"
#include "mass_reader.h"
#include "numeric_helpers.h"
#include "reader_helpers.h"
#include "report_framework.h"
#include "report_writer.h"
#include "run_state.h"
#include "soil_readers.h"

using namespace deck_reading;

static_assert(kMaxLayers == 30 && kMaxPiles == 500, "the limit messages name 30 layers and 500 piles");

void RDFOUN(Run& R) {
  RunFlags& F = R.flags;
  FoundationData& D = R.fnd;
  const int out = R.IUNIT[kReportChannel];
  std::string w;
  int k = 0;

  // Error exit: the message of the step, then the fatal line.
  auto badWord = [&](const char* what) {
    WRITE(R, out, "(//' INVALID KEYWORD - ',A4,A/' PROGRAM WILL NOT EXECUTE')",
          {w, std::string(what)});
    F.IERFLG = 1;
  };

  // 1. Type.
  if (ReadWord(R, w, k) < 1 || k < kPILE || k > kMULT) {
    badWord(" FOR FOUNDATION TYPE");
    return;
  }
  static_assert(kHALF == kPILE + 1 && kSTRA == kPILE + 2 && kMULT == kPILE + 3,
                "the foundation types follow the table order");
  F.FNDTYP = static_cast<Foundation>(k - kPILE + 1);
  static const char* const kTypeLine[] = {"", " FOUNDATION TYPE - PILE", " FOUNDATION TYPE - HALF-SPACE",
                                          " FOUNDATION TYPE - STRATUM", " FOUNDATION TYPE - MULTILAYER"};
  if (Echo(R))
    WRITE(R, out, "(//A/1X,15('*'))", {std::string(kTypeLine[static_cast<int>(F.FNDTYP)])});
  const bool pile = F.FNDTYP == Foundation::kPile, multi = F.FNDTYP == Foundation::kMultilayer;

  // 2. Geometry.
  if (ReadWord(R, w, k) < 1 || (k != kCIRC && k != kRECT)) {
    badWord(" FOR GEOMETRY TYPE");
    return;
  }
  F.IGEOM = k == kCIRC ? 1 : 2;
  RDGEOM(R);
  if (F.FNDTYP == Foundation::kHalfSpace || F.FNDTYP == Foundation::kStratum) F.MEDIA = 1;

  // 3. Mass.
  if (ReadWord(R, w, k) < 1 || k != kMASS) {
    badWord(" FOR MASS INFORMATION");
    return;
  }
  RDMASS(R);

  if (pile || multi) {
    // 5. Soil media.
    if (ReadWord(R, w, k) < 1 || (k != kLAYE && k != kPARA)) {
      badWord(" FOR SOIL MEDIA TYPE");
      return;
    }
    if (k == kPARA) {
      if (multi) {
        WRITE(R, out,
              "(//' MULTILAYER FOUNDATION IS NOT ALLOWED A PARABOLIC SOIL MEDIA'/"
              "' PROGRAM WILL NOT EXECUTE')");
        F.IERFLG = 1;
        return;
      }
      F.MEDIA = 2;
      if (Echo(R)) WRITE(R, out, "(//' SOIL MEDIA IS PARABOLIC'/1X,23('*'))");
    } else {
      F.MEDIA = 1;
      float n = 0.0f;
      if (!ReadNumber(R, n)) {
        Fatal(R, " ERROR ENCOUNTERED WHILE READING NUMBER OF LAYERS");
        return;
      }
      D.NLAY = n;
      if (IROUND(n) > kMaxLayers) {
        Fatal(R, " ERROR - NUMBER OF LAYERS EXCEEDS 30");
        return;
      }
      if (Echo(R)) WRITE(R, out, "(//' NUMBER OF LAYERS OR ELEMENTS - ',I3/1X,28('*'))", {IROUND(n)});
    }

    // 6. Head fixity.
    if (multi) {
      D.IFIX = 1;
      D.FIX = 1.0f;
    } else {
      if (ReadWord(R, w, k) < 1 || (k != kFIXE && k != kPINN)) {
        badWord(" FOR FIXED OR PINNED INFORMATION");
        return;
      }
      D.IFIX = k == kFIXE ? 1 : 0;
      D.FIX = k == kFIXE ? 1.0f : 0.0f;
      if (D.IFIX == 0 && Echo(R)) WRITE(R, out, "(//' PILES ARE PINNED AT BUTT'/1X,24('*'))");
    }

    // 7. Piles.
    if (pile) {
      float np = 0.0f;
      if (!ReadNumber(R, np)) {
        Fatal(R, " ERROR ENCOUNTERED WHILE READING NUMBER OF PILES");
        return;
      }
      D.NPILE = np;
      if (IROUND(np) > kMaxPiles) {
        Fatal(R, " ERROR - NUMBER OF PILES EXCEEDS 500");
        return;
      }
      const int n = Count(np, kMaxPiles);
      for (int i = 1; i <= n; ++i) {
        float num = 0.0f, x = 0.0f, y = 0.0f;
        if (!ReadNumber(R, num)) {
          Fatal(R, " ERROR ENCOUNTERED WHILE READING PILE NUMBER");
          return;
        }
        if (!ReadNumber(R, x)) {
          Fatal(R, " ERROR ENCOUNTERED WHILE READING PILE X-LOCATOR");
          return;
        }
        if (!ReadNumber(R, y)) {
          Fatal(R, " ERROR ENCOUNTERED WHILE READING PILE Y-LOCATOR");
          return;
        }
        D.XP[i - 1] = x;
        D.YP[i - 1] = y;
      }
      if (Echo(R)) {
        const std::string& L = R.LABEL[LBL_LENGTH];
        WRITE(R, out,
              "(//' LOCATION OF PILES'/1X,17('*')//' PILE       X           Y'/"
              "'  NO.     LOCATION    LOCATION'/13X,A2,11X,A2)",
              {L, L});
        for (int i = 1; i <= n; ++i) WRITE(R, out, "(1X,I3,6X,F7.3,5X,F7.3)", {i, D.XP[i - 1], D.YP[i - 1]});
      }
    }
  }

  // 8. Constants.
  if (ReadWord(R, w, k) < 1 || k != kCONS) {
    badWord(" FOR CONSTANT INFORMATION");
    return;
  }
  RDCONS(R);
  if (!pile && !multi) return;

  // 9. Elements.
  if (ReadWord(R, w, k) < 1 || k != kELEM) {
    badWord(" FOR ELEMENT INFORMATION");
    return;
  }
  RDELEM(R);

  // 10. Tip.  Words that are not ours go back to the keyword loop, which
  // reports them; they are looked up without a report here.
  int st = ReadWord(R, w, k, false);
  if (st >= 1) {
    if (k == kEND) {
      F.IENDBR = 1;
      if (Echo(R)) WRITE(R, out, "(//' PILE TIP CONDITION : END-BEARING'/1X,32('*'))");
    } else if (k != kFLOA) {
      PushBack(R);
    }
  }
  if (multi || st < 1) return;

  // 11. Batter and interaction.
  while (true) {
    st = ReadWord(R, w, k, false);
    if (st < 1) return;
    if (k == kBATT) {
      F.IBATT = 1;
      RDBATT(R);
      if (F.INTER == 1) return;
    } else if (k == kINTE) {
      F.INTER = 1;
      int k2 = 0;
      if (ReadWord(R, w, k2, false) >= 1 && k2 != kFLOA && k2 != kEND) PushBack(R);
      if (F.IBATT == 1) return;
    } else {
      PushBack(R);
      return;
    }
  }
}

void RDGEOM(Run& R) {
  RunFlags& F = R.flags;
  FoundationData& D = R.fnd;
  const int out = R.IUNIT[kReportChannel];
  constexpr float pi = 3.14159f;
  float a = 0.0f, b = 0.0f;
  bool ok = ReadNumber(R, a);
  if (ok && F.IGEOM == 2) ok = ReadNumber(R, b);
  // A radius or side of zero or below leaves no footing: the radii would be
  // zero or the root of a negative number.
  if (ok && (!(a > 0.0f) || (F.IGEOM == 2 && !(b > 0.0f)))) ok = false;
  if (!ok) {
    WRITE(R, out,
          "(/'  *** BAD DATA IN GEOMETRY DESCRIPTION ***'/'         - WILL CONTINUE TO PROCESS DATA'/"
          "'      - CANNOT EXECUTE  THIS PROBLEM SET')");
    F.IERFLG = 1;
  }
  if (F.IGEOM == 1) {
    D.REQ.fill(a);
    D.RSTR.fill(a);
    D.RAVG = a;
  } else if (ok) {
    const float r1 = std::sqrt(a * b / pi);
    const float r2 = std::pow(a * b * b * b / (3.0f * pi), 0.25f);
    const float r3 = std::pow(a * a * a * b / (3.0f * pi), 0.25f);
    const float r4 = std::pow(a * b * (a * a + b * b) / (6.0f * pi), 0.25f);
    D.REQ = {r1, r2, r3, r4};
    if (F.FNDTYP == Foundation::kStratum) {
      D.RSTR = {r1, r1, r2, r3, r4};
      D.RAVG = (D.RSTR[0] + D.RSTR[1] + D.RSTR[2] + D.RSTR[3] + D.RSTR[4]) / 5.0f;
    }
  }
  if (!Echo(R)) return;
  const std::string& L = R.LABEL[LBL_LENGTH];
  if (F.IGEOM == 1)
    WRITE(R, out, "(//' CIRCULAR FOUNDATION  -  RADIUS = ',F8.3,1X,A2/1X,19('*'))", {a, L});
  else
    WRITE(R, out, "(//' RECTANGULAR FOUNDATION  -  ',F8.3,1X,A2,2X,'BY ',F8.3,1X,A2/1X,22('*'))",
          {a, L, b, L});
}

void RDCONS(Run& R) {
  RunFlags& F = R.flags;
  FoundationData& D = R.fnd;
  const int out = R.IUNIT[kReportChannel];
  const Foundation type = F.FNDTYP;
  bool ok = ReadNumber(R, D.XCG) && ReadNumber(R, D.YCG) && ReadNumber(R, D.HCG);
  if (!ok) {
    WRITE(R, out, "(//' ERROR ENCOUNTERED WHILE READING CENTRE OF GRAVITY VARIABLES'/' PROGRAM WILL NOT EXECUTE')");
    F.IERFLG = 1;
  }
  auto constantsError = [&]() {
    WRITE(R, out, "(//' ERROR ENCOUNTERED WHILE READING FOUNDATION CONSTANTS'/' PROGRAM WILL NOT EXECUTE')");
    F.IERFLG = 1;
  };
  if (ok && type == Foundation::kStratum) {
    if (!(ReadNumber(R, D.EMBD) && ReadNumber(R, D.HLAY))) {
      constantsError();
    } else if (!(D.HLAY > 0.0f) || D.EMBD < 0.0f) {
      // The stratum model divides by the layer depth and by H - E.
      Fatal(R, " ERROR - DEPTH OF LAYER MUST BE ABOVE ZERO AND DEPTH OF EMBEDMENT NOT NEGATIVE");
    } else if (D.RAVG > 0.0f) {
      D.ER = D.EMBD / D.RAVG;
      D.EH = D.EMBD / D.HLAY;
      D.RH = D.RAVG / D.HLAY;
      if (D.ER > 1.5f || D.EH > 0.75f) {
        WRITE(R, out, "(//' THE STRATUM OPTION IS NOT GOOD FOR THIS CASE'/' CHECK YOUR E/R,E/H,R/H VALUES')");
        F.IERFLG = 1;
      }
    }
  } else if (ok && (type == Foundation::kPile || type == Foundation::kMultilayer)) {
    if (!(ReadNumber(R, D.TLEN) && ReadNumber(R, D.UWT) && ReadNumber(R, D.SLOAD) &&
          ReadNumber(R, D.PRAT) && ReadNumber(R, D.DAMP) && ReadNumber(R, D.CRIG) &&
          ReadNumber(R, D.EMOD))) {
      constantsError();
    } else {
      // The pile model divides by the modulus and by 2 (1 + nu) of the pile
      // material; lengths, weights and the shear coefficient cannot be
      // negative.
      if (D.TLEN < 0.0f) Fatal(R, " ERROR - TOTAL LENGTH MUST NOT BE NEGATIVE");
      if (D.UWT < 0.0f) Fatal(R, " ERROR - UNIT WEIGHT MUST NOT BE NEGATIVE");
      if (!(D.PRAT > -1.0f && D.PRAT <= 0.5f)) Fatal(R, " ERROR - POISSONS RATIO MUST BE ABOVE -1.0 AND NOT ABOVE 0.5");
      if (D.CRIG < 0.0f) Fatal(R, " ERROR - COEFF. OF RIGIDITY MUST NOT BE NEGATIVE");
      if (!(D.EMOD > 0.0f)) Fatal(R, " ERROR - YOUNGS MODULUS MUST BE GREATER THAN ZERO");
    }
  }
  if (!Echo(R)) return;
  const std::string& L = R.LABEL[LBL_LENGTH];
  if (type == Foundation::kPile || type == Foundation::kMultilayer) {
    if (type == Foundation::kPile)
      WRITE(R, out, "(//' PILE PROPERTIES'/1X,15('*'))");
    else
      WRITE(R, out, "(//' FOUNDATION PROPERTIES'/1X,21('*'))");
    WRITE(R, out,
          "(/' X-LOCATION CENTRE OF GRAV.  ....',F12.5,1X,A2/' Y-LOCATION CENTRE OF GRAV.  ....',F12.5,1X,A2/"
          "' HEIGHT OF CENTRE OF GRAV.  .....',F12.5,1X,A2/' TOTAL LENGTH  ..................',F12.5,1X,A2/"
          "' UNIT WEIGHT  ...................',F12.5,1X,A8/"
          "' STATIC LOAD ON BODY  ...........',1P,E12.5,1X,A3/' POISSONS RATIO  ............... ',0P,F12.5/"
          "' MATERIAL DAMPING  ..............',F12.5/' COEFF. OF RIGIDITY  ............',F12.5/"
          "' YOUNGS MODULUS  ............... ',1P,E12.5,1X,A3)",
          {D.XCG, L, D.YCG, L, D.HCG, L, D.TLEN, L, D.UWT, R.LABEL[LBL_UNITWT], D.SLOAD, R.LABEL[LBL_FORCE],
           D.PRAT, D.DAMP, D.CRIG, D.EMOD, R.LABEL[LBL_PRESSURE]});
  } else if (type == Foundation::kHalfSpace || type == Foundation::kStratum) {
    if (type == Foundation::kHalfSpace)
      WRITE(R, out, "(//' HALF-SPACE FOUNDATION'/1X,21('*'))");
    else
      WRITE(R, out, "(//' STRATUM PROPERTIES'/1X,18('*'))");
    WRITE(R, out,
          "(/' X-LOCATION CENTRE OF GRAV  .....',F12.5,1X,A2/' Y-LOCATION CENTRE OF GRAV  .....',F12.5,1X,A2/"
          "' HEIGHT OF CENTRE OF GRAV  ......',F12.5,1X,A2)",
          {D.XCG, L, D.YCG, L, D.HCG, L});
    if (type == Foundation::kStratum)
      WRITE(R, out,
            "(' DEPTH OF EMBEDMENT  ............',F12.5,1X,A2/' DEPTH OF LAYER  ................',F12.5,1X,A2)",
            {D.EMBD, L, D.HLAY, L});
  }
}

void RDELEM(Run& R) {
  RunFlags& F = R.flags;
  FoundationData& D = R.fnd;
  const int out = R.IUNIT[kReportChannel];
  const bool para = F.MEDIA == 2;
  const int n = para ? 1 : Count(D.NLAY, kMaxLayers);
  bool ok = true;
  for (int i = 1; i <= n && ok; ++i) {
    float num = 0.0f;
    const int j = i - 1;
    if (!para) ok = ReadNumber(R, num) && ReadNumber(R, D.ELDEP[j]);
    ok = ok && ReadNumber(R, D.ELRX[j]) && ReadNumber(R, D.ELRY[j]) && ReadNumber(R, D.ELAREA[j]) &&
         ReadNumber(R, D.ELIX[j]) && ReadNumber(R, D.ELIY[j]) && ReadNumber(R, D.ELJ[j]);
  }
  if (!ok) {
    WRITE(R, out, "(//' ERROR ENCOUNTERED WHILE READING ELEMENT DATA PROGRAM WILL NOT EXECUTE')");
    F.IERFLG = 1;
    return;
  }
  // The element stiffness divides by the length, the area and the moments
  // of inertia, and the side reactions by the radius.
  for (int i = 1; i <= n; ++i) {
    const int j = i - 1;
    const bool bad = (!para && !(D.ELDEP[j] > 0.0f)) || !(D.ELRX[j] > 0.0f) || !(D.ELRY[j] > 0.0f) ||
                     !(D.ELAREA[j] > 0.0f) || !(D.ELIX[j] > 0.0f) || !(D.ELIY[j] > 0.0f) ||
                     !(D.ELJ[j] > 0.0f);
    if (bad) {
      WRITE(R, out,
            "(//' ERROR - ELEMENT',I3,' : DEPTH, RADII, AREA, MOMENTS OF INERTIA AND TORSIONAL STIFFNESS',"
            "/' MUST BE GREATER THAN ZERO'/' PROGRAM WILL NOT EXECUTE')",
            {i});
      F.IERFLG = 1;
    }
  }
  if (!Echo(R)) return;
  WRITE(R, out, "(//' ELEMENT'/1X,7('*')/)");
  if (para) {
    WRITE(R, out,
          "(' RADIUS OF PILE (X)  ............',F12.5/' RADIUS OF PILE (Y)  ............',F12.5/"
          "' CROSS SECTIONAL AREA  ..........',F12.5/' MOMENT OF INERTIA (X)  .........',F12.5/"
          "' MOMENT OF INERTIA (Y)  .........',F12.5/' TORSIONAL STIFFNESS  ...........',F12.5)",
          {D.ELRX[0], D.ELRY[0], D.ELAREA[0], D.ELIX[0], D.ELIY[0], D.ELJ[0]});
    return;
  }
  WRITE(R, out,
        "(' LAYER  LAYER   PILE    PILE     CROSS    MOMENT OF  MOMENT OF  TORSIONAL'/"
        "'  NO.   DEPTH  RADIUS  RADIUS  SECTIONAL   INERTIA    INERTIA   STIFFNESS'/1X,A)",
        {std::string("                (X)     (Y)      AREA       '(X)      (Y)")});
  const std::string& L = R.LABEL[LBL_LENGTH];
  const std::string& S = R.LABEL[LBL_SECMOM];
  WRITE(R, out, "(10X,A2,6X,A2,5X,A2,5X,A7,3(2X,A9))", {L, L, L, R.LABEL[LBL_AREA], S, S, S});
  for (int i = 1; i <= n; ++i) {
    const int j = i - 1;
    WRITE(R, out, "(1X,I3,2X,F7.3,1X,F6.3,1X,F7.3,3X,E9.3,2X,E9.3,2X,E9.3,2X,E9.2)",
          {i, D.ELDEP[j], D.ELRX[j], D.ELRY[j], D.ELAREA[j], D.ELIX[j], D.ELIY[j], D.ELJ[j]});
  }
}

void RDEMBE(Run& R) {
  RunFlags& F = R.flags;
  SoilData& S = R.soil;
  const int out = R.IUNIT[kReportChannel];
  const bool cap = F.ISDCAP == 1;
  float ns = 0.0f;
  bool ok = ReadNumber(R, ns);
  if (ok && IROUND(ns) > kMaxLayers) {
    S.NSIDE = 0.0f;
    F.IEMBED = 0;
    F.ISDCAP = 0;
    Fatal(R, " ERROR - NUMBER OF SIDE LAYERS EXCEEDS 30");
    return;
  }
  const int n = ok ? Count(ns, kMaxLayers) : 0;
  for (int i = 1; i <= n && ok; ++i) {
    const int j = i - 1;
    float num = 0.0f;
    ok = ReadNumber(R, num) && ReadNumber(R, S.SDTHK[j]) && ReadNumber(R, S.SDVS[j]) &&
         ReadNumber(R, S.SDUWT[j]) && ReadNumber(R, S.SDPR[j]) && ReadNumber(R, S.SDDAMP[j]);
    if (ok && cap) {
      ok = ReadNumber(R, S.SDWGRAT[j]) && ReadNumber(R, S.SDWPR[j]) && ReadNumber(R, S.SDWDAMP[j]) &&
           ReadNumber(R, S.SDWTHK[j]);
    } else if (ok) {
      S.SDWGRAT[j] = 1.0f;
      S.SDWPR[j] = S.SDPR[j];
      S.SDWDAMP[j] = S.SDDAMP[j];
      S.SDWTHK[j] = 0.0f;
    }
  }
  if (!ok) {
    WRITE(R, out,
          "(//' ERROR ENCOUNTERED WHILE READING EMBEDDED OR ISOLATION DATA'/' PROGRAM WILL IGNORE THESE OPTIONS')");
    F.IEMBED = 0;
    F.ISDCAP = 0;
    return;
  }
  S.NSIDE = ns;
  if (cap)
    for (int j = 0; j < n; ++j) S.SDWTHK[j] *= R.fnd.REQ[0];
  // No negative velocity, weight, thickness or modulus ratio; a Poisson's
  // ratio within the elastic range (the models divide by 1 - nu and 1 + nu).
  for (int i = 1; i <= n; ++i) {
    const int j = i - 1;
    if (S.SDVS[j] < 0.0f || S.SDUWT[j] < 0.0f || S.SDTHK[j] < 0.0f || !(S.SDPR[j] > -1.0f && S.SDPR[j] <= 0.5f) ||
        (cap && (S.SDWGRAT[j] < 0.0f || S.SDWTHK[j] < 0.0f || !(S.SDWPR[j] > -1.0f && S.SDWPR[j] <= 0.5f)))) {
      WRITE(R, out,
            "(//' ERROR - SIDE LAYER',I3,' : NEGATIVE VELOCITY, UNIT WEIGHT, THICKNESS OR RATIO,'/"
            "' OR POISSONS RATIO NOT ABOVE -1.0 OR ABOVE 0.5'/' PROGRAM WILL NOT EXECUTE')",
            {i});
      F.IERFLG = 1;
    }
  }
  if (!Echo(R)) return;
  WRITE(R, out,
        "(//' EMBEDDED OPTION'/1X,15('*')//' NUMBER OF SIDE LAYERS  -  ',I3//"
        "' LAYER  THICKNESS  SHEAR WAVE   UNIT    POISSONS  MATERIAL'/"
        "'  NO.    OF LAYER   VELOCITY   WEIHT    RATIO     DAMPING'/11X,A2,8X,A4,6X,A8)",
        {IROUND(ns), R.LABEL[LBL_LENGTH], R.LABEL[LBL_VELOCITY], R.LABEL[LBL_UNITWT]});
  for (int i = 1; i <= n; ++i) {
    const int j = i - 1;
    WRITE(R, out, "(1X,I3,4X,F7.3,3X,F7.2,3X,F9.3,2X,F7.3,3X,F7.3)",
          {i, S.SDTHK[j], S.SDVS[j], S.SDUWT[j], S.SDPR[j], S.SDDAMP[j]});
  }
  if (!cap) return;
  WRITE(R, out,
        "(//' SIDE-CAP (WEAKENING) OF SIDE LAYERS'/1X,36('*')//' LAYER  SHEAR MODULUS  '/"
        "'  NO.       RATIO        '/)");
  for (int i = 1; i <= n; ++i) WRITE(R, out, "(1X,I3,5X,F7.3)", {i, S.SDWGRAT[i - 1]});
}

void RDBATT(Run& R) {
  RunFlags& F = R.flags;
  FoundationData& D = R.fnd;
  const int out = R.IUNIT[kReportChannel];
  auto ignore = [&](const char* layout, std::vector<FmtValue> v) {
    WRITE(R, out, layout, v);
    WRITE(R, out, "(' BATTERED OPTION WILL BE IGNORED.')");
    F.IBATT = 0;
  };
  if (F.FNDTYP != Foundation::kPile) {
    ignore("(//' BATTERED PILE OPTION ONLY VALID FOR PILE FOUNDATIONS')", {});
    return;
  }
  const int n = Count(D.NPILE, kMaxPiles);
  for (int i = 1; i <= n; ++i) {
    float num = 0.0f, th = 0.0f, v = 0.0f;
    std::string plane;
    int st = 1;
    if (!ReadNumber(R, num)) {
      ignore("(//' ERROR ENCOUNTERED WHILE READING BATTERED PILE DATA')", {});
      return;
    }
    READIT(R, -1, v, plane, st);
    if (st < 1) {
      ignore("(//' ERROR ENCOUNTERED WHILE READING BATTERED PILE DATA')", {});
      return;
    }
    // The whole row (number, plane, angle) is read before it is judged, so
    // a row with an unknown plane leaves no angle behind for the loop.
    const bool haveAngle = ReadNumber(R, th);
    const std::string p2 = plane.substr(0, 2);
    if (p2 != "XZ" && p2 != "YZ") {
      ignore("(//' UNRECOGNIZED PLANE',A4,'FOR BATTERED PILES')", {plane});
      return;
    }
    if (!haveAngle) {
      ignore("(//' ERROR ENCOUNTERED WHILE READING BATTERED PILE DATA')", {});
      return;
    }
    // The group models take the tangent of the angle: a pile at 90 degrees
    // or more from the vertical has none.
    if (!(std::fabs(th) < 90.0f)) {
      Fatal(R, " ERROR - ANGLE BETWEEN PILE AND VERTICAL MUST BE LESS THAN 90 DEGREES");
      F.IBATT = 0;
      return;
    }
    // A zero angle is a vertical pile of the battered group: both planes
    // then give the identity angles.
    const bool xz = p2 == "XZ";
    float a[3][3];
    if (xz) {
      const float t[3][3] = {{th, 90.0f, th + 90.0f}, {90.0f, 0.0f, 90.0f}, {90.0f - th, 90.0f, th}};
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a[r][c] = t[r][c];
    } else {
      const float t[3][3] = {{0.0f, 90.0f, 90.0f}, {90.0f, th, th + 90.0f}, {90.0f, 90.0f - th, th}};
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a[r][c] = t[r][c];
    }
    for (int r = 1; r <= 3; ++r)
      for (int c = 1; c <= 3; ++c) D.BANG[BANGIX(r, c, i)] = a[r - 1][c - 1];
    if (Echo(R)) {
      if (i == 1) WRITE(R, out, "(//' BATTERED PILES'/1X,14('*')//)");
      WRITE(R, out, "(' PILE NO.',I3,A/' ANGLE BETWEEN PILE AND VERTICAL = ',F7.2,1X,'deg.')",
            {i, std::string(xz ? " BATTERED IN XZ PLANE" : " BATTERED IN YZ PLANE"), th});
    }
  }
}
