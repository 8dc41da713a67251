#include "pile_group.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "complex_solvers.h"
#include "footing_response.h"
#include "numeric_helpers.h"
#include "run_state.h"
#include "symmetric_solver.h"
#include "transforms.h"

namespace {

using CF = std::complex<float>;
using CD = std::complex<double>;

float Interp3(float y2, float y5, float y10, float s) {
  float y;
  INTRP3(y2, y5, y10, s, y);
  return y;
}

// exp(-i phase)
CF Rotor(float phase) { return CF(std::cos(phase), -std::sin(phase)); }

// The frequency-dependent part of the vertical factor: the fits at the
// spacings 2, 5 and 10 depend on a0 alone.
struct VerticalFit {
  float a0, b, e, A2, A5, A10, P2, P5, P10;
  explicit VerticalFit(float A0) : a0(A0) {
    b = std::min(a0, 1.0f);
    A2 = std::exp(-0.42f * b + 0.24f * b * b);
    A5 = std::exp(-0.74f * b + 0.35f * b * b);
    A10 = std::exp(-0.5f * b);
    if (b > 0.25f) {
      P2 = 0.6215f + 1.7f * (b - 0.25f);
      P5 = 1.45375f + 4.7f * (b - 0.25f);
      P10 = 2.865625f + 9.78f * (b - 0.25f);
    } else {
      P2 = 3.786f * b - 5.2f * b * b;
      P5 = 7.2f * b - 5.54f * b * b;
      P10 = 12.29f * b - 3.31f * b * b;
    }
    e = a0 - b;
  }
  CF Factor(float s, float alpha0) const {
    float amp = (s > 10.0f) ? std::exp(-0.05f * s * b) : Interp3(A2, A5, A10, s);
    float phase = Interp3(P2, P5, P10, s);
    // Below a0 = 1, e is 0 and the decay exactly 1: the exponential is
    // left out there (here and in the lateral fits), with the same result.
    if (e != 0.0f) amp = amp * std::exp(-0.05f * s * e);
    phase = phase - 0.0936f + s * e;
    return alpha0 * amp * Rotor(phase);
  }
};

// The same for the three lateral factors, each at 0 and 90 degrees.
struct LateralFit {
  float b, e;
  float A[3][2][3], P[3][2][3];  // [factor][direction][spacing 2, 5, 10]
  explicit LateralFit(float a0) {
    b = std::min(a0, 1.0f);
    e = a0 - b;
    const float b2 = b * b, b3 = b2 * b, b4 = b3 * b;
    float(&a)[3][2][3] = A;
    a[0][0][0] = 1 + 0.424f * b - 0.362f * b2;
    a[0][0][1] = 1 + 0.135f * b + 0.495f * b2 - 0.878f * b3;
    a[0][0][2] = 1 - 0.876f * b + 2.23f * b2 - 2.13f * b3;
    a[0][1][0] = 1 + 0.442f * b - 0.144f * b2;
    a[0][1][1] = 1 - 0.84f * b + 4.725f * b2 - 3.125f * b3;
    a[0][1][2] = a[0][1][1];
    a[1][0][0] = 1 + 0.16f * b + 5.45f * b2 - 10.54f * b3 + 5.35f * b4;
    a[1][0][1] = 1 - 0.11f * b + 11.55f * b2 - 20.84f * b3 + 10.0f * b4;
    a[1][0][2] = 1 + 0.53f * b + 14.99f * b2 - 23.69f * b3 + 8.22f * b4;
    a[1][1][0] = 1 + 0.098f * b + 7.95f * b2 - 13.95f * b3 + 6.71f * b4;
    a[1][1][1] = 1 + 1.47f * b + 8.73f * b2 - 6.89f * b3;
    a[1][1][2] = 1 - 1.56f * b + 27.63f * b2 - 20.57f * b3;
    a[2][0][0] = 1 - 0.055f * b + 4.995f * b2 - 8.835f * b3 + 4.22f * b4;
    a[2][0][1] = 1 - 0.19f * b + 12.48f * b2 - 22.9f * b3 + 11.19f * b4;
    a[2][0][2] = 1 + 1.785f * b + 4.16f * b2 - 5.21f * b3;
    a[2][1][0] = 1 + 0.69f * b + 5.48f * b2 - 9.82f * b3 + 4.42f * b4;
    a[2][1][1] = 1 + 0.572f * b + 13.12f * b2 - 12.82f * b3 + 2.46f * b4;
    a[2][1][2] = 1 - 2.14f * b + 25.3f * b2 - 17.35f * b3;

    float(&p)[3][2][3] = P;
    const bool lo = b <= 0.25f;
    p[0][0][0] = 1.082f * b;
    p[0][0][1] = 2.9f * b;
    p[0][0][2] = b < 0.6f ? 5.54f * b : (b <= 0.9f ? 3.324f + 6.571f * (b - 0.6f) : 5.2953f + 0.867f * (b - 0.9f));
    p[0][1][0] = 1.976f * b;
    p[0][1][1] = 4.886f * b;
    p[0][1][2] = b <= 0.5f ? 9.934f * b : 4.967f + 9.244f * (b - 0.5f);
    p[1][0][0] = 0.078f * b + 1.554f * b2 - 0.57f * b3;
    p[1][0][1] = 0.565f * b + 4.203f * b2 - 1.92f * b3;
    p[1][0][2] = 1.798f * b + 6.913f * b2 - 3.027f * b3;
    p[1][1][0] = lo ? 0.12f * b + 2.62f * b2 : 0.19375f + 2.21f * (b - 0.25f);
    p[1][1][1] = lo ? 0.83f * b + 9.56f * b2 : 0.805f + 5.5f * (b - 0.25f);
    p[1][1][2] = lo ? 0.85f * b + 28.4f * b2 : 1.9875f + 9.77f * (b - 0.25f);
    p[2][0][0] = -0.037f * b + 1.846f * b2 - 0.77f * b3;
    p[2][0][1] = 0.112f * b + 5.025f * b2 - 2.481f * b3;
    p[2][0][2] = 0.352f * b + 8.583f * b2 - 3.72f * b3;
    p[2][1][0] = lo ? 2.67f * b2 : 0.166875f + 2.29f * (b - 0.25f);
    p[2][1][1] = lo ? 0.34f * b + 8.03f * b2 : 0.586875f + 5.69f * (b - 0.25f);
    p[2][1][2] = lo ? -0.52f * b + 27.24f * b2 : 1.5725f + 10.17f * (b - 0.25f);
  }
  // Dynamic factor j (0..2) in direction d (0: 0 degrees, 1: 90 degrees).
  CF Dynamic(int j, int d, float s, float stat) const {
    static constexpr float kOffset[3] = {0.0757f, 0.05157f, 0.02596f};
    const float r = d == 0 ? 0.028f : 0.05f;
    const float k = d == 0 ? 0.554f : 1.0f;
    const float sc = std::min(s, 10.0f);
    float amp = Interp3(A[j][d][0], A[j][d][1], A[j][d][2], sc);
    if (e != 0.0f) amp = amp * std::exp(-r * s * e);
    if (j == 0 && s > sc) amp = amp * std::exp(-r * b * (s - sc));
    const float phase = Interp3(P[j][d][0], P[j][d][1], P[j][d][2], s) - kOffset[j] + k * s * e;
    return stat * amp * Rotor(phase);
  }
  // The six dynamic factors of a pair: they depend on the spacing and the
  // static factors alone, so both loading directions share them.
  void PairDynamics(float s, const float st0[3], const float st9[3], CF D[3][2]) const {
    for (int j = 0; j < 3; ++j) {
      D[j][0] = Dynamic(j, 0, s, st0[j]);
      D[j][1] = Dynamic(j, 1, s, st9[j]);
    }
  }
  // The factors at an angle with cos^2 c2 and sin^2 s2 to the pair line.
  static void Blend(float c2, float s2, const CF D[3][2], CF out[3]) {
    for (int j = 0; j < 3; ++j) out[j] = c2 * D[j][0] + s2 * D[j][1];
  }
  void Factors(float s, float beta, const float st0[3], const float st9[3], CF out[3]) const {
    CF D[3][2];
    PairDynamics(s, st0, st9, D);
    const float c = std::cos(beta), sn = std::sin(beta);
    Blend(c * c, sn * sn, D, out);
  }
};

// Index of (i, j), 1-based, of a column-major matrix of leading dimension ld.
inline std::size_t Ix(int i, int j, int ld) {
  return static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(ld) * static_cast<std::size_t>(j - 1);
}

// The memos' sizes.
constexpr std::size_t kVerticalMemoSlots = 4096, kPairMemoSlots = 8192, kAngleMemoSlots = 4096;

// A memo of the work storage, empty, in its size (taken here only where
// ReserveGroupWork did not).
template <class Memo>
void PrepareMemo(Memo& memo, std::size_t slots) {
  if (memo.Slots() != slots) memo.Size(slots);
  memo.Clear();
}

// Copies the strict upper triangle of the n x n matrix A (leading
// dimension n) into the lower one, in tiles that stay in cache.
void MirrorUpper(CF* A, int n) {
  constexpr int kTile = 32;
  for (int j0 = 0; j0 < n; j0 += kTile)
    for (int i0 = 0; i0 <= j0; i0 += kTile)
      for (int j = j0; j < std::min(n, j0 + kTile); ++j)
        for (int i = i0; i < std::min(j, i0 + kTile); ++i)
          A[static_cast<std::size_t>(i) * n + j] = A[static_cast<std::size_t>(j) * n + i];
}

// The pile's impedance in the global axes.
void PileImpedanceOf(const PileGroupInput& in, const CF* Z, int p, CF* zp) {
  if (in.battered)
    BatterTransform(in.angles + 9 * (p - 1), Z, zp);
  else
    std::copy(Z, Z + 36, zp);
}

// Without interaction: the piles' impedances moved to their positions.
void RigidCapSums(const PileGroupInput& in, const CF* Z, PileGroupSums& g) {
  CF zp[36];
  for (int p = 1; p <= in.NP; ++p) {
    PileImpedanceOf(in, Z, p, zp);
    const double x = in.x[p - 1], y = in.y[p - 1];
    auto z = [&](int i, int j) { return CD(zp[M6(i, j)]); };
    g.S11 += z(1, 1);
    g.S22 += z(2, 2);
    g.S33 += z(3, 3);
    g.S44 += z(4, 4);
    g.S55 += z(5, 5);
    g.S66 += z(6, 6);
    g.S15 += z(1, 5);
    g.S24 += z(2, 4);
    g.yz11 += y * z(1, 1);
    g.xz22 += x * z(2, 2);
    g.xz33 += x * z(3, 3);
    g.yz33 += y * z(3, 3);
    g.yz15 += y * z(1, 5);
    g.xz24 += x * z(2, 4);
    g.y2z11 += y * y * z(1, 1);
    g.x2z22 += x * x * z(2, 2);
    g.x2z33 += x * x * z(3, 3);
    g.y2z33 += y * y * z(3, 3);
    g.xyz33 += x * y * z(3, 3);
  }
}

// Flexibility terms kept per pile, in this order.
enum { F11, F22, F33, F44, F55, F66, F15, F24, kFlexTerms };

void StoreFlex(const CF* f, CF* out) {
  out[F11] = f[M6(1, 1)];
  out[F22] = f[M6(2, 2)];
  out[F33] = f[M6(3, 3)];
  out[F44] = f[M6(4, 4)];
  out[F55] = f[M6(5, 5)];
  out[F66] = f[M6(6, 6)];
  out[F15] = f[M6(1, 5)];
  out[F24] = f[M6(2, 4)];
}

}  // namespace

