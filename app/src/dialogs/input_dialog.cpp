#include "input_dialog.h"

#include "data_edit.h"
#include "message_box.h"
#include "exceptions.h"
#include "program_data.h"
#include "user_action.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <cmath>

namespace vortn {

int RoundHalfEven(Extended x) {
    if (!(x == x)) return 0;
    if (x >= Extended(INT_MAX)) return INT_MAX;
    if (x <= Extended(INT_MIN)) return INT_MIN;
    // The default rounding mode rounds halves to the even neighbour.
    return int(std::nearbyint(x));
}

void TFieldList::Load() const {
    for (const Item& it : items_) {
        it.box->SetNumber(it.real ? *it.real : Extended(*it.integer));
        if (!it.real || it.box->Hex()) continue;
        // A real is shown with the digits the project file keeps of it, so a
        // converted value does not show the factors' noise; Store keeps the
        // value itself while the box still shows that text.
        it.box->setText(FloatText(std::clamp(*it.real, it.box->MinVal(), it.box->MaxVal())));
        it.box->home(false);
    }
}

TDataEdit* TFieldList::Store() const {
    std::vector<Extended> values;
    values.reserve(items_.size());
    for (const Item& it : items_) {
        if (it.real && !it.box->Hex() && it.box->text() == FloatText(*it.real)) {
            values.push_back(*it.real);  // not edited: passing through changes nothing
            continue;
        }
        try {
            const Extended v = it.box->Number();
            if (!std::isfinite(v)) return it.box;
            values.push_back(v);
        } catch (const Exception&) {
            return it.box;
        }
    }
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].real)
            *items_[i].real = values[i];
        else
            *items_[i].integer = RoundHalfEven(values[i]);
    }
    return nullptr;
}

TInputDialog::TInputDialog(TDialogHost& host, TDialogKind kind) : QWidget(nullptr), host_(host), kind_(kind) {
    setAttribute(Qt::WA_DeleteOnClose);
}

TInputDialog::~TInputDialog() = default;

QWidget* TInputDialog::Frame() const {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) return sub;
    return const_cast<TInputDialog*>(this);
}

TProgramData& TInputDialog::Project() const { return host_.Project(); }

QList<TDataEdit*> TInputDialog::Boxes() const { return findChildren<TDataEdit*>(); }

void TInputDialog::Guarded(const std::function<void()>& body) {
    if (closing_) return;
    try {
        body();
    } catch (const Exception& e) {
        host_.ShowMessage(e.Message());
    } catch (const std::exception& e) {
        host_.ShowMessage(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        host_.ShowMessage(QStringLiteral("Unexpected error"));
    }
}

void TInputDialog::BindForm() {
    // Caption, units and whole-number setting come from the form; the label
    // whose buddy a box is shows its caption and units.
    const auto labels = findChildren<QLabel*>();
    for (TDataEdit* box : Boxes()) {
        for (QLabel* label : labels)
            if (label->buddy() == box) box->SetEditLabel(label);
        if (!box->EditLabel())
            throw Exception(QStringLiteral("Form %1: no label for %2").arg(objectName(), box->objectName()));
        entryState_.insert(box, EntryState::Clean);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, box] { entryState_[box] = EntryState::Edited; });
        connect(box, &TDataEdit::Exited, this, [this, box] { entryState_[box] = EntryState::Checked; });
    }
    // The handlers come after the entry states: an edit is recorded first.
    // The slots run their bodies through Guarded themselves.
    BindHandlers();
    for (QComboBox* combo : findChildren<QComboBox*>()) {
        const int i = combo->findText(combo->property("DesignText").toString());
        if (i >= 0) combo->setCurrentIndex(i);
    }
}

void TInputDialog::Activate() {
    Guarded([this] { FormActivate(); });
    for (auto it = entryState_.begin(); it != entryState_.end(); ++it) it.value() = EntryState::Clean;
}

void TInputDialog::FormActivate() {
    if (SwitchesUnits())
        for (TDataEdit* box : Boxes()) box->SetUnits(Project().UnitSystem);
    TFieldList fields;
    Fields(fields);
    fields.Load();
    Loaded();
}

