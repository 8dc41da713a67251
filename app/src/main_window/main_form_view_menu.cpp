// Main window: the View menu, the 3D toolbar and the "Show 3D View" menu,
// forwarded to the geometry views, and the geometry viewer.
#include "main_form.h"

#include "block_view.h"
#include "engine_run.h"
#include "mdi_child.h"
#include "side_view.h"
#include "top_view.h"
#include "ui_MainForm.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QWindow>

namespace vortn {

void TMainForm::ConnectViewMenu() {
    Ui::TMainForm& f = *ui_;
    Handle(f.ViewMenu, &QMenu::aboutToShow, [this] { ViewMenuClick(); });
    Handle(f.N3DView1, &QAction::triggered, [this] { N3DView1Click(); });
    Handle(f.ViewTop, &QAction::triggered, [this] { TopViewClick(); });
    Handle(f.ViewSideXZ, &QAction::triggered, [this] { SideViewXZClick(); });
    Handle(f.ViewSideYZ, &QAction::triggered, [this] { SideViewYZClick(); });
    Handle(f.View3D, &QAction::triggered, [this] { View3DClick(); });
    Handle(f.Show3DMenu, &QMenu::aboutToShow, [this] { Show3DMenuClick(); });
    QAction* options[] = {f.Show3DFoundation, f.Show3DPiles,      f.Show3DPileNumbers,
                          f.Show3DSoilLayers, f.Show3DSoilLabels, f.Show3DDepthLabels};
    for (int i = 0; i < 6; ++i) Handle(options[i], &QAction::triggered, [this, i] { Show3DOptionClick(i + 1); });
    QAction* views[] = {f.ToolButton1, f.ToolButton2, f.ToolButton3, f.ToolButton4};
    for (int i = 0; i < 4; ++i) Handle(views[i], &QAction::triggered, [this, i] { SetViewClick(i + 1); });
    Handle(f.ToolButton5, &QAction::triggered, [this] { ReverseViewClick(); });
    // The four mouse modes are one group: one button down at a time.
    auto* modeGroup = new QActionGroup(this);
    QAction* modes[] = {f.ToolButton7, f.ToolButton8, f.ToolButton10, f.ToolButton9};
    for (int i = 0; i < 4; ++i) {
        modeGroup->addAction(modes[i]);
        Handle(modes[i], &QAction::triggered, [this, i] { MouseModeClick(i + 1); });
    }
    Handle(f.ToolButton12, &QAction::triggered, [this] { ZoomClick(true); });
    Handle(f.ToolButton13, &QAction::triggered, [this] { ZoomClick(false); });
    Handle(f.ToolButton14, &QAction::triggered, [this] { RestartViewClick(); });
    Handle(f.FileSaveBitmap, &QAction::triggered, [this] { FileSaveBitmapClick(); });
    Handle(f.FilePageSetup, &QAction::triggered, [this] { FilePageSetupClick(); });
    Handle(f.FilePrintPage, &QAction::triggered, [this] { FilePrintPageClick(); });
}

TDlgTopView* TMainForm::TopView() const { return topView_; }
TDlgSideViewXZ* TMainForm::SideViewXZ() const { return sideViewXZ_; }
TDlgSideViewYZ* TMainForm::SideViewYZ() const { return sideViewYZ_; }
TDlgBlock* TMainForm::View3DWindow() const { return view3D_; }

void TMainForm::ViewMenuClick() {
    // A view shows the project with the entry being typed committed.
    DeactivateActiveChild();
    ui_->N3DView1->setChecked(view3DOpen_);
}

void TMainForm::TopViewClick() {
    if (!DeactivateActiveChild()) return;
    OpenOnDemand(MdiArea(), topView_, [this] {
        auto* view = new TDlgTopView;
        view->SetHolder(holder_.get());
        return view;
    });
}

void TMainForm::SideViewXZClick() {
    if (!DeactivateActiveChild()) return;
    OpenOnDemand(MdiArea(), sideViewXZ_, [this] {
        auto* view = new TDlgSideViewXZ;
        view->SetHolder(holder_.get());
        return view;
    });
}

void TMainForm::SideViewYZClick() {
    if (!DeactivateActiveChild()) return;
    OpenOnDemand(MdiArea(), sideViewYZ_, [this] {
        auto* view = new TDlgSideViewYZ;
        view->SetHolder(holder_.get());
        return view;
    });
}

void TMainForm::View3DClick() {
    if (DeactivateActiveChild()) Open3DView();
}

void TMainForm::Open3DView() {
    Ui::TMainForm& f = *ui_;
    if (!view3DOpen_ || !view3D_) {
        auto* view = new TDlgBlock;
        view->SetHolder(holder_.get());
        view->OnFormClose = [this] { Close3DView(); };
        view3D_ = view;
        // The first OpenGL widget in a window made without OpenGL has Qt
        // remake the window, which the window manager then shows at its
        // normal size where it likes: the state and place are given back.
        const WId before = isVisible() ? winId() : 0;
        const Qt::WindowStates state = windowState();
        const QPoint place = pos();
        QMdiSubWindow* sub = AddMdiChild(MdiArea(), view);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        if (before && winId() != before) KeepStateAndPlace(state, place);
    }
    view3DOpen_ = true;
    f.ToolBar1->show();
    f.Show3DMenu->menuAction()->setVisible(true);
    f.FileBitmapSeparator->setVisible(true);
    f.FileSaveBitmap->setVisible(true);
    f.FilePrintPage->setVisible(true);
    QWidget* frame = view3D_->parentWidget() ? view3D_->parentWidget() : view3D_.data();
    frame->show();
    view3D_->show();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) MdiArea()->setActiveSubWindow(sub);
    // The mouse mode the toolbar shows holds for the new window too.
    QAction* modes[] = {f.ToolButton7, f.ToolButton8, f.ToolButton10, f.ToolButton9};
    for (int i = 0; i < 4; ++i)
        if (modes[i]->isChecked()) view3D_->SetMouseMode(i + 1, f.ToolButton9->isChecked());
}

