#include "pile_interaction.h"

#include <algorithm>
#include <cmath>

#include "engine_workers.h"
#include "footing_response.h"
#include "numeric_helpers.h"
#include "run_state.h"

namespace {

float Clamp(float v, float lo, float hi) { return std::min(std::max(v, lo), hi); }

// Quantities of one PILFIT evaluation shared by the four anchors.
struct FitArgs {
  float s, Ls, u, up, lk, lb, wb, e, rb;
  bool far;
};

// The vertical factor at one anchor slenderness (100, 50, 25 or 10): the
// floating value Fl = (1 + P E W) F pulled towards the rigid-base value
// G R by the base-modulus weight.
float Anchor(int ld, const FitArgs& a) {
  const float s = a.s, u = a.u, up = a.up, lk = a.lk, Ls = a.Ls;
  float X, Y, R, F, G, W, P, E = a.e, weight = a.wb;
  switch (ld) {
    case 100:
      X = Clamp(3.0f - lk, -1.3f, 1.0f);
      Y = Clamp(lk - 2.0f, -0.3f, 1.0f);
      R = a.far ? 1.0f - 0.07f * Y : 1.0f - (0.31f - 0.024f * s) * Y;
      if (lk > 3.0f) R = R * (4.2f - lk) / 1.2f;
      if (a.far) {
        F = (1.0f - ((0.658f - 2.46f * u) - (0.84f * u + 0.076f) * X) * X) * (4.63f - 19.4f * u) * u;
        G = (2.04f - 2.8f * u) * u;
      } else {
        F = (1.0f - ((0.032f * s + 0.092f) - (0.195f - 0.0035f * s) * X) * X) * (0.522f - 0.11f * Ls);
        G = 0.57f - 0.171f * Ls;
      }
      W = (lk - 1.75f) * 0.58f;
      P = 0.37f - (1.51f - 2.81f * up) * up;
      break;
    case 50:
      X = Clamp(3.0f - lk, -1.32f, 1.27f);
      Y = Clamp(lk - 2.0f, -0.14f, 1.0f);
      R = a.far ? 1.0f - 0.5f * Y : 1.0f - (0.65f - 0.015f * s) * Y;
      if (lk > 3.0f) R = R * (4.0f - lk);
      if (a.far) {
        F = (1.0f - (0.47f - 1.4f * u) * X) * (4.4f - 15.6f * u) * u;
        G = (1.88f - 3.2f * u) * u;
      } else {
        F = (1.0f - (0.019f * s + 0.14f) * X) * (0.638f - 0.154f * Ls);
        G = 0.511f - 0.154f * Ls;
      }
      W = (lk - 1.75f) * 0.58f;
      P = 0.37f - (1.51f - 2.81f * up) * up;
      break;
    case 25:
      X = Clamp(3.0f - lk, -0.28f, 1.73f);
      Y = std::max(lk - 2.0f, -0.3f);
      R = 1.0f - 0.72f * Y;
      if (a.far) {
        F = (1.0f - 0.38f * X) * (3.765f - 10.2f * u) * u;
        G = (3.8f * u + 0.29f) * u;
      } else {
        F = (1.0f - (0.0125f * s + 0.255f) * X) * (0.712f - 0.19f * Ls);
        G = 0.32f - 0.11f * Ls;
      }
      W = (lk - 1.0f) * 0.45f;
      P = 0.78f - (3.78f - 6.57f * up) * up;
      break;
    default:  // 10
      X = Clamp(3.0f - lk, 0.0f, 2.0f);
      Y = std::max(lk - 2.0f, -1.0f);
      R = 1.0f - 0.9f * Y;
      if (a.far) {
        F = (1.0f - (0.465f - 2.7f * u) * X) * (1.8f - 2.0f * u) * u;
        G = 0.0327f * u;
      } else {
        F = (1.0f - ((0.005f * s + 0.06f) - (0.002f * s - 0.105f) * X) * X) * (0.72f - 0.244f * Ls);
        G = 0.123f - 0.052f * Ls;
      }
      W = 0.2f * lk + 0.4f;
      P = 1.0f - (3.28f - 5.53f * up) * up;
      E = (a.rb > 3.0f) ? 2.0f : std::max(a.rb - 1.0f, 0.0f);
      weight = std::min(0.4f * a.lb, 1.0f);
      break;
  }
  R = std::max(R, 0.0f);
  W = Clamp(W, 0.0f, 1.0f);
  const float Fl = (1.0f + P * E * W) * F;
  return Fl - (Fl - G * R) * weight;
}

int Nint(float x) { return IROUND(x); }

}  // namespace

