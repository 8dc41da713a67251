// The VORT-N front-end program.
#include "application.h"
#include "main_form.h"

#include <QStringList>

int main(int argc, char* argv[]) {
    vortn::TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORT-N"));
    QApplication::setOrganizationName(QStringLiteral("Tessik"));
    QApplication::setApplicationDisplayName(QStringLiteral("VORT-N"));
    vortn::TMainForm window;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) window.SetStartupFile(args.at(1));
    window.show();
    return app.exec();
}
