// Impedance of a pile group under a rigid cap, from the impedance of one
// pile head: without interaction the piles' impedances moved to their
// positions (and turned into the global axes for battered piles); with
// pile-soil-pile interaction through group flexibility matrices whose
// off-diagonal terms are the single-pile flexibility times dynamic
// interaction factors.
#pragma once

#include <complex>
#include <vector>

#include "matrix_buffer.h"
#include "pure_memo.h"
#include "symmetric_solver.h"

struct Run;

// The group flexibility matrices of one frequency, square and by columns
// (leading dimension = order): the vertical group (NP unknowns) and the
// lateral groups for loading along x and along y (NP unknowns with pinned
// heads; 2 NP with fixed heads, the displacement of pile p at 2p - 1 and
// its rotation at 2p).  S66 is the torsion sum of the piles' own terms.
struct GroupFlexibility {
  int NP = 0;
  bool fixedHead = true;
  std::vector<std::complex<float>> vertical;
  std::vector<std::complex<float>> lateral[2];
  std::complex<double> S66;
  int LateralOrder() const { return fixedHead ? 2 * NP : NP; }
};

// The sums the group impedance is assembled from (names as the rigid-cap
// sums they stand for: S33 = sum z33, xz33 = sum x z33, x2z33 =
// sum x^2 z33, ...), accumulated in double.
struct PileGroupSums {
  std::complex<double> S11, S22, S33, S44, S55, S66, S15, S24;
  std::complex<double> yz11, xz22, xz33, yz33, yz15, xz24;
  std::complex<double> y2z11, x2z22, x2z33, y2z33, xyz33;
};

// The memos of the interaction factors of one matrix (cleared for each).
struct GroupMemos {
  struct PairDynamics {
    std::complex<float> D[3][2];
  };
  struct AngleSquares {
    float c2, s2;  // cos^2 and sin^2 of a pair angle
  };
  PureMemo<2, std::complex<float>> vertical;
  PureMemo<7, PairDynamics> pair;
  PureMemo<1, AngleSquares> angle;
};

// Working storage of the group routine, rebuilt at every call.  Each
// thread that forms group impedances needs one of its own.
struct PileGroupWork {
  std::vector<std::complex<float>> flex;   // 8 flexibility terms per pile
  MatrixBuffer matrix;                     // one flexibility matrix, factored in place by the solve
  std::vector<double> vectors;             // the sums' vectors (ones, coordinates)
  std::vector<std::complex<double>> rhs;   // right-hand sides, then solutions
  std::vector<std::complex<double>> residuals;  // of the solutions, in double
  SymmetricSolveWork solve;
  GroupMemos memos;
};

