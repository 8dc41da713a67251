// Footing on a soil stratum over a rigid base; cut-off frequencies of a
// layered deposit.
//
// STRSTF takes and returns single precision and evaluates its closed forms
// in double, rounding each result once: every result is then the
// single-precision value nearest its formula.
#include "stratum_model.h"

#include <algorithm>
#include <cmath>

int STRSTF(float Wf, int /*IGEO*/, float Ef, float Hf, float PR, float Df, float UNITWTf, float VSf,
           float RHf, float RVf, float RXf, float RYf, float RTf, std::complex<float>& ZH,
           std::complex<float>& ZV, std::complex<float>& ZHX, std::complex<float>& ZHY,
           std::complex<float>& ZRX, std::complex<float>& ZRY, std::complex<float>& ZT,
           float GCONSTf) {
  const double W = Wf, E = Ef, H = Hf, D = Df, UNITWT = UNITWTf, VS = VSf, GCONST = GCONSTf;
  const double RH = RHf, RV = RVf, RX = RXf, RY = RYf, RT = RTf;
  using cdouble = std::complex<double>;
  auto single = [](cdouble z) {
    return std::complex<float>(static_cast<float>(z.real()), static_cast<float>(z.imag()));
  };
  const double nu = PR;
  // 1. Soil.
  const double g = VS * VS * (UNITWT / GCONST);
  const double lambda = 2.0 * nu * g / (1.0 - 2.0 * nu);
  const double vp = std::sqrt((lambda + 2.0 * g) * GCONST / UNITWT);
  // 2. Frequency ratios to the stratum's first shear and compression
  // frequencies.
  const double f = W * 0.5 / 3.14159;
  const double fs = f / (VS / (4.0 * H));
  const double fp = f / (vp / (4.0 * H));
  // 3. Dimensionless frequencies.
  const double ah = W * RH / VS;
  const double ax = W * RX / VS;
  const double ay = W * RY / VS;
  const double at = W * RT / VS;
  // 4. Static stiffnesses with the thickness and embedment corrections.
  const double kh = 8.0 * g * RH / (2.0 - nu) * (1.0 + 0.5 * RH / H) * (1.0 + 2.0 * E / (3.0 * RH)) *
                   (1.0 + 1.25 * E / H);
  const double kv = 4.0 * g * RV / (1.0 - nu) * (1.0 + 1.28 * RV / H) * (1.0 + 0.47 * E / RV) *
                   (1.0 + (0.85 - 0.28 * E / RV) * (E / H) / (1.0 - E / H));
  auto rockingStatic = [&](double r) {
    return 8.0 * g * r * r * r / (3.0 * (1.0 - nu)) * (1.0 + 2.0 * E / r) * (1.0 + r / (6.0 * H)) *
           (1.0 + 0.7 * E / H);
  };
  const double kx = rockingStatic(RX);
  const double ky = rockingStatic(RY);
  const double kt = 16.0 * g * RT * RT * RT / 3.0 * (1.0 + 2.67 * E / RT);
  const double khx = kh * (0.4 * E - 0.03 * RX);
  const double khy = kh * (0.4 * E - 0.03 * RY);
  // 5. Damping coefficients; their form changes at the stratum's
  // fundamental frequencies.
  const double d = D / 2.0;
  double ch, ct;
  if (fs <= 1.0) {
    ch = 0.65 * d * fs / (1.0 - (1.0 - D) * fs * fs);
    ct = ch * 0.2307692;
  } else {
    ch = 0.6;
    ct = 0.3 * at * at / (at * at + 2.0);
  }
  double cv, cx, cy;
  if (fp <= 1.0) {
    cx = 0.5 * d * fp / (1.0 - (1.0 - D) * fp * fp);
    cy = cx;
    cv = cx * 1.34;
  } else {
    cv = 0.85;
    cx = 0.3 * ax * ax / (ax * ax + 1.0);
    cy = 0.3 * ay * ay / (ay * ay + 1.0);
  }
  // 6. Frequency-dependent stiffness factors.
  double fx = ax < 2.5 ? 1.0 - 0.2 * ax : 0.5;
  double fy = ay < 2.5 ? 1.0 - 0.2 * ay : 0.5;
  if (PR >= 0.45f) {
    fx = 1.0 - 0.2 * ax;
    fy = 1.0 - 0.2 * ay;
  }
  const double ft = at < 3.0 ? 1.0 - 0.133 * at : 0.6;
  // 7. Results with the hysteretic factor.
  const cdouble hyst(1.0, D);
  const cdouble horizontalShape = cdouble(1.0, ch * ah) * hyst;
  ZH = single(kh * horizontalShape);
  ZV = single(kv * (cdouble(1.0, cv * ah) * hyst));
  ZHX = single(khx * horizontalShape);
  ZHY = single(-khy * horizontalShape);
  ZRX = single(kx * (cdouble(fx, cx * ax) * hyst));
  ZRY = single(ky * (cdouble(fy, cy * ay) * hyst));
  ZT = single(kt * (cdouble(ft, ct * at) * hyst));
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
