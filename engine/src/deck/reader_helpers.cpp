#include "reader_helpers.h"

#include <cmath>

#include "field_reader.h"
#include "footing_response.h"
#include "keyword_loop.h"
#include "numeric_helpers.h"
#include "report_writer.h"
#include "run_state.h"

namespace deck_reading {

bool ReadNumber(Run& R, float& v) {
  std::string w;
  int st = 1;
  READIT(R, 1, v, w, st);
  return st >= 1 && std::isfinite(v);
}

int ReadWord(Run& R, std::string& w, int& index, bool report) {
  float v = 0.0f;
  int st = 1;
  READIT(R, -1, v, w, st);
  index = 0;
  if (st >= 1) {
    if (report) {
      int ks = 1;
      KEYWRD(R, w, index, ks);
    } else {
      index = KeywordIndex(w);
    }
  }
  return st;
}

void PushBack(Run& R) {
  float v = 0.0f;
  std::string w;
  int st = 1;
  READIT(R, 0, v, w, st);
}

int Count(float x, int cap) {
  const int n = IROUND(x);
  return n < 0 ? 0 : (n > cap ? cap : n);
}

bool Echo(const Run& R) { return R.flags.IECHO == 1; }

void Fatal(Run& R, const std::string& text) {
  WRITE(R, R.IUNIT[kReportChannel], "(//A/' PROGRAM WILL NOT EXECUTE')", {text});
  R.flags.IERFLG = 1;
}

}  // namespace deck_reading
