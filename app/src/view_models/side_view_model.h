// The soil-pile profile of the side views: the model window (what the
// project spans), the view window (the model window corrected for the
// drawing's aspect ratio), the pile outlines and the mappings from the
// vertical plane (horizontal coordinate, depth downwards) to pixels.
#pragma once

#include <QString>

#include <array>
#include <vector>

namespace vortn {

using Extended = long double;
class TProjectHolder;
class TProgramData;

enum class TSidePlane { XZ, YZ };

struct TProfilePoint {
    Extended x = 0;  // horizontal coordinate
    Extended z = 0;  // depth, positive downwards
};

// Corners of one pile (or of the footing block): P0 top-left, P1 top-right,
// P2 bottom-left, P3 bottom-right.
struct TPileRecord {
    std::array<TProfilePoint, 4> P;
};

struct TProfileWindow {
    Extended xmin = -10, xmax = 10, zmin = 0, zmax = 10;
    bool operator==(const TProfileWindow&) const = default;
};

// Where the profile puts the ground and the bed rock, as depths below the top
// of the footing (or of the pile heads, the column). A footing's base lies
// its embedment below the ground; an embedded pile cap has its top at the
// ground.
struct TProfileLevels {
    Extended ground = 0;
    bool rock = false;  // a stratum: the rigid base is drawn
    Extended rockDepth = 0;
};
TProfileLevels ProfileLevels(TProjectHolder& holder);

class TSideViewModel {
public:
    explicit TSideViewModel(TSidePlane plane) : plane_(plane) {}

    TSidePlane Plane() const { return plane_; }
    const TProfileWindow& ModelWindow() const { return model_; }
    void SetModelWindow(const TProfileWindow& w) { model_ = w; }
    const TProfileWindow& ViewWindow() const { return view_; }
    const std::vector<TPileRecord>& Records() const { return records_; }
    // The pile cap of a pile group whose cap has a size, above the pile heads.
    bool HasCap() const { return hasCap_; }
    const TPileRecord& Cap() const { return cap_; }
    void ClearRecords() {
        records_.clear();
        hasCap_ = false;
    }

    // Drawable while both spans of the model window are non-zero.
    bool GetNoDraw() const;

    // Rebuilds the records from the project and tables and stores the footing
    // type code and the summed pile length in the project. False when table D
    // has no rows (nothing built). A table row the footing needs that does not
    // exist raises EListError; the records built so far are dropped.
    bool BuildRecords(TProjectHolder& holder);
    // Fits the model window around the records, the cap and the levels of
    // the last build (nothing without records). A fit without extent in
    // either direction is not taken: the window stays.
    void Fit(int footingType, Extended summedPileLength);
    // The view window for a drawing of width x height; a drawing without area
    // keeps the view window it had.
    void Aspect(Extended width, Extended height);

    // Window mapping (client width x height).
    int PixelX(Extended x, int width) const;
    int PixelY(Extended z, int height) const;
    Extended WorldX(int px, int width) const;
    Extended WorldZ(int py, int height) const;
    // Page mapping: the depth range fills 80% of the page height below a
    // tenth of it.
    int PageX(Extended x, int pageWidth) const;
    int PageY(Extended z, int pageHeight) const;

private:
    // The footing's or cap's horizontal size of a rectangle in this plane.
    Extended CapWidth(const TProgramData& p) const;

    TSidePlane plane_;
    TProfileWindow model_;
    TProfileWindow view_;
    std::vector<TPileRecord> records_;
    bool hasCap_ = false;
    TPileRecord cap_;
    TProfileLevels levels_;
};

}  // namespace vortn
