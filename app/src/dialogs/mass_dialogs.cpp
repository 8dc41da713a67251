#include "mass_dialogs.h"

#include "data_edit.h"
#include "grid_table.h"
#include "mass_properties.h"
#include "program_data.h"
#include "project_holder.h"
#include "ui_TfrmMassdata.h"
#include "ui_TfrmNCPileProperties.h"

namespace vortn {

std::vector<TMassComponent> MassComponents(const TGridTable& t) {
    std::vector<TMassComponent> rows;
    for (int r = 0; r < t.RowCount(); ++r) {
        auto v = [&](int c) { return t.Cells(c, r).AsFloat(); };
        rows.push_back({v(0), v(1), v(2), v(3), v(4), v(5), v(6)});
    }
    return rows;
}

void TMassDialog::Fields(TFieldList& f) {
    TProgramData& p = Project();
    f.Real(boxes_.total, p.TotalMass);
    Extended* inertia[3] = {&p.Ix, &p.Iy, &p.Iz};
    Extended* products[3] = {&p.Ixy, &p.Ixz, &p.Iyz};
    Extended* cg[3] = {&p.CGx, &p.CGy, &p.CGz};
    Extended* cbl[3] = {&p.CBx, &p.CBy, &p.CBz};
    Extended* cbg[3] = {&p.CBX, &p.CBY, &p.CBZ};
    for (int i = 0; i < 3; ++i) {
        f.Real(boxes_.inertia[i], *inertia[i]);
        f.Real(boxes_.products[i], *products[i]);
        f.Real(boxes_.cg[i], *cg[i]);
        f.Real(boxes_.cbLocal[i], *cbl[i]);
        f.Real(boxes_.cbGlobal[i], *cbg[i]);
    }
}

void TMassDialog::Stored() {
    // Only a dialog that computed the properties moves the base.
    if (!computed_) return;
    TProgramData& p = Project();
    p.Xc = p.CBX;
    p.Yc = p.CBY;
    p.Zc = p.CBZ;
}

void TMassDialog::ShowComponents() {
    Guarded([this] { Host().Holder().MassCal().ShowTable(); });
}

void TMassDialog::Calculate() {
    Guarded([this] {
        // Everything is read first: an invalid C.G. or C.B. box changes nothing.
        auto read = [this](const std::array<TDataEdit*, 3>& b, TVector3& v) -> bool {
            Extended x[3];
            for (int i = 0; i < 3; ++i)
                if (!ReadBox(b[i], x[i])) return false;
            v = {x[0], x[1], x[2]};
            return true;
        };
        TVector3 previousCG, cbLocal;
        if (!read(boxes_.cg, previousCG) || !read(boxes_.cbLocal, cbLocal)) return;
        const TMassProperties m = ComputeMassProperties(MassComponents(Host().Holder().MassCal()), previousCG);
        if (m.hasRows) boxes_.total->SetNumber(m.totalMass);
        const Extended inertia[3] = {m.Ix, m.Iy, m.Iz}, products[3] = {m.Ixy, m.Ixz, m.Iyz};
        const Extended cg[3] = {m.cg.x, m.cg.y, m.cg.z};
        const TVector3 g = CentreOfBaseGlobal(cbLocal, m.cg);
        const Extended cbg[3] = {g.x, g.y, g.z};
        for (int i = 0; i < 3; ++i) {
            boxes_.inertia[i]->SetNumber(inertia[i]);
            boxes_.products[i]->SetNumber(products[i]);
            boxes_.cg[i]->SetNumber(cg[i]);
            boxes_.cbGlobal[i]->SetNumber(cbg[i]);
        }
        computed_ = true;
        MarkModified();
    });
}

TfrmMassdata::TfrmMassdata(TDialogHost& host) : TMassDialog(host, TDialogKind::MassData), ui(new Ui::TfrmMassdata) {
    ui->setupUi(this);
    BindForm();
    SetBoxes({ui->DataEdit1,
              {ui->DataEdit2, ui->DataEdit3, ui->DataEdit4},
              {ui->DataEdit5, ui->DataEdit6, ui->DataEdit7},
              {ui->DataEdit8, ui->DataEdit9, ui->DataEdit10},
              {ui->DataEdit11, ui->DataEdit12, ui->DataEdit13},
              {ui->DataEdit14, ui->DataEdit15, ui->DataEdit16}});
}

TfrmMassdata::~TfrmMassdata() = default;

void TfrmMassdata::BindHandlers() {
    OnClick(ui->Button2, &TfrmMassdata::Button2Click);
    OnClick(ui->Button1, &TfrmMassdata::Button1Click);
    OnChange(ui->DataEdit1, &TfrmMassdata::DataEdit1Change);
    OnChange(ui->DataEdit2, &TfrmMassdata::DataEdit2Change);
    OnChange(ui->DataEdit3, &TfrmMassdata::DataEdit3Change);
    OnChange(ui->DataEdit4, &TfrmMassdata::DataEdit4Change);
    OnChange(ui->DataEdit5, &TfrmMassdata::DataEdit5Change);
    OnChange(ui->DataEdit6, &TfrmMassdata::DataEdit6Change);
    OnChange(ui->DataEdit7, &TfrmMassdata::DataEdit7Change);
    OnChange(ui->DataEdit8, &TfrmMassdata::DataEdit8Change);
    OnChange(ui->DataEdit9, &TfrmMassdata::DataEdit9Change);
    OnChange(ui->DataEdit10, &TfrmMassdata::DataEdit10Change);
    OnChange(ui->DataEdit11, &TfrmMassdata::DataEdit11Change);
    OnChange(ui->DataEdit12, &TfrmMassdata::DataEdit12Change);
    OnChange(ui->DataEdit13, &TfrmMassdata::DataEdit13Change);
    OnChange(ui->DataEdit14, &TfrmMassdata::DataEdit14Change);
    OnChange(ui->DataEdit15, &TfrmMassdata::DataEdit15Change);
    OnChange(ui->DataEdit16, &TfrmMassdata::DataEdit16Change);
}

TfrmNCPileProperties::TfrmNCPileProperties(TDialogHost& host)
    : TMassDialog(host, TDialogKind::PileCapProperties), ui(new Ui::TfrmNCPileProperties) {
    ui->setupUi(this);
    BindForm();
    SetBoxes({ui->DataEdit5,
              {ui->DataEdit6, ui->DataEdit7, ui->DataEdit8},
              {ui->DataEdit9, ui->DataEdit10, ui->DataEdit11},
              {ui->DataEdit1, ui->DataEdit2, ui->DataEdit3},
              {ui->DataEdit4, ui->DataEdit12, ui->DataEdit13},
              {ui->DataEdit14, ui->DataEdit15, ui->DataEdit16}});
}

TfrmNCPileProperties::~TfrmNCPileProperties() = default;

void TfrmNCPileProperties::BindHandlers() {
    OnClick(ui->Button1, &TfrmNCPileProperties::Button1Click);
    OnClick(ui->Button2, &TfrmNCPileProperties::Button2Click);
    OnChange(ui->DataEdit5, &TfrmNCPileProperties::DataEdit5Change);
    OnChange(ui->DataEdit6, &TfrmNCPileProperties::DataEdit6Change);
    OnChange(ui->DataEdit7, &TfrmNCPileProperties::DataEdit7Change);
    OnChange(ui->DataEdit8, &TfrmNCPileProperties::DataEdit8Change);
    OnChange(ui->DataEdit9, &TfrmNCPileProperties::DataEdit9Change);
    OnChange(ui->DataEdit10, &TfrmNCPileProperties::DataEdit10Change);
    OnChange(ui->DataEdit11, &TfrmNCPileProperties::DataEdit11Change);
    OnChange(ui->DataEdit1, &TfrmNCPileProperties::DataEdit1Change);
    OnChange(ui->DataEdit2, &TfrmNCPileProperties::DataEdit2Change);
    OnChange(ui->DataEdit3, &TfrmNCPileProperties::DataEdit3Change);
    OnChange(ui->DataEdit4, &TfrmNCPileProperties::DataEdit4Change);
    OnChange(ui->DataEdit12, &TfrmNCPileProperties::DataEdit12Change);
    OnChange(ui->DataEdit13, &TfrmNCPileProperties::DataEdit13Change);
    OnChange(ui->DataEdit14, &TfrmNCPileProperties::DataEdit14Change);
    OnChange(ui->DataEdit15, &TfrmNCPileProperties::DataEdit15Change);
    OnChange(ui->DataEdit16, &TfrmNCPileProperties::DataEdit16Change);
}

}  // namespace vortn
