// TglWindow: property scopes, paint, mouse and text paths through a recording
// OpenGL layer; the real library where a context can be made (xvfb-run).
#include "gl_context.h"
#include "gl_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vortn {
namespace {

// Records every call as text, answers reads from its settings.
class RecordingGl : public TglApi {
public:
    std::vector<std::string>* log;
    std::vector<unsigned> errors;  // answers of GetError, in turn; then 0
    bool enabled = false;
    int shadeModel = GL_SMOOTH;
    std::string lastCallLists;
    double matrix[16] = {};
    int viewport[4] = {};

    bool current = true;
    explicit RecordingGl(std::vector<std::string>* l) : log(l) {}
    bool HasCurrentContext() override { return current; }
    void Put(const std::string& s) { log->push_back(s); }
    static std::string H(unsigned v) {
        char b[16];
        std::snprintf(b, sizeof b, "%04X", v);
        return b;
    }

    unsigned GetError() override {
        Put("GetError");
        if (errors.empty()) return 0;
        unsigned e = errors.front();
        errors.erase(errors.begin());
        return e;
    }
    bool IsEnabled(unsigned cap) override { Put("IsEnabled " + H(cap)); return enabled; }
    void Enable(unsigned cap) override { Put("Enable " + H(cap)); }
    void Disable(unsigned cap) override { Put("Disable " + H(cap)); }
    void GetIntegerv(unsigned pname, int* v) override {
        Put("GetIntegerv " + H(pname));
        if (pname == GL_SHADE_MODEL) v[0] = shadeModel;
        if (pname == GL_VIEWPORT) std::copy(viewport, viewport + 4, v);
    }
    void GetDoublev(unsigned pname, double* v) override {
        Put("GetDoublev " + H(pname));
        std::copy(matrix, matrix + 16, v);
    }
    void ShadeModel(unsigned mode) override { Put("ShadeModel " + H(mode)); }
    void Viewport(int x, int y, int w, int h) override {
        Put("Viewport " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) + " " +
            std::to_string(h));
    }
    void Flush() override { Put("Flush"); }
    void RasterPos3f(float x, float y, float z) override {
        Put("RasterPos3f " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z));
    }
    void ListBase(unsigned base) override { Put("ListBase " + std::to_string(base)); }
    void CallLists(int n, unsigned type, const void* lists) override {
        Put("CallLists " + std::to_string(n) + " " + H(type));
        lastCallLists.assign(static_cast<const char*>(lists), size_t(n));
    }
    void NewList(unsigned list, unsigned mode) override { Put("NewList " + std::to_string(list) + " " + H(mode)); }
    void EndList() override { Put("EndList"); }
    void GlyphBitmap(int, int, float, float, float, float, const unsigned char*) override { Put("GlyphBitmap"); }
    void Color4f(float r, float g, float b, float a) override {
        Put("Color4f " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b) + " " +
            std::to_string(a));
    }
};

// A window whose context binding is recorded in place of being made.
class ProbeWindow : public TglWindow {
public:
    std::vector<std::string> log;
    RecordingGl gl{&log};
    bool hasContext = true;
    bool otherCurrent = false;

    ProbeWindow() { SetApi(&gl); }
    using TglWindow::HandleMouseDown;
    using TglWindow::HandleMouseMove;
    using TglWindow::HandleMouseUp;
    using TglWindow::RunPaint;

    int Count(const std::string& s) const { return int(std::count(log.begin(), log.end(), s)); }

protected:
    bool BindContext() override {
        log.push_back("Bind");
        return hasContext;
    }
    bool OtherContextCurrent() override { return otherCurrent; }
    void UnbindContext() override { log.push_back("Release"); }
    void RequestRepaint() override { log.push_back("Repaint"); }
};

using Log = std::vector<std::string>;

