#include "grid_table_resource.h"

#include "columns.h"
#include "exceptions.h"

#include <QFile>
#include <limits>
#include <map>

namespace vortn {

namespace {

// Without a MaxRows of its own, no table of a form needs more rows made at
// once than this (MinRows, RowGroup).
constexpr int kRowsMadeAtOnce = 10000;

// An integer property that must fit the table's 32-bit field.
int ReadInt32(TComponentReader& reader, const QString& table, const QString& prop) {
    const int line = reader.Line();
    const long long v = reader.ReadInteger();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw EReadError(QStringLiteral("Table %1: %2 = %3 is out of range (line %4)").arg(table, prop).arg(v).arg(line));
    return int(v);
}

// MinRows and RowGroup within the table's own limit: MaxRows, or the rows a
// form may make at once when there is none.
void CheckRowLimits(const TGridTable& table, const QString& name) {
    const int limit = table.MaxRows() > 0 ? table.MaxRows() : kRowsMadeAtOnce;
    if (table.MinRows() > limit)
        throw EReadError(QStringLiteral("Table %1: MinRows = %2 is beyond the table's limit of %3 rows")
                             .arg(name)
                             .arg(table.MinRows())
                             .arg(limit));
    if (table.RowGroup() > limit)
        throw EReadError(QStringLiteral("Table %1: RowGroup = %2 is beyond the table's limit of %3 rows")
                             .arg(name)
                             .arg(table.RowGroup())
                             .arg(limit));
}

void ReadProperties(TComponentReader& reader, TGridTable& table, const QString& name) {
    table.SetLoading(true);
    struct LoadingEnd {
        TGridTable& t;
        ~LoadingEnd() { t.SetLoading(false); }
    } end{table};
    for (;;) {
        const QString prop = reader.ReadIdent();
        if (prop == QLatin1String("end")) {
            CheckRowLimits(table, name);
            return;
        }
        reader.ReadSymbol('=');
        if (prop == QLatin1String("Identifier")) table.SetIdentifier(ReadInt32(reader, name, prop));
        else if (prop == QLatin1String("Caption")) table.SetCaption(reader.ReadString());
        else if (prop == QLatin1String("Comments")) table.SetComments(reader.ReadString());
        else if (prop == QLatin1String("TopLeft")) table.SetTopLeft(reader.ReadString());
        else if (prop == QLatin1String("MinRows")) table.SetMinRows(ReadInt32(reader, name, prop));
        else if (prop == QLatin1String("MaxRows")) table.SetMaxRows(ReadInt32(reader, name, prop));
        else if (prop == QLatin1String("RowGroup")) table.SetRowGroup(ReadInt32(reader, name, prop));
        else if (prop == QLatin1String("HardwiredButton")) table.SetHardwiredButton(reader.ReadBoolean());
        else if (prop == QLatin1String("Col")) table.ReadCol(reader);
        else throw EReadError(QStringLiteral("Property %1 does not exist (line %2)").arg(prop).arg(reader.Line()));
    }
}

// "object Name: TGridTable"; returns the name.
QString ReadHeader(TComponentReader& reader) {
    const int line = reader.Line();
    if (reader.ReadIdent() != QLatin1String("object"))
        throw EReadError(QStringLiteral("'object' expected on line %1").arg(line));
    const QString name = reader.ReadIdent();
    reader.ReadSymbol(':');
    const QString cls = reader.ReadIdent();
    if (cls != QLatin1String("TGridTable")) throw EReadError(QStringLiteral("Class %1 not found").arg(cls));
    return name;
}

// No table may refer, through its sub-table columns, back to itself:
// making its rows would clone it without end.
void CheckSubTableReferences(const std::vector<TGridTable*>& tables) {
    for (const TGridTable* t : tables)
        if (SubTableReferencesLeadBack(*t))
            throw EReadError(QStringLiteral("Table %1: a sub-table reference leads back to its own table").arg(t->Name));
}

}  // namespace

std::vector<std::unique_ptr<TGridTable>> ReadGridTableResource(const QString& text, const TObject* owner) {
    std::vector<std::unique_ptr<TGridTable>> tables;
    TComponentReader reader(text);
    while (!reader.AtEnd()) {
        const QString name = ReadHeader(reader);
        auto table = std::make_unique<TGridTable>(owner);
        table->Name = name;
        ReadProperties(reader, *table, name);
        tables.push_back(std::move(table));
    }
    std::vector<TGridTable*> read;
    for (auto& t : tables) read.push_back(t.get());
    CheckSubTableReferences(read);
    return tables;
}

std::vector<std::unique_ptr<TGridTable>> LoadGridTableResource(const QString& fileName, const TObject* owner) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) throw EInOutError(file.errorString());
    return ReadGridTableResource(QString::fromUtf8(file.readAll()), owner);
}

void ReadGridTableResourceInto(const QString& text, const std::vector<TGridTable*>& tables) {
    std::map<QString, TGridTable*> byName;
    for (TGridTable* t : tables) byName[t->Name] = t;
    TComponentReader reader(text);
    while (!reader.AtEnd()) {
        const QString name = ReadHeader(reader);
        auto it = byName.find(name);
        if (it == byName.end()) throw EReadError(QStringLiteral("No table named %1").arg(name));
        it->second->ClearColumns();
        ReadProperties(reader, *it->second, name);
    }
    CheckSubTableReferences(tables);
}

QString WriteGridTable(const TGridTable& table) {
    TComponentWriter w;
    w.WriteLine(QStringLiteral("object %1: TGridTable").arg(table.Name.isEmpty() ? QStringLiteral("GridTable") : table.Name));
    w.Indent(1);
    w.WriteLine(QStringLiteral("Identifier = %1").arg(table.Identifier()));
    w.WriteLine("Caption = " + QuotePascalString(table.Caption()));
    if (!table.Comments().isEmpty()) w.WriteLine("Comments = " + QuotePascalString(table.Comments()));
    w.WriteLine(QStringLiteral("MinRows = %1").arg(table.MinRows()));
    w.WriteLine(QStringLiteral("MaxRows = %1").arg(table.MaxRows()));
    w.WriteLine(QStringLiteral("RowGroup = %1").arg(table.RowGroup()));
    w.WriteLine("TopLeft = " + QuotePascalString(table.TopLeft()));
    w.WriteLine(QStringLiteral("HardwiredButton = %1").arg(table.HardwiredButton() ? "True" : "False"));
    w.WriteLine(QStringLiteral("Col ="));
    w.Indent(1);
    table.WriteCol(w);
    w.Indent(-2);
    w.WriteLine(QStringLiteral("end"));
    return w.Text();
}

QString WriteGridTableResource(const std::vector<const TGridTable*>& tables) {
    QString out;
    for (const TGridTable* t : tables) out += WriteGridTable(*t);
    return out;
}

}  // namespace vortn
