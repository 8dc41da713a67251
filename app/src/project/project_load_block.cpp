// The load block: "LOAD", the loading word and the harmonic, transient or
// random load data.
#include "exceptions.h"
#include "project_blocks.h"
#include "project_text.h"

#include <algorithm>

namespace vortn {

namespace {

// The values of a load sub-table, exactly `points` of them (missing ones as
// 0) so that the engine and the reader, which both take the number of
// points, stay in step with the file.
void WriteSubTableValues(QStringList& L, const TGridTable* sub, int points) {
    for (int k = 0; k < points; ++k) L << (sub ? Cell(*sub, 0, k) : QStringLiteral("0")) + QLatin1Char(' ');
}

// A load table row's amplitudes: the row's sub-table gets `points` rows,
// one as each value is read.
void ReadSubTableValues(TDeckWalker& w, TGridTable& t, int row, int points) {
    TGridTable* sub = t.Cells(1, row).AsObject();
    if (!sub) throw EInOutError(QStringLiteral("This file either invalid or incomplete."));
    sub->SetRowCount(0);
    for (int k = 0; k < points; ++k) {
        const Extended v = w.Float();
        sub->SetRowCount(k + 1);
        SetF(*sub, 0, k, v);
    }
}

// The load rows of a transient or random load, each with its item (and,
// random, the second location) and its values. When the file ends or fails
// on the way, the counts kept are those of what was read.
void ReadLoadRows(TProgramData& p, TDeckWalker& w, TGridTable& t, bool secondLocation) {
    const int rows = w.CountWord(t);
    try {
        for (int r = 0; r < rows; ++r) {
            const int item = w.ItemWord(t);
            t.SetRowCount(r + 1);
            t.Cells(0, r).SetAsInteger(item);
            if (secondLocation) w.Integer();
            ReadSubTableValues(w, t, r, p.NumberOfPoints);
        }
    } catch (...) {
        int points = 0;
        for (int r = 0; r < t.RowCount(); ++r)
            if (const TGridTable* sub = SubTable(t, 1, r)) points = std::max(points, sub->RowCount());
        p.NumberOfPoints = points;
        p.NumberOfLoadTypes = t.RowCount();
        throw;
    }
    p.NumberOfLoadTypes = t.RowCount();
}

// The number of points as the reader takes it back; any other stops the
// save before anything is written.
QString PointCountText(int points) {
    if (points < 0 || points > kMaxLoadPoints)
        throw EInOutError(QStringLiteral("The project was not saved: the number of points (%1) must lie between 0 "
                                         "and %2.")
                                  .arg(points)
                                  .arg(kMaxLoadPoints));
    return Int(points);
}

}  // namespace

void WriteLoadBlock(const TProgramData& p, QStringList& L) {
    const TProjectHolder& h = p.Holder();
    L << QStringLiteral("LOAD ");
    // Any other code is written as harmonic.
    const TLoadingType loading = p.Loading() == TLoadingType::None ? TLoadingType::Harmonic : p.Loading();
    L << LoadingWordOf(loading) + QLatin1Char(' ');
    L << QStringLiteral("CONSTANTS ");
    if (loading == TLoadingType::Transient) {
        const TGridTable& t = h.TLoadtype();
        L << PointCountText(p.NumberOfPoints) + QLatin1Char(' ')
          << Num(p.TimeInterval, QStringLiteral("the time interval")) + QLatin1Char(' ')
          << Int(t.RowCount()) + QLatin1Char(' ');
        for (int r = 0; r < t.RowCount(); ++r) {
            L << Int(Item(t, 0, r)) + QLatin1Char(' ');
            WriteSubTableValues(L, SubTable(t, 1, r), p.NumberOfPoints);
        }
    } else if (loading == TLoadingType::Random) {
        const TGridTable& t = h.Trandom();
        // The engine takes every deck frequency in rad/s.
        L << Num(p.RandomMaxFrequency * kRadPerHz, QStringLiteral("the maximum frequency in rad/s")) + QLatin1Char(' ')
          << Num(p.RandomMinFrequency * kRadPerHz, QStringLiteral("the minimum frequency in rad/s")) + QLatin1Char(' ')
          << PointCountText(p.NumberOfPoints) + QLatin1Char(' ')
          << Num(p.ObservationPeriod, QStringLiteral("the observation period")) + QLatin1Char(' ')
          << Int(t.RowCount()) + QLatin1Char(' ');
        for (int r = 0; r < t.RowCount(); ++r) {
            const int dof = Item(t, 0, r);
            L << Int(dof) + QLatin1Char(' ') + Int(dof);
            WriteSubTableValues(L, SubTable(t, 1, r), p.NumberOfPoints);
        }
    } else {
        L << (p.QuadraticFlag == 1 ? QStringLiteral("QUADRATIC ") : QStringLiteral("NONQUADRATIC "));
        L << EachBlank({Num(p.MaxFrequency * kRadPerHz, QStringLiteral("the maximum frequency in rad/s")),
                        Num(p.MinFrequency * kRadPerHz, QStringLiteral("the minimum frequency in rad/s")),
                        Num(p.FrequencyStep * kRadPerHz, QStringLiteral("the frequency step in rad/s"))});
        L << EachBlank({Num(p.Fx, QStringLiteral("the force Fx")), Num(p.Fy, QStringLiteral("the force Fy")),
                        Num(p.Fz, QStringLiteral("the force Fz"))});
        L << EachBlank({Num(p.Mx, QStringLiteral("the moment Mx")), Num(p.My, QStringLiteral("the moment My")),
                        Num(p.Mz, QStringLiteral("the moment Mz"))});
        QString point = EachBlank(
                {Num(p.LoadX, QStringLiteral("the load point X")), Num(p.LoadY, QStringLiteral("the load point Y")),
                 Num(p.LoadZ, QStringLiteral("the load point Z")), Int(p.LoadReference == 1 ? 1 : 0)});
        if (p.LoadReference == 1)
            point += EachBlank({Num(p.CBx, QStringLiteral("the centre of base x")),
                                Num(p.CBy, QStringLiteral("the centre of base y")),
                                Num(p.CBz, QStringLiteral("the centre of base z"))});
        L << point;
    }
}

void ReadLoadBlock(TProgramData& p, TDeckWalker& w) {
    TProjectHolder& h = p.Holder();
    w.Line();  // "LOAD"
    p.LoadingWord = w.Line();
    w.Line();  // "CONSTANTS"
    // A line that begins with no other loading word is read as harmonic,
    // and leaves the loading code as it was.
    const TLoadingType loading = LoadingTypeOfLine(p.LoadingWord);
    if (loading == TLoadingType::Transient) {
        p.SetLoading(loading);
        p.NumberOfPoints = w.PointCount();
        p.TimeInterval = w.Float();
        ReadLoadRows(p, w, h.TLoadtype(), false);
        w.Finish();
    } else if (loading == TLoadingType::Random) {
        p.SetLoading(loading);
        // The file carries rad/s; the project holds Hz.
        p.RandomMaxFrequency = w.Float() / kRadPerHz;
        p.RandomMinFrequency = w.Float() / kRadPerHz;
        p.NumberOfPoints = w.PointCount();
        p.ObservationPeriod = w.Float();
        ReadLoadRows(p, w, h.Trandom(), true);
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
                if (words > 3) {
                    const int reference = w.Integer();
                    if (reference != 0 && reference != 1)
                        throw EInOutError(
                                Where(w.WordLine(), w.WordItem()) +
                                QStringLiteral("A load point reference of 0 or 1 was expected but not found."));
                    p.LoadReference = reference;
                }
            }
            w.Finish();
        }
    }
}

}  // namespace vortn
