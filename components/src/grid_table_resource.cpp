#include "grid_table_resource.h"

#include "columns.h"
#include "exceptions.h"

#include <QFile>
#include <algorithm>
#include <limits>
#include <map>
#include <unordered_map>

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
        throw EReadError(
                QStringLiteral("Table %1: %2 = %3 is out of range (line %4)").arg(table, prop).arg(v).arg(line));
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
        if (prop == QLatin1String("Identifier"))
            table.SetIdentifier(ReadInt32(reader, name, prop));
        else if (prop == QLatin1String("Caption"))
            table.SetCaption(reader.ReadString());
        else if (prop == QLatin1String("Comments"))
            table.SetComments(reader.ReadString());
        else if (prop == QLatin1String("TopLeft"))
            table.SetTopLeft(reader.ReadString());
        else if (prop == QLatin1String("MinRows"))
            table.SetMinRows(ReadInt32(reader, name, prop));
        else if (prop == QLatin1String("MaxRows"))
            table.SetMaxRows(ReadInt32(reader, name, prop));
        else if (prop == QLatin1String("RowGroup"))
            table.SetRowGroup(ReadInt32(reader, name, prop));
        else if (prop == QLatin1String("HardwiredButton"))
            table.SetHardwiredButton(reader.ReadBoolean());
        else if (prop == QLatin1String("Col"))
            table.ReadCol(reader);
        else
            throw EReadError(QStringLiteral("Property %1 does not exist (line %2)").arg(prop).arg(reader.Line()));
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

// The rows all tables of a form make at once, with their sub-tables, when
// they get their minimum rows: a nesting of large minimum rows multiplies.
constexpr long long kRowBudget = 1000000;

// No table may refer, through its sub-table columns, back to itself (making
// its rows would clone it without end), and the tables together stay within
// the row budget. One depth-first walk visits each table once; a table makes
// max(MinRows, RowGroup) rows at once, each with one sub-table per sub-table
// column (the largest template of the column counted).
void CheckSubTables(const std::vector<TGridTable*>& tables) {
    enum class State { Open, Done };
    std::unordered_map<const TGridTable*, State> state;
    std::unordered_map<const TGridTable*, long long> rows;  // rows one copy makes, sub-tables included
    auto capped = [](long long a, long long b) {
        return a > (kRowBudget + 1) / std::max(b, 1LL) ? kRowBudget + 1 : a * b;
    };
    struct Frame {
        const TGridTable* table;
        std::vector<std::vector<const TGridTable*>> columns;
        size_t column = 0, ref = 0;
        long long columnRows = 0, subRows = 0;
    };
    long long total = 0;
    for (const TGridTable* root : tables) {
        if (state.count(root) == 0) {
            std::vector<Frame> path;
            state[root] = State::Open;
            path.push_back({root, SubTableTemplates(*root)});
            while (!path.empty()) {
                Frame& f = path.back();
                if (f.column < f.columns.size() && f.ref < f.columns[f.column].size()) {
                    const TGridTable* next = f.columns[f.column][f.ref];
                    const auto it = state.find(next);
                    if (it == state.end()) {
                        state[next] = State::Open;
                        path.push_back({next, SubTableTemplates(*next)});  // f is no longer valid
                        continue;
                    }
                    if (it->second == State::Open)
                        throw EReadError(QStringLiteral("Table %1: a sub-table reference leads back to its own table")
                                                 .arg(next->Name));
                    f.columnRows = std::max(f.columnRows, rows[next]);
                    ++f.ref;
                    continue;
                }
                if (f.column < f.columns.size()) {  // the column is done
                    f.subRows = std::min(kRowBudget + 1, f.subRows + f.columnRows);
                    f.columnRows = 0;
                    f.ref = 0;
                    ++f.column;
                    continue;
                }
                const long long made = std::max(f.table->MinRows(), f.table->RowGroup());
                rows[f.table] = capped(made, 1 + f.subRows);
                state[f.table] = State::Done;
                path.pop_back();
            }
        }
        total = std::min(kRowBudget + 1, total + rows[root]);
        if (total > kRowBudget)
            throw EReadError(QStringLiteral("Table %1: its minimum rows and those of its sub-tables pass the %2 rows "
                                            "the tables of a form may make at once")
                                     .arg(root->Name)
                                     .arg(kRowBudget));
    }
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
    CheckSubTables(read);
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
    CheckSubTables(tables);
}

QString WriteGridTable(const TGridTable& table) {
    TComponentWriter w;
    w.WriteLine(QStringLiteral("object %1: TGridTable")
                        .arg(table.Name.isEmpty() ? QStringLiteral("GridTable") : table.Name));
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
