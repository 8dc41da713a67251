// Mixed-radix fast Fourier transform of any length, in place.
#pragma once

#include <complex>

// X(k) = sum_{j=0}^{N-1} x(j) exp(+2 pi i j k / N), k = 0..N-1: positive
// exponent, no scaling (callers apply 1/N and conjugation).  N <= 1 returns
// at once.  Factors are arranged symmetrically (square factors, the
// square-free rest, the square factors mirrored); pairs of 2 are done as
// radix 4, 3 and the general odd radix have their own butterflies.
void CFFT(std::complex<float>* A, int N);
