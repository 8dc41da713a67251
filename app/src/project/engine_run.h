// Handing a project to the analysis engine: the names file the engine reads,
// the checks on it, and the call of the engine's entry point on a worker
// thread inside a private run folder.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace vortn {

// The seven lines of "names.dat": the version, then the full names of the
// project file (.vtd), report (.vto), plot data (.vtp), run notes (.vtr),
// geometry (.vtt) and mass data (.vtm). The engine writes the report and
// the plot data into the run's private folder (`runFolder`, same names);
// TakeRunOutputs brings them beside the project after it returned.
QStringList EngineNames(const QString& projectFile, const QString& version, const QString& runFolder);
// The six lines the geometry viewer reads: the engine's lines without the version.
QStringList ViewerNames(const QString& projectFile);

// The longest name the engine reads, in bytes of the file-system encoding.
constexpr int kEngineNameBytes = 256;
// Empty when every line can be handed to the engine; otherwise the message
// (a name longer than the engine reads, or one holding a line break).
QString CheckEngineNames(const QStringList& lines);

// Writes the lines, each ended by CR LF, in the file-system encoding.
// Raises EInOutError when the file cannot be written.
void WriteNamesFile(const QString& fileName, const QStringList& lines);

// The template (for QTemporaryDir) of a run's private folder in `base`:
// "vortn-run-<process id>-XXXXXX", so that the folder tells whose it is.
QString RunFolderTemplate(const QString& base);
// Removes the private run folders in `base` whose process has ended (a
// program killed during a run leaves its folder); folders of running
// processes, of other users and without a process id stay. Returns how many
// were removed.
int RemoveStaleRunFolders(const QString& base);

// After the engine returned: the report of the run in `names` replaces the
// project's; its plot-data file replaces the project's only when the run
// `completed` (result 0). An output the run did not make (or not
// completely) leaves no file of that kind beside the project. Raises
// EInOutError when a file cannot be replaced.
void TakeRunOutputs(const QStringList& names, const QString& projectFile, bool completed);

// While it lives, OPENBLAS_NUM_THREADS and OMP_NUM_THREADS are 1 in the
// program's environment; afterwards they are as before. The engine library
// is opened inside one: OpenBLAS (its POSIX-threads build) and OpenMP (its
// OpenMP build) read them while they load and would otherwise start a pool
// of threads, each with a 128 MiB buffer, that the engine never uses (it
// runs its own single-threaded workers). The programs the front-end starts
// later (the text editor, the geometry viewer) get the user's values.
class TEngineThreadVariables {
public:
    TEngineThreadVariables();
    ~TEngineThreadVariables();
    TEngineThreadVariables(const TEngineThreadVariables&) = delete;
    TEngineThreadVariables& operator=(const TEngineThreadVariables&) = delete;

private:
    struct TSaved {
        const char* name;
        bool set;
        QByteArray value;
    };
    TSaved saved_[2];
};

using TEngineEntry = int (*)(int);

// What the caller shows while the engine runs: Wait runs an event loop on
// the calling thread (a modal progress dialog) until Done is called.
class TRunWaiter {
public:
    virtual ~TRunWaiter() = default;
    virtual void Wait() = 0;
    virtual void Done() = 0;
};

// Calls entry(12) on a worker thread while `folder` is the current
// directory, the caller waiting in `waiter`; the previous directory is
// restored afterwards. Returns the entry's result; an exception the entry
// throws is thrown again here, after the worker has ended.
int CallEngine(TEngineEntry entry, const QString& folder, TRunWaiter& waiter);

}  // namespace vortn
