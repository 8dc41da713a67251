// Entry point of one engine run and the run-control routines around it.
#pragma once

#include <cstdint>

struct Run;

// The body of IVORTN: code 12 runs one analysis; returns 0 done, 1 wrong
// interface code, 2 STOP or end of input, 3 fatal input error.
std::int32_t RunEngine(std::int32_t code);
