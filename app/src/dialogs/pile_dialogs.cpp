#include "pile_dialogs.h"

#include "program_data.h"
#include "ui_TfrmCPileProperties.h"
#include "ui_TfrmMultimat.h"

namespace vortn {

namespace {
// A pile choice: the word pair of a combo and the flag each word stands for.
struct TChoice {
    const char* word1;
    int flag1;
    const char* word2;
    int flag2;
};
constexpr TChoice kConnection{"FIXED", 1, "PINNED", 0};
constexpr TChoice kTip{"Floating Piles", 0, "End-Bearing Piles", 1};
constexpr TChoice kInteraction{"Yes", 1, "No", 0};

// Exact comparison; a word that matches neither leaves the flag.
void FlagFromWord(const TChoice& c, const QString& word, int& flag) {
    if (word == QLatin1String(c.word1))
        flag = c.flag1;
    else if (word == QLatin1String(c.word2))
        flag = c.flag2;
}
// Any other flag value keeps the stored word.
void WordFromFlag(const TChoice& c, int flag, QString& word) {
    if (flag == c.flag1)
        word = QLatin1String(c.word1);
    else if (flag == c.flag2)
        word = QLatin1String(c.word2);
}
}  // namespace

void TPropertiesDialog::Fields(TFieldList& f) {
    TProgramData& p = Project();
    Extended* fields[10] = {&p.Xc,          &p.Yc,          &p.Zc,         &p.PileUnitWeight,   &p.PilePoisson,
                            &p.PileDamping, &p.PileModulus, &p.PileLength, &p.ShearCoefficient, &p.StaticLoad};
    for (int i = 0; i < 10; ++i) f.Real(boxes_[i], *fields[i]);
}

void TPropertiesDialog::Loaded() {
    // The project holds exactly what the boxes show.
    TFieldList f;
    Fields(f);
    f.Store();
}

TfrmCPileProperties::TfrmCPileProperties(TDialogHost& host)
    : TPropertiesDialog(host, TDialogKind::PileProperties), ui(new Ui::TfrmCPileProperties) {
    ui->setupUi(this);
    BindForm();
    SetBoxes({ui->DataEdit1, ui->DataEdit2, ui->DataEdit3, ui->DataEdit4, ui->DataEdit5, ui->DataEdit6, ui->DataEdit7,
              ui->DataEdit8, ui->DataEdit9, ui->DataEdit10});
}

TfrmCPileProperties::~TfrmCPileProperties() = default;

void TfrmCPileProperties::BindHandlers() {
    OnChange(ui->DataEdit1, &TfrmCPileProperties::DataEdit1Change);
    OnChange(ui->DataEdit2, &TfrmCPileProperties::DataEdit2Change);
    OnChange(ui->DataEdit3, &TfrmCPileProperties::DataEdit3Change);
    OnChange(ui->DataEdit4, &TfrmCPileProperties::DataEdit4Change);
    OnChange(ui->DataEdit5, &TfrmCPileProperties::DataEdit5Change);
    OnChange(ui->DataEdit6, &TfrmCPileProperties::DataEdit6Change);
    OnChange(ui->DataEdit7, &TfrmCPileProperties::DataEdit7Change);
    OnChange(ui->DataEdit8, &TfrmCPileProperties::DataEdit8Change);
    OnChange(ui->DataEdit9, &TfrmCPileProperties::DataEdit9Change);
    OnChange(ui->DataEdit10, &TfrmCPileProperties::DataEdit10Change);
    OnChange(ui->ComboBox1, &TfrmCPileProperties::ComboBox1Change);
    OnChange(ui->ComboBox2, &TfrmCPileProperties::ComboBox2Change);
    OnChange(ui->ComboBox3, &TfrmCPileProperties::ComboBox3Change);
}

void TfrmCPileProperties::Loaded() {
    TPropertiesDialog::Loaded();
    TProgramData& p = Project();
    WordFromFlag(kConnection, p.FixedFlag, p.ConnectionWord);
    WordFromFlag(kTip, p.EndBearingFlag, p.TipWord);
    WordFromFlag(kInteraction, p.InteractionFlag, p.InteractionWord);
    ui->ComboBox1->setCurrentIndex(ui->ComboBox1->findText(p.ConnectionWord));
    ui->ComboBox2->setCurrentIndex(ui->ComboBox2->findText(p.TipWord));
    ui->ComboBox3->setCurrentIndex(ui->ComboBox3->findText(p.InteractionWord));
}

void TfrmCPileProperties::FlagsFromWords() {
    TProgramData& p = Project();
    FlagFromWord(kConnection, p.ConnectionWord, p.FixedFlag);
    FlagFromWord(kTip, p.TipWord, p.EndBearingFlag);
    FlagFromWord(kInteraction, p.InteractionWord, p.InteractionFlag);
}

void TfrmCPileProperties::Stored() { FlagsFromWords(); }

// A choice changes the stored project at once, so it marks it modified.
void TfrmCPileProperties::ComboBox1Change() {
    Guarded([this] {
        Project().ConnectionWord = ui->ComboBox1->currentText();
        FlagsFromWords();
        MarkModified();
    });
}

void TfrmCPileProperties::ComboBox2Change() {
    Guarded([this] {
        Project().TipWord = ui->ComboBox2->currentText();
        FlagsFromWords();
        MarkModified();
    });
}

void TfrmCPileProperties::ComboBox3Change() {
    Guarded([this] {
        Project().InteractionWord = ui->ComboBox3->currentText();
        FlagsFromWords();
        MarkModified();
    });
}

TfrmMultimat::TfrmMultimat(TDialogHost& host)
    : TPropertiesDialog(host, TDialogKind::FoundationProperties), ui(new Ui::TfrmMultimat) {
    ui->setupUi(this);
    BindForm();
    SetBoxes({ui->DataEdit1, ui->DataEdit2, ui->DataEdit3, ui->DataEdit4, ui->DataEdit5, ui->DataEdit6, ui->DataEdit7,
              ui->DataEdit8, ui->DataEdit9, ui->DataEdit10});
}

TfrmMultimat::~TfrmMultimat() = default;

void TfrmMultimat::BindHandlers() {
    OnChange(ui->DataEdit1, &TfrmMultimat::DataEdit1Change);
    OnChange(ui->DataEdit2, &TfrmMultimat::DataEdit2Change);
    OnChange(ui->DataEdit3, &TfrmMultimat::DataEdit3Change);
    OnChange(ui->DataEdit4, &TfrmMultimat::DataEdit4Change);
    OnChange(ui->DataEdit5, &TfrmMultimat::DataEdit5Change);
    OnChange(ui->DataEdit6, &TfrmMultimat::DataEdit6Change);
    OnChange(ui->DataEdit7, &TfrmMultimat::DataEdit7Change);
    OnChange(ui->DataEdit8, &TfrmMultimat::DataEdit8Change);
    OnChange(ui->DataEdit9, &TfrmMultimat::DataEdit9Change);
    OnChange(ui->DataEdit10, &TfrmMultimat::DataEdit10Change);
}

}  // namespace vortn
