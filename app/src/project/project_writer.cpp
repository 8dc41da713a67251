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
#include "side_files.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace vortn {

TDeckPlan DeriveDeckPlan(const TProgramData& p) {
    const TProjectHolder& h = p.Holder();
    TDeckPlan plan;
    const TFoundationType type = p.FoundationType();
    plan.pile = type == TFoundationType::Pile;
    plan.multi = type == TFoundationType::Multilayer;
    plan.half = type == TFoundationType::HalfSpace;
    plan.stratum = type == TFoundationType::Stratum;

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
        // wherever keeping it would cut rows off the soil column: the
        // column would move down by one layer and lose its last one.
        const TGridTable& d = h.D();
        const int elements = h.MultiElement().RowCount();
        const int columnRows = h.Multisoil().RowCount();
        auto blank = [&d](int row) {
            for (int c = 0; c < 5; ++c)
                if (CellValue(d, c, row) != 0) return false;
            return true;
        };
        while (plan.soilRows > 0 && blank(plan.soilRows - 1) && columnRows > elements - plan.soilRows) --plan.soilRows;
        plan.belowRows = std::max(0, elements - plan.soilRows);
    }

    const TGridTable& mc = h.MassCal();
    plan.massCount = (mc.RowCount() == 0 || CellValue(mc, 0, 0) < 1e-8L) ? 0 : mc.RowCount();

    // Geometry: the depth of the soil drawn and the pile length, with the
    // defaults the viewer needs to draw something.
    Extended depth = 0;
    const TGridTable* layers = plan.pile                     ? &h.pilecapsoil()
                               : plan.multi                  ? &h.MultiElement()
                               : (plan.stratum || plan.half) ? &h.D1()
                                                             : nullptr;
    if (layers) {
        const int rows = plan.multi ? plan.soilRows : layers->RowCount();
        for (int r = 0; r < rows; ++r) depth += CellValue(*layers, 0, r);
        plan.totalSoilDepthName = QStringLiteral("the total soil depth (the sum of %1)").arg(ColumnName(*layers, 0));
    }
    Extended pileLength = p.PileLength;
    const bool circular = p.CircularFlag == 1;
    if (depth < 1e-5L) depth = 0.15L * (circular ? p.Radius : p.Width);
    if (pileLength < 1e-5L) {
        pileLength = circular ? 3 * p.Radius : 2 * p.Length;
        plan.geometryPileLengthName = circular
                                              ? QStringLiteral("three times the footing radius (the pile length drawn)")
                                              : QStringLiteral("twice the footing length (the pile length drawn)");
        // Without piles this length only sizes the soil drawn below the
        // footing: a footing too large for it to be written does not stop
        // the save, the largest value stands in.
        if (std::isinf(pileLength) && !plan.pile && !plan.multi)
            pileLength = std::copysign(std::numeric_limits<Extended>::max(), pileLength);
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
    // The deck of piles carries the pile length as typed: the default drawn
    // in the geometry file stays out of the project there, or the next save
    // would write it into the deck.
    if (!plan.pile && !plan.multi) p.PileLength = plan.geometryPileLength;
    if (plan.pile) h.D().SetRowCount(plan.soilRows);
    if (plan.multi && plan.belowRows > 0 && h.Multisoil().RowCount() != plan.belowRows)
        h.Multisoil().SetRowCount(plan.belowRows);
}

std::vector<QString> ProjectFileSet(const QString& fileName) {
    return {ChangeFileExt(fileName, QStringLiteral(".vtm")), ChangeFileExt(fileName, QStringLiteral(".vtt")), fileName};
}

void TProgramData::SaveToFile() {
    TProjectHolder& h = *holder_;
    const TDeckPlan plan = DeriveDeckPlan(*this);
    const std::vector<QString> files = ProjectFileSet(FileName);
    const QString& massFileName = files[0];
    const QString& geometryFileName = files[1];
    QString note;  // what the save found beside the files and left alone
    try {
        // A project named like one of its own side files would be overwritten by it.
        for (const auto& [side, what] : {std::pair{massFileName, "mass data"}, std::pair{geometryFileName, "geometry"}})
            if (side == FileName)
                throw EInOutError(QStringLiteral("The project was not saved: %1 is the name of its own %2 file.")
                                          .arg(QDir::toNativeSeparators(FileName), QLatin1String(what)));
        // Nor may it replace those of another project beside it.
        if (const QString owner = OtherOwnerOfSideFiles(FileName); !owner.isEmpty())
            throw EInOutError(SideFilesOwnerRefusal(FileName, owner));
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
        note = WriteFileSet(
                {{massFileName, EncodeLines(M)}, {geometryFileName, EncodeLines(G)}, {FileName, EncodeLines(L)}});
    } catch (...) {
        h.SetModified(true);
        throw;
    }
    MassFileName = massFileName;
    GeometryFileName = geometryFileName;
    ApplyDeckPlan(*this, plan);
    h.SetModified(false);
    if (!note.isEmpty()) h.ShowMessage(note);
}

}  // namespace vortn