void PILFIT(float& ALPHA, float S, float LD, float KA, float EBES, float NUS, float RB) {
  ALPHA = 1.0f;
  if (S <= 0.0f) return;
  FitArgs a;
  a.s = S;
  a.Ls = std::log(S);
  a.u = 1.0f / S;
  a.up = std::min(a.u, 0.3f);
  a.lk = std::log10(KA);
  a.lb = std::max(std::log10(EBES), 0.0f);
  a.wb = std::min(0.5f * a.lb, 1.0f);
  a.e = std::max(RB - 1.0f, 0.0f);
  if (RB > 2.0f) a.e = 1.0f;
  a.rb = RB;
  a.far = S > 10.0f;

  if (LD >= 100.0f) {
    ALPHA = Anchor(100, a);
  } else if (LD >= 50.0f) {
    const float v50 = Anchor(50, a), v100 = Anchor(100, a);
    ALPHA = v50 + (LD - 50.0f) * (v100 - v50) / 50.0f;
  } else if (LD >= 25.0f) {
    const float v25 = Anchor(25, a), v50 = Anchor(50, a);
    ALPHA = v25 + (LD - 25.0f) * (v50 - v25) / 25.0f;
  } else if (LD > 10.0f) {
    const float v10 = Anchor(10, a), v25 = Anchor(25, a);
    ALPHA = v10 + (LD - 10.0f) * (v25 - v10) / 15.0f;
  } else {
    ALPHA = Anchor(10, a);
  }
  ALPHA = ALPHA * (1.0f + (std::sqrt(S) - 1.0f) * (0.5f - NUS) * 0.16f);
}

void BATSTF(float S, float KR, float BETA, float HF, float& A1, float& A2, float& A3) {
  A1 = A2 = A3 = 1.0f;
  if (S == 0.0f) return;
  static constexpr float C0[3] = {0.41f, 0.174f, 0.067f}, P0[3] = {0.095f, 0.163f, 0.202f},
                         Q0[3] = {0.725f, 1.095f, 1.24f};
  static constexpr float C9[3] = {0.203f, 0.05f, 0.02f}, P9[3] = {0.134f, 0.25f, 0.271f},
                         Q9[3] = {0.838f, 1.315f, 1.42f};
  const float u = 1.0f / S;
  float a0[3], a90[3];
  for (int k = 0; k < 3; ++k) {
    a0[k] = C0[k] * std::pow(KR, P0[k]) * std::pow(u, Q0[k]);
    a90[k] = C9[k] * std::pow(KR, P9[k]) * std::pow(u, Q9[k]);
  }
  if (u < 0.2f) {  // beyond five diameters the first factor decays as 1 / s
    a0[0] = C0[0] * std::pow(KR, P0[0]) * std::pow(0.2f, Q0[0]) * u / 0.2f;
    a90[0] = C9[0] * std::pow(KR, P9[0]) * std::pow(0.2f, Q9[0]) * u / 0.2f;
  }
  const float c = std::cos(BETA), s = std::sin(BETA);
  float out[3];
  for (int k = 0; k < 3; ++k) out[k] = c * c * a0[k] + s * s * a90[k];
  if (HF != 0.0f)
    for (float& v : out) v = v * (1.0f - HF * 0.125f);
  A1 = out[0];
  A2 = out[1];
  A3 = out[2];
}

