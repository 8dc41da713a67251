#include "gl_window.h"

#include <QScopeGuard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>

#include <GL/gl.h>

#include <algorithm>

namespace vortn {

// ---- system calls ----

bool TglApi::HasCurrentContext() { return QOpenGLContext::currentContext() != nullptr; }
unsigned TglApi::GetError() { return HasCurrentContext() ? glGetError() : GL_NO_ERROR; }
bool TglApi::IsEnabled(unsigned cap) { return glIsEnabled(cap) == GL_TRUE; }
void TglApi::Enable(unsigned cap) { glEnable(cap); }
void TglApi::Disable(unsigned cap) { glDisable(cap); }
void TglApi::GetIntegerv(unsigned pname, int* values) { glGetIntegerv(pname, values); }
void TglApi::GetDoublev(unsigned pname, double* values) { glGetDoublev(pname, values); }
void TglApi::ShadeModel(unsigned mode) { glShadeModel(mode); }
void TglApi::Viewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }
void TglApi::Flush() { glFlush(); }
void TglApi::Finish() { glFinish(); }
void TglApi::MatrixMode(unsigned mode) { glMatrixMode(mode); }
void TglApi::Clear(unsigned mask) { glClear(mask); }
void TglApi::Begin(unsigned mode) { glBegin(mode); }
void TglApi::End() { glEnd(); }
void TglApi::Rotated(double angle, double x, double y, double z) { glRotated(angle, x, y, z); }
void TglApi::Translated(double x, double y, double z) { glTranslated(x, y, z); }
void TglApi::Scaled(double x, double y, double z) { glScaled(x, y, z); }
void TglApi::Ortho(double left, double right, double bottom, double top, double zNear, double zFar) {
    glOrtho(left, right, bottom, top, zNear, zFar);
}
void TglApi::Vertex3d(double x, double y, double z) { glVertex3d(x, y, z); }
void TglApi::Color4f(float r, float g, float b, float a) { glColor4f(r, g, b, a); }
void TglApi::ClearColor(float r, float g, float b, float a) { glClearColor(r, g, b, a); }
void TglApi::LoadIdentity() { glLoadIdentity(); }
void TglApi::PushMatrix() { glPushMatrix(); }
void TglApi::PopMatrix() { glPopMatrix(); }
void TglApi::BlendFunc(unsigned src, unsigned dst) { glBlendFunc(src, dst); }
void TglApi::PolygonOffset(float factor, float units) { glPolygonOffset(factor, units); }
void TglApi::NewList(unsigned list, unsigned mode) { glNewList(list, mode); }
void TglApi::EndList() { glEndList(); }
void TglApi::CallList(unsigned list) { glCallList(list); }
void TglApi::RasterPos3f(float x, float y, float z) { glRasterPos3f(x, y, z); }
void TglApi::ListBase(unsigned base) { glListBase(base); }
void TglApi::CallLists(int count, unsigned type, const void* lists) { glCallLists(count, type, lists); }
void TglApi::GlyphBitmap(int width, int height, float xorig, float yorig, float xmove, float ymove,
                         const unsigned char* bits) {
    // The pixel store is client state, read when glBitmap is compiled; keep
    // the caller's settings intact.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    // An empty cell still needs data to point at: some libraries report
    // running out of memory when a list is given none.
    static const unsigned char none[1] = {0};
    glBitmap(width, height, xorig, yorig, xmove, ymove, bits ? bits : none);
    glPopClientAttrib();
}

TglApi& SystemGlApi() {
    static TglApi api;  // stateless
    return api;
}

// ---- vectors and lights ----

void Tgl3Vector::SetX(double value) {
    x_ = value;
    if (owner_) owner_->RequestRepaint();
}
void Tgl3Vector::SetY(double value) {
    y_ = value;
    if (owner_) owner_->RequestRepaint();
}
void Tgl3Vector::SetZ(double value) {
    z_ = value;
    if (owner_) owner_->RequestRepaint();
}