void INTRP3(float Y2, float Y5, float Y10, float S, float& Y) {
  if (S <= 5.0f)
    Y = Y2 + (S - 2.0f) * (Y5 - Y2) / 3.0f;
  else
    Y = Y5 + (S - 5.0f) * (Y10 - Y5) / 5.0f;
}

void INTFAC(float A0, float S, float ALPHA0, CF& ALPHA) { ALPHA = VerticalFit(A0).Factor(S, ALPHA0); }

void INTFC2(float A0, float S, float BETA, float S01, float S02, float S03, float S91, float S92, float S93,
            CF& C1, CF& C2, CF& C3) {
  const float st0[3] = {S01, S02, S03}, st9[3] = {S91, S92, S93};
  CF out[3];
  LateralFit(A0).Factors(S, BETA, st0, st9, out);
  C1 = out[0];
  C2 = out[1];
  C3 = out[2];
}

void CTRAN4(const CF* Z, const float* T, CF* R, int N) {
  if (N < 1) return;
  N = std::min(N, 4);
  for (int j = 0; j < N; ++j)
    for (int i = 0; i < N; ++i) {
      CD s(0.0);
      for (int k = 0; k < N; ++k)
        for (int l = 0; l < N; ++l)
          s += static_cast<double>(T[k + 4 * i]) * CD(Z[k + 4 * l]) * static_cast<double>(T[l + 4 * j]);
      R[i + 4 * j] = CF(static_cast<float>(s.real()), static_cast<float>(s.imag()));
    }
}

