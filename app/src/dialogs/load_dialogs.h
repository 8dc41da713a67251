// The load dialogs: harmonic loads (constant amplitudes, or coefficients of
// the squared frequency), transient and random loads.
#pragma once

#include "input_dialog.h"
#include "load_frames.h"

#include <memory>

class QLabel;
class QRadioButton;
class QPushButton;

namespace Ui {
class Tfrmharmonic;
class TfrmQuad;
class Tfrmtransient;
class Tfrmrandom;
}  // namespace Ui

namespace vortn {

// Both harmonic dialogs: nine load values, the point of application and the
// frame it is given in.
class THarmonicDialog : public TInputDialog {
    Q_OBJECT
public:
    THarmonicDialog(TDialogHost& host, TDialogKind kind, bool quadratic);
    bool Ready() const { return ready_; }
    // The frame the point boxes show: 0 global (C.G.), 1 local (C.B.).
    int ShownFrame() const { return frame_; }

public slots:
    void RadioButton1Click();
    void RadioButton2Click();
    void Button1Click();

protected:
    struct TControls {
        std::array<TDataEdit*, 12> boxes;  // DataEdit1 .. DataEdit12
        QRadioButton* radio1;
        QRadioButton* radio2;
        QPushButton* button1;
    };
    // Set before BindForm: the two forms' controls are bound alike.
    void SetControls(const TControls& c) { c_ = c; }
    void BindHandlers() override;
    void Fields(TFieldList& f) override;
    void Loaded() override;
    void Stored() override;

private:
    void ShowFrame(int frame);
    void ConvertTo(int frame);
    bool ReadPoint(TVector3& p);
    TFrameLink Link() const;

    TControls c_{};
    bool quadratic_;
    bool ready_ = false;
    int frame_ = 0;
};

class Tfrmharmonic : public THarmonicDialog {
    Q_OBJECT
public:
    explicit Tfrmharmonic(TDialogHost& host);
    ~Tfrmharmonic() override;
    Ui::Tfrmharmonic& Form() const { return *ui; }

private:
    std::unique_ptr<Ui::Tfrmharmonic> ui;
};

class TfrmQuad : public THarmonicDialog {
    Q_OBJECT
public:
    explicit TfrmQuad(TDialogHost& host);
    ~TfrmQuad() override;
    Ui::TfrmQuad& Form() const { return *ui; }
    bool TopLevel() const override { return true; }

private:
    std::unique_ptr<Ui::TfrmQuad> ui;
};

class Tfrmtransient : public TInputDialog {
    Q_OBJECT
public:
    explicit Tfrmtransient(TDialogHost& host);
    ~Tfrmtransient() override;
    Ui::Tfrmtransient& Form() const { return *ui; }

public slots:
    void Button1Click();

protected:
    void Fields(TFieldList& f) override;
    bool SwitchesUnits() const override { return false; }
    void BindHandlers() override;
    // A smaller number of points that leaves typed amplitudes out is asked about.
    bool EntriesAcceptable() override;

private:
    std::unique_ptr<Ui::Tfrmtransient> ui;
};

class Tfrmrandom : public TInputDialog {
    Q_OBJECT
public:
    explicit Tfrmrandom(TDialogHost& host);
    ~Tfrmrandom() override;
    Ui::Tfrmrandom& Form() const { return *ui; }

public slots:
    void Button1Click();

protected:
    void Fields(TFieldList& f) override;
    void BindHandlers() override;
    // A smaller number of points that leaves typed spectrum values out is asked about.
    bool EntriesAcceptable() override;

private:
    std::unique_ptr<Ui::Tfrmrandom> ui;
};

}  // namespace vortn
