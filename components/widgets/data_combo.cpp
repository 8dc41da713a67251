#include "data_combo.h"

#include "message_box.h"
#include "expression.h"
#include "number_format.h"
#include "units.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QLineEdit>
#include <cmath>

namespace vortn {

TDataCombo::TDataCombo(QWidget* parent) : TNumericEntry(parent, 0, 0) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    if (lineEdit()) lineEdit()->installEventFilter(this);
    setEditText(QStringLiteral("0"));
}

QString TDataCombo::FormatValue(long double x) const {
    if (integerOnly_) {
        const long double t = std::trunc(x);
        if (t >= -9.2233720368547758e18L && t < 9.2233720368547758e18L) return QString::number(qint64(t));
        return FloatToStrG(t, 18);
    }
    return FloatToStrG(x, 8);
}

long double TDataCombo::Number() {
    if (parentWidget()) {
        const int i = findText(currentText(), Qt::MatchFixedString);  // ignores case
        if (i >= 0 && i < values_.size()) setEditText(values_[i]);
    }
    return EvaluateExpression(currentText());
}

QString TDataCombo::UnitsText(const QString& units, int n) { return ComboUnitsText(units, n); }

void TDataCombo::ExitCheck() {
    valid_ = false;
    emit Exited();
    auto focusBack = [this] {
        if (!window()) return;
        const QScopedValueRollback returning(FocusBeingReturned(), true);
        setFocus(Qt::OtherFocusReason);
    };
    try {
        const long double x = Number();
        if (integerOnly_ && x != std::trunc(x)) throw EIntError(QString());
        if (x < minVal_) throw EMinError(QString());
        if (!(x <= maxVal_)) throw EMaxError(QString());
        valid_ = true;  // the text stays as typed
    } catch (const EIntError&) {
        RefusalBox(this, QStringLiteral("Entry must be an integer."));
        focusBack();
    } catch (const EMinError&) {
        SetNumber(minVal_);
        RefusalBox(this, QStringLiteral("Entry must be greater than or equal to ") + FloatToStrG(minVal_, 8));
        focusBack();
    } catch (const EMaxError&) {
        SetNumber(maxVal_);
        RefusalBox(this, QStringLiteral("Entry must be less than or equal to ") + FloatToStrG(maxVal_, 8));
        focusBack();
    }
}

bool TDataCombo::ValidateCombo() {
    ExitCheck();
    return valid_;
}

void TDataCombo::focusOutEvent(QFocusEvent* e) {
    QComboBox::focusOutEvent(e);
    if (checking_ || !LeftByUser(e)) return;
    checking_ = true;
    try {
        ExitCheck();
    } catch (const Exception& ex) {
        // An unreadable entry met on leaving: shown; nothing leaves an event handler.
        RefusalBox(this, ex.Message());
    }
    checking_ = false;
}

bool TDataCombo::FilterKey(const QKeyEvent* e, QString& upper) {
    const QString t = e->text();
    if (t.isEmpty()) return true;  // navigation and modifier keys are not characters
    if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) return true;
    upper = t.toUpper();
    if (upper.size() != 1) return false;
    const QChar c = upper[0];
    return c == QLatin1Char('-') || c == QLatin1Char('.') || c.isDigit() || c == QLatin1Char('E');
}

bool TDataCombo::eventFilter(QObject* watched, QEvent* e) {
    if (watched == lineEdit() && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        QString upper;
        if (!FilterKey(k, upper)) return true;
        if (!upper.isEmpty() && upper != k->text()) {
            QKeyEvent up(QEvent::KeyPress, k->key(), k->modifiers(), upper, k->isAutoRepeat(), ushort(k->count()));
            QApplication::sendEvent(lineEdit(), &up);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, e);
}

void TDataCombo::keyPressEvent(QKeyEvent* e) {
    QString upper;
    if (!FilterKey(e, upper)) {
        e->accept();
        return;
    }
    if (!upper.isEmpty() && upper != e->text()) {
        QKeyEvent up(QEvent::KeyPress, e->key(), e->modifiers(), upper, e->isAutoRepeat(), ushort(e->count()));
        QComboBox::keyPressEvent(&up);
        return;
    }
    QComboBox::keyPressEvent(e);
}

}  // namespace vortn
