// Dimensionless impedance of a rigid circular footing on the surface of a
// viscoelastic half-space, for its five motions.
#pragma once

#include <complex>

// A0: dimensionless frequency w R0 / Vs (> 0; 1.0E-4 stands for the static
// limit); PR Poisson's ratio; DAMP material damping; R0 radius of
// translation, R1 and R2 of rocking about the first and second horizontal
// axis, R3 of torsion.  Results: ZH horizontal, ZV vertical, ZRX and ZRY
// rocking (at a0 R1 / R0 and a0 R2 / R0), ZT torsion (at a0 R3 / R0).
// The caller multiplies by G r (translations) or G r^3 (rotations).
// Returns 0.
int HSCOEF(float A0, float PR, float DAMP, float R0, float R1, float R2, float R3,
           std::complex<float>& ZH, std::complex<float>& ZV, std::complex<float>& ZRX,
           std::complex<float>& ZRY, std::complex<float>& ZT);
