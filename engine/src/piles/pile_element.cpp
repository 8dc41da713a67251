#include "pile_element.h"

#include <algorithm>
#include <cmath>

#include "complex_solvers.h"
#include "halfspace_coefficients.h"
#include "numeric_helpers.h"
#include "side_layer_impedance.h"

namespace {

using CF = std::complex<float>;
using CD = std::complex<double>;

// cot(z) and csc(z).  Long, soft elements give arguments with a large
// imaginary part, where sin and cos overflow although their ratios are
// tame; `stable` then forms both from exp(2iz), which stays bounded.
template <class T>
void CotCsc(std::complex<T> z, bool stable, std::complex<T>& cot, std::complex<T>& csc) {
  using C = std::complex<T>;
  if (!stable) {
    const C s = std::sin(z);
    cot = std::cos(z) / s;
    csc = C(1) / s;
    return;
  }
  const bool lower = z.imag() < 0;
  if (lower) z = std::conj(z);
  const C i(0, 1);
  const C e1 = std::exp(i * z);       // |e1| = exp(-Im z) <= 1
  const C q = e1 * e1;
  cot = i * (q + C(1)) / (q - C(1));
  csc = C(2) * i * e1 / (q - C(1));
  if (lower) {
    cot = std::conj(cot);
    csc = std::conj(csc);
  }
}

// Two-node dynamic stiffness of a rod (axial or torsional): rigidity EAc
// (complex, with the hysteretic factor), inertia term mw2 and side reaction
// ks per unit length, length h.  diag = EAc lambda cot(lambda h),
// off = -EAc lambda / sin(lambda h).
template <class T>
void RodElement(std::complex<T> EAc, std::complex<T> mw2, std::complex<T> ks, T h, bool stable,
                std::complex<T>& diag, std::complex<T>& off) {
  using C = std::complex<T>;
  const C lam2 = (mw2 - ks) / EAc;
  if (lam2 == C(0)) {  // the static rod without side reaction
    diag = EAc / h;
    off = -EAc / h;
    return;
  }
  const C lam = std::sqrt(lam2);
  C cot, csc;
  CotCsc(lam * h, stable, cot, csc);
  diag = EAc * lam * cot;
  off = -EAc * lam * csc;
}

// The six distinct terms of a beam element (bending, shear flexibility,
// translational and rotary inertia, axial load, side reactions).
template <class T>
struct BeamTerms {
  std::complex<T> Ta, Tb, Tc, Td, Te, Tf;
};

// `scaled` forms the trigonometric and hyperbolic functions of mu1 and mu2
// divided by their growth factors; every numerator and the determinant are
// bilinear in (cos mu1, sin mu1, 1) x (cosh mu2, sinh mu2, 1), so the common
// factor cancels and nothing overflows.
template <class T>
BeamTerms<T> BeamElement(T EI, std::complex<T> cD, std::complex<T> s, std::complex<T> mw2,
                         T IoverA, T P, std::complex<T> ku, std::complex<T> kr, T h, bool scaled) {
  using C = std::complex<T>;
  const C i(0, 1);
  const C EIc = C(EI) * cD;
  const C c1 = C(1) - s * (mw2 * IoverA - P - kr);
  const C sP = C(1) + s * P;
  const C q1 = (C(P) * sP + mw2 * IoverA - kr) / EIc;
  const T h2 = h * h;
  const C B = h2 * (q1 + s * ku);
  const C D = B * B + T(4) * (h2 * h2) * c1 * ku / EIc;
  const C sD = std::sqrt(D);
  const C mu1 = std::sqrt((B + sD) / C(2));
  const C mu2 = std::sqrt((sD - B) / C(2));

  C C1, S1, Ch, Sh, o1(1), o2(1);
  if (!scaled) {
    C1 = std::cos(mu1);
    S1 = std::sin(mu1);
    Ch = std::cos(i * mu2);
    Sh = -i * std::sin(i * mu2);
  } else {
    const T y = std::abs(mu1.imag());
    const C eP = std::exp(i * mu1 - y), eM = std::exp(-i * mu1 - y);
    C1 = (eP + eM) / C(2);
    S1 = (eP - eM) / (C(2) * i);
    o1 = C(std::exp(-y));
    const T x = std::abs(mu2.real());
    const C fP = std::exp(mu2 - x), fM = std::exp(-mu2 - x);
    Ch = (fP + fM) / C(2);
    Sh = (fP - fM) / C(2);
    o2 = C(std::exp(-x));
  }

  const C r = mu1 * mu2 / c1;
  const C t1 = s * EIc * mu1 * mu1 / (h2 * c1);
  const C t2 = s * EIc * mu2 * mu2 / (h2 * c1);
  const C g1 = (C(1) - t2) * mu1 / sP;
  const C g2 = (C(1) + t1) * mu2 / sP;
  const C Dt = (S1 * Sh * (g1 * g1 - g2 * g2) + T(2) * r * (C1 * Ch - o1 * o2)) / cD;
  const C W = (EI / h) * (mu1 * mu1 + mu2 * mu2) / Dt;

  BeamTerms<T> t;
  t.Ta = -W * (g1 * Sh * o1 - g2 * S1 * o2);
  t.Tb = -W * (g2 * S1 * Ch - g1 * C1 * Sh);
  t.Tc = -W * r * (o1 * Ch - C1 * o2);
  t.Td = (EI / h) * r * (S1 * Sh * (g2 * mu1 + g1 * mu2) + (g2 * mu2 - g1 * mu1) * (C1 * Ch - o1 * o2)) / Dt;
  t.Te = W * r * (g1 * S1 * o2 + g2 * o1 * Sh);
  t.Tf = -W * r * (g2 * C1 * Sh + g1 * S1 * Ch);
  return t;
}

template <class T>
bool AllFinite(const BeamTerms<T>& t) {
  return IsFinite(t.Ta) && IsFinite(t.Tb) && IsFinite(t.Tc) && IsFinite(t.Td) && IsFinite(t.Te) &&
         IsFinite(t.Tf);
}

CF ToF(const CD& z) { return CF(static_cast<float>(z.real()), static_cast<float>(z.imag())); }
CD ToD(const CF& z) { return CD(z.real(), z.imag()); }

// Rod element in single precision, recomputed stably in double when the
// plain form overflows.
void Rod(CF EAc, CF mw2, CF ks, float h, CF& diag, CF& off) {
  RodElement<float>(EAc, mw2, ks, h, false, diag, off);
  if (IsFinite(diag) && IsFinite(off)) return;
  CD d, o;
  RodElement<double>(ToD(EAc), ToD(mw2), ToD(ks), h, true, d, o);
  diag = ToF(d);
  off = ToF(o);
}

// Symmetric element matrix of a beam element, degrees of freedom (top
// displacement, top rotation, bottom displacement, bottom rotation).
struct BeamMatrix {
  CF k[4][4];
};

BeamMatrix Beam(float EI, CF cD, CF s, CF mw2, float IoverA, float P, CF ku, CF kr, float h) {
  BeamTerms<float> t = BeamElement<float>(EI, cD, s, mw2, IoverA, P, ku, kr, h, false);
  if (!AllFinite(t)) {
    const BeamTerms<double> d =
        BeamElement<double>(EI, ToD(cD), ToD(s), ToD(mw2), IoverA, P, ToD(ku), ToD(kr), h, true);
    t = {ToF(d.Ta), ToF(d.Tb), ToF(d.Tc), ToF(d.Td), ToF(d.Te), ToF(d.Tf)};
  }
  const float hh = h * h;
  BeamMatrix m;
  m.k[0][0] = m.k[2][2] = t.Tf / hh;
  m.k[0][1] = t.Td / h;
  m.k[2][3] = -t.Td / h;
  m.k[0][2] = t.Te / hh;
  m.k[0][3] = -t.Tc / h;
  m.k[1][2] = t.Tc / h;
  m.k[1][1] = m.k[3][3] = t.Tb;
  m.k[1][3] = t.Ta;
  for (int a = 0; a < 4; ++a)
    for (int b = 0; b < a; ++b) m.k[a][b] = m.k[b][a];
  return m;
}

// Band matrix element (i, c), 1-based row and band column.
inline CF& Band(CF* A, int i, int c) { return A[(i - 1) + kBandRows * (c - 1)]; }

// Adds v at (i, j) of the symmetric matrix whose upper band is stored.
inline void AddSym(CF* A, int i, int j, CF v) {
  if (j < i) std::swap(i, j);
  Band(A, i, j - i + 1) += v;
}

}  // namespace

