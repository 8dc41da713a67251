// Impedance of a rigid footing on or in a soil stratum over a rigid base,
// and the cut-off frequencies of a layered deposit.
#pragma once

#include <complex>

#include "deck_limits.h"

// The two cut-off circular frequencies (rad/s) of the deposit, written once
// per run before the frequency loop (0 when there is none).
struct LayerFrequencies {
  float WCUT1 = 0.0f;  // horizontal (shear) motion
  float WCUT2 = 0.0f;  // vertical motion
};

// W circular frequency; IGEO geometry indicator (not used); E embedment
// depth; H stratum thickness; PR, D, UNITWT, VS: Poisson's ratio, damping,
// unit weight and shear-wave velocity of the stratum; RH, RV, RX, RY, RT:
// equivalent radii RSTR(1..5); GCONST the gravitational constant.
// Results (dimensional, real part stiffness, imaginary part w x damping):
// ZH horizontal, ZV vertical, ZHX coupling of horizontal motion and the
// first rocking, ZHY coupling with the second rocking, ZRX, ZRY rocking,
// ZT torsion.  Returns 0.
int STRSTF(float W, int IGEO, float E, float H, float PR, float D, float UNITWT, float VS,
           float RH, float RV, float RX, float RY, float RT, std::complex<float>& ZH,
           std::complex<float>& ZV, std::complex<float>& ZHX, std::complex<float>& ZHY,
           std::complex<float>& ZRX, std::complex<float>& ZRY, std::complex<float>& ZT,
           float GCONST);

// Per-layer columns of a soil table: `count` is the table's real-valued
// number of layers (rounded half away from zero; taken between 0 and
// `capacity`), the arrays hold thickness, shear-wave velocity and Poisson's
// ratio of layer i at index i - 1.
struct SoilLayerColumns {
  float count = 0.0f;
  const float* thickness = nullptr;
  const float* velocity = nullptr;
  const float* poisson = nullptr;
  int capacity = kMaxLayers;
};

// Cut-off frequencies of the layers plus the side layers over the soil
// below (shear-wave velocity VSBELOW).  IEND: the end-bearing flag (0 or
// below gives no cut-off).  Writes W1 and W2; returns 0.
int LAYFRQ(int IEND, const SoilLayerColumns& layers, const SoilLayerColumns& side, float VSBELOW,
           float& W1, float& W2);
