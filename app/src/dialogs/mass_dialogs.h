// The two mass-property dialogs: "Mass Data" for footings and "Pile Cap
// Properties" for the pile cap. Both take the seven mass values by hand or
// compute them from the mass-component table, and from the centre of base
// derive the footing base coordinates.
#pragma once

#include "input_dialog.h"
#include "mass_properties.h"

#include <array>
#include <memory>

namespace Ui {
class TfrmMassdata;
class TfrmNCPileProperties;
}  // namespace Ui

namespace vortn {

class TGridTable;
std::vector<TMassComponent> MassComponents(const TGridTable& massCal);

class TMassDialog : public TInputDialog {
    Q_OBJECT
public:
    using TInputDialog::TInputDialog;
    bool Computed() const { return computed_; }

protected:
    // Boxes by meaning: total mass, Ix Iy Iz, Ixy Ixz Iyz, C.G. local,
    // C.B. local, C.B. global.
    struct TBoxes {
        TDataEdit* total;
        std::array<TDataEdit*, 3> inertia, products, cg, cbLocal, cbGlobal;
    };
    void SetBoxes(const TBoxes& b) { boxes_ = b; }
    void Fields(TFieldList& f) override;
    void Stored() override;
    void ShowComponents();
    void Calculate();

private:
    TBoxes boxes_{};
    bool computed_ = false;
};

class TfrmMassdata : public TMassDialog {
    Q_OBJECT
public:
    explicit TfrmMassdata(TDialogHost& host);
    ~TfrmMassdata() override;
    Ui::TfrmMassdata& Form() const { return *ui; }

public slots:
    void Button1Click() { Calculate(); }
    void Button2Click() { ShowComponents(); }

protected:
    void BindHandlers() override;

private:
    std::unique_ptr<Ui::TfrmMassdata> ui;
};

class TfrmNCPileProperties : public TMassDialog {
    Q_OBJECT
public:
    explicit TfrmNCPileProperties(TDialogHost& host);
    ~TfrmNCPileProperties() override;
    Ui::TfrmNCPileProperties& Form() const { return *ui; }

public slots:
    void Button1Click() { ShowComponents(); }
    void Button2Click() { Calculate(); }

protected:
    void BindHandlers() override;

private:
    std::unique_ptr<Ui::TfrmNCPileProperties> ui;
};

}  // namespace vortn
