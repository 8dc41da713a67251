// Project file writer: the project file (.vtd), which is also the engine's
// input deck, the mass data file (.vtm) and the geometry file (.vtt).
//
// The save first derives what it writes (flags, row counts, defaults), then
// builds the three files in memory block by block, then replaces the old
// files; the project takes over the derived values only once that worked.
#include "exceptions.h"
#include "project_blocks.h"
#include "project_text.h"

#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <cmath>
#include <memory>

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
    if (plan.multi) plan.belowRows = std::max(0, h.MultiElement().RowCount() - plan.soilRows);

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

    // ---------------- writing ----------------
    struct Output {
        QString name;
        QByteArray data;
    };
    const std::array<Output, 3> outputs{
        {{FileName, EncodeLines(L)}, {massFileName, EncodeLines(M)}, {geometryFileName, EncodeLines(G)}}};
    std::array<std::unique_ptr<QSaveFile>, 3> files;
    auto fail = [&](const QString& name, const QString& reason) {
        for (auto& f : files)
            if (f) f->cancelWriting();
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

    MassFileName = massFileName;
    GeometryFileName = geometryFileName;
    ApplyDeckPlan(*this, plan);
    h.SetModified(false);
}

}  // namespace vortn
