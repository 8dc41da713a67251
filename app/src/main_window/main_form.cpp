// Main window: construction, start-up, closing, modified flag, child
// windows, caption and dropped files.
#include "main_form.h"

#include "amp_plot.h"
#include "app_settings.h"
#include "child_form.h"
#include "dialog_host.h"
#include "display_name.h"
#include "exceptions.h"
#include "grid_editor.h"
#include "handler_guard.h"
#include "input_dialog.h"
#include "mdi_child.h"
#include "message_box.h"
#include "plot_window.h"
#include "program_icon.h"
#include "small_windows.h"
#include "ui_MainForm.h"
#include "window_on_screen.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QUrl>

namespace vortn {

namespace {
TMainForm* gMainForm = nullptr;
}

TMainForm* MainForm() { return gMainForm; }

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TMainForm>()), holder_(std::make_unique<TProjectHolder>()) {
    ui_->setupUi(this);
    gMainForm = this;
    // The MDI children take this icon from the main window.
    setWindowIcon(ProgramIcon());
    // The designed size may not fit a small or scaled screen.
    KeepOpeningFrameOnScreen(this);
    // A maximized plot does not maximize the next window activated (a small
    // dialog has no use for the whole area).
    MdiArea()->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    engineLibrary_ = ProgramFolder() + QStringLiteral("/libVrt3-comp.so");
    holder_->OnCloseAllChildren = [this] { CloseAllChildren(); };
    holder_->OnRefreshOpenDialogs = [this] { RefreshOpenDialogs(); };
    holder_->OnShowMessage = [this](const QString& text) { ShowMessage(text); };
    KeepMdiChildrenInside(MdiArea());
    InstallGridEditor(MdiArea());
    // A row command waits while an input dialog refuses its entry.
    SetRowCommandCheck([this] { return !dialogs_ || !dialogs_->ActiveDialog() || dialogs_->DeactivateActiveChild(); });
    InstallPlotWindowFactory(MdiArea());
    ConnectMenus();
    ConnectDataMenu();
    ConnectViewMenu();
    FormCreate();
    // The windows the program makes once, in start-up order.
    aboutBox_ = new TAboutBox(this);
    runProgress_ = new TDlgRunAnalysis(this);
    ampPlot_ = new TDlgAmpPlot(plots_, this);
    // Each opens inside the screen, as the main window does.
    for (QWidget* window :
         {static_cast<QWidget*>(aboutBox_), static_cast<QWidget*>(runProgress_), static_cast<QWidget*>(ampPlot_)})
        KeepOpeningFrameOnScreen(window);
}

TMainForm::~TMainForm() {
    closing_ = true;
    SetRowCommandCheck(nullptr);
    // The input dialogs go first: they tell this window when they close.
    delete dialogs_;
    dialogs_ = nullptr;
    // Windows that show the plots and tables die before them.
    if (MdiArea()) {
        const auto subs = MdiArea()->subWindowList();
        for (QMdiSubWindow* sub : subs) delete sub;
    }
    if (gMainForm == this) gMainForm = nullptr;
}

QString TMainForm::GetVersion() { return ProgramVersion(); }

QString TMainForm::CaptionFor(const QString& projectFile) {
    return QStringLiteral("VORT-N ") + GetVersion() + QStringLiteral(" - ") + GetDisplayName(projectFile);
}

QMdiArea* TMainForm::MdiArea() const { return ui_->MdiArea; }

QString TMainForm::ProgramFolder() const { return QCoreApplication::applicationDirPath(); }

void TMainForm::ShowMessage(const QString& text) { InformationBox(this, text); }

int TMainForm::AskQuestion(const QString& text, int buttons, int defaultButton) {
    return QuestionBox(this, text, buttons, defaultButton);
}

void TMainForm::Guarded(const std::function<void()>& handler) noexcept {
    RunGuarded(handler, [this](const QString& text) { ShowMessage(text); });
}

// ---- start-up ----

