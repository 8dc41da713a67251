// The plot window: draws a TGraphPlot with rounded axes, ticks, a dotted
// grid, captions, coloured curves with markers and a movable legend; zooms
// with a rubber band (left button) and out (right button). All drawing goes
// through PaintPlot on a QPainter so the same routine serves the window, the
// printed page and a saved bitmap.
#pragma once

#include "graph_plot.h"
#include "plot_axes.h"
#include "page_setup.h"

#include <QColor>
#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

namespace Ui {
class TPlotForm;
}
class QAction;
class QActionGroup;
class QMdiArea;
class QMenu;
class QPainter;
class QPrinter;
class QRubberBand;

namespace vortn {

extern const QColor kPlotPalette[17];

// The layout of one target: window client area, printed page or bitmap.
struct TPlotLayoutState {
    TIntRect page, plot, panel[3], layer;
    int lpx = 96, lpy = 96;
    int fontHeight = 14;                    // height of the target canvas's own font, pixels
    int windowWidth = 0, windowHeight = 0;  // client size of the window (page legend placement)
    bool bitmap = false, pageFlag = false;
};

class TPlotForm;

// The drawing surface: the window's client area. It hands its paint,
// resize and mouse events to the window.
class TPlotCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TPlotCanvas(QWidget* parent = nullptr);
    void SetForm(TPlotForm* form) { form_ = form; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    TPlotForm* form_ = nullptr;
};

// The owner-drawn legend list: one line per active curve.
class TPlotLegend : public QWidget {
    Q_OBJECT
public:
    explicit TPlotLegend(QWidget* parent = nullptr);
    void SetForm(TPlotForm* form) { form_ = form; }
    QStringList Items;
    int ItemHeight = 16;
    // Height from the lines; width grows to the widest line, from the current
    // width or (fromDesign, after a font change) from the design width.
    void Refit(bool fromDesign = false);
    int ItemAt(int y) const { return ItemHeight > 0 ? y / ItemHeight : -1; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    TPlotForm* form_ = nullptr;
    bool dragging_ = false;
    QPoint grab_;
};

class TPlotForm : public QMainWindow, public TPlotWindow {
    Q_OBJECT
public:
    explicit TPlotForm(TGraphPlot& plot, QWidget* parent = nullptr);
    ~TPlotForm() override;

    // TPlotWindow
    void ShowWindow() override;
    void FreeWindow() override;

    TGraphPlot& Plot() const { return *plot_; }
    bool Valid() const { return valid_; }
    QWidget* Canvas() const { return canvas_; }
    TPlotLegend* Legend() const { return legend_; }
    QMenu* PlotMenu() const { return plotMenu_; }
    QAction* MenuItem(const QString& name) const;
    const QList<QAction*>& CurveItems() const { return curveItems_; }
    const QVector<int>& LegendCurves() const { return legendCurves_; }  // curve index per legend line
    TPageSetupDialog& PageSetup() { return pageSetup_; }

    const TPlotRange& Range(int panel) const { return range_[panel]; }
    const TPlotRange& FullRange(int panel) const { return full_[panel]; }
    void SetRange(int panel, const TPlotRange& r) { range_[panel] = r; }
    const TPlotLayoutState& Layout() const { return st_; }
    const TPanelTicks& Ticks(int panel) const { return ticks_[panel]; }

    int ScaledFontHeight(int size) const;
    int FontH() const { return ScaledFontHeight(plot_->SizeFont); }

    // Window layout; moveLegend puts the legend in the plot's bottom-right
    // corner first. Until the window is first painted at its size the legend
    // follows that corner on every layout. On a resize (resized) a legend
    // inside the plot box stays inside it.
    void Relayout(bool moveLegend, bool resized = false);
    // The user moved the legend: it stays where it was put.
    void LegendMoved() { legendPending_ = false; }
    // The window rules of the plot rectangle for a page (window or bitmap).
    void LayoutPage(const TIntRect& page, int lpx, int lpy, int layerTake);
    void LayoutPrintedPage(const TIntRect& page, int lpx, int lpy);
    void PaintPlot(QPainter& p);

