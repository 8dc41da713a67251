// Half-space impedance functions of a rigid circular footing.
//
// The arguments and results are single precision; the closed-form
// expressions are evaluated in double and each result is rounded once, so
// that every result is the single-precision value nearest its formula
// (evaluated step by step in single precision the last digit drifts by up
// to three units).
#include "halfspace_coefficients.h"

#include <cmath>

namespace {

// Coefficient sets, chosen by Poisson's ratio.
struct HalfSpaceSet {
  double alpha, beta1, beta2, beta3, gamma1, gamma2, gamma3, gamma4;
};
constexpr HalfSpaceSet kBelow04{0.65, 0.5, 0.8, 0.0, 0.35, 0.8, 0.0, 0.75};
constexpr HalfSpaceSet kFrom04{0.6, 0.4, 0.8, 0.027, 0.0, 0.0, 0.17, 0.85};

std::complex<float> Single(std::complex<double> z) {
  return {static_cast<float>(z.real()), static_cast<float>(z.imag())};
}

}  // namespace

int HSCOEF(float A0, float PR, float DAMP, float R0, float R1, float R2, float R3,
           std::complex<float>& ZH, std::complex<float>& ZV, std::complex<float>& ZRX,
           std::complex<float>& ZRY, std::complex<float>& ZT) {
  const HalfSpaceSet& c = (PR - 0.4f >= 0.0f) ? kFrom04 : kBelow04;
  std::complex<double> zh, zv, zrx, zry, zt;
  // p + i q is the square root of 1 + i D.
  const double d = DAMP;
  const double s = std::sqrt(1.0 + d * d);
  const double q = std::sqrt((s - 1.0) / 2.0);
  const double p = std::sqrt((s + 1.0) / 2.0);

  const double a0 = A0;
  const double a1 = a0 * R1 / R0;
  const double a2 = a0 * R2 / R0;
  const double a3 = a0 * R3 / R0;

  {
    const double f = 8.0 / (2.0 - PR);
    zh = {f * (1.0 - c.alpha * q * a0), f * (c.alpha * p * a0 + d)};
  }
  {
    const double f = 4.0 / (1.0 - PR);
    const double ga = c.gamma2 * a0;
    const double n = ga * ga + 2.0 * q * c.gamma2 * a0 + s;
    zv = {f * (1.0 - c.gamma1 * ga * ga * (c.gamma2 * q * a0 + s) / n - c.gamma4 * q * a0 -
               c.gamma3 * a0 * a0),
          f * (c.gamma4 * p * a0 + c.gamma1 * c.gamma2 * p * a0 * ga * ga / n + d)};
  }
  const double fr = 8.0 / (3.0 * (1.0 - PR));
  auto rocking = [&](double a) {
    const double ba = c.beta2 * a;
    const double n = ba * ba + 2.0 * q * c.beta2 * a + s;
    return std::complex<double>(
        fr * (1.0 - c.beta1 * ba * ba * (c.beta2 * q * a + s) / n - c.beta3 * a * a),
        fr * (c.beta1 * c.beta2 * p * a * ba * ba / n + d));
  };
  zrx = rocking(a1);
  zry = rocking(a2);
  {
    const double f = 16.0 / 3.0;
    const double ta = 0.687 * a3;
    const double n = ta * ta + 2.0 * q * 0.687 * a3 + s;
    zt = {f * (1.0 - 0.425 * ta * ta * (0.687 * q * a3 + s) / n),
          f * (0.291975 * p * a3 * ta * ta / n + d)};
  }
  ZH = Single(zh);
  ZV = Single(zv);
  ZRX = Single(zrx);
  ZRY = Single(zry);
  ZT = Single(zt);
  return 0;
}
