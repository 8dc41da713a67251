// The project file reader's cursor.
#include "project_walker.h"

#include "columns.h"
#include "exceptions.h"
#include "number_format.h"
#include "small_routines.h"

#include <limits>
#include <vector>

namespace vortn {

namespace {
const QString kIncomplete = QStringLiteral("This file either invalid or incomplete.");
}  // namespace

QString Where(int line, int item) { return QStringLiteral("Error on Line %1 Item %2").arg(line).arg(item) + QChar(13); }

QString TDeckWalker::Line() {
    if (pending_) {
        pending_ = false;
        lastLine_ = pendingNumber_;
        return pendingLine_;
    }
    if (r_.Eof()) throw EInOutError(kIncomplete);
    lastLine_ = r_.LineIndex() + 1;
    return r_.ReadLine();
}

void TDeckWalker::PutBack(const QString& line) {
    pending_ = true;
    pendingLine_ = line;
    pendingNumber_ = lastLine_;
}

void TDeckWalker::Finish() {
    if (!r_.Eof() && r_.WordIndex() > 0) r_.ReadLine();
}

Extended TDeckWalker::Float() { return r_.ReadFloat(); }
int TDeckWalker::Integer() { return r_.ReadInteger(); }

Extended TDeckWalker::FixedFloat(const QString& text, int item) const {
    long double v = 0;
    if (!TextToFloat(text, v, QLatin1Char('.')))
        throw EInOutError(Where(lastLine_, item) +
                          QStringLiteral("A floating point number was expected but not found."));
    return v;
}

int TDeckWalker::FixedInteger(const QString& text, int item) const {
    long double v = 0;
    if (!TextToFloat(text, v, QLatin1Char('.')) || !IsWholeNumber(v) || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max())
        throw EInOutError(Where(lastLine_, item) + QStringLiteral("An integer was expected but not found."));
    return int(v);
}

int TDeckWalker::CheckCount(int n, const TGridTable& table, int line, int item) const {
    const int limit = table.MaxRows() > 0 ? table.MaxRows() : std::numeric_limits<int>::max();
    if (n < 0 || n > limit)
        throw EInOutError(Where(line, item) +
                          QStringLiteral("A count between 0 and %1 was expected but not found.").arg(limit));
    return n;
}

int TDeckWalker::FixedCount(const QString& text, const TGridTable& table) const {
    return CheckCount(FixedInteger(text), table, lastLine_, 1);
}

int TDeckWalker::CountWord(const TGridTable& table) {
    const int n = Integer();
    return CheckCount(n, table, WordLine(), WordItem());
}

int TDeckWalker::PointCount() {
    const int n = Integer();
    if (n < 0 || n > kMaxLoadPoints)
        throw EInOutError(Where(WordLine(), WordItem()) +
                          QStringLiteral("A count between 0 and %1 was expected but not found.").arg(kMaxLoadPoints));
    return n;
}

int TDeckWalker::ItemWord(const TGridTable& table) {
    const int v = Integer();
    int count = 0;
    if (table.ColumnCount() > 0)
        if (auto* e = dynamic_cast<const TEnumColumn*>(table.Columns(0))) count = int(e->Items().size());
    if (v < 1 || v > count)
        throw EInOutError(Where(WordLine(), WordItem()) +
                          QStringLiteral("An item number between 1 and %1 was expected but not found.").arg(count));
    return v;
}

void SetF(TGridTable& t, int col, int row, Extended v) { t.Cells(col, row).SetAsFloat(v); }

void ReadRows(TDeckWalker& w, TGridTable& t, int count, int cols, int discard) {
    t.SetRowCount(0);
    std::vector<Extended> values(static_cast<size_t>(cols));
    for (int r = 0; r < count; ++r) {
        w.Integer();
        for (Extended& v : values) v = w.Float();
        for (int k = 0; k < discard; ++k) w.Float();
        w.Finish();
        t.SetRowCount(r + 1);
        for (int c = 0; c < cols; ++c) SetF(t, c, r, values[size_t(c)]);
    }
}

QString ConstantsCount(const QString& line) {
    const QString t = Tail(line.trimmed(), 11);
    return t.left(CommaPos(t) - 1);
}

}  // namespace vortn
