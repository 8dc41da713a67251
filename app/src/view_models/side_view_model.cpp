#include "side_view_model.h"

#include "block_model.h"
#include "grid_table.h"
#include "program_data.h"
#include "project_holder.h"
#include "view_numbers.h"

#include <algorithm>
#include <cmath>

namespace vortn {

bool TSideViewModel::GetNoDraw() const { return model_.xmax - model_.xmin == 0 || model_.zmin - model_.zmax == 0; }

namespace {
Extended ColumnSum(const TGridTable& t, int col, int rows) {
    Extended s = 0;
    for (int i = 0; i < rows; ++i) s += t.Cells(col, i).AsFloat();
    return s;
}

// How high the profile draws a half-space or stratum footing.
Extended FootingHeight(const TProgramData& p) { return p.CircularFlag == 1 ? 2 * p.Zc : p.Zc; }
}  // namespace

TProfileLevels ProfileLevels(TProjectHolder& h) {
    const TProgramData& p = h.Project();
    TProfileLevels l;
    switch (p.FoundationOrFooting()) {
        case TFoundationType::HalfSpace:
            l.ground = FootingHeight(p) - ColumnSum(h.D1(), 0, h.D1().RowCount());
            break;
        case TFoundationType::Pile: {
            const TBlockGeometry g = GetMaxDims(h);
            if (g.CapEmbedded) l.ground = -g.CapThickness;
            break;
        }
        case TFoundationType::Stratum:
            l.ground = FootingHeight(p) - p.BaseDepth;
            l.rock = true;
            l.rockDepth = l.ground + p.BedRockDepth;
            break;
        default:
            break;
    }
    return l;
}

bool TSideViewModel::BuildRecords(TProjectHolder& h) {
    ClearRecords();
    if (h.D().RowCount() == 0) return false;
    TProgramData& p = h.Project();
    p.SetFootingFromWord();
    const bool pile = p.Footing() == TFoundationType::Pile, multi = p.Footing() == TFoundationType::Multilayer;
    const TGridTable& pileData = h.PileData();
    const TGridTable& element = h.MultiElement();
    const TGridTable& coord = h.Pilecoord();

    Extended summed = 0;
    if (pile) summed = ColumnSum(pileData, 0, pileData.RowCount());
    if (multi) summed = ColumnSum(element, 0, element.RowCount());
    p.SumPileLength = summed;

    const int n = pile ? coord.RowCount() : 1;
    std::vector<TPileRecord> built;
    const int centreColumn = plane_ == TSidePlane::XZ ? 0 : 1;
    const int batterItem = plane_ == TSidePlane::XZ ? 1 : 2;
    // A pile or column is as wide as its radius in this plane: (X) in XZ, (Y) in YZ.
    const int radiusColumn = plane_ == TSidePlane::XZ ? 1 : 2;
    for (int i = 0; i < n; ++i) {
        Extended xc = 0, t = 0, w = 0, L = 0;
        if (pile) {
            xc = coord.Cells(centreColumn, i).AsFloat();
            // Only piles are battered: a footing stands upright whatever the
            // first pile row holds.
            if (coord.Cells(3, i).AsInteger() == batterItem) t = coord.Cells(2, i).AsFloat() * 3.1415L / 180;
            w = 2 * pileData.Cells(radiusColumn, 0).AsFloat();
            L = summed;
        } else if (multi) {
            // The column stands at the origin, as the foundation does.
            w = 2 * element.Cells(radiusColumn, 0).AsFloat();
            L = ColumnSum(element, 0, std::min(h.D().RowCount(), element.RowCount()));
        } else {
            w = p.CircularFlag == 1 ? 2 * p.Radius : CapWidth(p);
            L = FootingHeight(p);
        }
        const Extended s = std::sin(t) * L, c = std::cos(t) * L;
        TPileRecord r;
        r.P[0] = {xc - w / 2, 0};
        r.P[1] = {xc + w / 2, 0};
        r.P[2] = {xc - w / 2 + s, c};
        r.P[3] = {xc + w / 2 + s, c};
        built.push_back(r);
    }
    records_ = std::move(built);
    if (pile) {
        // The cap of the 3D view, on the pile heads.
        const Extended w = p.CircularFlag == 1 ? 2 * p.Radius : CapWidth(p);
        const Extended t = GetMaxDims(h).CapThickness;
        if (w > 0 && t > 0) {
            hasCap_ = true;
            cap_.P[0] = {-w / 2, -t};
            cap_.P[1] = {w / 2, -t};
            cap_.P[2] = {-w / 2, 0};
            cap_.P[3] = {w / 2, 0};
        }
    }
    levels_ = ProfileLevels(h);
    return true;
}

Extended TSideViewModel::CapWidth(const TProgramData& p) const {
    // In the XZ plane a rectangle shows its length (along x), in YZ its width.
    return plane_ == TSidePlane::XZ ? p.Length : p.Width;
}

void TSideViewModel::Fit(int footingType, Extended summedPileLength) {
    if (records_.empty() && !hasCap_) return;
    TProfileWindow f{0, 0, 0, 0};
    std::vector<TPileRecord> all = records_;
    if (hasCap_) all.push_back(cap_);
    for (const TPileRecord& r : all) {
        f.xmin = std::min({f.xmin, r.P[0].x, r.P[2].x});
        f.xmax = std::max({f.xmax, r.P[1].x, r.P[3].x});
        f.zmin = std::min(f.zmin, r.P[0].z);
        f.zmax = std::max(f.zmax, r.P[2].z);
    }
    f.xmin *= 1.05L;
    f.xmax *= 1.05L;
    f.zmin *= 1.05L;
    f.zmax *= 1.05L;
    const TFoundationType footing = FoundationTypeOfCode(footingType);
    if (footing == TFoundationType::HalfSpace || footing == TFoundationType::Stratum) {
        f.xmin *= 2;
        f.xmax *= 2;
        f.zmax *= 4;
    } else if (footing == TFoundationType::Multilayer) {
        f.xmin *= 2;
        f.xmax *= 2;
        f.zmax = 1.05L * summedPileLength;
    }
    // The ground above the footing and a stratum's rock, with room for the
    // label below it, are in the picture.
    f.zmin = std::min(f.zmin, 1.05L * levels_.ground);
    if (levels_.rock) f.zmax = std::max(f.zmax, 1.15L * levels_.rockDepth);
    const Extended spanX = f.xmax - f.xmin, spanZ = f.zmax - f.zmin;
    // A window without extent (the all-zero new project) could never be
    // drawn or fitted again.
    if (!(spanX != 0 && spanZ != 0 && std::isfinite(double(spanX)) && std::isfinite(double(spanZ)))) return;
    model_ = f;
}

void TSideViewModel::Aspect(Extended width, Extended height) {
    if (GetNoDraw() || !(width > 0) || !(height > 0)) return;
    view_ = model_;
    const Extended r = (width / height) / ((model_.xmax - model_.xmin) / (model_.zmax - model_.zmin));
    if (!(r > 0) || !std::isfinite(double(r))) return;
    if (r >= 1) {
        view_.xmin *= r;
        view_.xmax *= r;
    } else {
        view_.zmin /= r;
        view_.zmax /= r;
    }
}

int TSideViewModel::PixelX(Extended x, int width) const {
    return RoundPixel(width * (x - view_.xmin) / (view_.xmax - view_.xmin));
}
int TSideViewModel::PixelY(Extended z, int height) const {
    return RoundPixel(height * (z - view_.zmin) / (view_.zmax - view_.zmin));
}
Extended TSideViewModel::WorldX(int px, int width) const {
    return Extended(px) / width * (view_.xmax - view_.xmin) + view_.xmin;
}
Extended TSideViewModel::WorldZ(int py, int height) const {
    return Extended(py) / height * (view_.zmax - view_.zmin) + view_.zmin;
}
int TSideViewModel::PageX(Extended x, int pageWidth) const {
    return RoundPixel((x - view_.xmin) / (view_.xmax - view_.xmin) * pageWidth);
}
int TSideViewModel::PageY(Extended z, int pageHeight) const {
    return RoundPixel((z - view_.zmin) / (view_.zmax - view_.zmin) * pageHeight * 0.8L) + RoundPixel(pageHeight * 0.1L);
}

}  // namespace vortn