void BatterTransform(const float* angles, const CF* Z, CF* R) {
  float T[36] = {};
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c) {
      const float v = std::cos(angles[(r - 1) + 3 * (c - 1)] * 3.1415927f / 180.0f);
      T[M6(r, c)] = v;
      T[M6(r + 3, c + 3)] = v;
    }
  std::fill(R, R + 36, CF(0));
  CTRAN6(Z, T, R, 6);
}

void BATTRN(const Run& Rn, const CF* Z, int p, CF* R) {
  p = std::clamp(p, 1, kMaxPiles);
  BatterTransform(Rn.fnd.BANG.data() + BANGIX(1, 1, p), Z, R);
}

namespace {

// The terms of one frequency that every group flexibility matrix is formed
// from: the single-pile flexibility, each pile's own terms, the fits of the
// interaction factors.  Each matrix is formed on its own, by columns
// (leading dimension = order); its entries do not depend on which other
// matrices are formed, or in which order.
class GroupMatrixForm {
 public:
  GroupMatrixForm(const PileGroupInput& in, PileGroupWork& work, const CF* Z, float w)
      : in_(in),
        work_(work),
        NP_(in.NP),
        dynamic_(w > 10.0f),
        a0_(w * 2.0f * in.r1 / in.Vr),
        vfit_(a0_),
        lfit_(a0_) {
    // 3: single-pile flexibility and each pile's own terms.
    std::copy(Z, Z + 36, F_);
    int ier = 0;
    CINVRT(F_, 6, 6, ier);
    if (ier != 0) {
      status_ = kSolverSingular;
      return;
    }
    work.flex.resize(static_cast<std::size_t>(kFlexTerms) * NP_);
    CF zp[36];
    for (int p = 1; p <= NP_; ++p) {
      CF* fp = &work.flex[static_cast<std::size_t>(kFlexTerms) * (p - 1)];
      if (in.battered && in.angles[9 * (p - 1) + 8] != 0.0f) {
        BatterTransform(in.angles + 9 * (p - 1), Z, zp);
        CINVRT(zp, 6, 6, ier);
        if (ier != 0) {
          status_ = kSolverSingular;
          return;
        }
        StoreFlex(zp, fp);
      } else {
        StoreFlex(F_, fp);
      }
    }
    // Torsion: the piles' own terms.
    for (int p = 1; p <= NP_; ++p) {
      PileImpedanceOf(in, Z, p, zp);
      S66_ += CD(zp[M6(6, 6)]);
    }
  }

