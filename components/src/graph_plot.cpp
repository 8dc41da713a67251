#include "graph_plot.h"

#include "number_format.h"

namespace vortn {

namespace {
TPlotWindowFactory& WindowFactory() {
    static TPlotWindowFactory factory;
    return factory;
}
}  // namespace

void SetPlotWindowFactory(TPlotWindowFactory factory) { WindowFactory() = std::move(factory); }

TLine::TLine(TGraphPlot* owner) : owner_(owner) {
    Value = owner ? owner->LineCount() + 1 : 1;
    SetPointCount(owner ? owner->PointCount() : 0);
}

void TLine::SetPointCount(int n) {
    if (n < 0) n = 0;
    while (points_.Count() > n) points_.Delete(points_.Count() - 1);
    while (points_.Count() < n) points_.Add(new TFloatPoint);
}

QString TLine::DisplayName() const {
    if (!Name.isEmpty()) return Name;
    if (owner_) {
        const int i = owner_->IndexInGroup0(this);
        if (i >= 0 && i < owner_->LineNames.size()) return owner_->LineNames[i];
        return owner_->CurveName + FloatToStr(Value);
    }
    return FloatToStr(Value);
}

TGraphPlot::TGraphPlot() = default;

TGraphPlot::~TGraphPlot() {
    if (window_) {
        TPlotWindow* w = window_;
        window_ = nullptr;
        w->FreeWindow();
    }
    for (auto& g : groups_) g.Clear();
}

void TGraphPlot::SetUnits(int n) { units_ = n > 3 ? 3 : (n < 1 ? 1 : n); }

void TGraphPlot::SetLineCount(int n) {
    if (n < 0) n = 0;
    TObjectList<TLine>& g = groups_[0];
    while (g.Count() > n) g.Delete(g.Count() - 1);
    while (g.Count() < n) g.Add(new TLine(this));
}

void TGraphPlot::SetPointCount(int n) {
    if (n < 0) n = 0;
    for (TLine* line : groups_[0]) line->SetPointCount(n);
}

void TGraphPlot::Execute() {
    if (!window_) {
        if (!WindowFactory()) return;
        window_ = WindowFactory()(*this);
        if (!window_) return;
    }
    window_->ShowWindow();
}

QString PlotUnitsText(const QString& unitsString, int system) {
    if (system != 1 && system != 2) return unitsString;
    const bool en = system == 1;
    QString s = unitsString;
    if (s.contains(QLatin1String("F2")))
        s = ReplaceAll(s, "F2", en ? "tons" : "kN");
    else if (s.contains(QLatin1String("F1")))
        s = ReplaceAll(s, "F1", en ? "kips" : "kN");
    else
        s = ReplaceAll(s, "F", en ? "lbs" : "kN");
    if (s.contains(QLatin1String("L2")))
        s = ReplaceAll(s, "L2", en ? "ft" : "m");
    else if (s.contains(QLatin1String("L1")))
        s = ReplaceAll(s, "L1", en ? "in" : "mm");
    else
        s = ReplaceAll(s, "L", en ? "in" : "m");
    return s;
}

}  // namespace vortn
