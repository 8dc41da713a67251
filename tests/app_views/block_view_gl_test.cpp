// 3D view with a real OpenGL context (run under xvfb-run with the xcb
// platform): the off-screen picture, the saved bitmap, printing, the window's
// own paint after its context is made again, and the screenshots of the
// example pile group's three views.
#include "gl_context.h"
#include "block_view.h"
#include "gl_window.h"
#include "patience.h"
#include "side_view.h"
#include "top_view.h"

#include "views_fixture.h"

#include <QFile>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace views_test {
namespace {

using vortn::TDlgBlock;


class BlockViewGl : public ViewsTest {
protected:
    // A 4 x 3 cap standing on the ground (no side soil), four piles below.
    void StandingCap() {
        Piles({{-1, -1}, {1, -1}, {-1, 1}, {1, 1}}, {{5, 0.25}, {5, 0.25}});
        Rectangular(4, 3);
        Fill(H().pilecapsoil(), {{0}});
    }
    // A 400 x 300 view shown in `frame`, activated, so that it paints
    // itself through its display lists.
    TDlgBlock* ShownView(QWidget& frame) {
        auto* view = new TDlgBlock(&frame);
        view->setAttribute(Qt::WA_DeleteOnClose, false);
        view->SetHolder(&H());
        view->resize(400, 300);
        frame.resize(400, 300);
        frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame, vortn::test::kPatienceMs));
        view->FormActivate();
        return view;
    }
    std::unique_ptr<TDlgBlock> View(int w = 400, int h = 300) {
        auto view = std::make_unique<TDlgBlock>();
        view->SetHolder(&H());
        view->setAttribute(Qt::WA_DeleteOnClose, false);
        view->resize(w, h);
        view->FormActivate();
        return view;
    }
};

bool Near(const QColor& c, int r, int g, int b, int tolerance = 6) {
    return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance &&
           std::abs(c.blue() - b) <= tolerance;
}

TEST_F(BlockViewGl, FromAboveTheCapFillsTheCentre) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    StandingCap();
    auto view = View();
    view->SetView(3);
    QImage image;
    ASSERT_TRUE(view->RenderBitmap(image)) << messages_.join(';').toStdString();
    image.save(ScreenshotPath(QStringLiteral("block-from-above.png")));
    ASSERT_EQ(image.size(), QSize(400, 300));
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    // Beside the axes that start at the centre: the cap's dark grey (0.25).
    EXPECT_TRUE(Near(image.pixelColor(190, 160), 64, 64, 64)) << image.pixelColor(190, 160).name().toStdString();
    // The cap spans 4 x 3 at the fit scale, the slabs twice that: the corner is white.
    EXPECT_TRUE(Near(image.pixelColor(2, 2), 255, 255, 255)) << image.pixelColor(2, 2).name().toStdString();
    // Without the cap the slabs (translucent) and a pile head show there.
    view->ShowPileCapOption();
    ASSERT_TRUE(view->RenderBitmap(image));
    EXPECT_FALSE(Near(image.pixelColor(190, 160), 64, 64, 64));
}

// From the front a pile battered in the XZ plane leans: its tip lies to the
// side of its head.
TEST_F(BlockViewGl, BatteredPileLeansInTheFrontView) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    Piles({{0, 0, 20, 1}}, {{10, 0.3}});
    Rectangular(2, 2);
    Fill(H().pilecapsoil(), {{0}});
    auto view = View(300, 400);
    view->ShowSoilLayersOption();
    QImage image;
    ASSERT_TRUE(view->RenderBitmap(image));
    image.save(ScreenshotPath(QStringLiteral("block-battered-front.png")));
    auto darkCentre = [&](int y) {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).lightness() < 160) {
                if (first < 0) first = x;
                last = x;
            }
        return first < 0 ? -1 : (first + last) / 2;
    };
    // Fit: (400 - 50) / (2 x 10.3); screen y of model z is 200 - s z.
    const double s = (400.0 - 50) / (2 * 10.3);
    // Rows below the z axis (80 pixels long, it would widen the dark run) and
    // above the tip at 10 cos 20.
    const int head = darkCentre(int(200 + s * 5)), tip = darkCentre(int(200 + s * 8.5));
    ASSERT_GE(head, 0);
    ASSERT_GE(tip, 0);
    EXPECT_NEAR(tip - head, s * 3.5 * std::tan(20 * M_PI / 180), 3);
}

