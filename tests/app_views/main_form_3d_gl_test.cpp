// The main window's 3D toolbar and "Show 3D View" menu forward to the 3D
// view (a shown OpenGL widget needs a display: run under xvfb-run).
#include "block_view.h"
#include "gl_window.h"
#include "main_form.h"
#include "ui_MainForm.h"

#include "pdf_pages.h"
#include "print_dialog_answer.h"
#include "views_fixture.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <map>

namespace views_test {
namespace {

using vortn::TMainForm;

// The main window's OpenGL view needs a real display; under CTest
// (VORTN_REQUIRE_GL set) its absence is a failure.
#define REQUIRE_DISPLAY()                                                   \
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {         \
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << "no display"; \
        GTEST_SKIP() << "needs a display (run under xvfb-run)";             \
    }

TEST(MainFormViews, The3DViewOpensAtItsFormSizeInsideTheAreaNextToOtherViews) {
    REQUIRE_DISPLAY();
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
    REQUIRE_DISPLAY();
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
    EXPECT_TRUE(f.FileBitmapSeparator->isVisible());
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
    EXPECT_FALSE(f.FileBitmapSeparator->isVisible());
    EXPECT_FALSE(f.FileSaveBitmap->isVisible());
    EXPECT_EQ(w.View3DWindow(), nullptr);
}

// Each fixed view of the toolbar shows what its caption says: a 6 x 2 footing,
// 0.3 thick, seen from the front is 6 by 0.3, from the side 2 by 0.3, from
// the top 6 by 2.
TEST(MainFormViews, FixedViewsShowWhatTheirCaptionsSay) {
    REQUIRE_DISPLAY();
    TMainForm w;
    w.resize(1280, 960);
    w.show();
    QApplication::processEvents();
    vortn::TProgramData& p = w.Holder().Project();
    p.FoundationWord = QStringLiteral("HALF-SPACE");
    p.FootingType = 1;
    p.CircularFlag = 0;
    p.Length = 6;
    p.Width = 2;
    Ui::TMainForm& f = w.Form();
    f.View3D->trigger();
    QApplication::processEvents();
    vortn::TDlgBlock* view = w.View3DWindow();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(double(view->Geometry().CapThickness), 0.3);
    f.Show3DSoilLayers->trigger();  // the footing alone
    const std::map<QString, double> aspect = {{QStringLiteral("Front View"), 6 / 0.3},
                                              {QStringLiteral("Side View"), 2 / 0.3},
                                              {QStringLiteral("Top View"), 6 / 2.0}};
    for (QAction* a : {f.ToolButton1, f.ToolButton2, f.ToolButton3}) {
        ASSERT_TRUE(aspect.count(a->text())) << a->text().toStdString();
        a->trigger();
        QImage image;
        ASSERT_TRUE(view->RenderBitmap(image));
        image.save(ScreenshotPath(QStringLiteral("3d-toolbar-%1.png").arg(a->text().toLower().replace(' ', '-'))));
        // The footing's grey faces and orange edges.
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                const bool grey =
                        c.red() < 120 && std::abs(c.red() - c.green()) < 8 && std::abs(c.green() - c.blue()) < 8;
                const bool orange = c.red() > 200 && c.green() > 100 && c.green() < 160 && c.blue() < 60;
                if (grey || orange) box |= QRect(x, y, 1, 1);
            }
        ASSERT_FALSE(box.isEmpty()) << a->text().toStdString();
        const double seen = double(box.width()) / box.height(), expected = aspect.at(a->text());
        EXPECT_NEAR(seen, expected, 0.15 * expected)
                << a->text().toStdString() << " " << box.width() << " x " << box.height();
    }
    EXPECT_EQ(f.ToolButton4->text(), QStringLiteral("Isometric View"));
}

// The example pile group in the program's window with the four views open,
// for a reviewer to look at.
TEST(MainFormViews, ScreenshotOfTheFourViewsInTheProgram) {
    REQUIRE_DISPLAY();
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

// File > Print Page on a machine without printers: Qt's print dialog offers
// a PDF file, which gets the 3D picture on one page.
TEST(MainFormViews, PrintPageOfThe3DViewReachesAPdfFile) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << "no display";
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    QStringList messages;
    vortn::SetMessageHook(vortn::test::CollectMessages(messages));
    TMainForm w;
    w.resize(1000, 760);
    w.show();
    QApplication::processEvents();
    w.Holder().OpenProject(QStringLiteral(VORTN_EXAMPLES "/project-pile.vtd"));
    Ui::TMainForm& f = w.Form();
    f.View3D->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(f.FilePrintPage->isVisible());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("view.pdf"));
    vortn::test::TPrintDialogAnswer answer;
    vortn::test::AnswerPrintDialogWithPdf(file, answer);
    f.FilePrintPage->trigger();
    vortn::SetMessageHook(nullptr);
    ASSERT_TRUE(answer.seen);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    const vortn::test::TPdfPages pdf = vortn::test::ReadPdfPages(file, 50);
    EXPECT_TRUE(vortn::test::OnePrintedPage(pdf, QPageLayout::Portrait, 100));
    ASSERT_TRUE(pdf.first.save(ScreenshotPath(QStringLiteral("print_pdf_3d_view.png"))));
}

}  // namespace
}  // namespace views_test
