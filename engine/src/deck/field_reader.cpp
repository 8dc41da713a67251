// READIT: one item of the cleaned deck per call.
#include "field_reader.h"

#include <cmath>
#include <cstdlib>

#include "keyword_loop.h"
#include "report_writer.h"
#include "run_state.h"

namespace {

std::string Pad(const std::string& s, std::size_t n) {
  if (s.size() >= n) return s.substr(0, n);
  return s + std::string(n - s.size(), ' ');
}

}  // namespace

// Reads columns 1 to 20 of a record as a real number the way a formatted
// numeric field is read: blanks ignored, an all-blank field is zero, and the
// exponent may be E or D with an optional sign, or a bare sign and digits
// (1.5-3 is 1.5E-3).  A number too large for REAL is not a number; one too
// small for it reads as the nearest REAL (down to zero), as a formatted read
// would.
bool ParseDeckNumber(const std::string& record, float& value) {
  std::string f;
  for (std::size_t i = 0; i < record.size() && i < 20; ++i)
    if (record[i] != ' ') f.push_back(record[i]);
  if (f.empty()) {
    value = 0.0f;
    return true;
  }
  std::size_t i = 0;
  std::string c;
  if (f[i] == '+' || f[i] == '-') c.push_back(f[i++]);
  int digits = 0;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') c.push_back(f[i++]), ++digits;
  if (i < f.size() && f[i] == '.') {
    c.push_back(f[i++]);
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') c.push_back(f[i++]), ++digits;
  }
  if (digits == 0) return false;
  if (i < f.size()) {
    char e = f[i];
    if (e == 'E' || e == 'e' || e == 'D' || e == 'd') ++i;
    else if (e != '+' && e != '-') return false;
    c.push_back('e');
    if (i < f.size() && (f[i] == '+' || f[i] == '-')) c.push_back(f[i++]);
    int ed = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') c.push_back(f[i++]), ++ed;
    if (ed == 0 || i != f.size()) return false;
  }
  const float v = std::strtof(c.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

void READIT(Run& R, int mode, float& value, std::string& word, int& status) {
  const int in = R.IUNIT[kDeckChannel];
  const int out = R.IUNIT[kReportChannel];
  status = 1;
  std::string rec;
  if (mode == 1) {
    value = 0.0f;
    auto st = R.ch.Read(in, rec);
    if (st != ChannelTable::kRead) {
      WRITE(R, out, "(//' *** INPUT ERROR ***    END OF FILE ENCOUNTERED WHILE READING'/24X,'NUMBER ',I3,' OF ',I3,' NUMBERS TO BE READ')", {1, 1});
      status = 0;
      value = 0.0f;
      return;
    }
    float v;
    if (ParseDeckNumber(rec, v)) {
      value = v;
      return;
    }
    status = -1;
    R.ch.Backspace(in);
    R.ch.Read(in, rec);
    std::string rec80 = Pad(rec, 80);
    WRITE(R, out, "(//' *** INPUT ERROR ***    ALPHANUMERIC ENCOUNTERED - ','\"',A20,'\"',',')", {rec80});
    // A keyword where a number was expected is left for the next read.
    if (KeywordIndex(rec80.substr(0, 4)) != KNONE) R.ch.Backspace(in);
    return;
  }
  if (mode == -1) {
    word = "    ";
    auto st = R.ch.Read(in, rec);
    if (st != ChannelTable::kRead) {
      WRITE(R, out, "(//' *** INPUT ERROR ***    END OF FILE ENCOUNTERED WHILE'/24X,'READING   1 ALPHANUMERIC WORDS')");
      status = 0;
      return;
    }
    word = Pad(rec, 4);
    return;
  }
  if (mode == 0) {
    R.ch.Backspace(in);
    return;
  }
  if (mode >= 2) {
    WRITE(R, out, "(//' *** INVALID CALL TO READIT, BACKSPACE ASSUMED ***'/)");
    R.ch.Backspace(in);
    return;
  }
  // mode <= -2: skip one record, keeping its first character.  At the end of
  // the deck nothing is written and the status is 0, as for every end.
  word = "    ";
  if (R.ch.Read(in, rec) != ChannelTable::kRead) {
    status = 0;
    return;
  }
  word = Pad(rec, 1) + "   ";
  status = -1;
}
