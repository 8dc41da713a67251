// Main window: enabling of the Data, Computation and Graphics menus, the
// loading and foundation menu rules, the result plots and the editor items.
#include "main_form.h"

#include "dialog_host.h"
#include "ui_MainForm.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QProcess>
#include <vector>

namespace vortn {

void TMainForm::DataMenuClick() {
    DeactivateActiveChild();
    Ui::TMainForm& f = *ui_;
    const QString word = Project().FoundationWord;
    const bool half = word == QLatin1String("HALF-SPACE");
    const bool pile = word == QLatin1String("PILE");
    const bool stratum = word == QLatin1String("STRATUM");
    const bool multi = word == QLatin1String("MULTILAYER");
    for (QAction* a : {f.DataPileProperties, f.DataPileElements, f.DataPileCoordinates, f.DataPileCapMass,
                       f.DataPileCapShape, f.DataSoilLayer})
        a->setEnabled(pile);
    for (QAction* a : {f.DataFoundation, f.DataMass, f.DataShape}) a->setEnabled(half || stratum || multi);
    f.DataFoundationLayer->setEnabled(multi);
    f.DataSoilBelow->setEnabled(true);
    if (half || multi) f.DataSideSoil->setText(QStringLiteral("Side Soil of Fondation"));
    else if (pile) f.DataSideSoil->setText(QStringLiteral("Side Soil of Pile Cap"));
    else if (stratum) f.DataSideSoil->setText(QStringLiteral("Side Soil"));
    f.DataSideSoil->setEnabled(half || pile || multi);
    f.DataSoilColumn->setEnabled(multi);
    if (multi && holder_->MultiElement().RowCount() > 1) {
        // Only a positive difference: the soil column never loses rows here.
        const int rows = holder_->MultiElement().RowCount() - holder_->D().RowCount();
        if (rows >= 1) holder_->Multisoil().SetRowCount(rows);
    }
}

void TMainForm::UpdateLoadingMenu() {
    Ui::TMainForm& f = *ui_;
    TProgramData& p = Project();
    if (p.LoadingWord == QLatin1String("HARMONIC")) p.LoadingCode = 1;
    else if (p.LoadingWord == QLatin1String("TRANSIENT")) p.LoadingCode = 2;
    else if (p.LoadingWord == QLatin1String("RANDOM")) p.LoadingCode = 3;
    const int code = p.LoadingCode;
    f.DataHarmonic->menuAction()->setEnabled(code == 1);
    f.DataTransient->setEnabled(code == 2);
    f.DataRandom->setEnabled(code == 3);
    f.LoadHarmonic->setChecked(code == 1);
    f.LoadTransient->setChecked(code == 2);
    f.LoadRandom->setChecked(code == 3);
    // The open load dialog of the current type closes those of the others.
    TDialogHost& d = Dialogs();
    const bool harmonicOpen = d.IsOpen(TDialogKind::Harmonic) || d.IsOpen(TDialogKind::Quadratic);
    std::vector<TDialogKind> close;
    if (code == 1 && harmonicOpen) close = {TDialogKind::Transient, TDialogKind::Random};
    if (code == 2 && d.IsOpen(TDialogKind::Transient))
        close = {TDialogKind::Quadratic, TDialogKind::Harmonic, TDialogKind::Random};
    if (code == 3 && d.IsOpen(TDialogKind::Random))
        close = {TDialogKind::Quadratic, TDialogKind::Harmonic, TDialogKind::Transient};
    for (TDialogKind k : close) d.CloseDialog(k);
}

void TMainForm::UpdateFoundationMenu() {
    Ui::TMainForm& f = *ui_;
    const bool pile = Project().FoundationWord == QLatin1String("PILE");
    for (QAction* a : {f.DataPileProperties, f.DataPileElements, f.DataPileCoordinates}) a->setEnabled(pile);
}

// ---- Computation menu ----

void TMainForm::ComputationMenuClick() {
    DeactivateActiveChild();
    Ui::TMainForm& f = *ui_;
    const QString name = Project().FileName;
    f.CompInput->setEnabled(QFileInfo(name).isFile());
    f.CompKernel->setEnabled(QFileInfo(ChangeFileExt(name, QStringLiteral(".vtr"))).isFile());
    f.CompOutput->setEnabled(QFileInfo(ChangeFileExt(name, QStringLiteral(".vto"))).isFile());
    f.CompRun->setEnabled(true);
}

void TMainForm::OpenInEditor(const QString& fileName) {
    // The editor gets the file as its one argument; no shell is involved.
    if (editorPath_.isEmpty() || !QProcess::startDetached(editorPath_, {fileName}))
        ShowMessage(QStringLiteral("An error occurred in running the Word Processor"));
}

void TMainForm::CompInputClick() { OpenInEditor(Project().FileName); }

void TMainForm::CompKernelClick() { OpenInEditor(ChangeFileExt(Project().FileName, QStringLiteral(".vtr"))); }

void TMainForm::CompOutputClick() { OpenInEditor(ChangeFileExt(Project().FileName, QStringLiteral(".vto"))); }

// ---- Graphics menu ----

void TMainForm::GraphicsMenuClick() {
    Ui::TMainForm& f = *ui_;
    const bool results =
        resultsLoaded_ && QFileInfo(ChangeFileExt(Project().FileName, QStringLiteral(".vtp"))).isFile();
    const bool matrix = results && plots_.MatrixFlag() != 0;
    const bool harmonic = results && plots_.LoadingCode() == 1;
    for (QAction* a : {f.GraphKXX, f.GraphKPPX, f.GraphCXX, f.GraphCPPX}) a->setEnabled(matrix);
    for (QAction* a : {f.GraphDisp, f.GraphRot}) a->setEnabled(harmonic);
    f.GraphAmp->setEnabled(harmonic && ampPlot_ != nullptr);
}

void TMainForm::ShowPlot(const QString& plotName) {
    if (TGraphPlot* plot = plots_.ByName(plotName)) plot->Execute();
}

}  // namespace vortn
