// Main window: the View menu, the 3D toolbar and the "Show 3D View" menu,
// forwarded to the geometry views.
#include "main_form.h"

#include "block_view.h"
#include "mdi_child.h"
#include "side_view.h"
#include "top_view.h"
#include "ui_MainForm.h"

#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace vortn {

void TMainForm::ConnectViewMenu() {
    Ui::TMainForm& f = *ui_;
    connect(f.ViewMenu, &QMenu::aboutToShow, this, &TMainForm::ViewMenuClick);
    connect(f.N3DView1, &QAction::triggered, this, &TMainForm::N3DView1Click);
    connect(f.ViewTop, &QAction::triggered, this, &TMainForm::TopViewClick);
    connect(f.ViewSideXZ, &QAction::triggered, this, &TMainForm::SideViewXZClick);
    connect(f.ViewSideYZ, &QAction::triggered, this, &TMainForm::SideViewYZClick);
    connect(f.View3D, &QAction::triggered, this, &TMainForm::View3DClick);
    connect(f.Show3DMenu, &QMenu::aboutToShow, this, &TMainForm::Show3DMenuClick);
    const QAction* options[] = {f.Show3DFoundation, f.Show3DPiles,      f.Show3DPileNumbers,
                                f.Show3DSoilLayers, f.Show3DSoilLabels, f.Show3DDepthLabels};
    for (int i = 0; i < 6; ++i) connect(options[i], &QAction::triggered, this, [this, i] { Show3DOptionClick(i + 1); });
    const QAction* views[] = {f.ToolButton1, f.ToolButton2, f.ToolButton3, f.ToolButton4};
    for (int i = 0; i < 4; ++i) connect(views[i], &QAction::triggered, this, [this, i] { SetViewClick(i + 1); });
    connect(f.ToolButton5, &QAction::triggered, this, &TMainForm::ReverseViewClick);
    // The four mouse modes are one group: one button down at a time.
    auto* modeGroup = new QActionGroup(this);
    QAction* modes[] = {f.ToolButton7, f.ToolButton8, f.ToolButton10, f.ToolButton9};
    for (int i = 0; i < 4; ++i) {
        modeGroup->addAction(modes[i]);
        connect(modes[i], &QAction::triggered, this, [this, i] { MouseModeClick(i + 1); });
    }
    connect(f.ToolButton12, &QAction::triggered, this, [this] { ZoomClick(true); });
    connect(f.ToolButton13, &QAction::triggered, this, [this] { ZoomClick(false); });
    connect(f.ToolButton14, &QAction::triggered, this, &TMainForm::RestartViewClick);
    connect(f.FileSaveBitmap, &QAction::triggered, this, &TMainForm::FileSaveBitmapClick);
    connect(f.FilePageSetup, &QAction::triggered, this, &TMainForm::FilePageSetupClick);
    connect(f.FilePrintPage, &QAction::triggered, this, &TMainForm::FilePrintPageClick);
}

TDlgTopView* TMainForm::TopView() const { return topView_; }
TDlgSideViewXZ* TMainForm::SideViewXZ() const { return sideViewXZ_; }
TDlgSideViewYZ* TMainForm::SideViewYZ() const { return sideViewYZ_; }
TDlgBlock* TMainForm::View3DWindow() const { return view3D_; }

void TMainForm::ViewMenuClick() { ui_->N3DView1->setChecked(view3DOpen_); }

void TMainForm::TopViewClick() {
    OpenDialogByFlag(MdiArea(), openFlags_.TopView, topView_, [this] {
        auto* view = new TDlgTopView;
        view->SetHolder(holder_.get());
        return view;
    });
}

void TMainForm::SideViewXZClick() {
    OpenDialogByFlag(MdiArea(), openFlags_.SideViewXZ, sideViewXZ_, [this] {
        auto* view = new TDlgSideViewXZ;
        view->SetHolder(holder_.get());
        return view;
    });
}

void TMainForm::SideViewYZClick() {
    OpenDialogByFlag(MdiArea(), openFlags_.SideViewYZ, sideViewYZ_, [this] {
        auto* view = new TDlgSideViewYZ;
        view->SetHolder(holder_.get());
        return view;
    });
}

void TMainForm::View3DClick() { Open3DView(); }

void TMainForm::Open3DView() {
    Ui::TMainForm& f = *ui_;
    if (!view3DOpen_ || !view3D_) {
        auto* view = new TDlgBlock;
        view->SetHolder(holder_.get());
        view->OnFormClose = [this] { Close3DView(); };
        view3D_ = view;
        QMdiSubWindow* sub = AddMdiChild(MdiArea(), view);
        sub->setAttribute(Qt::WA_DeleteOnClose);
    }
    view3DOpen_ = true;
    f.ToolBar1->show();
    f.Show3DMenu->menuAction()->setVisible(true);
    bitmapSeparator_->setVisible(true);
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

void TMainForm::Close3DView() {
    Ui::TMainForm& f = *ui_;
    view3DOpen_ = false;
    f.ToolBar1->hide();
    f.Show3DMenu->menuAction()->setVisible(false);
    bitmapSeparator_->setVisible(false);
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
