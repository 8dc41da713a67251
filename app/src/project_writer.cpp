// Project file writer: the project file (.vtd), which is also the engine's
// input deck, the mass data file (.vtm) and the geometry file (.vtt).
//
// All three files are built in memory first, then each goes to a temporary
// file in its folder that replaces the old file only once all three were
// written completely, so a failed save never destroys the previous project.
#include "exceptions.h"
#include "program_data.h"
#include "project_holder.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <array>
#include <cmath>
#include <memory>

namespace vortn {

namespace {

// The project file carries rad/s; the project holds Hz.
constexpr Extended kRadPerHz = 6.28L;

QString Int(int v) { return QString::number(v); }
QString Num(Extended x) { return FloatText(x); }

Extended CellValue(const TGridTable& t, int col, int row) {
    if (row < 0 || row >= t.RowCount() || col < 0 || col >= t.ColumnCount()) return 0;
    return t.Cells(col, row).AsFloat();
}
QString Cell(const TGridTable& t, int col, int row) { return FloatText(CellValue(t, col, row)); }
int Item(const TGridTable& t, int col, int row) {
    if (row < 0 || row >= t.RowCount() || col < 0 || col >= t.ColumnCount()) return 0;
    return t.Cells(col, row).AsInteger();
}
// The sub-table of a row (none when the row has no sub-table).
const TGridTable* SubTable(const TGridTable& t, int col, int row) {
    if (row < 0 || row >= t.RowCount() || col < 0 || col >= t.ColumnCount()) return nullptr;
    return t.Cells(col, row).AsObject();
}

// Cells c0..c1 of a row, blank-separated.
QString Cells(const TGridTable& t, int row, int c0, int c1) {
    QStringList parts;
    for (int c = c0; c <= c1; ++c) parts << Cell(t, c, row);
    return parts.join(QLatin1Char(' '));
}

// Items each followed by one blank.
QString EachBlank(std::initializer_list<QString> items) {
    QString s;
    for (const QString& i : items) s += i + QLatin1Char(' ');
    return s;
}

// A weak-zone layer row: number, `count` cells from column 0, then the
// derived values (Poisson's ratio again, twice the damping, thickness factor).
QString WeakRow(const TGridTable& t, int row, int count, int poissonCol, int dampingCol, int ratioCol,
                Extended factor, Extended threshold) {
    const Extended f = CellValue(t, ratioCol, row) > threshold ? 0 : factor;
    return Int(row + 1) + QLatin1Char(' ') + Cells(t, row, 0, count - 1) + QLatin1Char(' ') +
           Cell(t, poissonCol, row) + QLatin1Char(' ') + Num(2 * CellValue(t, dampingCol, row)) +
           QLatin1Char(' ') + Num(f);
}

// The values of a load sub-table, exactly `points` of them (missing ones as
// 0) so that the engine and the reader, which both take the number of
// points, stay in step with the file.
void SubTableValues(QStringList& L, const TGridTable* sub, int points) {
    for (int k = 0; k < points; ++k) L << Num(sub ? CellValue(*sub, 0, k) : 0) + QLatin1Char(' ');
}

// The engine reads only the first 80 columns of a deck line. A longer
// line of numbers is broken at blanks into lines of at most 80 columns; the
// engine and the reader take numbers across line ends, so nothing shifts.
constexpr int kDeckColumns = 80;
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

// The engine takes the first item after "TITLE=" as the title. A title that
// gives no item (blank, or blanks, commas and equal signs before a "$"
// comment) would make it take the next keyword of the deck (MATRIX, or
// GRAVITY, which fails the run) as the title; such a title is written with
// "Untitled" in front. Line breaks would cut the deck and become blanks.
QString DeckTitle(QString title) {
    for (QChar& c : title)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    const qsizetype comment = title.indexOf(QLatin1Char('$'));
    const QString data = comment < 0 ? title : title.left(comment);
    for (QChar c : data)
        if (c != QLatin1Char(' ') && c != QLatin1Char(',') && c != QLatin1Char('=') && c != QLatin1Char('\t'))
            return title;
    return title.trimmed().isEmpty() ? QStringLiteral("Untitled") : QStringLiteral("Untitled ") + title;
}

QByteArray Encode(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) {
        out += l.toLatin1();
        out += "\r\n";
    }
    return out;
}

}  // namespace

