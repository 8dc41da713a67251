// The 3D view's window: activation, options, toolbar operations, mouse,
// scene set-up and the drawing of the cap, piles, soil slabs and axes.
#include "block_view.h"

#include "exceptions.h"
#include "gl_window.h"
#include "grid_table.h"
#include "program_data.h"
#include "project_holder.h"
#include "ui_DlgBlock.h"
#include "message_box.h"
#include "view_support.h"

#include <QCloseEvent>
#include <QOpenGLContext>
#include <QPrinter>
#include <QTimer>

#include <cmath>

namespace vortn {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr int kSegments = 32;
constexpr unsigned kRgb8 = 0x8051;  // GL_RGB8
}  // namespace

TDlgBlock::TDlgBlock(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::DlgBlock>()), matrix_(IdentityMatrix()) {
    ui_->setupUi(this);
    setWindowTitle(QStringLiteral("Vort-N, 3D-View"));
    setAttribute(Qt::WA_DeleteOnClose);
    TglWindow* gl = GL();  // its properties come from the form
    // The picture is opaque: translucent soil slabs must not make the
    // window's own pixels translucent where the picture is put on the screen.
    gl->setTextureFormat(kRgb8);
    gl->OnPaint = [this](TglWindow* w) { glRender(w); };
    gl->OnMouseDown = [this](TglWindow*, TglWindow::TMouseButton b, TglWindow::TShiftState s, int x, int y) {
        GLMouseDown(b, s, x, y);
    };
    gl->OnMouseUp = [this](TglWindow*, TglWindow::TMouseButton b, TglWindow::TShiftState s, int x, int y) {
        GLMouseUp(b, s, x, y);
    };
    gl->OnMouseMove = [this](TglWindow*, TglWindow::TShiftState s, int x, int y) { GLMouseMove(s, x, y); };
    gl->setMouseTracking(true);
    pageSetup_.SetOptions({TPageSetupFlags::poDefaultMinMargins, TPageSetupFlags::poHundredthsOfMillimeters});
    pageSetup_.SetMarginLeft(1000);
    pageSetup_.SetMarginTop(1000);
    pageSetup_.SetMarginRight(1000);
    pageSetup_.SetMarginBottom(1000);
    ConnectViewActivation(this, [this] { FormActivate(); });
}

TDlgBlock::~TDlgBlock() = default;

TProjectHolder* TDlgBlock::Holder() const { return holder_ ? holder_ : TProjectHolder::Main(); }
TglWindow* TDlgBlock::GL() const { return ui_->GL; }

// ---- activation, options and the main window's operations ----

void TDlgBlock::FormActivate() {
    FitGLToClient();
    RefreshModel();
    if (!activated_) {
        activated_ = true;
        const bool current = GL()->MakeCurrent();
        GL()->RequestSetUp();
        GL()->SetupFontLists();
        if (current) GL()->DoneCurrent();
    }
    RedrawFigure();
}

void TDlgBlock::RefreshModel() {
    TProjectHolder* h = Holder();
    if (!h) return;
    QByteArray inputs = BlockModelInputs(*h);
    if (modelBuilt_ && inputs == modelInputs_) return;
    const TBlockGeometry before = geometry_;
    geometry_ = GetMaxDims(*h);
    if (!modelBuilt_) {
        nav_.View.PanX = -geometry_.cx;
        nav_.View.PanY = -geometry_.cy;
        nav_.View.PanZ = 0;
    } else {
        // The user's pan stays relative to the model's centre.
        nav_.View.PanX += before.cx - geometry_.cx;
        nav_.View.PanY += before.cy - geometry_.cy;
    }
    modelInputs_ = std::move(inputs);
    modelBuilt_ = true;
    GL()->RequestSetUp();
}

void TDlgBlock::RedrawFigure() {
    GL()->RequestRedraw();
    GL()->update();
}

void TDlgBlock::RedrawComplete() {
    GL()->RequestSetUp();
    RedrawFigure();
}

void TDlgBlock::ToggleOption(bool& flag) {
    flag = !flag;
    RedrawComplete();
}

