#include "plot_window.h"

#include "mdi_child.h"
#include "message_box.h"
#include "handler_guard.h"
#include "number_format.h"
#include "ui_plot_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPointer>
#include <QRubberBand>

#include <algorithm>
#include <cmath>

namespace vortn {

const QColor kPlotPalette[17] = {QColor(0x00, 0x00, 0x00), QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0x00, 0x00),
                                 QColor(0x00, 0x80, 0x00), QColor(0x80, 0x00, 0x80), QColor(0x80, 0x00, 0x00),
                                 QColor(0x00, 0x00, 0x80), QColor(0xFF, 0x00, 0xFF), QColor(0x80, 0x80, 0x00),
                                 QColor(0x00, 0x80, 0x80), QColor(0x80, 0x80, 0x80), QColor(0x00, 0xFF, 0x00),
                                 QColor(0x80, 0x80, 0x80), QColor(0xC0, 0xC0, 0xC0), QColor(0xC0, 0xC0, 0xC0),
                                 QColor(0xFF, 0xFF, 0x00), QColor(0x00, 0xFF, 0xFF)};

// ---------------------------------------------------------------------------
// The drawing surface.

TPlotCanvas::TPlotCanvas(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAutoFillBackground(false);
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(14);
    setFont(f);
}

void TPlotCanvas::paintEvent(QPaintEvent*) {
    if (!form_) return;
    QPainter p(this);
    form_->painter_ = &p;
    form_->FormPaint();
    form_->painter_ = nullptr;
}

void TPlotCanvas::resizeEvent(QResizeEvent*) {
    if (form_) form_->FormResize();
}

void TPlotCanvas::mousePressEvent(QMouseEvent* e) {
    if (form_) form_->MouseDown(e->button(), e->position().toPoint());
}

void TPlotCanvas::mouseMoveEvent(QMouseEvent* e) {
    if (form_) form_->MouseMove(e->position().toPoint());
}

void TPlotCanvas::mouseReleaseEvent(QMouseEvent* e) {
    if (form_) form_->MouseUp(e->button(), e->position().toPoint());
}

void TPlotCanvas::leaveEvent(QEvent*) {
    if (form_) form_->MouseLeave();
}

// ---------------------------------------------------------------------------
// Legend.

TPlotLegend::TPlotLegend(QWidget* parent) : QWidget(parent) {
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
    if (!form_) return;
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
    if (form_) form_->LegendMoved();
}

void TPlotLegend::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void TPlotLegend::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!form_) return;
    const int row = ItemAt(int(e->position().y()) - 1);
    const QVector<int>& curves = form_->LegendCurves();
    if (row >= 0 && row < curves.size()) form_->ToggleCurveVisible(curves[row]);
}

// ---------------------------------------------------------------------------
// The window.

TPlotForm::TPlotForm(TGraphPlot& plot, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TPlotForm>()), plot_(&plot) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    canvas_ = ui_->Canvas;
    canvas_->SetForm(this);
    legend_ = ui_->Legend;
    legend_->SetForm(this);
    band_ = new QRubberBand(QRubberBand::Rectangle, canvas_);
    SetUpMenu();
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
    if (QAction* a = findChild<QAction*>(name)) return a;
    for (QMenu* m : {ui_->PlotMarkers, ui_->FontSize, ui_->LineWidth})
        if (m->objectName() == name) return m->menuAction();
    return nullptr;
}

