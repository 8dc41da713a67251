#include "dialog_host.h"

#include "input_dialog.h"
#include "mdi_child.h"
#include "message_box.h"
#include "project_holder.h"
#include "scrolled_form.h"
#include "window_on_screen.h"

#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace vortn {

TDialogHost::TDialogHost(TProjectHolder& holder, QWidget* mainWindow, QMdiArea* mdiArea)
    : QObject(mainWindow), holder_(holder), mainWindow_(mainWindow), mdiArea_(mdiArea) {
    if (mdiArea_) connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TDialogHost::SubWindowActivated);
    if (mainWindow_) mainWindow_->installEventFilter(this);
}

TDialogHost::~TDialogHost() {
    if (mainWindow_) mainWindow_->removeEventFilter(this);
    // A dialog may outlive the host only as a widget about to be deleted.
    for (auto& d : dialogs_)
        if (d) d->ForceClose();
}

TInputDialog* TDialogHost::Dialog(TDialogKind kind) const { return dialogs_[int(kind)]; }

TInputDialog* TDialogHost::ActiveDialog() const { return current_; }

TProgramData& TDialogHost::Project() const { return holder_.Project(); }

void TDialogHost::SetModified(bool flag) { holder_.SetModified(flag); }

QString TDialogHost::ProgramFolder() const {
    return programFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder_;
}

void TDialogHost::ShowMessage(const QString& text) { InformationBox(mainWindow_, text); }

TInputDialog* TDialogHost::Create(TDialogKind kind) {
    TInputDialog* d = CreateInputDialog(*this, kind);
    // A form larger than its room scrolls; its labels are never squeezed.
    ScrollFormContents(d);
    if (!d->TopLevel() && mdiArea_) {
        QMdiSubWindow* sub = AddMdiChild(mdiArea_, d,
                                         Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        sub->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        // A dialog border, no minimize button: it floats outside the main window.
        d->setParent(mainWindow_,
                     Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        // At its contents' size (not two thirds of the screen, as Qt would
        // open a window without one), bounded by the screen when shown.
        if (!d->testAttribute(Qt::WA_Resized)) d->resize(d->sizeHint());
        KeepOpeningFrameOnScreen(d);
    }
    return d;
}

TInputDialog* TDialogHost::OpenDialog(TDialogKind kind) {
    const int k = int(kind);
    const bool created = !dialogs_[k];
    if (created) {
        dialogs_[k] = Create(kind);
        dialogs_[k]->Frame()->show();
    }
    TInputDialog* d = dialogs_[k];
    d->BringToFront();
    // Qt reports the activation only while the program is the active
    // application; the first activation must load the dialog in any case.
    WindowActivated(d);
    // The current dialog refused to be left (an invalid entry): a new one
    // shows its own data all the same, behind it, until it is activated.
    if (created && current_ != d && !d->Closing()) d->Activate();
    return d;
}

void TDialogHost::CloseDialog(TDialogKind kind) {
    if (TInputDialog* d = dialogs_[int(kind)]) d->Frame()->close();
}

void TDialogHost::DialogClosed(TInputDialog* dialog) {
    const int k = int(dialog->Kind());
    if (dialogs_[k] == dialog) {
        dialogs_[k] = nullptr;
    }
    if (current_ == dialog) current_ = nullptr;
}

void TDialogHost::WindowActivated(TInputDialog* dialog) {
    if (dialog == current_) return;
    if (dialog && dialog->Closing()) return;
    if (current_ && !current_->Closing()) {
        // A refused deactivation brings the current dialog back from a
        // zero-time timer; the other window is not activated meanwhile.
        if (!current_->Deactivate()) return;
    }
    current_ = dialog;
    if (dialog) dialog->Activate();
}

void TDialogHost::SubWindowActivated(QMdiSubWindow* sub) {
    // No active child: another application, a pop-up or a message box took
    // the focus, or the last child closed. None of them deactivates.
    if (!sub) return;
    WindowActivated(qobject_cast<TInputDialog*>(sub->widget()));
}

bool TDialogHost::eventFilter(QObject* watched, QEvent* event) {
    // Coming back to the main window from a top-level dialog activates the
    // MDI child that is current there.
    if (watched == mainWindow_ && event->type() == QEvent::WindowActivate && current_ && current_->TopLevel()) {
        QMdiSubWindow* sub = mdiArea_ ? mdiArea_->currentSubWindow() : nullptr;
        WindowActivated(sub ? qobject_cast<TInputDialog*>(sub->widget()) : nullptr);
    }
    return QObject::eventFilter(watched, event);
}

bool TDialogHost::DeactivateActiveChild() { return !current_ || current_->Deactivate(); }

void TDialogHost::RefreshOpenDialogs() {
    // Every open dialog reloads, so none of them writes back values of the
    // previous unit system later.
    for (auto& d : dialogs_)
        if (d && !d->Closing()) d->Activate();
}

void TDialogHost::ForceCloseAll() {
    for (auto& d : dialogs_)
        if (d) d->ForceClose();
    current_ = nullptr;
}

bool TDialogHost::CloseAll() {
    for (auto& d : dialogs_) {
        if (!d) continue;
        QPointer<TInputDialog> keep(d);
        if (!d->Frame()->close() && keep) return false;
    }
    return true;
}

}  // namespace vortn
