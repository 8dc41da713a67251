// Project file reader: walks a project file in the writer's line order,
// taking a few fixed-column fields from known lines and the numbers through
// a word reader. The lines after "RUN" give back the mass components and the
// centre coordinates.
//
// Every reading failure (a malformed number, a count out of range, a file cut
// short) ends the reading with a message naming the line and the item; what
// was read stays and the project is always usable.
#include "columns.h"
#include "exceptions.h"
#include "number_format.h"
#include "program_data.h"
#include "project_holder.h"
#include "small_routines.h"
#include "word_reader.h"

#include <QStringList>
#include <limits>

namespace vortn {

namespace {

constexpr Extended kRadPerHz = 6.28L;
// Far above what the engine accepts (1024 transient, 200 random points); a
// larger count in a file is damage, not data.
constexpr int kMaxPoints = 100000;
const QChar CR(13);

QString Where(int line, int item) { return QStringLiteral("Error on Line %1 Item %2").arg(line).arg(item) + CR; }

// Word-reader cursor with the few checks the project file needs.
class Walker {
public:
    explicit Walker(TWordReader& r) : r_(r) {}

    // The whole current line; the file ending early is the reader's
    // "invalid or incomplete" error rather than a list index error.
    QString Line() {
        if (r_.Eof()) throw EInOutError(QStringLiteral("This file either invalid or incomplete."));
        lastLine_ = r_.LineIndex() + 1;
        return r_.ReadLine();
    }
    // Skips the rest of a line some of whose words were read.
    void Finish() {
        if (!r_.Eof() && r_.WordIndex() > 0) r_.ReadLine();
    }
    Extended Float() { return r_.ReadFloat(); }
    int Integer() { return r_.ReadInteger(); }
    // True while a further line with words follows.
    bool More() const { return !r_.Eof() && r_.WordCount() > 0; }
    int WordCount() const { return r_.Eof() ? 0 : r_.WordCount(); }
    int LinesLeft() const { return r_.LineCount() - r_.LineIndex(); }
    int LastLine() const { return lastLine_; }
    // Position of the word just read (1-based line and item).
    int WordLine() const { return r_.LineIndex() + 1; }
    int WordItem() const { return r_.WordIndex(); }

    // A number taken from a fixed column of the last line read.
    Extended FixedFloat(const QString& text, int item = 1) const {
        long double v = 0;
        if (!TextToFloat(text, v, QLatin1Char('.')))
            throw EInOutError(Where(lastLine_, item) + QStringLiteral("A floating point number was expected but not found."));
        return v;
    }
    int FixedInteger(const QString& text, int item = 1) const {
        long double v = 0;
        if (!TextToFloat(text, v, QLatin1Char('.')) || !IsWholeNumber(v))
            throw EInOutError(Where(lastLine_, item) + QStringLiteral("An integer was expected but not found."));
        return int(v);
    }

