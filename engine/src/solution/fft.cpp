// Mixed-radix FFT in the arrangement of Singleton: the length is split into
// square factors, the square-free rest and the square factors again in
// mirrored order; the passes run by decimation in frequency (each pass's
// rotations are applied to its outputs, so the first pass's inputs are never
// rotated), and the digit-reversed result is put in order in place.
//
// Rotation factors and the trigonometric constants of the odd butterflies are
// formed in double precision and rounded once to single precision, so that
// long odd factors keep the full single-precision accuracy; every butterfly
// sum is single precision.
#include "fft.h"

#include <cmath>
#include <vector>

namespace {

using Cx = std::complex<float>;

constexpr double kTwoPi = 6.283185307179586;

// Factor list: square factors, square-free rest, square factors mirrored;
// adjacent 2, 2 become one 4.
std::vector<int> Factorise(int n) {
  std::vector<int> sq, rest;
  int k = n;
  for (int f = 2; static_cast<long long>(f) * f <= k; f = (f == 2) ? 3 : f + 2)
    while (k % (f * f) == 0) {
      sq.push_back(f);
      k /= f * f;
    }
  for (long long f = 2; f <= k; f = (f == 2) ? 3 : f + 2)
    while (k % f == 0) {
      rest.push_back(static_cast<int>(f));
      k /= static_cast<int>(f);
    }
  std::vector<int> all(sq);
  all.insert(all.end(), rest.begin(), rest.end());
  all.insert(all.end(), sq.rbegin(), sq.rend());
  std::vector<int> out;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] == 2 && i + 1 < all.size() && all[i + 1] == 2) {
      out.push_back(4);
      ++i;
    } else {
      out.push_back(all[i]);
    }
  }
  return out;
}

inline Cx MulI(Cx v) { return Cx(-v.imag(), v.real()); }  // i v

// Rotation of v by (c + i s).
inline Cx Rot(Cx v, float c, float s) {
  return Cx(c * v.real() - s * v.imag(), s * v.real() + c * v.imag());
}

}  // namespace

void CFFT(std::complex<float>* A, int N) {
  if (A == nullptr || N <= 1) return;
  const std::vector<int> fac = Factorise(N);

  int maxf = 1;
  for (int f : fac) maxf = f > maxf ? f : maxf;
  std::vector<Cx> x(maxf), y(maxf);
  std::vector<float> cs(maxf), sn(maxf);   // cos, sin of 2 pi q / f
  std::vector<float> rc(maxf), rs(maxf);   // rotation powers

  int block = N;  // length of the sub-transforms of this pass
  for (int f : fac) {
    const int span = block / f;
    if (f > 4) {
      for (int q = 0; q < f; ++q) {
        const double a = kTwoPi * static_cast<double>(q) / static_cast<double>(f);
        cs[q] = static_cast<float>(std::cos(a));
        sn[q] = static_cast<float>(std::sin(a));
      }
    }
    const int h = (f - 1) / 2;
    for (int base = 0; base < N; base += block) {
      for (int j = 0; j < span; ++j) {
        Cx* p = A + base + j;
        for (int q = 0; q < f; ++q) x[q] = p[q * span];
        if (f == 2) {
          y[0] = x[0] + x[1];
          y[1] = x[0] - x[1];
        } else if (f == 4) {
          const Cx a0 = x[0] + x[2], a1 = x[0] - x[2];
          const Cx b0 = x[1] + x[3], b1 = MulI(x[1] - x[3]);
          y[0] = a0 + b0;
          y[2] = a0 - b0;
          y[1] = a1 + b1;
          y[3] = a1 - b1;
        } else if (f == 3) {
          const Cx s = x[1] + x[2];
          const Cx t = x[0] - 0.5f * s;
          const Cx u = MulI(0.8660254f * (x[1] - x[2]));
          y[0] = x[0] + s;
          y[1] = t + u;
          y[2] = t - u;
        } else {
          // General odd radix: symmetric sums a_q and differences b_q.
          Cx y0 = x[0];
          for (int q = 1; q <= h; ++q) y0 += x[q] + x[f - q];
          y[0] = y0;
          for (int r = 1; r <= h; ++r) {
            float ar = x[0].real(), ai = x[0].imag(), br = 0.0f, bi = 0.0f;
            int idx = 0;
            for (int q = 1; q <= h; ++q) {
              idx += r;
              if (idx >= f) idx -= f;
              const Cx a = x[q] + x[f - q];
              const Cx b = x[q] - x[f - q];
              ar += cs[idx] * a.real();
              ai += cs[idx] * a.imag();
              br += sn[idx] * b.real();
              bi += sn[idx] * b.imag();
            }
            // y_r = A + i B, y_{f-r} = A - i B
            y[r] = Cx(ar - bi, ai + br);
            y[f - r] = Cx(ar + bi, ai - br);
          }
        }
        // Rotations exp(+2 pi i j r / block) of the outputs; none for j = 0
        // (and none at all in the last pass, where span = 1).
        if (j == 0) {
          for (int r = 0; r < f; ++r) p[r * span] = y[r];
        } else {
          const double ang = kTwoPi * static_cast<double>(j) / static_cast<double>(block);
          const double c1 = std::cos(ang), s1 = std::sin(ang);
          double c = 1.0, s = 0.0;
          p[0] = y[0];
          for (int r = 1; r < f; ++r) {
            const double cn = c * c1 - s * s1;
            s = s * c1 + c * s1;
            c = cn;
            p[r * span] = Rot(y[r], static_cast<float>(c), static_cast<float>(s));
          }
        }
      }
    }
    block = span;
  }

  // Unscrambling: X(k) with k = r1 + f1 (r2 + f2 (r3 + ...)) sits at
  // r1 N/f1 + r2 N/(f1 f2) + ...; follow the permutation's cycles in place.
  std::vector<int> src(N);
  {
    // Build src[k] incrementally with a mixed-radix counter over k.
    const int m = static_cast<int>(fac.size());
    std::vector<int> digit(m, 0), weight(m);
    int w = N;
    for (int i = 0; i < m; ++i) {
      w /= fac[i];
      weight[i] = w;
    }
    int pos = 0;
    for (int k = 0; k < N; ++k) {
      src[k] = pos;
      for (int i = 0; i < m; ++i) {  // increment k: digit 0 is least significant
        ++digit[i];
        pos += weight[i];
        if (digit[i] < fac[i]) break;
        pos -= weight[i] * fac[i];
        digit[i] = 0;
      }
    }
  }
  std::vector<bool> done(N, false);
  for (int k = 0; k < N; ++k) {
    if (done[k] || src[k] == k) {
      done[k] = true;
      continue;
    }
    const Cx first = A[k];
    int cur = k;
    while (true) {
      done[cur] = true;
      const int from = src[cur];
      if (from == k) {
        A[cur] = first;
        break;
      }
      A[cur] = A[from];
      cur = from;
    }
  }
}
