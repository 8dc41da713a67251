// Side reactions of a soil layer on a rigid cylinder, with an optional
// weakened ring next to it.
#include "side_layer_impedance.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "bessel.h"
#include "complex_solvers.h"
#include "numeric_helpers.h"

namespace {

using cfloat = std::complex<float>;
using cdouble = std::complex<double>;

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kOnePointTwoPi = 3.7699115f;

// Shear-wave argument i b / sqrt(1 + i D) at the dimensionless frequency b.
cfloat ShearArgument(float b, cfloat sqrtC) { return cfloat(0.0f, b) / sqrtC; }

// ---------------------------------------------------------------------------
// Horizontal motion.

// The outer-soil horizontal reaction Su at the dimensionless frequency b.
cfloat HorizontalOuter(float b, float nu, float eta, cfloat sqrtC) {
  const cfloat x = ShearArgument(b, sqrtC);
  const cfloat k0x = CBESK0(x), k1x = CBESK1(x);
  cfloat s;
  if (nu < 0.5f) {
    const cfloat y = x / eta;
    const cfloat k0y = CBESK0(y), k1y = CBESK1(y);
    s = kPi * b * b * (4.0f * k1y * k1x + x * k1y * k0x + y * k0y * k1x) /
        (y * k0y * k1x + x * k1y * k0x + x * y * k0x * k0y);
  } else {
    // Incompressible limit.
    s = kPi * b * b * (4.0f * k1x + x * k0x) / (x * k0x);
  }
  return -s;
}

// Impedance of the weakened ring in horizontal motion at the compression
// argument y (of the outer soil at frequency b), from the 4 x 4 boundary
// system of the ring.  Returns false when the system is singular or the
// impedance is not finite.
bool HorizontalRing(cfloat y, float eta, float m, float dampW, cfloat cRatio, float rho,
                    cfloat& sz) {
  const cfloat uo = y / (std::sqrt(m) * std::sqrt(cRatio));
  const cfloat ui = rho * uo;
  const cfloat qo = eta * uo;
  const cfloat qi = eta * ui;
  const cfloat i0ui = CBESI0(ui), i1ui = CBESI1(ui), k0ui = CBESK0(ui), k1ui = CBESK1(ui);
  const cfloat i0qi = CBESI0(qi), i1qi = CBESI1(qi), k0qi = CBESK0(qi), k1qi = CBESK1(qi);
  const cfloat i0uo = CBESI0(uo), i1uo = CBESI1(uo), k0uo = CBESK0(uo), k1uo = CBESK1(uo);
  const cfloat i0qo = CBESI0(qo), i1qo = CBESI1(qo), k0qo = CBESK0(qo), k1qo = CBESK1(qo);

  // Column-major 4 x 4: rows 1, 2 at the inner radius, 3, 4 at the outer.
  cfloat a[16];
  auto at = [&a](int i, int j) -> cfloat& { return a[(j - 1) * 4 + (i - 1)]; };
  at(1, 1) = ui * i0ui - i1ui;
  at(1, 2) = -ui * k0ui - k1ui;
  at(1, 3) = -i1qi;
  at(1, 4) = -k1qi;
  at(2, 1) = i1ui;
  at(2, 2) = k1ui;
  at(2, 3) = i1qi - qi * i0qi;
  at(2, 4) = k1qi + qi * k0qi;
  at(3, 1) = rho * i1uo - ui * i0uo;
  at(3, 2) = rho * k1uo + ui * k0uo;
  at(3, 3) = rho * i1qo;
  at(3, 4) = rho * k1qo;
  at(4, 1) = rho * i1uo;
  at(4, 2) = rho * k1uo;
  at(4, 3) = rho * i1qo - qi * i0qo;
  at(4, 4) = rho * k1qo + qi * k0qo;

  cfloat x[4] = {{1.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}};
  float pivots[4];
  int ier = 0;
  LEQT1C(a, 4, 4, x, 1, 4, 0, pivots, ier);
  if (ier != 0) return false;

  const cfloat ui2 = ui * ui, qi2 = qi * qi;
  const cfloat p = x[0] * ((ui2 + 2.0f) * i1ui - ui * i0ui) + x[1] * ((ui2 + 2.0f) * k1ui + ui * k0ui) +
                   x[2] * (2.0f * i1qi - qi * i0qi) + x[3] * (2.0f * k1qi + qi * k0qi);
  const cfloat q = x[0] * (2.0f * i1ui - ui * i0ui) + x[1] * (2.0f * k1ui + ui * k0ui) +
                   x[2] * ((qi2 + 2.0f) * i1qi - qi * i0qi) + x[3] * ((qi2 + 2.0f) * k1qi + qi * k0qi);
  sz = kOnePointTwoPi * m * cfloat(1.0f, dampW) * (q - eta * eta * p);
  return IsFinite(sz) && (sz.real() != 0.0f || sz.imag() != 0.0f);
}

// ---------------------------------------------------------------------------
// Weakened ring of the vertical, rocking and torsional motions.
//
// Across the ring (1 <= v <= R, v = r / r0) the complex modulus is
//   c(v) = (1 + iD) [1 - delta s^2],  s = (R - v) / (R - 1),
//   delta = 1 - m (1 + iD') / (1 + iD),
// and the displacement f obeys (v c f')' = g(v) f with
//   vertical  g = -a0^2 v,
//   rocking   g = c / v - a0^2 v,
//   torsion   g = c / v + c'(v) - a0^2 v.
// With sigma = v c f' this is the linear system f' = sigma / (v c),
// sigma' = g f.  It is integrated in double from the outer radius, where
// sigma / f = R c(R) beta joins the outer soil's K-solution (beta = f'/f
// there), inward to the cylinder with adaptive Runge-Kutta steps.  Since
// only the ratio matters, (f, sigma) is rescaled after every step, so
// nothing overflows however stiff the ring.
// c(v) is a convex combination of 1 + iD and m (1 + iD'), so it never
// vanishes for m > 0 and non-negative damping, and a vanishing contrast
// (delta = 0) is simply a uniform ring: the solution is finite for every
// admissible m, D and D' (a power series in v around the ring, by contrast,
// needs 1 / delta terms and overflows when delta is close to 0).
enum class RingMotion { kVertical, kRocking, kTorsion };

struct RingModel {
  RingMotion motion;
  double a2;       // a0 squared
  double bigR;     // outer radius over r0
  cdouble c1;      // 1 + iD
  cdouble delta;   // modulus contrast

