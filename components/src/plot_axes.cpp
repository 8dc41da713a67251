#include "plot_axes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vortn {

namespace {

const long double kLog3 = std::log10(3.0L);

// A quotient that is an integer up to rounding noise counts as that integer,
// so that 0.01 / 0.001 rounds to 10 and not 11.
long double Snap(long double q) {
    const long double r = std::nearbyint(q);
    if (std::fabs(q - r) <= 1e-9L * std::max<long double>(1, std::fabs(q))) return r;
    return q;
}

long double RoundAway(long double v) { return v > 0 ? std::ceil(Snap(v)) : std::floor(Snap(v)); }

long double Decade(long double v, long double* fraction = nullptr) {
    const long double l = std::log10(v);
    long double f = std::floor(l);
    // log10 of an exact power of ten may land just below the integer.
    if (std::fabs(l - std::nearbyint(l)) <= 1e-12L) f = std::nearbyint(l);
    if (fraction) *fraction = l - f;
    return std::pow(10.0L, f);
}

}  // namespace

bool RoundPlotAxis(long double& lo, long double& hi) {
    if (hi == lo) {
        hi += 0.01L;
        lo -= 0.01L;
    }
    const long double width = hi - lo;
    if (!std::isfinite(width) || width <= 0) return false;
    long double fraction = 0;
    long double u = Decade(width, &fraction);
    if (fraction < kLog3) u /= 10;
    if (u == 0 || !std::isfinite(u)) return false;
    lo = u * RoundAway(lo / u);
    hi = u * RoundAway(hi / u);
    return std::isfinite(lo) && std::isfinite(hi);
}

bool PlotGroupRange(const TObjectList<TLine>& group, TPlotRange& r) {
    r = TPlotRange{};
    for (const TLine* line : group) {
        for (int i = 0; i < line->PointCount(); ++i) {
            const TFloatPoint& pt = line->Points(i);
            // A point without a finite value cannot be placed; it must not
            // spoil the axes of the others.
            if (!std::isfinite(pt.X) || !std::isfinite(pt.Y)) continue;
            if (pt.X < r.xmin)
                r.xmin = pt.X;
            else if (pt.X > r.xmax)
                r.xmax = pt.X;
            if (pt.Y < r.ymin)
                r.ymin = pt.Y;
            else if (pt.Y > r.ymax)
                r.ymax = pt.Y;
        }
    }
    const bool ok = RoundPlotAxis(r.ymin, r.ymax);
    return RoundPlotAxis(r.xmin, r.xmax) && ok;
}

long double PlotMajorStep(long double s) {
    const long double g = Decade(s);
    const int d = int(std::trunc(Snap(s / g)));
    if (d <= 1) return g;
    if (d <= 4) return 2 * g;
    if (d <= 8) return 5 * g;
    return 10 * g;
}

void PlotTickIndices(long double lo, long double hi, long double minor, int& first, int& last) {
    first = last = 0;
    if (!(minor > 0) || !std::isfinite(lo) || !std::isfinite(hi)) return;
    const long double tol = minor * 1e-9L;
    // Bounded: a range of more than a million minor steps gets no ticks.
    if ((hi - lo) / minor > 1e6L) return;
    while ((first - 1) * minor >= lo - tol) --first;
    while ((last + 1) * minor <= hi + tol) ++last;
}

TPanelTicks PlotPanelTicks(const TPlotRange& r, const TIntRect& rect, int fontH) {
    TPanelTicks t;
    if (fontH <= 0) return t;
    const int nx = std::abs(rect.Right - rect.Left) / (6 * fontH);
    const int ny = std::abs(rect.Bottom - rect.Top) / (6 * fontH);
    if (nx == 0 || ny == 0) return t;
    const long double sx = (r.xmax - r.xmin) / nx, sy = (r.ymax - r.ymin) / ny;
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy)) return t;
    t.step.X = PlotMajorStep(sx) / 5;
    t.step.Y = PlotMajorStep(sy) / 5;
    PlotTickIndices(r.xmin, r.xmax, t.step.X, t.xFirst, t.xLast);
    PlotTickIndices(r.ymin, r.ymax, t.step.Y, t.yFirst, t.yLast);
    t.ok = true;
    return t;
}

int PlotMarkerKind(int curveIndex) {
    int k = curveIndex + 1;
    if (k > 10) {
        k %= 10;
        if (k == 0) k = 10;
    }
    return k < 1 ? 1 : k;
}

