// What a save and the recovery of a save cut short do with what they find:
// a failed in-place write keeps the old contents, a failed save keeps what
// an earlier one kept, files planted by another user or of the wrong kind
// at the hidden names are left alone and named, records survive a moved
// folder, long names keep apart, and two programs on one project take
// turns.
#include "exceptions.h"
#include "file_set_writer.h"
#include "project_fixture.h"
#include "save_child_runner.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace project_test {
namespace {

constexpr uid_t kNobody = 65534;

ino_t Inode(const QString& path) {
    struct stat st {};
    return ::stat(Bytes(path).c_str(), &st) == 0 ? st.st_ino : 0;
}

// Runs `plant` in a child process as the user nobody, as another user of a
// shared folder would; true when it succeeded.
bool AsAnotherUser(const std::function<bool()>& plant) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) _exit(2);
        _exit(plant() ? 0 : 1);
    }
    return Wait(pid) == 0;
}

bool WriteFile(const QString& path, const QByteArray& data) {
    const int fd = ::open(Bytes(path).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return false;
    const bool ok = ::write(fd, data.constData(), size_t(data.size())) == ssize_t(data.size());
    return ::close(fd) == 0 && ok;
}

// A tmpfs of `size` over `folder` while it lives, where the tests may mount.
class Tmpfs {
public:
    Tmpfs(const QString& folder, const char* size) : folder_(Bytes(folder)) {
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
    }
    ~Tmpfs() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    // Fills the file system with `filler` until only `pages` pages are free.
    void LeaveFree(const QString& filler, long pages) {
        const int fd = ::open(Bytes(filler).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0);
        const std::string chunk(4096, 'f');
        while (::write(fd, chunk.data(), chunk.size()) == ssize_t(chunk.size())) {
        }
        struct stat st {};
        ASSERT_EQ(::fstat(fd, &st), 0);
        ASSERT_EQ(::ftruncate(fd, (st.st_size / 4096 - pages) * 4096), 0);
        ::close(fd);
        struct statvfs fs {};
        ASSERT_EQ(::statvfs(folder_.c_str(), &fs), 0);
        ASSERT_EQ(long(fs.f_bavail), pages);
    }

private:
    std::string folder_;
    bool mounted_ = false;
};

long Pages(const QString& path) { return long((QFileInfo(path).size() + 4095) / 4096); }

using SaveRecovery = ProjectTest;

// ---- 1. a file with a second hard link, written in place

enum class InPlaceFault { FailsAtOnce, FailsAfterAPage, FullDisk };

struct InPlaceCase {
    const char* name;
    InPlaceFault fault;
};

class InPlaceWriteFailure : public ProjectTest, public ::testing::WithParamInterface<InPlaceCase> {
protected:
    // A pile project with `piles` piles: the deck grows with them.
    void MakeProject(int piles) {
        TGridTable& c = H().Pilecoord();
        c.SetRowCount(piles);
        for (int r = 0; r < piles; ++r) SetRow(c, r, {Extended(r % 25) * 1.5, Extended(r / 25) * 1.5, 0});
        P().Title = QStringLiteral("%1 piles").arg(piles);
    }
};

// The project file has a second name elsewhere, so it is written in place;
// that write fails. Both names keep the old project, whole, and nothing of
// the save stays beside it.
TEST_P(InPlaceWriteFailure, KeepsTheOldFileUnderBothNames) {
    const InPlaceFault fault = GetParam().fault;
    const QString folder = Path(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkpath(folder));
    std::unique_ptr<Tmpfs> disk;
    if (fault == InPlaceFault::FullDisk) {
        disk = std::make_unique<Tmpfs>(folder, "4m");
        // Mounting needs the superuser; the failure-hook cases above give
        // the same fault where it cannot be had.
        if (!disk->Mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here: " << std::strerror(errno);
    }
    const QString deck = folder + QStringLiteral("/job.vtd");
    Build(Foundation::Pile, Loading::Harmonic);
    P().FileName = deck;
    // The sizes of the new set, then the old set in their place.
    MakeProject(500);
    P().SaveToFile();
    const long newPages = Pages(deck), massPages = Pages(vortn::ChangeFileExt(deck, QStringLiteral(".vtm"))),
               geometryPages = Pages(vortn::ChangeFileExt(deck, QStringLiteral(".vtt")));
    MakeProject(4);
    P().SaveToFile();
    const FileSet before = ReadSet(deck);
    const QString alias = folder + QStringLiteral("/alias.vtd");
    ASSERT_EQ(::link(Bytes(deck).c_str(), Bytes(alias).c_str()), 0);
    MakeProject(500);

    const ino_t deckInode = Inode(deck);
    int calls = 0;
    switch (fault) {
        case InPlaceFault::FailsAtOnce:
        case InPlaceFault::FailsAfterAPage:
            // The first write into the project file itself fails (after a
            // page, in the second case); later ones, putting the old
            // contents back, go through.
            vortn::FileSetCalls().write = [&, fault](int fd, const void* data, size_t size) -> ssize_t {
                struct stat st {};
                if (::fstat(fd, &st) == 0 && st.st_ino == deckInode && calls < 2) {
                    ++calls;
                    if (calls == 1 && fault == InPlaceFault::FailsAfterAPage) return ::write(fd, data, 4096);
                    errno = ENOSPC;
                    return -1;
                }
                return ::write(fd, data, size);
            };
            break;
        case InPlaceFault::FullDisk: {
            // Room for the new files, the copy of the old project file and
            // the record, but not for the project file's growth.
            const long oldPages = Pages(deck);
            ASSERT_GE(newPages - oldPages, 1);
            disk->LeaveFree(folder + QStringLiteral("/filler"),
                            massPages + geometryPages + newPages + oldPages + 1 + (newPages - oldPages) - 1);
            break;
        }
    }
    const QString message = Message([&] { P().SaveToFile(); });
    vortn::FileSetCalls().write = nullptr;
    EXPECT_EQ(message.toStdString(),
              QStringLiteral("Cannot write file %1: No space left on device").arg(deck).toStdString());
    EXPECT_TRUE(ReadSet(deck) == before);
    EXPECT_EQ(ReadBytes(alias), before.deck);
    EXPECT_EQ(Inode(alias), deckInode);
    EXPECT_EQ(HiddenIn(folder).join(' ').toStdString(), "");
    QFile::remove(folder + QStringLiteral("/filler"));
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_TRUE(P().Title.endsWith(QStringLiteral("4 piles"))) << P().Title.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Faults, InPlaceWriteFailure,
                         ::testing::Values(InPlaceCase{"write_fails_at_once", InPlaceFault::FailsAtOnce},
                                           InPlaceCase{"write_fails_after_a_page", InPlaceFault::FailsAfterAPage},
                                           InPlaceCase{"real_full_disk", InPlaceFault::FullDisk}),
                         [](const ::testing::TestParamInfo<InPlaceCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- 2. a save after a failed one

// All three files have second names. The first save fails in the middle of
// writing the mass file in place, and putting its old contents back fails
// too: the message names the copy kept. A second save, still on a failing
// disk, keeps that copy and says so again. Once the disk works, the next
// open puts the old set back whole.
TEST_F(SaveRecovery, SaveAfterAFailedOneKeepsWhatTheFirstKept) {
    Build(Foundation::Pile, Loading::Transient);
    SaveAs(QStringLiteral("job.vtd"));
    const FileSet before = ReadSet(Path(QStringLiteral("job.vtd")));
    std::vector<ino_t> inodes;
    for (const char* ext : {".vtd", ".vtm", ".vtt"}) {
        const QString file = Path(QLatin1String("job") + ext);
        ASSERT_EQ(::link(Bytes(file).c_str(), Bytes(Path(QLatin1String("alias") + ext)).c_str()), 0);
        inodes.push_back(Inode(file));
    }
    // Into the project's own files only the first 100 bytes go.
    bool wroteSome = false;
    vortn::FileSetCalls().write = [&](int fd, const void* data, size_t size) -> ssize_t {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && std::find(inodes.begin(), inodes.end(), st.st_ino) != inodes.end()) {
            if (!wroteSome) {
                wroteSome = true;
                return ::write(fd, data, std::min<size_t>(size, 100));
            }
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, data, size);
    };
    const QString mass = Path(QStringLiteral("job.vtm")), kept = Path(QStringLiteral(".job.vtm~o"));
    const QString expected =
            QStringLiteral("Cannot write file %1: No space left on device; the previous %1 is kept as %2")
                    .arg(mass, kept);
    // Each save changes the mass file, so that its first 100 bytes are not
    // the old ones.
    P().Title = QStringLiteral("first");
    H().MassCal().Cells(0, 0).SetAsFloat(41);
    EXPECT_EQ(Message([&] { P().SaveToFile(); }).toStdString(), expected.toStdString());
    EXPECT_EQ(ReadBytes(kept), before.mass);
    EXPECT_NE(ReadBytes(mass).left(100), before.mass.left(100));
    P().Title = QStringLiteral("second");
    H().MassCal().Cells(0, 0).SetAsFloat(42);
    EXPECT_EQ(Message([&] { P().SaveToFile(); }).toStdString(), expected.toStdString());
    EXPECT_EQ(ReadBytes(kept), before.mass);
    // An open on the failing disk says what is left to do.
    H().OpenProject(Path(QStringLiteral("job.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(),
              QStringLiteral("An earlier save of %1 could not be completed: No space left on device; the previous %2 "
                             "is kept as %3.")
                      .arg(Path(QStringLiteral("job.vtd")), mass, kept)
                      .toStdString());
    EXPECT_EQ(ReadBytes(kept), before.mass);
    vortn::FileSetCalls().write = nullptr;
    H().OpenProject(Path(QStringLiteral("job.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_TRUE(ReadSet(Path(QStringLiteral("job.vtd"))) == before);
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("alias.vtm"))), before.mass);
    EXPECT_EQ(Files().join(' ').toStdString(), "alias.vtd alias.vtm alias.vtt job.vtd job.vtm job.vtt");
}

// ---- 3. and 4. what lies at the hidden names

struct PlantedCase {
    const char* name;
    bool hardLinked;     // the project file has a second name
    bool genuineRecord;  // a save of the owner cut short after its record
    // Puts something at the hidden names of <folder>/job.vtd; returns false on failure.
    std::function<bool(const QString& folder)> plant;
    bool byAnotherUser;
    const char* named;  // the hidden name the messages name
};

// An old-style record naming the three files by their paths, as this
// program once wrote them.
QByteArray RecordOf(const QString& folder, const char* mode, const char* hadOld) {
    QByteArray text = "VORT-N file set\n3\n";
    for (const char* ext : {".vtm", ".vtt", ".vtd"})
        text += QByteArray(mode) + ' ' + hadOld + ' ' + QFile::encodeName(folder + QLatin1String("/job") + ext) + '\n';
    return text + "end\n";
}

class PlantedAtHiddenNames : public ProjectTest, public ::testing::WithParamInterface<PlantedCase> {};

// In a folder every user may write to (sticky, as the system's temporary
// folder), something planted at the project's hidden names: the open
// leaves the project as it is and names it, the save goes through beside it
// and names it, and it stays where it is.
TEST_P(PlantedAtHiddenNames, IsLeftAloneAndNamed) {
    const PlantedCase& c = GetParam();
    if (c.byAnotherUser) {
        // Files of another user can be made only by the superuser.
        if (::geteuid() != 0) GTEST_SKIP() << "planting files as another user needs the superuser";
        ASSERT_EQ(::chmod(Bytes(dir_.path()).c_str(), 0755), 0);
    }
    const QString folder = Path(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(Bytes(folder).c_str(), 01777), 0);
    const QString deck = folder + QStringLiteral("/job.vtd");
    ASSERT_EQ(SaveInChild(deck, 'A'), 0);
    if (c.hardLinked) {
        ASSERT_EQ(::link(Bytes(deck).c_str(), Bytes(Path(QStringLiteral("alias.vtd"))).c_str()), 0);
    }
    if (c.genuineRecord) SaveCutAfterItsRecord(deck, 0);
    const FileSet before = ReadSet(deck);
    const QString unrelated = Path(QStringLiteral("unrelated.txt"));
    WriteBytes(unrelated, "not a project\n");
    if (c.byAnotherUser)
        ASSERT_TRUE(AsAnotherUser([&] { return c.plant(folder); }));
    else
        ASSERT_TRUE(c.plant(folder));
    const QStringList planted = HiddenIn(folder);
    const QString named = folder + QLatin1Char('/') + QLatin1String(c.named);

    H().OpenProject(deck);
    EXPECT_TRUE(H().LastMessage().contains(named)) << H().LastMessage().toStdString();
    EXPECT_TRUE(ReadSet(deck) == before);
    EXPECT_FALSE(QFileInfo(deck).isSymLink());
    EXPECT_EQ(HiddenIn(folder), planted);

    P().Title = QStringLiteral("saved beside it");
    P().SaveToFile();
    EXPECT_TRUE(H().LastMessage().contains(named)) << H().LastMessage().toStdString();
    EXPECT_TRUE(ReadBytes(deck).startsWith("TITLE=saved beside it\r\n"));
    EXPECT_FALSE(QFileInfo(deck).isSymLink());
    EXPECT_TRUE(QFileInfo(deck).isFile());
    if (c.hardLinked) {
        EXPECT_EQ(ReadBytes(Path(QStringLiteral("alias.vtd"))), ReadBytes(deck));
    }
    EXPECT_EQ(ReadBytes(unrelated), QByteArray("not a project\n"));
    for (const QString& name : planted) {
        EXPECT_TRUE(HiddenIn(folder).contains(name)) << name.toStdString();
    }
    H().OpenProject(deck);
    EXPECT_EQ(P().Title.toStdString(), "saved beside it");
}

bool PlantRecord(const QString& folder, const char* tag, const char* mode, const char* hadOld) {
    return WriteFile(folder + QLatin1String("/.job.vtd") + tag, RecordOf(folder, mode, hadOld));
}

bool PlantLinkAtNew(const QString& folder) {
    return ::symlink(Bytes(QFileInfo(folder).path() + QStringLiteral("/unrelated.txt")).c_str(),
                     Bytes(folder + QStringLiteral("/.job.vtd~n")).c_str()) == 0;
}

bool PlantFifo(const QString& path) { return ::mkfifo(Bytes(path).c_str(), 0666) == 0; }

INSTANTIATE_TEST_SUITE_P(
        Files, PlantedAtHiddenNames,
        ::testing::Values(
                PlantedCase{"back_record_of_another_user", false, false,
                            [](const QString& f) { return PlantRecord(f, "~b", "rename", "0"); }, true, ".job.vtd~b"},
                PlantedCase{"record_and_a_link_at_new_of_another_user", false, false,
                            [](const QString& f) { return PlantRecord(f, "~s", "rename", "1") && PlantLinkAtNew(f); },
                            true, ".job.vtd~s"},
                PlantedCase{"record_and_a_fifo_at_new_of_another_user", false, false,
                            [](const QString& f) {
                                return PlantRecord(f, "~s", "rename", "1") &&
                                       PlantFifo(f + QStringLiteral("/.job.vtd~n"));
                            },
                            true, ".job.vtd~n"},
                PlantedCase{"file_at_new_of_a_hard_linked_project_of_another_user", true, false,
                            [](const QString& f) {
                                return PlantRecord(f, "~s", "in-place", "1") &&
                                       WriteFile(f + QStringLiteral("/.job.vtd~n"), "TITLE=planted\r\n");
                            },
                            true, ".job.vtd~n"},
                PlantedCase{"fifo_at_record", false, false,
                            [](const QString& f) { return PlantFifo(f + QStringLiteral("/.job.vtd~s")); }, false,
                            ".job.vtd~s"},
                PlantedCase{"fifo_at_back_record", false, false,
                            [](const QString& f) { return PlantFifo(f + QStringLiteral("/.job.vtd~b")); }, false,
                            ".job.vtd~b"},
                PlantedCase{"fifo_at_new_under_a_genuine_record", true, true,
                            [](const QString& f) {
                                const QString n = f + QStringLiteral("/.job.vtd~n");
                                return QFile::remove(n) && PlantFifo(n);
                            },
                            false, ".job.vtd~n"},
                PlantedCase{"record_linked_to_dev_zero", false, false,
                            [](const QString& f) {
                                return ::symlink("/dev/zero", Bytes(f + QStringLiteral("/.job.vtd~s")).c_str()) == 0;
                            },
                            false, ".job.vtd~s"},
                PlantedCase{"sparse_record_of_a_gibibyte", false, false,
                            [](const QString& f) {
                                const int fd = ::open(Bytes(f + QStringLiteral("/.job.vtd~s")).c_str(),
                                                      O_WRONLY | O_CREAT, 0600);
                                const bool ok = fd >= 0 && ::ftruncate(fd, off_t(1) << 30) == 0;
                                if (fd >= 0) ::close(fd);
                                return ok;
                            },
                            false, ".job.vtd~s"},
                PlantedCase{"folder_at_new", false, false,
                            [](const QString& f) { return QDir().mkdir(f + QStringLiteral("/.job.vtd~n")); }, false,
                            ".job.vtd~n"},
                PlantedCase{"folder_at_old", false, false,
                            [](const QString& f) { return QDir().mkdir(f + QStringLiteral("/.job.vtm~o")); }, false,
                            ".job.vtm~o"},
                PlantedCase{"folder_at_record_being_written", false, false,
                            [](const QString& f) { return QDir().mkdir(f + QStringLiteral("/.job.vtd~r")); }, false,
                            ".job.vtd~r"},
                PlantedCase{"folder_at_record", false, false,
                            [](const QString& f) { return QDir().mkdir(f + QStringLiteral("/.job.vtd~s")); }, false,
                            ".job.vtd~s"},
                PlantedCase{"truncated_genuine_record_with_its_new_files", false, true,
                            [](const QString& f) {
                                return ::truncate(Bytes(f + QStringLiteral("/.job.vtd~s")).c_str(), 40) == 0;
                            },
                            false, ".job.vtd~s"},
                PlantedCase{"back_record_that_is_not_one", false, false,
                            [](const QString& f) { return WriteFile(f + QStringLiteral("/.job.vtd~b"), "garbage\n"); },
                            false, ".job.vtd~b"}),
        [](const ::testing::TestParamInfo<PlantedCase>& info) { return std::string(info.param.name); });

// Runs the save child as the user nobody (through setpriv) with `args`;
// returns what it printed, and its exit code in `code`.
std::string RunChildAsNobody(const std::vector<std::string>& args, int& code) {
    return RunChildThrough({"--reuid=65534", "--regid=65534", "--clear-groups"}, args, code);
}

// The same planted record seen from a user who is not the superuser: the
// project of that user opens and saves as it is, and the record is named.
TEST_F(SaveRecovery, RecordOfAnotherUserIsNotObeyedByAnOrdinaryUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "switching to another user needs the superuser";
    ASSERT_EQ(::chmod(Bytes(dir_.path()).c_str(), 0755), 0);
    const QString folder = Path(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(Bytes(folder).c_str(), 01777), 0);
    const QString deck = folder + QStringLiteral("/job.vtd");
    int code = -1;
    RunChildAsNobody({Bytes(kSource), Bytes(deck), "once", "A"}, code);
    ASSERT_EQ(code, 0);
    ASSERT_TRUE(ReadSet(deck) == TheVersions().a);
    // Planted by the superuser, here the other user.
    ASSERT_TRUE(WriteFile(folder + QStringLiteral("/.job.vtd~b"), RecordOf(folder, "rename", "0")));
    const std::string left = QStringLiteral("%1/.job.vtd~b was left alone: it is not a file this program saved. | %2")
                                     .arg(folder, kHowToRemove)
                                     .toStdString();
    EXPECT_EQ(RunChildAsNobody({Bytes(kSource), Bytes(deck), "opens", "1"}, code), "message: " + left + "\n");
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(ReadSet(deck) == TheVersions().a);
    EXPECT_EQ(RunChildAsNobody({Bytes(kSource), Bytes(deck), "saves", "2"}, code), "note: " + left + "\n");
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(ReadSet(deck) == TheVersions().b);
    EXPECT_EQ(FilesIn(folder).join(' ').toStdString(), ".job.vtd~b job.vtd job.vtm job.vtt");
}

// A genuine record whose new file was changed since: the set may be of two
// saves, so the open says so and changes nothing.
TEST_F(SaveRecovery, RecordThatNoLongerMatchesIsReported) {
    const QString deck = Path(QStringLiteral("job.vtd"));
    SaveCutAfterItsRecord(deck, 1);
    const QString newDeck = Path(QStringLiteral(".job.vtd~n"));
    ASSERT_TRUE(QFileInfo(newDeck).isFile());
    WriteBytes(newDeck, ReadBytes(newDeck) + "changed\r\n");
    const FileSet before = ReadSet(deck);
    const QStringList hidden = HiddenIn(dir_.path());
    H().OpenProject(deck);
    EXPECT_TRUE(H().LastMessage().contains(Path(QStringLiteral(".job.vtd~s")) +
                                           QStringLiteral(" was left alone: the save it records does not match")))
            << H().LastMessage().toStdString();
    EXPECT_TRUE(ReadSet(deck) == before);
    EXPECT_EQ(HiddenIn(dir_.path()), hidden);
}

// ---- 5. a moved folder

enum class Move { Renamed, Copied, ThroughALinkedFolder };

class SaveCutShortInAMovedFolder : public ProjectTest, public ::testing::WithParamInterface<Move> {};

// A save cut short after its record (one file already replaced), then the
// folder moved: the open of the project in its new place completes it.
TEST_P(SaveCutShortInAMovedFolder, IsCompletedByTheNextOpen) {
    const QString old = Path(QStringLiteral("old")), moved = Path(QStringLiteral("moved"));
    ASSERT_TRUE(QDir().mkpath(old));
    SaveCutAfterItsRecord(old + QStringLiteral("/job.vtd"), 1);
    switch (GetParam()) {
        case Move::Renamed:
            ASSERT_TRUE(QDir().rename(old, moved));
            break;
        case Move::Copied: {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::execl("/bin/cp", "cp", "-a", Bytes(old).c_str(), Bytes(moved).c_str(), static_cast<char*>(nullptr));
                _exit(127);
            }
            ASSERT_EQ(Wait(pid), 0);
            break;
        }
        case Move::ThroughALinkedFolder:
            ASSERT_EQ(::symlink("old", Bytes(moved).c_str()), 0);
            break;
    }
    const QString deck = moved + QStringLiteral("/job.vtd");
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_TRUE(ReadSet(deck) == TheVersions().b);
    EXPECT_EQ(FilesIn(moved).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    P().Title = QStringLiteral("saved after the move");
    P().SaveToFile();
    EXPECT_EQ(FilesIn(moved).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
}

INSTANTIATE_TEST_SUITE_P(Moves, SaveCutShortInAMovedFolder,
                         ::testing::Values(Move::Renamed, Move::Copied, Move::ThroughALinkedFolder),
                         [](const ::testing::TestParamInfo<Move>& info) {
                             return std::string(info.param == Move::Renamed  ? "renamed"
                                                : info.param == Move::Copied ? "copied"
                                                                             : "through_a_linked_folder");
                         });

// ---- 6. names cut to fit

struct CutCase {
    const char* name;
    int first, second;  // lengths of the two project names, ".vtd" included
    int pathLength;     // the first one's whole path; 0: the scratch folder's
};

class CutNames : public ProjectTest, public ::testing::WithParamInterface<CutCase> {};

// Two projects whose names differ only in their front, too long for the
// hidden names to hold them whole: a save of the second leaves the first
// one's save cut short alone, and the first then opens complete.
TEST_P(CutNames, KeepTwoProjectsApart) {
    const CutCase& c = GetParam();
    QString folder = dir_.path();
    if (c.pathLength > 0) {
        int remaining = c.pathLength - int(folder.size()) - 1 - c.first;
        while (remaining >= 2) {
            const int length = std::min(200, remaining - 1);
            folder += QLatin1Char('/') + QString(length, QLatin1Char('d'));
            ASSERT_TRUE(QDir().mkpath(folder));
            remaining -= length + 1;
        }
        ASSERT_EQ(folder.size() + 1 + c.first, c.pathLength);
    }
    const QString common = QString(c.second - 4, QLatin1Char('j')) + QStringLiteral(".vtd");
    const QString first = folder + QLatin1Char('/') + QString(c.first - c.second, QLatin1Char('x')) + common;
    const QString second = folder + QLatin1Char('/') + common;
    SaveCutAfterItsRecord(first, 1);
    Build(Foundation::HalfSpace, Loading::Harmonic);
    P().FileName = second;
    EXPECT_NO_THROW(P().SaveToFile());
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    H().OpenProject(first);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_TRUE(ReadSet(first) == TheVersions().b);
    EXPECT_EQ(FilesIn(folder).size(), 6);
    QDir::setCurrent(cwd_);
}

INSTANTIATE_TEST_SUITE_P(Lengths, CutNames,
                         ::testing::Values(CutCase{"names_of_253_and_252", 253, 252, 0},
                                           CutCase{"names_of_255_and_252", 255, 252, 0},
                                           CutCase{"names_of_12_and_11_in_a_full_path", 12, 11, 4095}),
                         [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

// ---- 7. two programs on one project

std::string ReadAll(int fd) {
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) out.append(buf, size_t(n));
    ::close(fd);
    return out;
}

// Two programs work on the same project at the same time, round after
// round: every save goes through or says the project is being saved by
// another program; every open reads one whole version without a word; the
// project is one whole version after each round.
struct TogetherCase {
    const char* name;
    const char* secondMode;  // "saves" or "opens"
};

class TwoPrograms : public ProjectTest, public ::testing::WithParamInterface<TogetherCase> {};

TEST_P(TwoPrograms, TakeTurnsOnOneProject) {
    const Versions& v = TheVersions();
    const QString deck = Path(QStringLiteral("job.vtd"));
    const std::string busy =
            QStringLiteral("failed: Cannot write file %1: the project is being saved by another program")
                    .arg(deck)
                    .toStdString();
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(SaveInChild(deck, 'A'), 0);
        int out1 = -1, out2 = -1;
        const pid_t one = StartChild({Bytes(kSource), Bytes(deck), "saves", "10"}, &out1);
        const pid_t two = StartChild({Bytes(kSource), Bytes(deck), GetParam().secondMode, "10"}, &out2);
        ASSERT_GT(one, 0);
        ASSERT_GT(two, 0);
        const std::string said1 = ReadAll(out1), said2 = ReadAll(out2);
        EXPECT_EQ(Wait(one), 0);
        EXPECT_EQ(Wait(two), 0);
        for (const std::string& said : {said1, said2})
            for (const QString& line :
                 QString::fromLocal8Bit(said.c_str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                EXPECT_TRUE(line.toStdString() == busy || line == QStringLiteral("title: version A") ||
                            line == QStringLiteral("title: version B"))
                        << line.toStdString();
        const FileSet now = ReadSet(deck);
        EXPECT_TRUE(now == v.a || now == v.b) << now.deck.left(20).toStdString();
        EXPECT_EQ(Files().join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, TwoPrograms,
                         ::testing::Values(TogetherCase{"both_saving", "saves"},
                                           TogetherCase{"one_saving_one_opening", "opens"}),
                         [](const ::testing::TestParamInfo<TogetherCase>& info) {
                             return std::string(info.param.name);
                         });

// While another program holds the project's lock past the wait, a save says
// so and changes nothing; an open reads the project as it is and says so.
TEST_F(SaveRecovery, ProjectLockedByAnotherProgram) {
    Build(Foundation::HalfSpace, Loading::Harmonic);
    SaveAs(QStringLiteral("job.vtd"));
    const FileSet before = ReadSet(Path(QStringLiteral("job.vtd")));
    const int fd = ::open(Bytes(dir_.path()).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    // The lock is held by another open file, as another program's would be.
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    vortn::FileSetCalls().lockWaitMs = 0;
    P().Title = QStringLiteral("changed");
    EXPECT_EQ(Message([&] { P().SaveToFile(); }).toStdString(),
              QStringLiteral("Cannot write file %1: the project is being saved by another program")
                      .arg(Path(QStringLiteral("job.vtd")))
                      .toStdString());
    EXPECT_TRUE(ReadSet(Path(QStringLiteral("job.vtd"))) == before);
    H().OpenProject(Path(QStringLiteral("job.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(),
              QStringLiteral("%1: the project is being saved by another program; it was read as it is.")
                      .arg(Path(QStringLiteral("job.vtd")))
                      .toStdString());
    vortn::FileSetCalls().lockWaitMs = 5000;
    ::close(fd);
    P().SaveToFile();
    EXPECT_EQ(Files().join(' ').toStdString(), "job.vtd job.vtm job.vtt");
}

}  // namespace
}  // namespace project_test
