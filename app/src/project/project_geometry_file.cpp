// The geometry file (.vtt) for the outside geometry viewer: footing size,
// piles, elements, batter and the soil layer list.
#include "project_blocks.h"
#include "project_text.h"

namespace vortn {

void WriteGeometryFile(const TProgramData& p, const TDeckPlan& plan, QStringList& G) {
    const TProjectHolder& h = p.Holder();
    const QString& WORD = p.FoundationWord;
    const QString depth = Num(plan.totalSoilDepth, plan.totalSoilDepthName);
    if (p.CircularFlag == 1) {
        const QString radius = Num(p.Radius, QStringLiteral("the footing radius"));
        G << QStringLiteral("CIRCULAR ");
        G << QLatin1Char(' ') + radius + QLatin1Char(' ') + radius + QLatin1Char(' ') + depth;
    } else {
        G << QStringLiteral("RECTANGULAR ");
        G << QLatin1Char(' ') + Num(p.Length, QStringLiteral("the footing length")) + QLatin1Char(' ') +
                        Num(p.Width, QStringLiteral("the footing width")) + QLatin1Char(' ') + depth;
    }
    // The last two lines of every soil list: pile tip and a fifth below it.
    auto tail = [&](int first) {
        G << Int(first) + QLatin1Char(' ') + Num(plan.geometryPileLength, plan.geometryPileLengthName);
        G << Int(first + 1) + QLatin1Char(' ') +
                        Num(0.2L * plan.geometryPileLength, QStringLiteral("a fifth of the pile length"));
    };
    if (plan.pile) {
        const TGridTable& coords = h.Pilecoord();
        G << Int(coords.RowCount());
        G << Num(plan.geometryPileLength, plan.geometryPileLengthName) + QLatin1Char(' ');
        for (int i = 0; i < coords.RowCount(); ++i)
            G << EachBlank({Int(i + 1), Cell(coords, 0, i), Cell(coords, 1, i)});
        const TGridTable& e = h.PileData();
        G << QStringLiteral("ELEMENT") << Int(e.RowCount());
        for (int r = 0; r < e.RowCount(); ++r) G << Int(r + 1) + QLatin1Char(' ') + Cells(e, r, 0, 6);
        if (plan.battered == 1) {
            G << QStringLiteral("BATTERED");
            for (int i = 0; i < coords.RowCount(); ++i)
                G << Int(i + 1) + QLatin1Char(' ') +
                                (Item(coords, 3, i) == 2 ? QStringLiteral("90 ") : QStringLiteral("0 ")) +
                                Cell(coords, 2, i) + QLatin1Char(' ');
        }
        const TGridTable& s = h.pilecapsoil();
        const int m = s.RowCount();
        G << QStringLiteral("SOIL") << WORD << Int(m) << Int(m + 2);
        for (int i = 0; i < m; ++i) G << Int(i + 1) + QLatin1Char(' ') + Cell(s, 0, i) + QLatin1Char(' ');
        tail(m + 1);
    } else {
        G << QStringLiteral(" 0") << QStringLiteral("SOIL");
        if (plan.stratum || plan.half) {
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
        } else if (plan.multi) {
            const int m = plan.soilRows;
            G << WORD << Int(m) << Int(m + 2);
            for (int i = 0; i < m; ++i)
                G << Int(i + 1) + QLatin1Char(' ') + Cell(h.MultiElement(), 0, i) + QLatin1Char(' ');
            tail(m + 1);
        }
    }
}

}  // namespace vortn
