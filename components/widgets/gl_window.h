// TglWindow: a control that owns one OpenGL rendering context and hands it to
// its OnPaint event, with thin wrappers of the OpenGL 1.1 calls so that users
// need no OpenGL header. Fixed-function drawing through a compatibility
// context; fonts are bitmap display lists, one per character code.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "exceptions.h"

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

namespace vortn {

// Failures of the window binding and of drawing calls made at the wrong time.
VORTN_DECLARE_EXCEPTION(EOpenGL, Exception)

// The OpenGL 1.1 calls the window issues. The default forwards to the system
// libGL; a replacement records or checks the calls (tests, diagnostics).
class TglApi {
public:
    virtual ~TglApi() = default;
    // Whether calls made now reach a context.
    virtual bool HasCurrentContext();
    virtual unsigned GetError();
    virtual bool IsEnabled(unsigned cap);
    virtual void Enable(unsigned cap);
    virtual void Disable(unsigned cap);
    virtual void GetIntegerv(unsigned pname, int* values);
    virtual void GetDoublev(unsigned pname, double* values);
    virtual void ShadeModel(unsigned mode);
    virtual void Viewport(int x, int y, int width, int height);
    virtual void Flush();
    virtual void Finish();
    virtual void MatrixMode(unsigned mode);
    virtual void Clear(unsigned mask);
    virtual void Begin(unsigned mode);
    virtual void End();
    virtual void Rotated(double angle, double x, double y, double z);
    virtual void Translated(double x, double y, double z);
    virtual void Scaled(double x, double y, double z);
    virtual void Ortho(double left, double right, double bottom, double top, double zNear, double zFar);
    virtual void Vertex3d(double x, double y, double z);
    virtual void Color4f(float r, float g, float b, float a);
    virtual void ClearColor(float r, float g, float b, float a);
    virtual void LoadIdentity();
    virtual void PushMatrix();
    virtual void PopMatrix();
    virtual void BlendFunc(unsigned src, unsigned dst);
    virtual void PolygonOffset(float factor, float units);
    virtual void NewList(unsigned list, unsigned mode);
    virtual void EndList();
    virtual void CallList(unsigned list);
    virtual void RasterPos3f(float x, float y, float z);
    virtual void ListBase(unsigned base);
    virtual void CallLists(int count, unsigned type, const void* lists);
    // Compiles one glyph: pixel-store state for tightly packed rows, then glBitmap.
    virtual void GlyphBitmap(int width, int height, float xorig, float yorig, float xmove, float ymove,
                             const unsigned char* bits);
};

// The calls of the system's OpenGL library (glGetError answers 0 when no
// context is current, so stray error reads are harmless).
TglApi& SystemGlApi();

class TglWindow;

// A point or direction owned by the window; writing a coordinate repaints it.
class Tgl3Vector {
public:
    Tgl3Vector(TglWindow* owner, double x, double y, double z) : owner_(owner), x_(x), y_(y), z_(z) {}
    Tgl3Vector(const Tgl3Vector&) = delete;
    Tgl3Vector& operator=(const Tgl3Vector&) = delete;

