// Main window: the Data menu's items (input dialogs and table editors).
#include "main_form.h"

#include "ui_MainForm.h"

#include <QMdiArea>

namespace vortn {

void TMainForm::ConnectDataMenu() {
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

// The input dialogs are not part of the program yet: their items stay off.
void TMainForm::DisableUnbuiltDataItems() {
    Ui::TMainForm& f = *ui_;
    for (QAction* a : {f.DataTitle, f.DataLayout, f.DataShape, f.DataPileCapShape, f.DataMass, f.DataFoundation,
                       f.DataPileCapMass, f.DataPileProperties, f.DataSoilBelow, f.HarmonicQuadratic,
                       f.HarmonicNonQuadratic, f.DataTransient, f.DataRandom, f.DataOptions})
        a->setEnabled(false);
}

void TMainForm::DataTitleClick() {}
void TMainForm::DataLayoutClick() {}
void TMainForm::DataShapeClick() {}
void TMainForm::DataMassClick() {}
void TMainForm::DataFoundationClick() {}
void TMainForm::DataPileCapMassClick() {}
void TMainForm::DataPilePropertiesClick() {}
void TMainForm::DataSoilBelowClick() {}
void TMainForm::DataTransientClick() {}
void TMainForm::DataRandomClick() {}
void TMainForm::DataOptionsClick() {}

void TMainForm::UnitsMenuClick() {
    ui_->UnitsEnglish->setChecked(Project().UnitSystem == 1);
    ui_->UnitsSI->setChecked(Project().UnitSystem == 2);
}

void TMainForm::UnitsClick(int tag) {
    Project().SetUnits(tag);
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

}  // namespace vortn
