// Main window: the Data menu: enabling its items by foundation and loading,
// the input dialogs and the table editors.
#include "main_form.h"

#include "dialog_host.h"
#include "exceptions.h"
#include "ui_MainForm.h"

#include <QMdiArea>
#include <vector>

namespace vortn {

void TMainForm::ConnectDataMenu() {
    CreateDialogHost();
    Ui::TMainForm& f = *ui_;
    Handle(f.DataTitle, &QAction::triggered, [this] { DataTitleClick(); });
    Handle(f.DataUnits, &QMenu::aboutToShow, [this] { UnitsMenuClick(); });
    Handle(f.UnitsEnglish, &QAction::triggered, [this] { UnitsClick(1); });
    Handle(f.UnitsSI, &QAction::triggered, [this] { UnitsClick(2); });
    Handle(f.DataLayout, &QAction::triggered, [this] { DataLayoutClick(); });
    Handle(f.LoadHarmonic, &QAction::triggered, [this] { LoadingOptionClick(1); });
    Handle(f.LoadTransient, &QAction::triggered, [this] { LoadingOptionClick(2); });
    Handle(f.LoadRandom, &QAction::triggered, [this] { LoadingOptionClick(3); });
    Handle(f.DataShape, &QAction::triggered, [this] { DataShapeClick(); });
    Handle(f.DataPileCapShape, &QAction::triggered, [this] { DataShapeClick(); });
    Handle(f.DataMass, &QAction::triggered, [this] { DataMassClick(); });
    Handle(f.DataFoundation, &QAction::triggered, [this] { DataFoundationClick(); });
    Handle(f.DataFoundationLayer, &QAction::triggered, [this] { DataFoundationLayerClick(); });
    Handle(f.DataPileCapMass, &QAction::triggered, [this] { DataPileCapMassClick(); });
    Handle(f.DataPileCoordinates, &QAction::triggered, [this] { DataPileCoordinatesClick(); });
    Handle(f.DataPileProperties, &QAction::triggered, [this] { DataPilePropertiesClick(); });
    Handle(f.DataPileElements, &QAction::triggered, [this] { DataPileElementsClick(); });
    Handle(f.DataSoilLayer, &QAction::triggered, [this] { DataSoilLayerClick(); });
    Handle(f.DataSoilBelow, &QAction::triggered, [this] { DataSoilBelowClick(); });
    Handle(f.DataSideSoil, &QAction::triggered, [this] { DataSideSoilClick(); });
    Handle(f.DataSoilColumn, &QAction::triggered, [this] { DataSoilColumnClick(); });
    Handle(f.DataHarmonic, &QMenu::aboutToShow, [this] { HarmonicMenuClick(); });
    Handle(f.HarmonicQuadratic, &QAction::triggered, [this] { HarmonicClick(1); });
    Handle(f.HarmonicNonQuadratic, &QAction::triggered, [this] { HarmonicClick(0); });
    Handle(f.DataTransient, &QAction::triggered, [this] { DataTransientClick(); });
    Handle(f.DataRandom, &QAction::triggered, [this] { DataRandomClick(); });
    Handle(f.DataOptions, &QAction::triggered, [this] { DataOptionsClick(); });
}

// The input dialogs: one instance each, kept by the dialog host.
void TMainForm::CreateDialogHost() {
    dialogs_ = new TDialogHost(*holder_, this, MdiArea());
    dialogs_->OnUpdateFoundationMenu = [this] { UpdateFoundationMenu(); };
    dialogs_->GetEditorPath = [this] { return editorPath_; };
    dialogs_->SetEditorPath = [this](const QString& path) { editorPath_ = path; };
    dialogs_->SetProgramFolder(ProgramFolder());
}

void TMainForm::OpenInputDialog(TDialogKind kind) {
    // A menu handler: nothing may leave it.
    try {
        dialogs_->OpenDialog(kind);
    } catch (const Exception& e) {
        ShowMessage(e.Message());
    }
}

void TMainForm::DataTitleClick() { OpenInputDialog(TDialogKind::Title); }
void TMainForm::DataLayoutClick() { OpenInputDialog(TDialogKind::Layout); }
void TMainForm::DataShapeClick() { OpenInputDialog(TDialogKind::Shape); }
void TMainForm::DataMassClick() { OpenInputDialog(TDialogKind::MassData); }

void TMainForm::DataFoundationClick() {
    switch (Project().FootingType) {
    case 1:
    case 3: OpenInputDialog(TDialogKind::FoundationData); break;
    case 4: OpenInputDialog(TDialogKind::FoundationProperties); break;
    default: break;
    }
}

void TMainForm::DataPileCapMassClick() { OpenInputDialog(TDialogKind::PileCapProperties); }
void TMainForm::DataPilePropertiesClick() { OpenInputDialog(TDialogKind::PileProperties); }
void TMainForm::DataSoilBelowClick() { OpenInputDialog(TDialogKind::SoilBelow); }
void TMainForm::DataTransientClick() { OpenInputDialog(TDialogKind::Transient); }
void TMainForm::DataRandomClick() { OpenInputDialog(TDialogKind::Random); }
void TMainForm::DataOptionsClick() { OpenInputDialog(TDialogKind::Options); }

void TMainForm::UnitsMenuClick() {
    ui_->UnitsEnglish->setChecked(Project().UnitSystem == 1);
    ui_->UnitsSI->setChecked(Project().UnitSystem == 2);
}

void TMainForm::UnitsClick(int tag) {
    // The reload that follows would replace an entry not yet committed.
    if (DeactivateActiveChild()) Project().SetUnits(tag);
    UnitsMenuClick();
}

void TMainForm::LoadingOptionClick(int code) {
    // The menu's choice wins over the loading word of the file read last.
    Project().LoadingWord.clear();
    Project().LoadingCode = code;
    UpdateLoadingMenu();
}

void TMainForm::HarmonicMenuClick() {
    ui_->HarmonicQuadratic->setChecked(Project().QuadraticFlag == 1);
    ui_->HarmonicNonQuadratic->setChecked(Project().QuadraticFlag != 1);
}

void TMainForm::HarmonicClick(int quadratic) {
    Project().QuadraticFlag = quadratic;
    HarmonicMenuClick();
    OpenInputDialog(quadratic == 1 ? TDialogKind::Quadratic : TDialogKind::Harmonic);
}

void TMainForm::DataFoundationLayerClick() { holder_->MultiElement().ShowTable(); }
void TMainForm::DataPileCoordinatesClick() { holder_->Pilecoord().ShowTable(); }
void TMainForm::DataPileElementsClick() { holder_->PileData().ShowTable(); }

void TMainForm::DataSoilLayerClick() {
    if (Project().FootingType == 2) holder_->D().ShowTable();
}

void TMainForm::DataSideSoilClick() {
    switch (Project().FootingType) {
    case 1: holder_->D1().ShowTable(); break;
    case 2: holder_->pilecapsoil().ShowTable(); break;
    case 3:
    case 4: holder_->D().ShowTable(); break;
    default: break;
    }
}

void TMainForm::DataSoilColumnClick() { holder_->Multisoil().ShowTable(); }

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

}  // namespace vortn