    double X() const { return x_; }
    double Y() const { return y_; }
    double Z() const { return z_; }
    void SetX(double value);
    void SetY(double value);
    void SetZ(double value);
    TglWindow* Owner() const { return owner_; }

private:
    TglWindow* owner_;
    double x_, y_, z_;
};

// A light slot of the window: creating one registers it with its owner,
// destroying it takes it off the owner's list.
class TglLight {
    friend class TglWindow;

public:
    explicit TglLight(TglWindow* owner);
    ~TglLight();
    TglLight(const TglLight&) = delete;
    TglLight& operator=(const TglLight&) = delete;
    TglWindow* Owner() const { return owner_; }

private:
    TglWindow* owner_;
};

enum TGLShadeModel { glFlat, glSmooth };

// One character of a bitmap font as glBitmap takes it: rows bottom to top,
// most significant bit first, ceil(Width / 8) bytes a row.
struct TglGlyphBitmap {
    int Width = 0;
    int Height = 0;
    float XOrig = 0.0f;
    float YOrig = 0.0f;
    float XMove = 0.0f;
    std::vector<unsigned char> Bits;
};

// Renders character `code` (Latin-1) of `font` into a glyph cell: advance wide,
// font height high, origin on the base line.
TglGlyphBitmap RasterizeGlyph(const QFont& font, unsigned char code);

// An off-screen, single-buffered picture to draw into (saving and printing the
// view): its own context on an off-screen surface and a frame buffer of the
// given size.
class TglBitmap {
public:
    TglBitmap(int width, int height);
    ~TglBitmap();
    TglBitmap(const TglBitmap&) = delete;
    TglBitmap& operator=(const TglBitmap&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Chooses and sets the format: raises EOpenGL "ChoosePixelFormat failed"
    // when no context of it can be made, "SetPixelFormat failed" when it
    // cannot be bound to the picture.
    void SetupPixelFormat(const QSurfaceFormat& format);
    bool IsReady() const;
    // Makes the picture's context current with its frame buffer bound.
    bool MakeCurrent();
    void DoneCurrent();
    // The picture drawn so far, 24 bits a pixel, top row first. Raises
    // Exception "The OpenGL picture could not be made." when there is none.
    QImage ToImage();

private:
    int width_, height_;
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOpenGLFramebufferObject> buffer_;
};

class TglWindow : public QOpenGLWidget {
    Q_OBJECT
    // Set from Designer forms (dynamic properties of a promoted OpenGL widget).
    Q_PROPERTY(QColor BackgroundColor READ BackgroundColor WRITE SetBackgroundColor)
    Q_PROPERTY(bool Blending READ Blending WRITE SetBlending)
    Q_PROPERTY(bool PolygonFiltering READ PolygonFiltering WRITE SetPolygonFiltering)
    Q_PROPERTY(bool DepthTesting READ DepthTesting WRITE SetDepthTesting)
    Q_PROPERTY(bool Fog READ Fog WRITE SetFog)
    Q_PROPERTY(bool Lighting READ Lighting WRITE SetLighting)
    Q_PROPERTY(double FOV READ FOV WRITE SetFOV)
    Q_PROPERTY(int ShadeModel READ ShadeModelProperty WRITE SetShadeModelProperty)

public:
    enum TMouseButton : unsigned char { mbLeft, mbRight, mbMiddle };
    // Shift state bits: keys held and buttons down at the event.
    enum TShiftFlag : unsigned char {
        ssShift = 0x01,
        ssAlt = 0x02,
        ssCtrl = 0x04,
        ssLeft = 0x08,
        ssRight = 0x10,
        ssMiddle = 0x20,
        ssDouble = 0x40
    };
    using TShiftState = unsigned char;

    using TNotifyEvent = std::function<void(TglWindow* sender)>;
    using TMouseEvent = std::function<void(TglWindow* sender, TMouseButton button, TShiftState shift, int x, int y)>;
    using TMouseMoveEvent = std::function<void(TglWindow* sender, TShiftState shift, int x, int y)>;

    static constexpr unsigned FontListBase = 1000;
    static constexpr int LightCount = 8;
    static constexpr unsigned GlInvalidOperation = 0x0502;

    explicit TglWindow(QWidget* parent = nullptr);
    ~TglWindow() override;

    // The formats of the window and of an off-screen picture.
    static QSurfaceFormat WindowPixelFormat();
    static QSurfaceFormat BitmapPixelFormat();
    static TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons,
                                    bool doubleClick = false);

    // Where the drawing calls go (nullptr: the system library).
    void SetApi(TglApi* api) { api_ = api ? api : &SystemGlApi(); }
    TglApi& Api() const { return *api_; }

    // Properties.
    QColor BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(const QColor& color);
    bool Blending() { return ReadCapability(GlBlend()); }
    void SetBlending(bool on) { WriteCapability(GlBlend(), on); }
    bool PolygonFiltering() { return ReadCapability(0x0B41); }
    void SetPolygonFiltering(bool on) { WriteCapability(0x0B41, on); }
    bool DepthTesting() { return ReadCapability(GlDepthTest()); }
    void SetDepthTesting(bool on) { WriteCapability(GlDepthTest(), on); }
    bool Fog() { return ReadCapability(0x0B60); }
    void SetFog(bool on) { WriteCapability(0x0B60, on); }
    bool Lighting() { return ReadCapability(0x0B50); }
    void SetLighting(bool on) { WriteCapability(0x0B50, on); }
    TGLShadeModel ShadeModel();
    void SetShadeModel(TGLShadeModel model);
    // The shade model as a form stores it: 0 glFlat, 1 glSmooth.
    int ShadeModelProperty() { return int(ShadeModel()); }
    void SetShadeModelProperty(int model) { SetShadeModel(model == glFlat ? glFlat : glSmooth); }
    Tgl3Vector& EyePosition() { return *eye_; }
    Tgl3Vector& UpVector() { return *up_; }
    Tgl3Vector& ViewPosition() { return *view_; }
    double FOV() const { return fov_; }
    void SetFOV(double value);

