// Main window: the View menu, the 3D toolbar and the "Show 3D View" menu,
// forwarded to the geometry views.
#include "main_form.h"

#include "ui_MainForm.h"

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
    const QAction* options[] = {f.Show3DFoundation, f.Show3DPiles, f.Show3DPileNumbers,
                                f.Show3DSoilLayers, f.Show3DSoilLabels, f.Show3DDepthLabels};
    for (int i = 0; i < 6; ++i)
        connect(options[i], &QAction::triggered, this, [this, i] { Show3DOptionClick(i + 1); });
    const QAction* views[] = {f.ToolButton1, f.ToolButton2, f.ToolButton3, f.ToolButton4};
    for (int i = 0; i < 4; ++i) connect(views[i], &QAction::triggered, this, [this, i] { SetViewClick(i + 1); });
    connect(f.ToolButton5, &QAction::triggered, this, &TMainForm::ReverseViewClick);
    const QAction* modes[] = {f.ToolButton7, f.ToolButton8, f.ToolButton10, f.ToolButton9};
    for (int i = 0; i < 4; ++i) connect(modes[i], &QAction::triggered, this, [this, i] { MouseModeClick(i + 1); });
    connect(f.ToolButton12, &QAction::triggered, this, [this] { ZoomClick(true); });
    connect(f.ToolButton13, &QAction::triggered, this, [this] { ZoomClick(false); });
    connect(f.ToolButton14, &QAction::triggered, this, &TMainForm::RestartViewClick);
    connect(f.FileSaveBitmap, &QAction::triggered, this, &TMainForm::FileSaveBitmapClick);
    connect(f.FilePageSetup, &QAction::triggered, this, &TMainForm::FilePageSetupClick);
    connect(f.FilePrintPage, &QAction::triggered, this, &TMainForm::FilePrintPageClick);
}

// The geometry views are not part of the program yet: their items stay off.
void TMainForm::DisableUnbuiltViewItems() {
    Ui::TMainForm& f = *ui_;
    for (QAction* a : {f.ViewTop, f.ViewSideXZ, f.ViewSideYZ, f.View3D}) a->setEnabled(false);
}

void TMainForm::ViewMenuClick() { ui_->N3DView1->setChecked(view3DOpen_); }

void TMainForm::TopViewClick() {}
void TMainForm::SideViewXZClick() {}
void TMainForm::SideViewYZClick() {}
void TMainForm::View3DClick() { Open3DView(); }
void TMainForm::Open3DView() {}
void TMainForm::Close3DView() {
    Ui::TMainForm& f = *ui_;
    view3DOpen_ = false;
    f.ToolBar1->hide();
    f.Show3DMenu->menuAction()->setVisible(false);
    bitmapSeparator_->setVisible(false);
    f.FileSaveBitmap->setVisible(false);
    f.FilePrintPage->setVisible(false);
}
void TMainForm::Show3DMenuClick() {}
void TMainForm::Show3DOptionClick(int) {}
void TMainForm::SetViewClick(int) {}
void TMainForm::ReverseViewClick() {}
void TMainForm::MouseModeClick(int) {}
void TMainForm::ZoomClick(bool) {}
void TMainForm::RestartViewClick() {}
void TMainForm::FileSaveBitmapClick() {}
void TMainForm::FilePageSetupClick() {}
void TMainForm::FilePrintPageClick() {}

}  // namespace vortn
