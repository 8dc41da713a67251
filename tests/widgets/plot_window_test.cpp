// Plot window: axis rounding, ticks, markers, zoom rules, curve/legend rules.
#include <gtest/gtest.h>

#include "plot_window.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <cmath>
#include <memory>

namespace vortn {
namespace {

TEST(PlotAxisRounding, ReferenceRanges) {
    const struct { long double lo, hi, wantLo, wantHi; } cases[] = {
        {0, 3.7L, 0, 4},            // fraction of log10 3.7 is above log10 3: unit 1
        {-0.013L, 0.021L, -0.02L, 0.03L},  // range 0.034: unit 0.01
        {0, 2.53L, 0, 2.6L},        // fraction 0.40 below log10 3: unit 0.1
        {0, 0, -0.01L, 0.01L},      // all points zero
        {-251, 0, -260, 0},         // 251: fraction 0.40, unit 10
        {0, 301, 0, 400},           // 301: fraction 0.48, unit 100
    };
    for (const auto& c : cases) {
        long double lo = c.lo, hi = c.hi;
        ASSERT_TRUE(RoundPlotAxis(lo, hi));
        EXPECT_NEAR(double(lo), double(c.wantLo), 1e-15) << double(c.lo) << ".." << double(c.hi);
        EXPECT_NEAR(double(hi), double(c.wantHi), 1e-15) << double(c.lo) << ".." << double(c.hi);
    }
}

TEST(PlotAxisRounding, UnusableRangeIsRefused) {
    long double lo = 0, hi = INFINITY;
    EXPECT_FALSE(RoundPlotAxis(lo, hi));
    lo = 0;
    hi = NAN;
    EXPECT_FALSE(RoundPlotAxis(lo, hi));
}

TEST(PlotTicks, MajorStepIsOneTwoFiveOrTen) {
    const struct { long double s, step; } cases[] = {
        {1, 1}, {1.9L, 1}, {2, 2}, {4.9L, 2}, {5, 5}, {8.9L, 5}, {9, 10}, {9.99L, 10}, {0.03L, 0.02L}, {700, 500}};
    for (const auto& c : cases) EXPECT_NEAR(double(PlotMajorStep(c.s)), double(c.step), 1e-15) << double(c.s);
}

TEST(PlotTicks, IndexBoundsIncludeZero) {
    const struct { long double lo, hi, minor; int first, last; } cases[] = {
        {-1, 4, 0.2L, -5, 20}, {2, 4, 0.2L, 0, 20}, {-4, -2, 0.2L, -20, 0}, {-0.02L, 0.03L, 0.002L, -10, 15}};
    for (const auto& c : cases) {
        int first = 99, last = 99;
        PlotTickIndices(c.lo, c.hi, c.minor, first, last);
        EXPECT_EQ(first, c.first) << double(c.lo);
        EXPECT_EQ(last, c.last) << double(c.hi);
    }
}

TEST(PlotTicks, NarrowPanelGetsNone) {
    const TPlotRange r{0, 10, 0, 4};
    EXPECT_FALSE(PlotPanelTicks(r, TIntRect{0, 0, 83, 400}, 14).ok);  // 83 < 6 x 14
    const TPanelTicks t = PlotPanelTicks(r, TIntRect{0, 0, 84 * 5, 400}, 14);
    ASSERT_TRUE(t.ok);
    EXPECT_NEAR(double(t.step.X), 0.4, 1e-15);  // s = 2: major 2, minor 0.4
    EXPECT_EQ(t.xFirst, 0);
    EXPECT_EQ(t.xLast, 25);
}

TEST(PlotMarkers, KindsRepeatAfterTen) {
    EXPECT_EQ(PlotMarkerKind(10), 1);  // curve 11: triangle
    EXPECT_EQ(PlotMarkerKind(11), 2);  // curve 12: square
    EXPECT_EQ(PlotMarkerKind(19), 10); // curve 20: 10-gon
    EXPECT_EQ(PlotMarkerVertices(10, 50, 50, 96, 96).size(), 3);
    EXPECT_EQ(PlotMarkerVertices(11, 50, 50, 96, 96).size(), 4);
    EXPECT_EQ(PlotMarkerVertices(19, 50, 50, 96, 96).size(), 10);
    // Triangle from pi: first vertex to the left at radius LPX/32 = 3.
    const QVector<QPoint> t = PlotMarkerVertices(0, 50, 50, 96, 96);
    EXPECT_EQ(t[0], QPoint(47, 50));
    const QVector<QPoint> s = PlotMarkerVertices(1, 50, 50, 96, 96);
    EXPECT_EQ(s[0], QPoint(52, 48));  // cos(pi/4) x 3 = 2.12
}

TEST(PlotZoom, BandRules) {
    long double lo, hi;
    // 100 times narrower than the full range: exactly 1/20 of it, centred.
    PlotZoomAxisBand(lo, hi, 0, 100, 51, 50);
    EXPECT_NEAR(double(hi - lo), 5.0, 1e-15);
    EXPECT_NEAR(double(lo), 48.0, 1e-15);
    // Near the edge: shifted inside the full range.
    PlotZoomAxisBand(lo, hi, 0, 100, 0, 1);
    EXPECT_NEAR(double(lo), 0.0, 1e-15);
    EXPECT_NEAR(double(hi), 5.0, 1e-15);
    PlotZoomAxisBand(lo, hi, 0, 100, 99.5L, 100);
    EXPECT_NEAR(double(lo), 95.0, 1e-15);
    EXPECT_NEAR(double(hi), 100.0, 1e-15);
    // Wide enough: the sorted band itself.
    PlotZoomAxisBand(lo, hi, 0, 100, 60, 20);
    EXPECT_EQ(lo, 20);
    EXPECT_EQ(hi, 60);
}

TEST(PlotZoom, OutStaysInsideFullRange) {
    long double lo = 0, hi = 2;
    PlotZoomAxisOut(lo, hi, 0, 10, 0.5L);  // near the left end
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 4);
    lo = 1;
    hi = 9;
    PlotZoomAxisOut(lo, hi, 0, 10, 3);  // d limited to half the full width
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 10);
    lo = 4;
    hi = 5;
    PlotZoomAxisOut(lo, hi, 0, 10, 4.5L);
    EXPECT_EQ(lo, 3.5L);
    EXPECT_EQ(hi, 5.5L);
}

