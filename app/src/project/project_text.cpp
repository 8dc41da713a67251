// Text pieces of the project file writers.
#include "project_text.h"

#include "exceptions.h"

#include <cmath>

namespace vortn {

namespace {
constexpr int kDeckColumns = 80;
bool Inside(const TGridTable& t, int col, int row) {
    return row >= 0 && row < t.RowCount() && col >= 0 && col < t.ColumnCount();
}
}  // namespace

QString Int(int v) { return QString::number(v); }

namespace {
void RequireFinite(Extended x, const QString& field) {
    if (std::isfinite(x)) return;
    throw EInOutError(
            QStringLiteral("The project was not saved: %1 is %2.")
                    .arg(field.isEmpty() ? QStringLiteral("a value") : field,
                         std::isnan(x) ? QStringLiteral("not a number") : QStringLiteral("too large to be written")));
}
}  // namespace

QString Num(Extended x, const QString& field) {
    RequireFinite(x, field);
    return FloatText(x);
}

QString TailNum(Extended x, const QString& field) {
    RequireFinite(x, field);
    return TailReal(x);
}

Extended CellValue(const TGridTable& t, int col, int row) {
    return Inside(t, col, row) ? t.Cells(col, row).AsFloat() : 0;
}

QString Cell(const TGridTable& t, int col, int row) { return Num(CellValue(t, col, row), CellName(t, col, row)); }

int Item(const TGridTable& t, int col, int row) { return Inside(t, col, row) ? t.Cells(col, row).AsInteger() : 0; }

const TGridTable* SubTable(const TGridTable& t, int col, int row) {
    return Inside(t, col, row) ? t.Cells(col, row).AsObject() : nullptr;
}

QString Cells(const TGridTable& t, int row, int c0, int c1) {
    QStringList parts;
    for (int c = c0; c <= c1; ++c) parts << Cell(t, c, row);
    return parts.join(QLatin1Char(' '));
}

namespace {
QString ColumnCaption(const TGridTable& t, int col) {
    QString caption;
    if (col >= 0 && col < t.ColumnCount()) caption = t.Columns(col)->CaptionLines().join(QLatin1Char(' ')).simplified();
    if (caption.endsWith(QLatin1Char(','))) caption.chop(1);
    return caption;
}
QString TableCaption(const TGridTable& t) { return t.Caption().isEmpty() ? t.Name : t.Caption(); }
}  // namespace

QString CellName(const TGridTable& t, int col, int row) {
    return QStringLiteral("\"%1\" in row %2 of the table \"%3\"")
            .arg(ColumnCaption(t, col))
            .arg(row + 1)
            .arg(TableCaption(t));
}

QString ColumnName(const TGridTable& t, int col) {
    return QStringLiteral("\"%1\" over the rows of the table \"%2\"").arg(ColumnCaption(t, col), TableCaption(t));
}

QString EachBlank(std::initializer_list<QString> items) {
    QString s;
    for (const QString& i : items) s += i + QLatin1Char(' ');
    return s;
}

QString WeakRow(const TGridTable& t, int row, int count, int poissonCol, int dampingCol, int ratioCol, Extended factor,
                Extended threshold) {
    const Extended f = CellValue(t, ratioCol, row) > threshold ? 0 : factor;
    return Int(row + 1) + QLatin1Char(' ') + Cells(t, row, 0, count - 1) + QLatin1Char(' ') + Cell(t, poissonCol, row) +
           QLatin1Char(' ') +
           Num(2 * CellValue(t, dampingCol, row),
               QStringLiteral("the weak-zone value 2 x ") + CellName(t, dampingCol, row)) +
           QLatin1Char(' ') + Num(f, QString());
}

QStringList Wrapped(const QString& line) {
    if (line.size() <= kDeckColumns) return {line};
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList out;
    QString piece;
    for (const QString& w : words) {
        if (!piece.isEmpty() && piece.size() + 1 + w.size() > kDeckColumns) {
            out << piece;
            piece.clear();
        }
        piece += (piece.isEmpty() ? QString() : QStringLiteral(" ")) + w;
    }
    if (line.endsWith(QLatin1Char(' ')) && piece.size() < kDeckColumns) piece += QLatin1Char(' ');
    out << piece;
    return out;
}

QByteArray EncodeLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    return out;
}

}  // namespace vortn
