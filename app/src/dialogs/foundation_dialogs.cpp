#include "foundation_dialogs.h"

#include "program_data.h"
#include "ui_TfrmFoundations.h"
#include "ui_TfrmLayout.h"
#include "ui_TfrmShape.h"
#include "ui_TfrmTipsoil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>

namespace vortn {

namespace {
// The foundation word last seen at a "Foundation Options" activation (one
// value for the whole program).
QString& WordAtActivation() {
    static QString word;
    return word;
}
}  // namespace

// ---- Foundation Options

TfrmLayout::TfrmLayout(TDialogHost& host) : TInputDialog(host, TDialogKind::Layout), ui(new Ui::TfrmLayout) {
    ui->setupUi(this);
    QFont heading = ui->Label1->font();
    heading.setPixelSize(16);  // forms carry point sizes only
    ui->Label1->setFont(heading);
    BindForm();
}

TfrmLayout::~TfrmLayout() = default;

void TfrmLayout::BindHandlers() { OnChange(ui->ComboBox1, &TfrmLayout::ComboBox1Change); }

void TfrmLayout::Loaded() {
    const QString word = Project().FoundationWord;
    // The list is fixed: a stored word outside it selects nothing.
    ui->ComboBox1->setCurrentIndex(ui->ComboBox1->findText(word));
    WordAtActivation() = word;
    ShowPicture();
    UpdateFootingType();
}

void TfrmLayout::ComboBox1Change() {
    Guarded([this] {
        if (ui->ComboBox1->currentIndex() < 0) return;
        Project().FoundationWord = ui->ComboBox1->currentText();
        ShowPicture();
        UpdateFootingType();
    });
}

void TfrmLayout::Stored() {
    if (ui->ComboBox1->currentIndex() >= 0) Project().FoundationWord = ui->ComboBox1->currentText();
    if (Project().FoundationWord != WordAtActivation()) MarkModified();
    UpdateFootingType();
    Host().UpdateFoundationMenu();
}

void TfrmLayout::UpdateFootingType() { Project().SetFootingFromWord(); }

void TfrmLayout::ShowPicture() {
    const QString file = FoundationPictureOfWord(Project().FoundationWord);
    if (file.isEmpty()) return;  // another word keeps the last picture
    // By its full name: the current folder stays where the user left it.
    const QString folder = Host().ProgramFolder();
    const QString path = QDir(folder).filePath(file);
    QPixmap picture;
    if (!picture.load(path)) {
        // The chosen word and its type code are kept all the same.
        Host().ShowMessage(QStringLiteral("Cannot load the picture %1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    ui->Image1->setPixmap(picture);
    // The window grows to the picture, which stays centred.
    QWidget* frame = Frame();
    frame->resize(frame->size().expandedTo(frame->sizeHint()));
}

// ---- Foundation Shape

TfrmShape::TfrmShape(TDialogHost& host) : TInputDialog(host, TDialogKind::Shape), ui(new Ui::TfrmShape) {
    ui->setupUi(this);
    BindForm();
}

TfrmShape::~TfrmShape() = default;

void TfrmShape::BindHandlers() {
    OnClick(ui->RadioButton1, &TfrmShape::RadioButton1Click);
    OnClick(ui->RadioButton2, &TfrmShape::RadioButton2Click);
    OnChange(ui->DataEdit1, &TfrmShape::DataEdit1Change);
    for (TDataEdit* box : {ui->DataEdit2, ui->DataEdit3}) OnChange(box, &TfrmShape::DataEdit2Change);
}

void TfrmShape::Fields(TFieldList& f) {
    TProgramData& p = Project();
    f.Real(ui->DataEdit1, p.Radius);
    f.Real(ui->DataEdit2, p.Length);
    f.Real(ui->DataEdit3, p.Width);
}

void TfrmShape::ShowShape(bool circular) {
    ui->DataEdit1->setVisible(circular);
    ui->Label1->setVisible(circular);
    ui->DataEdit2->setVisible(!circular);
    ui->Label2->setVisible(!circular);
    ui->DataEdit3->setVisible(!circular);
    ui->Label3->setVisible(!circular);
}

void TfrmShape::Loaded() {
    const int flag = Project().CircularFlag;
    if (flag == 0) ui->RadioButton1->setChecked(true);
    if (flag == 1) ui->RadioButton2->setChecked(true);
    ShowShape(flag == 1);
}

void TfrmShape::RadioButton1Click() {
    Guarded([this] {
        ui->RadioButton1->setChecked(true);
        if (Project().CircularFlag != 0) MarkModified();
        Project().CircularFlag = 0;
        ShowShape(false);
    });
}

void TfrmShape::RadioButton2Click() {
    Guarded([this] {
        ui->RadioButton2->setChecked(true);
        if (Project().CircularFlag != 1) MarkModified();
        Project().CircularFlag = 1;
        ShowShape(true);
    });
}

// ---- Foundation Data

TfrmFoundations::TfrmFoundations(TDialogHost& host)
    : TInputDialog(host, TDialogKind::FoundationData), ui(new Ui::TfrmFoundations) {
    ui->setupUi(this);
    BindForm();
}

TfrmFoundations::~TfrmFoundations() = default;

void TfrmFoundations::BindHandlers() {
    OnChange(ui->DataEdit1, &TfrmFoundations::DataEdit1Change);
    OnChange(ui->DataEdit2, &TfrmFoundations::DataEdit2Change);
    OnChange(ui->DataEdit3, &TfrmFoundations::DataEdit3Change);
    OnChange(ui->DataEdit4, &TfrmFoundations::DataEdit4Change);
    OnChange(ui->DataEdit5, &TfrmFoundations::DataEdit5Change);
}

void TfrmFoundations::Fields(TFieldList& f) {
    TProgramData& p = Project();
    f.Real(ui->DataEdit1, p.Xc);
    f.Real(ui->DataEdit2, p.Yc);
    f.Real(ui->DataEdit3, p.Zc);
    f.Real(ui->DataEdit4, p.BaseDepth);
    f.Real(ui->DataEdit5, p.BedRockDepth);
}

void TfrmFoundations::Loaded() {
    const TFoundationType type = Project().Footing();
    if (type != TFoundationType::HalfSpace && type != TFoundationType::Stratum) return;
    for (QWidget* w : {static_cast<QWidget*>(ui->DataEdit4), static_cast<QWidget*>(ui->Label4),
                       static_cast<QWidget*>(ui->DataEdit5), static_cast<QWidget*>(ui->Label5)})
        w->setVisible(type == TFoundationType::Stratum);
}

// ---- Soil Below The Footing

TfrmTipsoil::TfrmTipsoil(TDialogHost& host) : TInputDialog(host, TDialogKind::SoilBelow), ui(new Ui::TfrmTipsoil) {
    ui->setupUi(this);
    BindForm();
}

TfrmTipsoil::~TfrmTipsoil() = default;

void TfrmTipsoil::BindHandlers() {
    OnChange(ui->DataEdit1, &TfrmTipsoil::DataEdit1Change);
    OnChange(ui->DataEdit2, &TfrmTipsoil::DataEdit2Change);
    OnChange(ui->DataEdit3, &TfrmTipsoil::DataEdit3Change);
    OnChange(ui->DataEdit4, &TfrmTipsoil::DataEdit4Change);
}

void TfrmTipsoil::Fields(TFieldList& f) {
    // By name: the project keeps damping before Poisson's ratio.
    TProgramData& p = Project();
    f.Real(ui->DataEdit1, p.SoilVelocity);
    f.Real(ui->DataEdit2, p.SoilUnitWeight);
    f.Real(ui->DataEdit3, p.SoilPoisson);
    f.Real(ui->DataEdit4, p.SoilDamping);
}

}  // namespace vortn
