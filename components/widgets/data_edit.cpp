#include "data_edit.h"

#include "entry_message.h"
#include "expression.h"
#include "number_format.h"
#include "units.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vortn {

const long double kDataMaxVal = 1.18973149535e4932L;
const long double kDataMinVal = -1.18973149535e4932L;

namespace {
constexpr long double kIntMin = -2147483648.0L;
constexpr long double kIntMax = 2147483647.0L;

// Round half to even, kept inside the 64-bit range.
qint64 RoundToInt64(long double x) {
    if (!(x == x)) return 0;
    if (x >= 9.2233720368547758e18L) return INT64_MAX;
    if (x <= -9.2233720368547758e18L) return INT64_MIN;
    return qint64(std::nearbyint(x));
}
}  // namespace

TDataEdit::TDataEdit(QWidget* parent) : QLineEdit(parent), maxVal_(kDataMaxVal), minVal_(kDataMinVal) {
    setText(QStringLiteral("0"));
}

QString TDataEdit::FormatValue(long double x) const {
    if (hex_) {
        // Negative values show their 64-bit two's complement.
        const quint64 v = quint64(RoundToInt64(x));
        return QStringLiteral("$") + QString::number(v, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    }
    return FloatToStrG(x, 18);
}

long double TDataEdit::Number() const { return EvaluateExpression(text()); }

void TDataEdit::SetNumber(long double x) {
    if (!reading_) {
        if (x < minVal_) x = minVal_;
        if (x > maxVal_) x = maxVal_;
    }
    setText(FormatValue(x));
}

void TDataEdit::SetMaxVal(long double v) {
    if (!reading_) {
        if (v < minVal_) v = minVal_;
        if (integerOnly_) v = std::clamp(v, kIntMin, kIntMax);
    }
    maxVal_ = v;
    if (!reading_) {
        // An unreadable text has no value to pull inside the bound.
        try {
            if (Number() > v) SetNumber(v);
        } catch (const Exception&) {
        }
    }
}

void TDataEdit::SetMinVal(long double v) {
    if (!reading_) {
        if (v > maxVal_) v = maxVal_;
        if (integerOnly_) v = std::clamp(v, kIntMin, kIntMax);
    }
    minVal_ = v;
    if (!reading_) {
        try {
            if (Number() < v) SetNumber(v);
        } catch (const Exception&) {
        }
    }
}

void TDataEdit::SetIntegerOnly(bool b) {
    integerOnly_ = b;
    if (b && !reading_) {
        SetMaxVal(maxVal_);
        SetMinVal(minVal_);
    }
}

void TDataEdit::SetCaption(const QString& s) {
    caption_ = s;
    Relabel();
}

void TDataEdit::SetUnitsString(const QString& s) {
    unitsString_ = s;
    Relabel();
}

void TDataEdit::SetUnits(int n) {
    units_ = std::clamp(n, 1, 3);
    Relabel();
}

void TDataEdit::SetEditLabel(QLabel* label) {
    label_ = label;
    if (label) label->setBuddy(this);
    Relabel();
}

void TDataEdit::changeEvent(QEvent* e) {
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) Relabel();
}

void TDataEdit::Relabel() {
    if (!label_) return;
    label_->setEnabled(isEnabled());
    if (!unitsString_.isEmpty())
        label_->setText(caption_ + QStringLiteral(" (") + EditUnitsText(unitsString_, units_) + QStringLiteral(")"));
    else
        label_->setText(caption_);
}

void TDataEdit::ReturnFocus() {
    if (window() && isVisible()) setFocus(Qt::OtherFocusReason);
}

void TDataEdit::ExitCheck() {
    valid_ = false;
    emit Exited();
    try {
        const long double x = Number();
        if (integerOnly_ && x != std::trunc(x)) throw EIntError(QString());
        if (x < minVal_) throw EMinError(QString());
        if (!(x <= maxVal_)) throw EMaxError(QString());
        setText(FormatValue(x));
        valid_ = true;
    } catch (const EIntError&) {
        ShowEntryMessage(this, QStringLiteral("Entry must be an integer."));
        ReturnFocus();
    } catch (const EMinError&) {
        SetNumber(minVal_);
        ShowEntryMessage(this, QStringLiteral("Entry must be greater than or equal to ") + FormatValue(minVal_));
        ReturnFocus();
    } catch (const EMaxError&) {
        SetNumber(maxVal_);
        ShowEntryMessage(this, QStringLiteral("Entry must be less than or equal to ") + FormatValue(maxVal_));
        ReturnFocus();
    } catch (const EAssignError& e) {
        ShowEntryMessage(this, integerOnly_ ? QStringLiteral("Entry must be a valid integer.") : e.Message());
        ReturnFocus();
    }
}

bool TDataEdit::ValidateEntry() {
    ExitCheck();
    return valid_;
}

void TDataEdit::SafeExitCheck() {
    if (checking_) return;  // the message box takes the focus while it is shown
    checking_ = true;
    try {
        ExitCheck();
    } catch (const Exception& e) {
        // Arithmetic faults of the evaluator: shown, the entry stays invalid.
        ShowEntryMessage(this, e.Message());
        ReturnFocus();
    }
    checking_ = false;
}

void TDataEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    SafeExitCheck();
}

void TDataEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        SafeExitCheck();
        selectAll();
        e->accept();
        return;
    }
    const QString t = e->text();
    if (t.size() == 1 && QStringLiteral("+-/*^=%!").contains(t[0]) && hasSelectedText() &&
        selectedText() == text())
        end(false);  // an operator extends the value instead of replacing it
    QLineEdit::keyPressEvent(e);
}

}  // namespace vortn
