// Dynamic stiffness at the head of a single pile (or of a soil column under
// a multilayer footing) embedded in horizontal soil layers, and the complex
// symmetric band solver it uses.
//
// The pile is cut into one element per layer.  Each element is a uniform
// bar loaded by the frequency-dependent side reactions of its layer; below
// the tip the soil is a half-space.  Three problems are solved along the
// pile: axial, torsional and lateral (displacement with rotation).
#pragma once

#include <complex>

#include "deck_limits.h"

inline constexpr int kBandRows = 60;  // leading dimension of the band matrices

// The arguments of PILELM, in the order of its calling sequence (the number
// of each is given).  Layer arrays hold one value per layer from the top, at
// index i - 1, for at least NL layers.
struct PileElementArgs {
  int model = 0;          // 1: negative for a multilayer footing (soil columns on top)
  float uwPile = 0.0f;    // 3: unit weight of the pile material
  float prPile = 0.0f;    // 4: Poisson's ratio of the pile
  float g = 0.0f;         // 5: gravitational constant
  float shearCoef = 0.0f; // 6: shear coefficient of the section
  float E = 0.0f;         // 7: Young's modulus of the pile
  float P = 0.0f;         // 8: static axial load
  int NL = 0;             // 9: number of layers (1..30)
  int K = 0;              // 10: top layers taken as soil columns when model < 0
  const float* colModulus = nullptr;  // 11: modulus factor of a soil column
  const float* h = nullptr;           // 12: layer thickness
  const float* vs = nullptr;          // 13: shear-wave velocity
  const float* uw = nullptr;          // 14: unit weight
  const float* pr = nullptr;          // 15: Poisson's ratio
  const float* damp = nullptr;        // 16: material damping
  const float* r = nullptr;           // 17: radius
  const float* area = nullptr;        // 18: cross-sectional area
  const float* inertia = nullptr;     // 19: bending moment of inertia
  const float* torsion = nullptr;     // 20: torsional constant
  float vsBelow = 0.0f;   // 22: soil below the tip: shear-wave velocity
  float uwBelow = 0.0f;   // 23: unit weight
  float prBelow = 0.0f;   // 24: Poisson's ratio
  float dBelow = 0.0f;    // 25: material damping
  float w = 0.0f;         // 26: circular frequency, rad/s (> 0)
  const float* weakRatio = nullptr;   // 40: weak shear-modulus ratio
  const float* weakPr = nullptr;      // 41: weak Poisson's ratio
  const float* weakDamp = nullptr;    // 42: weak damping
  const float* weakThick = nullptr;   // 43: weak-zone thickness (a length)
  float dPile = 0.0f;     // 44: material damping of the pile
  const float* colDamp = nullptr;     // 45: damping factor of a soil column
  float wcut1 = 0.0f;     // 46: first cut-off frequency of the deposit
  float wcut2 = 0.0f;     // 47: second cut-off frequency
};

// PILELM: the six head terms, stiffness K (arguments 27-32) and damping C
// (33-38) in this order: vertical, torsional, horizontal with the head
// rotation held, rocking with the head displacement held, horizontal-rocking
// coupling, horizontal with the head free to rotate.  C is the imaginary
// part divided by w.
// IER: 0; 129 when a band system meets a zero pivot or a head term is not
// finite (the terms are then 0).  NL outside 1..30 or w <= 0 also give 129.
void PILELM(const PileElementArgs& a, float K[6], float C[6], int& IER);

// CBANDS: solves A X = B in place for M right-hand sides (symmetric band
// elimination without pivoting).  N order (<= 60), NB half-band width
// counting the diagonal (<= 4).  A (leading dimension 60): row i holds the
// diagonal in column 1 and the elements (i, i+1) ... (i, i+NB-1) in columns
// 2..NB; it is overwritten by its factors.  B (leading dimension 60, N rows,
// M columns): out the solutions.  Products and sums are formed in double.
// IER: 0, or 129 on a zero or non-finite pivot (B is then not a solution).
void CBANDS(int M, int N, int NB, std::complex<float>* A, std::complex<float>* B, int& IER);
