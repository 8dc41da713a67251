// The LOAD block: harmonic, transient or random load data.
//
// Degrees of freedom 1 X, 2 Y, 3 Z, 4 about X, 5 about Y, 6 about Z.
// Frequencies are circular (rad/s).
#pragma once

#include <array>
#include <complex>

#include "footing_response.h"   // kMaxHarmonicPoints, kMaxRandomPoints

struct Run;

inline constexpr int kMaxTransientPoints = 1024;
inline constexpr int kMaxTransientLoads = 10;
inline constexpr int kMaxSpectra = 100;
static_assert(kMaxTransientPoints <= kMaxHarmonicPoints);

struct LoadData {
  float WMAX = 0.0f, WMIN = 0.0f, WSTEP = 0.0f;  // frequency range, rad/s
  // Harmonic amplitudes at the footing's reference point: forces X, Y, Z,
  // moments about X, Y, Z (quadratic loads: the coefficients).
  std::array<float, 6> FAMP{};

  // Transient.
  float NPT = 0.0f;    // number of time points as read
  float DT = 0.0f;     // time interval
  std::array<int, kMaxTransientLoads> LTYPE{};   // load type code of load l at [l - 1]
  // Load spectrum FLOAD(d, k), d = 1..6, k = 1..NPT, at [(d - 1) + 6 (k - 1)]
  // (the layout of CompleteSpectrum).
  std::array<std::complex<float>, 6 * kMaxTransientPoints> FLOAD{};
  float TNPT = 0.0f;   // copy of NPT
  float THALF = 0.0f;  // NPT x 0.5 + 2.0

  // Random.
  int NPR = 0;         // number of frequency points
  float TOBS = 0.0f;   // observation period
  int NSPEC = 0;       // number of spectra
  std::array<int, kMaxSpectra> LOCA{}, LOCB{};  // locations of spectrum l at [l - 1]
  // SPEC(a, b, k) and CSPEC(a, b, k) at [(a - 1) + 6 (b - 1) + 36 (k - 1)],
  // so point k's 6 x 6 matrix starts at [36 (k - 1)] in the M6 layout.
  std::array<float, 36 * kMaxRandomPoints> SPEC{};
  std::array<std::complex<float>, 36 * kMaxRandomPoints> CSPEC{};
};

constexpr int SPECIX(int a, int b, int k) { return (a - 1) + 6 * (b - 1) + 36 * (k - 1); }
constexpr int FLOADIX(int d, int k) { return (d - 1) + 6 * (k - 1); }

// LOAD block reader, called by the keyword loop right after its keyword: reads
// the block, reports on the report channel, sets the fatal flag on errors,
// and steps back one record at a word it does not own.
void LOADKW(Run& R);
// Reads the data of the load type LODTYP.
void RDLOAD(Run& R);