TglLight::TglLight(TglWindow* owner) : owner_(owner) {
    if (owner_) owner_->lights_.push_back(this);
}

TglLight::~TglLight() {
    if (!owner_) return;
    auto& list = owner_->lights_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

// ---- glyphs ----

TglGlyphBitmap RasterizeGlyph(const QFont& font, unsigned char code) {
    QFont cellFont(font);
    cellFont.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(cellFont);
    const QChar ch = QChar::fromLatin1(char(code));
    TglGlyphBitmap glyph;
    const bool printable = ch.isPrint();
    const int advance = printable ? std::max(0, metrics.horizontalAdvance(ch)) : 0;
    glyph.XMove = float(advance);
    glyph.YOrig = float(metrics.descent());
    if (advance == 0) return glyph;  // nothing to draw, only the advance (none)
    glyph.Width = advance;
    glyph.Height = std::max(1, metrics.height());

    QImage cell(glyph.Width, glyph.Height, QImage::Format_Grayscale8);
    cell.fill(0);
    {
        QPainter painter(&cell);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(cellFont);
        painter.setPen(Qt::white);
        painter.drawText(0, metrics.ascent(), QString(ch));
    }
    const int rowBytes = (glyph.Width + 7) / 8;
    glyph.Bits.assign(size_t(rowBytes) * size_t(glyph.Height), 0);
    for (int row = 0; row < glyph.Height; ++row) {
        // glBitmap takes the bottom row first.
        const uchar* line = cell.constScanLine(glyph.Height - 1 - row);
        unsigned char* out = glyph.Bits.data() + size_t(row) * size_t(rowBytes);
        for (int x = 0; x < glyph.Width; ++x)
            if (line[x] >= 128) out[x / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
    }
    return glyph;
}

// ---- off-screen picture ----

TglBitmap::TglBitmap(int width, int height) : width_(std::max(1, width)), height_(std::max(1, height)) {}

TglBitmap::~TglBitmap() {
    if (context_ && buffer_ && surface_ && context_->makeCurrent(surface_.get())) {
        buffer_.reset();
        context_->doneCurrent();
    }
    buffer_.reset();
}

void TglBitmap::SetupPixelFormat(const QSurfaceFormat& format) {
    buffer_.reset();
    context_.reset();
    surface_.reset();
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!context->create()) throw EOpenGL("ChoosePixelFormat failed");
    auto surface = std::make_unique<QOffscreenSurface>();
    surface->setFormat(context->format());
    surface->create();
    if (!surface->isValid()) throw EOpenGL("ChoosePixelFormat failed");
    if (!context->makeCurrent(surface.get())) throw EOpenGL("SetPixelFormat failed");
    QOpenGLFramebufferObjectFormat bufferFormat;
    bufferFormat.setAttachment(QOpenGLFramebufferObject::Depth);
    bufferFormat.setInternalTextureFormat(GL_RGB8);
    auto buffer = std::make_unique<QOpenGLFramebufferObject>(width_, height_, bufferFormat);
    if (!buffer->isValid()) {
        buffer.reset();
        context->doneCurrent();
        throw EOpenGL("SetPixelFormat failed");
    }
    context->doneCurrent();
    surface_ = std::move(surface);
    context_ = std::move(context);
    buffer_ = std::move(buffer);
}

bool TglBitmap::IsReady() const { return buffer_ != nullptr; }

bool TglBitmap::MakeCurrent() {
    if (!IsReady() || !context_->makeCurrent(surface_.get()) || !buffer_->bind()) return false;
    // Binding resets the viewport to the 1 x 1 surface behind the buffer; the
    // picture is drawn whole, as a window is.
    glViewport(0, 0, width_, height_);
    return true;
}

void TglBitmap::DoneCurrent() {
    if (context_ && QOpenGLContext::currentContext() == context_.get()) context_->doneCurrent();
}

QImage TglBitmap::ToImage() {
    const QString failed = QStringLiteral("The OpenGL picture could not be made.");
    if (!IsReady()) throw Exception(failed);
    const bool wasCurrent = QOpenGLContext::currentContext() == context_.get();
    if (!wasCurrent && !MakeCurrent()) throw Exception(failed);
    glFinish();
    // OpenGL keeps the bottom row first: the image is turned the right way up.
    QImage image = buffer_->toImage(true).convertToFormat(QImage::Format_RGB888);
    if (!wasCurrent) DoneCurrent();
    if (image.isNull()) throw Exception(failed);
    return image;
}

// ---- window ----

TglWindow::TglWindow(QWidget* parent)
    : QOpenGLWidget(parent),
      api_(&SystemGlApi()),
      eye_(std::make_unique<Tgl3Vector>(this, 0.0, 0.0, 1.0)),
      up_(std::make_unique<Tgl3Vector>(this, 0.0, 1.0, 0.0)),
      view_(std::make_unique<Tgl3Vector>(this, 0.0, 0.0, 0.0)),
      fontListsFont_(QFontDatabase::systemFont(QFontDatabase::GeneralFont)) {
    setFormat(WindowPixelFormat());
    left_ = x();
    top_ = y();
    for (int i = 0; i < LightCount; ++i) ownLights_.push_back(std::make_unique<TglLight>(this));
}

TglWindow::~TglWindow() {
    // The window's own lights take themselves off the list; a light a user
    // made stays the user's, cut loose from the window that goes.
    ownLights_.clear();
    for (TglLight* light : lights_) light->owner_ = nullptr;
    lights_.clear();
}

QSurfaceFormat TglWindow::WindowPixelFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(32);
    format.setStencilBufferSize(0);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    return format;
}

