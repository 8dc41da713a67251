// Main window: the Data menu: enabling its items by foundation and loading,
// the input dialogs and the table editors.
#include "main_form.h"

#include "dialog_host.h"
#include "exceptions.h"
#include "ui_MainForm.h"
#include "unwritten_rows.h"

#include <QMdiArea>
#include <QMessageBox>
#include <array>
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
        // Nothing opens while the active window refuses its entry.
        if (!DeactivateActiveChild()) return;
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
    switch (Project().Footing()) {
        case TFoundationType::HalfSpace:
        case TFoundationType::Stratum:
            OpenInputDialog(TDialogKind::FoundationData);
            break;
        case TFoundationType::Multilayer:
            OpenInputDialog(TDialogKind::FoundationProperties);
            break;
        default:
            break;
    }
}

void TMainForm::DataPileCapMassClick() { OpenInputDialog(TDialogKind::PileCapProperties); }
void TMainForm::DataPilePropertiesClick() { OpenInputDialog(TDialogKind::PileProperties); }
void TMainForm::DataSoilBelowClick() { OpenInputDialog(TDialogKind::SoilBelow); }
void TMainForm::DataTransientClick() { OpenInputDialog(TDialogKind::Transient); }
void TMainForm::DataRandomClick() { OpenInputDialog(TDialogKind::Random); }
void TMainForm::DataOptionsClick() { OpenInputDialog(TDialogKind::Options); }

void TMainForm::UnitsMenuClick() {
    ui_->UnitsEnglish->setChecked(Project().Units() == TUnitSystem::English);
    ui_->UnitsSI->setChecked(Project().Units() == TUnitSystem::SI);
}

void TMainForm::UnitsClick(int tag) {
    // The reload that follows would replace an entry not yet committed.
    if (DeactivateActiveChild()) Project().SetUnits(tag);
    UnitsMenuClick();
}

void TMainForm::LoadingOptionClick(int code) {
    // Its dialogs close: not while the active window refuses its entry.
    if (!DeactivateActiveChild()) {
        UpdateLoadingMenu();
        return;
    }
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
    if (!DeactivateActiveChild()) {
        HarmonicMenuClick();
        return;
    }
    Project().QuadraticFlag = quadratic;
    HarmonicMenuClick();
    OpenInputDialog(quadratic == 1 ? TDialogKind::Quadratic : TDialogKind::Harmonic);
}

void TMainForm::ShowTableEditor(TGridTable& table) {
    // Nothing opens while the active window refuses its entry.
    if (DeactivateActiveChild()) table.ShowTable();
}

void TMainForm::DataFoundationLayerClick() { ShowTableEditor(holder_->MultiElement()); }
void TMainForm::DataPileCoordinatesClick() { ShowTableEditor(holder_->Pilecoord()); }
void TMainForm::DataPileElementsClick() { ShowTableEditor(holder_->PileData()); }

void TMainForm::DataSoilLayerClick() {
    if (Project().Footing() == TFoundationType::Pile) ShowTableEditor(holder_->D());
}

void TMainForm::DataSideSoilClick() {
    switch (Project().Footing()) {
        case TFoundationType::HalfSpace:
            ShowTableEditor(holder_->D1());
            break;
        case TFoundationType::Pile:
            ShowTableEditor(holder_->pilecapsoil());
            break;
        case TFoundationType::Stratum:
        case TFoundationType::Multilayer:
            ShowTableEditor(holder_->D());
            break;
        default:
            break;
    }
}

void TMainForm::DataSoilColumnClick() { ShowTableEditor(holder_->Multisoil()); }