void TDlgBlock::ShowSoilLayersOption() { ToggleOption(ShowSoilLayers); }
void TDlgBlock::ShowPileCapOption() { ToggleOption(ShowPileCap); }
void TDlgBlock::ShowPileCapBlockOption() { ToggleOption(ShowPileCap); }
void TDlgBlock::ShowAllPilesOption() { ToggleOption(ShowAllPiles); }
void TDlgBlock::ShowPileNumbersOption() { ToggleOption(ShowPileNumbers); }
void TDlgBlock::ShowSoilLayerLabelsOption() { ToggleOption(ShowSoilLayerLabels); }
void TDlgBlock::ShowSoilLayerDepthLabelsOption() { ToggleOption(ShowSoilLayerDepthLabels); }
void TDlgBlock::ShowFootingAreasOption() { ToggleOption(ShowFootingAreas); }
void TDlgBlock::ShowFootingAreasLabelsOption() { ToggleOption(ShowFootingAreasLabels); }
void TDlgBlock::ShowSettlementPointsOption() { ToggleOption(ShowSettlementPoints); }

void TDlgBlock::SetView(int n) {
    nav_.SetView(n);
    RedrawFigure();
}

void TDlgBlock::ReverseView() {
    nav_.ReverseView();
    RedrawFigure();
}

void TDlgBlock::Zooming(Extended f) {
    nav_.Zooming(f);
    RedrawFigure();
}

void TDlgBlock::RestartViewButtonClick() {
    nav_.Restart(geometry_.cx, geometry_.cy);
    RedrawFigure();
}

void TDlgBlock::SetMouseMode(int mode, bool zoomWindow) {
    nav_.MouseMode = mode;
    nav_.ZoomWindowMode = zoomWindow;
}

void TDlgBlock::FitGLToClient() {
    if (GL()->size() != size()) GL()->SetSize(width(), height());
}

void TDlgBlock::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitGLToClient();
    GL()->RequestSetUp();
    RedrawFigure();
}

void TDlgBlock::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        if (OnFormClose) OnFormClose();
    }
    event->accept();
}

// ---- mouse ----

void TDlgBlock::GLMouseDown(int button, unsigned char shift, int x, int y) {
    if (nav_.MouseDown(button == TglWindow::mbLeft, shift, x, y)) RedrawFigure();
}

void TDlgBlock::GLMouseMove(unsigned char shift, int x, int y) {
    if (nav_.MouseMove(shift, x, y, matrix_, GL()->GetWidth(), GL()->GetHeight())) RedrawFigure();
}

void TDlgBlock::GLMouseUp(int button, unsigned char shift, int x, int y) {
    if (nav_.MouseUp(button == TglWindow::mbLeft, shift, x, y, matrix_, GL()->GetWidth(), GL()->GetHeight()))
        RedrawFigure();
}

// ---- scene ----

void TDlgBlock::glRender(TglWindow* gl) {
    try {
        RefreshModel();  // the project may have changed since the last paint
        // Lists compiled on another context (or on one now gone) are not here.
        if (listsContext_ != QOpenGLContext::currentContext()) gl->RequestSetUp();
        if (!gl->CheckAndMarkSetUp()) {
            glSetupRC();
            listsContext_ = QOpenGLContext::currentContext();
        }
        gl->CheckAndClearRedraw();
        DrawFigure();
    } catch (const Exception& e) {
        // Shown once the paint is over (no message box inside a paint), and
        // only once while every repaint meets the same failure.
        gl->RequestSetUp();
        if (e.Message() != paintError_) {
            paintError_ = e.Message();
            QTimer::singleShot(0, this, [this, text = paintError_] { InformationBox(this, text); });
        }
        return;
    }
    paintError_.clear();
}

void TDlgBlock::SetOrtho() {
    const TOrthoBox b = OrthoBox(GL()->GetWidth(), GL()->GetHeight(), geometry_.MaxCoordinate, geometry_.MaxPlan);
    GL()->Ortho(b.left, b.right, b.bottom, b.top, b.zNear, b.zFar);
}

