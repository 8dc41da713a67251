// Modified Bessel functions of orders 0 and 1 for a complex argument, in
// single precision, with fixed series lengths (every call costs the same).
// The callers pass arguments with a positive real part; z = 0 is never passed.
#pragma once

#include <complex>

// K0(z): power series of 50 terms for |z| <= 9, asymptotic series above.
std::complex<float> CBESK0(std::complex<float> z);
// K1(z): the same scheme for order 1.
std::complex<float> CBESK1(std::complex<float> z);
// I0(z): power series of 20 terms.
std::complex<float> CBESI0(std::complex<float> z);
// I1(z): power series of 20 terms.
std::complex<float> CBESI1(std::complex<float> z);
