// Side views: model windows and aspect as numbers, the profile drawn into a
// picture, labels, read-out, faults of short tables, and printing.
#include "side_view.h"

#include "pdf_pages.h"
#include "print_target.h"
#include "top_view.h"
#include "views_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QPrinter>
#include <QTemporaryDir>

#include <functional>

namespace views_test {
namespace {

using vortn::TDlgSideView;
using vortn::TDlgSideViewXZ;
using vortn::TDlgSideViewYZ;
using vortn::TProfileWindow;
using vortn::TSidePlane;
using vortn::TSideViewModel;

class SideViewTest : public ViewsTest {};

// Set-ups shared by the window cases.
void HalfSpaceFooting(SideViewTest& t) {  // 6 long (x), 4 wide (y), base 1 deep
    t.Foundation("HALF-SPACE", 1);
    t.Rectangular(6, 4);
    t.P().Zc = 1;
}
void EmbeddedCapOnFourPiles(SideViewTest& t) {  // a 4 x 3 cap embedded 0.6, piles of 10
    t.Piles({{-1, -1}, {1, -1}, {-1, 1}, {1, 1}}, {{5, 0.25}, {5, 0.25}});
    t.Rectangular(4, 3);
    Fill(t.H().pilecapsoil(), {{0.6L}});
}
void FourPilesOfTwoSections(SideViewTest& t) { t.Piles({{-3, -2}, {3, -2}, {-3, 2}, {3, 2}}, {{4, 0.5}, {6, 0.5}}); }
void BatteredPile(SideViewTest& t) { t.Piles({{0, 0, 10, 1}}, {{10, 0.5}}); }
void OvalPile(SideViewTest& t) {
    t.Piles({{0, 0}}, {{10, 0.5}});
    t.H().PileData().Cells(2, 0).SetAsFloat(0.25L);
}
void OvalColumn(SideViewTest& t) {  // elements (depth, radius x, radius y)
    t.Foundation("MULTILAYER", 4);
    Fill(t.H().MultiElement(), {{2, 1, 0.75L}, {3, 1, 0.75L}});
}

// The window's picture, recorded at the device's size.
void DrawInto(TDlgSideView& view, RecordingDevice& device) {
    QPainter painter(&device);
    view.Draw(painter, QSize(device.width(), device.height()));
}
// Whether the ground's first hatch stroke starts at pixel row y.
bool HatchedAt(const RecordingDevice& device, int y) {
    for (const QLineF& l : device.lines)
        if (l.p1() == QPointF(120, y) && l.p2() == QPointF(135, y + 5)) return true;
    return false;
}

// ---- model windows before the aspect correction ----

struct WindowCase {
    const char* name;
    std::function<void(SideViewTest&)> setUp;
    TSidePlane plane;
    TProfileWindow expected;
};

class SideViewWindows : public SideViewTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(SideViewWindows, FitOfTheModel) {
    const WindowCase& c = GetParam();
    c.setUp(*this);
    TSideViewModel m(c.plane);
    if (m.BuildRecords(H())) m.Fit(P().FootingType, P().SumPileLength);
    const TProfileWindow& w = m.ModelWindow();
    EXPECT_NEAR(double(w.xmin), double(c.expected.xmin), 1e-12) << c.name;
    EXPECT_NEAR(double(w.xmax), double(c.expected.xmax), 1e-12) << c.name;
    EXPECT_NEAR(double(w.zmin), double(c.expected.zmin), 1e-12) << c.name;
    EXPECT_NEAR(double(w.zmax), double(c.expected.zmax), 1e-12) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
        Cases, SideViewWindows,
        ::testing::Values(
                WindowCase{"single pile",
                           [](SideViewTest& t) {
                               t.Piles({{0, 0}}, {{10, 0.5}});
                           },
                           TSidePlane::XZ,
                           {-0.525L, 0.525L, 0, 10.5L}},
                // Four piles of two sections (4 + 6) at (+-3, +-2): x from the YZ view is y.
                WindowCase{"four piles XZ", FourPilesOfTwoSections, TSidePlane::XZ, {-3.675L, 3.675L, 0, 10.5L}},
                WindowCase{"four piles YZ", FourPilesOfTwoSections, TSidePlane::YZ, {-2.625L, 2.625L, 0, 10.5L}},
                // A footing 6 long (x) and 4 wide (y) with its base 1 deep: twice its size
                // in the plane, four times the depth.
                WindowCase{"half-space rectangular XZ", HalfSpaceFooting, TSidePlane::XZ, {-6.3L, 6.3L, 0, 4.2L}},
                WindowCase{"half-space rectangular YZ", HalfSpaceFooting, TSidePlane::YZ, {-4.2L, 4.2L, 0, 4.2L}},
                // The stratum's bed rock (8 below the ground at 0.3) is in the window.
                WindowCase{"stratum with its rock",
                           [](SideViewTest& t) {
                               t.Foundation("STRATUM", 3);
                               t.Rectangular(4, 3);
                               t.P().Zc = 0.8L;
                               t.P().BaseDepth = 0.5L;
                               t.P().BedRockDepth = 8;
                           },
                           TSidePlane::XZ,
                           {-4.2L, 4.2L, 0, 1.15L * 8.3L}},
                // A footing buried deeper than it is high: the ground above it is shown.
                WindowCase{"stratum buried",
                           [](SideViewTest& t) {
                               t.Foundation("STRATUM", 3);
                               t.Rectangular(4, 3);
                               t.P().Zc = 1;
                               t.P().BaseDepth = 3;
                               t.P().BedRockDepth = 2;
                           },
                           TSidePlane::XZ,
                           {-4.2L, 4.2L, -2.1L, 4.2L}},
                // The 4 x 3 cap, embedded 0.6, on four piles of 10: the cap is in the window.
                WindowCase{"pile cap XZ", EmbeddedCapOnFourPiles, TSidePlane::XZ, {-2.1L, 2.1L, -0.63L, 10.5L}},
                WindowCase{"pile cap YZ", EmbeddedCapOnFourPiles, TSidePlane::YZ, {-1.575L, 1.575L, -0.63L, 10.5L}},
                WindowCase{"half-space circular",
                           [](SideViewTest& t) {
                               t.Foundation("HALF-SPACE", 1);
                               t.Circular(1.5);
                               t.P().Zc = 0.5;
                           },
                           TSidePlane::YZ,
                           {-3.15L, 3.15L, 0, 4.2L}},
                // A battered pile: the bottom corners move by L sin(t) in its own plane only.
                WindowCase{"battered 10 deg XZ in XZ",
                           BatteredPile,
                           TSidePlane::XZ,
                           {-0.525L, 1.05L * (0.5L + 10 * std::sin(10 * 3.1415L / 180)), 0,
                            1.05L * 10 * std::cos(10 * 3.1415L / 180)}},
                WindowCase{"battered 10 deg XZ in YZ", BatteredPile, TSidePlane::YZ, {-0.525L, 0.525L, 0, 10.5L}},
                // A multilayer column of two elements (2 + 3) of radius 1, at the origin.
                WindowCase{"multilayer",
                           [](SideViewTest& t) {
                               t.Foundation("MULTILAYER", 4);
                               Fill(t.H().MultiElement(), {{2, 1}, {3, 1}});
                           },
                           TSidePlane::XZ,
                           {-2.1L, 2.1L, 0, 1.05L * 5}},
                // A column of radius 1 along x and 0.75 along y: each plane shows its own.
                WindowCase{"multilayer XZ of an oval column", OvalColumn, TSidePlane::XZ, {-2.1L, 2.1L, 0, 1.05L * 5}},
                WindowCase{"multilayer YZ of an oval column",
                           OvalColumn,
                           TSidePlane::YZ,
                           {-1.575L, 1.575L, 0, 1.05L * 5}},
                // A pile of radius 0.5 along x and 0.25 along y.
                WindowCase{"oval pile XZ", OvalPile, TSidePlane::XZ, {-0.525L, 0.525L, 0, 10.5L}},
                WindowCase{"oval pile YZ", OvalPile, TSidePlane::YZ, {-0.2625L, 0.2625L, 0, 10.5L}},
                // The new project has no extent: the initial window stays.
                WindowCase{"default project", [](SideViewTest&) {}, TSidePlane::XZ, {-10, 10, 0, 10}},
                WindowCase{"no soil layers",
                           [](SideViewTest& t) {
                               t.Piles({{0, 0}}, {{10, 0.5}});
                               t.H().D().SetRowCount(0);
                           },
                           TSidePlane::XZ,
                           {-10, 10, 0, 10}}),
        CaseName());

TEST_F(SideViewTest, BuildStoresFootingTypeAndSummedLength) {
    Piles({{0, 0}}, {{4, 0.5}, {6, 0.5}});
    P().FootingType = 1;
    P().PileLength = 99;
    TSideViewModel m(TSidePlane::XZ);
    ASSERT_TRUE(m.BuildRecords(H()));
    EXPECT_EQ(P().FootingType, 2);
    EXPECT_EQ(double(P().SumPileLength), 10.0);
    EXPECT_EQ(double(P().PileLength), 99.0);  // the dialog's pile length is left alone
}

// A footing is never tilted by the batter of the first pile row.
TEST_F(SideViewTest, FootingIgnoresThePileTable) {
    Foundation("STRATUM", 3);
    Rectangular(4, 2);
    P().Zc = 1;
    Piles({{0, 0, 30, 1}}, {{10, 0.5}});
    Foundation("STRATUM", 3);
    TSideViewModel m(TSidePlane::XZ);
    ASSERT_TRUE(m.BuildRecords(H()));
    ASSERT_EQ(m.Records().size(), 1u);
    EXPECT_EQ(m.Records()[0].P[2].x, m.Records()[0].P[0].x);
    // With no pile rows at all it still builds.
    H().Pilecoord().SetRowCount(0);
    EXPECT_TRUE(m.BuildRecords(H()));
}

// ---- aspect ----

struct AspectCase {
    int width, height;
    TProfileWindow model, view;
};
class SideViewAspect : public ::testing::TestWithParam<AspectCase> {};

TEST_P(SideViewAspect, ScalesAboutZero) {
    const AspectCase& c = GetParam();
    TSideViewModel m(TSidePlane::XZ);
    m.SetModelWindow(c.model);
    m.Aspect(c.width, c.height);
    EXPECT_NEAR(double(m.ViewWindow().xmin), double(c.view.xmin), 1e-12);
    EXPECT_NEAR(double(m.ViewWindow().xmax), double(c.view.xmax), 1e-12);
    EXPECT_NEAR(double(m.ViewWindow().zmin), double(c.view.zmin), 1e-12);
    EXPECT_NEAR(double(m.ViewWindow().zmax), double(c.view.zmax), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Cases, SideViewAspect,
                         ::testing::Values(
                                 // A wide window widens the horizontal range symmetrically, depth 0 stays on top.
                                 AspectCase{800, 200, {-1, 1, 0, 10}, {-20, 20, 0, 10}},
                                 // A tall window deepens the depth range.
                                 AspectCase{100, 400, {-5, 5, 0, 10}, {-5, 5, 0, 40}},
                                 AspectCase{200, 200, {-10, 10, 0, 10}, {-10, 10, 0, 20}},
                                 // No client area: the view window is kept (here the initial one).
                                 AspectCase{0, 300, {-1, 1, 0, 1}, {-10, 10, 0, 10}},
                                 AspectCase{300, 0, {-1, 1, 0, 1}, {-10, 10, 0, 10}}));

// ---- the profile in a picture ----

// The middle of the dark pixels of row y, or -1.
int DarkCentre(const QImage& image, int y) {
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        if (IsDark(image, x, y)) {
            if (first < 0) first = x;
            last = x;
        }
    return first < 0 ? -1 : (first + last) / 2;
}

TEST_F(SideViewTest, BatteredPileLeansOnlyInItsPlane) {
    Piles({{0, 0, 10, 1}}, {{10, 0.5}});
    TDlgSideViewXZ xz;
    TDlgSideViewYZ yz;
    struct View {
        TDlgSideView* view;
        const char* file;
        bool leans;
    } views[] = {{&xz, "side-battered-xz.png", true}, {&yz, "side-battered-yz.png", false}};
    for (const View& v : views) {
        v.view->SetHolder(&H());
        v.view->resize(400, 400);
        v.view->FormActivate();
        const QImage image = v.view->RenderImage();
        image.save(ScreenshotPath(QString::fromLatin1(v.file)));
        // Rows below the layer's labels, near the head and near the tip.
        const int top = v.view->Model().PixelY(2, 400), bottom = v.view->Model().PixelY(9, 400);
        const Extended slope = std::tan(10 * 3.1415L / 180);
        const int head = v.view->Model().PixelX(v.leans ? 2 * slope : 0, 400);
        const int tip = v.view->Model().PixelX(9 * slope, 400);
        const int headSeen = DarkCentre(image, top), tipSeen = DarkCentre(image, bottom);
        ASSERT_GE(headSeen, 0) << v.file;
        ASSERT_GE(tipSeen, 0) << v.file;
        EXPECT_NEAR(headSeen, head, 3) << v.file;
        if (v.leans) {
            EXPECT_NEAR(tipSeen, tip, 3) << v.file;
            EXPECT_GT(tipSeen - headSeen, 20) << v.file;
        } else {
            EXPECT_NEAR(tipSeen, headSeen, 1) << v.file;
        }
    }
}

TEST_F(SideViewTest, LayersAreLabelledInOrder) {
    Piles({{0, 0}}, {{4, 0.5}, {6, 0.5}});
    Fill(H().D(), {{150, 18, 0.33}, {200, 18.5, 0.25}});
    TDlgSideViewXZ view;
    view.SetHolder(&H());
    view.resize(600, 400);
    view.FormActivate();
    RecordingDevice device(600, 400);
    DrawInto(view, device);
    EXPECT_EQ(device.TextLines(),
              (QStringList{"depth= 0 - 4; Layer 1", "Shear Wave Velocity= 150; Poissons Ratio= 0.33",
                           "depth= 4 - 10; Layer 2", "Shear Wave Velocity= 200; Poissons Ratio= 0.25"}));
    // The label sits at 5% of its layer's thickness below the top: 0.2 and 4.3 deep.
    ASSERT_EQ(device.texts.size(), 4u);
    const int ascent = QFontMetrics(view.font()).ascent();
    EXPECT_EQ(int(device.texts[0].at.y()) - ascent, view.Model().PixelY(0.2L, 400));
    EXPECT_EQ(int(device.texts[2].at.y()) - ascent, view.Model().PixelY(4.3L, 400));
    // One pile polygon.
    EXPECT_EQ(device.polygons.size(), 1u);
}

// The layers and texts of each footing type.
TEST_F(SideViewTest, EachFootingTypeDrawsItsLayers) {
    struct Case {
        const char* name;
        std::function<void()> setUp;
        QStringList texts;
        int horizontalLines;  // layer lines and ground lines across the window
    };
    const Case cases[] = {
            {"stratum",
             [this] {
                 Foundation("STRATUM", 3);
                 Rectangular(4, 2);
                 P().Zc = 1;
                 P().BaseDepth = 0.5;
                 P().BedRockDepth = 6;
                 P().SoilVelocity = 300;
                 P().SoilPoisson = 0.3L;
             },
             {"Layer thickness= 6; Layer 1", "Shear Wave Velocity= 300; Poissons Ratio= 0.3", "Rock Layer "},
             2},
            // The layers are drawn shifted so that they end at Zc; the labels keep their depths.
            {"half-space",
             [this] {
                 Foundation("HALF-SPACE", 1);
                 Rectangular(4, 2);
                 P().Zc = 4;
                 P().SoilVelocity = 250;
                 P().SoilPoisson = 0.35L;
                 Fill(H().D1(), {{1, 150, 18, 0.3L}, {2, 200, 18, 0.25L}});
             },
             {"depth= 0 - 1; Layer 1", "Shear Wave Velocity= 150; Poissons Ratio= 0.3", "depth= 1 - 3; Layer 2",
              "Shear Wave Velocity= 200; Poissons Ratio= 0.25", "Soil below the tip ",
              "Shear Wave Velocity= 250; Poissons Ratio= 0.35"},
             3},
            {"multilayer",
             [this] {
                 Foundation("MULTILAYER", 4);
                 Fill(H().MultiElement(), {{2, 1}, {3, 1}});
                 Fill(H().D(), {{150, 18, 0.3L}});
                 Fill(H().Multisoil(), {{300, 19, 0.25L}});
             },
             {"depth= 0 - 2; Layer 1", "Shear Wave Velocity= 150; Poissons Ratio= 0.3", "depth= 2 - 5; Layer 2",
              "Shear Wave Velocity= 300; Poissons Ratio= 0.25"},
             3},
    };
    for (const Case& c : cases) {
        c.setUp();
        TDlgSideViewXZ view;
        view.SetHolder(&H());
        view.resize(500, 300);
        view.FormActivate();
        RecordingDevice device(500, 300);
        DrawInto(view, device);
        EXPECT_EQ(device.TextLines(), c.texts) << c.name;
        int across = 0;
        for (const QLineF& l : device.lines)
            if (l.x1() == 0 && l.x2() == 500 && l.y1() == l.y2()) ++across;
        EXPECT_EQ(across, c.horizontalLines) << c.name;
        EXPECT_EQ(device.polygons.size(), 1u) << c.name;
    }
    // The half-space's ground line lies at Zc - T = 1 below the surface.
    TDlgSideViewXZ view;
    view.SetHolder(&H());
    view.resize(500, 300);
    Foundation("HALF-SPACE", 1);
    view.FormActivate();
    RecordingDevice device(500, 300);
    DrawInto(view, device);
    EXPECT_TRUE(HatchedAt(device, view.Model().PixelY(1, 300)));
}

// The footing's base lies its embedment below the ground: the side layers'
// thickness for a half-space, the base depth for a stratum.
TEST_F(SideViewTest, FootingStandsInTheGround) {
    struct Case {
        const char* name;
        std::function<void()> setUp;
        Extended ground, base;
    };
    const Case cases[] = {
            {"stratum rectangular",
             [this] {
                 Foundation("STRATUM", 3);
                 Rectangular(4, 3);
                 P().Zc = 0.8L;
                 P().BaseDepth = 0.5L;
                 P().BedRockDepth = 8;
             },
             0.3L, 0.8L},
            {"stratum circular",
             [this] {
                 Foundation("STRATUM", 3);
                 Circular(1);
                 P().Zc = 0.8L;
                 P().BaseDepth = 0.5L;
                 P().BedRockDepth = 8;
             },
             1.1L, 1.6L},
            {"half-space rectangular",
             [this] {
                 Foundation("HALF-SPACE", 1);
                 Rectangular(4, 3);
                 P().Zc = 0.8L;
                 Fill(H().D1(), {{0.5L, 150, 18, 0.3L}});
             },
             0.3L, 0.8L},
            {"half-space circular",
             [this] {
                 Foundation("HALF-SPACE", 1);
                 Circular(1);
                 P().Zc = 1;
                 Fill(H().D1(), {{0.2L, 150, 18, 0.3L}, {0.3L, 150, 18, 0.3L}});
             },
             1.5L, 2},
            {"half-space on the surface",
             [this] {
                 Foundation("HALF-SPACE", 1);
                 Rectangular(4, 3);
                 P().Zc = 0.8L;
                 Fill(H().D1(), {{0, 150, 18, 0.3L}});
             },
             0.8L, 0.8L},
    };
    for (const Case& c : cases) {
        c.setUp();
        TDlgSideViewXZ view;
        view.SetHolder(&H());
        view.resize(500, 300);
        view.FormActivate();
        RecordingDevice device(500, 300);
        DrawInto(view, device);
        EXPECT_TRUE(HatchedAt(device, view.Model().PixelY(c.ground, 300))) << c.name;
        ASSERT_EQ(device.polygons.size(), 1u) << c.name;
        EXPECT_EQ(device.polygons[0].boundingRect().bottom(), view.Model().PixelY(c.base, 300)) << c.name;
    }
}

// The example stratum in a window: the footing in the ground, the rock line
// in the picture.
TEST_F(SideViewTest, ExampleStratumShowsFootingGroundAndRock) {
    H().OpenProject(QStringLiteral(VORTN_EXAMPLES "/project-stratum.vtd"));
    ASSERT_EQ(P().FoundationWord, QStringLiteral("STRATUM"));
    TDlgSideViewXZ view;
    view.SetHolder(&H());
    view.resize(600, 420);
    view.FormActivate();
    const QImage image = view.RenderImage();
    ASSERT_TRUE(image.save(ScreenshotPath(QStringLiteral("side-stratum-xz.png"))));
    const vortn::TSideViewModel& m = view.Model();
    // The 4 long footing from 0 to 0.8, the ground at 0.3, the rock at 8.3.
    EXPECT_TRUE(IsDark(image, m.PixelX(0, 600), m.PixelY(0.55L, 420)));
    EXPECT_TRUE(IsDark(image, m.PixelX(1.9L, 600), m.PixelY(0.55L, 420)));
    EXPECT_FALSE(IsDark(image, m.PixelX(2.3L, 600), m.PixelY(0.55L, 420)));
    EXPECT_TRUE(IsDark(image, 580, m.PixelY(0.3L, 420)));
    ASSERT_LT(m.PixelY(8.3L, 420), 420);
    EXPECT_TRUE(IsDark(image, 580, m.PixelY(8.3L, 420)));
    // "Rock Layer " below it, inside the window.
    RecordingDevice device(600, 420);
    DrawInto(view, device);
    ASSERT_EQ(device.texts.size(), 3u);
    EXPECT_EQ(device.texts[2].text, QStringLiteral("Rock Layer "));
    EXPECT_LT(device.texts[2].at.y(), 420);
}

// The example pile group's 4 x 3 cap, embedded 0.6, on the pile heads; the
// ground at its top.
TEST_F(SideViewTest, ExamplePileCapIsDrawn) {
    OpenExample("project-pile.vtd");
    struct View {
        std::unique_ptr<TDlgSideView> view;
        const char* file;
        Extended halfSize;
    };
    View views[] = {{std::make_unique<TDlgSideViewXZ>(), "side-pile-cap-xz.png", 2},
                    {std::make_unique<TDlgSideViewYZ>(), "side-pile-cap-yz.png", 1.5L}};
    for (View& v : views) {
        v.view->SetHolder(&H());
        v.view->resize(640, 480);
        v.view->FormActivate();
        const QImage image = v.view->RenderImage();
        ASSERT_TRUE(image.save(ScreenshotPath(QString::fromLatin1(v.file))));
        const vortn::TSideViewModel& m = v.view->Model();
        ASSERT_TRUE(m.HasCap()) << v.file;
        const int y = m.PixelY(-0.3L, 480);
        EXPECT_TRUE(IsDark(image, m.PixelX(0, 640), y)) << v.file;
        EXPECT_TRUE(IsDark(image, m.PixelX(v.halfSize - 0.1L, 640), y)) << v.file;
        EXPECT_FALSE(IsDark(image, m.PixelX(v.halfSize + 0.2L, 640), y)) << v.file;
        EXPECT_TRUE(IsDark(image, 620, m.PixelY(-0.6L, 480))) << v.file;  // the ground
    }
}

// A footing wider than the labels' column does not hide them: the texts have
// their own background.
TEST_F(SideViewTest, BodiesDoNotHideTheLabels) {
    Foundation("HALF-SPACE", 1);
    Rectangular(20, 20);
    P().Zc = 6;
    Fill(H().D1(), {{5, 150, 18, 0.33L}});
    TDlgSideViewXZ view;
    view.SetHolder(&H());
    view.resize(400, 300);
    view.FormActivate();
    const QImage image = view.RenderImage();
    ASSERT_TRUE(image.save(ScreenshotPath(QStringLiteral("side-labels-over-footing.png"))));
    const vortn::TSideViewModel& m = view.Model();
    const QFontMetrics fm(view.font());
    const QString text = QStringLiteral("Shear Wave Velocity= 150; Poissons Ratio= 0.33");
    // The property line lies one line below the label's row, over the footing
    // (the ground at 1, the label a twentieth of the layer below it).
    const int row = m.PixelY(1.25L, 300) + fm.height() + fm.ascent() / 2;
    const int left = m.PixelX(-9.5L, 400), right = std::min(fm.horizontalAdvance(text), m.PixelX(9.5L, 400));
    ASSERT_LT(row, m.PixelY(6, 300));
    ASSERT_LT(left + 20, right);
    int light = 0;
    for (int x = left; x < right; ++x)
        if (!IsDark(image, x, row)) ++light;
    EXPECT_GT(light, (right - left) / 4);
}

// Labels of thin layers follow one another instead of overprinting.
TEST_F(SideViewTest, ThinLayersLabelsDoNotOverprint) {
    Piles({{0, 0}}, {{10, 0.5}, {0.05L, 0.5}, {0.05L, 0.5}});
    Fill(H().D(), {{150, 18, 0.3}, {200, 18, 0.3}, {250, 18, 0.3}});
    TDlgSideViewXZ view;
    view.SetHolder(&H());
    view.resize(600, 400);
    view.FormActivate();
    RecordingDevice device(600, 400);
    DrawInto(view, device);
    ASSERT_EQ(device.texts.size(), 6u);
    const int lineHeight = QFontMetrics(view.font()).height();
    for (size_t i = 1; i < device.texts.size(); ++i)
        EXPECT_GE(device.texts[i].at.y() - device.texts[i - 1].at.y(), lineHeight) << i;
    // The first label stays where its layer puts it.
    EXPECT_EQ(int(device.texts[0].at.y()) - QFontMetrics(view.font()).ascent(), view.Model().PixelY(0.5L, 400));
}

// The "Print" button keeps clear of the labels, also after a resize.
TEST_F(SideViewTest, PrintButtonCoversNoLabel) {
    OpenExample("project-pile.vtd");
    TDlgSideViewXZ view;
    view.SetHolder(&H());
    view.show();
    for (const QSize size : {QSize(600, 420), QSize(250, 500), QSize(900, 300)}) {
        view.resize(size);
        QApplication::processEvents();
        view.FormActivate();
        const auto* button = view.findChild<QPushButton*>(QStringLiteral("Button1"));
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(view.rect().contains(button->geometry())) << size.width();
        RecordingDevice device(size.width(), size.height());
        DrawInto(view, device);
        ASSERT_FALSE(device.texts.empty());
        const QFontMetrics fm(view.font());
        for (const RecordingDevice::Text& t : device.texts) {
            const QRect r(int(t.at.x()), int(t.at.y()) - fm.ascent(), fm.horizontalAdvance(t.text), fm.height());
            EXPECT_FALSE(r.intersects(button->geometry())) << t.text.toStdString() << " at " << size.width();
        }
    }
}

// Tables shorter than the loop bound: the profile stops at the shorter table.
TEST_F(SideViewTest, ShortTablesEndTheLayers) {
    struct Case {
        const char* name;
        std::function<void()> setUp;
        int labelLines;
    };
    const Case cases[] = {
            {"PileData shorter than D",
             [this] {
                 Piles({{0, 0}}, {{10, 0.5}});
                 Fill(H().D(), {{150, 18, 0.3}, {200, 18, 0.3}, {250, 18, 0.3}});
             },
             2},
            {"Multisoil shorter than the elements below D",
             [this] {
                 Foundation("MULTILAYER", 4);
                 Fill(H().MultiElement(), {{2, 1}, {3, 1}, {4, 1}, {5, 1}});
                 Fill(H().D(), {{150, 18, 0.3}});
                 Fill(H().Multisoil(), {{300, 19, 0.3}});
             },
             4},
    };
    for (const Case& c : cases) {
        c.setUp();
        TDlgSideViewXZ view;
        view.SetHolder(&H());
        view.resize(500, 300);
        view.FormActivate();
        RecordingDevice device(500, 300);
        DrawInto(view, device);
        EXPECT_EQ(device.texts.size(), size_t(c.labelLines)) << c.name;
        EXPECT_TRUE(messages_.isEmpty()) << c.name;
    }
}

TEST_F(SideViewTest, PileWithoutSectionsClosesWithTheMessage) {
    Piles({{0, 0}}, {});
    auto* view = new TDlgSideViewXZ;
    view->SetHolder(&H());
    bool closed = false;
    view->OnFormClose = [&] { closed = true; };
    view->show();
    view->FormActivate();
    EXPECT_EQ(messages_, QStringList{"One or more Pile Types does not have any sections"});
    EXPECT_TRUE(closed);
    EXPECT_TRUE(view->Model().Records().empty());
}

// The new project gives no fit; the view keeps its window and draws the
// next project once activated again.
TEST_F(SideViewTest, DegenerateFitKeepsTheWindowAndLaterChangesAreDrawn) {
    TDlgSideViewXZ view;
    view.SetHolder(&H());
    view.resize(300, 300);
    view.FormActivate();
    EXPECT_FALSE(view.GetNoDraw());
    EXPECT_EQ(view.Model().ModelWindow(), TProfileWindow{});
    Piles({{0, 0}}, {{10, 0.5}});
    view.FormActivate();
    EXPECT_NEAR(double(view.Model().ModelWindow().zmax), 10.5, 1e-12);
    const QImage image = view.RenderImage();
    EXPECT_TRUE(IsDark(image, view.Model().PixelX(0, 300), view.Model().PixelY(5, 300)));
}

TEST_F(SideViewTest, MouseReadOutInTheCaption) {
    Piles({{0, 0}}, {{10, 0.5}});
    TDlgSideViewYZ view;
    view.SetHolder(&H());
    view.resize(400, 200);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Side View (YZ-Plane)"));
    view.FormActivate();
    const vortn::TProfileWindow& v = view.Model().ViewWindow();
    view.FormMouseMove(200, 100);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Side View X: ") + vortn::FixedText((v.xmin + v.xmax) / 2, 6, 1) +
                                          QStringLiteral(" Depth: ") + vortn::FixedText((v.zmin + v.zmax) / 2, 6, 1));
    EXPECT_TRUE(view.windowTitle().startsWith(QStringLiteral("Side View X: 0.0 Depth: ")));
}

TEST_F(SideViewTest, PrintsOneLandscapePageToPdf) {
    OpenExample("project-pile.vtd");
    TDlgSideViewXZ view;
    view.SetHolder(&H());
    view.resize(600, 400);
    view.FormActivate();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("profile.pdf")));
    ASSERT_TRUE(view.PrintTo(printer));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.docName(), QStringLiteral("Soil-Pile Profile"));
    QFile pdf(printer.outputFileName());
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray data = pdf.readAll();
    EXPECT_TRUE(data.startsWith("%PDF"));
    EXPECT_GT(data.size(), 1000);
    EXPECT_TRUE(messages_.isEmpty());
}

