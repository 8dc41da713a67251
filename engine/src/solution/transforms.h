// Rigid-body transformation of 6 x 6 impedance matrices.
//
// Degrees of freedom: 1 X, 2 Y, 3 Z translation, 4 rotation about X,
// 5 rotation about Y, 6 torsion about Z.  Matrices are stored column by
// column with leading dimension 6: element (i, j), 1-based, is at
// (i - 1) + 6 (j - 1).
#pragma once

#include <complex>

// Index of element (i, j), 1-based, of a 6 x 6 column-major matrix.
constexpr int M6(int i, int j) { return (i - 1) + 6 * (j - 1); }

// TRIG: the identity with the lever arms of a point of the footing seen
// from the centre of gravity (xg, yg, zg): (1,5) = -zg, (1,6) = yg,
// (2,4) = zg, (2,6) = -xg, (3,4) = -yg, (3,5) = xg.  T has 36 entries.
void BuildTRIG(float* T, float xg, float yg, float zg);

// CTRAN6: R = T' Z T for order n (<= 6), every element accumulated in
// double precision and rounded once.  Z and R have leading dimension 6,
// T too; R is overwritten (it may not alias Z).
void CTRAN6(const std::complex<float>* Z, const float* T, std::complex<float>* R, int n);
