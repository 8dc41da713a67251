// The dialogs that describe the footing: type ("Foundation Options"),
// shape, base coordinates and depths, and the soil below the footing.
#pragma once

#include "input_dialog.h"

#include <memory>

namespace Ui {
class TfrmLayout;
class TfrmShape;
class TfrmFoundations;
class TfrmTipsoil;
}  // namespace Ui

namespace vortn {

class TfrmLayout : public TInputDialog {
    Q_OBJECT
public:
    explicit TfrmLayout(TDialogHost& host);
    ~TfrmLayout() override;
    Ui::TfrmLayout& Form() const { return *ui; }

public slots:
    void ComboBox1Change();

protected:
    void Loaded() override;
    void Stored() override;
    void BindHandlers() override;

private:
    void ShowPicture();
    void UpdateFootingType();
    std::unique_ptr<Ui::TfrmLayout> ui;
};

class TfrmShape : public TInputDialog {
    Q_OBJECT
public:
    explicit TfrmShape(TDialogHost& host);
    ~TfrmShape() override;
    Ui::TfrmShape& Form() const { return *ui; }

public slots:
    void RadioButton1Click();
    void RadioButton2Click();

protected:
    void Fields(TFieldList& f) override;
    void Loaded() override;
    void BindHandlers() override;

private:
    void ShowShape(bool circular);
    std::unique_ptr<Ui::TfrmShape> ui;
};

class TfrmFoundations : public TInputDialog {
    Q_OBJECT
public:
    explicit TfrmFoundations(TDialogHost& host);
    ~TfrmFoundations() override;
    Ui::TfrmFoundations& Form() const { return *ui; }

protected:
    void Fields(TFieldList& f) override;
    void Loaded() override;
    void BindHandlers() override;

private:
    std::unique_ptr<Ui::TfrmFoundations> ui;
};

class TfrmTipsoil : public TInputDialog {
    Q_OBJECT
public:
    explicit TfrmTipsoil(TDialogHost& host);
    ~TfrmTipsoil() override;
    Ui::TfrmTipsoil& Form() const { return *ui; }

protected:
    void Fields(TFieldList& f) override;
    void BindHandlers() override;

private:
    std::unique_ptr<Ui::TfrmTipsoil> ui;
};

}  // namespace vortn
