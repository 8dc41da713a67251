// The application's project state until the main window owns it: the
// thirteen grid tables of the main window (read from its table resource),
// the one project object, replaced whole on New and Open, and the project's
// modified flag. The main window fills the hooks for its child windows and
// message boxes.
#pragma once

#include "grid_table.h"
#include "program_data.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace vortn {

class TProjectHolder {
public:
    // Reads the thirteen tables from the main window's table resource and
    // builds the default project.
    explicit TProjectHolder(const QString& tableResource = DefaultTableResource());
    ~TProjectHolder();
    TProjectHolder(const TProjectHolder&) = delete;
    TProjectHolder& operator=(const TProjectHolder&) = delete;

    static QString DefaultTableResource();
    // The holder whose project is the program's one project (the latest
    // holder still alive).
    static TProjectHolder* Main();

    // The tables, by their names in the form.
    TGridTable& D() const { return *d_; }
    TGridTable& D1() const { return *d1_; }
    TGridTable& pilecapsoil() const { return *pilecapsoil_; }
    TGridTable& Multisoil() const { return *multisoil_; }
    TGridTable& MultiElement() const { return *multiElement_; }
    TGridTable& PileData() const { return *pileData_; }
    TGridTable& Pilecoord() const { return *pilecoord_; }
    TGridTable& TBattered() const { return *tBattered_; }
    TGridTable& TLoadtype() const { return *tLoadtype_; }
    TGridTable& Dtransient() const { return *dtransient_; }
    TGridTable& Trandom() const { return *trandom_; }
    TGridTable& Tspectrum() const { return *tspectrum_; }
    TGridTable& MassCal() const { return *massCal_; }
    const std::vector<TGridTable*>& Tables() const { return tables_; }
    TGridTable* TableByName(const QString& name) const;

    // The current project; never null once the holder is built.
    TProgramData& Project() const { return *project_; }
    // File New: frees the project, then builds the default one.
    void NewProject();
    // File Open: frees the project, then reads the file (reading errors go
    // to ShowMessage; the project read so far is kept).
    void OpenProject(const QString& fileName);

    // Modified flag: clearing it clears every table's flag too.
    void SetModified(bool flag);
    bool IsModified() const;

    // Main-window services; no-ops until the main window sets them.
    std::function<void()> OnCloseAllChildren;
    std::function<void()> OnRefreshOpenDialogs;
    std::function<void(const QString&)> OnShowMessage;  // information box, OK button
    // While New or Open replaces the project the children are closed already.
    void CloseAllChildren() {
        if (OnCloseAllChildren && !replacing_) OnCloseAllChildren();
    }
    void RefreshOpenDialogs() {
        if (OnRefreshOpenDialogs) OnRefreshOpenDialogs();
    }
    void ShowMessage(const QString& text);
    // The last message shown since the last New or Open (for callers without a message box).
    const QString& LastMessage() const { return lastMessage_; }

private:
    void ReplaceProject(const std::function<std::unique_ptr<TProgramData>()>& build);

    std::vector<std::unique_ptr<TGridTable>> owned_;
    std::vector<TGridTable*> tables_;
    TGridTable *d_ = nullptr, *d1_ = nullptr, *pilecapsoil_ = nullptr, *multisoil_ = nullptr, *multiElement_ = nullptr,
               *pileData_ = nullptr, *pilecoord_ = nullptr, *tBattered_ = nullptr, *tLoadtype_ = nullptr,
               *dtransient_ = nullptr, *trandom_ = nullptr, *tspectrum_ = nullptr, *massCal_ = nullptr;
    std::unique_ptr<TProgramData> project_;
    bool modified_ = false;
    bool replacing_ = false;
    QString lastMessage_;
    TProjectHolder* previousMain_ = nullptr;
};

// The program's one project object (of TProjectHolder::Main()).
TProgramData& ProgramData();

}  // namespace vortn
