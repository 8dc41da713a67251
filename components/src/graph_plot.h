// Non-visual description of one x-y plot: up to four groups of curves of
// points, captions with units strings and display options. A plot window
// attaches through TPlotWindow (made by the factory given to
// SetPlotWindowFactory); the component never draws by itself.
#pragma once

#include "small_routines.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace vortn {

class TGraphPlot;

struct TFloatPoint : public TObject {
    long double X = 0;
    long double Y = 0;
};

class TLine : public TObject {
public:
    explicit TLine(TGraphPlot* owner);
    int PointCount() const { return points_.Count(); }
    TFloatPoint& Points(int i) const { return *points_.Items(i); }
    void SetPointCount(int n);
    QString DisplayName() const;
    TGraphPlot* Owner() const { return owner_; }

    long double Value = 0;
    QString Name;
    bool Visible = true;
    bool Active = true;

private:
    TObjectList<TFloatPoint> points_;
    TGraphPlot* owner_;
};

using TGetCaptionEvent = std::function<void(int curveIndex, QString& legendText)>;

class TPlotWindow {
public:
    virtual ~TPlotWindow() = default;
    virtual void ShowWindow() = 0;  // shows it, restoring it when minimized
    virtual void FreeWindow() = 0;  // the plot dies first: free yourself
};
using TPlotWindowFactory = std::function<TPlotWindow*(TGraphPlot& plot)>;
void SetPlotWindowFactory(TPlotWindowFactory factory);

class TGraphPlot : public TObject {
public:
    TGraphPlot();
    ~TGraphPlot() override;
    TGraphPlot(const TGraphPlot&) = delete;
    TGraphPlot& operator=(const TGraphPlot&) = delete;

    QString Name;  // component name in its form

    // Published properties.
    QString CurveName = "Curve #";
    QString Caption;
    bool ShowLegend = true;
    bool ShowLayers = false;
    bool ShowWall = false;
    bool ShowThree = false;
    bool ShowFontWidth = true;
    int WallLineCount = 0;
    int Markers = 1;
    int SizeFont = 10;
    int LegendFont = 11;
    int WidthLine = 1;
    QString XCaption, XUnits, YCaption, YUnits;
    bool XOnTop = true;
    QString XCaption2, XUnits2, YCaption2, YUnits2;
    QString XCaption3, XUnits3, YCaption3, YUnits3;
    TGetCaptionEvent onGetCaption;

    int Units() const { return units_; }
    void SetUnits(int n);  // clamped to 1..3

    // Other state.
    bool LimitActiveLines = true;
    QString Title;
    bool TitleOnTop = false;
    QStringList LineNames;

    // Group 0.
    int PointCount() const { return GroupPointCount(0); }
    TFloatPoint& Points(int line, int index) const { return Lines(line).Points(index); }
    int LineCount() const { return groups_[0].Count(); }
    TLine& Lines(int index) const { return *groups_[0].Items(index); }
    void SetLineCount(int n);
    void SetPointCount(int n);
    // Group 1: soil-layer column.
    int LayerPointCount() const { return GroupPointCount(1); }
    TFloatPoint& LayerPoints(int line, int index) const { return LayerLines(line).Points(index); }
    int LayerLineCount() const { return groups_[1].Count(); }
    TLine& LayerLines(int index) const { return *groups_[1].Items(index); }
    // Groups 2 and 3: panels 2 and 3.
    int PointCount2() const { return GroupPointCount(2); }
    TFloatPoint& Points2(int line, int index) const { return Lines2(line).Points(index); }
    int LineCount2() const { return groups_[2].Count(); }
    TLine& Lines2(int index) const { return *groups_[2].Items(index); }
    int PointCount3() const { return GroupPointCount(3); }
    TFloatPoint& Points3(int line, int index) const { return Lines3(line).Points(index); }
    int LineCount3() const { return groups_[3].Count(); }
    TLine& Lines3(int index) const { return *groups_[3].Items(index); }
    // Direct access to a group (0..3), e.g. for the plot window and loaders.
    TObjectList<TLine>& Group(int g) { return groups_[g]; }
    const TObjectList<TLine>& Group(int g) const { return groups_[g]; }
    int IndexInGroup0(const TLine* line) const { return groups_[0].IndexOf(line); }

    // Opens the window (made on first call).
    void Execute();
    TPlotWindow* Window() const { return window_; }
    bool WindowExists() const { return window_ != nullptr; }
    // Called by the window when it closes and frees itself.
    void WindowClosed() { window_ = nullptr; }

private:
    int GroupPointCount(int g) const { return groups_[g].Count() ? groups_[g].Items(0)->PointCount() : 0; }
    int units_ = 1;
    TObjectList<TLine> groups_[4];
    TPlotWindow* window_ = nullptr;
};

// Axis-caption expansion of a units string (the plot's own table).
QString PlotUnitsText(const QString& unitsString, int system);

}  // namespace vortn
