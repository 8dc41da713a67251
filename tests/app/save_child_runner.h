// Runs the save child (save_child.cpp) from the save tests, and the two
// versions of the sample project it saves.
#pragma once

#include "exceptions.h"
#include "project_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace project_test {

inline const QString kSource = QStringLiteral(VORTN_EXAMPLES "/project-pile.vtd");

// Starts the program `all` (its path, then its arguments); with `out`, its
// standard output is the write end of a pipe whose read end is returned
// there.
inline pid_t StartProgram(std::vector<std::string> all, int* out = nullptr) {
    int pipeEnds[2] = {-1, -1};
    if (all.empty() || (out && ::pipe(pipeEnds) != 0)) return -1;
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (out) {
            ::dup2(pipeEnds[1], 1);
            ::close(pipeEnds[0]);
            ::close(pipeEnds[1]);
        }
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    if (out) {
        ::close(pipeEnds[1]);
        *out = pipeEnds[0];
    }
    return pid;
}

// Starts the save child with `args`, as StartProgram.
inline pid_t StartChild(const std::vector<std::string>& args, int* out = nullptr) {
    std::vector<std::string> all{VORTN_SAVE_CHILD};
    all.insert(all.end(), args.begin(), args.end());
    return StartProgram(std::move(all), out);
}

// The message a save (or open) gave, empty when it gave none.
inline QString Message(const std::function<void()>& save) {
    try {
        save();
    } catch (const vortn::EInOutError& e) {
        return e.Message();
    }
    return {};
}

// Said once under the files an open or save left alone.
inline const QString kHowToRemove = QStringLiteral(
        "The files left alone are not used by this program; deleting them ends these notes (a file of another user "
        "only that user or the owner of the folder can delete).");

inline int Wait(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline std::string Bytes(const QString& s) { return QFile::encodeName(s).toStdString(); }

// Saves version A or B of the sample project as `target` in a child; with
// `stopAt` the child ends just before that file system call of the save.
inline int SaveInChild(const QString& target, char version, int stopAt = 0) {
    std::vector<std::string> args{Bytes(kSource), Bytes(target), "once", std::string(1, version)};
    if (stopAt > 0) args.push_back(std::to_string(stopAt));
    return Wait(StartChild(args));
}

struct FileSet {
    QByteArray deck, mass, geometry;
    bool operator==(const FileSet&) const = default;
};

inline FileSet ReadSet(const QString& deck) {
    return {ReadBytes(deck), ReadBytes(vortn::ChangeFileExt(deck, QStringLiteral(".vtm"))),
            ReadBytes(vortn::ChangeFileExt(deck, QStringLiteral(".vtt")))};
}

inline QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The set's hidden files in `folder` (names starting with ".").
inline QStringList HiddenIn(const QString& folder) {
    return QDir(folder)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)
            .filter(QRegularExpression(QStringLiteral("^\\.")));
}

// Runs the save child with `args` as another user through setpriv, whose
// options (`ids`) give the user; returns what it printed, and its exit code
// in `code`.
inline std::string RunChildThrough(const std::vector<std::string>& ids, const std::vector<std::string>& args,
                                   int& code) {
    std::vector<std::string> all{"/usr/bin/setpriv"};
    all.insert(all.end(), ids.begin(), ids.end());
    all.push_back(VORTN_SAVE_CHILD);
    all.insert(all.end(), args.begin(), args.end());
    int output = -1;
    const pid_t pid = StartProgram(std::move(all), &output);
    if (pid < 0) return {};
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = ::read(output, buf, sizeof buf)) > 0;) out.append(buf, size_t(n));
    ::close(output);
    code = Wait(pid);
    return out;
}

// Saves a version in a child (`target`, version, and the call it ends
// itself before, 0 for none); returns the child's exit code.
using SaveRunner = std::function<int(const QString& target, char version, int stopAt)>;

// Saves `to` over `from` in a child that ends itself after the save's
// commit record is in place and `installed` further calls (renames of the
// files into place) went through: a save cut short that the next open must
// complete.
inline void SaveCutAfterItsRecord(const QString& target, int installed, const SaveRunner& save = SaveInChild,
                                  char from = 'A', char to = 'B') {
    const QString folder = QFileInfo(target).path();
    for (int n = 1; n < 200; ++n) {
        ASSERT_EQ(save(target, from, 0), 0);
        ASSERT_EQ(save(target, to, n), 3) << n;
        if (HiddenIn(folder).filter(QRegularExpression(QStringLiteral("~s$"))).isEmpty()) continue;
        if (installed > 0) {
            ASSERT_EQ(save(target, from, 0), 0);
            ASSERT_EQ(save(target, to, n + installed), 3);
        }
        return;
    }
    FAIL() << "no commit record";
}

// The two versions as a complete save writes them.
struct Versions {
    FileSet a, b;
};
inline const Versions& TheVersions() {
    static const Versions v = [] {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("job.vtd"));
        Versions out;
        EXPECT_EQ(SaveInChild(target, 'A'), 0);
        out.a = ReadSet(target);
        EXPECT_EQ(SaveInChild(target, 'B'), 0);
        out.b = ReadSet(target);
        EXPECT_NE(out.a.deck, out.b.deck);
        EXPECT_NE(out.a.mass, out.b.mass);
        EXPECT_NE(out.a.geometry, out.b.geometry);
        return out;
    }();
    return v;
}

}  // namespace project_test
