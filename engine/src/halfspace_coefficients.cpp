// Half-space impedance functions of a rigid circular footing.
#include "halfspace_coefficients.h"

#include <cmath>

namespace {

// Coefficient sets, chosen by Poisson's ratio.
struct HalfSpaceSet {
  float alpha, beta1, beta2, beta3, gamma1, gamma2, gamma3, gamma4;
};
constexpr HalfSpaceSet kBelow04{0.65f, 0.5f, 0.8f, 0.0f, 0.35f, 0.8f, 0.0f, 0.75f};
constexpr HalfSpaceSet kFrom04{0.6f, 0.4f, 0.8f, 0.027f, 0.0f, 0.0f, 0.17f, 0.85f};

}  // namespace

int HSCOEF(float A0, float PR, float DAMP, float R0, float R1, float R2, float R3,
           std::complex<float>& ZH, std::complex<float>& ZV, std::complex<float>& ZRX,
           std::complex<float>& ZRY, std::complex<float>& ZT) {
  const HalfSpaceSet& c = (PR - 0.4f >= 0.0f) ? kFrom04 : kBelow04;
  // p + i q is the square root of 1 + i D.
  const float d = DAMP;
  const float s = std::sqrt(1.0f + d * d);
  const float q = std::sqrt((s - 1.0f) / 2.0f);
  const float p = std::sqrt((s + 1.0f) / 2.0f);

  const float a0 = A0;
  const float a1 = a0 * R1 / R0;
  const float a2 = a0 * R2 / R0;
  const float a3 = a0 * R3 / R0;

  {
    const float f = 8.0f / (2.0f - PR);
    ZH = {f * (1.0f - c.alpha * q * a0), f * (c.alpha * p * a0 + d)};
  }
  {
    const float f = 4.0f / (1.0f - PR);
    const float ga = c.gamma2 * a0;
    const float n = ga * ga + 2.0f * q * c.gamma2 * a0 + s;
    ZV = {f * (1.0f - c.gamma1 * ga * ga * (c.gamma2 * q * a0 + s) / n - c.gamma4 * q * a0 -
               c.gamma3 * a0 * a0),
          f * (c.gamma4 * p * a0 + c.gamma1 * c.gamma2 * p * a0 * ga * ga / n + d)};
  }
  const float fr = 8.0f / (3.0f * (1.0f - PR));
  auto rocking = [&](float a) {
    const float ba = c.beta2 * a;
    const float n = ba * ba + 2.0f * q * c.beta2 * a + s;
    return std::complex<float>(
        fr * (1.0f - c.beta1 * ba * ba * (c.beta2 * q * a + s) / n - c.beta3 * a * a),
        fr * (c.beta1 * c.beta2 * p * a * ba * ba / n + d));
  };
  ZRX = rocking(a1);
  ZRY = rocking(a2);
  {
    const float f = 16.0f / 3.0f;
    const float ta = 0.687f * a3;
    const float n = ta * ta + 2.0f * q * 0.687f * a3 + s;
    ZT = {f * (1.0f - 0.425f * ta * ta * (0.687f * q * a3 + s) / n),
          f * (0.291975f * p * a3 * ta * ta / n + d)};
  }
  return 0;
}
