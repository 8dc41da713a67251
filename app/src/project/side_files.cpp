// Side files of a project: a check for empty ones.
#include "side_files.h"

#include "program_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <iterator>
#include <utility>

namespace vortn {

namespace {

// The names a project derives from its own: side files and run outputs.
const char* const kDerivedExtensions[] = {".vtm", ".vtt", ".vto", ".vtp", ".vtr"};

// A project file begins with its title line.
bool IsProjectFile(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) && file.read(6) == "TITLE=";
}

// `name` as a pattern of QDir's name filters that matches only itself.
QString LiteralPattern(const QString& name) {
    QString out;
    for (const QChar c : name) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('['))
            out += QLatin1Char('[') + QString(c) + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

}  // namespace

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

QString OtherOwnerOfSideFiles(const QString& projectFile) {
    const QFileInfo project(projectFile);
    if (project.fileName().endsWith(QLatin1String(".vtd"))) return {};
    const QString stem = ChangeFileExt(project.absoluteFilePath(), QString());
    const QString stemName = QFileInfo(stem).fileName();
    const QString self = project.canonicalFilePath();
    QString owner;
    const QFileInfoList beside =
            QDir(project.absolutePath())
                    .entryInfoList({LiteralPattern(stemName), LiteralPattern(stemName) + QStringLiteral(".*")},
                                   QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& other : beside) {
        const QString name = other.absoluteFilePath();
        if (name == project.absoluteFilePath() || (!self.isEmpty() && other.canonicalFilePath() == self)) continue;
        if (ChangeFileExt(name, QString()) != stem) continue;
        const QString ext = name.mid(stem.size());
        if (std::any_of(std::begin(kDerivedExtensions), std::end(kDerivedExtensions),
                        [&](const char* e) { return ext == QLatin1String(e); }))
            continue;
        if (!IsProjectFile(name)) continue;
        // The project named .vtd is the one the names are made for.
        if (owner.isEmpty() || ext == QLatin1String(".vtd")) owner = name;
    }
    return owner;
}

QString SideFilesOwnerRefusal(const QString& projectFile, const QString& owner) {
    const QString stem = QFileInfo(ChangeFileExt(projectFile, QString())).fileName();
    return QStringLiteral(
                   "The project \"%1\" was not saved: its mass data file, geometry file and run results (%2.vtm, "
                   "%2.vtt, %2.vto, %2.vtp) are those of the project \"%3\" beside it, which they would replace. "
                   "Please, save the project under another name.")
            .arg(QDir::toNativeSeparators(QFileInfo(projectFile).absoluteFilePath()), stem,
                 QDir::toNativeSeparators(owner));
}

}  // namespace vortn
