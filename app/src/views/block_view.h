// The 3D view: an MDI child with an OpenGL picture of the project's
// foundation (the footing or pile cap, the piles with their batter, the soil
// layers as translucent slabs, axes and labels), navigated from the main
// window's 3D toolbar and the mouse, saved as a bitmap and printed.
#pragma once

#include "block_model.h"
#include "child_form.h"
#include "page_setup.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QOpenGLContext;
class QPrinter;
namespace Ui {
class DlgBlock;
}

namespace vortn {

class TglWindow;
class TProjectHolder;

class TDlgBlock : public QWidget, public TChildForm {
    Q_OBJECT

public:
    explicit TDlgBlock(QWidget* parent = nullptr);
    ~TDlgBlock() override;

    void SetHolder(TProjectHolder* holder) { holder_ = holder; }
    TProjectHolder* Holder() const;
    TglWindow* GL() const;

    // Display options.
    bool ShowAxes = true;
    bool ShowSoilLayers = true;
    bool ShowPileCap = true;
    bool ShowAllPiles = true;
    bool ShowPileNumbers = false;
    bool ShowSoilLayerLabels = false;
    bool ShowSoilLayerDepthLabels = false;
    bool ShowFootingAreas = true;
    bool ShowFootingAreasLabels = false;
    bool ShowSettlementPoints = false;
    bool ShowLoading = false;
    void ShowSoilLayersOption();
    void ShowPileCapOption();
    void ShowPileCapBlockOption();
    void ShowAllPilesOption();
    void ShowPileNumbersOption();
    void ShowSoilLayerLabelsOption();
    void ShowSoilLayerDepthLabelsOption();
    void ShowFootingAreasOption();
    void ShowFootingAreasLabelsOption();
    void ShowSettlementPointsOption();

    // Model and view state.
    const TBlockGeometry& Geometry() const { return geometry_; }
    TBlockNavigation& Navigation() { return nav_; }
    const TBlockViewState& ViewState() const { return nav_.View; }
    const TMatrix16& SavedMatrix() const { return matrix_; }
    bool ImmediateMode = false;
    bool Activated() const { return activated_; }

    // Called by the main window.
    void SetView(int n);
    void ReverseView();
    void Zooming(Extended f);
    void RestartViewButtonClick();
    void SetMouseMode(int mode, bool zoomWindow);
    void SaveBitmapButtonClick();
    void PrintButtonClick();
    void PageSetupButtonClick();
    TPageSetupDialog& PageSetupDialog() { return pageSetup_; }

    // Told when the window closes (the main window hides its 3D toolbar).
    std::function<void()> OnFormClose;

    void FormActivate();
    // TChildForm: the view rebuilds its picture and holds no entries.
    void ReloadChild() override { FormActivate(); }
    bool CommitChild() override { return true; }
    void RedrawFigure();
    void RedrawComplete();

    // The picture drawn off-screen at the view's size, 24 bits a pixel. False,
    // with a message, when no picture can be made.
    bool RenderBitmap(QImage& image);
    // Writes the off-screen picture as a 24-bit BMP; false, with a message,
    // when it cannot be made or written.
    bool SaveBitmap(const QString& fileName);
    // Prints the off-screen picture within the page set-up margins.
    bool PrintTo(QPrinter& printer);

    // Scene set-up and drawing, on the current context.
    void glSetupRC();
    void DrawFigure();