  // 0, or kSolverSingular when a single-pile impedance cannot be inverted
  // (then no matrix can be formed).
  int Status() const { return status_; }
  CD S66() const { return S66_; }
  bool FixedHead() const { return in_.fixed != 0; }
  int LateralOrder() const { return FixedHead() ? 2 * NP_ : NP_; }

  // 5: the vertical group (NP x NP).
  void Vertical(CF* V) const {
    // 4: interaction factors, static up to 10 rad/s.
    PureMemo<2, CF>& verticalMemo = work_.memos.vertical;
    PrepareMemo(verticalMemo, kVerticalMemoSlots);
    const CF f33 = F_[M6(3, 3)];
    for (int q = 1; q <= NP_; ++q) {
      V[Ix(q, q, NP_)] = Own(q, F33);
      for (int p = 1; p < q; ++p) {
        CF alpha(T(0, p, q), 0.0f);
        if (dynamic_) {
          const float key[2] = {T(0, q, p), T(0, p, q)};
          alpha = verticalMemo.Get(key, [&] { return vfit_.Factor(key[0], key[1]); });
        }
        V[Ix(p, q, NP_)] = f33 * alpha;
      }
    }
    // The loops write every entry (the upper triangle, then its mirror), so
    // a matrix of the frequency before is overwritten, not cleared first.
    MirrorUpper(V, NP_);
  }

