// Writes a set of files as a whole: either every file of the set is
// replaced or none is, also when the program is killed on the way.
//
// Each new content goes to a temporary file beside its target, each old
// file is kept aside, then a small commit record beside the last file of
// the set names the files (relative to its own folder) with the size and
// checksum of each new and old content, then the targets are replaced,
// then the kept files and the record go. Until the record exists nothing
// was touched; once it exists the new set is complete on disk. The next
// save or open of the set finds a leftover record and completes the
// replacement (or, when a failed save was putting the old files back,
// completes that), and removes the set's temporary files. It does so only
// while every file of the set is still as that save found or left it: a
// file changed since (edited, restored, saved by another user) is never
// overwritten; the record is then left and named, and the next whole save
// of the set replaces it.
//
// Recovery trusts only what this program can have written: regular files
// of the user who saves, never followed through a link, of the size and
// checksum the record gives. Anything else at one of the hidden names is
// left where it is and named in the message of the open or save; a save
// then takes other hidden names.
//
// Saves and opens of one set are serialised across programs by an
// advisory lock on the folder of its last file, or where that folder cannot
// be locked by everyone who may write it, on a lock file beside that file;
// a save that cannot have the lock is refused.
//
// A save respects what it finds: a symbolic link is written through to its
// target (but not another user's link in a sticky folder open to all, as
// the kernel's protection of such folders has it: that save is refused), a
// file with further hard links is written in place (so that every name
// shows the new contents; its old contents are safe on disk first), a
// write-protected file is refused. A replaced file keeps its mode and,
// where the user may set it, its group.
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
// for example "No space left on device") and leaves every file as it was,
// or, where even the roll-back's record cannot be turned, leaves the new
// set for the next open to complete. An earlier save of the set that
// cannot be completed never blocks this one: once this set is whole, that
// save's record and kept files go. Returns what the user should know of a
// save that went through (files left alone at the hidden names, an earlier
// save replaced), one line each; empty when nothing.
QString WriteFileSet(const std::vector<TFileContents>& files);

// Completes or undoes a save of this set (the same names in the same order)
// that was cut short and removes its temporary files, then runs `read`
// while no other program can save the set. Never raises but from `read`:
// what cannot be done now is left for a later call. Returns what the user
// should know (files left alone, a set that may be of two saves), one line
// each; empty when nothing.
QString RecoverFileSet(const std::vector<QString>& names, const std::function<void()>& read = {});

// The system calls whose failure matters most, replaceable so that tests
// can make one fail (a full disk, a refused rename) or stop the program at
// one. Empty functions mean the system's own.
struct TFileSetCalls {
    std::function<ssize_t(int fd, const void* data, size_t size)> write;
    std::function<int(const char* from, const char* to)> rename;
    std::function<int(const char* path)> unlink;
    int lockWaitMs = 5000;  // how long a save or open waits for another program's save
    std::function<int(int fd, int operation)> flock;
    std::function<int(int fd, mode_t mode)> fchmod;
};
TFileSetCalls& FileSetCalls();

}  // namespace vortn