TEST_F(BlockViewGl, SavedBitmapIs24BitsAtTheViewSize) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    StandingCap();
    auto view = View(321, 203);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("view.bmp"));
    ASSERT_TRUE(view->SaveBitmap(file)) << messages_.join(';').toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    ASSERT_GT(data.size(), 54);
    EXPECT_EQ(data.left(2), QByteArray("BM"));
    auto u32 = [&](int at) { return qFromLittleEndian<qint32>(data.constData() + at); };
    auto u16 = [&](int at) { return qFromLittleEndian<quint16>(data.constData() + at); };
    EXPECT_EQ(u32(18), 321);
    EXPECT_EQ(std::abs(u32(22)), 203);
    EXPECT_EQ(u16(28), 24);
    const QImage back(file);
    EXPECT_EQ(back.size(), QSize(321, 203));
}

TEST_F(BlockViewGl, ABitmapThatCannotBeWrittenIsReported) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    StandingCap();
    auto view = View();
    const QString file = QStringLiteral("/nonexistent-folder/view.bmp");
    EXPECT_FALSE(view->SaveBitmap(file));
    EXPECT_EQ(messages_, QStringList{QStringLiteral("The bitmap could not be written to ") + file + "."});
}

TEST_F(BlockViewGl, PrintsWithinTheMarginsToPdf) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    StandingCap();
    auto view = View();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("view.pdf")));
    ASSERT_TRUE(view->PrintTo(printer)) << messages_.join(';').toStdString();
    EXPECT_EQ(printer.docName(), QStringLiteral("OPenGL figure"));
    QFile pdf(printer.outputFileName());
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray data = pdf.readAll();
    EXPECT_TRUE(data.startsWith("%PDF"));
    EXPECT_TRUE(data.contains("/Image"));
}

// The window's own paint draws through its display lists; after the widget
// moves to another window (a new context) the lists are compiled again.
TEST_F(BlockViewGl, WindowPaintSurvivesANewContext) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    StandingCap();
    QWidget first, second;
    auto* view = new TDlgBlock(&first);
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    view->SetHolder(&H());
    view->resize(400, 300);
    first.resize(400, 300);
    first.show();
    view->FormActivate();
    view->SetView(3);
    QImage image = view->GL()->grabFramebuffer();
    if (!view->GL()->HasContext()) {
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << "the widget made no context";
        GTEST_SKIP() << "the widget could not make its context here";
    }
    image.save(ScreenshotPath(QStringLiteral("block-window-first.png")));
    const QOpenGLContext* before = view->GL()->context();
    EXPECT_TRUE(Near(image.pixelColor(190, 160), 64, 64, 64)) << image.pixelColor(190, 160).name().toStdString();

    view->setParent(&second);
    second.resize(400, 300);
    view->resize(400, 300);
    view->show();
    second.show();
    image = view->GL()->grabFramebuffer();
    image.save(ScreenshotPath(QStringLiteral("block-window-second.png")));
    EXPECT_NE(view->GL()->context(), before);  // a context of its own for the new window
    EXPECT_TRUE(Near(image.pixelColor(190, 160), 64, 64, 64)) << image.pixelColor(190, 160).name().toStdString();
    delete view;
}