void CBANDS(int M, int N, int NB, CF* A, CF* B, int& IER) {
  IER = 0;
  if (N < 1 || N > kBandRows || NB < 1 || NB > 4 || M < 1) {
    IER = kSolverSingular;
    return;
  }
  auto a = [&](int i, int c) -> CF& { return A[(i - 1) + kBandRows * (c - 1)]; };
  auto b = [&](int i, int m) -> CF& { return B[(i - 1) + kBandRows * (m - 1)]; };
  auto good = [](CF p) { return IsFinite(p) && p != CF(0); };
  for (int k = 1; k <= N - 1; ++k) {
    const CF piv = a(k, 1);
    if (!good(piv)) {
      IER = kSolverSingular;
      return;
    }
    const int L = std::min(NB, N - k + 1);
    for (int m = 1; m <= M; ++m) b(k, m) /= piv;
    for (int j = 2; j <= L; ++j) a(k, j) /= piv;
    const CD pd = ToD(piv);
    for (int l = k + 1; l <= k + L - 1; ++l) {
      const CD cp = ToD(a(k, l - k + 1)) * pd;  // multiplier times pivot
      for (int col = l; col <= k + L - 1; ++col) {
        CF& t = a(l, col - l + 1);
        t = ToF(ToD(t) - cp * ToD(a(k, col - k + 1)));
      }
      for (int m = 1; m <= M; ++m) b(l, m) = ToF(ToD(b(l, m)) - cp * ToD(b(k, m)));
    }
  }
  if (!good(a(N, 1))) {
    IER = kSolverSingular;
    return;
  }
  for (int m = 1; m <= M; ++m) b(N, m) /= a(N, 1);
  for (int k = N - 1; k >= 1; --k) {
    const int L = std::min(NB, N - k + 1);
    for (int m = 1; m <= M; ++m) {
      CD sum = ToD(b(k, m));
      for (int j = 2; j <= L; ++j) sum -= ToD(a(k, j)) * ToD(b(k + j - 1, m));
      b(k, m) = ToF(sum);
    }
  }
}

