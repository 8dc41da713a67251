// The MASS sub-block: the seven mass constants of the footing or pile cap,
// and the echo of the mass components of the mass data file (channel 9).
#pragma once

#include <array>

struct Run;

struct MassData {
  // 1 total mass; 2, 3, 4 mass moments of inertia about X, Y, Z; 5, 6, 7
  // products of inertia X-Y, X-Z, Y-Z.  MASCON(i) at [i - 1].
  std::array<float, 7> MASCON{};
};

void RDMASS(Run& R);
