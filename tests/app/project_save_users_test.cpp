// Saves in folders shared with other users, the program run as those users
// through setpriv: another user's link in a sticky folder, a folder its
// owner may write but not read, a file system without folder locks, a team
// folder's group, a mode that cannot be set, and what a save says when the
// lock is held by someone else or a hidden name is taken during the save.
#include "exceptions.h"
#include "file_set_writer.h"
#include "project_fixture.h"
#include "save_child_runner.h"

#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace project_test {
namespace {

constexpr const char* kUser1 = "vortn_t1";
constexpr const char* kUser2 = "vortn_t2";

struct Account {
    uid_t uid = 0;
    gid_t gid = 0;  // the user's own group
};

// A test user, made by tools/add-test-users.sh: by CTest's set-up test, or
// here when the test program runs on its own.
bool FindUser(const char* name, Account& out) {
    if (!::getpwnam(name)) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl("/bin/bash", "bash", VORTN_ADD_TEST_USERS, static_cast<char*>(nullptr));
            _exit(127);
        }
        Wait(pid);
    }
    const struct passwd* pw = ::getpwnam(name);
    if (!pw) return false;
    out = {pw->pw_uid, pw->pw_gid};
    return true;
}

gid_t TeamGroup() {
    const struct group* g = ::getgrnam("users");
    return g ? g->gr_gid : gid_t(-1);
}

std::string ReadAll(int fd) {
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) out.append(buf, size_t(n));
    ::close(fd);
    return out;
}

// The command line that runs `command` as `user` with the user's groups.
std::vector<std::string> AsUser(const std::string& user, const std::vector<std::string>& command) {
    const struct passwd* pw = ::getpwnam(user.c_str());
    if (!pw) return {};
    std::vector<std::string> all{"/usr/bin/setpriv", "--reuid=" + std::to_string(pw->pw_uid),
                                 "--regid=" + std::to_string(pw->pw_gid), "--init-groups"};
    all.insert(all.end(), command.begin(), command.end());
    return all;
}

// Runs `command` as `user`; returns its exit code.
int RunAs(const std::string& user, std::vector<std::string> command) {
    const pid_t pid = StartProgram(AsUser(user, command));
    return pid < 0 ? -1 : Wait(pid);
}

// Starts the save child as `user` (through setpriv), or as this user when
// `user` is empty; its standard output is read from `out`.
pid_t StartAs(const std::string& user, const std::vector<std::string>& args, int& out) {
    if (user.empty()) return StartChild(args, &out);
    std::vector<std::string> child{VORTN_SAVE_CHILD};
    child.insert(child.end(), args.begin(), args.end());
    return StartProgram(AsUser(user, child), &out);
}

// Saves version A of the sample project as `deck`, as `user`; returns what
// the save said ("failed: ..." or "note: ..."), empty when nothing.
std::string SaveAsUser(const std::string& user, const QString& deck, int times = 1) {
    int out = -1;
    const pid_t pid = StartAs(user, {Bytes(kSource), Bytes(deck), "saves", std::to_string(times)}, out);
    if (pid <= 0) return "could not start";
    const std::string said = ReadAll(out);
    const int code = Wait(pid);
    return code == 0 ? said : said + "exit " + std::to_string(code);
}

struct Inode {
    uid_t uid = 0;
    gid_t gid = 0;
    mode_t mode = 0;
    bool operator==(const Inode&) const = default;
};

Inode Of(const QString& path) {
    struct stat st {};
    if (::lstat(Bytes(path).c_str(), &st) != 0) return {};
    return {st.st_uid, st.st_gid, st.st_mode & 07777};
}

std::string Show(const Inode& i) {
    return std::to_string(i.uid) + ":" + std::to_string(i.gid) + " " + std::to_string(i.mode >> 6) +
           std::to_string((i.mode >> 3) & 7) + std::to_string(i.mode & 7);
}