    // Primitives, centred at the origin; faces wind outwards. Each is
    // written once: the axis it stands on is a parameter.
    enum class TAxis { X, Y, Z };
    struct TVec3 {
        Extended x, y, z;
    };
    void DrawSolidPara3D(Extended lx, Extended ly, Extended lz);
    void DrawPara3D(Extended lx, Extended ly, Extended lz);
    // One face across `normal` at `at`, lu by lv along the other two axes
    // (in x, y, z order), facing the plus or the minus side of `normal`.
    void DrawSolidRect(TAxis normal, Extended at, Extended lu, Extended lv, bool facingPlus);
    void DrawSolidRect(const TVec3& a, const TVec3& b, const TVec3& c, const TVec3& d);
    void DrawRect(TAxis normal, Extended at, Extended lu, Extended lv);
    void DrawLine(const TVec3& a, const TVec3& b);
    // Circles and cylinders about `axis`: the forms about z, turned 90
    // degrees about y for x and about x for y.
    void DrawCircle(TAxis axis, Extended r);
    void DrawShadeCircle(TAxis axis, Extended r);
    void DrawShadeCylinder(TAxis axis, Extended r, Extended l);
    void DrawSolidCylinder3D(TAxis axis, Extended r, Extended l);
    void DrawCylinder3D(TAxis axis, Extended r, Extended l);
    // The named forms: the rectangles of each axis, the circles and
    // cylinders about z.
    void DrawSolidRectX(Extended x, Extended ly, Extended lz) { DrawSolidRect(TAxis::X, x, ly, lz, true); }
    void DrawSolidRectX1(Extended x, Extended ly, Extended lz) { DrawSolidRect(TAxis::X, x, ly, lz, false); }
    void DrawSolidRectY(Extended y, Extended lx, Extended lz, bool facingPlus) {
        DrawSolidRect(TAxis::Y, y, lx, lz, facingPlus);
    }
    void DrawSolidRectZ(Extended z, Extended lx, Extended ly, bool facingPlus) {
        DrawSolidRect(TAxis::Z, z, lx, ly, facingPlus);
    }
    void DrawRectX(Extended x, Extended ly, Extended lz) { DrawRect(TAxis::X, x, ly, lz); }
    void DrawRectY(Extended y, Extended lx, Extended lz) { DrawRect(TAxis::Y, y, lx, lz); }
    void DrawRectZ(Extended z, Extended lx, Extended ly) { DrawRect(TAxis::Z, z, lx, ly); }
    void DrawCircleZ(Extended r) { DrawCircle(TAxis::Z, r); }
    void DrawShadeCircleZ(Extended r) { DrawShadeCircle(TAxis::Z, r); }
    void DrawShadeCylinderZ(Extended r, Extended l) { DrawShadeCylinder(TAxis::Z, r, l); }
    void DrawSolidCylinder3DZ(Extended r, Extended l) { DrawSolidCylinder3D(TAxis::Z, r, l); }
    void DrawCylinder3DZ(Extended r, Extended l) { DrawCylinder3D(TAxis::Z, r, l); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void glRender(TglWindow* gl);
    void SetOrtho();
    void GLMouseDown(int button, unsigned char shift, int x, int y);
    void GLMouseMove(unsigned char shift, int x, int y);
    void GLMouseUp(int button, unsigned char shift, int x, int y);
    void ToggleOption(bool& flag);
    // The GL control fills the client, also before the form is shown.
    void FitGLToClient();
    void SaveMatrix();

    // Builds the extents again when the project's data changed since they
    // were built (also the first time), and then asks for new display lists.
    void RefreshModel();

    void DrawPileCap();
    void DrawAllPiles();
    void DrawSoilLayers();
    // The layers' names and depths, placed on the window at every paint so
    // that no two overprint.
    void DrawSoilLayerLabels();
    void DrawLoading() {}
    void DrawAxes();
    void DrawSelectionBox();
    void SetColorLayer(int index, double alpha);
    // Draws the form about z, turned to `axis`.
    void TurnedTo(TAxis axis, const std::function<void()>& drawAboutZ);

    std::unique_ptr<Ui::DlgBlock> ui_;
    TProjectHolder* holder_ = nullptr;
    TBlockGeometry geometry_;
    QByteArray modelInputs_;  // what geometry_ and the display lists were built from
    bool modelBuilt_ = false;
    TBlockNavigation nav_;
    TMatrix16 matrix_;
    bool activated_ = false;
    bool closing_ = false;
    QString paintError_;  // the failure the last paint met
    // The context the display lists were compiled on: another one (made
    // again when the window moved) compiles them anew.
    QPointer<QOpenGLContext> listsContext_;
    TPageSetupDialog pageSetup_;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace vortn