// Mouse events of the OpenGL control drive the navigation: a pan drag moves
// the model with the pointer, a zoom-window drag shows its green box.
TEST_F(BlockViewGl, MouseDragsPanAndDrawTheSelectionBox) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    StandingCap();
    QWidget frame;
    TDlgBlock* view = ShownView(frame);
    view->GL()->grabFramebuffer();  // a paint: the model-view matrix the mouse uses
    const Extended s = view->ViewState().FitScale * view->ViewState().ZoomFactor;
    const Extended panX = view->ViewState().PanX, panZ = view->ViewState().PanZ;

    view->SetMouseMode(1, false);
    QTest::mousePress(view->GL(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(view->GL(), QPoint(130, 80));
    QTest::mouseRelease(view->GL(), Qt::LeftButton, {}, QPoint(130, 80));
    // Front view: right is model x, up is model z.
    EXPECT_NEAR(double(view->ViewState().PanX), double(panX + 30 / s), 1e-6);  // the matrix is single precision
    EXPECT_NEAR(double(view->ViewState().PanZ), double(panZ + 20 / s), 1e-6);
    EXPECT_EQ(view->Navigation().MouseState, 0);

    view->SetMouseMode(4, true);
    QTest::mousePress(view->GL(), Qt::LeftButton, {}, QPoint(50, 60));
    QTest::mouseMove(view->GL(), QPoint(150, 120));
    ASSERT_TRUE(view->Navigation().SelectionBoxVisible);
    QImage image;
    ASSERT_TRUE(view->RenderBitmap(image));
    image.save(ScreenshotPath(QStringLiteral("block-selection-box.png")));
    // The box's edges lie on pixel borders: either pixel beside one is lit.
    auto green = [&](int x, int y, int dx, int dy) {
        return Near(image.pixelColor(x, y), 0, 255, 0) || Near(image.pixelColor(x + dx, y + dy), 0, 255, 0);
    };
    EXPECT_TRUE(green(100, 60, 0, -1));   // top edge
    EXPECT_TRUE(green(150, 90, -1, 0));   // right edge
    EXPECT_TRUE(green(100, 120, 0, -1));  // bottom edge
    EXPECT_FALSE(green(100, 90, 0, 0));   // not inside
    QTest::mouseRelease(view->GL(), Qt::LeftButton, {}, QPoint(150, 120));
    EXPECT_FALSE(view->Navigation().SelectionBoxVisible);
    EXPECT_NEAR(double(view->ViewState().ZoomFactor), 4.0, 1e-9);  // min(300 / 60, 400 / 100)
    delete view;
}

// The window's own paint (through its display lists) shows the project as it
// is now: a pile moved in the table and a larger cap appear at the next paint.
TEST_F(BlockViewGl, RepaintShowsTheProjectAsItIsNow) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    Piles({{-3, -3}, {3, -3}, {-3, 3}, {3, 3}}, {{10, 0.5}});
    Rectangular(8, 8);
    Fill(H().pilecapsoil(), {{0}});
    QWidget frame;
    TDlgBlock* view = ShownView(frame);
    view->SetView(3);  // from above: x to the right, y up
    view->ShowPileCapOption();
    view->ShowSoilLayersOption();
    QImage image = view->GL()->grabFramebuffer();
    image.save(ScreenshotPath(QStringLiteral("block-window-before-change.png")));
    const double s = double(view->ViewState().FitScale);
    auto at = [&](double x, double y) { return QPoint(int(200 + s * x), int(150 - s * y)); };
    auto pile = [&](const QImage& i, QPoint p) { return Near(i.pixelColor(p), 128, 128, 128, 12); };
    EXPECT_TRUE(pile(image, at(3, 3)));
    EXPECT_FALSE(pile(image, at(-3, 0)));

    // Pile 4 from (3, 3) to (-3, 0), as typed into the pile table.
    H().Pilecoord().Cells(0, 3).SetAsFloat(-3);
    H().Pilecoord().Cells(1, 3).SetAsFloat(0);
    image = view->GL()->grabFramebuffer();
    image.save(ScreenshotPath(QStringLiteral("block-window-after-change.png")));
    EXPECT_FALSE(pile(image, at(3, 3)));
    EXPECT_TRUE(pile(image, at(-3, 0)));

    Rectangular(16, 8);
    view->FormActivate();
    EXPECT_EQ(double(view->Geometry().dx), 16.0);
    delete view;
}

// An embedded footing's top face and the top soil slab lie in the ground
// plane: the footing's top shows in its own grey, without stripes of the
// translucent slab drawn after it (the example half-space, seen obliquely).
TEST_F(BlockViewGl, CapTopAndGroundSlabDoNotFight) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    H().OpenProject(QStringLiteral(VORTN_EXAMPLES "/project-half-space.vtd"));
    ASSERT_EQ(H().LastMessage().toStdString(), "");
    auto view = View(640, 480);
    ASSERT_TRUE(view->Geometry().CapEmbedded);
    const Extended L = P().Length, B = P().Width;
    for (const auto& [rx, rz] : {std::pair{77, 338}, std::pair{60, 20}, std::pair{88, 300}}) {
        view->Navigation().View.RotationX = rx;
        view->Navigation().View.RotationZ = rz;
        QImage image;
        ASSERT_TRUE(view->RenderBitmap(image));
        image.save(ScreenshotPath(QStringLiteral("block-embedded-footing-%1-%2.png").arg(rx).arg(rz)));
        // The top face on the window (one unit a pixel about the centre),
        // a tenth in from its edges.
        const vortn::TMatrix16& m = view->SavedMatrix();
        auto onWindow = [&](Extended x, Extended y) {
            const double ex = double(m[0] * x + m[4] * y + m[12]), ey = double(m[1] * x + m[5] * y + m[13]);
            return QPointF(320 + ex, 240 - ey);
        };
        const QPolygonF top({onWindow(-0.4L * L, -0.4L * B), onWindow(0.4L * L, -0.4L * B),
                             onWindow(0.4L * L, 0.4L * B), onWindow(-0.4L * L, 0.4L * B)});
        int grey = 0, striped = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                if (!top.containsPoint(QPointF(x + 0.5, y + 0.5), Qt::OddEvenFill)) continue;
                const QColor c = image.pixelColor(x, y);
                if (Near(c, 64, 64, 64, 3)) ++grey;
                if (Near(c, 32, 96, 96, 10)) ++striped;  // the grey seen through the slab
            }
        EXPECT_GT(grey, 2000) << rx << " " << rz;
        EXPECT_EQ(striped, 0) << rx << " " << rz;
    }
}