    // Events. OnCreate is kept for form resources; the window never fires it.
    TNotifyEvent OnClick, OnPaint, OnCreate;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // The lights registered with the window (8 from creation).
    const std::vector<TglLight*>& Lights() const { return lights_; }

    // Drawing methods: one OpenGL call each on the current context.
    bool MakeCurrent();
    void DoneCurrent();
    void MatrixMode(unsigned mode) { api_->MatrixMode(mode); }
    void Clear(unsigned mask) { api_->Clear(mask); }
    void Enable(unsigned cap) { api_->Enable(cap); }
    void Disable(unsigned cap) { api_->Disable(cap); }
    void BeginPrimitive(unsigned mode) {
        api_->Begin(mode);
        inPrimitive_ = true;
    }
    void EndPrimitive() {
        api_->End();
        inPrimitive_ = false;
    }
    void Finish() { api_->Finish(); }
    void Rotate(double angle, double x, double y, double z) { api_->Rotated(angle, x, y, z); }
    void Translate(double x, double y, double z) { api_->Translated(x, y, z); }
    void Scale(double x, double y, double z) { api_->Scaled(x, y, z); }
    void Ortho(double left, double right, double bottom, double top, double zNear, double zFar) {
        api_->Ortho(left, right, bottom, top, zNear, zFar);
    }
    void Vertex(double x, double y, double z) { api_->Vertex3d(x, y, z); }
    void SetColor(double r, double g, double b, double a) { api_->Color4f(float(r), float(g), float(b), float(a)); }
    void SetClearColor(double r, double g, double b, double a) {
        api_->ClearColor(float(r), float(g), float(b), float(a));
    }
    void LoadIdentity() { api_->LoadIdentity(); }
    void PushMatrix() { api_->PushMatrix(); }
    void PopMatrix() { api_->PopMatrix(); }
    void BlendFunc(unsigned src, unsigned dst) { api_->BlendFunc(src, dst); }
    void PolygonOffset(double factor, double units) { api_->PolygonOffset(float(factor), float(units)); }
    void NewList(unsigned list, unsigned mode) { api_->NewList(list, mode); }
    void EndList() { api_->EndList(); }
    void CallList(unsigned list) { api_->CallList(list); }
    void ApplyShadeModel(unsigned mode) { api_->ShadeModel(mode); }
    unsigned GetError() { return api_->GetError(); }
    void GetMatrix(unsigned pname, std::array<long double, 16>& m);
    void GetViewport(std::array<int, 4>& v);
    // Text at a raster position through the font lists; characters beyond
    // Latin-1 are drawn as '?'.
    void TextOut3D(const QString& text, double x, double y, double z);
    // The same text moved by (shiftX, shiftY) pixels from where the point
    // falls on the window (y upwards).
    void TextOut3D(const QString& text, double x, double y, double z, int shiftX, int shiftY);
    // The height of a line of the font lists' text, in pixels.
    int FontLineHeight() const;
    // Builds display lists FontListBase + 0 ... FontListBase + 254, the glyphs
    // of character codes 0 to 254, on the current context (the window's, or an
    // off-screen picture's). With no context current yet, the window builds
    // them as soon as its own context is made.
    void SetupFontLists();
    void SetupFontLists(const QFont& font);
    // Prepares an off-screen picture with the bitmap format.
    void SetupBitmapPixelFormat(TglBitmap& bitmap);

