#include "mdi_child.h"

#include <QLayout>
#include <QMdiArea>
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
    const QSize room = VisibleAreaSize(mdiArea());
    if (room.isValid() && !room.isEmpty()) s = s.boundedTo(room);
    return s.expandedTo(minimumSizeHint());
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
