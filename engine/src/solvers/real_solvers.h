// High-accuracy solvers for dense real systems: LU decomposition with
// equilibration and an accuracy test (LUDATF), substitution (LUSUBF),
// iterative improvement (LUREFF), and the drivers that solve (LEQT2F) and
// invert (LINV2F) with them.  They belong to the engine's solver library;
// no engine operation calls them at present.
//
// Matrices are single-precision reals stored by columns: element (i, j)
// (1-based) of a matrix with leading dimension IA is A[(j - 1) * IA + i - 1].
// Every routine writes "ERROR ENCOUNTERED IN SUBROUTINE name" (one leading
// blank) on the report (channel 16) when it returns a non-zero IER.
#pragma once

struct Run;

// Error codes of the real solvers (0 success).
inline constexpr int kRealSingular = 129;       // singular matrix; LUREFF: no convergence
inline constexpr int kRealNoRefinement = 131;   // LEQT2F: the refinement failed
inline constexpr int kRealAccuracyWarning = 34; // LUDATF: the accuracy test failed

// LUDATF: LU = P A decomposed by Crout elimination with partial pivoting on
// the equilibrated rows (A and LU: N x N, leading dimension IA; they may be
// the same array).  LU holds the unit lower triangle below its diagonal and
// the upper triangle with the diagonal, rows in pivot order; IPVT(j) is the
// row taken as pivot at step j (1-based); EQUIL(i) = 1 / the largest |A(i, .)|.
// The determinant of A is D1 * 2^D2 with 0.0625 <= |D1| < 1 (D1 = D2 = 0 for
// a singular matrix).  WA (N reals) is work space of the library interface;
// this decomposition needs none beyond EQUIL.
//   IDGT > 0: the elements of A are taken to be correct to IDGT decimal
//   digits, and the test fails (IER 34, a warning: LU is usable) when a pivot
//   of the equilibrated matrix is not above 4 units of that last digit (or
//   of single precision's rounding, where that is larger), that is, when A
//   lies within its own uncertainty of a singular matrix.
//   IER: 0; 34; 129 when a row is zero, a pivot vanishes (it does not exceed
//   the rounding of 1.0) or an element is not finite.
void LUDATF(Run& R, const float* A, float* LU, int N, int IA, int IDGT, float& D1, float& D2,
            int* IPVT, float* EQUIL, float* WA, int& IER);

// LUSUBF: X = A^-1 B from the decomposition of LUDATF (LU, IPVT; leading
// dimension IA): the interchanges, then forward and backward substitution.
// B and X are N-vectors; X may be B.
void LUSUBF(const float* LU, const float* B, const int* IPVT, int N, int IA, float* X);

// LUREFF: improves the solution X of A X = B (A unfactored, LU and IPVT from
// LUDATF, both with leading dimension IA): residuals B - A X accumulated in
// double, corrections through LUSUBF, until a correction no longer changes
// X (at most 50 corrections).  RES and DX (N reals each) hold the residual
// and the correction.  IDGT returns the number of decimal digits of the
// first solution that the improvement left unchanged: the integer part of
// -log10(|first correction| / |X|), in the largest-component norm, at least
// 0 (the float's digits when the first solution needed no correction).
//   IER: 0; 129 when the corrections stop shrinking or 50 are not enough
//   (X then holds the last iterate).
void LUREFF(Run& R, const float* A, const float* B, const float* LU, const int* IPVT, int N, int IA,
            float* X, int& IDGT, float* RES, float* DX, int& IER);

// LEQT2F: solves A X = B for M right-hand sides (B: N x M, leading
// dimension IA, out: the solutions).  A is decomposed in place and restored
// at the end from its copy in WKAREA (N x (N + 3) reals: the copy, then the
// equilibration factors and two work vectors).  Each solution is improved by
// LUREFF when IDGT is 0 or the accuracy test of LUDATF failed; IDGT then
// returns the digits of the last improved column.
//   IER: 0; 34 (warning, solutions improved); 129 singular (B untouched);
//   131 an improvement failed (that column holds its last iterate, later
//   columns their right-hand sides).
void LEQT2F(Run& R, float* A, int M, int N, int IA, float* B, int& IDGT, float* WKAREA, int& IER);

// LINV2F: AINV = A^-1 (N x N, leading dimension IA) through LEQT2F with the
// N columns of the identity; IDGT, WKAREA and IER as there.
void LINV2F(Run& R, float* A, int N, int IA, float* AINV, int& IDGT, float* WKAREA, int& IER);