void PILSTF(Run& R) {
  const FoundationData& f = R.fnd;
  const SoilData& sl = R.soil;
  PilePairTables& t = R.pairs;
  const float pi = std::acos(-1.0f);
  const int NP = std::clamp(Nint(f.NPILE), 0, kMaxPiles);
  const int NL = std::clamp(Nint(f.NLAY), 1, kMaxLayers);
  const float g = R.flags.GCONST;

  // 1: working positions; a battered pile is taken where its axis passes
  // one third of the pile length below the head.
  t.NP = NP;
  t.XW.assign(f.XP.begin(), f.XP.begin() + NP);
  t.YW.assign(f.YP.begin(), f.YP.begin() + NP);
  if (R.flags.IBATT != 0) {
    for (int p = 1; p <= NP; ++p) {
      if (f.BANG[BANGIX(3, 3, p)] == 0.0f) continue;
      t.XW[p - 1] += (f.TLEN / 3.0f) * std::tan(pi * f.BANG[BANGIX(1, 1, p)] / 180.0f);
      t.YW[p - 1] += (f.TLEN / 3.0f) * std::tan(pi * f.BANG[BANGIX(2, 2, p)] / 180.0f);
    }
  }
  // Sized, not cleared: the pairs below write each entry (the workers side
  // by side).
  for (auto& T : t.T) T.resize(static_cast<size_t>(NP) * NP);

  // 2: mean pile and soil parameters.
  auto rmean = [&](int i) { return (f.ELRX[i - 1] + f.ELRY[i - 1]) * 0.5f; };
  const float d = 2.0f * rmean(1);
  const float Ep = f.EMOD;
  const float LD = f.TLEN / d;
  const float hf = (sl.SLVS[0] == 0.0f) ? f.ELDEP[0] / d : 0.0f;
  float sumEh = 0.0f, sumNuh = 0.0f, sumH = 0.0f;
  for (int i = 0; i < NL; ++i) {
    const float Ei = 2.0f * (1.0f + sl.SLPR[i]) * sl.SLUWT[i] * sl.SLVS[i] * sl.SLVS[i] / g;
    sumEh += Ei * f.ELDEP[i];
    sumNuh += sl.SLPR[i] * f.ELDEP[i];
    sumH += f.ELDEP[i];
  }
  // Layers without thickness carry no weight; then the first layer's values.
  const float Es = sumH > 0.0f ? sumEh / sumH : 2.0f * (1.0f + sl.SLPR[0]) * sl.SLUWT[0] * sl.SLVS[0] * sl.SLVS[0] / g;
  const float nus = sumH > 0.0f ? sumNuh / sumH : sl.SLPR[0];
  const float Vr = sl.VREF;
  const float Et = 2.0f * (1.0f + sl.SLPR[NL - 1]) * sl.SLUWT[NL - 1] * Vr * Vr / g;
  const float Eb = 2.0f * (1.0f + sl.BLPR) * sl.BLUWT * sl.BLVS * sl.BLVS / g;
  const float KA = (Es == 0.0f) ? 100000000.0f : f.ELAREA[0] * Ep / (d * d * pi * Es * 0.25f);
  const float EbEs = (Es == 0.0f) ? 100000000.0f : Eb / Es;
  const float KR = (Et == 0.0f) ? 100000000.0f
                                : (f.ELIX[0] + f.ELIY[0]) * 0.5f * Ep / (d * d * d * d * pi * Et * 0.015625f);
  const float rb = rmean(NL) / rmean(1);
  // Without a pile diameter there is no spacing ratio: the tables hold 0
  // (no interaction) rather than factors computed from infinities.
  if (!(d > 0.0f)) {
    for (auto& T : t.T) std::fill(T.begin(), T.end(), 0.0f);
    return;
  }

  // 3: every pair p < q; the pairs of a block of consecutive p on one
  // worker (they fill entries of their own).  Entry (p, q) of a table lies
  // beside (p + 1, q): a block of rows keeps the workers from writing into
  // the same cache lines.  The blocks with the most pairs come first.
  struct NoScratch {};
  constexpr int kRows = 16;
  const int blocks = (NP + kRows - 1) / kRows;
  ForEachOnWorkers<NoScratch>(blocks, EngineWorkers(blocks), [&](int block, NoScratch&) {
    const int last = std::min(NP, (block + 1) * kRows);
    for (int p = block * kRows + 1; p <= last; ++p) {
      for (int k = 0; k < 5; ++k) t.at(k, p, p) = 0.0f;
      for (int q = p + 1; q <= NP; ++q) {
        const float dx = std::abs(t.XW[q - 1] - t.XW[p - 1]);
        const float dy = std::abs(t.YW[q - 1] - t.YW[p - 1]);
        const float s = std::sqrt(dx * dx + dy * dy) / d;
        t.at(0, q, p) = s;
        t.at(4, p, q) = (dx == 0.0f) ? pi * 0.5f : std::atan(dy / dx);
        t.at(4, q, p) = (dy == 0.0f) ? pi * 0.5f : std::atan(dx / dy);
        float alpha;
        PILFIT(alpha, s, LD, KA, EbEs, nus, rb);
        t.at(0, p, q) = alpha;
        BATSTF(s, KR, 0.0f, hf, t.at(1, p, q), t.at(2, p, q), t.at(3, p, q));
        BATSTF(s, KR, pi * 0.5f, hf, t.at(1, q, p), t.at(2, q, p), t.at(3, q, p));
      }
    }
  });
}
