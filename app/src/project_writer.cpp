// Project file writer: the project file (.vtd), which is also the engine's
// input deck, the mass data file (.vtm) and the geometry file (.vtt).
//
// The save first derives what it writes (flags, row counts, defaults), then
// builds the three files in memory block by block, then replaces the old
// files; the project takes over the derived values only once that worked.
#include "exceptions.h"
#include "project_blocks.h"
#include "project_text.h"

#include "file_set_writer.h"

#include <algorithm>
#include <cmath>

namespace vortn {

TDeckPlan DeriveDeckPlan(const TProgramData& p) {
    const TProjectHolder& h = p.Holder();
    TDeckPlan plan;
    const QString& word = p.FoundationWord;
    plan.pile = word == QLatin1String("PILE");
    plan.multi = word == QLatin1String("MULTILAYER");
    plan.half = word == QLatin1String("HALF-SPACE");
    plan.stratum = word == QLatin1String("STRATUM");

    // The flags only ever go from 0 to 1 here.
    auto anyNonZero = [](const TGridTable& t, int col) {
        for (int r = 0; r < t.RowCount(); ++r)
            if (std::fabs(CellValue(t, col, r)) > 1e-7L) return true;
        return false;
    };
    plan.battered = p.BatteredFlag;
    plan.weakZone = p.WeakZoneFlag;
    plan.sideCap = p.SideCapFlag;
    if (plan.pile && anyNonZero(h.Pilecoord(), 2)) plan.battered = 1;
    if (plan.half && anyNonZero(h.D1(), 5)) plan.weakZone = 1;
    if (plan.pile && h.pilecapsoil().RowCount() > 0 && anyNonZero(h.pilecapsoil(), 5)) plan.sideCap = 1;

    // The soil rows always match the counts the deck announces, so the
    // engine never reads a shifted soil block.
    plan.soilRows = plan.pile ? h.PileData().RowCount() : h.D().RowCount();
    if (plan.multi) {
        // The soil column takes the element rows that the adjacent layers
        // leave. A blank adjacent layer (a file without adjacent layers
        // reads back with the one empty row every table keeps) gives way
        // to soil-column rows that hold data rather than cut them off.
        const TGridTable& d = h.D();
        const TGridTable& s = h.Multisoil();
        const int elements = h.MultiElement().RowCount();
        auto blank = [](const TGridTable& t, int row, int columns) {
            for (int c = 0; c < columns; ++c)
                if (CellValue(t, c, row) != 0) return false;
            return true;
        };
        auto cutHoldsData = [&](int adjacent) {
            for (int k = std::max(0, elements - adjacent); k < s.RowCount(); ++k)
                if (!blank(s, k, 6)) return true;
            return false;
        };
        while (plan.soilRows > 0 && blank(d, plan.soilRows - 1, 5) && cutHoldsData(plan.soilRows)) --plan.soilRows;
        plan.belowRows = std::max(0, elements - plan.soilRows);
    }

    const TGridTable& mc = h.MassCal();
    plan.massCount = (mc.RowCount() == 0 || CellValue(mc, 0, 0) < 1e-8L) ? 0 : mc.RowCount();

    // Geometry: the depth of the soil drawn and the pile length, with the
    // defaults the viewer needs to draw something.
    Extended depth = 0;
    if (plan.pile) {
        for (int r = 0; r < h.pilecapsoil().RowCount(); ++r) depth += CellValue(h.pilecapsoil(), 0, r);
    } else if (plan.multi) {
        for (int r = 0; r < plan.soilRows; ++r) depth += CellValue(h.MultiElement(), 0, r);
    } else if (plan.stratum || plan.half) {
        for (int r = 0; r < h.D1().RowCount(); ++r) depth += CellValue(h.D1(), 0, r);
    }
    Extended pileLength = p.PileLength;
    if (p.CircularFlag == 1) {
        if (depth < 1e-5L) depth = 0.15L * p.Radius;
        if (pileLength < 1e-5L) pileLength = 3 * p.Radius;
    } else {
        if (depth < 1e-5L) depth = 0.15L * p.Width;
        if (pileLength < 1e-5L) pileLength = 2 * p.Length;
    }
    plan.totalSoilDepth = depth;
    plan.geometryPileLength = pileLength;
    return plan;
}

void ApplyDeckPlan(TProgramData& p, const TDeckPlan& plan) {
    TProjectHolder& h = p.Holder();
    p.BatteredFlag = plan.battered;
    p.WeakZoneFlag = plan.weakZone;
    p.SideCapFlag = plan.sideCap;
    p.MassCount = plan.massCount;
    p.TotalSoilDepth = plan.totalSoilDepth;
    p.PileLength = plan.geometryPileLength;
    if (plan.pile) h.D().SetRowCount(plan.soilRows);
    if (plan.multi && plan.belowRows > 0 && h.Multisoil().RowCount() != plan.belowRows)
        h.Multisoil().SetRowCount(plan.belowRows);
}

void TProgramData::SaveToFile() {
    TProjectHolder& h = *holder_;
    const TDeckPlan plan = DeriveDeckPlan(*this);
    const QString massFileName = ChangeFileExt(FileName, QStringLiteral(".vtm"));
    const QString geometryFileName = ChangeFileExt(FileName, QStringLiteral(".vtt"));
    try {
        QStringList deck;
        WriteTitleBlock(*this, deck);
        WriteFoundationBlock(*this, plan, deck);
        WriteSoilBlock(*this, plan, deck);
        WriteLoadBlock(*this, deck);
        // Deck lines the engine reads (all but the title) stay within 80 columns.
        QStringList L{deck.front()};
        for (int i = 1; i < deck.size(); ++i) L << Wrapped(deck[i]);
        L << QStringLiteral("RUN ");
        QStringList M;
        WriteMassData(*this, plan, L, M);
        QStringList G;
        WriteGeometryFile(*this, plan, G);
        // The project file is replaced last, once its side files are in place.
        WriteFileSet({{massFileName, EncodeLines(M)}, {geometryFileName, EncodeLines(G)}, {FileName, EncodeLines(L)}});
    } catch (...) {
        h.SetModified(true);
        throw;
    }
    MassFileName = massFileName;
    GeometryFileName = geometryFileName;
    ApplyDeckPlan(*this, plan);
    h.SetModified(false);
}

}  // namespace vortn
