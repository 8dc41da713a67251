// Project file reader: walks a project file in the writer's line order,
// block by block, taking a few fixed-column fields from known lines and the
// numbers through a word reader. The lines after "RUN" give back the mass
// components and the centre coordinates.
//
// Every reading failure (a malformed number, a count out of range, a file cut
// short) ends the reading with a message naming the line and the item; what
// was read stays and the project is always usable.
#include "exceptions.h"
#include "project_blocks.h"
#include "word_reader.h"

#include <QDir>
#include <QFileInfo>

namespace vortn {

QString ProjectFileTooLarge(const QString& fileName) {
    const QFileInfo file(fileName);
    if (!file.isFile() || file.size() <= kMaxProjectFileBytes) return {};
    return QStringLiteral(
                   "The file \"%1\" (%2 bytes) is larger than a project file can be (%3 bytes); it was not read.")
            .arg(QDir::toNativeSeparators(file.absoluteFilePath()))
            .arg(file.size())
            .arg(kMaxProjectFileBytes);
}

std::unique_ptr<TProgramData> TProgramData::CreateFromFile(TProjectHolder& holder, const QString& fileName,
                                                           int /*filterIndex*/) {
    auto p = CreateDefault(holder);
    p->FileName = fileName;
    p->UnitSystem = CodeOf(TUnitSystem::English);
    for (TGridTable* t : holder.Tables()) t->SetRowCount(0);
    bool whole = false;  // read to its end without an error
    try {
        if (const QString tooLarge = ProjectFileTooLarge(fileName); !tooLarge.isEmpty()) throw EInOutError(tooLarge);
        TWordReader reader(fileName);
        TDeckWalker w(reader);
        ReadTitleBlock(*p, w);
        ReadFoundationBlock(*p, w);
        ReadSoilBlock(*p, w);
        ReadLoadBlock(*p, w);
        ReadMassData(*p, w);
        whole = true;
    } catch (const Exception& e) {
        holder.ShowMessage(e.Message());
    } catch (const std::exception& e) {
        holder.ShowMessage(QString::fromLocal8Bit(e.what()));
    }
    // Tables of a form unlike the program's own (a load table without its
    // sub-tables) leave the project usable, with the message.
    QString tableMessage;
    for (TGridTable* t : holder.Tables()) {
        if (t->RowCount() >= t->MinRows()) continue;
        // A pile group keeps the piles its file lists, also none: an empty
        // row would be drawn, and saved, as a pile at the origin.
        if (whole && t == &holder.Pilecoord() && p->FoundationType() == TFoundationType::Pile) continue;
        try {
            t->SetRowCount(t->MinRows());
            // The empty load row the table keeps carries as many (zero) values
            // as the load has points, which is what a save writes for it.
            const bool loadTable = (t == &holder.TLoadtype() && p->Loading() == TLoadingType::Transient) ||
                                   (t == &holder.Trandom() && p->Loading() == TLoadingType::Random);
            if (loadTable)
                for (int r = 0; r < t->RowCount(); ++r)
                    if (TGridTable* sub = t->Cells(1, r).AsObject()) sub->SetRowCount(p->NumberOfPoints);
        } catch (const Exception& e) {
            tableMessage = e.Message();
        }
    }
    if (!tableMessage.isEmpty()) holder.ShowMessage(tableMessage);
    holder.SetModified(false);
    return p;
}

}  // namespace vortn
