// Fuzz driver of the project file reader and writer: a file is read, or
// refused with a located message and a usable project. A file read without
// a message is saved (or the save refuses a value it cannot write) and the
// saved file reopens with the same values, apart from the rows the file
// format has no place for (which a save names to the user); saved once more
// it gives the same file.
#include "exceptions.h"
#include "number_format.h"
#include "program_data.h"
#include "project_dump.h"
#include "project_holder.h"
#include "unwritten_rows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct Scratch {
    QTemporaryDir dir;
    std::unique_ptr<vortn::TProjectHolder> holder = std::make_unique<vortn::TProjectHolder>();
};

Scratch& Here() {
    static Scratch s;
    return s;
}

// The dumps without the title line: a title that gives the engine no item
// is written with "Untitled" in front.
QStringList WithoutTitle(QStringList d) {
    if (!d.isEmpty()) d.removeFirst();
    return d;
}

// The file carries frequencies in rad/s, 8 digits of the value times 6.28:
// in Hz they come back within one unit of the 8th digit.
bool SameValues(const QStringList& a, const QStringList& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        const qsizetype eq = a[i].indexOf(QLatin1Char('='));
        if (eq < 0 || !a[i].contains(QLatin1String("Frequency")) || a[i].left(eq) != b[i].left(eq)) return false;
        long double x = 0, y = 0;
        if (!vortn::TextToFloat(a[i].mid(eq + 1), x, QLatin1Char('.')) ||
            !vortn::TextToFloat(b[i].mid(eq + 1), y, QLatin1Char('.')))
            return false;
        if (std::fabs(x - y) > 2e-7L * std::fabs(x)) return false;
    }
    return true;
}

// The dump without the rows the save drops as the file format prescribes
// (and without those tables' row counts): a first mass below 1e-8 drops the
// mass components, a pile cap whose last side layer has no velocity its side
// soil, and so on. Everything else must come back.
QStringList WithoutDroppedRows(QStringList d, const std::vector<vortn::TUnwrittenRows>& dropped) {
    for (const vortn::TUnwrittenRows& r : dropped) {
        const QString name = r.table->Name;
        d.removeIf([&](const QString& line) {
            if (line.startsWith(name + QStringLiteral(".rows="))) return true;
            if (!line.startsWith(name + QLatin1Char('['))) return false;
            // "name[col,row]=..." (also the keys of its sub-tables)
            const qsizetype comma = line.indexOf(QLatin1Char(','), name.size()), close = line.indexOf(QLatin1Char(']'));
            bool number = false;
            const int row = comma > 0 && close > comma ? line.mid(comma + 1, close - comma - 1).toInt(&number) : -1;
            return number && row >= r.firstRow;
        });
    }
    return d;
}

[[noreturn]] void Fail(const char* what, const QStringList& a, const QStringList& b) {
    std::fprintf(stderr, "%s\n", what);
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const QString x = i < a.size() ? a[i] : QString(), y = i < b.size() ? b[i] : QString();
        if (x != y) std::fprintf(stderr, "  %s  <>  %s\n", qPrintable(x), qPrintable(y));
    }
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scratch& s = Here();
    vortn::TProjectHolder& h = *s.holder;
    const QString in = s.dir.filePath(QStringLiteral("in.vtd")), a = s.dir.filePath(QStringLiteral("a.vtd")),
                  b = s.dir.filePath(QStringLiteral("b.vtd"));
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    h.OpenProject(in);
    for (vortn::TGridTable* t : h.Tables())
        if (t->RowCount() < t->MinRows()) std::abort();
    if (!h.LastMessage().isEmpty()) return 0;  // refused with the reader's message

    const QStringList read = project_test::Dump(h);
    const std::vector<vortn::TUnwrittenRows> dropped = vortn::DroppedRows(h.Project());
    h.Project().FileName = a;
    try {
        h.Project().SaveToFile();
    } catch (const vortn::EInOutError& e) {
        if (e.Message().startsWith(QStringLiteral("The project was not saved: "))) return 0;
        std::fprintf(stderr, "%s\n", e.what());
        std::abort();
    }
    h.OpenProject(a);
    if (!h.LastMessage().isEmpty()) Fail(qPrintable(QStringLiteral("the saved project does not reopen: ") + h.LastMessage()), {}, {});
    const QStringList reopened = project_test::Dump(h);
    if (!SameValues(WithoutDroppedRows(WithoutTitle(read), dropped), WithoutDroppedRows(WithoutTitle(reopened), dropped)))
        Fail("the saved project reopens with other values", read, reopened);
    h.Project().FileName = b;
    h.Project().SaveToFile();
    h.OpenProject(b);
    if (project_test::Dump(h) != reopened) Fail("a second save changes the project", reopened, project_test::Dump(h));
    return 0;
}
