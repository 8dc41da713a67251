// LAPACKE with its complex types as std::complex<float> and
// std::complex<double> (the same layout as LAPACK's COMPLEX and
// COMPLEX*16), so engine arrays pass straight to it.
#pragma once

#include <complex>

#define lapack_complex_float std::complex<float>
#define lapack_complex_double std::complex<double>
#include <lapacke.h>
