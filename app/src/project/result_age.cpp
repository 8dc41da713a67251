#include "result_age.h"

#include <QDateTime>
#include <QFileInfo>

namespace vortn {

bool ResultsOlderThanProject(const QString& projectFile, const QString& plotFile) {
    const QFileInfo project(projectFile), plot(plotFile);
    if (!project.isFile() || !plot.isFile()) return false;
    return plot.lastModified() < project.lastModified();
}

QString OlderResultsMessage(const QString& plotFile) {
    return QStringLiteral(
                   "The results shown (%1) are those of the last completed run. The project was saved after that "
                   "run, so they may not belong to its present input: run the analysis again to bring them up to "
                   "date.")
            .arg(QFileInfo(plotFile).fileName());
}

}  // namespace vortn
