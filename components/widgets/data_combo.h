// Numeric combo box: each list item stands for the number in Values at the
// same index; the text may also be typed as an expression. Checked on exit
// like the entry box (whole number, bounds).
#pragma once

#include "exceptions.h"
#include "numeric_entry.h"

#include <QComboBox>
#include <QStringList>

namespace vortn {

class TDataCombo : public TNumericEntry<QComboBox, TDataCombo> {
    Q_OBJECT
    // Set from Designer forms (dynamic properties of a promoted combo box).
    Q_PROPERTY(bool IntegerOnly READ IntegerOnly WRITE SetIntegerOnly)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QLabel* EditLabel READ EditLabel WRITE SetEditLabel)
    Q_PROPERTY(double MaxVal READ MaxValProperty WRITE SetMaxValProperty)
    Q_PROPERTY(double MinVal READ MinValProperty WRITE SetMinValProperty)
    Q_PROPERTY(QString UnitsString READ UnitsString WRITE SetUnitsString)
    Q_PROPERTY(int Units READ Units WRITE SetUnits)
    Q_PROPERTY(QStringList Values READ Values WRITE SetValues)
public:
    VORTN_DECLARE_EXCEPTION(EIntError, Exception)
    VORTN_DECLARE_EXCEPTION(EMinError, Exception)
    VORTN_DECLARE_EXCEPTION(EMaxError, Exception)

    // Made at run time: MinVal = MaxVal = 0; the owner sets both.
    explicit TDataCombo(QWidget* parent = nullptr);

    // Bounds, IntegerOnly, Caption, EditLabel, UnitsString, Units, Reading
    // and SetNumber come from TNumericEntry.

    // A shown list item is first replaced by its Values entry; raises the
    // evaluator's EAssignError.
    long double Number();
    QStringList& Values() { return values_; }
    const QStringList& Values() const { return values_; }
    void SetValues(const QStringList& v) { values_ = v; }

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

private:
    friend class TNumericEntry<QComboBox, TDataCombo>;
    void WriteText(const QString& s) { setEditText(s); }
    static QString UnitsText(const QString& units, int n);

    void ExitCheck();
    // false when the key is discarded; else `e` may be replaced by its upper case.
    static bool FilterKey(const QKeyEvent* e, QString& upper);

    QStringList values_;
    bool valid_ = false;
    bool checking_ = false;
};

}  // namespace vortn