QSurfaceFormat TglWindow::BitmapPixelFormat() {
    QSurfaceFormat format = WindowPixelFormat();
    format.setSwapBehavior(QSurfaceFormat::SingleBuffer);
    return format;
}

TglWindow::TShiftState TglWindow::ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons,
                                               bool doubleClick) {
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier) s |= ssShift;
    if (modifiers & Qt::AltModifier) s |= ssAlt;
    if (modifiers & Qt::ControlModifier) s |= ssCtrl;
    if (buttons & Qt::LeftButton) s |= ssLeft;
    if (buttons & Qt::RightButton) s |= ssRight;
    if (buttons & Qt::MiddleButton) s |= ssMiddle;
    if (doubleClick) s |= ssDouble;
    return s;
}

bool TglWindow::HasContext() const { return context() != nullptr && context()->isValid(); }

bool TglWindow::BindContext() {
    if (!HasContext()) return false;
    if (QOpenGLContext::currentContext() != context()) makeCurrent();
    return QOpenGLContext::currentContext() == context();
}

void TglWindow::UnbindContext() {
    if (HasContext() && QOpenGLContext::currentContext() == context()) doneCurrent();
}

void TglWindow::RequestRepaint() { update(); }

bool TglWindow::MakeCurrent() { return BindContext(); }
void TglWindow::DoneCurrent() { UnbindContext(); }

bool TglWindow::OtherContextCurrent() {
    QOpenGLContext* current = QOpenGLContext::currentContext();
    return current != nullptr && current != context();
}

// A property call goes to the window's context, bound for the call and
// released after it; while another context is current (an off-screen picture
// being drawn) it goes to that one, which stays current, so that the picture
// is not cut off from its context half-way.
TglWindow::ScopeTarget TglWindow::EnterScope() {
    if (OtherContextCurrent()) return ScopeTarget::Other;
    return BindContext() ? ScopeTarget::Own : ScopeTarget::None;
}

