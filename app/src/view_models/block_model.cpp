#include "block_model.h"

#include "grid_table.h"
#include "program_data.h"
#include "project_holder.h"
#include "side_view_model.h"
#include "view_numbers.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vortn {

namespace {
Extended ColumnSum(const TGridTable& t, int col, int rows) {
    Extended s = 0;
    for (int i = 0; i < std::min(rows, t.RowCount()); ++i) s += t.Cells(col, i).AsFloat();
    return s;
}
}  // namespace

TBlockGeometry GetMaxDims(TProjectHolder& h) {
    const TProgramData& p = h.Project();
    const TFoundationType type = p.FoundationType();
    const bool pile = type == TFoundationType::Pile, multi = type == TFoundationType::Multilayer;
    const bool stratum = type == TFoundationType::Stratum, half = type == TFoundationType::HalfSpace;
    Extended s = 0;
    if (pile) s = ColumnSum(h.pilecapsoil(), 0, h.pilecapsoil().RowCount());
    // The multilayer's side layers are its first elements, one per row of D.
    if (multi) s = ColumnSum(h.MultiElement(), 0, h.D().RowCount());
    if (stratum || half) s = ColumnSum(h.D1(), 0, h.D1().RowCount());

    TBlockGeometry g;
    if (p.CircularFlag == 1) {
        const Extended R = p.Radius;
        g.xmin = g.ymin = -R;
        g.xmax = g.ymax = R;
        g.CapEmbedded = s >= 0.00001L;
        g.CapThickness = g.CapEmbedded ? s : 0.3L * R;
        g.CapHalfSize = R;
    } else {
        const Extended L = p.Length, B = p.Width;
        g.xmin = -L / 2;
        g.xmax = L / 2;
        g.ymin = -B / 2;
        g.ymax = B / 2;
        g.CapEmbedded = !(s < 0.00001L);
        g.CapThickness = g.CapEmbedded ? s : 0.15L * B;
        g.CapHalfSize = std::max(L / 2, B / 2);
    }
    if (stratum) g.CapThickness = std::max(g.CapThickness, Extended(p.BaseDepth));
    if (g.CapEmbedded) {
        g.zTop = 0;
        g.zBottom = -g.CapThickness;
    } else {
        g.zTop = g.CapThickness;
        g.zBottom = 0;
    }
    if (pile) g.zBottom -= ColumnSum(h.PileData(), 0, h.PileData().RowCount());
    if (stratum || half) g.zBottom -= ColumnSum(h.D1(), 0, h.D1().RowCount());

    g.dx = g.xmax - g.xmin;
    g.dy = g.ymax - g.ymin;
    g.dz = g.zTop - g.zBottom;
    g.MaxCoordinate = std::max({std::fabs(g.dz), std::fabs(g.xmax), std::fabs(g.ymax), std::fabs(g.zTop),
                                std::fabs(g.xmin), std::fabs(g.ymin), std::fabs(g.zBottom)});
    g.MaxPlan = std::max(g.dx, g.dy);
    g.cx = (g.xmax + g.xmin) / 2;
    g.cy = (g.ymax + g.ymin) / 2;
    g.cz = (-g.zTop - g.zBottom) / 2;
    return g;
}

QByteArray BlockModelInputs(TProjectHolder& h) {
    const TProgramData& p = h.Project();
    QByteArray b;
    auto add = [&b](Extended v) {
        const double d = double(v);
        b.append(reinterpret_cast<const char*>(&d), sizeof d);
    };
    b.append(p.FoundationWord.toUtf8()).append('\0');
    for (Extended v :
         {Extended(p.CircularFlag), p.Radius, p.Length, p.Width, Extended(p.BaseDepth), Extended(p.BedRockDepth)})
        add(v);
    // The tables with the columns read (the others by their row counts).
    const std::pair<const TGridTable*, int> tables[] = {{&h.pilecapsoil(), 1},  {&h.D1(), 1},        {&h.D(), 0},
                                                        {&h.MultiElement(), 1}, {&h.Multisoil(), 0}, {&h.PileData(), 3},
                                                        {&h.Pilecoord(), 3}};
    for (const auto& [t, columns] : tables) {
        add(t->RowCount());
        for (int r = 0; r < t->RowCount(); ++r)
            for (int c = 0; c < columns; ++c) add(t->Cells(c, r).AsFloat());
    }
    const TGridTable& coord = h.Pilecoord();
    for (int r = 0; r < coord.RowCount(); ++r) add(coord.Cells(3, r).AsInteger());
    return b;
}

