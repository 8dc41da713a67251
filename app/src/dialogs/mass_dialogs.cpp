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

}  // namespace vortn
