// Top view: fits as numbers, the plan drawn into a picture, read-out,
// resolution classes and printing.
#include "top_view.h"

#include "side_view.h"

#include "views_fixture.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <functional>

namespace views_test {
namespace {

using vortn::TDlgTopView;
using vortn::TPlanWindow;
using vortn::TTopViewModel;

class TopViewTest : public ViewsTest {};

struct PlanCase {
    const char* name;
    std::function<void(TopViewTest&)> setUp;
    TPlanWindow first;       // at the first activation
    TPlanWindow afterPaint;  // at the activation after a paint
};

class TopViewWindows : public TopViewTest, public ::testing::WithParamInterface<PlanCase> {};

TEST_P(TopViewWindows, FitAtFirstActivationAndAfterAPaint) {
    const PlanCase& c = GetParam();
    c.setUp(*this);
    TDlgTopView view;
    view.SetHolder(&H());
    view.resize(400, 400);
    const TPlanWindow* expected[] = {&c.first, &c.afterPaint};
    for (const TPlanWindow* e : expected) {
        view.FormActivate();
        const TPlanWindow& w = view.Model().ModelWindow();
        EXPECT_NEAR(double(w.xmin), double(e->xmin), 1e-12) << c.name;
        EXPECT_NEAR(double(w.xmax), double(e->xmax), 1e-12) << c.name;
        EXPECT_NEAR(double(w.ymin), double(e->ymin), 1e-12) << c.name;
        EXPECT_NEAR(double(w.ymax), double(e->ymax), 1e-12) << c.name;
        view.RenderImage();  // the paint that records the outline's extents
    }
}

INSTANTIATE_TEST_SUITE_P(
        Cases, TopViewWindows,
        ::testing::Values(PlanCase{"four piles",
                                   [](TopViewTest& t) {
                                       t.Piles({{-3, -3}, {3, -3}, {-3, 3}, {3, 3}}, {{10, 0.5}});
                                   },
                                   {-4, 4, 4, -4},
                                   {-4, 4, 4, -4}},
                          // Thin piles far apart: the outline's extent (8 / 1.9) widens x, already at
                          // the first activation.
                          PlanCase{"pile row",
                                   [](TopViewTest& t) {
                                       t.Piles({{-4, 0}, {4, 0}}, {{10, 0.05L}});
                                   },
                                   {-8 / 1.9L, 8 / 1.9L, 0.1L, -0.1L},
                                   {-8 / 1.9L, 8 / 1.9L, 0.1L, -0.1L}},
                          // A pile group is outlined by its 8 x 6 cap.
                          PlanCase{"four piles under their cap",
                                   [](TopViewTest& t) {
                                       t.Piles({{-3, -3}, {3, -3}, {-3, 3}, {3, 3}}, {{10, 0.5}});
                                       t.Rectangular(8, 6);
                                   },
                                   {-8 / 1.9L, 8 / 1.9L, 4, -4},
                                   {-8 / 1.9L, 8 / 1.9L, 4, -4}},
                          // Footings fit their outline as pile groups do, whatever their size.
                          PlanCase{"half-space",
                                   [](TopViewTest& t) {
                                       t.Foundation("HALF-SPACE", 1);
                                       t.Rectangular(4, 2);
                                   },
                                   {-4 / 1.9L, 4 / 1.9L, 2 / 1.9L, -2 / 1.9L},
                                   {-4 / 1.9L, 4 / 1.9L, 2 / 1.9L, -2 / 1.9L}},
                          PlanCase{"large footing",
                                   [](TopViewTest& t) {
                                       t.Foundation("STRATUM", 3);
                                       t.Rectangular(30, 25);
                                   },
                                   {-30 / 1.9L, 30 / 1.9L, 25 / 1.9L, -25 / 1.9L},
                                   {-30 / 1.9L, 30 / 1.9L, 25 / 1.9L, -25 / 1.9L}},
                          PlanCase{"small circular footing",
                                   [](TopViewTest& t) {
                                       t.Foundation("MULTILAYER", 4);
                                       t.Circular(0.002L);
                                   },
                                   {-0.004L / 1.9L, 0.004L / 1.9L, 0.004L / 1.9L, -0.004L / 1.9L},
                                   {-0.004L / 1.9L, 0.004L / 1.9L, 0.004L / 1.9L, -0.004L / 1.9L}},
                          // One pile of no radius is a point: no fit.
                          PlanCase{"single point",
                                   [](TopViewTest& t) {
                                       t.Piles({{0, 0}}, {{10, 0}});
                                   },
                                   {-10, 10, 10, -10},
                                   {-10, 10, 10, -10}},
                          PlanCase{"default project", [](TopViewTest&) {}, {-10, 10, 10, -10}, {-10, 10, 10, -10}}),
        CaseName());

TEST_F(TopViewTest, FourDiscsAtTheFourCoordinates) {
    Piles({{-3, -3}, {3, -3}, {-3, 3}, {3, 3}}, {{10, 0.5}});
    TDlgTopView view;
    view.SetHolder(&H());
    view.resize(400, 400);
    view.FormActivate();
    const QImage image = view.RenderImage();
    image.save(ScreenshotPath(QStringLiteral("top-four-piles.png")));
    // 400 pixels for -4..4 (north up): pile centres at 50 and 350.
    EXPECT_TRUE(IsDark(image, 50, 50));
    EXPECT_TRUE(IsDark(image, 350, 50));
    EXPECT_TRUE(IsDark(image, 50, 350));
    EXPECT_TRUE(IsDark(image, 350, 350));
    EXPECT_TRUE(IsDark(image, 50 + 10, 50 + 10));  // a disc, radius 25 pixels
    EXPECT_FALSE(IsDark(image, 50 + 30, 50 + 30));
    EXPECT_FALSE(IsDark(image, 200, 200));
    EXPECT_TRUE(IsDark(image, 200, 50));  // the outline from pile to pile
}

TEST_F(TopViewTest, CircularFootingIsDrawnAsASquare) {
    Foundation("HALF-SPACE", 1);
    Circular(2);
    const vortn::TPlanBounds b = TTopViewModel::Bounds(H());
    EXPECT_EQ(double(b.minX), -2.0);
    EXPECT_EQ(double(b.maxX), 2.0);
    EXPECT_EQ(double(b.minY), -2.0);
    EXPECT_EQ(double(b.maxY), 2.0);
    TDlgTopView view;
    view.SetHolder(&H());
    view.resize(400, 400);
    view.FormActivate();
    RecordingDevice device(400, 400);
    {
        QPainter painter(&device);
        view.Draw(painter, QSize(400, 400));
    }
    // +-4 / 1.9 over 400 pixels: the square runs from 10 to 390.
    ASSERT_EQ(device.lines.size(), 4u);
    EXPECT_EQ(device.lines[0], QLineF(10, 10, 390, 10));
    EXPECT_EQ(device.lines[2], QLineF(390, 390, 10, 390));
    EXPECT_TRUE(device.ellipses.empty());
}

// A footing of any size fills the window: its outline is seen near the
// window's edges (30 x 25 ft and 4 x 3 mm).
TEST_F(TopViewTest, FootingOutlineFillsTheWindow) {
    struct Case {
        const char* file;
        Extended length, width;
    } cases[] = {{"top-footing-30x25.png", 30, 25}, {"top-footing-4x3mm.png", 0.004L, 0.003L}};
    for (const Case& c : cases) {
        Foundation("HALF-SPACE", 1);
        Rectangular(c.length, c.width);
        TDlgTopView view;
        view.SetHolder(&H());
        view.resize(400, 300);
        view.FormActivate();
        const QImage image = view.RenderImage();
        ASSERT_TRUE(image.save(ScreenshotPath(QString::fromLatin1(c.file))));
        // The outline's four sides inside the window, the wider one across 90% of it.
        auto at = [&](Extended x, Extended y) {
            const vortn::TPixelRect r = view.Model().CircleRect(x, y, 0, 400, 300);
            return QPoint(r.left, r.top);
        };
        const QPoint west = at(-c.length / 2, 0), east = at(c.length / 2, 0);
        const QPoint north = at(0, c.width / 2), south = at(0, -c.width / 2);
        for (const QPoint& p : {west, east, north, south}) {
            ASSERT_TRUE(image.rect().contains(p)) << c.file;
            EXPECT_TRUE(IsDark(image, p.x(), p.y()) || IsDark(image, p.x() - 1, p.y()) ||
                        IsDark(image, p.x(), p.y() - 1))
                    << c.file;
        }
        EXPECT_TRUE(east.x() - west.x() >= 360 || south.y() - north.y() >= 270) << c.file;
        EXPECT_FALSE(IsDark(image, 200, 150)) << c.file;
    }
}

// The example pile group: the 4 x 3 cap outlined, not the box through the
// pile centres at +-1.
TEST_F(TopViewTest, ExamplePileCapIsOutlined) {
    OpenExample("project-pile.vtd");
    TDlgTopView view;
    view.SetHolder(&H());
    view.resize(640, 480);
    view.FormActivate();
    const QImage image = view.RenderImage();
    ASSERT_TRUE(image.save(ScreenshotPath(QStringLiteral("top-pile-cap.png"))));
    auto at = [&](Extended x, Extended y) {
        const vortn::TPixelRect r = view.Model().CircleRect(x, y, 0, 640, 480);
        return QPoint(r.left, r.top);
    };
    auto darkNear = [&](QPoint p) {
        for (int d = -1; d <= 1; ++d)
            if (IsDark(image, p.x() + d, p.y()) || IsDark(image, p.x(), p.y() + d)) return true;
        return false;
    };
    EXPECT_TRUE(darkNear(at(-2, 0)));
    EXPECT_TRUE(darkNear(at(2, 0)));
    EXPECT_TRUE(darkNear(at(0, 1.5L)));
    EXPECT_TRUE(darkNear(at(0, -1.5L)));
    EXPECT_FALSE(darkNear(at(-1, 0)));  // no line between the pile centres
    EXPECT_FALSE(darkNear(at(0, 1)));
    EXPECT_TRUE(IsDark(image, at(1, 1).x(), at(1, 1).y()));  // a pile
}

// A pile deck that lists no piles ("FIXED=0") shows none, and is saved so.
TEST_F(TopViewTest, PileDeckWithoutPilesShowsNoPile) {
    QFile example(QStringLiteral(VORTN_EXAMPLES "/project-pile.vtd"));
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(example.readAll()).split(QStringLiteral("\r\n"));
    const qsizetype fixed = lines.indexOf(QStringLiteral("FIXED=4"));
    ASSERT_GT(fixed, 0);
    lines[fixed] = QStringLiteral("FIXED=0");
    lines.remove(fixed + 1, 4);
    const qsizetype battered = lines.indexOf(QStringLiteral("BATTERED"));
    ASSERT_GT(battered, 0);
    lines.remove(battered, 9);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("no-piles.vtd"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(lines.join(QStringLiteral("\r\n")).toUtf8());
    out.close();

    H().OpenProject(file);
    ASSERT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(H().Pilecoord().RowCount(), 0);
    TDlgTopView top;
    top.SetHolder(&H());
    top.resize(400, 300);
    top.FormActivate();
    EXPECT_TRUE(top.Model().Records().empty());
    RecordingDevice device(400, 300);
    {
        QPainter painter(&device);
        top.Draw(painter, QSize(400, 300));
    }
    EXPECT_TRUE(device.ellipses.empty());
    EXPECT_EQ(device.lines.size(), 4u);  // the cap's outline
    vortn::TDlgSideViewXZ side;
    side.SetHolder(&H());
    side.resize(400, 300);
    side.FormActivate();
    EXPECT_TRUE(side.Model().Records().empty());
    EXPECT_TRUE(side.Model().HasCap());

    P().FileName = dir.filePath(QStringLiteral("saved.vtd"));
    P().SaveToFile();
    QFile saved(P().FileName);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QStringList savedLines = QString::fromUtf8(saved.readAll()).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(savedLines.contains(QStringLiteral("FIXED=0")));
    EXPECT_FALSE(savedLines.contains(QStringLiteral("FIXED=1")));
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(';').toStdString();
}

TEST_F(TopViewTest, MouseAtTheCentreReadsZero) {
    Piles({{-3, -3}, {3, -3}, {-3, 3}, {3, 3}}, {{10, 0.5}});
    TDlgTopView view;
    view.SetHolder(&H());
    view.resize(600, 400);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Top View"));
    view.FormActivate();
    view.FormMouseMove(300, 200);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Top View X: 0.0 Y: 0.0"));
    view.FormMouseMove(0, 0);  // the wide window spans -6..6 by 4..-4
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Top View X: -6.0 Y: 4.0"));
}

TEST(TopViewResolution, Classes) {
    const std::pair<int, int> cases[] = {{10, 75},   {75, 75},   {76, 100},  {125, 100}, {126, 150},  {225, 150},
                                         {226, 300}, {449, 300}, {450, 600}, {899, 600}, {900, 1200}, {5000, 1200}};
    for (const auto& [pixels, cls] : cases) EXPECT_EQ(vortn::ResolutionClass(pixels), cls) << pixels;
}

// On a page whose two resolutions fall in different classes the discs stay
// round: the vertical radius follows the class ratio.
TEST_F(TopViewTest, PageDiscsFollowTheResolutionClasses) {
    Piles({{-3, -3}, {3, -3}, {-3, 3}, {3, 3}}, {{10, 0.5}});
    TDlgTopView view;
    view.SetHolder(&H());
    view.resize(400, 400);
    view.FormActivate();
    RecordingDevice device(3300, 5100);  // hx = 330 (300), hy = 510 (600) for a portrait page
    {
        QPainter painter(&device);
        view.Draw2(painter, QRect(0, 0, 3300, 5100));
    }
    ASSERT_EQ(device.ellipses.size(), 4u);
    for (const QRectF& e : device.ellipses) EXPECT_NEAR(e.height() / e.width(), 2.0, 0.02);
    // The view window is the window's again after printing.
    view.FormMouseMove(200, 200);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Top View X: 0.0 Y: 0.0"));
}

TEST_F(TopViewTest, PrintsToPdf) {
    OpenExample("project-pile.vtd");
    TDlgTopView view;
    view.SetHolder(&H());
    view.resize(500, 400);
    view.FormActivate();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("plan.pdf")));
    ASSERT_TRUE(view.PrintTo(printer));
    QFile pdf(printer.outputFileName());
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
    EXPECT_TRUE(messages_.isEmpty());
}

}  // namespace
}  // namespace views_test
