// The main window's MDI children as the user meets them: each opens at its
// form's size wholly inside the area, keeps a usable size after Cascade,
// Tile and Restore, carries the program's icon; small dialogs do not take
// over a maximized plot's state; Arrange Icons only lines up the icons;
// plot windows are titled by their plot. Screenshots in build/tests.
#include "front_end_fixture.h"
#include "graph_plot.h"
#include "grid_editor.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QtTest/QTest>

#include <functional>

using namespace vortn;
using namespace vortn::test;

namespace {

class MdiWindows : public FrontEndFixture {
protected:
    void SetUp() override {
        FrontEndFixture::SetUp();
        Form().OpenFileName(CopyExample(QStringLiteral("project-pile")));
        Form().resize(1280, 1000);
        QApplication::processEvents();
    }
    QMdiArea* Area() { return Form().MdiArea(); }
    QRect Visible() { return QRect(QPoint(0, 0), Area()->viewport()->size()); }
    QMdiSubWindow* Child(const QString& title) {
        for (QMdiSubWindow* s : Area()->subWindowList())
            if (s->windowTitle().trimmed() == title) return s;
        return nullptr;
    }
    QMdiSubWindow* Open(const std::function<void()>& open, const QString& title) {
        open();
        QApplication::processEvents();
        QMdiSubWindow* s = Child(title);
        EXPECT_NE(s, nullptr) << title.toStdString();
        return s;
    }
    // A result plot with one curve, opened as its window.
    QMdiSubWindow* OpenPlot(TGraphPlot& plot, const QString& caption) {
        plot.Caption = caption;
        plot.SetLineCount(1);
        plot.SetPointCount(3);
        for (int i = 0; i < 3; ++i) plot.Points(0, i).X = i, plot.Points(0, i).Y = i * i;
        plot.Execute();
        QApplication::processEvents();
        auto* form = dynamic_cast<QWidget*>(plot.Window());
        EXPECT_NE(form, nullptr);
        return form ? qobject_cast<QMdiSubWindow*>(form->parentWidget()) : nullptr;
    }
    void Save(const char* name) { Form().grab().save(ScreenshotFile(name)); }
};

// The geometry views are drawn on white: inside the child's client area
// the screenshot shows white, not the area's grey.
bool WhiteAt(const QImage& shot, QPoint p) { return shot.pixelColor(p) == QColor(Qt::white); }

TEST_F(MdiWindows, EveryChildOpensAtItsFormSizeWhollyInsideTheArea) {
    struct Case {
        const char* title;
        std::function<void()> open;
        QSize form;  // empty: the size the form lays itself out at
    };
    TMainForm& w = Form();
    const Case cases[] = {
            {"Top View", [&] { w.TopViewClick(); }, QSize(600, 420)},
            {"Side View (XZ-Plane)", [&] { w.SideViewXZClick(); }, QSize(600, 420)},
            {"Side View (YZ-Plane)", [&] { w.SideViewYZClick(); }, QSize(600, 420)},
            {"Pile Coordinations", [&] { w.DataPileCoordinatesClick(); }, QSize()},
            {"Soil Properties", [&] { w.DataSoilLayerClick(); }, QSize()},
            {"Project Title", [&] { w.DataTitleClick(); }, QSize()},
    };
    for (const Case& c : cases) {
        QMdiSubWindow* s = Open(c.open, QLatin1String(c.title));
        ASSERT_NE(s, nullptr);
        const QSize expected = c.form.isEmpty() ? s->widget()->sizeHint() : c.form;
        EXPECT_EQ(s->widget()->size(), expected) << c.title;
        EXPECT_TRUE(Visible().contains(s->geometry())) << c.title << " at " << s->x() << "," << s->y();
    }
    Save("mdi_children_opened.png");
    const QImage shot = Area()->viewport()->grab().toImage();
    QMdiSubWindow* top = Child(QStringLiteral("Top View"));
    const QPoint inside = top->geometry().topLeft() + top->widget()->geometry().center();
    EXPECT_TRUE(WhiteAt(shot, inside));
}

TEST_F(MdiWindows, CascadeTileAndRestoreKeepUsableSizes) {
    TMainForm& w = Form();
    QMdiSubWindow* top = Open([&] { w.TopViewClick(); }, QStringLiteral("Top View"));
    QMdiSubWindow* side = Open([&] { w.SideViewXZClick(); }, QStringLiteral("Side View (XZ-Plane)"));
    QMdiSubWindow* table = Open([&] { w.DataPileCoordinatesClick(); }, QStringLiteral("Pile Coordinations"));
    QMdiSubWindow* plot = OpenPlot(w.Plots().pltRealKXX(), QStringLiteral("Translational Stiffness"));
    ASSERT_TRUE(top && side && table && plot);
    EXPECT_TRUE(plot->isMaximized());
    plot->showNormal();  // Restore after the maximized opening: the plot form's size
    QApplication::processEvents();
    EXPECT_EQ(plot->widget()->size(), QSize(640, 480));
    plot->showMaximized();
    const QSize tableSize = table->widget()->sizeHint();

    w.Form().WindowCascade->trigger();
    QApplication::processEvents();
    Save("mdi_cascade.png");
    EXPECT_EQ(top->widget()->size(), QSize(600, 420));
    EXPECT_EQ(side->widget()->size(), QSize(600, 420));
    EXPECT_EQ(table->widget()->size(), tableSize);
    EXPECT_FALSE(plot->isMaximized());
    EXPECT_EQ(plot->widget()->size(), QSize(640, 480));  // the plot form's size

    Area()->tileSubWindows();
    QApplication::processEvents();
    Save("mdi_tile.png");
    for (QMdiSubWindow* s : {top, side, table, plot}) {
        EXPECT_GE(s->widget()->width(), 200) << s->windowTitle().toStdString();
        EXPECT_GE(s->widget()->height(), 150) << s->windowTitle().toStdString();
    }

    const QRect before = top->geometry();
    top->showMaximized();
    QApplication::processEvents();
    top->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(top->geometry(), before);
    EXPECT_GE(top->widget()->width(), 200);
}

TEST_F(MdiWindows, ChildrenOpenedOneAfterAnotherStayInside) {
    // Children opened one after the other never reach past the area's
    // right or bottom edge, however many are open.
    TMainForm& w = Form();
    Open([&] { w.TopViewClick(); }, QStringLiteral("Top View"));
    Open([&] { w.SideViewXZClick(); }, QStringLiteral("Side View (XZ-Plane)"));
    Open([&] { w.SideViewYZClick(); }, QStringLiteral("Side View (YZ-Plane)"));
    QMdiSubWindow* table = Open([&] { w.DataPileCoordinatesClick(); }, QStringLiteral("Pile Coordinations"));
    QMdiSubWindow* soil = Open([&] { w.DataSoilLayerClick(); }, QStringLiteral("Soil Properties"));
    for (QMdiSubWindow* s : {table, soil}) {
        ASSERT_NE(s, nullptr);
        EXPECT_TRUE(Visible().contains(s->geometry())) << s->windowTitle().toStdString();
    }
}

TEST_F(MdiWindows, SmallDialogsDoNotOpenMaximizedOverAMaximizedPlot) {
    TMainForm& w = Form();
    QMdiSubWindow* plot = OpenPlot(w.Plots().pltRealKXX(), QStringLiteral("Translational Stiffness"));
    ASSERT_NE(plot, nullptr);
    ASSERT_TRUE(plot->isMaximized());
    for (auto open :
         {std::function<void()>([&] { w.DataTitleClick(); }), std::function<void()>([&] { w.DataOptionsClick(); })}) {
        open();
        QApplication::processEvents();
        QMdiSubWindow* active = Area()->activeSubWindow();
        ASSERT_NE(active, nullptr);
        EXPECT_FALSE(active->isMaximized()) << active->windowTitle().toStdString();
        EXPECT_EQ(active->widget()->size(), active->widget()->sizeHint()) << active->windowTitle().toStdString();
    }
    Save("mdi_title_over_plot.png");
}

TEST_F(MdiWindows, ArrangeIconsLinesUpTheMinimizedChildrenOnly) {
    TMainForm& w = Form();
    QMdiSubWindow* top = Open([&] { w.TopViewClick(); }, QStringLiteral("Top View"));
    QMdiSubWindow* side = Open([&] { w.SideViewXZClick(); }, QStringLiteral("Side View (XZ-Plane)"));
    QMdiSubWindow* table = Open([&] { w.DataPileCoordinatesClick(); }, QStringLiteral("Pile Coordinations"));
    ASSERT_TRUE(top && side && table);
    top->showMinimized();
    side->showMinimized();
    QApplication::processEvents();
    top->move(300, 200);  // the user moved the icons away
    side->move(500, 300);
    table->move(40, 30);
    const QRect tableBefore = table->geometry();

    w.Form().WindowArrange->trigger();
    QApplication::processEvents();
    Save("mdi_arrange_icons.png");
    const int bottom = Area()->viewport()->height();
    EXPECT_EQ(top->geometry().bottom() + 1, bottom);
    EXPECT_EQ(side->geometry().bottom() + 1, bottom);
    EXPECT_EQ(std::min(top->x(), side->x()), 0);
    EXPECT_EQ(std::abs(top->x() - side->x()), top->width());
    EXPECT_TRUE(top->isMinimized() && side->isMinimized());
    EXPECT_EQ(table->geometry(), tableBefore);  // not tiled
}

TEST_F(MdiWindows, PlotWindowsAreTitledByTheirPlot) {
    TMainForm& w = Form();
    OpenPlot(w.Plots().pltRealKXX(), QStringLiteral("Translational Stiffness"));
    OpenPlot(w.Plots().pltDampCXX(), QStringLiteral("Translational Damping"));
    w.WindowMenuClick();
    QStringList items;
    for (QAction* a : w.Form().WindowMenu->actions())
        if (a->isVisible() && !a->isSeparator() && a != w.Form().WindowCascade && a != w.Form().WindowArrange)
            items << a->text();
    EXPECT_EQ(items, (QStringList{"Translational Stiffness", "Translational Damping"}));
}

// The Window menu as it opens: Cascade, Arrange Icons, and below a separator
// one item per open window in the area's order, however many there are;
// an item brings its window to the front.
TEST_F(MdiWindows, WindowMenuListsEveryOpenWindowEachTimeItOpens) {
    QMenu* menu = Form().Form().WindowMenu;
    const auto openMenu = [&] {
        menu->popup(QPoint(0, 0));
        QApplication::processEvents();
        const QList<QAction*> items = menu->actions();
        menu->hide();
        return items;
    };
    const auto expectListed = [&](const QList<QAction*>& items) {
        const auto subs = Area()->subWindowList();
        ASSERT_EQ(items.size(), 2 + (subs.isEmpty() ? 0 : 1 + subs.size()));
        EXPECT_EQ(items[0], Form().Form().WindowCascade);
        EXPECT_EQ(items[1], Form().Form().WindowArrange);
        if (subs.isEmpty()) return;
        EXPECT_TRUE(items[2]->isSeparator() && items[2]->isVisible());
        for (int k = 0; k < subs.size(); ++k) {
            EXPECT_FALSE(items[3 + k]->isSeparator());
            EXPECT_TRUE(items[3 + k]->isVisible());
            EXPECT_EQ(items[3 + k]->text(), subs[k]->windowTitle()) << k;
        }
    };
    for (QMdiSubWindow* s : Area()->subWindowList()) s->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    expectListed(openMenu());

    const int count = 55;  // more than a fixed set of prepared items would hold
    for (int k = 0; k < count; ++k) {
        auto* w = new QWidget;
        w->setWindowTitle(QStringLiteral("Window %1").arg(k + 1));
        Area()->addSubWindow(w)->show();
    }
    QList<QAction*> items = openMenu();
    ASSERT_EQ(Area()->subWindowList().size(), count);
    expectListed(items);

    items[3 + 52]->trigger();
    EXPECT_EQ(Area()->activeSubWindow(), Area()->subWindowList()[52]);

    Area()->subWindowList()[3]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    items = openMenu();
    ASSERT_EQ(Area()->subWindowList().size(), count - 1);
    expectListed(items);
    for (QAction* a : items) EXPECT_NE(a->text(), QStringLiteral("Window 4"));

    for (QMdiSubWindow* s : Area()->subWindowList()) s->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    expectListed(openMenu());
}

TEST_F(MdiWindows, ChildrenCarryTheProgramIcon) {
    TMainForm& w = Form();
    ASSERT_FALSE(w.windowIcon().isNull());
    Open([&] { w.TopViewClick(); }, QStringLiteral("Top View"));
    Open([&] { w.DataSoilLayerClick(); }, QStringLiteral("Soil Properties"));
    Open([&] { w.DataTitleClick(); }, QStringLiteral("Project Title"));
    OpenPlot(w.Plots().pltRealKXX(), QStringLiteral("Translational Stiffness"));
    const QImage program = w.windowIcon().pixmap(16, 16).toImage();
    for (QMdiSubWindow* s : Area()->subWindowList())
        EXPECT_EQ(s->windowIcon().pixmap(16, 16).toImage(), program) << s->windowTitle().toStdString();
}

TEST_F(MdiWindows, WeakZoneGuidanceShowsItsFiveLines) {
    Form().DataSoilLayerClick();
    QApplication::processEvents();
    auto* editor = dynamic_cast<TTableForm*>(Form().Holder().D().Editor());
    ASSERT_NE(editor, nullptr);
    const QString text = editor->lblComments->text();
    EXPECT_EQ(text.split(QLatin1Char('\n')).size(), 5);
    EXPECT_FALSE(text.contains(QLatin1Char('\r')));
    EXPECT_GE(editor->lblComments->height(), 5 * editor->lblComments->fontMetrics().height());
    EXPECT_LE(editor->lblComments->geometry().right(), editor->width());
    editor->grab().save(ScreenshotFile("soil_properties_guidance.png"));
}

}  // namespace