void TDlgBlock::glSetupRC() {
    TglWindow* gl = GL();
    gl->GetError();
    gl->SetClearColor(1, 1, 1, 1);
    gl->Clear(TglWindow::GlColorBufferBit());
    gl->MatrixMode(TglWindow::GlProjection());
    gl->LoadIdentity();
    SetOrtho();
    gl->MatrixMode(TglWindow::GlModelView());
    nav_.View.FitScale = FitScaleFor(width(), height(), geometry_.dx, geometry_.MaxCoordinate, nav_.View.FitScale);
    if (ImmediateMode) return;
    // A list is closed again whatever happens while it is compiled.
    struct ListGuard {
        TglWindow* gl;
        bool open = false;
        ~ListGuard() {
            if (open) gl->EndList();
        }
    } guard{gl};
    const std::pair<unsigned, void (TDlgBlock::*)()> lists[] = {{1, &TDlgBlock::DrawPileCap},
                                                                {2, &TDlgBlock::DrawAllPiles},
                                                                {3, &TDlgBlock::DrawSoilLayers},
                                                                {4, &TDlgBlock::DrawLoading}};
    for (const auto& [list, draw] : lists) {
        gl->NewList(list, TglWindow::GlCompile());
        guard.open = true;
        (this->*draw)();
        guard.open = false;
        gl->EndList();
    }
}

void TDlgBlock::SaveMatrix() { GL()->GetMatrix(TglWindow::GlModelViewMatrix(), matrix_); }

void TDlgBlock::DrawFigure() {
    TglWindow* gl = GL();
    const TBlockViewState& v = nav_.View;
    gl->Clear(TglWindow::GlColorBufferBit() | TglWindow::GlDepthBufferBit());
    gl->MatrixMode(TglWindow::GlModelView());
    gl->LoadIdentity();
    gl->ApplyShadeModel(TglWindow::GlSmoothShading());
    gl->Enable(TglWindow::GlDepthTest());
    gl->Enable(TglWindow::GlCullFace());

    gl->PushMatrix();
    gl->Rotate(-90, 1, 0, 0);  // the model's z axis points up on the screen
    SaveMatrix();
    gl->PushMatrix();
    gl->Rotate(double(v.RotationX), 1, 0, 0);
    gl->Rotate(double(v.RotationY), 0, 1, 0);
    gl->Rotate(double(v.RotationZ), 0, 0, 1);
    SaveMatrix();
    gl->PushMatrix();
    gl->Enable(TglWindow::GlDepthTest());
    gl->Scale(double(v.ZoomFactor), double(v.ZoomFactor), double(v.ZoomFactor));
    SaveMatrix();
    gl->Scale(double(v.FitScale), double(v.FitScale), double(v.FitScale));
    SaveMatrix();
    gl->Translate(double(v.PanX), 0, 0);
    gl->Translate(0, double(v.PanY), 0);
    gl->Translate(0, 0, double(v.PanZ));
    SaveMatrix();
    if (ImmediateMode) {
        DrawPileCap();
        DrawAllPiles();
        DrawSoilLayers();
        DrawLoading();
    } else {
        for (unsigned list = 1; list <= 4; ++list) gl->CallList(list);
    }
    DrawSoilLayerLabels();
    gl->Disable(TglWindow::GlDepthTest());
    if (ShowAxes) DrawAxes();
    gl->PopMatrix();
    gl->PopMatrix();
    gl->PopMatrix();
    if (nav_.SelectionBoxVisible) DrawSelectionBox();
}

void TDlgBlock::DrawPileCap() {
    TProjectHolder* h = Holder();
    if (!ShowPileCap || !h) return;
    const TProgramData& p = h->Project();
    TglWindow* gl = GL();
    const Extended t = geometry_.CapThickness;
    Extended zc = geometry_.CapEmbedded ? -t / 2 : t / 2;
    if (p.FoundationType() == TFoundationType::Stratum && p.BaseDepth > 0) zc -= p.BaseDepth;
    gl->Translate(0, 0, double(zc));
    gl->SetColor(0.25, 0.25, 0.25, 1);
    if (p.CircularFlag == 1) {
        DrawSolidCylinder3DZ(p.Radius, t);
        gl->SetColor(1, 0.5, 0, 1);
        DrawCylinder3DZ(p.Radius, t);
    } else {
        DrawSolidPara3D(p.Length, p.Width, t);
        gl->SetColor(1, 0.5, 0, 1);
        DrawPara3D(p.Length, p.Width, t);
    }
    gl->Translate(0, 0, double(-zc));
}

