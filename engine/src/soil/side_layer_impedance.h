// Dimensionless side reactions, per unit layer thickness and unit shear
// modulus, of one soil layer on a rigid cylinder moving harmonically, with
// an optional weakened annular zone next to the cylinder.
#pragma once

#include <complex>

// A0: w r0 / Vs of the layer; PR, DAMP: Poisson's ratio and damping of the
// layer; WM, WPR, WD, WT: weak shear-modulus ratio, weak Poisson's ratio
// (not used), weak damping and thickness (a length; 0 = no weakened zone);
// R0 translation radius, R1, R2 rocking radii, R3 torsion radius.
// Results: SU horizontal, SW vertical, SR1, SR2 rocking, ST torsion.
// ICUT1 (in/out): 1 at or below the first cut-off frequency of the deposit,
// else 0; it ends as -1 when the below-cut-off horizontal rule was taken.
// ICUT2: 1 at or below the second cut-off frequency.
// The caller multiplies by G h (translations) or G h r^2 (rotations).
// Weakened zone: a thickness of 0 or below is no zone; a zone with a modulus
// ratio of 0 or below carries nothing (all five results 0).  The vertical,
// rocking and torsional rings are integrated numerically and stay finite for
// every positive m; the horizontal ring keeps the outer-soil value when its
// boundary system is singular or not finite, and takes the incompressible
// limit for a Poisson's ratio of 0.5 and above.
// Returns 0.
int SIDIMP(float A0, float PR, float DAMP, float WM, float WPR, float WD, float WT, float R0,
           float R1, float R2, float R3, std::complex<float>& SU, std::complex<float>& SW,
           std::complex<float>& SR1, std::complex<float>& SR2, std::complex<float>& ST,
           int& ICUT1, int ICUT2);