// The menu comes from the form; what Designer cannot hold is added here: the
// menu's shortcut, its separators and each command's tag as its data.
void TPlotForm::SetUpMenu() {
    plotMenu_ = ui_->Plot1;
    markersMenu_ = ui_->PlotMarkers;
    plotMenu_->menuAction()->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    for (QMenu* m : {ui_->PlotMarkers, ui_->FontSize, ui_->LineWidth}) m->menuAction()->setObjectName(m->objectName());
    // Designer names no separator: the form's are named actions made separators here.
    for (QAction* a : {ui_->N5, ui_->N1}) a->setSeparator(true);
    for (QAction* a : findChildren<QAction*>()) {
        const QVariant tag = a->property("Tag");
        if (tag.isValid()) a->setData(tag);
    }
    markerItems_ = ui_->MarkerGroup->actions();
    // The commands run through the guard: nothing may leave a menu handler.
    const TMessageSink show = [this](const QString& text) { ShowMessage(text); };
    const std::pair<const char*, void (TPlotForm::*)()> commands[] = {
            {"PlotLegend", &TPlotForm::PlotLegendClick},
            {"PlotSoilLayer", &TPlotForm::PlotSoilLayerClick},
            {"ShowWallGeometry", &TPlotForm::ShowWallGeometryClick},
            {"PlotCaption", &TPlotForm::PlotCaptionClick},
            {"mLineName", &TPlotForm::mLineNameClick},
            {"ActiveGraphs", &TPlotForm::ActiveGraphsClick},
            {"PlotPrint", &TPlotForm::PlotPrintClick},
            {"PlotPage", &TPlotForm::PlotPageClick},
            {"PlotSave", &TPlotForm::PlotSaveClick}};
    for (const auto& [name, handler] : commands)
        ConnectGuarded(MenuItem(QLatin1String(name)), &QAction::triggered, this, handler, show);
    const std::pair<QMenu*, void (TPlotForm::*)()> tagged[] = {{ui_->PlotMarkers, &TPlotForm::MarkerClick},
                                                               {ui_->FontSize, &TPlotForm::FontSizeClick},
                                                               {ui_->LineWidth, &TPlotForm::LineWidthClick}};
    for (const auto& [menu, handler] : tagged)
        for (QAction* a : menu->actions()) ConnectGuarded(a, &QAction::triggered, this, handler, show);
    ConnectGuarded(plotMenu_, &QMenu::aboutToShow, this, &TPlotForm::PlotMenuPopup, show);
    ConnectGuarded(markersMenu_, &QMenu::aboutToShow, this, &TPlotForm::PlotMarkersPopup, show);
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
    ConnectGuarded(a, &QAction::triggered, this, &TPlotForm::CurveItemClick,
                   [this](const QString& text) { ShowMessage(text); });
    plotMenu_->addAction(a);
    curveItems_.append(a);
    return a;
}

void TPlotForm::FormCreate() {
    // Until the mouse read-out replaces it, and in the Window menu.
    setWindowTitle(plot_->Caption);
    MenuItem(QStringLiteral("PlotPage"))->setVisible(true);
    for (int panel = 0; panel < 3; ++panel) {
        const int group = panel == 0 ? 0 : panel + 1;
        if (!PlotGroupRange(plot_->Group(group), full_[panel])) valid_ = false;
        range_[panel] = full_[panel];
    }
    for (int i = 0; i < plot_->LineCount(); ++i) plot_->Lines(i).Active = !(plot_->LimitActiveLines && i >= 20);
    for (int i = 0; i < plot_->LineCount(); ++i) {
        if (!plot_->Lines(i).Active) continue;
        legend_->Items.append(LegendText(i));
        legendCurves_.append(i);
        AddCurveItem(i);
    }
    plot_->LegendFont =
            legend_->font().pointSize() > 0 ? legend_->font().pointSize() : int(std::lround(15 * 72.0 / logicalDpiY()));
    legend_->Refit();
    const bool legendOn = plot_->LineCount() > 0 && plot_->ShowLegend;
    legend_->setVisible(legendOn);
    MenuItem(QStringLiteral("PlotLegend"))->setVisible(legendOn);
    legendPending_ = true;
    // "Print" and "Page Setup" stay enabled without a printer: Qt's print
    // dialog offers a PDF file.
    pageSetup_.SetOptions({TPageSetupFlags::poDefaultMinMargins, TPageSetupFlags::poThousandthsOfInches});
    pageSetup_.SetMarginLeft(1000);
    pageSetup_.SetMarginTop(1000);
    pageSetup_.SetMarginRight(1000);
    pageSetup_.SetMarginBottom(1000);
    Relayout(true);
}

void TPlotForm::ShowMessage(const QString& text) { ErrorBox(this, text); }

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
        if (plot_->TitleOnTop)
            r.Top += fontH / 8 + fontH;
        else
            r.Bottom -= fontH;
    }
    SplitPlotArea(layerTake);
}

void TPlotForm::SplitPlotArea(int layerTake) {
    TIntRect& r = st_.plot;
    const int fontH = FontH(), lpx = st_.lpx;
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
        if (plot_->TitleOnTop)
            r.Top += lpy / 4;
        else
            r.Bottom -= lpy / 2;
    }
    SplitPlotArea(lpx);  // the soil column takes an inch
}

