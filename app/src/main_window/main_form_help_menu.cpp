// Main window: the Help menu, the help documents and the About box.
#include "main_form.h"

#include "small_windows.h"
#include "ui_MainForm.h"

#include <QDate>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

namespace vortn {

void TMainForm::OpenHelpDocument(const QString& fileName) {
    const QString path = ProgramFolder() + QLatin1Char('/') + fileName;
    if (!QFileInfo(path).isFile()) {
        ShowMessage(QStringLiteral("The document \"%1\" is not installed.").arg(path));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        ShowMessage(QStringLiteral("The document \"%1\" could not be opened.").arg(path));
}

void TMainForm::HelpContentsClick() { OpenHelpDocument(QStringLiteral("VortN3Help.chm")); }

void TMainForm::HelpManualClick() { OpenHelpDocument(QStringLiteral("Vortn v3 Manual.pdf")); }

void TMainForm::HelpUpdatesClick() {
    QUrl url(QStringLiteral("https://www.tessik.com/vort-n/update"));
    QUrlQuery query;
    query.setQuery(QStringLiteral("VORT-N;") + GetVersion() + QStringLiteral(";2026-12-10;") +
                   QDate::currentDate().toString(QStringLiteral("MM/dd/yy")));
    url.setQuery(query);
    if (!QDesktopServices::openUrl(url)) ShowMessage(QStringLiteral("The update page could not be opened."));
}

void TMainForm::HelpAboutClick() {
    if (aboutBox_) aboutBox_->exec();
}

}  // namespace vortn
