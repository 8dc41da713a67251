// The VORT-N front-end program.
#include "main_form.h"
#include "program_icon.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORT-N"));
    QApplication::setOrganizationName(QStringLiteral("Tessik"));
    // No display name: it would be appended to every window's caption.
    QApplication::setWindowIcon(vortn::ProgramIcon());
    vortn::TMainForm window;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) window.SetStartupFile(args.at(1));
    window.show();
    return app.exec();
}
