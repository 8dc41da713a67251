// The About box and the run-progress dialog, made once at start-up.
#pragma once

#include "engine_run.h"

#include <QDialog>
#include <memory>

class QTimer;

namespace Ui {
class TAboutBox;
class TDlgRunAnalysis;
}  // namespace Ui

namespace vortn {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;
    Ui::TAboutBox& Form() const { return *ui_; }

public slots:
    void FormActivate();  // "Version " + the program version

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui_;
};

// Shown modally while the engine runs; its bar moves on every tick of
// `TimerRun` (100 ms). It cannot be closed by the user while a run waits.
class TDlgRunAnalysis : public QDialog, public TRunWaiter {
    Q_OBJECT
public:
    explicit TDlgRunAnalysis(QWidget* parent = nullptr);
    ~TDlgRunAnalysis() override;
    Ui::TDlgRunAnalysis& Form() const { return *ui_; }
    QTimer& TimerRun() const { return *timer_; }

    void Wait() override;  // bar at 0, timer on, modal until Done
    void Done() override;

public slots:
    void TimerRunTimer();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::TDlgRunAnalysis> ui_;
    QTimer* timer_;
    bool waiting_ = false;
};

}  // namespace vortn