void TDlgBlock::DrawAllPiles() {
    TProjectHolder* h = Holder();
    if (!ShowAllPiles || !h || h->Project().FoundationType() != TFoundationType::Pile) return;
    TglWindow* gl = GL();
    const TGridTable& coord = h->Pilecoord();
    const TGridTable& sections = h->PileData();
    const Extended t = geometry_.CapThickness;
    if (geometry_.CapEmbedded) gl->Translate(0, 0, double(-t));  // heads at the cap's bottom
    for (int k = 0; k < coord.RowCount(); ++k) {
        const double x = double(coord.Cells(0, k).AsFloat()), y = double(coord.Cells(1, k).AsFloat());
        const double a = double(coord.Cells(2, k).AsFloat());
        const int plane = coord.Cells(3, k).AsInteger();
        gl->Translate(x, y, 0);
        double rx = 0, ry = 0;
        if (a != 0 && plane == 1) ry = -a;
        if (a != 0 && plane == 2) rx = a;
        if (ry != 0) gl->Rotate(ry, 0, 1, 0);
        if (rx != 0) gl->Rotate(rx, 1, 0, 0);
        Extended top = 0;
        const int n = sections.RowCount();
        for (int i = 0; i < n; ++i) {
            const Extended l = sections.Cells(0, i).AsFloat();
            const Extended sx = sections.Cells(1, i).AsFloat(), sy = sections.Cells(2, i).AsFloat();
            const Extended r = std::sqrt(sx * sx + sy * sy);
            const double centre = double(top - l / 2);
            gl->Translate(0, 0, centre);
            gl->SetColor(0.5, 0.5, 0.5, 1);
            DrawShadeCylinderZ(r, l);
            if (i == 0) {
                gl->Translate(0, 0, double(l / 2));
                DrawShadeCircleZ(r);
                gl->SetColor(1, 0.5, 0, 1);
                DrawCircleZ(r);
                gl->Translate(0, 0, double(-l / 2));
            }
            if (i == n - 1) {
                gl->Translate(0, 0, double(-l / 2));
                gl->Rotate(180, 1, 0, 0);
                gl->SetColor(0.5, 0.5, 0.5, 1);
                DrawShadeCircleZ(r);
                gl->SetColor(1, 0.5, 0, 1);
                DrawCircleZ(r);
                gl->Rotate(-180, 1, 0, 0);
                gl->Translate(0, 0, double(l / 2));
            }
            gl->Translate(0, 0, -centre);
            top -= l;
        }
        if (rx != 0) gl->Rotate(-rx, 1, 0, 0);
        if (ry != 0) gl->Rotate(-ry, 0, 1, 0);
        gl->Translate(-x, -y, 0);
    }
    if (geometry_.CapEmbedded) gl->Translate(0, 0, double(t));
    if (ShowPileNumbers) {
        gl->Disable(TglWindow::GlDepthTest());
        gl->SetColor(1, 0, 0, 1);
        const double raise = geometry_.CapEmbedded ? 0.0 : double(t);
        gl->Translate(0, 0, raise);
        for (int k = 0; k < coord.RowCount(); ++k)
            gl->TextOut3D(QString::number(k + 1), double(coord.Cells(0, k).AsFloat()),
                          double(coord.Cells(1, k).AsFloat()), 0);
        gl->Enable(TglWindow::GlDepthTest());
        gl->Translate(0, 0, -raise);
    }
}

void TDlgBlock::SetColorLayer(int index, double alpha) {
    const auto c = LayerColor(index, alpha);
    GL()->SetColor(c[0], c[1], c[2], c[3]);
}

