#include "plot_dialogs.h"

#include "expression.h"
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
    deHeight = new QLineEdit(QStringLiteral("4"));
    deWidth = new QLineEdit(QStringLiteral("6"));
    dePPI = new QLineEdit(QStringLiteral("72"));
    deHeight->setObjectName(QStringLiteral("deHeight"));
    deWidth->setObjectName(QStringLiteral("deWidth"));
    dePPI->setObjectName(QStringLiteral("dePPI"));
    auto label = [](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(QStringLiteral("&Height (in)"), deHeight), 0, 0);
    grid->addWidget(deHeight, 0, 1);
    grid->addWidget(label(QStringLiteral("&Width (in)"), deWidth), 1, 0);
    grid->addWidget(deWidth, 1, 1);
    grid->addWidget(label(QStringLiteral("&Pixels Per Inch"), dePPI), 2, 0);
    grid->addWidget(dePPI, 2, 1);
    auto* colors = new QGroupBox(QStringLiteral("Colors"));
    colors->setObjectName(QStringLiteral("GroupBox1"));
    auto* cl = new QVBoxLayout(colors);
    rbBW = new QRadioButton(QStringLiteral("Black and White"));
    rb16 = new QRadioButton(QStringLiteral("16 Colors"));
    rb256 = new QRadioButton(QStringLiteral("256 Colors"));
    rbHigh = new QRadioButton(QStringLiteral("High Color (16 bit)"));
    rbTrue = new QRadioButton(QStringLiteral("True Color (24 bit)"));
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

bool TdlgFormat::ReadBox(QLineEdit* box, const QString& name, long double minimum, long double maximum, bool whole,
                         long double& value) {
    try {
        long double v = EvaluateExpression(box->text());
        if (whole) v = std::nearbyint(v);
        if (!std::isfinite(v) || v < minimum || v > maximum) {
            Message(onMessage, this,
                    name + QStringLiteral(" must be between ") + FloatToStr(minimum) + QStringLiteral(" and ") +
                        FloatToStr(maximum));
            box->setFocus();
            return false;
        }
        value = v;
        return true;
    } catch (const std::exception& e) {
        Message(onMessage, this, QString::fromUtf8(e.what()));
        box->setFocus();
        return false;
    }
}

bool TdlgFormat::ReadValues() {
    long double h = 0, w = 0, ppi = 0;
    // Sizes beyond 10000 inches are no bitmap anyone can make.
    if (!ReadBox(deHeight, QStringLiteral("Height"), 2.0L, 10000.0L, false, h)) return false;
    if (!ReadBox(deWidth, QStringLiteral("Width"), 2.0L, 10000.0L, false, w)) return false;
    if (!ReadBox(dePPI, QStringLiteral("Pixels Per Inch"), 10.0L, 2147483647.0L, true, ppi)) return false;
    height_ = h;
    width_ = w;
    ppi_ = int(ppi);
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
