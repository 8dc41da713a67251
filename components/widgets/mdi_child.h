// How every window of the program becomes an MDI child: its frame takes the
// size the form is laid out at, it opens wholly inside the visible part of
// the area, stays inside when the area changes size, and it carries the
// main window's icon. Cascade sizes and places the children by the same
// rule.
#pragma once

#include <QMdiSubWindow>
#include <QSize>

class QMdiArea;

namespace vortn {

class TMdiChildWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit TMdiChildWindow(QWidget* form, Qt::WindowFlags flags = {});

    // The form's size: the size a form without a layout lays itself out
    // at (its size hint), else the size it was designed at, never below
    // what its layout needs.
    QSize FormSize() const;
    // The frame around FormSize(), never larger than the area's visible part.
    QSize sizeHint() const override;

protected:
    // A child that changes size while shown stays wholly inside the area.
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize designed_;  // empty when the form was never given a size
};

// Adds `form` to `area` as a child framed by TMdiChildWindow, sized and
// placed before it is shown; freed when closed, as the area's own children
// are. `flags` empty: the usual title-bar buttons.
QMdiSubWindow* AddMdiChild(QMdiArea* area, QWidget* form, Qt::WindowFlags flags = {});

// Resizes a normal (neither maximized nor minimized) child to its size hint
// and moves it back inside the area's visible part where it sticks out.
void FitMdiChild(QMdiSubWindow* sub);

// From now on, whenever the visible part of `area` changes size (a tool bar
// shown or hidden, the main window resized or maximized), every child that
// is not maximized is moved back inside it; a child larger than the area
// shrinks to it and takes its own size back once the area has room again,
// unless it was resized in between.
void KeepMdiChildrenInside(QMdiArea* area);

// Window > Cascade: the shown children, maximized ones restored, each at its
// size hint (the form's size, bounded by the area) and stepped down and
// right by a title bar from the one behind, in their stacking order; one
// that would reach below the area starts a new run at the top, so that
// every child lies wholly inside.
void CascadeMdiChildren(QMdiArea* area);

// Lines the minimized children up along the bottom of the area, left to
// right and row above row; the other children keep their places.
void ArrangeIcons(QMdiArea* area);

}  // namespace vortn
