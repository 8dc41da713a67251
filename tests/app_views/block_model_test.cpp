// 3D view model: extents and cap state, view volume and fit scale, soil
// slabs and colours, labels, navigation as pure state, print placement, and
// the drawing calls through a recording OpenGL layer.
#include "block_model.h"
#include "block_view.h"
#include "gl_window.h"

#include "views_fixture.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>

namespace views_test {
namespace {

using vortn::TBlockGeometry;
using vortn::TBlockNavigation;
using vortn::TMatrix16;

class BlockModelTest : public ViewsTest {};

struct DimsCase {
    const char* name;
    std::function<void(BlockModelTest&)> setUp;
    Extended capThickness;
    bool embedded;
    Extended zTop, zBottom, maxCoordinate, maxPlan;
};

class BlockDims : public BlockModelTest, public ::testing::WithParamInterface<DimsCase> {};

TEST_P(BlockDims, ExtentsAndCap) {
    const DimsCase& c = GetParam();
    c.setUp(*this);
    const TBlockGeometry g = vortn::GetMaxDims(H());
    EXPECT_NEAR(double(g.CapThickness), double(c.capThickness), 1e-12) << c.name;
    EXPECT_EQ(g.CapEmbedded, c.embedded) << c.name;
    EXPECT_NEAR(double(g.zTop), double(c.zTop), 1e-12) << c.name;
    EXPECT_NEAR(double(g.zBottom), double(c.zBottom), 1e-12) << c.name;
    EXPECT_NEAR(double(g.MaxCoordinate), double(c.maxCoordinate), 1e-12) << c.name;
    EXPECT_NEAR(double(g.MaxPlan), double(c.maxPlan), 1e-12) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
        Cases, BlockDims,
        ::testing::Values(
                // A rectangular footing 10 x 6 without side layers stands on the ground, 0.15 x 6 thick.
                DimsCase{"rectangular footing",
                         [](BlockModelTest& t) {
                             t.Foundation("HALF-SPACE", 1);
                             t.Rectangular(10, 6);
                         },
                         0.9L, false, 0.9L, 0, 5, 10},
                // A circular footing of radius 2 in side layers of 1.5 is embedded; the layers add below.
                DimsCase{"circular embedded",
                         [](BlockModelTest& t) {
                             t.Foundation("HALF-SPACE", 1);
                             t.Circular(2);
                             Fill(t.H().D1(), {{1}, {0.5}});
                         },
                         1.5L, true, 0, -3, 3, 4},
                // Four piles under a 4 x 3 cap in a side layer of 0.6, two sections of 5.
                DimsCase{"pile group",
                         [](BlockModelTest& t) {
                             t.Piles({{-1, -1}, {1, -1}, {-1, 1}, {1, 1}}, {{5, 0.25}, {5, 0.25}});
                             t.Rectangular(4, 3);
                             Fill(t.H().pilecapsoil(), {{0.6}});
                         },
                         0.6L, true, 0, -10.6L, 10.6L, 4},
                DimsCase{"stratum takes the base depth",
                         [](BlockModelTest& t) {
                             t.Foundation("STRATUM", 3);
                             t.Rectangular(4, 4);
                             t.P().BaseDepth = 2;
                         },
                         2, false, 2, 0, 2, 4},
                // Side layers of a multilayer are its first elements, one per row of D (longer than the table).
                DimsCase{"multilayer",
                         [](BlockModelTest& t) {
                             t.Foundation("MULTILAYER", 4);
                             t.Rectangular(2, 2);
                             Fill(t.H().MultiElement(), {{0.75, 1}});
                             Fill(t.H().D(), {{100}, {200}, {300}});
                         },
                         0.75L, true, 0, -0.75L, 1, 2},
                DimsCase{"default project", [](BlockModelTest&) {}, 0, false, 0, 0, 0, 0}),
        CaseName());

TEST(BlockModel, OrthoBoxIsOnePixelAUnit) {
    const vortn::TOrthoBox wide = vortn::OrthoBox(600, 400, 10, 4);
    EXPECT_EQ(double(wide.left), -300.0);
    EXPECT_EQ(double(wide.right), 300.0);
    EXPECT_EQ(double(wide.bottom), -200.0);
    EXPECT_EQ(double(wide.top), 200.0);
    EXPECT_EQ(double(wide.zFar), 10.0 / 4 * 200 * 640);
    EXPECT_EQ(double(wide.zNear), -double(wide.zFar));
    const vortn::TOrthoBox tall = vortn::OrthoBox(300, 500, 1, 0);
    EXPECT_EQ(double(tall.right), 150.0);
    EXPECT_EQ(double(tall.top), 250.0);
    EXPECT_EQ(double(tall.zFar), 250.0);  // no plan: the other half-size
    const vortn::TOrthoBox none = vortn::OrthoBox(0, 0, 1, 1);
    EXPECT_GT(double(none.zFar), 0.0);
}

TEST(BlockModel, FitScaleStaysPositive) {
    struct Case {
        int W, H;
        Extended dx, maxCoordinate, previous, expected;
    };
    const Case cases[] = {
            {650, 450, 4, 10, 1, 20},     // min(600 / 8, 400 / 20)
            {650, 450, 0, 10, 1, 1},      // dx 0 counts as 1
            {650, 450, 0, 0, 1, 1},       // both divisors 0
            {40, 450, 4, 10, 1, 20},      // narrower than the border: the height decides
            {40, 30, 4, 10, 3.5L, 3.5L},  // no factor left: the previous scale
            {0, 0, 0, 0, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(double(vortn::FitScaleFor(c.W, c.H, c.dx, c.maxCoordinate, c.previous)), double(c.expected))
                << c.W << " x " << c.H;
}

TEST(BlockModel, ValueLabels) {
    const std::pair<Extended, const char*> cases[] = {
            {0, "0.000E+00"}, {0.001L, "1.000E-03"},   {0.0015L, "0.002"},    {12.5L, "12.500"},
            {-3, "-3.000"},   {99999.9L, "99999.900"}, {100000, "1.000E+05"}, {-123456, "-1.235E+05"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(vortn::GetValueLabel(v), QString::fromLatin1(text)) << double(v);
}

TEST(BlockModel, LayerColours) {
    EXPECT_EQ(vortn::LayerColor(1, 0.5), (std::array<double, 4>{0.8, 0.55, 0.0, 0.5}));
    EXPECT_EQ(vortn::LayerColor(8, 1), vortn::LayerColor(4, 1));
    EXPECT_EQ(vortn::LayerColor(0, 1), (std::array<double, 4>{0.0, 0.5, 0.5, 1}));
    EXPECT_EQ(vortn::LayerColor(5, 1), vortn::LayerColor(0, 1));
    EXPECT_EQ(vortn::LayerColor(11, 1), (std::array<double, 4>{0.4, 0.5, 0.55, 1}));
}

TEST_F(BlockModelTest, SlabsSkipZeroLayersAndWrapTheColours) {
    Foundation("HALF-SPACE", 1);
    Rectangular(2, 2);
    TGridTable& d1 = H().D1();
    d1.SetRowCount(14);
    for (int i = 0; i < 14; ++i) d1.Cells(0, i).SetAsFloat(i == 2 ? 0 : 1);
    const auto slabs = vortn::SoilSlabs(H(), 1.5);
    ASSERT_EQ(slabs.size(), 14u);  // 13 side layers and the bottom
    EXPECT_EQ(slabs[1].row, 1);
    EXPECT_EQ(slabs[2].row, 3);         // the empty layer left out...
    EXPECT_EQ(slabs[2].colorIndex, 2);  // ...takes no colour
    EXPECT_EQ(slabs[11].colorIndex, 11);
    EXPECT_EQ(slabs[12].colorIndex, 0);  // the thirteenth layer starts again
    EXPECT_EQ(double(slabs[12].z0), -12.0);
    EXPECT_EQ(slabs[0].label, QStringLiteral("Side Cap 1"));
    EXPECT_TRUE(slabs[13].last);
    EXPECT_EQ(slabs[13].label, QStringLiteral("Bottom"));
    EXPECT_EQ(double(slabs[13].d), 1.5);
    EXPECT_EQ(slabs[13].colorIndex, 1);
    EXPECT_EQ(vortn::SlabColorIndex(slabs[13]), 4);
}

TEST_F(BlockModelTest, SlabsOfEachFoundation) {
    struct Case {
        const char* name;
        std::function<void()> setUp;
        QStringList labels;
        std::vector<Extended> thickness;
    };
    const Case cases[] = {
            {"pile",
             [this] {
                 Piles({{0, 0}}, {{4, 0.3}, {6, 0.3}});
                 Fill(H().pilecapsoil(), {{0.5}});
             },
             {"Side Cap 1", "Side Pile 1", "Side Pile 2", "Bottom"},
             {0.5L, 4, 6, 2}},
            {"stratum",
             [this] {
                 Foundation("STRATUM", 3);
                 P().BedRockDepth = 7;
             },
             {"Stratum", "Bottom"},
             {7, 2}},
            // The element table runs out before D and Multisoil do: the slabs stop there.
            {"multilayer with short elements",
             [this] {
                 Foundation("MULTILAYER", 4);
                 Fill(H().MultiElement(), {{1, 1}, {2, 1}});
                 Fill(H().D(), {{100}});
                 Fill(H().Multisoil(), {{200}, {300}, {400}});
             },
             {"Side Cap 1", "Side Column 1", "Bottom"},
             {1, 2, 2}},
    };
    for (const Case& c : cases) {
        c.setUp();
        Rectangular(4, 2);
        const auto slabs = vortn::SoilSlabs(H(), 2);
        QStringList labels;
        std::vector<Extended> thickness;
        for (const auto& s : slabs) {
            labels << s.label;
            thickness.push_back(s.d);
        }
        EXPECT_EQ(labels, c.labels) << c.name;
        EXPECT_EQ(thickness, c.thickness) << c.name;
    }
}

// ---- navigation ----

TEST(BlockNavigation, FixedViewsAndReverse) {
    struct Case {
        int view;
        Extended x, y, z;
    };
    const Case cases[] = {{1, 0, 0, 0}, {2, 0, 0, 90}, {3, 90, 0, 0}, {4, 22.5L, 0, 45}, {7, 5, 6, 7}};
    for (const Case& c : cases) {
        TBlockNavigation n;
        n.View.RotationX = 5;
        n.View.RotationY = 6;
        n.View.RotationZ = 7;
        EXPECT_TRUE(n.SetView(c.view));
        EXPECT_EQ(double(n.View.RotationX), double(c.x)) << c.view;
        EXPECT_EQ(double(n.View.RotationY), double(c.y)) << c.view;
        EXPECT_EQ(double(n.View.RotationZ), double(c.z)) << c.view;
    }
    TBlockNavigation n;
    n.SetView(4);
    n.ReverseView();
    EXPECT_EQ(double(n.View.RotationX), 22.5);
    EXPECT_EQ(double(n.View.RotationY), 0.0);
    EXPECT_EQ(double(n.View.RotationZ), 225.0);
}

TEST(BlockNavigation, ZoomInTwiceAndOutTwice) {
    TBlockNavigation n;
    n.Zooming(1.4142L);
    n.Zooming(1.4142L);
    EXPECT_NEAR(double(n.View.ZoomFactor), 2.0, 1e-3);
    n.Zooming(0.7071135624381276L);
    n.Zooming(0.7071135624381276L);
    EXPECT_NEAR(double(n.View.ZoomFactor), 1.0, 1e-6);
    n.Zooming(0);
    n.Zooming(-2);
    EXPECT_NEAR(double(n.View.ZoomFactor), 1.0, 1e-6);
}

TEST(BlockNavigation, RestartGoesBackToTheModelCentre) {
    TBlockNavigation n;
    n.SetView(4);
    n.Zooming(3);
    n.View.PanZ = 5;
    n.Restart(1.5, -2);
    EXPECT_EQ(double(n.View.RotationX + n.View.RotationY + n.View.RotationZ), 0.0);
    EXPECT_EQ(double(n.View.ZoomFactor), 1.0);
    EXPECT_EQ(double(n.View.PanX), -1.5);
    EXPECT_EQ(double(n.View.PanY), 2.0);
    EXPECT_EQ(double(n.View.PanZ), 0.0);
}

// The model-view matrix of the front view (x right, z up) scaled by s.
TMatrix16 FrontMatrix(Extended s) {
    TMatrix16 m{};
    m[0] = s;   // x -> screen x
    m[6] = -s;  // y -> into the screen
    m[9] = s;   // z -> screen y
    m[15] = 1;
    return m;
}

// Screen offset (from the centre, y up) of model point q under the view state.
std::pair<Extended, Extended> ScreenOf(const vortn::TBlockViewState& v, Extended qx, Extended qz) {
    const Extended s = v.FitScale * v.ZoomFactor;
    return {s * (qx + v.PanX), s * (qz + v.PanZ)};
}

TEST(BlockNavigation, ZoomWindowZoomsAndCentresTheBox) {
    TBlockNavigation n;
    n.View.FitScale = 2;
    n.MouseMode = TBlockNavigation::ZoomWindow;
    n.ZoomWindowMode = true;
    const TMatrix16 m = FrontMatrix(2);
    // A 100 x 50 box with its centre at (450, 125) in a 600 x 400 view.
    n.MouseDown(true, TBlockNavigation::ssLeft, 400, 100);
    EXPECT_TRUE(n.SelectionBoxVisible);
    EXPECT_TRUE(n.MouseMove(TBlockNavigation::ssLeft, 500, 150, m, 600, 400));
    EXPECT_EQ(n.X1, 500);
    // The model point under the box centre: screen (150, 75) from the centre.
    const Extended qx = 150 / 2.0L, qz = 75 / 2.0L;
    EXPECT_TRUE(n.MouseUp(true, 0, 500, 150, m, 600, 400));
    EXPECT_FALSE(n.SelectionBoxVisible);
    EXPECT_NEAR(double(n.View.ZoomFactor), 6.0, 1e-12);
    const auto [sx, sz] = ScreenOf(n.View, qx, qz);
    EXPECT_NEAR(double(sx), 0.0, 1e-9);
    EXPECT_NEAR(double(sz), 0.0, 1e-9);
    EXPECT_EQ(n.MouseState, 0);
}

TEST(BlockNavigation, ZoomWindowClickWithoutMovementChangesNothing) {
    const std::pair<int, int> releases[] = {{400, 100}, {400, 180}, {470, 100}};
    for (const auto& [x, y] : releases) {
        TBlockNavigation n;
        n.MouseMode = TBlockNavigation::ZoomWindow;
        n.ZoomWindowMode = true;
        n.MouseDown(true, TBlockNavigation::ssLeft, 400, 100);
        n.MouseUp(true, 0, x, y, FrontMatrix(1), 600, 400);
        EXPECT_EQ(double(n.View.ZoomFactor), 1.0);
        EXPECT_EQ(double(n.View.PanX), 0.0);
        EXPECT_EQ(double(n.View.PanZ), 0.0);
    }
}

TEST(BlockNavigation, PanWithShiftMovesAlongTheLargerDirection) {
    struct Case {
        unsigned char shift;
        int dx, dy;
        Extended panX, panZ;
    };
    // s = 2: one pixel is half a model unit; screen down is model -z.
    const Case cases[] = {{TBlockNavigation::ssLeft | TBlockNavigation::ssShift, 30, 5, 15, 0},
                          {TBlockNavigation::ssLeft | TBlockNavigation::ssShift, 5, -30, 0, 15},
                          {TBlockNavigation::ssLeft, 30, 5, 15, -2.5L},
                          {TBlockNavigation::ssLeft | TBlockNavigation::ssCtrl, 30, 5, 15, -2.5L}};
    for (const Case& c : cases) {
        TBlockNavigation n;
        n.View.FitScale = 2;
        n.MouseMode = TBlockNavigation::Pan;
        n.MouseDown(true, c.shift, 100, 100);
        EXPECT_TRUE(n.MouseMove(c.shift, 100 + c.dx, 100 + c.dy, FrontMatrix(2), 600, 400));
        EXPECT_NEAR(double(n.View.PanX), double(c.panX), 1e-12);
        EXPECT_NEAR(double(n.View.PanY), 0.0, 1e-12);
        EXPECT_NEAR(double(n.View.PanZ), double(c.panZ), 1e-12);
    }
    // Another button, or a move without a press, does nothing.
    TBlockNavigation n;
    n.MouseMode = TBlockNavigation::Pan;
    EXPECT_FALSE(n.MouseMove(TBlockNavigation::ssLeft, 50, 50, FrontMatrix(1), 600, 400));
    n.MouseDown(true, TBlockNavigation::ssLeft, 0, 0);
    EXPECT_FALSE(n.MouseMove(0x10, 50, 50, FrontMatrix(1), 600, 400));
    EXPECT_EQ(double(n.View.PanX), 0.0);
}

TEST(BlockNavigation, ZoomDragStaysPositive) {
    const std::pair<int, Extended> drags[] = {{-200, 1.5L}, {200, 0.5L}, {400, 0.01L}, {900, 0.01L}};
    for (const auto& [dy, zoom] : drags) {
        TBlockNavigation n;
        n.MouseMode = TBlockNavigation::Zoom;
        n.MouseDown(true, TBlockNavigation::ssLeft, 10, 0 + 0);
        n.MouseUp(true, TBlockNavigation::ssLeft, 10, dy, FrontMatrix(1), 600, 400);
        EXPECT_NEAR(double(n.View.ZoomFactor), double(zoom), 1e-12) << dy;
        EXPECT_GT(n.View.ZoomFactor, 0);
    }
    // A control without height changes nothing.
    TBlockNavigation n;
    n.MouseMode = TBlockNavigation::Zoom;
    n.MouseDown(true, TBlockNavigation::ssLeft, 0, 0);
    n.MouseUp(true, 0, 0, 50, FrontMatrix(1), 600, 0);
    EXPECT_EQ(double(n.View.ZoomFactor), 1.0);
}

TEST(BlockNavigation, RotateHalfATurnPerTwoHeights) {
    TBlockNavigation n;
    n.MouseMode = TBlockNavigation::Rotate;
    n.MouseDown(true, TBlockNavigation::ssLeft, 0, 0);
    // Down by one height: 90 degrees about the screen's x axis, the model's x.
    n.MouseMove(TBlockNavigation::ssLeft, 0, 400, FrontMatrix(1), 600, 400);
    EXPECT_NEAR(double(n.View.RotationX), 90.0, 1e-12);
    EXPECT_NEAR(double(n.View.RotationY), 0.0, 1e-12);
    EXPECT_NEAR(double(n.View.RotationZ), 0.0, 1e-12);
    n.MouseMove(TBlockNavigation::ssLeft, 300, 0, FrontMatrix(1), 600, 400);
    EXPECT_NEAR(double(n.View.RotationX), 0.0, 1e-12);
    EXPECT_NEAR(double(n.View.RotationZ), 45.0, 1e-12);  // right by half a width, about model z
}

TEST(BlockPrint, PlacementKeepsTheAspectWithinTheMargins) {
    struct Case {
        int lpx, lpy, offX, offY, pageW, pageH, mL, mT, mR, mB, w, h;
        vortn::TPrintBox expected;
        int unitsPerInch = 1000;
    };
    const Case cases[] = {
            // A margin box of 3000 x 3000 (300 dpi, one-inch margins) takes a 600 x 400 view at 3000 x 2000.
            {300, 300, 0, 0, 3600, 3600, 1000, 1000, 1000, 1000, 600, 400, {300, 300, 3000, 2000}},
            // Physical offsets larger than the margins, and a tall picture.
            {600, 600, 100, 50, 4900, 6500, 100, 0, 100, 0, 400, 800, {0, 0, 3250, 6500}},
            // Margins that leave no room.
            {300, 300, 0, 0, 500, 500, 1000, 1000, 1000, 1000, 600, 400, {300, 300, 0, 0}},
            // The view's own dialog unit, hundredths of a millimetre: 2540 is an inch, as above ...
            {300, 300, 0, 0, 3600, 3600, 2540, 2540, 2540, 2540, 600, 400, {300, 300, 3000, 2000}, 2540},
            // ... and its starting 1000 is 10 mm (118 dots at 300 dpi), not an inch.
            {300, 300, 0, 0, 3600, 3600, 1000, 1000, 1000, 1000, 600, 400, {118, 118, 3364, 2243}, 2540},
    };
    for (const Case& c : cases) {
        const vortn::TPrintBox b =
                vortn::PrintPlacement(c.lpx, c.lpy, c.offX, c.offY, c.pageW, c.pageH, c.mL, c.mT, c.mR, c.mB, c.w, c.h,
                                      c.unitsPerInch);
        EXPECT_EQ(b.left, c.expected.left);
        EXPECT_EQ(b.top, c.expected.top);
        EXPECT_EQ(b.width, c.expected.width);
        EXPECT_EQ(b.height, c.expected.height);
    }
}

// ---- drawing calls, through a recording layer ----

class RecordingGl : public vortn::TglApi {
public:
    std::vector<std::string> calls;
    bool throwOnTranslate = false;
    bool HasCurrentContext() override { return true; }
    unsigned GetError() override { return 0; }
    // The display lists of the scene (the font lists are left out).
    void NewList(unsigned list, unsigned) override {
        inFont = list >= vortn::TglWindow::FontListBase;
        if (!inFont) calls.push_back("NewList " + std::to_string(list));
    }
    void EndList() override {
        if (!inFont) calls.push_back("EndList");
        inFont = false;
    }
    void GlyphBitmap(int, int, float, float, float, float, const unsigned char*) override {}
    bool inFont = false;
    void Rotated(double a, double x, double y, double z) override {
        char b[96];
        std::snprintf(b, sizeof b, "Rotated %g %g %g %g", a, x, y, z);
        calls.push_back(b);
    }
    void Translated(double, double, double) override {
        if (throwOnTranslate) throw vortn::EListError(QStringLiteral("List index out of bounds (0)"));
    }
    void Begin(unsigned) override { calls.push_back("Begin"); }
    void End() override { calls.push_back("End"); }
    void Vertex3d(double, double, double) override {}
    void Color4f(float, float, float, float) override {}
    void ClearColor(float, float, float, float) override {}
    void Clear(unsigned) override {}
    void MatrixMode(unsigned) override {}
    void LoadIdentity() override {}
    void Ortho(double, double, double, double, double, double) override {}
    void Enable(unsigned) override {}
    void Disable(unsigned) override {}
    void BlendFunc(unsigned, unsigned) override {}
    void RasterPos3f(float, float, float) override {}
    void ListBase(unsigned) override {}
    void CallLists(int, unsigned, const void*) override {}
    void PushMatrix() override {}
    void PopMatrix() override {}
    void Scaled(double, double, double) override {}
    void ShadeModel(unsigned) override {}
    void CallList(unsigned) override {}
    void GetDoublev(unsigned, double* v) override { std::fill(v, v + 16, 0.0); }
};

TEST_F(BlockModelTest, BatteredPilesTurnAboutTheirHeads) {
    Piles({{0, 0, 10, 1}, {1, 0, 8, 2}, {2, 0, 0, 1}}, {{10, 0.3}});
    Rectangular(4, 3);
    RecordingGl gl;
    vortn::TDlgBlock view;
    view.SetHolder(&H());
    view.GL()->SetApi(&gl);
    view.FormActivate();
    view.glSetupRC();
    std::vector<std::string> rotations;
    for (const auto& c : gl.calls)
        if (c.rfind("Rotated", 0) == 0 && c.find("180") == std::string::npos) rotations.push_back(c);
    EXPECT_EQ(rotations, (std::vector<std::string>{"Rotated -10 0 1 0", "Rotated 10 0 1 0", "Rotated 8 1 0 0",
                                                   "Rotated -8 1 0 0"}));
    // Four lists, each closed.
    std::vector<std::string> lists;
    for (const auto& c : gl.calls)
        if (c.rfind("NewList", 0) == 0 || c == "EndList") lists.push_back(c);
    EXPECT_EQ(lists, (std::vector<std::string>{"NewList 1", "EndList", "NewList 2", "EndList", "NewList 3", "EndList",
                                               "NewList 4", "EndList"}));
    view.GL()->SetApi(nullptr);
}

TEST_F(BlockModelTest, AnErrorWhileCompilingClosesTheList) {
    Piles({{0, 0}}, {{10, 0.3}});
    RecordingGl gl;
    vortn::TDlgBlock view;
    view.SetHolder(&H());
    view.GL()->SetApi(&gl);
    view.FormActivate();
    gl.throwOnTranslate = true;
    EXPECT_THROW(view.glSetupRC(), vortn::EListError);
    ASSERT_FALSE(gl.calls.empty());
    EXPECT_EQ(gl.calls.back(), "EndList");
    view.GL()->SetApi(nullptr);
}

// Footings have no piles to draw, whatever the pile table holds.
TEST_F(BlockModelTest, FootingDrawsNoPiles) {
    Piles({{0, 0, 10, 1}}, {{10, 0.3}});
    Foundation("HALF-SPACE", 1);
    Rectangular(4, 3);
    RecordingGl gl;
    vortn::TDlgBlock view;
    view.SetHolder(&H());
    view.GL()->SetApi(&gl);
    view.FormActivate();
    view.glSetupRC();
    for (const auto& c : gl.calls) EXPECT_NE(c, "Rotated -10 0 1 0");
    view.GL()->SetApi(nullptr);
}

// The primitives' own calls: primitives and their vertices, and the
// matrix operations around them.
class PrimitiveGl : public RecordingGl {
public:
    struct Primitive {
        unsigned mode;
        std::vector<std::array<double, 3>> v;
    };
    std::vector<Primitive> primitives;
    std::vector<std::string> stream;
    void Begin(unsigned mode) override {
        primitives.push_back({mode, {}});
        stream.push_back("Begin " + std::to_string(mode));
    }
    void End() override { stream.push_back("End"); }
    void Vertex3d(double x, double y, double z) override {
        primitives.back().v.push_back({x, y, z});
        char b[96];
        std::snprintf(b, sizeof b, "Vertex %a %a %a", x, y, z);
        stream.push_back(b);
    }
    void Rotated(double a, double x, double y, double z) override {
        char b[96];
        std::snprintf(b, sizeof b, "Rotated %g %g %g %g", a, x, y, z);
        stream.push_back(b);
    }
    void Translated(double x, double y, double z) override {
        char b[96];
        std::snprintf(b, sizeof b, "Translated %a %a %a", x, y, z);
        stream.push_back(b);
    }
    void PushMatrix() override { stream.push_back("Push"); }
    void PopMatrix() override { stream.push_back("Pop"); }
};

// A 4 x 3 x 2 box: six filled faces, each a fan of its centre and its four
// corners on the face's plane, wound counter-clockwise seen from outside;
// and the same six faces as closed outlines.
TEST(BlockPrimitives, BoxFacesOnEveryAxisWindOutwards) {
    using V = std::array<double, 3>;
    const V half = {2, 1.5, 1};
    PrimitiveGl gl;
    vortn::TDlgBlock view;
    view.GL()->SetApi(&gl);
    view.DrawSolidPara3D(4, 3, 2);
    view.DrawPara3D(4, 3, 2);
    view.GL()->SetApi(nullptr);
    ASSERT_EQ(gl.primitives.size(), 12u);
    for (int f = 0; f < 12; ++f) {
        SCOPED_TRACE(f);
        const bool filled = f < 6;
        const auto& p = gl.primitives[f];
        EXPECT_EQ(p.mode, filled ? unsigned(GL_TRIANGLE_FAN) : unsigned(GL_LINE_STRIP));
        ASSERT_EQ(p.v.size(), filled ? 6u : 5u);
        const std::vector<V> corners(p.v.begin() + (filled ? 1 : 0), p.v.end());
        EXPECT_EQ(corners.front(), corners.back());  // closed
        // Faces across x, y, z in turn, the plus side first.
        const int axis = (f % 6) / 2;
        const double side = f % 2 == 0 ? 1 : -1;
        for (const V& c : corners) {
            EXPECT_EQ(c[axis], side * half[axis]);
            for (int k = 0; k < 3; ++k) EXPECT_EQ(std::abs(c[k]), half[k]);
        }
        if (!filled) continue;
        for (int k = 0; k < 3; ++k)
            EXPECT_DOUBLE_EQ(p.v[0][k], (corners[0][k] + corners[1][k] + corners[2][k] + corners[3][k]) / 4);
        const V a = corners[0], b = corners[1], c = corners[2];
        const V u = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
        const V n = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        for (int k = 0; k < 3; ++k) {
            if (k == axis)
                EXPECT_GT(n[k] * side, 0) << "winds inwards";
            else
                EXPECT_EQ(n[k], 0);
        }
    }
}

// Circles and cylinders about x and about y are the ones about z, turned
// 90 degrees about y (x) or about x (y).
TEST(BlockPrimitives, RoundFormsTurnToTheirAxis) {
    using vortn::TDlgBlock;
    using Axis = TDlgBlock::TAxis;
    const std::pair<const char*, std::function<void(TDlgBlock&, Axis)>> forms[] = {
            {"circle", [](TDlgBlock& v, Axis a) { v.DrawCircle(a, 1.5); }},
            {"shaded circle", [](TDlgBlock& v, Axis a) { v.DrawShadeCircle(a, 1.5); }},
            {"shaded cylinder", [](TDlgBlock& v, Axis a) { v.DrawShadeCylinder(a, 1.5, 4); }},
            {"solid cylinder", [](TDlgBlock& v, Axis a) { v.DrawSolidCylinder3D(a, 1.5, 4); }},
            {"cylinder", [](TDlgBlock& v, Axis a) { v.DrawCylinder3D(a, 1.5, 4); }}};
    auto record = [](const std::function<void(TDlgBlock&, Axis)>& draw, Axis axis) {
        PrimitiveGl gl;
        TDlgBlock view;
        view.GL()->SetApi(&gl);
        draw(view, axis);
        view.GL()->SetApi(nullptr);
        return gl;
    };
    for (const auto& [name, draw] : forms) {
        SCOPED_TRACE(name);
        const PrimitiveGl z = record(draw, Axis::Z);
        ASSERT_FALSE(z.primitives.empty());
        // The z forms lie about z: every circle point at the radius from the axis.
        for (const auto& p : z.primitives)
            for (const auto& v : p.v) {
                const double rho = std::hypot(v[0], v[1]);
                EXPECT_TRUE(rho == 0 || std::abs(rho - 1.5) < 1e-12) << rho;
                EXPECT_TRUE(v[2] == 0 || std::abs(v[2]) == 2) << v[2];
            }
        for (const auto& [axis, turn] :
             {std::pair{Axis::X, "Rotated 90 0 1 0"}, std::pair{Axis::Y, "Rotated 90 1 0 0"}}) {
            std::vector<std::string> expected = {"Push", turn};
            expected.insert(expected.end(), z.stream.begin(), z.stream.end());
            expected.push_back("Pop");
            EXPECT_EQ(record(draw, axis).stream, expected) << turn;
        }
    }
}

// A column of labels keeps one line between neighbours: labels that fall
// on one spot (the plan view) or too close (thin layers) move down.
TEST(BlockModel, StackedLabelShifts) {
    struct Case {
        std::vector<Extended> y;
        std::vector<int> shifts;
    };
    const Case cases[] = {
            {{300, 250, 100}, {0, 0, 0}},                // far enough apart
            {{300, 300, 300, 300}, {0, -14, -28, -42}},  // all at one spot
            {{300, 295, 200}, {0, -9, 0}},               // one thin layer
            {{300, 295, 290, 200}, {0, -9, -18, 0}},
            {{}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(vortn::StackedLabelShifts(c.y, 14), c.shifts);
}

TEST(BlockModel, WindowHeightOfAPoint) {
    // One unit a pixel about the centre of a 400 x 300 viewport.
    TMatrix16 P = vortn::IdentityMatrix();
    P[0] = 2.0L / 400;
    P[5] = 2.0L / 300;
    P[10] = -1.0L / 1000;
    const TMatrix16 M = vortn::IdentityMatrix();
    const std::array<int, 4> viewport{0, 0, 400, 300};
    EXPECT_NEAR(double(vortn::WindowY(P, M, viewport, 0, 0, 0)), 150, 1e-9);
    EXPECT_NEAR(double(vortn::WindowY(P, M, viewport, 7, 40, 5)), 190, 1e-9);
    TMatrix16 scaled = M;
    scaled[5] = 2;  // the model twice as tall
    EXPECT_NEAR(double(vortn::WindowY(P, scaled, viewport, 0, -10, 0)), 130, 1e-9);
}

// What the model is built from: a pile moved, the cap resized or a layer
// added changes it; nothing else does.
TEST_F(BlockModelTest, ModelInputsFollowTheProject) {
    Piles({{-3, -3}, {3, -3}, {-3, 3}, {3, 3}}, {{10, 0.5}});
    Rectangular(8, 8);
    const QByteArray before = vortn::BlockModelInputs(H());
    EXPECT_EQ(vortn::BlockModelInputs(H()), before);
    P().Title = QStringLiteral("another title");
    EXPECT_EQ(vortn::BlockModelInputs(H()), before);
    H().Pilecoord().Cells(0, 3).SetAsFloat(-3);
    EXPECT_NE(vortn::BlockModelInputs(H()), before);
    H().Pilecoord().Cells(0, 3).SetAsFloat(3);
    EXPECT_EQ(vortn::BlockModelInputs(H()), before);
    P().Length = 9;
    EXPECT_NE(vortn::BlockModelInputs(H()), before);
    P().Length = 8;
    Fill(H().pilecapsoil(), {{0.5L}, {0.5L}});
    EXPECT_NE(vortn::BlockModelInputs(H()), before);
}

// The next activation after a change builds the extents again; the user's
// pan stays where it was relative to the model's centre.
TEST_F(BlockModelTest, ActivationRebuildsTheModelAfterAChange) {
    Foundation("HALF-SPACE", 1);
    Rectangular(4, 2);
    vortn::TDlgBlock view;
    view.SetHolder(&H());
    view.FormActivate();
    EXPECT_EQ(double(view.Geometry().dx), 4.0);
    view.Navigation().View.PanX += 1;  // panned by the user
    Rectangular(10, 2);
    view.FormActivate();
    EXPECT_EQ(double(view.Geometry().dx), 10.0);
    EXPECT_EQ(double(view.ViewState().PanX), 1.0);
    Fill(H().D1(), {{1.5L}});
    view.FormActivate();
    EXPECT_TRUE(view.Geometry().CapEmbedded);
    EXPECT_EQ(double(view.Geometry().zBottom), -3.0);
}

TEST_F(BlockModelTest, OptionsAndToolbarOperations) {
    vortn::TDlgBlock view;
    view.SetHolder(&H());
    EXPECT_TRUE(view.ShowAxes && view.ShowSoilLayers && view.ShowPileCap && view.ShowAllPiles && view.ShowFootingAreas);
    EXPECT_FALSE(view.ShowPileNumbers || view.ShowSoilLayerLabels || view.ShowSoilLayerDepthLabels ||
                 view.ShowFootingAreasLabels || view.ShowSettlementPoints || view.ShowLoading);
    view.ShowPileCapBlockOption();
    EXPECT_FALSE(view.ShowPileCap);
    view.ShowPileCapOption();
    EXPECT_TRUE(view.ShowPileCap);
    view.ShowPileNumbersOption();
    EXPECT_TRUE(view.ShowPileNumbers);
    view.SetView(4);
    view.ReverseView();
    EXPECT_EQ(double(view.ViewState().RotationZ), 225.0);
    view.SetMouseMode(4, true);
    EXPECT_EQ(view.Navigation().MouseMode, 4);
    EXPECT_TRUE(view.Navigation().ZoomWindowMode);
    EXPECT_EQ(view.PageSetupDialog().MarginLeft(), 1000);
    EXPECT_EQ(view.PageSetupDialog().MarginBottom(), 1000);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Vort-N, 3D-View"));
    // The OpenGL control as the form sets it up.
    EXPECT_EQ(view.GL()->BackgroundColor(), QColor(Qt::white));
    EXPECT_EQ(view.GL()->FOV(), 45.0);
    EXPECT_FALSE(view.GL()->DepthTesting());
    EXPECT_FALSE(view.GL()->Blending());
    EXPECT_EQ(view.GL()->ShadeModel(), vortn::glSmooth);
}

}  // namespace
}  // namespace views_test