void TDlgBlock::DrawSoilLayers() {
    TProjectHolder* h = Holder();
    if (!ShowSoilLayers || !h) return;
    TglWindow* gl = GL();
    const TBlockGeometry& g = geometry_;
    gl->Enable(TglWindow::GlBlend());
    gl->BlendFunc(TglWindow::GlSrcAlpha(), TglWindow::GlOneMinusSrcAlpha());
    for (const TSoilSlab& s : SoilSlabs(*h, g.CapHalfSize)) {
        SetColorLayer(SlabColorIndex(s), 0.5);
        const double mx = double((g.xmin + g.xmax) / 2), my = double((g.ymin + g.ymax) / 2);
        const double mz = double(s.z0 - s.d / 2);
        gl->Translate(mx, my, mz);
        DrawPara3D(2 * g.dx, 2 * g.dy, s.d);
        // The top slab shares the ground plane with the cap's face: pushed
        // back a little, it never shows through the cap in stripes.
        gl->Enable(TglWindow::GlPolygonOffsetFill());
        gl->PolygonOffset(1, 1);
        DrawSolidPara3D(2 * g.dx, 2 * g.dy, s.d);
        gl->Disable(TglWindow::GlPolygonOffsetFill());
        gl->Translate(-mx, -my, -mz);
    }
    gl->Disable(TglWindow::GlBlend());
}

void TDlgBlock::DrawSoilLayerLabels() {
    TProjectHolder* h = Holder();
    if (!ShowSoilLayers || !h || !(ShowSoilLayerDepthLabels || ShowSoilLayerLabels)) return;
    TglWindow* gl = GL();
    const TBlockGeometry& g = geometry_;
    TMatrix16 projection, modelView;
    std::array<int, 4> viewport{};
    gl->GetMatrix(TglWindow::GlProjectionMatrix(), projection);
    gl->GetMatrix(TglWindow::GlModelViewMatrix(), modelView);
    gl->GetViewport(viewport);
    struct Text {
        QString text;
        Extended x, y, z;
    };
    // Each column stands on one vertical line of the model.
    auto draw = [&](const std::vector<Text>& column) {
        std::vector<Extended> heights;
        for (const Text& t : column) heights.push_back(WindowY(projection, modelView, viewport, t.x, t.y, t.z));
        const std::vector<int> shifts = StackedLabelShifts(heights, gl->FontLineHeight());
        for (size_t i = 0; i < column.size(); ++i)
            gl->TextOut3D(column[i].text, double(column[i].x), double(column[i].y), double(column[i].z), 0, shifts[i]);
    };
    const std::vector<TSoilSlab> slabs = SoilSlabs(*h, g.CapHalfSize);
    if (ShowSoilLayerDepthLabels) {
        const Extended x = g.xmin - g.dx / 2, y = g.ymin - g.dy / 2;
        std::vector<Text> column;
        for (const TSoilSlab& s : slabs) {
            column.push_back({GetValueLabel(-s.z0), x, y, s.z0});
            if (s.last) column.push_back({QStringLiteral("Bottom"), x, y, s.z0 - s.d});
        }
        gl->Disable(TglWindow::GlDepthTest());
        gl->SetColor(0, 0, 0, 1);
        draw(column);
        gl->Enable(TglWindow::GlDepthTest());
    }
    if (ShowSoilLayerLabels) {
        // Seen through the translucent slabs, as the depths are: with the
        // depth test the faces in front hid every name but the top one.
        const Extended x = g.xmax + g.dx / 2, y = g.ymax + g.dy / 2;
        std::vector<Text> column;
        for (const TSoilSlab& s : slabs) column.push_back({s.label, x, y, s.z0 - s.d / 2});
        gl->Disable(TglWindow::GlDepthTest());
        gl->SetColor(0, 0, 0, 1);
        draw(column);
        gl->Enable(TglWindow::GlDepthTest());
    }
}

void TDlgBlock::DrawAxes() {
    TglWindow* gl = GL();
    const Extended s = nav_.View.ZoomFactor * nav_.View.FitScale;
    const Extended len = s > 0 ? 80 / s : 80;  // 80 pixels on the screen at any zoom
    gl->SetColor(0, 0, 1, 1);
    DrawLine({0, 0, 0}, {len, 0, 0});
    gl->TextOut3D(QStringLiteral("X"), double(len), 0, 0);
    gl->SetColor(0, 1, 0, 0);
    DrawLine({0, 0, 0}, {0, len, 0});
    gl->TextOut3D(QStringLiteral("Y"), 0, double(len), 0);
    gl->SetColor(1, 0, 0, 0);
    DrawLine({0, 0, 0}, {0, 0, -len});
    gl->TextOut3D(QStringLiteral("Z"), 0, 0, double(-len));
}

