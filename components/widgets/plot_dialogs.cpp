#include "plot_dialogs.h"

#include "data_edit.h"
#include "message_box.h"
#include "number_format.h"
#include "plot_window.h"
#include "ui_plot_dialogs_active_lines.h"
#include "ui_plot_dialogs_caption.h"
#include "ui_plot_dialogs_format.h"
#include "ui_plot_dialogs_line_names.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

namespace vortn {

namespace {
const QString kYes = QStringLiteral(" yes : ");
const QString kNo = QStringLiteral(" no  : ");
const QString kGap = QStringLiteral("   ");
}  // namespace

// --- TdlgFormat ---------------------------------------------------------

TdlgFormat::TdlgFormat(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TdlgFormat>()) {
    ui_->setupUi(this);
    connect(ui_->btnOK, &QPushButton::clicked, this, &TdlgFormat::btnOKClick);
    connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    deHeight = ui_->deHeight;
    deWidth = ui_->deWidth;
    dePPI = ui_->dePPI;
    deHeight->SetEditLabel(ui_->lblHeight);
    deWidth->SetEditLabel(ui_->lblWidth);
    dePPI->SetEditLabel(ui_->lblPPI);
    rbBW = ui_->rbBW;
    rb16 = ui_->rb16;
    rb256 = ui_->rb256;
    rbHigh = ui_->rbHigh;
    rbTrue = ui_->rbTrue;
    btnOK = ui_->btnOK;
    btnCancel = ui_->btnCancel;
}

TdlgFormat::~TdlgFormat() = default;

bool TdlgFormat::ReadValues() {
    // Called from the OK button: nothing may leave it.
    try {
        for (TDataEdit* box : {deHeight, deWidth, dePPI})
            if (!box->ValidateEntry()) return false;
        // A size too large for a bitmap is caught when the bitmap is made.
        height_ = deHeight->Number();
        width_ = deWidth->Number();
        ppi_ = int(dePPI->Number());
        return true;
    } catch (const Exception& e) {
        InformationBox(this, e.Message());
        return false;
    }
}

void TdlgFormat::btnOKClick() {
    if (ReadValues()) accept();
}

// --- TfrmGraphCaption ---------------------------------------------------

TfrmGraphCaption::TfrmGraphCaption(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TfrmGraphCaption>()) {
    ui_->setupUi(this);
    connect(ui_->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    edtCaption = ui_->edtCaption;
    rbTop = ui_->rbTop;
    rbBottom = ui_->rbBottom;
    btnOK = ui_->btnOK;
}

TfrmGraphCaption::~TfrmGraphCaption() = default;

// --- TfrmLineNames ------------------------------------------------------

TfrmLineNames::TfrmLineNames(const QStringList& lines, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfrmLineNames>()) {
    ui_->setupUi(this);
    // A click and a move with the keys alike show the chosen line.
    connect(ui_->lbLines, &QListWidget::currentRowChanged, this, &TfrmLineNames::lbLinesClick);
    connect(ui_->lbLines, &QListWidget::itemClicked, this, &TfrmLineNames::lbLinesClick);
    connect(ui_->lbLines, &QListWidget::itemDoubleClicked, this, &TfrmLineNames::lbLinesClick);
    connect(ui_->edLine, &QLineEdit::editingFinished, this, &TfrmLineNames::edLineExit);
    connect(ui_->btnOK, &QPushButton::clicked, this, &TfrmLineNames::btnOKClick);
    connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    lbLines = ui_->lbLines;
    edLine = ui_->edLine;
    btnOK = ui_->btnOK;
    btnCancel = ui_->btnCancel;
    {
        const QSignalBlocker block(lbLines);
        lbLines->addItems(lines);
    }
    if (!lines.isEmpty()) lbLines->setCurrentRow(0);
    lbLinesClick();
}

TfrmLineNames::~TfrmLineNames() = default;

void TfrmLineNames::btnOKClick() {
    edLineExit();
    accept();
}

QStringList TfrmLineNames::Lines() const {
    QStringList out;
    for (int i = 0; i < lbLines->count(); ++i) out << lbLines->item(i)->text();
    return out;
}

void TfrmLineNames::lbLinesClick() {
    const int row = lbLines->currentRow();
    if (row < 0) return;
    edLine->setText(lbLines->item(row)->text());
    QPalette pal = edLine->palette();
    pal.setColor(QPalette::Text, kPlotPalette[row % 17]);
    edLine->setPalette(pal);
}

void TfrmLineNames::edLineExit() {
    const int row = lbLines->currentRow();
    if (row < 0) return;
    if (edLine->text().isEmpty()) {
        InformationBox(this, QStringLiteral("The line must have a name!"));
        edLine->setText(lbLines->item(row)->text());
        return;
    }
    lbLines->item(row)->setText(edLine->text());
}

void TfrmLineNames::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    FormResize();
}

void TfrmLineNames::FormResize() {
    QLabel* label1_ = ui_->Label1;
    QLabel* label2_ = ui_->Label2;
    const int w = width(), h = height();
    const int l1 = label1_->sizeHint().height(), l2 = label2_->sizeHint().height();
    const int eh = edLine->sizeHint().height(), bh = btnOK->sizeHint().height();
    const int listH = std::max(10, h - l1 - l2 - eh - bh - 40);
    int y = 5;
    label1_->setGeometry(10, y, w - 20, l1);
    y += l1 + 5;
    lbLines->setGeometry(10, y, w - 20, listH);
    y += listH + 5;
    label2_->setGeometry(10, y, w - 20, l2);
    y += l2 + 5;
    edLine->setGeometry(10, y, w - 20, eh);
    y += eh + 5;
    const int bw = btnOK->sizeHint().width();
    btnOK->setGeometry(20, y, bw, bh);
    btnCancel->setGeometry(w - 20 - bw, y, bw, bh);
}

// --- TfrmActiveLines ----------------------------------------------------

TfrmActiveLines::TfrmActiveLines(const QStringList& texts, const QStringList& states, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfrmActiveLines>()), texts_(texts), states_(states) {
    ui_->setupUi(this);
    connect(ui_->lbLines, &QListWidget::itemDoubleClicked, this, &TfrmActiveLines::lbLinesDblClick);
    connect(ui_->ActivateButton, &QPushButton::clicked, this, &TfrmActiveLines::ActivateButtonClick);
    connect(ui_->DesactivateButton, &QPushButton::clicked, this, &TfrmActiveLines::DesactivateButtonClick);
    connect(ui_->ActivateDesactivateButton, &QPushButton::clicked, this,
            &TfrmActiveLines::ActivateDesactivateButtonClick);
    connect(ui_->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    lbLines = ui_->lbLines;
    btnOK = ui_->btnOK;
    btnCancel = ui_->btnCancel;
    ActivateButton = ui_->ActivateButton;
    DesactivateButton = ui_->DesactivateButton;
    ActivateDesactivateButton = ui_->ActivateDesactivateButton;
    while (states_.size() < texts_.size()) states_ << kNo;
    for (int i = 0; i < texts_.size(); ++i) lbLines->addItem(states_[i] + kGap + texts_[i]);
    if (lbLines->count() > 0) lbLines->setCurrentRow(0);
}

TfrmActiveLines::~TfrmActiveLines() = default;

void TfrmActiveLines::Rewrite(int row) { lbLines->item(row)->setText(states_[row] + kGap + texts_[row]); }

void TfrmActiveLines::Toggle(int row) {
    if (row < 0 || row >= states_.size()) return;
    states_[row] = states_[row] == kYes ? kNo : kYes;
    Rewrite(row);
}

void TfrmActiveLines::lbLinesDblClick() { Toggle(lbLines->currentRow()); }

void TfrmActiveLines::ActivateButtonClick() {
    for (int i = 0; i < states_.size(); ++i) {
        states_[i] = kYes;
        Rewrite(i);
    }
}

void TfrmActiveLines::DesactivateButtonClick() {
    for (int i = 0; i < states_.size(); ++i) {
        states_[i] = kNo;
        Rewrite(i);
    }
}

void TfrmActiveLines::ActivateDesactivateButtonClick() {
    QList<int> rows;
    for (int i = 0; i < lbLines->count(); ++i)
        if (lbLines->item(i)->isSelected()) rows << i;
    if (rows.size() <= 1) {
        Toggle(lbLines->currentRow());
        return;
    }
    for (int r : rows) Toggle(r);
}

// --- the window's commands ---------------------------------------------

void TPlotForm::PlotCaptionClick() {
    TfrmGraphCaption dialog(this);
    dialog.edtCaption->setText(plot_->Title);
    (plot_->TitleOnTop ? dialog.rbTop : dialog.rbBottom)->setChecked(true);
    dialog.exec();
    ApplyTitle(dialog.edtCaption->text(), dialog.rbTop->isChecked());
}

void TPlotForm::mLineNameClick() {
    QStringList texts;
    for (int i = 0; i < plot_->LineCount(); ++i) texts << plot_->Lines(i).DisplayName();
    TfrmLineNames dialog(texts, this);
    if (dialog.exec() == QDialog::Accepted) ApplyLineNames(dialog.Lines());
}

void TPlotForm::ActiveGraphsClick() {
    QStringList texts, states;
    for (int i = 0; i < plot_->LineCount(); ++i) {
        texts << plot_->Lines(i).DisplayName();
        states << (plot_->Lines(i).Active ? kYes : kNo);
    }
    TfrmActiveLines dialog(texts, states, this);
    if (dialog.exec() == QDialog::Accepted) ApplyActiveStates(dialog.States());
}

}  // namespace vortn