    // A row count for `table`, read at (line, item): never negative, never
    // above the table's limit, never more rows than lines left in the file.
    int CheckCount(int n, const TGridTable& table, int line, int item) const {
        const int limit = table.MaxRows() > 0 ? table.MaxRows() : std::numeric_limits<int>::max();
        if (n < 0 || n > limit)
            throw EInOutError(Where(line, item) +
                              QStringLiteral("A count between 0 and %1 was expected but not found.").arg(limit));
        if (n > LinesLeft() + 1) throw EInOutError(QStringLiteral("This file either invalid or incomplete."));
        return n;
    }
    int FixedCount(const QString& text, const TGridTable& table) const {
        return CheckCount(FixedInteger(text), table, lastLine_, 1);
    }
    int CountWord(const TGridTable& table) {
        const int n = Integer();
        return CheckCount(n, table, WordLine(), WordItem());
    }
    // The number of points of a transient or random load: every load row
    // carries that many values, one a line, which the writer writes again.
    int PointCount() {
        const int n = Integer();
        if (n < 0 || n > kMaxPoints)
            throw EInOutError(Where(WordLine(), WordItem()) +
                              QStringLiteral("A count between 0 and %1 was expected but not found.").arg(kMaxPoints));
        return n;
    }
    // A pick-list item number for column 0 of `table`.
    int ItemWord(const TGridTable& table) {
        const int v = Integer();
        int count = 0;
        if (table.ColumnCount() > 0)
            if (auto* e = dynamic_cast<const TEnumColumn*>(table.Columns(0))) count = int(e->Items().size());
        if (v < 1 || v > count)
            throw EInOutError(Where(WordLine(), WordItem()) +
                              QStringLiteral("An item number between 1 and %1 was expected but not found.").arg(count));
        return v;
    }

private:
    TWordReader& r_;
    int lastLine_ = 0;
};

void SetF(TGridTable& t, int col, int row, Extended v) { t.Cells(col, row).SetAsFloat(v); }

// Rows of numbers: the row number, `cols` values into columns 0.., then
// `discard` derived values that are not kept.
void ReadRows(Walker& w, TGridTable& t, int cols, int discard) {
    for (int r = 0; r < t.RowCount(); ++r) {
        w.Integer();
        for (int c = 0; c < cols; ++c) SetF(t, c, r, w.Float());
        for (int k = 0; k < discard; ++k) w.Float();
        w.Finish();
    }
}

// The count of a "CONSTANTS=" line: from column 11 up to the first "," or the end.
QString ConstantsCount(const QString& line) {
    const QString t = Tail(line.trimmed(), 11);
    return t.left(CommaPos(t) - 1);
}

// A load table row's amplitudes: the row's sub-table gets `points` rows.
void ReadSubTable(Walker& w, TGridTable& t, int row, int points) {
    TGridTable* sub = t.Cells(1, row).AsObject();
    if (!sub) throw EInOutError(QStringLiteral("This file either invalid or incomplete."));
    if (points > w.LinesLeft()) throw EInOutError(QStringLiteral("This file either invalid or incomplete."));
    sub->SetRowCount(points);
    for (int k = 0; k < points; ++k) SetF(*sub, 0, k, w.Float());
}

void ReadProject(TProgramData& p, TProjectHolder& h, Walker& w) {
    // Title.
    QString l = w.Line();
    if (!l.startsWith(QLatin1String("TITLE=")))
        throw EInOutError(Where(1, 1) + QStringLiteral("This file is not a VORT-N project file."));
    p.Title = Tail(l, 7).left(248);

    // Matrix flag and gravity, which gives the unit system.
    l = w.Line();
    if (l == QLatin1String("MATRIX")) {
        p.MatrixFlag = 1;
        l = w.Line();
    } else {
        p.MatrixFlag = 0;
    }
    const Extended g = w.FixedFloat(Tail(l, 9));
    p.SetUnits(g >= 10 ? 1 : 2);

    // Foundation word.
    l = w.Line();
    const QString word = Tail(l.trimmed(), 12).trimmed();
    if (word != QLatin1String("HALF-SPACE") && word != QLatin1String("PILE") && word != QLatin1String("STRATUM") &&
        word != QLatin1String("MULTILAYER"))
        throw EInOutError(Where(w.LastLine(), 1) + QStringLiteral("A foundation type was expected but not found."));
    p.FoundationWord = word;
    const bool pile = word == QLatin1String("PILE");
    const bool multi = word == QLatin1String("MULTILAYER");
    const bool half = word == QLatin1String("HALF-SPACE");
    const bool stratum = word == QLatin1String("STRATUM");

    // Shape.
    l = w.Line();
    if (l.left(8) == QLatin1String("CIRCULAR")) {
        p.Radius = w.FixedFloat(Tail(l, 10));
        p.CircularFlag = 1;
    } else {
        const QString sizes = Tail(l, 13);
        const int comma = CommaPos(sizes);
        p.Length = w.FixedFloat(sizes.left(comma - 1), 1);
        p.Width = w.FixedFloat(Tail(sizes, comma + 1), 2);
        p.CircularFlag = 0;
    }

    // Mass values.
    w.Line();
    for (Extended* v : {&p.TotalMass, &p.Ix, &p.Iy, &p.Iz, &p.Ixy, &p.Ixz, &p.Iyz}) *v = w.Float();
    w.Finish();

    if (pile) {
        l = w.Line().trimmed();
        h.PileData().SetRowCount(w.FixedCount(Tail(l, 8), h.PileData()));
        p.FootingType = 2;
        l = w.Line().trimmed();
        int piles;
        if (l.left(5) == QLatin1String("FIXED")) {
            p.FixedFlag = 1;
            piles = w.FixedCount(Tail(l, 7), h.Pilecoord());
        } else {
            p.FixedFlag = 0;
            piles = w.FixedCount(Tail(l, 8), h.Pilecoord());
        }
        TGridTable& c = h.Pilecoord();
        c.SetRowCount(piles);
        for (int i = 0; i < piles; ++i) {
            w.Integer();
            SetF(c, 0, i, w.Float());
            SetF(c, 1, i, w.Float());
            w.Finish();
        }
    }
    if (multi) {
        l = w.Line().trimmed();
        h.MultiElement().SetRowCount(w.FixedCount(Tail(l, 7), h.MultiElement()));
        p.FootingType = 4;
    }

    // Constants.
    w.Line();
    if (pile || multi) {
        for (Extended* v : {&p.Xc, &p.Yc, &p.Zc, &p.PileLength, &p.PileUnitWeight, &p.StaticLoad, &p.PilePoisson,
                            &p.PileDamping, &p.ShearCoefficient, &p.PileModulus})
            *v = w.Float();
    } else if (half) {
        for (Extended* v : {&p.Xc, &p.Yc, &p.Zc}) *v = w.Float();
        p.FootingType = 1;
    } else if (stratum) {
        for (Extended* v : {&p.Xc, &p.Yc, &p.Zc, &p.BaseDepth, &p.BedRockDepth}) *v = w.Float();
        p.FootingType = 3;
    }
    w.Finish();

    // Elements.
    if (pile) {
        w.Line();
        ReadRows(w, h.PileData(), 7, 0);
    }
    if (multi) {
        w.Line();
        p.FootingType = 4;
        ReadRows(w, h.MultiElement(), 7, 0);
    }

    if (pile) {
        l = w.Line();
        p.EndBearingFlag = l == QLatin1String("END-BEARING") ? 1 : 0;
        if (l == QLatin1String("FLOATING") || l == QLatin1String("END-BEARING")) l = w.Line();
        if (l == QLatin1String("BATTERED")) {
            TGridTable& c = h.Pilecoord();
            for (int i = 0; i < c.RowCount(); ++i) {
                // The plane follows the pile number and one blank.
                const QString planeLine = w.Line();
                const QString plane = Tail(planeLine, int(QString::number(i + 1).size()) + 2).left(2);
                if (plane == QLatin1String("XZ")) c.Cells(3, i).SetAsInteger(1);
                if (plane == QLatin1String("YZ")) c.Cells(3, i).SetAsInteger(2);
                SetF(c, 2, i, w.FixedFloat(w.Line()));
            }
            l = w.Line();
        }
        if (l.left(11) == QLatin1String("INTERACTION")) {
            p.InteractionFlag = 1;
            l = w.Line();
        } else {
            p.InteractionFlag = 0;
        }
        // "WEAK" and "CONSTANTS" after "SOIL"; one soil row per pile section.
        w.Line();
        w.Line();
        h.D().SetRowCount(h.PileData().RowCount());
        ReadRows(w, h.D(), 5, 3);
    }
    if (multi) {
        w.Line();
        l = w.Line();
        if (l.left(4) == QLatin1String("WEAK")) l = w.Line();  // no "WEAK" when there are no adjacent layers
        h.D().SetRowCount(w.FixedCount(ConstantsCount(l), h.D()));
        h.Multisoil().SetRowCount(h.MultiElement().RowCount() - h.D().RowCount());
        ReadRows(w, h.D(), 5, 3);
        ReadRows(w, h.Multisoil(), 6, 0);
    }
    if (half) {
        w.Line();
        l = w.Line();
        const bool weak = l.left(4) == QLatin1String("WEAK");
        if (weak) l = w.Line();
        TGridTable& t = h.D1();
        t.SetRowCount(w.FixedCount(ConstantsCount(l), t));
        for (int r = 0; r < t.RowCount(); ++r) {
            w.Integer();
            for (int c = 0; c < (weak ? 6 : 5); ++c) SetF(t, c, r, w.Float());
            if (weak)
                for (int k = 0; k < 3; ++k) w.Float();
            p.WeakZoneFlag = weak ? 1 : 0;
            w.Finish();
        }
    }

    // Soil below.
    if (stratum) {
        w.Line();
        w.Line();
        for (Extended* v : {&p.SoilVelocity, &p.SoilUnitWeight, &p.SoilPoisson, &p.SoilDamping}) *v = w.Float();
        w.Finish();
    } else {
        l = w.Line();
        const QStringList parts = Tail(l.trimmed(), 7).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        Extended* below[] = {&p.SoilVelocity, &p.SoilUnitWeight, &p.SoilPoisson, &p.SoilDamping};
        for (int k = 0; k < 4; ++k) *below[k] = w.FixedFloat(k < parts.size() ? parts[k] : QString(), k + 1);
    }

    // Side soil of the pile cap.
    if (pile) {
        l = w.Line();
        TGridTable& t = h.pilecapsoil();
        if (l.left(8) == QLatin1String("SIDE-CAP") || l.left(8) == QLatin1String("EMBEDDED")) {
            const bool sideCap = l.left(8) == QLatin1String("SIDE-CAP");
            if (sideCap) w.Line();  // "EMBEDDED"
            t.SetRowCount(w.CountWord(t));
            w.Finish();
            ReadRows(w, t, sideCap ? 6 : 5, sideCap ? 3 : 0);
            w.Line();  // "LOAD"
        }
    } else {
        w.Line();  // "LOAD"
    }

    // Load.
    p.LoadingWord = w.Line();
    w.Line();  // "CONSTANTS"
    if (p.LoadingWord.left(9) == QLatin1String("TRANSIENT")) {
        p.LoadingCode = 2;
        p.NumberOfPoints = w.PointCount();
        p.TimeInterval = w.Float();
        TGridTable& t = h.TLoadtype();
        t.SetRowCount(w.CountWord(t));
        p.NumberOfLoadTypes = t.RowCount();
        for (int r = 0; r < t.RowCount(); ++r) {
            t.Cells(0, r).SetAsInteger(w.ItemWord(t));
            ReadSubTable(w, t, r, p.NumberOfPoints);
        }
        w.Finish();
    } else if (p.LoadingWord.left(6) == QLatin1String("RANDOM")) {
        p.LoadingCode = 3;
        // The file carries rad/s; the project holds Hz.
        p.RandomMaxFrequency = w.Float() / kRadPerHz;
        p.RandomMinFrequency = w.Float() / kRadPerHz;
        p.NumberOfPoints = w.PointCount();
        p.ObservationPeriod = w.Float();
        TGridTable& t = h.Trandom();
        t.SetRowCount(w.CountWord(t));
        p.NumberOfLoadTypes = t.RowCount();
        for (int r = 0; r < t.RowCount(); ++r) {
            t.Cells(0, r).SetAsInteger(w.ItemWord(t));
            w.Integer();
            ReadSubTable(w, t, r, p.NumberOfPoints);
        }
        w.Finish();
    } else {
        p.QuadraticFlag = w.Line().trimmed() == QLatin1String("QUADRATIC") ? 1 : 0;
        p.MaxFrequency = w.Float() / kRadPerHz;
        p.MinFrequency = w.Float() / kRadPerHz;
        p.FrequencyStep = w.Float() / kRadPerHz;
        for (Extended* v : {&p.Fx, &p.Fy, &p.Fz, &p.Mx, &p.My, &p.Mz}) *v = w.Float();
        p.LoadX = p.LoadY = p.LoadZ = 0;
        p.LoadReference = 0;
        w.Finish();
        if (w.More()) {
            const int words = w.WordCount();
            if (words > 1) {
                p.LoadX = w.Float();
                p.LoadY = w.Float();
                p.LoadZ = w.Float();
                if (words > 3) p.LoadReference = w.Integer();
            }
            w.Finish();
        }
    }

    // "RUN" (a wrapped load line may stand before it), then the front-end's own data.
    while (w.Line().trimmed() != QLatin1String("RUN")) {
    }
    p.MassCount = 0;
    if (w.More()) {
        TGridTable& m = h.MassCal();
        const int n = w.Integer();
        p.MassCount = n;
        if (n > 0) {
            m.SetRowCount(w.CheckCount(n, m, w.WordLine(), w.WordItem()));
            w.Finish();
            for (int r = 0; r < n; ++r) {
                for (int c = 0; c < 7; ++c) SetF(m, c, r, w.Float());
                w.Finish();
            }
            Extended* centres[3][3] = {{&p.CGx, &p.CGy, &p.CGz}, {&p.CBx, &p.CBy, &p.CBz}, {&p.CBX, &p.CBY, &p.CBZ}};
            for (auto& line : centres) {
                if (!w.More()) break;
                for (Extended* v : line) *v = w.Float();
                w.Finish();
            }
        }
    }
}

}  // namespace

std::unique_ptr<TProgramData> TProgramData::CreateFromFile(TProjectHolder& holder, const QString& fileName,
                                                           int /*filterIndex*/) {
    auto p = CreateDefault(holder);
    p->FileName = fileName;
    p->UnitSystem = 1;
    for (TGridTable* t : holder.Tables()) t->SetRowCount(0);
    try {
        TWordReader reader(fileName);
        Walker w(reader);
        ReadProject(*p, holder, w);
    } catch (const Exception& e) {
        holder.ShowMessage(e.Message());
    } catch (const std::exception& e) {
        holder.ShowMessage(QString::fromLocal8Bit(e.what()));
    }
    for (TGridTable* t : holder.Tables())
        if (t->RowCount() < t->MinRows()) t->SetRowCount(t->MinRows());
    holder.SetModified(false);
    return p;
}

}  // namespace vortn