// The page drawing: black lines of width 12 inside the frame, the piles
// mapped into the middle 80% of the height.
TEST_F(SideViewTest, PageDrawingKeepsToTheFrame) {
    Piles({{0, 0}}, {{10, 0.5}});
    TDlgSideViewXZ view;
    view.SetHolder(&H());
    view.resize(400, 400);
    view.FormActivate();
    RecordingDevice device(6600, 5100);
    {
        QPainter painter(&device);
        view.Draw2(painter, QRect(0, 0, 6600, 5100));
    }
    ASSERT_EQ(device.polygons.size(), 1u);
    for (const QPointF& p : device.polygons[0]) {
        EXPECT_GE(p.y(), 510);
        EXPECT_LE(p.y(), 4590);
    }
    bool ground = false;
    for (const QLineF& l : device.lines)
        if (l.p1() == QPointF(660, 510) && l.p2() == QPointF(5940, 510)) ground = true;
    EXPECT_TRUE(ground);
}

// "Print" of the side and top views on a machine without printers: the
// page goes into the PDF file the user names.
struct PrintCase {
    const char* name;
    std::function<std::unique_ptr<vortn::TPlaneView>()> make;
};
void PrintTo(const PrintCase& c, std::ostream* os) { *os << c.name; }

class PlaneViewPrint : public SideViewTest, public ::testing::WithParamInterface<PrintCase> {
protected:
    void TearDown() override {
        vortn::SetPrintersInstalledHook({});
        vortn::SetPdfFileHook({});
        SideViewTest::TearDown();
    }
};