  cdouble C(double v) const {
    const double s = (bigR - v) / (bigR - 1.0);
    return c1 * (1.0 - delta * (s * s));
  }
  cdouble G(double v) const {
    switch (motion) {
      case RingMotion::kVertical:
        return cdouble(-a2 * v, 0.0);
      case RingMotion::kRocking:
        return C(v) / v - a2 * v;
      case RingMotion::kTorsion: {
        const double s = (bigR - v) / (bigR - 1.0);
        const cdouble dc = c1 * (2.0 * delta * s / (bigR - 1.0));
        return C(v) / v + dc - a2 * v;
      }
    }
    return {};
  }
  // Derivatives of (f, sigma) at v.
  void Rates(double v, cdouble f, cdouble sigma, cdouble& df, cdouble& dsigma) const {
    df = sigma / (v * C(v));
    dsigma = G(v) * f;
  }
};

// sigma / f at the cylinder (v = 1): adaptive Dormand-Prince 5(4) steps
// from v = R inward, with a local error of at most 1.0E-10 of the
// (normalised) state per step.  The steps shrink by themselves where the
// ring is stiff, e.g. next to the cylinder when m is small and c changes
// quickly there.  Returns false when no finite ratio results.
bool SolveRing(const RingModel& ring, cdouble beta, cdouble& ratio) {
  struct State {
    cdouble f, s;
  };
  auto rates = [&ring](double v, const State& y) {
    State d;
    ring.Rates(v, y.f, y.s, d.f, d.s);
    return d;
  };
  auto combine = [](const State& y, double h, std::initializer_list<std::pair<double, const State*>> terms) {
    State r = y;
    for (const auto& [c, k] : terms) {
      r.f += h * c * k->f;
      r.s += h * c * k->s;
    }
    return r;
  };
  constexpr double kTolerance = 1.0e-10;
  constexpr int kMaxSteps = 200000;

  const double length = ring.bigR - 1.0;
  State y{cdouble(1.0, 0.0), ring.bigR * ring.C(ring.bigR) * beta};
  {
    const double scale = std::max(std::abs(y.f), std::abs(y.s));
    if (!(scale > 0.0) || !std::isfinite(scale)) return false;
    y.f /= scale;
    y.s /= scale;
  }
  double v = ring.bigR;
  double h = -length / 16.0;  // inward
  State k1 = rates(v, y);
  for (int step = 0; step < kMaxSteps; ++step) {
    if (v + h < 1.0) h = 1.0 - v;
    const State k2 = rates(v + h / 5.0, combine(y, h, {{1.0 / 5.0, &k1}}));
    const State k3 = rates(v + 3.0 * h / 10.0, combine(y, h, {{3.0 / 40.0, &k1}, {9.0 / 40.0, &k2}}));
    const State k4 = rates(v + 4.0 * h / 5.0,
                           combine(y, h, {{44.0 / 45.0, &k1}, {-56.0 / 15.0, &k2}, {32.0 / 9.0, &k3}}));
    const State k5 = rates(v + 8.0 * h / 9.0,
                           combine(y, h, {{19372.0 / 6561.0, &k1}, {-25360.0 / 2187.0, &k2},
                                          {64448.0 / 6561.0, &k3}, {-212.0 / 729.0, &k4}}));
    const State k6 = rates(v + h, combine(y, h, {{9017.0 / 3168.0, &k1}, {-355.0 / 33.0, &k2},
                                                 {46732.0 / 5247.0, &k3}, {49.0 / 176.0, &k4},
                                                 {-5103.0 / 18656.0, &k5}}));
    const State next = combine(y, h, {{35.0 / 384.0, &k1}, {500.0 / 1113.0, &k3}, {125.0 / 192.0, &k4},
                                      {-2187.0 / 6784.0, &k5}, {11.0 / 84.0, &k6}});
    const State k7 = rates(v + h, next);
    const State error = combine(State{}, h, {{71.0 / 57600.0, &k1}, {-71.0 / 16695.0, &k3},
                                             {71.0 / 1920.0, &k4}, {-17253.0 / 339200.0, &k5},
                                             {22.0 / 525.0, &k6}, {-1.0 / 40.0, &k7}});
    const double size = std::max({std::abs(y.f), std::abs(y.s), std::abs(next.f), std::abs(next.s)});
    const double err = std::max(std::abs(error.f), std::abs(error.s)) / (kTolerance * size);
    if (!std::isfinite(err)) return false;
    if (err <= 1.0) {
      v += h;
      const double scale = std::max(std::abs(next.f), std::abs(next.s));
      if (!(scale > 0.0) || !std::isfinite(scale)) return false;
      y = {next.f / scale, next.s / scale};
      k1 = {k7.f / scale, k7.s / scale};  // the system is linear
      if (v <= 1.0) {
        ratio = y.s / y.f;
        return IsFinite(ratio);
      }
    }
    const double factor = err > 0.0 ? 0.9 * std::pow(err, -0.2) : 5.0;
    h *= std::clamp(factor, 0.2, 5.0);
    if (std::fabs(h) < 1.0e-14 * length) return false;
  }
  return false;
}

cfloat ToFloat(cdouble z) { return cfloat(static_cast<float>(z.real()), static_cast<float>(z.imag())); }

}  // namespace