class PlotFormTest : public ::testing::Test {
protected:
    void Make(int curves, int points = 11) {
        plot = std::make_unique<TGraphPlot>();
        plot->Caption = "Response";
        plot->XCaption = "Frequency";
        plot->XUnits = "Hz";
        plot->YCaption = "Displacement";
        plot->YUnits = "L1";
        plot->SetLineCount(curves);
        plot->SetPointCount(points);
        for (int c = 0; c < curves; ++c)
            for (int i = 0; i < points; ++i) {
                plot->Points(c, i).X = i;
                plot->Points(c, i).Y = 3.7L * std::sin(0.3 * i + c) * (c + 1) / curves;
            }
        form = new TPlotForm(*plot);
        form->onMessage = [this](const QString& m) { messages << m; };
        form->resize(800, 600);
        form->Canvas()->resize(800, 560);
        form->Relayout(true);
    }
    void TearDown() override {
        delete form;
        form = nullptr;
        plot.reset();
    }
    QImage Paint() {
        QImage img(form->Canvas()->size(), QImage::Format_RGB32);
        img.fill(Qt::red);
        QPainter p(&img);
        form->PaintPlot(p);
        return img;
    }
    std::unique_ptr<TGraphPlot> plot;
    TPlotForm* form = nullptr;
    QStringList messages;
};

TEST_F(PlotFormTest, TwentyFiveCurvesListTwenty) {
    Make(25);
    EXPECT_EQ(form->Legend()->Items.size(), 20);
    EXPECT_EQ(form->CurveItems().size(), 20);
    EXPECT_EQ(form->Legend()->Items[19], "Curve #20");
    for (int i = 0; i < 25; ++i) EXPECT_EQ(plot->Lines(i).Active, i < 20) << i;
    // Curve items follow the 14 fixed items of the menu.
    const QList<QAction*> actions = form->PlotMenu()->actions();
    ASSERT_EQ(actions.size(), 14 + 20);
    EXPECT_EQ(actions[14]->text(), "Curve #1");
    EXPECT_EQ(form->Legend()->height(), 20 * 16 + 3);
}

