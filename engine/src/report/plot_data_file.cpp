#include "plot_data_file.h"

#include <cmath>

#include "report_writer.h"
#include "run_state.h"

namespace {

// A value the reader cannot parse (asterisks) never reaches the file.
float Finite(float v) { return std::isfinite(v) ? v : 0.0f; }

void Put(Run& R, const std::vector<std::string>& records) {
  for (const auto& r : records) R.ch.Write(kPlotChannel, r);
}

}  // namespace

std::vector<std::string> PlotCountRecords(int nfreq) { return FormatRecords("(I12)", {nfreq}); }

std::vector<std::string> PlotConstantsRecords(float omega, const float* values8) {
  std::vector<FmtValue> v{Finite(omega)};
  for (int i = 0; i < 8; ++i) v.emplace_back(Finite(values8[i]));
  return FormatRecords("(9(1X,E10.3))", v);
}

std::vector<std::string> PlotResponseRecords(float freq, const float* amp6) {
  std::vector<FmtValue> v{Finite(freq)};
  for (int i = 0; i < 6; ++i) v.emplace_back(Finite(amp6[i]));
  std::vector<std::string> recs = FormatRecords("(1X,F7.2,2X,6(1X,1P,E11.4))", v);
  if (!recs.empty() && recs[0].substr(0, 8).find('*') != std::string::npos)
    recs = FormatRecords("(1X,1P,E11.4,2X,6(1X,1P,E11.4))", v);
  return recs;
}

void WritePlotCount(Run& R, int nfreq) { Put(R, PlotCountRecords(nfreq)); }
void WritePlotConstants(Run& R, float omega, const float* values8) {
  Put(R, PlotConstantsRecords(omega, values8));
}
void WritePlotResponse(Run& R, float freq, const float* amp6) { Put(R, PlotResponseRecords(freq, amp6)); }
