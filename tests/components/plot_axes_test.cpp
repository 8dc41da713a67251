// The plot window's arithmetic: axis rounding, ticks, markers, zoom rules,
// world and screen coordinates, printed page and bitmap sizes.
#include "plot_axes.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST(PlotPrintPage, MarginsAndPhysicalOffsets) {
    // 1000 thousandths on 600 dpi with a 100-pixel offset: 600-pixel margins,
    // the page starting 500 pixels in from the printable origin.
    const TIntRect r = PlotPrintPageRect(1000, 1000, 1000, 1000, 600, 600, 100, 100, 4800, 6400);
    EXPECT_EQ(r.Left, 500);
    EXPECT_EQ(r.Top, 500);
    EXPECT_EQ(r.Right, 4800 + 100 - 600);
    EXPECT_EQ(r.Bottom, 6400 + 100 - 600);
    // A margin below the offset prints from the offset.
    const TIntRect s = PlotPrintPageRect(50, 1000, 50, 100, 600, 600, 100, 100, 4800, 6400);
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Right, 4800);
    EXPECT_EQ(s.Bottom, 6400);
}

TEST(PlotBitmap, SizeFromInchesAndPixelsPerInch) {
    EXPECT_EQ(PlotBitmapSize(6, 4, 72), QSize(432, 288));
    EXPECT_EQ(PlotBitmapSize(2.5L, 2.5L, 100), QSize(250, 250));
}

TEST(PlotCoordinates, WorldAndScreenAreInverse) {
    const TPlotRange g{0, 10, -1, 1};
    const TIntRect r{50, 20, 550, 220};
    EXPECT_EQ(PlotWorldToScreenX(g, r, 0), 50);
    EXPECT_EQ(PlotWorldToScreenX(g, r, 10), 550);
    EXPECT_EQ(PlotWorldToScreenY(g, r, false, -1), 220);
    EXPECT_EQ(PlotWorldToScreenY(g, r, false, 1), 20);
    EXPECT_EQ(PlotWorldToScreenY(g, r, true, 1), 220);  // x axis on top: y grows downward
    const TFloatPoint w = PlotScreenToWorld(g, r, false, 300, 120);
    EXPECT_NEAR(double(w.X), 5.0, 1e-12);
    EXPECT_NEAR(double(w.Y), 0.0, 1e-12);
    const TFloatPoint outside = PlotScreenToWorld(g, r, false, 49, 120);
    EXPECT_TRUE(outside.X == 0 && outside.Y == 0);
    // A degenerate range gives no coordinate outside the int range.
    EXPECT_EQ(PlotWorldToScreenX(TPlotRange{1, 1, 0, 1}, r, 2), 50);
    EXPECT_EQ(PlotWorldToScreenX(TPlotRange{0, 1e-30L, 0, 1}, r, 1), 1000000000 + 50);
}

}  // namespace
}  // namespace vortn
