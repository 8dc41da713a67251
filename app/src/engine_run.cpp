// Names file and worker-thread call of the engine.
#include "engine_run.h"

#include "exceptions.h"
#include "program_data.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QThread>

#include <atomic>

namespace vortn {

QStringList EngineNames(const QString& projectFile, const QString& version) {
    return QStringList{version} + ViewerNames(projectFile);
}

QStringList ViewerNames(const QString& projectFile) {
    QStringList lines{projectFile};
    for (const char* ext : {".vto", ".vtp", ".vtr", ".vtt", ".vtm"})
        lines << ChangeFileExt(projectFile, QLatin1String(ext));
    return lines;
}

QString CheckEngineNames(const QStringList& lines) {
    for (const QString& line : lines) {
        if (line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
            return QStringLiteral("The file name \"%1\" holds a line break; the analysis cannot be run with it. "
                                  "Please, save the project under another name.")
                .arg(QString(line).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' ')));
        if (QFile::encodeName(line).size() > kEngineNameBytes)
            return QStringLiteral("The file name \"%1\" is longer than %2 bytes; the analysis cannot be run with it. "
                                  "Please, save the project in a folder with a shorter path.")
                .arg(line)
                .arg(kEngineNameBytes);
    }
    return {};
}

void WriteNamesFile(const QString& fileName, const QStringList& lines) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(QStringLiteral("Cannot create %1: %2").arg(fileName, file.errorString()));
    QByteArray bytes;
    for (const QString& line : lines) bytes += QFile::encodeName(line) + "\r\n";
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EInOutError(QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
}

int CallEngine(TEngineEntry entry, const QString& folder, TRunWaiter& waiter) {
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(folder)) throw EInOutError(QStringLiteral("Cannot change to the folder ") + folder);
    std::atomic<int> result{0};
    QThread* worker = QThread::create([entry, &result] { result = entry(12); });
    QObject context;
    QObject::connect(worker, &QThread::finished, &context, [&waiter] { waiter.Done(); }, Qt::QueuedConnection);
    worker->start();
    waiter.Wait();
    worker->wait();
    delete worker;
    QDir::setCurrent(previous);
    return result;
}

}  // namespace vortn