int SIDIMP(float A0, float PR, float DAMP, float WM, float /*WPR*/, float WD, float WT, float R0,
           float R1, float R2, float R3, std::complex<float>& SU, std::complex<float>& SW,
           std::complex<float>& SR1, std::complex<float>& SR2, std::complex<float>& ST,
           int& ICUT1, int ICUT2) {
  const cfloat zero(0.0f, 0.0f);
  // No frequency (also a frequency that is not a number): no reaction.
  if (!(A0 > 0.0f)) {
    SU = SW = SR1 = SR2 = ST = zero;
    return 0;
  }
  const float a0 = A0;
  const float nu = PR;
  const float d = DAMP;
  const cfloat c(1.0f, d);
  const cfloat sqrtC = std::sqrt(c);

  // The weakened zone takes part when its thickness is positive.  A negative
  // thickness has no meaning and counts as no zone.  A zone of zero (or
  // negative) modulus carries nothing: every reaction is zero.
  const bool ring = WT > 0.0f;
  if (ring && !(WM > 0.0f)) {
    SU = SW = SR1 = SR2 = ST = zero;
    if (ICUT1 == 1) ICUT1 = -1;
    return 0;
  }
  const float b0 = ring ? a0 * (R0 + WT) / R0 : a0;

  // 1. Horizontal translation.
  const float eta = nu < 0.5f ? std::sqrt(2.0f * (1.0f - nu) / (1.0f - 2.0f * nu)) : 0.0f;
  float b = b0 < 0.3f ? 0.3f : b0;
  cfloat su = HorizontalOuter(b, nu, eta, sqrtC);
  if (ICUT1 == 1) {
    ICUT1 = -1;
    const float re1 = su.real();
    b = 0.3f;
    const cfloat su03 = HorizontalOuter(b, nu, eta, sqrtC);
    su = cfloat(re1, d * su03.real());
  } else if (b0 < 0.3f) {
    su = cfloat(su.real(), su.imag() * b0 / 0.3f + (1.0f - b0 / 0.3f) * d * su.real());
  }
  if (ring) {
    // The ring in series with the outer soil, at the frequency of the last
    // evaluation.  A singular ring system, or a ring impedance that is zero
    // or not finite, leaves the outer-soil value.
    const cfloat cRatio = cfloat(1.0f, WD) / c;
    const float rho = R0 / (R0 + WT);
    auto ringImpedance = [&](float nuRing, cfloat& sz) {
      const float etaRing = std::sqrt(2.0f * (1.0f - nuRing) / (1.0f - 2.0f * nuRing));
      const cfloat y = ShearArgument(b, sqrtC) / etaRing;
      return HorizontalRing(y, etaRing, WM, WD, cRatio, rho, sz);
    };
    cfloat sz;
    bool formed;
    if (nu < 0.5f) {
      formed = ringImpedance(nu, sz);
    } else {
      // The ring's compression wave exists only below 0.5.  From 0.5 on the
      // incompressible limit is taken: the ring impedance is smooth in
      // 1 - 2 nu, so it is extrapolated linearly to 0 from nu = 0.4999 and
      // 0.4998 (1 - 2 nu = 2E-4 and 4E-4).
      cfloat szA, szB;
      formed = ringImpedance(0.4999f, szA) && ringImpedance(0.4998f, szB);
      sz = 2.0f * szA - szB;
      formed = formed && IsFinite(sz) && (sz.real() != 0.0f || sz.imag() != 0.0f);
    }
    if (formed) {
      const cfloat combined = su / (1.0f + su / sz);
      if (IsFinite(combined)) su = combined;
    }
  }
  SU = su;

  // 2. Vertical translation.
  auto verticalOuter = [&](float bv) {
    const cfloat x = ShearArgument(bv, sqrtC);
    return kTwoPi * c * x * CBESK1(x) / CBESK0(x);
  };
  cfloat sw = verticalOuter(b0 < 0.05f ? 0.05f : b0);
  if (a0 < 0.3f) sw = cfloat(sw.real(), sw.imag() * a0 / 0.3f);
  if (ICUT2 == 1) {
    sw = cfloat(sw.real(), d * verticalOuter(0.05f).real());
  } else if (b0 < 0.1f) {
    // A line from the material damping at b0 = 0 to the damping just above
    // 0.1, which carries the a0 / 0.3 reduction: the result is continuous.
    const float w = verticalOuter(0.05f).real();
    const float j = verticalOuter(0.1f).imag() * 0.1f / 0.3f;
    sw = cfloat(sw.real(), j * b0 / 0.1f + (1.0f - b0 / 0.1f) * w * d);
  }

  // 3. Rocking and 4. torsion without a zone.
  const cfloat k = cfloat(0.0f, a0) / (R0 * sqrtC);
  auto rockingOuter = [&](float r) {
    const cfloat x = r * k;
    return kPi * c * (1.0f + x * CBESK0(x) / CBESK1(x));
  };
  cfloat sr1 = rockingOuter(R1);
  cfloat sr2 = rockingOuter(R2);
  cfloat st;
  {
    const cfloat x3 = R3 * k;
    st = kTwoPi * c * (2.0f + x3 * CBESK0(x3) / CBESK1(x3));
  }

  if (ring) {
    // The rings of the vertical, rocking and torsional motions, with the
    // translation radius; each joins the outer soil's solution at x(b0).
    const cfloat x = ShearArgument(b0, sqrtC);
    const cfloat k0 = CBESK0(x), k1 = CBESK1(x);
    RingModel model;
    model.a2 = static_cast<double>(a0) * a0;
    model.bigR = (static_cast<double>(R0) + WT) / R0;
    model.c1 = cdouble(1.0, d);
    model.delta = 1.0 - static_cast<double>(WM) * cdouble(1.0, WD) / model.c1;
    const cdouble xd(x.real(), x.imag());
    const cdouble k0d(k0.real(), k0.imag()), k1d(k1.real(), k1.imag());
    const cdouble wall = static_cast<double>(WM) * cdouble(1.0, WD);  // c at the cylinder

    // A ring solution that cannot be formed (outer-soil ratios that are not
    // finite) leaves the value without the zone.
    cdouble ratio;
    model.motion = RingMotion::kVertical;
    if (SolveRing(model, -(xd / model.bigR) * k1d / k0d, ratio)) {
      cfloat v = ToFloat(-2.0 * M_PI * ratio);
      if (a0 < 0.3f) v = cfloat(v.real(), v.imag() * a0 / 0.3f);
      if (IsFinite(v)) sw = v;
    }
    const cdouble betaK1 = -(xd / model.bigR) * k0d / k1d - 1.0 / model.bigR;
    model.motion = RingMotion::kRocking;
    if (SolveRing(model, betaK1, ratio)) {
      const cfloat v = ToFloat(-M_PI * ratio);
      if (IsFinite(v)) sr1 = sr2 = v;
    }
    model.motion = RingMotion::kTorsion;
    if (SolveRing(model, betaK1, ratio)) {
      const cfloat v = ToFloat(2.0 * M_PI * (wall - ratio));
      if (IsFinite(v)) st = v;
    }
  }
  SW = sw;
  SR1 = sr1;
  SR2 = sr2;
  ST = st;
  return 0;
}
