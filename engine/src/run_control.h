// File set-up, completeness check and closing of a run.
#pragma once

#include <cstdint>

struct Run;

// Opens channels 7, 8, 2, reads names.dat, opens 4, 16, 6, 9.  Returns 0, or
// 3 when a file the run needs cannot be opened (see entry.cpp).
int OPNFIL(Run& R);
void CHKINP(Run& R);
void CLSFIL(Run& R);

// One run on a caller-made run state (the tests set its console).
std::int32_t RunEngine(Run& R, std::int32_t code);