void TPlotForm::Relayout(bool moveLegend, bool resized) {
    // A legend inside the plot box stays inside it when the window changes
    // size, not over the tick labels below it.
    const TIntRect was = st_.plot;
    const QRect box = legend_->geometry();
    const bool inPlot = resized && was.Right > was.Left && box.left() >= was.Left && box.top() >= was.Top &&
                        box.right() < was.Right && box.bottom() < was.Bottom;
    st_.fontHeight = 14;
    st_.windowWidth = canvas_->width();
    st_.windowHeight = canvas_->height();
    LayoutPage(TIntRect{0, 0, canvas_->width(), canvas_->height()}, canvas_->logicalDpiX(), canvas_->logicalDpiY(),
               canvas_->logicalDpiX());
    if (moveLegend || legendPending_)
        legend_->move(st_.plot.Right - legend_->width(), st_.plot.Bottom - legend_->height());
    else if (inPlot)
        legend_->move(std::max(st_.plot.Left, std::min(box.left(), st_.plot.Right - legend_->width())),
                      std::max(st_.plot.Top, std::min(box.top(), st_.plot.Bottom - legend_->height())));
    KeepLegendInside();
    st_.bitmap = st_.pageFlag = false;
    canvas_->update();
}

void TPlotForm::FormResize() { Relayout(false, true); }

void TPlotForm::FormPaint() {
    if (!painter_) return;
    // The window is on screen at its size: from now on the legend keeps its
    // place when the window is resized.
    if (canvas_->isVisible()) legendPending_ = false;
    PaintPlot(*painter_);
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
    return PlotWorldToScreenX(range_[panel], st_.panel[panel], x);
}

int TPlotForm::WorldToScreenY(int panel, long double y) const {
    return PlotWorldToScreenY(range_[panel], st_.panel[panel], plot_->XOnTop, y);
}

TFloatPoint TPlotForm::ScreenToWorld(int panel, int sx, int sy) const {
    return PlotScreenToWorld(range_[panel], st_.panel[panel], plot_->XOnTop, sx, sy);
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

void TPlotForm::MouseLeave() {
    // The read-out is of a point the mouse has left: the caption (and the
    // Window menu's line) goes back to the plot's own.
    if (!banding_) setWindowTitle(plot_->Caption);
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
    const int curveWidth = (PlotRoundInt(st_.lpx / 300.0L) + 1) * plot_->WidthLine;
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
        if (plot_->XOnTop)
            DrawText(p, x, pg.Top + (title && plot_->TitleOnTop ? fontH / 8 + fontH : 0), xs);
        else
            DrawText(p, x, pg.Bottom - fm.height() - (title && !plot_->TitleOnTop ? fontH / 8 + fontH : 0), xs);
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
                if (plot_->XOnTop)
                    DrawText(p, tx, r.Top - lpy / 32 - fm.height(), s);
                else
                    DrawText(p, tx, r.Bottom + lpy / 16, s);
            }
            p.setPen(solid);
            if (plot_->XOnTop)
                p.drawLine(x, r.Top, x, r.Top + lpy / 16);
            else
                p.drawLine(x, r.Bottom, x, r.Bottom - lpy / 16);
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
    static const Qt::BrushStyle kFill[] = {
            Qt::NoBrush,       Qt::Dense6Pattern, Qt::FDiagPattern,  Qt::CrossPattern,  Qt::DiagCrossPattern,
            Qt::HorPattern,    Qt::VerPattern,    Qt::Dense7Pattern, Qt::Dense5Pattern, Qt::Dense4Pattern,
            Qt::Dense3Pattern, Qt::Dense2Pattern, Qt::Dense1Pattern};
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

// The tagged items share their handlers: the sending item's tag says which.
void TPlotForm::ApplySenderTag(void (TPlotForm::*apply)(int)) {
    if (auto* a = qobject_cast<QAction*>(sender())) (this->*apply)(a->data().toInt());
}

void TPlotForm::MarkerClick() { ApplySenderTag(&TPlotForm::SetMarkers); }
void TPlotForm::SetMarkers(int tag) {
    plot_->Markers = tag;
    canvas_->update();
}

void TPlotForm::FontSizeClick() { ApplySenderTag(&TPlotForm::SetFontSize); }
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

void TPlotForm::LineWidthClick() { ApplySenderTag(&TPlotForm::SetLineWidth); }
void TPlotForm::SetLineWidth(int tag) {
    plot_->WidthLine = tag;
    canvas_->update();
}

void TPlotForm::CurveItemClick() { ApplySenderTag(&TPlotForm::ToggleCurveVisible); }

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
    // The area may go before the plots do: windows made after that are
    // top-level windows.
    SetPlotWindowFactory([area = QPointer<QMdiArea>(area)](TGraphPlot& plot) -> TPlotWindow* {
        auto* form = new TPlotForm(plot);
        if (area) AddMdiChild(area, form);
        return form;
    });
}

}  // namespace vortn