void TMainForm::KeepStateAndPlace(Qt::WindowStates state, QPoint place) {
    QWindow* window = windowHandle();
    if (!window) return;
    if (window->windowStates() != state) window->setWindowStates(state);
    if (!(state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) window->setFramePosition(place);
}

void TMainForm::Close3DView() {
    Ui::TMainForm& f = *ui_;
    view3DOpen_ = false;
    f.ToolBar1->hide();
    f.Show3DMenu->menuAction()->setVisible(false);
    f.FileBitmapSeparator->setVisible(false);
    f.FileSaveBitmap->setVisible(false);
    f.FilePrintPage->setVisible(false);
}

void TMainForm::Show3DMenuClick() {
    if (!view3D_) return;
    Ui::TMainForm& f = *ui_;
    f.Show3DFoundation->setChecked(view3D_->ShowPileCap);
    f.Show3DPiles->setChecked(view3D_->ShowAllPiles);
    f.Show3DPileNumbers->setChecked(view3D_->ShowPileNumbers);
    f.Show3DSoilLayers->setChecked(view3D_->ShowSoilLayers);
    f.Show3DSoilLabels->setChecked(view3D_->ShowSoilLayerLabels);
    f.Show3DDepthLabels->setChecked(view3D_->ShowSoilLayerDepthLabels);
}

void TMainForm::Show3DOptionClick(int option) {
    if (!view3D_) return;
    switch (option) {
        case 1:
            view3D_->ShowPileCapOption();
            break;
        case 2:
            view3D_->ShowAllPilesOption();
            break;
        case 3:
            view3D_->ShowPileNumbersOption();
            break;
        case 4:
            view3D_->ShowSoilLayersOption();
            break;
        case 5:
            view3D_->ShowSoilLayerLabelsOption();
            break;
        case 6:
            view3D_->ShowSoilLayerDepthLabelsOption();
            break;
        default:
            break;
    }
    Show3DMenuClick();
}

void TMainForm::SetViewClick(int view) {
    if (view3D_) view3D_->SetView(view);
}

void TMainForm::ReverseViewClick() {
    if (view3D_) view3D_->ReverseView();
}

void TMainForm::MouseModeClick(int mode) {
    if (view3D_) view3D_->SetMouseMode(mode, ui_->ToolButton9->isChecked());
}

void TMainForm::ZoomClick(bool in) {
    if (view3D_) view3D_->Zooming(in ? 1.4142L : 1 / 1.4142L);
}

void TMainForm::RestartViewClick() {
    if (view3D_) view3D_->RestartViewButtonClick();
}

void TMainForm::N3DView1Click() {
    try {
        if (!FileSaveClick() || IsNewProjectFile(Project().FileName)) return;
        const QString folder = ProgramFolder();
        viewerPath_ = folder + QStringLiteral("/Vrt3-viewer");
        if (!QFileInfo(viewerPath_).isExecutable()) {
            ShowMessage(QStringLiteral("The geometry viewer \"%1\" is not installed.").arg(viewerPath_));
            return;
        }
        const QStringList names = ViewerNames(QFileInfo(Project().FileName).absoluteFilePath());
        const QString refusal = CheckEngineNames(names);
        if (!refusal.isEmpty()) {
            ShowMessage(refusal);
            return;
        }
        // The viewer reads names.dat from its working folder, which stays for it.
        const QString workFolder = QFileInfo(Project().FileName).absolutePath();
        WriteNamesFile(workFolder + QStringLiteral("/names.dat"), names);
        if (!QProcess::startDetached(viewerPath_, {}, workFolder))
            ShowMessage(QStringLiteral("An error occurred in running the Graphics Processor"));
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    }
}

}  // namespace vortn
