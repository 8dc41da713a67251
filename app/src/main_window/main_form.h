// The program's MDI frame window: owns the project holder (grid tables and
// project object), the eighteen result plots and the recent-file list,
// carries the menus and hosts every dialog, table editor, view and plot
// window as an MDI child.
#pragma once

#include "dialog_host.h"
#include "mdi_dialogs.h"
#include "project_holder.h"
#include "recent_files.h"
#include "result_age.h"
#include "result_plots.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QMdiArea;
class QMenu;
class QMimeData;

namespace Ui {
class TMainForm;
}

namespace vortn {

class TAboutBox;
class TDlgAmpPlot;
class TDlgBlock;
class TDlgSideViewXZ;
class TDlgSideViewYZ;
class TDlgTopView;
class TDlgRunAnalysis;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    static QString GetVersion();
    // "VORT-N 3.0.12 - " + the display name of the project file.
    static QString CaptionFor(const QString& projectFile);

    Ui::TMainForm& Form() const { return *ui_; }
    QMdiArea* MdiArea() const;
    TProjectHolder& Holder() const { return *holder_; }
    TProgramData& Project() const { return holder_->Project(); }
    TResultPlots& Plots() { return plots_; }
    TRecentFiles& Recent() { return recent_; }
    // The input dialogs of the Data menu (main_form_data_menu.cpp).
    TDialogHost& Dialogs() const { return *dialogs_; }
    TDlgAmpPlot* AmpPlot() const { return ampPlot_; }
    TAboutBox* AboutBox() const { return aboutBox_; }
    TDlgRunAnalysis* RunProgress() const { return runProgress_; }

    const QString& EditorPath() const { return editorPath_; }
    void SetEditorPath(const QString& path) { editorPath_ = path; }
    const QString& ViewerPath() const { return viewerPath_; }
    bool ResultsLoaded() const { return resultsLoaded_; }
    bool Is3DViewOpen() const { return view3DOpen_; }
    // The geometry views while they are open (null otherwise).
    TDlgTopView* TopView() const;
    TDlgSideViewXZ* SideViewXZ() const;
    TDlgSideViewYZ* SideViewYZ() const;
    TDlgBlock* View3DWindow() const;
    bool RunInProgress() const { return running_; }
    // The engine library the run loads (the program's folder + "libVrt3-comp.so").
    void SetEngineLibraryName(const QString& name) { engineLibrary_ = name; }

    // ---- operations other windows call ----
    void SetModified(bool flag);
    bool IsModified() const;
    // Commits the active child's entries (before a menu opens and before
    // every command); false when an entry is invalid: its message has been
    // shown, the child has the focus again and the command must not run.
    bool DeactivateActiveChild();
    bool CloseAllChildren();  // false when a child refused to close
    bool QuerySaveChanges();
    void OpenFileName(const QString& name);
    void UpdatePrevFile(const QString& name);
    void UpdateLoadingMenu();
    void UpdateFoundationMenu();
    void Open3DView();
    void Close3DView();
    void RefreshOpenDialogs();
    void UpdateCaption();
    // Reads a plot-data file into the result plots; false (plots emptied,
    // message when askOnError) on any reading error.
    bool LoadPlotData(const QString& fileName, bool askOnError);
    // The first command-line argument as the project name start-up opens
    // (empty: the default project).
    void SetStartupFile(const QString& argument) { startupArgument_ = argument; }
    // Files dropped on the window or the MDI area: the first local one is
    // opened as the project.
    void DropFiles(const QMimeData* data);

    // File dialogs go through these hooks so that tests can answer them; the
    // defaults show the real dialogs. Message boxes go through message_box.h.
    std::function<QString(const QString& title, const QString& start)> OpenNameHook;  // empty: cancelled
    std::function<QString(const QString& title, const QString& start)> SaveNameHook;
    void ShowMessage(const QString& text);
    // `defaultButton` (a QMessageBox::StandardButton) is what Enter answers.
    int AskQuestion(const QString& text, int buttons, int defaultButton = 0);

public slots:
    // start-up and closing
    void FormCreate();
    void FormShow();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();

    // File menu
    void FileMenuClick();
    void FileNewClick();
    void FileOpenClick();
    bool FileSaveClick();
    bool FileSaveAsClick();
    void FileExitClick();
    void RecentFileClick(int index);

    // Data menu (enabling here; item handlers in main_form_data_menu.cpp)
    void DataMenuClick();
    void DataTitleClick();
    void UnitsMenuClick();
    void UnitsClick(int tag);
    void DataLayoutClick();
    void LoadingOptionClick(int code);
    void DataShapeClick();
    void DataMassClick();
    void DataFoundationClick();
    void DataFoundationLayerClick();
    void DataPileCapMassClick();
    void DataPileCoordinatesClick();
    void DataPilePropertiesClick();
    void DataPileElementsClick();
    void DataSoilLayerClick();
    void DataSoilBelowClick();
    void DataSideSoilClick();
    void DataSoilColumnClick();
    void HarmonicMenuClick();
    void HarmonicClick(int quadratic);
    void DataTransientClick();
    void DataRandomClick();
    void DataOptionsClick();

