// The plot-data file (.vtp) on channel 6, read back by the front-end word
// by word: the number of frequency points, then (with MATRIX) a stiffness
// and a damping record per point, then (harmonic loads) one response
// record per point.  Every value is a number the reader can parse.
#pragma once

#include <string>
#include <vector>

#include "channels.h"

struct Run;


// First record: the number of points, right-aligned after leading blanks.
std::vector<std::string> PlotCountRecords(int nfreq);
// Stiffness record (omega, KXX, KYY, KWW, KPPX, KPPY, KZT, KXP, KYP) or
// damping record (omega, CXX ... CYP): "(9(1X,E10.3))".
std::vector<std::string> PlotConstantsRecords(float omega, const float* values8);
// Response record: "(1X,F7.2,2X,6(1X,1P,E11.4))" with the circular
// frequency and UOX ... EPOZ.  A frequency that does not fit F7.2 (10000
// rad/s and above) is written as 1P,E11.4 in its place.
std::vector<std::string> PlotResponseRecords(float freq, const float* amp6);

void WritePlotCount(Run& R, int nfreq);
void WritePlotConstants(Run& R, float omega, const float* values8);
void WritePlotResponse(Run& R, float freq, const float* amp6);