bool TInputDialog::Deactivate() {
    if (closing_) return true;
    bool ok = false;
    Guarded([&] {
        if (!FocusedEntryValid()) return;
        ok = WriteBack();
    });
    return ok;
}

void TInputDialog::FormDeactivate() { Deactivate(); }

bool TInputDialog::FocusedEntryValid() {
    auto* box = qobject_cast<TDataEdit*>(focusWidget());
    if (!box) return true;
    bool valid = true;
    switch (entryState_.value(box, EntryState::Clean)) {
        case EntryState::Clean:
            break;
        case EntryState::Checked:
            // The box's own check ran when the focus left it and showed its
            // message; in an earlier action it is checked again: a bound it
            // put in place of the entry passes, an entry still invalid gets
            // its message for this command too.
            valid = box->Valid();
            if (!valid && !box->RefusedInThisAction()) {
                try {
                    valid = box->ValidateEntry();
                } catch (const Exception& e) {
                    RefusalBox(box, e.Message());
                    valid = false;
                }
            }
            break;
        case EntryState::Edited:
            try {
                valid = box->ValidateEntry();
            } catch (const Exception& e) {
                RefusalBox(box, e.Message());
                valid = false;
            }
            break;
    }
    if (!valid) RefuseLater(box);
    return valid;
}

void TInputDialog::ReportInvalid(TDataEdit* box) {
    // Shown already when the check of this action refused it.
    if (entryState_.value(box, EntryState::Clean) != EntryState::Checked || !box->RefusedInThisAction()) {
        try {
            if (box->ValidateEntry()) RefusalBox(box, QStringLiteral("Invalid entry"));
        } catch (const Exception& e) {
            RefusalBox(box, e.Message());
        }
    }
    RefuseLater(box);
}

bool TInputDialog::ReadBox(TDataEdit* box, Extended& value) {
    try {
        value = box->Number();
        if (std::isfinite(value)) return true;
    } catch (const Exception&) {
    }
    ReportInvalid(box);
    return false;
}

bool TInputDialog::WriteBack() {
    if (!EntriesAcceptable()) return false;
    TFieldList fields;
    Fields(fields);
    if (TDataEdit* bad = fields.Store()) {
        ReportInvalid(bad);
        return false;
    }
    Stored();
    return true;
}

void TInputDialog::RefuseLater(QWidget* control) {
    QPointer<QWidget> b(control);
    QTimer::singleShot(0, this, [this, b] {
        if (closing_) return;
        BringToFront();
        if (!b || !b->isVisible()) return;
        const QScopedValueRollback returning(FocusBeingReturned(), true);
        b->setFocus(Qt::OtherFocusReason);
    });
}

void TInputDialog::BringToFront() {
    QWidget* f = Frame();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(f)) {
        // The main window too: a click on a window of its own (the
        // quadratic-load dialog) must not keep the activation there.
        if (QWidget* main = sub->window(); main != QApplication::activeWindow()) main->activateWindow();
        if (sub->mdiArea()) sub->mdiArea()->setActiveSubWindow(sub);
    } else {
        f->raise();
        f->activateWindow();
    }
}

void TInputDialog::ForceClose() {
    if (closing_) return;
    forced_ = true;
    closing_ = true;
    host_.DialogClosed(this);
    QWidget* f = Frame();
    f->hide();
    f->deleteLater();
}

void TInputDialog::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    bool ok = false;
    Guarded([&] { ok = FocusedEntryValid() && WriteBack(); });
    if (!ok) {
        event->ignore();
        return;
    }
    closing_ = true;
    host_.DialogClosed(this);
    event->accept();
}

bool TInputDialog::eventFilter(QObject* watched, QEvent* e) {
    // A closing dialog checks no entry: the focus leaves its boxes silently.
    if (closing_ && e->type() == QEvent::FocusOut) return true;
    return QWidget::eventFilter(watched, e);
}

bool TInputDialog::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && TopLevel() && !closing_) host_.WindowActivated(this);
    return QWidget::event(e);
}

}  // namespace vortn
