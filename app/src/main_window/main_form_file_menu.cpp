// Main window: the File menu: projects, the recent-file list, the settings,
// the 3D view's bitmap, page set-up and print, and Exit.
#include "main_form.h"

#include "app_settings.h"
#include "block_view.h"
#include "display_name.h"
#include "exceptions.h"
#include "result_age.h"
#include "side_files.h"
#include "ui_MainForm.h"
#include "unwritten_rows.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>

namespace vortn {

namespace {
// File dialogs start in the project's folder (a new project's is the current one).
QString FolderOf(const QString& projectFile) { return QFileInfo(projectFile).absolutePath(); }

QString ProjectFilter() {
    return QStringLiteral("VORT-N ") + TMainForm::GetVersion() + QStringLiteral(" (*.vtd);;All Files (*)");
}

// Why `fileName` cannot become the project's file (empty: it can). A project
// file begins with its title line; anything else (a picture, an engine deck
// written by hand) would be replaced by a deck at the next save.
QString RefusalToOpen(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("The file \"%1\" could not be opened: %2").arg(fileName, file.errorString());
    if (!file.readLine(64).startsWith("TITLE="))
        return QStringLiteral("The file \"%1\" is not a VORT-N project file.").arg(fileName);
    // Refused before it is read whole: the current project stays.
    return ProjectFileTooLarge(fileName);
}
}  // namespace

void TMainForm::ReadSettings(bool createKey) {
    TStoredSettings s;
    s.Editor = editorPath_;
    s.Recent = recent_;
    if (createKey) {
        // Creation reads only the editor; a failure leaves it as it was.
        if (ReadStoredSettings(s, false)) editorPath_ = s.Editor;
        return;
    }
    if (ReadStoredSettings(s, true)) {
        editorPath_ = s.Editor;
        recent_ = s.Recent;
    } else {
        editorPath_.clear();
        recent_.Clear();
    }
    recent_.Recount();
}

void TMainForm::WriteSettings() {
    TStoredSettings s;
    s.Editor = editorPath_;
    s.Recent = recent_;
    WriteStoredSettings(s);
}

void TMainForm::UpdatePrevFile(const QString& name) {
    recent_.MoveToFront(name);
    WriteSettings();
    recent_.Recount();
}

void TMainForm::FileMenuClick() {
    DeactivateActiveChild();
    const QString dir = QDir::currentPath();
    for (int k = 0; k < TRecentFiles::Capacity; ++k) {
        const bool used = k < recent_.Count();
        recentItems_[k]->setVisible(used);
        if (used) recentItems_[k]->setText(recent_.Caption(k, dir));
    }
    ui_->FileRecentSeparator->setVisible(recent_.Count() > 0);
}

void TMainForm::RecentFileClick(int index) {
    if (!DeactivateActiveChild() || !GuardIdle() || index < 0 || index >= TRecentFiles::Capacity) return;
    const QString name = recent_.Name(index);
    if (name.isEmpty() || !QuerySaveChanges()) return;
    OpenFileName(name);
}

bool TMainForm::GuardIdle() {
    if (!running_) return true;
    ShowMessage(QStringLiteral("An analysis is running. Please wait until it has finished."));
    return false;
}

bool TMainForm::ReplaceProject(const std::function<void()>& build) {
    // Children read the project and the tables: they go first. A child that
    // refuses to close (an invalid entry) keeps the project as it is.
    if (!CloseAllChildren()) return false;
    build();
    UpdateLoadingMenu();
    UpdateFoundationMenu();
    ClearResults();
    const QString plotFile = ChangeFileExt(Project().FileName, QStringLiteral(".vtp"));
    // Results beside a project not named .vtd may be another project's.
    if (!IsNewProjectFile(Project().FileName) && QFileInfo(plotFile).isFile() &&
        OtherOwnerOfSideFiles(Project().FileName).isEmpty() && LoadPlotData(plotFile, false)) {
        resultsCurrent_ = !ResultsOlderThanProject(Project().FileName, plotFile);
        if (!resultsCurrent_) ShowMessage(OlderResultsMessage(plotFile));
    }
    UpdateCaption();
    return true;
}

void TMainForm::OpenFileName(const QString& name) {
    if (!GuardIdle()) return;
    const QString full = QFileInfo(name).absoluteFilePath();
    if (!QFileInfo(full).isFile()) {
        ShowMessage(QStringLiteral("The file \"%1\" does not exist.").arg(full));
        return;
    }
    if (OpenProjectFile(full)) UpdatePrevFile(full);
}

bool TMainForm::OpenProjectFile(const QString& fullName) {
    const QString refusal = RefusalToOpen(fullName);
    if (!refusal.isEmpty()) {
        ShowMessage(refusal);
        return false;
    }
    if (!ReplaceProject([&] { holder_->OpenProject(fullName); })) return false;
    // The reader shows its message and keeps what it read: the file holds
    // more than the window, so it is not replaced without asking.
    partlyReadFile_ = holder_->LastMessage().isEmpty() ? QString() : fullName;
    // A deck read whole beside an empty side file: the project is as read,
    // the user learns what the next save puts right.
    if (partlyReadFile_.isEmpty())
        if (const QString notice = EmptySideFilesNotice(fullName); !notice.isEmpty()) ShowMessage(notice);
    return true;
}

void TMainForm::OpenDroppedFile(const QString& fileName) {
    try {
        // As File Open: the active dialog's entries first, then the save question.
        if (!DeactivateActiveChild() || !GuardIdle()) return;
        const QString full = QFileInfo(fileName).absoluteFilePath();
        if (!QFileInfo(full).isFile()) return;
        const QString refusal = RefusalToOpen(full);
        if (!refusal.isEmpty()) {
            ShowMessage(refusal);
            return;
        }
        if (!QuerySaveChanges()) return;
        OpenProjectFile(full);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    }
}

bool TMainForm::QuerySaveChanges() {
    if (!IsModified()) return true;
    const int answer = AskQuestion(QStringLiteral("Do you want to save any changes?"),
                                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::No) return true;
    if (!FileSaveClick()) return false;
    return !IsNewProjectFile(Project().FileName);
}

void TMainForm::FileNewClick() {
    try {
        // The shortcut commits the active dialog's entries, as the menu does.
        if (!DeactivateActiveChild() || !GuardIdle() || !QuerySaveChanges()) return;
        if (ReplaceProject([&] { holder_->NewProject(); }) && view3DOpen_) Close3DView();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    }
}

void TMainForm::FileOpenClick() {
    try {
        if (!DeactivateActiveChild() || !GuardIdle() || !QuerySaveChanges()) return;
        QString name;
        if (OpenNameHook) {
            name = OpenNameHook(QStringLiteral("Open"), FolderOf(Project().FileName));
        } else {
            QFileDialog dialog(this, QStringLiteral("Open"), FolderOf(Project().FileName), ProjectFilter());
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setDefaultSuffix(QStringLiteral("vtd"));
            if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
                name = dialog.selectedFiles().first();
        }
        if (!name.isEmpty()) OpenFileName(name);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    }
}

bool TMainForm::FileSaveClick() {
    if (!DeactivateActiveChild()) return false;
    if (IsNewProjectFile(Project().FileName)) return FileSaveAsClick();
    if (Project().FileName == partlyReadFile_) {
        // Yes, the default, keeps the file.
        const int answer = AskQuestion(
                QStringLiteral("The file \"%1\" could not be read whole. Saving it would replace it with the data "
                               "read so far.\n\nDo you want to save the project under another name?")
                        .arg(QDir::toNativeSeparators(Project().FileName)),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer == QMessageBox::Yes) return FileSaveAsClick();
        if (answer != QMessageBox::No) return false;
    }
    if (!ConfirmUnwrittenRows()) return false;
    try {
        const TEngineInput before = ReadEngineInput(Project().FileName);
        Project().SaveToFile();
        partlyReadFile_.clear();
        KeepResultsCurrent(before);
        return true;
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
        return false;
    }
}

bool TMainForm::FileSaveAsClick() {
    if (!DeactivateActiveChild() || !ConfirmUnwrittenRows()) return false;
    const QString title = QStringLiteral("Save ") + GetDisplayName(Project().FileName) + QStringLiteral(" As");
    QString name;
    if (SaveNameHook) {
        name = SaveNameHook(title, Project().FileName);
    } else {
        QFileDialog dialog(this, title, FolderOf(Project().FileName), ProjectFilter());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("vtd"));
        dialog.selectFile(Project().FileName);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            name = dialog.selectedFiles().first();
    }
    if (name.isEmpty()) return false;
    const QString full = QFileInfo(name).absoluteFilePath();
    const QString previous = Project().FileName;
    try {
        Project().FileName = full;
        UpdateCaption();
        Project().SaveToFile();
    } catch (const std::exception& e) {
        Project().FileName = previous;
        UpdateCaption();
        ShowMessage(QString::fromUtf8(e.what()));
        return false;
    }
    // A name chosen in the save dialog is the user's consent to replace it.
    if (full == partlyReadFile_) partlyReadFile_.clear();
    UpdatePrevFile(full);
    return true;
}