void PILELM(const PileElementArgs& a, float K[6], float C[6], int& IER) {
  IER = 0;
  for (int k = 0; k < 6; ++k) K[k] = C[k] = 0.0f;
  const int NL = a.NL;
  const float w = a.w;
  if (NL < 1 || NL > kMaxLayers || !(w > 0.0f)) {
    IER = kSolverSingular;
    return;
  }

  // 1, 2: pile shear modulus, soil below, low-frequency flags.
  const float Gp = a.E / ((a.prPile + 1.0f) * 2.0f);
  const float Gb = a.vsBelow * a.vsBelow * a.uwBelow / a.g;
  const int f1 = (w <= a.wcut1) ? 1 : 0;
  const int f2 = (w <= a.wcut2) ? 1 : 0;

  // 3: side reactions per unit length of every layer.
  CF kh[kMaxLayers], kv[kMaxLayers], kr[kMaxLayers], kt[kMaxLayers];
  float G[kMaxLayers];
  for (int i = 0; i < NL; ++i) {
    G[i] = a.vs[i] * a.vs[i] * a.uw[i] / a.g;
    const float ri = a.r[i];
    const float a0 = (G[i] > 0.0f) ? w * ri / a.vs[i] : 0.0f;
    CF su, sw, sr1, sr2, st;
    int flag1 = f1;  // SIDIMP may change its copy
    SIDIMP(a0, a.pr[i], a.damp[i], a.weakRatio[i], a.weakPr[i], a.weakDamp[i], a.weakThick[i], ri, ri,
           ri, ri, su, sw, sr1, sr2, st, flag1, f2);
    kh[i] = G[i] * su;
    kv[i] = G[i] * sw;
    kr[i] = G[i] * ri * ri * sr1;
    kt[i] = G[i] * ri * ri * st;
  }

  // 4: the tip on the half-space.  Without soil below (velocity 0) the tip
  // springs vanish; a0 is then 0 so that no division by zero enters.
  const float rt = a.r[NL - 1];
  const float a0b = (a.vsBelow > 0.0f) ? w * rt / a.vsBelow : 0.0f;
  CF tH, tV, tRX, tRY, tT;
  HSCOEF(a0b, a.prBelow, a.dBelow, rt, rt, rt, rt, tH, tV, tRX, tRY, tT);
  if (f2) {
    CF sH, sV, sRX, sRY, sT;
    HSCOEF(0.0001f, a.prBelow, a.dBelow, rt, rt, rt, rt, sH, sV, sRX, sRY, sT);
    if (f1) tH = CF(tH.real(), sH.real() * a.dBelow);
    tV = CF(tV.real(), sV.real() * a.dBelow);
  }

  // 5-8: element terms of every layer.
  CF axD[kMaxLayers], axO[kMaxLayers], toD[kMaxLayers], toO[kMaxLayers];
  BeamMatrix bm[kMaxLayers];
  const float w2 = w * w;
  for (int i = 0; i < NL; ++i) {
    const float A = a.area[i], I = a.inertia[i], J = a.torsion[i], h = a.h[i];
    float m, mp, EA, GJ, EI, D;
    CF s;
    if (a.model < 0 && i < a.K) {  // soil column of a multilayer footing
      const float Gc = G[i] * a.colModulus[i];
      D = a.damp[i] * a.colDamp[i];
      const float Ec = 2.0f * (1.0f + a.pr[i]) * Gc;
      m = a.uw[i] * A / a.g;
      mp = a.uw[i] * J / a.g;
      EA = Ec * A;
      GJ = Gc * J;
      EI = Ec * I;
      s = a.shearCoef / (CF(Gc, Gc * D) * A);
    } else {
      D = a.dPile;
      m = a.uwPile * A / a.g;
      mp = a.uwPile * J / a.g;
      EA = a.E * A;
      GJ = Gp * J;
      EI = a.E * I;
      s = CF(a.shearCoef / (Gp * A), 0.0f);
    }
    const CF cD(1.0f, D);
    Rod(EA * cD, CF(m * w2), kv[i], h, axD[i], axO[i]);
    Rod(GJ * cD, CF(mp * w2), kt[i], h, toD[i], toO[i]);
    bm[i] = Beam(EI, cD, s, CF(m * w2), I / A, a.P, CF(m * w2) - kh[i], kr[i], h);
  }

  CF head[6];
  CF Ab[kBandRows * 4];
  CF Bb[kBandRows * 2];
  int ier = 0;

  // 9: axial and torsional passes; the head displacement is 1.
  for (int pass = 0; pass < 2; ++pass) {
    const CF* d = pass == 0 ? axD : toD;
    const CF* o = pass == 0 ? axO : toO;
    const CF tip = pass == 0 ? Gb * rt * tV : Gb * rt * rt * rt * tT;
    CF u2;
    if (NL == 1) {
      u2 = -o[0] / (d[0] + tip);
    } else {
      std::fill(std::begin(Ab), std::end(Ab), CF(0));
      std::fill(std::begin(Bb), std::end(Bb), CF(0));
      for (int j = 1; j <= NL; ++j) {  // unknown j is node j + 1
        Band(Ab, j, 1) = d[j - 1] + (j < NL ? d[j] : tip);
        if (j < NL) Band(Ab, j, 2) = o[j];
      }
      Bb[0] = -o[0];
      CBANDS(1, NL, 2, Ab, Bb, ier);
      if (ier != 0) break;
      u2 = Bb[0];
    }
    head[pass] = d[0] + o[0] * u2;
  }

  // 10: lateral pass, unknowns (displacement, rotation) of nodes 2..NL+1;
  // case A unit head displacement, case B unit head rotation.
  if (ier == 0) {
    const int N = 2 * NL;
    std::fill(std::begin(Ab), std::end(Ab), CF(0));
    std::fill(std::begin(Bb), std::end(Bb), CF(0));
    for (int i = 1; i <= NL; ++i) {
      const BeamMatrix& e = bm[i - 1];
      // Element i joins node i (unknowns 2i-3, 2i-2; the head for i = 1)
      // and node i + 1 (unknowns 2i-1, 2i).
      for (int p = 0; p < 4; ++p) {
        const int gp = 2 * i - 3 + p;
        if (gp < 1) continue;
        for (int q = p; q < 4; ++q) {
          const int gq = 2 * i - 3 + q;
          if (gq < 1) continue;
          AddSym(Ab, gp, gq, e.k[p][q]);
        }
      }
    }
    Band(Ab, N - 1, 1) += Gb * rt * tH;
    Band(Ab, N, 1) += Gb * rt * rt * rt * tRX;
    const BeamMatrix& e1 = bm[0];
    Bb[0] = -e1.k[2][0];
    Bb[1] = -e1.k[3][0];
    Bb[kBandRows + 0] = -e1.k[2][1];
    Bb[kBandRows + 1] = -e1.k[3][1];
    CBANDS(2, N, 4, Ab, Bb, ier);
    if (ier == 0) {
      const CF uA = Bb[0], tA = Bb[1], uB = Bb[kBandRows], tB = Bb[kBandRows + 1];
      const CF VA = e1.k[0][0] + e1.k[0][2] * uA + e1.k[0][3] * tA;
      const CF MA = e1.k[1][0] + e1.k[1][2] * uA + e1.k[1][3] * tA;
      const CF VB = e1.k[0][1] + e1.k[0][2] * uB + e1.k[0][3] * tB;
      const CF MB = e1.k[1][1] + e1.k[1][2] * uB + e1.k[1][3] * tB;
      const CF ratio = -MA / MB;  // head rotation that frees the head moment
      head[2] = VA;
      head[3] = MB;
      head[4] = MA;
      head[5] = VA + ratio * VB;
    }
  }

  if (ier == 0)
    for (const CF& t : head) ier = (ier != 0 || !IsFinite(t)) ? kSolverSingular : 0;
  if (ier != 0) {
    IER = kSolverSingular;
    return;
  }
  // 11: stiffness and damping.
  for (int k = 0; k < 6; ++k) {
    K[k] = head[k].real();
    C[k] = head[k].imag() / w;
  }
}
