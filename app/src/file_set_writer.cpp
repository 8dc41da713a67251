// Whole-set file replacement on POSIX calls, so that every failure carries
// the system's own cause.
#include "file_set_writer.h"

#include "exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
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

QString Cause(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

[[noreturn]] void Fail(const QString& name, const QString& cause) {
    throw EInOutError(QStringLiteral("Cannot write file %1: %2").arg(QDir::toNativeSeparators(name), cause));
}

struct Staged {
    QString name;
    std::string target;
    std::string temp;   // the new contents, until renamed onto the target
    std::string aside;  // the old contents, until the whole set is in place
    bool replaced = false;
};

// A new, unused name beside `target`; the file is created empty and closed.
std::string UniqueName(const std::string& target, const char* tag, int& error) {
    std::string pattern = target + tag + "XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = errno;
        return {};
    }
    ::close(fd);
    return pattern;
}

// Writes the new contents to a temporary file beside the target, with the
// old file's permissions (or the usual ones for a new file).
void Stage(Staged& s, const QByteArray& data) {
    int error = 0;
    s.temp = UniqueName(s.target, ".new-", error);
    if (s.temp.empty()) Fail(s.name, Cause(error));
    const int fd = ::open(s.temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) Fail(s.name, Cause(errno));
    struct stat old {};
    mode_t mode;
    if (::stat(s.target.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    const char* p = data.constData();
    size_t left = size_t(data.size());
    while (left > 0) {
        const ssize_t n = CallWrite(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int e = n < 0 ? errno : ENOSPC;
            ::close(fd);
            Fail(s.name, Cause(e));
        }
        p += n;
        left -= size_t(n);
    }
    if (::fsync(fd) != 0) {
        const int e = errno;
        ::close(fd);
        Fail(s.name, Cause(e));
    }
    if (::close(fd) != 0) Fail(s.name, Cause(errno));
}

// Keeps the old file under a second name: a hard link where the file system
// has them, else a copy.
void KeepAside(Staged& s) {
    if (::access(s.target.c_str(), F_OK) != 0) return;  // no old file
    int error = 0;
    std::string aside = UniqueName(s.target, ".old-", error);
    if (aside.empty()) Fail(s.name, Cause(error));
    ::unlink(aside.c_str());
    if (::link(s.target.c_str(), aside.c_str()) != 0) {
        QFile old(QFile::decodeName(s.target.c_str()));
        if (!old.copy(QFile::decodeName(aside.c_str()))) Fail(s.name, old.errorString());
    }
    s.aside = aside;
}

void RemoveIfSet(std::string& path) {
    if (!path.empty()) ::unlink(path.c_str());
    path.clear();
}

}  // namespace

void WriteFileSet(const std::vector<TFileContents>& files) {
    std::vector<Staged> set(files.size());
    auto dropAll = [&] {
        for (Staged& s : set) {
            RemoveIfSet(s.temp);
            RemoveIfSet(s.aside);
        }
    };
    try {
        for (size_t i = 0; i < files.size(); ++i) {
            set[i].name = files[i].name;
            set[i].target = QFile::encodeName(files[i].name).toStdString();
            if (QFileInfo(files[i].name).isDir()) Fail(files[i].name, QStringLiteral("a folder of that name exists"));
        }
        for (size_t i = 0; i < files.size(); ++i) Stage(set[i], files[i].data);
        for (Staged& s : set) KeepAside(s);
    } catch (...) {
        dropAll();
        throw;
    }

    for (Staged& s : set) {
        if (CallRename(s.temp.c_str(), s.target.c_str()) == 0) {
            s.temp.clear();
            s.replaced = true;
            continue;
        }
        const QString cause = Cause(errno);
        // Put back what was replaced already, the latest first.
        QString kept;
        for (auto it = set.rbegin(); it != set.rend(); ++it) {
            if (!it->replaced) continue;
            if (it->aside.empty()) {
                ::unlink(it->target.c_str());  // there was no old file
            } else if (CallRename(it->aside.c_str(), it->target.c_str()) == 0) {
                it->aside.clear();
            } else {
                kept += QStringLiteral("; the previous %1 is kept as %2")
                            .arg(QDir::toNativeSeparators(it->name),
                                 QDir::toNativeSeparators(QFile::decodeName(it->aside.c_str())));
                it->aside.clear();
            }
        }
        dropAll();
        Fail(s.name, cause + kept);
    }
    dropAll();  // the set is in place: the old files go
}

}  // namespace vortn
