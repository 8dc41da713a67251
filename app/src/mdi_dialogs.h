// On-demand windows of the main window: each is created on first use, kept
// as one instance and freed when it closes; a byte per window tells whether
// it is open.
#pragma once

#include "mdi_child.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>

namespace vortn {

// Shows the window guarded by `openFlag`, creating it with `create()` only
// while the flag is 0. The window becomes an MDI child of `area` (a normal
// top-level window when `area` is null), is freed when it closes and clears
// the flag when it is freed. `create` returns a parentless widget; a close
// the window refuses (closeEvent ignored) keeps it and its flag.
template <class TForm, class Create>
TForm* OpenDialogByFlag(QMdiArea* area, std::uint8_t& openFlag, QPointer<TForm>& form, Create create) {
    if (openFlag == 0 || !form) {
        form = create();
        if (!form) return nullptr;
        openFlag = 1;
        std::uint8_t* flag = &openFlag;
        QObject::connect(form.data(), &QObject::destroyed, [flag] { *flag = 0; });
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
