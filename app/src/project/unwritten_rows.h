// Rows the user typed that a save leaves out of the project file: the file
// format has no place for them (the pile cap's side soil whose last layer has
// no velocity, mass components whose first mass is 0, soil layers beyond the
// pile elements, soil-column layers beyond the foundation's, load values
// beyond the number of points). The save names them before it writes, so
// that nothing typed is lost in silence.
#pragma once

#include "grid_table.h"
#include "program_data.h"

#include <QString>
#include <vector>

namespace vortn {

struct TUnwrittenRows {
    const TGridTable* table = nullptr;
    int firstRow = 0;  // 0-based, both included
    int lastRow = 0;
    QString text;  // one sentence naming the rows and why they are not written
};

// What the next save of `p` will not write, in the order of the file; rows
// whose cells are all 0 are not named (nothing was typed in them).
std::vector<TUnwrittenRows> UnwrittenRows(const TProgramData& p);

// Every row the next save drops, blank ones too (each range to the table's
// end): the whole of what a project read back from its file lacks.
std::vector<TUnwrittenRows> DroppedRows(const TProgramData& p);

// MULTILAYER: the soil-column rows a save writes, one per foundation layer
// below the adjacent soil layers (a blank last adjacent layer, as a file
// without adjacent layers reads back, gives way to a typed soil-column row).
int SoilColumnRowsWritten(const TProgramData& p);

// The soil-column rows beyond `keptRows` that hold a value (the rows the
// Data menu's trimming of the soil column would remove), or none.
std::vector<TUnwrittenRows> SoilColumnRowsBeyond(const TGridTable& soilColumn, int keptRows, int elementRows,
                                                 int adjacentRows);

// The question a save asks before it leaves them out.
QString UnwrittenRowsQuestion(const std::vector<TUnwrittenRows>& rows);

}  // namespace vortn
