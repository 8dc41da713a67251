// A form whose contents scroll: its controls keep their cells in the
// layout, their tab order and whether they are hidden; the form asks for
// its contents' whole size, shows them without bars at that size and
// scrolls, labels whole, below it.
#include "patience.h"
#include "scrolled_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest/QTest>

using namespace vortn;

namespace {

QList<QWidget*> TabOrder(QWidget* form) {
    QList<QWidget*> chain;
    for (QWidget* w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus && !chain.contains(w)) chain << w;
    return chain;
}

TEST(ScrolledForm, ControlsKeepTheirCellsTabOrderAndHiddenState) {
    QWidget form;
    auto* grid = new QGridLayout(&form);
    auto* mass = new QLabel(QStringLiteral("Total mass (self weight only) of the foundation (Mg)"));
    auto* massBox = new QLineEdit(QStringLiteral("60"));
    auto* inertia = new QLabel(QStringLiteral("Mass moment of inertia about X-axis (Mg-m^2)"));
    auto* inertiaBox = new QLineEdit(QStringLiteral("90"));
    auto* hiddenBox = new QLineEdit;
    auto* calculate = new QPushButton(QStringLiteral("Calculate mass moment of inertia"));
    auto* input = new QPushButton(QStringLiteral("Input all the mass components"));
    grid->addWidget(mass, 0, 0);
    grid->addWidget(massBox, 0, 1);
    grid->addWidget(inertia, 1, 0);
    grid->addWidget(inertiaBox, 1, 1);
    grid->addWidget(hiddenBox, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(input);
    buttons->addWidget(calculate);
    grid->addLayout(buttons, 3, 0, 1, 2);
    hiddenBox->hide();
    // An order of its own, not the order the controls were made in.
    QWidget::setTabOrder(calculate, inertiaBox);
    QWidget::setTabOrder(inertiaBox, massBox);
    QWidget::setTabOrder(massBox, input);
    const QList<QWidget*> order = TabOrder(&form);
    const QSize hint = form.sizeHint();

    ScrollFormContents(&form);
    auto* scroll = form.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(scroll->widget()->isAncestorOf(calculate));
    EXPECT_EQ(form.sizeHint(), hint);
    EXPECT_EQ(TabOrder(&form), order);
    // The scroll area takes no focus: the first control does, as before.
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, test::kPatienceMs));
    EXPECT_EQ(QApplication::focusWidget(), order.first());
    form.hide();

    form.resize(hint);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, test::kPatienceMs));
    EXPECT_TRUE(hiddenBox->isHidden());
    EXPECT_TRUE(massBox->isVisible() && input->isVisible());
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
    // Each in its cell: a label left of its box, the buttons side by side below.
    EXPECT_EQ(mass->geometry().center().y(), massBox->geometry().center().y());
    EXPECT_LT(mass->geometry().right(), massBox->geometry().left());
    EXPECT_LT(massBox->geometry().bottom(), inertiaBox->geometry().top());
    EXPECT_LT(inertiaBox->geometry().bottom(), input->geometry().top());
    EXPECT_EQ(input->geometry().top(), calculate->geometry().top());

    // Half the size: bars, and the labels keep their whole text.
    form.resize(hint / 2);
    QApplication::processEvents();
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
    for (QLabel* l : {mass, inertia})
        EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << l->text().toStdString();
    scroll->ensureWidgetVisible(calculate);
    EXPECT_TRUE(scroll->viewport()->rect().contains(
            QRect(calculate->mapTo(scroll->viewport(), QPoint(0, 0)), calculate->size())));
}

// A picture loaded into the contents once the form is set up reaches the
// form's size hint at once, as the window that grows to it asks.
TEST(ScrolledForm, ContentsThatGrowGrowTheFormsSizeHint) {
    QWidget form;
    auto* grid = new QGridLayout(&form);
    auto* picture = new QLabel;
    grid->addWidget(picture, 0, 0);
    ScrollFormContents(&form);
    const QSize before = form.sizeHint();
    QPixmap pixmap(400, 300);
    pixmap.fill(Qt::white);
    picture->setPixmap(pixmap);
    EXPECT_GE(form.sizeHint().width(), 400) << before.width();
    EXPECT_GE(form.sizeHint().height(), 300) << before.height();
}

// The form still paints itself beneath its contents (its background, what a
// form draws of its own): the scroll area is seen through.
TEST(ScrolledForm, TheFormStillPaintsBeneathItsContents) {
    class Paints : public QObject {
    public:
        bool painted = false;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) painted = true;
            return false;
        }
    } paints;
    QWidget form;
    auto* grid = new QGridLayout(&form);
    grid->addWidget(new QLineEdit, 0, 0);
    ScrollFormContents(&form);
    form.installEventFilter(&paints);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, test::kPatienceMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return paints.painted; }, test::kPatienceMs));
}

// A form without a box or grid layout is left as it is.
TEST(ScrolledForm, AFormWithoutALayoutIsLeftAlone) {
    QWidget form;
    auto* box = new QLineEdit(&form);
    ScrollFormContents(&form);
    EXPECT_EQ(form.findChild<QScrollArea*>(), nullptr);
    EXPECT_EQ(box->parentWidget(), &form);
}

}  // namespace
