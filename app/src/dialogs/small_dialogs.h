// Two small windows on the input dialog pattern: "Control Options" (text
// editor, stiffness-matrix switch) and "Project Title".
#pragma once

#include "input_dialog.h"

#include <memory>

namespace Ui {
class TDlgOptions;
class TdlgTitle;
}  // namespace Ui

namespace vortn {

class TDlgOptions : public TInputDialog {
    Q_OBJECT
public:
    explicit TDlgOptions(TDialogHost& host);
    ~TDlgOptions() override;
    Ui::TDlgOptions& Form() const { return *ui; }

public slots:
    void BtnBrowseClick();
    void CheckBox1Click();

protected:
    void Loaded() override;
    void Stored() override;
    void BindHandlers() override;

private:
    std::unique_ptr<Ui::TDlgOptions> ui;
};

class TdlgTitle : public TInputDialog {
    Q_OBJECT
public:
    explicit TdlgTitle(TDialogHost& host);
    ~TdlgTitle() override;
    Ui::TdlgTitle& Form() const { return *ui; }

protected:
    void Loaded() override;
    void Stored() override;
    // A typed title must come out of the deck's title line as typed.
    bool EntriesAcceptable() override;

private:
    std::unique_ptr<Ui::TdlgTitle> ui;
    QString refused_;            // the text last refused and the user's action that
    quint64 refusedAction_ = 0;  // refused it: its message shows once per action
};

}  // namespace vortn
