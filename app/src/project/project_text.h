// Text pieces shared by the writers of the project file blocks and side
// files: numbers in the file's format, cells of the main window's tables,
// weak-zone layer rows, and the 80-column wrapping of deck lines.
#pragma once

#include "grid_table.h"
#include "program_data.h"

#include <QString>
#include <QStringList>
#include <initializer_list>

namespace vortn {

// The project file carries rad/s; the project holds Hz.
inline constexpr Extended kRadPerHz = 6.28L;

QString Int(int v);
// A number of the file. A value without a number to write (infinite, not a
// number) stops the save before anything is written, with a message that
// names it by `field`.
QString Num(Extended x, const QString& field);
// A tail real (the fixed-width form after "RUN"), checked the same way.
QString TailNum(Extended x, const QString& field);

// Cells out of range read as 0 (rows the file announces but the table lacks).
Extended CellValue(const TGridTable& t, int col, int row);
QString Cell(const TGridTable& t, int col, int row);
int Item(const TGridTable& t, int col, int row);
// The sub-table of a row (none when the row has no sub-table).
const TGridTable* SubTable(const TGridTable& t, int col, int row);
// Cells c0..c1 of a row, blank-separated.
QString Cells(const TGridTable& t, int row, int c0, int c1);
// How a cell is named in a message: its column caption, row and table.
QString CellName(const TGridTable& t, int col, int row);
// How a column is named in a message: its caption and table.
QString ColumnName(const TGridTable& t, int col);

// Items each followed by one blank.
QString EachBlank(std::initializer_list<QString> items);

// A weak-zone layer row: number, `count` cells from column 0, then the
// derived values (Poisson's ratio again, twice the damping, thickness factor).
QString WeakRow(const TGridTable& t, int row, int count, int poissonCol, int dampingCol, int ratioCol, Extended factor,
                Extended threshold);

// The engine reads only the first 80 columns of a deck line. A longer line
// of numbers is broken at blanks into lines of at most 80 columns; the
// engine and the reader take numbers across line ends, so nothing shifts.
QStringList Wrapped(const QString& line);

// The lines as the file holds them: UTF-8, each ended by CR LF.
QByteArray EncodeLines(const QStringList& lines);

}  // namespace vortn