    // World <-> screen through a panel's rectangle and current range.
    int WorldToScreenX(int panel, long double x) const;
    int WorldToScreenY(int panel, long double y) const;
    TFloatPoint ScreenToWorld(int panel, int sx, int sy) const;
    int PanelAt(int sx) const;

    // Pointer handling (the canvas forwards its mouse events here).
    void MouseDown(Qt::MouseButton button, QPoint pos);
    void MouseMove(QPoint pos);
    void MouseUp(Qt::MouseButton button, QPoint pos);
    void MouseLeave();

    // Printing and saving; each shows its message and returns false when it
    // did not happen.
    bool PrintTo(QPrinter& printer);
    // Renders into a new bitmap; false when its memory cannot be had.
    bool RenderBitmap(long double widthInches, long double heightInches, int ppi, QImage& image);
    bool SaveBitmap(const QString& fileName, long double widthInches, long double heightInches, int ppi);

    // The OK steps of the curve dialogs.
    void ApplyLineNames(const QStringList& texts);
    void ApplyActiveStates(const QStringList& states);
    void ApplyTitle(const QString& title, bool onTop);
    void ToggleCurveVisible(int curveIndex);
    QString LegendText(int curveIndex) const;

public slots:
    void FormCreate();
    void FormResize();
    void FormPaint();
    void PlotLegendClick();
    void PlotSoilLayerClick();
    void ShowWallGeometryClick();
    void MarkerClick();
    void FontSizeClick();
    void LineWidthClick();
    void PlotCaptionClick();
    void mLineNameClick();
    void ActiveGraphsClick();
    void PlotPrintClick();
    void PlotPageClick();
    void PlotSaveClick();
    void PlotMenuPopup();
    void PlotMarkersPopup();
    void CurveItemClick();
    void SetMarkers(int tag);
    void SetFontSize(int tag);
    void SetLineWidth(int tag);

protected:
    void closeEvent(QCloseEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    friend class TPlotCanvas;
    void SetUpMenu();
    QAction* AddCurveItem(int curveIndex);
    // Calls apply with the tag of the menu item that sent the signal.
    void ApplySenderTag(void (TPlotForm::*apply)(int));
    void KeepLegendInside();
    void ShowMessage(const QString& text);
    void UpdateTicks();
    // The soil column's strip of layerTake pixels off the plot's right (when
    // shown), then the panels of what is left.
    void SplitPlotArea(int layerTake);
    void DrawText(QPainter& p, int x, int y, const QString& s);
    void DrawRotated(QPainter& p, int boxLeft, int centreY, const QString& s);
    QFont PlotFont(int weight) const;
    void DrawCaptions(QPainter& p);
    void DrawTicks(QPainter& p, int panel);
    void DrawCurves(QPainter& p);
    void DrawGroup(QPainter& p, int group, int panel, bool dropLast);
    void DrawMarker(QPainter& p, int i, int x, int y);
    void DrawPageLegend(QPainter& p);
    void DrawLayers(QPainter& p);
    QString AxisText(const QString& caption, const QString& units) const;

    std::unique_ptr<Ui::TPlotForm> ui_;
    TGraphPlot* plot_;
    bool valid_ = true;
    bool legendPending_ = true;
    QPainter* painter_ = nullptr;  // the canvas's painter while FormPaint runs
    TPlotCanvas* canvas_ = nullptr;
    TPlotLegend* legend_ = nullptr;
    QMenu* plotMenu_ = nullptr;
    QMenu* markersMenu_ = nullptr;
    QList<QAction*> markerItems_;
    QList<QAction*> curveItems_;
    QVector<int> legendCurves_;
    QRubberBand* band_ = nullptr;
    TPageSetupDialog pageSetup_;
    std::unique_ptr<QPrinter> printer_;

    TPlotRange range_[3], full_[3];
    TPanelTicks ticks_[3];
    TPlotLayoutState st_;
    bool banding_ = false;
    QPoint bandStart_, bandCorner_;
};

// Makes plot windows for every TGraphPlot.Execute: MDI children of area when
// given, else top-level windows.
void InstallPlotWindowFactory(QMdiArea* area = nullptr);

}  // namespace vortn
