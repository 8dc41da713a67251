// Plot window: ranges, layout, zoom, curves, legend, menu, panels.
#include <gtest/gtest.h>

#include "message_catcher.h"
#include "plot_window.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <cmath>
#include <functional>
#include <memory>

namespace vortn {
namespace {

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
        SetMessageHook(test::CollectMessages(messages));
        form->resize(800, 600);
        form->Canvas()->resize(800, 560);
        form->Relayout(true);
    }
    void TearDown() override {
        SetMessageHook(nullptr);
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

// Each tagged menu item applies its own tag: marker step, font size, line
// width, and a curve item shows or hides its curve.
TEST_F(PlotFormTest, TaggedMenuItemsApplyTheirTag) {
    Make(3);
    const struct {
        const char* menu;
        int tag;
        const int TGraphPlot::*field;
    } cases[] = {{"PlotMarkers", 5, &TGraphPlot::Markers},
                 {"FontSize", 30, &TGraphPlot::SizeFont},
                 {"LineWidth", 6, &TGraphPlot::WidthLine}};
    for (const auto& c : cases) {
        QAction* item = nullptr;
        for (QAction* a : form->MenuItem(c.menu)->menu()->actions())
            if (a->data().toInt() == c.tag) item = a;
        ASSERT_NE(item, nullptr) << c.menu;
        item->trigger();
        EXPECT_EQ((*plot).*c.field, c.tag) << c.menu;
    }
    EXPECT_EQ(form->Legend()->ItemHeight, int(1.5 * (30 * plot->LegendFont / 10)));
    form->CurveItems()[1]->trigger();
    EXPECT_FALSE(plot->Lines(1).Visible);
    EXPECT_TRUE(plot->Lines(0).Visible);
    form->CurveItems()[1]->trigger();
    EXPECT_TRUE(plot->Lines(1).Visible);
    EXPECT_TRUE(messages.isEmpty());
}

// The window's page and the printed page split their plot area alike: the
// soil column takes its strip off the right, then the three panels share
// what is left, or the one panel takes all of it.
TEST_F(PlotFormTest, PlotAreaSplitsAlikeOnEveryPage) {
    Make(2);
    plot->ShowLayers = true;
    const TIntRect page{50, 40, 2050, 1540};
    const int lpx = 300, lpy = 200, fontH = 14;
    const struct {
        const char* target;
        std::function<void()> layout;
        int rightBeforeStrip, strip;
    } cases[] = {{"window", [&] { form->LayoutPage(page, lpx, lpy, 120); }, page.Right - lpx / 4 - fontH / 2, 120},
                 {"printer", [&] { form->LayoutPrintedPage(page, lpx, lpy); }, page.Right, lpx}};
    for (const auto& c : cases)
        for (bool three : {true, false}) {
            SCOPED_TRACE(std::string(c.target) + (three ? " three panels" : " one panel"));
            plot->ShowThree = three;
            c.layout();
            const TPlotLayoutState& st = form->Layout();
            EXPECT_EQ(st.plot.Right, c.rightBeforeStrip - c.strip);
            EXPECT_EQ(st.layer.Left, st.plot.Right + lpx / 5);
            EXPECT_EQ(st.layer.Right, c.rightBeforeStrip);
            EXPECT_EQ(st.layer.Top, st.plot.Top);
            EXPECT_EQ(st.layer.Bottom, st.plot.Bottom);
            if (!three) {
                EXPECT_EQ(st.panel[0].Left, st.plot.Left);
                EXPECT_EQ(st.panel[0].Right, st.plot.Right);
                continue;
            }
            const int w = (st.plot.Right - st.plot.Left - 4 * fontH - lpx / 2) / 3;
            EXPECT_EQ(st.panel[0].Left, st.plot.Left);
            EXPECT_EQ(st.panel[0].Right, st.plot.Left + w);
            EXPECT_EQ(st.panel[1].Left, st.panel[0].Right + 2 * fontH + lpx / 4);
            EXPECT_EQ(st.panel[1].Right, st.panel[1].Left + w);
            EXPECT_EQ(st.panel[2].Left, st.panel[1].Right + 2 * fontH + lpx / 4);
            EXPECT_EQ(st.panel[2].Right, st.plot.Right);
            for (const TIntRect& r : st.panel) {
                EXPECT_EQ(r.Top, st.plot.Top);
                EXPECT_EQ(r.Bottom, st.plot.Bottom);
            }
        }
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