TOrthoBox OrthoBox(int w, int h, Extended maxCoordinate, Extended maxPlan) {
    // A control without area is taken as one pixel wide or high.
    const Extended W = std::max(w, 1), H = std::max(h, 1);
    TOrthoBox b;
    Extended half, other;
    if (W <= H) {
        half = W / 2;
        other = half * H / W;
        b.left = -half;
        b.right = half;
        b.bottom = -other;
        b.top = other;
    } else {
        half = H / 2;
        other = half * W / H;
        b.left = -other;
        b.right = other;
        b.bottom = -half;
        b.top = half;
    }
    const Extended d = maxPlan != 0 ? maxCoordinate / maxPlan * half * 640 : other;
    b.zNear = -d;
    b.zFar = d;
    return b;
}

Extended FitScaleFor(int W, int H, Extended dx, Extended maxCoordinate, Extended previous) {
    const Extended fx = dx != 0 ? (W - 50) / (2 * dx) : 1;
    const Extended fz = maxCoordinate != 0 ? (H - 50) / (2 * maxCoordinate) : 1;
    const bool okX = fx > 0 && std::isfinite(double(fx)), okZ = fz > 0 && std::isfinite(double(fz));
    if (okX && okZ) return std::min(fx, fz);
    if (okX) return fx;
    if (okZ) return fz;
    return previous > 0 ? previous : 1;
}

std::array<double, 4> LayerColor(int index, double alpha) {
    switch (index) {
        case 1:
            return {0.8, 0.55, 0.0, alpha};
        case 2:
            return {0.55, 0.4, 0.2, alpha};
        case 3:
            return {0.4, 0.4, 0.2, alpha};
        case 4:
        case 8:
            return {0.4, 0.4, 0.55, alpha};
        case 6:
            return {0.2, 0.2, 0.55, alpha};
        case 7:
            return {0.8, 0.0, 0.8, alpha};
        case 9:
            return {0.15, 0.15, 0.45, alpha};
        case 10:
            return {0.65, 0.4, 0.2, alpha};
        case 11:
            return {0.4, 0.5, 0.55, alpha};
        default:
            return {0.0, 0.5, 0.5, alpha};
    }
}

QString GetValueLabel(Extended v) {
    if (std::fabs(v) <= 0.001L || std::fabs(v) >= 100000) return ExponentText(v, 4, 2);
    return FixedText(v, 10, 3);
}

std::vector<TSoilSlab> SoilSlabs(TProjectHolder& h, Extended capHalfSize) {
    const TProgramData& p = h.Project();
    const TFoundationType type = p.FoundationType();
    const bool pile = type == TFoundationType::Pile, multi = type == TFoundationType::Multilayer;
    const bool stratum = type == TFoundationType::Stratum, half = type == TFoundationType::HalfSpace;

    // Each kind: how many layers, and the thickness of layer i.
    struct Kind {
        int count;
        std::function<Extended(int)> thickness;
    };
    const TGridTable& element = h.MultiElement();
    int elementRow = 0;  // the multilayer's running row over both kinds
    auto elementThickness = [&](int) {
        const int row = elementRow++;
        return element.Cells(0, row).AsFloat();
    };
    std::vector<Kind> kinds(3);
    if (pile) {
        kinds[0] = {h.pilecapsoil().RowCount(), [&](int i) { return h.pilecapsoil().Cells(0, i).AsFloat(); }};
        kinds[1] = {h.PileData().RowCount(), [&](int i) { return h.PileData().Cells(0, i).AsFloat(); }};
    } else if (half) {
        kinds[0] = {h.D1().RowCount(), [&](int i) { return h.D1().Cells(0, i).AsFloat(); }};
        kinds[1] = {0, {}};
    } else if (stratum) {
        kinds[0] = {0, {}};
        kinds[1] = {1, [&](int) { return Extended(p.BedRockDepth); }};
    } else if (multi) {
        kinds[0] = {h.D().RowCount(), elementThickness};
        kinds[1] = {h.Multisoil().RowCount(), elementThickness};
    } else {
        kinds[0] = kinds[1] = {0, {}};
    }
    kinds[2] = {1, [&](int) { return capHalfSize; }};

    std::vector<TSoilSlab> slabs;
    Extended z0 = 0;
    int j = 0;
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < kinds[k].count; ++i) {
            // The multilayer's thicknesses run out with the element table.
            if (multi && k < 2 && elementRow >= element.RowCount()) break;
            const Extended d = kinds[k].thickness(i);
            if (d == 0) continue;
            TSoilSlab s;
            s.kind = k + 1;
            s.row = i;
            s.z0 = z0;
            s.d = d;
            s.colorIndex = j;
            s.last = k == 2;
            if (k == 0)
                s.label = QStringLiteral("Side Cap ") + QString::number(i + 1);
            else if (k == 1 && stratum)
                s.label = QStringLiteral("Stratum");
            else if (k == 1 && multi)
                s.label = QStringLiteral("Side Column ") + QString::number(i + 1);
            else if (k == 1)
                s.label = QStringLiteral("Side Pile ") + QString::number(i + 1);
            else
                s.label = QStringLiteral("Bottom");
            slabs.push_back(s);
            z0 -= d;
            j = j >= 11 ? 0 : j + 1;
        }
    }
    return slabs;
}