bool MakeFolder(const QString& path, uid_t uid, gid_t gid, mode_t mode) {
    return QDir().mkpath(path) && ::chown(Bytes(path).c_str(), uid, gid) == 0 &&
           ::chmod(Bytes(path).c_str(), mode) == 0;
}

const char* const kExtensions[] = {".vtd", ".vtm", ".vtt"};

class SharedFolder : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        if (::geteuid() != 0) GTEST_SKIP() << "running the program as other users needs the superuser";
        ASSERT_TRUE(FindUser(kUser1, u1_) && FindUser(kUser2, u2_)) << "tools/add-test-users.sh made no test users";
        ASSERT_NE(TeamGroup(), gid_t(-1));
        // Other users reach the folders below.
        ASSERT_EQ(::chmod(Bytes(dir_.path()).c_str(), 0755), 0);
        umask_ = ::umask(022);
    }
    void TearDown() override {
        ::umask(umask_);
        vortn::TFileSetCalls& calls = vortn::FileSetCalls();
        calls.write = {};
        calls.flock = {};
        calls.fchmod = {};
        calls.lockWaitMs = 5000;
        ProjectTest::TearDown();
    }

    Account u1_, u2_;
    mode_t umask_ = 022;
};

// ---- another user's link

struct LinkCase {
    const char* name;
    mode_t folderMode;     // of the shared folder, whose group is "users"
    const char* folderOf;  // its owner: a test user, or nullptr for the superuser
    const char* linkOf;    // the owner of the link job.vtm there
    bool followed;         // whether the save of vortn_t1 writes through it
};

class LinkInASharedFolder : public SharedFolder, public ::testing::WithParamInterface<LinkCase> {};

