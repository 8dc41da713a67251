#include "graph_plot.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace vortn;

TEST(GraphPlot, EmptyPlot) {
    TGraphPlot p;
    EXPECT_EQ(p.PointCount(), 0);
    p.SetPointCount(5);
    EXPECT_EQ(p.LineCount(), 0);
    EXPECT_EQ(p.PointCount(), 0);
    p.Execute();  // no window factory: nothing to show
    EXPECT_FALSE(p.WindowExists());
}

TEST(GraphPlot, LinesAndPoints) {
    TGraphPlot p;
    p.SetLineCount(5);
    p.SetPointCount(4);
    for (int l = 0; l < 5; ++l) {
        EXPECT_EQ(p.Lines(l).Value, l + 1);
        EXPECT_EQ(p.Lines(l).PointCount(), 4);
    }
    p.Points(2, 3).X = 7;
    p.Points(2, 3).Y = 8;
    p.SetLineCount(3);
    EXPECT_EQ(p.LineCount(), 3);
    EXPECT_EQ(p.Points(2, 3).X, 7);
    p.SetLineCount(4);
    EXPECT_EQ(p.Lines(3).PointCount(), 4);  // as many zero points as curve 0
    EXPECT_EQ(p.Lines(3).Value, 4);
    EXPECT_EQ(p.Points(3, 0).X, 0);
    p.SetLineCount(-1);
    EXPECT_EQ(p.LineCount(), 0);
}

TEST(GraphPlot, UnitsClamp) {
    TGraphPlot p;
    struct { int in, stored; } cases[] = {{7, 3}, {0, 1}, {-2, 1}, {2, 2}, {3, 3}};
    for (auto c : cases) {
        p.SetUnits(c.in);
        EXPECT_EQ(p.Units(), c.stored);
    }
}

TEST(GraphPlot, DisplayNames) {
    TGraphPlot p;
    p.SetLineCount(3);
    p.LineNames << "first" << "second";
    EXPECT_EQ(p.Lines(0).DisplayName(), "first");
    EXPECT_EQ(p.Lines(1).DisplayName(), "second");
    EXPECT_EQ(p.Lines(2).DisplayName(), "Curve #3");
    p.Lines(1).Name = "own";
    EXPECT_EQ(p.Lines(1).DisplayName(), "own");
    p.CurveName = "#";
    EXPECT_EQ(p.Lines(2).DisplayName(), "#3");
}

TEST(GraphPlot, PlotUnitsText) {
    struct { const char* units; int system; const char* text; } cases[] = {
        {"F/L2", 1, "lbs/ft"}, {"F/L2", 2, "kN/m"}, {"F-L2/Radian", 2, "kN-m/Radian"}, {"F1-L", 1, "kips-in"},
        {"F2/L1", 1, "tons/in"}, {"F2/L1", 2, "kN/mm"}, {"F/L2", 3, "F/L2"}, {"Hz", 1, "Hz"}, {"L2/L", 1, "ft/L"}};
    for (auto c : cases) EXPECT_EQ(PlotUnitsText(c.units, c.system), c.text) << c.units;
}

namespace {
struct FakeWindow : TPlotWindow {
    explicit FakeWindow(int* shown, int* freed) : shown(shown), freed(freed) {}
    void ShowWindow() override { ++*shown; }
    void FreeWindow() override { ++*freed; delete this; }
    int* shown;
    int* freed;
};
}  // namespace

TEST(GraphPlot, ExecuteMakesOneWindow) {
    int made = 0, shown = 0, freed = 0;
    SetPlotWindowFactory([&](TGraphPlot&) { ++made; return new FakeWindow(&shown, &freed); });
    {
        TGraphPlot p;
        p.Execute();
        p.Execute();
        EXPECT_EQ(made, 1);
        EXPECT_EQ(shown, 2);
    }
    EXPECT_EQ(freed, 1);
    SetPlotWindowFactory(nullptr);
}