TEST_F(PlotFormTest, RangesAndLayout) {
    Make(2);
    EXPECT_EQ(form->FullRange(0).xmin, 0);
    EXPECT_EQ(form->FullRange(0).xmax, 10);
    const TPlotLayoutState& st = form->Layout();
    const int fontH = 14, lpx = st.lpx, lpy = st.lpy;
    EXPECT_EQ(st.plot.Left, 2 * fontH + lpx / 8 + fontH / 8);
    EXPECT_EQ(st.plot.Right, 800 - lpx / 4 - fontH / 2);
    EXPECT_EQ(st.plot.Top, 2 * fontH + lpy / 8 + fontH / 8);  // x axis on top
    EXPECT_EQ(st.plot.Bottom, 560 - lpy / 4 - fontH / 2);
    // The legend sits in the plot's bottom-right corner.
    EXPECT_EQ(form->Legend()->x() + form->Legend()->width(), st.plot.Right);
    EXPECT_EQ(form->Legend()->y() + form->Legend()->height(), st.plot.Bottom);
    // World <-> screen with the y axis growing downward.
    EXPECT_EQ(form->WorldToScreenX(0, 0), st.plot.Left);
    EXPECT_EQ(form->WorldToScreenY(0, form->Range(0).ymin), st.plot.Top);
    const TFloatPoint w = form->ScreenToWorld(0, st.plot.Right, st.plot.Bottom);
    EXPECT_NEAR(double(w.X), 10.0, 1e-12);
    EXPECT_NEAR(double(w.Y), double(form->Range(0).ymax), 1e-12);
    const TFloatPoint out = form->ScreenToWorld(0, st.plot.Right + 1, st.plot.Bottom);
    EXPECT_EQ(out.X, 0);
    EXPECT_EQ(out.Y, 0);
}

TEST_F(PlotFormTest, BandZoomAndZoomOut) {
    Make(1);
    const TIntRect r = form->Layout().plot;
    const TPlotRange full = form->Range(0);
    // Only vertical: no zoom.
    form->MouseDown(Qt::LeftButton, QPoint(r.Left + 100, r.Top + 10));
    form->MouseUp(Qt::LeftButton, QPoint(r.Left + 100, r.Top + 200));
    EXPECT_EQ(form->Range(0).xmin, full.xmin);
    EXPECT_EQ(form->Range(0).xmax, full.xmax);
    // A one-pixel-wide band: limited to 1/20 of the full width.
    form->MouseDown(Qt::LeftButton, QPoint(r.Left + 100, r.Top + 10));
    form->MouseMove(QPoint(r.Left + 101, r.Top + 200));
    form->MouseUp(Qt::LeftButton, QPoint(r.Left + 101, r.Top + 200));
    EXPECT_NEAR(double(form->Range(0).xmax - form->Range(0).xmin), double(full.xmax - full.xmin) / 20, 1e-12);
    EXPECT_GE(form->Range(0).xmin, full.xmin);
    // The read-out in the caption.
    EXPECT_TRUE(form->windowTitle().startsWith("Response X: ")) << form->windowTitle().toStdString();
    // Zoom out near the left end stays inside the full range.
    for (int i = 0; i < 6; ++i) form->MouseDown(Qt::RightButton, QPoint(r.Left + 1, r.Top + 1));
    EXPECT_EQ(form->Range(0).xmin, full.xmin);
    EXPECT_EQ(form->Range(0).xmax, full.xmax);
    // Outside the plot rectangle nothing starts.
    const TPlotRange before = form->Range(0);
    form->MouseDown(Qt::RightButton, QPoint(r.Left - 5, r.Top + 1));
    EXPECT_EQ(form->Range(0).xmax, before.xmax);
}

