// Names file and worker-thread call of the engine.
#include "engine_run.h"

#include "exceptions.h"
#include "program_data.h"

#include <QScopeGuard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <exception>
#include <memory>
#include <signal.h>
#include <unistd.h>

namespace vortn {

namespace {
const QString kRunFolderPrefix = QStringLiteral("vortn-run-");

// Whether the process `pid` still exists (one we may not signal exists too).
bool ProcessAlive(qint64 pid) { return ::kill(pid_t(pid), 0) == 0 || errno == EPERM; }

// Replaces `to` by a copy of `from` at once (written beside `to`, then
// renamed over it), so that `to` is never half written.
void CopyOver(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Cannot read %1: %2").arg(from, in.errorString()));
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        throw EInOutError(QStringLiteral("Cannot create %1: %2").arg(to, out.errorString()));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw EInOutError(QStringLiteral("Cannot read %1: %2").arg(from, in.errorString()));
    if (out.write(bytes) != bytes.size() || !out.commit())
        throw EInOutError(QStringLiteral("Cannot write %1: %2").arg(to, out.errorString()));
}

// The project's copy of a run output: the run's file when it made one and
// `take` holds; otherwise no file, so that nothing of an earlier run or a
// broken one is taken for this run's.
void TakeOutput(const QString& runFile, const QString& projectFile, bool take) {
    if (take && QFileInfo(runFile).isFile()) {
        CopyOver(runFile, projectFile);
    } else if (QFileInfo::exists(projectFile) && !QFile::remove(projectFile)) {
        throw EInOutError(QStringLiteral("Cannot remove the earlier results %1").arg(projectFile));
    }
}
}  // namespace

QStringList EngineNames(const QString& projectFile, const QString& version, const QString& runFolder) {
    QStringList lines = QStringList{version} + ViewerNames(projectFile);
    const QString stem = QFileInfo(projectFile).completeBaseName();
    lines[2] = QDir(runFolder).filePath(stem + QStringLiteral(".vto"));
    lines[3] = QDir(runFolder).filePath(stem + QStringLiteral(".vtp"));
    return lines;
}

QString RunFolderTemplate(const QString& base) {
    return QDir(base).filePath(kRunFolderPrefix + QString::number(QCoreApplication::applicationPid()) +
                               QStringLiteral("-XXXXXX"));
}

int RemoveStaleRunFolders(const QString& base) {
    int removed = 0;
    const QFileInfoList folders = QDir(base).entryInfoList({kRunFolderPrefix + QLatin1Char('*')},
                                                           QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& folder : folders) {
        if (folder.isSymLink() || folder.ownerId() != ::getuid()) continue;
        // "vortn-run-<process id>-<anything>"; other names have no known owner.
        const QString rest = folder.fileName().mid(kRunFolderPrefix.size());
        const qsizetype dash = rest.indexOf(QLatin1Char('-'));
        bool number = false;
        const qint64 pid = dash > 0 ? rest.left(dash).toLongLong(&number) : 0;
        if (!number || pid <= 0 || ProcessAlive(pid)) continue;
        if (QDir(folder.absoluteFilePath()).removeRecursively()) ++removed;
    }
    return removed;
}

void TakeRunOutputs(const QStringList& names, const QString& projectFile, bool completed) {
    TakeOutput(names.value(2), ChangeFileExt(projectFile, QStringLiteral(".vto")), true);
    TakeOutput(names.value(3), ChangeFileExt(projectFile, QStringLiteral(".vtp")), completed);
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
            return QStringLiteral(
                           "The file name \"%1\" holds a line break; the analysis cannot be run with it. "
                           "Please, save the project under another name.")
                    .arg(QString(line)
                                 .replace(QLatin1Char('\n'), QLatin1Char(' '))
                                 .replace(QLatin1Char('\r'), QLatin1Char(' ')));
        if (QFile::encodeName(line).size() > kEngineNameBytes)
            return QStringLiteral(
                           "The file name \"%1\" is longer than %2 bytes; the analysis cannot be run with it. "
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

TEngineThreadVariables::TEngineThreadVariables()
    : saved_{{"OPENBLAS_NUM_THREADS", qEnvironmentVariableIsSet("OPENBLAS_NUM_THREADS"),
              qgetenv("OPENBLAS_NUM_THREADS")},
             {"OMP_NUM_THREADS", qEnvironmentVariableIsSet("OMP_NUM_THREADS"), qgetenv("OMP_NUM_THREADS")}} {
    for (const TSaved& s : saved_) qputenv(s.name, QByteArrayLiteral("1"));
}

TEngineThreadVariables::~TEngineThreadVariables() {
    for (const TSaved& s : saved_) {
        if (s.set)
            qputenv(s.name, s.value);
        else
            qunsetenv(s.name);
    }
}

int CallEngine(TEngineEntry entry, const QString& folder, TRunWaiter& waiter) {
    // The previous folder comes back however the call ends.
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(folder)) throw EInOutError(QStringLiteral("Cannot change to the folder ") + folder);
    const auto restoreFolder = qScopeGuard([&previous] { QDir::setCurrent(previous); });
    std::atomic<int> result{0};
    // An exception must not leave the thread (it would end the program): it
    // is taken to the caller after the join.
    std::exception_ptr failure;
    const std::unique_ptr<QThread> worker(QThread::create([entry, &result, &failure] {
        try {
            result = entry(12);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QObject context;
    QObject::connect(
            worker.get(), &QThread::finished, &context, [&waiter] { waiter.Done(); }, Qt::QueuedConnection);
    worker->start();
    // The engine works in the folder until it returns, whatever the waiter does.
    struct TJoin {
        QThread& thread;
        ~TJoin() { thread.wait(); }
    } join{*worker};
    waiter.Wait();
    worker->wait();
    if (failure) std::rethrow_exception(failure);
    return result;
}

}  // namespace vortn
