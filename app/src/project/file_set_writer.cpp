// Whole-set file replacement on POSIX calls, so that every failure carries
// the system's own cause.
//
// Hidden names beside a target "dir/name": ".name~n" the new contents,
// ".name~o" the old ones; beside the last target ".name~s" the commit
// record, ".name~b" the record of a failed save putting the old files back,
// ".name~r" a record being written. Those are slot 0; slot k adds k to each
// tag (".name~n1"), for a save whose slot-0 names are taken by something
// this program did not write. A record is written to its own temporary name
// and renamed, so it is there whole or not at all. ".name~l" beside the last
// target is the set's lock file, where its folder cannot serve as the lock.
#include "file_set_writer.h"

#include "exceptions.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vortn {

TFileSetCalls& FileSetCalls() {
    static TFileSetCalls calls;
    return calls;
}

namespace {

constexpr int kSlots = 8;

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

QString Native(const std::string& path) { return QDir::toNativeSeparators(QFile::decodeName(path.c_str())); }

// The cause of a failure to make the hidden file `path`, which was free
// when the save chose it: what took its place since is named.
QString CauseAt(int error, const std::string& path) {
    if (error != EEXIST && error != ENOTEMPTY && error != EISDIR) return Cause(error);
    return QStringLiteral("%1 appeared beside it during the save (%2)").arg(Native(path), Cause(error));
}

[[noreturn]] void Fail(const QString& name, const QString& cause) {
    throw EInOutError(QStringLiteral("Cannot write file %1: %2").arg(QDir::toNativeSeparators(name), cause));
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

QByteArray Checksum(const QByteArray& data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string Tag(char kind, int slot) {
    std::string tag{'~', kind};
    if (slot > 0) tag += std::to_string(slot);
    return tag;
}

// A name beside `path`: "." + its name + `tag`. Where that would pass the
// system's limits of a name (255 bytes) or a path (4095) while `path` does
// not, the front of the name gives way to a short hash of the whole name,
// so that names differing only in their front keep apart; the end of the
// name stays as far as there is room.
std::string Beside(const std::string& path, const std::string& tag) {
    const std::string folder = FolderOf(path);
    const std::string name = path.substr(folder.size());
    const size_t extra = 1 + tag.size();
    const size_t pathRoom = folder.size() < size_t(PATH_MAX - 1) ? size_t(PATH_MAX - 1) - folder.size() : 0;
    const size_t room = std::min(size_t(NAME_MAX), pathRoom);
    if (name.size() + extra <= room) return folder + "." + name + tag;
    const size_t avail = room > extra ? room - extra : 1;
    const std::string hash = Checksum(QByteArray::fromStdString(name)).left(16).toStdString();
    const size_t hashLength = std::min(hash.size(), avail);
    size_t from = name.size() - std::min(name.size(), avail - hashLength);
    // Not inside a UTF-8 character.
    while (from < name.size() && (static_cast<unsigned char>(name[from]) & 0xC0) == 0x80) ++from;
    return folder + "." + hash.substr(0, hashLength) + name.substr(from) + tag;
}

// Whether the link `path` of `owner` may be followed. In a sticky folder
// that every user may write to, another user's link (not the folder
// owner's) is not, as the kernel's own protection of such folders has it:
// one planted there would turn a save into a write to any file of the user.
bool MayFollow(const std::string& path, uid_t owner) {
    if (owner == ::geteuid()) return true;
    const std::string folder = FolderOf(path);
    struct stat st {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return false;
    return (st.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH) || owner == st.st_uid;
}

// FollowLinks met a link it may not follow; `path` is that link.
constexpr int kForeignLink = -1;

// The file a name stands for: symbolic links followed to their target
// (which need not exist yet).
int FollowLinks(std::string& path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        if (!MayFollow(path, st.st_uid)) return kForeignLink;
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

struct Entry {
    QString name;          // as the caller gave it, for messages
    std::string target;    // the file replaced: the name with its links followed
    QByteArray relative;   // the target as seen from the record's folder
    std::string temp;      // the new contents until they are in place
    std::string aside;     // the old contents until the whole set is in place
    bool hadOld = false;   // the target existed
    bool inPlace = false;  // the old file has further hard links: written into, not replaced
    mode_t mode = 0644;    // of the old file
    gid_t group = 0;       // of the old file
    dev_t dev = 0;
    ino_t ino = 0;
    qint64 newSize = 0, oldSize = 0;
    QByteArray newSum, oldSum;
    QByteArray oldData;      // the old contents of a file written in place
    bool tempHere = false;   // this save made `temp` and it is still there
    bool asideHere = false;  // this save made `aside` and it is still there
    bool touched = false;    // written into in place
    bool replaced = false;
    bool kept = false;  // `aside` stays: the old contents could not be put back
};

struct Records {
    std::string commit, back, writing;
};

// Gives the set the hidden names of one slot.
Records NameSlot(std::vector<Entry>& set, int slot) {
    for (Entry& e : set) {
        e.temp = Beside(e.target, Tag('n', slot));
        e.aside = Beside(e.target, Tag('o', slot));
    }
    const std::string& last = set.back().target;
    return {Beside(last, Tag('s', slot)), Beside(last, Tag('b', slot)), Beside(last, Tag('r', slot))};
}

enum class Found { None, Ours, Other };

// What lies at a hidden name: nothing, a regular file of the user who
// saves (which this program may have written), or something else.
Found Look(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? Found::None : Found::Other;
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() ? Found::Ours : Found::Other;
}

// Reads a regular file of at most `limit` bytes (with `owned`, only one of
// the user's), without following a link and without waiting on a pipe or
// device: what is opened is checked on the descriptor itself.
bool ReadRegular(const std::string& path, qint64 limit, bool owned, QByteArray& out) {
    out.clear();
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok =
            ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (!owned || st.st_uid == ::geteuid()) && st.st_size <= limit;
    while (ok) {
        char buf[65536];
        const size_t want = size_t(std::min<qint64>(qint64(sizeof buf), limit + 1 - out.size()));
        const ssize_t n = ::read(fd, buf, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        out.append(buf, qsizetype(n));
        if (out.size() > limit) ok = false;
    }
    ::close(fd);
    return ok;
}

// True when `path` holds exactly the contents of that size and checksum;
// they are then in `data`, when given.
bool Holds(const std::string& path, qint64 size, const QByteArray& sum, bool owned, QByteArray* data = nullptr) {
    QByteArray bytes;
    if (!ReadRegular(path, size, owned, bytes) || bytes.size() != size || Checksum(bytes) != sum) return false;
    if (data) *data = std::move(bytes);
    return true;
}

// Writes all of `data` to the open file and makes it durable, then closes
// it. Returns 0 or the error; `wrote` tells whether a byte went out.
int WriteAllAndClose(int fd, const char* data, size_t size, bool* wrote = nullptr) {
    int error = 0;
    while (size > 0) {
        const ssize_t n = CallWrite(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        if (wrote) *wrote = true;
        data += n;
        size -= size_t(n);
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

constexpr mode_t kAsNew = mode_t(-1);  // the mode (and group) the system gives a new file
constexpr gid_t kAnyGroup = gid_t(-1);

int CallFchmod(int fd, mode_t mode) {
    const auto& f = FileSetCalls().fchmod;
    return f ? f(fd, mode) : ::fchmod(fd, mode);
}

// Gives the new file `fd` the group and mode of the file it stands for. The
// group stays the system's where the user may not set it (a group the user
// is not in, a file system without groups); a mode that did not take is a
// failure, lest the file end up narrower than the one it replaces.
int SetGroupAndMode(int fd, mode_t mode, gid_t group) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    if (group != kAnyGroup && st.st_gid != group && ::fchown(fd, uid_t(-1), group) != 0) {
        // The system's group stays.
    }
    if (CallFchmod(fd, mode) == 0) return 0;
    const int error = errno;
    return ::fstat(fd, &st) == 0 && (st.st_mode & 0777) == (mode & 0777) ? 0 : error;
}

// A new file `path` (none may be there) with all of `data`: of `mode` and
// `group`, or as the system makes new files (umask, default ACL, the
// folder's group) with kAsNew.
int WriteNewFile(const std::string& path, const char* data, size_t size, mode_t mode, gid_t group = kAnyGroup) {
    const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode == kAsNew ? 0666 : 0600);
    if (fd < 0) return errno;
    if (mode != kAsNew)
        if (const int error = SetGroupAndMode(fd, mode, group)) {
            ::close(fd);
            ::unlink(path.c_str());
            return error;
        }
    const int error = WriteAllAndClose(fd, data, size);
    if (error != 0) ::unlink(path.c_str());
    return error;
}

// The whole of a project file, which must be a regular file.
int ReadWhole(const std::string& path, QByteArray& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return EINVAL;
    }
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

// Writes `data` into the existing file `target`, which keeps its identity
// (links, owner, mode). The file is never cut first: room for the new
// contents is taken before the first byte changes, the bytes are written
// over the old ones from the start, and the end is cut last. `touched`
// tells whether the file changed at all.
int WriteInPlace(const std::string& target, const QByteArray& data, bool& touched) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    if (!data.isEmpty() && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(data.size())) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS) {
        const int e = errno;
        ::close(fd);
        return e;
    }
    const char* p = data.constData();
    size_t left = size_t(data.size());
    while (left > 0) {
        const ssize_t n = CallWrite(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int e = n < 0 ? errno : ENOSPC;
            ::close(fd);
            return e;
        }
        touched = true;
        p += n;
        left -= size_t(n);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size != off_t(data.size())) {
        touched = true;
        if (::ftruncate(fd, off_t(data.size())) != 0) {
            const int e = errno;
            ::close(fd);
            return e;
        }
    }
    return WriteAllAndClose(fd, nullptr, 0);
}

void SyncFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

const QString kBusy = QStringLiteral("the project is being saved by another program");

int CallFlock(int fd, int operation) {
    const auto& f = FileSetCalls().flock;
    return f ? f(fd, operation) : ::flock(fd, operation);
}

// The first line of /proc/<pid>/<file> that starts with `key`, without it.
std::string ProcessLine(pid_t pid, const char* file, const std::string& key) {
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/" + file).c_str(), "re");
    if (!f) return {};
    std::string found;
    char line[512];
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key.c_str(), key.size()) == 0) {
            found = line + key.size();
            while (!found.empty() && (found.back() == '\n' || found.back() == ' ')) found.pop_back();
            break;
        }
    std::fclose(f);
    return found;
}

// The process holding an flock on the open file `fd`, as /proc/locks
// tells; 0 where none is listed (or it cannot be read).
pid_t LockHolder(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return 0;
    FILE* f = std::fopen("/proc/locks", "re");
    if (!f) return 0;
    pid_t holder = 0;
    char line[512];
    while (holder == 0 && std::fgets(line, sizeof line, f)) {
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; waiters have "->" before FLOCK.
        int pid = 0;
        unsigned high = 0, low = 0;
        unsigned long inode = 0;
        if (std::sscanf(line, "%*d: FLOCK %*s %*s %d %x:%x:%lu", &pid, &high, &low, &inode) == 4 &&
            high == major(st.st_dev) && low == minor(st.st_dev) && inode == st.st_ino)
            holder = pid;
    }
    std::fclose(f);
    return holder;
}

// Who holds the lock, for the message of a save or open that waited for
// it in vain: this program of the user (another copy of it, saving or
// opening the set), another program of the user, or another user.
QString HeldBy(pid_t pid) {
    std::istringstream uids(ProcessLine(pid, "status", "Uid:"));
    long real = -1, effective = -1;
    uids >> real >> effective;
    std::string command = ProcessLine(pid, "comm", "");
    const QString who = QStringLiteral("%1process %2")
                                .arg(command.empty() ? QString() : QString::fromLocal8Bit(command.c_str()) + ", ")
                                .arg(pid);
    if (effective >= 0 && uid_t(effective) != ::geteuid()) {
        const struct passwd* user = ::getpwuid(uid_t(effective));
        return QStringLiteral("the project is locked by user %1 (%2)")
                .arg(user ? QString::fromLocal8Bit(user->pw_name) : QString::number(effective), who);
    }
    const auto program = [](const std::string& p) {
        std::string exe(size_t(PATH_MAX), '\0');
        const ssize_t n = ::readlink(("/proc/" + p + "/exe").c_str(), exe.data(), exe.size());
        exe.resize(n > 0 ? size_t(n) : 0);
        return exe;
    };
    const std::string mine = program("self");
    if (effective >= 0 && !mine.empty() && program(std::to_string(pid)) == mine) return kBusy;
    return QStringLiteral("the project is locked by another program (%1)").arg(who);
}

// Holds the lock of a set while it lives, so that saves and opens of it
// take turns across programs. The lock is an flock of the folder of the
// set's last file. Where the folder cannot be locked (it cannot be opened,
// or its file system refuses flock) or where someone who may write it may
// not read it (so could not lock it), the lock is an flock of the lock
// file ".<name>~l" beside that file instead, opened without following
// links. A folder lock takes that file too when it is there, so that the
// two kinds exclude each other. The file stays: removed while another
// program waits on it, a third could lock a new one beside.
class FolderLock {
public:
    explicit FolderLock(const std::string& last) {
        const std::string folder = FolderOf(last);
        const char* path = folder.empty() ? "." : folder.c_str();
        struct stat st {};
        bool needFile = false;
        if (::stat(path, &st) == 0)
            for (int shift : {6, 3, 0}) needFile = needFile || ((st.st_mode >> shift) & 07) == 03;
        folder_ = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder_ >= 0) {
            const int error = Take(folder_);
            if (error == EWOULDBLOCK) return;
            if (error != 0) {
                ::close(folder_);
                folder_ = -1;
            }
        }
        needFile = needFile || folder_ < 0;
        const std::string name = Beside(last, "~l");
        struct stat ls {};
        const bool there = ::lstat(name.c_str(), &ls) == 0;
        if (!needFile && !(there && S_ISREG(ls.st_mode))) return;
        if (there && !S_ISREG(ls.st_mode)) {
            why_ = QStringLiteral("the project cannot be locked: %1 is not a regular file").arg(Native(name));
            return;
        }
        const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        // An existing one is opened without O_CREAT, which the system refuses on
        // another user's file in a sticky folder; one gone since is made.
        file_ = ::open(name.c_str(), flags | (there || !needFile ? 0 : O_CREAT), 0644);
        if (file_ < 0 && errno == ENOENT && needFile) file_ = ::open(name.c_str(), flags | O_CREAT, 0644);
        int error = file_ < 0 ? errno : 0;
        if (error == 0 && (::fstat(file_, &ls) != 0 || !S_ISREG(ls.st_mode))) error = EINVAL;
        if (error == 0) error = Take(file_);
        if (error == 0 || error == EWOULDBLOCK) return;
        if (file_ >= 0) ::close(file_);
        file_ = -1;
        if (!needFile) return;  // the folder lock holds
        why_ = error == ELOOP || error == EINVAL
                       ? QStringLiteral("the project cannot be locked: %1 is not a regular file").arg(Native(name))
                       : QStringLiteral("the project cannot be locked: %1").arg(Cause(error));
    }
    ~FolderLock() {
        if (folder_ >= 0) ::close(folder_);
        if (file_ >= 0) ::close(file_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool Held() const { return why_.isEmpty(); }
    // Why the lock is not held: by whom it is, or why it cannot be had.
    const QString& Why() const { return why_; }

private:
    // Locks `fd`, waiting for another program's save: 0, EWOULDBLOCK (and
    // `why_` says by whom) when that did not end, or the error.
    int Take(int fd) {
        for (int waited = 0;; waited += 10) {
            if (CallFlock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
            const int error = errno;
            if (error != EWOULDBLOCK && error != EINTR) return error;
            if (waited >= FileSetCalls().lockWaitMs) break;
            ::usleep(10000);
        }
        // The holder may have let go while it was looked up.
        for (int look = 0; look < 3; ++look) {
            if (const pid_t pid = LockHolder(fd)) {
                why_ = HeldBy(pid);
                return EWOULDBLOCK;
            }
            if (CallFlock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        }
        why_ = QStringLiteral("the project is locked by another program");
        return EWOULDBLOCK;
    }

    int folder_ = -1, file_ = -1;
    QString why_;
};

// ---- what the user is told

void Note(QStringList& notes, const QString& text) {
    if (!notes.contains(text)) notes << text;
}

QString LeftAlone(const std::string& path) {
    return QStringLiteral("%1 was left alone: it is not a file this program saved.").arg(Native(path));
}

QString DoesNotMatch(const std::string& path) {
    return QStringLiteral(
                   "%1 was left alone: the save it records does not match the files there, which may be of two "
                   "different saves.")
            .arg(Native(path));
}

QString NotARecord(const std::string& path) {
    return QStringLiteral("%1 was left alone: it does not hold a whole record of a save.").arg(Native(path));
}

// A file of the set that is neither as the recorded save found it nor as it
// left it: someone changed it since, so the record must not overwrite it.
QString ChangedSince(const std::string& record, const QString& file, bool removed) {
    return QStringLiteral(
                   "%1 was left alone: %2 was %3 after the save it records; the next save of the project "
                   "replaces that save.")
            .arg(Native(record), QDir::toNativeSeparators(file),
                 removed ? QStringLiteral("removed") : QStringLiteral("changed"));
}

// Said once under the names of what was left alone, which would otherwise
// be named again at every open and save.
const QString kHowToRemove = QStringLiteral(
        "The files left alone are not used by this program; deleting them ends these notes (a file of another user "
        "only that user or the owner of the folder can delete).");

// ---- the commit record

QByteArray EncodedName(const QByteArray& name) { return name.toPercentEncoding("/"); }

// "VORT-N file set", the number of files, then per file: its mode
// ("rename" or "in-place"), whether it had an old file, the new contents'
// size and checksum, the old ones' ("-" for none), and its name relative
// to the record's folder.
QByteArray RecordText(const std::vector<Entry>& set) {
    QByteArray text = "VORT-N file set\n" + QByteArray::number(qsizetype(set.size())) + "\n";
    for (const Entry& e : set) {
        text += QByteArray(e.inPlace ? "in-place " : "rename ") + (e.hadOld ? "1 " : "0 ");
        text += QByteArray::number(e.newSize) + ' ' + e.newSum + ' ';
        text += e.hadOld ? QByteArray::number(e.oldSize) + ' ' + e.oldSum + ' ' : QByteArray("- - ");
        text += EncodedName(e.relative) + "\n";
    }
    return text + "end\n";
}

bool Size(const QByteArray& word, qint64& out) {
    bool ok = false;
    out = word.toLongLong(&ok);
    return ok && out >= 0 && word == QByteArray::number(out);
}

bool Sum(const QByteArray& word) {
    return word.size() == 64 && std::all_of(word.begin(), word.end(),
                                            [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// Takes what a record says over into `set`; false when the record is not
// one of this set's files.
bool ParseRecord(const QByteArray& text, std::vector<Entry>& set) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() != qsizetype(set.size()) + 4 || lines[0] != "VORT-N file set" ||
        lines[1] != QByteArray::number(qsizetype(set.size())) || lines[lines.size() - 2] != "end" ||
        !lines.back().isEmpty())
        return false;
    std::vector<Entry> read = set;
    for (size_t i = 0; i < set.size(); ++i) {
        const QList<QByteArray> parts = lines[qsizetype(i) + 2].split(' ');
        if (parts.size() != 7 || (parts[0] != "rename" && parts[0] != "in-place") ||
            (parts[1] != "0" && parts[1] != "1") || parts[6] != EncodedName(set[i].relative))
            return false;
        Entry& e = read[i];
        e.inPlace = parts[0] == "in-place";
        e.hadOld = parts[1] == "1";
        if (!Size(parts[2], e.newSize) || !Sum(parts[3])) return false;
        e.newSum = parts[3];
        if (e.hadOld) {
            if (!Size(parts[4], e.oldSize) || !Sum(parts[5])) return false;
            e.oldSum = parts[5];
        } else if (parts[4] != "-" || parts[5] != "-") {
            return false;
        }
    }
    set = std::move(read);
    return true;
}

// The longest record `set` can have: the widest sizes and its own names,
// however long they are once encoded. Anything larger is not one.
qint64 RecordLimit(const std::vector<Entry>& set) {
    qint64 limit = 64;
    for (const Entry& e : set) limit += 200 + EncodedName(e.relative).size();
    return limit;
}

int WriteRecord(const Records& r, const std::vector<Entry>& set) {
    const QByteArray text = RecordText(set);
    if (const int e = WriteNewFile(r.writing, text.constData(), size_t(text.size()), 0600)) return e;
    if (CallRename(r.writing.c_str(), r.commit.c_str()) != 0) {
        const int e = errno;
        CallUnlink(r.writing.c_str());
        return e;
    }
    SyncFolder(r.commit);
    return 0;
}

// ---- recovery

QString KeptNote(const std::vector<Entry>& set) {
    QString kept;
    for (const Entry& e : set)
        if (e.hadOld && Look(e.aside) == Found::Ours)
            kept += QStringLiteral("; the previous %1 is kept as %2")
                            .arg(QDir::toNativeSeparators(e.name), Native(e.aside));
    return kept;
}

// Removes the files of this program at the set's hidden names of one slot
// (those of a save cut short) unless `keep`; names anything else there.
// Returns whether there was anything else.
bool ClearSlot(const std::vector<Entry>& set, const Records& r, QStringList& notes, bool keep = false) {
    std::vector<std::string> names{r.writing};
    for (const Entry& e : set) {
        names.push_back(e.temp);
        names.push_back(e.aside);
    }
    bool other = false;
    for (const std::string& name : names) {
        const Found f = Look(name);
        if (f == Found::Ours) {
            if (!keep) CallUnlink(name.c_str());
        } else if (f == Found::Other) {
            Note(notes, LeftAlone(name));
            other = true;
        }
    }
    return other;
}

enum class Outcome { Done, LeftAlone, Failed };

// True when the hidden file `path` is one of the user's and holds exactly
// the contents of that size and checksum (then in `data`); names it when it
// is something else.
bool HiddenHolds(const std::string& path, qint64 size, const QByteArray& sum, QStringList& notes, QByteArray& data) {
    const Found f = Look(path);
    if (f == Found::Other) Note(notes, LeftAlone(path));
    return f == Found::Ours && Holds(path, size, sum, true, &data);
}

// True when `now` can be what a write in place of one of `a` and `b` over
// the other left when it was cut short: each byte is that of one of them
// at its place, and the length lies between theirs.
bool Torn(const QByteArray& now, const QByteArray& a, const QByteArray& b) {
    if (now.size() < std::min(a.size(), b.size()) || now.size() > std::max(a.size(), b.size())) return false;
    for (qsizetype i = 0; i < now.size(); ++i)
        if (!(i < a.size() && a[i] == now[i]) && !(i < b.size() && b[i] == now[i])) return false;
    return true;
}

// Carries out a record of this set: puts the new contents in place (the
// commit record) or the old ones back (`back`). Each file must hold, under
// its hidden name or already in place, the contents the record gives, and
// each target must still be as the record left it (the contents it leads
// from or to, or for a write in place cut short a mix of both); otherwise
// nothing is done and the record is named, so that a file changed since is
// never overwritten.
Outcome ApplyRecord(std::vector<Entry>& set, const std::string& record, bool back, QStringList& notes, int& error,
                    QString& failedName) {
    struct Step {
        bool install = false, remove = false;
        QByteArray data;
    };
    std::vector<Step> steps(set.size());
    for (size_t i = 0; i < set.size(); ++i) {
        const Entry& e = set[i];
        Step& s = steps[i];
        // What the record leads to and what from: no file where the save
        // found none.
        const bool toFile = !back || e.hadOld, fromFile = back || e.hadOld;
        const std::string& toName = back ? e.aside : e.temp;
        const std::string& fromName = back ? e.temp : e.aside;
        const qint64 toSize = back ? e.oldSize : e.newSize, fromSize = back ? e.newSize : e.oldSize;
        const QByteArray& toSum = back ? e.oldSum : e.newSum;
        const QByteArray& fromSum = back ? e.newSum : e.oldSum;
        const bool there = Exists(e.target);
        QByteArray now;
        const bool read = there && ReadRegular(e.target, std::max(e.newSize, e.oldSize), false, now);
        const auto holds = [&](qint64 size, const QByteArray& sum) {
            return read && now.size() == size && Checksum(now) == sum;
        };
        if (toFile ? holds(toSize, toSum) : !there) continue;  // done already
        QByteArray to, from;
        const bool haveTo = toFile && HiddenHolds(toName, toSize, toSum, notes, to);
        bool asLeft = fromFile ? holds(fromSize, fromSum) : !there;
        if (!asLeft && e.inPlace && toFile && fromFile && read && haveTo)
            asLeft = HiddenHolds(fromName, fromSize, fromSum, notes, from) && Torn(now, to, from);
        if (!asLeft) {
            Note(notes, ChangedSince(record, e.name, !there));
            return Outcome::LeftAlone;
        }
        if (!toFile) {
            s.remove = true;
        } else if (haveTo) {
            s.install = true;
            s.data = std::move(to);
        } else {
            Note(notes, DoesNotMatch(record));
            return Outcome::LeftAlone;
        }
    }
    for (size_t i = 0; i < set.size(); ++i) {
        const Entry& e = set[i];
        const std::string& from = back ? e.aside : e.temp;
        int failed = 0;
        if (steps[i].install) {
            bool touched = false;
            if (e.inPlace) {
                failed = WriteInPlace(e.target, steps[i].data, touched);
                if (failed == 0) CallUnlink(from.c_str());
            } else if (CallRename(from.c_str(), e.target.c_str()) != 0) {
                failed = errno;
            }
        } else if (steps[i].remove && CallUnlink(e.target.c_str()) != 0) {
            failed = errno;
        }
        if (failed != 0) {
            error = failed;
            failedName = e.name;
            return Outcome::Failed;
        }
    }
    for (const Entry& e : set) SyncFolder(e.target);
    return Outcome::Done;
}

struct Pending {
    int error = 0;  // a record of this set that could not be carried out now
    QString name, kept;
    // Slots whose records of this program could not be carried out and
    // hold nothing else: the next whole save of the set replaces them.
    std::vector<std::pair<int, std::string>> stale;  // slot, record
    QStringList staleNotes;                          // what was said of those records
};

// Completes what records of this set left behind and removes its stray
// hidden files, slot by slot. A slot whose record stays is left whole.
// Records are taken newest first: where a save was cut short after one
// that could not be completed, the later one is what the user saved last,
// and the earlier one no longer fits the files.
Pending Recover(std::vector<Entry>& set, QStringList& notes) {
    struct RecordFile {
        int slot;
        bool back;
        std::string path;
        Found found;
        struct timespec written;
    };
    std::vector<RecordFile> records;
    for (int slot = 0; slot < kSlots; ++slot) {
        const Records r = NameSlot(set, slot);
        for (const auto& [record, back] : {std::pair{r.commit, false}, std::pair{r.back, true}}) {
            const Found f = Look(record);
            if (f == Found::None) continue;
            struct stat st {};
            ::lstat(record.c_str(), &st);
            records.push_back({slot, back, record, f, st.st_mtim});
        }
    }
    std::stable_sort(records.begin(), records.end(), [](const RecordFile& a, const RecordFile& b) {
        return a.written.tv_sec != b.written.tv_sec ? a.written.tv_sec > b.written.tv_sec
                                                    : a.written.tv_nsec > b.written.tv_nsec;
    });
    Pending pending;
    std::vector<bool> stays(kSlots, false), foreign(kSlots, false), open(kSlots, false);
    std::vector<QStringList> said(kSlots);
    std::vector<std::string> left(kSlots);
    for (const RecordFile& found : records) {
        const std::string& record = found.path;
        const int slot = found.slot;
        stays[size_t(slot)] = true;
        if (found.found == Found::Other) {
            Note(notes, LeftAlone(record));
            foreign[size_t(slot)] = true;
            continue;
        }
        std::vector<Entry> recorded = set;
        const Records r = NameSlot(recorded, slot);
        QByteArray text;
        if (!ReadRegular(record, RecordLimit(recorded), true, text) || !ParseRecord(text, recorded)) {
            Note(notes, NotARecord(record));
            foreign[size_t(slot)] = true;
            continue;
        }
        int error = 0;
        QString failedName;
        QStringList lines;
        const Outcome o = ApplyRecord(recorded, record, found.back, lines, error, failedName);
        for (const QString& line : lines) Note(notes, line);
        if (o == Outcome::Failed && pending.error == 0) pending = {error, failedName, KeptNote(recorded), {}, {}};
        if (o != Outcome::Done) {
            open[size_t(slot)] = true;
            said[size_t(slot)] << lines;
            left[size_t(slot)] = record;
            continue;
        }
        ClearSlot(recorded, r, notes);
        if (CallUnlink(record.c_str()) == 0) stays[size_t(slot)] = false;
    }
    for (int slot = 0; slot < kSlots; ++slot) {
        const Records r = NameSlot(set, slot);
        const bool other = ClearSlot(set, r, notes, stays[size_t(slot)]);
        if (open[size_t(slot)] && !foreign[size_t(slot)] && !other) {
            pending.stale.emplace_back(slot, left[size_t(slot)]);
            pending.staleNotes << said[size_t(slot)];
        }
    }
    return pending;
}

// Removes what the records of a stale slot kept, once a whole save has
// replaced them: the records first, so that nothing ever names files that
// are gone.
void RemoveStale(std::vector<Entry> set, int slot, QStringList& notes) {
    const Records r = NameSlot(set, slot);
    for (const std::string& record : {r.commit, r.back})
        if (Look(record) == Found::Ours && CallUnlink(record.c_str()) != 0) return;
    ClearSlot(set, r, notes);
}

// The set as it is on disk: targets with their links followed, what each
// target is now. Raises the failures of a save.
std::vector<Entry> Survey(const std::vector<QString>& names, bool forSave) {
    std::vector<Entry> set(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        Entry& e = set[i];
        e.name = names[i];
        e.target = QFile::encodeName(names[i]).toStdString();
        if (const int error = FollowLinks(e.target))
            Fail(e.name, error == kForeignLink ? QStringLiteral("%1 is a link of another user in a shared folder; "
                                                                "it is not followed")
                                                         .arg(Native(e.target))
                                               : Cause(error));
        struct stat st {};
        if (::stat(e.target.c_str(), &st) != 0) {
            if (errno != ENOENT) Fail(e.name, Cause(errno));
            continue;
        }
        if (S_ISDIR(st.st_mode)) Fail(e.name, QStringLiteral("a folder of that name exists"));
        if (!S_ISREG(st.st_mode)) Fail(e.name, QStringLiteral("it is not a regular file"));
        if (forSave)
            if (const int error = WriteDenied(st, e.target)) Fail(e.name, Cause(error));
        e.hadOld = true;
        e.inPlace = st.st_nlink > 1;
        e.mode = st.st_mode & 07777;
        e.group = st.st_gid;
        e.dev = st.st_dev;
        e.ino = st.st_ino;
    }
    // The record names each file as seen from its own folder, so that a
    // set moved or copied as a whole is still recognised.
    const QDir recordFolder = QFileInfo(QFile::decodeName(set.back().target.c_str())).absoluteDir();
    for (Entry& e : set)
        e.relative = QFile::encodeName(
                recordFolder.relativeFilePath(QFileInfo(QFile::decodeName(e.target.c_str())).absoluteFilePath()));
    // One file under two names of the set would be written twice.
    for (size_t j = 1; j < set.size(); ++j)
        for (size_t i = 0; i < j; ++i)
            if (set[i].target == set[j].target ||
                (set[i].hadOld && set[j].hadOld && set[i].dev == set[j].dev && set[i].ino == set[j].ino))
                Fail(set[j].name,
                     QStringLiteral("it is the same file as %1").arg(QDir::toNativeSeparators(set[i].name)));
    return set;
}

// ---- the save

// A file whose only further links are this program's own, at the set's
// hidden names (kept for a record that stays), has no other name the user
// gave it: it is replaced rather than written in place, so that the copy
// kept there stays as it is.
void LinkedOnlyByLeftovers(std::vector<Entry>& set) {
    std::vector<Entry> named = set;
    for (Entry& e : set) {
        if (!e.inPlace) continue;
        nlink_t links = 1;
        for (int slot = 0; slot < kSlots; ++slot) {
            NameSlot(named, slot);
            for (const Entry& n : named)
                for (const std::string& name : {n.temp, n.aside}) {
                    struct stat st {};
                    if (::lstat(name.c_str(), &st) == 0 && st.st_dev == e.dev && st.st_ino == e.ino) ++links;
                }
        }
        struct stat st {};
        if (::stat(e.target.c_str(), &st) == 0 && st.st_dev == e.dev && st.st_ino == e.ino && st.st_nlink <= links)
            e.inPlace = false;
    }
}

// The first slot whose hidden names are all free.
int FreeSlot(std::vector<Entry>& set, Records& r) {
    for (int slot = 0; slot < kSlots; ++slot) {
        r = NameSlot(set, slot);
        bool free = Look(r.commit) == Found::None && Look(r.back) == Found::None && Look(r.writing) == Found::None;
        for (const Entry& e : set) free = free && Look(e.temp) == Found::None && Look(e.aside) == Found::None;
        if (free) return slot;
    }
    return -1;
}

// Keeps the old file under its aside name: a second link where the file
// system has them, else (and always for a file written in place) a copy.
int KeepAside(Entry& e, const QByteArray& old) {
    if (!e.hadOld) return 0;
    if (!e.inPlace && ::link(e.target.c_str(), e.aside.c_str()) == 0) {
        e.asideHere = true;
        return 0;
    }
    const int error = WriteNewFile(e.aside, old.constData(), size_t(old.size()), e.mode, e.group);
    e.asideHere = error == 0;
    return error;
}

// Removes what this save made and still holds, but for what a back record
// that stays needs: the old contents kept and, beside a file written in
// place, the new ones, by which the next open tells a write cut short from
// a change.
void RemoveOwnFiles(std::vector<Entry>& set) {
    for (Entry& e : set) {
        if (e.tempHere && !(e.kept && e.inPlace) && CallUnlink(e.temp.c_str()) == 0) e.tempHere = false;
        if (e.asideHere && !e.kept && CallUnlink(e.aside.c_str()) == 0) e.asideHere = false;
    }
}

// A target could not be replaced: the record turns into the "back" record
// and the files changed so far get their old contents again. Only when all
// of them have them does the record go; an old file that could not be put
// back stays under its aside name, which the message gives. Where the
// record cannot be turned it stays a commit record, and the next open must
// still find every new content: a new file put back is first linked under
// its temporary name again, and nothing new is removed while that record
// is there.
[[noreturn]] void RollBack(std::vector<Entry>& set, const Records& r, const Entry& failed, int error) {
    const QString cause = Cause(error);
    const bool turned = CallRename(r.commit.c_str(), r.back.c_str()) == 0;
    QString kept;
    bool left = false;  // a file still holds what the save put there
    for (auto it = set.rbegin(); it != set.rend(); ++it) {
        Entry& e = *it;
        if (!e.replaced && !e.touched) continue;
        if (!turned && !e.inPlace && !e.tempHere) {
            if (::link(e.target.c_str(), e.temp.c_str()) != 0) {
                left = true;
                continue;
            }
            e.tempHere = true;
        }
        if (!e.hadOld) {
            if (CallUnlink(e.target.c_str()) != 0) {
                kept += QStringLiteral("; the new %1 could not be removed").arg(QDir::toNativeSeparators(e.name));
                e.kept = true;
            }
            continue;
        }
        int restoreError = 0;
        if (e.inPlace) {
            bool touched = false;
            restoreError = WriteInPlace(e.target, e.oldData, touched);
        } else if (CallRename(e.aside.c_str(), e.target.c_str()) == 0) {
            e.asideHere = false;
        } else {
            restoreError = errno;
        }
        if (restoreError != 0) {
            kept += QStringLiteral("; the previous %1 is kept as %2")
                            .arg(QDir::toNativeSeparators(e.name), Native(e.aside));
            e.kept = true;
        }
    }
    for (const Entry& e : set) SyncFolder(e.target);
    const bool stays = left || !kept.isEmpty() || CallUnlink((turned ? r.back : r.commit).c_str()) != 0;
    if (stays && !turned) {
        // The commit record stays with all it needs, this save's files
        // with it: the next open or save completes this save rather than
        // leave a mix.
        Fail(failed.name, cause + QStringLiteral("; the save is completed by the next open or save of the project"));
    }
    RemoveOwnFiles(set);
    Fail(failed.name, cause + kept);
}

void Save(std::vector<Entry>& set, const std::vector<TFileContents>& files) {
    Records r;
    if (FreeSlot(set, r) < 0) Fail(set.back().name, QStringLiteral("no free temporary name beside it"));
    std::vector<QByteArray> old(set.size());
    for (size_t i = 0; i < set.size(); ++i) {
        Entry& e = set[i];
        e.newSize = files[i].data.size();
        e.newSum = Checksum(files[i].data);
        if (!e.hadOld) continue;
        if (const int error = ReadWhole(e.target, old[i])) Fail(e.name, Cause(error));
        e.oldSize = old[i].size();
        e.oldSum = Checksum(old[i]);
    }
    try {
        for (size_t i = 0; i < set.size(); ++i) {
            const QByteArray& data = files[i].data;
            const Entry& e = set[i];
            if (const int error = WriteNewFile(e.temp, data.constData(), size_t(data.size()),
                                               e.hadOld ? e.mode : kAsNew, e.group))
                Fail(e.name, CauseAt(error, e.temp));
            set[i].tempHere = true;
        }
        for (size_t i = 0; i < set.size(); ++i)
            if (const int error = KeepAside(set[i], old[i])) Fail(set[i].name, CauseAt(error, set[i].aside));
        // The old contents are on disk, whole, before any target is touched.
        for (const Entry& e : set) SyncFolder(e.aside);
        if (const int error = WriteRecord(r, set))
            Fail(set.back().name, CauseAt(error, Exists(r.writing) ? r.writing : r.commit));
    } catch (...) {
        RemoveOwnFiles(set);
        throw;
    }
    for (size_t i = 0; i < set.size(); ++i)
        if (set[i].inPlace) set[i].oldData = std::move(old[i]);
    old.clear();

    // From here on the new set is complete on disk.
    for (size_t i = 0; i < set.size(); ++i) {
        Entry& e = set[i];
        int error = 0;
        if (e.inPlace) {
            // Its new contents stay under the temporary name until the set is
            // whole: a roll-back that cannot turn the record needs them.
            error = WriteInPlace(e.target, files[i].data, e.touched);
        } else if (CallRename(e.temp.c_str(), e.target.c_str()) == 0) {
            e.tempHere = false;
        } else {
            error = errno;
        }
        if (error != 0) RollBack(set, r, e, error);
        e.replaced = true;
    }
    for (const Entry& e : set) SyncFolder(e.target);
    RemoveOwnFiles(set);
    CallUnlink(r.commit.c_str());
}

QString Lines(QStringList notes) {
    if (!notes.filter(QStringLiteral(" was left alone: ")).isEmpty()) notes << kHowToRemove;
    return notes.join(QLatin1Char('\n'));
}

}  // namespace

QString WriteFileSet(const std::vector<TFileContents>& files) {
    if (files.empty()) return {};
    std::vector<QString> names;
    for (const TFileContents& f : files) names.push_back(f.name);
    std::vector<Entry> set = Survey(names, true);
    const FolderLock lock(set.back().target);
    if (!lock.Held()) Fail(set.back().name, lock.Why());
    QStringList notes;
    Pending pending;
    try {
        pending = Recover(set, notes);
        // Surveyed again: a leftover of an earlier save may have held a
        // second link to an old file.
        set = Survey(names, true);
        LinkedOnlyByLeftovers(set);
        Save(set, files);
    } catch (const EInOutError& e) {
        // An earlier save that could not be completed keeps its files
        // until a save of the whole set goes through.
        const QString message = e.Message() + pending.kept;
        if (notes.isEmpty()) throw EInOutError(message);
        throw EInOutError(message + QLatin1Char('\n') + Lines(notes));
    }
    // The set is whole: an earlier save that could not be completed is
    // replaced by this one, so that it never blocks a save nor is named
    // for ever.
    for (const QString& line : pending.staleNotes) notes.removeAll(line);
    for (const auto& [slot, record] : pending.stale) {
        RemoveStale(set, slot, notes);
        Note(notes, QStringLiteral("The earlier save recorded in %1 could not be completed; this save replaces it.")
                            .arg(Native(record)));
    }
    return Lines(notes);
}

QString RecoverFileSet(const std::vector<QString>& names, const std::function<void()>& read) {
    QStringList notes;
    std::vector<Entry> set;
    try {
        if (!names.empty()) set = Survey(names, false);
    } catch (const std::exception&) {
        // Names the system cannot take: there is nothing of them to recover.
    }
    if (set.empty()) {
        if (read) read();
        return {};
    }
    const FolderLock lock(set.back().target);
    if (!lock.Held()) {
        Note(notes, QStringLiteral("%1: %2; it was read as it is.")
                            .arg(QDir::toNativeSeparators(set.back().name), lock.Why()));
    } else {
        try {
            const Pending pending = Recover(set, notes);
            if (pending.error != 0)
                Note(notes,
                     QStringLiteral("An earlier save of %1 could not be completed: %2%3.")
                             .arg(QDir::toNativeSeparators(set.back().name), Cause(pending.error), pending.kept));
        } catch (const std::exception&) {
            // What cannot be done now is left for a later open or save.
        }
    }
    if (read) read();
    return Lines(notes);
}

}  // namespace vortn