// Results are taken for an earlier input's when their plot data is older
// than the project file; a save that wrote the input the results were
// computed from leaves them current, so their plot data is dated with it.
void TMainForm::KeepResultsCurrent(const TEngineInput& before) {
    if (!resultsCurrent_ || !resultsLoaded_) return;
    if (ReadEngineInput(Project().FileName) != before) {
        resultsCurrent_ = false;
        return;
    }
    const QString plotFile = ChangeFileExt(Project().FileName, QStringLiteral(".vtp"));
    if (QFileInfo(plotFile).isFile()) TouchFile(plotFile);
}

bool TMainForm::ConfirmUnwrittenRows() {
    const std::vector<TUnwrittenRows> rows = UnwrittenRows(Project());
    if (rows.empty()) return true;
    return AskQuestion(UnwrittenRowsQuestion(rows), QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel) ==
           QMessageBox::Yes;
}

void TMainForm::FileExitClick() { close(); }

void TMainForm::FileSaveBitmapClick() {
    if (view3D_) view3D_->SaveBitmapButtonClick();
}

void TMainForm::FilePageSetupClick() {
    if (view3D_) view3D_->PageSetupButtonClick();
}

void TMainForm::FilePrintPageClick() {
    if (view3D_) view3D_->PrintButtonClick();
}

}  // namespace vortn