template <class F>
auto TglWindow::InContextScope(ScopeTarget target, F&& call) {
    struct Release {
        TglWindow* w;
        ScopeTarget target;
        ~Release() {
            if (!w->inPaint_) {
                if (target == ScopeTarget::Own) w->UnbindContext();
                w->RequestRepaint();
            }
        }
    } release{this, target};
    if (inPrimitive_) throw EOpenGL("operation cannot be performed between glBegin and glEnd");
    api_->GetError();
    auto result = call();
    if (api_->GetError() == GlInvalidOperation)
        throw EOpenGL("operation cannot be performed between glBegin and glEnd");
    return result;
}

bool TglWindow::ReadCapability(unsigned cap) {
    const ScopeTarget target = EnterScope();
    if (target == ScopeTarget::None) {
        // No context yet: what was written, else the OpenGL initial state (off).
        if (!inPaint_) RequestRepaint();
        auto it = capabilityWrites_.find(cap);
        return it != capabilityWrites_.end() && it->second;
    }
    return InContextScope(target, [&] { return api_->IsEnabled(cap); });
}

void TglWindow::WriteCapability(unsigned cap, bool on) {
    capabilityWrites_[cap] = on;
    const ScopeTarget target = EnterScope();
    if (target == ScopeTarget::None) {
        if (!inPaint_) RequestRepaint();
        return;
    }
    InContextScope(target, [&] {
        if (on)
            api_->Enable(cap);
        else
            api_->Disable(cap);
        return 0;
    });
}

TGLShadeModel TglWindow::ShadeModel() {
    const ScopeTarget target = EnterScope();
    if (target == ScopeTarget::None) {
        if (!inPaint_) RequestRepaint();
        return shadeWrite_ == glFlat ? glFlat : glSmooth;
    }
    return InContextScope(target, [&] {
        int mode = 0;
        api_->GetIntegerv(GL_SHADE_MODEL, &mode);
        return mode == GL_SMOOTH ? glSmooth : glFlat;
    });
}

void TglWindow::SetShadeModel(TGLShadeModel model) {
    shadeWrite_ = model;
    const ScopeTarget target = EnterScope();
    if (target == ScopeTarget::None) {
        if (!inPaint_) RequestRepaint();
        return;
    }
    InContextScope(target, [&] {
        api_->ShadeModel(model == glSmooth ? GL_SMOOTH : GL_FLAT);
        return 0;
    });
}

void TglWindow::SetBackgroundColor(const QColor& color) {
    backgroundColor_ = color;
    RequestRepaint();
}

void TglWindow::SetFOV(double value) {
    fov_ = value;
    RequestRepaint();
}

void TglWindow::SetSize(int w, int h) {
    resize(w, h);
    resized_ = true;
}

void TglWindow::GetMatrix(unsigned pname, std::array<long double, 16>& m) {
    double values[16] = {};
    api_->GetDoublev(pname, values);
    for (int i = 0; i < 16; ++i) m[size_t(i)] = values[i];
}

void TglWindow::GetViewport(std::array<int, 4>& v) {
    int values[4] = {};
    api_->GetIntegerv(GL_VIEWPORT, values);
    for (int i = 0; i < 4; ++i) v[size_t(i)] = values[i];
}

void TglWindow::TextOut3D(const QString& text, double x, double y, double z) { TextOut3D(text, x, y, z, 0, 0); }

void TglWindow::TextOut3D(const QString& text, double x, double y, double z, int shiftX, int shiftY) {
    const QByteArray bytes = text.toLatin1();
    api_->RasterPos3f(float(x), float(y), float(z));
    // A bitmap of no pixels only moves the raster position.
    if (shiftX != 0 || shiftY != 0) api_->GlyphBitmap(0, 0, 0.0f, 0.0f, float(shiftX), float(shiftY), nullptr);
    api_->ListBase(FontListBase);
    if (!bytes.isEmpty()) api_->CallLists(int(bytes.size()), GL_UNSIGNED_BYTE, bytes.constData());
}

int TglWindow::FontLineHeight() const {
    return QFontMetrics(fontListsBuilt_ ? fontListsFont_ : QFontDatabase::systemFont(QFontDatabase::GeneralFont))
            .height();
}

