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

const std::array<std::string_view, NKEY> KEYTAB = {
    "    ", "WIDE", "NARR", "ECHO", "NOEC", "PILE", "HALF", "STRA", "MULT", "LOAD", "HARM", "TRAN", "RAND",
    "PLOT", "CIRC", "RECT", "SOIL", "PARA", "LAYE", "GRAV", "DIME", "BELO", "ELEM", "FOUN", "WEAK", "BATT",
    "INTE", "RUN ", "STOP", "TITL", "MATR", "FIXE", "PINN", "FLOA", "END-", "CONS", "MASS", "EMBE", "SIDE",
    "HAMM", "LONG", "SHOR", "VELO", "PULS", "PAD ", "SPRI", "STAT", "DYNA", "    ", "    ", "QUAD", "NONQ"};

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
  R.IUNIT[4] = 7;
  RunFlags& F = R.flags;
  F.FNDTYP = 0;
  F.LODTYP = 0;
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
      case 1: case 49: case 50: case 3:  // blanks, NARR
      case 41: case 42: case 47: case 48:  // LONG, SHOR, STAT, DYNA
        break;
      case 2:
        WRITE(R, out, "(//' WIDE PRINTOUT FOR HARMONIC RESPONSE CURVE'/1X,41('*'))");
        break;
      case 4:
        R.flags.IECHO = 1;
        break;
      case 5:
        R.flags.IECHO = 0;
        break;
      case 10:
        LOADKW(R);
        break;
      case 17:
        SOILKW(R);
        break;
      case 20:
        R.flags.IGRAV = 1;
        RDGRAV(R);
        break;
      case 21:
        if (R.flags.IECHO == 1) WRITE(R, out, "(//' DIMENSIONLESS RESPONSE'/1X,22('*'))");
        break;
      case 24:
        RDFOUN(R);
        break;
      case 28:
        return;
      case 29:
        stop = 1;
        return;
      case 30: {
        int st = 1;
        RDTITL(R, st);
        break;
      }
      case 31:
        R.flags.IMATR = 1;
        if (R.flags.IECHO == 1)
          WRITE(R, out, "(//' STIFFNESS AND DAMPING CONSTANTS TO BE PRINTED'/1X,45('*'))");
        break;
      case 6: case 7: case 8: case 9: case 14: case 15: case 16: case 18: case 19: case 23: case 26:
      case 27: case 32: case 33: case 34: case 35: case 37:
        WRITE(R, out, "(//1X,A4,' SUBKEYWORD MUST BE PRECEEDED BY FOUNDATION KEYWORD')", {word});
        break;
      case 11: case 12: case 13: case 40: case 43: case 44: case 45: case 46: case 51: case 52:
        WRITE(R, out, "(//1X,A4,' SUBKEYWORD MUST BE PRECEEDED BY LOAD KEYWORD')", {word});
        break;
      case 22: case 25: case 38: case 39:
        WRITE(R, out, "(//1X,A4,' SUBKEYWORD MUST BE PRECEEDED BY SOIL KEYWORD')", {word});
        break;
      case 36:
        WRITE(R, out,
              "(//1X,A4,' SUBKEYWORD MUST BE PRECEEDED BY ONE OF FOUNDATION, SOIL OR LOAD KEYWORDS')", {word});
        break;
      default:
        break;
    }
  }
}
