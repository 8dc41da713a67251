#include "small_dialogs.h"

#include "app_settings.h"
#include "deck_title.h"
#include "program_data.h"
#include "user_action.h"
#include "ui_TDlgOptions.h"
#include "ui_TdlgTitle.h"

#include <QFileDialog>

namespace vortn {

// ---- Control Options

TDlgOptions::TDlgOptions(TDialogHost& host) : TInputDialog(host, TDialogKind::Options), ui(new Ui::TDlgOptions) {
    ui->setupUi(this);
    BindForm();
}

TDlgOptions::~TDlgOptions() = default;

void TDlgOptions::BindHandlers() {
    OnClick(ui->BtnBrowse, &TDlgOptions::BtnBrowseClick);
    OnClick(ui->CheckBox1, &TDlgOptions::CheckBox1Click);
}

void TDlgOptions::Loaded() {
    QString editor = Host().GetEditorPath ? Host().GetEditorPath() : QString();
    if (editor.isEmpty()) {
        editor = DefaultEditorPath();
        if (Host().SetEditorPath) Host().SetEditorPath(editor);
    }
    ui->EdtWord->setText(editor);
    ui->CheckBox1->setChecked(Project().MatrixFlag == 1);
}

void TDlgOptions::Stored() {
    if (Host().SetEditorPath) Host().SetEditorPath(ui->EdtWord->text());
    const int flag = ui->CheckBox1->isChecked() ? 1 : 0;
    if (Project().MatrixFlag != flag) MarkModified();
    Project().MatrixFlag = flag;
}

void TDlgOptions::BtnBrowseClick() {
    Guarded([this] {
        QFileDialog browser(this, QString(), ui->EdtWord->text());
        browser.setNameFilters({QStringLiteral("Programs (*)"), QStringLiteral("All Files (*)")});
        browser.selectFile(ui->EdtWord->text());
        browser.setFileMode(QFileDialog::ExistingFile);
        if (browser.exec() == QDialog::Accepted && !browser.selectedFiles().isEmpty())
            ui->EdtWord->setText(browser.selectedFiles().first());
    });
}

void TDlgOptions::CheckBox1Click() {
    Guarded([this] {
        const int flag = ui->CheckBox1->isChecked() ? 1 : 0;
        if (Project().MatrixFlag != flag) MarkModified();
        Project().MatrixFlag = flag;
    });
}

// ---- Project Title

TdlgTitle::TdlgTitle(TDialogHost& host) : TInputDialog(host, TDialogKind::Title), ui(new Ui::TdlgTitle) {
    ui->setupUi(this);
    BindForm();
}

TdlgTitle::~TdlgTitle() = default;

void TdlgTitle::Loaded() { ui->TitleMemo->setText(Project().Title); }

bool TdlgTitle::EntriesAcceptable() {
    const QString text = ui->TitleMemo->text();
    // A title read from a file is left to the writer, which makes it readable.
    const QString refusal = text == Project().Title ? QString() : TitleRefusal(text);
    if (refusal.isEmpty()) {
        refused_.clear();
        return true;
    }
    // Once per action of the user's: the commands of one click say it once,
    // every later command says it again.
    if (text != refused_ || UserAction() != refusedAction_) {
        refused_ = text;
        refusedAction_ = UserAction();
        Host().ShowMessage(refusal);
    }
    RefuseLater(ui->TitleMemo);
    return false;
}

void TdlgTitle::Stored() {
    if (ui->TitleMemo->text() == Project().Title) return;
    Project().Title = ui->TitleMemo->text();
    MarkModified();
}

}  // namespace vortn
