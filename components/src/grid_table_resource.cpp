#include "grid_table_resource.h"

#include <QFile>
#include <map>

namespace vortn {

namespace {

void ReadProperties(TComponentReader& reader, TGridTable& table) {
    table.SetLoading(true);
    struct LoadingEnd {
        TGridTable& t;
        ~LoadingEnd() { t.SetLoading(false); }
    } end{table};
    for (;;) {
        const QString prop = reader.ReadIdent();
        if (prop == QLatin1String("end")) return;
        reader.ReadSymbol('=');
        if (prop == QLatin1String("Identifier")) table.SetIdentifier(int(reader.ReadInteger()));
        else if (prop == QLatin1String("Caption")) table.SetCaption(reader.ReadString());
        else if (prop == QLatin1String("Comments")) table.SetComments(reader.ReadString());
        else if (prop == QLatin1String("TopLeft")) table.SetTopLeft(reader.ReadString());
        else if (prop == QLatin1String("MinRows")) table.SetMinRows(int(reader.ReadInteger()));
        else if (prop == QLatin1String("MaxRows")) table.SetMaxRows(int(reader.ReadInteger()));
        else if (prop == QLatin1String("RowGroup")) table.SetRowGroup(int(reader.ReadInteger()));
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

}  // namespace

std::vector<std::unique_ptr<TGridTable>> ReadGridTableResource(const QString& text, const TObject* owner) {
    std::vector<std::unique_ptr<TGridTable>> tables;
    TComponentReader reader(text);
    while (!reader.AtEnd()) {
        const QString name = ReadHeader(reader);
        auto table = std::make_unique<TGridTable>(owner);
        table->Name = name;
        ReadProperties(reader, *table);
        tables.push_back(std::move(table));
    }
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
        ReadProperties(reader, *it->second);
    }
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
