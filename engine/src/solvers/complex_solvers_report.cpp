// LEQ2C for the solution driver: the refined solution plus its report line.
#include "complex_solvers_report.h"

#include "report_writer.h"
#include "run_state.h"

void LEQ2C(Run& R, const std::complex<float>* A, int N, int IA, std::complex<float>* B, int M,
           int IB, int IJOB, std::complex<float>* WA, float* WK, int& IER) {
  LEQ2C(A, N, IA, B, M, IB, IJOB, WA, WK, IER);
  if (IER == kSolverSingular) WRITE(R, kReportChannel, "(1X,'ERROR ENCOUNTERED IN LEQ2C SUBROUTINE')");
}
