// Side files of a project: a check for empty ones.
#include "side_files.h"

#include "program_data.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <utility>

namespace vortn {

QString EmptySideFilesNotice(const QString& projectFile) {
    QStringList empty;
    for (const auto& [ext, what] : {std::pair{".vtm", "mass data file"}, std::pair{".vtt", "geometry file"}}) {
        const QFileInfo side(ChangeFileExt(projectFile, QLatin1String(ext)));
        if (side.isFile() && side.size() == 0)
            empty << QStringLiteral("The %1 \"%2\" is empty.")
                             .arg(QLatin1String(what), QDir::toNativeSeparators(side.absoluteFilePath()));
    }
    if (empty.isEmpty()) return {};
    return empty.join(QLatin1Char(' ')) +
           QStringLiteral(" The project was read from its project file; saving the project writes the file again.");
}

}  // namespace vortn
