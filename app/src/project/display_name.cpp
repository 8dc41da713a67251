// Display and command-line names of project files.
#include "display_name.h"

#include <QDir>
#include <QFileInfo>

namespace vortn {

QString GetDisplayName(const QString& fileName) {
    QString name = QFileInfo(fileName).fileName();
    if (name.endsWith(QLatin1String(".vtd"), Qt::CaseInsensitive)) name.chop(4);
    if (name.size() > 1) name[0] = name[0].toUpper();
    return name;
}

QString CommandLineProjectName(const QString& argument, const QString& currentDir) {
    QString name = argument;
    if (!QFileInfo(name).fileName().contains(QLatin1Char('.'))) name += QLatin1String(".vtd");
    return QDir::cleanPath(QDir(currentDir).absoluteFilePath(name));
}

}  // namespace vortn
