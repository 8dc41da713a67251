// The part the numeric entry box and the numeric combo box have in common:
// bounds, whole-number setting, and the attached "Caption (units)" label.
// `Derived` supplies three hooks: Number() (the value of its text),
// FormatValue(x) and WriteText(s) (how a value is shown), and
// UnitsText(units, n) (how the units read in the label).
// Not a QObject of its own: Q_OBJECT stays on the concrete classes.
#pragma once

#include "exceptions.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <algorithm>
#include <limits>

namespace vortn {

// True while a refused entry takes the focus back: the box the user moved
// to meanwhile loses it to the program, not to the user, and checks nothing.
inline bool& FocusBeingReturned() {
    static bool returning = false;
    return returning;
}

// The widest bound of an entry box: just inside the 80-bit range.
inline constexpr long double kDataBoundLimit = 1.18973149535e4932L;

template <class QtBase, class Derived>
class TNumericEntry : public QtBase {
public:
    bool IntegerOnly() const { return integerOnly_; }
    void SetIntegerOnly(bool b) {
        integerOnly_ = b;
        if (b && !reading_) {
            SetMaxVal(maxVal_);
            SetMinVal(minVal_);
        }
    }
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& s) {
        caption_ = s;
        Relabel();
    }
    QLabel* EditLabel() const { return label_; }
    void SetEditLabel(QLabel* label) {
        label_ = label;
        if (label) label->setBuddy(this);
        Relabel();
    }
    long double MaxVal() const { return maxVal_; }
    void SetMaxVal(long double v) {
        if (!reading_) {
            if (v < minVal_) v = minVal_;
            if (integerOnly_) v = std::clamp(v, kIntMin, kIntMax);
        }
        maxVal_ = v;
        if (!reading_) {
            // An unreadable text has no value to pull inside the bound.
            try {
                if (Self().Number() > v) SetNumber(v);
            } catch (const Exception&) {
            }
        }
    }
    long double MinVal() const { return minVal_; }
    void SetMinVal(long double v) {
        if (!reading_) {
            if (v > maxVal_) v = maxVal_;
            if (integerOnly_) v = std::clamp(v, kIntMin, kIntMax);
        }
        minVal_ = v;
        if (!reading_) {
            try {
                if (Self().Number() < v) SetNumber(v);
            } catch (const Exception&) {
            }
        }
    }
    void SetNumber(long double x) {
        if (!reading_) {
            if (x < minVal_) x = minVal_;
            if (x > maxVal_) x = maxVal_;
        }
        Self().WriteText(Self().FormatValue(x));
    }
    const QString& UnitsString() const { return unitsString_; }
    void SetUnitsString(const QString& s) {
        unitsString_ = s;
        Relabel();
    }
    int Units() const { return units_; }
    void SetUnits(int n) {
        units_ = std::clamp(n, 1, 3);
        Relabel();
    }
    // The bounds as form properties hold them (double; the widest bounds
    // read as the largest double).
    double MaxValProperty() const { return ToDouble(maxVal_); }
    void SetMaxValProperty(double v) { SetMaxVal(FromDouble(v)); }
    double MinValProperty() const { return ToDouble(minVal_); }
    void SetMinValProperty(double v) { SetMinVal(FromDouble(v)); }
    // While set the box is being loaded from its form: no clamping.
    bool Reading() const { return reading_; }
    void SetReading(bool b) { reading_ = b; }

protected:
    TNumericEntry(QWidget* parent, long double minVal, long double maxVal)
        : QtBase(parent), maxVal_(maxVal), minVal_(minVal) {}

    // A form made in Designer links a label to its box by the label's buddy:
    // such a label becomes the EditLabel when none was given and the box has
    // a caption to show in it.
    bool event(QEvent* e) override {
        if (e->type() == QEvent::Polish && !label_ && !caption_.isEmpty()) {
            for (QLabel* l : this->window()->template findChildren<QLabel*>())
                if (l->buddy() == this) {
                    SetEditLabel(l);
                    break;
                }
        }
        return QtBase::event(e);
    }

    void changeEvent(QEvent* e) override {
        QtBase::changeEvent(e);
        if (e->type() == QEvent::EnabledChange) Relabel();
    }

    // Whether losing the focus means the user left the box (tab, click
    // elsewhere, another MDI child): not when the application or the window
    // is deactivated, a pop-up menu or the box's own list opens, or the box
    // is hidden or destroyed, or a refused entry takes the focus back. Only
    // then does the exit check run.
    bool LeftByUser(const QFocusEvent* e) const {
        if (FocusBeingReturned()) return false;
        if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::MenuBarFocusReason) return false;
        if (e->reason() == Qt::ActiveWindowFocusReason && QApplication::activeWindow() != this->window()) return false;
        if (!this->isVisible()) return false;
        for (const QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (w == this) return false;  // into the box's own parts (the combo's list)
        return true;
    }

    void Relabel() {
        if (!label_) return;
        label_->setEnabled(this->isEnabled());
        if (!unitsString_.isEmpty())
            label_->setText(caption_ + QStringLiteral(" (") + Derived::UnitsText(unitsString_, units_) +
                            QStringLiteral(")"));
        else
            label_->setText(caption_);
    }

    bool integerOnly_ = false;
    QString caption_;
    QPointer<QLabel> label_;
    long double maxVal_;
    long double minVal_;
    QString unitsString_;
    int units_ = 1;
    bool reading_ = false;

private:
    // A whole-number box keeps its bounds inside the 32-bit range.
    static constexpr long double kIntMin = -2147483648.0L;
    static constexpr long double kIntMax = 2147483647.0L;

    Derived& Self() { return static_cast<Derived&>(*this); }
    static double ToDouble(long double v) {
        return double(
                std::clamp<long double>(v, -std::numeric_limits<double>::max(), std::numeric_limits<double>::max()));
    }
    // The largest double stands for the widest bound.
    static long double FromDouble(double v) {
        if (v >= std::numeric_limits<double>::max()) return kDataBoundLimit;
        if (v <= -std::numeric_limits<double>::max()) return -kDataBoundLimit;
        return v;
    }
};

}  // namespace vortn
