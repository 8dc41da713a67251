#include "plot_window.h"

#include "number_format.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRubberBand>

#include <algorithm>
#include <cmath>

namespace vortn {

const QColor kPlotPalette[17] = {
    QColor(0x00, 0x00, 0x00), QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0x00, 0x00), QColor(0x00, 0x80, 0x00),
    QColor(0x80, 0x00, 0x80), QColor(0x80, 0x00, 0x00), QColor(0x00, 0x00, 0x80), QColor(0xFF, 0x00, 0xFF),
    QColor(0x80, 0x80, 0x00), QColor(0x00, 0x80, 0x80), QColor(0x80, 0x80, 0x80), QColor(0x00, 0xFF, 0x00),
    QColor(0x80, 0x80, 0x80), QColor(0xC0, 0xC0, 0xC0), QColor(0xC0, 0xC0, 0xC0), QColor(0xFF, 0xFF, 0x00),
    QColor(0x00, 0xFF, 0xFF)};

namespace {

const long double kLog3 = std::log10(3.0L);

// A quotient that is an integer up to rounding noise counts as that integer,
// so that 0.01 / 0.001 rounds to 10 and not 11.
long double Snap(long double q) {
    const long double r = std::nearbyint(q);
    if (std::fabs(q - r) <= 1e-9L * std::max<long double>(1, std::fabs(q))) return r;
    return q;
}

long double RoundAway(long double v) { return v > 0 ? std::ceil(Snap(v)) : std::floor(Snap(v)); }

long double Decade(long double v, long double* fraction = nullptr) {
    const long double l = std::log10(v);
    long double f = std::floor(l);
    // log10 of an exact power of ten may land just below the integer.
    if (std::fabs(l - std::nearbyint(l)) <= 1e-12L) f = std::nearbyint(l);
    if (fraction) *fraction = l - f;
    return std::pow(10.0L, f);
}

// The system's rounding (halves to even), kept inside the int range: a
// coordinate from a degenerate range must not stop the painting.
int RoundInt(long double v) {
    if (!std::isfinite(v)) return 0;
    v = std::nearbyint(v);
    if (v > 1e9L) return 1000000000;
    if (v < -1e9L) return -1000000000;
    return int(v);
}

}  // namespace

bool RoundPlotAxis(long double& lo, long double& hi) {
    if (hi == lo) {
        hi += 0.01L;
        lo -= 0.01L;
    }
    const long double width = hi - lo;
    if (!std::isfinite(width) || width <= 0) return false;
    long double fraction = 0;
    long double u = Decade(width, &fraction);
    if (fraction < kLog3) u /= 10;
    if (u == 0 || !std::isfinite(u)) return false;
    lo = u * RoundAway(lo / u);
    hi = u * RoundAway(hi / u);
    return std::isfinite(lo) && std::isfinite(hi);
}

bool PlotGroupRange(const TObjectList<TLine>& group, TPlotRange& r) {
    r = TPlotRange{};
    for (const TLine* line : group) {
        for (int i = 0; i < line->PointCount(); ++i) {
            const TFloatPoint& pt = line->Points(i);
            // A point without a finite value cannot be placed; it must not
            // spoil the axes of the others.
            if (!std::isfinite(pt.X) || !std::isfinite(pt.Y)) continue;
            if (pt.X < r.xmin) r.xmin = pt.X;
            else if (pt.X > r.xmax) r.xmax = pt.X;
            if (pt.Y < r.ymin) r.ymin = pt.Y;
            else if (pt.Y > r.ymax) r.ymax = pt.Y;
        }
    }
    const bool ok = RoundPlotAxis(r.ymin, r.ymax);
    return RoundPlotAxis(r.xmin, r.xmax) && ok;
}

long double PlotMajorStep(long double s) {
    const long double g = Decade(s);
    const int d = int(std::trunc(Snap(s / g)));
    if (d <= 1) return g;
    if (d <= 4) return 2 * g;
    if (d <= 8) return 5 * g;
    return 10 * g;
}

void PlotTickIndices(long double lo, long double hi, long double minor, int& first, int& last) {
    first = last = 0;
    if (!(minor > 0) || !std::isfinite(lo) || !std::isfinite(hi)) return;
    const long double tol = minor * 1e-9L;
    // Bounded: a range of more than a million minor steps gets no ticks.
    if ((hi - lo) / minor > 1e6L) return;
    while ((first - 1) * minor >= lo - tol) --first;
    while ((last + 1) * minor <= hi + tol) ++last;
}

TPanelTicks PlotPanelTicks(const TPlotRange& r, const TIntRect& rect, int fontH) {
    TPanelTicks t;
    if (fontH <= 0) return t;
    const int nx = std::abs(rect.Right - rect.Left) / (6 * fontH);
    const int ny = std::abs(rect.Bottom - rect.Top) / (6 * fontH);
    if (nx == 0 || ny == 0) return t;
    const long double sx = (r.xmax - r.xmin) / nx, sy = (r.ymax - r.ymin) / ny;
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy)) return t;
    t.step.X = PlotMajorStep(sx) / 5;
    t.step.Y = PlotMajorStep(sy) / 5;
    PlotTickIndices(r.xmin, r.xmax, t.step.X, t.xFirst, t.xLast);
    PlotTickIndices(r.ymin, r.ymax, t.step.Y, t.yFirst, t.yLast);
    t.ok = true;
    return t;
}

int PlotMarkerKind(int curveIndex) {
    int k = curveIndex + 1;
    if (k > 10) {
        k %= 10;
        if (k == 0) k = 10;
    }
    return k < 1 ? 1 : k;
}

QVector<QPoint> PlotMarkerVertices(int curveIndex, int x, int y, int lpx, int lpy) {
    const int k = PlotMarkerKind(curveIndex);
    const double rx = lpx / 32, ry = lpy / 32;
    double a0, step;
    int n;
    if (k == 1) { a0 = M_PI; step = 2 * M_PI / 3; n = 3; }
    else if (k == 2) { a0 = M_PI / 4; step = M_PI / 2; n = 4; }
    else { a0 = 0; step = 2 * M_PI / k; n = k; }
    QVector<QPoint> v;
    for (int j = 0; j < n; ++j) {
        const double a = a0 + j * step;
        v.append(QPoint(x + int(std::nearbyint(std::cos(a) * rx)), y - int(std::nearbyint(std::sin(a) * ry))));
    }
    return v;
}

