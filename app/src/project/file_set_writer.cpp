// Whole-set file replacement on POSIX calls, so that every failure carries
// the system's own cause.
//
// Names beside a target "dir/name": ".name~n" the new contents, ".name~o"
// the old ones; beside the last target ".name~s" the commit record, ".name~b"
// the record of a failed save putting the old files back, ".name~r" a record
// being written. A record is written to its own temporary name and renamed,
// so it is there whole or not at all.
#include "file_set_writer.h"

#include "exceptions.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vortn {

TFileSetCalls& FileSetCalls() {
    static TFileSetCalls calls;
    return calls;
}

namespace {

ssize_t CallWrite(int fd, const void* data, size_t size) {
    const auto& f = FileSetCalls().write;
    return f ? f(fd, data, size) : ::write(fd, data, size);
}

int CallRename(const char* from, const char* to) {
    const auto& f = FileSetCalls().rename;
    return f ? f(from, to) : std::rename(from, to);
}

int CallUnlink(const char* path) {
    const auto& f = FileSetCalls().unlink;
    return f ? f(path) : ::unlink(path);
}

QString Cause(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

[[noreturn]] void Fail(const QString& name, const QString& cause) {
    throw EInOutError(QStringLiteral("Cannot write file %1: %2").arg(QDir::toNativeSeparators(name), cause));
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void RemoveIfThere(const std::string& path) {
    if (Exists(path)) CallUnlink(path.c_str());
}

// A name beside `path`: "." + its name + `tag`. Where that would pass the
// system's limits of a name (255 bytes) or a path (4095) while `path` does
// not, the front of the name gives way; its end (the extension, which tells
// the files of a set apart) stays.
std::string Beside(const std::string& path, const char* tag) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t extra = 1 + std::strlen(tag);
    const size_t pathRoom = folder.size() < size_t(PATH_MAX - 1) ? size_t(PATH_MAX - 1) - folder.size() : 0;
    const size_t room = std::min(size_t(NAME_MAX), pathRoom);
    if (name.size() + extra > room) {
        const size_t keep = room > extra + 1 ? room - extra : 1;
        size_t from = name.size() > keep ? name.size() - keep : 0;
        // Not inside a UTF-8 character.
        while (from + 1 < name.size() && (static_cast<unsigned char>(name[from]) & 0xC0) == 0x80) ++from;
        name.erase(0, from);
    }
    return folder + "." + name + tag;
}

// The file a name stands for: symbolic links followed to their target
// (which need not exist yet).
int FollowLinks(std::string& path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        std::string link(size_t(PATH_MAX), '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return errno;
        link.resize(size_t(n));
        const size_t slash = path.rfind('/');
        if (!link.empty() && link[0] != '/' && slash != std::string::npos) link = path.substr(0, slash + 1) + link;
        path = link;
    }
    return ELOOP;
}

// The kernel lets the superuser write into any file, so an access test
// would let a save as root replace a write-protected file: for the
// superuser the file's own write bits decide.
int WriteDenied(const struct stat& st, const std::string& path) {
    if (::geteuid() == 0) return (st.st_mode & 0222) ? 0 : EACCES;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

struct Entry {
    QString name;          // as the caller gave it, for messages
    std::string target;    // the file replaced: the name with its links followed
    std::string temp;      // the new contents until they are in place
    std::string aside;     // the old contents until the whole set is in place
    bool hadOld = false;   // the target existed
    bool inPlace = false;  // the old file has further hard links: written into, not replaced
    mode_t mode = 0644;
    dev_t dev = 0;
    ino_t ino = 0;
    bool replaced = false;
};

struct Records {
    std::string commit, back, writing;
};

Records RecordNames(const std::vector<Entry>& set) {
    const std::string& last = set.back().target;
    return {Beside(last, "~s"), Beside(last, "~b"), Beside(last, "~r")};
}

// Writes all of `data` to the open file and makes it durable, then closes
// it. Returns 0 or the error.
int WriteAllAndClose(int fd, const char* data, size_t size) {
    int error = 0;
    while (size > 0) {
        const ssize_t n = CallWrite(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        data += n;
        size -= size_t(n);
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

// A new file `path` (none may be there) with all of `data`.
int WriteNewFile(const std::string& path, const char* data, size_t size, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    ::fchmod(fd, mode);
    const int error = WriteAllAndClose(fd, data, size);
    if (error != 0) ::unlink(path.c_str());
    return error;
}

int ReadWhole(const std::string& path, QByteArray& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    out.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            return e;
        }
        if (n == 0) break;
        out.append(buf, qsizetype(n));
    }
    ::close(fd);
    return 0;
}

// Writes the contents of `from` into the existing file `to`, which keeps
// its identity (links, owner, mode).
int CopyInto(const std::string& from, const std::string& to) {
    QByteArray data;
    if (const int e = ReadWhole(from, data)) return e;
    const int fd = ::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return errno;
    return WriteAllAndClose(fd, data.constData(), size_t(data.size()));
}

// Puts `from` (new or old contents) in the target's place.
int Install(const Entry& e, const std::string& from) {
    if (!e.inPlace) return CallRename(from.c_str(), e.target.c_str()) == 0 ? 0 : errno;
    if (const int error = CopyInto(from, e.target)) return error;
    CallUnlink(from.c_str());
    return 0;
}

void SyncFolder(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// ---- the commit record

// "VORT-N file set", the number of files, then per file its mode ("rename"
// or "in-place"), whether it had an old file, and its target.
QByteArray RecordText(const std::vector<Entry>& set) {
    QByteArray text = "VORT-N file set\n" + QByteArray::number(qsizetype(set.size())) + "\n";
    for (const Entry& e : set)
        text += QByteArray(e.inPlace ? "in-place " : "rename ") + (e.hadOld ? "1 " : "0 ") +
                QByteArray::fromStdString(e.target).toPercentEncoding("/") + "\n";
    return text + "end\n";
}

// Takes the modes of a record over into `set`; false when the record is not
// one of this set (then it is left alone).
bool ParseRecord(const QByteArray& text, std::vector<Entry>& set) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() != qsizetype(set.size()) + 4 || lines[0] != "VORT-N file set" ||
        lines[1] != QByteArray::number(qsizetype(set.size())) || lines[lines.size() - 2] != "end" ||
        !lines.back().isEmpty())
        return false;
    std::vector<Entry> read = set;
    for (size_t i = 0; i < set.size(); ++i) {
        const QList<QByteArray> parts = lines[qsizetype(i) + 2].split(' ');
        if (parts.size() != 3 || (parts[0] != "rename" && parts[0] != "in-place") ||
            (parts[1] != "0" && parts[1] != "1") ||
            QByteArray::fromPercentEncoding(parts[2]).toStdString() != set[i].target)
            return false;
        read[i].inPlace = parts[0] == "in-place";
        read[i].hadOld = parts[1] == "1";
    }
    set = std::move(read);
    return true;
}

int WriteRecord(const Records& r, const std::vector<Entry>& set) {
    const QByteArray text = RecordText(set);
    RemoveIfThere(r.writing);
    if (const int e = WriteNewFile(r.writing, text.constData(), size_t(text.size()), 0600)) return e;
    if (CallRename(r.writing.c_str(), r.commit.c_str()) != 0) {
        const int e = errno;
        CallUnlink(r.writing.c_str());
        return e;
    }
    SyncFolder(r.commit);
    return 0;
}

void RemoveTemporaries(const std::vector<Entry>& set, const Records& r) {
    for (const Entry& e : set) {
        RemoveIfThere(e.temp);
        RemoveIfThere(e.aside);
    }
    RemoveIfThere(r.writing);
}

// Completes what a record left behind says; false when something could not
// be done (the record then stays for a later try).
bool Recover(std::vector<Entry> set) {
    const Records r = RecordNames(set);
    QByteArray text;
    if (Exists(r.commit)) {
        // The new set was complete: put the rest of it in place.
        if (ReadWhole(r.commit, text) != 0 || !ParseRecord(text, set)) return false;
        for (const Entry& e : set)
            if (Exists(e.temp) && Install(e, e.temp) != 0) return false;
        for (const Entry& e : set) SyncFolder(e.target);
        RemoveTemporaries(set, r);
        return CallUnlink(r.commit.c_str()) == 0;
    }
    if (Exists(r.back)) {
        // A failed save was putting the old files back: finish that.
        if (ReadWhole(r.back, text) != 0 || !ParseRecord(text, set)) return false;
        for (const Entry& e : set) {
            if (e.hadOld) {
                if (Exists(e.aside) && Install(e, e.aside) != 0) return false;
            } else if (!Exists(e.temp)) {
                RemoveIfThere(e.target);  // the new file took the place of none
            }
        }
        for (const Entry& e : set) SyncFolder(e.target);
        RemoveTemporaries(set, r);
        return CallUnlink(r.back.c_str()) == 0;
    }
    RemoveTemporaries(set, r);  // a save stopped before anything was replaced
    return true;
}

// The set as it is on disk: targets with their links followed, the names
// beside them, what each target is now. Raises the failures of a save.
std::vector<Entry> Survey(const std::vector<QString>& names, bool forSave) {
    std::vector<Entry> set(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        Entry& e = set[i];
        e.name = names[i];
        e.target = QFile::encodeName(names[i]).toStdString();
        if (const int error = FollowLinks(e.target)) Fail(e.name, Cause(error));
        e.temp = Beside(e.target, "~n");
        e.aside = Beside(e.target, "~o");
        struct stat st {};
        if (::stat(e.target.c_str(), &st) != 0) {
            if (errno != ENOENT) Fail(e.name, Cause(errno));
            e.mode = NewFileMode();
            continue;
        }
        if (S_ISDIR(st.st_mode)) Fail(e.name, QStringLiteral("a folder of that name exists"));
        if (forSave)
            if (const int error = WriteDenied(st, e.target)) Fail(e.name, Cause(error));
        e.hadOld = true;
        e.inPlace = st.st_nlink > 1;
        e.mode = st.st_mode & 07777;
        e.dev = st.st_dev;
        e.ino = st.st_ino;
    }
    // One file under two names of the set would be written twice.
    for (size_t j = 1; j < set.size(); ++j)
        for (size_t i = 0; i < j; ++i)
            if (set[i].target == set[j].target ||
                (set[i].hadOld && set[j].hadOld && set[i].dev == set[j].dev && set[i].ino == set[j].ino))
                Fail(set[j].name,
                     QStringLiteral("it is the same file as %1").arg(QDir::toNativeSeparators(set[i].name)));
    return set;
}

// Keeps the old file under its aside name: a second link where the file
// system has them, else (and always for a file written in place) a copy.
int KeepAside(const Entry& e) {
    if (!e.hadOld) return 0;
    if (!e.inPlace && ::link(e.target.c_str(), e.aside.c_str()) == 0) return 0;
    QByteArray old;
    if (const int error = ReadWhole(e.target, old)) return error;
    return WriteNewFile(e.aside, old.constData(), size_t(old.size()), e.mode);
}

// A target could not be replaced: the record turns into the "back" record
// and the files replaced so far get their old contents again.
[[noreturn]] void RollBack(std::vector<Entry>& set, const Records& r, const Entry& failed, int error) {
    const QString cause = Cause(error);
    const bool turned = CallRename(r.commit.c_str(), r.back.c_str()) == 0;
    QString kept;
    for (auto it = set.rbegin(); it != set.rend(); ++it) {
        if (!it->replaced) continue;
        if (!it->hadOld) {
            RemoveIfThere(it->target);
        } else if (Install(*it, it->aside) != 0) {
            kept += QStringLiteral("; the previous %1 is kept as %2")
                            .arg(QDir::toNativeSeparators(it->name),
                                 QDir::toNativeSeparators(QFile::decodeName(it->aside.c_str())));
            it->aside.clear();  // stays where it is
        }
    }
    for (const Entry& e : set) {
        RemoveIfThere(e.temp);
        if (!e.aside.empty()) RemoveIfThere(e.aside);
    }
    if (kept.isEmpty()) CallUnlink((turned ? r.back : r.commit).c_str());
    Fail(failed.name, cause + kept);
}

}  // namespace

void WriteFileSet(const std::vector<TFileContents>& files) {
    if (files.empty()) return;
    std::vector<QString> names;
    for (const TFileContents& f : files) names.push_back(f.name);
    Recover(Survey(names, true));
    // Surveyed again: a leftover of an earlier save may have held a second
    // link to an old file.
    std::vector<Entry> set = Survey(names, true);
    const Records r = RecordNames(set);
    try {
        for (size_t i = 0; i < set.size(); ++i) {
            const QByteArray& data = files[i].data;
            if (const int error = WriteNewFile(set[i].temp, data.constData(), size_t(data.size()), set[i].mode))
                Fail(set[i].name, Cause(error));
        }
        for (const Entry& e : set)
            if (const int error = KeepAside(e)) Fail(e.name, Cause(error));
        if (const int error = WriteRecord(r, set)) Fail(set.back().name, Cause(error));
    } catch (...) {
        RemoveTemporaries(set, r);
        throw;
    }

    // From here on the new set is complete on disk.
    for (Entry& e : set) {
        if (const int error = Install(e, e.temp)) RollBack(set, r, e, error);
        e.replaced = true;
    }
    for (const Entry& e : set) SyncFolder(e.target);
    for (const Entry& e : set) RemoveIfThere(e.aside);
    CallUnlink(r.commit.c_str());
}

void RecoverFileSet(const std::vector<QString>& names) {
    if (names.empty()) return;
    try {
        Recover(Survey(names, false));
    } catch (const std::exception&) {
        // Names the system cannot take: there is nothing of them to recover.
    }
}

}  // namespace vortn
