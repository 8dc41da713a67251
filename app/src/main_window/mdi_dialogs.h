// On-demand windows of the main window: each is created on first use, kept
// as one instance and freed when it closes; its guarded pointer tells
// whether it is open.
#pragma once

#include "mdi_child.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vortn {

// Shows the window `form` points to, creating it with `create()` only while
// the pointer is null. The window becomes an MDI child of `area` (a normal
// top-level window when `area` is null) and is freed when it closes, which
// clears the pointer. `create` returns a parentless widget; a close the
// window refuses (closeEvent ignored) keeps it.
template <class TForm, class Create>
TForm* OpenOnDemand(QMdiArea* area, QPointer<TForm>& form, Create create) {
    if (!form) {
        form = create();
        if (!form) return nullptr;
        form->setAttribute(Qt::WA_DeleteOnClose);
        if (area) {
            QMdiSubWindow* sub = AddMdiChild(area, form.data());
            sub->setAttribute(Qt::WA_DeleteOnClose);
        }
    }
    QWidget* frame = form->parentWidget() && area ? form->parentWidget() : form.data();
    if (frame->isMinimized()) frame->showNormal();
    frame->show();
    form->show();
    if (area) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) area->setActiveSubWindow(sub);
    } else {
        form->raise();
        form->activateWindow();
    }
    return form.data();
}

}  // namespace vortn
