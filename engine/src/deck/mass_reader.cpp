// RDMASS: the mass constants of the deck and the echo of the mass components
// listed in the mass data file.
#include "mass_reader.h"

#include <cerrno>
#include <cmath>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "field_reader.h"
#include "report_framework.h"
#include "report_writer.h"
#include "run_state.h"

namespace {


// List-directed reading of the mass data file: values separated by blanks,
// commas or line ends; a record read starts on a new line.
class ListReader {
 public:
  ListReader(Run& R, int unit) : R_(R), unit_(unit) {}

  // Starts the next record on a new line.
  void NextRecord() { tokens_.clear(), next_ = 0; }

  bool Integer(int& v) {
    std::string t;
    if (!Token(t)) return false;
    errno = 0;
    char* end = nullptr;
    const long x = std::strtol(t.c_str(), &end, 10);
    if (end == t.c_str() || *end != '\0' || errno != 0 || x > 1000000L || x < -1000000L) return false;
    v = static_cast<int>(x);
    return true;
  }

  bool Real(float& v) {
    std::string t;
    if (!Token(t)) return false;
    for (char& c : t)
      if (c == 'd' || c == 'D') c = 'E';
    errno = 0;
    char* end = nullptr;
    const float x = std::strtof(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || !std::isfinite(x)) return false;
    v = x;
    return true;
  }

 private:
  bool Token(std::string& t) {
    while (next_ >= tokens_.size()) {
      std::string line;
      if (R_.ch.Read(unit_, line) != ChannelTable::kRead) return false;
      Split(line);
    }
    t = tokens_[next_++];
    return true;
  }

  void Split(const std::string& line) {
    tokens_.clear();
    next_ = 0;
    std::string cur;
    for (char c : line) {
      if (c == ' ' || c == ',' || c == '\t' || c == '\r') {
        if (!cur.empty()) tokens_.push_back(cur);
        cur.clear();
      } else {
        cur.push_back(c);
      }
    }
    if (!cur.empty()) tokens_.push_back(cur);
  }

  Run& R_;
  int unit_;
  std::vector<std::string> tokens_;
  std::size_t next_ = 0;
};

}  // namespace

void RDMASS(Run& R) {
  RunFlags& F = R.flags;
  const int out = R.IUNIT[kReportChannel];
  for (int i = 0; i < 7; ++i) {
    float v = 0.0f;
    std::string w;
    int st = 1;
    READIT(R, 1, v, w, st);
    if (st <= 0 || !std::isfinite(v)) {
      WRITE(R, out, "(/,/,' ERROR ENCOUNTERED IN FOUNDATION MASS DESCRIPTION',/,' PROGRAM WILL NOT EXECUTE')");
      F.IERFLG = 1;
      break;
    }
    R.mass.MASCON[i] = v;
  }
  if (F.IECHO != 1) return;

  const auto& M = R.mass.MASCON;
  const std::string& ML = R.LABEL[LBL_MASS];
  const std::string& IL = R.LABEL[LBL_MASSINER];
  WRITE(R, out, "(/,/,1X,'MASS CONSTANTS',/,1X,14('*'))");
  WRITE(R, out,
        "(/,1X,'TOTAL MASS OF FOOTING  .........',1P,E12.5,1X,A4,/,1X,'MASS MOMENT ABOUT X-AXIS  ......',1P,"
        "E12.5,1X,A10,/,1X,'MASS MOMENT ABOUT Y-AXIS  ......',1P,E12.5,1X,A10,/,1X,'MASS MOMENT ABOUT "
        "Z-AXIS  ......',1P,E12.5,1X,A10,/,1X,'CROSS PRODUCT X-Y  .............',1P,E12.5,1X,A10,/,1X,'CROSS "
        "PRODUCT X-Z  .............',1P,E12.5,1X,A10,/,1X,'CROSS PRODUCT Y-Z  .............',1P,E12.5,1X,"
        "A10)",
        {M[0], ML, M[1], IL, M[2], IL, M[3], IL, M[4], IL, M[5], IL, M[6], IL});

  // The component list.  The file is read from its beginning for every MASS
  // block; a file that is missing, short or not numeric is reported and its
  // table left out (the deck's constants are what the run computes with).
  auto fileFault = [&]() {
    WRITE(R, out,
          "(/,/,1X,'MASS DATA FILE IS MISSING OR INCOMPLETE - MASS COMPONENTS ARE NOT LISTED',/,1X,"
          "'THE MASS CONSTANTS ABOVE ARE USED')");
  };
  if (!R.ch.IsOpen(kMassChannel)) {
    fileFault();
    return;
  }
  R.ch.Rewind(kMassChannel);
  ListReader in(R, kMassChannel);
  int n = 0;
  if (!in.Integer(n)) {
    fileFault();
    return;
  }
  if (n <= 0) return;
  std::vector<std::array<float, 7>> rows;
  for (int k = 1; k <= n; ++k) {
    std::array<float, 7> row{};
    in.NextRecord();
    for (float& v : row)
      if (!in.Real(v)) {
        fileFault();
        return;
      }
    rows.push_back(row);
  }
  const std::string& L = R.LABEL[LBL_LENGTH];
  WRITE(R, out,
        "(/,/,1X,'MASS COMPONENTS  NUMBER OF DEFINED MASSES -',I3,/,1X,15('*'),/,/,1X,'  NO.     MASS     "
        "x-local   y-local   z-local','  LENGTH-X  LENGTH-Y  LENGTH-Z ',/,11X,A4,7X,A2,6(8X,A2))",
        {n, ML, L, L, L, L, L, L});
  for (int k = 1; k <= n; ++k) {
    const auto& r = rows[static_cast<std::size_t>(k - 1)];
    WRITE(R, out, "(1X,I3,1X,F11.3,6(2X,F8.3))", {k, r[0], r[1], r[2], r[3], r[4], r[5], r[6]});
  }
}