void TMainForm::DataMenuClick() {
    const bool committed = DeactivateActiveChild();
    Ui::TMainForm& f = *ui_;
    const TFoundationType type = Project().FoundationType();
    const bool half = type == TFoundationType::HalfSpace;
    const bool pile = type == TFoundationType::Pile;
    const bool stratum = type == TFoundationType::Stratum;
    const bool multi = type == TFoundationType::Multilayer;
    for (QAction* a : {f.DataPileProperties, f.DataPileElements, f.DataPileCoordinates, f.DataPileCapMass,
                       f.DataPileCapShape, f.DataSoilLayer})
        a->setEnabled(pile);
    for (QAction* a : {f.DataFoundation, f.DataMass, f.DataShape}) a->setEnabled(half || stratum || multi);
    f.DataFoundationLayer->setEnabled(multi);
    f.DataSoilBelow->setEnabled(true);
    if (half || multi)
        f.DataSideSoil->setText(QStringLiteral("Side Soil of Fondation"));
    else if (pile)
        f.DataSideSoil->setText(QStringLiteral("Side Soil of Pile Cap"));
    else if (stratum)
        f.DataSideSoil->setText(QStringLiteral("Side Soil"));
    f.DataSideSoil->setEnabled(half || pile || multi);
    f.DataSoilColumn->setEnabled(multi);
    // Fitting refills the soil column's editor: not over an entry refused
    // just now, which the user is still to mend.
    if (multi && committed) FitSoilColumn();
}

void TMainForm::FitSoilColumn() {
    const int elements = holder_->MultiElement().RowCount(), adjacent = holder_->D().RowCount();
    if (elements <= 1) return;
    // Only a positive difference: the soil column never loses all its rows
    // here. Then one row per foundation layer below the adjacent layers, as
    // a save writes them (blank last adjacent layers give way).
    if (elements - adjacent < 1) return;
    const int rows = SoilColumnRowsWritten(Project());
    TGridTable& column = holder_->Multisoil();
    const std::vector<TUnwrittenRows> cut = SoilColumnRowsBeyond(column, rows, elements, elements - rows);
    // Kept once, they are not asked about again until the tables change.
    const std::array<int, 3> shape{elements, adjacent, column.RowCount()};
    if (!cut.empty() && shape == keptSoilColumn_) return;
    if (!cut.empty()) {
        QString text = QStringLiteral("The soil column has more layers than the foundation leaves for it:\n");
        for (const TUnwrittenRows& r : cut) text += QStringLiteral("\n- ") + r.text;
        text += QStringLiteral(
                "\n\nDo you want to remove these layers? (Kept, they are not written to the project "
                "file.)");
        if (AskQuestion(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
            keptSoilColumn_ = shape;
            return;
        }
    }
    column.SetRowCount(rows);
}

void TMainForm::UpdateLoadingMenu() {
    Ui::TMainForm& f = *ui_;
    TProgramData& p = Project();
    // Only a loading word matched whole sets the code.
    if (const TLoadingType word = LoadingTypeOfWord(p.LoadingWord); word != TLoadingType::None) p.SetLoading(word);
    const TLoadingType code = p.Loading();
    f.DataHarmonic->menuAction()->setEnabled(code == TLoadingType::Harmonic);
    f.DataTransient->setEnabled(code == TLoadingType::Transient);
    f.DataRandom->setEnabled(code == TLoadingType::Random);
    f.LoadHarmonic->setChecked(code == TLoadingType::Harmonic);
    f.LoadTransient->setChecked(code == TLoadingType::Transient);
    f.LoadRandom->setChecked(code == TLoadingType::Random);
    // The open load dialog of the current type closes those of the others.
    TDialogHost& d = Dialogs();
    const bool harmonicOpen = d.IsOpen(TDialogKind::Harmonic) || d.IsOpen(TDialogKind::Quadratic);
    std::vector<TDialogKind> close;
    if (code == TLoadingType::Harmonic && harmonicOpen) close = {TDialogKind::Transient, TDialogKind::Random};
    if (code == TLoadingType::Transient && d.IsOpen(TDialogKind::Transient))
        close = {TDialogKind::Quadratic, TDialogKind::Harmonic, TDialogKind::Random};
    if (code == TLoadingType::Random && d.IsOpen(TDialogKind::Random))
        close = {TDialogKind::Quadratic, TDialogKind::Harmonic, TDialogKind::Transient};
    for (TDialogKind k : close) d.CloseDialog(k);
}

void TMainForm::UpdateFoundationMenu() {
    Ui::TMainForm& f = *ui_;
    const bool pile = Project().FoundationType() == TFoundationType::Pile;
    for (QAction* a : {f.DataPileProperties, f.DataPileElements, f.DataPileCoordinates}) a->setEnabled(pile);
}

}  // namespace vortn
