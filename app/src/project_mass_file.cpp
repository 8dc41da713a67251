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
    const QStringList centres{EachBlank({TailReal(p.CGx), TailReal(p.CGy), TailReal(p.CGz)}),
                              EachBlank({TailReal(p.CBx), TailReal(p.CBy), TailReal(p.CBz)}),
                              EachBlank({TailReal(p.CBX), TailReal(p.CBY), TailReal(p.CBZ)})};
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
    const int n = w.Integer();
    p.MassCount = n;
    if (n <= 0) return;
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

}  // namespace vortn