void PlotZoomAxisBand(long double& lo, long double& hi, long double fullLo, long double fullHi, long double a,
                      long double b) {
    if (a > b) std::swap(a, b);
    lo = a;
    hi = b;
    const long double full = fullHi - fullLo;
    if (full > 20 * (b - a)) {
        const long double w = full / 20, c = (a + b) / 2;
        lo = c - w / 2;
        hi = c + w / 2;
        if (lo < fullLo) { lo = fullLo; hi = fullLo + w; }
        if (hi > fullHi) { hi = fullHi; lo = fullHi - w; }
    }
}

void PlotZoomAxisOut(long double& lo, long double& hi, long double fullLo, long double fullHi, long double p) {
    long double d = hi - lo;
    if (d > (fullHi - fullLo) / 2) d = (fullHi - fullLo) / 2;
    if (p < fullLo + d) p = fullLo + d;
    if (p > fullHi - d) p = fullHi - d;
    lo = p - d;
    hi = p + d;
}

TIntRect PlotPrintPageRect(int mLeft, int mTop, int mRight, int mBottom, int lpx, int lpy, int offX, int offY,
                           int pageWidth, int pageHeight) {
    const int mL = std::max(RoundInt((long double)mLeft * lpx / 1000), offX);
    const int mT = std::max(RoundInt((long double)mTop * lpy / 1000), offY);
    const int mR = std::max(RoundInt((long double)mRight * lpx / 1000), offX);
    const int mB = std::max(RoundInt((long double)mBottom * lpy / 1000), offY);
    return TIntRect{mL - offX, mT - offY, pageWidth + offX - mR, pageHeight + offY - mB};
}

QSize PlotBitmapSize(long double widthInches, long double heightInches, int ppi) {
    return QSize(RoundInt(ppi * widthInches), RoundInt(ppi * heightInches));
}

// ---------------------------------------------------------------------------
// The drawing surface: the window's client area.

class TPlotCanvas : public QWidget {
public:
    explicit TPlotCanvas(TPlotForm* form) : QWidget(form), form_(form) {
        setMouseTracking(true);
        setAutoFillBackground(false);
        QFont f(QStringLiteral("Times New Roman"));
        f.setPixelSize(14);
        setFont(f);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        form_->PaintPlot(p);
    }
    void resizeEvent(QResizeEvent*) override { form_->Relayout(false); }
    void mousePressEvent(QMouseEvent* e) override { form_->MouseDown(e->button(), e->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent* e) override { form_->MouseMove(e->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent* e) override { form_->MouseUp(e->button(), e->position().toPoint()); }

private:
    TPlotForm* form_;
};

// ---------------------------------------------------------------------------
// Legend.

TPlotLegend::TPlotLegend(TPlotForm* form, QWidget* parent) : QWidget(parent), form_(form) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(15);
    setFont(f);
    resize(21, 3);
    hide();
}

void TPlotLegend::Refit(bool fromDesign) {
    const QFontMetrics fm(font());
    int w = fromDesign ? 21 : width();
    for (const QString& s : Items) w = std::max(w, fm.horizontalAdvance(s + QStringLiteral(" *")) + logicalDpiX() / 4);
    resize(w, int(Items.size()) * ItemHeight + 3);
}

void TPlotLegend::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(0, 0, width() - 1, height() - 1);
    p.setFont(font());
    const QVector<int>& curves = form_->LegendCurves();
    for (int i = 0; i < Items.size(); ++i) {
        QString s = Items[i];
        const int c = i < curves.size() ? curves[i] : -1;
        if (c >= 0 && c < form_->Plot().LineCount() && form_->Plot().Lines(c).Visible) s += QStringLiteral(" *");
        p.setPen(kPlotPalette[i % 17]);
        p.drawText(QRect(2, 1 + i * ItemHeight, width() - 4, ItemHeight), Qt::AlignLeft | Qt::AlignVCenter, s);
    }
}

void TPlotLegend::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    dragging_ = true;
    grab_ = e->position().toPoint();
}

void TPlotLegend::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_ || !parentWidget()) return;
    QPoint to = pos() + e->position().toPoint() - grab_;
    const QWidget* area = parentWidget();
    to.setX(std::max(0, std::min(to.x(), area->width() - width())));
    to.setY(std::max(0, std::min(to.y(), area->height() - height())));
    move(to);
}

void TPlotLegend::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void TPlotLegend::mouseDoubleClickEvent(QMouseEvent* e) {
    const int row = ItemAt(int(e->position().y()) - 1);
    const QVector<int>& curves = form_->LegendCurves();
    if (row >= 0 && row < curves.size()) form_->ToggleCurveVisible(curves[row]);
}

// ---------------------------------------------------------------------------
// The window.

TPlotForm::TPlotForm(TGraphPlot& plot, QWidget* parent) : QMainWindow(parent), plot_(&plot) {
    setObjectName(QStringLiteral("PlotForm"));
    setWindowTitle(QStringLiteral("PlotForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    canvas_ = new TPlotCanvas(this);
    canvas_->setObjectName(QStringLiteral("Canvas"));
    setCentralWidget(canvas_);
    legend_ = new TPlotLegend(this, canvas_);
    legend_->setObjectName(QStringLiteral("Legend"));
    band_ = new QRubberBand(QRubberBand::Rectangle, canvas_);
    resize(640, 480);
    BuildMenu();
    FormCreate();
}

TPlotForm::~TPlotForm() {
    if (plot_) plot_->WindowClosed();
}

void TPlotForm::ShowWindow() {
    if (!valid_) {
        close();
        return;
    }
    QWidget* w = this;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) w = sub;
    if (w->isMinimized()) w->showNormal();
    w->showMaximized();
    w->raise();
    w->activateWindow();
}

void TPlotForm::FreeWindow() {
    plot_ = nullptr;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->deleteLater();
        hide();
        return;
    }
    delete this;
}

