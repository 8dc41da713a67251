// Numeric entry box: the user types an arithmetic expression; the box checks
// it when focus leaves (whole number, lower and upper bound), shows the error
// and keeps the focus on failure, and writes the value back in canonical
// form on success. An attached label reads "Caption (units)".
#pragma once

#include "exceptions.h"
#include "numeric_entry.h"

#include <QLineEdit>
#include <QString>

namespace vortn {

// The largest bounds an entry box starts with (just inside the 80-bit range).
extern const long double kDataMaxVal;
extern const long double kDataMinVal;

class TDataEdit : public TNumericEntry<QLineEdit, TDataEdit> {
    Q_OBJECT
    // Set from Designer forms (dynamic properties of a promoted line edit).
    Q_PROPERTY(bool IntegerOnly READ IntegerOnly WRITE SetIntegerOnly)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QLabel* EditLabel READ EditLabel WRITE SetEditLabel)
    Q_PROPERTY(bool Hex READ Hex WRITE SetHex)
    Q_PROPERTY(double MaxVal READ MaxValProperty WRITE SetMaxValProperty)
    Q_PROPERTY(double MinVal READ MinValProperty WRITE SetMinValProperty)
    Q_PROPERTY(QString UnitsString READ UnitsString WRITE SetUnitsString)
    Q_PROPERTY(int Units READ Units WRITE SetUnits)
public:
    VORTN_DECLARE_EXCEPTION(EIntError, Exception)
    VORTN_DECLARE_EXCEPTION(EMinError, Exception)
    VORTN_DECLARE_EXCEPTION(EMaxError, Exception)

    explicit TDataEdit(QWidget* parent = nullptr);

    // Bounds, IntegerOnly, Caption, EditLabel, UnitsString, Units, Reading
    // and SetNumber come from TNumericEntry.
    bool Hex() const { return hex_; }
    void SetHex(bool b) { hex_ = b; }
    // The value of the text; raises the evaluator's EAssignError.
    long double Number() const;

    // Runs the exit check; true when the entry is accepted. Every failure,
    // arithmetic faults of the evaluator included, is shown and gives false.
    bool ValidateEntry();
    bool Valid() const { return valid_; }
    // The last check failed, its message shown, in the user's current
    // action (UserAction): that action's other commands add no message.
    bool RefusedInThisAction() const;
    // The value as the box shows it (hexadecimal or 18 digits).
    QString FormatValue(long double x) const;
    // Wide enough for a value of 18 significant digits with its sign.
    QSize sizeHint() const override;

signals:
    void Exited();  // the inherited exit handling

protected:
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    friend class TNumericEntry<QLineEdit, TDataEdit>;
    // Shows the start of a value too long for the box (the leading digits).
    void WriteText(const QString& s) {
        setText(s);
        home(false);
    }
    static QString UnitsText(const QString& units, int n);

    void ExitCheck();
    void SafeExitCheck();  // from events: nothing may leave an event handler
    void ReturnFocus();

    // Whether the focus has left the form the box stands in (its window or
    // MDI child).
    bool FocusLeftForm() const;

    bool hex_ = false;
    bool valid_ = false;
    bool checking_ = false;
    // The entry failed its check and is still the text checked: leaving the
    // form does not report it again (the form keeps or brings back the focus).
    bool reported_ = false;
    quint64 refusedAction_ = 0;  // the action of the last failed check
};

}  // namespace vortn
