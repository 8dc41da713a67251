// The input dialog pattern shared by every input dialog:
//   activate:   numeric boxes switch to the project's unit system, then load
//               their project fields (loading marks nothing modified);
//   edit:       a user edit of a box marks the project modified;
//   deactivate: the focused box must hold a valid entry (its own check has
//               shown the one message), then every box is evaluated and only
//               when all are valid are all written back, whole numbers
//               rounded to the nearest integer, ties to even;
//   close:      the same, then the dialog is freed and its open flag cleared.
// Handlers are connected in code, checked when it compiles: each dialog's
// BindHandlers names the slot that a control's user edit or click calls.
#pragma once

#include "child_form.h"
#include "dialog_host.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <vector>

class QCloseEvent;

namespace vortn {

class TDataEdit;
class TProgramData;
using Extended = long double;

// Nearest integer, ties to even, kept inside the 32-bit range.
int RoundHalfEven(Extended x);

// The numeric boxes of a dialog and the project fields behind them.
class TFieldList {
public:
    void Real(TDataEdit* box, Extended& field) { items_.push_back({box, &field, nullptr}); }
    void Integer(TDataEdit* box, int& field) { items_.push_back({box, nullptr, &field}); }
    // Reals show the 8 significant digits the project file keeps.
    void Load() const;
    // Evaluates every box; writes all only when every box is valid. On a
    // failure returns the first invalid box and writes nothing. A real whose
    // box still shows its field's loaded text keeps its own value.
    TDataEdit* Store() const;

private:
    struct Item {
        TDataEdit* box;
        Extended* real;
        int* integer;
    };
    std::vector<Item> items_;
};

class TInputDialog : public QWidget, public TChildForm {
    Q_OBJECT
public:
    TInputDialog(TDialogHost& host, TDialogKind kind);
    ~TInputDialog() override;

    TDialogKind Kind() const { return kind_; }
    TDialogHost& Host() const { return host_; }
    // The window the dialog lives in: its MDI sub-window or itself.
    QWidget* Frame() const;
    // Top-level windows (the quadratic-load dialog) are not MDI children.
    virtual bool TopLevel() const { return false; }

    // The pattern's steps as the host runs them.
    void Activate();
    bool Deactivate();  // false: refused, the dialog comes back to the front
    void ForceClose();  // no check, no write-back
    void BringToFront();
    bool Closing() const { return closing_; }

    // TChildForm: the activate and deactivate steps.
    void ReloadChild() override { Activate(); }
    bool CommitChild() override { return Deactivate(); }

public slots:
    virtual void FormActivate();
    virtual void FormDeactivate();
    // The change handlers the dialogs bind their numeric boxes to (several
    // boxes may share one): each marks the project modified.
    void DataEdit1Change() { MarkModified(); }
    void DataEdit2Change() { MarkModified(); }
    void DataEdit3Change() { MarkModified(); }
    void DataEdit4Change() { MarkModified(); }
    void DataEdit5Change() { MarkModified(); }
    void DataEdit6Change() { MarkModified(); }
    void DataEdit7Change() { MarkModified(); }
    void DataEdit8Change() { MarkModified(); }
    void DataEdit9Change() { MarkModified(); }
    void DataEdit10Change() { MarkModified(); }
    void DataEdit11Change() { MarkModified(); }
    void DataEdit12Change() { MarkModified(); }
    void DataEdit13Change() { MarkModified(); }
    void DataEdit14Change() { MarkModified(); }
    void DataEdit15Change() { MarkModified(); }
    void DataEdit16Change() { MarkModified(); }

protected:
    // Sets up the controls built by the form: units labels, bounds, and the
    // handlers of BindHandlers. Call once after setupUi.
    void BindForm();
    // Connects the controls' user actions to their handlers (OnChange,
    // OnClick).
    virtual void BindHandlers() {}
    // A box's or combo box's user edit and a button's click call `handler`;
    // loading a value or setting a choice in code calls nothing.
    template <class Dialog>
    void OnChange(QLineEdit* box, void (Dialog::*handler)()) {
        connect(box, &QLineEdit::textEdited, static_cast<Dialog*>(this), handler);
    }
    template <class Dialog>
    void OnChange(QComboBox* combo, void (Dialog::*handler)()) {
        connect(combo, &QComboBox::activated, static_cast<Dialog*>(this), handler);
    }
    template <class Dialog>
    void OnClick(QAbstractButton* button, void (Dialog::*handler)()) {
        connect(button, &QAbstractButton::clicked, static_cast<Dialog*>(this), handler);
    }
    virtual void Fields(TFieldList& /*fields*/) {}
    // Combo texts, radios and visibility after the boxes are loaded.
    virtual void Loaded() {}
    // Write-back of everything else, after the boxes were written.
    virtual void Stored() {}
    // A dialog's own check of entries other than numeric boxes, before
    // anything is written back; false refuses the write-back (the dialog has
    // said why and called RefuseLater).
    virtual bool EntriesAcceptable() { return true; }
    // Whether activation switches the boxes' unit system.
    virtual bool SwitchesUnits() const { return true; }

    // The guard of deactivate and close: true when the focused box holds a
    // valid entry. The box's check runs at most once per entry.
    bool FocusedEntryValid();
    // Evaluates and writes back every box, then Stored(); false on a failure.
    bool WriteBack();
    // An invalid box met outside its own check: its message once per entry,
    // then the dialog comes back to the front with the box focused.
    void ReportInvalid(TDataEdit* box);
    // The box's value; false (reported) when its entry is invalid.
    bool ReadBox(TDataEdit* box, Extended& value);
    // Brings the dialog to the front after Qt's activation has finished,
    // with the focus in `control`.
    void RefuseLater(QWidget* control);

    void MarkModified() { host_.SetModified(true); }
    TProgramData& Project() const;
    // Runs a handler body: nothing may leave a Qt event handler.
    void Guarded(const std::function<void()>& body);
    QList<TDataEdit*> Boxes() const;

    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

    TDialogHost& host_;

private:
    enum class EntryState { Clean, Edited, Checked };

    TDialogKind kind_;
    QHash<TDataEdit*, EntryState> entryState_;
    bool closing_ = false;
    bool forced_ = false;
};

}  // namespace vortn
