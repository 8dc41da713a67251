// Reading numbers back from the report and the plot-data file, and a plain
// double-precision complex solver, for tests that check the engine's
// results against values derived on their own.
#pragma once

#include <cmath>
#include <complex>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace report_values {

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream s(text);
  std::string line;
  while (std::getline(s, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

// The numbers of a line, word by word (words that are not numbers skipped).
inline std::vector<double> Numbers(const std::string& line) {
  std::vector<double> v;
  std::istringstream s(line);
  std::string w;
  while (s >> w) {
    char* end = nullptr;
    const double x = std::strtod(w.c_str(), &end);
    if (end && *end == '\0' && end != w.c_str()) v.push_back(x);
  }
  return v;
}

// The first number after `label` on every line that holds it, in order.
inline std::vector<double> ValuesAfter(const std::string& report, const std::string& label) {
  std::vector<double> out;
  for (const auto& line : SplitLines(report)) {
    const auto p = line.find(label);
    if (p == std::string::npos) continue;
    std::string rest = line.substr(p + label.size());
    while (!rest.empty() && (rest[0] == '.' || rest[0] == ' ')) rest.erase(0, 1);
    out.push_back(std::strtod(rest.c_str(), nullptr));
  }
  return out;
}

inline int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size())) ++n;
  return n;
}

// The rows of numbers under the first dashed line that follows `heading`,
// up to the first line without numbers.
inline std::vector<std::vector<double>> TableAfter(const std::string& report, const std::string& heading,
                                                   const std::string& dashes) {
  std::vector<std::vector<double>> rows;
  const auto lines = SplitLines(report);
  std::size_t i = 0;
  while (i < lines.size() && lines[i].find(heading) == std::string::npos) ++i;
  while (i < lines.size() && lines[i].find(dashes) == std::string::npos) ++i;
  for (++i; i < lines.size(); ++i) {
    auto v = Numbers(lines[i]);
    if (v.empty()) {
      if (rows.empty()) continue;  // blank line under the dashes
      break;
    }
    rows.push_back(v);
  }
  return rows;
}

using Cd = std::complex<double>;

// Solves A x = b (n x n, row-major A[i][j]) by Gaussian elimination with
// partial pivoting.
inline std::vector<Cd> Solve(std::vector<std::vector<Cd>> A, std::vector<Cd> b) {
  const std::size_t n = b.size();
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t p = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::abs(A[r][c]) > std::abs(A[p][c])) p = r;
    std::swap(A[p], A[c]);
    std::swap(b[p], b[c]);
    for (std::size_t r = c + 1; r < n; ++r) {
      const Cd f = A[r][c] / A[c][c];
      for (std::size_t k = c; k < n; ++k) A[r][k] -= f * A[c][k];
      b[r] -= f * b[c];
    }
  }
  std::vector<Cd> x(n);
  for (std::size_t r = n; r-- > 0;) {
    Cd s = b[r];
    for (std::size_t k = r + 1; k < n; ++k) s -= A[r][k] * x[k];
    x[r] = s / A[r][r];
  }
  return x;
}

// The printed constants of one frequency block (long layout).
struct Constants {
  double K[8];  // KXX KYY KWW KPPX KPPY KZT KXP KYP
  double C[8];  // CXX ... CYP
};

inline const char* const kKLabels[8] = {
    "HORIZONTAL TRANSLATION (KXX)", "HORIZONTAL TRANSLATION (KYY)", "VERTICAL TRANSLATION (KWW)",
    "ROTATION (KPPX)", "ROTATION (KPPY)", "TORSION (KZT)", "CROSS-STIFFNESS (KXP)", "CROSS-STIFFNESS (KYP)"};
inline const char* const kCLabels[8] = {
    "HORIZONTAL TRANSLATION (CXX)", "HORIZONTAL TRANSLATION (CYY)", "VERTICAL TRANSLATION (CWW)",
    "ROTATION (CPPX)", "ROTATION (CPPY)", "TORSION (CZT)", "CROSS-STIFFNESS (CXP)", "CROSS-STIFFNESS (CYP)"};

// Block `n` (0-based, in report order) of every constant.
inline Constants ConstantsOf(const std::string& report, std::size_t n) {
  Constants c{};
  for (int i = 0; i < 8; ++i) {
    auto k = ValuesAfter(report, kKLabels[i]);
    auto d = ValuesAfter(report, kCLabels[i]);
    c.K[i] = n < k.size() ? k[n] : NAN;
    c.C[i] = n < d.size() ? d[n] : NAN;
  }
  return c;
}

// Response amplitudes of (K + i w C - w^2 M) U = F with the printed
// constants (the C.G. on the base axis: the matrix has no terms beyond
// the diagonal and the two couplings (2,4) and (1,5)).  mascon: m, Ixx,
// Iyy, Izz, Ixy, Ixz, Iyz.
inline std::vector<double> Amplitudes(const Constants& c, double w, const double* F, const double* mascon) {
  std::vector<std::vector<Cd>> A(6, std::vector<Cd>(6, 0.0));
  for (int i = 0; i < 6; ++i) A[i][i] = Cd(c.K[i], w * c.C[i]);
  A[1][3] = A[3][1] = Cd(c.K[6], w * c.C[6]);
  A[4][0] = A[0][4] = Cd(c.K[7], w * c.C[7]);
  const double w2 = w * w;
  for (int i = 0; i < 3; ++i) A[i][i] -= mascon[0] * w2;
  for (int i = 3; i < 6; ++i) A[i][i] -= mascon[i - 2] * w2;
  A[3][4] += mascon[4] * w2;
  A[4][3] += mascon[4] * w2;
  A[3][5] += mascon[5] * w2;
  A[5][3] += mascon[5] * w2;
  A[4][5] += mascon[6] * w2;
  A[5][4] += mascon[6] * w2;
  std::vector<Cd> b(6);
  for (int i = 0; i < 6; ++i) b[i] = F[i];
  auto x = Solve(A, b);
  std::vector<double> amp(6);
  for (int i = 0; i < 6; ++i) amp[i] = std::abs(x[i]);
  return amp;
}

// Simpson's rule as the random-load statistics define it (weights 1, 4,
// 2, ..., with 2 before the last value for an even count).
inline double Simpson(const std::vector<double>& y, double h) {
  const std::size_t n = y.size();
  double s = y.front() + y.back();
  for (std::size_t i = 1; i + 1 < n; ++i) s += (i % 2 == 1 ? 4.0 : 2.0) * y[i];
  return s * h / 3.0;
}

}  // namespace report_values