TEST(GlWindow, ConstantsAreTheOpenGLValues) {
    struct Case { unsigned got, want; } cases[] = {
        {TglWindow::GlModelView(), GL_MODELVIEW},       {TglWindow::GlModelViewMatrix(), GL_MODELVIEW_MATRIX},
        {TglWindow::GlProjection(), GL_PROJECTION},     {TglWindow::GlColorBufferBit(), GL_COLOR_BUFFER_BIT},
        {TglWindow::GlDepthBufferBit(), GL_DEPTH_BUFFER_BIT}, {TglWindow::GlDepthTest(), GL_DEPTH_TEST},
        {TglWindow::GlLines(), GL_LINES},               {TglWindow::GlLineStrip(), GL_LINE_STRIP},
        {TglWindow::GlTriangleFan(), GL_TRIANGLE_FAN},  {TglWindow::GlCompile(), GL_COMPILE},
        {TglWindow::GlBlend(), GL_BLEND},               {TglWindow::GlSrcAlpha(), GL_SRC_ALPHA},
        {TglWindow::GlOneMinusSrcAlpha(), GL_ONE_MINUS_SRC_ALPHA},
        {TglWindow::GlSmoothShading(), GL_SMOOTH},      {TglWindow::GlCullFace(), GL_CULL_FACE},
        {TglWindow::GlInvalidOperation, GL_INVALID_OPERATION},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(GlWindow, CreationStateAppliesNothingToOpenGL) {
    ProbeWindow w;
    EXPECT_TRUE(w.log.empty());
    EXPECT_EQ(w.EyePosition().X(), 0.0);
    EXPECT_EQ(w.EyePosition().Y(), 0.0);
    EXPECT_EQ(w.EyePosition().Z(), 1.0);
    EXPECT_EQ(w.UpVector().Y(), 1.0);
    EXPECT_EQ(w.UpVector().X(), 0.0);
    EXPECT_EQ(w.ViewPosition().Z(), 0.0);
    EXPECT_EQ(w.FOV(), 45.0);
    EXPECT_EQ(w.BackgroundColor(), QColor(0, 0, 0));
    ASSERT_EQ(w.Lights().size(), 8u);
    for (TglLight* light : w.Lights()) EXPECT_EQ(light->Owner(), &w);
    EXPECT_FALSE(w.MouseDown());
    EXPECT_FALSE(w.Resized());
    EXPECT_FALSE(w.CheckAndClearRedraw());
    EXPECT_FALSE(w.CheckAndMarkSetUp());
}

TEST(GlWindow, LightRegistersAndLeavesItsOwner) {
    ProbeWindow w;
    {
        TglLight extra(&w);
        ASSERT_EQ(w.Lights().size(), 9u);
        EXPECT_EQ(w.Lights().back(), &extra);
    }
    EXPECT_EQ(w.Lights().size(), 8u);
}

// Reading a capability outside a paint: bind, clear errors, read, check,
// release and one repaint.
TEST(GlWindow, CapabilityReadOutsidePaintBindsReadsReleasesAndRepaintsOnce) {
    struct Case { const char* name; bool (TglWindow::*read)(); void (TglWindow::*write)(bool); unsigned cap; };
    const Case cases[] = {
        {"Blending", &TglWindow::Blending, &TglWindow::SetBlending, GL_BLEND},
        {"PolygonFiltering", &TglWindow::PolygonFiltering, &TglWindow::SetPolygonFiltering, GL_POLYGON_SMOOTH},
        {"DepthTesting", &TglWindow::DepthTesting, &TglWindow::SetDepthTesting, GL_DEPTH_TEST},
        {"Fog", &TglWindow::Fog, &TglWindow::SetFog, GL_FOG},
        {"Lighting", &TglWindow::Lighting, &TglWindow::SetLighting, GL_LIGHTING},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeWindow w;
        w.gl.enabled = true;
        EXPECT_TRUE((w.*c.read)());
        const std::string cap = RecordingGl::H(c.cap);
        EXPECT_EQ(w.log, (Log{"Bind", "GetError", "IsEnabled " + cap, "GetError", "Release", "Repaint"}));
        w.log.clear();
        (w.*c.write)(true);
        (w.*c.write)(false);
        EXPECT_EQ(w.log, (Log{"Bind", "GetError", "Enable " + cap, "GetError", "Release", "Repaint",
                              "Bind", "GetError", "Disable " + cap, "GetError", "Release", "Repaint"}));
    }
}

TEST(GlWindow, ScopeUsesAnotherCurrentContextAndLeavesItCurrent) {
    ProbeWindow w;
    w.otherCurrent = true;
    w.SetBlending(false);
    EXPECT_EQ(w.log, (Log{"GetError", "Disable 0BE2", "GetError", "Repaint"}));
}

TEST(GlWindow, UserLightOutlivesItsWindow) {
    auto w = std::make_unique<ProbeWindow>();
    auto light = std::make_unique<TglLight>(w.get());
    EXPECT_EQ(w->Lights().size(), 9u);
    w.reset();
    EXPECT_EQ(light->Owner(), nullptr);
    light.reset();  // no window to leave
}

TEST(GlWindow, InvalidOperationRaisesAndStillReleases) {
    ProbeWindow w;
    w.gl.errors = {0, GL_INVALID_OPERATION};
    try {
        w.SetDepthTesting(true);
        FAIL() << "no exception";
    } catch (const EOpenGL& e) {
        EXPECT_EQ(e.Message(), QString("operation cannot be performed between glBegin and glEnd"));
    }
    EXPECT_EQ(w.Count("Release"), 1);
    EXPECT_EQ(w.Count("Repaint"), 1);

    // Other errors are read and dropped.
    w.log.clear();
    w.gl.errors = {0, GL_INVALID_ENUM};
    EXPECT_NO_THROW(w.SetDepthTesting(true));
}

TEST(GlWindow, ScopeBetweenBeginAndEndRaisesWithoutTheCall) {
    ProbeWindow w;
    w.BeginPrimitive(TglWindow::GlLines());
    w.log.clear();
    try {
        w.SetBlending(true);
        FAIL() << "no exception";
    } catch (const EOpenGL& e) {
        EXPECT_EQ(e.Message(), QString("operation cannot be performed between glBegin and glEnd"));
    }
    EXPECT_EQ(w.log, (Log{"Bind", "Release", "Repaint"}));
    w.EndPrimitive();
    w.log.clear();
    EXPECT_NO_THROW(w.SetBlending(true));
    EXPECT_EQ(w.Count("Enable 0BE2"), 1);
}

TEST(GlWindow, ScopeInsidePaintKeepsTheContextAndAsksNoRepaint) {
    ProbeWindow w;
    bool sawInPaint = false;
    w.OnPaint = [&](TglWindow* sender) {
        EXPECT_EQ(sender, &w);
        sawInPaint = w.InPaint();
        w.SetBlending(false);
        w.DepthTesting();
    };
    w.RunPaint();
    EXPECT_TRUE(sawInPaint);
    EXPECT_FALSE(w.InPaint());
    EXPECT_EQ(w.Count("Release"), 0);
    EXPECT_EQ(w.Count("Repaint"), 0);
    // After OnPaint: the error state is cleared and the drawing flushed.
    ASSERT_GE(w.log.size(), 2u);
    EXPECT_EQ(w.log[w.log.size() - 2], "GetError");
    EXPECT_EQ(w.log.back(), "Flush");
}

TEST(GlWindow, PaintWithoutOnPaintNeitherFlushesNorSwaps) {
    ProbeWindow w;
    w.RunPaint();
    EXPECT_TRUE(w.log.empty());
}

TEST(GlWindow, ExceptionInOnPaintClearsTheInPaintFlag) {
    ProbeWindow w;
    w.OnPaint = [](TglWindow*) { throw EOpenGL("x"); };
    EXPECT_THROW(w.RunPaint(), EOpenGL);
    EXPECT_FALSE(w.InPaint());
    w.log.clear();
    w.SetFog(true);
    EXPECT_EQ(w.Count("Release"), 1);
}

TEST(GlWindow, ShadeModelReadsAndWritesTheGLValues) {
    ProbeWindow w;
    w.gl.shadeModel = GL_SMOOTH;
    EXPECT_EQ(w.ShadeModel(), glSmooth);
    w.gl.shadeModel = GL_FLAT;
    EXPECT_EQ(w.ShadeModel(), glFlat);
    w.log.clear();
    w.SetShadeModel(glFlat);
    w.SetShadeModel(glSmooth);
    EXPECT_EQ(w.Count("ShadeModel 1D00"), 1);
    EXPECT_EQ(w.Count("ShadeModel 1D01"), 1);
    EXPECT_EQ(w.Count("Release"), 2);
    w.log.clear();
    w.ApplyShadeModel(TglWindow::GlSmoothShading());
    EXPECT_EQ(w.log, (Log{"ShadeModel 1D01"}));  // no scope
}

TEST(GlWindow, WithoutContextPropertiesKeepWhatWasWritten) {
    ProbeWindow w;
    w.hasContext = false;
    EXPECT_FALSE(w.DepthTesting());  // OpenGL's initial state
    EXPECT_EQ(w.ShadeModel(), glSmooth);
    w.SetDepthTesting(true);
    w.SetShadeModel(glFlat);
    EXPECT_TRUE(w.DepthTesting());
    EXPECT_EQ(w.ShadeModel(), glFlat);
    EXPECT_EQ(w.Count("GetError"), 0);
    EXPECT_EQ(w.Count("Repaint"), 6);
}

TEST(GlWindow, RealWindowWithoutContextDoesNotTouchOpenGL) {
    TglWindow w;  // never shown: no context yet
    EXPECT_FALSE(w.HasContext());
    EXPECT_FALSE(w.MakeCurrent());
    w.SetBlending(true);
    EXPECT_TRUE(w.Blending());
    EXPECT_FALSE(w.Lighting());
}

TEST(GlWindow, WritingAVectorOrAPropertyRepaints) {
    ProbeWindow w;
    w.EyePosition().SetY(5.0);
    EXPECT_EQ(w.EyePosition().Y(), 5.0);
    EXPECT_EQ(w.log, (Log{"Repaint"}));
    w.UpVector().SetX(1.0);
    w.ViewPosition().SetZ(2.0);
    w.SetFOV(30.0);
    w.SetBackgroundColor(Qt::white);
    EXPECT_EQ(w.Count("Repaint"), 5);
    EXPECT_EQ(w.FOV(), 30.0);
    EXPECT_EQ(w.BackgroundColor(), QColor(Qt::white));
    EXPECT_EQ(w.Count("Bind"), 0);  // the colour is only stored
}

TEST(GlWindow, TextOut3DCallsTheListOfEachCharacterCode) {
    ProbeWindow w;
    w.TextOut3D("Stratum", 1.5, -2.0, 3.0);
    EXPECT_EQ(w.log, (Log{"RasterPos3f 1.500000 -2.000000 3.000000", "ListBase 1000", "CallLists 7 1401"}));
    EXPECT_EQ(w.gl.lastCallLists, "Stratum");  // list 1000 + 'S', 1000 + 't', ...
    w.TextOut3D(QString::fromUtf8("\xC2\xB0" "C \xE2\x82\xAC"), 0, 0, 0);  // degree sign, C, space, euro
    EXPECT_EQ(w.gl.lastCallLists, std::string("\xB0" "C ?"));
}

TEST(GlWindow, FontListsAreOneListPerCharacterCode0To254) {
    ProbeWindow w;
    w.SetupFontLists();
    ASSERT_EQ(w.log.size(), 255u * 3u);
    for (unsigned code = 0; code < 255; ++code) {
        EXPECT_EQ(w.log[code * 3], "NewList " + std::to_string(1000 + code) + " 1300");
        EXPECT_EQ(w.log[code * 3 + 1], "GlyphBitmap");
        EXPECT_EQ(w.log[code * 3 + 2], "EndList");
    }
}

TEST(GlWindow, FontListsWaitForAContext) {
    ProbeWindow w;
    w.gl.current = false;
    w.SetupFontLists();
    EXPECT_TRUE(w.log.empty());
}

TEST(GlWindow, BitmapFormatIsSetOrRefusedWithItsMessage) {
    QOpenGLContext probe;
    const bool canCreate = [&] {
        probe.setFormat(TglWindow::BitmapPixelFormat());
        return probe.create();
    }();
    TglWindow w;
    TglBitmap bitmap(16, 8);
    if (canCreate) {
        try {
            w.SetupBitmapPixelFormat(bitmap);
        } catch (const EOpenGL& e) {
            // A context without an off-screen surface to draw on.
            EXPECT_EQ(e.Message(), QString("ChoosePixelFormat failed"));
            return;
        }
        EXPECT_TRUE(bitmap.IsReady());
        EXPECT_EQ(bitmap.ToImage().size(), QSize(16, 8));
    } else {
        try {
            w.SetupBitmapPixelFormat(bitmap);
            FAIL() << "no exception";
        } catch (const EOpenGL& e) {
            EXPECT_EQ(e.Message(), QString("ChoosePixelFormat failed"));
        }
        EXPECT_FALSE(bitmap.IsReady());
        EXPECT_FALSE(bitmap.MakeCurrent());
        try {
            (void)bitmap.ToImage();
            FAIL() << "a picture that was never made was read";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QString("The OpenGL picture could not be made."));
        }
    }
}

TEST(GlWindow, QtMouseEventsReachTheHandlersAndClick) {
    ProbeWindow w;
    w.resize(100, 100);
    std::vector<std::string> events;
    w.OnMouseDown = [&](TglWindow*, TglWindow::TMouseButton b, TglWindow::TShiftState s, int x, int y) {
        events.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + " " +
                         std::to_string(y));
    };
    w.OnMouseUp = [&](TglWindow*, TglWindow::TMouseButton b, TglWindow::TShiftState s, int, int) {
        events.push_back("up " + std::to_string(b) + " " + std::to_string(s));
    };
    w.OnMouseMove = [&](TglWindow*, TglWindow::TShiftState s, int x, int) {
        events.push_back("move " + std::to_string(s) + " " + std::to_string(x));
    };
    w.OnClick = [&](TglWindow*) { events.push_back("click"); };
    auto send = [&](QEvent::Type type, QPointF p, Qt::MouseButton b, Qt::MouseButtons held, Qt::KeyboardModifiers m) {
        QMouseEvent e(type, p, w.mapToGlobal(p), b, held, m);
        QCoreApplication::sendEvent(&w, &e);
    };
    send(QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    send(QEvent::MouseMove, {30, 20}, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    send(QEvent::MouseButtonRelease, {40, 20}, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    // Released outside the control: no click.
    send(QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    send(QEvent::MouseButtonRelease, {140, 20}, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(events, (Log{"down 0 12 10 20", "move 8 30", "click", "up 0 0", "down 0 8 10 20", "up 0 0"}));
    EXPECT_EQ(w.LastMouseX(), 140);
}

// Lowest and highest glyph row holding a set bit (row 0 = bottom).
std::pair<int, int> InkRows(const TglGlyphBitmap& g) {
    const int rowBytes = (g.Width + 7) / 8;
    int lo = -1, hi = -1;
    for (int r = 0; r < g.Height; ++r)
        for (int b = 0; b < rowBytes; ++b)
            if (g.Bits[size_t(r * rowBytes + b)]) {
                if (lo < 0) lo = r;
                hi = r;
            }
    return {lo, hi};
}

TEST(GlWindow, GlyphsAreCellsWithTheBottomRowFirst) {
    QFont font("DejaVu Sans", 12);
    const TglGlyphBitmap u = RasterizeGlyph(font, '_');
    const TglGlyphBitmap caret = RasterizeGlyph(font, '^');
    const TglGlyphBitmap space = RasterizeGlyph(font, ' ');
    const TglGlyphBitmap control = RasterizeGlyph(font, 7);
    ASSERT_GT(u.Width, 0);
    EXPECT_EQ(u.Bits.size(), size_t((u.Width + 7) / 8 * u.Height));
    EXPECT_EQ(u.XMove, float(u.Width));
    EXPECT_GT(u.YOrig, 0.0f);  // origin on the base line, above the descent
    const auto inkU = InkRows(u), inkCaret = InkRows(caret);
    ASSERT_GE(inkU.first, 0);
    ASSERT_GE(inkCaret.first, 0);
    EXPECT_LT(inkU.second, inkCaret.first);  // underscore low, caret high
    EXPECT_GT(space.XMove, 0.0f);
    EXPECT_EQ(InkRows(space).first, -1);
    EXPECT_EQ(control.Width, 0);
    EXPECT_EQ(control.XMove, 0.0f);
    EXPECT_TRUE(control.Bits.empty());
}

TEST(GlWindow, MouseEventsStoreTheirStateAndClearErrors) {
    ProbeWindow w;
    std::vector<std::string> events;
    w.OnMouseDown = [&](TglWindow*, TglWindow::TMouseButton b, TglWindow::TShiftState s, int x, int y) {
        events.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + " " +
                         std::to_string(y));
    };
    w.OnMouseUp = [&](TglWindow*, TglWindow::TMouseButton b, TglWindow::TShiftState, int x, int y) {
        events.push_back("up " + std::to_string(b) + " " + std::to_string(x) + " " + std::to_string(y));
    };
    w.OnMouseMove = [&](TglWindow*, TglWindow::TShiftState s, int x, int y) {
        events.push_back("move " + std::to_string(s) + " " + std::to_string(x) + " " + std::to_string(y));
    };
    int clicks = 0;
    w.OnClick = [&](TglWindow*) { ++clicks; };

    w.HandleMouseDown(TglWindow::mbRight, TglWindow::ssRight | TglWindow::ssShift, 10, 20);
    EXPECT_TRUE(w.MouseDown());
    EXPECT_EQ(w.LastButton(), TglWindow::mbRight);
    EXPECT_EQ(w.LastShift(), TglWindow::ssRight | TglWindow::ssShift);
    w.HandleMouseMove(TglWindow::ssRight, 11, 22);
    EXPECT_EQ(w.LastButton(), TglWindow::mbRight);  // a move keeps the button
    EXPECT_EQ(w.LastMouseX(), 11);
    EXPECT_EQ(w.LastMouseY(), 22);
    w.HandleMouseUp(TglWindow::mbRight, 0, 12, 23, true);
    EXPECT_TRUE(w.MouseDown());  // nothing clears it
    EXPECT_EQ(w.LastShift(), 0);
    EXPECT_EQ(w.LastMouseX(), 12);
    EXPECT_EQ(w.LastMouseY(), 23);
    EXPECT_EQ(events, (Log{"down 1 17 10 20", "move 16 11 22", "up 1 12 23"}));
    EXPECT_EQ(w.Count("GetError"), 3);
    EXPECT_EQ(clicks, 0);
    w.HandleMouseUp(TglWindow::mbMiddle, TglWindow::ssShift, 5, 6, true);
    EXPECT_EQ(w.LastButton(), TglWindow::mbMiddle);
    EXPECT_EQ(w.LastShift(), TglWindow::ssShift);
}

TEST(GlWindow, ShiftStateHoldsKeysAndButtons) {
    struct Case { Qt::KeyboardModifiers mods; Qt::MouseButtons buttons; bool dbl; TglWindow::TShiftState want; };
    const Case cases[] = {
        {Qt::NoModifier, Qt::LeftButton, false, TglWindow::ssLeft},
        {Qt::ShiftModifier, Qt::LeftButton, false, TglWindow::ssShift | TglWindow::ssLeft},
        {Qt::ControlModifier | Qt::AltModifier, Qt::NoButton, false, TglWindow::ssCtrl | TglWindow::ssAlt},
        {Qt::NoModifier, Qt::RightButton | Qt::MiddleButton, true,
         TglWindow::ssRight | TglWindow::ssMiddle | TglWindow::ssDouble},
    };
    for (const auto& c : cases) EXPECT_EQ(TglWindow::ShiftStateOf(c.mods, c.buttons, c.dbl), c.want);
}

TEST(GlWindow, FlagsAndSize) {
    ProbeWindow w;
    EXPECT_FALSE(w.CheckAndMarkSetUp());
    EXPECT_TRUE(w.CheckAndMarkSetUp());
    w.RequestSetUp();
    EXPECT_FALSE(w.CheckAndMarkSetUp());
    w.RequestRedraw();
    EXPECT_TRUE(w.CheckAndClearRedraw());
    EXPECT_FALSE(w.CheckAndClearRedraw());
    w.SetSize(120, 80);
    EXPECT_EQ(w.GetWidth(), 120);
    EXPECT_EQ(w.GetHeight(), 80);
    EXPECT_TRUE(w.Resized());
}

TEST(GlWindow, MatrixIsWidenedAndViewportCopied) {
    ProbeWindow w;
    for (int i = 0; i < 16; ++i) w.gl.matrix[i] = 0.1 * (i + 1);
    std::array<long double, 16> m{};
    w.GetMatrix(TglWindow::GlModelViewMatrix(), m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[size_t(i)], static_cast<long double>(0.1 * (i + 1)));
    EXPECT_EQ(w.log.front(), "GetDoublev 0BA6");
    w.gl.viewport[2] = 640;
    w.gl.viewport[3] = 480;
    std::array<int, 4> v{};
    w.GetViewport(v);
    EXPECT_EQ(v, (std::array<int, 4>{0, 0, 640, 480}));
    w.log.clear();
    w.SetColor(0.25, 0.5, 1.0, 0.1);
    EXPECT_EQ(w.log, (Log{"Color4f 0.250000 0.500000 1.000000 0.100000"}));
}

TEST(GlWindow, PixelFormats) {
    const QSurfaceFormat win = TglWindow::WindowPixelFormat();
    const QSurfaceFormat bmp = TglWindow::BitmapPixelFormat();
    for (const QSurfaceFormat& f : {win, bmp}) {
        EXPECT_EQ(f.redBufferSize() + f.greenBufferSize() + f.blueBufferSize(), 24);
        EXPECT_EQ(f.alphaBufferSize(), 0);
        EXPECT_EQ(f.depthBufferSize(), 32);
        EXPECT_EQ(f.stencilBufferSize(), 0);
        EXPECT_EQ(f.profile(), QSurfaceFormat::CompatibilityProfile);
        EXPECT_EQ(f.renderableType(), QSurfaceFormat::OpenGL);
    }
    EXPECT_EQ(win.swapBehavior(), QSurfaceFormat::DoubleBuffer);
    EXPECT_EQ(bmp.swapBehavior(), QSurfaceFormat::SingleBuffer);
}

// ---- with the system library (skipped where no context can be made) ----


TEST(GlWindowSystem, BitmapDrawsTextAndPrimitives) {
    REQUIRE_GL_CONTEXT(TglWindow::WindowPixelFormat());
    TglWindow w;
    TglBitmap bitmap(64, 32);
    w.SetupBitmapPixelFormat(bitmap);
    ASSERT_TRUE(bitmap.MakeCurrent());
    w.SetupFontLists();
    EXPECT_TRUE(glIsList(1000 + 'S'));
    EXPECT_TRUE(glIsList(1254));
    EXPECT_FALSE(glIsList(1255));

    w.SetClearColor(1, 1, 1, 1);
    w.Clear(TglWindow::GlColorBufferBit() | TglWindow::GlDepthBufferBit());
    w.MatrixMode(TglWindow::GlProjection());
    w.LoadIdentity();
    w.Ortho(0, 64, 0, 32, -1, 1);
    w.MatrixMode(TglWindow::GlModelView());
    w.LoadIdentity();
    // A property goes to the picture's context and leaves it current.
    w.SetBlending(true);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(w.Blending());
    w.SetBlending(false);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    ASSERT_NE(QOpenGLContext::currentContext(), nullptr);
    // A red square in the right quarter, text in black on the left.
    w.SetColor(1, 0, 0, 1);
    w.BeginPrimitive(TglWindow::GlTriangleFan());
    w.Vertex(48, 0, 0);
    w.Vertex(64, 0, 0);
    w.Vertex(64, 32, 0);
    w.Vertex(48, 32, 0);
    w.EndPrimitive();
    w.SetColor(0, 0, 0, 1);
    w.TextOut3D("Stratum", 1, 8, 0);
    w.Finish();
    EXPECT_EQ(w.GetError(), unsigned(GL_NO_ERROR));
    std::array<int, 4> v{};
    w.GetViewport(v);
    EXPECT_EQ(v, (std::array<int, 4>{0, 0, 64, 32}));

    const QImage image = bitmap.ToImage();
    bitmap.DoneCurrent();
    ASSERT_EQ(image.size(), QSize(64, 32));
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    EXPECT_EQ(image.pixelColor(56, 16), QColor(255, 0, 0));
    int dark = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 44; ++x)
            if (image.pixelColor(x, y).lightness() < 64) ++dark;
    EXPECT_GT(dark, 20);  // the glyphs were drawn
}

TEST(GlWindowSystem, WindowPaintsAndRaisesBetweenBeginAndEnd) {
    REQUIRE_GL_CONTEXT(TglWindow::WindowPixelFormat());
    TglWindow w;
    w.resize(32, 32);
    int paints = 0;
    QString message;
    bool wasEnabled = true;
    w.OnPaint = [&](TglWindow* gl) {
        ++paints;
        wasEnabled = gl->DepthTesting();
        gl->BeginPrimitive(GL_TRIANGLES);
        try {
            gl->SetBlending(true);
        } catch (const EOpenGL& e) {
            message = e.Message();
        }
        gl->EndPrimitive();
        gl->SetClearColor(0, 0, 1, 1);
        gl->Clear(TglWindow::GlColorBufferBit());
    };
    w.SetDepthTesting(false);  // before any context: kept and applied at creation
    const QImage image = w.grabFramebuffer();
    if (!w.HasContext()) {
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << "the widget made no context";
        GTEST_SKIP() << "the widget could not make its context here";
    }
    EXPECT_GE(paints, 1);
    EXPECT_FALSE(wasEnabled);
    EXPECT_EQ(message, QString("operation cannot be performed between glBegin and glEnd"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(16, 16).blue(), 255);
    // Outside the paint the scope binds and releases the widget's context.
    w.SetDepthTesting(true);
    EXPECT_TRUE(w.DepthTesting());
    EXPECT_NE(QOpenGLContext::currentContext(), w.context());
}

}  // namespace
}  // namespace vortn
