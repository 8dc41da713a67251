// About box and run-progress dialog.
#include "small_windows.h"

#include "program_data.h"
#include "ui_AboutBox.h"
#include "ui_RunAnalysis.h"

#include <QCloseEvent>
#include <QTimer>

namespace vortn {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAboutBox>()) {
    ui_->setupUi(this);
    connect(ui_->OKButton, &QPushButton::clicked, this, &QDialog::accept);
    ui_->ProgramIcon->setPixmap(windowIcon().pixmap(64, 64));
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::FormActivate() { ui_->Version->setText(QStringLiteral("Version ") + ProgramVersion()); }

void TAboutBox::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
}

TDlgRunAnalysis::TDlgRunAnalysis(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TDlgRunAnalysis>()), timer_(new QTimer(this)) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &TDlgRunAnalysis::TimerRunTimer);
}

TDlgRunAnalysis::~TDlgRunAnalysis() = default;

void TDlgRunAnalysis::TimerRunTimer() {
    QProgressBar& bar = *ui_->ProgressBarRun;
    if (bar.value() + 10 > bar.maximum())
        bar.setValue(0);
    else
        bar.setValue(bar.value() + 10);
}

void TDlgRunAnalysis::Wait() {
    ui_->ProgressBarRun->setValue(0);
    waiting_ = true;
    timer_->start();
    exec();
}

void TDlgRunAnalysis::Done() {
    waiting_ = false;
    timer_->stop();
    done(QDialog::Accepted);
}

void TDlgRunAnalysis::reject() {
    if (!waiting_) QDialog::reject();
}

void TDlgRunAnalysis::closeEvent(QCloseEvent* event) {
    if (waiting_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

}  // namespace vortn
