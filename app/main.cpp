// The VORT-N front-end program.
#include "application.h"
#include "engine_run.h"
#include "main_form.h"
#include "program_data.h"
#include "program_icon.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

int main(int argc, char* argv[]) {
    vortn::TApplication app(argc, argv);
    vortn::SetProgramNames();
    // No display name: it would be appended to every window's caption.
    QApplication::setWindowIcon(vortn::ProgramIcon());
    // A program killed during a run left its private run folder behind.
    vortn::RemoveStaleRunFolders(QDir::tempPath());
    vortn::TMainForm window;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) window.SetStartupFile(args.at(1));
    window.show();
    return app.exec();
}