  // The lateral group for loading along x (dir 0) or y (dir 1), of order
  // LateralOrder().
  void Lateral(int dir, CF* L) const {
    // The lateral factors of pair p < q: at the pair angle T4(p, q) for x
    // loading, at T4(q, p) for y loading.
    using Dynamics = GroupMemos::PairDynamics;
    using Squares = GroupMemos::AngleSquares;
    PureMemo<7, Dynamics>& pairMemo = work_.memos.pair;
    PureMemo<1, Squares>& angleMemo = work_.memos.angle;
    PrepareMemo(pairMemo, kPairMemoSlots);
    PrepareMemo(angleMemo, kAngleMemoSlots);
    auto lateral = [&](int p, int q, CF a[3]) {
      const float st0[3] = {T(1, p, q), T(2, p, q), T(3, p, q)};
      const float st9[3] = {T(1, q, p), T(2, q, p), T(3, q, p)};
      const float theta = dir == 0 ? T(4, p, q) : T(4, q, p);
      const float angleKey[1] = {theta};
      const Squares sq = angleMemo.Get(angleKey, [&] {
        const float c = std::cos(theta), sn = std::sin(theta);
        return Squares{c * c, sn * sn};
      });
      if (dynamic_) {
        const float s = T(0, q, p);
        const float key[7] = {s, st0[0], st0[1], st0[2], st9[0], st9[1], st9[2]};
        const Dynamics& d = pairMemo.Get(key, [&] {
          Dynamics v;
          lfit_.PairDynamics(s, st0, st9, v.D);
          return v;
        });
        LateralFit::Blend(sq.c2, sq.s2, d.D, a);
      } else {
        for (int j = 0; j < 3; ++j) a[j] = CF(sq.c2 * st0[j] + sq.s2 * st9[j], 0.0f);
      }
    };
    struct Terms {
      int tu, tc, tr;  // the pile's own terms
      CF Fu, Fc, Fr;   // the single vertical pile's
    };
    const Terms m = dir == 0 ? Terms{F11, F15, F55, F_[M6(1, 1)], F_[M6(1, 5)], F_[M6(5, 5)]}
                             : Terms{F22, F24, F44, F_[M6(2, 2)], F_[M6(2, 4)], F_[M6(4, 4)]};
    const bool fixedHead = FixedHead();
    const int n = LateralOrder();
    for (int q = 1; q <= NP_; ++q) {
      if (fixedHead) {
        L[Ix(2 * q - 1, 2 * q - 1, n)] = Own(q, m.tu);
        L[Ix(2 * q - 1, 2 * q, n)] = L[Ix(2 * q, 2 * q - 1, n)] = Own(q, m.tc);
        L[Ix(2 * q, 2 * q, n)] = Own(q, m.tr);
      } else {
        L[Ix(q, q, n)] = Own(q, m.tu);
      }
      for (int p = 1; p < q; ++p) {
        CF f[3];
        lateral(p, q, f);
        if (fixedHead) {
          L[Ix(2 * p - 1, 2 * q - 1, n)] = m.Fu * f[0];
          L[Ix(2 * p - 1, 2 * q, n)] = m.Fc * f[1];
          L[Ix(2 * p, 2 * q - 1, n)] = m.Fc * f[1];
          L[Ix(2 * p, 2 * q, n)] = m.Fr * f[2];
        } else {
          L[Ix(p, q, n)] = m.Fu * f[0];
        }
      }
    }
    // The lower triangle is copied from the upper one.
    MirrorUpper(L, n);
  }

 private:
  float T(int k, int p, int q) const { return in_.pairT[k][Ix(p, q, NP_)]; }
  CF Own(int p, int term) const { return work_.flex[static_cast<std::size_t>(kFlexTerms) * (p - 1) + term]; }

  const PileGroupInput& in_;
  PileGroupWork& work_;
  const int NP_;
  const bool dynamic_;
  const float a0_;
  const VerticalFit vfit_;
  const LateralFit lfit_;
  CF F_[36];
  CD S66_{0.0};
  int status_ = 0;
};

}  // namespace

int FormGroupFlexibility(const PileGroupInput& in, PileGroupWork& work, const CF* Z, float w,
                         GroupFlexibility& G) {
  const GroupMatrixForm form(in, work, Z, w);
  G.NP = in.NP;
  G.fixedHead = form.FixedHead();
  G.S66 = form.S66();
  if (form.Status() != 0) return form.Status();
  const int n = form.LateralOrder();
  // Each matrix exactly of its order, with the solver's spare memory.
  auto storage = [](std::vector<CF>& M, int order) {
    M.reserve(static_cast<std::size_t>(order) * order + SolveSlack(order));
    M.resize(static_cast<std::size_t>(order) * order);
    return M.data();
  };
  form.Vertical(storage(G.vertical, in.NP));
  for (int dir = 0; dir < 2; ++dir) form.Lateral(dir, storage(G.lateral[dir], n));
  return 0;
}

