#include "mdi_child.h"

#include <QEvent>
#include <QHash>
#include <QLayout>
#include <QSet>
#include <QMdiArea>
#include <QResizeEvent>
#include <algorithm>

namespace vortn {

namespace {

QSize VisibleAreaSize(const QMdiArea* area) { return area && area->viewport() ? area->viewport()->size() : QSize(); }

// Whole sub-window rectangle moved so that it lies inside `room`, from
// the top-left corner when it is larger.
QRect Inside(QRect r, const QSize& room) {
    r.moveLeft(std::clamp(r.left(), 0, std::max(0, room.width() - r.width())));
    r.moveTop(std::clamp(r.top(), 0, std::max(0, room.height() - r.height())));
    return r;
}

// Watches the area's visible part and keeps the children inside it.
class TMdiChildKeeper : public QObject {
public:
    explicit TMdiChildKeeper(QMdiArea* area) : QObject(area), area_(area) {
        area->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize && watched == area_->viewport()) KeepInside();
        return false;
    }

private:
    // A child shrunk to the area: the size it had before and the one it got.
    struct Shrunk {
        QSize own, given;
    };

    void KeepInside() {
        const QSize room = VisibleAreaSize(area_);
        if (!room.isValid() || room.isEmpty()) return;
        for (QMdiSubWindow* sub : area_->subWindowList()) {
            // Also a child not shown yet: it is shown where it was placed.
            if (sub->isMaximized()) continue;
            if (sub->isMinimized()) {
                sub->move(Inside(sub->geometry(), room).topLeft());
                continue;
            }
            // A size changed since the child was shrunk is its own now.
            const auto it = shrunk_.constFind(sub);
            const QSize own = it != shrunk_.cend() && sub->size() == it->given ? it->own : sub->size();
            const QRect r = Inside(QRect(sub->pos(), own.boundedTo(room)), room);
            if (r != sub->geometry()) sub->setGeometry(r);
            if (sub->size() == own) {
                shrunk_.remove(sub);
                continue;
            }
            if (!watched_.contains(sub)) {
                watched_.insert(sub);
                connect(sub, &QObject::destroyed, this, [this, sub] {
                    shrunk_.remove(sub);
                    watched_.remove(sub);
                });
            }
            shrunk_.insert(sub, {own, sub->size()});
        }
    }

    QMdiArea* area_;
    QHash<QMdiSubWindow*, Shrunk> shrunk_;
    QSet<QMdiSubWindow*> watched_;  // told when they are freed
};

}  // namespace

TMdiChildWindow::TMdiChildWindow(QWidget* form, Qt::WindowFlags flags) : QMdiSubWindow(nullptr, flags) {
    // A size given by the form (its Designer geometry) is its own;
    // otherwise it is only what the widget starts with.
    if (form->testAttribute(Qt::WA_Resized)) designed_ = form->size();
    setWidget(form);
}

QSize TMdiChildWindow::FormSize() const {
    const QWidget* form = widget();
    if (!form) return designed_;
    const QSize hint = form->sizeHint();
    if (!form->layout() && hint.isValid() && !hint.isEmpty()) return hint;
    QSize s = designed_;
    if (hint.isValid()) s = s.expandedTo(hint);
    return s.expandedTo(form->minimumSizeHint()).expandedTo(form->minimumSize());
}

QSize TMdiChildWindow::sizeHint() const {
    // In the area, the sub-window's contents margins are its frame and title bar.
    const QMargins frame = contentsMargins();
    QSize s = FormSize() + QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    s = s.expandedTo(minimumSizeHint());
    const QSize room = VisibleAreaSize(mdiArea());
    if (room.isValid() && !room.isEmpty()) s = s.boundedTo(room);
    return s;
}

void TMdiChildWindow::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    // A form that grows once placed (a picture loaded into it) would hang
    // out of the area: it is fitted again, as it was placed.
    QMdiArea* area = mdiArea();
    if (!area || !area->isVisible() || isMaximized() || isMinimized()) return;
    const QSize room = VisibleAreaSize(area);
    if (!room.isValid() || room.isEmpty()) return;
    const QRect r = Inside(QRect(pos(), size().boundedTo(room)), room);
    if (r != geometry()) setGeometry(r);
}

QMdiSubWindow* AddMdiChild(QMdiArea* area, QWidget* form, Qt::WindowFlags flags) {
    auto* sub = new TMdiChildWindow(form, flags);
    sub->setAttribute(Qt::WA_DeleteOnClose);  // as the area's own children
    if (!area) return sub;
    sub->setWindowIcon(area->window()->windowIcon());
    // A visible area sizes the new child by its size hint and places it by
    // that size; a hidden one places it when it is shown.
    area->addSubWindow(sub);
    if (!sub->testAttribute(Qt::WA_Resized)) sub->resize(sub->sizeHint());
    if (area->isVisible()) sub->setGeometry(Inside(sub->geometry(), VisibleAreaSize(area)));
    return sub;
}

void FitMdiChild(QMdiSubWindow* sub) {
    if (!sub || sub->isMaximized() || sub->isMinimized()) return;
    const QSize room = VisibleAreaSize(sub->mdiArea());
    QRect r(sub->pos(), sub->sizeHint());
    if (room.isValid() && !room.isEmpty()) r = Inside(r, room);
    if (r != sub->geometry()) sub->setGeometry(r);
}

void KeepMdiChildrenInside(QMdiArea* area) {
    if (area && area->viewport()) new TMdiChildKeeper(area);
}

void CascadeMdiChildren(QMdiArea* area) {
    if (!area) return;
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::StackingOrder)) {
        if (!sub->isVisible() || sub->isMinimized()) continue;
        if (sub->isMaximized()) sub->showNormal();
        subs << sub;
    }
    if (subs.isEmpty()) return;
    const QSize room = VisibleAreaSize(area);
    // One title bar (with the frame above it) from one child to the next.
    const int step = std::max(subs.first()->contentsMargins().top(), 8);
    int x = 0, y = 0;
    for (QMdiSubWindow* sub : subs) {
        QSize size = sub->sizeHint();
        if (!size.isValid() || size.isEmpty()) size = sub->size();
        if (room.isValid() && !room.isEmpty()) {
            size = size.boundedTo(room);
            if (y > 0 && y + size.height() > room.height()) y = 0;
            if (x > 0 && x + size.width() > room.width()) x = 0;
        }
        QRect r(QPoint(x, y), size);
        if (room.isValid() && !room.isEmpty()) r = Inside(r, room);
        sub->setGeometry(r);
        x += step;
        y += step;
    }
}

void ArrangeIcons(QMdiArea* area) {
    if (!area) return;
    const QSize room = VisibleAreaSize(area);
    int x = 0, y = room.height();
    int rowHeight = 0;
    for (QMdiSubWindow* sub : area->subWindowList()) {
        if (!sub->isVisible() || !sub->isMinimized()) continue;
        const QSize s = sub->size();
        if (x > 0 && x + s.width() > room.width()) {
            x = 0;
            y -= rowHeight;
            rowHeight = 0;
        }
        rowHeight = std::max(rowHeight, s.height());
        sub->move(x, y - s.height());
        x += s.width();
    }
}

}  // namespace vortn