void TProgramData::SaveToFile() {
    TProjectHolder& h = *holder_;
    const QString& WORD = FoundationWord;
    const bool pile = WORD == QLatin1String("PILE");
    const bool multi = WORD == QLatin1String("MULTILAYER");
    const bool half = WORD == QLatin1String("HALF-SPACE");
    const bool stratum = WORD == QLatin1String("STRATUM");
    MassFileName = ChangeFileExt(FileName, QStringLiteral(".vtm"));
    GeometryFileName = ChangeFileExt(FileName, QStringLiteral(".vtt"));

    // Keep the soil tables at the row counts the deck announces, so the
    // engine never reads a shifted soil block.
    if (pile) h.D().SetRowCount(h.PileData().RowCount());
    if (multi) {
        const int below = h.MultiElement().RowCount() - h.D().RowCount();
        if (below > 0 && h.Multisoil().RowCount() != below) h.Multisoil().SetRowCount(below);
    }

    // ---------------- A. the project file ----------------
    QStringList L;
    L << QStringLiteral("TITLE=") + DeckTitle(Title);
    if (MatrixFlag == 1) L << QStringLiteral("MATRIX");
    L << (UnitSystem == 1 ? QStringLiteral("GRAVITY=32.2") : QStringLiteral("GRAVITY=9.8"));
    L << QStringLiteral("FOUNDATION=") + WORD;
    if (CircularFlag == 0)
        L << QStringLiteral("RECTANGULAR=") + Num(Length) + QLatin1Char(',') + Num(Width);
    else
        L << QStringLiteral("CIRCULAR=") + Num(Radius);
    L << QStringLiteral("MASS ");
    L << QStringList{Num(TotalMass), Num(Ix), Num(Iy), Num(Iz), Num(Ixy), Num(Ixz), Num(Iyz)}.join(QLatin1Char(' '));
    const TGridTable& coords = h.Pilecoord();
    if (pile) {
        L << QStringLiteral("LAYERS=") + Int(h.PileData().RowCount());
        L << (FixedFlag == 1 ? QStringLiteral("FIXED=") : QStringLiteral("PINNED=")) + Int(coords.RowCount());
        for (int i = 0; i < coords.RowCount(); ++i) L << EachBlank({Int(i + 1), Cell(coords, 0, i), Cell(coords, 1, i)});
    }
    if (multi) L << QStringLiteral("LAYER=") + Int(h.MultiElement().RowCount());
    L << QStringLiteral("CONSTANTS ");
    if (half) {
        L << EachBlank({Num(Xc), Num(Yc), Num(Zc)});
    } else if (stratum) {
        L << EachBlank({Num(Xc), Num(Yc), Num(Zc), Num(BaseDepth), Num(BedRockDepth)});
    } else if (pile || multi) {
        L << EachBlank({Num(Xc), Num(Yc), Num(Zc), Num(PileLength), Num(PileUnitWeight)});
        L << QStringList{Num(StaticLoad), Num(PilePoisson), Num(PileDamping), Num(ShearCoefficient), Num(PileModulus)}
                 .join(QLatin1Char(' '));
    }
    if (multi) {
        const TGridTable& e = h.MultiElement();
        L << QStringLiteral("ELEMENT");
        for (int r = 0; r < e.RowCount(); ++r) L << Int(r + 1) + QLatin1Char(' ') + Cells(e, r, 0, 6);
    }
    if (pile) {
        const TGridTable& e = h.PileData();
        L << QStringLiteral("ELEMENT");
        for (int r = 0; r < e.RowCount(); ++r) L << Int(r + 1) + QLatin1Char(' ') + Cells(e, r, 0, 6);
        L << (EndBearingFlag == 1 ? QStringLiteral("END-BEARING") : QStringLiteral("FLOATING"));
        for (int i = 0; i < coords.RowCount(); ++i)
            if (std::fabs(CellValue(coords, 2, i)) > 1e-7L) BatteredFlag = 1;
        if (BatteredFlag == 1) {
            // Every pile is listed, vertical ones with angle 0.
            L << QStringLiteral("BATTERED");
            for (int i = 0; i < coords.RowCount(); ++i) {
                L << Int(i + 1) + QLatin1Char(' ') +
                         (Item(coords, 3, i) == 2 ? QStringLiteral("YZ  ") : QStringLiteral("XZ  "));
                L << Cell(coords, 2, i) + QLatin1Char(' ');
            }
        }
        if (InteractionFlag == 1) L << QStringLiteral("INTERACTION ");
    }
    L << QStringLiteral("SOIL ");
    if (stratum) {
        L << QStringLiteral("CONSTANTS ");
    } else if (half) {
        const TGridTable& t = h.D1();
        for (int r = 0; r < t.RowCount(); ++r)
            if (std::fabs(CellValue(t, 5, r)) > 1e-7L) WeakZoneFlag = 1;
        if (WeakZoneFlag == 1) {
            L << QStringLiteral("WEAK ");
            L << QStringLiteral("CONSTANTS=") + Int(t.RowCount());
            for (int r = 0; r < t.RowCount(); ++r) L << WeakRow(t, r, 6, 3, 4, 5, 0.1L, 0.999999L);
        } else {
            L << QStringLiteral("CONSTANTS=") + Int(t.RowCount());
            for (int r = 0; r < t.RowCount(); ++r) L << Int(r + 1) + QLatin1Char(' ') + Cells(t, r, 0, 4);
        }
    } else if (pile) {
        const TGridTable& t = h.D();
        L << QStringLiteral("WEAK") << QStringLiteral("CONSTANTS");
        for (int r = 0; r < t.RowCount(); ++r) L << WeakRow(t, r, 5, 2, 3, 4, 1.0L, 0.999999L);
    } else if (multi) {
        const TGridTable& t = h.D();
        if (t.RowCount() > 0) L << QStringLiteral("WEAK ");
        L << QStringLiteral("CONSTANTS=") + Int(t.RowCount());
        for (int r = 0; r < t.RowCount(); ++r) L << WeakRow(t, r, 5, 2, 3, 4, 1.0L, 0.99999L);
        const TGridTable& s = h.Multisoil();
        const int below = h.MultiElement().RowCount() - t.RowCount();
        for (int k = 0; k < below; ++k) L << Int(t.RowCount() + k + 1) + QLatin1Char(' ') + Cells(s, k, 0, 5);
    }
    const QString soilBelow = Num(SoilVelocity) + QLatin1Char(' ') + Num(SoilUnitWeight) + QLatin1Char(' ') +
                              Num(SoilPoisson) + QLatin1Char(' ') + Num(SoilDamping);
    L << (stratum ? soilBelow : QStringLiteral("BELOW=") + soilBelow);
    if (pile && h.pilecapsoil().RowCount() > 0) {
        const TGridTable& t = h.pilecapsoil();
        for (int r = 0; r < t.RowCount(); ++r)
            if (std::fabs(CellValue(t, 5, r)) > 1e-7L) SideCapFlag = 1;
        if (SideCapFlag == 1) {
            L << QStringLiteral("SIDE-CAP") << QStringLiteral("EMBEDDED") << Int(t.RowCount()) + QLatin1Char(' ');
            for (int r = 0; r < t.RowCount(); ++r) L << WeakRow(t, r, 6, 3, 4, 5, 0.1L, 0.999999L);
        } else if (CellValue(t, 1, t.RowCount() - 1) > 1e-5L) {
            L << QStringLiteral("EMBEDDED") << Int(t.RowCount()) + QLatin1Char(' ');
            for (int r = 0; r < t.RowCount(); ++r) L << Int(r + 1) + QLatin1Char(' ') + Cells(t, r, 0, 4);
        }
    }
    L << QStringLiteral("LOAD ");
    L << (LoadingCode == 2   ? QStringLiteral("TRANSIENT ")
          : LoadingCode == 3 ? QStringLiteral("RANDOM ")
                             : QStringLiteral("HARMONIC "));
    L << QStringLiteral("CONSTANTS ");
    if (LoadingCode == 2) {
        const TGridTable& t = h.TLoadtype();
        L << Int(NumberOfPoints) + QLatin1Char(' ') << Num(TimeInterval) + QLatin1Char(' ')
          << Int(t.RowCount()) + QLatin1Char(' ');
        for (int r = 0; r < t.RowCount(); ++r) {
            L << Int(Item(t, 0, r)) + QLatin1Char(' ');
            SubTableValues(L, SubTable(t, 1, r), NumberOfPoints);
        }
    } else if (LoadingCode == 3) {
        const TGridTable& t = h.Trandom();
        // The engine takes every deck frequency in rad/s.
        L << Num(RandomMaxFrequency * kRadPerHz) + QLatin1Char(' ') << Num(RandomMinFrequency * kRadPerHz) + QLatin1Char(' ')
          << Int(NumberOfPoints) + QLatin1Char(' ') << Num(ObservationPeriod) + QLatin1Char(' ')
          << Int(t.RowCount()) + QLatin1Char(' ');
        for (int r = 0; r < t.RowCount(); ++r) {
            const int dof = Item(t, 0, r);
            L << Int(dof) + QLatin1Char(' ') + Int(dof);
            SubTableValues(L, SubTable(t, 1, r), NumberOfPoints);
        }
    } else {
        L << (QuadraticFlag == 1 ? QStringLiteral("QUADRATIC ") : QStringLiteral("NONQUADRATIC "));
        L << EachBlank({Num(MaxFrequency * kRadPerHz), Num(MinFrequency * kRadPerHz), Num(FrequencyStep * kRadPerHz)});
        L << EachBlank({Num(Fx), Num(Fy), Num(Fz)});
        L << EachBlank({Num(Mx), Num(My), Num(Mz)});
        QString point = EachBlank({Num(LoadX), Num(LoadY), Num(LoadZ), Num(LoadReference == 1 ? 1 : 0)});
        if (LoadReference == 1) point += EachBlank({Num(CBx), Num(CBy), Num(CBz)});
        L << point;
    }
    // Deck lines the engine reads (all but the title) stay within 80 columns.
    {
        QStringList deck{L.front()};
        for (int i = 1; i < L.size(); ++i) deck << Wrapped(L[i]);
        L = deck;
    }
    L << QStringLiteral("RUN ");
    const TGridTable& mc = h.MassCal();
    MassCount = (mc.RowCount() == 0 || CellValue(mc, 0, 0) < 1e-8L) ? 0 : mc.RowCount();
    QStringList massLines;
    massLines << Int(MassCount);
    if (MassCount > 0)
        for (int r = 0; r < mc.RowCount(); ++r) {
            QString s;
            for (int c = 0; c < 7; ++c) s += Cell(mc, c, r) + QLatin1Char(' ');
            massLines << s;
        }
    const QStringList centres{EachBlank({TailReal(CGx), TailReal(CGy), TailReal(CGz)}),
                              EachBlank({TailReal(CBx), TailReal(CBy), TailReal(CBz)}),
                              EachBlank({TailReal(CBX), TailReal(CBY), TailReal(CBZ)})};
    L << massLines << centres;

    // ---------------- B. the mass data file ----------------
    QStringList M = massLines;
    if (MassCount > 0) M << centres;

    // ---------------- C. the geometry file ----------------
    TotalSoilDepth = 0;
    if (pile) {
        for (int r = 0; r < h.pilecapsoil().RowCount(); ++r) TotalSoilDepth += CellValue(h.pilecapsoil(), 0, r);
    } else if (multi) {
        for (int r = 0; r < h.D().RowCount(); ++r) TotalSoilDepth += CellValue(h.MultiElement(), 0, r);
    } else if (stratum || half) {
        for (int r = 0; r < h.D1().RowCount(); ++r) TotalSoilDepth += CellValue(h.D1(), 0, r);
    }
    QStringList G;
    if (CircularFlag == 1) {
        if (TotalSoilDepth < 1e-5L) TotalSoilDepth = 0.15L * Radius;
        if (PileLength < 1e-5L) PileLength = 3 * Radius;
        G << QStringLiteral("CIRCULAR ");
        G << QLatin1Char(' ') + Num(Radius) + QLatin1Char(' ') + Num(Radius) + QLatin1Char(' ') + Num(TotalSoilDepth);
    } else {
        if (TotalSoilDepth < 1e-5L) TotalSoilDepth = 0.15L * Width;
        if (PileLength < 1e-5L) PileLength = 2 * Length;
        G << QStringLiteral("RECTANGULAR ");
        G << QLatin1Char(' ') + Num(Length) + QLatin1Char(' ') + Num(Width) + QLatin1Char(' ') + Num(TotalSoilDepth);
    }
    // The last two lines of every soil list: pile tip and a fifth below it.
    auto tail = [&](int first) {
        G << Int(first) + QLatin1Char(' ') + Num(PileLength);
        G << Int(first + 1) + QLatin1Char(' ') + Num(0.2L * PileLength);
    };
    if (pile) {
        G << Int(coords.RowCount());
        G << Num(PileLength) + QLatin1Char(' ');
        for (int i = 0; i < coords.RowCount(); ++i) G << EachBlank({Int(i + 1), Cell(coords, 0, i), Cell(coords, 1, i)});
        const TGridTable& e = h.PileData();
        G << QStringLiteral("ELEMENT") << Int(e.RowCount());
        for (int r = 0; r < e.RowCount(); ++r) G << Int(r + 1) + QLatin1Char(' ') + Cells(e, r, 0, 6);
        if (BatteredFlag == 1) {
            G << QStringLiteral("BATTERED");
            for (int i = 0; i < coords.RowCount(); ++i)
                G << Int(i + 1) + QLatin1Char(' ') + (Item(coords, 3, i) == 2 ? QStringLiteral("90 ") : QStringLiteral("0 ")) +
                         Cell(coords, 2, i) + QLatin1Char(' ');
        }
        const TGridTable& s = h.pilecapsoil();
        const int m = s.RowCount();
        G << QStringLiteral("SOIL") << WORD << Int(m) << Int(m + 2);
        for (int i = 0; i < m; ++i) G << Int(i + 1) + QLatin1Char(' ') + Cell(s, 0, i) + QLatin1Char(' ');
        tail(m + 1);
    } else {
        G << QStringLiteral(" 0") << QStringLiteral("SOIL");
        if (stratum || half) {
            const TGridTable& s = h.D1();
            const int m = s.RowCount();
            G << WORD;
            if (CellValue(s, 0, 0) > 0) {
                G << Int(m) << Int(m + 2);
                for (int i = 0; i < m; ++i) G << Int(i + 1) + QLatin1Char(' ') + Cell(s, 0, i) + QLatin1Char(' ');
                tail(m + 1);
            } else {
                G << QStringLiteral(" 0") << Int(m + 1);
                tail(m);
            }
        } else if (multi) {
            const int m = h.D().RowCount();
            G << WORD << Int(m) << Int(m + 2);
            for (int i = 0; i < m; ++i)
                G << Int(i + 1) + QLatin1Char(' ') + Cell(h.MultiElement(), 0, i) + QLatin1Char(' ');
            tail(m + 1);
        }
    }

    // ---------------- writing ----------------
    struct Output {
        QString name;
        QByteArray data;
    };
    const std::array<Output, 3> outputs{{{FileName, Encode(L)}, {MassFileName, Encode(M)}, {GeometryFileName, Encode(G)}}};
    std::array<std::unique_ptr<QSaveFile>, 3> files;
    auto fail = [&](const QString& name, const QString& reason) {
        for (auto& p : files)
            if (p) p->cancelWriting();
        h.SetModified(true);
        throw EInOutError(QStringLiteral("Cannot write file %1: %2").arg(name, reason));
    };
    for (size_t i = 0; i < outputs.size(); ++i) {
        files[i] = std::make_unique<QSaveFile>(outputs[i].name);
        QSaveFile& f = *files[i];
        if (!f.open(QIODevice::WriteOnly) || f.write(outputs[i].data) != outputs[i].data.size() || !f.flush())
            fail(outputs[i].name, f.errorString());
    }
    // Nothing is replaced while some file could not be.
    for (size_t i = 0; i < outputs.size(); ++i)
        if (QFileInfo(outputs[i].name).isDir()) fail(outputs[i].name, QStringLiteral("a folder of that name exists"));
    // The project file itself is replaced last, once its side files are in place.
    for (size_t i : {size_t(1), size_t(2), size_t(0)})
        if (!files[i]->commit()) fail(outputs[i].name, files[i]->errorString());
    h.SetModified(false);
}

}  // namespace vortn
