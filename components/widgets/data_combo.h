// Numeric combo box: each list item stands for the number in Values at the
// same index; the text may also be typed as an expression. Checked on exit
// like the entry box (whole number, bounds).
#pragma once

#include "exceptions.h"

#include <QComboBox>
#include <QPointer>
#include <QStringList>

#include <QLabel>

namespace vortn {

class TDataCombo : public QComboBox {
    Q_OBJECT
public:
    VORTN_DECLARE_EXCEPTION(EIntError, Exception)
    VORTN_DECLARE_EXCEPTION(EMinError, Exception)
    VORTN_DECLARE_EXCEPTION(EMaxError, Exception)

    // Made at run time: MinVal = MaxVal = 0; the owner sets both.
    explicit TDataCombo(QWidget* parent = nullptr);

    bool IntegerOnly() const { return integerOnly_; }
    void SetIntegerOnly(bool b);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& s);
    QLabel* EditLabel() const { return label_; }
    void SetEditLabel(QLabel* label);
    long double MaxVal() const { return maxVal_; }
    void SetMaxVal(long double v);
    long double MinVal() const { return minVal_; }
    void SetMinVal(long double v);
    // A shown list item is first replaced by its Values entry; raises the
    // evaluator's EAssignError.
    long double Number();
    void SetNumber(long double x);
    const QString& UnitsString() const { return unitsString_; }
    void SetUnitsString(const QString& s);
    int Units() const { return units_; }
    void SetUnits(int n);
    QStringList& Values() { return values_; }
    const QStringList& Values() const { return values_; }
    bool Reading() const { return reading_; }
    void SetReading(bool b) { reading_ = b; }

    // Exit check; the evaluator's EAssignError passes on to the caller.
    bool ValidateCombo();
    bool Valid() const { return valid_; }
    QString FormatValue(long double x) const;  // as SetNumber writes it

signals:
    void Exited();

protected:
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void ExitCheck();
    void Relabel();
    // false when the key is discarded; else `e` may be replaced by its upper case.
    static bool FilterKey(const QKeyEvent* e, QString& upper);

    bool integerOnly_ = false;
    QString caption_;
    QPointer<QLabel> label_;
    long double maxVal_ = 0;
    long double minVal_ = 0;
    QString unitsString_;
    int units_ = 1;
    QStringList values_;
    bool reading_ = false;
    bool valid_ = false;
    bool checking_ = false;
};

}  // namespace vortn