TEST_F(PlotFormTest, SmallPageIsBlankAndNarrowWindowHasNoTicks) {
    Make(2);
    form->Canvas()->resize(60, 400);  // less than an inch wide
    form->Relayout(false);
    const QImage small = Paint();
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) ASSERT_EQ(small.pixel(x, y), qRgb(255, 255, 255));
    form->Canvas()->resize(150, 400);  // plot narrower than 6 fontH
    form->Relayout(false);
    Paint();
    EXPECT_LT(form->Layout().plot.Width(), 6 * 14);
    EXPECT_FALSE(form->Ticks(0).ok);
    form->Canvas()->resize(800, 560);
    form->Relayout(false);
    Paint();
    EXPECT_TRUE(form->Ticks(0).ok);
    // The frame lies on the plot rectangle's edges, not one pixel beyond.
    const TIntRect r = form->Layout().plot;
    const QImage img = Paint();
    EXPECT_EQ(img.pixel(r.Right, (r.Top + r.Bottom) / 2 + 3), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(r.Right + 1, (r.Top + r.Bottom) / 2 + 3), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel((r.Left + r.Right) / 2 + 3, r.Bottom), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel((r.Left + r.Right) / 2 + 3, r.Bottom + 1), qRgb(255, 255, 255));
}

TEST_F(PlotFormTest, CurvesDrawnInPaletteColours) {
    Make(25);
    plot->Markers = 0;
    const QImage img = Paint();
    auto count = [&img](QRgb c) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == c;
        return n;
    };
    EXPECT_GT(count(kPlotPalette[1].rgb()), 0);  // curve 2 blue
    EXPECT_GT(count(kPlotPalette[2].rgb()), 0);  // curve 3 red
    // Curves 3 and 20 share red (palette of 17); hiding both removes it.
    form->ToggleCurveVisible(2);
    form->ToggleCurveVisible(19);
    const QImage hidden = Paint();
    int red = 0;
    for (int y = 0; y < hidden.height(); ++y)
        for (int x = 0; x < hidden.width(); ++x) red += hidden.pixel(x, y) == kPlotPalette[2].rgb();
    EXPECT_EQ(red, 0);
    EXPECT_FALSE(form->CurveItems()[2]->isChecked());
}

TEST_F(PlotFormTest, RenamingFollowsActivePositions) {
    Make(3);
    form->ApplyActiveStates({" yes : ", " no  : ", " yes : "});
    ASSERT_EQ(form->Legend()->Items.size(), 2);
    ASSERT_EQ(form->CurveItems().size(), 2);
    form->ApplyLineNames({"First", "Second", "Third"});
    EXPECT_EQ(form->Legend()->Items[1], "Third");
    EXPECT_EQ(form->CurveItems()[1]->text(), "Third");
    EXPECT_EQ(form->CurveItems()[1]->data().toInt(), 2);
    EXPECT_EQ(plot->Lines(1).Name, "Second");
}

TEST_F(PlotFormTest, DeactivateAllThenActivateAgain) {
    Make(3);
    form->ApplyActiveStates({" no  : ", " no  : ", " no  : "});
    EXPECT_TRUE(form->Legend()->Items.isEmpty());
    EXPECT_TRUE(form->CurveItems().isEmpty());
    EXPECT_EQ(form->PlotMenu()->actions().size(), 14);
    form->ApplyActiveStates({" yes : ", " yes : ", " yes : "});
    ASSERT_EQ(form->CurveItems().size(), 3);
    EXPECT_EQ(form->PlotMenu()->actions().size(), 17);
    EXPECT_EQ(form->Legend()->Items[2], "Curve #3");
    EXPECT_EQ(form->CurveItems()[2]->data().toInt(), 2);
}

TEST_F(PlotFormTest, MenuRefresh) {
    Make(2);
    plot->ShowFontWidth = false;
    form->PlotMenuPopup();
    EXPECT_FALSE(form->MenuItem("PlotSoilLayer")->isVisible());  // no layer curves
    EXPECT_FALSE(form->MenuItem("ShowWallGeometry")->isVisible());
    EXPECT_FALSE(form->MenuItem("FontSize")->isVisible());
    EXPECT_TRUE(form->MenuItem("PlotLegend")->isChecked());
    plot->Markers = 4;  // not in the list: no item checked
    form->PlotMarkersPopup();
    for (int tag : {0, 1, 2, 3, 5, 10}) EXPECT_FALSE(form->MenuItem(QString("Markers%1").arg(tag))->isChecked());
    plot->Markers = 5;
    form->PlotMarkersPopup();
    EXPECT_TRUE(form->MenuItem("Markers5")->isChecked());
    form->SetFontSize(20);
    EXPECT_EQ(plot->SizeFont, 20);
    EXPECT_EQ(form->FontH(), 28);
    EXPECT_EQ(form->Legend()->ItemHeight, int(1.5 * (20 * plot->LegendFont / 10)));
}

