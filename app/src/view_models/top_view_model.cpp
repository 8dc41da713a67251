#include "top_view_model.h"

#include "grid_table.h"
#include "program_data.h"
#include "project_holder.h"
#include "side_view_model.h"
#include "view_numbers.h"

#include <algorithm>
#include <cmath>

namespace vortn {

bool TTopViewModel::GetNoDraw() const { return model_.xmax - model_.xmin == 0 || model_.ymax - model_.ymin == 0; }

void TTopViewModel::BuildRecords(TProjectHolder& h) {
    records_.clear();
    TProgramData& p = h.Project();
    if (p.FoundationOrFooting() != TFoundationType::Pile) return;
    const TGridTable& coord = h.Pilecoord();
    std::vector<TPlanPile> built;
    for (int i = 0; i < coord.RowCount(); ++i)
        built.push_back({coord.Cells(0, i).AsFloat(), coord.Cells(1, i).AsFloat(), h.PileData().Cells(1, 0).AsFloat()});
    records_ = std::move(built);
}

void TTopViewModel::Fit() {
    // A footing (no records) fits its outline as a pile group does.
    if (records_.empty() && (ex_ == 0 || ey_ == 0)) return;
    TPlanWindow f{-ex_ / 1.9L, ex_ / 1.9L, ey_ / 1.9L, -ey_ / 1.9L};
    for (const TPlanPile& r : records_) {
        f.xmin = std::min(f.xmin, r.X - 2 * r.R);
        f.xmax = std::max(f.xmax, r.X + 2 * r.R);
        f.ymin = std::min(f.ymin, r.Y - 2 * r.R);
        f.ymax = std::max(f.ymax, r.Y + 2 * r.R);
    }
    const Extended spanX = f.xmax - f.xmin, spanY = f.ymax - f.ymin;
    // A single point of no size gives no window; nor does the outline of one
    // pile, whose extent is only the 1e-9 the bounds start from.
    constexpr Extended tiny = 1e-6L;
    if (!(spanX > tiny && spanY > tiny && std::isfinite(double(spanX)) && std::isfinite(double(spanY)))) return;
    model_ = f;
}

void TTopViewModel::Aspect(Extended width, Extended height) {
    if (GetNoDraw() || !(width > 0) || !(height > 0)) return;
    TPlanView v{model_.xmin, model_.xmax, model_.ymax, model_.ymin};
    const Extended r = (width / height) / ((model_.xmax - model_.xmin) / (model_.ymax - model_.ymin));
    if (!(r > 0) || !std::isfinite(double(r))) return;
    if (r >= 1) {
        v.x0 *= r;
        v.x1 *= r;
    } else {
        v.y0 /= r;
        v.y1 /= r;
    }
    view_ = v;
}

TPlanBounds TTopViewModel::Bounds(TProjectHolder& h) {
    const TProgramData& p = h.Project();
    const TFoundationType type = p.FoundationOrFooting();
    TPlanBounds b;
    // A pile group is outlined by its cap; a cap of no size by its piles.
    const bool capSized = p.CircularFlag == 1 ? p.Radius > 0 : p.Length > 0 && p.Width > 0;
    if (type == TFoundationType::Pile && !capSized) {
        const TGridTable& coord = h.Pilecoord();
        // A group without piles has no outline.
        if (coord.RowCount() == 0) return b;
        b.maxX = b.maxY = 1e-9L;
        b.minX = b.minY = 1e10L;
        for (int i = 0; i < coord.RowCount(); ++i) {
            const Extended x = coord.Cells(0, i).AsFloat(), y = coord.Cells(1, i).AsFloat();
            b.maxX = std::max(b.maxX, x);
            b.minX = std::min(b.minX, x);
            b.maxY = std::max(b.maxY, y);
            b.minY = std::min(b.minY, y);
        }
    } else if (p.CircularFlag == 1) {
        b.minX = b.minY = -p.Radius;
        b.maxX = b.maxY = p.Radius;
    } else {
        b.minX = -p.Length / 2;
        b.maxX = p.Length / 2;
        b.minY = -p.Width / 2;
        b.maxY = p.Width / 2;
    }
    return b;
}

TPixelRect TTopViewModel::CircleRect(Extended X, Extended Y, Extended R, int width, int height) const {
    const Extended sx = view_.x1 - view_.x0, sy = view_.y1 - view_.y0;
    return {RoundPixel(width * (X - R - view_.x0) / sx), RoundPixel(height * (Y - R - view_.y0) / sy),
            RoundPixel(width * (X + R - view_.x0) / sx), RoundPixel(height * (Y + R - view_.y0) / sy)};
}

Extended TTopViewModel::WorldX(int px, int width) const {
    return Extended(px) / width * (view_.x1 - view_.x0) + view_.x0;
}
Extended TTopViewModel::WorldY(int py, int height) const {
    return Extended(py) / height * (view_.y1 - view_.y0) + view_.y0;
}

int ResolutionClass(int pixels) {
    if (pixels < 76) return 75;
    if (pixels <= 125) return 100;
    if (pixels <= 225) return 150;
    if (pixels <= 449) return 300;
    if (pixels <= 899) return 600;
    return 1200;
}

}  // namespace vortn