QVector<QPoint> PlotMarkerVertices(int curveIndex, int x, int y, int lpx, int lpy) {
    const int k = PlotMarkerKind(curveIndex);
    const double rx = lpx / 32, ry = lpy / 32;
    double a0, step;
    int n;
    if (k == 1) {
        a0 = std::numbers::pi;
        step = 2 * std::numbers::pi / 3;
        n = 3;
    } else if (k == 2) {
        a0 = std::numbers::pi / 4;
        step = std::numbers::pi / 2;
        n = 4;
    } else {
        a0 = 0;
        step = 2 * std::numbers::pi / k;
        n = k;
    }
    QVector<QPoint> v;
    for (int j = 0; j < n; ++j) {
        const double a = a0 + j * step;
        v.append(QPoint(x + int(std::nearbyint(std::cos(a) * rx)), y - int(std::nearbyint(std::sin(a) * ry))));
    }
    return v;
}

void PlotZoomAxisBand(long double& lo, long double& hi, long double fullLo, long double fullHi, long double a,
                      long double b) {
    if (a > b) std::swap(a, b);
    lo = a;
    hi = b;
    const long double full = fullHi - fullLo;
    if (full > 20 * (b - a)) {
        const long double w = full / 20, c = (a + b) / 2;
        lo = c - w / 2;
        hi = c + w / 2;
        if (lo < fullLo) {
            lo = fullLo;
            hi = fullLo + w;
        }
        if (hi > fullHi) {
            hi = fullHi;
            lo = fullHi - w;
        }
    }
}

void PlotZoomAxisOut(long double& lo, long double& hi, long double fullLo, long double fullHi, long double p) {
    long double d = hi - lo;
    if (d > (fullHi - fullLo) / 2) d = (fullHi - fullLo) / 2;
    if (p < fullLo + d) p = fullLo + d;
    if (p > fullHi - d) p = fullHi - d;
    lo = p - d;
    hi = p + d;
}

TIntRect PlotPrintPageRect(int mLeft, int mTop, int mRight, int mBottom, int lpx, int lpy, int offX, int offY,
                           int pageWidth, int pageHeight) {
    const int mL = std::max(PlotRoundInt((long double)mLeft * lpx / 1000), offX);
    const int mT = std::max(PlotRoundInt((long double)mTop * lpy / 1000), offY);
    const int mR = std::max(PlotRoundInt((long double)mRight * lpx / 1000), offX);
    const int mB = std::max(PlotRoundInt((long double)mBottom * lpy / 1000), offY);
    return TIntRect{mL - offX, mT - offY, pageWidth + offX - mR, pageHeight + offY - mB};
}

QSize PlotBitmapSize(long double widthInches, long double heightInches, int ppi) {
    return QSize(PlotRoundInt(ppi * widthInches), PlotRoundInt(ppi * heightInches));
}

int PlotRoundInt(long double v) {
    if (!std::isfinite(v)) return 0;
    v = std::nearbyint(v);
    if (v > 1e9L) return 1000000000;
    if (v < -1e9L) return -1000000000;
    return int(v);
}

int PlotWorldToScreenX(const TPlotRange& g, const TIntRect& r, long double x) {
    return PlotRoundInt((x - g.xmin) / (g.xmax - g.xmin) * (r.Right - r.Left)) + r.Left;
}

int PlotWorldToScreenY(const TPlotRange& g, const TIntRect& r, bool xOnTop, long double y) {
    const int dy = PlotRoundInt((y - g.ymin) / (g.ymax - g.ymin) * (r.Bottom - r.Top));
    return xOnTop ? r.Top + dy : r.Bottom - dy;
}

TFloatPoint PlotScreenToWorld(const TPlotRange& g, const TIntRect& r, bool xOnTop, int sx, int sy) {
    TFloatPoint w;
    if (sx < r.Left || sx > r.Right || r.Right == r.Left || r.Bottom == r.Top) return w;
    w.X = g.xmin + (long double)(sx - r.Left) / (r.Right - r.Left) * (g.xmax - g.xmin);
    const int dy = xOnTop ? sy - r.Top : r.Bottom - sy;
    w.Y = g.ymin + (long double)dy / (r.Bottom - r.Top) * (g.ymax - g.ymin);
    return w;
}

}  // namespace vortn
