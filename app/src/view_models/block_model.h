// The 3D view's model: the extents of the foundation and its cap, the
// orthographic view volume, the fit scale, the soil slabs with their colours,
// and the navigation state (views, pan, zoom, rotation, zoom window) driven
// by the toolbar and the mouse.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

namespace vortn {

using Extended = long double;
class TProjectHolder;

// Footing or pile cap and the extents of everything drawn.
struct TBlockGeometry {
    Extended CapThickness = 0;
    bool CapEmbedded = false;
    Extended CapHalfSize = 0;
    Extended xmin = 0, xmax = 0, ymin = 0, ymax = 0, zTop = 0, zBottom = 0;
    Extended dx = 0, dy = 0, dz = 0;
    Extended MaxCoordinate = 0, MaxPlan = 0;
    Extended cx = 0, cy = 0, cz = 0;  // model centre
};

// Extents and cap state of the holder's project.
TBlockGeometry GetMaxDims(TProjectHolder& holder);
// Everything of the project that the extents and the drawing read (fields
// and table cells); equal values draw the same picture.
QByteArray BlockModelInputs(TProjectHolder& holder);

// The view volume: one unit is one pixel of a w x h control.
struct TOrthoBox {
    Extended left = 0, right = 0, bottom = 0, top = 0, zNear = 0, zFar = 0;
};
TOrthoBox OrthoBox(int w, int h, Extended maxCoordinate, Extended maxPlan);

// The scale that fits the model into a W x H client. A factor whose divisor
// is 0 counts as 1; a factor at or below zero (a client smaller than the
// border) is not taken, and with no factor left the previous scale stays.
Extended FitScaleFor(int W, int H, Extended dx, Extended maxCoordinate, Extended previous);

// Colour of soil slab `index` (r, g, b, alpha).
std::array<double, 4> LayerColor(int index, double alpha);
// Depth labels: exponent form for tiny and huge values, else three decimals.
QString GetValueLabel(Extended v);

// One soil slab, top z0 (z up, 0 at the ground) and thickness d.
struct TSoilSlab {
    int kind = 1;  // 1 side soil, 2 below, 3 bottom
    int row = 0;   // row of the counting table (0-based)
    Extended z0 = 0, d = 0;
    int colorIndex = 0;  // the running index (before the kind 3 rule)
    QString label;       // the layer's name
    bool last = false;   // the bottom slab
};
// The slabs drawn for the holder's project, top to bottom; layers of no
// thickness are left out and take no colour.
std::vector<TSoilSlab> SoilSlabs(TProjectHolder& holder, Extended capHalfSize);
// The colour index a slab is drawn with.
int SlabColorIndex(const TSoilSlab& slab);

// Model-view matrix by columns: m[c * 4 + r].
using TMatrix16 = std::array<long double, 16>;
TMatrix16 IdentityMatrix();

// The window height (pixels, upwards) where a model point falls.
Extended WindowY(const TMatrix16& projection, const TMatrix16& modelView, const std::array<int, 4>& viewport,
                 Extended x, Extended y, Extended z);
// A column of labels, in drawing order, at the window heights y: each keeps
// at least one line below the one before it (a thin layer's label, or all
// of them when the column is seen end on from above). The downward shift of
// each, in pixels (0 or negative).
std::vector<int> StackedLabelShifts(const std::vector<Extended>& y, int lineHeight);

struct TBlockViewState {
    Extended FitScale = 1, ZoomFactor = 1;
    Extended PanX = 0, PanY = 0, PanZ = 0;
    Extended RotationX = 0, RotationY = 0, RotationZ = 0;  // degrees
};

// The toolbar operations and the mouse modes. Each operation answers
// whether the picture must be drawn again.
class TBlockNavigation {
public:
    enum : unsigned char { ssShift = 0x01, ssCtrl = 0x04, ssLeft = 0x08 };
    enum Mode { NoMode = 0, Pan = 1, Zoom = 2, Rotate = 3, ZoomWindow = 4 };

    TBlockViewState View;
    int MouseMode = NoMode;
    bool ZoomWindowMode = false;
    int MouseState = 0;  // 0 idle, 1 pressed, 3 released
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    bool SelectionBoxVisible = false;

    bool SetView(int n);
    void ReverseView() { View.RotationZ += 180; }
    // Factors at or below zero are refused (the zoom stays positive).
    void Zooming(Extended f);
    void Restart(Extended cx, Extended cy);

    // Pointer events on a w x h control; `m` is the model-view matrix of the
    // last drawing. Button: true for the left one.
    bool MouseDown(bool left, unsigned char shift, int x, int y);
    bool MouseMove(unsigned char shift, int x, int y, const TMatrix16& m, int w, int h);
    bool MouseUp(bool left, unsigned char shift, int x, int y, const TMatrix16& m, int w, int h);

private:
    void ApplyMode(unsigned char shift, int x, int y, const TMatrix16& m, int w, int h);
    Extended startPanX_ = 0, startPanY_ = 0, startPanZ_ = 0, startZoom_ = 1;
    Extended startRotX_ = 0, startRotY_ = 0, startRotZ_ = 0;
};

// Where the off-screen picture of a w x h view goes on a printer page: the
// page's printable area pageW x pageH at resolution lpx x lpy with physical
// offsets offX, offY, margins in units of which marginUnitsPerInch make an
// inch (1000: thousandths of an inch; 2540: hundredths of a millimetre, the
// unit the view's page set-up dialog shows). The rectangle is in
// printable-area coordinates and keeps the picture's aspect.
struct TPrintBox {
    int left = 0, top = 0, width = 0, height = 0;
};
TPrintBox PrintPlacement(int lpx, int lpy, int offX, int offY, int pageW, int pageH, int marginLeft, int marginTop,
                         int marginRight, int marginBottom, int w, int h, int marginUnitsPerInch = 1000);

}  // namespace vortn