void TMainForm::ConnectMenus() {
    Ui::TMainForm& f = *ui_;
    Handle(f.FileMenu, &QMenu::aboutToShow, [this] { FileMenuClick(); });
    Handle(f.FileNew, &QAction::triggered, [this] { FileNewClick(); });
    Handle(f.FileOpen, &QAction::triggered, [this] { FileOpenClick(); });
    Handle(f.FileSave, &QAction::triggered, [this] { FileSaveClick(); });
    Handle(f.FileSaveAs, &QAction::triggered, [this] { FileSaveAsClick(); });
    Handle(f.FileExit, &QAction::triggered, [this] { FileExitClick(); });
    Handle(f.DataMenu, &QMenu::aboutToShow, [this] { DataMenuClick(); });
    Handle(f.ComputationMenu, &QMenu::aboutToShow, [this] { ComputationMenuClick(); });
    Handle(f.CompRun, &QAction::triggered, [this] { CompRunClick(); });
    Handle(f.CompInput, &QAction::triggered, [this] { CompInputClick(); });
    Handle(f.CompKernel, &QAction::triggered, [this] { CompKernelClick(); });
    Handle(f.CompOutput, &QAction::triggered, [this] { CompOutputClick(); });
    Handle(f.GraphicsMenu, &QMenu::aboutToShow, [this] { GraphicsMenuClick(); });
    const std::pair<QAction*, const char*> plotItems[] = {{f.GraphKXX, "pltRealKXX"}, {f.GraphKPPX, "pltRealKPPX"},
                                                          {f.GraphCXX, "pltDampCXX"}, {f.GraphCPPX, "pltDampCPPX"},
                                                          {f.GraphDisp, "pltDxyzR"},  {f.GraphRot, "pltMxyzR"}};
    for (const auto& [item, plot] : plotItems) {
        const QString name = QLatin1String(plot);
        Handle(item, &QAction::triggered, [this, name] { ShowPlot(name); });
    }
    Handle(f.GraphAmp, &QAction::triggered, [this] { AmpPlotClick(); });
    Handle(f.WindowMenu, &QMenu::aboutToShow, [this] { WindowMenuClick(); });
    connect(f.WindowCascade, &QAction::triggered, this, [this] { CascadeMdiChildren(MdiArea()); });
    connect(f.WindowArrange, &QAction::triggered, this, [this] { ArrangeIcons(MdiArea()); });
    Handle(f.HelpContents, &QAction::triggered, [this] { HelpContentsClick(); });
    Handle(f.HelpManual, &QAction::triggered, [this] { HelpManualClick(); });
    Handle(f.HelpAbout, &QAction::triggered, [this] { HelpAboutClick(); });
    Handle(f.HelpUpdates, &QAction::triggered, [this] { HelpUpdatesClick(); });
}

void TMainForm::FormCreate() {
    Ui::TMainForm& f = *ui_;
    setAcceptDrops(true);
    MdiArea()->viewport()->setAcceptDrops(true);
    MdiArea()->viewport()->installEventFilter(this);

    ReadSettings(true);

    auto* units = new QActionGroup(this);
    units->addAction(f.UnitsEnglish);
    units->addAction(f.UnitsSI);

    if (editorPath_.isEmpty()) editorPath_ = DefaultEditorPath();

    // Designer names no separator: the form's are named actions made separators here.
    for (QAction* a : {f.FileRecentSeparator, f.FileBitmapSeparator}) a->setSeparator(true);
    for (int k = 0; k < TRecentFiles::Capacity; ++k) {
        auto* item = new QAction(this);
        item->setVisible(false);
        Handle(item, &QAction::triggered, [this, k] { RecentFileClick(k); });
        f.FileMenu->insertAction(f.FileBitmapSeparator, item);
        recentItems_[k] = item;
    }
    recent_.Clear();

    holder_->D().SetComments(QStringLiteral(
            "Weak Zone Shear Moduli Ratio is suggested to be:\r- 0.25 to 0.50 for machine foundations,\r"
            "- less than 0.25 for seismic response.\rA value of 1 indicates no reduction will be considered\r"
            "A value of 0 may generate numerical errors."));

    f.N3DView1->setCheckable(true);
    f.ToolBar1->hide();
    f.Show3DMenu->menuAction()->setVisible(false);
    UpdateCaption();
}

