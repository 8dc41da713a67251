// The solution and report driver, called once per run after the input was
// read and checked without a fatal error: the frequency loop with the
// impedance assembly, the stiffness and damping report, the plot-data file
// and the footing response.
#pragma once

#include <array>
#include <complex>

#include "deck_limits.h"
#include "footing_response.h"

struct Run;

// State of the frequency loop.  Matrices are 6 x 6, column by column (M6).
struct SolutionData {
  std::array<std::complex<float>, 36> ZBASE{};  // footing base / pile head, own axes
  std::array<std::complex<float>, 36> ZIMP{};   // at the centre of gravity
  std::array<float, 36> TRIG{};                 // rigid-body transformation
  int NFREQ = 0;                                // number of frequency points
  int IPASS = 0;                                // 1 or 2 while the loop runs
  float OMEGA = 0.0f;                           // current circular frequency, rad/s
  std::array<float, kMaxHarmonicPoints> FREQ{}; // circular frequency of point k at [k - 1]
  std::array<float, 8> CDAMP{};                 // CXX CYY CWW CPPX CPPY CZT CXP CYP
  std::array<float, 8> KSTIF{};                 // KXX KYY KWW KPPX KPPY KZT KXP KYP
  std::array<float, kMaxLayers> RMEAN{};        // mean pile radius of layer i at [i - 1]
  int NS = 0;                                   // side layers taken into the impedance
  int NPIL = 0;                                 // NINT(NPILE)
  int IFIXED = 0;                               // NINT of the REAL head fixity
  ResponseData resp;                            // responses of pass 1
};

// False when it refused to compute (its message, ending "PROGRAM WILL NOT
// EXECUTE", is on the report): the input cannot be solved as it stands.
bool ANALYS(Run& R);
