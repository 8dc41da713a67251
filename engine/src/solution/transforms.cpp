#include "transforms.h"

void BuildTRIG(float* T, float xg, float yg, float zg) {
  for (int k = 0; k < 36; ++k) T[k] = 0.0f;
  for (int i = 1; i <= 6; ++i) T[M6(i, i)] = 1.0f;
  T[M6(1, 5)] = -zg;
  T[M6(1, 6)] = yg;
  T[M6(2, 4)] = zg;
  T[M6(2, 6)] = -xg;
  T[M6(3, 4)] = -yg;
  T[M6(3, 5)] = xg;
}

void CTRAN6(const std::complex<float>* Z, const float* T, std::complex<float>* R, int n) {
  if (n < 1) return;
  if (n > 6) n = 6;
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= n; ++i) {
      double re = 0.0, im = 0.0;
      for (int k = 1; k <= n; ++k) {
        const double tki = T[M6(k, i)];
        if (tki == 0.0) continue;
        for (int l = 1; l <= n; ++l) {
          const double t = tki * static_cast<double>(T[M6(l, j)]);
          if (t == 0.0) continue;
          const std::complex<float> z = Z[M6(k, l)];
          re += t * static_cast<double>(z.real());
          im += t * static_cast<double>(z.imag());
        }
      }
      R[M6(i, j)] = std::complex<float>(static_cast<float>(re), static_cast<float>(im));
    }
  }
}