void TDlgBlock::DrawSelectionBox() {
    TglWindow* gl = GL();
    const double w2 = GL()->GetWidth() / 2.0, h2 = GL()->GetHeight() / 2.0;
    const double X0 = nav_.X0, Y0 = nav_.Y0, X1 = nav_.X1, Y1 = nav_.Y1;
    gl->SetColor(0, 1, 0, 1);
    gl->BeginPrimitive(TglWindow::GlLineStrip());
    gl->Vertex(X0 - w2, h2 - Y0, 0);
    gl->Vertex(X0 - w2, h2 - Y1, 0);
    gl->Vertex(X1 - w2, h2 - Y1, 0);
    gl->Vertex(X1 - w2, h2 - Y0, 0);
    gl->Vertex(X0 - w2, h2 - Y0, 0);
    gl->EndPrimitive();
}

// ---- primitives ----
// Every face winds counter-clockwise seen from outside, so that face culling
// keeps the outside of a solid.

void TDlgBlock::DrawSolidRect(const TVec3& a, const TVec3& b, const TVec3& c, const TVec3& d) {
    TglWindow* gl = GL();
    gl->BeginPrimitive(TglWindow::GlTriangleFan());
    gl->Vertex(double((a.x + b.x + c.x + d.x) / 4), double((a.y + b.y + c.y + d.y) / 4),
               double((a.z + b.z + c.z + d.z) / 4));
    for (const TVec3* p : {&a, &b, &c, &d, &a}) gl->Vertex(double(p->x), double(p->y), double(p->z));
    gl->EndPrimitive();
}

namespace {
using TAxis = TDlgBlock::TAxis;
using TVec3 = TDlgBlock::TVec3;

// The point at `at` across `normal`, at u and v along the other two axes.
TVec3 OnPlane(TAxis normal, Extended at, Extended u, Extended v) {
    switch (normal) {
        case TAxis::X:
            return {at, u, v};
        case TAxis::Y:
            return {u, at, v};
        default:
            return {u, v, at};
    }
}

// A face's corners from (-u, -v) through (+u, -v) in the plane's u and v;
// `mirrored` starts from (+u, -v) and runs the other way round.
std::array<TVec3, 4> FaceCorners(TAxis normal, Extended at, Extended lu, Extended lv, bool mirrored) {
    const Extended hu = mirrored ? -lu / 2 : lu / 2, hv = lv / 2;
    return {OnPlane(normal, at, -hu, -hv), OnPlane(normal, at, hu, -hv), OnPlane(normal, at, hu, hv),
            OnPlane(normal, at, -hu, hv)};
}

// The six faces of an lx x ly x lz box: across x, y and z, the plus side
// first.
void EachBoxFace(Extended lx, Extended ly, Extended lz,
                 const std::function<void(TAxis, Extended at, Extended lu, Extended lv, bool facingPlus)>& face) {
    const Extended l[] = {lx, ly, lz};
    for (TAxis normal : {TAxis::X, TAxis::Y, TAxis::Z}) {
        const int i = int(normal);
        const Extended lu = l[i == 0 ? 1 : 0], lv = l[i == 2 ? 1 : 2];
        face(normal, l[i] / 2, lu, lv, true);
        face(normal, -l[i] / 2, lu, lv, false);
    }
}

void CircleVertices(TglWindow* gl, Extended r) {
    for (int k = 0; k <= kSegments; ++k) {
        const double a = 2 * kPi * k / kSegments;
        gl->Vertex(double(r) * std::cos(a), double(r) * std::sin(a), 0);
    }
}
}  // namespace

void TDlgBlock::DrawSolidRect(TAxis normal, Extended at, Extended lu, Extended lv, bool facingPlus) {
    // Seen from +y, (x, z) turns the other way than (y, z) from +x and
    // (x, y) from +z do.
    const std::array<TVec3, 4> c = FaceCorners(normal, at, lu, lv, facingPlus == (normal == TAxis::Y));
    DrawSolidRect(c[0], c[1], c[2], c[3]);
}

void TDlgBlock::DrawSolidPara3D(Extended lx, Extended ly, Extended lz) {
    EachBoxFace(lx, ly, lz, [this](TAxis normal, Extended at, Extended lu, Extended lv, bool facingPlus) {
        DrawSolidRect(normal, at, lu, lv, facingPlus);
    });
}

