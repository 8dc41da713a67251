// Dense complex linear solvers of the engine.
//
// Matrices are stored by columns: element (i, j) (1-based) of a matrix with
// leading dimension IA is at A[(j - 1) * IA + (i - 1)].  Values are single
// precision; the refinement residuals and the inversion updates are formed
// in double and stored in single precision.
#pragma once

#include <complex>

// Error codes of the solvers (0 success).
inline constexpr int kSolverSingular = 129;       // zero row, negligible or bad pivot
inline constexpr int kSolverNoConvergence = 131;  // refinement did not converge

// Crout factorisation with row equilibration and partial pivoting, and
// solution of A X = B for M right-hand sides.
//   IJOB 0 factor and solve, 1 factor only, 2 solve with the factors and
//   pivot record (WA) of an earlier call.
//   A (IA x N): in the matrix, out its LU factors (rows permuted).
//   B (IB x M): in the right-hand sides, out the solutions (untouched when
//   IJOB = 1 or on failure).
//   WA (N reals): out the pivot row of each step, stored as a real.
//   IER: 0, or kSolverSingular (also for N, IA, IB or a pivot record that
//   would address outside the arrays).
// Writes nothing to the report; callers test IER.
void LEQT1C(std::complex<float>* A, int N, int IA, std::complex<float>* B, int M, int IB,
            int IJOB, float* WA, int& IER);

// High-accuracy solution: factors a copy of A (A itself is left unchanged)
// and refines each solution by residual correction (at most 50 corrections).
//   WA: N x (N + 2) complex work (factors, current solution, correction);
//   WK: N reals (pivot record).  IJOB as for LEQT1C; with IJOB 2, WA and WK
//   must come from an earlier factoring call with the same A.
//   IER: 0; kSolverSingular (a failed factoring: B untouched; or a
//   solution that is not finite: B untouched from that column on); or
//   kSolverNoConvergence (50 corrections did not settle some column: it
//   holds its last solution, and every column is solved).  A column's
//   refinement stops when a correction no longer changes the norm of the
//   first solution (compared in double) or no longer changes the solution.
// This form writes nothing.
void LEQ2C(const std::complex<float>* A, int N, int IA, std::complex<float>* B, int M, int IB,
           int IJOB, std::complex<float>* WA, float* WK, int& IER);

// In-place inverse by Gauss-Jordan elimination without pivoting (the callers
// pass matrices whose leading minors are non-zero).  Each update is formed in
// double and stored in single precision.  Runs on the caller's thread; large
// orders go panel by panel, and every stored value is bit-identical to the
// plain loop.
//   IER: 0, or kSolverSingular when a pivot is zero or not finite, or the
//   inverse does not fit single precision; A is then restored to its input.
void CINVRT(std::complex<float>* A, int IA, int N, int& IER);
