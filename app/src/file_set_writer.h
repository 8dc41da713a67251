// Writes a set of files as a whole: either every file of the set is
// replaced or none is. Each new content goes to a temporary file beside its
// target first; the old files are kept aside until the last rename has
// succeeded and are put back when one fails.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <sys/types.h>
#include <vector>

namespace vortn {

struct TFileContents {
    QString name;
    QByteArray data;
};

// Replaces the files in the order given. A failure raises EInOutError
// "Cannot write file <name>: <cause>" (the cause as the system states it,
// for example "No space left on device") and leaves every file as it was.
void WriteFileSet(const std::vector<TFileContents>& files);

// The two system calls whose failure matters most, replaceable so that
// tests can make one fail (a full disk, a refused rename). Empty functions
// mean the system's own.
struct TFileSetCalls {
    std::function<ssize_t(int fd, const void* data, size_t size)> write;
    std::function<int(const char* from, const char* to)> rename;
};
TFileSetCalls& FileSetCalls();

}  // namespace vortn
