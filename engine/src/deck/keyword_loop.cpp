// The keyword table and the top-level keyword loop.
#include "keyword_loop.h"

#include "field_reader.h"
#include "foundation_readers.h"
#include "gravity_reader.h"
#include "load_readers.h"
#include "report_framework.h"
#include "report_writer.h"
#include "run_state.h"
#include "soil_readers.h"

// An entry's trailing blanks are not compared ("RUN " takes RUN, RUNNING
// and RUN,), except that the all-blank entries take only a blank word.
int KeywordIndex(std::string_view word) {
  char w[4] = {' ', ' ', ' ', ' '};
  for (std::size_t i = 0; i < 4 && i < word.size(); ++i) w[i] = word[i];
  std::string_view key(w, 4);
  for (int k = 0; k < NKEY; ++k) {
    std::string_view e = KEYTAB[k];
    std::size_t n = e.find_last_not_of(' ');
    n = n == std::string_view::npos ? 4 : n + 1;
    if (key.substr(0, n) == e.substr(0, n)) return k + 1;
  }
  return KNONE;
}

void KEYWRD(Run& R, const std::string& word, int& index, int& status) {
  status = 1;
  index = KeywordIndex(word);
  if (index == KNONE) {
    std::string w = word.substr(0, 4);
    w.resize(4, ' ');
    WRITE(R, R.IUNIT[kReportChannel], "(//' UNRECOGNIZED KEYWORD - ',A4)", {w});
  }
}

std::string DefaultTitle() {
  std::string t = " VORT-N  SOIL-FOUNDATION DYNAMIC SIMULATION";
  t.resize(80, ' ');
  return t;
}

void INITIN(Run& R, int& status) {
  for (int k = 1; k <= 10; ++k) R.IUNIT[k] = k;
  R.IUNIT[kDeckChannel] = kCleanDeckChannel;
  RunFlags& F = R.flags;
  F.FNDTYP = Foundation::kNone;
  F.LODTYP = Load::kNone;
  F.IGEOM = 0;
  F.IGRAV = 0;
  F.IECHO = 1;
  F.IMATR = 0;
  F.MEDIA = 1;
  F.IQUAD = 1;
  F.IWEAK = 0;
  F.INTER = 0;
  F.IBATT = 0;
  F.IEMBED = 0;
  F.ISDCAP = 0;
  F.IENDBR = 0;
  F.IERFLG = 0;
  R.names.TITLE = DefaultTitle();
  status = 1;
}

void RDKEYS(Run& R, int& status, int& stop) {
  const int out = R.IUNIT[kReportChannel];
  while (true) {
    status = 1;
    float value = 0.0f;
    std::string word;
    READIT(R, -1, value, word, status);
    if (status == 0) {
      WRITE(R, out, "(//' END OF FILE ENCOUNTERED - PROGRAM STOP EXECUTED')");
      stop = 1;
      return;
    }
    int index = KNONE;
    KEYWRD(R, word, index, status);
    if (status < 1 || index > 100) continue;
    switch (index) {
      case kBLANK: case kNARR: case kLONG: case kSHOR: case kSTAT: case kDYNA:
        break;
      case kWIDE:
        WRITE(R, out, "(//' WIDE PRINTOUT FOR HARMONIC RESPONSE CURVE'/1X,41('*'))");
        break;
      case kECHO:
        R.flags.IECHO = 1;
        break;
      case kNOEC:
        R.flags.IECHO = 0;
        break;
      case kLOAD:
        LOADKW(R);
        break;
      case kSOIL:
        SOILKW(R);
        break;
      case kGRAV:
        R.flags.IGRAV = 1;
        RDGRAV(R);
        break;
      case kDIME:
        if (R.flags.IECHO == 1) WRITE(R, out, "(//' DIMENSIONLESS RESPONSE'/1X,22('*'))");
        break;
      case kFOUN:
        RDFOUN(R);
        break;
      case kRUN:
        return;
      case kSTOP:
        stop = 1;
        return;
      case kTITL: {
        int st = 1;
        RDTITL(R, st);
        break;
      }
      case kMATR:
        R.flags.IMATR = 1;
        if (R.flags.IECHO == 1)
          WRITE(R, out, "(//' STIFFNESS AND DAMPING CONSTANTS TO BE PRINTED'/1X,45('*'))");
        break;
      case kPILE: case kHALF: case kSTRA: case kMULT: case kPLOT: case kCIRC: case kRECT: case kPARA:
      case kLAYE: case kELEM: case kBATT: case kINTE: case kFIXE: case kPINN: case kFLOA: case kEND:
      case kMASS:
        WRITE(R, out, "(//1X,A4,' SUBKEYWORD MUST BE PRECEEDED BY FOUNDATION KEYWORD')", {word});
        break;
      case kHARM: case kTRAN: case kRAND: case kHAMM: case kVELO: case kPULS: case kPAD: case kSPRI:
      case kQUAD: case kNONQ:
        WRITE(R, out, "(//1X,A4,' SUBKEYWORD MUST BE PRECEEDED BY LOAD KEYWORD')", {word});
        break;
      case kBELO: case kWEAK: case kEMBE: case kSIDE:
        WRITE(R, out, "(//1X,A4,' SUBKEYWORD MUST BE PRECEEDED BY SOIL KEYWORD')", {word});
        break;
      case kCONS:
        WRITE(R, out,
              "(//1X,A4,' SUBKEYWORD MUST BE PRECEEDED BY ONE OF FOUNDATION, SOIL OR LOAD KEYWORDS')", {word});
        break;
      default:
        break;
    }
  }
}
