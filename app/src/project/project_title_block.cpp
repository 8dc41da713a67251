// Title and options: "TITLE=", "MATRIX" and "GRAVITY=", which gives the unit system.
#include "deck_title.h"
#include "exceptions.h"
#include "project_blocks.h"
#include "small_routines.h"

namespace vortn {

void WriteTitleBlock(const TProgramData& p, QStringList& L) {
    L << QStringLiteral("TITLE=") + DeckTitle(p.Title);
    if (p.MatrixFlag == 1) L << QStringLiteral("MATRIX");
    L << (p.Units() == TUnitSystem::English ? QStringLiteral("GRAVITY=32.2") : QStringLiteral("GRAVITY=9.8"));
}

void ReadTitleBlock(TProgramData& p, TDeckWalker& w) {
    QString l = w.Line();
    if (!l.startsWith(QLatin1String("TITLE=")))
        throw EInOutError(Where(1, 1) + QStringLiteral("This file is not a VORT-N project file."));
    // At most 248 UTF-16 units, and never half of a character.
    QString title = Tail(l, 7);
    if (title.size() > 248) title.truncate(title[247].isHighSurrogate() ? 247 : 248);
    p.Title = title;

    l = w.Line();
    if (l == QLatin1String("MATRIX")) {
        p.MatrixFlag = 1;
        l = w.Line();
    } else {
        p.MatrixFlag = 0;
    }
    const Extended g = w.FixedFloat(Tail(l, 9));
    p.SetUnits(g >= 10 ? 1 : 2);
}

}  // namespace vortn