    // Constants, so that users need no OpenGL header.
    static constexpr unsigned GlModelView() { return 0x1700; }
    static constexpr unsigned GlModelViewMatrix() { return 0x0BA6; }
    static constexpr unsigned GlProjectionMatrix() { return 0x0BA7; }
    static constexpr unsigned GlPolygonOffsetFill() { return 0x8037; }
    static constexpr unsigned GlProjection() { return 0x1701; }
    static constexpr unsigned GlColorBufferBit() { return 0x4000; }
    static constexpr unsigned GlDepthBufferBit() { return 0x0100; }
    static constexpr unsigned GlDepthTest() { return 0x0B71; }
    static constexpr unsigned GlLines() { return 1; }
    static constexpr unsigned GlLineStrip() { return 3; }
    static constexpr unsigned GlTriangleFan() { return 6; }
    static constexpr unsigned GlCompile() { return 0x1300; }
    static constexpr unsigned GlBlend() { return 0x0BE2; }
    static constexpr unsigned GlSrcAlpha() { return 0x0302; }
    static constexpr unsigned GlOneMinusSrcAlpha() { return 0x0303; }
    static constexpr unsigned GlSmoothShading() { return 0x1D01; }
    static constexpr unsigned GlCullFace() { return 0x0B44; }

    // Flags and size.
    bool CheckAndMarkSetUp() {
        bool was = setUp_;
        setUp_ = true;
        return was;
    }
    void RequestSetUp() { setUp_ = false; }
    bool CheckAndClearRedraw() {
        bool was = redraw_;
        redraw_ = false;
        return was;
    }
    void RequestRedraw() { redraw_ = true; }
    int GetWidth() const { return width(); }
    int GetHeight() const { return height(); }
    // The widget itself stands for the window's device context: MakeCurrent
    // binds the context to it.
    TglWindow* GetDeviceContext() { return this; }
    void SetSize(int width, int height);

    // Last mouse state.
    bool MouseDown() const { return mouseDown_; }
    TMouseButton LastButton() const { return lastButton_; }
    TShiftState LastShift() const { return lastShift_; }
    int LastMouseX() const { return lastX_; }
    int LastMouseY() const { return lastY_; }
    bool Resized() const { return resized_; }
    bool InPaint() const { return inPaint_; }
    int CreatedLeft() const { return left_; }
    int CreatedTop() const { return top_; }
    bool HasContext() const;

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    // The paint: OnPaint with the context current, then the error state is
    // cleared and the drawing flushed. Exceptions of OnPaint pass through.
    void RunPaint();
    void HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y, bool inside);
    void HandleMouseMove(TShiftState shift, int x, int y);

    // Binding seams: make the context current (false when there is none yet),
    // release it, ask for a repaint.
    virtual bool BindContext();
    // Whether a context other than the window's is current.
    virtual bool OtherContextCurrent();
    virtual void UnbindContext();
    virtual void RequestRepaint();

private:
    friend class TglLight;
    friend class Tgl3Vector;

    // Where the pointer was last, for the Last* queries.
    void RememberPointer(TShiftState shift, int x, int y);
    bool ReadCapability(unsigned cap);
    void WriteCapability(unsigned cap, bool on);
    enum class ScopeTarget { None, Own, Other };
    ScopeTarget EnterScope();
    template <class F>
    auto InContextScope(ScopeTarget target, F&& call);

    TglApi* api_;
    bool inPaint_ = false;
    // Between BeginPrimitive and EndPrimitive. OpenGL itself cannot tell: its
    // error query is one of the calls refused there and answers "no error".
    bool inPrimitive_ = false;
    QColor backgroundColor_{0, 0, 0};  // black until a form sets it
    std::unique_ptr<Tgl3Vector> eye_, up_, view_;
    double fov_ = 45.0;
    std::vector<TglLight*> lights_;
    std::vector<std::unique_ptr<TglLight>> ownLights_;
    bool setUp_ = false;
    bool redraw_ = false;
    bool mouseDown_ = false;
    bool clickPending_ = false;
    TMouseButton lastButton_ = mbLeft;
    TShiftState lastShift_ = 0;
    bool resized_ = false;
    int lastX_ = 0, lastY_ = 0;
    int left_ = 0, top_ = 0;
    // Capability and shade-model writes, so that a context made later (or made
    // again when the widget moves to another window) starts from them.
    std::map<unsigned, bool> capabilityWrites_;
    int shadeWrite_ = -1;
    bool fontListsBuilt_ = false;
    QFont fontListsFont_;
};

}  // namespace vortn
