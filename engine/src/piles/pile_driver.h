// The pile and multilayer branches of the frequency loop, called by the
// solution driver.
#pragma once

#include <complex>
#include <vector>

struct Run;

// The impedance of one frequency point of a pile or multilayer run.
struct PilePoint {
  int status = 0;                      // 0 formed, 1 not formed
  const char* what = "";               // the singular system, when not formed
  std::complex<float> ZBASE[36] = {};  // pile head, own axes
  std::complex<float> ZIMP[36] = {};   // at the centre of gravity
};

// The points of the run, formed once before the frequency loop: both
// passes meet the same frequencies and take them from here.
struct PilePoints {
  std::vector<PilePoint> points;  // point k at [k - 1]
};

// Once, before the loop and after the layer data are prepared (the
// pile-pair tables of an interacting group).  False when the foundation
// cannot be analysed at all (the reason is then on the report).
bool PileBeforeLoop(Run& R);

// After PileBeforeLoop: forms the impedance of every frequency point
// omegas[k - 1] into R.piles, on the engine's workers (see
// engine_workers.h).  Writes nothing to the report.
void FormPileImpedances(Run& R, const std::vector<float>& omegas);

// At point k of either pass: fills R.sol.ZBASE and R.sol.ZIMP (at the
// centre of gravity) from R.piles; returns 0 when the point was formed, 1
// when its impedance cannot be formed (e.g. a singular group flexibility
// matrix): the report then says so here, and the driver prints no numbers
// for the point.
int PileImpedance(Run& R, int k);