void TglWindow::SetupFontLists() { SetupFontLists(QFontDatabase::systemFont(QFontDatabase::GeneralFont)); }

void TglWindow::SetupFontLists(const QFont& font) {
    fontListsBuilt_ = true;
    fontListsFont_ = font;
    if (!api_->HasCurrentContext()) return;  // built by initializeGL
    for (int code = 0; code <= 254; ++code) {
        const TglGlyphBitmap glyph = RasterizeGlyph(font, static_cast<unsigned char>(code));
        api_->NewList(FontListBase + unsigned(code), GL_COMPILE);
        api_->GlyphBitmap(glyph.Width, glyph.Height, 0.0f, glyph.YOrig, glyph.XMove, 0.0f,
                          glyph.Bits.empty() ? nullptr : glyph.Bits.data());
        api_->EndList();
    }
}

void TglWindow::SetupBitmapPixelFormat(TglBitmap& bitmap) { bitmap.SetupPixelFormat(BitmapPixelFormat()); }

void TglWindow::initializeGL() {
    left_ = x();
    top_ = y();
    // A context made again (the widget moved to another window) starts from
    // the state written through the properties, with its font lists.
    for (const auto& [cap, on] : capabilityWrites_) {
        if (on)
            api_->Enable(cap);
        else
            api_->Disable(cap);
    }
    if (shadeWrite_ >= 0) api_->ShadeModel(shadeWrite_ == glSmooth ? GL_SMOOTH : GL_FLAT);
    if (fontListsBuilt_) SetupFontLists(fontListsFont_);
    api_->GetError();
}

// In device pixels, as the widget's frame buffer is (the same as the size on
// an ordinary screen).
void TglWindow::resizeGL(int w, int h) {
    const qreal ratio = devicePixelRatioF();
    api_->Viewport(0, 0, qRound(w * ratio), qRound(h * ratio));
}

void TglWindow::RunPaint() {
    if (!OnPaint) return;
    struct Flag {
        bool& paint;
        bool& primitive;
        ~Flag() { paint = primitive = false; }
    } flag{inPaint_, inPrimitive_};
    inPaint_ = true;
    OnPaint(this);
    inPaint_ = false;
    api_->GetError();
    api_->Flush();
}

void TglWindow::paintGL() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    try {
        RunPaint();
    } catch (const std::exception& e) {
        // An exception cannot cross the event loop; the picture stays as drawn.
        qWarning("TglWindow paint: %s", e.what());
    }
}

void TglWindow::RememberPointer(TShiftState shift, int x, int y) {
    lastX_ = x;
    lastY_ = y;
    lastShift_ = shift;
}

void TglWindow::HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    RememberPointer(shift, x, y);
    lastButton_ = button;
    mouseDown_ = true;
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
    api_->GetError();
}

void TglWindow::HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y, bool inside) {
    if (button == mbLeft && clickPending_) {
        clickPending_ = false;
        if (inside && OnClick) OnClick(this);
    }
    RememberPointer(shift, x, y);
    lastButton_ = button;
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
    api_->GetError();
}

void TglWindow::HandleMouseMove(TShiftState shift, int x, int y) {
    RememberPointer(shift, x, y);
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
    api_->GetError();
}

namespace {
TglWindow::TMouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::RightButton) return TglWindow::mbRight;
    if (b == Qt::MiddleButton) return TglWindow::mbMiddle;
    return TglWindow::mbLeft;
}
}  // namespace

void TglWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) clickPending_ = true;
    HandleMouseDown(ButtonOf(event->button()), ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TglWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    HandleMouseDown(ButtonOf(event->button()), ShiftStateOf(event->modifiers(), event->buttons(), true), p.x(), p.y());
}

void TglWindow::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    HandleMouseUp(ButtonOf(event->button()), ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y(),
                  rect().contains(p));
}

void TglWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    HandleMouseMove(ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

}  // namespace vortn
