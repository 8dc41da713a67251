// The record of a save cut short meets files that moved on: a file changed
// since is never overwritten, a roll-back that cannot turn its record
// leaves all that record needs, a record that cannot be completed never
// blocks a save, records with long names are written and read, and what is
// left alone is named with a way to remove it.
#include "exceptions.h"
#include "file_set_writer.h"
#include "project_fixture.h"
#include "save_child_runner.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace project_test {
namespace {

QString ChangedNote(const QString& folder, const QString& file, const char* how) {
    return QStringLiteral(
                   "%1/.job.vtd~s was left alone: %1/%2 was %3 after the save it records; the next save of the "
                   "project replaces that save.")
            .arg(folder, file, QLatin1String(how));
}

// ---- a file changed after a save was cut short

struct ChangeCase {
    const char* name;
    int installed;  // files the cut-short save had put in place
    std::function<void(const QString& folder)> change;
    const char* changed;  // the file the open names
    const char* how;
};

class ChangedAfterACutShortSave : public ProjectTest, public ::testing::WithParamInterface<ChangeCase> {};

// B's save over A is cut short after its record; then the user changes the
// project by other means. The open leaves the change and the record alone
// and names both; the next save replaces the cut-short one and leaves
// nothing behind.
TEST_P(ChangedAfterACutShortSave, IsNeverOverwritten) {
    const ChangeCase& c = GetParam();
    const QString folder = dir_.path(), deck = Path(QStringLiteral("job.vtd"));
    SaveCutAfterItsRecord(deck, c.installed);
    c.change(folder);
    const FileSet changed = ReadSet(deck);
    const QStringList hidden = HiddenIn(folder);

    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(),
              (ChangedNote(folder, QLatin1String(c.changed), c.how) + QLatin1Char('\n') + kHowToRemove).toStdString());
    EXPECT_TRUE(ReadSet(deck) == changed);
    EXPECT_EQ(HiddenIn(folder), hidden);