int SlabColorIndex(const TSoilSlab& slab) {
    if (slab.kind == 3) return slab.colorIndex == 5 ? 5 : 4;
    return slab.colorIndex;
}

TMatrix16 IdentityMatrix() {
    TMatrix16 m{};
    m[0] = m[5] = m[10] = m[15] = 1;
    return m;
}

Extended WindowY(const TMatrix16& P, const TMatrix16& M, const std::array<int, 4>& viewport, Extended x, Extended y,
                 Extended z) {
    const Extended v[4] = {x, y, z, 1};
    Extended eye[4], clip[4];
    for (int r = 0; r < 4; ++r) eye[r] = M[r] * v[0] + M[4 + r] * v[1] + M[8 + r] * v[2] + M[12 + r] * v[3];
    for (int r = 0; r < 4; ++r) clip[r] = P[r] * eye[0] + P[4 + r] * eye[1] + P[8 + r] * eye[2] + P[12 + r] * eye[3];
    const Extended ndc = clip[3] != 0 ? clip[1] / clip[3] : clip[1];
    return viewport[1] + viewport[3] * (ndc + 1) / 2;
}

std::vector<int> StackedLabelShifts(const std::vector<Extended>& y, int lineHeight) {
    std::vector<int> shifts;
    Extended lowest = 0;
    for (size_t i = 0; i < y.size(); ++i) {
        const Extended placed = i == 0 ? y[i] : std::min(y[i], lowest - lineHeight);
        shifts.push_back(int(std::lround(double(placed - y[i]))));
        lowest = y[i] + shifts.back();
    }
    return shifts;
}

bool TBlockNavigation::SetView(int n) {
    switch (n) {
        case 1:
            View.RotationX = 0;
            View.RotationY = 0;
            View.RotationZ = 0;
            break;
        case 2:
            View.RotationX = 0;
            View.RotationY = 0;
            View.RotationZ = 90;
            break;
        case 3:
            View.RotationX = 90;
            View.RotationY = 0;
            View.RotationZ = 0;
            break;
        case 4:
            View.RotationX = 22.5L;
            View.RotationY = 0;
            View.RotationZ = 45;
            break;
        default:
            return true;  // repaint only
    }
    return true;
}

void TBlockNavigation::Zooming(Extended f) {
    if (f > 0 && std::isfinite(double(f))) View.ZoomFactor *= f;
}

void TBlockNavigation::Restart(Extended cx, Extended cy) {
    View.RotationX = View.RotationY = View.RotationZ = 0;
    View.ZoomFactor = 1;
    View.PanX = -cx;
    View.PanY = -cy;
    View.PanZ = 0;
}

bool TBlockNavigation::MouseDown(bool left, unsigned char, int x, int y) {
    MouseState = 1;
    X0 = X1 = x;
    Y0 = Y1 = y;
    if (ZoomWindowMode && left) {
        SelectionBoxVisible = true;
        startPanX_ = View.PanX;
        startPanY_ = View.PanY;
        startPanZ_ = View.PanZ;
        startZoom_ = View.ZoomFactor;
    }
    switch (MouseMode) {
        case Pan:
            startPanX_ = View.PanX;
            startPanY_ = View.PanY;
            startPanZ_ = View.PanZ;
            break;
        case Zoom:
            startZoom_ = View.ZoomFactor;
            break;
        case Rotate:
            startRotX_ = View.RotationX;
            startRotY_ = View.RotationY;
            startRotZ_ = View.RotationZ;
            break;
        default:
            break;
    }
    return false;
}

bool TBlockNavigation::MouseMove(unsigned char shift, int x, int y, const TMatrix16& m, int w, int h) {
    const unsigned char keys = shift & 0x7F & ~0x40;  // a double click is no extra key
    if (keys != ssLeft && keys != (ssLeft | ssShift) && keys != (ssLeft | ssCtrl)) return false;
    if (ZoomWindowMode) {
        X1 = x;
        Y1 = y;
        return SelectionBoxVisible;
    }
    if (MouseState != 1 && MouseState != 3) return false;
    ApplyMode(shift, x, y, m, w, h);
    return MouseMode >= Pan && MouseMode <= Rotate;
}