void TPlotForm::closeEvent(QCloseEvent* e) {
    if (plot_) plot_->WindowClosed();
    plot_ = nullptr;
    e->accept();
}

void TPlotForm::resizeEvent(QResizeEvent* e) { QMainWindow::resizeEvent(e); }

QAction* TPlotForm::MenuItem(const QString& name) const {
    for (QAction* a : plotMenu_->findChildren<QAction*>(name)) return a;
    return markersMenu_->menuAction()->objectName() == name ? markersMenu_->menuAction() : nullptr;
}

void TPlotForm::BuildMenu() {
    menuBar()->setObjectName(QStringLiteral("MainMenu"));
    plotMenu_ = menuBar()->addMenu(QStringLiteral("&Plot"));
    plotMenu_->setObjectName(QStringLiteral("Plot1"));
    plotMenu_->menuAction()->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    auto item = [this](QMenu* menu, const char* name, const QString& caption, const char* slot) {
        QAction* a = new QAction(caption, menu);
        a->setObjectName(QLatin1String(name));
        menu->addAction(a);
        if (slot) connect(a, SIGNAL(triggered()), this, slot);
        return a;
    };
    item(plotMenu_, "PlotLegend", QStringLiteral("Show &Legend"), SLOT(PlotLegendClick()))->setCheckable(true);
    item(plotMenu_, "PlotSoilLayer", QStringLiteral("Show &Soil Layer"), SLOT(PlotSoilLayerClick()))
        ->setCheckable(true);
    item(plotMenu_, "ShowWallGeometry", QStringLiteral("Show &Wall Geometry"), SLOT(ShowWallGeometryClick()))
        ->setCheckable(true);
    markersMenu_ = new QMenu(QStringLiteral("Show &Markers"), plotMenu_);
    markersMenu_->setObjectName(QStringLiteral("PlotMarkers"));
    markersMenu_->menuAction()->setObjectName(QStringLiteral("PlotMarkers"));
    plotMenu_->addMenu(markersMenu_);
    connect(markersMenu_, &QMenu::aboutToShow, this, &TPlotForm::PlotMarkersPopup);
    const struct { const char* text; int tag; } markers[] = {
        {"&Never", 0}, {"Every &Increment", 1}, {"Every &2 Increments", 2}, {"Every &3 Incrments", 3},
        {"Every &5 Increments", 5}, {"Every &10 Incements", 10}};
    auto* markerGroup = new QActionGroup(this);
    for (const auto& m : markers) {
        QAction* a = markersMenu_->addAction(QString::fromLatin1(m.text));
        a->setObjectName(QStringLiteral("Markers%1").arg(m.tag));
        a->setData(m.tag);
        a->setCheckable(true);
        markerGroup->addAction(a);
        connect(a, &QAction::triggered, this, &TPlotForm::MarkerClick);
        markerItems_.append(a);
    }
    QMenu* font = new QMenu(QStringLiteral("&Font Size"), plotMenu_);
    font->setObjectName(QStringLiteral("FontSize"));
    font->menuAction()->setObjectName(QStringLiteral("FontSize"));
    plotMenu_->addMenu(font);
    const struct { const char* text; int tag; } fonts[] = {{"&Default", 10}, {"1.5 * Default", 15},
                                                          {"2 * Default", 20}, {"2.5 * Default", 25},
                                                          {"3 * Default", 30}, {"4 * Default", 40}};
    for (const auto& f : fonts) {
        QAction* a = font->addAction(QString::fromLatin1(f.text));
        a->setObjectName(QStringLiteral("FontSize%1").arg(f.tag));
        a->setData(f.tag);
        connect(a, &QAction::triggered, this, &TPlotForm::FontSizeClick);
    }
    QMenu* width = new QMenu(QStringLiteral("&Line Width"), plotMenu_);
    width->setObjectName(QStringLiteral("LineWidth"));
    width->menuAction()->setObjectName(QStringLiteral("LineWidth"));
    plotMenu_->addMenu(width);
    const struct { const char* text; int tag; } widths[] = {
        {"&Default", 1}, {"2 * Default", 2}, {"4 * Default", 4}, {"6 * Default", 6}, {"10 * Default", 10}};
    for (const auto& w : widths) {
        QAction* a = width->addAction(QString::fromLatin1(w.text));
        a->setObjectName(QStringLiteral("LineWidth%1").arg(w.tag));
        a->setData(w.tag);
        connect(a, &QAction::triggered, this, &TPlotForm::LineWidthClick);
    }
    item(plotMenu_, "PlotCaption", QStringLiteral("&Graph Title"), SLOT(PlotCaptionClick()));
    item(plotMenu_, "mLineName", QStringLiteral("&Edit Legend"), SLOT(mLineNameClick()));
    item(plotMenu_, "ActiveGraphs", QStringLiteral("&Active Curves"), SLOT(ActiveGraphsClick()));
    plotMenu_->addSeparator()->setObjectName(QStringLiteral("N5"));
    item(plotMenu_, "PlotPrint", QStringLiteral("&Print..."), SLOT(PlotPrintClick()));
    item(plotMenu_, "PlotPage", QStringLiteral("P&age Setup"), SLOT(PlotPageClick()));
    item(plotMenu_, "PlotSave", QStringLiteral("&Save To Disk..."), SLOT(PlotSaveClick()));
    plotMenu_->addSeparator()->setObjectName(QStringLiteral("N1"));
    connect(plotMenu_, &QMenu::aboutToShow, this, &TPlotForm::PlotMenuPopup);
}

QString TPlotForm::LegendText(int curveIndex) const {
    QString s = plot_->Lines(curveIndex).DisplayName();
    if (plot_->onGetCaption) plot_->onGetCaption(curveIndex, s);
    return s;
}

QAction* TPlotForm::AddCurveItem(int curveIndex) {
    QAction* a = new QAction(LegendText(curveIndex), plotMenu_);
    a->setCheckable(true);
    a->setChecked(plot_->Lines(curveIndex).Visible);
    a->setData(curveIndex);
    connect(a, &QAction::triggered, this, &TPlotForm::CurveItemClick);
    plotMenu_->addAction(a);
    curveItems_.append(a);
    return a;
}

