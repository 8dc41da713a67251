// Stand-ins for block readers not yet written: each reads what the keyword
// loop needs to go on (the type word of its block) and passes over the rest
// of the block up to the next top-level keyword.  Delete a stand-in when its
// reader lands.
#include "block_readers.h"
#include "field_reader.h"
#include "keyword_loop.h"
#include "report_writer.h"
#include "run_state.h"

namespace {

// Skips items until a word that starts a top-level block or ends the input.
void SkipBlock(Run& R) {
  while (true) {
    float v;
    std::string w;
    int st = 1;
    READIT(R, -1, v, w, st);
    if (st != 1) {
      if (st == 0) READIT(R, 0, v, w, st);  // leave the end for the loop
      return;
    }
    int k = KeywordIndex(w);
    if (k == 10 || k == 17 || k == 20 || k == 24 || k == 28 || k == 29 || k == 30 || k == 31 || k == 4 ||
        k == 5) {
      READIT(R, 0, v, w, st);
      return;
    }
  }
}

void NotYet(Run& R, const char* block) {
  WRITE(R, R.IUNIT[16], "(//1X,A,' BLOCK IS NOT READ BY THIS VERSION')", {std::string(block)});
}

}  // namespace

void RDFOUN(Run& R) {
  float v;
  std::string w;
  int st = 1, k = 0;
  READIT(R, -1, v, w, st);
  if (st < 1) return;
  KEYWRD(R, w, k, st);
  if (k >= 6 && k <= 9) {
    R.flags.FNDTYP = k - 5;
  } else {
    WRITE(R, R.IUNIT[16], "(//' INVALID KEYWORD - ',A4,' FOR FOUNDATION TYPE'/' PROGRAM WILL NOT EXECUTE')",
          {w});
    R.flags.IERFLG = 1;
    return;
  }
  READIT(R, -1, v, w, st);
  k = KeywordIndex(w);
  if (k == 15 || k == 16) R.flags.IGEOM = k - 14;
  else READIT(R, 0, v, w, st);
  NotYet(R, "FOUNDATION");
  SkipBlock(R);
}

void SOILKW(Run& R) {
  NotYet(R, "SOIL");
  SkipBlock(R);
}

void LOADKW(Run& R) {
  float v;
  std::string w;
  int st = 1;
  READIT(R, -1, v, w, st);
  if (st < 1) return;
  int k = KeywordIndex(w);
  if (k == 11) R.flags.LODTYP = 3;
  else if (k == 12) R.flags.LODTYP = 1;
  else if (k == 13) R.flags.LODTYP = 2;
  else READIT(R, 0, v, w, st);
  NotYet(R, "LOAD");
  SkipBlock(R);
}
