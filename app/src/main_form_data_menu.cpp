// Main window: the Data menu's items (input dialogs and table editors).
#include "main_form.h"

#include "dialog_host.h"
#include "exceptions.h"
#include "ui_MainForm.h"

#include <QMdiArea>

namespace vortn {

void TMainForm::ConnectDataMenu() {
    CreateDialogHost();
    Ui::TMainForm& f = *ui_;
    connect(f.DataTitle, &QAction::triggered, this, &TMainForm::DataTitleClick);
    connect(f.DataUnits, &QMenu::aboutToShow, this, &TMainForm::UnitsMenuClick);
    connect(f.UnitsEnglish, &QAction::triggered, this, [this] { UnitsClick(1); });
    connect(f.UnitsSI, &QAction::triggered, this, [this] { UnitsClick(2); });
    connect(f.DataLayout, &QAction::triggered, this, &TMainForm::DataLayoutClick);
    connect(f.LoadHarmonic, &QAction::triggered, this, [this] { LoadingOptionClick(1); });
    connect(f.LoadTransient, &QAction::triggered, this, [this] { LoadingOptionClick(2); });
    connect(f.LoadRandom, &QAction::triggered, this, [this] { LoadingOptionClick(3); });
    connect(f.DataShape, &QAction::triggered, this, &TMainForm::DataShapeClick);
    connect(f.DataPileCapShape, &QAction::triggered, this, &TMainForm::DataShapeClick);
    connect(f.DataMass, &QAction::triggered, this, &TMainForm::DataMassClick);
    connect(f.DataFoundation, &QAction::triggered, this, &TMainForm::DataFoundationClick);
    connect(f.DataFoundationLayer, &QAction::triggered, this, &TMainForm::DataFoundationLayerClick);
    connect(f.DataPileCapMass, &QAction::triggered, this, &TMainForm::DataPileCapMassClick);
    connect(f.DataPileCoordinates, &QAction::triggered, this, &TMainForm::DataPileCoordinatesClick);
    connect(f.DataPileProperties, &QAction::triggered, this, &TMainForm::DataPilePropertiesClick);
    connect(f.DataPileElements, &QAction::triggered, this, &TMainForm::DataPileElementsClick);
    connect(f.DataSoilLayer, &QAction::triggered, this, &TMainForm::DataSoilLayerClick);
    connect(f.DataSoilBelow, &QAction::triggered, this, &TMainForm::DataSoilBelowClick);
    connect(f.DataSideSoil, &QAction::triggered, this, &TMainForm::DataSideSoilClick);
    connect(f.DataSoilColumn, &QAction::triggered, this, &TMainForm::DataSoilColumnClick);
    connect(f.DataHarmonic, &QMenu::aboutToShow, this, &TMainForm::HarmonicMenuClick);
    connect(f.HarmonicQuadratic, &QAction::triggered, this, [this] { HarmonicClick(1); });
    connect(f.HarmonicNonQuadratic, &QAction::triggered, this, [this] { HarmonicClick(0); });
    connect(f.DataTransient, &QAction::triggered, this, &TMainForm::DataTransientClick);
    connect(f.DataRandom, &QAction::triggered, this, &TMainForm::DataRandomClick);
    connect(f.DataOptions, &QAction::triggered, this, &TMainForm::DataOptionsClick);
}

// The input dialogs: one instance each, guarded by the window's open bytes.
void TMainForm::CreateDialogHost() {
    dialogs_ = new TDialogHost(*holder_, this, MdiArea());
    dialogs_->OnUpdateFoundationMenu = [this] { UpdateFoundationMenu(); };
    dialogs_->GetEditorPath = [this] { return editorPath_; };
    dialogs_->SetEditorPath = [this](const QString& path) { editorPath_ = path; };
    dialogs_->SetProgramFolder(ProgramFolder());
    dialogs_->OnShowMessage = [this](const QString& text) { ShowMessage(text); };
    dialogs_->OnOpenChanged = [this](TDialogKind kind, bool open) {
        TDialogOpenFlags& o = openFlags_;
        std::uint8_t* flags[kDialogKindCount] = {
            &o.PileCapProperties, &o.PileProperties, &o.Title,     &o.Options,        &o.Shape,
            &o.Layout,            &o.MassData,       &o.FoundationData, &o.FoundationProperties, &o.SoilBelow,
            &o.NonQuadHarmonic,   &o.QuadHarmonic,   &o.Transient, &o.Random};
        *flags[int(kind)] = open ? 1 : 0;
    };
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

}  // namespace vortn
