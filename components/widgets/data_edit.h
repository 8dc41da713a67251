// Numeric entry box: the user types an arithmetic expression; the box checks
// it when focus leaves (whole number, lower and upper bound), shows the error
// and keeps the focus on failure, and writes the value back in canonical
// form on success. An attached label reads "Caption (units)".
#pragma once

#include "exceptions.h"

#include <QLineEdit>
#include <QPointer>
#include <QString>

#include <QLabel>

namespace vortn {

// The largest bounds an entry box starts with (just inside the 80-bit range).
extern const long double kDataMaxVal;
extern const long double kDataMinVal;

class TDataEdit : public QLineEdit {
    Q_OBJECT
public:
    VORTN_DECLARE_EXCEPTION(EIntError, Exception)
    VORTN_DECLARE_EXCEPTION(EMinError, Exception)
    VORTN_DECLARE_EXCEPTION(EMaxError, Exception)

    explicit TDataEdit(QWidget* parent = nullptr);

    bool IntegerOnly() const { return integerOnly_; }
    void SetIntegerOnly(bool b);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& s);
    QLabel* EditLabel() const { return label_; }
    void SetEditLabel(QLabel* label);
    bool Hex() const { return hex_; }
    void SetHex(bool b) { hex_ = b; }
    long double MaxVal() const { return maxVal_; }
    void SetMaxVal(long double v);
    long double MinVal() const { return minVal_; }
    void SetMinVal(long double v);
    // The value of the text; raises the evaluator's EAssignError.
    long double Number() const;
    void SetNumber(long double x);
    const QString& UnitsString() const { return unitsString_; }
    void SetUnitsString(const QString& s);
    int Units() const { return units_; }
    void SetUnits(int n);
    // While set the box is being loaded from its form: no clamping.
    bool Reading() const { return reading_; }
    void SetReading(bool b) { reading_ = b; }

    // Runs the exit check; true when the entry is accepted. Exceptions other
    // than the entry errors pass on.
    bool ValidateEntry();
    bool Valid() const { return valid_; }
    // The value as the box shows it (hexadecimal or 18 digits).
    QString FormatValue(long double x) const;

signals:
    void Exited();  // the inherited exit handling

protected:
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void ExitCheck();
    void SafeExitCheck();  // from events: nothing may leave an event handler
    void Relabel();
    void ReturnFocus();

    bool integerOnly_ = false;
    QString caption_;
    QPointer<QLabel> label_;
    bool hex_ = false;
    long double maxVal_;
    long double minVal_;
    QString unitsString_;
    int units_ = 1;
    bool reading_ = false;
    bool valid_ = false;
    bool checking_ = false;
};

}  // namespace vortn
