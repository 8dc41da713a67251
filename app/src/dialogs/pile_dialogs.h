// "Pile Properties" (pile group) and "Foundation Properties" (multilayer
// foundation column): the material constants and the base coordinates; the
// pile dialog adds the pile-head connection, the tip condition and the
// pile-soil-pile interaction.
#pragma once

#include "input_dialog.h"

#include <memory>

namespace Ui {
class TfrmCPileProperties;
class TfrmMultimat;
}  // namespace Ui

namespace vortn {

class TPropertiesDialog : public TInputDialog {
    Q_OBJECT
public:
    using TInputDialog::TInputDialog;

protected:
    // DataEdit1 .. DataEdit10 of the form.
    void SetBoxes(const std::array<TDataEdit*, 10>& b) { boxes_ = b; }
    void Fields(TFieldList& f) override;
    void Loaded() override;

private:
    std::array<TDataEdit*, 10> boxes_{};
};

class TfrmCPileProperties : public TPropertiesDialog {
    Q_OBJECT
public:
    explicit TfrmCPileProperties(TDialogHost& host);
    ~TfrmCPileProperties() override;
    Ui::TfrmCPileProperties& Form() const { return *ui; }

public slots:
    void ComboBox1Change();
    void ComboBox2Change();
    void ComboBox3Change();

protected:
    void Loaded() override;
    void Stored() override;
    void BindHandlers() override;

private:
    void FlagsFromWords();
    std::unique_ptr<Ui::TfrmCPileProperties> ui;
};

class TfrmMultimat : public TPropertiesDialog {
    Q_OBJECT
public:
    explicit TfrmMultimat(TDialogHost& host);
    ~TfrmMultimat() override;
    Ui::TfrmMultimat& Form() const { return *ui; }

protected:
    void BindHandlers() override;

private:
    std::unique_ptr<Ui::TfrmMultimat> ui;
};

}  // namespace vortn
