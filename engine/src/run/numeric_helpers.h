// Small numeric helpers shared by the readers, the models and the driver.
#pragma once

#include <cmath>
#include <complex>

// Nearest integer, half away from zero (2.5 -> 3, -2.5 -> -3).  Values
// beyond the int range are clamped; NaN gives 0.
int IROUND(float x);

// True when both parts are finite.
template <class T>
bool IsFinite(std::complex<T> z) {
  return std::isfinite(z.real()) && std::isfinite(z.imag());
}