    // Computation menu
    void ComputationMenuClick();
    void CompRunClick();
    void CompInputClick();
    void CompKernelClick();
    void CompOutputClick();

    // Graphics menu
    void GraphicsMenuClick();
    void ShowPlot(const QString& plotName);
    void AmpPlotClick();

    // View menu, 3D toolbar and "Show 3D View" menu (main_form_view_menu.cpp)
    void ViewMenuClick();
    void N3DView1Click();
    void TopViewClick();
    void SideViewXZClick();
    void SideViewYZClick();
    void View3DClick();
    void Show3DMenuClick();
    void Show3DOptionClick(int option);
    void SetViewClick(int view);
    void ReverseViewClick();
    void MouseModeClick(int mode);
    void ZoomClick(bool in);
    void RestartViewClick();
    void FileSaveBitmapClick();
    void FilePageSetupClick();
    void FilePrintPageClick();

    // Window menu
    void WindowMenuClick();
    void WindowItemClick(int index);

    // Help menu
    void HelpContentsClick();
    void HelpManualClick();
    void HelpAboutClick();
    void HelpUpdatesClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Connects a menu signal to a handler; an exception the handler lets
    // through is shown as a message and goes no further.
    template <class Sender, class Signal, class Handler>
    void Handle(Sender* sender, Signal signal, Handler handler) {
        connect(sender, signal, this, [this, handler] { Guarded(handler); });
    }
    void Guarded(const std::function<void()>& handler) noexcept;
    void ConnectMenus();
    void ConnectDataMenu();   // main_form_data_menu.cpp
    void CreateDialogHost();  // main_form_data_menu.cpp
    void OpenInputDialog(TDialogKind kind);
    void ShowTableEditor(TGridTable& table);
    void ConnectViewMenu();  // main_form_view_menu.cpp
    // Gives a remade window its state and frame position back.
    void KeepStateAndPlace(Qt::WindowStates state, QPoint place);
    void OpenDroppedFile(const QString& fileName);
    // Opens a project file (an absolute name); false, with a message, when it
    // is not one or a child window keeps the project.
    bool OpenProjectFile(const QString& fullName);
    bool ReplaceProject(const std::function<void()>& build);
    void ReadSettings(bool createKey);
    void WriteSettings();
    void OpenInEditor(const QString& fileName);
    void OpenHelpDocument(const QString& fileName);
    void ClearResults();
    void CloseResultWindows();
    QString ProgramFolder() const;
    bool GuardIdle();  // false (with a message) while a run is in progress
    // Names the typed rows the save will not write; false when the user
    // cancels the save for them.
    bool ConfirmUnwrittenRows();
    void KeepResultsCurrent(const TEngineInput& before);
    // The Data menu's fitting of the soil column to the foundation layers;
    // rows that hold values go only when the user agrees.
    void FitSoilColumn();

    std::unique_ptr<Ui::TMainForm> ui_;
    std::unique_ptr<TProjectHolder> holder_;
    TResultPlots plots_;
    TRecentFiles recent_;
    QString editorPath_, viewerPath_, engineLibrary_, startupArgument_;
    // The project file whose reading stopped at an error (empty: none).
    QString partlyReadFile_;
    // The soil column the user chose to keep longer than the foundation
    // leaves for it (foundation layers, adjacent layers, soil-column rows).
    std::array<int, 3> keptSoilColumn_{-1, -1, -1};
    bool resultsLoaded_ = false;
    // The loaded results are those of the input as last saved (a save that
    // writes the same input keeps them so: KeepResultsCurrent).
    bool resultsCurrent_ = false;
    bool view3DOpen_ = false;
    QPointer<TDlgTopView> topView_;
    QPointer<TDlgSideViewXZ> sideViewXZ_;
    QPointer<TDlgSideViewYZ> sideViewYZ_;
    QPointer<TDlgBlock> view3D_;
    bool running_ = false;
    bool shown_ = false;
    bool closing_ = false;
    std::array<QAction*, TRecentFiles::Capacity> recentItems_{};
    // The Window menu's separator and open-window items, made when it opens.
    QList<QAction*> windowItems_;
    TAboutBox* aboutBox_ = nullptr;
    TDlgRunAnalysis* runProgress_ = nullptr;
    TDlgAmpPlot* ampPlot_ = nullptr;
    TDialogHost* dialogs_ = nullptr;
};

// The one main window (null before it is made and after it is freed).
TMainForm* MainForm();

}  // namespace vortn
