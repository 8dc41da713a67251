// The plan of the top view: the model window (x to the east, y to the
// north), the view window corrected for the drawing's aspect ratio (north
// up), the footing or pile-cap outline and the pile discs.
#pragma once

#include <vector>

namespace vortn {

using Extended = long double;
class TProjectHolder;

struct TPlanPile {
    Extended X = 0, Y = 0, R = 0;  // centre and radius
};

struct TPlanWindow {
    Extended xmin = -10, xmax = 10, ymax = 10, ymin = -10;
    bool operator==(const TPlanWindow&) const = default;
};

// View window: y0 is the upper edge (the ymax side), y1 the lower.
struct TPlanView {
    Extended x0 = -10, x1 = 10, y0 = 10, y1 = -10;
};

struct TPlanBounds {
    Extended minX = 0, maxX = 0, minY = 0, maxY = 0;
    Extended Ex() const { return maxX - minX; }
    Extended Ey() const { return maxY - minY; }
};

struct TPixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class TTopViewModel {
public:
    const TPlanWindow& ModelWindow() const { return model_; }
    void SetModelWindow(const TPlanWindow& w) { model_ = w; }
    const TPlanView& View() const { return view_; }
    void SetView(const TPlanView& v) { view_ = v; }
    const std::vector<TPlanPile>& Records() const { return records_; }
    void ClearRecords() { records_.clear(); }
    // Extents of the outline the fit uses (set by each activation and paint).
    Extended Ex() const { return ex_; }
    Extended Ey() const { return ey_; }
    void SetExtents(Extended ex, Extended ey) {
        ex_ = ex;
        ey_ = ey;
    }

    bool GetNoDraw() const;
    // One record per pile of a pile group, all with the radius of the first
    // pile section (EListError when the pile has no section); none else.
    void BuildRecords(TProjectHolder& holder);
    // Fits the model window around the outline of SetExtents and the piles
    // (a footing without piles around its outline alone); a fit without
    // extent is not taken.
    void Fit();
    // View window for a drawing of width x height (nothing without area).
    void Aspect(Extended width, Extended height);
    // The outline of the footing or pile cap (a pile group whose cap has no
    // size: the box around its pile centres).
    static TPlanBounds Bounds(TProjectHolder& holder);

    // The pixel rectangle of a circle on a drawing of width x height.
    TPixelRect CircleRect(Extended X, Extended Y, Extended R, int width, int height) const;
    Extended WorldX(int px, int width) const;
    Extended WorldY(int py, int height) const;

private:
    TPlanWindow model_;
    TPlanView view_;
    std::vector<TPlanPile> records_;
    Extended ex_ = 0, ey_ = 0;
};

// Printer resolution class of a page's pixels per tenth (or eighth) of it.
int ResolutionClass(int pixels);

}  // namespace vortn
