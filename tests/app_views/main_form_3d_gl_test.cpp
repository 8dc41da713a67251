// The main window's 3D toolbar and "Show 3D View" menu forward to the 3D
// view (a shown OpenGL widget needs a display: run under xvfb-run).
#include "block_view.h"
#include "gl_window.h"
#include "main_form.h"
#include "ui_MainForm.h"

#include "views_fixture.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace views_test {
namespace {

using vortn::TMainForm;

TEST(MainFormViews, The3DViewOpensAtItsFormSizeInsideTheAreaNextToOtherViews) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << "no display";
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    TMainForm w;
    w.resize(1280, 1000);
    w.show();
    QApplication::processEvents();
    w.Holder().OpenProject(QStringLiteral(VORTN_EXAMPLES "/project-pile.vtd"));
    w.Form().ViewTop->trigger();
    w.Form().ViewSideXZ->trigger();
    w.Form().View3D->trigger();
    QApplication::processEvents();
    ASSERT_NE(w.View3DWindow(), nullptr);
    auto* sub = qobject_cast<QMdiSubWindow*>(w.View3DWindow()->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(w.View3DWindow()->size(), QSize(600, 400));  // the form's size
    const QRect area(QPoint(0, 0), w.MdiArea()->viewport()->size());
    EXPECT_TRUE(area.contains(sub->geometry())) << sub->x() << "," << sub->y();
    w.Form().WindowCascade->trigger();
    QApplication::processEvents();
    EXPECT_EQ(w.View3DWindow()->size(), QSize(600, 400));
    const QImage shot = w.grab().toImage();
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("main_form_3d_view_cascaded.png"))));
    // The 3D picture fills the child: white background, not the area's grey.
    const QPoint inside = w.MdiArea()->viewport()->mapTo(
            &w, sub->geometry().topLeft() + w.View3DWindow()->geometry().topLeft() + QPoint(20, 20));
    EXPECT_EQ(shot.pixelColor(inside), QColor(Qt::white));
}

TEST(MainFormViews, ToolbarAndShowMenuForwardToThe3DView) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << "no display";
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    TMainForm w;
    w.show();
    QApplication::processEvents();
    Ui::TMainForm& f = w.Form();
    EXPECT_TRUE(f.ToolBar1->isHidden());
    f.View3D->trigger();
    QApplication::processEvents();
    vortn::TDlgBlock* view = w.View3DWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(w.Is3DViewOpen());
    EXPECT_FALSE(f.ToolBar1->isHidden());
    EXPECT_TRUE(f.Show3DMenu->menuAction()->isVisible());
    EXPECT_TRUE(f.FileSaveBitmap->isVisible());
    EXPECT_TRUE(f.FilePrintPage->isVisible());
    EXPECT_FALSE(f.FilePageSetup->isVisible());

    f.ToolButton4->trigger();
    f.ToolButton5->trigger();
    EXPECT_EQ(double(view->ViewState().RotationX), 22.5);
    EXPECT_EQ(double(view->ViewState().RotationZ), 225.0);
    f.ToolButton12->trigger();
    f.ToolButton12->trigger();
    f.ToolButton13->trigger();
    EXPECT_NEAR(double(view->ViewState().ZoomFactor), 1.4142, 1e-9);
    f.ToolButton14->trigger();
    EXPECT_EQ(double(view->ViewState().ZoomFactor), 1.0);
    EXPECT_EQ(double(view->ViewState().RotationZ), 0.0);

    f.ToolButton9->trigger();
    EXPECT_EQ(view->Navigation().MouseMode, 4);
    EXPECT_TRUE(view->Navigation().ZoomWindowMode);
    f.ToolButton10->trigger();  // one mode at a time
    EXPECT_FALSE(f.ToolButton9->isChecked());
    EXPECT_EQ(view->Navigation().MouseMode, 3);
    EXPECT_FALSE(view->Navigation().ZoomWindowMode);

    f.Show3DPileNumbers->trigger();
    f.Show3DFoundation->trigger();
    EXPECT_TRUE(view->ShowPileNumbers);
    EXPECT_FALSE(view->ShowPileCap);
    emit f.Show3DMenu->aboutToShow();
    EXPECT_TRUE(f.Show3DPileNumbers->isChecked());
    EXPECT_FALSE(f.Show3DFoundation->isChecked());
    EXPECT_TRUE(f.Show3DSoilLayers->isChecked());

    f.View3D->trigger();  // already open: the same window
    EXPECT_EQ(w.View3DWindow(), view);
    EXPECT_EQ(w.MdiArea()->subWindowList().size(), 1);

    w.MdiArea()->subWindowList().first()->close();
    QApplication::processEvents();
    EXPECT_FALSE(w.Is3DViewOpen());
    EXPECT_TRUE(f.ToolBar1->isHidden());
    EXPECT_FALSE(f.FileSaveBitmap->isVisible());
    EXPECT_EQ(w.View3DWindow(), nullptr);
}

// The example pile group in the program's window with the four views open,
// for a reviewer to look at.
TEST(MainFormViews, ScreenshotOfTheFourViewsInTheProgram) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << "no display";
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    TMainForm w;
    w.resize(1280, 960);
    w.show();
    QApplication::processEvents();
    w.Holder().OpenProject(QStringLiteral(VORTN_EXAMPLES "/project-pile.vtd"));
    Ui::TMainForm& f = w.Form();
    for (QAction* a : {f.ViewTop, f.ViewSideXZ, f.ViewSideYZ, f.View3D}) a->trigger();
    f.ToolButton4->trigger();
    w.MdiArea()->tileSubWindows();
    QApplication::processEvents();
    ASSERT_EQ(w.MdiArea()->subWindowList().size(), 4);
    const QImage shot = w.grab().toImage();
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("example-pile-main-window.png"))));
    EXPECT_EQ(w.View3DWindow()->Geometry().CapThickness, 0.6L);
    // On the screen the translucent slabs look as in the off-screen picture:
    // the window's pixels stay opaque.
    vortn::TDlgBlock* view = w.View3DWindow();
    const QImage onScreen = view->GL()->grab().toImage();
    QImage offScreen;
    ASSERT_TRUE(view->RenderBitmap(offScreen));
    ASSERT_EQ(onScreen.size(), offScreen.size());
    int differing = 0;
    for (int y = 0; y < offScreen.height(); y += 4)
        for (int x = 0; x < offScreen.width(); x += 4) {
            const QColor a = onScreen.pixelColor(x, y), b = offScreen.pixelColor(x, y);
            if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) > 30)
                ++differing;
        }
    EXPECT_LT(differing, 20);
}

}  // namespace
}  // namespace views_test
