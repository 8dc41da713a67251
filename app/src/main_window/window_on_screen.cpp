#include "window_on_screen.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace vortn {

QRect ClientRectInside(const QRect& client, const QMargins& frame, const QRect& available) {
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const QSize size = client.size().boundedTo(room);
    QRect outer(client.topLeft() - QPoint(frame.left(), frame.top()), size.grownBy(frame));
    outer.moveLeft(std::clamp(outer.left(), available.left(),
                              std::max(available.left(), available.right() + 1 - outer.width())));
    outer.moveTop(std::clamp(outer.top(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - outer.height())));
    return QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), size);
}

namespace {

class TFrameOnScreenKeeper : public QObject {
public:
    explicit TFrameOnScreenKeeper(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type t = event->type();
        if (watched == window_ && (t == QEvent::Show || t == QEvent::Move || t == QEvent::Resize)) Fit();
        return false;
    }

private:
    void Fit() {
        if (!window_->isVisible() ||
            window_->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
            return;
        const QWindow* handle = window_->windowHandle();
        const QMargins frame = handle ? handle->frameMargins() : QMargins();
        if (fitted_ && frame == frame_) return;
        fitted_ = true;
        frame_ = frame;
        const QScreen* screen = window_->screen();
        if (!screen) return;
        // At a fractional scale the frame's size in the window's pixels is
        // rounded; one pixel more keeps the rounded-off part on the screen.
        const qreal ratio = window_->devicePixelRatioF();
        const int slack = ratio == std::floor(ratio) ? 0 : 1;
        const QRect client = window_->geometry();
        const QRect fitted =
                ClientRectInside(client, frame + QMargins(0, 0, slack, slack), screen->availableGeometry());
        if (fitted.size() != client.size()) window_->resize(fitted.size());
        if (fitted.topLeft() != client.topLeft()) window_->move(fitted.topLeft() - QPoint(frame.left(), frame.top()));
    }

    QWidget* window_;
    bool fitted_ = false;
    QMargins frame_;
};

}  // namespace

void KeepOpeningFrameOnScreen(QWidget* window) {
    if (window) new TFrameOnScreenKeeper(window);
}

}  // namespace vortn