void TMainForm::FormShow() {
    ReadSettings(false);
    if (editorPath_.isEmpty()) editorPath_ = DefaultEditorPath();
    bool opened = false;
    if (!startupArgument_.isEmpty()) {
        const QString name = CommandLineProjectName(startupArgument_, QDir::currentPath());
        if (QFileInfo(name).isFile()) opened = OpenProjectFile(name);
    }
    if (!opened) ReplaceProject([&] { holder_->NewProject(); });
    UpdateLoadingMenu();
    UpdateCaption();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
        FormActivate();
    }
}

void TMainForm::FormActivate() {
    Ui::TMainForm& f = *ui_;
    const TLoadingType code = Project().Loading();
    f.LoadHarmonic->setChecked(code == TLoadingType::Harmonic);
    f.LoadTransient->setChecked(code == TLoadingType::Transient);
    f.LoadRandom->setChecked(code == TLoadingType::Random);
    f.DataHarmonic->menuAction()->setEnabled(code == TLoadingType::Harmonic);
    f.DataTransient->setEnabled(code == TLoadingType::Transient);
    f.DataRandom->setEnabled(code == TLoadingType::Random);
    f.DataPileCoordinates->setEnabled(false);
}

void TMainForm::UpdateCaption() { setWindowTitle(CaptionFor(Project().FileName)); }

bool TMainForm::FormCloseQuery() {
    if (running_) return false;
    return DeactivateActiveChild() && QuerySaveChanges();
}

void TMainForm::FormClose() {
    WriteSettings();
    CloseAllChildren();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    try {
        if (!FormCloseQuery()) {
            event->ignore();
            return;
        }
        FormClose();
        event->accept();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
        event->ignore();
    }
}

void TMainForm::SetModified(bool flag) { holder_->SetModified(flag); }

bool TMainForm::IsModified() const { return holder_->IsModified(); }

bool TMainForm::DeactivateActiveChild() {
    if (dialogs_ && dialogs_->ActiveDialog()) return dialogs_->DeactivateActiveChild();
    // The current child, also while another application is active (a drop).
    QMdiSubWindow* sub = MdiArea()->currentSubWindow();
    auto* child = sub ? dynamic_cast<TChildForm*>(sub->widget()) : nullptr;
    return !child || child->CommitChild();
}

bool TMainForm::CloseAllChildren() {
    // The input dialogs close without a check or a write-back: the project
    // they show is about to be replaced, or the program ends.
    if (dialogs_) dialogs_->ForceCloseAll();
    const auto subs = MdiArea()->subWindowList();
    bool all = true;
    for (QMdiSubWindow* sub : subs) all = sub->close() && all;
    // Closed windows free themselves later; they must be gone before the
    // project they show is replaced.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return all;
}

void TMainForm::RefreshOpenDialogs() {
    if (dialogs_) dialogs_->RefreshOpenDialogs();
    // The views reload too; the host has reloaded the input dialogs.
    const auto subs = MdiArea()->subWindowList();
    for (QMdiSubWindow* sub : subs)
        if (auto* child = dynamic_cast<TChildForm*>(sub->widget());
            child && !qobject_cast<TInputDialog*>(sub->widget()))
            child->ReloadChild();
    for (TGridTable* t : holder_->Tables()) t->RefreshEditor();
}

namespace {
QString FirstLocalFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}
}  // namespace

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == MdiArea()->viewport()) {
        if (event->type() == QEvent::DragEnter) {
            dragEnterEvent(static_cast<QDragEnterEvent*>(event));
            return true;
        }
        if (event->type() == QEvent::Drop) {
            dropEvent(static_cast<QDropEvent*>(event));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!FirstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMainForm::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    DropFiles(event->mimeData());
}

void TMainForm::DropFiles(const QMimeData* data) {
    const QString name = FirstLocalFile(data);
    if (!name.isEmpty()) OpenDroppedFile(name);
}

}  // namespace vortn