namespace {

// The sum u_a^T M^-1 v_b from the solutions w_a of M w_a = u_a and w_b of
// M w_b = v_b and the residual r_b = v_b - M w_b (see below), accumulated
// in double.
CD GroupSum(const double* ua, const CD* wa, const CD* wb, const CD* rb, int n) {
  CD s(0.0);
  for (int i = 0; i < n; ++i) s += ua[i] * wb[i];
  CD correction(0.0);
  for (int i = 0; i < n; ++i) correction += wa[i] * rb[i];
  return s + correction;
}

}  // namespace

// The stiffness sums ask for entries of K = M^-1, M a group flexibility
// matrix, only in sums of the form
//   sum over p, q of u(p) K(p, q) v(q) = u^T K v = u^T (M^-1 v) = u^T w,
// with w the solution of M w = v, and u, v made of ones, the pile
// coordinates, and (fixed heads) their restriction to the displacement or
// the rotation unknowns.  So each matrix is factored once and solved for
// the two or three vectors v its sums need; K itself is never formed.
//   Vertical (NP unknowns): with M w1 = 1, M wx = x, M wy = y
//     S33 = 1^T w1, sum x_p K = x^T w1, sum y_p K = y^T w1,
//     sum x_q x_p K = x^T wx, sum y_q y_p K = y^T wy, sum x_q y_p K = y^T wx.
//   Lateral, pinned heads (NP unknowns), c the lever arm (y for x loading,
//   x for y loading): with M w1 = 1, M wc = c
//     S11 = 1^T w1, sum c_p K = c^T w1, sum c_p c_q K = c^T wc.
//   Lateral, fixed heads (2 NP unknowns, displacement of pile p at 2p - 1,
//   rotation at 2p): d selects the displacements, r the rotations, cd is c
//   on the displacements and 0 on the rotations; with M wd = d, M wr = r,
//   M wc = cd
//     S11 = d^T wd, sum c_p K = cd^T wd, sum c_p c_q K = cd^T wc,
//     S15 = d^T wr, sum c_p Q = cd^T wr, S55 = r^T wr.
// (The identity needs no symmetry of M; the symmetry only makes
// u^T K v = v^T K u, so each sum may be taken from either side.)
//
// The solutions are single precision, and some of the impedance's entries
// (the rocking ones) are small differences of these sums, so their
// rounding would show in the printed digits and change with the number of
// threads LAPACK uses.  Every u above is itself one of the right-hand sides
// v, solved as w_u; with the residual r = v - M w in double,
//   u^T K v = u^T w + u^T K r = u^T w + (K u)^T r = u^T w + w_u^T r + e,
// where e = (K u - w_u)^T r = (K u - w_u)^T M (K v - w) is of the second
// order in the solutions' errors (K = K^T here).  So each sum is taken as
// u^T w + w_u^T r: GroupSum(u, w_u, w, r).
namespace {

// M w = u for the columns of work.vectors (nrhs of length n), into
// work.rhs (solutions) and work.residuals; M (n x n) is factored in place.
int SolveForVectors(CF* M, int n, int nrhs, PileGroupWork& work) {
  std::vector<CD>& W = work.rhs;
  std::vector<CD>& Rs = work.residuals;
  W.assign(work.vectors.begin(), work.vectors.end());
  Rs.resize(W.size());
  return SolveSymmetric(M, n, n, W.data(), nrhs, n, Rs.data(), work.solve);
}

// The sums of the vertical group's matrix V (order NP).
int VerticalSums(const PileGroupInput& in, int NP, CF* V, PileGroupWork& work, PileGroupSums& g) {
  std::vector<double>& u = work.vectors;  // ones, x, y as columns of length n
  const int n = NP;
  u.assign(static_cast<std::size_t>(3) * n, 0.0);
  double* one = u.data();
  double* x = one + n;
  double* y = x + n;
  for (int p = 0; p < n; ++p) {
    one[p] = 1.0;
    x[p] = in.x[p];
    y[p] = in.y[p];
  }
  if (SolveForVectors(V, n, 3, work) != 0) return kSolverSingular;
  const CD* w1 = work.rhs.data();
  const CD* wx = w1 + n;
  const CD* wy = wx + n;
  const CD* res1 = work.residuals.data();
  const CD* resX = res1 + n;
  const CD* resY = resX + n;
  g.S33 = GroupSum(one, w1, w1, res1, n);
  g.xz33 = GroupSum(x, wx, w1, res1, n);
  g.yz33 = GroupSum(y, wy, w1, res1, n);
  g.x2z33 = GroupSum(x, wx, wx, resX, n);
  g.y2z33 = GroupSum(y, wy, wy, resY, n);
  g.xyz33 = GroupSum(y, wy, wx, resX, n);
  return 0;
}

// The sums of the lateral group's matrix L for loading along x (dir 0,
// lever arm y) or y (dir 1, lever arm x); order 2 NP with fixed heads, NP
// with pinned ones.
int LateralSums(const PileGroupInput& in, int NP, bool fixedHead, int dir, CF* L, PileGroupWork& work,
                PileGroupSums& g) {
  std::vector<double>& u = work.vectors;  // d, r, cd / ones, c as columns of length n
  const float* c = dir == 0 ? in.y : in.x;
  const int n = fixedHead ? 2 * NP : NP;
  CD Su, Sc, Sr, cz, c2z, czc;
  if (fixedHead) {
    u.assign(static_cast<std::size_t>(3) * n, 0.0);
    double* d = u.data();
    double* r = d + n;
    double* cd = r + n;
    for (int p = 0; p < NP; ++p) {
      d[2 * p] = 1.0;
      r[2 * p + 1] = 1.0;
      cd[2 * p] = c[p];
    }
    if (SolveForVectors(L, n, 3, work) != 0) return kSolverSingular;
    const CD* wd = work.rhs.data();
    const CD* wr = wd + n;
    const CD* wc = wr + n;
    const CD* resD = work.residuals.data();
    const CD* resR = resD + n;
    const CD* resC = resR + n;
    Su = GroupSum(d, wd, wd, resD, n);
    cz = GroupSum(cd, wc, wd, resD, n);
    c2z = GroupSum(cd, wc, wc, resC, n);
    Sc = GroupSum(d, wd, wr, resR, n);
    czc = GroupSum(cd, wc, wr, resR, n);
    Sr = GroupSum(r, wr, wr, resR, n);
  } else {
    u.assign(static_cast<std::size_t>(2) * n, 0.0);
    double* one = u.data();
    double* cc = one + n;
    for (int p = 0; p < n; ++p) {
      one[p] = 1.0;
      cc[p] = c[p];
    }
    if (SolveForVectors(L, n, 2, work) != 0) return kSolverSingular;
    const CD* w1 = work.rhs.data();
    const CD* wc = w1 + n;
    const CD* res1 = work.residuals.data();
    const CD* resC = res1 + n;
    Su = GroupSum(one, w1, w1, res1, n);
    cz = GroupSum(cc, wc, w1, res1, n);
    c2z = GroupSum(cc, wc, wc, resC, n);
  }
  if (dir == 0) {
    g.S11 = Su; g.S15 = Sc; g.S55 = Sr; g.yz11 = cz; g.y2z11 = c2z; g.yz15 = czc;
  } else {
    g.S22 = Su; g.S24 = Sc; g.S44 = Sr; g.xz22 = cz; g.x2z22 = c2z; g.xz24 = czc;
  }
  return 0;
}

}  // namespace

