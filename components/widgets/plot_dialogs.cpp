#include "plot_dialogs.h"

#include "data_edit.h"
#include "number_format.h"
#include "plot_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
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

void Message(const std::function<void(const QString&)>& sink, QWidget* parent, const QString& text) {
    if (sink) sink(text);
    else QMessageBox::information(parent, QString(), text);
}
}  // namespace

// --- TdlgFormat ---------------------------------------------------------

TdlgFormat::TdlgFormat(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgFormat"));
    setWindowTitle(QStringLiteral("Save Attributes"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* grid = new QGridLayout;
    auto box = [grid](const char* name, const QString& caption, const QString& units, int row) {
        auto* edit = new TDataEdit;
        edit->setObjectName(QLatin1String(name));
        auto* label = new QLabel;
        edit->SetEditLabel(label);
        edit->SetCaption(caption);
        edit->SetUnitsString(units);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    deHeight = box("deHeight", QStringLiteral("&Height"), QStringLiteral("in"), 0);
    deHeight->SetMinVal(2.0L);
    deHeight->SetNumber(4.0L);
    deWidth = box("deWidth", QStringLiteral("&Width"), QStringLiteral("in"), 1);
    deWidth->SetMinVal(2.0L);
    deWidth->SetNumber(6.0L);
    dePPI = box("dePPI", QStringLiteral("&Pixels Per Inch"), QString(), 2);
    dePPI->SetIntegerOnly(true);
    dePPI->SetMinVal(10.0L);
    dePPI->SetMaxVal(2147483647.0L);
    dePPI->SetNumber(72.0L);
    auto* colors = new QGroupBox(QStringLiteral("Colors"));
    colors->setObjectName(QStringLiteral("GroupBox1"));
    auto* cl = new QVBoxLayout(colors);
    rbBW = new QRadioButton(QStringLiteral("Black and White"));
    rb16 = new QRadioButton(QStringLiteral("16 Colors"));
    rb256 = new QRadioButton(QStringLiteral("256 Colors"));
    rbHigh = new QRadioButton(QStringLiteral("High Color (16 bit)"));
    rbTrue = new QRadioButton(QStringLiteral("True Color (24 bit)"));
    rbBW->setObjectName(QStringLiteral("rbBW"));
    rb16->setObjectName(QStringLiteral("rb16"));
    rb256->setObjectName(QStringLiteral("rb256"));
    rbHigh->setObjectName(QStringLiteral("rbHigh"));
    rbTrue->setObjectName(QStringLiteral("rbTrue"));
    for (QRadioButton* b : {rbBW, rb16, rb256, rbHigh, rbTrue}) cl->addWidget(b);
    rb16->setChecked(true);
    btnOK = new QPushButton(QStringLiteral("OK"));
    btnCancel = new QPushButton(QStringLiteral("Cancel"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TdlgFormat::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(colors);
    top->addLayout(buttons);
}

bool TdlgFormat::ReadValues() {
    for (TDataEdit* box : {deHeight, deWidth, dePPI})
        if (!box->ValidateEntry()) return false;
    // A size too large for a bitmap is caught when the bitmap is made.
    height_ = deHeight->Number();
    width_ = deWidth->Number();
    ppi_ = int(dePPI->Number());
    return true;
}

void TdlgFormat::btnOKClick() {
    if (ReadValues()) accept();
}

// --- TfrmGraphCaption ---------------------------------------------------

TfrmGraphCaption::TfrmGraphCaption(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmGraphCaption"));
    setWindowTitle(QStringLiteral("Graph Caption"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Enter Graph Caption")));
    edtCaption = new QLineEdit;
    edtCaption->setObjectName(QStringLiteral("edtCaption"));
    top->addWidget(edtCaption);
    auto* box = new QGroupBox(QStringLiteral("Caption Location"));
    box->setObjectName(QStringLiteral("GroupBox1"));
    auto* bl = new QHBoxLayout(box);
    rbTop = new QRadioButton(QStringLiteral("Top"));
    rbBottom = new QRadioButton(QStringLiteral("Bottom"));
    rbTop->setObjectName(QStringLiteral("rbTop"));
    rbBottom->setObjectName(QStringLiteral("rbBottom"));
    bl->addWidget(rbTop);
    bl->addWidget(rbBottom);
    top->addWidget(box);
    btnOK = new QPushButton(QStringLiteral("&OK"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    top->addWidget(btnOK, 0, Qt::AlignHCenter);
}

// --- TfrmLineNames ------------------------------------------------------

TfrmLineNames::TfrmLineNames(const QStringList& lines, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLineNames"));
    setWindowTitle(QStringLiteral("Legend"));
    setMinimumSize(195, 167);
    label1_ = new QLabel(QStringLiteral("Select line to modify:"), this);
    lbLines = new QListWidget(this);
    lbLines->setObjectName(QStringLiteral("lbLines"));
    label2_ = new QLabel(QStringLiteral("Type new legend below:"), this);
    edLine = new QLineEdit(this);
    edLine->setObjectName(QStringLiteral("edLine"));
    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnOK->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    lbLines->addItems(lines);
    connect(lbLines, &QListWidget::currentRowChanged, this, &TfrmLineNames::lbLinesClick);
    connect(lbLines, &QListWidget::itemClicked, this, &TfrmLineNames::lbLinesClick);
    connect(lbLines, &QListWidget::itemDoubleClicked, this, &TfrmLineNames::lbLinesClick);
    connect(edLine, &QLineEdit::editingFinished, this, &TfrmLineNames::edLineExit);
    connect(btnOK, &QPushButton::clicked, this, [this] {
        edLineExit();
        accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    if (!lines.isEmpty()) lbLines->setCurrentRow(0);
    lbLinesClick();
    resize(260, 240);
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
        Message(onMessage, this, QStringLiteral("The line must have a name!"));
        edLine->setText(lbLines->item(row)->text());
        return;
    }
    lbLines->item(row)->setText(edLine->text());
}

void TfrmLineNames::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
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
    : QDialog(parent), texts_(texts), states_(states) {
    setObjectName(QStringLiteral("frmActiveLines"));
    setWindowTitle(QStringLiteral("Active Curves"));
    setMinimumSize(190, 234);
    while (states_.size() < texts_.size()) states_ << kNo;
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Select Curve to Active/Desactive")));
    auto* heads = new QHBoxLayout;
    heads->addWidget(new QLabel(QStringLiteral("Active :")));
    heads->addWidget(new QLabel(QStringLiteral("Curve")));
    heads->addStretch();
    top->addLayout(heads);
    lbLines = new QListWidget;
    lbLines->setObjectName(QStringLiteral("lbLines"));
    lbLines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (int i = 0; i < texts_.size(); ++i) lbLines->addItem(states_[i] + kGap + texts_[i]);
    top->addWidget(lbLines);
    ActivateButton = new QPushButton(QStringLiteral("Activate All"));
    DesactivateButton = new QPushButton(QStringLiteral("Deactivate All"));
    ActivateDesactivateButton = new QPushButton(QStringLiteral("Activate/Deactivate Selected"));
    ActivateButton->setObjectName(QStringLiteral("ActivateButton"));
    DesactivateButton->setObjectName(QStringLiteral("DesactivateButton"));
    ActivateDesactivateButton->setObjectName(QStringLiteral("ActivateDesactivateButton"));
    top->addWidget(ActivateButton);
    top->addWidget(DesactivateButton);
    top->addWidget(ActivateDesactivateButton);
    auto* buttons = new QHBoxLayout;
    btnOK = new QPushButton(QStringLiteral("&OK"));
    btnCancel = new QPushButton(QStringLiteral("&Cancel"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    top->addLayout(buttons);
    connect(lbLines, &QListWidget::itemDoubleClicked, this, &TfrmActiveLines::lbLinesDblClick);
    connect(ActivateButton, &QPushButton::clicked, this, &TfrmActiveLines::ActivateButtonClick);
    connect(DesactivateButton, &QPushButton::clicked, this, &TfrmActiveLines::DesactivateButtonClick);
    connect(ActivateDesactivateButton, &QPushButton::clicked, this,
            &TfrmActiveLines::ActivateDesactivateButtonClick);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    if (lbLines->count() > 0) lbLines->setCurrentRow(0);
}

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
