// Response of the rigid footing to its load through the foundation
// impedance: the dynamic matrix, harmonic amplitudes, random-vibration
// statistics and spectra, transient time histories.
#pragma once

#include <array>
#include <complex>

struct Run;

inline constexpr int kMaxHarmonicPoints = 1024;   // harmonic points and transient spectra
inline constexpr int kMaxRandomPoints = 200;      // random points

// Results of the frequency loop that the output steps print after it.
struct ResponseData {
  // UOX, UOY, UOZ, EPOX, EPOY, EPOZ of point k (1-based) at UAMP[6 (k - 1) + d - 1].
  std::array<float, 6 * kMaxHarmonicPoints> UAMP{};
  // SRESP(r, k) at SRESP[6 (k - 1) + r - 1].
  std::array<float, 6 * kMaxRandomPoints> SRESP{};
  // 1 where the dynamic equations of point k could not be solved.
  std::array<unsigned char, kMaxHarmonicPoints> FAILED{};
  int nfailed = 0;
};

// Simpson sum (Y1 + 4 Y2 + 2 Y3 + ... + w(N-1) Y(N-1) + YN) H / 3 with the
// interior weights alternating 4, 2 from Y2 (for even N the weight before
// YN is 2).  N must be at least 3; N = 2 gives the trapezoid and N < 2
// gives 0, so that a degenerate range yields a defined value.
void SIMPSN(const float* Y, int N, float H, float& S);

// DYN = ZIMP - w^2 M in place (real parts only).  MASCON: mass, Ixx, Iyy,
// Izz, Ixy, Ixz, Iyz; products of inertia enter with a plus sign.
void DYNMAT(std::complex<float>* DYN, float w, const float* MASCON);

// True when every one of the 36 terms is finite.
bool AllFinite(const std::complex<float>* Z, int n = 36);

// One harmonic point: solves DYN U = F (F = FAMP, times w^2 when IQUAD is
// 2) and gives the moduli of U.  Returns false when no sound solution
// exists (the solver failed or U is not finite); amp is then zero.
bool HarmonicPoint(Run& R, const std::complex<float>* DYN, const float* FAMP, int IQUAD, float w,
                   float* amp);

// One random point: H = DYN^-1 (six right-hand sides) and
// SRESP(r) = sum_j sum_i Re(conj(H(r,i)) H(r,j) CSPEC(j,i)), CSPEC the 36
// spectral values of the point, element (j, i) at M6(j, i).
bool RandomPoint(Run& R, const std::complex<float>* DYN, const std::complex<float>* CSPEC,
                 float* sresp);

// One transient point: solves DYN U = FLOAD(1..6, k) and stores U back.
// On failure the six values are left as they were.
bool TransientPoint(Run& R, const std::complex<float>* DYN, std::complex<float>* fload);

// Statistics of one response spectrum S(k), k = 1..n, at the circular
// frequencies wmin + (k - 1) wstep.
struct RandomPeak {
  float m0 = 0.0f, m2 = 0.0f, nu0 = 0.0f;
  float G = 0.0f;        // peak factor
  float xmax = 0.0f;     // sqrt(m0) G
  bool defined = true;   // false when TOBS nu0 <= 1 (no peak factor)
  bool real = true;      // false when m0 or m2 is negative or not finite
};
RandomPeak RandomStatistics(const float* S, int n, float wmin, float wstep, float tobs);

// Completes the transient response spectrum of nt points (FLOAD(d, k) at
// fload[6 (k - 1) + d - 1]) from its solved first nt / 2 + 1 points: point
// k = nt + 2 - j gets the conjugate of point j.  Even nt: the conjugate
// half starts at nt / 2 + 2 and point nt / 2 + 1 (Nyquist) is made real;
// odd nt: it starts at (nt + 3) / 2, there is no Nyquist point and no
// point is changed but the mirrored ones.  Point 1 is made real for even nt.
void CompleteSpectrum(std::complex<float>* fload, int nt);

// Output steps after the frequency loop.  Each starts a results page.
// Harmonic: the amplitude table on the report and the response records of
// the plot-data file; freq are the circular frequencies of the points.
void HRMOUT(Run& R, const ResponseData& D, int nfreq, float wmin, float wstep, const float* freq);
// Random: peak factors and maximum displacements per degree of freedom, then
// the response spectra of X translation and of rotation about Y.
void RNDOUT(Run& R, const ResponseData& D, int nfreq, float wmin, float wstep, float tobs,
            const float* freq);
// Transient: the time table of the nt points of the response, at DT, 2 DT ...
// (fload holds the time histories already transformed back).
void TRNTAB(Run& R, const ResponseData& D, const std::complex<float>* fload, int nt, float dt);
