// LEQ2C for the solution driver: the refined solution plus its report line.
#pragma once

#include <complex>

#include "complex_solvers.h"

struct Run;

// LEQ2C of complex_solvers.h, writing " ERROR ENCOUNTERED IN LEQ2C
// SUBROUTINE" on the report when it returns kSolverSingular.
void LEQ2C(Run& R, const std::complex<float>* A, int N, int IA, std::complex<float>* B, int M,
           int IB, int IJOB, std::complex<float>* WA, float* WK, int& IER);
