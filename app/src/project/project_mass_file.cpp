// The mass data: the mass components and the three centre lines that follow
// "RUN" in the project file, and the mass data file (.vtm) that the engine
// echoes, which holds the same lines.
#include "project_blocks.h"
#include "project_text.h"

namespace vortn {

void WriteMassData(const TProgramData& p, const TDeckPlan& plan, QStringList& deckTail, QStringList& massFile) {
    const TGridTable& mc = p.Holder().MassCal();
    QStringList components;
    components << Int(plan.massCount);
    if (plan.massCount > 0)
        for (int r = 0; r < mc.RowCount(); ++r) {
            QString s;
            for (int c = 0; c < 7; ++c) s += Cell(mc, c, r) + QLatin1Char(' ');
            components << s;
        }
    const QStringList centres{EachBlank({TailNum(p.CGx, QStringLiteral("the centre of gravity x")),
                                         TailNum(p.CGy, QStringLiteral("the centre of gravity y")),
                                         TailNum(p.CGz, QStringLiteral("the centre of gravity z"))}),
                              EachBlank({TailNum(p.CBx, QStringLiteral("the centre of base x")),
                                         TailNum(p.CBy, QStringLiteral("the centre of base y")),
                                         TailNum(p.CBz, QStringLiteral("the centre of base z"))}),
                              EachBlank({TailNum(p.CBX, QStringLiteral("the centre of base X")),
                                         TailNum(p.CBY, QStringLiteral("the centre of base Y")),
                                         TailNum(p.CBZ, QStringLiteral("the centre of base Z"))})};
    deckTail << components << centres;
    massFile << components;
    if (plan.massCount > 0) massFile << centres;
}

void ReadMassData(TProgramData& p, TDeckWalker& w) {
    // "RUN" (a wrapped load line may stand before it).
    while (w.Line().trimmed() != QLatin1String("RUN")) {
    }
    p.MassCount = 0;
    if (!w.More()) return;
    TGridTable& m = p.Holder().MassCal();
    const int n = w.CheckCount(w.Integer(), m, w.WordLine(), w.WordItem());
    w.Finish();
    // Each component counts once all its values were read.
    for (int r = 0; r < n; ++r) {
        Extended values[7];
        for (Extended& v : values) v = w.Float();
        w.Finish();
        m.SetRowCount(r + 1);
        for (int c = 0; c < 7; ++c) SetF(m, c, r, values[c]);
        p.MassCount = r + 1;
    }
    // The centres follow also without mass components: the centre of base
    // typed in the mass data is what a load referred to it is taken from.
    Extended* centres[3][3] = {{&p.CGx, &p.CGy, &p.CGz}, {&p.CBx, &p.CBy, &p.CBz}, {&p.CBX, &p.CBY, &p.CBZ}};
    for (auto& line : centres) {
        if (!w.More()) break;
        for (Extended* v : line) *v = w.Float();
        w.Finish();
    }
}

}  // namespace vortn
