#include "scrolled_form.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLayout>
#include <QList>
#include <QScrollArea>
#include <QWidget>

namespace vortn {

namespace {

// Asks for the whole size of its contents: QScrollArea's own hint stops at a
// few dozen lines of text, and the window is sized by this hint.
class TFormScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const QWidget* contents = widget();
        if (!contents) return QScrollArea::sizeHint();
        const QMargins m = contentsMargins();
        return contents->sizeHint().expandedTo(contents->minimumSizeHint()) +
               QSize(m.left() + m.right(), m.top() + m.bottom());
    }
};

// The contents' layout: a change of it (a picture loaded) reaches the
// form's size hint at once, as it did before the contents moved.
template <class Layout>
class TContentsLayout : public Layout {
public:
    using Layout::Layout;
    QWidget* scroll = nullptr;
    void invalidate() override {
        Layout::invalidate();
        if (scroll) scroll->updateGeometry();
    }
};
using TContentsGrid = TContentsLayout<QGridLayout>;
using TContentsBox = TContentsLayout<QBoxLayout>;

// The controls of `form` that take the focus with Tab, in the order Tab
// visits them; a control's own parts (a combo box's line edit) are left to it.
QList<QWidget*> TabChain(QWidget* form) {
    QList<QWidget*> chain;
    for (QWidget* w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain()) {
        if (!form->isAncestorOf(w) || !(w->focusPolicy() & Qt::TabFocus)) continue;
        bool part = false;
        for (const QWidget* p = w->parentWidget(); p && p != form && !part; p = p->parentWidget())
            part = chain.contains(p);
        if (!part && !chain.contains(w)) chain << w;
    }
    return chain;
}

// One item of the old layout with its place in it.
struct TCell {
    QLayoutItem* item;
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    int stretch = 0;
};

}  // namespace

void ScrollFormContents(QWidget* form) {
    if (!form) return;
    QLayout* old = form->layout();
    auto* grid = qobject_cast<QGridLayout*>(old);
    auto* box = qobject_cast<QBoxLayout*>(old);
    if (!grid && !box) return;
    const QList<QWidget*> chain = TabChain(form);

    QList<TCell> cells;
    while (old->count() > 0) {
        TCell c;
        if (grid) grid->getItemPosition(0, &c.row, &c.column, &c.rowSpan, &c.columnSpan);
        if (box) c.stretch = box->stretch(0);
        c.item = old->takeAt(0);
        if (c.item) cells << c;
    }

    auto* contents = new QWidget;
    QLayout* fresh = nullptr;
    if (grid) {
        auto* g = new TContentsGrid(contents);
        g->setHorizontalSpacing(grid->horizontalSpacing());
        g->setVerticalSpacing(grid->verticalSpacing());
        for (int r = 0; r < grid->rowCount(); ++r) {
            g->setRowStretch(r, grid->rowStretch(r));
            g->setRowMinimumHeight(r, grid->rowMinimumHeight(r));
        }
        for (int c = 0; c < grid->columnCount(); ++c) {
            g->setColumnStretch(c, grid->columnStretch(c));
            g->setColumnMinimumWidth(c, grid->columnMinimumWidth(c));
        }
        fresh = g;
    } else {
        auto* b = new TContentsBox(box->direction(), contents);
        b->setSpacing(box->spacing());
        fresh = b;
    }
    fresh->setContentsMargins(old->contentsMargins());
    fresh->setSizeConstraint(old->sizeConstraint());

    // Without its layout the form lets its controls go without a trace.
    const QList<QWidget*> controls = form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    delete old;
    for (QWidget* w : controls) {
        if (w->isWindow()) continue;
        const bool hidden = w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide);
        w->setParent(contents);
        if (hidden) w->hide();
    }

    for (const TCell& c : cells) {
        const Qt::Alignment align = c.item->alignment();
        QLayout* sub = c.item->layout();
        QWidget* w = sub ? nullptr : c.item->widget();
        if (grid) {
            auto* g = static_cast<QGridLayout*>(fresh);
            if (sub)
                g->addLayout(sub, c.row, c.column, c.rowSpan, c.columnSpan, align);
            else if (w)
                g->addWidget(w, c.row, c.column, c.rowSpan, c.columnSpan, align);
            else
                g->addItem(c.item, c.row, c.column, c.rowSpan, c.columnSpan, align);
        } else {
            auto* b = static_cast<QBoxLayout*>(fresh);
            if (sub)
                b->addLayout(sub, c.stretch);
            else if (w)
                b->addWidget(w, c.stretch, align);
            else {
                b->addItem(c.item);
                b->setStretch(b->count() - 1, c.stretch);
            }
        }
        if (w) delete c.item;  // the new layout made its own
    }

    auto* scroll = new TFormScrollArea(form);
    if (auto* g = dynamic_cast<TContentsGrid*>(fresh)) g->scroll = scroll;
    if (auto* b = dynamic_cast<TContentsBox*>(fresh)) b->scroll = scroll;
    scroll->setFrameShape(QFrame::NoFrame);
    // The focus goes to the form's first control as before, never to the area.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    // Seen through: the form paints its own background, as before.
    scroll->viewport()->setAutoFillBackground(false);
    scroll->setWidget(contents);
    contents->setAutoFillBackground(false);  // set by setWidget
    auto* outer = new QVBoxLayout(form);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    for (int i = 0; i + 1 < chain.size(); ++i) QWidget::setTabOrder(chain[i], chain[i + 1]);
    // A size given to the form still grows to what its contents need, as
    // its layout made it before: the bars come only where there is no room.
    if (form->testAttribute(Qt::WA_Resized)) form->resize(form->size().expandedTo(contents->minimumSizeHint()));
}

}  // namespace vortn
