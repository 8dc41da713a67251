// The foundation block: foundation word, shape, mass values, piles or
// foundation layers, the constants, the elements and the pile tail
// (tip, batter, interaction).
#include "exceptions.h"
#include "project_blocks.h"
#include "project_text.h"
#include "small_routines.h"

namespace vortn {

void WriteFoundationBlock(const TProgramData& p, const TDeckPlan& plan, QStringList& L) {
    const TProjectHolder& h = p.Holder();
    L << QStringLiteral("FOUNDATION=") + p.FoundationWord;
    if (p.CircularFlag == 0)
        L << QStringLiteral("RECTANGULAR=") + Num(p.Length, QStringLiteral("the footing length")) + QLatin1Char(',') +
                        Num(p.Width, QStringLiteral("the footing width"));
    else
        L << QStringLiteral("CIRCULAR=") + Num(p.Radius, QStringLiteral("the footing radius"));
    L << QStringLiteral("MASS ");
    L << QStringList{Num(p.TotalMass, QStringLiteral("the total mass")),
                     Num(p.Ix, QStringLiteral("the mass moment of inertia about X")),
                     Num(p.Iy, QStringLiteral("the mass moment of inertia about Y")),
                     Num(p.Iz, QStringLiteral("the mass moment of inertia about Z")),
                     Num(p.Ixy, QStringLiteral("the product of inertia X-Y")),
                     Num(p.Ixz, QStringLiteral("the product of inertia X-Z")),
                     Num(p.Iyz, QStringLiteral("the product of inertia Y-Z"))}
                    .join(QLatin1Char(' '));
    const TGridTable& coords = h.Pilecoord();
    if (plan.pile) {
        L << QStringLiteral("LAYERS=") + Int(h.PileData().RowCount());
        L << (p.FixedFlag == 1 ? QStringLiteral("FIXED=") : QStringLiteral("PINNED=")) + Int(coords.RowCount());
        for (int i = 0; i < coords.RowCount(); ++i)
            L << EachBlank({Int(i + 1), Cell(coords, 0, i), Cell(coords, 1, i)});
    }
    if (plan.multi) L << QStringLiteral("LAYER=") + Int(h.MultiElement().RowCount());
    L << QStringLiteral("CONSTANTS ");
    const QString xc = Num(p.Xc, QStringLiteral("the base coordinate Xc")),
                  yc = Num(p.Yc, QStringLiteral("the base coordinate Yc")),
                  zc = Num(p.Zc, QStringLiteral("the base coordinate Zc"));
    if (plan.half) {
        L << EachBlank({xc, yc, zc});
    } else if (plan.stratum) {
        L << EachBlank({xc, yc, zc, Num(p.BaseDepth, QStringLiteral("the base depth")),
                        Num(p.BedRockDepth, QStringLiteral("the bed-rock depth"))});
    } else if (plan.pile || plan.multi) {
        L << EachBlank({xc, yc, zc, Num(p.PileLength, QStringLiteral("the pile length")),
                        Num(p.PileUnitWeight, QStringLiteral("the pile unit weight"))});
        L << QStringList{Num(p.StaticLoad, QStringLiteral("the static load")),
                         Num(p.PilePoisson, QStringLiteral("the pile Poisson's ratio")),
                         Num(p.PileDamping, QStringLiteral("the pile material damping")),
                         Num(p.ShearCoefficient, QStringLiteral("the shear coefficient")),
                         Num(p.PileModulus, QStringLiteral("the pile elastic modulus"))}
                        .join(QLatin1Char(' '));
    }
    if (plan.multi) {
        const TGridTable& e = h.MultiElement();
        L << QStringLiteral("ELEMENT");
        for (int r = 0; r < e.RowCount(); ++r) L << Int(r + 1) + QLatin1Char(' ') + Cells(e, r, 0, 6);
    }
    if (plan.pile) {
        const TGridTable& e = h.PileData();
        L << QStringLiteral("ELEMENT");
        for (int r = 0; r < e.RowCount(); ++r) L << Int(r + 1) + QLatin1Char(' ') + Cells(e, r, 0, 6);
        L << (p.EndBearingFlag == 1 ? QStringLiteral("END-BEARING") : QStringLiteral("FLOATING"));
        if (plan.battered == 1) {
            // Every pile is listed, vertical ones with angle 0.
            L << QStringLiteral("BATTERED");
            for (int i = 0; i < coords.RowCount(); ++i) {
                L << Int(i + 1) + QLatin1Char(' ') +
                                (Item(coords, 3, i) == 2 ? QStringLiteral("YZ  ") : QStringLiteral("XZ  "));
                L << Cell(coords, 2, i) + QLatin1Char(' ');
            }
        }
        if (p.InteractionFlag == 1) L << QStringLiteral("INTERACTION ");
    }
}

void ReadFoundationBlock(TProgramData& p, TDeckWalker& w) {
    TProjectHolder& h = p.Holder();
    QString l = w.Line();
    const QString word = Tail(l.trimmed(), 12).trimmed();
    const TFoundationType type = FoundationTypeOfWord(word);
    if (type == TFoundationType::None)
        throw EInOutError(Where(w.LastLine(), 1) + QStringLiteral("A foundation type was expected but not found."));
    p.FoundationWord = word;
    const bool pile = type == TFoundationType::Pile;
    const bool multi = type == TFoundationType::Multilayer;
    const bool half = type == TFoundationType::HalfSpace;
    const bool stratum = type == TFoundationType::Stratum;
    int sections = 0;  // pile sections or foundation layers the file announces

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
        sections = w.FixedCount(Tail(l, 8), h.PileData());
        p.SetFooting(TFoundationType::Pile);
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
        for (int i = 0; i < piles; ++i) {
            w.Integer();
            const Extended x = w.Float(), y = w.Float();
            w.Finish();
            c.SetRowCount(i + 1);
            SetF(c, 0, i, x);
            SetF(c, 1, i, y);
        }
    }
    if (multi) {
        l = w.Line().trimmed();
        sections = w.FixedCount(Tail(l, 7), h.MultiElement());
        p.SetFooting(TFoundationType::Multilayer);
    }

    // Constants.
    w.Line();
    if (pile || multi) {
        for (Extended* v : {&p.Xc, &p.Yc, &p.Zc, &p.PileLength, &p.PileUnitWeight, &p.StaticLoad, &p.PilePoisson,
                            &p.PileDamping, &p.ShearCoefficient, &p.PileModulus})
            *v = w.Float();
    } else if (half) {
        for (Extended* v : {&p.Xc, &p.Yc, &p.Zc}) *v = w.Float();
        p.SetFooting(TFoundationType::HalfSpace);
    } else if (stratum) {
        for (Extended* v : {&p.Xc, &p.Yc, &p.Zc, &p.BaseDepth, &p.BedRockDepth}) *v = w.Float();
        p.SetFooting(TFoundationType::Stratum);
    }
    w.Finish();

    // Elements.
    if (pile) {
        w.Line();
        ReadRows(w, h.PileData(), sections, 7, 0);
    }
    if (multi) {
        w.Line();
        p.SetFooting(TFoundationType::Multilayer);
        ReadRows(w, h.MultiElement(), sections, 7, 0);
    }

    // The pile tail: tip, batter and interaction.
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
        } else {
            p.InteractionFlag = 0;
            w.PutBack(l);  // the soil block's first line
        }
    }
}

}  // namespace vortn
