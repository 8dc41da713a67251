#include "result_age.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

namespace vortn {

bool ResultsOlderThanProject(const QString& projectFile, const QString& plotFile) {
    const QFileInfo project(projectFile), plot(plotFile);
    if (!project.isFile() || !plot.isFile()) return false;
    return plot.lastModified() < project.lastModified();
}

namespace {
QByteArray ReadWhole(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEngineInput ReadEngineInput(const QString& projectFile) {
    const QFileInfo project(projectFile);
    return {ReadWhole(projectFile),
            ReadWhole(project.path() + QLatin1Char('/') + project.completeBaseName() + QStringLiteral(".vtm"))};
}

bool TouchFile(const QString& file) {
    return ::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), nullptr, 0) == 0;
}

QString OlderResultsMessage(const QString& plotFile) {
    return QStringLiteral(
                   "The results shown (%1) are those of the last completed run. The project was saved after that "
                   "run, so they may not belong to its present input: run the analysis again to bring them up to "
                   "date.")
            .arg(QFileInfo(plotFile).fileName());
}

}  // namespace vortn
