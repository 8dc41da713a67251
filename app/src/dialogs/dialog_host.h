// What the input dialogs need from the main window: the project and its
// tables, the modified flag, the window and MDI area that host them, one open
// flag per dialog, and the tracking of which dialog is active.
//
// Qt's activation order differs from the one the dialogs are written for:
// switching MDI children first sends the focused entry box a focus-out (the
// box checks its entry there), and only then reports the new active child;
// switching to another application or opening a pop-up also moves the
// focus. The host turns this into the dialogs' activate/deactivate steps:
//   - a dialog deactivates only when another window of this program becomes
//     active (another MDI child, the main window's own area, a top-level
//     dialog); application switches, pop-ups and message boxes are ignored;
//   - a refused deactivation brings the dialog back to the front from a
//     zero-time timer, after Qt has finished its own activation;
//   - re-activating the dialog that is still current does nothing, so
//     coming back from another application keeps the unsaved entries.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace vortn {

class TInputDialog;
class TProgramData;
class TProjectHolder;

// The dialogs created on demand, one open flag each.
enum class TDialogKind {
    PileCapProperties,     // TfrmNCPileProperties
    PileProperties,        // TfrmCPileProperties
    Title,                 // TdlgTitle
    Options,               // TDlgOptions
    Shape,                 // TfrmShape
    Layout,                // TfrmLayout
    MassData,              // TfrmMassdata
    FoundationData,        // TfrmFoundations
    FoundationProperties,  // TfrmMultimat
    SoilBelow,             // TfrmTipsoil
    Harmonic,              // Tfrmharmonic
    Quadratic,             // TfrmQuad
    Transient,             // Tfrmtransient
    Random,                // Tfrmrandom
};
constexpr int kDialogKindCount = int(TDialogKind::Random) + 1;

class TDialogHost : public QObject {
    Q_OBJECT
public:
    // `mdiArea` may be null: the MDI dialogs then become top-level windows
    // parented to `mainWindow`.
    TDialogHost(TProjectHolder& holder, QWidget* mainWindow, QMdiArea* mdiArea);
    ~TDialogHost() override;

    TProjectHolder& Holder() const { return holder_; }
    TProgramData& Project() const;
    void SetModified(bool flag);
    QWidget* MainWindow() const { return mainWindow_; }
    QMdiArea* MdiArea() const { return mdiArea_; }

    // Main-window services the dialogs call; no-ops until set.
    std::function<void()> OnUpdateFoundationMenu;
    std::function<QString()> GetEditorPath;
    std::function<void(const QString&)> SetEditorPath;
    void UpdateFoundationMenu() {
        if (OnUpdateFoundationMenu) OnUpdateFoundationMenu();
    }
    // The folder of the program file (the footing pictures lie there).
    QString ProgramFolder() const;
    void SetProgramFolder(const QString& folder) { programFolder_ = folder; }
    // Information box with an OK button over the main window.
    void ShowMessage(const QString& text);

    // From the dialog's creation until its own close (or its freeing).
    bool IsOpen(TDialogKind kind) const { return !dialogs_[int(kind)].isNull(); }
    TInputDialog* Dialog(TDialogKind kind) const;
    // Creates the dialog when it is not open, else brings it to the front.
    TInputDialog* OpenDialog(TDialogKind kind);
    // Closes the dialog the normal way (check and write-back) when it is open.
    void CloseDialog(TDialogKind kind);

    // The active dialog's deactivate step (before a menu opens, before a
    // command, before closing); false when the dialog refused it.
    bool DeactivateActiveChild();
    // Re-runs the activate step of every open dialog (after a unit change).
    void RefreshOpenDialogs();
    // New and Open: closes every dialog at once, without a check or a
    // write-back, before the project is replaced.
    void ForceCloseAll();
    // Exit: closes every dialog the normal way; false when one refuses.
    bool CloseAll();
    TInputDialog* ActiveDialog() const;

    // ---- used by the dialogs themselves
    void DialogClosed(TInputDialog* dialog);
    // A window of the program became active: `dialog`, or null for any
    // other window of the program (table editor, the main window's area).
    void WindowActivated(TInputDialog* dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SubWindowActivated(QMdiSubWindow* sub);
    TInputDialog* Create(TDialogKind kind);

    TProjectHolder& holder_;
    QWidget* mainWindow_;
    QMdiArea* mdiArea_;
    std::array<QPointer<TInputDialog>, kDialogKindCount> dialogs_{};
    QPointer<TInputDialog> current_;
    QString programFolder_;
};

// Creates the dialog of `kind` (the forms' factory).
TInputDialog* CreateInputDialog(TDialogHost& host, TDialogKind kind);

}  // namespace vortn
