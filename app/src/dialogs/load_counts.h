// The counts of the transient and random load dialogs: their boxes take
// only what the project file's reader takes back, and a smaller number of
// points, which would leave typed load values out of the file, is asked
// about first.
#pragma once

class QWidget;

namespace vortn {

class TDataEdit;
class TGridTable;

// The number of points 0 to kMaxLoadPoints; the number of load rows (load
// types or spectra) not below 0.
void BoundLoadCounts(TDataEdit& points, TDataEdit& rows);

// The row (from 1) of the last non-zero value of the sub-tables (column 1)
// of `table`; 0 when every value is 0.
int LastTypedValue(const TGridTable& table);

// When the number of points in `points` is smaller than `stored` and typed
// values of `table` would be left out of the file, asks whether to take it:
// No puts `stored` back into the box. `values` names them ("load
// amplitudes", "spectrum values"). A box that does not hold a valid number
// is left to its own check.
void ConfirmFewerPoints(QWidget* parent, TDataEdit& points, int stored, const TGridTable& table, const char* values);

}  // namespace vortn