    Build(Foundation::HalfSpace, Loading::Harmonic);
    P().Title = QStringLiteral("saved after the change");
    P().FileName = deck;
    P().SaveToFile();
    EXPECT_EQ(
            H().LastMessage().toStdString(),
            QStringLiteral("The earlier save recorded in %1/.job.vtd~s could not be completed; this save replaces it.")
                    .arg(folder)
                    .toStdString());
    EXPECT_EQ(Files().join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(P().Title.toStdString(), "saved after the change");
}

void Append(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_EQ(f.write(data), data.size());
}

// Copies the files `exts` of version C of the project over those in `folder`,
// as a user restoring a backup or copying in another project would.
void CopyInVersionC(const QString& folder, const std::vector<const char*>& exts) {
    const QString backup = folder + QStringLiteral("/backup");
    ASSERT_TRUE(QDir().mkpath(backup));
    ASSERT_EQ(SaveInChild(backup + QStringLiteral("/job.vtd"), 'C'), 0);
    for (const char* ext : exts)
        WriteBytes(folder + QLatin1String("/job") + ext, ReadBytes(backup + QLatin1String("/job") + ext));
    ASSERT_TRUE(QDir(backup).removeRecursively());
}

INSTANTIATE_TEST_SUITE_P(
        Changes, ChangedAfterACutShortSave,
        ::testing::Values(ChangeCase{"project_file_edited", 0,
                                     [](const QString& f) { Append(f + QStringLiteral("/job.vtd"), "$ edited\r\n"); },
                                     "job.vtd", "changed"},
                          ChangeCase{"another_project_copied_in", 1,
                                     [](const QString& f) {
                                         CopyInVersionC(f, {".vtd", ".vtm", ".vtt"});
                                     },
                                     "job.vtm", "changed"},
                          ChangeCase{"mass_file_from_an_older_backup", 1,
                                     [](const QString& f) { CopyInVersionC(f, {".vtm"}); }, "job.vtm", "changed"},
                          ChangeCase{
                                  "geometry_file_removed", 0,
                                  [](const QString& f) { ASSERT_TRUE(QFile::remove(f + QStringLiteral("/job.vtt"))); },
                                  "job.vtt", "removed"}),
        [](const ::testing::TestParamInfo<ChangeCase>& info) { return std::string(info.param.name); });

// ---- a team folder

// The ids setpriv takes for `user`, in the group "users" only.
std::vector<std::string> As(const char* user) {
    const struct passwd* pw = ::getpwnam(user);
    const struct group* gr = ::getgrnam("users");
    if (!pw || !gr) return {};
    return {"--reuid=" + std::to_string(pw->pw_uid), "--regid=" + std::to_string(gr->gr_gid), "--clear-groups"};
}

// The process's file mode mask while it lives, for the children it starts.
class Umask {
public:
    explicit Umask(mode_t mask) : old_(::umask(mask)) {}
    ~Umask() { ::umask(old_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t old_;
};

// A folder of the group "users" that its members share (setgid 2775, a mask
// of 002). User 1's save of C is cut short after its record; user 2 then
// saves B. User 1's next open must not put C over user 2's save: it leaves
// the record and says so; user 1's next save replaces it.
TEST(TeamFolder, LaterSaveOfAnotherUserIsNeverOverwritten) {
    if (::geteuid() != 0) GTEST_SKIP() << "saving as two users needs the superuser";
    const std::vector<std::string> one = As("vortn_u1"), two = As("vortn_u2");
    ASSERT_FALSE(one.empty() || two.empty()) << "vortn_u1 and vortn_u2 are made by the test test_users_setup";
    QTemporaryDir scratch;
    ASSERT_EQ(::chmod(Bytes(scratch.path()).c_str(), 0755), 0);
    const QString folder = scratch.filePath(QStringLiteral("team"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chown(Bytes(folder).c_str(), 0, ::getgrnam("users")->gr_gid), 0);
    ASSERT_EQ(::chmod(Bytes(folder).c_str(), 02775), 0);
    const Umask mask(002);
    const QString deck = folder + QStringLiteral("/job.vtd");
    const auto saveAs = [](const std::vector<std::string>& user) {
        return [user](const QString& target, char version, int stopAt) {
            std::vector<std::string> args{Bytes(kSource), Bytes(target), "once", std::string(1, version)};
            if (stopAt > 0) args.push_back(std::to_string(stopAt));
            int code = -1;
            RunChildThrough(user, args, code);
            return code;
        };
    };
    SaveCutAfterItsRecord(deck, 0, saveAs(one), 'A', 'C');
    int code = -1;
    const std::string record = Bytes(folder + QStringLiteral("/.job.vtd~s"));
    const std::string secondSaid = RunChildThrough(two, {Bytes(kSource), Bytes(deck), "once", "B"}, code);
    ASSERT_EQ(code, 0) << secondSaid;
    const FileSet b = ReadSet(deck);
    EXPECT_TRUE(b == TheVersions().b);

    const std::string opened = RunChildThrough(one, {Bytes(kSource), Bytes(deck), "opens", "1"}, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(opened,
              ("message: " + ChangedNote(folder, QStringLiteral("job.vtm"), "changed") + " | " + kHowToRemove + "\n")
                      .toStdString());
    EXPECT_TRUE(ReadSet(deck) == b);

    const std::string saved = RunChildThrough(one, {Bytes(kSource), Bytes(deck), "saves", "1"}, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(saved, QStringLiteral("note: The earlier save recorded in %1 could not be completed; this save "
                                    "replaces it.\n")
                             .arg(QFile::decodeName(record.c_str()))
                             .toStdString());
    EXPECT_TRUE(ReadSet(deck) == TheVersions().a);
    EXPECT_EQ(FilesIn(folder).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
}

// ---- a roll-back that cannot turn its record

struct RenameCase {
    const char* name;
    int failFrom;     // the first rename of the save that fails
    bool deckLinked;  // the project file has a second name: written in place
};

class RenamesFailing : public ProjectTest, public ::testing::WithParamInterface<RenameCase> {};

// Every rename from the n-th on fails with an input/output error, so the
// failed save cannot turn its record either. Once the failures are gone the
// next open ends with one whole version, silently, and nothing beside it.
TEST_P(RenamesFailing, LeaveOneWholeVersionForTheNextOpen) {
    const RenameCase& c = GetParam();
    const QString deck = Path(QStringLiteral("job.vtd")), other = Path(QStringLiteral("other"));
    ASSERT_TRUE(QDir().mkpath(other));
    Build(Foundation::Pile, Loading::Transient);
    SaveAs(QStringLiteral("job.vtd"));
    const FileSet a = ReadSet(deck);
    const std::string titleA = P().Title.toStdString();
    // The new version as a save where nothing fails writes it.
    P().Title = QStringLiteral("new version");
    H().MassCal().Cells(0, 0).SetAsFloat(41);
    P().Length = 5;
    P().FileName = other + QStringLiteral("/job.vtd");
    P().SaveToFile();
    const FileSet b = ReadSet(P().FileName);
    ASSERT_TRUE(QDir(other).removeRecursively() && QDir().mkpath(other));
    if (c.deckLinked) {
        ASSERT_EQ(::link(Bytes(deck).c_str(), Bytes(other + QStringLiteral("/alias.vtd")).c_str()), 0);
    }
    P().FileName = deck;
    int renames = 0;
    vortn::FileSetCalls().rename = [&](const char* from, const char* to) {
        if (++renames >= c.failFrom) {
            errno = EIO;
            return -1;
        }
        return std::rename(from, to);
    };
    const QString message = Message([&] { P().SaveToFile(); });
    vortn::FileSetCalls().rename = nullptr;
    if (c.failFrom == 3 && !c.deckLinked) {
        EXPECT_EQ(message.toStdString(),
                  QStringLiteral("Cannot write file %1: Input/output error; the save is completed by the next open or "
                                 "save of the project")
                          .arg(Path(QStringLiteral("job.vtt")))
                          .toStdString());
    }
    if (c.failFrom <= 3) {
        EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot write file "))) << message.toStdString();
    }
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    const FileSet now = ReadSet(deck);
    EXPECT_TRUE(now == a || now == b) << now.deck.left(30).toStdString();
    EXPECT_EQ(P().Title.toStdString(), now == b ? "new version" : titleA);
    EXPECT_EQ(Files().join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    if (c.deckLinked) {
        EXPECT_EQ(ReadBytes(other + QStringLiteral("/alias.vtd")), now.deck);
    }
}

INSTANTIATE_TEST_SUITE_P(FromTheNth, RenamesFailing,
                         ::testing::Values(RenameCase{"first", 1, false}, RenameCase{"second", 2, false},
                                           RenameCase{"third", 3, false}, RenameCase{"fourth", 4, false},
                                           RenameCase{"fifth", 5, false}, RenameCase{"first_deck_linked", 1, true},
                                           RenameCase{"second_deck_linked", 2, true},
                                           RenameCase{"third_deck_linked", 3, true},
                                           RenameCase{"fourth_deck_linked", 4, true}),
                         [](const ::testing::TestParamInfo<RenameCase>& info) { return std::string(info.param.name); });

// ---- a write in place torn in half

// All three files have second names, so the save writes into them. The
// save ends at its first, second, ... write, which goes out half first: the
// next open tells a file torn by the save from one changed since, and ends
// with one whole version under both names, silently.
using TornWriteInPlace = ProjectTest;

TEST_F(TornWriteInPlace, IsCompletedOrUndoneByTheNextOpen) {
    const Versions& v = TheVersions();
    bool completed = false;
    for (int n = 1; n < 200 && !completed; ++n) {
        SCOPED_TRACE(n);
        QTemporaryDir work;
        const QString deck = work.filePath(QStringLiteral("job.vtd"));
        ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("other")));
        ASSERT_EQ(SaveInChild(deck, 'A'), 0);
        for (const char* ext : {".vtd", ".vtm", ".vtt"}) {
            ASSERT_EQ(::link(Bytes(work.filePath(QLatin1String("job") + ext)).c_str(),
                             Bytes(work.filePath(QLatin1String("other/alias") + ext)).c_str()),
                      0);
        }
        const int code = Wait(StartChild({Bytes(kSource), Bytes(deck), "once", "B", std::to_string(n), "torn"}));
        ASSERT_TRUE(code == 0 || code == 3) << code;
        completed = code == 0;
        H().OpenProject(deck);
        EXPECT_EQ(H().LastMessage().toStdString(), "");
        const FileSet now = ReadSet(deck);
        EXPECT_TRUE(now == v.a || now == v.b) << now.deck.left(20).toStdString();
        const FileSet alias = ReadSet(work.filePath(QStringLiteral("other/alias.vtd")));
        EXPECT_TRUE(alias == now);
        EXPECT_EQ(FilesIn(work.path()).join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    }
    EXPECT_TRUE(completed);
}

// ---- a record of files written in place whose target is gone

using SaveRecords = ProjectTest;

// All three files have second names, a save is cut short after its record,
// then the geometry file is removed. The open names the record and the
// file; a save that fails keeps everything the record kept; the next save
// goes through and replaces the cut-short one.
TEST_F(SaveRecords, InPlaceRecordWhoseFileIsGoneNeverBlocksASave) {
    const QString folder = dir_.path(), deck = Path(QStringLiteral("job.vtd")), other = Path(QStringLiteral("other"));
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_EQ(SaveInChild(deck, 'A'), 0);
    for (const char* ext : {".vtd", ".vtm", ".vtt"}) {
        ASSERT_EQ(::link(Bytes(Path(QLatin1String("job") + ext)).c_str(),
                         Bytes(other + QLatin1String("/alias") + ext).c_str()),
                  0);
    }
    SaveCutAfterItsRecord(deck, 0);
    ASSERT_TRUE(QFile::remove(Path(QStringLiteral("job.vtt"))));
    const QStringList hidden = HiddenIn(folder);
    QStringList kept;
    for (const QString& name : hidden) kept << name + QLatin1Char(' ') + QString::number(qHash(ReadBytes(Path(name))));

    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(),
              (ChangedNote(folder, QStringLiteral("job.vtt"), "removed") + QLatin1Char('\n') + kHowToRemove)
                      .toStdString());

    // A save whose new files cannot be written keeps what the record kept.
    P().Title = QStringLiteral("saved without the geometry file");
    vortn::FileSetCalls().write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    const QString failed = Message([&] { P().SaveToFile(); });
    vortn::FileSetCalls().write = nullptr;
    EXPECT_TRUE(failed.startsWith(
            QStringLiteral("Cannot write file %1: No space left on device").arg(Path(QStringLiteral("job.vtm")))))
            << failed.toStdString();
    QStringList keptNow;
    for (const QString& name : HiddenIn(folder))
        keptNow << name + QLatin1Char(' ') + QString::number(qHash(ReadBytes(Path(name))));
    EXPECT_EQ(keptNow, kept);

    EXPECT_EQ(Message([&] { P().SaveToFile(); }).toStdString(), "");
    EXPECT_EQ(
            H().LastMessage().toStdString(),
            QStringLiteral("The earlier save recorded in %1/.job.vtd~s could not be completed; this save replaces it.")
                    .arg(folder)
                    .toStdString());
    EXPECT_EQ(Files().join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    EXPECT_EQ(ReadBytes(other + QStringLiteral("/alias.vtd")), ReadBytes(deck));
    EXPECT_EQ(ReadBytes(other + QStringLiteral("/alias.vtm")), ReadBytes(Path(QStringLiteral("job.vtm"))));
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(P().Title.toStdString(), "saved without the geometry file");
}

// ---- a save cut short after one that could not be completed

// Ends a save in this process as a kill would: nothing of it is undone.
struct Killed {};

bool EndsWith(const char* name, const char* tail) {
    const size_t n = std::strlen(name), t = std::strlen(tail);
    return n >= t && std::strcmp(name + n - t, tail) == 0;
}

// B's save cannot put its files in place, nor turn or remove its record; C's
// save, while B's record still cannot be carried out, goes to other hidden
// names and is cut short after its own record. Once the failures are gone
// the next open completes C, the save made last, and names B's record,
// which no longer fits the files; the next save replaces it.
TEST_F(SaveRecords, LaterSaveCutShortWinsOverAnEarlierOneNotCompleted) {
    const QString deck = Path(QStringLiteral("job.vtd"));
    Build(Foundation::Pile, Loading::Transient);
    SaveAs(QStringLiteral("job.vtd"));
    const FileSet a = ReadSet(deck);
    // Renames and removals of the first hidden names fail.
    vortn::FileSetCalls().rename = [](const char* from, const char* to) {
        if (EndsWith(from, "~n") || EndsWith(from, "~s")) {
            errno = EIO;
            return -1;
        }
        return std::rename(from, to);
    };
    vortn::FileSetCalls().unlink = [](const char* path) {
        if (EndsWith(path, "~s")) {
            errno = EIO;
            return -1;
        }
        return ::unlink(path);
    };
    P().Title = QStringLiteral("B");
    EXPECT_EQ(Message([&] { P().SaveToFile(); }).toStdString(),
              QStringLiteral("Cannot write file %1: Input/output error; the save is completed by the next open or save "
                             "of the project")
                      .arg(Path(QStringLiteral("job.vtm")))
                      .toStdString());
    // B's record was written a while before C's.
    const struct timespec earlier[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Bytes(Path(QStringLiteral(".job.vtd~s"))).c_str(), earlier, AT_SYMLINK_NOFOLLOW),
              0);
    vortn::FileSetCalls().rename = [](const char* from, const char* to) {
        if (EndsWith(from, "~n1")) throw Killed{};
        if (EndsWith(from, "~n") || EndsWith(from, "~s")) {
            errno = EIO;
            return -1;
        }
        return std::rename(from, to);
    };
    P().Title = QStringLiteral("C");
    EXPECT_THROW(P().SaveToFile(), Killed);
    vortn::FileSetCalls().rename = nullptr;
    vortn::FileSetCalls().unlink = nullptr;
    ASSERT_TRUE(QFileInfo::exists(Path(QStringLiteral(".job.vtd~s1"))));
    // The old files B's save kept (second links of the project's files)
    // were not written into by C's.
    EXPECT_TRUE((FileSet{ReadBytes(Path(QStringLiteral(".job.vtd~o"))), ReadBytes(Path(QStringLiteral(".job.vtm~o"))),
                         ReadBytes(Path(QStringLiteral(".job.vtt~o")))} == a));
    EXPECT_TRUE(ReadSet(deck) == a);

    H().OpenProject(deck);
    EXPECT_EQ(P().Title.toStdString(), "C");
    EXPECT_EQ(H().LastMessage().toStdString(),
              (ChangedNote(dir_.path(), QStringLiteral("job.vtd"), "changed") + QLatin1Char('\n') + kHowToRemove)
                      .toStdString());
    P().SaveToFile();
    EXPECT_EQ(Files().join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(P().Title.toStdString(), "C");
}

// ---- records with long names

// The side files are links into a deep folder of non-ASCII names, so the
// record's encoded names pass 16 KiB. The save goes through, and a save
// cut short after its record is completed by the next open.
TEST_F(SaveRecords, RecordOfLongNamesIsWrittenAndRead) {
    QString deep = Path(QStringLiteral("d"));
    const QString part(120, QChar(0xE4));  // 240 bytes in UTF-8
    while (QFile::encodeName(deep).size() < 3300) deep += QLatin1Char('/') + part;
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString deck = Path(QStringLiteral("job.vtd"));
    for (const char* ext : {".vtm", ".vtt"}) {
        ASSERT_EQ(::symlink(Bytes(deep + QLatin1String("/job") + ext).c_str(),
                            Bytes(Path(QLatin1String("job") + ext)).c_str()),
                  0);
    }
    ASSERT_GT(2 * QFile::encodeName(deep).toPercentEncoding("/").size(), 16 * 1024);
    Build(Foundation::HalfSpace, Loading::Harmonic);
    P().FileName = deck;
    EXPECT_EQ(Message([&] { P().SaveToFile(); }).toStdString(), "");

    SaveCutAfterItsRecord(deck, 1);
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_TRUE(ReadSet(deck) == TheVersions().b);
    EXPECT_EQ(Files().join(' ').toStdString(), "job.vtd job.vtm job.vtt");
    EXPECT_EQ(FilesIn(deep).join(' ').toStdString(), "job.vtm job.vtt");
    QDir::setCurrent(cwd_);
}

// ---- what is left alone

// Something at the record's name that is no record is called what it is,
// and the notes say once how to end them; once those files are deleted the
// project opens without a word.
TEST_F(SaveRecords, LeftAloneIsNamedWithHowToRemoveIt) {
    const QString folder = dir_.path(), deck = Path(QStringLiteral("job.vtd"));
    ASSERT_EQ(SaveInChild(deck, 'A'), 0);
    const QString record = Path(QStringLiteral(".job.vtd~s")), newDeck = Path(QStringLiteral(".job.vtd~n"));
    WriteBytes(record, "garbage\n");
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(),
              QStringLiteral("%1 was left alone: it does not hold a whole record of a save.\n%2")
                      .arg(record, kHowToRemove)
                      .toStdString());
    ASSERT_TRUE(QDir().mkdir(newDeck));
    P().SaveToFile();
    EXPECT_EQ(H().LastMessage().toStdString(),
              QStringLiteral("%1 was left alone: it does not hold a whole record of a save.\n%2 was left alone: it is "
                             "not a file this program saved.\n%3")
                      .arg(record, newDeck, kHowToRemove)
                      .toStdString());
    ASSERT_TRUE(QFile::remove(record));
    ASSERT_TRUE(QDir().rmdir(newDeck));
    H().OpenProject(deck);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(Files().join(' ').toStdString(), "job.vtd job.vtm job.vtt");
}

}  // namespace
}  // namespace project_test
