// Main window: the Window menu, the list of open windows.
#include "main_form.h"

#include "ui_MainForm.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace vortn {

void TMainForm::WindowMenuClick() {
    // The list of open windows is made anew each time the menu opens: a
    // separator below the fixed items, then one item per MDI child in the
    // area's order.
    qDeleteAll(windowItems_);
    windowItems_.clear();
    const auto subs = MdiArea()->subWindowList();
    if (subs.isEmpty()) return;
    QMenu* menu = ui_->WindowMenu;
    windowItems_ << menu->addSeparator();
    for (int k = 0; k < subs.size(); ++k) {
        QAction* item = menu->addAction(subs[k]->windowTitle());
        Handle(item, &QAction::triggered, [this, k] { WindowItemClick(k); });
        windowItems_ << item;
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