void TPlotForm::FormCreate() {
    MenuItem(QStringLiteral("PlotPage"))->setVisible(true);
    for (int panel = 0; panel < 3; ++panel) {
        const int group = panel == 0 ? 0 : panel + 1;
        if (!PlotGroupRange(plot_->Group(group), full_[panel])) valid_ = false;
        range_[panel] = full_[panel];
    }
    for (int i = 0; i < plot_->LineCount(); ++i)
        plot_->Lines(i).Active = !(plot_->LimitActiveLines && i >= 20);
    for (int i = 0; i < plot_->LineCount(); ++i) {
        if (!plot_->Lines(i).Active) continue;
        legend_->Items.append(LegendText(i));
        legendCurves_.append(i);
        AddCurveItem(i);
    }
    plot_->LegendFont = legend_->font().pointSize() > 0 ? legend_->font().pointSize()
                                                        : int(std::lround(15 * 72.0 / logicalDpiY()));
    legend_->Refit();
    const bool legendOn = plot_->LineCount() > 0 && plot_->ShowLegend;
    legend_->setVisible(legendOn);
    MenuItem(QStringLiteral("PlotLegend"))->setVisible(legendOn);
    const bool printers = PrinterAvailable();
    MenuItem(QStringLiteral("PlotPage"))->setEnabled(printers);
    MenuItem(QStringLiteral("PlotPrint"))->setEnabled(printers);
    pageSetup_.SetOptions({TPageSetupFlags::poDefaultMinMargins, TPageSetupFlags::poThousandthsOfInches});
    pageSetup_.SetMarginLeft(1000);
    pageSetup_.SetMarginTop(1000);
    pageSetup_.SetMarginRight(1000);
    pageSetup_.SetMarginBottom(1000);
    Relayout(true);
}

