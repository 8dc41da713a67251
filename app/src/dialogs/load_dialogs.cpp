#include "load_dialogs.h"

#include "data_edit.h"
#include "grid_table.h"
#include "load_counts.h"
#include "program_data.h"
#include "project_holder.h"
#include "ui_TfrmQuad.h"
#include "ui_Tfrmharmonic.h"
#include "ui_Tfrmrandom.h"
#include "ui_Tfrmtransient.h"

namespace vortn {

THarmonicDialog::THarmonicDialog(TDialogHost& host, TDialogKind kind, bool quadratic)
    : TInputDialog(host, kind), quadratic_(quadratic) {}

void THarmonicDialog::BindHandlers() {
    for (TDataEdit* box : c_.boxes) OnChange(box, &THarmonicDialog::DataEdit1Change);
    OnClick(c_.radio1, &THarmonicDialog::RadioButton1Click);
    OnClick(c_.radio2, &THarmonicDialog::RadioButton2Click);
    OnClick(c_.button1, &THarmonicDialog::Button1Click);
}

void THarmonicDialog::Fields(TFieldList& f) {
    TProgramData& p = Project();
    Extended* fields[12] = {&p.MaxFrequency, &p.MinFrequency, &p.FrequencyStep, &p.Fx,    &p.Fy,   &p.Fz, &p.Mx,
                            &p.My,           &p.Mz,           &p.LoadX,         &p.LoadY, &p.LoadZ};
    for (int i = 0; i < 12; ++i) f.Real(c_.boxes[i], *fields[i]);
}

void THarmonicDialog::ShowFrame(int frame) {
    frame_ = frame;
    (frame == 1 ? c_.radio2 : c_.radio1)->setChecked(true);
    const char* upper[3] = {"X-coordinate", "Y-coordinate", "Z-coordinate"};
    const char* lower[3] = {"x-coordinate", "y-coordinate", "z-coordinate"};
    for (int i = 0; i < 3; ++i) c_.boxes[9 + i]->SetCaption(QLatin1String(frame == 1 ? lower[i] : upper[i]));
}

void THarmonicDialog::Loaded() {
    // Showing the stored frame converts nothing.
    const int ref = Project().LoadReference;
    if (ref == 0 || ref == 1)
        ShowFrame(ref);
    else
        ShowFrame(c_.radio2->isChecked() ? 1 : 0);
    ready_ = true;
}

void THarmonicDialog::Stored() { Project().LoadReference = c_.radio2->isChecked() ? 1 : 0; }

TFrameLink THarmonicDialog::Link() const {
    const TProgramData& p = Project();
    return {{p.CBx, p.CBy, p.CBz}, {p.Xc, p.Yc, p.Zc}};
}

bool THarmonicDialog::ReadPoint(TVector3& p) {
    Extended v[3];
    for (int i = 0; i < 3; ++i)
        if (!ReadBox(c_.boxes[9 + i], v[i])) return false;
    p = {v[0], v[1], v[2]};
    return true;
}

void THarmonicDialog::ConvertTo(int frame) {
    // Only a change of frame converts: clicking the checked button again,
    // or a dialog that has not shown its project yet, changes nothing.
    if (!ready_ || frame == frame_) {
        ShowFrame(frame_);
        return;
    }
    TVector3 p;
    if (!ReadPoint(p)) {
        ShowFrame(frame_);  // the radios and captions as they were
        return;
    }
    const TVector3 q = frame == 0 ? LocalToGlobal(p, Link()) : GlobalToLocal(p, Link());
    c_.boxes[9]->SetNumber(q.x);
    c_.boxes[10]->SetNumber(q.y);
    c_.boxes[11]->SetNumber(q.z);
    ShowFrame(frame);
    MarkModified();
}

void THarmonicDialog::RadioButton1Click() {
    Guarded([this] { ConvertTo(0); });
}

void THarmonicDialog::RadioButton2Click() {
    Guarded([this] { ConvertTo(1); });
}

void THarmonicDialog::Button1Click() {
    Guarded([this] {
        Extended v[9];
        for (int i = 0; i < 9; ++i)
            if (!ReadBox(c_.boxes[3 + i], v[i])) return;
        const TVector3 F{v[0], v[1], v[2]}, M{v[3], v[4], v[5]};
        TVector3 P{v[6], v[7], v[8]};
        if (c_.radio2->isChecked()) P = LocalToGlobal(P, Link());
        Host().ShowMessage(EquivalentLoadsText(quadratic_, Project().UnitSystem, F, MomentsAtCG(F, M, P)));
    });
}

#define VORTN_HARMONIC_CONTROLS                                                                        \
    {                                                                                                  \
        {ui->DataEdit1, ui->DataEdit2, ui->DataEdit3, ui->DataEdit4,  ui->DataEdit5,  ui->DataEdit6,   \
         ui->DataEdit7, ui->DataEdit8, ui->DataEdit9, ui->DataEdit10, ui->DataEdit11, ui->DataEdit12}, \
                ui->RadioButton1, ui->RadioButton2, ui->Button1                                        \
    }

Tfrmharmonic::Tfrmharmonic(TDialogHost& host)
    : THarmonicDialog(host, TDialogKind::Harmonic, false), ui(new Ui::Tfrmharmonic) {
    ui->setupUi(this);
    SetControls(VORTN_HARMONIC_CONTROLS);
    BindForm();
}

Tfrmharmonic::~Tfrmharmonic() = default;

TfrmQuad::TfrmQuad(TDialogHost& host) : THarmonicDialog(host, TDialogKind::Quadratic, true), ui(new Ui::TfrmQuad) {
    ui->setupUi(this);
    SetControls(VORTN_HARMONIC_CONTROLS);
    BindForm();
}

TfrmQuad::~TfrmQuad() = default;

#undef VORTN_HARMONIC_CONTROLS

// ---- transient

Tfrmtransient::Tfrmtransient(TDialogHost& host)
    : TInputDialog(host, TDialogKind::Transient), ui(new Ui::Tfrmtransient) {
    ui->setupUi(this);
    BindForm();
    BoundLoadCounts(*ui->DataEdit1, *ui->DataEdit3);
}

Tfrmtransient::~Tfrmtransient() = default;

void Tfrmtransient::BindHandlers() {
    OnChange(ui->DataEdit1, &Tfrmtransient::DataEdit1Change);
    OnChange(ui->DataEdit2, &Tfrmtransient::DataEdit2Change);
    OnChange(ui->DataEdit3, &Tfrmtransient::DataEdit3Change);
    OnClick(ui->Button1, &Tfrmtransient::Button1Click);
}

void Tfrmtransient::Fields(TFieldList& f) {
    TProgramData& p = Project();
    f.Integer(ui->DataEdit1, p.NumberOfPoints);
    f.Real(ui->DataEdit2, p.TimeInterval);
    f.Integer(ui->DataEdit3, p.NumberOfLoadTypes);
}

bool Tfrmtransient::EntriesAcceptable() {
    ConfirmFewerPoints(this, *ui->DataEdit1, Project().NumberOfPoints, Host().Holder().TLoadtype(), "load amplitudes");
    return true;
}

void Tfrmtransient::Button1Click() {
    Guarded([this] { Host().Holder().TLoadtype().ShowTable(); });
}

// ---- random

Tfrmrandom::Tfrmrandom(TDialogHost& host) : TInputDialog(host, TDialogKind::Random), ui(new Ui::Tfrmrandom) {
    ui->setupUi(this);
    BindForm();
    BoundLoadCounts(*ui->DataEdit3, *ui->DataEdit5);
}

Tfrmrandom::~Tfrmrandom() = default;

void Tfrmrandom::BindHandlers() {
    OnChange(ui->DataEdit1, &Tfrmrandom::DataEdit1Change);
    OnChange(ui->DataEdit2, &Tfrmrandom::DataEdit2Change);
    OnChange(ui->DataEdit3, &Tfrmrandom::DataEdit3Change);
    OnChange(ui->DataEdit4, &Tfrmrandom::DataEdit4Change);
    OnChange(ui->DataEdit5, &Tfrmrandom::DataEdit5Change);
    OnClick(ui->Button1, &Tfrmrandom::Button1Click);
}

void Tfrmrandom::Fields(TFieldList& f) {
    TProgramData& p = Project();
    f.Real(ui->DataEdit1, p.RandomMaxFrequency);
    f.Real(ui->DataEdit2, p.RandomMinFrequency);
    f.Integer(ui->DataEdit3, p.NumberOfPoints);
    f.Real(ui->DataEdit4, p.ObservationPeriod);
    f.Integer(ui->DataEdit5, p.NumberOfLoadTypes);
}

bool Tfrmrandom::EntriesAcceptable() {
    ConfirmFewerPoints(this, *ui->DataEdit3, Project().NumberOfPoints, Host().Holder().Trandom(), "spectrum values");
    return true;
}

void Tfrmrandom::Button1Click() {
    Guarded([this] { Host().Holder().Trandom().ShowTable(); });
}

}  // namespace vortn
