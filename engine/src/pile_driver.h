// The pile and multilayer branches of the frequency loop, called by the
// solution driver.
#pragma once

struct Run;

// Once, before the loop and after the layer data are prepared (the
// pile-pair tables of an interacting group).  False when the foundation
// cannot be analysed at all (the reason is then on the report).
bool PileBeforeLoop(Run& R);

// At R.sol.OMEGA, fills R.sol.ZBASE and R.sol.ZIMP (at the centre of
// gravity); returns 0 when done, 1 when the impedance of this frequency
// cannot be formed (e.g. a singular group flexibility matrix: the driver
// reports the point and prints no numbers for it), -1 when the foundation
// cannot be analysed at all (the reason is then on the report and the
// driver stops).
int PileImpedance(Run& R);
