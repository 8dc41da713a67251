#include "view_support.h"

#include "message_box.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace vortn {

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