int GroupSumsBySolving(const PileGroupInput& in, GroupFlexibility& G, PileGroupWork& work, PileGroupSums& g) {
  if (VerticalSums(in, G.NP, G.vertical.data(), work, g) != 0) return kSolverSingular;
  for (int dir = 0; dir < 2; ++dir)
    if (LateralSums(in, G.NP, G.fixedHead, dir, G.lateral[dir].data(), work, g) != 0) return kSolverSingular;
  g.S66 = G.S66;
  return 0;
}

bool GroupInteracts(const PileGroupInput& in) {
  return in.NP > 1 && in.interaction && in.Vr != 0.0f && in.pairT[0] != nullptr;
}

int GroupMatrixSums(const PileGroupInput& in, PileGroupWork& work, const CF* Z, float w, GroupMatrix matrix,
                    PileGroupSums& g) {
  const GroupMatrixForm form(in, work, Z, w);
  if (form.Status() != 0) return form.Status();
  // One matrix at a time, in storage for the largest order (with the
  // solver's spare memory behind it).
  const int largest = std::max(in.NP, form.LateralOrder());
  CF* M = work.matrix.Room(static_cast<std::size_t>(largest) * largest + SolveSlack(largest));
  if (matrix == GroupMatrix::kVertical) {
    form.Vertical(M);
    g.S66 = form.S66();
    return VerticalSums(in, in.NP, M, work, g);
  }
  const int dir = matrix == GroupMatrix::kLateralX ? 0 : 1;
  form.Lateral(dir, M);
  return LateralSums(in, in.NP, form.FixedHead(), dir, M, work, g);
}

