// The SOIL block: soil of the stratum, the layers around piles or of a
// multilayer deposit (uniform layers or a parabolic profile), the side layers
// of an embedded footing, the soil below, and the weakened zones.
//
// Per-layer tables hold 30 rows; layer i from the top is at [i - 1].
// Counts are REAL as read (IROUND where they drive a loop).  The weakened-
// zone, side-cap and embedded flags are RunFlags::IWEAK, ISDCAP, IEMBED.
#pragma once

#include <array>

#include "foundation_readers.h"

struct Run;

struct SoilData {
  // Layer soil table (PILE and MULT).  SLTHK: layer thickness; the reader
  // sets it from the element lengths ELDEP for layered soil and from the
  // profile for parabolic soil (where ELDEP gets the same values).
  std::array<float, kMaxLayers> SLTHK{};
  std::array<float, kMaxLayers> SLVS{};    // shear-wave velocity
  std::array<float, kMaxLayers> SLUWT{};   // unit weight
  std::array<float, kMaxLayers> SLPR{};    // Poisson's ratio
  std::array<float, kMaxLayers> SLDAMP{};  // material damping
  std::array<float, kMaxLayers> SLGRAT{};  // shear-modulus ratio inside/outside
  std::array<float, kMaxLayers> SLDRAT{};  // damping ratio inside/outside
  float VREF = 0.0f;   // reference velocity: deepest layer read, or the parabolic Vs

  // Weakened-zone table of the layers (PILE and MULT).
  std::array<float, kMaxLayers> WKGRAT{};  // weak shear-modulus ratio
  std::array<float, kMaxLayers> WKPR{};    // weak Poisson's ratio
  std::array<float, kMaxLayers> WKDAMP{};  // weak material damping
  std::array<float, kMaxLayers> WKTHK{};   // weak-zone thickness ratio

  float NADJ = 0.0f;   // MULT: number of adjacent layers (REAL)

  // Side layers beside an embedded footing (HALF) or the pile cap (PILE,
  // filled by RDEMBE).
  float NSIDE = 0.0f;  // number of side layers (REAL), at most 30
  std::array<float, kMaxLayers> SDTHK{};   // thickness
  std::array<float, kMaxLayers> SDVS{};    // shear-wave velocity
  std::array<float, kMaxLayers> SDUWT{};   // unit weight
  std::array<float, kMaxLayers> SDPR{};    // Poisson's ratio
  std::array<float, kMaxLayers> SDDAMP{};  // material damping
  // Side weakened zone (side cap): shear-modulus ratio, Poisson's ratio,
  // damping, and the zone thickness, a LENGTH once the reader is done (the
  // deck's ratio times REQ(1)).
  std::array<float, kMaxLayers> SDWGRAT{};
  std::array<float, kMaxLayers> SDWPR{};
  std::array<float, kMaxLayers> SDWDAMP{};
  std::array<float, kMaxLayers> SDWTHK{};

  // Soil below the piles, the half-space under the footing, or below the
  // multilayer system.
  float BLVS = 0.0f, BLUWT = 0.0f, BLPR = 0.0f, BLDAMP = 0.0f;
  // Soil of the stratum.
  float STVS = 0.0f, STUWT = 0.0f, STPR = 0.0f, STDAMP = 0.0f;
};

// SOIL block reader, called by the keyword loop right after its keyword: reads
// the block, reports on the report channel, sets the fatal flag on errors,
// and steps back one record at a word it does not own.
void SOILKW(Run& R);
// Soil constants after CONS; returns 0.
int SOLCST(Run& R);
// Soil below after BELO; returns 0.
int RDBELO(Run& R);
