// The soil block: the soil layers by foundation type, the soil below and,
// for piles, the side soil of the pile cap.
#include "project_blocks.h"
#include "project_text.h"
#include "small_routines.h"

namespace vortn {

void WriteSoilBlock(const TProgramData& p, const TDeckPlan& plan, QStringList& L) {
    const TProjectHolder& h = p.Holder();
    L << QStringLiteral("SOIL ");
    if (plan.stratum) {
        L << QStringLiteral("CONSTANTS ");
    } else if (plan.half) {
        const TGridTable& t = h.D1();
        if (plan.weakZone == 1) {
            L << QStringLiteral("WEAK ");
            L << QStringLiteral("CONSTANTS=") + Int(t.RowCount());
            for (int r = 0; r < t.RowCount(); ++r) L << WeakRow(t, r, 6, 3, 4, 5, 0.1L, 0.999999L);
        } else {
            L << QStringLiteral("CONSTANTS=") + Int(t.RowCount());
            for (int r = 0; r < t.RowCount(); ++r) L << Int(r + 1) + QLatin1Char(' ') + Cells(t, r, 0, 4);
        }
    } else if (plan.pile) {
        const TGridTable& t = h.D();
        L << QStringLiteral("WEAK") << QStringLiteral("CONSTANTS");
        for (int r = 0; r < plan.soilRows; ++r) L << WeakRow(t, r, 5, 2, 3, 4, 1.0L, 0.999999L);
    } else if (plan.multi) {
        const TGridTable& t = h.D();
        if (plan.soilRows > 0) L << QStringLiteral("WEAK ");
        L << QStringLiteral("CONSTANTS=") + Int(plan.soilRows);
        for (int r = 0; r < plan.soilRows; ++r) L << WeakRow(t, r, 5, 2, 3, 4, 1.0L, 0.99999L);
        const TGridTable& s = h.Multisoil();
        for (int k = 0; k < plan.belowRows; ++k) L << Int(plan.soilRows + k + 1) + QLatin1Char(' ') + Cells(s, k, 0, 5);
    }
    const QString soilBelow =
            Num(p.SoilVelocity, QStringLiteral("the shear-wave velocity of the soil below")) + QLatin1Char(' ') +
            Num(p.SoilUnitWeight, QStringLiteral("the unit weight of the soil below")) + QLatin1Char(' ') +
            Num(p.SoilPoisson, QStringLiteral("the Poisson's ratio of the soil below")) + QLatin1Char(' ') +
            Num(p.SoilDamping, QStringLiteral("the material damping of the soil below"));
    L << (plan.stratum ? soilBelow : QStringLiteral("BELOW=") + soilBelow);
    if (plan.pile && h.pilecapsoil().RowCount() > 0) {
        const TGridTable& t = h.pilecapsoil();
        if (plan.sideCap == 1) {
            L << QStringLiteral("SIDE-CAP") << QStringLiteral("EMBEDDED") << Int(t.RowCount()) + QLatin1Char(' ');
            for (int r = 0; r < t.RowCount(); ++r) L << WeakRow(t, r, 6, 3, 4, 5, 0.1L, 0.999999L);
        } else if (CellValue(t, 1, t.RowCount() - 1) > 1e-5L) {
            L << QStringLiteral("EMBEDDED") << Int(t.RowCount()) + QLatin1Char(' ');
            for (int r = 0; r < t.RowCount(); ++r) L << Int(r + 1) + QLatin1Char(' ') + Cells(t, r, 0, 4);
        }
    }
}

void ReadSoilBlock(TProgramData& p, TDeckWalker& w) {
    TProjectHolder& h = p.Holder();
    const TFoundationType type = p.FoundationType();
    const bool pile = type == TFoundationType::Pile;
    const bool multi = type == TFoundationType::Multilayer;
    const bool half = type == TFoundationType::HalfSpace;
    const bool stratum = type == TFoundationType::Stratum;
    w.Line();  // "SOIL"
    if (pile) {
        // "WEAK" and "CONSTANTS"; one soil row per pile section.
        w.Line();
        w.Line();
        ReadRows(w, h.D(), h.PileData().RowCount(), 5, 3);
    }
    if (multi) {
        QString l = w.Line();
        if (l.left(4) == QLatin1String("WEAK")) l = w.Line();  // no "WEAK" when there are no adjacent layers
        const int adjacent = w.FixedCount(ConstantsCount(l), h.D());
        ReadRows(w, h.D(), adjacent, 5, 3);
        ReadRows(w, h.Multisoil(), h.MultiElement().RowCount() - adjacent, 6, 0);
    }
    if (half) {
        QString l = w.Line();
        const bool weak = l.left(4) == QLatin1String("WEAK");
        if (weak) l = w.Line();
        TGridTable& t = h.D1();
        const int layers = w.FixedCount(ConstantsCount(l), t);
        ReadRows(w, t, layers, weak ? 6 : 5, weak ? 3 : 0);
        if (layers > 0) p.WeakZoneFlag = weak ? 1 : 0;
    }

    // Soil below.
    if (stratum) {
        w.Line();  // "CONSTANTS"
        for (Extended* v : {&p.SoilVelocity, &p.SoilUnitWeight, &p.SoilPoisson, &p.SoilDamping}) *v = w.Float();
        w.Finish();
    } else {
        const QString l = w.Line();
        const QStringList parts = Tail(l.trimmed(), 7).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        Extended* below[] = {&p.SoilVelocity, &p.SoilUnitWeight, &p.SoilPoisson, &p.SoilDamping};
        for (int k = 0; k < 4; ++k) *below[k] = w.FixedFloat(k < parts.size() ? parts[k] : QString(), k + 1);
    }

    // Side soil of the pile cap.
    if (pile) {
        const QString l = w.Line();
        TGridTable& t = h.pilecapsoil();
        if (l.left(8) == QLatin1String("SIDE-CAP") || l.left(8) == QLatin1String("EMBEDDED")) {
            const bool sideCap = l.left(8) == QLatin1String("SIDE-CAP");
            if (sideCap) w.Line();  // "EMBEDDED"
            const int layers = w.CountWord(t);
            w.Finish();
            ReadRows(w, t, layers, sideCap ? 6 : 5, sideCap ? 3 : 0);
        } else {
            w.PutBack(l);  // the load block's "LOAD"
        }
    }
}

}  // namespace vortn