void ReserveGroupWork(const PileGroupInput& in, PileGroupWork& work) {
  if (!GroupInteracts(in)) return;
  const int largest = in.fixed != 0 ? 2 * in.NP : in.NP;
  work.matrix.Room(static_cast<std::size_t>(largest) * largest + SolveSlack(largest));
  work.flex.reserve(static_cast<std::size_t>(kFlexTerms) * in.NP);
  work.memos.vertical.Size(kVerticalMemoSlots);
  work.memos.pair.Size(kPairMemoSlots);
  work.memos.angle.Size(kAngleMemoSlots);
}

int GroupImpedanceOfSums(const PileGroupSums& g, float height, CF* ZG) {
  // 6: the group impedance at the reference point, upper triangle, then
  // mirrored.
  std::fill(ZG, ZG + 36, CF(0));
  const double H = height;
  auto set = [&](int i, int j, CD v) {
    const CF f(static_cast<float>(v.real()), static_cast<float>(v.imag()));
    ZG[M6(i, j)] = f;
    ZG[M6(j, i)] = f;
  };
  set(1, 1, g.S11);
  set(1, 5, g.S15 - H * g.S11);
  set(1, 6, g.yz11);
  set(2, 2, g.S22);
  set(2, 4, g.S24 + H * g.S22);
  set(2, 6, -g.xz22);
  set(3, 3, g.S33);
  set(3, 4, -g.yz33);
  set(3, 5, g.xz33);
  set(4, 4, g.S44 + g.y2z33 + H * H * g.S22 + 2.0 * H * g.S24);
  set(4, 5, -g.xyz33);
  set(4, 6, -H * g.xz22 - g.xz24);
  set(5, 5, g.S55 + g.x2z33 + H * H * g.S11 - 2.0 * H * g.S15);
  set(5, 6, g.yz15 - H * g.yz11);
  set(6, 6, g.S66 + g.x2z22 + g.y2z11);
  for (int k = 0; k < 36; ++k) {
    if (!std::isfinite(ZG[k].real()) || !std::isfinite(ZG[k].imag())) {
      std::fill(ZG, ZG + 36, CF(0));
      return kSolverSingular;
    }
  }
  return 0;
}

void PileGroupImpedance(const PileGroupInput& in, PileGroupWork& work, const CF* Z, CF* ZG, float w, int& IER) {
  IER = 0;
  std::fill(ZG, ZG + 36, CF(0));
  const int NP = in.NP;
  if (NP < 1) return;
  PileGroupSums g{};
  if (!GroupInteracts(in)) {
    RigidCapSums(in, Z, g);
  } else {
    for (GroupMatrix m : kGroupMatrices) {
      IER = GroupMatrixSums(in, work, Z, w, m, g);
      if (IER != 0) return;
    }
  }
  IER = GroupImpedanceOfSums(g, in.H, ZG);
}

PileGroupInput PileGroupInputOf(const Run& R) {
  const FoundationData& f = R.fnd;
  PileGroupInput in;
  in.NP = std::clamp(IROUND(f.NPILE), 0, kMaxPiles);
  in.fixed = IROUND(f.FIX);
  in.interaction = R.flags.INTER != 0;
  in.battered = R.flags.IBATT != 0;
  in.x = f.XP.data();
  in.y = f.YP.data();
  in.angles = f.BANG.data();
  in.r1 = (f.ELRX[0] + f.ELRY[0]) * 0.5f;
  in.Vr = R.soil.VREF;
  in.H = f.HCG;
  // The pair tables exist once PILSTF has filled them for these piles.
  if (R.pairs.NP == in.NP && in.NP > 0)
    for (int k = 0; k < 5; ++k) in.pairT[k] = R.pairs.T[k].data();
  return in;
}

void PGROUP(Run& R, const CF* Z, CF* ZG, float w, int& IER) {
  PileGroupImpedance(PileGroupInputOf(R), R.pgroup, Z, ZG, w, IER);
}