TEST_P(PlaneViewPrint, WithoutAPrinterThePrintButtonWritesOnePdfPage) {
    OpenExample("project-pile.vtd");
    const std::unique_ptr<vortn::TPlaneView> view = GetParam().make();
    view->SetHolder(&H());
    view->resize(600, 400);
    view->FormActivate();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("page.pdf"));
    QStringList asked;
    vortn::SetPrintersInstalledHook([] { return false; });
    vortn::SetPdfFileHook([&](QWidget*, const QString& title) {
        asked << title;
        return file;
    });
    auto* print = view->findChild<QAbstractButton*>(QStringLiteral("Button1"));
    ASSERT_NE(print, nullptr);
    print->click();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains(QLatin1String("PDF"))) << asked[0].toStdString();
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(QLatin1Char('|')).toStdString();
    const vortn::test::TPdfPages pdf = vortn::test::ReadPdfPages(file);
    EXPECT_TRUE(vortn::test::OnePrintedPage(pdf, QPageLayout::Landscape, 100));
    pdf.first.save(ScreenshotPath(QStringLiteral("print_pdf_%1.png").arg(QLatin1String(GetParam().name))));
}

INSTANTIATE_TEST_SUITE_P(Views, PlaneViewPrint,
                         ::testing::Values(PrintCase{"side_xz", [] { return std::make_unique<TDlgSideViewXZ>(); }},
                                           PrintCase{"side_yz", [] { return std::make_unique<TDlgSideViewYZ>(); }},
                                           PrintCase{"top", [] { return std::make_unique<vortn::TDlgTopView>(); }}),
                         [](const ::testing::TestParamInfo<PrintCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace views_test
