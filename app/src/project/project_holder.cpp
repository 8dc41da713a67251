// Project holder: the main window's thirteen tables and the one project.
#include "project_holder.h"

#include "exceptions.h"
#include "file_set_writer.h"
#include "grid_table_resource.h"
#include "project_blocks.h"

#include <QDir>
#include <QFileInfo>

namespace vortn {

namespace {
TProjectHolder* gMain = nullptr;
}

QString TProjectHolder::DefaultTableResource() { return QStringLiteral(":/forms/MainForm.tables.txt"); }

TProjectHolder* TProjectHolder::Main() { return gMain; }

TProgramData& ProgramData() {
    if (!gMain) throw Exception(QStringLiteral("No project holder"));
    return gMain->Project();
}

TProjectHolder::TProjectHolder(const QString& tableResource) {
    owned_ = LoadGridTableResource(tableResource);
    struct Slot {
        const char* name;
        TGridTable** table;
    };
    const Slot named[] = {{"D", &d_},
                          {"TLoadtype", &tLoadtype_},
                          {"PileData", &pileData_},
                          {"pilecapsoil", &pilecapsoil_},
                          {"Multisoil", &multisoil_},
                          {"MultiElement", &multiElement_},
                          {"Pilecoord", &pilecoord_},
                          {"Dtransient", &dtransient_},
                          {"Trandom", &trandom_},
                          {"Tspectrum", &tspectrum_},
                          {"D1", &d1_},
                          {"TBattered", &tBattered_},
                          {"MassCal", &massCal_}};
    for (auto& t : owned_) tables_.push_back(t.get());
    for (const Slot& s : named) {
        *s.table = TableByName(QString::fromLatin1(s.name));
        if (!*s.table)
            throw EReadError(QStringLiteral("Table %1 missing in %2").arg(QString::fromLatin1(s.name), tableResource));
    }
    previousMain_ = gMain;
    gMain = this;
    project_ = TProgramData::CreateDefault(*this);
}

TProjectHolder::~TProjectHolder() {
    project_.reset();
    if (gMain == this) gMain = previousMain_;
    // Tables die in reverse creation order, so sub-tables never outlive
    // the templates they were cloned from.
    while (!owned_.empty()) owned_.pop_back();
}

TGridTable* TProjectHolder::TableByName(const QString& name) const {
    for (TGridTable* t : tables_)
        if (t->Name == name) return t;
    return nullptr;
}

void TProjectHolder::ReplaceProject(const std::function<std::unique_ptr<TProgramData>()>& build) {
    lastMessage_.clear();
    // The child windows go first, so that none of them sees a freed project.
    CloseAllChildren();
    struct TReplacing {
        bool& flag;
        ~TReplacing() { flag = false; }
    } replacing{replacing_ = true};
    project_.reset();
    // Whatever fails on the way, the program keeps a project: the new
    // default one, or at the least a bare one over the tables as they are.
    try {
        project_ = build();
        return;
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    }
    try {
        project_ = TProgramData::CreateDefault(*this);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
        project_ = std::make_unique<TProgramData>(*this);
        project_->SetDefaultFields();
    }
}

void TProjectHolder::NewProject() {
    ReplaceProject([this] { return TProgramData::CreateDefault(*this); });
}

void TProjectHolder::OpenProject(const QString& fileName) {
    ReplaceProject([&] {
        QDir::setCurrent(QFileInfo(fileName).absolutePath());
        // A save of this project cut short is completed (or undone) first,
        // and no other program saves it while it is read.
        std::unique_ptr<TProgramData> read;
        const QString note = RecoverFileSet(ProjectFileSet(fileName),
                                            [&] { read = TProgramData::CreateFromFile(*this, fileName, 0); });
        if (!note.isEmpty()) ShowMessage(note);
        return read;
    });
}

void TProjectHolder::SetModified(bool flag) {
    modified_ = flag;
    if (!flag)
        for (TGridTable* t : tables_) t->SetModified(false);
}

bool TProjectHolder::IsModified() const {
    if (modified_) return true;
    for (TGridTable* t : tables_)
        if (t->Modified()) return true;
    return false;
}

void TProjectHolder::ShowMessage(const QString& text) {
    lastMessage_ = text;
    if (OnShowMessage) OnShowMessage(text);
}

}  // namespace vortn
