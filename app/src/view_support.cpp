#include "message_box.h"
#include "view_support.h"

#include "message_box.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace vortn {

QString FixedText(Extended value, int precision, int digits) {
    if (!std::isfinite(double(value)))
        return value != value ? QStringLiteral("NAN") : value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (std::fabs(double(value)) >= std::pow(10.0, precision)) return ExponentText(value, precision, 1);
    QString s = QString::number(double(value), 'f', digits);
    if (s.startsWith(QLatin1Char('-'))) {
        bool allZero = true;
        for (QChar c : s)
            if (c.isDigit() && c != QLatin1Char('0')) allZero = false;
        if (allZero) s.remove(0, 1);
    }
    return s;
}

QString ExponentText(Extended value, int precision, int digits) {
    if (!std::isfinite(double(value))) return FixedText(value, precision, 0);
    QString s = QString::number(double(value), 'E', std::max(0, precision - 1));
    const int e = int(s.indexOf(QLatin1Char('E')));
    QString exponent = s.mid(e + 2);
    while (exponent.size() > std::max(1, digits) && exponent.startsWith(QLatin1Char('0'))) exponent.remove(0, 1);
    while (exponent.size() < digits) exponent.prepend(QLatin1Char('0'));
    return s.left(e + 2) + exponent;
}

int RoundPixel(Extended value) {
    constexpr double limit = 1 << 28;
    const double v = double(value);
    if (!(v > -limit)) return -int(limit);  // also NaN
    if (v > limit) return int(limit);
    return int(std::nearbyint(v));
}

void TextOutTop(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}

namespace {
// Watches the view's sub-window (or the view itself) for activation.
class TActivationWatch : public QObject {
public:
    TActivationWatch(QWidget* form, std::function<void()> onActivate)
        : QObject(form), form_(form), onActivate_(std::move(onActivate)) {
        form->installEventFilter(this);
        Attach();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == form_ && (event->type() == QEvent::ParentChange || event->type() == QEvent::Show)) Attach();
        if (watched == form_ && event->type() == QEvent::ActivationChange && !sub_ && form_->isWindow() &&
            form_->isActiveWindow())
            onActivate_();
        return false;
    }

private:
    void Attach() {
        auto* sub = qobject_cast<QMdiSubWindow*>(form_->parentWidget());
        if (sub == sub_) return;
        QObject::disconnect(connection_);
        sub_ = sub;
        if (!sub_) return;
        connection_ = QObject::connect(sub_, &QMdiSubWindow::windowStateChanged, this,
                                       [this](Qt::WindowStates before, Qt::WindowStates now) {
                                           if (!(before & Qt::WindowActive) && (now & Qt::WindowActive)) onActivate_();
                                       });
    }

    QWidget* form_;
    std::function<void()> onActivate_;
    QMdiSubWindow* sub_ = nullptr;
    QMetaObject::Connection connection_;
};
}  // namespace

void ConnectViewActivation(QWidget* form, std::function<void()> onActivate) {
    new TActivationWatch(form, std::move(onActivate));
}

void CloseViewWindow(QWidget* form) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        sub->close();
    else
        form->close();
}

bool PrintLandscapePage(QWidget* form, QPrinter& printer, const QString& title,
                        const std::function<void(QPainter&, const QRect&)>& draw) {
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer)) {
        InformationBox(form, QStringLiteral("The page could not be printed: the printer did not start it."));
        return false;
    }
    draw(painter, QRect(0, 0, printer.width(), printer.height()));
    if (!painter.end()) {
        InformationBox(form, QStringLiteral("The page could not be printed."));
        return false;
    }
    return true;
}

}  // namespace vortn
