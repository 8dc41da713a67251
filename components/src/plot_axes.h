// The widget-free arithmetic of the plot window: rounded axis ranges, tick
// steps and indices, marker shapes, zoom rules, the mapping between world
// and screen coordinates, and the page rectangles of prints and bitmaps.
#pragma once

#include "graph_plot.h"

#include <QPoint>
#include <QSize>
#include <QVector>

namespace vortn {

struct TIntRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int x, int y) const { return x >= Left && x <= Right && y >= Top && y <= Bottom; }
};

struct TPlotRange {
    long double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// Minor tick steps and the first/last minor tick index of each axis.
struct TPanelTicks {
    bool ok = false;
    TFloatPoint step;
    int xFirst = 0, xLast = 0, yFirst = 0, yLast = 0;
};

// Rounds an axis range outward to its rounding unit (every range holds 0
// already). Returns false when no usable unit exists (the window closes).
bool RoundPlotAxis(long double& lo, long double& hi);
// The rounded range of every point of every curve of a group; false as above.
bool PlotGroupRange(const TObjectList<TLine>& group, TPlotRange& range);
// Major tick step for a raw step s: 1, 2, 5 or 10 times its decade.
long double PlotMajorStep(long double s);
// First and last minor tick index inside [lo, hi].
void PlotTickIndices(long double lo, long double hi, long double minor, int& first, int& last);
// Ticks of a panel of the given rectangle; ok is false when it has none.
TPanelTicks PlotPanelTicks(const TPlotRange& range, const TIntRect& rect, int fontH);
// Marker kind 1..10 of a curve index (0-based).
int PlotMarkerKind(int curveIndex);
QVector<QPoint> PlotMarkerVertices(int curveIndex, int x, int y, int lpx, int lpy);
// Zoom rules of one axis. A band from a to b (already in world units):
void PlotZoomAxisBand(long double& lo, long double& hi, long double fullLo, long double fullHi, long double a,
                      long double b);
// Zoom out around p.
void PlotZoomAxisOut(long double& lo, long double& hi, long double fullLo, long double fullHi, long double p);

// World to screen through a panel rectangle and its range; with xOnTop the
// y axis grows downward.
int PlotWorldToScreenX(const TPlotRange& range, const TIntRect& rect, long double x);
int PlotWorldToScreenY(const TPlotRange& range, const TIntRect& rect, bool xOnTop, long double y);
// Screen to world: (0, 0) when sx lies outside the rectangle.
TFloatPoint PlotScreenToWorld(const TPlotRange& range, const TIntRect& rect, bool xOnTop, int sx, int sy);

// The system's rounding (halves to even), kept inside the int range: a
// coordinate from a degenerate range must not stop the painting.
int PlotRoundInt(long double v);

// Page rectangle of a printed page: margins (thousandths of an inch) never
// closer to the edge than the printer's physical offsets.
TIntRect PlotPrintPageRect(int marginLeft, int marginTop, int marginRight, int marginBottom, int lpx, int lpy, int offX,
                           int offY, int pageWidth, int pageHeight);
// Size in pixels of a saved bitmap.
QSize PlotBitmapSize(long double widthInches, long double heightInches, int ppi);

}  // namespace vortn