// Seen from above, the layers' depth labels and names stand on one spot of
// the window each: they are written one below the other.
TEST_F(BlockViewGl, LayerLabelsFromAboveDoNotOverprint) {
    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    OpenExample("project-pile.vtd");
    auto view = View(640, 480);
    view->ShowSoilLayerLabelsOption();
    view->ShowSoilLayerDepthLabelsOption();
    view->SetView(3);
    QImage image;
    ASSERT_TRUE(view->RenderBitmap(image));
    ASSERT_TRUE(image.save(ScreenshotPath(QStringLiteral("block-labels-from-above.png"))));
    const double s = double(view->ViewState().FitScale);
    const int lineHeight = view->GL()->FontLineHeight();
    // Rows with black text beside each column's spot: the depths at (-4, -3),
    // five of them (0, 0.6, 5.6, 10.6 and "Bottom"), the names at (4, 3), four.
    struct Column {
        double x, y;
        int texts;
    } columns[] = {{-4, -3, 5}, {4, 3, 4}};
    for (const Column& c : columns) {
        const int x0 = int(320 + s * c.x), y0 = int(240 - s * c.y);
        int top = -1, bottom = -1;
        for (int y = std::max(0, y0 - 2 * lineHeight); y < 480; ++y)
            for (int x = x0; x < std::min(640, x0 + 40); ++x)
                if (image.pixelColor(x, y).lightness() < 40) {
                    if (top < 0) top = y;
                    bottom = y;
                }
        ASSERT_GE(top, 0) << c.x;
        EXPECT_GE(bottom - top, (c.texts - 1) * lineHeight) << c.x;
    }
}

// The example pile group in the three views, for a reviewer to look at.
TEST_F(BlockViewGl, ScreenshotsOfTheExamplePileGroup) {
    OpenExample("project-pile.vtd");
    vortn::TDlgSideViewXZ xz;
    vortn::TDlgSideViewYZ yz;
    vortn::TDlgTopView top;
    for (QWidget* w : std::initializer_list<QWidget*>{&xz, &yz, &top}) w->resize(640, 480);
    xz.SetHolder(&H());
    yz.SetHolder(&H());
    top.SetHolder(&H());
    xz.FormActivate();
    yz.FormActivate();
    top.FormActivate();
    const QImage xzImage = xz.RenderImage(), yzImage = yz.RenderImage(), topImage = top.RenderImage();
    ASSERT_TRUE(xzImage.save(ScreenshotPath(QStringLiteral("example-pile-side-xz.png"))));
    ASSERT_TRUE(yzImage.save(ScreenshotPath(QStringLiteral("example-pile-side-yz.png"))));
    ASSERT_TRUE(topImage.save(ScreenshotPath(QStringLiteral("example-pile-top.png"))));
    // Pile 1 at (-1, -1) is vertical; pile 2 at (1, -1) leans 10 degrees in XZ.
    EXPECT_TRUE(IsDark(topImage, top.Model().CircleRect(-1, -1, 0, 640, 480).left,
                       top.Model().CircleRect(-1, -1, 0, 640, 480).top));
    EXPECT_TRUE(IsDark(xzImage, xz.Model().PixelX(-1, 640), xz.Model().PixelY(8, 480)));
    EXPECT_TRUE(
            IsDark(xzImage, xz.Model().PixelX(1 + 8 * std::sin(10 * 3.1415 / 180), 640), xz.Model().PixelY(8, 480)));
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(';').toStdString();

    REQUIRE_GL_CONTEXT(vortn::TglWindow::BitmapPixelFormat());
    auto view = View(640, 480);
    view->ShowPileNumbersOption();
    view->ShowSoilLayerLabelsOption();
    view->SetView(4);
    QImage image;
    ASSERT_TRUE(view->RenderBitmap(image));
    ASSERT_TRUE(image.save(ScreenshotPath(QStringLiteral("example-pile-3d.png"))));
    int grey = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (image.pixelColor(x, y) != QColor(Qt::white)) ++grey;
    EXPECT_GT(grey, 1000);
}

}  // namespace
}  // namespace views_test