bool TBlockNavigation::MouseUp(bool, unsigned char shift, int x, int y, const TMatrix16& m, int w, int h) {
    const bool pressed = MouseState == 1;
    MouseState = 3;
    bool repaint = false;
    if (ZoomWindowMode) {
        X1 = x;
        Y1 = y;
        SelectionBoxVisible = false;
        if (X1 != X0 && Y1 != Y0) {
            const Extended s = View.FitScale * View.ZoomFactor;
            const Extended ox = Extended(w) / 2 - Extended(X1 + X0) / 2;
            const Extended oy = -(Extended(h) / 2 - Extended(Y1 + Y0) / 2);
            View.PanX = (m[0] * ox + m[1] * oy) / (s * s) + startPanX_;
            View.PanY = (m[4] * ox + m[5] * oy) / (s * s) + startPanY_;
            View.PanZ = (m[8] * ox + m[9] * oy) / (s * s) + startPanZ_;
            const Extended f = std::min(Extended(h) / std::abs(Y1 - Y0), Extended(w) / std::abs(X1 - X0));
            View.ZoomFactor = startZoom_ * f;
        }
        repaint = true;
    } else if (pressed) {
        ApplyMode(shift, x, y, m, w, h);
        repaint = MouseMode >= Pan && MouseMode <= Rotate;
    }
    MouseState = 0;
    return repaint;
}

void TBlockNavigation::ApplyMode(unsigned char shift, int x, int y, const TMatrix16& m, int w, int h) {
    const Extended s = View.FitScale * View.ZoomFactor;
    const bool shiftHeld = (shift & ssShift) != 0;
    switch (MouseMode) {
        case Pan: {
            if (!(s > 0)) return;
            Extended dx = x - X0, dy = Y0 - y;
            if (shiftHeld) {
                if (std::fabs(dx) >= std::fabs(dy))
                    dy = 0;
                else
                    dx = 0;
            }
            View.PanX = (m[0] * dx + m[1] * dy) / (s * s) + startPanX_;
            View.PanY = (m[4] * dx + m[5] * dy) / (s * s) + startPanY_;
            View.PanZ = (m[8] * dx + m[9] * dy) / (s * s) + startPanZ_;
            break;
        }
        case Zoom: {
            if (h <= 0) return;
            // Dragging down by the whole height (or more) shrinks to a
            // hundredth, never to nothing or through it.
            const Extended g = std::max(1 - Extended(y - Y0) / h, Extended(0.01L));
            View.ZoomFactor = startZoom_ * g;
            break;
        }
        case Rotate: {
            if (w <= 0 || h <= 0) return;
            Extended ax = Extended(y - Y0) * 180 / 2 / h, ay = Extended(x - X0) * 180 / 2 / w;
            if (shiftHeld) {
                if (std::fabs(ax) >= std::fabs(ay))
                    ay = 0;
                else
                    ax = 0;
            }
            Extended vx = m[0] * ax + m[1] * ay, vy = m[4] * ax + m[5] * ay, vz = m[8] * ax + m[9] * ay;
            const Extended D = std::sqrt(vx * vx + vy * vy + vz * vz), A = std::sqrt(ax * ax + ay * ay);
            if (D != 0) {
                vx = A * vx / D;
                vy = A * vy / D;
                vz = A * vz / D;
            }
            View.RotationX = vx + startRotX_;
            View.RotationY = vy + startRotY_;
            View.RotationZ = vz + startRotZ_;
            break;
        }
        default:
            break;
    }
}

TPrintBox PrintPlacement(int lpx, int lpy, int offX, int offY, int pageW, int pageH, int marginLeft, int marginTop,
                         int marginRight, int marginBottom, int w, int h, int marginUnitsPerInch) {
    auto round = [](Extended v) { return int(std::nearbyint(double(v))); };
    const Extended perInch = marginUnitsPerInch > 0 ? marginUnitsPerInch : 1000;
    const int mL = std::max(round(Extended(lpx) * marginLeft / perInch), offX);
    const int mR = std::max(round(Extended(lpx) * marginRight / perInch), offX);
    const int mT = std::max(round(Extended(lpy) * marginTop / perInch), offY);
    const int mB = std::max(round(Extended(lpy) * marginBottom / perInch), offY);
    int W = pageW + 2 * offX - mR - mL, H = pageH + 2 * offY - mB - mT;
    TPrintBox box{mL - offX, mT - offY, 0, 0};
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return box;
    if (Extended(H) / h > Extended(W) / w)
        H = round(Extended(h) * W / w);
    else
        W = round(Extended(w) * H / h);
    box.width = W;
    box.height = H;
    return box;
}

}  // namespace vortn