// vortn_t1 saves a new project job.vtd where job.vtm is a link to a file of
// vortn_t1 elsewhere. Another user's link in a sticky folder open to all is
// not followed (the save is refused and names it, the linked file keeps its
// contents); any other link is written through, as before.
TEST_P(LinkInASharedFolder, IsFollowedOnlyWhereTheSystemWould) {
    const LinkCase& c = GetParam();
    const auto uidOf = [&](const char* user) { return !user ? uid_t(0) : user == kUser1 ? u1_.uid : u2_.uid; };
    const QString home = Path(QStringLiteral("home")), shared = Path(QStringLiteral("shared"));
    ASSERT_TRUE(MakeFolder(home, u1_.uid, u1_.gid, 0755));
    const QString thesis = home + QStringLiteral("/thesis.txt");
    WriteBytes(thesis, "my thesis\n");
    ASSERT_EQ(::chown(Bytes(thesis).c_str(), u1_.uid, u1_.gid), 0);
    ASSERT_TRUE(MakeFolder(shared, uidOf(c.folderOf), TeamGroup(), c.folderMode));
    const QString link = shared + QStringLiteral("/job.vtm");
    // Planted by its owner.
    if (c.linkOf) {
        ASSERT_EQ(RunAs(c.linkOf, {"/bin/ln", "-s", Bytes(thesis), Bytes(link)}), 0);
    } else {
        ASSERT_EQ(::symlink(Bytes(thesis).c_str(), Bytes(link).c_str()), 0);
    }
    ASSERT_EQ(Of(link).uid, uidOf(c.linkOf));

    const std::string said = SaveAsUser(kUser1, shared + QStringLiteral("/job.vtd"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    if (c.followed) {
        EXPECT_EQ(said, "");
        EXPECT_EQ(ReadBytes(thesis), TheVersions().a.mass);
        EXPECT_EQ(FilesIn(shared).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    } else {
        EXPECT_EQ(said, QStringLiteral("failed: Cannot write file %1: %1 is a link of another user in a shared "
                                       "folder; it is not followed\n")
                                .arg(link)
                                .toStdString());
        EXPECT_EQ(ReadBytes(thesis), QByteArray("my thesis\n"));
        EXPECT_EQ(FilesIn(shared).join(' ').toStdString(), "job.vtm");
    }
    EXPECT_EQ(Of(thesis), (Inode{u1_.uid, u1_.gid, 0644}));
}

INSTANTIATE_TEST_SUITE_P(
        Links, LinkInASharedFolder,
        ::testing::Values(LinkCase{"of_another_user_in_a_sticky_folder_open_to_all", 01777, nullptr, kUser2, false},
                          LinkCase{"of_the_superuser_in_a_sticky_folder_open_to_all_of_another_user", 01777, kUser2,
                                   nullptr, false},
                          LinkCase{"of_the_user_in_a_sticky_folder_open_to_all", 01777, nullptr, kUser1, true},
                          LinkCase{"of_the_folders_owner_in_a_sticky_folder_open_to_all", 01777, kUser2, kUser2, true},
                          LinkCase{"of_another_user_in_a_folder_open_to_all_without_the_sticky_bit", 0777, nullptr,
                                   kUser2, true},
                          LinkCase{"of_another_user_in_a_sticky_team_folder", 01775, nullptr, kUser2, true}),
        [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

// ---- the group and mode of the files

// In a team folder (group "users", 0775, no setgid bit) whose files the
// team gave to its group, each member's save keeps that group, so that the
// next member can save in turn. A group the saving user is not in cannot be
// kept; the save goes through all the same.
TEST_F(SharedFolder, TeamFolderKeepsTheGroupOfItsFiles) {
    ::umask(002);
    const QString team = Path(QStringLiteral("team"));
    ASSERT_TRUE(MakeFolder(team, 0, TeamGroup(), 0775));
    const QString deck = team + QStringLiteral("/job.vtd");
    const auto files = [&] {
        std::vector<QString> out;
        for (const char* ext : kExtensions) out.push_back(vortn::ChangeFileExt(deck, QLatin1String(ext)));
        return out;
    };
    const auto expectAll = [&](const Inode& want, const char* when) {
        for (const QString& f : files()) EXPECT_EQ(Show(Of(f)), Show(want)) << when << " " << f.toStdString();
    };
    ASSERT_EQ(SaveAsUser(kUser1, deck), "");
    expectAll({u1_.uid, u1_.gid, 0664}, "a new project");
    for (const QString& f : files()) ASSERT_EQ(::chown(Bytes(f).c_str(), u1_.uid, TeamGroup()), 0);

    EXPECT_EQ(SaveAsUser(kUser1, deck), "");
    expectAll({u1_.uid, TeamGroup(), 0664}, "saved again by its owner");
    EXPECT_EQ(SaveAsUser(kUser2, deck), "");
    expectAll({u2_.uid, TeamGroup(), 0664}, "saved by the second member");
    EXPECT_EQ(SaveAsUser(kUser1, deck), "");
    expectAll({u1_.uid, TeamGroup(), 0664}, "saved by the first member again");
    EXPECT_TRUE(ReadSet(deck) == TheVersions().a);

    for (const QString& f : files()) ASSERT_EQ(::chown(Bytes(f).c_str(), u1_.uid, u2_.gid), 0);
    EXPECT_EQ(SaveAsUser(kUser1, deck), "");
    expectAll({u1_.uid, u1_.gid, 0664}, "of a group the user is not in");
    EXPECT_EQ(FilesIn(team).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
}

struct ModeCase {
    const char* name;
    bool savedBefore;  // the project's files are there (of mode 0644)
};

class ModeThatCannotBeSet : public SharedFolder, public ::testing::WithParamInterface<ModeCase> {};

// Every change of mode fails (EPERM). The files of a project saved before
// cannot have their mode again, so the save fails and changes nothing; a
// new project's files have the mode the system gives new files, which
// needs no change.
TEST_P(ModeThatCannotBeSet, NeverLeavesNarrowerFilesAfterASave) {
    const QString folder = Path(QStringLiteral("modes"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString deck = folder + QStringLiteral("/job.vtd");
    if (GetParam().savedBefore) {
        ASSERT_EQ(SaveInChild(deck, 'A'), 0);
        for (const char* ext : kExtensions)
            ASSERT_EQ(::chmod(Bytes(vortn::ChangeFileExt(deck, QLatin1String(ext))).c_str(), 0644), 0);
        H().OpenProject(deck);
        ASSERT_EQ(H().LastMessage().toStdString(), "");
    } else {
        Build(Foundation::HalfSpace, Loading::Harmonic);
        P().FileName = deck;
    }
    const FileSet before = ReadSet(deck);
    vortn::FileSetCalls().fchmod = [](int, mode_t) {
        errno = EPERM;
        return -1;
    };
    P().Title = QStringLiteral("changed");
    const std::string said = Message([&] { P().SaveToFile(); }).toStdString();
    if (GetParam().savedBefore) {
        EXPECT_EQ(said, QStringLiteral("Cannot write file %1: Operation not permitted")
                                .arg(vortn::ChangeFileExt(deck, QStringLiteral(".vtm")))
                                .toStdString());
        EXPECT_TRUE(ReadSet(deck) == before);
    } else {
        EXPECT_EQ(said, "");
        EXPECT_TRUE(ReadBytes(deck).startsWith("TITLE=changed\r\n"));
    }
    for (const char* ext : kExtensions)
        EXPECT_EQ(Of(vortn::ChangeFileExt(deck, QLatin1String(ext))).mode, mode_t(0644)) << ext;
    EXPECT_EQ(FilesIn(folder).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
}

INSTANTIATE_TEST_SUITE_P(Projects, ModeThatCannotBeSet,
                         ::testing::Values(ModeCase{"saved_before", true}, ModeCase{"new", false}),
                         [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

// ---- the lock

struct UnlockableCase {
    const char* name;
    const char* user;      // who saves: a test user, or "" for the superuser
    mode_t folderMode;     // of the project's folder, which the user owns
    const char* saveMode;  // extra argument of the save child
};

class FolderThatCannotBeLocked : public SharedFolder, public ::testing::WithParamInterface<UnlockableCase> {};

// Two programs save one project at the same time, round after round, in a
// folder they cannot lock: one its owner may write but not read, or one on
// a file system that refuses flock. They take turns on the project's lock
// file: every save goes through or says the project is being saved by
// another program, and the project is one whole version after each round.
TEST_P(FolderThatCannotBeLocked, TwoProgramsTakeTurnsOnItsLockFile) {
    const UnlockableCase& c = GetParam();
    const Account owner = std::string(c.user) == kUser1 ? u1_ : Account{};
    const QString folder = Path(QStringLiteral("project"));
    ASSERT_TRUE(MakeFolder(folder, owner.uid, owner.gid, c.folderMode));
    const QString deck = folder + QStringLiteral("/job.vtd");
    const std::string busy =
            QStringLiteral("failed: Cannot write file %1: the project is being saved by another program")
                    .arg(deck)
                    .toStdString();
    const Versions& v = TheVersions();
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(SaveAsUser(c.user, deck), "");
        std::vector<std::string> args{Bytes(kSource), Bytes(deck), "saves", "10"};
        if (*c.saveMode) args.push_back(c.saveMode);
        int out1 = -1, out2 = -1;
        const pid_t one = StartAs(c.user, args, out1);
        const pid_t two = StartAs(c.user, args, out2);
        ASSERT_GT(one, 0);
        ASSERT_GT(two, 0);
        const std::string said1 = ReadAll(out1), said2 = ReadAll(out2);
        EXPECT_EQ(Wait(one), 0);
        EXPECT_EQ(Wait(two), 0);
        for (const std::string& said : {said1, said2})
            for (const QString& line :
                 QString::fromLocal8Bit(said.c_str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                EXPECT_EQ(line.toStdString(), busy);
        const FileSet now = ReadSet(deck);
        EXPECT_TRUE(now == v.a || now == v.b) << now.deck.left(20).toStdString();
        EXPECT_EQ(FilesIn(folder).join(' ').toStdString(), ".job.vtd~l job.vtd job.vtm job.vtt");
    }
}

INSTANTIATE_TEST_SUITE_P(
        Folders, FolderThatCannotBeLocked,
        ::testing::Values(UnlockableCase{"writable_but_not_readable_by_its_owner", kUser1, 0333, ""},
                          UnlockableCase{"on_a_file_system_without_folder_locks", "", 0755, "no-folder-lock"}),
        [](const ::testing::TestParamInfo<UnlockableCase>& info) { return std::string(info.param.name); });

struct NoLockCase {
    const char* name;
    bool filesToo;        // flock fails on files too, not only on folders
    bool linkAtLockFile;  // a link of the user's at the lock file's name
    const char* cause;    // of the refusal, after "the project cannot be locked: "; %1 the lock file
};

class NoLockToBeHad : public SharedFolder, public ::testing::WithParamInterface<NoLockCase> {};

// Where no lock can be had, a save is refused with the reason and changes
// nothing; an open reads the project as it is and says so.
TEST_P(NoLockToBeHad, SaveIsRefusedAndOpenSaysSo) {
    const NoLockCase& c = GetParam();
    const QString folder = Path(QStringLiteral("nolock"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString deck = folder + QStringLiteral("/job.vtd"), lockFile = folder + QStringLiteral("/.job.vtd~l");
    const QString elsewhere = Path(QStringLiteral("elsewhere.txt"));
    ASSERT_EQ(SaveInChild(deck, 'A'), 0);
    if (c.linkAtLockFile) {
        ASSERT_EQ(::symlink(Bytes(elsewhere).c_str(), Bytes(lockFile).c_str()), 0);
    }
    const bool filesToo = c.filesToo;
    vortn::FileSetCalls().flock = [filesToo](int fd, int operation) {
        struct stat st {};
        if (filesToo || (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))) {
            errno = ENOLCK;
            return -1;
        }
        return ::flock(fd, operation);
    };
    const QString cause = QStringLiteral("the project cannot be locked: ") + QString::fromLatin1(c.cause).arg(lockFile);
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(),
              QStringLiteral("%1: %2; it was read as it is.").arg(deck, cause).toStdString());
    EXPECT_EQ(P().Title.toStdString(), "version A");
    P().Title = QStringLiteral("changed");
    EXPECT_EQ(Message([&] { P().SaveToFile(); }).toStdString(),
              QStringLiteral("Cannot write file %1: %2").arg(deck, cause).toStdString());
    EXPECT_TRUE(ReadSet(deck) == TheVersions().a);
    EXPECT_FALSE(QFileInfo::exists(elsewhere));
    EXPECT_EQ(FilesIn(folder).join(' ').toStdString(), ".job.vtd~l job.vtd job.vtm job.vtt");
}

INSTANTIATE_TEST_SUITE_P(Causes, NoLockToBeHad,
                         ::testing::Values(NoLockCase{"no_flock_at_all", true, false, "No locks available"},
                                           NoLockCase{"a_link_at_the_lock_file", false, true,
                                                      "%1 is not a regular file"}),
                         [](const ::testing::TestParamInfo<NoLockCase>& info) { return std::string(info.param.name); });

struct HolderCase {
    const char* name;
    const char* user;  // who holds the lock: a test user, or "" for the superuser
    const char* held;  // what the save says, %1 the holder's process
};

class LockHeldByAnotherProgram : public SharedFolder, public ::testing::WithParamInterface<HolderCase> {};

// Another program that is not this one (cat), of another user or of this
// user, holds the project's lock past the wait: the save and the open name
// it, and not as a save of this program.
TEST_P(LockHeldByAnotherProgram, IsNamedByTheSaveAndTheOpen) {
    const HolderCase& c = GetParam();
    const QString deck = Path(QStringLiteral("job.vtd"));
    ASSERT_EQ(SaveInChild(deck, 'A'), 0);
    const Account holder = std::string(c.user) == kUser2 ? u2_ : Account{};
    // The holder locks the folder, then becomes cat, which holds it until
    // `hold` closes; `ready` closes when the exec is done.
    int ready[2], hold[2];
    ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe(hold), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        ::close(hold[1]);
        if (holder.uid != 0 && (::setgroups(0, nullptr) != 0 || ::setgid(holder.gid) != 0 || ::setuid(holder.uid) != 0))
            _exit(2);
        const int fd = ::open(Bytes(dir_.path()).c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) _exit(3);
        ::dup2(hold[0], 0);
        ::execl("/bin/cat", "cat", static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(ready[1]);
    ::close(hold[0]);
    ReadAll(ready[0]);
    vortn::FileSetCalls().lockWaitMs = 0;
    const QString held = QString::fromLatin1(c.held).arg(QStringLiteral("cat, process %1").arg(pid));

    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(),
              QStringLiteral("%1: %2; it was read as it is.").arg(deck, held).toStdString());
    P().Title = QStringLiteral("changed");
    EXPECT_EQ(Message([&] { P().SaveToFile(); }).toStdString(),
              QStringLiteral("Cannot write file %1: %2").arg(deck, held).toStdString());
    EXPECT_TRUE(ReadSet(deck) == TheVersions().a);
    ::close(hold[1]);
    EXPECT_EQ(Wait(pid), 0);
    P().SaveToFile();
    EXPECT_TRUE(ReadBytes(deck).startsWith("TITLE=changed\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
        Holders, LockHeldByAnotherProgram,
        ::testing::Values(HolderCase{"of_another_user", kUser2, "the project is locked by user vortn_t2 (%1)"},
                          HolderCase{"of_this_user", "", "the project is locked by another program (%1)"}),
        [](const ::testing::TestParamInfo<HolderCase>& info) { return std::string(info.param.name); });

// ---- a hidden name taken during the save

struct RaceCase {
    const char* name;
    const char* planted;  // the hidden name something takes while the save writes its first file
    const char* file;     // the file whose save it stops
};

class NameTakenDuringTheSave : public SharedFolder, public ::testing::WithParamInterface<RaceCase> {};

// The save names what took its hidden name, not only "File exists", and
// leaves the project and the obstacle as they were.
TEST_P(NameTakenDuringTheSave, IsNamedAsTheObstacle) {
    const RaceCase& c = GetParam();
    const QString folder = Path(QStringLiteral("race"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString deck = folder + QStringLiteral("/job.vtd");
    ASSERT_EQ(SaveInChild(deck, 'A'), 0);
    H().OpenProject(deck);
    const QString planted = folder + QLatin1Char('/') + QLatin1String(c.planted);
    bool done = false;
    vortn::FileSetCalls().write = [&](int fd, const void* data, size_t size) {
        if (!done) {
            done = true;
            WriteBytes(planted, "another program's\n");
        }
        return ::write(fd, data, size);
    };
    P().Title = QStringLiteral("changed");
    EXPECT_EQ(Message([&] { P().SaveToFile(); }).toStdString(),
              QStringLiteral("Cannot write file %1/%2: %3 appeared beside it during the save (File exists)")
                      .arg(folder, QLatin1String(c.file), planted)
                      .toStdString());
    EXPECT_TRUE(ReadSet(deck) == TheVersions().a);
    EXPECT_EQ(ReadBytes(planted), QByteArray("another program's\n"));
    EXPECT_EQ(FilesIn(folder).join(' ').toStdString(),
              QStringLiteral("%1 job.vtd job.vtm job.vtt").arg(QLatin1String(c.planted)).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Names, NameTakenDuringTheSave,
                         ::testing::Values(RaceCase{"new_contents_of_the_second_file", ".job.vtt~n", "job.vtt"},
                                           RaceCase{"old_contents_of_the_first_file", ".job.vtm~o", "job.vtm"}),
                         [](const ::testing::TestParamInfo<RaceCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace project_test
