// Modified Bessel functions I0, I1, K0, K1 of a complex argument.
#include "bessel.h"

#include <cmath>

namespace {

using cfloat = std::complex<float>;

constexpr float kHalfPi = 1.5707964f;
constexpr float kEuler = 0.5772157f;

// Complex to an integer power by repeated squaring, in single precision
// (std::pow would promote to double).
cfloat IntegerPower(cfloat base, int n) {
  cfloat result(1.0f, 0.0f);
  cfloat factor = base;
  while (n > 0) {
    if (n & 1) result *= factor;
    n >>= 1;
    if (n > 0) factor *= factor;
  }
  return result;
}

// -(ln(z / 2) + Euler's constant), the phase taken from the arctangent of
// the half argument (pi/2 when its real part is exactly 0).
cfloat LogTerm(cfloat z, cfloat h) {
  const float r = std::sqrt(z.real() * z.real() + z.imag() * z.imag());
  const float phi = h.real() == 0.0f ? kHalfPi : std::atan(h.imag() / h.real());
  return cfloat(-(std::log(r / 2.0f) + kEuler), -phi);
}

// Asymptotic series 1 + sum of c(0)..c(j-1) / (j! (8z)^j), j = 1..51,
// started with c(0) = p(0) = c0.  Beyond about 24 terms the product p
// exceeds and the power V of 1/(8z) falls below the single-precision range
// (their product stays moderate), so both are carried in double; the sum is
// single precision.
cfloat AsymptoticSum(cfloat z, float c0) {
  const std::complex<double> eightz(8.0 * z.real(), 8.0 * z.imag());
  const std::complex<double> v0 = 1.0 / eightz;
  double c = c0;
  double p = c0;
  std::complex<double> v = v0;
  cfloat s(0.0f, 0.0f);
  for (int k = 1; k <= 50; ++k) {
    c -= 8.0 * k;
    p = p * c / (k + 1);
    v /= eightz;
    const std::complex<double> term = p * v;
    s += cfloat(static_cast<float>(term.real()), static_cast<float>(term.imag()));
  }
  const cfloat first(static_cast<float>(c0 * v0.real()), static_cast<float>(c0 * v0.imag()));
  return cfloat(1.0f, 0.0f) + first + s;
}

cfloat AsymptoticFactor(cfloat z) { return std::sqrt(kHalfPi / z) * std::exp(-z); }

float Radius(cfloat z) { return std::sqrt(z.real() * z.real() + z.imag() * z.imag()); }

}  // namespace

cfloat CBESK0(cfloat z) {
  const cfloat h = z / 2.0f;
  const cfloat a = LogTerm(z, h);
  if (Radius(z) <= 9.0f) {
    const cfloat hh = h * h;
    cfloat t = 2.0f / z;
    cfloat s(0.0f, 0.0f);
    float harmonic = a.real();
    for (int k = 1; k <= 50; ++k) {
      t = t * hh / static_cast<float>(k * k);
      harmonic += 1.0f / static_cast<float>(k);
      s += cfloat(harmonic, a.imag()) * t;
    }
    return a + h * s;
  }
  // 1 - V(0) + S
  return AsymptoticFactor(z) * AsymptoticSum(z, -1.0f);
}

cfloat CBESK1(cfloat z) {
  const cfloat h = z / 2.0f;
  const cfloat a = LogTerm(z, h);
  if (Radius(z) <= 9.0f) {
    const cfloat hh = h * h;
    cfloat t = 2.0f / z;
    cfloat s1(0.0f, 0.0f);
    cfloat s2(0.0f, 0.0f);
    float harmonic = a.real();
    for (int k = 1; k <= 50; ++k) {
      t = t * hh / static_cast<float>(k * k);
      harmonic += 1.0f / static_cast<float>(k);
      s1 += t;
      s2 += static_cast<float>(k) * cfloat(harmonic, a.imag()) * t;
    }
    return s1 / 2.0f + 1.0f / z - s2;
  }
  // 1 + 3 V(0) + S
  return AsymptoticFactor(z) * AsymptoticSum(z, 3.0f);
}

cfloat CBESI0(cfloat z) {
  const cfloat h = z / 2.0f;
  cfloat sum(1.0f, 0.0f);
  float factorial = 1.0f;
  for (int k = 1; k <= 20; ++k) {
    factorial *= static_cast<float>(k);
    sum += IntegerPower(h, 2 * k) / (factorial * factorial);
  }
  return sum;
}

cfloat CBESI1(cfloat z) {
  const cfloat h = z / 2.0f;
  cfloat sum(0.0f, 0.0f);
  float factorial = 1.0f;
  for (int k = 1; k <= 20; ++k) {
    factorial *= static_cast<float>(k);
    sum += 0.5f * static_cast<float>(2 * k) * IntegerPower(h, 2 * k - 1) / (factorial * factorial);
  }
  return sum;
}
