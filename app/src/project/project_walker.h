// The project file reader's cursor: a word reader with the few checks the
// project file needs (fixed-column numbers, row counts within the tables'
// limits, pick-list items) and messages that name the line and the item.
#pragma once

#include "grid_table.h"
#include "program_data.h"
#include "word_reader.h"

#include <QString>

namespace vortn {

// "Error on Line %1 Item %2" and a carriage return, the head of every message.
QString Where(int line, int item);

class TDeckWalker {
public:
    explicit TDeckWalker(TWordReader& r) : r_(r) {}

    // The whole current line; the file ending early is the reader's
    // "invalid or incomplete" error rather than a list index error.
    QString Line();
    // Gives the line just taken back to the next Line() (only a Line() may
    // follow: the words of that line are not handed out again).
    void PutBack(const QString& line);
    // Skips the rest of a line some of whose words were read.
    void Finish();
    Extended Float();
    int Integer();
    // True while a further line with words follows.
    bool More() const { return !r_.Eof() && r_.WordCount() > 0; }
    int WordCount() const { return r_.Eof() ? 0 : r_.WordCount(); }
    int LinesLeft() const { return r_.LineCount() - r_.LineIndex(); }
    int LastLine() const { return lastLine_; }
    // Position of the word just read (1-based line and item).
    int WordLine() const { return r_.LineIndex() + 1; }
    int WordItem() const { return r_.WordIndex(); }

    // A number taken from a fixed column of the last line read.
    Extended FixedFloat(const QString& text, int item = 1) const;
    int FixedInteger(const QString& text, int item = 1) const;

    // A row count for `table`, read at (line, item): never negative, never
    // above the table's limit. Rows are added as they are read, so a count
    // larger than the file holds allocates nothing.
    int CheckCount(int n, const TGridTable& table, int line, int item) const;
    int FixedCount(const QString& text, const TGridTable& table) const;
    int CountWord(const TGridTable& table);
    // The number of points of a transient or random load.
    int PointCount();
    // A pick-list item number for column 0 of `table`.
    int ItemWord(const TGridTable& table);

private:
    TWordReader& r_;
    int lastLine_ = 0;
    bool pending_ = false;
    QString pendingLine_;
    int pendingNumber_ = 0;
};

void SetF(TGridTable& t, int col, int row, Extended v);
// `count` rows of numbers: the row number, `cols` values into columns 0..,
// then `discard` derived values that are not kept. A row joins the table
// once all its values were read, so a damaged file leaves the table with
// the rows it really holds.
void ReadRows(TDeckWalker& w, TGridTable& t, int count, int cols, int discard);
// The count of a "CONSTANTS=" line: from column 11 up to the first "," or the end.
QString ConstantsCount(const QString& line);

}  // namespace vortn