void TDlgBlock::DrawRect(TAxis normal, Extended at, Extended lu, Extended lv) {
    const std::array<TVec3, 4> c = FaceCorners(normal, at, lu, lv, false);
    TglWindow* gl = GL();
    gl->BeginPrimitive(TglWindow::GlLineStrip());
    for (const TVec3* p : {&c[0], &c[1], &c[2], &c[3], &c[0]}) gl->Vertex(double(p->x), double(p->y), double(p->z));
    gl->EndPrimitive();
}

void TDlgBlock::DrawPara3D(Extended lx, Extended ly, Extended lz) {
    EachBoxFace(lx, ly, lz,
                [this](TAxis normal, Extended at, Extended lu, Extended lv, bool) { DrawRect(normal, at, lu, lv); });
}

void TDlgBlock::DrawLine(const TVec3& a, const TVec3& b) {
    TglWindow* gl = GL();
    gl->BeginPrimitive(TglWindow::GlLines());
    gl->Vertex(double(a.x), double(a.y), double(a.z));
    gl->Vertex(double(b.x), double(b.y), double(b.z));
    gl->EndPrimitive();
}

void TDlgBlock::TurnedTo(TAxis axis, const std::function<void()>& drawAboutZ) {
    if (axis == TAxis::Z) {
        drawAboutZ();
        return;
    }
    GL()->PushMatrix();
    GL()->Rotate(90, axis == TAxis::Y ? 1 : 0, axis == TAxis::X ? 1 : 0, 0);
    drawAboutZ();
    GL()->PopMatrix();
}

void TDlgBlock::DrawCircle(TAxis axis, Extended r) {
    TurnedTo(axis, [this, r] {
        TglWindow* gl = GL();
        gl->BeginPrimitive(TglWindow::GlLineStrip());
        CircleVertices(gl, r);
        gl->EndPrimitive();
    });
}

void TDlgBlock::DrawShadeCircle(TAxis axis, Extended r) {
    TurnedTo(axis, [this, r] {
        TglWindow* gl = GL();
        gl->BeginPrimitive(TglWindow::GlTriangleFan());
        gl->Vertex(0, 0, 0);
        CircleVertices(gl, r);
        gl->EndPrimitive();
    });
}

void TDlgBlock::DrawShadeCylinder(TAxis axis, Extended r, Extended l) {
    TurnedTo(axis, [this, r, l] {
        TglWindow* gl = GL();
        const double R = double(r), top = double(l / 2);
        for (int k = 0; k < kSegments; ++k) {
            const double a0 = 2 * kPi * k / kSegments, a1 = 2 * kPi * (k + 1) / kSegments;
            gl->BeginPrimitive(TglWindow::GlTriangleFan());
            gl->Vertex(R * std::cos(a0), R * std::sin(a0), top);
            gl->Vertex(R * std::cos(a0), R * std::sin(a0), -top);
            gl->Vertex(R * std::cos(a1), R * std::sin(a1), -top);
            gl->Vertex(R * std::cos(a1), R * std::sin(a1), top);
            gl->EndPrimitive();
        }
    });
}

void TDlgBlock::DrawSolidCylinder3D(TAxis axis, Extended r, Extended l) {
    TurnedTo(axis, [this, r, l] {
        TglWindow* gl = GL();
        DrawShadeCylinderZ(r, l);
        gl->Translate(0, 0, double(l / 2));
        DrawShadeCircleZ(r);
        gl->Translate(0, 0, double(-l));
        gl->Rotate(180, 1, 0, 0);
        DrawShadeCircleZ(r);
        gl->Rotate(-180, 1, 0, 0);
        gl->Translate(0, 0, double(l / 2));
    });
}

void TDlgBlock::DrawCylinder3D(TAxis axis, Extended r, Extended l) {
    TurnedTo(axis, [this, r, l] {
        TglWindow* gl = GL();
        gl->Translate(0, 0, double(l / 2));
        DrawCircleZ(r);
        gl->Translate(0, 0, double(-l));
        DrawCircleZ(r);
        gl->Translate(0, 0, double(l / 2));
    });
}

}  // namespace vortn
