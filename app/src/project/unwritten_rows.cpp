// Rows a save leaves out of the project file, named before it writes.
#include "unwritten_rows.h"

#include "columns.h"
#include "project_blocks.h"
#include "project_text.h"

#include <algorithm>

namespace vortn {

namespace {

bool RowHoldsValue(const TGridTable& t, int row) {
    for (int c = 0; c < t.ColumnCount(); ++c)
        if (dynamic_cast<const TFloatColumn*>(t.Columns(c)) && CellValue(t, c, row) != 0) return true;
    return false;
}

// The last row from `first` on that holds a value, or -1.
int LastRowWithValue(const TGridTable& t, int first) {
    for (int r = t.RowCount() - 1; r >= first; --r)
        if (RowHoldsValue(t, r)) return r;
    return -1;
}

// A sub-table is named as its editor's caption names it: with its row path.
QString TableTitle(const TGridTable& t) {
    const QString title = (t.Caption().isEmpty() ? t.Name : t.Caption()).trimmed();
    const QString path = t.Path().trimmed();
    return path.isEmpty() ? title : title + QLatin1Char(' ') + path;
}

// "the table "Soil Properties", rows 3 to 5" (1-based).
QString RowsOf(const TGridTable& t, int first, int last) {
    const QString rows = first == last ? QStringLiteral("row %1").arg(first + 1)
                                       : QStringLiteral("rows %1 to %2").arg(first + 1).arg(last + 1);
    return QStringLiteral("the table \"%1\", %2").arg(TableTitle(t), rows);
}

// The rows from `first` on: all of them, or (`typedOnly`) up to the last
// that holds a value, when there is one.
void AddRowsFrom(std::vector<TUnwrittenRows>& out, const TGridTable& t, int first, const QString& why, bool typedOnly) {
    const int last = typedOnly ? LastRowWithValue(t, first) : t.RowCount() - 1;
    if (last < first) return;
    out.push_back({&t, first, last, RowsOf(t, first, last) + QStringLiteral(": ") + why});
}

void AddSoilColumnRows(std::vector<TUnwrittenRows>& out, const TGridTable& soilColumn, int keptRows, int elementRows,
                       int adjacentRows, bool typedOnly) {
    AddRowsFrom(out, soilColumn, std::max(0, keptRows),
                QStringLiteral("the soil column has one layer for each of the %1 foundation layers below the %2 "
                               "adjacent soil layers, that is %3.")
                        .arg(elementRows)
                        .arg(adjacentRows)
                        .arg(std::max(0, keptRows)),
                typedOnly);
}

std::vector<TUnwrittenRows> Collect(const TProgramData& p, bool typedOnly) {
    const TProjectHolder& h = p.Holder();
    const TDeckPlan plan = DeriveDeckPlan(p);
    std::vector<TUnwrittenRows> out;
    if (plan.pile) {
        // One soil layer per pile element.
        AddRowsFrom(
                out, h.D(), plan.soilRows,
                QStringLiteral("a pile group has one soil layer for each of its %1 pile elements.").arg(plan.soilRows),
                typedOnly);
    }
    if (plan.multi)
        AddSoilColumnRows(out, h.Multisoil(), plan.belowRows, h.MultiElement().RowCount(), plan.soilRows, typedOnly);
    const TGridTable& cap = h.pilecapsoil();
    if (plan.pile && cap.RowCount() > 0 && plan.sideCap != 1 && CellValue(cap, 1, cap.RowCount() - 1) <= 1e-5L)
        AddRowsFrom(out, cap, 0,
                    QStringLiteral("the pile cap gets no side soil when the shear wave velocity of its last layer "
                                   "is 0.00001 or less and no layer has a weak zone ratio."),
                    typedOnly);
    // A load is written with exactly one value per point.
    const TGridTable* loads = p.Loading() == TLoadingType::Transient ? &h.TLoadtype()
                              : p.Loading() == TLoadingType::Random  ? &h.Trandom()
                                                                     : nullptr;
    if (loads)
        for (int r = 0; r < loads->RowCount(); ++r)
            if (const TGridTable* values = SubTable(*loads, 1, r))
                AddRowsFrom(out, *values, std::max(0, p.NumberOfPoints),
                            QStringLiteral("a load has one value for each of its %1 points.")
                                    .arg(std::max(0, p.NumberOfPoints)),
                            typedOnly);
    if (plan.massCount == 0)
        AddRowsFrom(out, h.MassCal(), 0,
                    QStringLiteral("no mass component is written when the first mass is below 1E-8."), typedOnly);
    return out;
}

}  // namespace

std::vector<TUnwrittenRows> SoilColumnRowsBeyond(const TGridTable& soilColumn, int keptRows, int elementRows,
                                                 int adjacentRows) {
    std::vector<TUnwrittenRows> out;
    AddSoilColumnRows(out, soilColumn, keptRows, elementRows, adjacentRows, true);
    return out;
}

int SoilColumnRowsWritten(const TProgramData& p) { return DeriveDeckPlan(p).belowRows; }

std::vector<TUnwrittenRows> UnwrittenRows(const TProgramData& p) { return Collect(p, true); }

std::vector<TUnwrittenRows> DroppedRows(const TProgramData& p) { return Collect(p, false); }

QString UnwrittenRowsQuestion(const std::vector<TUnwrittenRows>& rows) {
    QString text = QStringLiteral("These entries will not be written to the project file:\n");
    for (const TUnwrittenRows& r : rows) text += QStringLiteral("\n- ") + r.text;
    return text + QStringLiteral("\n\nDo you want to save the project without them?");
}

}  // namespace vortn
