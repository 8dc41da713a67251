// Main window: the Window menu, the list of open windows.
#include "main_form.h"

#include "ui_MainForm.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace vortn {

void TMainForm::WindowMenuClick() {
    const auto subs = MdiArea()->subWindowList();
    windowSeparator_->setVisible(!subs.isEmpty());
    for (int k = 0; k < int(windowItems_.size()); ++k) {
        const bool used = k < subs.size();
        windowItems_[k]->setVisible(used);
        if (used) windowItems_[k]->setText(subs[k]->windowTitle());
    }
}

void TMainForm::WindowItemClick(int index) {
    const auto subs = MdiArea()->subWindowList();
    if (index < 0 || index >= subs.size()) return;
    QMdiSubWindow* sub = subs[index];
    if (sub->isMinimized()) sub->showNormal();
    sub->show();
    MdiArea()->setActiveSubWindow(sub);
}

}  // namespace vortn