bool TPlotForm::PrinterAvailable() const { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

void TPlotForm::ShowMessage(const QString& text) {
    if (onMessage) onMessage(text);
    else QMessageBox::critical(this, QString(), text);
}

int TPlotForm::ScaledFontHeight(int size) const { return std::abs(st_.fontHeight * size / 10); }

void TPlotForm::LayoutPage(const TIntRect& page, int lpx, int lpy, int layerTake) {
    st_.page = page;
    st_.lpx = lpx;
    st_.lpy = lpy;
    const int fontH = FontH();
    const int W = page.Width(), H = page.Height();
    TIntRect& r = st_.plot;
    r.Left = page.Left + 2 * fontH + lpx / 8 + fontH / 8;
    r.Right = page.Left + W - lpx / 4 - fontH / 2;
    if (plot_->XOnTop) {
        r.Top = page.Top + 2 * fontH + lpy / 8 + fontH / 8;
        r.Bottom = page.Top + H - lpy / 4 - fontH / 2;
    } else {
        r.Top = page.Top + fontH / 2 + lpy / 4;
        r.Bottom = page.Top + H - 2 * fontH - lpy / 8 - fontH / 8;
    }
    if (!plot_->Title.isEmpty()) {
        if (plot_->TitleOnTop) r.Top += fontH / 8 + fontH;
        else r.Bottom -= fontH;
    }
    if (plot_->ShowLayers) {
        const int oldRight = r.Right;
        r.Right -= layerTake;
        st_.layer = TIntRect{r.Right + lpx / 5, r.Top, oldRight, r.Bottom};
    }
    if (plot_->ShowThree) {
        const int w = (r.Right - r.Left - 4 * fontH - lpx / 2) / 3;
        st_.panel[0] = TIntRect{r.Left, r.Top, r.Left + w, r.Bottom};
        const int l2 = st_.panel[0].Right + 2 * fontH + lpx / 4;
        st_.panel[1] = TIntRect{l2, r.Top, l2 + w, r.Bottom};
        const int l3 = st_.panel[1].Right + 2 * fontH + lpx / 4;
        st_.panel[2] = TIntRect{l3, r.Top, r.Right, r.Bottom};
    } else {
        st_.panel[0] = r;
        st_.panel[1] = st_.panel[2] = TIntRect{};
    }
}

void TPlotForm::LayoutPrintedPage(const TIntRect& page, int lpx, int lpy) {
    st_.page = page;
    st_.lpx = lpx;
    st_.lpy = lpy;
    const int fontH = FontH();
    const int vertical = 2 * fontH + lpx / 8 + fontH / 8;  // uses the horizontal resolution
    TIntRect& r = st_.plot;
    r.Left = page.Left + vertical;
    r.Right = page.Right;
    if (plot_->XOnTop) {
        r.Top = page.Top + vertical;
        r.Bottom = page.Bottom;
    } else {
        r.Top = page.Top;
        r.Bottom = page.Bottom - vertical;
    }
    if (!plot_->Title.isEmpty()) {
        if (plot_->TitleOnTop) r.Top += lpy / 4;
        else r.Bottom -= lpy / 2;
    }
    if (plot_->ShowLayers) {
        const int oldRight = r.Right;
        r.Right -= lpx;
        st_.layer = TIntRect{r.Right + lpx / 5, r.Top, oldRight, r.Bottom};
    }
    if (plot_->ShowThree) {
        const int w = (r.Right - r.Left - 4 * fontH - lpx / 2) / 3;
        st_.panel[0] = TIntRect{r.Left, r.Top, r.Left + w, r.Bottom};
        const int l2 = st_.panel[0].Right + 2 * fontH + lpx / 4;
        st_.panel[1] = TIntRect{l2, r.Top, l2 + w, r.Bottom};
        const int l3 = st_.panel[1].Right + 2 * fontH + lpx / 4;
        st_.panel[2] = TIntRect{l3, r.Top, r.Right, r.Bottom};
    } else {
        st_.panel[0] = r;
    }
}

void TPlotForm::Relayout(bool moveLegend) {
    st_.fontHeight = 14;
    st_.windowWidth = canvas_->width();
    st_.windowHeight = canvas_->height();
    LayoutPage(TIntRect{0, 0, canvas_->width(), canvas_->height()}, canvas_->logicalDpiX(),
               canvas_->logicalDpiY(), canvas_->logicalDpiX());
    if (moveLegend) legend_->move(st_.plot.Right - legend_->width(), st_.plot.Bottom - legend_->height());
    KeepLegendInside();
    st_.bitmap = st_.pageFlag = false;
    canvas_->update();
}

void TPlotForm::KeepLegendInside() {
    int x = legend_->x(), y = legend_->y();
    if (x + legend_->width() > canvas_->width()) x = canvas_->width() - legend_->width();
    if (y + legend_->height() > canvas_->height()) y = canvas_->height() - legend_->height();
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    legend_->move(x, y);
}

// ---------------------------------------------------------------------------
// Coordinates.

int TPlotForm::WorldToScreenX(int panel, long double x) const {
    const TIntRect& r = st_.panel[panel];
    const TPlotRange& g = range_[panel];
    return RoundInt((x - g.xmin) / (g.xmax - g.xmin) * (r.Right - r.Left)) + r.Left;
}

int TPlotForm::WorldToScreenY(int panel, long double y) const {
    const TIntRect& r = st_.panel[panel];
    const TPlotRange& g = range_[panel];
    const int dy = RoundInt((y - g.ymin) / (g.ymax - g.ymin) * (r.Bottom - r.Top));
    return plot_->XOnTop ? r.Top + dy : r.Bottom - dy;
}

TFloatPoint TPlotForm::ScreenToWorld(int panel, int sx, int sy) const {
    TFloatPoint w;
    const TIntRect& r = st_.panel[panel];
    const TPlotRange& g = range_[panel];
    if (sx < r.Left || sx > r.Right || r.Right == r.Left || r.Bottom == r.Top) return w;
    w.X = g.xmin + (long double)(sx - r.Left) / (r.Right - r.Left) * (g.xmax - g.xmin);
    const int dy = plot_->XOnTop ? sy - r.Top : r.Bottom - sy;
    w.Y = g.ymin + (long double)dy / (r.Bottom - r.Top) * (g.ymax - g.ymin);
    return w;
}

int TPlotForm::PanelAt(int sx) const {
    if (!plot_->ShowThree) return 0;
    for (int i = 0; i < 3; ++i)
        if (sx >= st_.panel[i].Left && sx <= st_.panel[i].Right) return i;
    return 0;
}

// ---------------------------------------------------------------------------
// Mouse.

void TPlotForm::MouseDown(Qt::MouseButton button, QPoint pos) {
    if (!st_.plot.Contains(pos.x(), pos.y())) return;
    if (button == Qt::LeftButton) {
        if (plot_->ShowThree) return;
        banding_ = true;
        bandStart_ = bandCorner_ = pos;
        band_->setGeometry(QRect(pos, QSize(1, 1)));
        band_->show();
    } else if (button == Qt::RightButton) {
        const int panel = PanelAt(pos.x());
        const TFloatPoint w = ScreenToWorld(panel, pos.x(), pos.y());
        TPlotRange& r = range_[panel];
        const TPlotRange& f = full_[panel];
        PlotZoomAxisOut(r.xmin, r.xmax, f.xmin, f.xmax, w.X);
        PlotZoomAxisOut(r.ymin, r.ymax, f.ymin, f.ymax, w.Y);
        canvas_->update();
    }
}

void TPlotForm::MouseMove(QPoint pos) {
    const TIntRect& r = st_.plot;
    const QPoint c(std::clamp(pos.x(), r.Left, std::max(r.Left, r.Right)),
                   std::clamp(pos.y(), r.Top, std::max(r.Top, r.Bottom)));
    if (banding_) {
        bandCorner_ = c;
        band_->setGeometry(QRect(bandStart_, bandCorner_).normalized());
    }
    const TFloatPoint w = ScreenToWorld(PanelAt(c.x()), c.x(), c.y());
    setWindowTitle(plot_->Caption + QStringLiteral(" X: ") + FloatToStrG(w.X, 5) + QStringLiteral(" Y: ") +
                   FloatToStrG(w.Y, 5));
}

void TPlotForm::MouseUp(Qt::MouseButton button, QPoint pos) {
    if (button != Qt::LeftButton || !banding_) return;
    banding_ = false;
    band_->hide();
    if (pos.x() == bandStart_.x() || pos.y() == bandStart_.y()) return;
    const TIntRect& r = st_.plot;
    const QPoint end(std::clamp(pos.x(), r.Left, r.Right), std::clamp(pos.y(), r.Top, r.Bottom));
    const TFloatPoint a = ScreenToWorld(0, bandStart_.x(), bandStart_.y());
    const TFloatPoint b = ScreenToWorld(0, end.x(), end.y());
    TPlotRange& g = range_[0];
    const TPlotRange& f = full_[0];
    PlotZoomAxisBand(g.xmin, g.xmax, f.xmin, f.xmax, a.X, b.X);
    PlotZoomAxisBand(g.ymin, g.ymax, f.ymin, f.ymax, a.Y, b.Y);
    canvas_->update();
}

// ---------------------------------------------------------------------------
// Painting.

QFont TPlotForm::PlotFont(int weight) const {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(std::max(1, FontH()));
    f.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    return f;
}

void TPlotForm::DrawText(QPainter& p, int x, int y, const QString& s) {
    p.drawText(QPoint(x, y + p.fontMetrics().ascent()), s);
}

// Text reading upward, its (rotated) box starting at boxLeft, centred on centreY.
void TPlotForm::DrawRotated(QPainter& p, int boxLeft, int centreY, const QString& s) {
    const QFontMetrics fm = p.fontMetrics();
    p.save();
    p.translate(boxLeft, centreY + fm.horizontalAdvance(s) / 2);
    p.rotate(-90);
    p.drawText(QPoint(0, fm.ascent()), s);
    p.restore();
}

QString TPlotForm::AxisText(const QString& caption, const QString& units) const {
    if (units.isEmpty()) return caption;
    return caption + QStringLiteral(" (") + PlotUnitsText(units, plot_->Units()) + QStringLiteral(")");
}

void TPlotForm::UpdateTicks() {
    const int n = plot_->ShowThree ? 3 : 1;
    for (int i = 0; i < 3; ++i) ticks_[i] = i < n ? PlotPanelTicks(range_[i], st_.panel[i], FontH()) : TPanelTicks{};
}

void TPlotForm::PaintPlot(QPainter& p) {
    if (!plot_) return;
    const TIntRect& pg = st_.page;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.fillRect(QRect(pg.Left, pg.Top, pg.Width(), pg.Height()), Qt::white);
    const int curveWidth = (RoundInt(st_.lpx / 300.0L) + 1) * plot_->WidthLine;
    p.setPen(QPen(Qt::black, curveWidth));
    if (pg.Width() < st_.lpx || pg.Height() < st_.lpy) return;
    DrawCaptions(p);
    UpdateTicks();
    const int n = plot_->ShowThree ? 3 : 1;
    for (int i = 0; i < n; ++i) DrawTicks(p, i);
    p.setPen(QPen(Qt::black, curveWidth));
    DrawCurves(p);
    if (st_.pageFlag) DrawPageLegend(p);
    if (plot_->ShowLayers) DrawLayers(p);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (int i = 0; i < n; ++i) {
        const TIntRect& r = plot_->ShowThree ? st_.panel[i] : st_.plot;
        // The outline covers left..right and top..bottom inclusive, as the
        // rectangle from (left, top) to (right + 1, bottom + 1) exclusive.
        p.drawRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    }
}

void TPlotForm::DrawCaptions(QPainter& p) {
    const TIntRect& pg = st_.page;
    const int fontH = FontH();
    p.setFont(PlotFont(700));
    p.setPen(Qt::black);
    const QFontMetrics fm = p.fontMetrics();
    const bool title = !plot_->Title.isEmpty();
    if (title) {
        const int x = pg.Left + (pg.Width() - fm.horizontalAdvance(plot_->Title)) / 2;
        DrawText(p, x, plot_->TitleOnTop ? pg.Top : pg.Bottom - fm.height(), plot_->Title);
    }
    if (!plot_->ShowThree) {
        const QString xs = AxisText(plot_->XCaption, plot_->XUnits);
        const int x = pg.Left + (pg.Width() - fm.horizontalAdvance(xs)) / 2;
        if (plot_->XOnTop) DrawText(p, x, pg.Top + (title && plot_->TitleOnTop ? fontH / 8 + fontH : 0), xs);
        else DrawText(p, x, pg.Bottom - fm.height() - (title && !plot_->TitleOnTop ? fontH / 8 + fontH : 0), xs);
        DrawRotated(p, pg.Left, pg.Top + pg.Height() / 2, AxisText(plot_->YCaption, plot_->YUnits));
        return;
    }
    const QString xs[3] = {AxisText(plot_->XCaption, plot_->XUnits), AxisText(plot_->XCaption2, plot_->XUnits2),
                           AxisText(plot_->XCaption3, plot_->XUnits3)};
    const QString ys[3] = {AxisText(plot_->YCaption, plot_->YUnits), AxisText(plot_->YCaption2, plot_->YUnits2),
                           AxisText(plot_->YCaption3, plot_->YUnits3)};
    for (int i = 0; i < 3; ++i) {
        const TIntRect& r = st_.panel[i];
        const int x = r.Left + (r.Width() - fm.horizontalAdvance(xs[i])) / 2;
        if (plot_->XOnTop)
            DrawText(p, x, pg.Top + st_.lpy / 16 + (title && plot_->TitleOnTop ? st_.lpy / 4 : 0), xs[i]);
        else
            DrawText(p, x, pg.Bottom - st_.lpy / 16 - fm.height() - (title && !plot_->TitleOnTop ? st_.lpy / 4 : 0),
                     xs[i]);
        DrawRotated(p, r.Left - st_.lpx / 8 - 2 * fontH, pg.Top + pg.Height() / 2, ys[i]);
    }
}

void TPlotForm::DrawTicks(QPainter& p, int panel) {
    const TPanelTicks& t = ticks_[panel];
    if (!t.ok) return;
    const TIntRect& r = st_.panel[panel];
    const int lpx = st_.lpx, lpy = st_.lpy;
    p.setFont(PlotFont(400));
    const QFontMetrics fm = p.fontMetrics();
    const QPen solid(Qt::black, 1, Qt::SolidLine), dotted(Qt::black, 1, Qt::DotLine);
    if (t.xLast > t.xFirst) {
        for (int k = t.xFirst; k <= t.xLast; ++k) {
            const long double v = k * t.step.X;
            const int x = WorldToScreenX(panel, v);
            if (x < r.Left || x > r.Right) continue;
            if (k % 5 == 0) {
                p.setPen(dotted);
                p.drawLine(x, r.Top, x, r.Bottom);
                p.setPen(solid);
                const QString s = FloatToStrG(v, 4);
                const int tx = x - fm.horizontalAdvance(s) / 2;
                if (plot_->XOnTop) DrawText(p, tx, r.Top - lpy / 32 - fm.height(), s);
                else DrawText(p, tx, r.Bottom + lpy / 16, s);
            }
            p.setPen(solid);
            if (plot_->XOnTop) p.drawLine(x, r.Top, x, r.Top + lpy / 16);
            else p.drawLine(x, r.Bottom, x, r.Bottom - lpy / 16);
        }
    }
    if (t.yLast > t.yFirst) {
        for (int k = t.yFirst; k <= t.yLast; ++k) {
            const long double v = k * t.step.Y;
            const int y = WorldToScreenY(panel, v);
            if (y < r.Top || y > r.Bottom) continue;
            if (k % 5 == 0) {
                p.setPen(dotted);
                p.drawLine(r.Left, y, r.Right, y);
                p.setPen(solid);
                DrawRotated(p, r.Left - fm.height() - lpx / 32, y, FloatToStrG(v, 4));
            }
            p.setPen(solid);
            p.drawLine(r.Left, y, r.Left + lpx / 16, y);
        }
    }
}

void TPlotForm::DrawMarker(QPainter& p, int i, int x, int y) {
    const QVector<QPoint> v = PlotMarkerVertices(i, x, y, st_.lpx, st_.lpy);
    p.drawPolygon(v.data(), int(v.size()));
}

void TPlotForm::DrawGroup(QPainter& p, int group, int panel, bool threePanel) {
    const TObjectList<TLine>& lines = plot_->Group(group);
    if (lines.Count() == 0 || lines.Items(0)->PointCount() < 2) return;
    const TIntRect& r = st_.panel[panel];
    p.setClipRect(QRect(r.Left, r.Top, r.Width() + 1, r.Height() + 1));
    const bool dropLast = threePanel && lines.Count() > 1;
    const QPen base = p.pen();
    int c = 0;
    for (int li = 0; li < lines.Count(); ++li) {
        const TLine& line = *lines.Items(li);
        if (!line.Active) continue;
        if (line.Visible) {
            QPen pen = base;
            pen.setColor(kPlotPalette[c % 17]);
            p.setPen(pen);
            p.setBrush(kPlotPalette[c % 17]);
            const int n = line.PointCount() - (dropLast ? 1 : 0);
            QVector<QPoint> pts;
            pts.reserve(n);
            // Points without a finite value break the polyline and get no marker.
            QVector<bool> placed(n, false);
            auto flush = [&p, &pts] {
                if (pts.size() > 1) p.drawPolyline(pts.data(), int(pts.size()));
                pts.clear();
            };
            QVector<QPoint> all(n);
            for (int i = 0; i < n; ++i) {
                const TFloatPoint& pt = line.Points(i);
                if (!std::isfinite(pt.X) || !std::isfinite(pt.Y)) {
                    flush();
                    continue;
                }
                all[i] = QPoint(WorldToScreenX(panel, pt.X), WorldToScreenY(panel, pt.Y));
                placed[i] = true;
                pts.append(all[i]);
            }
            flush();
            p.setBrush(Qt::NoBrush);
            if (plot_->Markers > 0)
                for (int i = 0; i < n; i += plot_->Markers)
                    if (placed[i]) DrawMarker(p, c, all[i].x(), all[i].y());
        }
        ++c;
    }
    QPen pen = base;
    pen.setColor(Qt::black);
    p.setPen(pen);
    p.setBrush(Qt::white);
    p.setClipRect(QRect(st_.page.Left, st_.page.Top, st_.page.Width(), st_.page.Height()));
    p.setClipping(false);
}

void TPlotForm::DrawCurves(QPainter& p) {
    if (!plot_->ShowThree) {
        DrawGroup(p, 0, 0, false);
        return;
    }
    DrawGroup(p, 0, 0, true);
    DrawGroup(p, 2, 1, true);
    DrawGroup(p, 3, 2, true);
}

void TPlotForm::DrawPageLegend(QPainter& p) {
    QVector<int> lines;  // legend positions whose curve is visible
    for (int i = 0; i < legendCurves_.size(); ++i)
        if (plot_->Lines(legendCurves_[i]).Visible) lines.append(i);
    if (lines.isEmpty()) return;
    p.setFont(PlotFont(400));
    const QFontMetrics fm = p.fontMetrics();
    int W = 0;
    for (int i : lines) W = std::max(W, fm.horizontalAdvance(legend_->Items.value(i)));
    const int h = fm.height(), lpx = st_.lpx, lpy = st_.lpy;
    const TIntRect& pg = st_.page;
    const int ww = std::max(1, st_.windowWidth), wh = std::max(1, st_.windowHeight);
    int x = pg.Left + int((long long)legend_->x() * pg.Width() / ww);
    int y = pg.Top + int((long long)pg.Height() * legend_->y() / wh);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    // From (x, y) to the far corner, the far edges exclusive.
    p.drawRect(x, y, W + 3 * lpx / 16 - 1, int(lines.size()) * (h + lpy / 32) + lpy / 32 - 1);
    x += lpx / 16;
    y += lpy / 32;
    for (int i : lines) {
        p.setPen(QPen(kPlotPalette[i % 17], 1));
        p.setBrush(Qt::NoBrush);
        DrawMarker(p, i, x, y + h / 2);
        DrawText(p, x + lpx / 16, y, legend_->Items.value(i));
        y += lpy / 32 + h;
    }
    p.setPen(Qt::black);
}

// Soil column: bands between consecutive depths of each layer curve, filled
// after the soil code of the band's first point.
void TPlotForm::DrawLayers(QPainter& p) {
    const TIntRect& r = st_.layer;
    if (r.Right <= r.Left) return;
    p.save();
    p.setClipRect(QRect(r.Left, r.Top, r.Width() + 1, r.Height() + 1));
    int n = plot_->LayerLineCount();
    if (plot_->WallLineCount > 0) n -= plot_->ShowWall ? 1 : 2;
    static const Qt::BrushStyle kFill[] = {Qt::NoBrush,         Qt::Dense6Pattern,   Qt::BDiagPattern,
                                           Qt::CrossPattern,    Qt::DiagCrossPattern, Qt::HorPattern,
                                           Qt::VerPattern,      Qt::Dense7Pattern,   Qt::Dense5Pattern,
                                           Qt::Dense4Pattern,   Qt::Dense3Pattern,   Qt::Dense2Pattern,
                                           Qt::Dense1Pattern};
    for (int li = 0; li < n && li < plot_->LayerLineCount(); ++li) {
        const TLine& line = plot_->LayerLines(li);
        for (int i = 0; i + 1 < line.PointCount(); ++i) {
            const int code = int(line.Points(i).X);
            const int y1 = WorldToScreenY(0, line.Points(i).Y), y2 = WorldToScreenY(0, line.Points(i + 1).Y);
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(code >= 1 && code <= 12 ? QBrush(Qt::black, kFill[code]) : QBrush(Qt::NoBrush));
            p.drawRect(QRect(QPoint(r.Left, std::min(y1, y2)), QPoint(r.Right, std::max(y1, y2))));
        }
    }
    if (plot_->ShowWall && plot_->WallLineCount > 0 && plot_->WallLineCount < plot_->LayerLineCount()) {
        const TLine& wall = plot_->LayerLines(plot_->WallLineCount);
        if (wall.PointCount() > 0) {
            int top = WorldToScreenY(0, wall.Points(0).Y), bottom = top;
            for (int i = 1; i < wall.PointCount(); ++i) {
                const int y = WorldToScreenY(0, wall.Points(i).Y);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
            const int l = r.Left + r.Width() * 2 / 5, w = r.Width() / 5;
            p.fillRect(QRect(l, top, w, bottom - top + 1), Qt::gray);
        }
    }
    p.restore();
}

// ---------------------------------------------------------------------------
// Plot menu.

void TPlotForm::PlotMenuPopup() {
    MenuItem(QStringLiteral("PlotLegend"))->setChecked(plot_->ShowLegend);
    QAction* soil = MenuItem(QStringLiteral("PlotSoilLayer"));
    soil->setChecked(plot_->ShowLayers);
    soil->setVisible(plot_->LayerLineCount() > 0);
    QAction* wall = MenuItem(QStringLiteral("ShowWallGeometry"));
    wall->setVisible(plot_->WallLineCount > 0);
    wall->setEnabled(plot_->ShowLayers);
    wall->setChecked(plot_->ShowWall);
    MenuItem(QStringLiteral("FontSize"))->setVisible(plot_->ShowFontWidth);
    MenuItem(QStringLiteral("LineWidth"))->setVisible(plot_->ShowFontWidth);
    for (QAction* a : curveItems_) {
        const int c = a->data().toInt();
        if (c >= 0 && c < plot_->LineCount()) a->setChecked(plot_->Lines(c).Visible);
    }
}

void TPlotForm::PlotMarkersPopup() {
    for (QAction* a : markerItems_) a->setChecked(a->data().toInt() == plot_->Markers);
    // No radio item for a value outside the list.
    bool any = false;
    for (QAction* a : markerItems_) any = any || a->isChecked();
    if (!any && !markerItems_.isEmpty()) {
        QActionGroup* g = markerItems_.first()->actionGroup();
        g->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        for (QAction* a : markerItems_) a->setChecked(false);
    }
}

void TPlotForm::PlotLegendClick() {
    plot_->ShowLegend = !plot_->ShowLegend;
    legend_->setVisible(plot_->ShowLegend);
}

void TPlotForm::PlotSoilLayerClick() {
    plot_->ShowLayers = !plot_->ShowLayers;
    Relayout(true);
}

void TPlotForm::ShowWallGeometryClick() {
    plot_->ShowWall = !plot_->ShowWall;
    Relayout(true);
}

void TPlotForm::MarkerClick() {
    if (auto* a = qobject_cast<QAction*>(sender())) SetMarkers(a->data().toInt());
}
void TPlotForm::SetMarkers(int tag) {
    plot_->Markers = tag;
    canvas_->update();
}

void TPlotForm::FontSizeClick() {
    if (auto* a = qobject_cast<QAction*>(sender())) SetFontSize(a->data().toInt());
}
void TPlotForm::SetFontSize(int tag) {
    plot_->SizeFont = tag;
    QFont f = legend_->font();
    const int size = std::max(1, tag * plot_->LegendFont / 10);
    f.setPointSize(size);
    legend_->setFont(f);
    legend_->ItemHeight = int(1.5 * size);
    legend_->Refit(true);
    Relayout(true);
}

void TPlotForm::LineWidthClick() {
    if (auto* a = qobject_cast<QAction*>(sender())) SetLineWidth(a->data().toInt());
}
void TPlotForm::SetLineWidth(int tag) {
    plot_->WidthLine = tag;
    canvas_->update();
}

void TPlotForm::CurveItemClick() {
    if (auto* a = qobject_cast<QAction*>(sender())) ToggleCurveVisible(a->data().toInt());
}

void TPlotForm::ToggleCurveVisible(int c) {
    if (c < 0 || c >= plot_->LineCount()) return;
    plot_->Lines(c).Visible = !plot_->Lines(c).Visible;
    for (QAction* a : curveItems_)
        if (a->data().toInt() == c) a->setChecked(plot_->Lines(c).Visible);
    canvas_->update();
    legend_->update();
}

void TPlotForm::ApplyTitle(const QString& title, bool onTop) {
    plot_->Title = title;
    plot_->TitleOnTop = onTop;
    Relayout(false);
}

void TPlotForm::ApplyLineNames(const QStringList& texts) {
    for (int i = 0; i < plot_->LineCount() && i < texts.size(); ++i) plot_->Lines(i).Name = texts[i];
    int k = 0;
    for (int i = 0; i < plot_->LineCount(); ++i) {
        if (!plot_->Lines(i).Active) continue;
        if (k < legend_->Items.size()) legend_->Items[k] = texts.value(i);
        if (k < curveItems_.size()) curveItems_[k]->setText(texts.value(i));
        ++k;
    }
    legend_->update();
}

void TPlotForm::ApplyActiveStates(const QStringList& states) {
    for (int i = 0; i < plot_->LineCount() && i < states.size(); ++i)
        plot_->Lines(i).Active = states[i] == QLatin1String(" yes : ");
    int k = 0;
    legendCurves_.clear();
    for (int i = 0; i < plot_->LineCount(); ++i) {
        if (!plot_->Lines(i).Active) continue;
        const QString text = plot_->Lines(i).DisplayName();
        if (k < legend_->Items.size()) {
            legend_->Items[k] = text;
            curveItems_[k]->setText(text);
            curveItems_[k]->setData(i);
            curveItems_[k]->setChecked(plot_->Lines(i).Visible);
        } else {
            legend_->Items.append(text);
            AddCurveItem(i)->setText(text);
        }
        legendCurves_.append(i);
        ++k;
    }
    while (legend_->Items.size() > k) legend_->Items.removeLast();
    while (curveItems_.size() > k) delete curveItems_.takeLast();
    legend_->Refit();
    canvas_->update();
    legend_->update();
}

// ---------------------------------------------------------------------------

void InstallPlotWindowFactory(QMdiArea* area) {
    SetPlotWindowFactory([area](TGraphPlot& plot) -> TPlotWindow* {
        auto* form = new TPlotForm(plot);
        if (area) area->addSubWindow(form);
        return form;
    });
}

}  // namespace vortn
