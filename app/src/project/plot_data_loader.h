// Reading the engine's plot-data file (.vtp) into the result plots.
#pragma once

#include "result_plots.h"

#include <QString>

namespace vortn {

// Empties every plot, then reads the file: the number of frequencies N,
// with `matrixFlag` above 0 a stiffness and a damping record per
// frequency, with `loadingCode` 1 (harmonic) a response record per
// frequency. Frequencies become Hz (rad/s / 6.2832). Every plot gets unit
// system `units`. A file that cannot be read, a count below 0 or beyond
// what the file holds, a record of the wrong length or a field that is not
// a finite number raises EInOutError naming the line; the plots are then
// left empty.
void ReadPlotData(TResultPlots& plots, const QString& fileName, int matrixFlag, int loadingCode, int units);

}  // namespace vortn
