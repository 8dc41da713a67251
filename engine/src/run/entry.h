// The run sequence of one engine call and the file set-up around it.
#pragma once

#include <cstdint>

struct Run;

// The body of IVORTN: code 12 runs one analysis; returns 0 done, 1 wrong
// interface code, 2 STOP or end of input, 3 fatal input error, or a run
// that could not go on (memory); it throws nothing.
std::int32_t RunEngine(std::int32_t code);
// The same on a caller-made run state (the tests set its console).
std::int32_t RunEngine(Run& R, std::int32_t code);

// Opens channels 7, 8, 2, reads names.dat, opens 4, 16, 6, 9.  Returns 0, or
// 3 when a file the run needs cannot be opened (see entry.cpp).
int OPNFIL(Run& R);
// Sets the fatal flag, with its report line, when the deck left out the
// foundation, the load, the geometry or the gravitational constant.
void CHKINP(Run& R);
// Closes every channel of the run.
void CLSFIL(Run& R);