// What the group routine reads of a run.  x, y, angles and the pair tables
// hold at least NP piles; angles are the nine direction angles of pile p
// (degrees) at [9 (p - 1)], in the order (1,1), (2,1), (3,1), (1,2), ...
// (BANG(r, c, p) storage).  pairT[k] is pair table Tk, NP x NP by columns.
struct PileGroupInput {
  int NP = 0;               // number of piles
  int fixed = 1;            // head fixity: 1 fixed, 0 pinned
  bool interaction = false;
  bool battered = false;
  const float* x = nullptr;
  const float* y = nullptr;
  const float* angles = nullptr;
  float r1 = 0.0f;          // head radius
  float Vr = 0.0f;          // reference shear-wave velocity of the soil
  float H = 0.0f;           // height of the reference point above the heads
  const float* pairT[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
};

// Group impedance ZG (6 x 6, by columns) at frequency w of the single-pile
// head impedance Z.  IER: 0; 129 when a flexibility matrix is singular or
// not finite, or the impedance would not be finite; ZG is then all zero.
void PileGroupImpedance(const PileGroupInput& in, PileGroupWork& work, const std::complex<float>* Z,
                        std::complex<float>* ZG, float w, int& IER);

// The steps of the interaction path of PileGroupImpedance, one by one.
// FormGroupFlexibility builds the group flexibility matrices at frequency
// w (0, or 129 when a single-pile impedance cannot be inverted).
int FormGroupFlexibility(const PileGroupInput& in, PileGroupWork& work, const std::complex<float>* Z,
                         float w, GroupFlexibility& G);
// GroupSumsBySolving forms the stiffness sums of the matrices' inverses
// without forming an inverse (each matrix is overwritten by its factors);
// 0, or 129 when a matrix is singular or not finite.
int GroupSumsBySolving(const PileGroupInput& in, GroupFlexibility& G, PileGroupWork& work,
                       PileGroupSums& g);

// The three flexibility matrices of a group with interaction, the two
// lateral ones (twice the order with fixed heads) first.
enum class GroupMatrix { kLateralX, kLateralY, kVertical };
inline constexpr GroupMatrix kGroupMatrices[] = {GroupMatrix::kLateralX, GroupMatrix::kLateralY,
                                                 GroupMatrix::kVertical};
// True when the group impedance comes from the flexibility matrices (more
// than one pile, interaction, the pair tables of PILSTF).
bool GroupInteracts(const PileGroupInput& in);
// GroupMatrixSums forms one of the matrices at frequency w in work.matrix,
// solves it and sets the sums that come from it (the vertical one also
// sets S66); the matrices are independent of one another, and the sums of
// all three are those of GroupSumsBySolving.  0, or 129 when a single-pile
// impedance cannot be inverted or the matrix is singular or not finite.
int GroupMatrixSums(const PileGroupInput& in, PileGroupWork& work, const std::complex<float>* Z, float w,
                    GroupMatrix matrix, PileGroupSums& g);
// Sizes `work` for GroupMatrixSums on the group `in` (its largest storage,
// the flexibility matrix, and the memos): a worker that has it allocates
// little more.
void ReserveGroupWork(const PileGroupInput& in, PileGroupWork& work);
// GroupImpedanceOfSums assembles ZG at the reference point a height H
// above the heads (0, or 129 and ZG all zero when an entry is not finite).
int GroupImpedanceOfSums(const PileGroupSums& g, float H, std::complex<float>* ZG);

// What the group routine reads of the run R.
PileGroupInput PileGroupInputOf(const Run& R);

// PGROUP: the group impedance of the run's piles (R.fnd, R.soil, R.flags,
// the pair tables R.pairs of PILSTF, the work storage R.pgroup).
void PGROUP(Run& R, const std::complex<float>* Z, std::complex<float>* ZG, float w, int& IER);

// BATTRN: R = T' Z T with T the direction-cosine matrix of pile p (1-based)
// of the run, in both the translation and the rotation blocks.
void BATTRN(const Run& Rn, const std::complex<float>* Z, int p, std::complex<float>* R);
// The same for the nine angles of one pile in BANG order.
void BatterTransform(const float* angles, const std::complex<float>* Z, std::complex<float>* R);

// CTRAN4: R = T' Z T for 4 x 4 matrices (leading dimension 4), order N,
// accumulated in double.
void CTRAN4(const std::complex<float>* Z, const float* T, std::complex<float>* R, int N);

// INTRP3: piecewise-linear interpolation of y2, y5, y10 at abscissae 2, 5
// and 10; the end segments extrapolate.
void INTRP3(float Y2, float Y5, float Y10, float S, float& Y);

// INTFAC: dynamic vertical interaction factor at dimensionless frequency
// A0 and spacing ratio S from the static factor ALPHA0.
void INTFAC(float A0, float S, float ALPHA0, std::complex<float>& ALPHA);

// INTFC2: the three dynamic lateral interaction factors at A0 and S for
// loading at angle BETA (radians) to the pair line, from the static factors
// at angle 0 (S01..S03) and at 90 degrees (S91..S93).
void INTFC2(float A0, float S, float BETA, float S01, float S02, float S03, float S91, float S92,
            float S93, std::complex<float>& C1, std::complex<float>& C2, std::complex<float>& C3);
