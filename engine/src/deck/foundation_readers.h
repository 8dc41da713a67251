// The FOUNDATION block: type, plan geometry and equivalent radii, constants,
// pile locations, pile elements, batter, and the pile-cap side layers.
//
// Arrays are stored from index 0: entry i of the deck (i = 1, 2, ...) is at
// [i - 1].  Counts read from the deck stay REAL, as read; use IROUND
// (numeric_helpers.h) where they drive a loop.  FNDTYP, IGEOM and the option
// flags (MEDIA, IBATT, INTER, IENDBR, ...) are in RunFlags.
#pragma once

#include <array>

#include "deck_limits.h"

struct Run;

// Index of BANG(r, c, i), all 1-based: row r (pile axis), column c (global
// X, Y, Z), pile i.
constexpr int BANGIX(int r, int c, int i) { return (r - 1) + 3 * (c - 1) + 9 * (i - 1); }

struct FoundationData {
  float NLAY = 0.0f;     // number of layers or elements (REAL), at most 30
  int IFIX = 0;          // head fixity: 1 fixed, 0 pinned (multilayer: fixed)
  float FIX = 0.0f;      // REAL twin of IFIX: 1.0 fixed, 0.0 pinned
  float NPILE = 0.0f;    // number of piles (REAL), at most 500
  std::array<float, kMaxPiles> XP{}, YP{};  // pile locations

  // Equivalent radii: REQ(1..4) translation, rocking about the axis along
  // side a, rocking about the axis along side b, torsion (pile, half-space,
  // multilayer); RSTR(1..5) and their mean RAVG for the stratum.  A circle
  // stores R everywhere, RAVG included, for every foundation type.
  std::array<float, 4> REQ{};
  std::array<float, 5> RSTR{};
  float RAVG = 0.0f;

  // Constants.
  float XCG = 0.0f, YCG = 0.0f, HCG = 0.0f;   // centre of gravity and its height
  float EMBD = 0.0f, HLAY = 0.0f;             // stratum: embedment, layer depth
  float ER = 0.0f, EH = 0.0f, RH = 0.0f;      // stratum: E/R, E/H, R/H
  float TLEN = 0.0f;    // pile / multilayer: total length
  float UWT = 0.0f;     // unit weight (of the pile material)
  float SLOAD = 0.0f;   // static load on the body
  float PRAT = 0.0f;    // Poisson's ratio
  float DAMP = 0.0f;    // material damping
  float CRIG = 0.0f;    // coefficient of rigidity (shear coefficient)
  float EMOD = 0.0f;    // Young's modulus

  // Element properties per layer (parabolic soil: entry 1, copied to all
  // 30 layers by the soil reader, which also sets ELDEP there).
  std::array<float, kMaxLayers> ELDEP{};   // element length (layer thickness)
  std::array<float, kMaxLayers> ELRX{}, ELRY{};   // pile radius in x and y
  std::array<float, kMaxLayers> ELAREA{};  // cross-sectional area
  std::array<float, kMaxLayers> ELIX{}, ELIY{};   // moments of inertia
  std::array<float, kMaxLayers> ELJ{};     // torsional stiffness

  // Batter angles in degrees, BANG(r, c, i) at BANG[BANGIX(r, c, i)].  A
  // vertical pile of a battered group has the identity angles (0, 90, 90),
  // (90, 0, 90), (90, 90, 0).
  std::array<float, 9 * kMaxPiles> BANG{};
};

// FOUNDATION block reader, called by the keyword loop right after its keyword: reads
// the block, reports on the report channel, sets the fatal flag on errors,
// and steps back one record at a word it does not own.
void RDFOUN(Run& R);
// Plan geometry: radius, or sides a and b, and the equivalent radii.
void RDGEOM(Run& R);
// Centre of gravity and the foundation constants.
void RDCONS(Run& R);
// Pile / multilayer element properties.
void RDELEM(Run& R);
// Battered piles (after BATT).
void RDBATT(Run& R);
// Side layers of the pile cap (EMBEDDED, with SIDE-CAP values), called by
// the soil block; fills the side-layer table of SoilData.
void RDEMBE(Run& R);
