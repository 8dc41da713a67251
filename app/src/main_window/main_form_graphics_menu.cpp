// Main window: the Graphics menu: the result plots and the amplitude plot.
#include "main_form.h"

#include "amp_plot.h"
#include "ui_MainForm.h"

#include <QFileInfo>

namespace vortn {

void TMainForm::GraphicsMenuClick() {
    Ui::TMainForm& f = *ui_;
    const bool results =
            resultsLoaded_ && QFileInfo(ChangeFileExt(Project().FileName, QStringLiteral(".vtp"))).isFile();
    const bool matrix = results && plots_.MatrixFlag() != 0;
    const bool harmonic = results && plots_.LoadingCode() == CodeOf(TLoadingType::Harmonic);
    for (QAction* a : {f.GraphKXX, f.GraphKPPX, f.GraphCXX, f.GraphCPPX}) a->setEnabled(matrix);
    for (QAction* a : {f.GraphDisp, f.GraphRot}) a->setEnabled(harmonic);
    f.GraphAmp->setEnabled(harmonic && ampPlot_ != nullptr);
}

void TMainForm::ShowPlot(const QString& plotName) {
    if (TGraphPlot* plot = plots_.ByName(plotName)) plot->Execute();
}

void TMainForm::AmpPlotClick() {
    if (ampPlot_) ampPlot_->exec();
}

}  // namespace vortn