TEST_F(PlotFormTest, FontSizeRefitsTheLegendBothWays) {
    Make(3);
    const int w0 = form->Legend()->width();
    form->SetFontSize(40);
    EXPECT_GT(form->Legend()->width(), w0);
    EXPECT_EQ(form->Legend()->height(), 3 * form->Legend()->ItemHeight + 3);
    form->SetFontSize(10);
    EXPECT_LE(form->Legend()->width(), w0 + 2);
    EXPECT_EQ(form->Legend()->ItemHeight, int(1.5 * plot->LegendFont));
}

TEST_F(PlotFormTest, NonFinitePointsLeaveTheAxesAlone) {
    Make(2);
    delete form;
    plot->Points(1, 3).Y = INFINITY;
    plot->Points(1, 4).X = NAN;
    form = new TPlotForm(*plot);
    form->Canvas()->resize(800, 560);
    form->Relayout(true);
    EXPECT_TRUE(form->Valid());
    EXPECT_EQ(form->FullRange(0).xmax, 10);
    EXPECT_EQ(form->FullRange(0).ymax, 4);
    const QImage img = Paint();
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(PlotFormTest, ThreePanels) {
    Make(2);
    delete form;
    plot->ShowThree = true;
    plot->XCaption2 = "Time";
    plot->XCaption3 = "Rocking";
    for (int g = 2; g <= 3; ++g) {
        for (int c = 0; c < 2; ++c) {
            auto* line = new TLine(plot.get());
            line->SetPointCount(5);
            for (int i = 0; i < 5; ++i) {
                line->Points(i).X = i * g;
                line->Points(i).Y = -0.5L * i * (c + 1);
            }
            plot->Group(g).Add(line);
        }
    }
    form = new TPlotForm(*plot);
    form->Canvas()->resize(1200, 560);
    form->Relayout(true);
    const TPlotLayoutState& st = form->Layout();
    const int fontH = 14;
    const int w = (st.plot.Right - st.plot.Left - 4 * fontH - st.lpx / 2) / 3;
    EXPECT_EQ(st.panel[0].Right, st.plot.Left + w);
    EXPECT_EQ(st.panel[1].Left, st.panel[0].Right + 2 * fontH + st.lpx / 4);
    EXPECT_EQ(st.panel[2].Right, st.plot.Right);
    EXPECT_EQ(form->FullRange(1).xmax, 8);
    EXPECT_EQ(form->FullRange(2).xmax, 12);
    EXPECT_EQ(form->FullRange(2).ymin, -4);
    const QImage img = Paint();
    img.save(QDir::temp().filePath("vortn_plot_three.png"));
    EXPECT_TRUE(form->Ticks(2).ok);
    // The read-out follows the panel under the pointer.
    form->MouseMove(QPoint(st.panel[2].Right, st.panel[2].Bottom));
    EXPECT_TRUE(form->windowTitle().contains("X: 12")) << form->windowTitle().toStdString();
    // No band zoom in three-panel mode.
    const TPlotRange before = form->Range(0);
    form->MouseDown(Qt::LeftButton, QPoint(st.panel[0].Left + 5, st.panel[0].Top + 5));
    form->MouseUp(Qt::LeftButton, QPoint(st.panel[0].Left + 50, st.panel[0].Top + 50));
    EXPECT_EQ(form->Range(0).xmax, before.xmax);
}

TEST(PlotFormFactory, ExecuteOpensOneWindowAndPlotFreesIt) {
    InstallPlotWindowFactory();
    auto* plot = new TGraphPlot;
    plot->SetLineCount(1);
    plot->SetPointCount(3);
    plot->Execute();
    ASSERT_TRUE(plot->WindowExists());
    TPlotWindow* first = plot->Window();
    plot->Execute();
    EXPECT_EQ(plot->Window(), first);
    delete plot;  // frees the window first
    SetPlotWindowFactory(nullptr);
}

}  // namespace
}  // namespace vortn
