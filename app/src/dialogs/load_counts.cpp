#include "load_counts.h"

#include "data_edit.h"
#include "exceptions.h"
#include "grid_table.h"
#include "input_dialog.h"
#include "message_box.h"
#include "program_data.h"

#include <QMessageBox>
#include <algorithm>
#include <cmath>

namespace vortn {

void BoundLoadCounts(TDataEdit& points, TDataEdit& rows) {
    points.SetMinVal(0);
    points.SetMaxVal(kMaxLoadPoints);
    rows.SetMinVal(0);
}

int LastTypedValue(const TGridTable& table) {
    int last = 0;
    for (int r = 0; r < table.RowCount(); ++r) {
        if (table.ColumnCount() < 2) break;
        const TGridTable* sub = table.Cells(1, r).AsObject();
        if (!sub || sub->ColumnCount() < 1) continue;
        for (int k = sub->RowCount() - 1; k >= last; --k)
            if (sub->Cells(0, k).AsFloat() != 0) {
                last = k + 1;
                break;
            }
    }
    return last;
}

void ConfirmFewerPoints(QWidget* parent, TDataEdit& points, int stored, const TGridTable& table, const char* values) {
    Extended typed = 0;
    try {
        typed = points.Number();
    } catch (const Exception&) {
        return;
    }
    if (!std::isfinite(typed)) return;
    const int wanted = RoundHalfEven(typed);
    const int last = LastTypedValue(table);
    if (wanted >= stored || wanted >= last || wanted < 0) return;
    const QString what = QString::fromLatin1(values);
    const QString text = QStringLiteral(
                                 "With %1 points the %2 %3 to %4 are not saved.\rDo you want to reduce the "
                                 "number of points to %1?")
                                 .arg(wanted)
                                 .arg(what)
                                 .arg(wanted + 1)
                                 .arg(last);
    if (QuestionBox(parent, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        points.SetNumber(stored);
}

}  // namespace vortn
