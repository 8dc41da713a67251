// The main window's eighteen result plots, made from the plot resource
// compiled into the program; the run loads the engine's results into them.
#pragma once

#include "graph_plot.h"

#include <QString>
#include <memory>
#include <vector>

namespace vortn {

// Reads "object <name>: TGraphPlot ... end" blocks with the plots'
// published properties. Raises EReadError on a malformed resource.
std::vector<std::unique_ptr<TGraphPlot>> ReadResultPlotResource(const QString& text);

class TResultPlots {
public:
    static QString DefaultResource() { return QStringLiteral(":/forms/MainForm.plots.txt"); }
    explicit TResultPlots(const QString& resource = DefaultResource());

    TGraphPlot& pltRealKXX() const { return *kxx_; }
    TGraphPlot& pltRealKYY() const { return *kyy_; }
    TGraphPlot& pltRealKWW() const { return *kww_; }
    TGraphPlot& pltRealKPPX() const { return *kppx_; }
    TGraphPlot& pltRealKPPY() const { return *kppy_; }
    TGraphPlot& pltRealKZT() const { return *kzt_; }
    TGraphPlot& pltRealKXP() const { return *kxp_; }
    TGraphPlot& pltRealKYP() const { return *kyp_; }
    TGraphPlot& pltDampCXX() const { return *cxx_; }
    TGraphPlot& pltDampCYY() const { return *cyy_; }
    TGraphPlot& pltDampCWW() const { return *cww_; }
    TGraphPlot& pltDampCPPX() const { return *cppx_; }
    TGraphPlot& pltDampCPPY() const { return *cppy_; }
    TGraphPlot& pltDampCZT() const { return *czt_; }
    TGraphPlot& pltDampCXP() const { return *cxp_; }
    TGraphPlot& pltDampCYP() const { return *cyp_; }
    TGraphPlot& pltDxyzR() const { return *dxyz_; }
    TGraphPlot& pltMxyzR() const { return *mxyz_; }

    // The eight stiffness plots, then the eight damping plots, in file order.
    std::vector<TGraphPlot*> Stiffness() const;
    std::vector<TGraphPlot*> Damping() const;
    const std::vector<TGraphPlot*>& All() const { return all_; }
    TGraphPlot* ByName(const QString& name) const;

    // Every plot back to no lines and no points; no results loaded.
    void Clear();
    // The matrix flag and loading code the last successful load read with
    // (0 when nothing is loaded): they decide which results exist.
    int MatrixFlag() const { return matrixFlag_; }
    int LoadingCode() const { return loadingCode_; }
    void SetLoadState(int matrixFlag, int loadingCode) {
        matrixFlag_ = matrixFlag;
        loadingCode_ = loadingCode;
    }

private:
    std::vector<std::unique_ptr<TGraphPlot>> owned_;
    std::vector<TGraphPlot*> all_;
    int matrixFlag_ = 0, loadingCode_ = 0;
    TGraphPlot *kxx_ = nullptr, *kyy_ = nullptr, *kww_ = nullptr, *kppx_ = nullptr, *kppy_ = nullptr, *kzt_ = nullptr,
               *kxp_ = nullptr, *kyp_ = nullptr, *cxx_ = nullptr, *cyy_ = nullptr, *cww_ = nullptr, *cppx_ = nullptr,
               *cppy_ = nullptr, *czt_ = nullptr, *cxp_ = nullptr, *cyp_ = nullptr, *dxyz_ = nullptr, *mxyz_ = nullptr;
};

}  // namespace vortn
