#include "data_edit.h"

#include "message_box.h"
#include "expression.h"
#include "number_format.h"
#include "units.h"
#include "user_action.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <cmath>
#include <cstdint>

namespace vortn {

const long double kDataMaxVal = kDataBoundLimit;
const long double kDataMinVal = -kDataBoundLimit;

namespace {
// Round half to even, kept inside the 64-bit range.
qint64 RoundToInt64(long double x) {
    if (!(x == x)) return 0;
    if (x >= 9.2233720368547758e18L) return INT64_MAX;
    if (x <= -9.2233720368547758e18L) return INT64_MIN;
    return qint64(std::nearbyint(x));
}
}  // namespace

TDataEdit::TDataEdit(QWidget* parent) : TNumericEntry(parent, kDataMinVal, kDataMaxVal) {
    setText(QStringLiteral("0"));
    connect(this, &QLineEdit::textChanged, this, [this] { reported_ = false; });
    refusedAction_ = UserAction() - 1;  // none yet
}

bool TDataEdit::RefusedInThisAction() const { return !valid_ && refusedAction_ == UserAction(); }

QString TDataEdit::FormatValue(long double x) const {
    if (hex_) {
        // Negative values show their 64-bit two's complement.
        const quint64 v = quint64(RoundToInt64(x));
        return QStringLiteral("$") + QString::number(v, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    }
    return FloatToStrG(x, 18);
}

QSize TDataEdit::sizeHint() const {
    // As the line edit measures its own hint, for the widest usual text
    // in place of its 17 x's.
    const QFontMetrics fm(font());
    const QMargins text = textMargins();
    const int w = fm.horizontalAdvance(QStringLiteral("-2.16666666666666667")) + 2 * 2 + text.left() + text.right() + 2;
    QStyleOptionFrame options;
    initStyleOption(&options);
    const QSize wanted = style()->sizeFromContents(QStyle::CT_LineEdit, &options, QSize(w, 0), this);
    return QSize(std::max(QLineEdit::sizeHint().width(), wanted.width()), QLineEdit::sizeHint().height());
}

long double TDataEdit::Number() const { return EvaluateExpression(text()); }

QString TDataEdit::UnitsText(const QString& units, int n) { return EditUnitsText(units, n); }

void TDataEdit::ReturnFocus() {
    if (!window() || !isVisible()) return;
    const QScopedValueRollback returning(FocusBeingReturned(), true);
    setFocus(Qt::OtherFocusReason);
}

void TDataEdit::ExitCheck() {
    valid_ = false;
    emit Exited();
    try {
        const long double x = Number();
        if (integerOnly_ && x != std::trunc(x)) throw EIntError(QString());
        if (x < minVal_) throw EMinError(QString());
        if (!(x <= maxVal_)) throw EMaxError(QString());
        WriteText(FormatValue(x));
        valid_ = true;
    } catch (const EIntError&) {
        RefusalBox(this, QStringLiteral("Entry must be an integer."));
        ReturnFocus();
    } catch (const EMinError&) {
        SetNumber(minVal_);
        RefusalBox(this, QStringLiteral("Entry must be greater than or equal to ") + FormatValue(minVal_));
        ReturnFocus();
    } catch (const EMaxError&) {
        SetNumber(maxVal_);
        RefusalBox(this, QStringLiteral("Entry must be less than or equal to ") + FormatValue(maxVal_));
        ReturnFocus();
    } catch (const EAssignError& e) {
        RefusalBox(this, integerOnly_ ? QStringLiteral("Entry must be a valid integer.") : e.Message());
        ReturnFocus();
    }
}

bool TDataEdit::ValidateEntry() {
    const QString checked = text();
    try {
        ExitCheck();
    } catch (const Exception& e) {
        // Arithmetic faults of the evaluator (1/0, an overflow) are entry
        // errors too: shown, the entry stays invalid, nothing goes further.
        RefusalBox(this, e.Message());
        ReturnFocus();
    }
    // A bound put in place of the entry is checked again when the box is left.
    reported_ = !valid_ && text() == checked;
    if (!valid_) refusedAction_ = UserAction();
    return valid_;
}

void TDataEdit::SafeExitCheck() {
    if (checking_) return;  // the message box takes the focus while it is shown
    checking_ = true;
    ValidateEntry();
    checking_ = false;
}

bool TDataEdit::FocusLeftForm() const {
    const QWidget* form = this;
    while (form->parentWidget() && !form->isWindow() && !qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        form = form->parentWidget();
    for (const QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (w == form) return false;
    return true;
}

void TDataEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // An entry already reported is not reported again when another window
    // of the program takes the focus (opening another dialog).
    if (LeftByUser(e) && !(reported_ && FocusLeftForm())) SafeExitCheck();
}

void TDataEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        SafeExitCheck();
        selectAll();
        e->accept();
        return;
    }
    const QString t = e->text();
    if (t.size() == 1 && QStringLiteral("+-/*^=%!").contains(t[0]) && hasSelectedText() && selectedText() == text())
        end(false);  // an operator extends the value instead of replacing it
    QLineEdit::keyPressEvent(e);
}

}  // namespace vortn
