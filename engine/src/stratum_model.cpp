// Footing on a soil stratum over a rigid base; cut-off frequencies of a
// layered deposit.
#include "stratum_model.h"

#include <algorithm>
#include <cmath>

int STRSTF(float W, int /*IGEO*/, float E, float H, float PR, float D, float UNITWT, float VS,
           float RH, float RV, float RX, float RY, float RT, std::complex<float>& ZH,
           std::complex<float>& ZV, std::complex<float>& ZHX, std::complex<float>& ZHY,
           std::complex<float>& ZRX, std::complex<float>& ZRY, std::complex<float>& ZT,
           float GCONST) {
  using cfloat = std::complex<float>;
  const float nu = PR;
  // 1. Soil.
  const float g = VS * VS * (UNITWT / GCONST);
  const float lambda = 2.0f * nu * g / (1.0f - 2.0f * nu);
  const float vp = std::sqrt((lambda + 2.0f * g) * GCONST / UNITWT);
  // 2. Frequency ratios to the stratum's first shear and compression
  // frequencies.
  const float f = W * 0.5f / 3.14159f;
  const float fs = f / (VS / (4.0f * H));
  const float fp = f / (vp / (4.0f * H));
  // 3. Dimensionless frequencies.
  const float ah = W * RH / VS;
  const float ax = W * RX / VS;
  const float ay = W * RY / VS;
  const float at = W * RT / VS;
  // 4. Static stiffnesses with the thickness and embedment corrections.
  const float kh = 8.0f * g * RH / (2.0f - nu) * (1.0f + 0.5f * RH / H) * (1.0f + 2.0f * E / (3.0f * RH)) *
                   (1.0f + 1.25f * E / H);
  const float kv = 4.0f * g * RV / (1.0f - nu) * (1.0f + 1.28f * RV / H) * (1.0f + 0.47f * E / RV) *
                   (1.0f + (0.85f - 0.28f * E / RV) * (E / H) / (1.0f - E / H));
  auto rockingStatic = [&](float r) {
    return 8.0f * g * r * r * r / (3.0f * (1.0f - nu)) * (1.0f + 2.0f * E / r) * (1.0f + r / (6.0f * H)) *
           (1.0f + 0.7f * E / H);
  };
  const float kx = rockingStatic(RX);
  const float ky = rockingStatic(RY);
  const float kt = 16.0f * g * RT * RT * RT / 3.0f * (1.0f + 2.67f * E / RT);
  const float khx = kh * (0.4f * E - 0.03f * RX);
  const float khy = kh * (0.4f * E - 0.03f * RY);
  // 5. Damping coefficients; their form changes at the stratum's
  // fundamental frequencies.
  const float d = D / 2.0f;
  float ch, ct;
  if (fs <= 1.0f) {
    ch = 0.65f * d * fs / (1.0f - (1.0f - D) * fs * fs);
    ct = ch * 0.2307692f;
  } else {
    ch = 0.6f;
    ct = 0.3f * at * at / (at * at + 2.0f);
  }
  float cv, cx, cy;
  if (fp <= 1.0f) {
    cx = 0.5f * d * fp / (1.0f - (1.0f - D) * fp * fp);
    cy = cx;
    cv = cx * 1.34f;
  } else {
    cv = 0.85f;
    cx = 0.3f * ax * ax / (ax * ax + 1.0f);
    cy = 0.3f * ay * ay / (ay * ay + 1.0f);
  }
  // 6. Frequency-dependent stiffness factors.
  float fx = ax < 2.5f ? 1.0f - 0.2f * ax : 0.5f;
  float fy = ay < 2.5f ? 1.0f - 0.2f * ay : 0.5f;
  if (nu >= 0.45f) {
    fx = 1.0f - 0.2f * ax;
    fy = 1.0f - 0.2f * ay;
  }
  const float ft = at < 3.0f ? 1.0f - 0.133f * at : 0.6f;
  // 7. Results with the hysteretic factor.
  const cfloat hyst(1.0f, D);
  const cfloat horizontalShape = cfloat(1.0f, ch * ah) * hyst;
  ZH = kh * horizontalShape;
  ZV = kv * (cfloat(1.0f, cv * ah) * hyst);
  ZHX = khx * horizontalShape;
  ZHY = -khy * horizontalShape;
  ZRX = kx * (cfloat(fx, cx * ax) * hyst);
  ZRY = ky * (cfloat(fy, cy * ay) * hyst);
  ZT = kt * (cfloat(ft, ct * at) * hyst);
  return 0;
}

namespace {

// Number of layers of a table: the real count rounded half away from zero,
// kept within the table.
int LayerCount(const SoilLayerColumns& t) {
  if (!(t.count > 0.0f) || !t.thickness || !t.velocity || !t.poisson) return 0;
  const float rounded = std::floor(t.count + 0.5f);
  return static_cast<int>(std::min(rounded, static_cast<float>(std::max(t.capacity, 0))));
}

}  // namespace

int LAYFRQ(int IEND, const SoilLayerColumns& layers, const SoilLayerColumns& side, float VSBELOW,
           float& W1, float& W2) {
  W1 = 0.0f;
  W2 = 0.0f;
  if (IEND <= 0) return 0;
  float h = 0.0f, vs = 0.0f, pr = 0.0f;
  for (const SoilLayerColumns* t : {&layers, &side}) {
    const int n = LayerCount(*t);
    for (int i = 0; i < n; ++i) {
      h += t->thickness[i];
      vs += t->thickness[i] * t->velocity[i];
      pr += t->thickness[i] * t->poisson[i];
    }
  }
  // A deposit without thickness has no layer frequency.
  if (!(h > 0.0f)) return 0;
  const float vm = vs / h;
  float num = pr / h;
  if (!(vm < VSBELOW)) return 0;
  const float pi = std::acos(-1.0f);
  W1 = pi * vm / (2.0f * h);
  if (num >= 0.5f) num = 0.499f;
  W2 = W1 * std::sqrt(2.0f * (1.0f - num) / (1.0f - 2.0f * num));
  return 0;
}
