// The solution and report driver, called once per run after the input was
// read and checked without a fatal error.  solution_driver_pending.cpp holds
// a stand-in until the driver is written; delete it then.
#pragma once

struct Run;

void ANALYS(Run& R);
